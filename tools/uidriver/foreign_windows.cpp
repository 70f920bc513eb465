#include "tools/uidriver/foreign_windows.h"

#include "win32/callback.h"
#include "win32/handles.h"

#include <tlhelp32.h>

namespace uidriver
{

namespace
{

/// Sends a message and waits for the answer, at most kAnswerTime.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, static_cast<UINT>(kAnswerTime.count()),
                            &result) == 0)
        throw WindowError("the window does not answer message " + std::to_string(message));
    return static_cast<LRESULT>(result);
}

template <typename T> LPARAM AsLParam(T value)
{
    return reinterpret_cast<LPARAM>(value);
}

struct Search
{
    DWORD processId = 0;
    std::vector<HWND> found;
    win32::CallbackFailure failure;
};

BOOL CALLBACK CollectVisible(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    return search->failure.Guard(FALSE, [&] {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == search->processId && IsWindowVisible(window))
            search->found.push_back(window);
        return TRUE;
    });
}

BOOL CALLBACK CollectChild(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<Search*>(parameter);
    return search->failure.Guard(FALSE, [&] {
        search->found.push_back(window);
        return TRUE;
    });
}

std::vector<HWND> ChildrenOf(HWND window)
{
    Search search;
    EnumChildWindows(window, CollectChild, AsLParam(&search));
    search.failure.Rethrow();
    return search.found;
}

/// The pixels of a bitmap, as 32-bit top-down rows.
Pixels PixelsOf(HDC dc, HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Pixels pixels{width, height,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))};
    if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.rgb.data(), &info, DIB_RGB_COLORS) != height)
        return {};
    for (std::uint32_t& pixel : pixels.rgb)
        pixel &= 0x00FFFFFFu;
    return pixels;
}

bool FoundAt(const Pixels& shown, const Pixels& bitmap, int left, int top)
{
    for (int y = 0; y < bitmap.height; ++y)
    {
        const auto shownRow = static_cast<std::size_t>(top + y) * static_cast<std::size_t>(shown.width);
        const auto bitmapRow = static_cast<std::size_t>(y) * static_cast<std::size_t>(bitmap.width);
        for (int x = 0; x < bitmap.width; ++x)
        {
            if (shown.rgb[shownRow + static_cast<std::size_t>(left + x)] !=
                bitmap.rgb[bitmapRow + static_cast<std::size_t>(x)])
                return false;
        }
    }
    return true;
}

} // namespace

std::vector<HWND> VisibleWindowsOf(DWORD processId)
{
    Search search;
    search.processId = processId;
    EnumWindows(CollectVisible, AsLParam(&search));
    search.failure.Rethrow();
    return search.found;
}

DWORD ChildProcessNamed(DWORD parentId, const std::wstring& fileName)
{
    HANDLE raw = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (raw == INVALID_HANDLE_VALUE)
        return 0;
    const win32::UniqueHandle snapshot{raw};
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
    {
        if (entry.th32ParentProcessID == parentId &&
            CompareStringOrdinal(entry.szExeFile, -1, fileName.c_str(), -1, TRUE) == CSTR_EQUAL)
            return entry.th32ProcessID;
    }
    return 0;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::wstring TextOf(HWND window)
{
    const auto length = Send(window, WM_GETTEXTLENGTH);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto copied = Send(window, WM_GETTEXT, text.size(), AsLParam(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

HWND Control(HWND window, int id)
{
    HWND control = GetDlgItem(window, id);
    if (control == nullptr)
        throw WindowError("no control " + std::to_string(id));
    return control;
}

std::vector<std::wstring> ComboItems(HWND combo)
{
    const auto count = Send(combo, CB_GETCOUNT);
    std::vector<std::wstring> items;
    for (LRESULT i = 0; i < count; ++i)
    {
        const auto length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i));
        std::wstring item(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        const auto copied = Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), AsLParam(item.data()));
        item.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        items.push_back(item);
    }
    return items;
}

std::int32_t ComboSelection(HWND combo)
{
    const auto index = Send(combo, CB_GETCURSEL);
    return index == CB_ERR ? -1 : static_cast<std::int32_t>(index);
}

bool Checked(HWND button)
{
    return Send(button, BM_GETCHECK) == BST_CHECKED;
}

std::wstring StaticText(HWND window)
{
    for (HWND child : ChildrenOf(window))
    {
        if (_wcsicmp(ClassOf(child).c_str(), L"Static") != 0)
            continue;
        std::wstring text = TextOf(child);
        if (!text.empty())
            return text;
    }
    return {};
}

HWND ButtonWithId(HWND window, int id)
{
    for (HWND child : ChildrenOf(window))
    {
        if (_wcsicmp(ClassOf(child).c_str(), L"Button") == 0 && GetDlgCtrlID(child) == id)
            return child;
    }
    return nullptr;
}

void ChooseEntry(HWND combo, int index)
{
    if (Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index)) == CB_ERR)
        throw WindowError("no list entry " + std::to_string(index));
    // CB_SETCURSEL itself notifies nobody; the list does when a person clicks into it.
    const int id = GetDlgCtrlID(combo);
    Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), AsLParam(combo));
}

void TypeInto(HWND combo, const std::wstring& text)
{
    HWND field = FindWindowExW(combo, nullptr, L"Edit", nullptr);
    if (field == nullptr)
        throw WindowError("the combo box has no edit field");
    Send(field, EM_SETSEL, 0, -1);
    if (text.empty())
        Send(field, WM_CHAR, VK_BACK, 1);
    for (wchar_t character : text)
        Send(field, WM_CHAR, character, 1);
}

void Click(HWND button)
{
    if (!PostMessageW(button, BM_CLICK, 0, 0))
        throw WindowError("the click did not arrive");
}

void CloseBox(HWND window)
{
    if (!PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0))
        throw WindowError("the close box did not arrive");
}

std::map<int, Pixels> BitmapResources(const std::wstring& executable, const std::vector<int>& ids)
{
    std::map<int, Pixels> bitmaps;
    const win32::UniqueModule module{
        LoadLibraryExW(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)};
    if (!module)
        return bitmaps;
    const win32::WindowDc screen(nullptr);
    for (int id : ids)
    {
        const win32::UniqueGdi<HBITMAP> bitmap{static_cast<HBITMAP>(
            LoadImageW(module.Get(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))};
        BITMAP size{};
        if (bitmap && GetObjectW(bitmap.Get(), sizeof size, &size) != 0)
            bitmaps[id] = PixelsOf(screen.Get(), bitmap.Get(), size.bmWidth, size.bmHeight);
    }
    return bitmaps;
}

Pixels ScreenPixels(HWND window)
{
    RECT place{};
    if (!GetWindowRect(window, &place))
        return {};
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    const win32::WindowDc screen(nullptr);
    const win32::UniqueHdc memory{CreateCompatibleDC(screen.Get())};
    const win32::UniqueGdi<HBITMAP> copy{CreateCompatibleBitmap(screen.Get(), width, height)};
    if (!memory || !copy)
        return {};
    bool copied = false;
    {
        const win32::SelectedObject selected(memory.Get(), copy.Get());
        copied = BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), place.left, place.top, SRCCOPY) != 0;
    }
    return copied ? PixelsOf(memory.Get(), copy.Get(), width, height) : Pixels{};
}

int FindBitmap(const Pixels& shown, const std::map<int, Pixels>& candidates)
{
    for (const auto& [id, bitmap] : candidates)
    {
        if (bitmap.width == 0 || bitmap.width > shown.width || bitmap.height > shown.height)
            continue;
        for (int top = 0; top + bitmap.height <= shown.height; ++top)
            for (int left = 0; left + bitmap.width <= shown.width; ++left)
                if (FoundAt(shown, bitmap, left, top))
                    return id;
    }
    return 0;
}

} // namespace uidriver
