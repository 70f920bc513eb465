#include "ui/platform.h"

#include "ui/conversions.h"

namespace ui
{

std::wstring GetUser(Platform& platform)
{
    const auto name = platform.LoginName();
    if (!name)
        return {};
    return UCase(Trim(*name));
}

void SetTopMost(Platform& platform, std::intptr_t windowHandle)
{
    platform.SetTopMost(windowHandle);
}

} // namespace ui
