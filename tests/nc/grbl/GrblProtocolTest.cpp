#include "nc/grbl/GRBLCnc.h"
#include "nc/grbl/GRBLMacros.h"
#include "nc/grbl/GRBLProtocol.h"
#include "tests/nc/grbl/GrblTestFakes.h"

#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace kbtest;

namespace {

std::vector<std::string> FeedAll(const std::vector<std::string>& chunks)
{
    TGrblLineAssembler assembler;
    std::vector<std::string> lines;
    for (const std::string& chunk : chunks)
        for (std::string& line : assembler.Feed(chunk))
            lines.push_back(std::move(line));
    return lines;
}

} // namespace

TEST(GrblLineAssembler, CutsAtLineFeedsHoweverSplit)
{
    const std::string longLine(300, 'x');
    std::vector<std::string> longChunks;
    for (size_t at = 0; at < longLine.size(); at += 7)
        longChunks.push_back(longLine.substr(at, 7));
    longChunks.push_back("\r\n");
    struct TCase {
        const char* Name;
        std::vector<std::string> Chunks;
        std::vector<std::string> Lines;
    };
    const TCase cases[] = {
        {"ok split in its word", {"o", "k\r\n"}, {"ok"}},
        {"CR and LF in two reads", {"ok\r", "\n"}, {"ok"}},
        {"a read starting with the LF before", {"\nok\r\n<Idle|MPos:0.000,0.000,0.000|FS:0,0>\r\n"},
         {"ok", "<Idle|MPos:0.000,0.000,0.000|FS:0,0>"}},
        {"two answers in one read", {"ok\r\nok\r\n"}, {"ok", "ok"}},
        {"empty lines dropped", {"\r\n", "\r\n\r\n", "ok\n"}, {"ok"}},
        {"300 characters in pieces", longChunks, {longLine}},
        {"a tail waits", {"ok\r\ner", "ror:2"}, {"ok"}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FeedAll(c.Chunks), c.Lines) << c.Name;

    // Every split into three reads gives the same lines.
    const std::string stream = "ok\r\n<Hold:1|WPos:1.000,2.000,3.000|FS:0,0>\r\nerror:20\r\n\r\nGrbl 1.1h ['$' for help]\r\n";
    const std::vector<std::string> whole = FeedAll({stream});
    ASSERT_EQ(whole.size(), 4u);
    for (size_t i = 0; i <= stream.size(); ++i)
        for (size_t j = i; j <= stream.size(); ++j)
            ASSERT_EQ(FeedAll({stream.substr(0, i), stream.substr(i, j - i), stream.substr(j)}), whole) << i << "," << j;
}

TEST(GrblLineAssembler, KeepsALineWithoutEndBounded)
{
    TGrblLineAssembler assembler;
    const std::string noise(100000, 'a');
    EXPECT_TRUE(assembler.Feed(noise).empty());
    EXPECT_EQ(assembler.Pending().size(), TGrblLineAssembler::MaxLine);
    const std::vector<std::string> lines = assembler.Feed("\nok\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "ok");
}

TEST(GrblStatus, BothFormsWithTheirFields)
{
    struct TCase {
        const char* Line;
        const char* State;
        const char* Name; // empty: no position
        std::array<const char*, 3> Axis;
        bool Converts;
    };
    const TCase cases[] = {
        {"<Idle|MPos:1.000,2.000,3.000|FS:0,0>", "Idle", "MPos", {"1.000", "2.000", "3.000"}, true},
        {"<Hold:1|WPos:-1.500,0.000,10.250|Bf:15,128|FS:0,0>", "Hold:1", "WPos", {"-1.500", "0.000", "10.250"}, true},
        {"<Run|MPos:5.000,6.000,7.000|FS:500,0|Pn:XZ|WCO:1.000,2.000,3.000>", "Run", "MPos", {"5.000", "6.000", "7.000"}, true},
        {"<Idle|WCO:9.000,9.000,9.000|WPos:4.000,5.000,6.000|Ov:100,100,100>", "Idle", "WPos", {"4.000", "5.000", "6.000"}, true},
        {"<Hold:0|WPos:0.000,0.000,0.000|Bf:15,128|FS:0,0|Pn:P>", "Hold:0", "WPos", {"0.000", "0.000", "0.000"}, true},
        {"<Idle,MPos:1.000,2.000,3.000,WPos:0.000,0.000,0.000>", "Idle", "MPos", {"1.000", "2.000", "3.000"}, true},
        {"<Check,MPos:1.000,2.000,3.000>", "Check", "MPos", {"1.000", "2.000", "3.000"}, true},
        {"<Alarm|FS:0,0>", "Alarm", "", {"", "", ""}, false},
        {"<Idle|MPos:1.000,2.000|FS:0,0>", "Idle", "", {"", "", ""}, false},
        {"<Idle|MPos:a,2.000,3.000|FS:0,0>", "Idle", "MPos", {"a", "2.000", "3.000"}, false},
        {"<Idle|MPos:1,0x2,3|FS:0,0>", "Idle", "MPos", {"1", "0x2", "3"}, false},
        {"<Idle|MPos:inf,2,3|FS:0,0>", "Idle", "MPos", {"inf", "2", "3"}, false},
        {"<Idle,MPos:1.000>", "Idle", "", {"", "", ""}, false},
        {"<", "", "", {"", "", ""}, false},
    };
    // Numbers convert with "." whatever the process locale says.
    const std::string oldLocale = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    for (const TCase& c : cases) {
        const TGrblStatus s = ParseGrblStatus(c.Line);
        EXPECT_EQ(s.State, c.State) << c.Line;
        EXPECT_EQ(s.HasPosition, *c.Name != 0) << c.Line;
        EXPECT_EQ(s.PositionName, c.Name) << c.Line;
        if (s.HasPosition) {
            for (size_t i = 0; i < 3; ++i) {
                EXPECT_EQ(s.Axis[i], c.Axis[i]) << c.Line;
            }
        }
        EXPECT_EQ(s.Position().has_value(), c.Converts) << c.Line;
    }
    std::setlocale(LC_NUMERIC, oldLocale.c_str());
    const std::array<double, 3> p = *ParseGrblStatus("<Hold:1|WPos:-1.500,0.000,10.250|FS:0,0>").Position();
    EXPECT_EQ(p, (std::array<double, 3>{-1.5, 0.0, 10.25}));
    // The items of the 0.9 form as the old split gives them, and the 1.1 form in the same order.
    EXPECT_EQ(ParseGrblStatus("<Idle,MPos:1.000,2.000,3.000>").Items,
              (std::vector<std::string>{"Idle", "MPos", "1.000", "2.000", "3.000"}));
    EXPECT_EQ(ParseGrblStatus("<Idle|MPos:1.000,2.000,3.000|FS:0,0>").Items,
              (std::vector<std::string>{"Idle", "MPos", "1.000", "2.000", "3.000", "FS:0,0"}));
}

TEST(GrblReply, Classes)
{
    EXPECT_EQ(ClassifyGrblReply("ok"), EGrblReply::Ok);
    EXPECT_EQ(ClassifyGrblReply("error:20"), EGrblReply::Error);
    EXPECT_EQ(ClassifyGrblReply("error: Unsupported statement"), EGrblReply::Error);
    EXPECT_EQ(ClassifyGrblReply("ALARM:3"), EGrblReply::Alarm);
    EXPECT_EQ(ClassifyGrblReply("<Idle|MPos:0,0,0>"), EGrblReply::Status);
    EXPECT_EQ(ClassifyGrblReply("Grbl 1.1h ['$' for help]"), EGrblReply::Banner);
    EXPECT_EQ(ClassifyGrblReply("[GC:G0 G54 G17 G21 G90 G94 M5 M9 T0 F0 S0]"), EGrblReply::Other);
}

TEST(GrblReply, LinesThatWriteTheSettingsMemory)
{
    struct TCase {
        const char* Line;
        bool Writes;
    };
    const TCase cases[] = {
        {"$10=2", true},        {"$ 132 = 200", true},  {"$N0=G54", true},    {"$n1=G20", true},
        {"$RST=*", true},       {"$I=mill", true},      {"G10L20P2X0", true}, {"g10 l2 p1 x5", true},
        {"G28.1", true},        {"G30.1", true},        {"G0 G10 L20 P0 X0", true},
        {"$10", false},         {"$N", false},          {"$$", false},        {"$G", false},
        {"$J=G91 G21 X1 F100", false},                  {"$C", false},        {"$X", false},
        {"G28", false},         {"G30", false},         {"G1 X10 (G10 is not here)", false},
        {"G1 X10 ; G10", false}, {"G100", false},       {"", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(GrblWritesSettings(c.Line), c.Writes) << c.Line;
}

TEST(GrblReply, WorkSystemAndDwellWords)
{
    EXPECT_EQ(GrblWcsWord("[GC:G0 G55 G17 G21 G90 G94 M5 M9 T0 F0 S0]"), 1);
    EXPECT_EQ(GrblWcsWord("[GC:G1 G59 G17 G20 G91 G94 M3 M9 T1 F500 S9000]"), 5);
    EXPECT_EQ(GrblWcsWord("g56 g0 x1"), 2);
    EXPECT_EQ(GrblWcsWord("G0 X1 (G57)"), std::nullopt);
    EXPECT_EQ(GrblWcsWord("G53 G0 Z0"), std::nullopt);
    EXPECT_EQ(GrblWcsWord("G54.1"), std::nullopt);
    EXPECT_EQ(GrblWcsWord("[G55:1.000,2.000,0.000]"), std::nullopt) << "an offset, not the active system";
    EXPECT_EQ(GrblWcsWord("$N0=G55"), std::nullopt);

    EXPECT_DOUBLE_EQ(GrblDwellSeconds("G4 P2.5"), 2.5);
    EXPECT_DOUBLE_EQ(GrblDwellSeconds("g04p3"), 3.0);
    EXPECT_DOUBLE_EQ(GrblDwellSeconds("G4 P -1"), 0.0);
    EXPECT_DOUBLE_EQ(GrblDwellSeconds("G1 X1 P2"), 0.0);
    EXPECT_DOUBLE_EQ(GrblDwellSeconds("G40 P2"), 0.0);
}

TEST(GrblReply, ErrorsAndAlarmsSayWhatTheyMean)
{
    EXPECT_EQ(GrblExplainReply("error:20"), "error:20 (unsupported or invalid g-code command)");
    EXPECT_EQ(GrblExplainReply("error:9"), "error:9 (g-code is locked out during an alarm or a jog)");
    EXPECT_EQ(GrblExplainReply("ALARM:1"), "ALARM:1 (hard limit hit; the position is likely lost, home again)");
    EXPECT_EQ(GrblExplainReply("ALARM:3"), "ALARM:3 (reset while moving; the position is likely lost, home again)");
    // Every code of GRBL 1.1 has its meaning.
    for (int code = 1; code <= 38; ++code) {
        if (code == 18 || code == 19)
            continue; // not used by GRBL 1.1
        const std::string reply = "error:" + std::to_string(code);
        EXPECT_GT(GrblExplainReply(reply).size(), reply.size() + 3) << reply;
    }
    for (int code = 1; code <= 9; ++code) {
        const std::string reply = "ALARM:" + std::to_string(code);
        EXPECT_GT(GrblExplainReply(reply).size(), reply.size() + 3) << reply;
    }
    // Unknown codes, other forms and other replies stay as they came.
    for (const char* same : {"error:99", "error:", "error:20x", "error: Unsupported statement", "ALARM:77", "ok",
                             "[MSG:Reset to continue]"})
        EXPECT_EQ(GrblExplainReply(same), same);
}

class GrblLink : public ::testing::Test {
protected:
    GrblLink()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Port.OnReceived = [this](std::string_view bytes) { Link.ParseReply(bytes); };
    }
    ~GrblLink() override { SetLanguageIni(nullptr); }

    // Opens the port and connects; the fake answers the reset at once.
    void Connect()
    {
        ASSERT_TRUE(ConnectOverRecordingLine(Port, Link));
    }

    TRecordingTransport Port;
    TMemoryConsole Console;
    TManualClock Clock;
    TGRBLCnc Link{Port, Console, Clock};
};

TEST_F(GrblLink, BytesOfEveryCommand)
{
    Port.Open("/dev/null", 115200);
    ASSERT_TRUE(Link.Connect());
    EXPECT_EQ(Port.Writes, (std::vector<std::string>{"\x18", "$10=2\n"})) << "reset alone, then a line that writes settings";
    Link.ParseReply("ok\r\n");
    EXPECT_EQ(Port.Writes.back(), "$G\n") << "the next line after its answer";
    EXPECT_TRUE(Console.Holds("Grbl 1.1h"));
    Port.AnswerOk = true;

    struct TCase {
        const char* Name;
        std::function<void(TGRBLCnc&)> Action;
        std::vector<std::string> Bytes;
    };
    const TCase cases[] = {
        {"status poll", [](TGRBLCnc& l) { l.SendRealtime(GrblStatusPoll); }, {"?"}},
        {"feed hold", [](TGRBLCnc& l) { l.SendRealtime(GrblFeedHold); }, {"!"}},
        {"resume", [](TGRBLCnc& l) { l.SendRealtime(GrblResume); }, {"~"}},
        {"soft reset", [](TGRBLCnc& l) { l.SoftReset(); }, {"\x18"}},
        {"jog X+ 0.5", [](TGRBLCnc& l) { l.Jog(1, "0.5"); }, {"$J=G91 G21 X0.5 F100000\n"}},
        {"jog Z- 10", [](TGRBLCnc& l) { l.Jog(4, "10"); }, {"$J=G91 G21 Z-10 F100000\n"}},
        {"jog tag out of range", [](TGRBLCnc& l) { l.Jog(6, "1"); }, {}},
        {"zero Y in G55",
         [](TGRBLCnc& l) {
             l.WcsIndex = 1;
             l.Zero(1);
         },
         {"G10L20P2Y0\n", "$G\n"}},
        {"zero all in G54",
         [](TGRBLCnc& l) {
             l.WcsIndex = 0;
             l.Zero(3);
         },
         {"G10L20P1X0Y0Z0\n", "$G\n"}},
        {"select G57", [](TGRBLCnc& l) { l.SelectWcs(3); }, {"G57\n", "$G\n"}},
        {"machine position", [](TGRBLCnc& l) { l.SendLine("$10=1"); }, {"$10=1\n"}},
        {"homing", [](TGRBLCnc& l) { l.SendLine("$H"); }, {"$H\n"}},
        {"check mode", [](TGRBLCnc& l) { l.SendLine("$C"); }, {"$C\n"}},
        {"empty typed line: a bare LF", [](TGRBLCnc& l) { l.SendLine(""); }, {"\n"}},
        {"real-time bytes and line ends left out",
         [](TGRBLCnc& l) { l.SendLine("G1X1 (hold!?~)\x91\x18\r\nY2"); }, {"G1X1 (hold)Y2\n"}},
        {"macro of two commands", [](TGRBLCnc& l) { l.SendMacro("G0X0Y0;G0Z5;"); }, {"G0X0Y0\n", "G0Z5\n"}},
        {"macro without ';'", [](TGRBLCnc& l) { l.SendMacro("G0X0"); }, {}},
        {"macro with an empty segment", [](TGRBLCnc& l) { l.SendMacro("G0X0;;M5"); }, {"G0X0\n", "\n"}},
    };
    for (const TCase& c : cases) {
        Port.Writes.clear();
        c.Action(Link);
        EXPECT_EQ(Port.Writes, c.Bytes) << c.Name;
    }
    // With the port closed, work offsets and macros send nothing.
    Link.PortClosed();
    Port.Writes.clear();
    Link.SelectWcs(2);
    Link.SendMacro("G0X0;");
    EXPECT_TRUE(Port.Writes.empty());
    EXPECT_EQ(Link.WcsIndex, 2);
}

TEST_F(GrblLink, CountsAnswersInOrder)
{
    Connect();
    EXPECT_EQ(Link.Unanswered(), 0);
    Link.SendLines({"$#", "G0X1", "$G"});
    EXPECT_EQ(Link.Unanswered(), 3);
    Link.ParseReply("[G54:0.000,0.000,0.000]\r\no");
    EXPECT_EQ(Link.Unanswered(), 3) << "an answer counts when its LF arrives";
    Link.ParseReply("k\r\nerror:9\r\n");
    EXPECT_EQ(Link.Unanswered(), 1);
    EXPECT_TRUE(Console.Holds("error:9 (g-code is locked out during an alarm or a jog)"));
    EXPECT_FALSE(Console.Holds("ok"));
    Link.ParseReply("ok\r\nok\r\n");
    EXPECT_EQ(Link.Unanswered(), 0) << "a stray ok does not go below zero";
    // A reset, a banner and a closed port each forget what is unanswered.
    Link.SendLines({"G0X1", "G0X2"});
    Link.ParseReply("\r\nGrbl 1.1h ['$' for help]\r\n");
    EXPECT_EQ(Link.Unanswered(), 0);
    Link.SendLine("G0X1");
    Link.SoftReset();
    EXPECT_EQ(Link.Unanswered(), 0);
    EXPECT_TRUE(Link.Stopped());
    Link.SendLine("G0X1");
    Link.PortClosed();
    EXPECT_EQ(Link.Unanswered(), 0);
    // Check mode follows the controller's messages.
    Link.ParseReply("[MSG:Enabled]\r\n");
    EXPECT_TRUE(Link.CheckMode());
    Link.ParseReply("[MSG:Disabled]\r\n");
    EXPECT_FALSE(Link.CheckMode());
}

TEST_F(GrblLink, QueuesWithinTheBufferAndAfterSettingsWrites)
{
    Connect();
    // Nothing follows a settings write before its answer.
    Link.SendLines({"$10=1", "$G"});
    EXPECT_EQ(Port.Writes, (std::vector<std::string>{"$10=1\n"}));
    EXPECT_EQ(Link.Queued(), 1);
    Link.ParseReply("ok\r\n");
    EXPECT_EQ(Port.Writes, (std::vector<std::string>{"$10=1\n", "$G\n"}));
    Link.ParseReply("ok\r\n");

    // A macro fills the receive buffer and waits for room.
    const std::string segment = "G1X1.000Y2.000F100.0";
    std::string macro;
    for (int i = 0; i < 10; ++i)
        macro += segment + ";";
    Port.Writes.clear();
    Link.SendMacro(macro);
    const size_t fit = TGRBLCnc::RxBufferBytes / (segment.size() + 1);
    ASSERT_EQ(fit, 6u);
    EXPECT_EQ(Port.Writes.size(), fit);
    EXPECT_EQ(Link.Queued(), int(10 - fit));
    Link.ParseReply("ok\r\n");
    EXPECT_EQ(Port.Writes.size(), fit + 1);
    Link.ParseReply("ok\r\nok\r\nok\r\n");
    EXPECT_EQ(Port.Writes.size(), 10u);
    EXPECT_EQ(Link.Queued(), 0);
    Link.ParseReply("ok\r\nok\r\nok\r\nok\r\nok\r\nok\r\n");
    EXPECT_EQ(Link.Unanswered(), 0);

    // A line longer than the buffer goes alone.
    const std::string longLine = "G1X1 (" + std::string(150, 'c') + ")";
    Port.Writes.clear();
    Link.SendLines({longLine, "G0X0"});
    EXPECT_EQ(Port.Writes, (std::vector<std::string>{longLine + "\n"}));
    Link.ParseReply("ok\r\n");
    EXPECT_EQ(Port.Writes.back(), "G0X0\n");
}

TEST_F(GrblLink, ACommandTheMachineDoesNotAnswerIsGivenUp)
{
    Connect();
    const std::string idle = "<Idle|WPos:0.000,0.000,0.000|FS:0,0>\r\n";
    Link.SendLines({"$10=1", "$G"});
    for (int report = 1; report < TGRBLCnc::IdleReportsWithoutAnswer; ++report)
        Link.ParseReply(idle);
    Link.ParseReply("<Run|WPos:0.000,0.000,0.000|FS:0,0>\r\n");
    for (int report = 1; report < TGRBLCnc::IdleReportsWithoutAnswer; ++report)
        Link.ParseReply(idle);
    EXPECT_EQ(Link.Unanswered(), 1) << "a report in motion starts the count again";
    Link.ParseReply(idle);
    EXPECT_EQ(Link.Unanswered(), 0);
    EXPECT_EQ(Console.Lines.back(), "No answer to \"$10=1\" while the machine reports Idle; not waited for any longer.");
    // Its answer may still come: the next command waits for two more reports.
    EXPECT_EQ(Port.Writes, (std::vector<std::string>{"$10=1\n"}));
    Link.ParseReply(idle);
    Link.ParseReply(idle);
    EXPECT_EQ(Port.Writes, (std::vector<std::string>{"$10=1\n", "$G\n"}));
}

TEST_F(GrblLink, WorkSystemAndCheckModeFollowTheMachine)
{
    int told = 0;
    Link.OnMachineChanged = [&] { ++told; };
    Connect();
    EXPECT_EQ(Link.WcsIndex, 0);
    EXPECT_TRUE(Link.WcsKnown());

    // The machine is in G55: zero writes there and switches nothing.
    Link.ParseReply("[GC:G0 G55 G17 G21 G90 G94 M5 M9 T0 F0 S0]\r\n");
    EXPECT_EQ(Link.WcsIndex, 1);
    Link.Zero(0);
    EXPECT_EQ(Port.Writes, (std::vector<std::string>{"G10L20P2X0\n"}));
    Link.ParseReply("ok\r\n");
    EXPECT_EQ(Port.Writes, (std::vector<std::string>{"G10L20P2X0\n", "$G\n"}));
    Link.ParseReply("[GC:G0 G55 G17 G21 G90 G94 M5 M9 T0 F0 S0]\r\nok\r\n");

    // A choice is the machine's once answered; so is a typed G5x word.
    Link.SelectWcs(3);
    EXPECT_EQ(Link.WcsIndex, 1) << "until the machine answers";
    Link.ParseReply("ok\r\n");
    EXPECT_EQ(Link.WcsIndex, 3);
    Link.ParseReply("[GC:G0 G57 G17 G21 G90 G94 M5 M9 T0 F0 S0]\r\nok\r\n");
    Link.SendLine("G56 G0 X1");
    Link.ParseReply("ok\r\n");
    EXPECT_EQ(Link.WcsIndex, 2);
    Link.SendLine("G58 X1 Y");
    Link.ParseReply("error:2\r\n");
    EXPECT_EQ(Link.WcsIndex, 2) << "a refused line changes nothing";

    // Check mode: messages, banners and the reported state.
    struct TStep {
        const char* Reply;
        bool Check;
    };
    const TStep steps[] = {
        {"[MSG:Enabled]", true},
        {"\r\nGrbl 1.1h ['$' for help]", false},
        {"<Check|WPos:0.000,0.000,0.000|FS:0,0>", true},
        {"<Idle|WPos:0.000,0.000,0.000|FS:0,0>", false},
        {"[MSG:Enabled]", true},
        {"[MSG:Disabled]", false},
    };
    for (const TStep& step : steps) {
        const int before = told;
        Link.ParseReply(std::string(step.Reply) + "\r\n");
        EXPECT_EQ(Link.CheckMode(), step.Check) << step.Reply;
        EXPECT_GT(told, before) << step.Reply;
    }
}

TEST_F(GrblLink, StatusDisplayAndMarker)
{
    TRecordingMarker marker;
    EXPECT_FALSE(Link.StatusDisplay()) << "no report yet";
    Link.ParseReply("<Idle|MPos:1.000,2.000,3.000|FS:0,0>\r\n");
    std::optional<TGrblStatusDisplay> d = Link.StatusDisplay();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->State, "Idle");
    EXPECT_EQ(d->Axis, (std::array<std::string, 3>{"1.000", "2.000", "3.000"}));
    EXPECT_TRUE(marker.Moves.empty()) << "not tracked";
    EXPECT_TRUE(Console.Lines.empty()) << "status is shown only when verbose";

    Link.TrackPosition = true;
    Link.VerboseStatus = true;
    Link.ParseReply("<Hold:1|WPos:4.500,-5.000,6.000|Bf:15,128|FS:0,0>\r\n");
    d = Link.StatusDisplay();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->State, "Hold:1");
    ASSERT_EQ(marker.Moves.size(), 1u);
    EXPECT_EQ(marker.Moves[0], (std::array<double, 3>{4.5, -5.0, 6.0}));
    EXPECT_FLOAT_EQ(Link.PosY, -5.0f);
    EXPECT_EQ(Console.Lines.size(), 1u);

    // A report without a usable position leaves labels and marker alone.
    for (const char* bad : {"<Alarm|FS:0,0>\r\n", "<Idle|MPos:x,y,z|FS:0,0>\r\n"}) {
        Link.ParseReply(bad);
        EXPECT_FALSE(Link.StatusDisplay()) << bad;
    }
    EXPECT_EQ(marker.Moves.size(), 1u);
}

TEST_F(GrblLink, CountsFileLinesAndRefusesMissingFiles)
{
    TTempDir dir;
    WriteFileText(dir.File("p.nc"), "G0X0\nG1X1F100\r\nM5");
    Link.FileName = dir.File("p.nc");
    EXPECT_EQ(Link.CountFileLines(), 3);
    EXPECT_EQ(Link.TotalSuffix, " / 3");
    Link.FileName = dir.File("missing.nc");
    EXPECT_THROW(Link.CountFileLines(), std::runtime_error);
}

TEST(GrblMacros, ReadChangeWriteKeepsTheRestOfTheFile)
{
    TTempDir dir;
    const std::string ini = dir.File("kestrabel.ini");
    WriteFileText(ini, "[Default]\nUnit=1\n[GRBLMacros]\nMacro0=G0X0;\n[MRURF]\nFile0=a.kvx\n");
    TGrblMacros macros = ReadGrblMacros(ini);
    EXPECT_EQ(macros[0], "G0X0;");
    EXPECT_EQ(macros[5], "");
    macros[2] = "$H;";
    EXPECT_EQ(WriteGrblMacros(ini, macros), "");
    const std::string text = ReadFileText(ini);
    EXPECT_NE(text.find("File0=a.kvx"), std::string::npos);
    EXPECT_NE(text.find("Unit=1"), std::string::npos);
    EXPECT_EQ(ReadGrblMacros(ini), macros);

    // The settings' own save keeps them.
    {
        TAppConfig config(dir.Path().string());
        ASSERT_TRUE(config.Save());
    }
    EXPECT_EQ(ReadGrblMacros(ini), macros);

    // An unreadable settings file is left alone.
    if (geteuid() != 0) {
        chmod(ini.c_str(), 0);
        EXPECT_NE(WriteGrblMacros(ini, macros), "");
        chmod(ini.c_str(), 0600);
        EXPECT_NE(ReadFileText(ini).find("File0=a.kvx"), std::string::npos);
    }
}
