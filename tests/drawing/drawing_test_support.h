// What the drawing tests share: a run built from port doubles, and a host symbol that only records the
// texts written to it.
#pragma once

#include "app/run.h"
#include "config/profile_store.h"
#include "host/session_connector.h"
#include "tests/support/fake_platform.h"
#include "tests/support/fixed_metric_measurer.h"
#include "tests/support/recording_message_window.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace drawing_tests
{

class NoProfiles : public config::ProfileStore
{
public:
    std::int32_t GetString(const std::wstring&, const std::wstring&, const std::optional<std::wstring>& defaultValue,
                           std::wstring& returned, std::int32_t, const std::wstring&) override
    {
        returned = defaultValue.value_or(L"");
        return static_cast<std::int32_t>(returned.size());
    }
    std::vector<std::wstring> GetKeyNames(const std::wstring&, const std::wstring&) override { return {}; }
    bool WriteString(const std::wstring&, const std::optional<std::wstring>&, const std::optional<std::wstring>&,
                     const std::wstring&) override
    {
        return false;
    }
};

/// Hands out the application it was given (nothing: no session running).
class FixedConnector : public host::SessionConnector
{
public:
    host::ApplicationPtr application;
    host::ApplicationPtr GetActiveObject(const std::wstring&) override { return application; }
};

/// A run on port doubles; the session is attached by the test.
struct RunHarness
{
    testing_support::RecordingMessageWindow window;
    testing_support::RecordingMessageBox messageBox;
    testing_support::FakePlatform platform;
    testing_support::FixedMetricMeasurer measurer;
    NoProfiles profiles;
    FixedConnector connector;
    app::Run run{app::Ports{window, messageBox, platform, measurer, profiles, connector}, L"glattmark.ini"};

    RunHarness() { run.cc.Init(L"SW Oberfl\u00e4chen - Assistent", std::nullopt, true); }

    /// Attaches the run to an application and its drawing without going through the session object's
    /// own attaching, so that the host sees only the calls of the code under test.
    void Attach(const host::ApplicationPtr& application, const host::DrawingPtr& drawingDoc)
    {
        run.swAcc = std::make_unique<host::swAccess>(run.cc, connector);
        run.swAcc->swApp = application;
        run.swAcc->Drawing = drawingDoc;
    }
};

/// A host symbol that keeps its texts and records every SetText; it can be told to fail one of them.
class RecordingSymbol : public host::SFSymbol
{
public:
    std::array<host::OptionalText, 11> texts{};
    std::vector<std::pair<std::int16_t, host::OptionalText>> written;
    std::optional<std::size_t> failSetTextAt; ///< 0-based index of the SetText call that fails

    host::SFSymbolPtr GetNext() override { return nullptr; }
    std::int32_t GetSymbolType() override { return 0; }
    host::OptionalText GetText(std::int16_t whichOne) override { return texts.at(static_cast<std::size_t>(whichOne)); }
    bool GetSymbolAllAround() override { return false; }
    std::int32_t GetDirectionOfLay() override { return 0; }
    host::AnnotationPtr GetAnnotation() override { return nullptr; }
    bool SetSymbol(std::int32_t, std::int16_t, bool) override { return true; }
    bool SetText(std::int16_t whichOne, const host::OptionalText& text) override
    {
        if (failSetTextAt && *failSetTextAt == written.size())
            throw host::Error(host::kDispException, "SetText");
        written.emplace_back(whichOne, text);
        texts.at(static_cast<std::size_t>(whichOne)) = text;
        return true;
    }
};

} // namespace drawing_tests
