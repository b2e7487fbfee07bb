#pragma once
// Glyph outlines of installed outline fonts: the font file is found by family
// name through fontconfig and read with FreeType (TrueType, OpenType with
// CFF outlines, Type 1). This is the one place that knows either library;
// the text converter (io/TTFConv.h) works on the plain outline records
// below.
//
// Promises:
// - Outlines are taken at an em size of kOutlineEmSize units, unhinted, Y
//   upwards, relative to the glyph origin on the baseline.
// - A contour is a start point and records in drawing order: line records
//   (each point the end of one straight segment), quadratic records (a
//   control point and an end point) and cubic records (two control points
//   and an end point). The contour is closed back to its start by the
//   reader of the outline.
// - Characters are Unicode code points. A font with a Unicode character map
//   is asked through it; a symbol font through its symbol map, where a code
//   below 256 is also tried in the symbol area 0xF000 + code; a font with
//   neither through its first map, with the code as it is.
// - Hostile or damaged font files are FreeType's to parse; what comes back
//   is checked here: a glyph that is missing, has no outline (a space, a
//   bitmap-only glyph), fails to decompose, or has a coordinate beyond
//   kMaxOutlineCoordinate gives no outline.
// - Main thread only (one FreeType library per source).

#include "core/geometry/Points.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Which font to take. Family, Bold and Italic are matched by fontconfig,
// which answers with its closest installed font (as the platform's font
// mapper substitutes an unknown name). A FileName, when set, is opened
// directly instead (FaceIndex selects the face of a collection).
struct TFontRequest {
    std::string Family = "Arial";
    bool Bold = false;
    bool Italic = false;
    std::string FileName;
    int32_t FaceIndex = 0;
};

// The em size at which outlines are taken, in outline units.
inline constexpr double kOutlineEmSize = 1024.0;
// The largest coordinate (absolute, in outline units: 64 ems) that an outline
// may hold; beyond it the glyph is refused, so no later integer rounding can
// overflow.
inline constexpr double kMaxOutlineCoordinate = 65536.0;

enum class TOutlineRecordKind : uint8_t {
    Line = 1,
    QSpline = 2,
    CSpline = 3,
};

struct TOutlineRecord {
    TOutlineRecordKind Kind = TOutlineRecordKind::Line;
    std::vector<TVector2D> Points;
};

struct TOutlineContour {
    TVector2D Start{};
    std::vector<TOutlineRecord> Records;
};

struct TGlyphOutline {
    std::vector<TOutlineContour> Contours;
};

// The file and face fontconfig chooses for a request; nothing when
// fontconfig cannot start or has no font at all.
struct TFontFile {
    std::string FileName;
    int32_t FaceIndex = 0;
};
std::optional<TFontFile> MatchFontFile(const TFontRequest& request);

class TGlyphOutlineSource {
public:
    // Opens the requested font; Valid() tells whether that worked.
    explicit TGlyphOutlineSource(const TFontRequest& request);
    // Opens a font held in memory (the bytes are kept for the source's life).
    explicit TGlyphOutlineSource(std::vector<uint8_t> fontData);
    ~TGlyphOutlineSource();
    TGlyphOutlineSource(const TGlyphOutlineSource&) = delete;
    TGlyphOutlineSource& operator=(const TGlyphOutlineSource&) = delete;

    // True when a scalable face is open.
    bool Valid() const;
    // The file that was opened (empty for a font in memory or when none).
    const std::string& FileName() const { return m_FileName; }
    // The outline of the character; nothing when there is none (see the
    // header comment).
    std::optional<TGlyphOutline> GetOutline(char32_t code) const;

private:
    struct TImpl;
    void Open(const std::string& fileName, int32_t faceIndex);
    void Prepare();

    std::unique_ptr<TImpl> m_Impl;
    std::string m_FileName;
};

// The Unicode character of a Windows-1252 byte; the five bytes that code
// page leaves undefined map to themselves.
char32_t AnsiToUnicode(uint8_t code);
