// The link against the fake GRBL on a pseudo-terminal.

#include "tests/nc/grbl/GrblTestFakes.h"
#include "tests/nc_ui/GrblFakeTestSupport.h"

#include "core/settings/Language.h"

#include <gtest/gtest.h>

#include <QObject>
#include <QTimer>

#include <csignal>
#include <memory>

using namespace kbtest;

namespace {

class GrblFakeRun : public ::testing::Test {
protected:
    GrblFakeRun()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Port.Link = &Link;
        Port.OnReceived = [this](std::string_view bytes) {
            const int64_t reports = Link.StatusReports();
            Link.ParseReply(bytes);
            // The poll the window would send, a quarter of a second later.
            if (m_Polling && Link.StatusReports() > reports)
                QTimer::singleShot(0, &m_Context, [this] { Poll(); });
        };
        Port.OnFailed = [this](const std::string& reason) {
            Link.PortLost(reason);
            Port.Close();
        };
    }
    ~GrblFakeRun() override
    {
        m_Polling = false;
        SetLanguageIni(nullptr);
    }

    // Polls the status as the window does, one poll period on the clock
    // after each report.
    void StartPolling()
    {
        m_Polling = true;
        Link.SendRealtime(GrblStatusPoll);
    }
    void Poll()
    {
        Clock.Advance(TGRBLCnc::PollMs);
        Link.SendRealtime(GrblStatusPoll);
    }
    // Waits until every command sent was answered.
    bool Settled()
    {
        return QTest::qWaitFor([this] { return Link.Unanswered() == 0 && Link.Queued() == 0 && Link.Owed() == 0; },
                               5000);
    }
    // Polls until the machine reports Idle (its moves done).
    bool Idle()
    {
        return QTest::qWaitFor(
            [this] {
                Link.SendRealtime(GrblStatusPoll);
                return Link.MachineState() == "Idle";
            },
            5000);
    }
    // A command, and its answer; whatever was sent before it has arrived then.
    void Sync()
    {
        Link.SendLine("$I");
        ASSERT_TRUE(Settled());
    }

    void Start(const QStringList& options)
    {
        Fake = std::make_unique<TFakeGrbl>(Dir, options);
        ASSERT_FALSE(Fake->Device.empty());
        ASSERT_EQ(Port.Open(Fake->Device, 115200), "");
        ASSERT_TRUE(Link.Connect());
        ASSERT_TRUE(Settled());
        Port.MaxUnanswered = 0;
    }

    // Line i (1-based) of the programs below.
    static std::string ProgramLine(int i)
    {
        return "G1X" + std::to_string(i % 97) + "." + std::to_string(i % 10) + "Y" + std::to_string((i * 7) % 50) +
               "F2000";
    }
    // A program of count lines; line badLine (1-based) is replaced by bad.
    std::string Program(int count, int badLine = 0, const std::string& bad = {})
    {
        std::string text;
        for (int i = 1; i <= count; ++i)
            text += (i == badLine ? bad : ProgramLine(i)) + "\n";
        const std::string name = Dir.File("program" + std::to_string(++m_Programs) + ".nc");
        WriteFileText(name, text);
        return name;
    }

    // The program lines that reached the fake: what came after the connect's
    // "$10=2" and "$G".
    std::vector<std::string> ProgramLinesReceived() const
    {
        std::vector<std::string> lines = Fake->Received();
        const auto first = std::find(lines.begin(), lines.end(), "$G");
        return first == lines.end() ? lines : std::vector<std::string>(first + 1, lines.end());
    }

    TTempDir Dir;
    std::unique_ptr<TFakeGrbl> Fake;
    TWatchedPort Port;
    TMemoryConsole Console;
    TManualClock Clock;
    TGRBLCnc Link{Port, Console, Clock};

private:
    int m_Programs = 0;
    bool m_Polling = false;
    QObject m_Context;
};

} // namespace

TEST_F(GrblFakeRun, ConnectSendsTheLinesWholeAfterTheBanner)
{
    // The fake drops what arrives while it writes its settings memory.
    Start({"--eeprom-ms", "30"});
    const std::vector<std::string> log = Fake->Log();
    const auto at = [&](const std::string& entry) { return std::find(log.begin(), log.end(), entry) - log.begin(); };
    ASSERT_LT(at("OUT Grbl 1.1h ['$' for help]"), std::ptrdiff_t(log.size()));
    EXPECT_LT(at("RT reset"), at("OUT Grbl 1.1h ['$' for help]"));
    EXPECT_LT(at("OUT Grbl 1.1h ['$' for help]"), at("IN $10=2"));
    EXPECT_EQ(Fake->Received(), (std::vector<std::string>{"$10=2", "$G"}));
    EXPECT_TRUE(Console.Holds("[GC:"));

    // Zero and a macro of settings writes: each line arrives whole.
    Link.Zero(3);
    Link.SendMacro("$10=1;$10=2;G28.1;$G;");
    ASSERT_TRUE(Settled());
    EXPECT_EQ(Fake->Received(), (std::vector<std::string>{"$10=2", "$G", "G10L20P1X0Y0Z0", "$G", "$10=1", "$10=2",
                                                          "G28.1", "$G"}));
    EXPECT_EQ(Fake->Count("EEPROM DROP"), 0);
}

TEST_F(GrblFakeRun, TwoThousandLinesWithSplitRepliesEachOnceInOrder)
{
    Start({"--split", "--seed", "7", "--block-ms", "0.3"});
    Link.FileName = Program(2000);
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_EQ(Link.SentCount, 2000);
    std::vector<std::string> expected;
    std::ifstream in(Link.FileName);
    for (std::string line; std::getline(in, line);)
        expected.push_back(line);
    EXPECT_EQ(ProgramLinesReceived(), expected);
    EXPECT_EQ(Port.MaxUnanswered, 1) << "never two lines unanswered";
    EXPECT_EQ(Fake->Count("OVERFLOW"), 0);
    EXPECT_FALSE(Console.Holds("error"));
    EXPECT_LE(Console.LineCount(), TGRBLCnc::ConsoleMaxLines);
}

TEST_F(GrblFakeRun, AbortInPassTwoOfThree)
{
    Start({});
    Link.FileName = Program(20);
    Link.OnRowDisplay = [this](const std::string&) {
        if (Link.SentCount == 25)
            Link.RequestAbort();
    };
    ASSERT_TRUE(Link.StreamFile(3));
    EXPECT_EQ(Link.SentCount, 25);
    EXPECT_EQ(Link.Unanswered(), 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return Link.Owed() == 0; }, 5000)) << "line 25's answer, late";
    EXPECT_EQ(ProgramLinesReceived().size(), 25u) << "no line of the third pass";
}

TEST_F(GrblFakeRun, ErrorEndsARunCheckModeListsAndGoesOn)
{
    Start({});
    Link.FileName = Program(30, 5, "G41D1");
    ASSERT_TRUE(Link.StreamFile(2));
    EXPECT_EQ(Link.SentCount, 5);
    EXPECT_EQ(Console.Lines.back(), "Run stopped at line 5: error:20 (unsupported or invalid g-code command)");
    Sync();
    EXPECT_EQ(ProgramLinesReceived().size(), 6u) << "five lines and the sync's";

    // Check mode (once the moves are done): every line checked, the errors
    // listed.
    ASSERT_TRUE(Idle());
    Link.SendLine("$C");
    ASSERT_TRUE(QTest::qWaitFor([this] { return Link.CheckMode() && Link.Unanswered() == 0; }, 5000));
    Link.FileName = Program(30, 7, "M6T2");
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_EQ(Link.SentCount, 30);
    EXPECT_TRUE(Console.Holds("Line 7: error:20 (unsupported or invalid g-code command)"));
    EXPECT_FALSE(Console.Holds("Run stopped at line 7"));
}

TEST_F(GrblFakeRun, OwnProgramOfGrbl11WordsChecksWithoutError)
{
    Start({});
    Link.SendLine("$C");
    ASSERT_TRUE(QTest::qWaitFor([this] { return Link.CheckMode() && Link.Unanswered() == 0; }, 5000));
    Link.FileName = Dir.File("words.nc");
    WriteFileText(Link.FileName,
                  "(a program of the words GRBL 1.1 takes)\n"
                  "G21 G90 G94 G17 G54\n"
                  "G40 G49 G80 G91.1\n"
                  "T1 M3 S12000\n"
                  "G0 Z5.000 ; a comment\n"
                  "G0 X10.000 Y-2.500\n"
                  "G1 Z-1.000 F300\n"
                  "N10 G1 X20.000 Y0 F800\n"
                  "G2 X30.000 Y10.000 I0 J10.000\n"
                  "G3 X20.000 Y20.000 R10.000\n"
                  "G4 P0.5\n"
                  "G91 G0 Z2\n"
                  "G90 G53 G0 Z-1\n"
                  "G10 L20 P1 X0 Y0\n"
                  "G28\n"
                  "M8\nM9\nM5\nM30\n");
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_FALSE(Console.Holds("error")) << Console.Lines.back();
    EXPECT_EQ(Link.SentCount, 19);
}

// The writer's GRBL programs pass GRBL's own check mode line by line.
TEST_F(GrblFakeRun, WriterGoldensCheckWithoutError)
{
    Start({});
    Link.SendLine("$C");
    ASSERT_TRUE(QTest::qWaitFor([this] { return Link.CheckMode() && Link.Unanswered() == 0; }, 5000));
    for (const char* golden : {"GRBL_mm.nc", "GRBL_inch.nc"}) {
        SCOPED_TRACE(golden);
        Link.FileName = std::string(KB_FIXTURES_DIR) + "/nc/frame/" + golden;
        ASSERT_TRUE(Link.StreamFile(1));
        EXPECT_FALSE(Console.Holds("error")) << Console.Lines.back();
    }
}

TEST_F(GrblFakeRun, ResetAndAlarmEndARun)
{
    Start({"--block-ms", "40"});
    Link.FileName = Program(100);
    Link.OnRowDisplay = [this](const std::string&) {
        if (Link.SentCount == 20)
            Link.SoftReset();
    };
    ASSERT_TRUE(Link.StreamFile(2));
    EXPECT_EQ(Link.SentCount, 20);
    EXPECT_TRUE(Console.Holds("Run stopped: the machine was reset after line 20 was sent."));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Console.Holds("ALARM:3"); }, 5000)) << "a reset in motion";
    ASSERT_TRUE(QTest::qWaitFor([this] { return Console.Holds("[MSG:'$H'|'$X' to unlock]"); }, 5000));
    EXPECT_EQ(Link.Unanswered(), 0);

    // Reconnect (the reset stopped the link until the port opens again),
    // unlock, and run again.
    Link.PortClosed();
    ASSERT_TRUE(Link.Connect());
    Link.SendLine("$X");
    ASSERT_TRUE(Settled());
    Link.OnRowDisplay = nullptr;
    Link.FileName = Program(5);
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_EQ(Link.SentCount, 5);
    EXPECT_EQ(Console.Lines.back(), ProgramLine(5));
}

TEST_F(GrblFakeRun, AnAlarmEndsTheRunAfterTheLineSent)
{
    // The twelfth line to arrive, program line 10, trips a hard limit.
    Start({"--alarm-at", "12"});
    Link.FileName = Program(100);
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_EQ(Link.SentCount, 10);
    EXPECT_TRUE(Console.Holds("ALARM:1 (hard limit hit; the position is likely lost, home again)"));
    EXPECT_TRUE(Console.Holds("Run stopped: ALARM:1 (hard limit hit; the position is likely lost, home again) came "
                              "during the run, after line 10 was sent."));
    EXPECT_EQ(Link.Unanswered(), 0);
}

TEST_F(GrblFakeRun, AMachineThatStopsAnsweringEndsTheRunNamingTheLine)
{
    // Two lines of the connect, then program lines: the seventh line to
    // arrive is program line 5.
    struct TCase {
        const char* Name;
        QStringList Options;
        int Line;           // the unanswered program line
        int NextRunSent;    // the lines the next run sends
    };
    const TCase cases[] = {
        {"silent after line 5", {"--silent-after", "7"}, 6, 1},
        {"the answer to line 5 lost", {"--drop-reply", "7"}, 5, 10},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Console.Lines.clear();
        Start(c.Options);
        Link.FileName = Program(10);
        StartPolling();
        ASSERT_TRUE(Link.StreamFile(1));
        EXPECT_EQ(Link.SentCount, c.Line);
        EXPECT_TRUE(Console.Holds("Run stopped at line " + std::to_string(c.Line) + ": no answer to \"" +
                                  ProgramLine(c.Line) + "\" while the machine reports Idle."))
            << Console.Lines.back();
        EXPECT_EQ(Link.Unanswered(), 0);
        // The next run does not wait for the lost answer.
        ASSERT_TRUE(Link.StreamFile(1));
        EXPECT_EQ(Link.SentCount, c.NextRunSent);
        Port.Close();
        Link.PortClosed();
    }
}

TEST_F(GrblFakeRun, NoStatusForTenSecondsEndsTheRun)
{
    // From the fourth line on (program line 2) the fake answers nothing.
    Start({"--deaf-after", "3"});
    Link.FileName = Program(10);
    QObject context;
    bool runningBefore = false;
    Link.OnRowDisplay = [&](const std::string&) {
        if (Link.SentCount != 2)
            return;
        QTimer::singleShot(0, &context, [&] {
            Clock.Advance(TGRBLCnc::StatusTimeoutMs - 1);
            QTimer::singleShot(0, &context, [&] {
                runningBefore = Link.Running() && !Console.Holds("Run stopped");
                Clock.Advance(1);
            });
        });
    };
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_TRUE(runningBefore);
    EXPECT_EQ(Link.SentCount, 2);
    EXPECT_EQ(Console.Lines.back(), "Run stopped at line 2: no status report from the machine for 10 s.");
}

TEST_F(GrblFakeRun, APortLostMidRunSaysWhereTheRunStopped)
{
    // The ninth line to arrive, program line 7, is the last: the device goes.
    Start({"--close-after", "9"});
    Link.FileName = Program(20);
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_EQ(Link.SentCount, 7);
    EXPECT_TRUE(Console.Holds("Connection to the machine lost; the run stopped at line 7 (")) << Console.Lines.back();
    EXPECT_FALSE(Link.PortOpen());
    EXPECT_FALSE(Port.IsOpen());
}

TEST_F(GrblFakeRun, JunkBetweenAnswersIsShownAndTheRunGoesOn)
{
    Start({"--junk-before", "6"});
    Link.FileName = Program(10);
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_EQ(Link.SentCount, 10);
    EXPECT_EQ(ProgramLinesReceived().size(), 10u);
    EXPECT_TRUE(Console.Holds("noise"));
    EXPECT_FALSE(Console.Holds("Run stopped"));
    EXPECT_EQ(Link.Unanswered(), 0);
}

TEST_F(GrblFakeRun, ZeroGoesIntoTheMachinesWorkSystemAndJogLeavesNoTrace)
{
    Start({"--wcs", "1"});
    EXPECT_EQ(Link.WcsIndex, 1) << "read from the connect's $G";
    const auto parserState = [this] {
        Link.SendLine("$G");
        EXPECT_TRUE(Settled());
        for (auto line = Console.Lines.rbegin(); line != Console.Lines.rend(); ++line)
            if (line->starts_with("[GC:"))
                return *line;
        return std::string();
    };
    const std::string before = parserState();
    EXPECT_NE(before.find(" G55 "), std::string::npos) << before;
    Link.Jog(1, "5");
    EXPECT_EQ(parserState(), before) << "the jog changed no modal state";
    Link.Zero(0);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(parserState(), before) << "still in G55";
    Link.SendLine("$#");
    ASSERT_TRUE(Settled());
    EXPECT_TRUE(Console.Holds("[G55:5.000,0.000,0.000]"));
    EXPECT_TRUE(Console.Holds("[G54:0.000,0.000,0.000]"));
    const std::vector<std::string> received = Fake->Received();
    EXPECT_NE(std::find(received.begin(), received.end(), "$J=G91 G21 X5 F100000"), received.end());
    EXPECT_NE(std::find(received.begin(), received.end(), "G10L20P2X0"), received.end());
    EXPECT_EQ(std::find(received.begin(), received.end(), "G54"), received.end());
}

TEST_F(GrblFakeRun, ProgramLinesLoseTheBytesGrblWouldActOn)
{
    Start({});
    Link.FileName = Dir.File("rt.nc");
    WriteFileText(Link.FileName, "G0X1 (stop here!)\r\nG0X2 \x91\nG0X3?~\n");
    ASSERT_TRUE(Link.StreamFile(1));
    ASSERT_TRUE(Settled());
    EXPECT_EQ(ProgramLinesReceived(), (std::vector<std::string>{"G0X1 (stop here)", "G0X2 ", "G0X3"}));
    EXPECT_EQ(Fake->Count("RT hold"), 0);
    EXPECT_EQ(Fake->Count("RT override 0x91"), 0);
}

TEST(GrblConnect, GoesOnWithoutTheBannerSayingSo)
{
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
    TRecordingTransport port;
    TMemoryConsole console;
    TManualClock clock;
    TGRBLCnc link(port, console, clock);
    port.AnswerReset = false;
    port.Open("/dev/ttyFAKE", 115200);
    QObject context;
    bool waitingAtTheLastMs = false;
    QTimer::singleShot(0, &context, [&] {
        clock.Advance(TGRBLCnc::BannerWaitMs - 1);
        QTimer::singleShot(0, &context, [&] {
            waitingAtTheLastMs = port.Writes.size() == 1;
            clock.Advance(1);
        });
    });
    ASSERT_TRUE(link.Connect());
    EXPECT_TRUE(waitingAtTheLastMs);
    EXPECT_EQ(clock.NowMs(), TGRBLCnc::BannerWaitMs);
    EXPECT_EQ(port.Writes, (std::vector<std::string>{"\x18", "$10=2\n"}));
    EXPECT_TRUE(console.Holds("No answer to the reset"));

    // Closed while it waits: nothing more is sent.
    port.Writes.clear();
    QTimer::singleShot(0, &context, [&] { link.PortClosed(); });
    EXPECT_FALSE(link.Connect());
    EXPECT_EQ(port.Writes, (std::vector<std::string>{"\x18"}));
    SetLanguageIni(nullptr);
}
