#include "app/main_dialog_win32.h"

#include "tests/app/app_harness.h"
#include "ui/window_win32.h"
#include "win32/handles.h"
#include "win32/win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using Harness = app_tests::BasicAppHarness<app::Win32DialogView>;

struct Expected
{
    int id;
    const wchar_t* windowClass;
    RECT place;          ///< pixels at 96 dpi: the table's twips / 15
    const wchar_t* face; ///< nullptr: the control shows no text
    int height;          ///< character height in pixels: 11.25 pt is 15, 8.25 pt is 11
    bool bold;
};

const Expected kControls[] = {
    {app::kIdSymbol, L"ComboBox", {7, 24, 146, 50}, L"Tahoma", 15, true},
    {app::kIdRough, L"ComboBox", {182, 24, 247, 50}, L"Tahoma", 15, true},
    {app::kIdOk, L"Button", {170, 122, 248, 145}, L"Tahoma", 11, true},
    {app::kIdCancel, L"Button", {79, 122, 157, 145}, L"Tahoma", 11, false},
    {app::kIdPicture, L"Static", {150, 24, 177, 51}, nullptr, 0, false},
    {app::kIdLabel1, L"Static", {7, 8, 48, 25}, L"Tahoma", 11, false},
    {app::kIdLabel2, L"Static", {7, 60, 64, 77}, L"Tahoma", 11, false},
    {app::kIdMethod, L"ComboBox", {7, 77, 146, 98}, L"MS Sans Serif", 11, false},
    {app::kIdLabel3, L"Static", {183, 7, 245, 24}, L"Tahoma", 11, false},
    {app::kIdLabel4, L"Static", {13, 126, 46, 143}, L"MS Sans Serif", 11, false},
    {app::kIdNormFix, L"Button", {184, 80, 249, 97}, L"MS Sans Serif", 11, false},
};

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

RECT ClientPlace(HWND control)
{
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

template <typename Handle> COLORREF BrushColour(Handle brush)
{
    LOGBRUSH logBrush{};
    GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof logBrush, &logBrush);
    return logBrush.lbColor;
}

/// The colour the window erases its background with, read back from a memory device context.
COLORREF ErasedColour(HWND window)
{
    const win32::WindowDc screen(window);
    const win32::UniqueHdc memory{CreateCompatibleDC(screen.Get())};
    const win32::UniqueGdi<HBITMAP> bitmap{CreateCompatibleBitmap(screen.Get(), 4, 4)};
    const win32::SelectedObject selected(memory.Get(), bitmap.Get());
    SetPixel(memory.Get(), 1, 1, RGB(1, 2, 3));
    SendMessageW(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), 0);
    return GetPixel(memory.Get(), 1, 1);
}

LOGFONTW FontOf(HWND window)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

class Win32DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        h.form->Form_Load();
        ASSERT_FALSE(h.form->Ended());
    }
    HWND Dialog() { return reinterpret_cast<HWND>(h.view.WindowHandle()); }
    HWND Control(int id) { return GetDlgItem(Dialog(), id); }
    HWND Edit(int id) { return FindWindowExW(Control(id), nullptr, L"Edit", nullptr); }
    /// The user types one character into a combo box's field.
    void Type(int id, wchar_t character) { SendMessageW(Edit(id), WM_CHAR, character, 1); }

    Harness h{app_tests::DrawingSession()};
};

TEST_F(Win32DialogTest, StandardControlsAtTheirPlacesInTabOrder)
{
    RECT client{};
    GetClientRect(Dialog(), &client);
    EXPECT_EQ(client.right, 252);
    EXPECT_EQ(client.bottom, 153);
    EXPECT_EQ(ui::WindowText(Dialog()), L"SW Oberfl\u00e4chen - Assistent");
    EXPECT_TRUE(IsWindowVisible(Dialog()));

    for (const Expected& e : kControls)
    {
        SCOPED_TRACE(e.id);
        HWND control = Control(e.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), e.windowClass);
        const RECT place = ClientPlace(control);
        EXPECT_EQ(std::vector<LONG>({place.left, place.top, place.right, place.bottom}),
                  std::vector<LONG>({e.place.left, e.place.top, e.place.right, e.place.bottom}));
        if (e.face == nullptr)
            continue;
        // A combo box's field shows the text: its font is the one that counts.
        HWND field = FindWindowExW(control, nullptr, L"Edit", nullptr);
        for (HWND shown : field != nullptr ? std::vector<HWND>{control, field} : std::vector<HWND>{control})
        {
            SCOPED_TRACE(shown == field ? "edit field" : "control");
            const LOGFONTW font = FontOf(shown);
            EXPECT_EQ(std::wstring(font.lfFaceName), e.face);
            EXPECT_EQ(font.lfHeight, -e.height);
            EXPECT_EQ(font.lfWeight >= FW_BOLD, e.bold);
        }
    }

    const auto& state = h.form->State();
    EXPECT_EQ(ui::WindowText(Control(app::kIdSymbol)), L"Spanend");
    EXPECT_EQ(SendMessageW(Control(app::kIdSymbol), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(ui::WindowText(Control(app::kIdRough)), state.stdSFSRough.text);
    EXPECT_EQ(SendMessageW(Control(app::kIdRough), CB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(ui::WindowText(Control(app::kIdMethod)), state.stdSFSMet.text);
    EXPECT_EQ(ui::WindowText(Control(app::kIdLabel3)), L"Rauheit (Ra)");
    EXPECT_EQ(ui::WindowText(Control(app::kIdLabel4)), L"1.80");
    EXPECT_EQ(SendMessageW(Control(app::kIdNormFix), BM_GETCHECK, 0, 0), BST_CHECKED);

    // Tab goes round the controls that take the focus, in the table's order.
    const std::vector<int> tabOrder = {app::kIdSymbol, app::kIdRough,   app::kIdOk,    app::kIdCancel,
                                       app::kIdMethod, app::kIdNormFix, app::kIdSymbol};
    HWND current = Control(app::kIdSymbol);
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
    {
        current = GetNextDlgTabItem(Dialog(), current, FALSE);
        EXPECT_EQ(GetDlgCtrlID(current), tabOrder[i]);
    }

    // Grey dialog, teal combo fields and lists, "1.80" in the grey-text colour.
    EXPECT_EQ(ErasedColour(Dialog()), RGB(192, 192, 192));
    HDC dc = GetDC(Dialog());
    EXPECT_EQ(BrushColour(SendMessageW(Dialog(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(Edit(app::kIdMethod)))),
              RGB(180, 226, 219));
    EXPECT_EQ(BrushColour(SendMessageW(Dialog(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), 0)),
              RGB(180, 226, 219));
    EXPECT_EQ(BrushColour(SendMessageW(Dialog(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(Control(app::kIdLabel4)))),
              RGB(192, 192, 192));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_GRAYTEXT));
    ReleaseDC(Dialog(), dc);
}

TEST_F(Win32DialogTest, EnterPressesOnlyAFocusedButton)
{
    for (int id : {app::kIdOk, app::kIdCancel})
        EXPECT_EQ(GetWindowLongW(Control(id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_NE(HIWORD(SendMessageW(Dialog(), DM_GETDEFID, 0, 0)), DC_HASDEFID);
    const auto press = [this](HWND focus, WPARAM key) {
        SetFocus(focus);
        MSG message{focus, WM_KEYDOWN, key, 1, 0, {}};
        if (!IsDialogMessageW(Dialog(), &message))
            DispatchMessageW(&message);
    };
    press(Edit(app::kIdRough), VK_RETURN);
    press(Edit(app::kIdRough), VK_ESCAPE);
    press(Control(app::kIdCancel), VK_ESCAPE);
    EXPECT_FALSE(h.form->Ended());
    press(Control(app::kIdCancel), VK_RETURN);
    EXPECT_EQ(h.form->RunEnding(), app::Ending::Cancel);
}

TEST_F(Win32DialogTest, KindFollowsTheListAndComesBackAfterTyping)
{
    HWND kind = Control(app::kIdSymbol);
    const auto picture = [this] { return SendMessageW(Control(app::kIdPicture), STM_GETIMAGE, IMAGE_BITMAP, 0); };
    const LRESULT spanend = picture();
    ASSERT_NE(spanend, 0);

    // Choosing "Roh" from the list.
    SendMessageW(kind, CB_SETCURSEL, 2, 0);
    SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(app::kIdSymbol, CBN_SELCHANGE), reinterpret_cast<LPARAM>(kind));
    EXPECT_EQ(h.form->symbolKind, 2);
    EXPECT_EQ(h.form->State().sfsPicture, 103);
    EXPECT_NE(picture(), spanend);

    Type(app::kIdSymbol, L'x');
    EXPECT_EQ(ui::WindowText(kind), L"Roh");
    EXPECT_EQ(h.form->State().stdSFSSymbol.listIndex, 2);
    EXPECT_EQ(h.form->State().sfsPicture, 103);

    // Method and roughness are taken as typed, and the field keeps the user's caret.
    SendMessageW(Edit(app::kIdRough), EM_SETSEL, 0, -1);
    for (wchar_t c : std::wstring(L"4,5"))
        Type(app::kIdRough, c);
    EXPECT_EQ(ui::WindowText(Control(app::kIdRough)), L"4,5");
    EXPECT_EQ(h.form->State().stdSFSRough.text, L"4,5");
    Type(app::kIdMethod, L'!');
    EXPECT_EQ(h.form->State().stdSFSMet.text, ui::WindowText(Control(app::kIdMethod)));

    SendMessageW(Control(app::kIdOk), BM_CLICK, 0, 0);
    EXPECT_EQ(h.form->RunEnding(), app::Ending::Ok);
    EXPECT_FALSE(IsWindowVisible(Dialog()));
}

TEST_F(Win32DialogTest, OkTakesTheTextsStandingInTheBoxesAtThePress)
{
    // Set by another program, the system or an input method: no notification tells the dialog.
    SendMessageW(Control(app::kIdRough), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"12,5"));
    SendMessageW(Edit(app::kIdMethod), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"gel\u00e4ppt"));
    SendMessageW(Control(app::kIdOk), BM_CLICK, 0, 0);
    ASSERT_EQ(h.form->RunEnding(), app::Ending::Ok);
    EXPECT_EQ(h.run->list.sfsList[0].maxRoughStr, L"12,5");
    EXPECT_EQ(h.run->list.sfsList[0].methodeStr, L"gel\u00e4ppt");
}

TEST(Win32DialogView, ASecondDialogOfTheProcessHasItsColoursAndIcon)
{
    for (const char* which : {"first", "second"})
    {
        SCOPED_TRACE(which);
        Harness h{app_tests::DrawingSession()};
        HWND dialog = reinterpret_cast<HWND>(h.view.WindowHandle());
        EXPECT_EQ(ErasedColour(dialog), RGB(192, 192, 192));
        const win32::WindowDc dc(dialog);
        EXPECT_EQ(BrushColour(SendMessageW(dialog, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc.Get()), 0)),
                  RGB(180, 226, 219));
        ICONINFO icon{};
        ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_BIG, 0)), &icon));
        DeleteObject(icon.hbmColor);
        DeleteObject(icon.hbmMask);
    }
}

/// While the dialog is made, asks it for a control's colours as the first control comes into being, as a
/// system may before the last control exists.
LRESULT CALLBACK AskColoursOfTheFirstControl(int code, WPARAM wParam, LPARAM lParam)
{
    static bool asked = false;
    if (code == HCBT_CREATEWND && !asked)
    {
        const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        HWND parent = create->lpcs->hwndParent;
        if (parent != nullptr && ClassOf(parent) == app::kMainDialogClass)
        {
            asked = true;
            const win32::WindowDc dc(parent);
            SendMessageW(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()), static_cast<LPARAM>(wParam));
            SendMessageW(parent, WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc.Get()), static_cast<LPARAM>(wParam));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Win32DialogView, ColourMessageBeforeTheLastControlExistsIsAnswered)
{
    HHOOK hook = SetWindowsHookExW(WH_CBT, AskColoursOfTheFirstControl, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    Harness h{app_tests::DrawingSession()};
    UnhookWindowsHookEx(hook);
    EXPECT_FALSE(h.view.Failed());
    h.form->Form_Load();
    EXPECT_FALSE(h.form->Ended());
}

} // namespace
