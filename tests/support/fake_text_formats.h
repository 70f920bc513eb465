// A drawing that only knows its text formats, for code that asks the drawing for fonts. Every other
// member answers nothing (or false); each text-format call can be told to fail.
#pragma once

#include "host/cad_host.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace testing_support
{

class FakeTextFormat : public host::TextFormat
{
public:
    FakeTextFormat(std::wstring typeFace, std::int32_t points) : typeFaceName(std::move(typeFace)), heightPts(points) {}

    std::wstring typeFaceName;
    std::int32_t heightPts = 0; ///< points; CharHeight is derived (1 pt = 0.0254 / 72 m)
    bool bold = false;
    bool failTypeFace = false; ///< get_TypeFaceName throws
    bool failHeight = false;   ///< get_CharHeightInPts throws

    std::wstring get_TypeFaceName() override
    {
        if (failTypeFace)
            throw host::Error(host::kDispException, "TypeFaceName", "failure injected by the test");
        return typeFaceName;
    }
    void put_TypeFaceName(const std::wstring& name) override { typeFaceName = name; }
    double get_CharHeight() override { return heightPts * 0.0254 / 72.0; }
    void put_CharHeight(double metres) override { heightPts = static_cast<std::int32_t>(metres * 72.0 / 0.0254 + 0.5); }
    std::int32_t get_CharHeightInPts() override
    {
        if (failHeight)
            throw host::Error(host::kDispException, "CharHeightInPts", "failure injected by the test");
        return heightPts;
    }
    void put_CharHeightInPts(std::int32_t points) override { heightPts = points; }
    bool get_Bold() override { return bold; }
    void put_Bold(bool value) override { bold = value; }
};

class FakeTextFormatDrawing : public host::Drawing, public std::enable_shared_from_this<FakeTextFormatDrawing>
{
public:
    /// The document's text formats by their user-preference number (0 notes, 5 surface-finish symbols).
    std::map<std::int16_t, std::shared_ptr<FakeTextFormat>> textFormats;
    /// GetUserPreferenceTextFormat throws while set.
    bool failTextFormat = false;
    /// The numbers GetUserPreferenceTextFormat was asked for, in order.
    std::vector<std::int16_t> textFormatRequests;

    /// Like the host: a copy of the format (its fail switches included), or nothing for an unknown number.
    host::TextFormatPtr GetUserPreferenceTextFormat(std::int16_t userPreferenceValue) override
    {
        textFormatRequests.push_back(userPreferenceValue);
        if (failTextFormat)
            throw host::Error(host::kDispException, "GetUserPreferenceTextFormat", "failure injected by the test");
        const auto found = textFormats.find(userPreferenceValue);
        if (found == textFormats.end() || !found->second)
            return nullptr;
        auto copy = std::make_shared<FakeTextFormat>(found->second->typeFaceName, found->second->heightPts);
        copy->bold = found->second->bold;
        copy->failTypeFace = found->second->failTypeFace;
        copy->failHeight = found->second->failHeight;
        return copy;
    }

    std::int32_t GetType() override { return host::kDrawing; }
    host::FeatureManagerPtr FeatureManager() override { return nullptr; }
    host::ExtensionPtr Extension() override { return nullptr; }
    host::SelectionManagerPtr SelectionManager() override { return nullptr; }
    bool DeleteSelection(bool) override { return false; }
    bool SelectByID(const std::wstring&, const std::wstring&, double, double, double) override { return false; }
    host::NotePtr InsertNote(const std::wstring&) override { return nullptr; }
    bool GetUserPreferenceToggle(std::int16_t) override { return false; }
    bool SetUserPreferenceToggle(std::int16_t, bool) override { return false; }
    void EditRebuild() override {}
    host::DrawingPtr AsDrawing() override { return shared_from_this(); }
    host::SheetPtr GetCurrentSheet() override { return nullptr; }
    host::ViewPtr GetFirstView() override { return nullptr; }
    bool ActivateSheet(const std::wstring&) override { return false; }
};

} // namespace testing_support
