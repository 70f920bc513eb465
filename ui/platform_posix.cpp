#include "ui/platform_posix.h"

#include "ui/conversions.h"

#include <langinfo.h>
#include <limits.h>
#include <locale.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace ui
{

namespace
{

struct LocaleDeleter
{
    void operator()(locale_t locale) const noexcept { freelocale(locale); }
};
using LocalePtr = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleDeleter>;

std::optional<std::string> PasswordName()
{
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
    // The suggestion is only a hint; a longer entry asks for more room with ERANGE.
    constexpr std::size_t kMaxBuffer = 1 << 20;
    for (;;)
    {
        passwd entry{};
        passwd* found = nullptr;
        const int rc = getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found);
        if (rc == ERANGE && buffer.size() < kMaxBuffer)
        {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (rc != 0 || found == nullptr || found->pw_name == nullptr || found->pw_name[0] == '\0')
            return std::nullopt;
        return std::string(found->pw_name);
    }
}

std::optional<std::string> TerminalLoginName()
{
    std::vector<char> buffer(LOGIN_NAME_MAX + 1, '\0');
    if (getlogin_r(buffer.data(), buffer.size()) != 0 || buffer[0] == '\0')
        return std::nullopt;
    return std::string(buffer.data());
}

} // namespace

std::optional<std::wstring> PosixPlatform::LoginName()
{
    auto name = PasswordName();
    if (!name)
        name = TerminalLoginName();
    if (!name)
        return std::nullopt;
    return FromUtf8(*name);
}

void PosixPlatform::SetTopMost(std::intptr_t /*windowHandle*/) {}

wchar_t PosixPlatform::DecimalSeparator()
{
    constexpr wchar_t kFallback = L'.';
    const LocalePtr locale{newlocale(LC_NUMERIC_MASK, "", locale_t{})};
    if (!locale)
        return kFallback;
    const char* radix = nl_langinfo_l(RADIXCHAR, locale.get());
    if (radix == nullptr)
        return kFallback;
    // Under a UTF-8 locale the radix character may take several bytes (the Arabic decimal separator).
    const std::wstring wide = FromUtf8(radix);
    return wide.empty() ? kFallback : wide.front();
}

std::wstring PosixPlatform::ExecutablePath()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    return FromUtf8(path.string());
}

std::intptr_t PosixPlatform::FindWindowByCaption(const std::wstring& /*caption*/)
{
    return 0;
}

std::int32_t PosixPlatform::BinaryType(const std::wstring& /*path*/)
{
    return 0;
}

void PosixPlatform::SetOwnerWindow(std::intptr_t /*window*/, std::intptr_t /*owner*/) {}

} // namespace ui
