#include "app/main_dialog_win32.h"

#include "tests/app/app_harness.h"
#include "ui/window_win32.h"
#include "win32/handles.h"
#include "win32/win32.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

using Harness = app_tests::BasicAppHarness<app::Win32DialogView>;

struct Expected
{
    int id;
    const wchar_t* windowClass;
    RECT twips;          ///< left, top, width, height, as the layout gives them
    const wchar_t* face; ///< nullptr: the control shows no text
    double points;
    bool bold;
};

const Expected kControls[] = {
    {app::kIdSymbol, L"ComboBox", {100, 360, 2085, 390}, L"Tahoma", 11.25, true},
    {app::kIdRough, L"ComboBox", {2730, 360, 975, 390}, L"Tahoma", 11.25, true},
    {app::kIdOk, L"Button", {2550, 1830, 1170, 345}, L"Tahoma", 8.25, true},
    {app::kIdCancel, L"Button", {1185, 1830, 1170, 345}, L"Tahoma", 8.25, false},
    {app::kIdPicture, L"Static", {2250, 360, 400, 400}, nullptr, 0, false},
    {app::kIdLabel1, L"Static", {100, 120, 615, 255}, L"Tahoma", 8.25, false},
    {app::kIdLabel2, L"Static", {105, 900, 855, 255}, L"Tahoma", 8.25, false},
    {app::kIdMethod, L"ComboBox", {100, 1155, 2085, 315}, L"MS Sans Serif", 8.25, false},
    {app::kIdLabel3, L"Static", {2750, 105, 930, 255}, L"Tahoma", 8.25, false},
    {app::kIdLabel4, L"Static", {200, 1890, 495, 255}, L"MS Sans Serif", 8.25, false},
    {app::kIdNormFix, L"Button", {2760, 1200, 975, 255}, L"MS Sans Serif", 8.25, false},
};

/// The screen resolution the test's Wine prefix has: 96 dpi, or what GLM_EXPECT_DPI says (144 in the prefix
/// of the scaled run, tests/app/CMakeLists.txt).
int ExpectedDpi()
{
    const char* dpi = std::getenv("GLM_EXPECT_DPI");
    return dpi != nullptr ? std::atoi(dpi) : 96;
}

/// Twips in pixels at dpi, as a layout in twips is placed.
int Pixels(LONG twips, int dpi)
{
    return MulDiv(twips, dpi, 1440);
}

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

// Also run at 144 dpi (tests/app/CMakeLists.txt): the layout, its fonts and the kind's picture scale alike.
TEST_F(Win32DialogTest, StandardControlsAtTheirPlacesInTabOrder)
{
    const int dpi = ExpectedDpi();
    ASSERT_EQ(ui::ScreenDpi(), dpi);
    RECT client{};
    GetClientRect(Dialog(), &client);
    EXPECT_EQ(client.right, Pixels(3780, dpi));
    EXPECT_EQ(client.bottom, Pixels(2295, dpi));
    EXPECT_EQ(ui::WindowText(Dialog()), L"SW Oberfl\u00e4chen - Assistent");
    EXPECT_TRUE(IsWindowVisible(Dialog()));
    // A fixed frame: the layout is laid out in twips for this one size.
    EXPECT_EQ(GetWindowLongW(Dialog(), GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);

    for (const Expected& e : kControls)
    {
        SCOPED_TRACE(e.id);
        HWND control = Control(e.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(ClassOf(control), e.windowClass);
        const RECT place = ClientPlace(control);
        const int left = Pixels(e.twips.left, dpi);
        const int top = Pixels(e.twips.top, dpi);
        EXPECT_EQ(std::vector<LONG>({place.left, place.top, place.right, place.bottom}),
                  std::vector<LONG>({left, top, left + Pixels(e.twips.right, dpi), top + Pixels(e.twips.bottom, dpi)}));
        if (e.face == nullptr)
            continue;
        // A combo box's field shows the text: its font is the one that counts.
        HWND field = FindWindowExW(control, nullptr, L"Edit", nullptr);
        for (HWND shown : field != nullptr ? std::vector<HWND>{control, field} : std::vector<HWND>{control})
        {
            SCOPED_TRACE(shown == field ? "edit field" : "control");
            const LOGFONTW font = FontOf(shown);
            EXPECT_EQ(std::wstring(font.lfFaceName), e.face);
            EXPECT_EQ(font.lfHeight, -std::lround(e.points * dpi / 72));
            EXPECT_EQ(font.lfWeight >= FW_BOLD, e.bold);
        }
    }

    // The kind's 24-pixel picture scales with the dialog.
    BITMAP picture{};
    ASSERT_NE(
        GetObjectW(reinterpret_cast<HBITMAP>(SendMessageW(Control(app::kIdPicture), STM_GETIMAGE, IMAGE_BITMAP, 0)),
                   sizeof picture, &picture),
        0);
    EXPECT_EQ(picture.bmWidth, MulDiv(24, dpi, 96));
    EXPECT_EQ(picture.bmHeight, MulDiv(24, dpi, 96));

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
