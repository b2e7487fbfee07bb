#pragma once
// The number formats of post-processor descriptions. A description holds its
// formats as Delphi-style format strings ("%1.3f", "%1.2d") made from text of
// the file, so they may hold anything; they are applied here, never by
// printf, and always with "." as decimal point whatever the process locale.

#include <cstdint>
#include <stdexcept>
#include <string>

// A format value of a description that is not a format this program applies.
class EPstFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Applies a format with exactly one directive "%[-][width][.precision]f"
// (`FormatPstFloat`) or "...d" (`FormatPstInteger`, the precision being the
// least number of digits), text around it copied and "%%" giving "%".
// Locale-independent ("." as decimal point); a value that rounds to zero has
// no minus sign. Raises EPstFormatError for any other format, a width above
// 255, a precision above 18, or a value that is not finite.
std::string FormatPstFloat(const std::string& format, double value);
std::string FormatPstInteger(const std::string& format, int64_t value);

// FormatPstFloat for many numbers in one format: the format is read once
// (again when it changes) and the text appended to a buffer of the caller.
class TPstFloatFormat {
public:
    // Appends the text FormatPstFloat gives to out; raises as it does,
    // before appending anything.
    void Append(std::string& out, const std::string& format, double value);

private:
    void Read(const std::string& format);

    std::string m_Format; // the format the fields below were read from
    bool m_Read = false;
    std::string m_Error; // not empty: the format cannot be applied
    std::string m_Before, m_After;
    bool m_HasDirective = false;
    bool m_LeftAlign = false;
    int m_Width = -1;
    int m_Precision = 2;
};

// Whether format holds exactly the one directive of the given type ('f' for
// FormatPstFloat, 'd' for FormatPstInteger) that the functions above apply,
// so that every value reaches the text.
bool PstFormatApplies(const std::string& format, char type);
