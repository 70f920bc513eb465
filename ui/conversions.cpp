#include "ui/conversions.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace ui
{
namespace
{

constexpr char32_t kReplacementCharacter = 0xFFFD;

bool IsLeadingNumberBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n';
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// Reads the cursor forward over the blanks the leading-number rule ignores anywhere in the text.
class BlankSkippingReader
{
public:
    explicit BlankSkippingReader(std::wstring_view text) : m_text(text) {}

    /// The next character that is not a blank, or 0 at the end.
    wchar_t Peek()
    {
        while (m_pos < m_text.size() && IsLeadingNumberBlank(m_text[m_pos]))
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos] : L'\0';
    }

    void Advance() { ++m_pos; }

private:
    std::wstring_view m_text;
    std::size_t m_pos = 0;
};

// The digits of a decimal number, without sign, blanks or separators, ready for an exact conversion.
struct DecimalDigits
{
    std::string integerPart;
    std::string fractionPart;
    long long exponent = 0; // saturated: a huge written exponent only has to stay huge
};

/// Converts the collected digits exactly (correctly rounded, independent of the C locale).
/// Throws OverflowError when the value lies beyond a double; a value too small for one becomes 0.
double ConvertDigits(const DecimalDigits& digits, bool negative)
{
    std::string integerPart = digits.integerPart.empty() ? std::string("0") : digits.integerPart;
    std::string text = integerPart;
    if (!digits.fractionPart.empty())
    {
        text += '.';
        text += digits.fractionPart;
    }
    // Beyond this the result is 0 or infinite for any mantissa we can be given; clamping keeps the
    // exponent text short and its arithmetic free of overflow.
    constexpr long long kExponentClamp = 100000000;
    long long exponent = digits.exponent;
    if (exponent > kExponentClamp)
        exponent = kExponentClamp;
    if (exponent < -kExponentClamp)
        exponent = -kExponentClamp;
    if (exponent != 0)
    {
        text += 'e';
        text += std::to_string(exponent);
    }

    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
    {
        // Out of range in either direction: find the decimal order of the first significant digit.
        const auto firstIntegerDigit = integerPart.find_first_not_of('0');
        long long order = 0;
        if (firstIntegerDigit != std::string::npos)
            order = static_cast<long long>(integerPart.size() - firstIntegerDigit) - 1 + exponent;
        else
        {
            const auto firstFractionDigit = digits.fractionPart.find_first_not_of('0');
            if (firstFractionDigit == std::string::npos)
                return 0.0;
            order = -static_cast<long long>(firstFractionDigit) - 1 + exponent;
        }
        if (order > 0)
            throw OverflowError("Overflow");
        value = 0.0;
    }
    else if (result.ec != std::errc{})
        value = 0.0;
    return negative ? -value : value;
}

/// Appends exponent digits with saturation.
void AddExponentDigit(long long& exponent, wchar_t c)
{
    constexpr long long kSaturation = 1000000000000LL;
    if (exponent < kSaturation)
        exponent = exponent * 10 + (c - L'0');
}

/// The value of a hexadecimal digit (octal and decimal digits included); 16 for anything else, which
/// no radix takes.
unsigned DigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return static_cast<unsigned>(c - L'0');
    if (c >= L'A' && c <= L'F')
        return static_cast<unsigned>(c - L'A') + 10;
    if (c >= L'a' && c <= L'f')
        return static_cast<unsigned>(c - L'a') + 10;
    return 16;
}

/// The integer of a "&H" or "&O" literal with the classic sign folding: up to 0xFF positive,
/// up to 0xFFFF a 16-bit signed value, up to 0xFFFFFFFF a 32-bit signed value. Longer literals
/// are taken as 64-bit signed values; beyond 64 bits the value does not fit (OverflowError).
double ReadRadixInteger(BlankSkippingReader& reader, unsigned radix)
{
    std::uint64_t value = 0;
    bool tooLong = false;
    for (;;)
    {
        const unsigned digit = DigitValue(reader.Peek());
        if (digit >= radix)
            break;
        reader.Advance();
        if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / radix)
            tooLong = true;
        else
            value = value * radix + digit;
    }
    if (tooLong)
        throw OverflowError("Overflow");
    if (value > 0xFFFFFFFFULL)
        return static_cast<double>(static_cast<std::int64_t>(value));
    if (value > 0xFFFFULL)
        return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
    if (value > 0xFFULL)
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    return static_cast<double>(value);
}

template <typename Int> Int RoundTiesToEven(double value, double lowerLimit, double upperLimit)
{
    // lowerLimit is inclusive and upperLimit exclusive: -2147483648.5 still rounds (to even) into
    // range, 2147483647.5 would round to 2147483648.
    if (std::isnan(value) || value < lowerLimit || value >= upperLimit)
        throw OverflowError("Overflow");
    const double below = std::floor(value);
    const double fraction = value - below;
    double rounded = below;
    if (fraction > 0.5)
        rounded = below + 1.0;
    else if (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)
        rounded = below + 1.0;
    return static_cast<Int>(rounded);
}

bool IsRegionalBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

void AppendCodePointUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80)
        out += static_cast<char>(cp);
    else if (cp < 0x800)
    {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else if (cp < 0x10000)
    {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    else
    {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendCodePointWide(std::wstring& out, char32_t cp)
{
    if constexpr (sizeof(wchar_t) == 2)
    {
        if (cp >= 0x10000)
        {
            const char32_t v = cp - 0x10000;
            out += static_cast<wchar_t>(0xD800 + (v >> 10));
            out += static_cast<wchar_t>(0xDC00 + (v & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(cp);
}

bool IsSurrogate(char32_t cp)
{
    return cp >= 0xD800 && cp <= 0xDFFF;
}

} // namespace

double LeadingNumber(std::wstring_view text)
{
    BlankSkippingReader reader(text);

    if (reader.Peek() == L'&')
    {
        reader.Advance();
        const wchar_t radixLetter = reader.Peek();
        if (radixLetter == L'H' || radixLetter == L'h')
        {
            reader.Advance();
            return ReadRadixInteger(reader, 16);
        }
        if (radixLetter == L'O' || radixLetter == L'o')
        {
            reader.Advance();
            return ReadRadixInteger(reader, 8);
        }
        return 0.0;
    }

    bool negative = false;
    if (reader.Peek() == L'+' || reader.Peek() == L'-')
    {
        negative = reader.Peek() == L'-';
        reader.Advance();
    }

    DecimalDigits digits;
    bool seenPoint = false;
    bool seenDigit = false;
    for (;;)
    {
        const wchar_t c = reader.Peek();
        if (IsDigit(c))
        {
            (seenPoint ? digits.fractionPart : digits.integerPart) += static_cast<char>(c);
            seenDigit = true;
            reader.Advance();
        }
        else if (c == L'.' && !seenPoint)
        {
            seenPoint = true;
            reader.Advance();
        }
        else
            break;
    }

    const wchar_t exponentLetter = reader.Peek();
    if (seenDigit && (exponentLetter == L'E' || exponentLetter == L'e'))
    {
        reader.Advance();
        bool negativeExponent = false;
        if (reader.Peek() == L'+' || reader.Peek() == L'-')
        {
            negativeExponent = reader.Peek() == L'-';
            reader.Advance();
        }
        long long exponent = 0;
        while (IsDigit(reader.Peek()))
        {
            AddExponentDigit(exponent, reader.Peek());
            reader.Advance();
        }
        digits.exponent = negativeExponent ? -exponent : exponent;
    }
    // Whatever follows (a unit, a type-suffix character such as "%" or "#") simply ends the number.

    if (!seenDigit)
        return 0.0;
    const double value = ConvertDigits(digits, negative);
    // "-0" reads as 0, as the classic function's result converts.
    return value == 0.0 ? 0.0 : value;
}

std::int32_t RoundToInt32(double value)
{
    return RoundTiesToEven<std::int32_t>(value, -2147483648.5, 2147483647.5);
}

std::int16_t RoundToInt16(double value)
{
    return RoundTiesToEven<std::int16_t>(value, -32768.5, 32767.5);
}

std::wstring Format00(std::int64_t value)
{
    // The magnitude in unsigned arithmetic, so that the smallest int64 has one too.
    const std::uint64_t magnitude =
        value < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::wstring digits = std::to_wstring(magnitude);
    if (digits.size() < 2)
        digits.insert(0, 2 - digits.size(), L'0');
    return value < 0 ? L"-" + digits : digits;
}

std::optional<double> ParseRegionalNumber(std::wstring_view text, wchar_t decimalSeparator)
{
    const wchar_t thousandsSeparator = decimalSeparator == L',' ? L'.' : L',';

    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsRegionalBlank(text[begin]))
        ++begin;
    while (end > begin && IsRegionalBlank(text[end - 1]))
        --end;
    std::wstring_view body = text.substr(begin, end - begin);
    if (body.empty())
        return std::nullopt;

    bool negative = false;
    if (body.size() >= 2 && body.front() == L'(' && body.back() == L')')
    {
        negative = true;
        body = body.substr(1, body.size() - 2);
    }
    else if (body.front() == L'+' || body.front() == L'-')
    {
        negative = body.front() == L'-';
        body.remove_prefix(1);
    }
    else if (body.back() == L'+' || body.back() == L'-')
    {
        negative = body.back() == L'-';
        body.remove_suffix(1);
    }
    if (body.empty())
        return std::nullopt;

    // "&H" and "&O" integers, taken by value without sign folding.
    if (body.size() > 2 && body[0] == L'&')
    {
        unsigned radix = 0;
        if (body[1] == L'H' || body[1] == L'h')
            radix = 16;
        else if (body[1] == L'O' || body[1] == L'o')
            radix = 8;
        if (radix == 0)
            return std::nullopt;
        double value = 0.0;
        for (const wchar_t c : body.substr(2))
        {
            const unsigned digit = DigitValue(c);
            if (digit >= radix)
                return std::nullopt;
            value = value * radix + digit;
        }
        if (!std::isfinite(value))
            return std::nullopt;
        return negative ? -value : value;
    }

    DecimalDigits digits;
    bool seenDecimal = false;
    bool seenDigit = false;
    std::size_t pos = 0;
    for (; pos < body.size(); ++pos)
    {
        const wchar_t c = body[pos];
        if (IsDigit(c))
        {
            (seenDecimal ? digits.fractionPart : digits.integerPart) += static_cast<char>(c);
            seenDigit = true;
        }
        else if (c == decimalSeparator && !seenDecimal)
            seenDecimal = true;
        else if (c == thousandsSeparator && seenDigit && !seenDecimal)
            continue; // grouping is skipped wherever it stands among the integer digits
        else
            break;
    }
    if (!seenDigit)
        return std::nullopt;

    if (pos < body.size() && (body[pos] == L'E' || body[pos] == L'e'))
    {
        ++pos;
        bool negativeExponent = false;
        if (pos < body.size() && (body[pos] == L'+' || body[pos] == L'-'))
        {
            negativeExponent = body[pos] == L'-';
            ++pos;
        }
        if (pos >= body.size() || !IsDigit(body[pos]))
            return std::nullopt;
        long long exponent = 0;
        for (; pos < body.size() && IsDigit(body[pos]); ++pos)
            AddExponentDigit(exponent, body[pos]);
        digits.exponent = negativeExponent ? -exponent : exponent;
    }
    if (pos != body.size())
        return std::nullopt;

    try
    {
        const double value = ConvertDigits(digits, negative);
        return value == 0.0 ? 0.0 : value;
    }
    catch (const OverflowError&)
    {
        // Callers only ask "is this a number"; a value beyond a double is none for them.
        return std::nullopt;
    }
}

std::wstring UCase(std::wstring_view text)
{
    std::wstring result(text);
    for (wchar_t& c : result)
    {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - (L'a' - L'A'));
        else if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) // à..þ without the division sign
            c = static_cast<wchar_t>(c - 0x20);
        else if (c == 0x00FF) // ÿ
            c = static_cast<wchar_t>(0x0178);
        else if (c == 0x0161 || c == 0x0153 || c == 0x017E) // š œ ž: their capitals sit one below
            c = static_cast<wchar_t>(c - 1);
    }
    return result;
}

std::wstring Trim(std::wstring_view text)
{
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos)
        return std::wstring();
    const auto last = text.find_last_not_of(L' ');
    return std::wstring(text.substr(first, last - first + 1));
}

std::wstring ReplaceAll(std::wstring_view text, std::wstring_view what, std::wstring_view with)
{
    // An empty search text would match everywhere; the classic Replace returns the text unchanged.
    if (what.empty())
        return std::wstring(text);
    std::wstring result;
    result.reserve(text.size());
    std::size_t pos = 0;
    for (;;)
    {
        const auto found = text.find(what, pos);
        if (found == std::wstring_view::npos)
            break;
        result.append(text.substr(pos, found - pos));
        result.append(with);
        pos = found + what.size();
    }
    result.append(text.substr(pos));
    return result;
}

std::string ToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        char32_t cp = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2)
        {
            cp &= 0xFFFF;
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size())
            {
                const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
                if (low >= 0xDC00 && low <= 0xDFFF)
                {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    ++i;
                }
            }
        }
        if (IsSurrogate(cp) || cp > 0x10FFFF)
            cp = kReplacementCharacter;
        AppendCodePointUtf8(out, cp);
    }
    return out;
}

std::wstring FromUtf8(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size())
    {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80)
        {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        std::size_t length = 0;
        char32_t cp = 0;
        char32_t minimum = 0;
        if (lead >= 0xC2 && lead <= 0xDF)
        {
            length = 2;
            cp = lead & 0x1Fu;
            minimum = 0x80;
        }
        else if (lead >= 0xE0 && lead <= 0xEF)
        {
            length = 3;
            cp = lead & 0x0Fu;
            minimum = 0x800;
        }
        else if (lead >= 0xF0 && lead <= 0xF4)
        {
            length = 4;
            cp = lead & 0x07u;
            minimum = 0x10000;
        }
        if (length == 0)
        {
            // A stray continuation byte or a lead byte that cannot start a valid sequence.
            AppendCodePointWide(out, kReplacementCharacter);
            ++i;
            continue;
        }
        std::size_t consumed = 1;
        bool valid = true;
        for (; consumed < length; ++consumed)
        {
            if (i + consumed >= text.size())
            {
                valid = false;
                break;
            }
            const auto next = static_cast<unsigned char>(text[i + consumed]);
            if ((next & 0xC0u) != 0x80u)
            {
                valid = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3Fu);
        }
        // A truncated sequence is replaced once and reading resumes at the byte that broke it.
        if (valid && (cp < minimum || cp > 0x10FFFF || IsSurrogate(cp)))
            valid = false;
        AppendCodePointWide(out, valid ? cp : kReplacementCharacter);
        i += consumed;
    }
    return out;
}

} // namespace ui
