#include "io/dxf/DXFValue.h"

#include <charconv>
#include <cmath>
#include <limits>

TDXFCodeKind DXFCodeKind(uint16_t code)
{
    const auto in = [code](int low, int high) { return code >= low && code <= high; };
    if (in(0, 9) || in(999, 1009))
        return TDXFCodeKind::Text;
    if (in(10, 59) || in(140, 147) || in(210, 239) || in(1010, 1059))
        return TDXFCodeKind::Double;
    if (in(60, 79) || in(170, 175) || in(1060, 1079))
        return TDXFCodeKind::Integer;
    return TDXFCodeKind::Raw;
}

std::string_view TrimDXF(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

size_t CountDigits(std::string_view text, size_t from)
{
    size_t n = 0;
    while (from + n < text.size() && IsDigit(text[from + n]))
        ++n;
    return n;
}

// Exact powers of ten: every one up to 10^22 is a double.
constexpr double ExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                       1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// [-]digits[.digits] whose digits, read as one integer, are at most 2^53
// and whose decimals are at most 22: that integer and the power of ten are
// both exact doubles, so their one correctly rounded quotient is the
// correctly rounded value of the text, as std::from_chars gives it. Nothing
// for any other text.
std::optional<double> ParseShortDecimal(std::string_view t)
{
    const char* p = t.data();
    const char* const end = p + t.size();
    const bool negative = p < end && *p == '-';
    p += negative ? 1 : 0;
    // More than 19 digits may wrap the integer around; they are refused by
    // their count below.
    uint64_t digits = 0;
    const char* const integer = p;
    while (p < end && IsDigit(*p))
        digits = digits * 10 + static_cast<uint64_t>(*p++ - '0');
    const auto integerCount = static_cast<size_t>(p - integer);
    size_t decimals = 0;
    if (p < end && *p == '.') {
        const char* const fraction = ++p;
        while (p < end && IsDigit(*p))
            digits = digits * 10 + static_cast<uint64_t>(*p++ - '0');
        decimals = static_cast<size_t>(p - fraction);
        if (decimals == 0)
            return std::nullopt;
    }
    if (p != end || integerCount == 0 || integerCount + decimals > 19 || digits > (uint64_t{1} << 53) ||
        decimals > 22)
        return std::nullopt;
    const double value = static_cast<double>(digits) / ExactPowersOfTen[decimals];
    return negative ? -value : value;
}

// The plain form files write: [-]digits[.digits], which std::from_chars
// reads as it stands. Nothing for any other form.
std::optional<double> ParsePlainDouble(std::string_view t)
{
    if (const auto value = ParseShortDecimal(t))
        return value;
    size_t i = !t.empty() && t[0] == '-' ? 1 : 0;
    const size_t intDigits = CountDigits(t, i);
    if (intDigits == 0)
        return std::nullopt;
    i += intDigits;
    if (i < t.size()) {
        if (t[i] != '.' || CountDigits(t, i + 1) != t.size() - i - 1 || i + 1 == t.size())
            return std::nullopt;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ParseDXFDouble(std::string_view text)
{
    const std::string_view t = TrimDXF(text);
    if (const auto plain = ParsePlainDouble(t))
        return plain;
    const char separator = t.find('.') != std::string_view::npos ? '.' : ',';

    // Checked by hand and rebuilt in the one form std::from_chars reads the
    // same everywhere: [-]digits[.digits][e[-]digits].
    std::string normal;
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-')
            normal += '-';
        ++i;
    }
    const size_t intDigits = CountDigits(t, i);
    normal.append(intDigits ? t.substr(i, intDigits) : "0");
    i += intDigits;
    size_t fracDigits = 0;
    if (i < t.size() && t[i] == separator) {
        ++i;
        fracDigits = CountDigits(t, i);
        if (fracDigits) {
            normal += '.';
            normal.append(t.substr(i, fracDigits));
        }
        i += fracDigits;
    }
    if (intDigits + fracDigits == 0)
        return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
            if (t[i] == '-')
                normal += '-';
            ++i;
        }
        const size_t expDigits = CountDigits(t, i);
        if (expDigits == 0)
            return std::nullopt;
        normal.append(t.substr(i, expDigits));
        i += expDigits;
    }
    if (i != t.size())
        return std::nullopt;

    double value = 0;
    const auto [end, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (ec != std::errc() || end != normal.data() + normal.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int32_t> ParseDXFInteger(std::string_view text)
{
    std::string_view t = TrimDXF(text);
    bool negative = false;
    if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
        negative = t.front() == '-';
        t.remove_prefix(1);
    }
    if (t.empty() || CountDigits(t, 0) != t.size())
        return std::nullopt;
    uint64_t magnitude = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), magnitude);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    const uint64_t limit = negative ? uint64_t{1} << 31 : (uint64_t{1} << 31) - 1;
    if (magnitude > limit)
        return std::nullopt;
    return static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude));
}

std::string TDXFValue::AsString() const
{
    if (const auto* text = std::get_if<std::string>(&m_Data))
        return *text;
    char buffer[32];
    std::to_chars_result r{buffer, std::errc()};
    if (const auto* d = std::get_if<double>(&m_Data))
        r = std::to_chars(buffer, buffer + sizeof buffer, *d);
    else if (const auto* n = std::get_if<int32_t>(&m_Data))
        r = std::to_chars(buffer, buffer + sizeof buffer, *n);
    return std::string(buffer, r.ptr);
}

double TDXFValue::AsDouble() const
{
    if (const auto* d = std::get_if<double>(&m_Data))
        return *d;
    if (const auto* n = std::get_if<int32_t>(&m_Data))
        return *n;
    if (const auto* text = std::get_if<std::string>(&m_Data))
        return ParseDXFDouble(*text).value_or(0.0);
    return 0.0;
}

int32_t TDXFValue::AsInteger() const
{
    if (const auto* n = std::get_if<int32_t>(&m_Data))
        return *n;
    if (const auto* d = std::get_if<double>(&m_Data)) {
        const double r = std::nearbyint(*d);
        if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max()))
            return 0;
        return static_cast<int32_t>(r);
    }
    if (const auto* text = std::get_if<std::string>(&m_Data))
        return ParseDXFInteger(*text).value_or(0);
    return 0;
}
