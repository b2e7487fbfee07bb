#pragma once
// TGRBLCnc: the machine link. It sends line commands and real-time bytes to
// a GRBL controller through a transport, cuts the replies into lines and
// classifies them, keeps the latest status report for the position display,
// and streams a G-code file with one program line in flight. The wire
// protocol is in nc/grbl/GRBLProtocol.h.
//
// Promises:
// - Every line command expects one "ok" or "error:"; the link counts those
//   not yet answered, in order, so it knows which line an answer belongs
//   to. A program line goes out only when no line is unanswered, so an
//   operator's command never has its "ok" taken for a program line's. A
//   soft reset, a closed port and a "Grbl" banner zero the count (the
//   controller forgets its input then).
// - In a run, an "error:" answer to a program line, or an "ALARM:", ends the
//   run after that line, with the line's number in the file and the reply in
//   the console; in check mode ("[MSG:Enabled]" seen) an error is listed and
//   the run goes on.
// - Waits (for an answer, for the banner) run a nested event loop, so the
//   window, its timer and the received bytes stay live; a wait ends when its
//   condition holds, or at an abort, a soft reset or a closed port.
// - The link must outlive a running stream or connect: Busy() tells; the
//   window destroys it only when that is false.
// - The console gets the lines the protocol shows (banner, bracketed
//   answers, errors, alarms, sent program lines, status reports while
//   VerboseStatus); it never shows "ok". A run trims it: past 400 lines its
//   first 200 go.
// Main thread only; needs a running QCoreApplication for its waits.

#include "nc/grbl/GRBLProtocol.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QEventLoop;
class TGrblTransport;

// The window's console memo as the link uses it.
class TGrblConsole {
public:
    virtual ~TGrblConsole() = default;
    virtual void AppendLine(const std::string& line) = 0;
    virtual int LineCount() const = 0;
    virtual void DeleteFirstLines(int count) = 0;
};

// What the status display shows after a poll.
struct TGrblStatusDisplay {
    std::string State;
    std::array<std::string, 3> Axis; // X, Y, Z as reported
};

class TGRBLCnc {
public:
    // How long Connect waits for the banner after the reset byte.
    static constexpr int BannerWaitMs = 2000;
    // The console holds at most this many lines after a program line...
    static constexpr int ConsoleMaxLines = 400;
    // ... by dropping this many of its first lines at once.
    static constexpr int ConsoleTrimLines = 200;

    TGRBLCnc(TGrblTransport& port, TGrblConsole& console);
    ~TGRBLCnc();
    TGRBLCnc(const TGRBLCnc&) = delete;
    TGRBLCnc& operator=(const TGRBLCnc&) = delete;

    // Told the row display's new text ("12 / 340").
    std::function<void(const std::string&)> OnRowDisplay;
    // Told when a run starts and when it ends.
    std::function<void(bool running)> OnRunChanged;

    // --- state -----------------------------------------------------------------
    std::vector<std::string> StatusItems; // items of the latest status report
    std::string FileName;                 // the program to stream
    std::string CurrentLine;              // the program line read last
    std::string TotalSuffix;              // " / <line count of FileName>"
    float PosX = 0, PosY = 0, PosZ = 0;   // the tracked position
    int32_t SentCount = 0;                // program lines sent in the current run
    bool TrackPosition = false;
    int32_t WcsIndex = 0;                 // 0..5 for G54..G59
    bool VerboseStatus = false;

    bool Stopped() const { return m_Stopped; }
    bool PortOpen() const { return m_PortOpen; }
    bool AbortRequested() const { return m_AbortRequested; }
    bool Running() const { return m_Running; }
    bool Busy() const { return !m_Waits.empty() || m_Running; }
    bool CheckMode() const { return m_CheckMode; }
    // Line commands written and not yet answered.
    int Unanswered() const { return int(m_Pending.size()); }

    // --- the port --------------------------------------------------------------
    // The port has opened: PortOpen set, Stopped cleared, then the reset byte
    // alone; waits for the banner (BannerWaitMs, then goes on, saying so in
    // the console) and sends "$10=2" and "$G". False when the port closed
    // meanwhile.
    bool Connect();
    // The port has closed (or is about to): Stopped set, PortOpen cleared,
    // the count zeroed, waits woken.
    void PortClosed();

    // --- sending ---------------------------------------------------------------
    // A line command (cleaned, LF added), counted as unanswered.
    void SendLine(std::string_view text);
    void SendLines(const std::vector<std::string>& lines);
    // A real-time byte, alone ("?", "!", "~").
    void SendRealtime(std::string_view command);
    // Stopped set, count zeroed, then the reset byte alone.
    void SoftReset();
    void RequestAbort();
    // Work-offset selection: WcsIndex := index; the commands go out only while
    // the port is open.
    void SelectWcs(int index);
    void Jog(int tag, std::string_view step) { SendLines(GrblJogLines(tag, step)); }
    void Zero(int tag) { SendLines(GrblZeroLines(tag, WcsIndex)); }
    // A macro's segments; nothing while the port is closed.
    void SendMacro(std::string_view macro);

    // --- receiving -------------------------------------------------------------
    // Received bytes, however split: complete lines are classified and acted
    // on, the tail waits for the next bytes.
    void ParseReply(std::string_view chunk);

    // The display of the latest report: state and position texts when it had
    // a position that converts to numbers; then, with TrackPosition, the
    // position goes to PosX..PosZ and to the machine marker. Nothing for a
    // report without a usable position: labels and marker stay.
    std::optional<TGrblStatusDisplay> StatusDisplay();

    // --- the program -----------------------------------------------------------
    // Streams FileName passes times. Throws std::runtime_error when the file
    // cannot be opened at the start of a pass; a read error later ends the
    // run quietly. False (nothing done) when a run is already going.
    bool StreamFile(int passes);
    // The lines of FileName; sets TotalSuffix. Throws when the file cannot be
    // opened; 0 while Stopped.
    int32_t CountFileLines();

private:
    struct TPendingLine {
        int FileLine; // the program line's number in its file, 0 for other commands
    };

    void Write(std::string_view bytes);
    void OnLine(const std::string& line);
    void OnAnswer(const std::string& line, bool error);
    void EndRunAt(int fileLine, const std::string& reply);
    // Runs the event loop until done() holds, or timeoutMs passed (-1: no
    // limit); true when done() holds.
    bool WaitUntil(const std::function<bool()>& done, int timeoutMs = -1);
    void Wake();
    void TrimConsole();

    TGrblTransport& m_Port;
    TGrblConsole& m_Console;
    TGrblLineAssembler m_Lines;
    std::deque<TPendingLine> m_Pending;
    std::vector<QEventLoop*> m_Waits;
    bool m_Stopped = false;
    bool m_PortOpen = false;
    bool m_AbortRequested = false;
    bool m_Running = false;
    bool m_EndRun = false;
    bool m_CheckMode = false;
    bool m_BannerSeen = false;
    int m_LastSentFileLine = 0;
    bool m_NewStatus = false;
    TGrblStatus m_Status;
};
