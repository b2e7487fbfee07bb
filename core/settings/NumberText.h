#pragma once
// Number text: how coordinates, lengths, tool sizes and times are shown, how
// typed numbers are read, and which keys a numeric edit field accepts.
//
// Every text here uses "." as decimal separator whatever the process locale.
// The coordinate and tool-size formats are those of the measuring unit of the
// program's settings (AppConfig()): 4 and 5 decimals in inch, 3 and 3 in mm.
// A value that rounds to zero is shown without a sign ("0", never "-0").

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// v with the given number of decimals ("%0.<decimals>f"); an exact tie rounds
// away from zero. Not-a-number and infinities give "NAN", "INF", "-INF".
std::string FormatFixed(double v, int decimals);
// FormatFixed, then trailing "0" characters of the decimals removed, then a
// trailing "." removed: 12.500 -> "12.5", 12.000 -> "12".
std::string FormatFixedTrim(double v, int decimals);

std::string FormatCoord(double v);           // coordinate format, trimmed
std::string FormatToolSize(double v);        // tool-size format, trimmed
std::string FormatCoordX(double v);          // "X" + FormatCoord
std::string FormatCoordY(double v);          // "Y" + FormatCoord
std::string FormatCoordSpaced(double v);     // " " + coordinate format, zeros trimmed, a last "." kept: " 3."
std::string FormatCoordSpacedTrim(double v); // FormatCoordSpaced without a last ".": " 3"
// v rounded to single precision first, then three decimals, trimmed.
std::string Format3DecimalsTrim(double v);
// " <h>h, <mm>m, <ss>s": whole hours, then minutes and seconds with at least
// two digits (3725 -> " 1h, 02m, 05s").
std::string SecondsToHMS(int32_t seconds);

// Typed numbers: optional sign, digits with "." as decimal separator,
// optional exponent, blanks around allowed. Anything else, a comma included,
// and values out of range give no result.
std::optional<double> ParseDecimal(std::string_view text);
std::optional<int32_t> ParseInteger(std::string_view text);

// Whether the text typed so far can be converted: false for "", "-", "." and
// "-.", true otherwise (callers ignore an edit's change until then).
bool IsCompleteNumber(std::string_view text);

// Key filters of numeric edit fields. Each takes the typed character and
// returns the character to insert in its place, or '\0' to drop the key.
// The rules look at the key only: where it would land in the text does not
// matter, so a misplaced "-" or a second "." passes and the conversion of the
// finished text rejects it.
inline constexpr char kBackspaceKey = 8;
inline constexpr char kEnterKey = 13;
// Backspace, Enter, "-", "." and digits; "," becomes ".".
char SignedDecimalKeyFilterEnter(char key);
// Backspace, "-", "." and digits; "," becomes ".".
char SignedDecimalKeyFilter(char key);
// Backspace, "." and digits; "," becomes ".".
char DecimalKeyFilter(char key);
// Backspace and digits; a comma is dropped like any other key.
char DigitKeyFilter(char key);
