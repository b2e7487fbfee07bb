#include "nc/post/PstFormat.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cmath>
#include <optional>

namespace {

constexpr int kMaxWidth = 255;
constexpr int kMaxPrecision = 18;

struct TDirective {
    bool LeftAlign = false;
    int Width = -1;
    int Precision = -1;
    char Type = 0; // lower case
};

[[noreturn]] void Invalid(const std::string& format)
{
    throw EPstFormatError("Format '" + format + "' invalid or incompatible with argument");
}

// Up to three digits at pos; -1 when there are none.
int ReadSmallNumber(const std::string& format, size_t& pos)
{
    int value = -1;
    int digits = 0;
    while (pos < format.size() && format[pos] >= '0' && format[pos] <= '9') {
        if (++digits > 3)
            Invalid(format);
        value = (value < 0 ? 0 : value * 10) + (format[pos] - '0');
        ++pos;
    }
    return value;
}

// Splits format into the text before the one directive, the directive and
// the text after it ("%%" already turned into "%").
struct TParsed {
    std::string Before, After;
    std::optional<TDirective> Directive;
};

TParsed Parse(const std::string& format)
{
    TParsed parsed;
    size_t pos = 0;
    while (pos < format.size()) {
        const char c = format[pos++];
        std::string& text = parsed.Directive ? parsed.After : parsed.Before;
        if (c != '%') {
            text += c;
            continue;
        }
        if (pos < format.size() && format[pos] == '%') {
            text += '%';
            ++pos;
            continue;
        }
        if (parsed.Directive) // a second value is asked for: there is only one
            Invalid(format);
        TDirective d;
        if (pos < format.size() && format[pos] == '-') {
            d.LeftAlign = true;
            ++pos;
        }
        d.Width = ReadSmallNumber(format, pos);
        if (pos < format.size() && format[pos] == '.') {
            ++pos;
            d.Precision = ReadSmallNumber(format, pos);
            if (d.Precision < 0)
                d.Precision = 0;
        }
        if (pos >= format.size())
            Invalid(format);
        d.Type = static_cast<char>(format[pos] >= 'A' && format[pos] <= 'Z' ? format[pos] - 'A' + 'a' : format[pos]);
        ++pos;
        if (d.Width > kMaxWidth || d.Precision > kMaxPrecision)
            Invalid(format);
        parsed.Directive = d;
    }
    return parsed;
}

std::string Pad(std::string text, const TDirective& d)
{
    if (d.Width > 0 && static_cast<int>(text.size()) < d.Width) {
        const std::string blanks(static_cast<size_t>(d.Width) - text.size(), ' ');
        text = d.LeftAlign ? text + blanks : blanks + text;
    }
    return text;
}

// value with precision decimals, halves rounded away from zero as the
// Delphi-style formats do (0.0625 with three decimals gives "0.063", where
// printf's ties-to-even would give "0.062"). Works on the exact decimal
// expansion of the double, so only true halves count as halves.
std::string FixedHalfAway(double value, int precision)
{
    // A double's exact expansion has at most 1074 decimals and 309 integer digits.
    char buf[1500];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 1074);
    if (ec != std::errc())
        throw EPstFormatError("number not formattable");
    std::string text(buf, end);
    const bool negative = text[0] == '-';
    if (negative)
        text.erase(0, 1);
    const size_t point = text.find('.');
    std::string intPart = text.substr(0, point);
    std::string fracPart = point == std::string::npos ? std::string() : text.substr(point + 1);
    fracPart.resize(static_cast<size_t>(precision) + 1, '0');
    const bool roundUp = fracPart.back() >= '5';
    fracPart.pop_back();
    std::string digits = intPart + fracPart;
    if (roundUp) {
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0)
            digits.insert(0, 1, '1');
        else
            ++digits[i - 1];
    }
    const size_t intDigits = digits.size() - fracPart.size();
    std::string result = (negative ? "-" : "") + digits.substr(0, intDigits);
    if (precision > 0)
        result += "." + digits.substr(intDigits);
    return result;
}

// Whether value lies exactly halfway between two numbers of precision
// decimals: twice value * 10^precision is an odd integer, which for a binary
// fraction m * 2^k (m odd) means k = -(precision + 1).
bool IsDecimalTie(double value, int precision)
{
    // Scaling by a power of two is exact (past the double range it gives
    // infinity, which is no tie).
    const double scaled = value * static_cast<double>(uint64_t{2} << precision);
    if (!(std::fabs(scaled) < 0x1p53))
        return false;
    const auto whole = static_cast<int64_t>(scaled);
    return static_cast<double>(whole) == scaled && (whole & 1) != 0;
}

// Appends value with precision decimals, halves away from zero. Only a
// true half rounds differently from the shortest correctly rounded text, so
// every other value takes the direct way.
void AppendFixed(std::string& out, double value, int precision)
{
    if (IsDecimalTie(value, precision)) {
        out += FixedHalfAway(value, precision);
        return;
    }
    char buf[400]; // 309 integer digits, the point, 18 decimals and the sign
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, precision);
    if (ec != std::errc())
        throw EPstFormatError("number not formattable");
    out.append(buf, end);
}

} // namespace

void TPstFloatFormat::Read(const std::string& format)
{
    m_Format = format;
    m_Read = true;
    m_Error.clear();
    m_Before.clear();
    m_After.clear();
    m_HasDirective = false;
    try {
        TParsed parsed = Parse(format);
        m_Before = std::move(parsed.Before);
        m_After = std::move(parsed.After);
        if (parsed.Directive) {
            m_HasDirective = true;
            m_LeftAlign = parsed.Directive->LeftAlign;
            m_Width = parsed.Directive->Width;
            m_Precision = parsed.Directive->Precision < 0 ? 2 : parsed.Directive->Precision;
            if (parsed.Directive->Type != 'f')
                m_Error = "Format '" + format + "' invalid or incompatible with argument";
        }
    } catch (const EPstFormatError& e) {
        m_Error = e.what();
    }
}

void TPstFloatFormat::Append(std::string& out, const std::string& format, double value)
{
    if (!m_Read || format != m_Format)
        Read(format);
    if (!m_Error.empty())
        throw EPstFormatError(m_Error);
    if (!m_HasDirective) {
        out += m_Before;
        return;
    }
    if (!std::isfinite(value))
        Invalid(format);
    if (!m_Before.empty())
        out += m_Before;
    const size_t number = out.size();
    AppendFixed(out, value, m_Precision);
    // "-0.000" is the same number as "0.000"; controllers need not see the sign.
    if (out[number] == '-' && std::all_of(out.begin() + static_cast<std::ptrdiff_t>(number) + 1, out.end(),
                                          [](char c) { return c == '0' || c == '.'; }))
        out.erase(number, 1);
    const size_t length = out.size() - number;
    if (m_Width > 0 && length < static_cast<size_t>(m_Width)) {
        const size_t blanks = static_cast<size_t>(m_Width) - length;
        if (m_LeftAlign)
            out.append(blanks, ' ');
        else
            out.insert(number, blanks, ' ');
    }
    if (!m_After.empty())
        out += m_After;
}

std::string FormatPstFloat(const std::string& format, double value)
{
    std::string text;
    TPstFloatFormat().Append(text, format, value);
    return text;
}

std::string FormatPstInteger(const std::string& format, int64_t value)
{
    TParsed parsed = Parse(format);
    if (!parsed.Directive)
        return parsed.Before;
    const TDirective& d = *parsed.Directive;
    if (d.Type != 'd')
        Invalid(format);
    std::string digits = std::to_string(value);
    std::string sign;
    if (!digits.empty() && digits[0] == '-') {
        sign = "-";
        digits.erase(0, 1);
    }
    if (d.Precision > static_cast<int>(digits.size()))
        digits.insert(0, static_cast<size_t>(d.Precision) - digits.size(), '0');
    return parsed.Before + Pad(sign + digits, d) + parsed.After;
}

bool PstFormatApplies(const std::string& format, char type)
{
    try {
        const TParsed parsed = Parse(format);
        return parsed.Directive && parsed.Directive->Type == type;
    } catch (const EPstFormatError&) {
        return false;
    }
}
