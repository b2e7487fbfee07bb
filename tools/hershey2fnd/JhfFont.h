#pragma once
// Hershey fonts in the .jhf text format, and their conversion to the
// program's single-line font files (*.fnd).
//
// A .jhf glyph is: a 5-character glyph number, a 3-character vertex count,
// then that many pairs of letters. The first pair holds the left and right
// bounds; each further pair is a vertex (X, Y) as letters offset from 'R',
// Y growing downwards; the pair " R" lifts the pen. A glyph may continue on
// the following lines until its count of pairs is read. In the ASCII sets the
// glyphs stand in character order, starting at the space (32).

#include <istream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

struct TJhfPoint {
    int X = 0;
    int Y = 0;
};

struct TJhfGlyph {
    int Left = 0;
    int Right = 0;
    std::vector<std::vector<TJhfPoint>> Strokes; // pen-down runs, in order
};

// Raised for a .jhf file that does not follow the format; the message names
// the line.
class EJhfFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads every glyph of the stream in file order. Raises EJhfFormatError.
std::vector<TJhfGlyph> ReadJhf(std::istream& in);

// One character of a .fnd file: strokes of points in font units.
struct TFndPoint {
    double X = 0.0;
    double Y = 0.0;
};

struct TFndGlyph {
    int Code = 0;
    std::vector<std::vector<TFndPoint>> Strokes;
};

// The font of an ASCII set in font units: the baseline at Y = 0, Y upwards,
// the capitals 1 high, each glyph's ink starting at X = 0 (the text's own
// character spacing makes the gap between characters). Glyph i becomes
// character firstCode + i for i < count. Baseline and cap height are the
// ones most capitals A..Z share. Strokes of fewer than two points are
// dropped; a glyph left without strokes (the space) is left out, so the
// reader's rule for absent characters applies. Raises EJhfFormatError when
// the set is too short or has no capitals to measure.
std::vector<TFndGlyph> ToFontUnits(const std::vector<TJhfGlyph>& glyphs, int firstCode, int count);

// Writes the .fnd layout, little-endian: per character int32 code, int32
// stroke count, per stroke uint16 point count and the points as three
// doubles X, Y, W (W = 1); then int32 -1.
void WriteFnd(std::ostream& out, const std::vector<TFndGlyph>& glyphs);
