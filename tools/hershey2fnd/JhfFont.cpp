#include "JhfFont.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <map>
#include <string_view>

namespace {

std::string LineError(size_t lineNo, const std::string& what)
{
    return "line " + std::to_string(lineNo) + ": " + what;
}

// A fixed-width number field: blanks around the digits are allowed.
bool ParseField(std::string_view field, int& value)
{
    while (!field.empty() && field.front() == ' ')
        field.remove_prefix(1);
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    if (field.empty())
        return false;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && end == field.data() + field.size();
}

bool GetLine(std::istream& in, std::string& line, size_t& lineNo)
{
    if (!std::getline(in, line))
        return false;
    ++lineNo;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

int Coord(char c) { return static_cast<int>(c) - 'R'; }

// The value most capitals share; ties go to the smaller value.
int Mode(const std::vector<int>& values)
{
    std::map<int, int> counts;
    for (int v : values)
        ++counts[v];
    int best = 0;
    int bestCount = 0;
    for (const auto& [value, count] : counts)
        if (count > bestCount) {
            best = value;
            bestCount = count;
        }
    return best;
}

void PutBytes(std::ostream& out, uint64_t bits, int count)
{
    char bytes[8];
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    out.write(bytes, count);
}

void PutInt32(std::ostream& out, int32_t v) { PutBytes(out, static_cast<uint32_t>(v), 4); }
void PutUInt16(std::ostream& out, uint16_t v) { PutBytes(out, v, 2); }
void PutDouble(std::ostream& out, double v) { PutBytes(out, std::bit_cast<uint64_t>(v), 8); }

} // namespace

std::vector<TJhfGlyph> ReadJhf(std::istream& in)
{
    std::vector<TJhfGlyph> glyphs;
    std::string line;
    size_t lineNo = 0;
    while (GetLine(in, line, lineNo)) {
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        const size_t startLine = lineNo;
        int number = 0;
        int pairs = 0;
        if (line.size() < 8 || !ParseField(std::string_view(line).substr(0, 5), number)
            || !ParseField(std::string_view(line).substr(5, 3), pairs) || pairs < 1)
            throw EJhfFormatError(LineError(startLine, "bad glyph header"));

        std::string body = line.substr(8);
        const size_t wanted = 2 * static_cast<size_t>(pairs);
        while (body.size() < wanted) {
            if (!GetLine(in, line, lineNo))
                throw EJhfFormatError(LineError(startLine, "glyph ends early"));
            body += line;
        }
        if (body.find_first_not_of(' ', wanted) != std::string::npos)
            throw EJhfFormatError(LineError(startLine, "more vertices than the count says"));
        for (size_t i = 0; i < wanted; ++i)
            if (body[i] < ' ' || body[i] > '~')
                throw EJhfFormatError(LineError(startLine, "character outside the vertex letters"));

        TJhfGlyph glyph;
        glyph.Left = Coord(body[0]);
        glyph.Right = Coord(body[1]);
        glyph.Strokes.emplace_back();
        for (size_t i = 2; i < wanted; i += 2) {
            if (body[i] == ' ') {
                if (body[i + 1] != 'R')
                    throw EJhfFormatError(LineError(startLine, "bad pen-up pair"));
                glyph.Strokes.emplace_back();
                continue;
            }
            glyph.Strokes.back().push_back({Coord(body[i]), Coord(body[i + 1])});
        }
        std::erase_if(glyph.Strokes, [](const auto& s) { return s.empty(); });
        glyphs.push_back(std::move(glyph));
    }
    return glyphs;
}

std::vector<TFndGlyph> ToFontUnits(const std::vector<TJhfGlyph>& glyphs, int firstCode, int count)
{
    if (count < 0 || glyphs.size() < static_cast<size_t>(count))
        throw EJhfFormatError("the set has " + std::to_string(glyphs.size()) + " glyphs, "
                              + std::to_string(count) + " needed");

    std::vector<int> tops;
    std::vector<int> bottoms;
    for (int code = 'A'; code <= 'Z'; ++code) {
        const int index = code - firstCode;
        if (index < 0 || index >= count)
            continue;
        int top = 0;
        int bottom = 0;
        bool any = false;
        for (const auto& stroke : glyphs[static_cast<size_t>(index)].Strokes)
            for (const auto& p : stroke) {
                top = any ? std::min(top, p.Y) : p.Y;
                bottom = any ? std::max(bottom, p.Y) : p.Y;
                any = true;
            }
        if (any) {
            tops.push_back(top);
            bottoms.push_back(bottom);
        }
    }
    if (tops.empty())
        throw EJhfFormatError("the set has no capitals to measure");
    const int top = Mode(tops);
    const int baseline = Mode(bottoms);
    if (baseline <= top)
        throw EJhfFormatError("the capitals have no height");
    const double scale = 1.0 / (baseline - top);

    std::vector<TFndGlyph> result;
    for (int i = 0; i < count; ++i) {
        const TJhfGlyph& glyph = glyphs[static_cast<size_t>(i)];
        int inkLeft = 0;
        bool any = false;
        for (const auto& stroke : glyph.Strokes)
            if (stroke.size() >= 2)
                for (const auto& p : stroke) {
                    inkLeft = any ? std::min(inkLeft, p.X) : p.X;
                    any = true;
                }
        if (!any)
            continue;
        TFndGlyph out;
        out.Code = firstCode + i;
        for (const auto& stroke : glyph.Strokes) {
            if (stroke.size() < 2)
                continue;
            auto& points = out.Strokes.emplace_back();
            for (const auto& p : stroke)
                points.push_back({(p.X - inkLeft) * scale, (baseline - p.Y) * scale});
        }
        result.push_back(std::move(out));
    }
    return result;
}

void WriteFnd(std::ostream& out, const std::vector<TFndGlyph>& glyphs)
{
    for (const auto& glyph : glyphs) {
        PutInt32(out, glyph.Code);
        PutInt32(out, static_cast<int32_t>(glyph.Strokes.size()));
        for (const auto& stroke : glyph.Strokes) {
            if (stroke.size() > UINT16_MAX)
                throw EJhfFormatError("a stroke has more than 65535 points");
            PutUInt16(out, static_cast<uint16_t>(stroke.size()));
            for (const auto& p : stroke) {
                PutDouble(out, p.X);
                PutDouble(out, p.Y);
                PutDouble(out, 1.0);
            }
        }
    }
    PutInt32(out, -1);
}
