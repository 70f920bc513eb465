// The platform as glattmark-sim lets the program see it: the login name and the decimal separator can
// be given on the command line; everything else comes from the real platform underneath.
#pragma once

#include "ui/platform.h"

#include <optional>
#include <string>

namespace app::sim
{

class SimPlatform : public ui::Platform
{
public:
    /// base must outlive this object. user: the login name to report ("" for a name that cannot be had);
    /// decimal: the separator to report. Nothing means: ask base.
    SimPlatform(ui::Platform& base, std::optional<std::wstring> user, std::optional<wchar_t> decimal)
        : m_base(base), m_user(std::move(user)), m_decimal(decimal)
    {
    }

    std::optional<std::wstring> LoginName() override;
    void SetTopMost(std::intptr_t windowHandle) override { m_base.SetTopMost(windowHandle); }
    wchar_t DecimalSeparator() override { return m_decimal ? *m_decimal : m_base.DecimalSeparator(); }
    std::wstring ExecutablePath() override { return m_base.ExecutablePath(); }
    std::intptr_t FindWindowByCaption(const std::wstring& caption) override
    {
        return m_base.FindWindowByCaption(caption);
    }
    std::int32_t BinaryType(const std::wstring& path) override { return m_base.BinaryType(path); }
    void SetOwnerWindow(std::intptr_t window, std::intptr_t owner) override { m_base.SetOwnerWindow(window, owner); }

private:
    ui::Platform& m_base;
    std::optional<std::wstring> m_user;
    std::optional<wchar_t> m_decimal;
};

} // namespace app::sim
