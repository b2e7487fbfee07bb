// The link against the fake GRBL on a pseudo-terminal.

#include "tests/nc/grbl/GrblTestFakes.h"
#include "tests/nc_ui/GrblFakeTestSupport.h"

#include "core/settings/Language.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
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
        Port.OnReceived = [this](std::string_view bytes) { Link.ParseReply(bytes); };
    }
    ~GrblFakeRun() override { SetLanguageIni(nullptr); }

    void Start(const QStringList& options)
    {
        Fake = std::make_unique<TFakeGrbl>(Dir, options);
        ASSERT_FALSE(Fake->Device.empty());
        ASSERT_EQ(Port.Open(Fake->Device, 115200), "");
        ASSERT_TRUE(Link.Connect());
        ASSERT_TRUE(QTest::qWaitFor([this] { return Link.Unanswered() == 0; }, 5000));
        Port.MaxUnanswered = 0;
    }

    // A program of count lines; line badLine (1-based) is replaced by bad.
    std::string Program(int count, int badLine = 0, const std::string& bad = {})
    {
        std::string text;
        for (int i = 1; i <= count; ++i) {
            if (i == badLine) {
                text += bad + "\n";
                continue;
            }
            text += "G1X" + std::to_string(i % 97) + "." + std::to_string(i % 10) + "Y" + std::to_string((i * 7) % 50) +
                    "F2000\n";
        }
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
    TGRBLCnc Link{Port, Console};

private:
    int m_Programs = 0;
};

} // namespace

TEST_F(GrblFakeRun, ConnectSendsTheLinesWholeAfterTheBanner)
{
    Start({});
    const std::vector<std::string> log = Fake->Log();
    const auto at = [&](const std::string& entry) { return std::find(log.begin(), log.end(), entry) - log.begin(); };
    ASSERT_LT(at("OUT Grbl 1.1h ['$' for help]"), std::ptrdiff_t(log.size()));
    EXPECT_LT(at("RT reset"), at("OUT Grbl 1.1h ['$' for help]"));
    EXPECT_LT(at("OUT Grbl 1.1h ['$' for help]"), at("IN $10=2"));
    EXPECT_EQ(Fake->Received(), (std::vector<std::string>{"$10=2", "$G"}));
    EXPECT_TRUE(Console.Holds("[GC:"));
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
    ASSERT_TRUE(QTest::qWaitFor([this] { return Link.Unanswered() == 0; }, 5000));
    EXPECT_EQ(ProgramLinesReceived().size(), 25u) << "no line of the third pass";
}

TEST_F(GrblFakeRun, ErrorEndsARunCheckModeListsAndGoesOn)
{
    Start({});
    Link.FileName = Program(30, 5, "G41D1");
    ASSERT_TRUE(Link.StreamFile(2));
    EXPECT_EQ(Link.SentCount, 5);
    EXPECT_TRUE(Console.Holds("Run stopped at line 5: error:20")) << Console.Lines.back();
    QTest::qWait(100);
    EXPECT_EQ(ProgramLinesReceived().size(), 5u);

    // Check mode: every line checked, the errors listed.
    Link.SendLine("$C");
    ASSERT_TRUE(QTest::qWaitFor([this] { return Link.CheckMode() && Link.Unanswered() == 0; }, 5000));
    Link.FileName = Program(30, 7, "M6T2");
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_EQ(Link.SentCount, 30);
    EXPECT_TRUE(Console.Holds("Line 7: error:20"));
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
    ASSERT_TRUE(QTest::qWaitFor([this] { return Console.Holds("ALARM:3"); }, 5000)) << "a reset in motion";
    ASSERT_TRUE(QTest::qWaitFor([this] { return Console.Holds("[MSG:'$H'|'$X' to unlock]"); }, 5000));
    EXPECT_EQ(Link.Unanswered(), 0);

    // Reconnect (the reset stopped the link until the port opens again),
    // unlock, and trip a hard limit in the next run.
    Link.PortClosed();
    ASSERT_TRUE(Link.Connect());
    Link.SendLine("$X");
    ASSERT_TRUE(QTest::qWaitFor([this] { return Link.Unanswered() == 0; }, 5000));
    Link.OnRowDisplay = [this](const std::string&) {
        if (Link.SentCount == 10)
            ::kill(pid_t(Fake->Pid()), SIGUSR1);
    };
    ASSERT_TRUE(Link.StreamFile(1));
    EXPECT_TRUE(Console.Holds("ALARM:1"));
    EXPECT_TRUE(Console.Holds("Run stopped at line"));
    EXPECT_LT(Link.SentCount, 30);
}

TEST_F(GrblFakeRun, ProgramLinesLoseTheBytesGrblWouldActOn)
{
    Start({});
    Link.FileName = Dir.File("rt.nc");
    WriteFileText(Link.FileName, "G0X1 (stop here!)\r\nG0X2 \x91\nG0X3?~\n");
    ASSERT_TRUE(Link.StreamFile(1));
    ASSERT_TRUE(QTest::qWaitFor([this] { return Link.Unanswered() == 0; }, 5000));
    EXPECT_EQ(ProgramLinesReceived(), (std::vector<std::string>{"G0X1 (stop here)", "G0X2 ", "G0X3"}));
    EXPECT_EQ(Fake->Count("RT hold"), 0);
    EXPECT_EQ(Fake->Count("RT override 0x91"), 0);
}

TEST(GrblConnect, GoesOnWithoutTheBannerSayingSo)
{
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
    TRecordingTransport port;
    TMemoryConsole console;
    TGRBLCnc link(port, console);
    port.AnswerReset = false;
    port.Open("/dev/ttyFAKE", 115200);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(link.Connect());
    EXPECT_GE(clock.elapsed(), TGRBLCnc::BannerWaitMs - 50);
    EXPECT_EQ(port.Writes, (std::vector<std::string>{"\x18", "$10=2\n", "$G\n"}));
    EXPECT_TRUE(console.Holds("No answer to the reset"));

    // Closed while it waits: nothing more is sent.
    port.Writes.clear();
    QTimer::singleShot(100, [&] { link.PortClosed(); });
    EXPECT_FALSE(link.Connect());
    EXPECT_EQ(port.Writes, (std::vector<std::string>{"\x18"}));
    SetLanguageIni(nullptr);
}
