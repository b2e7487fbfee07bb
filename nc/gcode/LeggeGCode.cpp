#include "nc/gcode/LeggeGCode.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace {

constexpr std::string_view kNumberChars = "-.0123456789";
constexpr std::string_view kUnsignedChars = ".0123456789";
constexpr std::string_view kDigits = "0123456789";

// The whole text as a single-precision number, stored as a double.
bool ToNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    float f = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, f);
    if (ec != std::errc() || ptr != end || !std::isfinite(f))
        return false;
    value = f;
    return true;
}

bool Contains(const std::string& s, std::string_view what)
{
    return s.find(what) != std::string::npos;
}

// Removes the first occurrence of what; false when there is none.
bool RemoveFirst(std::string& s, std::string_view what)
{
    const size_t pos = s.find(what);
    if (pos == std::string::npos)
        return false;
    s.erase(pos, what.size());
    return true;
}

// The digits as an int32; false for none or a number beyond int32 (no code
// this reader knows).
bool ToInteger(std::string_view digits, int32_t& value)
{
    if (digits.empty())
        return false;
    int32_t v = 0;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (ec != std::errc() || ptr != digits.data() + digits.size())
        return false;
    value = v;
    return true;
}

} // namespace

std::string TLeggeGCode::TakeRun(size_t pos, std::string_view set)
{
    size_t end = pos;
    while (end < m_Line.size() && set.find(m_Line[end]) != std::string_view::npos)
        ++end;
    std::string run = m_Line.substr(pos, end - pos);
    m_Line.erase(pos, end - pos);
    return run;
}

bool TLeggeGCode::ReadNumber(size_t pos, double& value)
{
    if (pos >= m_Line.size())
        return false;
    m_Line.erase(pos, 1);
    if (!ToNumber(TakeRun(pos, kNumberChars), value))
        return false;
    LineKind = lkNumber;
    return true;
}

bool TLeggeGCode::ReadInteger(size_t pos, int32_t& value)
{
    if (pos >= m_Line.size())
        return false;
    m_Line.erase(pos, 1);
    return ToInteger(TakeRun(pos, kDigits), value);
}

void TLeggeGCode::ReadMotionCodes()
{
    // One pass over the line: each G and its digits leave it, the rest is
    // kept in order, as if they were taken out one at a time.
    std::string rest;
    rest.reserve(m_Line.size());
    size_t pos = 0;
    while (pos < m_Line.size()) {
        if (m_Line[pos] != 'G') {
            rest += m_Line[pos++];
            continue;
        }
        size_t end = pos + 1;
        while (end < m_Line.size() && kDigits.find(m_Line[end]) != std::string_view::npos)
            ++end;
        int32_t code = 0;
        if (ToInteger(std::string_view(m_Line).substr(pos + 1, end - pos - 1), code) &&
            ((code >= 0 && code <= 3) || (code >= 80 && code <= 86))) {
            MotionCode = code;
            ModalMotionCode = code;
        }
        pos = end;
    }
    m_Line = std::move(rest);
}

bool TLeggeGCode::ReadLetter(std::string_view letter, double& value)
{
    const size_t pos = m_Line.find(letter);
    if (pos == std::string::npos)
        return false;
    return ReadNumber(pos, value);
}

bool TLeggeGCode::ParseLine(std::string_view line)
{
    m_Line.assign(line);
    bool result = false;
    LineKind = lkNothing;
    if (IncrementalMode) {
        ReaderX = 0;
        ReaderY = 0;
    }

    // Comments; the tool diameter rides in one. An empty comment opener
    // means the description has no comments (not "everything is a comment").
    if (!StartComment.empty() && Contains(m_Line, StartComment)) {
        const size_t tag = m_Line.find("TLDIA=");
        if (tag != std::string::npos) {
            m_Line.erase(tag, 6);
            double diameter = 0;
            if (ToNumber(TakeRun(tag, kUnsignedChars), diameter)) {
                ToolDiameter = diameter;
                LineKind = lkToolDiameter;
                result = true;
            }
        }
        const size_t start = m_Line.find(StartComment);
        if (start != std::string::npos)
            m_Line.erase(start);
    }

    // A return to the reference point is not a move of the program.
    const size_t home = m_Line.find("G28");
    if (home != std::string::npos)
        m_Line.erase(home);

    // Whether the line holds the rapid word is decided before any letter is
    // read: the feed letter would otherwise eat the "F" of a word like "FMAX".
    const bool rapidWord = HasRapidWord && !RapidWord.empty() && Contains(m_Line, RapidWord);

    const bool lathe = Dialect == PostDialect::Lathe;
    double v = 0;
    if (Dialect == PostDialect::ISO || Dialect == PostDialect::LASER || lathe) {
        const size_t f = m_Line.find('F');
        if (f != std::string::npos && ReadNumber(f, v))
            result = true; // the feed counts, but is not kept

        MotionCode = ModalMotionCode;
        ReadMotionCodes();

        if (MotionCode == 2 || MotionCode == 3) {
            // The centre offsets are radius values in diameter mode too: the
            // writer writes them so, and lathe controls read them so.
            if (ReadLetter("I", v)) {
                ArcI = v;
                result = true;
            }
            if (ReadLetter("J", v)) {
                ArcJ = v;
                result = true;
            }
            if (ReadLetter("K", v)) {
                ArcK = v;
                result = true;
            }
            const char* radius = Contains(m_Line, "R") ? "R" : Contains(m_Line, "U") ? "U" : nullptr;
            if (!radius)
                ArcR = 0;
            else if (ReadLetter(radius, v)) {
                ArcR = v;
                result = true;
            }
        }
        if (MotionCode >= 81 && MotionCode <= 86 && ReadLetter("R", v)) {
            CycleR = v;
            result = true;
        }
    } else if (Dialect == PostDialect::HEI) {
        ArcR = 0;
        MotionCode = ModalMotionCode;
        if (Contains(m_Line, "L")) {
            MotionCode = 1;
            ModalMotionCode = 1;
        }
        if (RemoveFirst(m_Line, "CC")) {
            if (ReadLetter("X", v))
                ArcI = v;
            if (ReadLetter("Y", v))
                ArcJ = v;
            result = false; // a centre alone is no move
        }
        if (RemoveFirst(m_Line, "C")) {
            if (RemoveFirst(m_Line, "DR+")) {
                MotionCode = 3;
                ModalMotionCode = 3;
            } else if (RemoveFirst(m_Line, "DR-")) {
                MotionCode = 2;
                ModalMotionCode = 2;
            }
        }
    }

    if (rapidWord && (MotionCode == 0 || MotionCode == 1)) {
        MotionCode = 0;
        ModalMotionCode = 0;
    }

    if (ReadLetter("X", v)) {
        if (lathe)
            ReaderY = XDiameterMode ? v / 2 : v;
        else
            ReaderX = v;
        result = true;
    }
    if (ReadLetter("Y", v)) {
        ReaderY = v;
        result = true;
    }
    if (ReadLetter("Z", v)) {
        if (lathe)
            ReaderX = v;
        else
            ReaderZ = v;
        result = true;
    }
    return result;
}
