#pragma once
// The G-code reader of the simulation: reads a program one line at a time
// and keeps a small modal state (motion code, position, arc values, cycle R,
// tool diameter). It is not a general interpreter: it knows the ISO-like
// dialects (ISO, LASER, lathe) and the HEI dialect of the loaded description,
// whose letters, comment characters and rapid word it uses.
//
// Letters are matched in upper case only, each by its first occurrence in
// what is left of the line; every value read is removed from the line.
// Numbers are the characters "-", "." and "0" to "9" after the letter, read
// locale-independently into single precision; a text that is not a number
// ("1-2", "-", a value beyond single precision) is skipped: the letter is
// consumed and the field keeps its value. Nothing is ever reported.

#include "nc/post/PostProcessor.h"

#include <cstdint>
#include <string>
#include <string_view>

class TLeggeGCode : public TPostProcessor {
public:
    // Values of `LineKind`.
    static constexpr uint8_t lkNothing = 0;
    static constexpr uint8_t lkNumber = 1;
    static constexpr uint8_t lkToolDiameter = 2;

    // Updates the state from one line. True when the line gave a position,
    // an F word, an arc value, a cycle R value or a tool diameter; false
    // otherwise, and for a HEI "CC" line, which only sets the arc centre.
    bool ParseLine(std::string_view line);

    // On the line being parsed: removes the letter at pos and the number
    // characters after it. True (and `LineKind` := lkNumber) when they form
    // a number, which goes to value.
    bool ReadNumber(size_t pos, double& value);
    // Removes the letter at pos and the digits after it; true when they are
    // an int32.
    bool ReadInteger(size_t pos, int32_t& value);

    int32_t MotionCode = 0;       // 0 rapid, 1 line, 2 CW arc, 3 CCW arc, 80..86 cycles
    int32_t ModalMotionCode = 0;  // carried to the next line
    uint8_t LineKind = lkNothing; // the last event of the line wins
    double ReaderX = 0, ReaderY = 0, ReaderZ = 0;
    double ArcI = 0, ArcJ = 0, ArcK = 0, ArcR = 0;
    double CycleR = 0;
    double ToolDiameter = 0;

private:
    // Removes the characters of set that follow pos and returns them.
    std::string TakeRun(size_t pos, std::string_view set);
    // Takes every G word out of the line; the last motion or cycle code
    // among them becomes the line's (and the modal) motion code.
    void ReadMotionCodes();
    // Reads the number after the first occurrence of letter; false when the
    // letter is absent or the number does not read.
    bool ReadLetter(std::string_view letter, double& value);

    std::string m_Line;
};
