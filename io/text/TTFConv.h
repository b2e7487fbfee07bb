#pragma once
// One glyph of an outline font as straight integer strokes: TTTFConv takes
// the glyph's outline (io/GlyphOutlines.h) and flattens it into a
// TStrokeCollection, which the text converter (io/Testo2Container.h) turns
// into closed polylines.
//
// Promises:
// - Strokes are in outline units (em = 1024), Y upwards, relative to the
//   glyph origin on the baseline, in the order the outline runs; every
//   contour ends with the stroke back to its start point. The contour index
//   counts the glyph's contours from 0.
// - A segment from P to Q becomes a stroke unless P and Q are exactly equal;
//   its ends are rounded to the nearest integer, halves to even, so two
//   different points may still give a zero-length stroke.
// - Each quadratic and each cubic segment becomes N = "curve steps" strokes
//   through the points of the curve at t = 1/N, 2/N, ... 1 (the last one
//   the segment's end itself), fewer only where such points coincide.
// - An outline with a coordinate that is not finite or lies beyond
//   kMaxOutlineCoordinate gives no collection.

#include "core/geometry/Points.h"
#include "io/text/GlyphOutlines.h"

#include <cstdint>
#include <memory>
#include <vector>

// One straight stroke of a glyph outline.
struct TGlyphStroke {
    int32_t Contour = 0;
    int32_t X1 = 0;
    int32_t Y1 = 0;
    int32_t X2 = 0;
    int32_t Y2 = 0;
};

// The strokes of one glyph, in the order they were produced.
class TStrokeCollection {
public:
    void Clear() { m_Strokes.clear(); }
    void Add(const TGlyphStroke& stroke) { m_Strokes.push_back(stroke); }
    int32_t Count() const { return static_cast<int32_t>(m_Strokes.size()); }
    const std::vector<TGlyphStroke>& Strokes() const { return m_Strokes; }
    // The stroke at index; an index outside 0..Count()-1 leaves stroke
    // unchanged and returns false.
    bool GetStroke(int32_t index, TGlyphStroke& stroke) const;
    // Left = least X, Right = greatest X, Top = least Y, Bottom = greatest Y
    // over both ends of every stroke (so Top is the lower edge in the
    // outline's Y-up units); all 0 for an empty collection.
    TIntRect GetBounds() const;

private:
    std::vector<TGlyphStroke> m_Strokes;
};

// The strokes of an outline, curves flattened into curveSteps strokes each
// (see the header comment); nothing for an unusable outline or for
// curveSteps outside 1..100.
std::unique_ptr<TStrokeCollection> OutlineToStrokes(const TGlyphOutline& outline, int32_t curveSteps);

class TTTFConv {
public:
    static constexpr int32_t kDefaultCurveSteps = 8;
    static constexpr int32_t kMinCurveSteps = 1;
    static constexpr int32_t kMaxCurveSteps = 100;

    // Font "Arial" (whatever fontconfig substitutes), curve steps 8, 8-bit
    // codes. The font is opened on first use.
    TTTFConv();
    ~TTTFConv();
    TTTFConv(const TTTFConv&) = delete;
    TTTFConv& operator=(const TTTFConv&) = delete;

    // Takes a copy of the request; the font is opened anew on next use.
    void AssignFont(const TFontRequest& font);
    // Stores steps when it is 1..100; ignores any other value.
    void SetCurveSteps(int32_t steps);
    int32_t CurveSteps() const { return m_CurveSteps; }
    // Wide: codes are Unicode code points; otherwise only the low 8 bits of
    // a code count, read as a Windows-1252 byte.
    void SetWide(bool wide) { m_Wide = wide; }
    bool Wide() const { return m_Wide; }

    // The strokes of the character's glyph; nothing when the font cannot be
    // opened or gives no usable outline for it (see io/GlyphOutlines.h).
    std::unique_ptr<TStrokeCollection> GetGlyphStrokes(uint32_t code);

private:
    TGlyphOutlineSource& Source();

    TFontRequest m_Font;
    std::unique_ptr<TGlyphOutlineSource> m_Source;
    int32_t m_CurveSteps = kDefaultCurveSteps;
    bool m_Wide = false;
};
