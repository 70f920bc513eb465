#include "config/ansi_code_page.h"
#include "win32/ansi.h"
#include "win32/handles.h"
#include "win32/win32.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace
{

TEST(Ansi, TheSystemsCodePageReadsAsThePortableOne)
{
    ASSERT_EQ(GetACP(), 1252u) << "the test prefix's ANSI code page";
    std::string bytes;
    for (int i = 1; i < 256; ++i)
        bytes.push_back(static_cast<char>(i));
    EXPECT_EQ(win32::FromAnsi(bytes), config::DecodeWindows1252(bytes));
    EXPECT_EQ(win32::ToAnsi(L"gefr\u00e4st \u20ac \u0142"), config::EncodeWindows1252(L"gefr\u00e4st \u20ac \u0142"));
    EXPECT_EQ(win32::ThroughAnsi(L"\u0141ukasz"), L"?ukasz");
}

TEST(Ansi, PathsTheProfileFunctionsReach)
{
    const auto folder = std::filesystem::temp_directory_path() / L"glm-win32 \u0141\u00f3d\u017a";
    std::filesystem::create_directories(folder);
    const std::wstring outside = folder.wstring();
    // A path the code page holds goes as it is; one it lacks, by the short name of what exists.
    EXPECT_EQ(win32::AnsiPath(L"C:\\cad\\gefr\u00e4st.ini"), "C:\\cad\\gefr\xE4st.ini");
    const auto shortFolder = win32::AnsiPath(outside);
    ASSERT_TRUE(shortFolder.has_value());
    EXPECT_EQ(win32::FromAnsi(*shortFolder).find(L'?'), std::wstring::npos);
    EXPECT_EQ(win32::AnsiPath(outside + L"\\neu.ini"), *shortFolder + "\\neu.ini");
    // A new file whose own name the code page lacks has no such form.
    EXPECT_EQ(win32::AnsiPath(outside + L"\\\u0141.ini"), std::nullopt);
    std::filesystem::remove_all(folder);
}

TEST(Handles, SelectionPutsTheOldObjectBackBeforeTheObjectGoes)
{
    const win32::UniqueHdc dc{CreateCompatibleDC(nullptr)};
    ASSERT_TRUE(dc);
    const HGDIOBJ before = GetCurrentObject(dc.Get(), OBJ_PEN);
    {
        const win32::UniqueGdi<HPEN> pen{CreatePen(PS_SOLID, 1, RGB(1, 2, 3))};
        const win32::SelectedObject selected(dc.Get(), pen.Get());
        ASSERT_TRUE(selected);
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), before);

    win32::UniqueHandle event{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    const HANDLE raw = event.Get();
    win32::UniqueHandle moved = std::move(event);
    EXPECT_FALSE(event);
    EXPECT_EQ(moved.Get(), raw);
    moved.Reset();
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags)) << "closed";
}

} // namespace
