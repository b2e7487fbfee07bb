#include "nc/writer/ScriveGCode.h"

#include "core/settings/AppConfig.h"
#include "tests/nc/writer/WriterTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using kbtest::LoadedWriter;
using kbtest::TTestOperation;

// Settings in millimetres for the coordinate texts ([tool_info], [tr]).
class Writer : public ::testing::Test {
protected:
    Writer() : m_Config(m_Dir.Path().string()) { m_Config.SetUnit(true); }

    kbtest::TTempDir m_Dir;
    TAppConfig m_Config;
};

const char* const kNumbered = "[Block Numbering]\nOutputSeq=1\nPref=N\nSeqStart=10\nSeqInc=10\n";

// Template lines expanded as a section at (0, 0, 0), as the first lines of a
// program; every expected line exact, blanks counted.
TEST_F(Writer, ExpandsTemplateLines)
{
    const struct {
        const char* Name;
        std::string Pst;
        TPstLines Lines;
        TPstLines Expected;
        bool GasOn = false;
    } cases[] = {
        {"numbered", kNumbered, {"[n][gcode][x][y]"}, {"N10 G0 X0.000 Y0.000"}},
        {"numbered, trailing zeros off", std::string(kNumbered) + "[Default]\nDelZero=1\n", {"[n][gcode][x][y]"},
         {"N10 G0 X0. Y0."}},
        {"not numbered", "", {"[n][gcode][x][y]"}, {"G0 X0.000 Y0.000"}},
        {"an empty line takes no number", kNumbered, {"[n][coolant_on]", "[n]M30"}, {"N10 M30"}},
        {"separator after a comment opener only", "", {"([postname])", "(PROGRAM [postname])"},
         {"(MILL)", "(PROGRAM  MILL)"}},
        {"gas off drops the rest", "", {"[if_gason][gas_value]", "M7 [if_gason] M8"}, {"M7 "}},
        {"gas on", "", {"[if_gason][gas_value]", "M7 [if_gason] M8"}, {"P2.5", "M7  M8"}, true},
        {"other names are written as themselves", "", {"[G90]", "[X]", "G0 [x]", "[]M5"}, {"G90", "X0.000", "G0  X0.000", "M5"}},
        {"[n] to the front, [N] in place", kNumbered, {"[gcode][N]", "M3[n]", " M5[n]"}, {"G0 N10", "N20 M3", "N30 M5"}},
        {"no pair of brackets: copied", "", {"G0 [x", "[x] [y", "a]b[x]", "[x"}, {"G0 [x", "X0.000 [y", "a]b[x]", "[x"}},
        {"a name before a lone ]", "", {"M0 x]"}, {"M0 x"}},
        {"modal axis words", "[Default]\nXYZModal=1\n", {"[x]", "[x][y]", "[f_xrapid]"}, {"X0.000", "Y0.000", "X0.000"}},
        {"modal feed", "", {"[feed]", "[feed]", "[feedplunge]"}, {"F100.0", "F50.0"}},
        {"feeds keep their zeros", "[Default]\nDelZero=1\n", {"[feed]"}, {"F100.0"}},
        {"tool format 1.2", "[Tool]\nFormat=1.2\n", {"[tool] M6", "[offlen]"}, {"T01 M6", "H1"}},
        {"tool texts", "", {"[tool_info]", "M0([toolname])", "[tr] [speed]"}, {"(TLDIA=6)", "M0(ENDMILL)", "6  S12000"}},
        {"rapid moves", "[Default]\nGModal=1\n", {"[gcode][zrapid]", "[rapid_xy]", "[gcode]"},
         {"G0 Z5.000", "X0.000 Y0.000", "G1"}},
        {"program names", "", {"[postname] [progname] [progn] [mm_inch][units]"}, {"MILL  PART.NC  O0001  MM"}},
        {"cycle words", "", {"[g98g99][depth][ref_height][peck_increment][pitch]"}, {"G99 Z-1.000 R5.000 Q0.500 F1.250"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriveGCode w = LoadedWriter(c.Pst);
        w.SetFileName((m_Dir.Path() / "part.nc").string());
        TTestOperation op;
        op.Tool->GasOn = c.GasOn;
        op.Tool->GasValue = 2.5f;
        w.SetCurrentOperation(&op);
        w.ResetOutputState();
        w.FirstMove = true;
        TPstLines out;
        w.ExpandSection(out, c.Lines, true, TAVertice3d::Create());
        EXPECT_EQ(out, c.Expected);
    }
}

// A comment delimiter that starts with a blank, or is longer than one
// character, still ends the name's scan; an empty delimiter marks nothing.
TEST_F(Writer, ToolNameCannotOpenOrCloseItsComment)
{
    const struct {
        std::string Pst;
        const char* ToolName;
        const char* Expected;
    } cases[] = {
        {"", "flat (6mm) cutter", "FLAT  6MM  CUTTER"},
        {"[Default]\nStartComment=\" (\"\nEndComment=)\n", "a (b) c", "A (B  C"},
        {"[Default]\nStartComment=((\nEndComment=\n", "a(((b", "A  (B"},
        {"[Default]\nStartComment=;\nEndComment=\n", "x;y", "X Y"},
    };
    for (const auto& c : cases) {
        TScriveGCode w = LoadedWriter(c.Pst);
        TTestOperation op;
        op.Tool->ToolName = c.ToolName;
        w.SetCurrentOperation(&op);
        EXPECT_EQ(w.VariableValue("toolname"), c.Expected) << c.ToolName;
    }
}

TEST_F(Writer, SpindleOnFollowsTheToolsChoice)
{
    TScriveGCode w = LoadedWriter("");
    const struct {
        std::unique_ptr<TDatiUtBase> (*Make)();
        int32_t Choice;
        const char* Code;
    } cases[] = {
        {[] { return std::unique_ptr<TDatiUtBase>(new TDatiUtFresa); }, 0, "M3"},
        {[] { return std::unique_ptr<TDatiUtBase>(new TDatiUtFresa); }, 1, "M4"},
        {[] { return std::unique_ptr<TDatiUtBase>(new TDatiUtFresa); }, 2, ""},
        {[] { return std::unique_ptr<TDatiUtBase>(new TDatiUtTornio); }, 0, ""},
        {[] { return std::unique_ptr<TDatiUtBase>(new TDatiUtTornio); }, 1, "M3"},
        {[] { return std::unique_ptr<TDatiUtBase>(new TDatiUtTornio); }, 2, "M3"},
        {[] { return std::unique_ptr<TDatiUtBase>(new TDatiUtTornio); }, 3, "M4"},
        {[] { return std::unique_ptr<TDatiUtBase>(new TDatiUtTornio); }, 4, "M4"},
        {[] { return std::unique_ptr<TDatiUtBase>(new TDatiLaser); }, 0, "M3"},
    };
    for (const auto& c : cases) {
        TTestOperation op(1, c.Make());
        op.Tool->SpindleChoice = c.Choice;
        w.SetCurrentOperation(&op);
        EXPECT_EQ(w.VariableValue("SPINDLE_ON"), c.Code) << static_cast<int>(op.Tool->Kind()) << " " << c.Choice;
    }
}

TEST_F(Writer, NumberWords)
{
    TScriveGCode w = LoadedWriter("[Default]\nDelZero=1\n");
    EXPECT_EQ(w.XWord(12.5), "X12.5");
    EXPECT_EQ(w.YWord(12), "Y12.");
    EXPECT_EQ(w.ZWord(-0.0001), "Z0.");
    w.AxisFormat = "%1.0f";
    EXPECT_EQ(w.IWord(10), "I10");

    // Rapid feeds: the rapid word with its separator, or nothing; the feed
    // memory stays as it was.
    w = LoadedWriter("");
    EXPECT_EQ(w.FeedWord(100), "F100.0");
    EXPECT_EQ(w.FeedWord(-2), "");
    EXPECT_EQ(w.FeedWord(100), "");
    w = LoadedWriter("[Feed]\nRapid=FMAX\n[Default]\nSpaces=0\n");
    EXPECT_EQ(w.FeedWord(-2), "FMAX");
    w = LoadedWriter("[Feed]\nRapid=FMAX\n");
    EXPECT_EQ(w.FeedWord(-2), " FMAX");

    // Incremental: each move of +10 writes its step; no step, no word.
    w = LoadedWriter("[Default]\nIncremental_mode=1\nXYZModal=1\n");
    w.ResetOutputState();
    EXPECT_EQ(w.XWord(10), "X10.000");
    EXPECT_EQ(w.XWord(20), "X10.000");
    EXPECT_EQ(w.XWord(20), "");

    // Scales, the lathe diameter and the tool number.
    w = LoadedWriter("[X Axis]\nScale=2\nX_Mode=Diameter\n[Z Axis]\nScale=0.5\n[Tool]\nFormat=1.2\n");
    EXPECT_EQ(w.XWord(1), "X2.000");
    EXPECT_EQ(w.LatheXWord(1), "X4.000");
    EXPECT_EQ(w.CycleWord("Q", w.AxisFormat, 3), "Q1.500");
    EXPECT_EQ(w.ToolWord(1), "T01");
    EXPECT_EQ(w.LastTool, 1);

    // Block numbers: consumed only when asked for, not wrapped at SeqMax.
    w = LoadedWriter("[Block Numbering]\nOutputSeq=1\nSeqStart=998\nSeqMax=999\n");
    EXPECT_EQ(w.BlockNumber(), "N998");
    EXPECT_EQ(w.BlockNumber(), "N999");
    EXPECT_EQ(w.BlockNumber(), "N1000");
}

// The same feed again follows a format changed in between, and the modal
// memory still decides whether it is written.
TEST_F(Writer, ARepeatedFeedFollowsItsFormat)
{
    TScriveGCode w = LoadedWriter("[Default]\nFModal=0\n");
    EXPECT_EQ(w.FeedWord(100), "F100.0");
    EXPECT_EQ(w.FeedWord(100), "F100.0");
    w.FeedFormat = "%1.2f";
    EXPECT_EQ(w.FeedWord(100), "F100.00");
    w.FeedFormat = "%1.2d";
    EXPECT_THROW(w.FeedWord(100), EPstFormatError);
    w.FeedFormat = "%1.0f";
    w.FModal = true;
    EXPECT_EQ(w.FeedWord(100), "F100");
    EXPECT_EQ(w.FeedWord(100), "");
    w.ResetModal();
    EXPECT_EQ(w.FeedWord(100), "F100");
}

TEST_F(Writer, ModalMemoryAndItsReset)
{
    TScriveGCode w = LoadedWriter("[Default]\nXYZModal=1\nGModal=1\n[Tool_change]\n1=[tool]\n2=[gcode][x]\n");
    TTestOperation first(1), second(2);
    first.AddCurve({{5, 0, 0}});
    second.AddCurve({{5, 0, 0}});
    ASSERT_TRUE(w.BeginProgram(first));
    w.AddLine(w.XWord(5));
    w.AddLine(w.XWord(5)); // same X: nothing
    w.ToolChange(second);  // modal reset: the X word again
    EXPECT_EQ(w.ProgramLines, (TPstLines{"X5.000", "T2", "G0 X5.000"}));
    EXPECT_EQ(w.GCodeWord(gcRapid), "");
    EXPECT_EQ(w.GCodeWord(gcLinear), "G1");
}

TEST_F(Writer, ArcWords)
{
    TScriveGCode w = LoadedWriter("[ArcDef]\nArcCenter=2\n");
    w.LastPosition = TAVertice3d::CreateAt({10, 0, 0});
    const TAVertice3d quarter = TAVertice3d::CreateFull(1, {0, 10, 0}, {0, 0, 0}, 0);
    EXPECT_EQ(w.ArcWords(quarter), "I-10.000 J0.000");
    w.ArcOutput = 2;
    EXPECT_EQ(w.ArcWords(quarter), "R10.000");
    EXPECT_EQ(w.ArcWords(TAVertice3d::CreateFull(-1, {0, 10, 0}, {0, 0, 0}, 0)), "R-10.000"); // three quarters
    EXPECT_EQ(w.ArcWords(TAVertice3d::CreateAt({1, 1, 0})), "");
}

// --- Program frame ---

TEST_F(Writer, BeginProgramNeedsAVertex)
{
    TScriveGCode w = LoadedWriter("[Start_of_file]\n1=[x][y]\n");
    w.ProgramLines = {"old program"};
    TTestOperation none;
    EXPECT_FALSE(w.BeginProgram(none));
    TTestOperation emptyCurves;
    emptyCurves.AddCurve({}).AddCurve({});
    EXPECT_FALSE(w.BeginProgram(emptyCurves));
    EXPECT_EQ(w.LastLineIndex(), -1);

    TTestOperation firstEmpty;
    firstEmpty.AddCurve({}).AddCurve({{3, 4, -1}, {5, 4, -1}});
    EXPECT_TRUE(w.BeginProgram(firstEmpty));
    EXPECT_EQ(w.ProgramLines, (TPstLines{"X3.000 Y4.000"}));
    EXPECT_EQ(w.LastTool, 1);
}

TEST_F(Writer, ToolChangeOnlyForANewToolAndRepeatedWithoutTool)
{
    const struct {
        const char* ToolChange;
        TPstLines Expected;
    } cases[] = {
        {"1=[tool] M6\n", {"T2 M6", "T1 M6"}},
        {"1=M0\n", {"M0", "M0"}}, // [tool] never written: LastTool stays 1
    };
    for (const auto& c : cases) {
        TScriveGCode w = LoadedWriter(std::string("[Tool_change]\n") + c.ToolChange);
        TTestOperation t1(1), t1again(1), t2(2), t2again(2), back(1);
        t1.AddCurve({{0, 0, 0}});
        ASSERT_TRUE(w.BeginProgram(t1));
        for (const TTestOperation* op : {&t1again, &t2, &t2again, &back})
            w.ToolChange(*op);
        EXPECT_EQ(w.ProgramLines, c.Expected) << c.ToolChange;
    }
}

TEST_F(Writer, EndProgramAtTheOriginWithoutToolpath)
{
    TScriveGCode w = LoadedWriter("[End_of_file]\n1=[x][y]\n2=M30\n");
    TTestOperation first, last;
    first.AddCurve({{7, 8, 0}});
    ASSERT_TRUE(w.BeginProgram(first));
    w.EndProgram(last);
    EXPECT_EQ(w.ProgramLines, (TPstLines{"X0.000 Y0.000", "M30"}));
    w.EndProgram(first);
    EXPECT_EQ(w.ProgramLines.back(), "M30");
    EXPECT_EQ(w.ProgramLines[2], "X7.000 Y8.000");
}

TEST_F(Writer, SavesCrLfLinesAndKeepsTheOldFileOnFailure)
{
    TScriveGCode w = LoadedWriter("");
    w.AddLine("G0 X1");
    w.AddLine("");
    w.AddLine("M30");
    const std::string file = m_Dir.File("out.nc");
    w.SetFileName(file);
    w.SaveProgram();
    EXPECT_EQ(kbtest::ReadFileText(file), "G0 X1\r\nM30\r\n");
    EXPECT_EQ(w.OutputFileName(), file);

    // The program on disk is read-only: the error reaches the caller and
    // the program written before is whole.
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    w.AddLine("M2");
    EXPECT_THROW(w.SaveProgram(), EGCodeSaveError);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(kbtest::ReadFileText(file), "G0 X1\r\nM30\r\n");

    w.SetFileName("");
    EXPECT_THROW(w.SaveProgram(), EGCodeSaveError);
}

// A line that cannot be expanded (no operation to read, a format set after
// loading that cannot be applied) is written as nothing; the others go on.
TEST_F(Writer, FailingLinesWriteNothing)
{
    TScriveGCode w = LoadedWriter("");
    TPstLines out;
    w.ExpandSection(out, {"[tool]", "M30", "[if_gason]M7"}, true, TAVertice3d::Create());
    EXPECT_EQ(out, (TPstLines{"M30"}));
    w.AxisFormat = "%s";
    EXPECT_EQ(w.ExpandLine("G0 [x]"), "");
    EXPECT_EQ(w.ExpandLine("G0"), "G0");
}

TEST(WriterTables, VariableNamesAndHelp)
{
    EXPECT_EQ(TScriveGCode::VariableIndex("N"), 0);
    EXPECT_EQ(TScriveGCode::VariableIndex("G98G99"), TScriveGCode::kVariableCount - 1);
    EXPECT_EQ(TScriveGCode::VariableIndex("z"), std::nullopt);
    // Every help line names a variable, but for [z] and [a].
    for (const char* help : TScriveGCode::VariableHelp) {
        const std::string line = help;
        const std::string name = line.substr(1, line.find(']') - 1);
        EXPECT_TRUE(TScriveGCode::VariableIndex(name) || name == "z" || name == "a") << line;
    }
}

} // namespace
