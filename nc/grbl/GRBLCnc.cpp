#include "nc/grbl/GRBLCnc.h"

#include "core/settings/Language.h"
#include "nc/grbl/GRBLTransport.h"
#include "nc/grbl/MachineMarker.h"

#include <QEventLoop>
#include <QTimer>

#include <fstream>
#include <stdexcept>
#include <utility>

namespace {

std::string GrblText(std::string_view key) { return ReadLangText("frmGRBL", key); }

// Sets a flag for the lifetime of a scope and tells of both changes.
class TRunScope {
public:
    TRunScope(bool& flag, const std::function<void(bool)>& told) : m_Flag(flag), m_Told(told)
    {
        m_Flag = true;
        if (m_Told)
            m_Told(true);
    }
    ~TRunScope()
    {
        m_Flag = false;
        if (m_Told)
            m_Told(false);
    }

private:
    bool& m_Flag;
    const std::function<void(bool)>& m_Told;
};

} // namespace

TGRBLCnc::TGRBLCnc(TGrblTransport& port, TGrblConsole& console) : m_Port(port), m_Console(console) {}

TGRBLCnc::~TGRBLCnc() = default;

// --- the port ------------------------------------------------------------------

bool TGRBLCnc::Connect()
{
    m_PortOpen = true;
    m_Stopped = false;
    m_Lines.Clear();
    m_Pending.clear();
    m_BannerSeen = false;
    // GRBL empties its input on a reset: whatever follows the reset byte in
    // the same write may be lost, so the lines wait for the banner.
    Write(GrblSoftReset);
    const bool banner = WaitUntil([this] { return m_BannerSeen || !m_PortOpen; }, BannerWaitMs);
    if (!m_PortOpen)
        return false;
    if (!banner)
        m_Console.AppendLine(GrblText(LangKeys::frmGRBL::NoBanner));
    SendLine("$10=2");
    SendLine("$G");
    return true;
}

void TGRBLCnc::PortClosed()
{
    m_Stopped = true;
    m_PortOpen = false;
    m_Pending.clear();
    m_Lines.Clear();
    Wake();
}

// --- sending -------------------------------------------------------------------

void TGRBLCnc::Write(std::string_view bytes) { m_Port.Write(bytes); }

void TGRBLCnc::SendLine(std::string_view text)
{
    m_Pending.push_back({0});
    Write(GrblLineBytes(text));
}

void TGRBLCnc::SendLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        SendLine(line);
}

void TGRBLCnc::SendRealtime(std::string_view command) { Write(command); }

void TGRBLCnc::SoftReset()
{
    m_Stopped = true;
    m_Pending.clear();
    Write(GrblSoftReset);
    Wake();
}

void TGRBLCnc::RequestAbort()
{
    m_AbortRequested = true;
    Wake();
}

void TGRBLCnc::SelectWcs(int index)
{
    if (index < 0 || index > 5)
        return;
    WcsIndex = index;
    if (m_PortOpen)
        SendLines(GrblSelectWcsLines(index));
}

void TGRBLCnc::SendMacro(std::string_view macro)
{
    if (m_PortOpen)
        SendLines(GrblMacroLines(macro));
}

// --- receiving -----------------------------------------------------------------

void TGRBLCnc::ParseReply(std::string_view chunk)
{
    for (const std::string& line : m_Lines.Feed(chunk))
        OnLine(line);
}

void TGRBLCnc::OnLine(const std::string& line)
{
    switch (ClassifyGrblReply(line)) {
    case EGrblReply::Ok:
        OnAnswer(line, false);
        break;
    case EGrblReply::Error:
        OnAnswer(line, true);
        break;
    case EGrblReply::Alarm:
        m_Console.AppendLine(line);
        if (m_Running)
            EndRunAt(m_LastSentFileLine, line);
        break;
    case EGrblReply::Status:
        m_Status = ParseGrblStatus(line);
        StatusItems = m_Status.Items;
        if (VerboseStatus)
            m_Console.AppendLine(line);
        break;
    case EGrblReply::Banner:
        // The controller was reset: it has forgotten every line not answered.
        m_Pending.clear();
        m_CheckMode = false;
        m_BannerSeen = true;
        m_Console.AppendLine(line);
        if (m_Running)
            EndRunAt(m_LastSentFileLine, line);
        break;
    case EGrblReply::Other:
        if (line == "[MSG:Enabled]")
            m_CheckMode = true;
        else if (line == "[MSG:Disabled]")
            m_CheckMode = false;
        m_Console.AppendLine(line);
        break;
    }
    Wake();
}

void TGRBLCnc::OnAnswer(const std::string& line, bool error)
{
    int fileLine = 0;
    if (!m_Pending.empty()) {
        fileLine = m_Pending.front().FileLine;
        m_Pending.pop_front();
    }
    if (!error)
        return;
    if (fileLine == 0 || !m_Running) {
        m_Console.AppendLine(line);
        return;
    }
    if (m_CheckMode) {
        m_Console.AppendLine(LangFormat(GrblText(LangKeys::frmGRBL::CheckError), {std::to_string(fileLine), line}));
        return;
    }
    EndRunAt(fileLine, line);
}

void TGRBLCnc::EndRunAt(int fileLine, const std::string& reply)
{
    if (m_EndRun)
        return;
    m_EndRun = true;
    m_Console.AppendLine(LangFormat(GrblText(LangKeys::frmGRBL::RunStopped), {std::to_string(fileLine), reply}));
}

std::optional<TGrblStatusDisplay> TGRBLCnc::StatusDisplay()
{
    const std::optional<std::array<double, 3>> position = m_Status.Position();
    if (!position)
        return std::nullopt;
    if (TrackPosition) {
        PosX = float((*position)[0]);
        PosY = float((*position)[1]);
        PosZ = float((*position)[2]);
        if (TMachineMarker* marker = MachineMarker())
            marker->MoveMarker(PosX, PosY, PosZ);
    }
    return TGrblStatusDisplay{m_Status.State, m_Status.Axis};
}

// --- waiting -------------------------------------------------------------------

bool TGRBLCnc::WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer timer;
    bool timedOut = false;
    if (timeoutMs >= 0) {
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer); // a coarse timer may end the wait 5% early
        QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        timer.start(timeoutMs);
    }
    m_Waits.push_back(&loop);
    while (!done() && !timedOut)
        loop.exec();
    m_Waits.pop_back();
    return done();
}

void TGRBLCnc::Wake()
{
    for (QEventLoop* loop : m_Waits)
        loop->quit();
}

// --- the program ---------------------------------------------------------------

void TGRBLCnc::TrimConsole()
{
    if (m_Console.LineCount() > ConsoleMaxLines)
        m_Console.DeleteFirstLines(ConsoleTrimLines);
}

bool TGRBLCnc::StreamFile(int passes)
{
    if (m_Running)
        return false;
    TRunScope running(m_Running, OnRunChanged);
    SentCount = 0;
    m_AbortRequested = false;
    m_EndRun = false;
    m_LastSentFileLine = 0;
    const auto interrupted = [this] { return m_Stopped || m_AbortRequested || m_EndRun || !m_PortOpen; };
    for (; passes > 0 && !interrupted(); --passes) {
        std::ifstream file(FileName, std::ios::binary);
        if (!file)
            throw std::runtime_error(LangFormat(GrblText(LangKeys::frmGRBL::FileNotOpened), {FileName}));
        int fileLine = 0;
        for (;;) {
            WaitUntil([&] { return m_Pending.empty() || interrupted(); });
            if (interrupted())
                break;
            std::string line;
            if (!std::getline(file, line))
                break; // the end, or a read error: the run ends quietly
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            CurrentLine = line;
            ++fileLine;
            m_LastSentFileLine = fileLine;
            m_Pending.push_back({fileLine});
            Write(GrblLineBytes(line));
            ++SentCount;
            m_Console.AppendLine(line);
            if (OnRowDisplay)
                OnRowDisplay(std::to_string(SentCount) + TotalSuffix);
            TrimConsole();
        }
    }
    // The last line's answer, so that its error is reported with the run.
    WaitUntil([&] { return m_Pending.empty() || interrupted(); });
    return true;
}

int32_t TGRBLCnc::CountFileLines()
{
    std::ifstream file(FileName, std::ios::binary);
    if (!file)
        throw std::runtime_error(LangFormat(GrblText(LangKeys::frmGRBL::FileNotOpened), {FileName}));
    int32_t count = 0;
    std::string line;
    while (!m_Stopped && std::getline(file, line))
        ++count;
    TotalSuffix = " / " + std::to_string(count);
    return count;
}
