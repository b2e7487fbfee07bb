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
//   to. Line commands wait in a queue until the controller has room for
//   them: the unanswered ones together stay within its receive buffer
//   (RxBufferBytes), and nothing follows a line that writes the
//   controller's settings memory (GrblWritesSettings) before its answer.
//   A program line goes out only when no line is unanswered or queued, so
//   an operator's command never has its "ok" taken for a program line's. A
//   soft reset, a closed port and a "Grbl" banner empty the count (the
//   controller forgets its input then). An abort, an alarm and a run that
//   stopped for want of an answer give the unanswered lines up: they leave
//   the count, a late answer to them is taken as theirs, and nothing new
//   goes out until it came or the machine reported a resting state twice.
// - In a run, an "error:" answer to a program line, or an "ALARM:", ends the
//   run, with the line's number in the file and the reply with its meaning
//   in the console; in check mode ("[MSG:Enabled]" seen) an error is listed
//   and the run goes on.
// - No wait of a run is without an end: a line unanswered while the
//   machine reports a resting state (Idle, Check, Alarm) for
//   IdleReportsWithoutAnswer status reports (more for a dwell), or no
//   status report for StatusTimeoutMs, ends the run with a message naming
//   the line. Run, Hold, Door, Home and Jog never end it while reports
//   arrive (the controller holds back "ok" while its planner is full).
// - Waits (for an answer, for the banner) run a nested event loop, so the
//   window, its timer and the received bytes stay live; a wait ends when its
//   condition holds, or at an abort, a soft reset or a closed port. Time
//   comes from the clock handed in.
// - The link must outlive a running stream or connect: Busy() tells; the
//   window destroys it only when that is false.
// - The console gets the lines the protocol shows (banner, bracketed
//   answers, errors and alarms with their meanings, sent program lines,
//   status reports while VerboseStatus) and why and where every run
//   stopped; it never shows "ok". A run trims it: past 400 lines its first
//   200 go.
// - The machine's work coordinate system, check mode and state follow its
//   replies ("[GC:...]", "[MSG:Enabled]", banners, status reports, answered
//   G54..G59 words); OnMachineChanged tells of them.
// Main thread only; needs a running QCoreApplication for its waits.

#include "nc/grbl/GRBLProtocol.h"

#include "nc/grbl/GRBLClock.h"

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
    // The status poll of the window, and how many status reports in a
    // resting state an unanswered line may see before the run ends.
    static constexpr int PollMs = 250;
    static constexpr int IdleReportsWithoutAnswer = 5;
    // A run ends when no status report came for this long.
    static constexpr int StatusTimeoutMs = 10000;
    // The controller's receive buffer, less one byte.
    static constexpr size_t RxBufferBytes = 127;
    // The console holds at most this many lines after a program line...
    static constexpr int ConsoleMaxLines = 400;
    // ... by dropping this many of its first lines at once.
    static constexpr int ConsoleTrimLines = 200;

    TGRBLCnc(TGrblTransport& port, TGrblConsole& console, TGrblClock& clock = SystemGrblClock());
    ~TGRBLCnc();
    TGRBLCnc(const TGRBLCnc&) = delete;
    TGRBLCnc& operator=(const TGRBLCnc&) = delete;

    // Told the row display's new text ("12 / 340").
    std::function<void(const std::string&)> OnRowDisplay;
    // Told when a run starts and when it ends.
    std::function<void(bool running)> OnRunChanged;
    // Told when the machine's check mode, state or work coordinate system
    // may have changed.
    std::function<void()> OnMachineChanged;

    // --- state -----------------------------------------------------------------
    std::vector<std::string> StatusItems; // items of the latest status report
    std::string FileName;                 // the program to stream
    std::string CurrentLine;              // the program line read last
    std::string TotalSuffix;              // " / <line count of FileName>"
    float PosX = 0, PosY = 0, PosZ = 0;   // the tracked position
    int32_t SentCount = 0;                // program lines sent in the current run
    bool TrackPosition = false;
    int32_t WcsIndex = 0;                 // 0..5 for G54..G59, as the machine reports it
    bool VerboseStatus = false;

    bool Stopped() const { return m_Stopped; }
    bool PortOpen() const { return m_PortOpen; }
    bool AbortRequested() const { return m_AbortRequested; }
    bool Running() const { return m_Running; }
    bool Busy() const { return !m_Waits.empty() || m_Running; }
    bool CheckMode() const { return m_CheckMode; }
    // The state of the latest status report ("Idle", "Hold:0", ...).
    const std::string& MachineState() const { return m_Status.State; }
    // The machine holds its motion (feed hold or safety door).
    bool Holding() const;
    // Status reports received since the link was made.
    int64_t StatusReports() const { return m_StatusReports; }
    // WcsIndex was read from the machine or chosen by the operator.
    bool WcsKnown() const { return m_WcsKnown; }
    // Line commands written and not yet answered.
    int Unanswered() const { return int(m_Pending.size()); }
    // Line commands waiting for room in the controller's buffer.
    int Queued() const { return int(m_Outbox.size()); }
    // Answers still owed to lines given up on (see the promises).
    int Owed() const { return m_Owed; }

    // --- the port --------------------------------------------------------------
    // The port has opened: PortOpen set, Stopped cleared, then the reset byte
    // alone; waits for the banner (BannerWaitMs on the clock, then goes on,
    // saying so in the console) and sends "$10=2" and, once that is
    // answered, "$G". False when the port closed meanwhile.
    bool Connect();
    // The port has closed (or is about to): Stopped set, PortOpen cleared,
    // the count zeroed, waits woken.
    void PortClosed();
    // The device went away (reason as the port tells it): a message naming
    // the run's line, then as PortClosed.
    void PortLost(const std::string& reason);

    // --- sending ---------------------------------------------------------------
    // A line command (cleaned, LF added), written when the controller has
    // room for it, then counted as unanswered.
    void SendLine(std::string_view text);
    void SendLines(const std::vector<std::string>& lines);
    // A real-time byte, alone ("?", "!", "~").
    void SendRealtime(std::string_view command);
    // Stopped set, count and queue emptied, then the reset byte alone.
    void SoftReset();
    // Ends the run; the queue is emptied, the unanswered lines given up.
    void RequestAbort();
    // Work-offset selection: with the port open the commands go out and
    // WcsIndex follows the machine's answers; closed, WcsIndex := index.
    void SelectWcs(int index);
    void Jog(int tag, std::string_view step) { SendLines(GrblJogLines(tag, step)); }
    // Zeroes into the machine's work coordinate system WcsIndex.
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
        int FileLine;        // the program line's number in its file, 0 for other commands
        std::string Text;    // as written, without its line end
        size_t Bytes;        // written, with the line end
        bool WritesSettings; // the controller drops input until it answers
    };

    void Write(std::string_view bytes);
    void WriteLine(int fileLine, const std::string& text);
    // Writes queued commands while the controller has room for them.
    void Flush();
    // The next program line, when a run has one and nothing is unanswered;
    // true when it went out.
    bool SendNextProgramLine();
    void OnLine(const std::string& line);
    void OnStatus(const std::string& line);
    // True when the answer sent the next program line.
    bool OnAnswer(const std::string& line, bool error);
    void EndRun(const std::string& message);
    void ForgetUnanswered();
    // Gives up on the unanswered lines: their answers may still come, and
    // are then no one else's (see m_Owed).
    void AbandonUnanswered();
    void SetWcs(int index);
    void MachineChanged();
    bool Interrupted() const;
    // Ends the run when its unanswered line has waited too long (see the
    // promises); true then.
    bool Stalled();
    int RestingReportsAllowed() const;
    // Runs the event loop until done() holds (true) or the run is
    // interrupted or stalled (false).
    bool WaitInRun(const std::function<bool()>& done);
    // Runs the event loop until done() holds (true) or the clock reaches
    // deadlineMs (false; -1: no limit).
    bool WaitUntil(const std::function<bool()>& done, int64_t deadlineMs);
    // One turn of the event loop: until something arrives or happens, or
    // for at most timeoutMs (-1: no limit).
    void WaitOnce(int64_t timeoutMs);
    void Wake();
    void TrimConsole();

    TGrblTransport& m_Port;
    TGrblConsole& m_Console;
    TGrblClock& m_Clock;
    TGrblLineAssembler m_Lines;
    std::deque<TPendingLine> m_Pending;
    std::deque<std::string> m_Outbox;
    std::vector<QEventLoop*> m_Waits;
    bool m_Stopped = false;
    bool m_PortOpen = false;
    bool m_AbortRequested = false;
    bool m_Running = false;
    bool m_EndRun = false;
    bool m_CheckMode = false;
    bool m_BannerSeen = false;
    int m_LastSentFileLine = 0;
    TGrblStatus m_Status;
    // The run's file while a pass streams it, and its line number.
    std::istream* m_File = nullptr;
    int m_FileLine = 0;
    bool m_FileDone = false;
    // The watch over unanswered lines: the time of the latest status report
    // (or of the run's start) and the resting reports since the latest line
    // was written or answered.
    int64_t m_LastStatusMs = 0;
    int m_RestingReports = 0;
    int64_t m_StatusReports = 0;
    // Answers still owed for lines given up on (an abort, an alarm, a
    // stalled run). Nothing is written until they came, or until the machine
    // rested for OwedRestingReports reports in a row (it will not answer
    // them then); a reset, a banner or a closed port forgets them.
    static constexpr int OwedRestingReports = 2;
    int m_Owed = 0;
    int m_OwedResting = 0;
    bool m_WcsKnown = false;
};
