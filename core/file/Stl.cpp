#include "core/file/Stl.h"

#include "core/geometry/Tri.h"
#include "platform/AsciiText.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

// Each facet ends up in exactly one of three ways: kept with its normal as
// read, kept with the normal of its vertices (the read normal was NaN,
// infinite or zero), or skipped and counted (a vertex was not finite).

namespace {

constexpr int64_t kBinaryPrefix = StlHeaderSize + 4;

// ---------------------------------------------------------------------------
// Facets

bool AllFinite(const float (&v)[3])
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

// Adds the facet to the mesh or counts it as skipped.
void AcceptFacet(TStlFacet& facet, TStlMesh& mesh)
{
    if (!AllFinite(facet.A) || !AllFinite(facet.B) || !AllFinite(facet.C)) {
        ++mesh.SkippedFacets;
        return;
    }
    const float* n = facet.Normal;
    if (!AllFinite(facet.Normal) || (n[0] == 0.0f && n[1] == 0.0f && n[2] == 0.0f))
        TriangleNormal(facet.A, facet.B, facet.C, facet.Normal);
    mesh.Facets.push_back(facet);
}

// ---------------------------------------------------------------------------
// Binary

uint32_t DecodeUInt32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

void DecodeVector(const uint8_t* p, float (&v)[3])
{
    for (int i = 0; i < 3; ++i)
        v[i] = std::bit_cast<float>(DecodeUInt32(p + 4 * i));
}

void EncodeUInt32(uint8_t* p, uint32_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

void EncodeVector(uint8_t* p, const float (&v)[3])
{
    for (int i = 0; i < 3; ++i)
        EncodeUInt32(p + 4 * i, std::bit_cast<uint32_t>(v[i]));
}

// Decodes count facets of 50 bytes each from p (the caller has checked that
// they are all there).
void DecodeFacets(const uint8_t* p, size_t count, TStlMesh& mesh)
{
    for (size_t i = 0; i < count; ++i, p += StlFacetSize) {
        TStlFacet facet;
        DecodeVector(p, facet.Normal);
        DecodeVector(p + 12, facet.A);
        DecodeVector(p + 24, facet.B);
        DecodeVector(p + 36, facet.C);
        AcceptFacet(facet, mesh);
    }
}

[[noreturn]] void RaiseShortHeader(int64_t available)
{
    throw EStlError("Binary STL: the header and facet count need " + std::to_string(kBinaryPrefix) +
                    " bytes, only " + std::to_string(available) + " are there");
}

[[noreturn]] void RaiseCountTooLarge(uint32_t count, int64_t available)
{
    throw EStlError("Binary STL: " + std::to_string(count) + " facets need " +
                    std::to_string(static_cast<int64_t>(count) * StlFacetSize) + " bytes, only " +
                    std::to_string(available) + " follow the header");
}

// A whole binary STL in memory; bytes after the last facet are ignored.
TStlMesh DecodeBinary(std::span<const uint8_t> bytes)
{
    if (static_cast<int64_t>(bytes.size()) < kBinaryPrefix)
        RaiseShortHeader(static_cast<int64_t>(bytes.size()));
    const uint32_t count = DecodeUInt32(bytes.data() + StlHeaderSize);
    const uint64_t available = bytes.size() - kBinaryPrefix;
    if (count > available / StlFacetSize)
        RaiseCountTooLarge(count, static_cast<int64_t>(available));
    TStlMesh mesh;
    mesh.Facets.reserve(count);
    DecodeFacets(bytes.data() + kBinaryPrefix, count, mesh);
    return mesh;
}

// ---------------------------------------------------------------------------
// ASCII

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool SameKeyword(std::string_view token, std::string_view keyword)
{
    return token.size() == keyword.size() &&
           std::equal(token.begin(), token.end(), keyword.begin(), [](char a, char b) { return AsciiLower(a) == b; });
}

// A token as it may be shown in a message: at most 24 characters, anything
// that is not printable ASCII shown as '?'.
std::string Shown(std::string_view token)
{
    std::string s;
    for (char c : token.substr(0, 24))
        s += (c >= 0x20 && c < 0x7f) ? c : '?';
    if (token.size() > 24)
        s += "...";
    return s;
}

// Splits the text at ASCII white space and counts lines for the messages.
class TStlTokens {
public:
    explicit TStlTokens(std::string_view text) : m_Text(text) {}

    // The next token; empty at the end of the text.
    std::string_view Next()
    {
        SkipBlanks();
        const size_t start = m_Pos;
        while (m_Pos < m_Text.size() && !IsBlank(m_Text[m_Pos]))
            ++m_Pos;
        return m_Text.substr(start, m_Pos - start);
    }
    // Moves past the end of the current line (the name after "solid").
    void SkipLine()
    {
        const size_t eol = m_Text.find('\n', m_Pos);
        m_Pos = eol == std::string_view::npos ? m_Text.size() : eol;
    }
    bool AtEnd()
    {
        SkipBlanks();
        return m_Pos >= m_Text.size();
    }
    [[noreturn]] void Raise(const std::string& what) const
    {
        throw EStlError("ASCII STL, line " + std::to_string(m_Line) + ": " + what);
    }

    void Expect(std::string_view keyword)
    {
        const std::string_view token = Next();
        if (token.empty())
            Raise("the text ends where \"" + std::string(keyword) + "\" was expected");
        if (!SameKeyword(token, keyword))
            Raise("expected \"" + std::string(keyword) + "\", found \"" + Shown(token) + "\"");
    }

    // A number in the C locale; a leading '+' is allowed. Values beyond the
    // single range become infinite (and are dealt with per facet).
    float Number()
    {
        std::string_view token = Next();
        if (token.empty())
            Raise("the text ends where a number was expected");
        std::string_view digits = token;
        if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-')
            digits.remove_prefix(1);
        double value = 0.0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec != std::errc() || end != digits.data() + digits.size())
            Raise("\"" + Shown(token) + "\" is not a number in range");
        if (std::fabs(value) > FLT_MAX)
            return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
        return static_cast<float>(value);
    }

    void Vector(float (&v)[3])
    {
        for (float& c : v)
            c = Number();
    }

private:
    void SkipBlanks()
    {
        while (m_Pos < m_Text.size() && IsBlank(m_Text[m_Pos])) {
            if (m_Text[m_Pos] == '\n')
                ++m_Line;
            ++m_Pos;
        }
    }

    std::string_view m_Text;
    size_t m_Pos = 0;
    int64_t m_Line = 1;
};

std::string_view WithoutBom(std::string_view text)
{
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    return text;
}

bool StartsWithSolid(std::string_view text)
{
    text = WithoutBom(text);
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    text.remove_prefix(i);
    return text.size() >= 5 && SameKeyword(text.substr(0, 5), "solid") && (text.size() == 5 || IsBlank(text[5]));
}

} // namespace

// ---------------------------------------------------------------------------

TStlMesh ReadStlBinary(TStream& stream)
{
    if (!stream.CanHold(1, kBinaryPrefix))
        RaiseShortHeader(stream.Remaining());
    uint8_t prefix[kBinaryPrefix];
    stream.ReadBuffer(prefix, sizeof prefix);
    const uint32_t count = DecodeUInt32(prefix + StlHeaderSize);
    if (!stream.CanHold(count, StlFacetSize))
        RaiseCountTooLarge(count, stream.Remaining());

    TStlMesh mesh;
    mesh.Facets.reserve(count);
    constexpr size_t kChunk = 1024;
    std::vector<uint8_t> buffer(kChunk * StlFacetSize);
    for (size_t done = 0; done < count;) {
        const size_t n = std::min<size_t>(kChunk, count - done);
        stream.ReadBuffer(buffer.data(), n * StlFacetSize);
        DecodeFacets(buffer.data(), n, mesh);
        done += n;
    }
    return mesh;
}

TStlMesh ReadStlAscii(std::string_view text)
{
    TStlTokens tokens(WithoutBom(text));
    TStlMesh mesh;
    tokens.Expect("solid");
    tokens.SkipLine();
    for (;;) {
        const std::string_view token = tokens.Next();
        if (token.empty())
            tokens.Raise("the text ends before \"endsolid\"");
        if (SameKeyword(token, "endsolid")) {
            tokens.SkipLine();
            if (tokens.AtEnd())
                return mesh;
            // Several solids may follow one another.
            tokens.Expect("solid");
            tokens.SkipLine();
            continue;
        }
        if (!SameKeyword(token, "facet"))
            tokens.Raise("expected \"facet\" or \"endsolid\", found \"" + Shown(token) + "\"");
        TStlFacet facet;
        tokens.Expect("normal");
        tokens.Vector(facet.Normal);
        tokens.Expect("outer");
        tokens.Expect("loop");
        for (float(*vertex)[3] : {&facet.A, &facet.B, &facet.C}) {
            tokens.Expect("vertex");
            tokens.Vector(*vertex);
        }
        tokens.Expect("endloop");
        tokens.Expect("endfacet");
        AcceptFacet(facet, mesh);
    }
}

TStlMesh LoadStl(std::span<const uint8_t> bytes)
{
    if (bytes.empty())
        throw EStlError("The STL data is empty");
    const int64_t size = static_cast<int64_t>(bytes.size());
    const bool hasPrefix = size >= kBinaryPrefix;
    const uint32_t count = hasPrefix ? DecodeUInt32(bytes.data() + StlHeaderSize) : 0;
    const int64_t facetBytes = size - kBinaryPrefix;
    if (hasPrefix && facetBytes % StlFacetSize == 0 && facetBytes / StlFacetSize == count)
        return DecodeBinary(bytes);

    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (StartsWithSolid(text)) {
        try {
            return ReadStlAscii(text);
        } catch (const EStlError&) {
            // A binary file whose header starts with "solid" and that carries
            // bytes after its last facet.
            if (hasPrefix && count <= facetBytes / StlFacetSize)
                return DecodeBinary(bytes);
            throw;
        }
    }
    if (!hasPrefix)
        throw EStlError("Not an STL file: " + std::to_string(size) +
                        " bytes are too few for binary STL and the text does not start with \"solid\"");
    return DecodeBinary(bytes);
}

TStlMesh LoadStlFromStream(TStream& stream)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(stream.Remaining()));
    stream.ReadBuffer(bytes.data(), bytes.size());
    return LoadStl(bytes);
}

TStlMesh LoadStlFromFile(const std::string& fileName)
{
    try {
        TFileStream file(fileName, TFileStream::TMode::OpenRead);
        return LoadStlFromStream(file);
    } catch (const EStlError& e) {
        throw EStlError("\"" + fileName + "\": " + e.what());
    } catch (const std::runtime_error& e) {
        // Open and read failures of the file itself.
        throw EStlError(e.what());
    }
}

void WriteStlBinary(TStream& stream, const TStlMesh& mesh)
{
    if (mesh.Facets.size() > std::numeric_limits<uint32_t>::max())
        throw EStlError("Binary STL: more than 4294967295 facets cannot be written");
    WriteFixedString(stream, StlExportHeader, StlHeaderSize);
    WriteUInt32(stream, static_cast<uint32_t>(mesh.Facets.size()));
    uint8_t record[StlFacetSize] = {};
    for (const TStlFacet& facet : mesh.Facets) {
        float normal[3];
        TriangleNormal(facet.A, facet.B, facet.C, normal);
        EncodeVector(record, normal);
        EncodeVector(record + 12, facet.A);
        EncodeVector(record + 24, facet.B);
        EncodeVector(record + 36, facet.C);
        stream.Write(record, sizeof record);
    }
}
