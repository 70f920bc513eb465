// The message ports in a terminal: every message goes to standard error as one "caption: text" line and
// counts as acknowledged at once, since nobody may be there to press "Ok".
#pragma once

#include "ui/message_window.h"

#include <functional>
#include <iosfwd>
#include <string>

namespace ui
{

/// Told of every message shown, for example to keep a transcript of the run.
using MessageObserver = std::function<void(const std::wstring& caption, const std::wstring& text)>;

class TerminalMessageWindow : public MessageWindow
{
public:
    /// out: where the messages are written as UTF-8 (standard error in the program); it must outlive
    /// this object. observer may be empty.
    explicit TerminalMessageWindow(MessageObserver observer = {});
    TerminalMessageWindow(std::ostream& out, MessageObserver observer);

    /// Writes the message; the icon has no place in a terminal.
    void ShowModeless(const std::wstring& caption, const IconId& icon, const std::wstring& text,
                      MessageWindowEvents& events) override;
    /// The message is already on the terminal: the window counts as closed with "Ok".
    void ShowModal() override;

private:
    std::ostream& m_out;
    MessageObserver m_observer;
    MessageWindowEvents* m_events = nullptr;
};

class TerminalReportBox : public ReportBox
{
public:
    explicit TerminalReportBox(MessageObserver observer = {});
    TerminalReportBox(std::ostream& out, MessageObserver observer);

    void Show(const std::wstring& caption, const std::wstring& text) override;

private:
    std::ostream& m_out;
    MessageObserver m_observer;
};

} // namespace ui
