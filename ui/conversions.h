// The classic conversions the program's rules are written in: reading a leading number, rounding into
// 32 bits, two-digit numbering, numbers under the regional decimal separator, upper-casing.
// Every caller uses these; nobody re-implements them.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ui
{

/// A number does not fit the type it is converted to (the classic "Overflow").
class OverflowError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// An argument a conversion cannot work with (the classic "Invalid procedure call or argument").
class InvalidArgumentError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// The leading-number rule, independent of regional settings: blanks, tabs and line feeds are skipped
/// wherever they stand; then an optional sign, digits with at most one ".", an optional exponent (E in
/// either case, optional sign, digits; a D ends the number, so "2d5" is 2). Reading stops at the first
/// character that does not fit; no number gives 0. "&H" and "&O" read a hexadecimal or octal integer
/// with the classic sign folding (&HFFFF is -1). Throws OverflowError for a value beyond a double ("1e400").
double LeadingNumber(std::wstring_view text);

/// Rounds to the nearest 32-bit integer, a tie going to the even neighbour (2.5 gives 2, 3.5 gives 4).
/// Throws OverflowError outside -2147483648.5 .. 2147483647.5 (exclusive above) and for NaN.
std::int32_t RoundToInt32(double value);

/// Rounds to the nearest 16-bit integer, ties to even; throws OverflowError outside the range.
std::int16_t RoundToInt16(double value);

/// The "00" number format: at least two digits, a minus sign in front (5 gives "05", -5 gives "-05").
std::wstring Format00(std::int64_t value);

/// Reads a whole text as a decimal number under the given regional decimal separator, the way the
/// locale-aware classic conversion does: blanks around it are allowed, the other of "," and "." is a
/// thousands separator that is skipped after the first digit, a trailing minus or enclosing
/// parentheses make it negative. Nothing when the text is not a number ("abc", "0 6,3", "").
std::optional<double> ParseRegionalNumber(std::wstring_view text, wchar_t decimalSeparator);

/// Upper case the way the Windows case tables do it for Windows-1252 text (ä to Ä; ß stays).
std::wstring UCase(std::wstring_view text);

/// Removes leading and trailing blanks (spaces only, as the classic Trim does).
std::wstring Trim(std::wstring_view text);

/// Replaces every occurrence of `what` by `with`, one pass from left to right, non-overlapping.
std::wstring ReplaceAll(std::wstring_view text, std::wstring_view what, std::wstring_view with);

/// UTF-8 <-> UTF-16 for the edges (JSON, SVG, terminal). Invalid input is replaced, never thrown.
std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

} // namespace ui
