// The attribute readers of svg_parser: style declarations, colours and
// transform lists.

#include "io/svg/SvgParser.h"

#include "io/svg/SvgColorNames.h"
#include "io/svg/SvgException.h"
#include "io/svg/SvgPathRenderer.h"

#include <agg_trans_affine.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double DegToRad = 3.14159265358979323846 / 180.0;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsNumeric(char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E'; }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "#" and its hexadecimal digits. Three digits are CSS's short form (each
// digit doubled); otherwise the digits are the number 0xRRGGBB, and any
// other character makes it 0.
agg::rgba8 ParseHexColor(std::string_view digits)
{
    digits = TrimRight(digits);
    uint32_t value = 0;
    for (char c : digits) {
        const int d = HexDigit(c);
        if (d < 0) {
            value = 0;
            break;
        }
        value = (value << 4) | static_cast<uint32_t>(d);
    }
    if (digits.size() == 3) {
        const uint32_t r = (value >> 8) & 0xF;
        const uint32_t g = (value >> 4) & 0xF;
        const uint32_t b = value & 0xF;
        return agg::rgba8(r * 17, g * 17, b * 17, 255);
    }
    return agg::rgba8((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF, 255);
}

// "rgb(" then three components, each an integer of up to four digits (none
// reads 0) or a percentage, clamped to 0..255.
agg::rgba8 ParseRgbColor(std::string_view str)
{
    unsigned comp[3] = {0, 0, 0};
    size_t i = 4; // after "rgb("
    for (int k = 0; k < 3; ++k) {
        while (i < str.size() && IsBlank(str[i]))
            ++i;
        double value = 0.0;
        int digits = 0;
        while (i < str.size() && str[i] >= '0' && str[i] <= '9') {
            if (digits < 4)
                value = value * 10.0 + (str[i] - '0');
            ++digits;
            ++i;
        }
        // A fraction only matters for percentages; it is skipped either way.
        double fraction = 0.0;
        if (i < str.size() && str[i] == '.') {
            double scale = 0.1;
            for (++i; i < str.size() && str[i] >= '0' && str[i] <= '9'; ++i, scale /= 10.0)
                fraction += (str[i] - '0') * scale;
        }
        while (i < str.size() && IsBlank(str[i]))
            ++i;
        if (i < str.size() && str[i] == '%') {
            value = std::nearbyint((value + fraction) * 255.0 / 100.0);
            ++i;
        }
        comp[k] = static_cast<unsigned>(std::min(value, 255.0));
        // On to the character after the separator.
        while (i < str.size() && str[i] != ',' && str[i] != ')')
            ++i;
        if (i < str.size())
            ++i;
    }
    return agg::rgba8(comp[0], comp[1], comp[2], 255);
}

} // namespace

bool svg_parser::parse_attr(std::string_view name, std::string_view value)
{
    if (name == "style") {
        parse_style(value);
    } else if (name == "fill") {
        if (value == "none")
            m_Path.fill_none();
        else
            m_Path.fill(parse_color(value));
    } else if (name == "fill-opacity") {
        m_Path.fill_opacity(parse_double(value));
    } else if (name == "stroke") {
        if (value == "none")
            m_Path.stroke_none();
        else
            m_Path.stroke(parse_color(value));
    } else if (name == "stroke-width") {
        m_Path.stroke_width(parse_double(value));
    } else if (name == "stroke-linecap") {
        if (value == "butt")
            m_Path.line_cap(0);
        else if (value == "square")
            m_Path.line_cap(1);
        else if (value == "round")
            m_Path.line_cap(2);
    } else if (name == "stroke-linejoin") {
        if (value == "miter")
            m_Path.line_join(0);
        else if (value == "round")
            m_Path.line_join(2);
        else if (value == "bevel")
            m_Path.line_join(3);
    } else if (name == "stroke-miterlimit") {
        m_Path.miter_limit(parse_double(value));
    } else if (name == "stroke-opacity") {
        m_Path.stroke_opacity(parse_double(value));
    } else if (name == "transform") {
        parse_transform(value);
    } else {
        return false;
    }
    return true;
}

void svg_parser::parse_style(std::string_view str)
{
    while (!str.empty()) {
        str = TrimLeft(str);
        const size_t semi = str.find(';');
        std::string_view declaration = str.substr(0, semi);
        str = semi == std::string_view::npos ? std::string_view{} : str.substr(semi + 1);
        declaration = TrimRight(declaration);
        if (!declaration.empty())
            parse_name_value(declaration);
    }
}

void svg_parser::parse_name_value(std::string_view nameValue)
{
    const size_t colon = nameValue.find(':');
    std::string_view name = nameValue.substr(0, colon);
    while (!name.empty() && (IsBlank(name.back()) || name.back() == ':'))
        name.remove_suffix(1);
    std::string_view value;
    if (colon != std::string_view::npos) {
        value = nameValue.substr(colon);
        while (!value.empty() && (value.front() == ':' || IsBlank(value.front())))
            value.remove_prefix(1);
    }
    parse_attr(name, value);
}

agg::rgba8 svg_parser::parse_color(std::string_view str)
{
    str = TrimLeft(str);
    if (!str.empty() && str.front() == '#')
        return ParseHexColor(str.substr(1));
    if (str.size() >= 4 && str.substr(0, 4) == "rgb(")
        return ParseRgbColor(str);
    const std::span<const named_color> colors = SvgColorNames();
    for (const named_color& c : colors) {
        if (str == c.Name)
            return agg::rgba8(c.R, c.G, c.B, c.A);
    }
    const named_color& first = colors.front();
    return agg::rgba8(first.R, first.G, first.B, first.A);
}

double svg_parser::parse_double(std::string_view str)
{
    return ParseSvgDouble(str);
}

void svg_parser::parse_transform(std::string_view str)
{
    size_t i = 0;
    while (i < str.size()) {
        if (str[i] >= 'a' && str[i] <= 'z') {
            const std::string_view rest = str.substr(i);
            if (rest.starts_with("matrix")) {
                i += parse_matrix(rest);
                continue;
            }
            if (rest.starts_with("translate")) {
                i += parse_translate(rest);
                continue;
            }
            if (rest.starts_with("rotate")) {
                i += parse_rotate(rest);
                continue;
            }
            if (rest.starts_with("scale")) {
                i += parse_scale(rest);
                continue;
            }
            if (rest.starts_with("skewX")) {
                i += parse_skew_x(rest);
                continue;
            }
            if (rest.starts_with("skewY")) {
                i += parse_skew_y(rest);
                continue;
            }
        }
        ++i;
    }
}

size_t svg_parser::parse_transform_args(std::string_view str, double* args, unsigned maxNa, unsigned& na)
{
    na = 0;
    const size_t open = str.find('(');
    const size_t close = open == std::string_view::npos ? open : str.find(')', open);
    if (close == std::string_view::npos)
        throw Esvg_exception("parse_transform_args: Invalid syntax");
    size_t i = open + 1;
    while (i < close) {
        if (!IsNumeric(str[i])) {
            ++i;
            continue;
        }
        if (na >= maxNa)
            throw Esvg_exception("parse_transform_args: Too many arguments");
        size_t length = 0;
        args[na++] = ScanSvgNumber(str, i, length).value_or(0.0);
        while (i < close && IsNumeric(str[i]))
            ++i;
    }
    return close;
}

size_t svg_parser::parse_matrix(std::string_view str)
{
    double args[6] = {};
    unsigned na = 0;
    const size_t len = parse_transform_args(str, args, 6, na);
    if (na != 6)
        throw Esvg_exception("parse_matrix: Invalid number of arguments");
    m_Path.transform().premultiply(agg::trans_affine(args[0], args[1], args[2], args[3], args[4], args[5]));
    return len;
}

size_t svg_parser::parse_translate(std::string_view str)
{
    double args[2] = {};
    unsigned na = 0;
    const size_t len = parse_transform_args(str, args, 2, na);
    if (na == 1)
        args[1] = 0.0;
    m_Path.transform().premultiply(agg::trans_affine_translation(args[0], args[1]));
    return len;
}

size_t svg_parser::parse_rotate(std::string_view str)
{
    double args[3] = {};
    unsigned na = 0;
    const size_t len = parse_transform_args(str, args, 3, na);
    if (na == 1) {
        m_Path.transform().premultiply(agg::trans_affine_rotation(args[0] * DegToRad));
    } else if (na == 3) {
        agg::trans_affine t = agg::trans_affine_translation(-args[1], -args[2]);
        t *= agg::trans_affine_rotation(args[0] * DegToRad);
        t *= agg::trans_affine_translation(args[1], args[2]);
        m_Path.transform().premultiply(t);
    } else {
        throw Esvg_exception("parse_rotate: Invalid number of arguments");
    }
    return len;
}

size_t svg_parser::parse_scale(std::string_view str)
{
    double args[2] = {};
    unsigned na = 0;
    const size_t len = parse_transform_args(str, args, 2, na);
    // "scale()" names no factor: it changes nothing rather than collapse
    // the shape to a point.
    if (na == 0)
        return len;
    if (na == 1)
        args[1] = args[0];
    m_Path.transform().premultiply(agg::trans_affine_scaling(args[0], args[1]));
    return len;
}

size_t svg_parser::parse_skew_x(std::string_view str)
{
    double arg = 0.0;
    unsigned na = 0;
    const size_t len = parse_transform_args(str, &arg, 1, na);
    m_Path.transform().premultiply(agg::trans_affine_skewing(arg * DegToRad, 0.0));
    return len;
}

size_t svg_parser::parse_skew_y(std::string_view str)
{
    double arg = 0.0;
    unsigned na = 0;
    const size_t len = parse_transform_args(str, &arg, 1, na);
    m_Path.transform().premultiply(agg::trans_affine_skewing(0.0, arg * DegToRad));
    return len;
}
