// Owners of the Win32 handles the program and its tools hold, in the manner of WIL's resource.h: each gives
// its handle back exactly once, with the function its kind needs, on every way out of a scope (an exception
// included). A new kind of handle is one alias below, or a traits struct of its own where "none" is not null
// (a file's is INVALID_HANDLE_VALUE).
#pragma once

#include "win32/win32.h"

#include <utility>

namespace win32
{

/// One owned handle of the kind Traits describes: Traits::Type, Traits::Invalid() (the value that owns
/// nothing) and Traits::Close(handle), which is called only for a valid handle. Move-only, as WIL's
/// unique_any.
template <typename Traits> class UniqueAny
{
public:
    using Handle = typename Traits::Type;

    UniqueAny() noexcept = default;
    /// Takes over handle, which the caller owned.
    explicit UniqueAny(Handle handle) noexcept : m_h(handle) {}
    UniqueAny(UniqueAny&& other) noexcept : m_h(other.Detach()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept
    {
        if (this != &other)
            Reset(other.Detach());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { Reset(); }

    Handle Get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != Traits::Invalid(); }

    /// Gives back what is held, then holds handle.
    void Reset(Handle handle = Traits::Invalid()) noexcept
    {
        const Handle old = std::exchange(m_h, handle);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }
    /// For out parameters: gives back what is held first.
    Handle* Put() noexcept
    {
        Reset();
        return &m_h;
    }
    /// Hands the handle to the caller.
    Handle Detach() noexcept { return std::exchange(m_h, Traits::Invalid()); }

private:
    Handle m_h = Traits::Invalid();
};

/// Traits of a handle type T whose null value owns nothing and which close gives back.
template <typename T, auto close> struct NullIsNoneTraits
{
    using Type = T;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { close(handle); }
};

/// A kernel object (event, process, thread, job) closed with CloseHandle.
using UniqueHandle = UniqueAny<NullIsNoneTraits<HANDLE, &CloseHandle>>;
/// An open registry key.
using UniqueHkey = UniqueAny<NullIsNoneTraits<HKEY, &RegCloseKey>>;
/// A font, brush, pen or bitmap, deleted with DeleteObject. It must not be selected into a device context
/// when it goes: a SelectedObject of it must go first.
template <typename Object> using UniqueGdi = UniqueAny<NullIsNoneTraits<Object, &DeleteObject>>;
/// A device context made with CreateCompatibleDC or CreateDC, deleted with DeleteDC.
using UniqueHdc = UniqueAny<NullIsNoneTraits<HDC, &DeleteDC>>;
/// An icon loaded at a size of its own (LoadImage without LR_SHARED), destroyed with DestroyIcon.
using UniqueIcon = UniqueAny<NullIsNoneTraits<HICON, &DestroyIcon>>;
/// A module loaded with LoadLibrary(Ex), freed with FreeLibrary.
using UniqueModule = UniqueAny<NullIsNoneTraits<HMODULE, &FreeLibrary>>;

/// A window's device context (GetDC), given back to that window with ReleaseDC. GetDC(nullptr) is the
/// screen's.
class WindowDc
{
public:
    explicit WindowDc(HWND window) noexcept : m_window(window), m_dc(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc()
    {
        if (m_dc != nullptr)
            ReleaseDC(m_window, m_dc);
    }

    HDC Get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_window;
    HDC m_dc;
};

/// The painting of a window's WM_PAINT: BeginPaint, and EndPaint when it goes.
class PaintDc
{
public:
    explicit PaintDc(HWND window) noexcept : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(m_window, &m_paint); }

    HDC Get() const noexcept { return m_dc; }
    explicit operator bool() const noexcept { return m_dc != nullptr; }

private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

/// Selects object into dc while it lives and puts the object selected before back when it goes (WIL's
/// unique_select_object): a device context must not be deleted with an object of ours in it, nor the object
/// while it is selected. Make it after the owners of dc and object, so that it goes before them.
class SelectedObject
{
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject()
    {
        if (*this)
            SelectObject(m_dc, m_previous);
    }

    /// False when the object could not be selected (nothing is put back then).
    explicit operator bool() const noexcept { return m_previous != nullptr && m_previous != RegionFailure(); }

private:
    /// What SelectObject answers for a region it cannot select (HGDI_ERROR); other objects fail as null.
    static HGDIOBJ RegionFailure() noexcept { return reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1)); }

    HDC m_dc;
    HGDIOBJ m_previous;
};

} // namespace win32
