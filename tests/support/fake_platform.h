// Double of the platform port: answers what it is told and counts the top-most requests.
#pragma once

#include "ui/platform.h"

#include <cstdint>
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
    std::vector<std::intptr_t> topMostHandles; ///< the handles SetTopMost received, in order

    std::optional<std::wstring> LoginName() override { return loginName; }
    void SetTopMost(std::intptr_t windowHandle) override
    {
        ++setTopMostCalls;
        topMostHandles.push_back(windowHandle);
    }
    wchar_t DecimalSeparator() override { return decimalSeparator; }
    std::wstring ExecutablePath() override { return exePath; }
};

} // namespace testing_support
