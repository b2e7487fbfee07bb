#include "core/settings/NumberText.h"

#include "core/settings/AppConfig.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

// Decimal digits beyond the shown ones that decide the rounding. The exact
// binary value is expanded that far, which tells an exact tie (digits
// "5000...") from a value just above or below it for every magnitude where
// the shown decimals can change.
const int kGuardDigits = 40;
const int kMaxDecimals = 20;

std::string_view Trim(std::string_view s)
{
    const char* ws = " \t\r\n";
    const size_t b = s.find_first_not_of(ws);
    if (b == std::string_view::npos)
        return {};
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

// Removes trailing "0" characters of the decimals; the "." stays.
void TrimZeros(std::string& text)
{
    if (text.find('.') == std::string::npos)
        return;
    while (!text.empty() && text.back() == '0')
        text.pop_back();
}

void TrimPoint(std::string& text)
{
    if (!text.empty() && text.back() == '.')
        text.pop_back();
}

// Blanks around the number go; one leading "+" goes too, unless a sign
// follows it.
std::optional<std::string_view> NumberBody(std::string_view text)
{
    std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '+') {
        t.remove_prefix(1);
        if (!t.empty() && (t.front() == '+' || t.front() == '-'))
            return std::nullopt;
    }
    if (t.empty())
        return std::nullopt;
    return t;
}

char CommaToPoint(char key)
{
    return key == ',' ? '.' : key;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string FormatFixed(double v, int decimals)
{
    if (std::isnan(v))
        return "NAN";
    if (std::isinf(v))
        return v < 0 ? "-INF" : "INF";
    if (decimals < 0)
        decimals = 0;
    if (decimals > kMaxDecimals)
        decimals = kMaxDecimals;

    // The largest double has 309 integer digits.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::fixed,
                                 decimals + kGuardDigits);
    std::string digits(buf, r.ptr);
    const size_t point = digits.find('.');
    const size_t keep = point + 1 + static_cast<size_t>(decimals);
    const bool roundUp = digits[keep] >= '5';
    digits.resize(decimals > 0 ? keep : point);

    if (roundUp) {
        // Carry from the last kept digit leftwards, over the point.
        size_t i = digits.size();
        bool carry = true;
        while (carry && i > 0) {
            --i;
            if (digits[i] == '.')
                continue;
            if (digits[i] == '9') {
                digits[i] = '0';
            } else {
                ++digits[i];
                carry = false;
            }
        }
        if (carry)
            digits.insert(digits.begin(), '1');
    }
    const bool zero = digits.find_first_not_of("0.") == std::string::npos;
    if (v < 0 && !zero)
        digits.insert(digits.begin(), '-');
    return digits;
}

std::string FormatFixedTrim(double v, int decimals)
{
    std::string text = FormatFixed(v, decimals);
    TrimZeros(text);
    TrimPoint(text);
    return text;
}

std::string FormatCoord(double v)
{
    return FormatFixedTrim(v, AppConfig().CoordDecimals());
}

std::string FormatToolSize(double v)
{
    return FormatFixedTrim(v, AppConfig().ToolSizeDecimals());
}

std::string FormatCoordX(double v)
{
    return "X" + FormatCoord(v);
}

std::string FormatCoordY(double v)
{
    return "Y" + FormatCoord(v);
}

std::string FormatCoordSpaced(double v)
{
    std::string text = FormatFixed(v, AppConfig().CoordDecimals());
    TrimZeros(text);
    return " " + text;
}

std::string FormatCoordSpacedTrim(double v)
{
    std::string text = FormatCoordSpaced(v);
    TrimPoint(text);
    return text;
}

std::string Format3DecimalsTrim(double v)
{
    return FormatFixedTrim(static_cast<double>(static_cast<float>(v)), 3);
}

std::string SecondsToHMS(int32_t seconds)
{
    // At least two digits, the sign in front: 5 -> "05", -5 -> "-05".
    auto twoDigits = [](int32_t n) {
        const std::string digits = std::to_string(n < 0 ? -static_cast<int64_t>(n) : n);
        return (n < 0 ? "-" : "") + (digits.size() < 2 ? "0" + digits : digits);
    };
    return " " + std::to_string(seconds / 3600) + "h, " + twoDigits((seconds / 60) % 60) + "m, " +
           twoDigits(seconds % 60) + "s";
}

std::optional<double> ParseDecimal(std::string_view text)
{
    const std::optional<std::string_view> number = NumberBody(text);
    if (!number)
        return std::nullopt;
    const std::string_view t = *number;
    // from_chars would also take "inf" and "nan"; a typed number starts with
    // a digit, a "." or a "-" followed by one of those.
    const std::string_view body = !t.empty() && t.front() == '-' ? t.substr(1) : t;
    if (body.empty() || !(IsDigit(body.front()) || body.front() == '.'))
        return std::nullopt;
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<int32_t> ParseInteger(std::string_view text)
{
    const std::optional<std::string_view> number = NumberBody(text);
    if (!number)
        return std::nullopt;
    const std::string_view t = *number;
    int32_t v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size())
        return std::nullopt;
    return v;
}

bool IsCompleteNumber(std::string_view text)
{
    return !(text.empty() || text == "-" || text == "." || text == "-.");
}

char SignedDecimalKeyFilterEnter(char key)
{
    key = CommaToPoint(key);
    return key == kBackspaceKey || key == kEnterKey || key == '-' || key == '.' || IsDigit(key) ? key : '\0';
}

char SignedDecimalKeyFilter(char key)
{
    key = CommaToPoint(key);
    return key == kBackspaceKey || key == '-' || key == '.' || IsDigit(key) ? key : '\0';
}

char DecimalKeyFilter(char key)
{
    key = CommaToPoint(key);
    return key == kBackspaceKey || key == '.' || IsDigit(key) ? key : '\0';
}

char DigitKeyFilter(char key)
{
    return key == kBackspaceKey || IsDigit(key) ? key : '\0';
}
