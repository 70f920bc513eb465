// A fresh folder under the system's temporary folder for one test, removed afterwards, with helpers to
// put bytes into files and read them back.
#pragma once

#include "ui/conversions.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

namespace config_testing
{

class TempFolder
{
public:
    TempFolder()
    {
        std::random_device random;
        m_path = std::filesystem::temp_directory_path() /
                 ("glm-config-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(m_path);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    const std::filesystem::path& Path() const { return m_path; }
    /// Full path of a file in the folder, as the profile store takes it.
    std::wstring File(const std::wstring& name) const { return m_path.wstring() + L"/" + name; }

    /// The path of a file name, spelt in UTF-8 whatever the locale.
    static std::filesystem::path PathOf(const std::wstring& file)
    {
        const std::string utf8 = ui::ToUtf8(file);
        return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
    }

    static void Write(const std::wstring& file, const std::string& bytes)
    {
        std::ofstream out(PathOf(file), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }

    /// The file's bytes, or nothing when it does not exist.
    static std::optional<std::string> Read(const std::wstring& file)
    {
        std::ifstream in(PathOf(file), std::ios::binary);
        if (!in)
            return std::nullopt;
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
};

} // namespace config_testing
