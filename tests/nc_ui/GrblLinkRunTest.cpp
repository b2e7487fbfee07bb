// The link's runs on a recording port, driven turn by turn through the event
// loop, with time from a manual clock.

#include "tests/nc/grbl/GrblTestFakes.h"

#include "core/settings/Language.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QTimer>

#include <functional>

using namespace kbtest;

namespace {

std::string StatusLine(const std::string& state) { return "<" + state + "|WPos:0.000,0.000,0.000|FS:0,0>\r\n"; }

} // namespace

// A run of three lines whose second line gets no answer from the port.
class GrblLinkRun : public ::testing::Test {
protected:
    GrblLinkRun()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Port.OnReceived = [this](std::string_view bytes) { Link.ParseReply(bytes); };
        Connect();
        Link.FileName = Dir.File("three.nc");
        WriteFileText(Link.FileName, "G1X1F100\n" + Second + "\nG1X3F100\n");
        Port.OnWrite = [this](const std::string& bytes) {
            if (bytes == "G1X1F100\n" || bytes == "G1X3F100\n" || (AnswerAll && bytes.ends_with('\n')))
                Link.ParseReply("ok\r\n");
        };
    }
    void SetSecond(const std::string& line)
    {
        Second = line;
        WriteFileText(Link.FileName, "G1X1F100\n" + Second + "\nG1X3F100\n");
    }
    // Runs step at every turn of the event loop while the run waits, until
    // it returns false.
    void EveryTurn(std::function<bool()> step)
    {
        m_Step = std::move(step);
        const int chain = ++m_Chain;
        QTimer::singleShot(0, &m_Context, [this, chain] { Turn(chain); });
    }
    // The whole program runs once the port answers every line, and the
    // machine reports Idle (the answer to a line given up on may be owed).
    void NextRunGoesThrough()
    {
        AnswerAll = true;
        Console.Lines.clear();
        EveryTurn([this] {
            Link.ParseReply(StatusLine("Idle"));
            return Link.Running();
        });
        ASSERT_TRUE(Link.StreamFile(1));
        EXPECT_EQ(Link.SentCount, 3);
        EXPECT_FALSE(Console.Holds("Run "));
        AnswerAll = false;
        ++m_Chain;
    }

    ~GrblLinkRun() override
    {
        Port.OnWrite = nullptr;
        SetLanguageIni(nullptr);
    }
    void Connect()
    {
        ASSERT_TRUE(ConnectOverRecordingLine(Port, Link));
    }

    TRecordingTransport Port;
    TMemoryConsole Console;
    TManualClock Clock;
    TGRBLCnc Link{Port, Console, Clock};
    TTempDir Dir;
    std::string Second = "G1X2F100";
    bool AnswerAll = false;

private:
    // One step of the latest chain; an older chain ends.
    void Turn(int chain)
    {
        if (chain == m_Chain && m_Step && m_Step())
            QTimer::singleShot(0, &m_Context, [this, chain] { Turn(chain); });
    }
    std::function<bool()> m_Step;
    int m_Chain = 0;
    QObject m_Context;
};

TEST_F(GrblLinkRun, AnUnansweredLineEndsTheRunAfterFiveRestingReports)
{
    struct TCase {
        std::string State;
        std::string Line;
        int Reports; // 5, and a dwell's time in polls
    };
    const TCase cases[] = {
        {"Idle", "G1X2F100", 5},
        {"Check", "G1X2F100", 5},
        {"Idle", "G4 P2", 5 + 2000 / TGRBLCnc::PollMs},
        {"Idle", "G4 P0.3", 5 + 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.State + " " + c.Line);
        Console.Lines.clear();
        SetSecond(c.Line);
        int fed = 0;
        bool endedEarly = false;
        EveryTurn([&] {
            if (Link.SentCount < 2)
                return true;
            endedEarly = endedEarly || !Link.Running() || Console.Holds("no answer");
            Link.ParseReply(StatusLine(c.State));
            ++fed;
            return fed < 100;
        });
        ASSERT_TRUE(Link.StreamFile(1));
        EXPECT_FALSE(endedEarly);
        EXPECT_EQ(fed, c.Reports);
        EXPECT_EQ(Link.SentCount, 2);
        ASSERT_FALSE(Console.Lines.empty());
        EXPECT_EQ(Console.Lines.back(),
                  "Run stopped at line 2: no answer to \"" + c.Line + "\" while the machine reports " + c.State + ".");
        EXPECT_EQ(Link.Unanswered(), 0);
        NextRunGoesThrough();
    }
}

TEST_F(GrblLinkRun, RunAndHoldWaitWhileReportsComeSilenceEndsAfterTenSeconds)
{
    const char* states[] = {"Run", "Hold:0", "Hold:1", "Door:1", "Idle"};
    int fed = 0;
    EveryTurn([&] {
        if (Link.SentCount < 2)
            return true;
        // 100 reports over 25 s, with an Idle one now and then.
        Clock.Advance(TGRBLCnc::PollMs);
        Link.ParseReply(StatusLine(states[fed % 5]));
        if (++fed < 100)
            return true;
        Link.ParseReply("ok\r\n");
        return false;
    });
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_EQ(fed, 100);
    EXPECT_EQ(Link.SentCount, 3);
    EXPECT_FALSE(Console.Holds("Run stopped"));

    // No report at all: the run ends at 10 s, not before.
    int turn = 0;
    bool runningAt9999 = false;
    EveryTurn([&] {
        if (Link.SentCount < 2)
            return true;
        if (++turn == 1) {
            Clock.Advance(TGRBLCnc::StatusTimeoutMs - 1);
            return true;
        }
        runningAt9999 = Link.Running() && !Console.Holds("Run stopped");
        Clock.Advance(1);
        return false;
    });
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_TRUE(runningAt9999);
    EXPECT_EQ(Console.Lines.back(), "Run stopped at line 2: no status report from the machine for 10 s.");
    EXPECT_EQ(Link.Unanswered(), 0);
    NextRunGoesThrough();
}

TEST_F(GrblLinkRun, EveryStopSaysWhyAndWhereAndTheNextRunGoes)
{
    struct TCase {
        const char* Name;
        std::function<void(TGRBLCnc&)> Stop;
        std::string Message;
    };
    const TCase cases[] = {
        {"abort", [](TGRBLCnc& l) { l.RequestAbort(); }, "Run aborted after line 2 was sent."},
        {"reset", [](TGRBLCnc& l) { l.SoftReset(); }, "Run stopped: the machine was reset after line 2 was sent."},
        {"banner", [](TGRBLCnc& l) { l.ParseReply("\r\nGrbl 1.1h ['$' for help]\r\n"); },
         "Run stopped: the machine was reset after line 2 was sent."},
        {"port lost", [](TGRBLCnc& l) { l.PortLost("Input/output error"); },
         "Connection to the machine lost; the run stopped at line 2 (Input/output error)."},
        {"alarm", [](TGRBLCnc& l) { l.ParseReply("ALARM:1\r\n"); },
         "Run stopped: ALARM:1 (hard limit hit; the position is likely lost, home again) came during the run, after "
         "line 2 was sent."},
        {"error", [](TGRBLCnc& l) { l.ParseReply("error:20\r\n"); },
         "Run stopped at line 2: error:20 (unsupported or invalid g-code command)"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Console.Lines.clear();
        EveryTurn([&] {
            if (Link.SentCount < 2)
                return true;
            c.Stop(Link);
            return false;
        });
        ASSERT_TRUE(Link.StreamFile(1));
        EXPECT_EQ(Link.SentCount, 2);
        std::vector<std::string> stops;
        for (const std::string& line : Console.Lines)
            if (line.starts_with("Run ") || line.starts_with("Connection "))
                stops.push_back(line);
        EXPECT_EQ(stops, std::vector<std::string>{c.Message}) << "one message, why and where";
        EXPECT_EQ(Link.Unanswered(), 0);
        if (!Link.PortOpen() || Link.Stopped()) {
            Link.PortClosed();
            Connect();
        }
        NextRunGoesThrough();
    }
}

TEST_F(GrblLinkRun, ALateAnswerToALineGivenUpOnIsTakenAsItsOwn)
{
    EveryTurn([&] {
        if (Link.SentCount < 2)
            return true;
        Link.RequestAbort();
        return false;
    });
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_EQ(Link.Unanswered(), 0);
    // Line 2's answer was on its way: a command sent later waits for it...
    Link.SendLine("$G");
    EXPECT_EQ(Port.Writes.back(), "G1X2F100\n");
    EXPECT_EQ(Link.Queued(), 1);
    Link.ParseReply("ok\r\n");
    EXPECT_EQ(Port.Writes.back(), "$G\n");
    // ... and gets its own answer.
    EXPECT_EQ(Link.Unanswered(), 1);
    Link.ParseReply("ok\r\n");
    EXPECT_EQ(Link.Unanswered(), 0);

    // An answer that never comes: two resting reports let the next run go.
    EveryTurn([&] {
        if (Link.SentCount < 2)
            return true;
        Link.RequestAbort();
        return false;
    });
    ASSERT_TRUE(Link.StreamFile(1));
    Link.SendLine("$G");
    Link.ParseReply(StatusLine("Idle"));
    EXPECT_EQ(Link.Queued(), 1);
    Link.ParseReply(StatusLine("Idle"));
    EXPECT_EQ(Link.Queued(), 0);
    EXPECT_EQ(Port.Writes.back(), "$G\n");
}
