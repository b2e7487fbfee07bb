// fakegrbl: a GRBL controller on a pseudo-terminal, the peer of the machine
// link's tests.
//
//   fakegrbl [--log FILE] [--link PATH] [--split] [--seed N] [--block-ms MS]
//            [--pins] [--v09] [--wcs N] [--eeprom-ms MS] [--baud N]
//            [--silent-after N] [--deaf-after N] [--drop-reply N]
//            [--close-after N] [--junk-before N] [--alarm-at N]
//
// Opens a pseudo-terminal, prints the path of its device side on the first
// line of stdout (and links PATH to it with --link) and answers there as
// GRBL 1.1h does, as far as the link needs:
// - 0x18 (soft reset) empties the input and answers with the banner
//   "Grbl 1.1h ['$' for help]"; a reset while moving raises ALARM:3 first,
//   after which G-code lines get error:9 until "$X".
// - One reply per CR and per LF: every line end runs a line, an empty line
//   gets "ok", so CR LF gives two replies.
// - The input buffer holds 128 bytes; bytes that arrive while it is full are
//   dropped (and logged as OVERFLOW).
// - 15 planner blocks; a motion line takes --block-ms milliseconds once it
//   runs; while the planner is full no further input is read.
// - Real-time bytes act at once wherever they stand: "?" (status report),
//   "!" (feed hold: Hold:1, then Hold:0), "~" (resume), 0x18, and the
//   override bytes above 0x7F (logged, e.g. 0x91 raises the feed override).
// - Status "<Idle|MPos:x,y,z|FS:f,s>" shaped by $10 as 1.1h does (bit 0:
//   machine position, else work position; bit 1: "Bf:<blocks>,<bytes>"),
//   with WCO: every tenth report, Pn: with --pins, and the comma form of
//   GRBL 0.9 with --v09.
// - "$", "$$", "$G", "$#", "$I", "$N", "$X", "$H", "$C", "$<n>=<value>",
//   "$J=<g-code>" (a jog: G91, G21 and F taken for this move only, every
//   modal state kept); error:20 for G41 to G43, G81 to G89, M6 and the words
//   H, O and Q.
// - "~" during Hold:1 (still slowing down) is ignored, as GRBL does.
// - Leaving check mode with "$C" resets the controller (banner).
// - --wcs N starts in work coordinate system G54 + N (N 0..5).
// - --baud N: the answer to a line comes no sooner than the line and its
//   answer would take on a serial line of N bits per second (ten bits a
//   byte); without it the pseudo-terminal's own speed.
// - --eeprom-ms MS: a line that writes the settings memory ("$x=", "$Nx=",
//   G10, G28.1, G30.1) takes MS milliseconds before its answer, and the line
//   input is deaf meanwhile: bytes that follow the line or arrive in that
//   time are dropped (logged as "EEPROM DROP").
// Misbehaviour on request, N counting every line received from the start
// (the link's connect sends two):
// - --silent-after N: lines after the Nth are neither run nor answered;
//   "?" is still answered.
// - --deaf-after N: after the Nth line nothing at all is answered.
// - --drop-reply N: the Nth line runs, its answer is not sent.
// - --close-after N: after the Nth line the device side closes and the
//   program ends (a device that went away).
// - --junk-before N: before the answer to the Nth line come lines of
//   binary noise and an overlong line.
// - --alarm-at N: the Nth line trips a hard limit (ALARM:1) instead of
//   running.
// - SIGUSR1 trips a hard limit: ALARM:1, then nothing runs until 0x18.
// - --split writes each reply in random pieces with short pauses.
//
// The log (--log) holds one line per event: "IN <line>" for each line as it
// arrived (bytes outside printable ASCII as \xNN), "RT <name>" for real-time
// bytes, "OUT <reply>" and "OVERFLOW". The program ends on SIGTERM, SIGINT
// or when its parent goes away.

#include <pty.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>

namespace {

volatile sig_atomic_t g_Quit = 0;
volatile sig_atomic_t g_HardLimit = 0;

void OnQuit(int) { g_Quit = 1; }
void OnHardLimit(int) { g_HardLimit = 1; }

using TClock = std::chrono::steady_clock;

constexpr size_t kRxBufferSize = 128;
constexpr size_t kPlannerBlocks = 15;
constexpr size_t kLineBufferSize = 80;

enum class EState { Idle, Run, Hold, Alarm, Check, Home };

struct TBlock {
    std::array<double, 3> Start{};
    std::array<double, 3> Target{};
    double DurationMs = 0;
    double DoneMs = 0;
    bool Started = false;
};

struct TOptions {
    std::string LogFile;
    std::string LinkPath;
    bool Split = false;
    unsigned Seed = 1;
    double BlockMs = 2;
    bool Pins = false;
    bool V09 = false;
    int Wcs = 0;
    double EepromMs = 0;
    double Baud = 0;
    long SilentAfter = -1;
    long DeafAfter = -1;
    long DropReply = -1;
    long CloseAfter = -1;
    long JunkBefore = -1;
    long AlarmAt = -1;
};

std::string Escaped(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::string Number(double v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", std::abs(v) < 0.0005 ? 0.0 : v);
    return text;
}

std::string Axes(const std::array<double, 3>& v) { return Number(v[0]) + "," + Number(v[1]) + "," + Number(v[2]); }

class TFakeGrbl {
public:
    TFakeGrbl(int master, const TOptions& options) : m_Master(master), m_Options(options), m_Random(options.Seed)
    {
        m_WcsIndex = std::clamp(options.Wcs, 0, 5);
        if (!options.LogFile.empty())
            m_Log = std::fopen(options.LogFile.c_str(), "w");
        m_Settings = {{0, "10"}, {1, "25"}, {10, "1"}, {11, "0.010"}, {13, "0"}, {20, "0"}, {21, "0"},
                      {22, "1"}, {110, "500.000"}, {111, "500.000"}, {112, "500.000"}, {130, "200.000"},
                      {131, "200.000"}, {132, "200.000"}};
    }
    ~TFakeGrbl()
    {
        if (m_Log)
            std::fclose(m_Log);
    }

    // The device side was closed on request.
    bool Closed() const { return m_Master < 0; }

    void Run()
    {
        auto last = TClock::now();
        while (!g_Quit && m_Master >= 0) {
            const bool busy = !m_Planner.empty() || m_HomingLeftMs > 0 || m_State == EState::Hold;
            pollfd fd{m_Master, POLLIN, 0};
            const int ready = poll(&fd, 1, busy ? 1 : 20);
            if (ready > 0 && (fd.revents & POLLIN)) {
                unsigned char bytes[512];
                const ssize_t n = read(m_Master, bytes, sizeof bytes);
                for (ssize_t i = 0; i < n; ++i)
                    OnByte(bytes[i]);
            } else if (ready > 0 && (fd.revents & (POLLHUP | POLLERR))) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            if (g_HardLimit) {
                g_HardLimit = 0;
                TripHardLimit();
            }
            const auto now = TClock::now();
            const double ms = std::chrono::duration<double, std::milli>(now - last).count();
            Advance(ms);
            if (m_EepromLeftMs > 0) {
                m_EepromLeftMs = std::max(0.0, m_EepromLeftMs - ms);
                if (m_EepromLeftMs <= 0 && !m_DeferredAnswer.empty())
                    Reply(std::exchange(m_DeferredAnswer, std::string()));
            }
            last = now;
            ProcessInput();
        }
    }

private:
    // --- output -----------------------------------------------------------
    void Log(const std::string& text)
    {
        if (!m_Log)
            return;
        std::fputs(text.c_str(), m_Log);
        std::fputc('\n', m_Log);
        std::fflush(m_Log);
    }

    void WriteAll(const char* data, size_t size)
    {
        while (size > 0) {
            const ssize_t n = write(m_Master, data, size);
            if (n <= 0) {
                if (errno == EINTR || errno == EAGAIN) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                    continue;
                }
                return;
            }
            data += n;
            size -= size_t(n);
        }
    }

    void Reply(const std::string& line)
    {
        if (m_Deaf) {
            Log("MUTE " + line);
            return;
        }
        if (m_EepromLeftMs > 0 && (line == "ok" || line.starts_with("error:"))) {
            m_DeferredAnswer = line;
            return;
        }
        if (m_DropAnswer && (line == "ok" || line.starts_with("error:"))) {
            m_DropAnswer = false;
            Log("DROP " + line);
            return;
        }
        Log("OUT " + line);
        const std::string bytes = line + "\r\n";
        if (m_Options.Baud > 0 && (line == "ok" || line.starts_with("error:"))) {
            const double seconds = double(m_LastLineBytes + bytes.size()) * 10 / m_Options.Baud;
            std::this_thread::sleep_until(m_LineEnd + std::chrono::duration_cast<TClock::duration>(
                                                          std::chrono::duration<double>(seconds)));
        }
        if (!m_Options.Split) {
            WriteAll(bytes.data(), bytes.size());
            return;
        }
        size_t at = 0;
        while (at < bytes.size()) {
            const size_t piece = std::uniform_int_distribution<size_t>(1, bytes.size() - at)(m_Random);
            WriteAll(bytes.data() + at, piece);
            at += piece;
            if (at < bytes.size())
                std::this_thread::sleep_for(std::chrono::microseconds(
                    std::uniform_int_distribution<int>(200, 1500)(m_Random)));
        }
    }

    void Banner()
    {
        // GRBL starts its banner with a line end of its own.
        Log("OUT ");
        WriteAll("\r\n", 2);
        Reply(m_Options.V09 ? "Grbl 0.9j ['$' for help]" : "Grbl 1.1h ['$' for help]");
    }

    // --- real-time bytes --------------------------------------------------
    void OnByte(unsigned char c)
    {
        switch (c) {
        case 0x18:
            Log("RT reset");
            Reset();
            return;
        case '?':
            Log("RT ?");
            if (!m_Critical)
                StatusReport();
            return;
        case '!':
            Log("RT hold");
            if (m_State == EState::Run || (m_State == EState::Idle && !m_Planner.empty())) {
                m_State = EState::Hold;
                m_HoldDecelLeftMs = 60;
            } else if (m_State == EState::Idle) {
                m_State = EState::Hold;
                m_HoldDecelLeftMs = 0;
            }
            return;
        case '~':
            Log("RT resume");
            // A resume counts only once the hold has come to a stop.
            if (m_State == EState::Hold && m_HoldDecelLeftMs <= 0)
                m_State = m_Planner.empty() ? EState::Idle : EState::Run;
            return;
        default:
            break;
        }
        if (c >= 0x80) {
            char name[32];
            std::snprintf(name, sizeof name, "RT override 0x%02X", c);
            Log(name);
            if (c == 0x91)
                m_FeedOverride = std::min(200, m_FeedOverride + 10);
            return;
        }
        if (m_EepromLeftMs > 0) {
            Log("EEPROM DROP");
            return;
        }
        if (m_Rx.size() >= kRxBufferSize) {
            Log("OVERFLOW");
            return;
        }
        m_Rx.push_back(c);
    }

    void Reset()
    {
        // Planned moves have started the machine, as GRBL starts its cycle
        // right after the line.
        const bool moving = m_State == EState::Run || m_State == EState::Home ||
                            (m_State == EState::Hold && m_HoldDecelLeftMs > 0) ||
                            (m_State == EState::Idle && !m_Planner.empty());
        if (moving) {
            // Position is lost: the machine stopped wherever it was.
            m_Position = CurrentPosition();
            Reply("ALARM:3");
        }
        m_Planner.clear();
        m_Rx.clear();
        m_Line.clear();
        m_RawLine.clear();
        m_LineOverflow = false;
        m_InComment = 0;
        m_PendingMotion.reset();
        m_HomingLeftMs = 0;
        m_Critical = false;
        m_FeedOverride = 100;
        if (moving || m_State == EState::Alarm)
            m_State = EState::Alarm;
        else
            m_State = EState::Idle;
        Banner();
        if (m_State == EState::Alarm)
            Reply("[MSG:'$H'|'$X' to unlock]");
    }

    void TripHardLimit()
    {
        m_Position = CurrentPosition();
        m_Planner.clear();
        m_PendingMotion.reset();
        m_State = EState::Alarm;
        m_Critical = true;
        Reply("ALARM:1");
        Reply("[MSG:Reset to continue]");
    }

    // --- status -----------------------------------------------------------
    std::array<double, 3> Wco() const
    {
        std::array<double, 3> w = m_Wcs[m_WcsIndex];
        for (int i = 0; i < 3; ++i)
            w[i] += m_G92[i];
        return w;
    }

    std::array<double, 3> CurrentPosition() const
    {
        if (m_Planner.empty() || !m_Planner.front().Started)
            return m_Position;
        const TBlock& b = m_Planner.front();
        const double f = b.DurationMs > 0 ? std::clamp(b.DoneMs / b.DurationMs, 0.0, 1.0) : 1.0;
        std::array<double, 3> p{};
        for (int i = 0; i < 3; ++i)
            p[i] = b.Start[i] + (b.Target[i] - b.Start[i]) * f;
        return p;
    }

    std::string StateName() const
    {
        switch (m_State) {
        case EState::Idle: return "Idle";
        case EState::Run: return "Run";
        case EState::Hold:
            if (m_Options.V09)
                return "Hold";
            return m_HoldDecelLeftMs > 0 ? "Hold:1" : "Hold:0";
        case EState::Alarm: return "Alarm";
        case EState::Check: return "Check";
        case EState::Home: return "Home";
        }
        return "Idle";
    }

    void StatusReport()
    {
        const std::array<double, 3> mpos = CurrentPosition();
        const std::array<double, 3> wco = Wco();
        std::array<double, 3> wpos{};
        for (int i = 0; i < 3; ++i)
            wpos[i] = mpos[i] - wco[i];
        if (m_Options.V09) {
            Reply("<" + StateName() + ",MPos:" + Axes(mpos) + ",WPos:" + Axes(wpos) + ">");
            return;
        }
        const int mask = std::atoi(m_Settings[10].c_str());
        std::string s = "<" + StateName();
        s += (mask & 1) ? "|MPos:" + Axes(mpos) : "|WPos:" + Axes(wpos);
        if (mask & 2)
            s += "|Bf:" + std::to_string(kPlannerBlocks - m_Planner.size()) + "," +
                 std::to_string(kRxBufferSize - m_Rx.size());
        const bool moving = m_State == EState::Run;
        s += "|FS:" + std::to_string(moving ? int(m_Feed) : 0) + "," + std::to_string(m_SpindleOn ? int(m_Spindle) : 0);
        if (m_Options.Pins && m_Reports % 7 == 3)
            s += "|Pn:Z";
        if (m_Reports % 10 == 0)
            s += "|WCO:" + Axes(wco);
        else if (m_Reports % 10 == 1)
            s += "|Ov:" + std::to_string(m_FeedOverride) + ",100,100";
        ++m_Reports;
        Reply(s + ">");
    }

    // --- motion -----------------------------------------------------------
    void Advance(double ms)
    {
        if (m_HomingLeftMs > 0) {
            m_HomingLeftMs -= ms;
            if (m_HomingLeftMs <= 0) {
                m_HomingLeftMs = 0;
                m_Position = {0, 0, 0};
                m_State = EState::Idle;
                Reply("ok");
            }
            return;
        }
        if (m_State == EState::Hold) {
            if (m_HoldDecelLeftMs > 0) {
                const double step = std::min(ms, m_HoldDecelLeftMs);
                m_HoldDecelLeftMs -= step;
                RunBlocks(step);
            }
            return;
        }
        if (m_State == EState::Run || (m_State == EState::Idle && !m_Planner.empty())) {
            m_State = EState::Run;
            RunBlocks(ms);
            if (m_Planner.empty())
                m_State = EState::Idle;
        }
    }

    void RunBlocks(double ms)
    {
        while (ms > 0 && !m_Planner.empty()) {
            TBlock& b = m_Planner.front();
            if (!b.Started) {
                b.Started = true;
                b.Start = m_Position;
            }
            const double step = std::min(ms, b.DurationMs - b.DoneMs);
            b.DoneMs += step;
            ms -= step;
            if (b.DoneMs >= b.DurationMs) {
                m_Position = b.Target;
                m_Planner.pop_front();
            }
        }
    }

    // --- input ------------------------------------------------------------
    void ProcessInput()
    {
        if (m_Critical || m_HomingLeftMs > 0)
            return;
        if (m_PendingMotion) {
            if (m_Planner.size() >= kPlannerBlocks)
                return;
            m_Planner.push_back(*m_PendingMotion);
            m_PendingMotion.reset();
            Reply("ok");
        }
        while (!m_Rx.empty() && !m_PendingMotion && m_HomingLeftMs <= 0) {
            const unsigned char c = m_Rx.front();
            m_Rx.pop_front();
            if (c == '\n' || c == '\r') {
                Log("IN " + Escaped(m_RawLine));
                ++m_LinesIn;
                m_LastLineBytes = m_RawLine.size() + 1;
                m_LineEnd = TClock::now();
                if (!Misbehave()) {
                    // A settings write: its answer comes once the memory is
                    // written; what follows the line on the wire is lost.
                    if (m_Options.EepromMs > 0 && WritesSettings()) {
                        m_EepromLeftMs = m_Options.EepromMs;
                        if (!m_Rx.empty())
                            Log("EEPROM DROP");
                        m_Rx.clear();
                    }
                    ExecuteLine();
                }
                if (m_Master < 0)
                    return;
                ClearLine();
                continue;
            }
            m_RawLine += char(c);
            if (m_InComment) {
                if (m_InComment == '(' && c == ')')
                    m_InComment = 0;
            } else if (c <= ' ') {
            } else if (c == '/') {
            } else if (c == '(' || c == ';') {
                m_InComment = char(c);
            } else if (m_Line.size() >= kLineBufferSize - 1) {
                m_LineOverflow = true;
            } else {
                m_Line += char(std::toupper(c));
            }
        }
    }

    // Acts on the misbehaviour asked for at this line; true when the line
    // is not to run.
    bool Misbehave()
    {
        const long n = m_LinesIn;
        if (n == m_Options.CloseAfter) {
            Log("CLOSE");
            close(m_Master);
            m_Master = -1;
            return true;
        }
        if (m_Options.DeafAfter >= 0 && n > m_Options.DeafAfter)
            m_Deaf = true;
        if (m_Deaf || (m_Options.SilentAfter >= 0 && n > m_Options.SilentAfter)) {
            Log("IGNORED");
            return true;
        }
        if (n == m_Options.JunkBefore) {
            Log("JUNK");
            const std::string junk = std::string("\x01\x02\xfe\xff\x00noise\r\n", 12) + std::string(3000, 'x') + "\r\n\r\n";
            WriteAll(junk.data(), junk.size());
        }
        if (n == m_Options.DropReply)
            m_DropAnswer = true;
        if (n == m_Options.AlarmAt) {
            TripHardLimit();
            return true;
        }
        return false;
    }

    void ClearLine()
    {
        m_Line.clear();
        m_RawLine.clear();
        m_LineOverflow = false;
        m_InComment = 0;
    }

    bool WritesSettings() const
    {
        if (m_Line.starts_with("$"))
            return m_Line.size() > 1 && m_Line.find('=') != std::string::npos && m_Line[1] != 'J';
        return m_Line.find("G10") != std::string::npos || m_Line.find("G28.1") != std::string::npos ||
               m_Line.find("G30.1") != std::string::npos;
    }

    void ExecuteLine()
    {
        if (m_LineOverflow) {
            Reply("error:14");
            return;
        }
        if (m_Line.empty()) {
            Reply("ok");
            return;
        }
        if (m_Line[0] == '$') {
            SystemCommand();
            return;
        }
        if (m_State == EState::Alarm) {
            Reply("error:9");
            return;
        }
        AnswerParsed(GCode());
    }

    // The answer to a parsed line: its error, or "ok" once its motion (if
    // any) has a planner block. Otherwise the line waits for a free block;
    // its "ok" follows.
    void AnswerParsed(int status)
    {
        if (status != 0) {
            Reply("error:" + std::to_string(status));
        } else if (!m_PendingMotion) {
            Reply("ok");
        } else if (m_Planner.size() < kPlannerBlocks) {
            m_Planner.push_back(*m_PendingMotion);
            m_PendingMotion.reset();
            Reply("ok");
        }
    }

    bool IdleOrAlarm() const { return m_State == EState::Idle || m_State == EState::Alarm; }

    void SystemCommand()
    {
        const std::string cmd = m_Line.substr(1);
        if (cmd.empty()) {
            Reply("[HLP:$$ $# $G $I $N $x=val $Nx=line $J=line $SLP $C $X $H ~ ! ? ctrl-x]");
        } else if (cmd == "G") {
            Reply("[GC:G" + std::to_string(m_Motion) + " G" + std::to_string(54 + m_WcsIndex) + " G17 G21 " +
                  (m_Relative ? "G91" : "G90") + " G94 M" + (m_SpindleOn ? "3" : "5") + " M9 T0 F" +
                  std::to_string(int(m_Feed)) + " S" + std::to_string(int(m_Spindle)) + "]");
        } else if (cmd.starts_with("J=")) {
            if (m_State == EState::Alarm) {
                Reply("error:9");
                return;
            }
            AnswerParsed(Jog(cmd.substr(2)));
            return;
        } else if (cmd == "C") {
            if (m_State == EState::Check) {
                // Leaving check mode resets the controller.
                m_State = EState::Idle;
                Reply("[MSG:Disabled]");
                Reply("ok");
                Banner();
                return;
            }
            // A planned move has started the machine, as GRBL starts its
            // cycle right after the line.
            if (m_State != EState::Idle || !m_Planner.empty() || m_PendingMotion) {
                Reply("error:8");
                return;
            }
            m_State = EState::Check;
            Reply("[MSG:Enabled]");
        } else if (cmd == "X") {
            if (m_State == EState::Alarm) {
                Reply("[MSG:Caution: Unlocked]");
                m_State = EState::Idle;
            }
        } else if (cmd == "$") {
            if (m_State == EState::Run || m_State == EState::Hold) {
                Reply("error:8");
                return;
            }
            for (const auto& [n, v] : m_Settings)
                Reply("$" + std::to_string(n) + "=" + v);
        } else if (!IdleOrAlarm()) {
            Reply("error:8");
            return;
        } else if (cmd == "#") {
            static const char* names[] = {"G54", "G55", "G56", "G57", "G58", "G59"};
            for (int i = 0; i < 6; ++i)
                Reply(std::string("[") + names[i] + ":" + Axes(m_Wcs[i]) + "]");
            Reply("[G28:0.000,0.000,0.000]");
            Reply("[G30:0.000,0.000,0.000]");
            Reply("[G92:" + Axes(m_G92) + "]");
            Reply("[TLO:0.000]");
            Reply("[PRB:0.000,0.000,0.000:0]");
        } else if (cmd == "H") {
            m_State = EState::Home;
            m_HomingLeftMs = std::max(50.0, m_Options.BlockMs * 10);
            return; // "ok" when homing ends
        } else if (cmd == "I") {
            Reply("[VER:1.1h.20190830:]");
            Reply("[OPT:V,15,128]");
        } else if (cmd == "N") {
            Reply("$N0=");
            Reply("$N1=");
        } else if (!cmd.empty() && std::isdigit(static_cast<unsigned char>(cmd[0]))) {
            const size_t eq = cmd.find('=');
            if (eq == std::string::npos || eq + 1 >= cmd.size()) {
                Reply("error:3");
                return;
            }
            char* end = nullptr;
            const long n = std::strtol(cmd.c_str(), &end, 10);
            if (end != cmd.c_str() + eq) {
                Reply("error:3");
                return;
            }
            const std::string value = cmd.substr(eq + 1);
            char* vend = nullptr;
            std::strtod(value.c_str(), &vend);
            if (*vend != '\0') {
                Reply("error:2");
                return;
            }
            m_Settings[int(n)] = value;
        } else {
            Reply("error:3");
            return;
        }
        Reply("ok");
    }

    // A jog: the block moves as G1 with its own G90/G91 and F; every modal
    // state is as before afterwards.
    int Jog(const std::string& block)
    {
        if (block.find('F') == std::string::npos)
            return 22;
        const int motion = m_Motion;
        const bool relative = m_Relative;
        const double feed = m_Feed;
        const int wcs = m_WcsIndex;
        const std::string line = m_Line;
        m_Line = block;
        m_Motion = 1;
        const int status = GCode();
        m_Line = line;
        m_Motion = motion;
        m_Relative = relative;
        m_Feed = feed;
        m_WcsIndex = wcs;
        return status;
    }

    // Parses and runs one G-code block; 0 or the GRBL error code. A block
    // that moves leaves its planner block in m_PendingMotion.
    int GCode()
    {
        struct TWord {
            char Letter;
            double Value;
        };
        std::vector<TWord> words;
        size_t i = 0;
        while (i < m_Line.size()) {
            const char letter = m_Line[i++];
            if (letter < 'A' || letter > 'Z')
                return 1; // expected command letter
            const size_t start = i;
            if (i < m_Line.size() && (m_Line[i] == '-' || m_Line[i] == '+'))
                ++i;
            bool digits = false;
            while (i < m_Line.size() && (std::isdigit(static_cast<unsigned char>(m_Line[i])) || m_Line[i] == '.')) {
                digits = digits || m_Line[i] != '.';
                ++i;
            }
            if (!digits)
                return 2; // bad number format
            words.push_back({letter, std::strtod(m_Line.substr(start, i - start).c_str(), nullptr)});
        }

        std::optional<int> motion;
        std::array<std::optional<double>, 3> axis;
        bool g10 = false, g92 = false, home = false, dwell = false, arcWords = false;
        std::optional<double> l, p;
        for (const TWord& w : words) {
            const int code10 = int(std::lround(w.Value * 10));
            switch (w.Letter) {
            case 'G':
                switch (code10) {
                case 0: case 10: case 20: case 30: motion = code10 / 10; break;
                case 40: dwell = true; break;
                case 100: g10 = true; break;
                case 170: case 180: case 190: case 200: case 210: case 400: case 490: case 530:
                case 610: case 800: case 911: case 921: case 930: case 940: case 431:
                    break;
                case 280: case 281: case 300: case 301: home = code10 % 10 == 0; break;
                case 382: case 383: case 384: case 385: motion = 1; break;
                case 540: case 550: case 560: case 570: case 580: case 590: m_WcsIndex = (code10 - 540) / 10; break;
                case 900: m_Relative = false; break;
                case 910: m_Relative = true; break;
                case 920: g92 = true; break;
                default: return 20; // unsupported command (G41-G43, G81-G89, ...)
                }
                break;
            case 'M':
                switch (code10) {
                case 0: case 10: case 20: case 300: case 70: case 80: case 90: case 560: break;
                case 30: case 40: m_SpindleOn = true; break;
                case 50: m_SpindleOn = false; break;
                default: return 20; // M6 and the rest
                }
                break;
            case 'X': axis[0] = w.Value; break;
            case 'Y': axis[1] = w.Value; break;
            case 'Z': axis[2] = w.Value; break;
            case 'F': m_Feed = w.Value; break;
            case 'S': m_Spindle = w.Value; break;
            case 'I': case 'J': case 'K': case 'R': arcWords = true; break;
            case 'L': l = w.Value; break;
            case 'P': p = w.Value; break;
            case 'N': case 'T': break;
            default: return 20; // H, O, Q and letters GRBL has no use for
            }
        }
        if (motion)
            m_Motion = *motion;
        const bool hasAxis = axis[0] || axis[1] || axis[2];

        // As GRBL, offsets are taken from the position the parser has
        // reached: the end of the planned moves.
        const std::array<double, 3> planned = m_Planner.empty() ? m_Position : m_Planner.back().Target;
        if (g10) {
            if (!l || !p || (*l != 2 && *l != 20) || *p < 0 || *p > 6)
                return 3;
            const int wcs = *p == 0 ? m_WcsIndex : int(*p) - 1;
            for (int a = 0; a < 3; ++a)
                if (axis[a])
                    m_Wcs[wcs][a] = *l == 20 ? planned[a] - *axis[a] : *axis[a];
            return 0;
        }
        if (g92) {
            for (int a = 0; a < 3; ++a)
                if (axis[a])
                    m_G92[a] = planned[a] - m_Wcs[m_WcsIndex][a] - *axis[a];
            return 0;
        }
        if (m_State == EState::Check)
            return m_Motion >= 1 && m_Motion <= 3 && hasAxis && m_Feed <= 0 ? 22 : 0;

        std::array<double, 3> end = m_Planner.empty() ? m_Position : m_Planner.back().Target;
        if (dwell) {
            TBlock b;
            b.Target = end;
            b.DurationMs = std::min(10000.0, (p ? *p : 0) * 1000);
            m_PendingMotion = b;
            return 0;
        }
        if (home) {
            TBlock b;
            b.Target = {0, 0, 0};
            b.DurationMs = m_Options.BlockMs;
            m_PendingMotion = b;
            return 0;
        }
        if (!hasAxis)
            return 0;
        if (m_Motion >= 1 && m_Feed <= 0)
            return 22; // undefined feed rate
        if ((m_Motion == 2 || m_Motion == 3) && !arcWords)
            return 26;
        const std::array<double, 3> wco = Wco();
        for (int a = 0; a < 3; ++a)
            if (axis[a])
                end[a] = m_Relative ? end[a] + *axis[a] : *axis[a] + wco[a];
        TBlock b;
        b.Target = end;
        b.DurationMs = m_Options.BlockMs;
        m_PendingMotion = b;
        return 0;
    }

    int m_Master;
    TOptions m_Options;
    std::mt19937 m_Random;
    FILE* m_Log = nullptr;

    EState m_State = EState::Idle;
    std::deque<unsigned char> m_Rx;
    std::string m_Line;
    std::string m_RawLine;
    bool m_LineOverflow = false;
    char m_InComment = 0;
    bool m_Critical = false;
    double m_HoldDecelLeftMs = 0;
    double m_HomingLeftMs = 0;

    std::deque<TBlock> m_Planner;
    std::optional<TBlock> m_PendingMotion;
    std::array<double, 3> m_Position{};
    std::array<std::array<double, 3>, 6> m_Wcs{};
    std::array<double, 3> m_G92{};
    int m_WcsIndex = 0;
    int m_Motion = 0;
    bool m_Relative = false;
    double m_Feed = 0;
    double m_Spindle = 0;
    bool m_SpindleOn = false;
    int m_FeedOverride = 100;
    unsigned m_Reports = 0;
    std::map<int, std::string> m_Settings;
    long m_LinesIn = 0;
    bool m_Deaf = false;
    bool m_DropAnswer = false;
    double m_EepromLeftMs = 0;
    std::string m_DeferredAnswer;
    size_t m_LastLineBytes = 0;
    TClock::time_point m_LineEnd;
};

int Usage()
{
    std::fprintf(stderr, "usage: fakegrbl [--log FILE] [--link PATH] [--split] [--seed N] [--block-ms MS] [--pins] [--v09]\n"
                         "                [--wcs N] [--eeprom-ms MS] [--baud N] [--silent-after N] [--deaf-after N]\n"
                         "                [--drop-reply N] [--close-after N] [--junk-before N] [--alarm-at N]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    TOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--log" && hasValue)
            options.LogFile = argv[++i];
        else if (arg == "--link" && hasValue)
            options.LinkPath = argv[++i];
        else if (arg == "--seed" && hasValue)
            options.Seed = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (arg == "--block-ms" && hasValue)
            options.BlockMs = std::max(0.0, std::strtod(argv[++i], nullptr));
        else if (arg == "--wcs" && hasValue)
            options.Wcs = std::atoi(argv[++i]);
        else if (arg == "--baud" && hasValue)
            options.Baud = std::max(0.0, std::strtod(argv[++i], nullptr));
        else if (arg == "--eeprom-ms" && hasValue)
            options.EepromMs = std::max(0.0, std::strtod(argv[++i], nullptr));
        else if (arg == "--silent-after" && hasValue)
            options.SilentAfter = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--deaf-after" && hasValue)
            options.DeafAfter = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--drop-reply" && hasValue)
            options.DropReply = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--close-after" && hasValue)
            options.CloseAfter = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--junk-before" && hasValue)
            options.JunkBefore = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--alarm-at" && hasValue)
            options.AlarmAt = std::strtol(argv[++i], nullptr, 10);
        else if (arg == "--split")
            options.Split = true;
        else if (arg == "--pins")
            options.Pins = true;
        else if (arg == "--v09")
            options.V09 = true;
        else
            return Usage();
    }

    prctl(PR_SET_PDEATHSIG, SIGTERM);
    struct sigaction quit {};
    quit.sa_handler = OnQuit;
    sigaction(SIGTERM, &quit, nullptr);
    sigaction(SIGINT, &quit, nullptr);
    struct sigaction limit {};
    limit.sa_handler = OnHardLimit;
    sigaction(SIGUSR1, &limit, nullptr);

    int master = -1;
    int slave = -1;
    char name[256] = {};
    termios raw {};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B115200);
    cfsetospeed(&raw, B115200);
    if (openpty(&master, &slave, name, &raw, nullptr) != 0) {
        std::perror("fakegrbl: openpty");
        return 1;
    }
    // The device side stays open here too, so the terminal survives the
    // link closing and opening its port.
    if (!options.LinkPath.empty()) {
        unlink(options.LinkPath.c_str());
        if (symlink(name, options.LinkPath.c_str()) != 0) {
            std::perror("fakegrbl: symlink");
            return 1;
        }
    }
    std::printf("%s\n", name);
    std::fflush(stdout);

    bool closed = false;
    {
        TFakeGrbl grbl(master, options);
        grbl.Run();
        closed = grbl.Closed();
    }
    if (!options.LinkPath.empty())
        unlink(options.LinkPath.c_str());
    close(slave);
    if (!closed)
        close(master);
    return 0;
}
