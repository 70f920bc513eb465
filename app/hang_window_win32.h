// The question asked when the CAD host has not answered one call for the hang limit: a small top-most window
// of the program's own, with the dialog's caption and icon, "SolidWorks antwortet nicht." and the buttons
// "Warten" and "Abbrechen". It never blocks: the runtime dispatches its messages while the call waits.
#pragma once

#include "host/hang_watch.h"

#include <functional>
#include <memory>
#include <string>

namespace app
{

inline constexpr const wchar_t* kHangText = L"SolidWorks antwortet nicht.";
/// Control ids and window class, fixed so that a UI driver can find them; apart from the dialog's (11xx) and
/// the message window's, as the three share the caption.
inline constexpr int kHangLabelId = 1201;
inline constexpr int kHangWaitId = 1202;   ///< "Warten"
inline constexpr int kHangCancelId = 1203; ///< "Abbrechen"
inline constexpr const wchar_t* kHangWindowClass = L"GlattmarkHangWindow";

class Win32HangWindow final : public host::HangWatch
{
public:
    /// abandon: reports the host failure and ends the program (see HangWatch::Abandon).
    Win32HangWindow(std::wstring caption, int iconId, std::function<void()> abandon);
    ~Win32HangWindow() override;

    void Ask() override;
    Answer Answered() override;
    void Withdraw() override;
    void Abandon() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace app
