#include "ui/message_window_terminal.h"

#include "ui/conversions.h"

#include <iostream>
#include <utility>

namespace ui
{

namespace
{

void WriteMessage(std::ostream& out, const MessageObserver& observer, const std::wstring& caption,
                  const std::wstring& text)
{
    // Flushed at once: the process may end right after an error message.
    out << ToUtf8(caption) << ": " << ToUtf8(text) << '\n' << std::flush;
    if (observer)
        observer(caption, text);
}

} // namespace

TerminalMessageWindow::TerminalMessageWindow(MessageObserver observer)
    : TerminalMessageWindow(std::cerr, std::move(observer))
{
}

TerminalMessageWindow::TerminalMessageWindow(std::ostream& out, MessageObserver observer)
    : m_out(out), m_observer(std::move(observer))
{
}

void TerminalMessageWindow::ShowModeless(const std::wstring& caption, const IconId& /*icon*/, const std::wstring& text,
                                         MessageWindowEvents& events)
{
    m_events = &events;
    WriteMessage(m_out, m_observer, caption, text);
}

void TerminalMessageWindow::ShowModal()
{
    if (m_events != nullptr)
        m_events->Command1_Click();
}

TerminalReportBox::TerminalReportBox(MessageObserver observer) : TerminalReportBox(std::cerr, std::move(observer)) {}

TerminalReportBox::TerminalReportBox(std::ostream& out, MessageObserver observer)
    : m_out(out), m_observer(std::move(observer))
{
}

void TerminalReportBox::Show(const std::wstring& caption, const std::wstring& text)
{
    WriteMessage(m_out, m_observer, caption, text);
}

} // namespace ui
