#pragma once
// The wire protocol of the machine link: every string the link and the
// machine-control window send to a GRBL controller, and the reading of its
// replies. GRBL 1.1 is the reference (its interface document: line and
// real-time commands, "ok", "error:<n>", "ALARM:<n>", status reports in
// angle brackets); the 0.9 status form is read as well.
//
// Line commands end in a bare LF: GRBL ends a line at CR and at LF alike and
// answers an empty line with "ok", so CR LF would draw two answers. Every
// line command draws exactly one "ok" or "error:" from the controller; the
// real-time bytes draw none.
//
// GRBL acts on its real-time bytes wherever they stand, also inside a line
// or a comment ("!" holds the feed, 0x91 raises the feed override), so line
// commands go out without "?", "!", "~", 0x18 and bytes above 0x7F, and
// without line ends of their own.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Real-time commands, sent alone without a line end.
inline constexpr std::string_view GrblStatusPoll = "?";
inline constexpr std::string_view GrblFeedHold = "!";
inline constexpr std::string_view GrblResume = "~";
inline constexpr std::string_view GrblSoftReset = "\x18";

// text without the bytes GRBL would act on at once or take as a line end:
// "?", "!", "~", 0x18, CR, LF and every byte above 0x7F.
std::string GrblCleanLine(std::string_view text);
// The bytes of a line command: the cleaned text and LF.
std::string GrblLineBytes(std::string_view text);

// The line commands of the window's buttons, in sending order, each without
// its line end (send each with GrblLineBytes).
// Jog by the button's tag (0 X-, 1 X+, 2 Y-, 3 Y+, 4 Z-, 5 Z+) by the step
// text as typed, in millimetres, with GRBL's jog command, which leaves every
// modal state of the controller as it was: {"$J=G91 G21 X0.5 F100000"}. The
// feed lies above any machine's maximum rate, so the controller moves at the
// axis's maximum rate, as a rapid would. A tag out of range gives nothing.
inline constexpr int GrblJogFeed = 100000;
std::vector<std::string> GrblJogLines(int tag, std::string_view step);
// Zero by the button's tag (0 X, 1 Y, 2 Z, 3 all) in the work coordinate
// system wcsIndex (0..5 for G54..G59), then the read-back of the parser
// state: {"G10L20P2Y0", "$G"} for G55.
std::vector<std::string> GrblZeroLines(int tag, int wcsIndex);
// Select work coordinate system index (0..5): {"G56", "$G"}.
std::vector<std::string> GrblSelectWcsLines(int index);
// The ";"-terminated segments of a macro: "G0X0Y0;G0Z5;" gives {"G0X0Y0",
// "G0Z5"}; text after the last ";" is not sent, "G0X0;;" gives {"G0X0", ""}.
std::vector<std::string> GrblMacroLines(std::string_view macro);

// True for a line after which GRBL writes its settings memory ("$10=2",
// "$N0=...", "$RST=*", "$I=...", "G10 ...", "G28.1", "G30.1"): the
// controller drops the bytes that arrive meanwhile, so nothing may follow
// such a line before its answer.
bool GrblWritesSettings(std::string_view line);
// The work coordinate system (0..5 for G54..G59) a line selects, if any:
// the G54..G59 word of a G-code line or of the "[GC:...]" answer to "$G".
std::optional<int> GrblWcsWord(std::string_view line);
// The seconds of a dwell ("G4 P2.5" gives 2.5), 0 for any other line.
double GrblDwellSeconds(std::string_view line);

// An "error:<n>" or "ALARM:<n>" reply with the meaning of its code in
// brackets: "error:20 (unsupported or invalid g-code command)". Other
// replies, and codes without a known meaning, come back unchanged.
std::string GrblExplainReply(std::string_view line);

// Reply lines, cut at LF from the received bytes however they were split
// over reads; CR is dropped, and so are empty lines. A line longer than
// MaxLine keeps its first MaxLine characters (no GRBL reply comes near).
class TGrblLineAssembler {
public:
    static constexpr size_t MaxLine = 1024;
    // Adds received bytes; returns the lines they completed, in order.
    std::vector<std::string> Feed(std::string_view bytes);
    // The incomplete tail kept for the next bytes.
    const std::string& Pending() const { return m_Line; }
    void Clear() { m_Line.clear(); }

private:
    std::string m_Line;
};

enum class EGrblReply {
    Ok,      // "ok"
    Error,   // "error..." ("error:20", or 0.9's "error: Unsupported ...")
    Alarm,   // "ALARM..."
    Status,  // "<...>"
    Banner,  // "Grbl <version> ..." after a reset
    Other,   // bracketed answers, settings, messages
};
EGrblReply ClassifyGrblReply(std::string_view line);

// A status report. GRBL 1.1 separates fields with "|" ("<Hold:0|WPos:1.000,
// 2.000,3.000|Bf:15,128|FS:0,0|WCO:0.000,0.000,0.000>"): field 0 is the
// state, whole ("Hold:0"), and the "MPos:" or "WPos:" field gives X, Y, Z.
// GRBL 0.9 separates everything with "," ("<Idle,MPos:1.000,2.000,3.000,
// WPos:...>"): the report is cut at every ",", ":", "<" and ">", empty items
// dropped; item 0 is the state, item 1 the position's name, items 2 to 4 X,
// Y, Z.
struct TGrblStatus {
    // Items as a 0.9 report gives them: state, position name, X, Y, Z, then
    // whatever follows; for a 1.1 report the same five first (when it has a
    // position), then its other fields whole.
    std::vector<std::string> Items;
    std::string State;
    std::string PositionName;                // "MPos", "WPos" or empty
    std::array<std::string, 3> Axis;         // the position's texts
    bool HasPosition = false;                // three texts present
    // The position as numbers ("." separator, whatever the locale); empty
    // when any of the three is not a number.
    std::optional<std::array<double, 3>> Position() const;
};
TGrblStatus ParseGrblStatus(std::string_view line);
