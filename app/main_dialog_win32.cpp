#include "app/main_dialog_win32.h"

#include "app/frm_main.h"
#include "app/run.h"
#include "config/profile_win32.h"
#include "ui/window_win32.h"
#include "win32/handles.h"
#include "win32/win32.h"

#include <array>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace app
{

namespace
{

constexpr int kClientWidth = 3780; // twips
constexpr int kClientHeight = 2295;
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr COLORREF kBackground = RGB(192, 192, 192);
constexpr COLORREF kComboFill = RGB(180, 226, 219);

// Line1, in twips.
constexpr POINT kLineFrom{105, 1665};
constexpr POINT kLineTo{3720, 1665};

/// The resolution the pixel sizes here are given for.
constexpr int kDesignDpi = 96;

/// Room for the opened list of a combo box below its field, in pixels at 96 dpi: about twelve entries.
constexpr int kDropDownList = 200;

enum class FontKind
{
    Large,      ///< Tahoma 11.25 pt bold
    SmallBold,  ///< Tahoma 8.25 pt bold
    Small,      ///< Tahoma 8.25 pt
    FormDefault ///< the form's own font, MS Sans Serif 8.25 pt
};

struct ControlLayout
{
    int id;
    const wchar_t* windowClass;
    const wchar_t* text;
    DWORD style;
    RECT twips; ///< left, top, width, height
    FontKind font;
};

constexpr DWORD kCombo = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
// One line each: a caption wider than its label (a long roughness name, or a wider font than the layout
// was made with) is cut at the label's edge rather than wrapped onto a line the label has no room for.
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;

// In tab order. The measuring picture box txtCalc has no window: text is measured on a memory DC.
constexpr std::array<ControlLayout, 11> kControls = {{
    {kIdSymbol, L"COMBOBOX", L"-", kCombo, {100, 360, 2085, 390}, FontKind::Large},
    {kIdRough, L"COMBOBOX", L"-", kCombo, {2730, 360, 975, 390}, FontKind::Large},
    {kIdOk, L"BUTTON", L"Ok", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, {2550, 1830, 1170, 345}, FontKind::SmallBold},
    {kIdCancel,
     L"BUTTON",
     L"Abbruch",
     WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
     {1185, 1830, 1170, 345},
     FontKind::Small},
    {kIdPicture, L"STATIC", L"", WS_VISIBLE | SS_BITMAP | SS_CENTERIMAGE, {2250, 360, 400, 400}, FontKind::Small},
    {kIdLabel1, L"STATIC", L"Symbol", kLabel, {100, 120, 615, 255}, FontKind::Small},
    {kIdLabel2, L"STATIC", L"Methode", kLabel, {105, 900, 855, 255}, FontKind::Small},
    {kIdMethod, L"COMBOBOX", L"-", kCombo, {100, 1155, 2085, 315}, FontKind::FormDefault},
    {kIdLabel3, L"STATIC", L"Rauheit", kLabel, {2750, 105, 930, 255}, FontKind::Small},
    {kIdLabel4, L"STATIC", L"1.80", kLabel, {200, 1890, 495, 255}, FontKind::FormDefault},
    {kIdNormFix,
     L"BUTTON",
     L"Normfix",
     WS_VISIBLE | WS_TABSTOP | BS_CHECKBOX,
     {2760, 1200, 975, 255},
     FontKind::FormDefault},
}};

template <typename T> LPARAM AsLParam(T value)
{
    return reinterpret_cast<LPARAM>(value);
}

/// The text of list entry index of a combo box.
std::wstring ComboItem(HWND combo, int index)
{
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), AsLParam(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

/// Bitmap resource id, scaled to the screen's resolution: the pictures are drawn for 96 dpi and scale as the
/// layout does; at 96 dpi they stay pixel for pixel as drawn.
win32::UniqueGdi<HBITMAP> LoadPicture(std::int32_t id, int dpi)
{
    win32::UniqueGdi<HBITMAP> picture{static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR))};
    BITMAP size{};
    if (!picture || dpi == kDesignDpi || GetObjectW(picture.Get(), sizeof size, &size) == 0)
        return picture;
    HANDLE scaled = CopyImage(picture.Get(), IMAGE_BITMAP, MulDiv(size.bmWidth, dpi, kDesignDpi),
                              MulDiv(size.bmHeight, dpi, kDesignDpi), LR_COPYRETURNORG);
    if (scaled != nullptr && scaled != picture.Get())
        picture.Reset(static_cast<HBITMAP>(scaled));
    return picture;
}

/// Makes the closed combo box as high as its place in the layout. The field's height follows the font
/// otherwise, with borders on top that differ between systems, so the result is measured and corrected.
void FitClosedHeight(HWND combo, int height)
{
    LRESULT asked = SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 3 && asked != CB_ERR; ++attempt)
    {
        RECT closed{};
        GetWindowRect(combo, &closed);
        const int difference = height - (closed.bottom - closed.top);
        if (difference == 0 || asked + difference <= 0)
            return;
        asked += difference;
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), asked);
    }
}

} // namespace

struct Win32DialogView::Impl
{
    HWND window = nullptr;
    std::map<int, HWND> controls;
    int dpi = 96;
    std::map<FontKind, win32::UniqueGdi<HFONT>> fonts;
    win32::UniqueGdi<HBRUSH> background{CreateSolidBrush(kBackground)};
    win32::UniqueGdi<HBRUSH> comboFill{CreateSolidBrush(kComboFill)};
    std::map<std::int32_t, win32::UniqueGdi<HBITMAP>> pictures; ///< bitmap resources by id
    win32::UniqueIcon bigIcon;
    win32::UniqueIcon smallIcon;

    MainDialogEvents* events = nullptr;
    MainDialogState shown;  ///< what the controls show, as far as the view put it there or saw the user do it
    bool rendering = false; ///< notifications caused by the view's own changes are not the user's
    bool firing = false;    ///< a handler runs: the user's actions wait
    HWND focus = nullptr;   ///< the control that had the focus when the window was last deactivated
    bool failed = false;

    void Create();
    /// The control of id; null before it exists.
    HWND Control(int id) const
    {
        const auto found = controls.find(id);
        return found == controls.end() ? nullptr : found->second;
    }
    void RenderCombo(int id, const ComboBoxState& state, ComboBoxState& current);
    void RenderPicture(std::int32_t id);
    /// Hands an action to the handlers; while one runs, nothing else is handed on.
    template <typename Action> void Fire(Action action);
    /// The same for the handlers that may open a window with a loop of its own: the dialog is disabled.
    template <typename Action> void FireDisabled(Action action);
    /// Hands on the texts standing in the three boxes' fields that differ from what the handlers were told.
    void TakeFieldTexts();
    void OnCommand(int id, int code);
    LRESULT OnControlColour(UINT message, HDC dc, HWND control);
    void Paint();
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    /// The handlers catch their own failures; what fails in the view itself ends the run through the entry
    /// point's last resort.
    void Failed() { failed = true; }
};

void Win32DialogView::Impl::Create()
{
    if (!background || !comboFill)
        throw std::runtime_error("CreateSolidBrush failed");
    bigIcon = ui::LoadIconResource(kIconId, true);
    smallIcon = ui::LoadIconResource(kIconId, false);
    // The class serves every view of the process: it holds neither this view's brush nor its icon, which go
    // with the view. The view erases its background itself and sets its icons with WM_SETICON.
    ui::RegisterWindowClass(kMainDialogClass, ui::OwnedWindowProcedure<Impl>, nullptr);
    dpi = ui::ScreenDpi();
    fonts[FontKind::Large] = ui::MakeFont(L"Tahoma", 11.25, true, dpi);
    fonts[FontKind::SmallBold] = ui::MakeFont(L"Tahoma", 8.25, true, dpi);
    fonts[FontKind::Small] = ui::MakeFont(L"Tahoma", 8.25, false, dpi);
    fonts[FontKind::FormDefault] = ui::MakeFont(L"MS Sans Serif", 8.25, false, dpi);
    for (std::int32_t id = kPictureBase; id < kPictureBase + 3; ++id)
        pictures[id] = LoadPicture(id, dpi);

    shown.caption = kCaption;
    window = ui::CreateCentredWindow(kMainDialogClass, shown.caption, kWindowStyle,
                                     ui::TwipsToPixels(kClientWidth, dpi), ui::TwipsToPixels(kClientHeight, dpi), this);
    SendMessageW(window, WM_SETICON, ICON_BIG, AsLParam(bigIcon.Get()));
    SendMessageW(window, WM_SETICON, ICON_SMALL, AsLParam(smallIcon.Get()));

    for (const ControlLayout& layout : kControls)
    {
        RECT place = ui::TwipsRect(layout.twips.left, layout.twips.top, layout.twips.right, layout.twips.bottom, dpi);
        const bool combo = layout.windowClass == std::wstring(L"COMBOBOX");
        const int fieldHeight = place.bottom - place.top;
        if (combo)
            place.bottom += MulDiv(kDropDownList, dpi, kDesignDpi);
        HWND control = ui::CreateControl(window, layout.windowClass, layout.text, layout.style, place, layout.id,
                                         fonts.at(layout.font).Get());
        controls[layout.id] = control;
        if (combo)
            FitClosedHeight(control, fieldHeight);
    }
    RenderPicture(shown.sfsPicture);
    SendMessageW(Control(kIdNormFix), BM_SETCHECK, BST_UNCHECKED, 0);
    focus = Control(kIdSymbol);
}

void Win32DialogView::Impl::RenderPicture(std::int32_t id)
{
    const auto found = pictures.find(id);
    HBITMAP bitmap = found == pictures.end() ? nullptr : found->second.Get();
    SendMessageW(Control(kIdPicture), STM_SETIMAGE, IMAGE_BITMAP, AsLParam(bitmap));
}

// A combo box is touched only where its state changed, and its edit field only when the text it shows is
// not the state's: the user's typing stays where it is, caret and selection included.
void Win32DialogView::Impl::RenderCombo(int id, const ComboBoxState& state, ComboBoxState& current)
{
    HWND combo = Control(id);
    const bool refill = state.items != current.items;
    if (refill)
    {
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        for (const std::wstring& item : state.items)
            SendMessageW(combo, CB_ADDSTRING, 0, AsLParam(item.c_str()));
    }
    if (refill || state.text != ui::WindowText(combo))
    {
        const bool isItem = state.listIndex >= 0 && static_cast<std::size_t>(state.listIndex) < state.items.size() &&
                            state.items[static_cast<std::size_t>(state.listIndex)] == state.text;
        if (isItem)
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(state.listIndex), 0);
        if (!isItem || state.text != ui::WindowText(combo))
            SetWindowTextW(combo, state.text.c_str());
    }
    current = state;
}

template <typename Action> void Win32DialogView::Impl::Fire(Action action)
{
    if (events == nullptr || firing || rendering)
        return;
    firing = true;
    try
    {
        action(*events);
    }
    catch (...)
    {
        firing = false;
        throw;
    }
    firing = false;
}

template <typename Action> void Win32DialogView::Impl::FireDisabled(Action action)
{
    if (events == nullptr || firing || rendering)
        return;
    EnableWindow(window, FALSE);
    try
    {
        Fire(action);
    }
    catch (...)
    {
        EnableWindow(window, TRUE);
        throw;
    }
    EnableWindow(window, TRUE);
}

// "Ok" takes what stands in the fields when it is pressed. A text set without a notification (by another
// program, by the system, by an input method) reaches the handlers here, as if typed.
void Win32DialogView::Impl::TakeFieldTexts()
{
    if (events == nullptr || firing || rendering)
        return;
    // All three are read first: each handler draws the dialog anew, the other boxes as the handlers know them.
    const std::wstring kind = ui::WindowText(Control(kIdSymbol));
    const std::wstring rough = ui::WindowText(Control(kIdRough));
    const std::wstring method = ui::WindowText(Control(kIdMethod));
    if (kind != shown.stdSFSSymbol.text)
        Fire([&kind](MainDialogEvents& e) { e.TypeKindText(kind); });
    if (rough != shown.stdSFSRough.text)
        Fire([&rough](MainDialogEvents& e) { e.SetRoughText(rough); });
    if (method != shown.stdSFSMet.text)
        Fire([&method](MainDialogEvents& e) { e.SetMethodText(method); });
}

void Win32DialogView::Impl::OnCommand(int id, int code)
{
    if (rendering)
        return;
    switch (id)
    {
    case kIdSymbol:
    case kIdRough:
    case kIdMethod: {
        HWND combo = Control(id);
        if (combo == nullptr)
            return;
        ComboBoxState& current = id == kIdSymbol  ? shown.stdSFSSymbol
                                 : id == kIdRough ? shown.stdSFSRough
                                                  : shown.stdSFSMet;
        std::wstring text;
        if (code == CBN_SELCHANGE)
        {
            // The field takes the entry's text only after this notification.
            const auto index = static_cast<std::int32_t>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
            if (index < 0)
                return;
            text = ComboItem(combo, index);
            current.listIndex = index;
        }
        else if (code == CBN_EDITCHANGE)
            text = ui::WindowText(combo);
        else
            return;
        current.text = text;
        if (id == kIdSymbol && code == CBN_SELCHANGE)
            Fire([index = current.listIndex](MainDialogEvents& e) { e.ChooseKind(index); });
        else if (id == kIdSymbol)
            Fire([&text](MainDialogEvents& e) { e.TypeKindText(text); });
        else if (id == kIdRough)
            Fire([&text](MainDialogEvents& e) { e.SetRoughText(text); });
        else
            Fire([&text](MainDialogEvents& e) { e.SetMethodText(text); });
        return;
    }
    case kIdNormFix:
        if (code == BN_CLICKED)
            Fire([checked = shown.cbNormFix.value == 0](MainDialogEvents& e) { e.SetNormFix(checked); });
        return;
    case kIdOk:
        if (code == BN_CLICKED)
        {
            TakeFieldTexts();
            FireDisabled([](MainDialogEvents& e) { e.cmd_Ok_Click(); });
        }
        return;
    case kIdCancel:
        if (code == BN_CLICKED)
            FireDisabled([](MainDialogEvents& e) { e.cmd_Cancel_Click(); });
        return;
    case IDOK: {
        // Enter: the dialog has no default button, but a focused button takes Enter as a click.
        HWND focused = GetFocus();
        if (focused == Control(kIdOk) || focused == Control(kIdCancel))
            SendMessageW(focused, BM_CLICK, 0, 0);
        return;
    }
    default:
        // Esc arrives as IDCANCEL: the dialog has no cancel button.
        return;
    }
}

LRESULT Win32DialogView::Impl::OnControlColour(UINT message, HDC dc, HWND control)
{
    if (message == WM_CTLCOLOREDIT || message == WM_CTLCOLORLISTBOX)
    {
        SetBkColor(dc, kComboFill);
        return AsLParam(comboFill.Get());
    }
    // By the id: the system may ask for colours while the dialog is made, before the last control exists.
    if (GetDlgCtrlID(control) == kIdLabel4)
        SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    SetBkColor(dc, kBackground);
    return AsLParam(background.Get());
}

void Win32DialogView::Impl::Paint()
{
    const win32::PaintDc dc(window);
    const win32::UniqueGdi<HPEN> pen{CreatePen(PS_SOLID, 1, GetSysColor(COLOR_WINDOWTEXT))};
    if (!dc || !pen)
        return;
    const win32::SelectedObject selected(dc.Get(), pen.Get());
    const int y = ui::TwipsToPixels(kLineFrom.y, dpi);
    MoveToEx(dc.Get(), ui::TwipsToPixels(kLineFrom.x, dpi), y, nullptr);
    LineTo(dc.Get(), ui::TwipsToPixels(kLineTo.x, dpi) + 1, ui::TwipsToPixels(kLineTo.y, dpi));
}

LRESULT Win32DialogView::Impl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_COMMAND:
        // From a control, or Enter and Esc as IDOK and IDCANCEL from the dialog keys.
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnControlColour(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, background.Get());
        return 1;
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ACTIVATE:
        // The focus goes back to the control that had it, as in a dialog box.
        if (LOWORD(wParam) == WA_INACTIVE)
        {
            HWND current = GetFocus();
            if (current != nullptr && IsChild(window, current))
                focus = current;
        }
        else if (focus != nullptr && IsWindow(focus))
            SetFocus(focus);
        return 0;
    case WM_CLOSE:
        FireDisabled([](MainDialogEvents& e) { e.Form_Unload(); });
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

Win32DialogView::Win32DialogView() : m_impl(std::make_unique<Impl>())
{
    try
    {
        m_impl->Create();
    }
    catch (...)
    {
        if (m_impl->window != nullptr)
            DestroyWindow(m_impl->window);
        throw;
    }
}

Win32DialogView::~Win32DialogView()
{
    HWND window = m_impl->window;
    m_impl->window = nullptr;
    DestroyWindow(window);
}

std::intptr_t Win32DialogView::WindowHandle()
{
    return reinterpret_cast<std::intptr_t>(m_impl->window);
}

void Win32DialogView::ShowModeless(const MainDialogState& state, MainDialogEvents& events)
{
    m_impl->events = &events;
    Render(state);
    ShowWindow(m_impl->window, SW_SHOW);
    SetForegroundWindow(m_impl->window);
    SetFocus(m_impl->focus);
    UpdateWindow(m_impl->window);
}

void Win32DialogView::Render(const MainDialogState& state)
{
    Impl& impl = *m_impl;
    MainDialogState& shown = impl.shown;
    impl.rendering = true;
    try
    {
        if (state.caption != shown.caption)
            SetWindowTextW(impl.window, state.caption.c_str());
        impl.RenderCombo(kIdSymbol, state.stdSFSSymbol, shown.stdSFSSymbol);
        impl.RenderCombo(kIdRough, state.stdSFSRough, shown.stdSFSRough);
        impl.RenderCombo(kIdMethod, state.stdSFSMet, shown.stdSFSMet);
        if (state.sfsPicture != shown.sfsPicture)
            impl.RenderPicture(state.sfsPicture);
        if (state.label3Caption != shown.label3Caption)
            SetWindowTextW(impl.Control(kIdLabel3), state.label3Caption.c_str());
        HWND normFix = impl.Control(kIdNormFix);
        if (state.cbNormFix.value != shown.cbNormFix.value)
            SendMessageW(normFix, BM_SETCHECK, state.cbNormFix.value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        if (state.cbNormFix.enabled != shown.cbNormFix.enabled)
            EnableWindow(normFix, state.cbNormFix.enabled ? TRUE : FALSE);
        if (state.cbNormFix.visible != shown.cbNormFix.visible)
            ShowWindow(normFix, state.cbNormFix.visible ? SW_SHOWNA : SW_HIDE);
        // Showing is ShowModeless's part; a state that says hidden hides the window.
        if (!state.visible && IsWindowVisible(impl.window))
            ShowWindow(impl.window, SW_HIDE);
    }
    catch (...)
    {
        impl.rendering = false;
        throw;
    }
    shown = state;
    impl.rendering = false;
}

void Win32DialogView::Hide()
{
    ShowWindow(m_impl->window, SW_HIDE);
}

LoopEnd Win32DialogView::RunMessageLoop(const std::function<bool()>& ended)
{
    MSG message{};
    while (!ended())
    {
        if (m_impl->failed)
            return LoopEnd::WindowFailed;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0)
            return LoopEnd::QuitRequested;
        // The loop itself failed: no closed window, a failure.
        if (got == -1)
            return LoopEnd::WindowFailed;
        if (m_impl->window != nullptr && IsDialogMessageW(m_impl->window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return m_impl->failed ? LoopEnd::WindowFailed : LoopEnd::RunEnded;
}

bool Win32DialogView::Failed() const
{
    return m_impl->failed;
}

int RunWindowsProgram(Run& run, Win32DialogView& view, frmMain& form)
{
    // Every setting would read as its default, and the configuration would look wrong with no hint why.
    if (!config::Win32ProfileStore::Reaches(run.iniPath))
    {
        run.cc.Init(kCaption, kIconId, true);
        run.cc.eMisc(config::UnreachableFolderMessage(run.iniPath));
        run.cc.DisplayError();
        return kExitErrorShown;
    }
    form.Form_Load();
    const LoopEnd loopEnd = view.RunMessageLoop([&form] { return form.Ended(); });
    if (form.Ended())
        return form.RunEnding() == Ending::Error ? kExitErrorShown : kExitClean;

    if (loopEnd == LoopEnd::WindowFailed)
    {
        // The last resort: the dialog's own code failed outside every handler, so the drawing is untouched.
        run.cc.eMisc(kUnexpectedUntouched);
        run.cc.DisplayError();
        form.Form_Unload();
        return kExitErrorShown;
    }
    // The system asked the process to end: as if the window were closed.
    form.Form_Unload();
    return kExitClean;
}

} // namespace app
