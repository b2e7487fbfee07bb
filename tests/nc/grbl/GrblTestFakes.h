#pragma once
// Recording fakes of the machine link's seams: the serial line, the console,
// the machine marker and the clock.

#include "nc/grbl/GRBLClock.h"
#include "nc/grbl/GRBLCnc.h"
#include "nc/grbl/GRBLTransport.h"
#include "nc/grbl/MachineMarker.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kbtest {

// Records every write. Answers the reset byte at once with GRBL's banner,
// so that a connect does not wait; AnswerOk answers every line with "ok".
// OnWrite is told every write after it was recorded (and answered).
class TRecordingTransport final : public TGrblTransport {
public:
    std::string Open(const std::string& device, int) override
    {
        if (!OpenError.empty())
            return OpenError;
        Device = device;
        m_Open = true;
        return {};
    }
    void Close() override { m_Open = false; }
    bool IsOpen() const override { return m_Open; }
    void Write(std::string_view bytes) override
    {
        Writes.emplace_back(bytes);
        if (bytes == "\x18" && AnswerReset && OnReceived)
            OnReceived("\r\nGrbl 1.1h ['$' for help]\r\n");
        else if (AnswerOk && bytes.ends_with('\n') && OnReceived)
            OnReceived("ok\r\n");
        if (OnWrite)
            OnWrite(std::string(bytes));
    }
    void SetOpen(bool open) { m_Open = open; }

    std::vector<std::string> Writes;
    std::string Device;
    std::string OpenError;
    bool AnswerOk = false;
    bool AnswerReset = true;
    std::function<void(const std::string&)> OnWrite;

private:
    bool m_Open = false;
};

class TMemoryConsole final : public TGrblConsole {
public:
    void AppendLine(const std::string& line) override { Lines.push_back(line); }
    int LineCount() const override { return int(Lines.size()); }
    void DeleteFirstLines(int count) override { Lines.erase(Lines.begin(), Lines.begin() + count); }
    bool Holds(const std::string& text) const
    {
        for (const std::string& line : Lines)
            if (line.find(text) != std::string::npos)
                return true;
        return false;
    }
    std::vector<std::string> Lines;
};

// Installs itself as the machine marker for its lifetime.
class TRecordingMarker final : public TMachineMarker {
public:
    TRecordingMarker() : m_Previous(SetMachineMarker(this)) {}
    ~TRecordingMarker() override { SetMachineMarker(m_Previous); }
    void ShowMachineMarker() override
    {
        ++Shows;
        Prepared = true;
    }
    void HideMachineMarker() override
    {
        ++Hides;
        Prepared = false;
    }
    void MoveMarker(double x, double y, double z) override { Moves.push_back({x, y, z}); }
    bool OperationPrepared() const override { return Prepared; }

    int Shows = 0;
    int Hides = 0;
    bool Prepared = false;
    std::vector<std::array<double, 3>> Moves;

private:
    TMachineMarker* m_Previous;
};

// A clock that moves only when told: Advance fires the timers that fall due
// on the way, in the order of their times.
class TManualClock final : public TGrblClock {
public:
    int64_t NowMs() const override { return m_Now; }
    std::unique_ptr<TGrblTimer> MakeTimer() override { return std::make_unique<TTimer>(*this); }

    void Advance(int64_t ms)
    {
        const int64_t until = m_Now + ms;
        for (;;) {
            TTimer* next = nullptr;
            for (TTimer* timer : m_Timers)
                if (timer->Active && timer->Due <= until && (!next || timer->Due < next->Due))
                    next = timer;
            if (!next)
                break;
            m_Now = next->Due;
            if (next->Repeat)
                next->Due += std::max(1, next->Period);
            else
                next->Active = false;
            // The timer may go away in its own handler.
            const std::function<void()> fire = next->OnTimeout;
            if (fire)
                fire();
        }
        m_Now = until;
    }

private:
    struct TTimer final : public TGrblTimer {
        explicit TTimer(TManualClock& clock) : Clock(clock) { Clock.m_Timers.push_back(this); }
        ~TTimer() override { std::erase(Clock.m_Timers, this); }
        void Start(int ms, bool repeat) override
        {
            Period = ms;
            Repeat = repeat;
            Due = Clock.m_Now + ms;
            Active = true;
        }
        void Stop() override { Active = false; }
        bool IsActive() const override { return Active; }

        TManualClock& Clock;
        int64_t Due = 0;
        int Period = 0;
        bool Repeat = false;
        bool Active = false;
    };

    int64_t m_Now = 0;
    std::vector<TTimer*> m_Timers;
};

// Opens the recording line and connects the link as a fresh GRBL answers:
// the reset at once, then "$10=2" and the "$G" query (G54, millimetres).
// The writes of the connect are cleared. False when the connect failed.
inline bool ConnectOverRecordingLine(TRecordingTransport& port, TGRBLCnc& link)
{
    port.Open("/dev/null", 115200);
    if (!link.Connect())
        return false;
    link.ParseReply("ok\r\n[GC:G0 G54 G17 G21 G90 G94 M5 M9 T0 F0 S0]\r\nok\r\n");
    port.Writes.clear();
    return true;
}

} // namespace kbtest
