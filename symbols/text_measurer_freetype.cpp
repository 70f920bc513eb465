#include "symbols/text_measurer_freetype.h"

#include "ui/conversions.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <cmath>
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>

namespace symbols
{

namespace
{

struct FcConfigDeleter
{
    void operator()(FcConfig* config) const noexcept { FcConfigDestroy(config); }
};
using FcConfigPtr = std::unique_ptr<FcConfig, FcConfigDeleter>;

struct FcPatternDeleter
{
    void operator()(FcPattern* pattern) const noexcept { FcPatternDestroy(pattern); }
};
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;

struct FtLibraryDeleter
{
    void operator()(FT_Library library) const noexcept { FT_Done_FreeType(library); }
};
using FtLibraryPtr = std::unique_ptr<FT_LibraryRec_, FtLibraryDeleter>;

struct FtFaceDeleter
{
    void operator()(FT_Face face) const noexcept { FT_Done_Face(face); }
};
using FtFacePtr = std::unique_ptr<FT_FaceRec_, FtFaceDeleter>;

/// A face inside a font file: the file's path and the face index fontconfig gives (collections and
/// named instances have more than one).
using FaceKey = std::pair<std::string, int>;

constexpr double kMillimetresPerPoint = 25.4 / 72.0;

struct MetricTwin
{
    const char* requested;
    const char* standIn;
};

// Fonts designed to share their advance widths glyph for glyph, so that one measures what the other
// would. Read in the direction of the request: a request for `requested` is met by a `standIn` font.
constexpr MetricTwin kMetricTwins[] = {
    {"Arial", "Liberation Sans"},
    {"Liberation Sans", "Arial"},
    {"Helvetica", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Liberation Serif", "Times New Roman"},
    {"Courier New", "Liberation Mono"},
    {"Liberation Mono", "Courier New"},
    {"Arial Narrow", "Liberation Sans Narrow"},
    {"Liberation Sans Narrow", "Arial Narrow"},
};

const FcChar8* AsFc(const char* text)
{
    return reinterpret_cast<const FcChar8*>(text);
}

// Family names compare as fontconfig compares them itself.
bool SameFamily(const char* a, const char* b)
{
    return FcStrCmpIgnoreCase(AsFc(a), AsFc(b)) == 0;
}

bool IsAcceptedFamily(const std::string& requested, const char* matched)
{
    if (SameFamily(requested.c_str(), matched))
        return true;
    for (const auto& twin : kMetricTwins)
    {
        if (SameFamily(requested.c_str(), twin.requested) && SameFamily(twin.standIn, matched))
            return true;
    }
    return false;
}

// Code points of a wide text; a surrogate pair (text that came in as UTF-16) counts as one character.
template <typename Visit> void ForEachCodePoint(const std::wstring& text, Visit visit)
{
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        auto unit = static_cast<std::uint32_t>(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size())
        {
            const auto low = static_cast<std::uint32_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF)
            {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        visit(unit);
    }
}

} // namespace

struct FreeTypeMeasurer::Impl
{
    FcConfigPtr config;
    FtLibraryPtr library;                                    // outlives the faces below, which are destroyed first
    std::map<std::wstring, std::optional<FaceKey>> resolved; ///< family -> face, refusals included
    std::map<FaceKey, FtFacePtr> faces;

    FT_Face current = nullptr;
    std::string currentFile;
    double points = 0;

    std::optional<FaceKey> Resolve(const std::wstring& family) const;
    FT_Face Face(const FaceKey& key);
};

std::optional<FaceKey> FreeTypeMeasurer::Impl::Resolve(const std::wstring& family) const
{
    if (family.empty() || family.find(L'\0') != std::wstring::npos)
        return std::nullopt;
    const std::string requested = ui::ToUtf8(family);

    FcPatternPtr pattern{FcPatternCreate()};
    if (!pattern || !FcPatternAddString(pattern.get(), FC_FAMILY, AsFc(requested.c_str())))
        return std::nullopt;
    if (!FcConfigSubstitute(config.get(), pattern.get(), FcMatchPattern))
        return std::nullopt;
    FcDefaultSubstitute(pattern.get());

    FcResult result = FcResultNoMatch;
    const FcPatternPtr match{FcFontMatch(config.get(), pattern.get(), &result)};
    if (!match)
        return std::nullopt;

    // A face may carry several family names (its own and localised ones); any of them will do.
    bool accepted = false;
    FcChar8* value = nullptr;
    for (int n = 0; !accepted && FcPatternGetString(match.get(), FC_FAMILY, n, &value) == FcResultMatch; ++n)
        accepted = IsAcceptedFamily(requested, reinterpret_cast<const char*>(value));
    if (!accepted)
        return std::nullopt;

    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr)
        return std::nullopt;
    int index = 0;
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) != FcResultMatch)
        index = 0;
    return FaceKey{reinterpret_cast<const char*>(file), index};
}

FT_Face FreeTypeMeasurer::Impl::Face(const FaceKey& key)
{
    if (const auto found = faces.find(key); found != faces.end())
        return found->second.get();

    FT_Face raw = nullptr;
    if (FT_New_Face(library.get(), key.first.c_str(), key.second, &raw) != 0)
        return nullptr;
    FtFacePtr face{raw};
    // Advance widths in font units only mean something for an outline font with a design grid.
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0)
        return nullptr;
    return faces.emplace(key, std::move(face)).first->second.get();
}

FreeTypeMeasurer::FreeTypeMeasurer() : m_impl(std::make_unique<Impl>())
{
    m_impl->config.reset(FcInitLoadConfigAndFonts());
    if (!m_impl->config)
        throw std::runtime_error("fontconfig: the configuration could not be loaded");
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        throw std::runtime_error("FreeType could not be started");
    m_impl->library.reset(library);
}

FreeTypeMeasurer::~FreeTypeMeasurer() = default;

bool FreeTypeMeasurer::ApplyFont(const std::wstring& family, double points)
{
    if (!std::isfinite(points) || points <= 0)
        return false;

    auto known = m_impl->resolved.find(family);
    if (known == m_impl->resolved.end())
        known = m_impl->resolved.emplace(family, m_impl->Resolve(family)).first;
    if (!known->second)
        return false;

    const FT_Face face = m_impl->Face(*known->second);
    if (face == nullptr)
    {
        known->second.reset(); // the file will not open any better next time
        return false;
    }
    m_impl->current = face;
    m_impl->currentFile = known->second->first;
    m_impl->points = points;
    return true;
}

double FreeTypeMeasurer::MeasureMillimetres(const std::wstring& text)
{
    const FT_Face face = m_impl->current;
    if (face == nullptr)
        return 0;

    // Glyph 0 is the missing-glyph box, which is also what a character without a glyph is drawn with.
    std::int64_t units = 0;
    ForEachCodePoint(text, [&](std::uint32_t codePoint) {
        const FT_UInt glyph = FT_Get_Char_Index(face, codePoint);
        FT_Fixed advance = 0;
        if (FT_Get_Advance(face, glyph, FT_LOAD_NO_SCALE, &advance) == 0)
            units += advance;
    });
    return static_cast<double>(units) / static_cast<double>(face->units_per_EM) * m_impl->points * kMillimetresPerPoint;
}

std::string FreeTypeMeasurer::FontFile() const
{
    return m_impl->currentFile;
}

} // namespace symbols
