#pragma once
// Recording fakes of the machine link's seams: the serial line, the console
// and the machine marker.

#include "nc/grbl/GRBLCnc.h"
#include "nc/grbl/GRBLTransport.h"
#include "nc/grbl/MachineMarker.h"

#include <array>
#include <string>
#include <vector>

namespace kbtest {

// Records every write. Answers the reset byte at once with GRBL's banner,
// so that a connect does not wait; AnswerOk answers every line with "ok".
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
    }
    void SetOpen(bool open) { m_Open = open; }

    std::vector<std::string> Writes;
    std::string Device;
    std::string OpenError;
    bool AnswerOk = false;
    bool AnswerReset = true;

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

} // namespace kbtest
