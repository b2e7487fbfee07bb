#pragma once
// Single-line (stroke) fonts: characters made of open polylines in font
// units, read from "*.fnd" files into the program-wide font registry.
//
// Font units: the baseline is Y = 0 and the cap height is 1. A character's
// extents are the union of its strokes' boxes and of the origin; their right
// edge is the character's advance, their bottom edge (0 or below) its
// descent.
//
// The .fnd layout (little-endian, no header): repeated entries of an int32
// character code followed by a character record, until the code -1. A
// record is an int32 stroke count, then per stroke a uint16 point count and
// that many points of three doubles (X, Y, W).

#include "core/geometry/Points.h"
#include "core/geometry/PointsSet.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TStream;

// Advance of a space that the font has no glyph for, in font units. Measuring
// and drawing both use it, so a justified text sits in its box.
inline constexpr double VectSpaceAdvance = 0.4;

// One character: its strokes (owned) and its extents.
class TVectChar {
public:
    // n empty strokes (capacity 0, growable); extents (0, 0)-(0, 0).
    explicit TVectChar(int strokes);
    TVectChar(const TVectChar&) = delete;
    TVectChar& operator=(const TVectChar&) = delete;

    // Reads one character record and computes its extents. The record is
    // read only when signature is not lower than "CAD4  "; otherwise the
    // character has no strokes. Damage raises ECADFileNotValid: a negative
    // stroke count, a count more than the rest of the stream can hold, the
    // stream ending inside the record, a coordinate that is not finite.
    static std::unique_ptr<TVectChar> CreateFromStream(TStream& stream, std::string_view signature);

    int StrokesCount() const { return static_cast<int>(m_Strokes.size()); }
    // Stroke i; an index outside 0..StrokesCount()-1 raises ECADOutOfBound
    // "TVectChar.GetStroke: Index out of bounds.".
    TPointsSet2D& GetStroke(int index);
    const TPointsSet2D& GetStroke(int index) const;

    // Recomputes the extents from the strokes; call after changing them.
    void UpdateExtents();
    const TRect2D& Extents() const { return m_Extents; }
    // Right edge of the extents.
    double Advance() const { return m_Extents.SecondEdge.X; }
    // Bottom edge of the extents (0 or below).
    double Descent() const { return m_Extents.FirstEdge.Y; }

private:
    std::vector<std::unique_ptr<TPointsSet2D>> m_Strokes;
    TRect2D m_Extents;
};

// The glyph of every character a font lacks (other than space and carriage
// return): one stroke from (0, 0) to (0.8, 0), advance 0.8. Created on first
// use, lives for the whole run.
const TVectChar& MissingVectChar();

// A font: 256 character slots by code; an empty slot is a character the
// font lacks.
class TVectFont {
public:
    static constexpr int kCharCount = 256;

    TVectFont() = default;
    TVectFont(const TVectFont&) = delete;
    TVectFont& operator=(const TVectFont&) = delete;

    // Reads a whole .fnd stream up to the code -1 (bytes after it are not
    // read). A later entry for a code replaces an earlier one. Raises
    // ECADOutOfBound "TVectFont.CreateFromStream: Character code out of
    // range." for a code outside 0..255 other than -1, ECADFileNotValid for a
    // stream that ends before the code -1 or a damaged record; nothing of the
    // font is kept then.
    static std::unique_ptr<TVectFont> CreateFromStream(TStream& stream);

    // The character of that code, or nullptr when the font lacks it.
    const TVectChar* GetChar(uint8_t code) const { return m_Chars[code].get(); }
    TVectChar* GetChar(uint8_t code) { return m_Chars[code].get(); }
    // Puts the character into the slot of its code, freeing any previous one;
    // nullptr empties the slot.
    void SetChar(uint8_t code, std::unique_ptr<TVectChar> ch) { m_Chars[code] = std::move(ch); }

    // What a text draws for the byte: the font's own glyph when it has one;
    // nothing (nullptr) for a space or a carriage return it lacks; the
    // missing-character glyph for any other byte it lacks.
    const TVectChar* GlyphToDraw(uint8_t code) const;
    // The pen advance of the byte in font units, character spacing not
    // included: the glyph's advance (the missing glyph's 0.8 for a lacking
    // byte), VectSpaceAdvance for a space without glyph, 0 for a carriage
    // return. The one rule for measuring and drawing.
    double CharAdvance(uint8_t code) const;

    // The box of a text in text units relative to its upper-left corner:
    // (0, bottom) - (width, 0). height scales font units; charSpacing is
    // added after every character and lineSpacing between lines, both in
    // font units (text heights). A carriage return (13) starts a new line and
    // a line feed directly after it is skipped. A line's depth is 1 minus the
    // lowest descent of its glyphs (0 for a line of spaces only).
    TRect2D MeasureText(std::string_view text, double height, double charSpacing, double lineSpacing) const;

private:
    std::array<std::unique_ptr<TVectChar>, kCharCount> m_Chars;
};

// The font registry: 513 slots (0 to 512), each empty or owning a font.
// Font 0 is "RomanC.fnd" of the program folder; fonts 1 and up are the files
// of its "SFonts" folder. Indexes are taken as unsigned 16-bit, so -1 is out
// of bound like 513. Main thread only.
inline constexpr int CADSysFontRegistrySize = 513;

// Reads the .fnd file and stores its font in slot index. An index above 512
// raises ECADOutOfBound "CADSysRegisterFontFromFile: Out of bound
// registration index"; an occupied slot raises ECADObjClassNotFound
// "CADSysRegisterFontFromFile: Font index already allocated". A file that
// does not exist is reported with an error message box (UserNotifier) "File
// not found!", CR LF and the file name, and the slot stays empty. A file that
// cannot be read or is damaged raises what TVectFont::CreateFromStream
// raises (ECADFileNotValid also for a file that cannot be opened); the slot
// stays empty and the registry stays usable, so a caller reports the error
// with the file name and goes on.
void CADSysRegisterFontFromFile(uint16_t index, const std::string& fileName);

// Stores a font built in memory in slot index; same refusals as
// CADSysRegisterFontFromFile. A null font is refused with ECADFileNotValid.
void CADSysRegisterFont(uint16_t index, std::unique_ptr<TVectFont> font);

// The font of slot index; an empty slot or an index above 512 raises
// ECADObjClassNotFound "CADSysFindFontByIndex: Font not registered".
TVectFont* CADSysFindFontByIndex(uint16_t index);

// The first slot that holds font; a font no slot holds (nullptr included)
// raises ECADObjClassNotFound "CADSysFindFontIndex: Font not found".
int16_t CADSysFindFontIndex(const TVectFont* font);

// Frees every registered font and empties every slot.
void CADSysClearFontRegistry();
