// Doubles of the message ports: they record what was shown and answer as told.
#pragma once

#include "ui/message_window.h"

#include <functional>
#include <string>
#include <vector>

namespace testing_support
{

struct ShownMessage
{
    std::wstring caption;
    std::wstring text;
    ui::IconId icon;
};

class RecordingMessageWindow : public ui::MessageWindow
{
public:
    void ShowModeless(const std::wstring& caption, const ui::IconId& icon, const std::wstring& text,
                      ui::MessageWindowEvents& eventsIn) override
    {
        events = &eventsIn;
        shown.push_back({caption, text, icon});
    }
    void ShowModal() override
    {
        ++modalCount;
        if (answer == ui::ClosedBy::OkButton)
            events->Command1_Click();
        else
            events->Form_Unload();
    }

    std::vector<ShownMessage> shown;
    int modalCount = 0;
    ui::ClosedBy answer = ui::ClosedBy::OkButton; ///< how every modal showing ends
    /// The events of the last showing: a test presses "Ok" or the close box through it.
    ui::MessageWindowEvents* events = nullptr;
};

class RecordingReportBox : public ui::ReportBox
{
public:
    void Show(const std::wstring& caption, const std::wstring& text) override
    {
        shown.push_back({caption, text, {}});
        if (whileShown)
            whileShown();
    }

    std::vector<ShownMessage> shown;
    /// What the user does while the box is open, as the box's nested message loop lets them.
    std::function<void()> whileShown;
};

} // namespace testing_support
