#pragma once
// path_tokenizer: splits SVG path data ("M1-2.5.5L3e2,4z") into command
// letters and numbers, after the path-data grammar of SVG 1.1:
// - separators are blanks (space, tab, CR, LF, form feed) and commas;
// - a command is one of the letters "MmZzLlHhVvCcSsQqTtAaFfPp" (F and P
//   pass here and are refused by the interpreter);
// - a number is [+-]? (digits [. digits?] | . digits) ([eE] [+-]? digits)?;
//   it ends where the grammar ends, so "1-2.5.5" is 1, -2.5 and .5 and
//   "1e" is the number 1 followed by the invalid character e;
// - a number too large for a double reads as an infinity of its sign, one
//   too small as 0 (as strtod does), never as an error of its own.
// Any other character raises Esvg_exception "path_tokenizer::next :
// Invalid Character %c"; so does a number before the first command.
// Numbers are read locale-independently.

#include <optional>
#include <string>
#include <string_view>

class path_tokenizer {
public:
    // Starts over on a copy of text.
    void set_path_str(std::string_view text);

    // The next token: true with a command letter (last_is_command) or a
    // number (last_number; the command stays the one before it, so that the
    // interpreter repeats it); false at the end of the text.
    bool next();
    // The next number of command cmd: the end of the text raises
    // "parse_path: Unexpected end of path", a command letter in its place
    // "parse_path: Command %c: bad or missing parameters" with cmd.
    double next(char cmd);
    // An arc flag of command cmd: a lone "0" or "1" is read as one
    // character, so flags may touch what follows ("a1 1 0 015 5"); any
    // other number is read whole (the caller counts it as set when > 0).
    // Errors as next(cmd).
    double next_flag(char cmd);
    // The next number of a plain number list (a points attribute): false at
    // the end; a command letter or any other character that starts no number
    // raises "path_tokenizer::next : Invalid Character %c".
    bool next_number(double* value);

    char last_command() const { return m_LastCommand; }
    double last_number() const { return m_LastNumber; }
    bool last_is_command() const { return m_IsCommand; }

private:
    void SkipSeparators();
    [[noreturn]] void RaiseInvalidCharacter(char c) const;

    std::string m_Path;
    size_t m_Pos = 0;
    char m_LastCommand = 0;
    double m_LastNumber = 0.0;
    bool m_IsCommand = false;
};

// The number that starts at text[pos] by the grammar above; its length goes
// to length. No value (length untouched) when no number starts there.
std::optional<double> ScanSvgNumber(std::string_view text, size_t pos, size_t& length);

// The reading of numeric attribute values: leading blanks skipped, then the
// longest number at the start of the text (so "10mm" reads 10); 0 when none
// starts there.
double ParseSvgDouble(std::string_view text);
