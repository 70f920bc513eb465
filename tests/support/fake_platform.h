// Double of the platform port: answers what it is told and records the window calls in order.
#pragma once

#include "ui/platform.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testing_support
{

class FakePlatform : public ui::Platform
{
public:
    std::optional<std::wstring> loginName; ///< nothing: the name cannot be had
    wchar_t decimalSeparator = L',';       ///< German regional settings unless told otherwise
    std::wstring exePath;
    std::int32_t setTopMostCalls = 0;
    std::vector<std::intptr_t> topMostHandles;                   ///< the handles SetTopMost received, in order
    std::map<std::wstring, std::intptr_t> windows;               ///< top-level windows by caption
    std::map<std::wstring, std::int32_t> binaryTypes;            ///< executables by path; any other path answers 0
    std::vector<std::pair<std::intptr_t, std::intptr_t>> owners; ///< SetOwnerWindow calls: window, owner
    std::vector<std::string> calls; ///< "SetTopMost", "FindWindow", "BinaryType", "SetOwner", in order

    std::optional<std::wstring> LoginName() override { return loginName; }
    void SetTopMost(std::intptr_t windowHandle) override
    {
        ++setTopMostCalls;
        topMostHandles.push_back(windowHandle);
        calls.emplace_back("SetTopMost");
    }
    wchar_t DecimalSeparator() override { return decimalSeparator; }
    std::wstring ExecutablePath() override { return exePath; }
    std::intptr_t FindWindowByCaption(const std::wstring& caption) override
    {
        calls.emplace_back("FindWindow");
        const auto found = windows.find(caption);
        return found == windows.end() ? 0 : found->second;
    }
    std::int32_t BinaryType(const std::wstring& path) override
    {
        calls.emplace_back("BinaryType");
        const auto found = binaryTypes.find(path);
        return found == binaryTypes.end() ? 0 : found->second;
    }
    void SetOwnerWindow(std::intptr_t window, std::intptr_t owner) override
    {
        calls.emplace_back("SetOwner");
        owners.emplace_back(window, owner);
    }
};

} // namespace testing_support
