#pragma once
// TTesto2Container: the text converter. It turns typed text into drawing
// geometry, either in an installed outline font (each glyph contour a closed
// polyline) or in one of the program's stroke fonts (core/VectFont.h; each
// stroke an open polyline), and holds the settings of the text commands.
// The result is a TContainer2D (ID -1) that is not in any document; the
// caller places it. The label command and the letters operation use the
// single-string stroke variant; the tool window also asks for two previews
// and the stroke-font list.
//
// Layout promises (all lengths in drawing units):
// - Outline fonts: the scale makes the capital "A" of the font exactly one
//   text height tall (a font without a usable "A" is scaled so that its em
//   is one text height). The first baseline is Y = 0, each further line lies
//   text height + line spacing lower, and every line starts at X = 0. After
//   a glyph the pen moves by the glyph's ink width plus the character
//   spacing (not by the font's advance width); a code of 32 or less draws
//   nothing and moves by the ink width of "0" plus the spacing; a character
//   without an outline draws nothing and does not move the pen. UTF-16
//   surrogate pairs are one character.
// - Stroke fonts: the font's unit height is one text height and the first
//   baseline lies one text height below the origin; lines step as above.
//   After a character the pen moves by its advance times the height plus the
//   spacing; a byte the font lacks (a space included) draws nothing and moves
//   by 0.4 text heights plus the spacing.
// - Each glyph contour becomes one polyline whose last point equals its
//   first; a contour longer than a polyline can hold (65,535 points)
//   continues in a further polyline from the last point.
// - A rotation other than 0 turns the finished container about the drawing
//   origin (counter-clockwise, degrees) through its pending transform.
// - Main thread only.

#include "io/text/GlyphOutlines.h"
#include "io/text/TTFConv.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TCanvas2D;
class TContainer2D;
class TPolyline2D;
class TVectFont;

// The strokes of one character's glyph for the outline-text layout; nothing
// when the font has no usable outline for it.
using TGlyphStrokesFn = std::function<std::unique_ptr<TStrokeCollection>(char32_t code)>;

// What FillStrokeFontList found.
struct TStrokeFontList {
    // Item k is stroke font k + 1 of the registry; the names are the file
    // names without extension.
    std::vector<std::string> Names;
    // The picker's text: the first name, empty when there is none.
    std::string Text;
    // One line per font file that could not be registered (file name, a
    // colon and the reason). Such files take no item and no registry slot.
    std::vector<std::string> Errors;
};

class TTesto2Container {
public:
    static constexpr double kDefaultTextHeight = 10;
    static constexpr double kDefaultCharSpacing = 2;
    static constexpr double kDefaultLineSpacing = 2;
    static constexpr int32_t kDefaultCurveSteps = 6;
    // The folder below the program folder that holds fonts 1 and up.
    static constexpr std::string_view kStrokeFontFolder = "SFonts";

    // Height 10, character spacing 2, line spacing 2, rotation 0, curve
    // steps 6, stroke font 0.
    TTesto2Container() = default;

    // Height of the capital "A" (outline fonts) or the stroke font's unit
    // height.
    void SetTextHeight(double value) { m_TextHeight = value; }
    double TextHeight() const { return m_TextHeight; }
    // Added to the pen after every character.
    void SetCharSpacing(double value) { m_CharSpacing = value; }
    double CharSpacing() const { return m_CharSpacing; }
    // Added to the text height between lines.
    void SetLineSpacing(double value) { m_LineSpacing = value; }
    double LineSpacing() const { return m_LineSpacing; }
    // Degrees, counter-clockwise about the drawing origin.
    void SetRotation(double value) { m_Rotation = value; }
    double Rotation() const { return m_Rotation; }
    // Strokes per curve segment of outline fonts; stored as given, a value
    // outside 1..100 leaves the outline converter at its own default (8).
    void SetCurveSteps(int32_t value) { m_CurveSteps = value; }
    int32_t CurveSteps() const { return m_CurveSteps; }
    // Registry slot of the stroke font (0 = "RomanC.fnd").
    void SetStrokeFontIndex(int32_t value) { m_StrokeFontIndex = value; }
    int32_t StrokeFontIndex() const { return m_StrokeFontIndex; }

    // Outline-font text, one UTF-16 string per line. No lines give an empty
    // container; a font that cannot be opened draws nothing.
    std::unique_ptr<TContainer2D> TrueTypeToContainer(const std::vector<std::u16string>& lines,
                                                      const TFontRequest& font) const;
    // The same layout over glyph strokes from any source.
    std::unique_ptr<TContainer2D> GlyphStrokesToContainer(const std::vector<std::u16string>& lines,
                                                          const TGlyphStrokesFn& glyphStrokes) const;

    // Stroke-font text, one 8-bit string per line, in the stroke font of
    // StrokeFontIndex. A line that is not empty needs that font: an index
    // outside 0..512 or an empty slot raises ECADObjClassNotFound
    // "CADSysFindFontByIndex: Font not registered".
    std::unique_ptr<TContainer2D> StrokeTextToContainer(const std::vector<std::string>& lines) const;
    // One string of stroke-font text on the baseline y from x, no rotation:
    // each stroke polyline (ID -1) is appended to polylines. Nothing for an
    // empty string; otherwise the font lookup raises as above.
    void StrokeTextToPolylines(std::string_view text, std::vector<std::unique_ptr<TPolyline2D>>& polylines, float y,
                               float x) const;

    // Preview of one glyph of an outline font (by Windows-1252 byte) fitted
    // into a box of width x height pixels with a margin of 10: red strokes,
    // a green 4-pixel square on each stroke's start. Nothing when the font
    // has no outline for it.
    void PaintTrueTypeGlyph(TCanvas2D& canvas, int32_t width, int32_t height, const TFontRequest& font,
                            uint8_t character) const;
    // Preview of one character of the current stroke font at 100 pixels per
    // font unit (x' = 100 x, y' = 110 - 100 y): red strokes, a green 4-pixel
    // square on every point after a stroke's first. Nothing when the font is
    // not registered or lacks the character.
    void PaintStrokeGlyph(TCanvas2D& canvas, uint8_t character) const;

    // Registers the "*.fnd" files of programFolder/SFonts as stroke fonts 1,
    // 2, ... in the order of their names (compared without regard to ASCII
    // case) and lists them. A file whose slot is already registered (an
    // earlier fill) keeps the registered font. A file that cannot be read is
    // reported in Errors and skipped, so item k stays font k + 1; files
    // beyond the registry's last slot are reported too. The stroke font
    // index becomes 1 when a font was listed, 0 (the default font)
    // otherwise.
    TStrokeFontList FillStrokeFontList(const std::string& programFolder);

private:
    const TVectFont& StrokeFont() const;

    double m_TextHeight = kDefaultTextHeight;
    double m_CharSpacing = kDefaultCharSpacing;
    double m_LineSpacing = kDefaultLineSpacing;
    double m_Rotation = 0;
    int32_t m_CurveSteps = kDefaultCurveSteps;
    int32_t m_StrokeFontIndex = 0;
};

// The one converter of the text commands, the label command and the letters
// operation; lives for the whole run.
TTesto2Container& SharedTextConverter();
