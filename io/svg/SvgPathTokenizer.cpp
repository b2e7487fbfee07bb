#include "io/svg/SvgPathTokenizer.h"

#include "io/svg/SvgException.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr std::string_view CommandLetters = "MmZzLlHhVvCcSsQqTtAaFfPp";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == ','; }

// A number whose digits from_chars could not hold in a double: an infinity
// when its decimal magnitude is positive, 0 when it is negative. mantissa
// holds the digits and the point, exponent the (signed) exponent digits.
double OutOfRange(bool negative, std::string_view mantissa, std::string_view exponent)
{
    // Decimal position of the first significant digit: k means
    // 10^(k-1) <= |mantissa| < 10^k.
    int64_t magnitude = 0;
    const size_t point = mantissa.find('.');
    const size_t intDigits = point == std::string_view::npos ? mantissa.size() : point;
    const size_t first = mantissa.find_first_not_of("0.");
    if (first == std::string_view::npos)
        return negative ? -0.0 : 0.0;
    if (first < intDigits)
        magnitude = static_cast<int64_t>(intDigits - first);
    else
        magnitude = -static_cast<int64_t>(first - intDigits - 1);

    int64_t exp = 0;
    bool expNegative = false;
    size_t i = 0;
    if (i < exponent.size() && (exponent[i] == '+' || exponent[i] == '-'))
        expNegative = exponent[i++] == '-';
    for (; i < exponent.size(); ++i) {
        if (exp < 1'000'000'000)
            exp = exp * 10 + (exponent[i] - '0');
    }
    magnitude += expNegative ? -exp : exp;
    const double huge = std::numeric_limits<double>::infinity();
    if (magnitude > 0)
        return negative ? -huge : huge;
    return negative ? -0.0 : 0.0;
}

} // namespace

std::optional<double> ScanSvgNumber(std::string_view text, size_t pos, size_t& length)
{
    size_t i = pos;
    const size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    const size_t mantissaStart = i;
    size_t digits = 0;
    while (i < n && IsDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    const size_t mantissaEnd = i;
    size_t exponentStart = i;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (j < n && IsDigit(text[j])) {
            exponentStart = i + 1;
            while (j < n && IsDigit(text[j]))
                ++j;
            i = j;
        }
    }

    // from_chars takes no leading '+': parse from the sign-less mantissa and
    // apply the sign afterwards.
    double value = 0.0;
    const char* begin = text.data() + mantissaStart;
    const char* end = text.data() + i;
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        const std::string_view exponent =
            exponentStart > mantissaEnd ? text.substr(exponentStart, i - exponentStart) : std::string_view{};
        value = OutOfRange(negative, text.substr(mantissaStart, mantissaEnd - mantissaStart), exponent);
        length = i - pos;
        return value;
    }
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    length = i - pos;
    return negative ? -value : value;
}

double ParseSvgDouble(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    size_t length = 0;
    return ScanSvgNumber(text, i, length).value_or(0.0);
}

void path_tokenizer::set_path_str(std::string_view text)
{
    m_Path.assign(text);
    m_Pos = 0;
    m_LastCommand = 0;
    m_LastNumber = 0.0;
    m_IsCommand = false;
}

void path_tokenizer::SkipSeparators()
{
    while (m_Pos < m_Path.size() && IsSeparator(m_Path[m_Pos]))
        ++m_Pos;
}

void path_tokenizer::RaiseInvalidCharacter(char c) const
{
    throw Esvg_exception(std::string("path_tokenizer::next : Invalid Character ") + c);
}

bool path_tokenizer::next()
{
    SkipSeparators();
    if (m_Pos >= m_Path.size())
        return false;
    const char c = m_Path[m_Pos];
    if (CommandLetters.find(c) != std::string_view::npos) {
        m_LastCommand = c;
        m_IsCommand = true;
        ++m_Pos;
        return true;
    }
    size_t length = 0;
    const std::optional<double> number = ScanSvgNumber(m_Path, m_Pos, length);
    if (!number || m_LastCommand == 0)
        RaiseInvalidCharacter(c);
    m_LastNumber = *number;
    m_IsCommand = false;
    m_Pos += length;
    return true;
}

double path_tokenizer::next(char cmd)
{
    if (!next())
        throw Esvg_exception("parse_path: Unexpected end of path");
    if (m_IsCommand)
        throw Esvg_exception(std::string("parse_path: Command ") + cmd + ": bad or missing parameters");
    return m_LastNumber;
}

double path_tokenizer::next_flag(char cmd)
{
    SkipSeparators();
    if (m_Pos < m_Path.size() && (m_Path[m_Pos] == '0' || m_Path[m_Pos] == '1')) {
        m_LastNumber = m_Path[m_Pos] == '1' ? 1.0 : 0.0;
        m_IsCommand = false;
        ++m_Pos;
        return m_LastNumber;
    }
    return next(cmd);
}

bool path_tokenizer::next_number(double* value)
{
    SkipSeparators();
    if (m_Pos >= m_Path.size())
        return false;
    size_t length = 0;
    const std::optional<double> number = ScanSvgNumber(m_Path, m_Pos, length);
    if (!number)
        RaiseInvalidCharacter(m_Path[m_Pos]);
    m_LastNumber = *number;
    m_IsCommand = false;
    m_Pos += length;
    *value = m_LastNumber;
    return true;
}
