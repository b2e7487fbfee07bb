#include "nc/grbl/GRBLCnc.h"

#include "core/settings/Language.h"
#include "nc/grbl/GRBLTransport.h"
#include "nc/grbl/MachineMarker.h"

#include <QEventLoop>

#include <cmath>
#include <fstream>
#include <limits>
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

TGRBLCnc::TGRBLCnc(TGrblTransport& port, TGrblConsole& console, TGrblClock& clock)
    : m_Port(port), m_Console(console), m_Clock(clock)
{
}

TGRBLCnc::~TGRBLCnc() = default;

bool TGRBLCnc::Holding() const
{
    return m_Status.State.starts_with("Hold") || m_Status.State.starts_with("Door");
}

// --- the port ------------------------------------------------------------------

bool TGRBLCnc::Connect()
{
    m_PortOpen = true;
    m_Stopped = false;
    m_Lines.Clear();
    ForgetUnanswered();
    m_BannerSeen = false;
    // GRBL empties its input on a reset: whatever follows the reset byte in
    // the same write may be lost, so the lines wait for the banner.
    Write(GrblSoftReset);
    const bool banner =
        WaitUntil([this] { return m_BannerSeen || !m_PortOpen; }, m_Clock.NowMs() + BannerWaitMs);
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
    ForgetUnanswered();
    m_Lines.Clear();
    Wake();
}

void TGRBLCnc::PortLost(const std::string& reason)
{
    if (m_Running)
        EndRun(LangFormat(GrblText(LangKeys::frmGRBL::PortLostInRun), {std::to_string(m_LastSentFileLine), reason}));
    else if (m_PortOpen)
        m_Console.AppendLine(LangFormat(GrblText(LangKeys::frmGRBL::PortLost), {reason}));
    PortClosed();
}

// --- sending -------------------------------------------------------------------

void TGRBLCnc::Write(std::string_view bytes) { m_Port.Write(bytes); }

void TGRBLCnc::WriteLine(int fileLine, const std::string& text)
{
    const std::string bytes = GrblLineBytes(text);
    m_Pending.push_back({fileLine, text, bytes.size(), GrblWritesSettings(text)});
    m_RestingReports = 0;
    Write(bytes);
}

void TGRBLCnc::Flush()
{
    while (!m_Outbox.empty() && m_Owed == 0) {
        size_t inBuffer = 0;
        for (const TPendingLine& pending : m_Pending) {
            if (pending.WritesSettings)
                return;
            inBuffer += pending.Bytes;
        }
        const std::string text = m_Outbox.front();
        // A line longer than the buffer still goes, alone.
        if (!m_Pending.empty() && inBuffer + GrblLineBytes(text).size() > RxBufferBytes)
            return;
        m_Outbox.pop_front();
        WriteLine(0, text);
    }
}

void TGRBLCnc::SendLine(std::string_view text)
{
    m_Outbox.emplace_back(text);
    Flush();
}

void TGRBLCnc::SendLines(const std::vector<std::string>& lines)
{
    for (const std::string& line : lines)
        SendLine(line);
}

void TGRBLCnc::SendRealtime(std::string_view command) { Write(command); }

void TGRBLCnc::ForgetUnanswered()
{
    m_Pending.clear();
    m_Outbox.clear();
    m_RestingReports = 0;
    m_Owed = 0;
}

void TGRBLCnc::AbandonUnanswered()
{
    m_Owed += int(m_Pending.size());
    m_OwedResting = 0;
    m_Pending.clear();
    m_RestingReports = 0;
}

void TGRBLCnc::SoftReset()
{
    if (m_Running)
        EndRun(LangFormat(GrblText(LangKeys::frmGRBL::ResetInRun), {std::to_string(m_LastSentFileLine)}));
    m_Stopped = true;
    ForgetUnanswered();
    Write(GrblSoftReset);
    Wake();
}

void TGRBLCnc::RequestAbort()
{
    if (m_Running)
        EndRun(LangFormat(GrblText(LangKeys::frmGRBL::Aborted), {std::to_string(m_LastSentFileLine)}));
    m_AbortRequested = true;
    m_Outbox.clear();
    AbandonUnanswered();
    Wake();
}

void TGRBLCnc::SelectWcs(int index)
{
    if (index < 0 || index > 5)
        return;
    if (m_PortOpen)
        SendLines(GrblSelectWcsLines(index));
    else
        SetWcs(index);
}

void TGRBLCnc::SetWcs(int index)
{
    WcsIndex = index;
    m_WcsKnown = true;
    MachineChanged();
}

void TGRBLCnc::MachineChanged()
{
    if (OnMachineChanged)
        OnMachineChanged();
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
        // Mid-run the answer has sent the next line itself: no waiter needs
        // to look.
        if (OnAnswer(line, false))
            return;
        break;
    case EGrblReply::Error:
        OnAnswer(line, true);
        break;
    case EGrblReply::Alarm:
        m_Console.AppendLine(GrblExplainReply(line));
        if (m_Running)
            EndRun(LangFormat(GrblText(LangKeys::frmGRBL::AlarmInRun),
                              {GrblExplainReply(line), std::to_string(m_LastSentFileLine)}));
        // An alarm stops the controller: it answers nothing more until reset.
        AbandonUnanswered();
        break;
    case EGrblReply::Status:
        OnStatus(line);
        break;
    case EGrblReply::Banner:
        // The controller was reset: it has forgotten every line not answered.
        m_Pending.clear();
        m_RestingReports = 0;
        m_Owed = 0;
        m_CheckMode = false;
        m_BannerSeen = true;
        m_Console.AppendLine(line);
        if (m_Running)
            EndRun(LangFormat(GrblText(LangKeys::frmGRBL::ResetInRun), {std::to_string(m_LastSentFileLine)}));
        MachineChanged();
        Flush();
        break;
    case EGrblReply::Other:
        if (line == "[MSG:Enabled]")
            m_CheckMode = true;
        else if (line == "[MSG:Disabled]")
            m_CheckMode = false;
        m_Console.AppendLine(line);
        if (line.starts_with("[GC:")) {
            if (const std::optional<int> wcs = GrblWcsWord(line)) {
                WcsIndex = *wcs;
                m_WcsKnown = true;
            }
            MachineChanged();
        } else if (line.starts_with("[MSG:")) {
            MachineChanged();
        }
        break;
    }
    Wake();
}

void TGRBLCnc::OnStatus(const std::string& line)
{
    const std::string before = m_Status.State;
    const bool checkBefore = m_CheckMode;
    m_Status = ParseGrblStatus(line);
    StatusItems = m_Status.Items;
    if (VerboseStatus)
        m_Console.AppendLine(line);
    m_LastStatusMs = m_Clock.NowMs();
    ++m_StatusReports;
    const std::string& state = m_Status.State;
    const bool resting = state == "Idle" || state == "Check" || state.starts_with("Alarm");
    m_RestingReports = resting && !m_Pending.empty() ? m_RestingReports + 1 : 0;
    if (m_Owed > 0) {
        m_OwedResting = resting ? m_OwedResting + 1 : 0;
        if (m_OwedResting >= OwedRestingReports) {
            m_Owed = 0; // a resting machine has answered all it will
            Flush();
            SendNextProgramLine();
        }
    }
    // Outside a run a command the machine will not answer is given up too,
    // so that the commands after it go.
    if (!m_Running && !m_Pending.empty() && m_RestingReports >= RestingReportsAllowed()) {
        m_Console.AppendLine(
            LangFormat(GrblText(LangKeys::frmGRBL::NoAnswerCommand), {m_Pending.front().Text, state}));
        AbandonUnanswered();
    }
    if (state == "Check")
        m_CheckMode = true;
    else if (resting || state == "Run" || state.starts_with("Hold"))
        m_CheckMode = false;
    if (state != before || m_CheckMode != checkBefore)
        MachineChanged();
}

bool TGRBLCnc::OnAnswer(const std::string& line, bool error)
{
    if (m_Owed > 0) {
        // The late answer to a line given up on: older than any pending one.
        --m_Owed;
        if (error)
            m_Console.AppendLine(GrblExplainReply(line));
        Flush();
        return SendNextProgramLine();
    }
    std::optional<TPendingLine> answered;
    if (!m_Pending.empty()) {
        answered = std::move(m_Pending.front());
        m_Pending.pop_front();
        m_RestingReports = 0;
    }
    const int fileLine = answered ? answered->FileLine : 0;
    if (error) {
        if (fileLine == 0 || !m_Running)
            m_Console.AppendLine(GrblExplainReply(line));
        else if (m_CheckMode)
            m_Console.AppendLine(
                LangFormat(GrblText(LangKeys::frmGRBL::CheckError), {std::to_string(fileLine), GrblExplainReply(line)}));
        else
            EndRun(LangFormat(GrblText(LangKeys::frmGRBL::RunStopped), {std::to_string(fileLine), GrblExplainReply(line)}));
    }
    // The next line first: the controller waits for it.
    Flush();
    const bool sent = SendNextProgramLine();
    if (answered && !error)
        if (const std::optional<int> wcs = GrblWcsWord(answered->Text))
            SetWcs(*wcs);
    return sent;
}

void TGRBLCnc::EndRun(const std::string& message)
{
    if (m_EndRun)
        return;
    m_EndRun = true;
    m_Console.AppendLine(message);
    Wake();
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

void TGRBLCnc::WaitOnce(int64_t timeoutMs)
{
    QEventLoop loop;
    std::unique_ptr<TGrblTimer> timer;
    if (timeoutMs >= 0) {
        timer = m_Clock.MakeTimer();
        timer->OnTimeout = [&loop] { loop.quit(); };
        timer->Start(int(std::min<int64_t>(timeoutMs, std::numeric_limits<int>::max())), false);
    }
    m_Waits.push_back(&loop);
    loop.exec();
    m_Waits.pop_back();
}

bool TGRBLCnc::WaitUntil(const std::function<bool()>& done, int64_t deadlineMs)
{
    for (;;) {
        if (done())
            return true;
        const int64_t left = deadlineMs < 0 ? -1 : deadlineMs - m_Clock.NowMs();
        if (deadlineMs >= 0 && left <= 0)
            return false;
        WaitOnce(left);
    }
}

void TGRBLCnc::Wake()
{
    for (QEventLoop* loop : m_Waits)
        loop->quit();
}

bool TGRBLCnc::Interrupted() const { return m_Stopped || m_AbortRequested || m_EndRun || !m_PortOpen; }

bool TGRBLCnc::Stalled()
{
    const int64_t silentMs = m_Clock.NowMs() - m_LastStatusMs;
    const std::string line = m_Pending.empty() ? std::string() : m_Pending.front().Text;
    const std::string at = std::to_string(m_LastSentFileLine);
    if (silentMs >= StatusTimeoutMs) {
        EndRun(LangFormat(GrblText(LangKeys::frmGRBL::NoStatus), {at, std::to_string(StatusTimeoutMs / 1000)}));
        AbandonUnanswered();
        return true;
    }
    if (m_Pending.empty() || m_RestingReports < RestingReportsAllowed())
        return false;
    EndRun(LangFormat(GrblText(LangKeys::frmGRBL::NoAnswer), {at, line, m_Status.State}));
    AbandonUnanswered();
    return true;
}

int TGRBLCnc::RestingReportsAllowed() const
{
    // A dwell keeps the controller resting before its "ok": that much longer.
    double dwell = 0;
    for (const TPendingLine& pending : m_Pending)
        dwell += GrblDwellSeconds(pending.Text);
    return IdleReportsWithoutAnswer + int(std::ceil(std::min(dwell, 1e6) * 1000 / PollMs));
}

bool TGRBLCnc::WaitInRun(const std::function<bool()>& done)
{
    for (;;) {
        if (done())
            return true;
        if (Interrupted() || Stalled())
            return false;
        WaitOnce(std::max<int64_t>(1, m_LastStatusMs + StatusTimeoutMs - m_Clock.NowMs()));
    }
}

// --- the program ---------------------------------------------------------------

void TGRBLCnc::TrimConsole()
{
    if (m_Console.LineCount() > ConsoleMaxLines)
        m_Console.DeleteFirstLines(ConsoleTrimLines);
}

bool TGRBLCnc::SendNextProgramLine()
{
    if (!m_File || m_FileDone || !m_Pending.empty() || !m_Outbox.empty() || m_Owed > 0 || Interrupted())
        return false;
    std::string line;
    if (!std::getline(*m_File, line)) {
        m_FileDone = true; // the end, or a read error: the pass ends quietly
        Wake();
        return false;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    CurrentLine = line;
    m_LastSentFileLine = ++m_FileLine;
    WriteLine(m_FileLine, line);
    ++SentCount;
    m_Console.AppendLine(line);
    if (OnRowDisplay)
        OnRowDisplay(std::to_string(SentCount) + TotalSuffix);
    TrimConsole();
    return true;
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
    m_LastStatusMs = m_Clock.NowMs();
    m_RestingReports = 0;
    struct TFileScope {
        TGRBLCnc& Link;
        ~TFileScope() { Link.m_File = nullptr; }
    } fileScope{*this};
    for (; passes > 0 && !Interrupted(); --passes) {
        std::ifstream file(FileName, std::ios::binary);
        if (!file)
            throw std::runtime_error(LangFormat(GrblText(LangKeys::frmGRBL::FileNotOpened), {FileName}));
        m_File = &file;
        m_FileLine = 0;
        m_FileDone = false;
        // The first line goes once earlier commands are answered; each answer
        // sends the next one itself.
        const bool passDone = WaitInRun([&] {
            SendNextProgramLine();
            return m_FileDone;
        });
        m_File = nullptr;
        if (!passDone)
            break;
    }
    // The last line's answer, so that its error is reported with the run.
    WaitInRun([&] { return m_Pending.empty(); });
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
