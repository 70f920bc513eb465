#include "symbols/text_measurer_gdi.h"

#include "win32/handles.h"
#include "win32/registry.h"
#include "win32/win32.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

namespace symbols
{

namespace
{

constexpr double kMillimetresPerPoint = 25.4 / 72.0;

/// Any size will do: the font is only asked for its tables and its glyph indices.
constexpr LONG kProbeHeight = -100;

constexpr const wchar_t* kFontSubstitutesKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";

/// A table tag as GetFontData takes it: the four letters in file order, read as a little-endian number.
constexpr DWORD TableTag(char a, char b, char c, char d)
{
    return static_cast<DWORD>(static_cast<unsigned char>(a)) | static_cast<DWORD>(static_cast<unsigned char>(b)) << 8 |
           static_cast<DWORD>(static_cast<unsigned char>(c)) << 16 |
           static_cast<DWORD>(static_cast<unsigned char>(d)) << 24;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

/// The part of a FontSubstitutes name or value before its ",charset" suffix.
std::wstring WithoutCharset(const std::wstring& name)
{
    return name.substr(0, name.find(L','));
}

struct FamilySearch
{
    const std::wstring* family;
    bool found;
};

int CALLBACK OnFamily(const LOGFONTW* font, const TEXTMETRICW* /*metrics*/, DWORD /*type*/, LPARAM parameter)
{
    auto* search = reinterpret_cast<FamilySearch*>(parameter);
    if (SameName(font->lfFaceName, *search->family))
    {
        search->found = true;
        return 0;
    }
    return 1;
}

bool IsInstalled(HDC dc, const std::wstring& family)
{
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    family.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    FamilySearch search{&family, false};
    EnumFontFamiliesExW(dc, &wanted, OnFamily, reinterpret_cast<LPARAM>(&search), 0);
    return search.found;
}

/// The family the system's FontSubstitutes name for family, or nothing.
std::optional<std::wstring> Substitute(const std::wstring& family)
{
    const win32::UniqueHkey key = win32::OpenKeyToRead(HKEY_LOCAL_MACHINE, kFontSubstitutesKey);
    if (!key)
        return std::nullopt;
    for (const auto& [name, value] : win32::TextValues(key.Get()))
    {
        if (SameName(WithoutCharset(name), family))
            return WithoutCharset(value);
    }
    return std::nullopt;
}

std::uint16_t U16(const std::vector<std::uint8_t>& table, std::size_t at)
{
    if (at + 1 >= table.size())
        return 0;
    return static_cast<std::uint16_t>(table[at] << 8 | table[at + 1]);
}

std::vector<std::uint8_t> FontTable(HDC dc, DWORD tag)
{
    const DWORD size = GetFontData(dc, tag, 0, nullptr, 0);
    if (size == GDI_ERROR || size == 0)
        return {};
    std::vector<std::uint8_t> table(size);
    if (GetFontData(dc, tag, 0, table.data(), size) != size)
        return {};
    return table;
}

struct Face
{
    win32::UniqueGdi<HFONT> font;
    std::wstring faceName;
    std::uint16_t unitsPerEm = 0;
    std::vector<std::uint16_t> advances; ///< by glyph index; glyphs past the end take the last one
};

} // namespace

struct GdiMeasurer::Impl
{
    win32::UniqueHdc dc{CreateCompatibleDC(nullptr)};
    std::map<std::wstring, const Face*> resolved; ///< requested family -> face; refusals as null
    std::map<std::wstring, Face> faces;           ///< by the face name GDI selected
    const Face* current = nullptr;
    double points = 0;

    const Face* Resolve(const std::wstring& family);
    const Face* Load(const std::wstring& family);
};

const Face* GdiMeasurer::Impl::Resolve(const std::wstring& family)
{
    if (family.empty() || family.size() >= LF_FACESIZE || family.find(L'\0') != std::wstring::npos)
        return nullptr;
    if (IsInstalled(dc.Get(), family))
        return Load(family);
    if (const auto substitute = Substitute(family);
        substitute && !substitute->empty() && IsInstalled(dc.Get(), *substitute))
        return Load(*substitute);
    return nullptr;
}

const Face* GdiMeasurer::Impl::Load(const std::wstring& family)
{
    LOGFONTW wanted{};
    wanted.lfHeight = kProbeHeight;
    wanted.lfWeight = FW_NORMAL;
    wanted.lfCharSet = DEFAULT_CHARSET;
    family.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    win32::UniqueGdi<HFONT> font{CreateFontIndirectW(&wanted)};
    if (!font)
        return nullptr;
    const win32::SelectedObject selected(dc.Get(), font.Get());

    wchar_t faceName[LF_FACESIZE] = {};
    GetTextFaceW(dc.Get(), LF_FACESIZE, faceName);
    if (const auto known = faces.find(faceName); known != faces.end())
        return &known->second;

    const std::vector<std::uint8_t> head = FontTable(dc.Get(), TableTag('h', 'e', 'a', 'd'));
    const std::vector<std::uint8_t> hhea = FontTable(dc.Get(), TableTag('h', 'h', 'e', 'a'));
    const std::vector<std::uint8_t> hmtx = FontTable(dc.Get(), TableTag('h', 'm', 't', 'x'));
    Face face;
    face.unitsPerEm = U16(head, 18);
    const std::uint16_t metricCount = U16(hhea, 34);
    if (face.unitsPerEm == 0 || metricCount == 0 || hmtx.size() < 4 * std::size_t{metricCount})
        return nullptr;
    face.advances.reserve(metricCount);
    for (std::size_t glyph = 0; glyph < metricCount; ++glyph)
        face.advances.push_back(U16(hmtx, 4 * glyph));
    face.faceName = faceName;
    face.font = std::move(font);
    return &faces.emplace(face.faceName, std::move(face)).first->second;
}

GdiMeasurer::GdiMeasurer() : m_impl(std::make_unique<Impl>())
{
    if (!m_impl->dc)
        throw std::runtime_error("CreateCompatibleDC failed");
}

GdiMeasurer::~GdiMeasurer() = default;

bool GdiMeasurer::ApplyFont(const std::wstring& family, double points)
{
    if (!std::isfinite(points) || points <= 0)
        return false;
    auto known = m_impl->resolved.find(family);
    if (known == m_impl->resolved.end())
        known = m_impl->resolved.emplace(family, m_impl->Resolve(family)).first;
    if (known->second == nullptr)
        return false;
    m_impl->current = known->second;
    m_impl->points = points;
    return true;
}

double GdiMeasurer::MeasureMillimetres(const std::wstring& text)
{
    const Face* face = m_impl->current;
    if (face == nullptr || text.empty())
        return 0;
    std::vector<WORD> glyphs(text.size());
    {
        const win32::SelectedObject selected(m_impl->dc.Get(), face->font.Get());
        if (GetGlyphIndicesW(m_impl->dc.Get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                             GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
            return 0;
    }
    std::uint64_t units = 0;
    for (WORD glyph : glyphs)
    {
        // The missing-glyph box is glyph 0, as the font draws it.
        const std::size_t index = glyph == 0xFFFF ? 0 : glyph;
        units += face->advances[std::min(index, face->advances.size() - 1)];
    }
    return static_cast<double>(units) / face->unitsPerEm * m_impl->points * kMillimetresPerPoint;
}

std::wstring GdiMeasurer::FaceName() const
{
    return m_impl->current == nullptr ? std::wstring() : m_impl->current->faceName;
}

} // namespace symbols
