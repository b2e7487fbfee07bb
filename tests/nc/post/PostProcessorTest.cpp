#include "nc/post/PostProcessor.h"

#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "platform/IniFile.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <stdexcept>

namespace {

// A configuration folder with a "pst" folder and settings published for the test.
class PostFolder : public ::testing::Test {
protected:
    PostFolder() : m_Config(m_Dir.Path().string())
    {
        std::filesystem::create_directories(m_Dir.Path() / "pst");
        m_Config.Pst = "test";
    }
    void WritePst(const std::string& name, const std::string& text)
    {
        kbtest::WriteFileText((m_Dir.Path() / "pst" / name).string(), text);
    }
    TPostProcessor Load(const std::string& text, bool millimetres = true)
    {
        WritePst("test.pst", text);
        m_Config.Unit = millimetres;
        TPostProcessor post;
        post.LoadPst(m_Dir.Path().string());
        return post;
    }

    kbtest::TTempDir m_Dir;
    TAppConfig m_Config;
};

// Every key of the format, none at its default, CR LF line ends and blanks
// around keys and values as a hand-edited file has them.
const char* const kFullPst =
    "[Default]\r\n"
    "PstVersion=3\r\nXYZModal=1\r\nGModal=1\r\nG0Modal=0\r\nFModal=0\r\nDelZero=1\r\n"
    "Incremental_mode=1\r\nOmit_Z=1\r\nLPJ_Post=1\r\nSpaces=0\r\nFile_extension=TAP\r\n"
    "StartComment=;\r\nEndComment=!\r\nMaxLinesSection=3\r\nDialect=XIL\r\n"
    "[Block Numbering]\r\nOutputSeq=1\r\nPref=O\r\nSeqStart=10\r\nSeqInc=5\r\nSeqMax=0x100\r\n"
    "[Units]\r\nMM_FormatAxis=1.2\r\nMM_FormatF=1.0\r\nMM_GCode=G21\r\nMM_FormatDwell=1.3\r\n"
    "[X Axis]\r\nPref=U\r\nScale=2.5\r\nX_Mode=Diameter\r\n"
    "[Y Axis]\r\nPref=V\r\nScale=-1\r\n"
    "[Z Axis]\r\nPref=W\r\nScale=0.5\r\n"
    "[Rotary Axis]\r\nPref=A\r\nFormat=1.1\r\n"
    "[ArcDef]\r\nIPref=P\r\nJPref=Q\r\nKPref=E\r\nRPref=U\r\nXYModal=0\r\nArcOutput=2\r\nArcCenter=3\r\n"
    "[Tool]\r\nPref=TT\r\nFormat=1.2\r\nTofflen=L\r\n"
    "[Feed]\r\nPref=FF\r\nRapid=FMAX\r\nRapidFeedrate=5000.5\r\n"
    "[Dwell]\r\nPref=D\r\n[Gas]\r\nValuePref=GV\r\nDelayPref=GD\r\n"
    "[Power]\r\nPower1Pref=S1\r\nPower2Pref=S2\r\n"
    "[MCode]\r\nSpindleCW=M03\r\nSpindleCCW=M04\r\nSpindleOff=M05\r\nCoolantOn=M07\r\n"
    "CoolantOff=M09\r\nSpindleCWCoolOn=M103\r\nSpindleCCWCoolOn=M104\r\n"
    "[GCode]\r\nRapid=G00\r\nLinear=G01\r\nCircular_CW=G02\r\nCircular_CCW=G03\r\n"
    "XILSuffix_CW=CW\r\nXILSuffix_CCW=CCW\r\n"
    "[ShopBot]\r\nSBO_XYPref=J2\r\nSBO_XYZPref=J3\r\n"
    "[CComp]\r\nLeft=G141\r\nRight=G142\r\nNone=G140\r\nOffset=DD\r\n"
    "[Post Comment]\r\n1=First line\r\n2=Second line\r\n"
    "[Start_of_file]\r\n 1 = [n][postname] \r\n2=[mm_inch]\r\n"
    "[Tool_change]\r\n1=[tool] M6\r\n"
    "[End_of_file]\r\n1=M30\r\n"
    "[BeforeLaserRapidMove]\r\n1=L0\r\n[FirstLaserEngDotMove]\r\n1=L1\r\n[LaserEngDotMove]\r\n1=L2\r\n"
    "[FirstLaserEngDotGreyMove]\r\n1=L3\r\n[LaserEngDotGreyMove]\r\n1=L4\r\n"
    "[LaserEngGreyFeedMove]\r\n1=L5\r\n[LaserEngRapidMove]\r\n1=L6\r\n[LaserEngFeedMove]\r\n1=L7\r\n"
    "[BeforeFirstFeedMove]\r\n1=B1\r\n[AfterLastFeedMove]\r\n1=A4\r\n"
    "[Cycle]\r\nDepthPrefix=ZD\r\nRef_heightPrefix=RR\r\nRetract_heightPrefix=QR\r\n"
    "ReturnRPlane=G199\r\nReturnZPlane=G198\r\nPeck_incrementPrefix=QP\r\nPitchPrefix=FP\r\n"
    "[Cycle_1]\r\nExploded=0\r\nBeforeCycle_def=B\r\nCycle_def=D\r\nCycle_move=M\r\n"
    "Cycle_cancel=C\r\nAfterCycle_cancel=A\r\n"
    "[Cycle_3]\r\nExploded=0\r\nCycle_def=G84\r\n"
    "[HomePosition]\r\nX=12.5\r\nZ=-3\r\n";

TEST_F(PostFolder, ReadsEveryFieldOfAFile)
{
    const TPostProcessor p = Load(kFullPst);
    EXPECT_EQ(p.PostName, "test");
    EXPECT_EQ(p.PstVersion, 3);
    EXPECT_TRUE(p.OutputSeq);
    EXPECT_EQ(p.SeqPrefix, "O");
    EXPECT_EQ(p.SeqStart, 10);
    EXPECT_EQ(p.SeqCounter, 10);
    EXPECT_EQ(p.SeqInc, 5);
    EXPECT_EQ(p.SeqMax, 256); // hexadecimal
    EXPECT_EQ(p.UnitWord, "MM");
    EXPECT_EQ(p.AxisFormat, "%1.2f");
    EXPECT_EQ(p.FeedFormat, "%1.0f");
    EXPECT_EQ(p.UnitGCode, "G21");
    EXPECT_EQ(p.DwellFormat, "%1.3f");
    EXPECT_EQ(p.XPref + p.YPref + p.ZPref, "UVW");
    EXPECT_DOUBLE_EQ(p.XScale, 2.5);
    EXPECT_DOUBLE_EQ(p.YScale, -1);
    EXPECT_DOUBLE_EQ(p.ZScale, 0.5);
    EXPECT_TRUE(p.ScaleActive);
    EXPECT_TRUE(p.XDiameterMode);
    EXPECT_EQ(p.RotaryPref, "A");
    EXPECT_EQ(p.RotaryFormat, "%1.1f");
    EXPECT_EQ(p.IPref + p.JPref + p.KPref + p.RPref, "PQEU");
    EXPECT_FALSE(p.ArcXYModal);
    EXPECT_EQ(p.ArcOutput, 2);
    EXPECT_EQ(p.ArcCenter, 3);
    EXPECT_EQ(p.ToolPref, "TT");
    EXPECT_EQ(p.ToolFormat, "%1.2d");
    EXPECT_EQ(p.ToolOffsetPref, "L");
    EXPECT_EQ(p.FeedPref, "FF");
    EXPECT_EQ(p.RapidWord, "FMAX");
    EXPECT_TRUE(p.HasRapidWord);
    EXPECT_DOUBLE_EQ(p.RapidFeedrate, 5000.5);
    EXPECT_EQ(p.DwellPref, "D");
    EXPECT_EQ(p.GasValuePref + "," + p.GasDelayPref, "GV,GD");
    EXPECT_EQ(p.Power1Pref + "," + p.Power2Pref, "S1,S2");
    EXPECT_EQ(p.MCodes, (std::array<std::string, 7>{"M03", "M04", "M05", "M07", "M09", "M103", "M104"}));
    EXPECT_EQ(p.GCodes, (std::array<std::string, 4>{"G00", "G01", "G02", "G03"}));
    EXPECT_EQ(p.GModal, (std::array<bool, 4>{false, true, true, true})); // G0Modal overrides GModal
    EXPECT_EQ(p.XILSuffixCW + "," + p.XILSuffixCCW, "CW,CCW");
    EXPECT_EQ(p.SBOXYPref + "," + p.SBOXYZPref, "J2,J3");
    EXPECT_TRUE(p.XYZModal);
    EXPECT_FALSE(p.FModal);
    EXPECT_TRUE(p.DelZero);
    EXPECT_TRUE(p.IncrementalMode);
    EXPECT_TRUE(p.OmitZ);
    EXPECT_TRUE(p.LPJPost);
    EXPECT_EQ(p.Separator, "");
    EXPECT_EQ(p.FileExtension, "tap");
    EXPECT_EQ(p.StartComment + p.EndComment, ";!");
    EXPECT_EQ(p.CompLeft + "," + p.CompRight + "," + p.CompNone + "," + p.CompOffsetPref, "G141,G142,G140,DD");
    EXPECT_EQ(p.Dialect, PostDialect::XIL);
    EXPECT_EQ(p.PostComment, (TPstLines{"First line", "Second line"}));
    EXPECT_EQ(p.StartLines, (TPstLines{"[n][postname]", "[mm_inch]"}));
    EXPECT_EQ(p.ToolChangeLines, (TPstLines{"[tool] M6"}));
    EXPECT_EQ(p.EndLines, (TPstLines{"M30"}));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(p.LaserLines[i], (TPstLines{"L" + std::to_string(i)})) << i;
    EXPECT_EQ(p.FeedSections[fsBeforeFirstFeedMove], (TPstLines{"B1"}));
    EXPECT_EQ(p.FeedSections[fsAfterLastFeedMove], (TPstLines{"A4"}));
    EXPECT_EQ(p.HasFeedSection, (std::array<bool, 4>{true, false, false, true}));
    EXPECT_EQ(p.DepthPrefix + p.RefHeightPrefix + p.RetractHeightPrefix + p.PeckPrefix + p.PitchPrefix, "ZDRRQRQPFP");
    EXPECT_EQ(p.ReturnRPlane + p.ReturnZPlane, "G199G198");
    EXPECT_FALSE(p.CycleTemplates[0].Exploded);
    EXPECT_EQ(p.CycleTemplates[0].DefinitionLines, (TPstLines{"B", "D"}));
    EXPECT_EQ(p.CycleTemplates[0].MoveLines, (TPstLines{"M"}));
    EXPECT_EQ(p.CycleTemplates[0].CancelLines, (TPstLines{"C", "A"}));
    EXPECT_TRUE(p.CycleTemplates[1].Exploded);
    EXPECT_TRUE(p.CycleTemplates[1].DefinitionLines.empty());
    EXPECT_FALSE(p.CycleTemplates[2].Exploded);
    EXPECT_EQ(p.CycleTemplates[2].DefinitionLines, (TPstLines{"G84"}));
    EXPECT_DOUBLE_EQ(p.HomeX, 12.5);
    EXPECT_DOUBLE_EQ(p.HomeZ, -3);
}

TEST_F(PostFolder, MissingFileGivesEveryDefault)
{
    m_Config.Pst = "no such post";
    m_Config.Unit = true;
    TPostProcessor p;
    p.LoadPst(m_Dir.Path().string());
    EXPECT_EQ(p.PostName, "no such post");
    EXPECT_EQ(p.Dialect, PostDialect::ISO);
    EXPECT_EQ(p.GCodes, (std::array<std::string, 4>{"G0", "G1", "G2", "G3"}));
    EXPECT_EQ(p.GModal, (std::array<bool, 4>{}));
    EXPECT_EQ(p.MCodes, (std::array<std::string, 7>{"M3", "M4", "M5", "M8", "M9", "M13", "M14"}));
    EXPECT_FALSE(p.OutputSeq);
    EXPECT_EQ(p.SeqPrefix, "N");
    EXPECT_EQ(p.SeqStart, 1);
    EXPECT_EQ(p.SeqInc, 1);
    EXPECT_EQ(p.SeqMax, 999999);
    EXPECT_EQ(p.Separator, " ");
    EXPECT_EQ(p.FileExtension, "nc");
    EXPECT_EQ(p.PstVersion, 2);
    EXPECT_EQ(p.AxisFormat + p.FeedFormat + p.DwellFormat, "%1.3f%1.1f%1.1f");
    EXPECT_EQ(p.RotaryFormat + p.ToolFormat, "%1.3f%1.1d");
    EXPECT_EQ(p.XPref + p.YPref + p.ZPref + p.RotaryPref, "XYZC");
    EXPECT_EQ(p.IPref + p.JPref + p.KPref + p.RPref, "IJKR");
    EXPECT_TRUE(p.ArcXYModal);
    EXPECT_EQ(p.ArcOutput, 0);
    EXPECT_EQ(p.ArcCenter, 1);
    EXPECT_FALSE(p.ScaleActive);
    EXPECT_TRUE(p.FModal);
    EXPECT_FALSE(p.HasRapidWord);
    EXPECT_DOUBLE_EQ(p.RapidFeedrate, 2000.0);
    EXPECT_EQ(p.ToolPref + p.ToolOffsetPref + p.FeedPref + p.DwellPref, "THFP");
    EXPECT_EQ(p.GasValuePref + p.GasDelayPref + p.Power1Pref + p.Power2Pref, "PPSS");
    EXPECT_EQ(p.StartComment + p.EndComment, "()");
    EXPECT_EQ(p.CompLeft + p.CompRight + p.CompNone + p.CompOffsetPref, "G41G42G40D");
    EXPECT_EQ(p.DepthPrefix + p.RefHeightPrefix + p.RetractHeightPrefix + p.PeckPrefix + p.PitchPrefix, "ZRQQF");
    EXPECT_EQ(p.ReturnRPlane + p.ReturnZPlane, "G99G98");
    EXPECT_TRUE(p.StartLines.empty() && p.ToolChangeLines.empty() && p.EndLines.empty());
    for (const TCycleTemplate& c : p.CycleTemplates)
        EXPECT_TRUE(c.Exploded && c.DefinitionLines.empty() && c.MoveLines.empty() && c.CancelLines.empty());
    EXPECT_FALSE(p.XDiameterMode);
    EXPECT_DOUBLE_EQ(p.HomeX, 5.0);
    EXPECT_DOUBLE_EQ(p.HomeZ, 1.0);
}

TEST_F(PostFolder, InchDefaultsAndUnitKeys)
{
    // The inch keys are read in inch; the millimetre keys are not.
    TPostProcessor p = Load("[Units]\nMM_FormatAxis=1.1\nMM_GCode=G21\nINCH_GCode=G20\n", false);
    EXPECT_EQ(p.UnitWord, "INCH");
    EXPECT_EQ(p.AxisFormat + p.FeedFormat + p.DwellFormat, "%1.4f%1.2f%1.2f");
    EXPECT_EQ(p.UnitGCode, "G20");
    EXPECT_EQ(FormatPstFloat(p.AxisFormat, 1.5), "1.5000");
    EXPECT_EQ(FormatPstFloat(p.FeedFormat, 20), "20.00");
}

TEST_F(PostFolder, ReloadForgetsThePreviousPost)
{
    TPostProcessor p;
    WritePst("a.pst", "[Default]\nDialect=HEI\n[Start_of_file]\n1=X\n[Cycle_2]\nCycle_move=M\n");
    m_Config.Pst = "a";
    p.LoadPst(m_Dir.Path().string());
    ASSERT_EQ(p.Dialect, PostDialect::HEI);
    m_Config.Pst = "b";
    p.LoadPst(m_Dir.Path().string());
    EXPECT_EQ(p.Dialect, PostDialect::ISO);
    EXPECT_TRUE(p.StartLines.empty());
    EXPECT_TRUE(p.CycleTemplates[1].MoveLines.empty());
}

TEST_F(PostFolder, DialectIsComparedExactlyAndLatheWins)
{
    const struct {
        const char* Keys;
        uint8_t Dialect;
    } cases[] = {
        {"Dialect=ISO", PostDialect::ISO},    {"Dialect=iso", PostDialect::Other},
        {"Dialect=HEI", PostDialect::HEI},    {"Dialect=XIL", PostDialect::XIL},
        {"Dialect=SBO", PostDialect::SBO},    {"Dialect=LASER", PostDialect::LASER},
        {"Dialect=Fanuc", PostDialect::Other}, {"Dialect=LASER\nMachineType=Lathe", PostDialect::Lathe},
        {"MachineType=lathe", PostDialect::ISO},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Load(std::string("[Default]\n") + c.Keys + "\n").Dialect, c.Dialect) << c.Keys;
}

TEST_F(PostFolder, NumberedSectionsAndComments)
{
    const TPostProcessor p = Load("[Default]\nMaxLinesSection=20\n"
                                  "[Start_of_file]\n5=five\n1=one\n2=two\n21=never\n3=\n01=not a line number\n"
                                  "[Post Comment]\n1=a\n2=b\n4=d\n");
    EXPECT_EQ(p.StartLines, (TPstLines{"one", "two", "five"}));
    EXPECT_EQ(p.PostComment, (TPstLines{"a", "b"}));

    EXPECT_TRUE(Load("[Default]\nMaxLinesSection=0\n[Start_of_file]\n1=one\n").StartLines.empty());
    EXPECT_TRUE(Load("[Default]\nMaxLinesSection=-4\n[End_of_file]\n1=one\n").EndLines.empty());
    // A huge limit costs nothing more than the keys that are there.
    EXPECT_EQ(Load("[Default]\nMaxLinesSection=2147483647\n[Tool_change]\n2147483647=last\n1=first\n")
                  .ToolChangeLines,
              (TPstLines{"first", "last"}));
}

TEST_F(PostFolder, ModalKeysAndScales)
{
    TPostProcessor p = Load("[Default]\nGModal=0\nG2-G3Modal=1\n");
    EXPECT_EQ(p.GModal, (std::array<bool, 4>{false, false, true, true}));

    p = Load("[X Axis]\nScale=1.00001\n[Y Axis]\nScale=0.99999\n");
    EXPECT_FALSE(p.ScaleActive);
    p = Load("[Y Axis]\nScale=2\n");
    EXPECT_TRUE(p.ScaleActive);
    EXPECT_DOUBLE_EQ(p.XScale, 1);
    EXPECT_DOUBLE_EQ(p.YScale, 2);
}

TEST_F(PostFolder, DamagedValuesGiveDefaults)
{
    const TPostProcessor p = Load("[Block Numbering]\nSeqStart=ten\nSeqInc=1,5\nOutputSeq=yes\n"
                                  "[X Axis]\nScale=2,5\n[Default]\nSpaces=\nPstVersion=99999999999999\n");
    EXPECT_EQ(p.SeqStart, 1);
    EXPECT_EQ(p.SeqInc, 1);
    EXPECT_FALSE(p.OutputSeq);
    EXPECT_DOUBLE_EQ(p.XScale, 1);
    EXPECT_EQ(p.Separator, " ");
    EXPECT_EQ(p.PstVersion, 2);

    // Bytes that are no ini file at all read as a file without keys.
    std::string junk = "\x7f" "ELF\x01\x02";
    static const char kBinary[] = "\0\0\xff[\n]=\r\r\n[Default\nDialect";
    junk += std::string(kBinary, sizeof kBinary - 1);
    const TPostProcessor q = Load(junk);
    EXPECT_EQ(q.Dialect, PostDialect::ISO);
    EXPECT_EQ(q.GCodes[0], "G0");
}

// Records what the tool window would be asked to do.
struct FakeView : TPostLoadView {
    FakeView() { m_Previous = SetPostLoadView(this); }
    ~FakeView() override { SetPostLoadView(m_Previous); }
    void TranslateFromPostLanguage(const std::string& lngFileName) override { Calls.push_back("post:" + lngFileName); }
    void TranslateFromProgramLanguage() override { Calls.push_back("program"); }
    void ShowPostInfo(const TPostProcessor& post) override
    {
        Calls.push_back("info:" + post.FileExtension);
        if (ThrowOnInfo)
            throw std::runtime_error("view failed");
    }
    std::vector<std::string> Calls;
    bool ThrowOnInfo = false;
    TPostLoadView* m_Previous;
};

TEST_F(PostFolder, PostLanguageFileTranslatesAndReverts)
{
    FakeView view;
    WritePst("own.pst", "[Default]\nFile_extension=cnc\n");
    WritePst("own.lng", "[frmToolWin]\n");
    m_Config.Pst = "own";
    TPostProcessor p;
    p.LoadPst(m_Dir.Path().string());
    const std::string lng = (m_Dir.Path() / "pst" / "own.lng").string();
    EXPECT_EQ(view.Calls, (std::vector<std::string>{"post:" + lng, "info:cnc"}));
    EXPECT_TRUE(m_Config.ToolWinPstTranslated);

    view.Calls.clear();
    m_Config.Pst = "plain";
    p.LoadPst(m_Dir.Path().string());
    EXPECT_EQ(view.Calls, (std::vector<std::string>{"program", "info:nc"}));
    EXPECT_FALSE(m_Config.ToolWinPstTranslated);

    view.Calls.clear();
    p.LoadPst(m_Dir.Path().string()); // nothing to revert any more
    EXPECT_EQ(view.Calls, (std::vector<std::string>{"info:nc"}));
}

TEST_F(PostFolder, FailureWhileLoadingIsShownAndRaised)
{
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
    kbtest::TRecordingNotifier notifier;
    FakeView view;
    view.ThrowOnInfo = true;
    TPostProcessor p;
    EXPECT_THROW(p.LoadPst(m_Dir.Path().string()), std::runtime_error);
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].Kind, EMessageKind::Plain);
    EXPECT_EQ(notifier.Messages()[0].Text, LangText(LangKeys::String::PstLoadFailed));
    EXPECT_FALSE(notifier.Messages()[0].Text.empty());
    EXPECT_EQ(p.GCodes[0], "G0"); // what was read stays
    SetLanguageIni(nullptr);
}

// A format value the writer cannot apply would empty every line that writes
// a number: it does not convert, the default applies and the caller gets a
// warning that names the key.
TEST_F(PostFolder, FormatsThatCannotBeUsedGiveTheDefaultAndAWarning)
{
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
    WritePst("test.pst", "[Units]\nMM_FormatAxis=1.3s%\nMM_FormatF=.2\nMM_FormatDwell=1.3f%1.3\n"
                         "[Rotary Axis]\nFormat=x\n[Tool]\nFormat=1.2d%1\n");
    m_Config.Unit = true;
    TPostProcessor p;
    const std::string warning = p.LoadPst(m_Dir.Path().string());
    EXPECT_EQ(p.AxisFormat, "%1.3f");
    EXPECT_EQ(p.FeedFormat, "%.2f"); // a format that applies stays as it is
    EXPECT_EQ(p.DwellFormat, "%1.1f");
    EXPECT_EQ(p.RotaryFormat, "%1.3f");
    EXPECT_EQ(p.ToolFormat, "%1.1d");
    EXPECT_EQ(p.BadFormatKeys, (std::vector<std::string>{"[Units] MM_FormatAxis", "[Units] MM_FormatDwell",
                                                          "[Rotary Axis] Format", "[Tool] Format"}));
    EXPECT_NE(warning.find("test"), std::string::npos);
    EXPECT_NE(warning.find("[Units] MM_FormatAxis, [Units] MM_FormatDwell"), std::string::npos);

    WritePst("test.pst", "[Units]\nMM_FormatAxis=1.4\n");
    EXPECT_EQ(p.LoadPst(m_Dir.Path().string()), "");
    EXPECT_TRUE(p.BadFormatKeys.empty());
    SetLanguageIni(nullptr);
}

TEST_F(PostFolder, ListsPostNamesSorted)
{
    WritePst("X.PST", "");
    WritePst("y.Pst", "");
    WritePst("b.pst", "");
    WritePst("a.pst", "");
    WritePst("a.lng", "");
    WritePst("PstComment.txt", "");
    std::filesystem::create_directories(m_Dir.Path() / "pst" / "dir.pst");
    EXPECT_EQ(ListPostNames(m_Dir.Path().string()), (std::vector<std::string>{"X", "a", "b", "y"}));
    EXPECT_TRUE(ListPostNames((m_Dir.Path() / "missing").string()).empty());
}

TEST(PstFormat, FormatsNumbersLikeTheDescriptionsExpect)
{
    const struct {
        const char* Format;
        double Value;
        const char* Text;
    } floats[] = {
        {"%1.3f", 12.5, "12.500"},     {"%1.3f", -2, "-2.000"},        {"%1.4f", -0.00001, "0.0000"},
        {"%1.3f", 0.0625, "0.063"},    {"%1.3f", -0.0625, "-0.063"},   {"%1.0f", 2.5, "3"},
        {"%1.2f", 9.999, "10.00"},     {"%8.2f", 3.14159, "    3.14"}, {"%-6.1f", 2, "2.0   "},
        {"%f", 1, "1.00"},             {"%.f", 7.4, "7"},              {"X%1.1fmm", 1, "X1.0mm"},
        {"%%%1.1F", 1, "%1.0"},        {"plain", 5, "plain"},          {"%1.3f", 1e20, "100000000000000000000.000"},
    };
    for (const auto& c : floats)
        EXPECT_EQ(FormatPstFloat(c.Format, c.Value), c.Text) << c.Format << " " << c.Value;

    const struct {
        const char* Format;
        int64_t Value;
        const char* Text;
    } ints[] = {{"%1.1d", 5, "5"}, {"%1.2d", 5, "05"}, {"%1.2d", 123, "123"}, {"%1.3d", -7, "-007"}, {"%4d", 7, "   7"}};
    for (const auto& c : ints)
        EXPECT_EQ(FormatPstInteger(c.Format, c.Value), c.Text) << c.Format;
}

// Sixteenths are exact in binary; every odd one is a true half at three
// decimals, rounded away from zero. The text is worked out in integers here.
TEST(PstFormat, HalvesRoundAwayFromZeroAcrossARange)
{
    TPstFloatFormat format;
    for (int k = -3000; k <= 3000; ++k) {
        const int magnitude = (std::abs(k) * 125 + 1) / 2; // thousandths, halves up
        char expected[32];
        std::snprintf(expected, sizeof expected, "%s%d.%03d", k < 0 && magnitude ? "-" : "", magnitude / 1000,
                      magnitude % 1000);
        std::string text = "X";
        format.Append(text, "%1.3f", k / 16.0);
        ASSERT_EQ(text, std::string("X") + expected) << k;
        ASSERT_EQ(FormatPstFloat("%1.3f", k / 16.0), expected) << k;
    }
}

// One format object across format changes: each call applies the format it
// is given, a bad one raises every time and appends nothing.
TEST(PstFormat, AReusedFormatFollowsTheFormatGiven)
{
    TPstFloatFormat format;
    std::string text;
    format.Append(text, "%1.3f", 1.5);
    format.Append(text, "%1.1f", 1.25);
    EXPECT_THROW(format.Append(text, "%1.3d", 1), EPstFormatError);
    EXPECT_THROW(format.Append(text, "%1.3d", 1), EPstFormatError);
    format.Append(text, "[%5.2f]", -0.001);
    EXPECT_EQ(text, "1.5001.3[ 0.00]");
}

TEST(PstFormat, RefusesFormatsItCannotApply)
{
    for (const char* bad : {"%s%n", "%1.3d", "%1.3f%1.3f", "%1.3", "%", "%1000.1f", "%1.19f", "%*.1f", "%1.3x"})
        EXPECT_THROW(FormatPstFloat(bad, 1.0), EPstFormatError) << bad;
    for (const char* bad : {"%1.1f", "%d%d", "%s"})
        EXPECT_THROW(FormatPstInteger(bad, 1), EPstFormatError) << bad;
    EXPECT_THROW(FormatPstFloat("%1.3f", std::numeric_limits<double>::infinity()), EPstFormatError);
    EXPECT_THROW(FormatPstFloat("%1.3f", std::numeric_limits<double>::quiet_NaN()), EPstFormatError);
}

// The descriptions the program ships: complete, current and usable as they are.
TEST(ShippedPosts, LoadCompleteAndFormatsApply)
{
    const struct {
        const char* Name;
        bool Millimetres;
        const char* UnitCode;
        bool CannedCycles; // Mach2-3; GRBL has neither cycles, nor compensation, nor block numbers
        double RapidFeedrate;
    } posts[] = {{"Mach2-3_mm", true, "G21", true, 5000}, {"Mach2-3_inch", false, "G20", true, 200},
                 {"GRBL_mm", true, "G21", false, 3000}, {"GRBL_inch", false, "G20", false, 120}};
    for (const auto& c : posts) {
        SCOPED_TRACE(c.Name);
        const TIniFile ini(PostFileName(KB_DATA_SOURCE_DIR, c.Name));
        TPostProcessor p;
        p.LoadFromIni(ini, c.Name, c.Millimetres);
        EXPECT_EQ(p.PstVersion, 3);
        EXPECT_EQ(p.Dialect, PostDialect::ISO);
        EXPECT_EQ(p.UnitGCode, c.UnitCode);
        EXPECT_FALSE(p.PostComment.empty());
        EXPECT_TRUE(p.BadFormatKeys.empty());
        EXPECT_DOUBLE_EQ(p.RapidFeedrate, c.RapidFeedrate);
        EXPECT_EQ(p.OutputSeq, c.CannedCycles);
        EXPECT_EQ(p.CompLeft.empty() && p.CompRight.empty() && p.CompOffsetPref.empty(), !c.CannedCycles);
        // The start section calls the first tool; there is no tool change for it.
        const auto callsTool = [](const TPstLines& lines) {
            return std::any_of(lines.begin(), lines.end(),
                               [](const std::string& l) { return l.find("[tool]") != std::string::npos; });
        };
        EXPECT_TRUE(callsTool(p.StartLines));
        EXPECT_TRUE(callsTool(p.ToolChangeLines));
        EXPECT_FALSE(p.EndLines.empty());
        for (const TCycleTemplate& cycle : p.CycleTemplates) {
            EXPECT_EQ(cycle.Exploded, !c.CannedCycles);
            EXPECT_EQ(cycle.MoveLines.empty(), !c.CannedCycles);
        }
    }
    EXPECT_EQ(ListPostNames(KB_DATA_SOURCE_DIR),
              (std::vector<std::string>{"GRBL_inch", "GRBL_mm", "HEI_mm", "Laser_GRBL_mm", "Lathe_ISO_mm",
                                        "Mach2-3_inch", "Mach2-3_mm", "SBO_mm", "XIL_mm"}));
}

// An inch post differs from its millimetre twin only in the rapid speed of
// the time estimate: its programs take their unit from the unit setting, as
// every post's do. Its description claims no unit of its own and says that.
TEST(ShippedPosts, InchPostDescriptionsTellWhatTheyChange)
{
    for (const char* name : {"Mach2-3_inch", "GRBL_inch"}) {
        SCOPED_TRACE(name);
        TPostProcessor p;
        p.LoadFromIni(TIniFile(PostFileName(KB_DATA_SOURCE_DIR, name)), name, true);
        EXPECT_EQ(p.UnitGCode, "G21");
        std::string text;
        for (const std::string& line : p.PostComment)
            text += line + "\n";
        EXPECT_EQ(text.find("programs in inches"), std::string::npos) << text;
        EXPECT_NE(text.find("unit follows the unit setting"), std::string::npos) << text;
    }
}

// The posts of the other dialects: the dialect each is for, usable formats,
// a comment, and for the lathe its diameter mode and home point.
TEST(ShippedPosts, OtherDialects)
{
    const struct {
        const char* Name;
        uint8_t Dialect;
    } posts[] = {{"HEI_mm", PostDialect::HEI},
                 {"XIL_mm", PostDialect::XIL},
                 {"SBO_mm", PostDialect::SBO},
                 {"Laser_GRBL_mm", PostDialect::LASER},
                 {"Lathe_ISO_mm", PostDialect::Lathe}};
    for (const auto& c : posts) {
        SCOPED_TRACE(c.Name);
        TPostProcessor p;
        p.LoadFromIni(TIniFile(PostFileName(KB_DATA_SOURCE_DIR, c.Name)), c.Name, true);
        EXPECT_EQ(p.PstVersion, 3);
        EXPECT_EQ(p.Dialect, c.Dialect);
        EXPECT_FALSE(p.PostComment.empty());
        EXPECT_TRUE(p.BadFormatKeys.empty());
        EXPECT_FALSE(p.StartLines.empty());
        EXPECT_FALSE(p.EndLines.empty());
        EXPECT_EQ(p.OmitZ, c.Dialect == PostDialect::LASER);
        EXPECT_EQ(p.XDiameterMode, c.Dialect == PostDialect::Lathe);
    }
    TPostProcessor lathe;
    lathe.LoadFromIni(TIniFile(PostFileName(KB_DATA_SOURCE_DIR, "Lathe_ISO_mm")), "Lathe_ISO_mm", true);
    EXPECT_DOUBLE_EQ(lathe.HomeX, 25);
    EXPECT_DOUBLE_EQ(lathe.HomeZ, 5);
}

// The post editor's descriptions: every section of the format with its
// paragraph, and every key the shipped posts use explained.
TEST(ShippedPosts, CommentFileDescribesEverySectionAndKey)
{
    const TIniFile comments(std::string(KB_DATA_SOURCE_DIR) + "/pst/PstComment.txt");
    for (const char* section : kPstSections)
        EXPECT_FALSE(comments.ReadString(section, "Desc", "").empty()) << section;
    for (const std::string& post : ListPostNames(KB_DATA_SOURCE_DIR)) {
        const TIniFile ini(PostFileName(KB_DATA_SOURCE_DIR, post));
        for (const std::string& section : ini.ReadSections()) {
            EXPECT_TRUE(comments.SectionExists(section)) << post << " [" << section << "]";
            const bool numbered = section == "Post Comment" ||
                                  std::find(kPstSections.begin() + 18, kPstSections.begin() + 33, section) !=
                                      kPstSections.begin() + 33;
            if (numbered)
                continue;
            for (const std::string& key : ini.ReadSection(section))
                EXPECT_FALSE(comments.ReadString(section, key, "").empty()) << post << " [" << section << "] " << key;
        }
    }
}

} // namespace
