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
        Port.Open("/dev/null", 115200);
        ASSERT_TRUE(Link.Connect());
        Link.ParseReply("ok\r\n[GC:G0 G54 G17 G21 G90 G94 M5 M9 T0 F0 S0]\r\nok\r\n");
        Port.Writes.clear();
    }

    TRecordingTransport Port;
    TMemoryConsole Console;
    TGRBLCnc Link{Port, Console};
};

TEST_F(GrblLink, BytesOfEveryCommand)
{
    Port.Open("/dev/null", 115200);
    ASSERT_TRUE(Link.Connect());
    EXPECT_EQ(Port.Writes, (std::vector<std::string>{"\x18", "$10=2\n", "$G\n"})) << "reset alone, then the lines";
    EXPECT_TRUE(Console.Holds("Grbl 1.1h"));

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
        {"jog X+ 0.5", [](TGRBLCnc& l) { l.Jog(1, "0.5"); }, {"G91G0X0.5\n", "G90\n"}},
        {"jog Z- 10", [](TGRBLCnc& l) { l.Jog(4, "10"); }, {"G91G0Z-10\n", "G90\n"}},
        {"jog tag out of range", [](TGRBLCnc& l) { l.Jog(6, "1"); }, {}},
        {"zero Y in G55",
         [](TGRBLCnc& l) {
             l.WcsIndex = 1;
             l.Zero(1);
         },
         {"G10L20P0Y0\n", "G55\n", "$G\n"}},
        {"zero all in G54",
         [](TGRBLCnc& l) {
             l.WcsIndex = 0;
             l.Zero(3);
         },
         {"G10L20P0X0Y0Z0\n", "G54\n", "$G\n"}},
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
    EXPECT_TRUE(Console.Holds("error:9"));
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
