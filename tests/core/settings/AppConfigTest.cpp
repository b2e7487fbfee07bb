#include "core/settings/AppConfig.h"
#include "core/settings/NumberText.h"
#include "core/geometry/Tolerance.h"
#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace app_config_test {

namespace {

// A configuration folder with the given settings file text ("" = no file).
struct TConfigDir {
    kbtest::TTempDir Dir;
    explicit TConfigDir(const std::string& settings = "")
    {
        if (!settings.empty())
            kbtest::WriteFileText(Ini(), settings);
    }
    std::string Folder() const { return Dir.Path().string(); }
    std::string Ini() const { return Dir.File("kestrabel.ini"); }
};

} // namespace

TEST(AppConfig, DefaultsFollowTheUnitReadFirst)
{
    struct TCase {
        const char* file;
        bool mm;
        double systemTol, chainTol, simulTol, maxArcFit, gridSize, step;
        int coordDecimals, toolDecimals;
        const char* word;
        const char* pst;
    };
    const TCase cases[] = {
        {"", true, 1e-4, 2.5e-3, 0.025, 2500, 100, 10, 3, 3, "mm", "Mach2-3_mm"},
        {"[Default]\nUnit=0\n", false, 5e-6, 1e-4, 0.001, 100, 4, 0.25, 4, 5, "inch", "Mach2-3_inch"},
        {"[default]\nUNIT = 0\n", false, 5e-6, 1e-4, 0.001, 100, 4, 0.25, 4, 5, "inch", "Mach2-3_inch"},
        {"[Default]\nUnit=True\n", true, 1e-4, 2.5e-3, 0.025, 2500, 100, 10, 3, 3, "mm", "Mach2-3_mm"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.file);
        TConfigDir dir(c.file);
        TAppConfig cfg(dir.Folder());
        EXPECT_EQ(cfg.Unit, c.mm);
        EXPECT_EQ(cfg.SystemTol, c.systemTol);
        EXPECT_EQ(cfg.ChainTol, c.chainTol);
        EXPECT_EQ(cfg.SimulTol, c.simulTol);
        EXPECT_EQ(cfg.MaxArcFit, c.maxArcFit);
        EXPECT_EQ(cfg.GridSizeX, c.gridSize);
        EXPECT_EQ(cfg.GridSizeY, c.gridSize);
        EXPECT_EQ(cfg.GridX, c.step);
        EXPECT_EQ(cfg.GridY, c.step);
        EXPECT_EQ(cfg.SnapX, c.step);
        EXPECT_EQ(cfg.SnapY, c.step);
        EXPECT_EQ(cfg.CoordDecimals(), c.coordDecimals);
        EXPECT_EQ(cfg.ToolSizeDecimals(), c.toolDecimals);
        EXPECT_EQ(cfg.UnitWord(), c.word);
        EXPECT_EQ(cfg.Pst, c.pst);
        EXPECT_EQ(cfg.ToolsLib, std::string("Tools_") + c.word + ".tlb");
        EXPECT_EQ(cfg.LaserLib, std::string("Laser_") + c.word + ".llb");
        EXPECT_EQ(cfg.LatheLib, std::string("Lathe_") + c.word + ".rlb");
        EXPECT_EQ(SystemTol(), c.systemTol);
        EXPECT_EQ(ChainTol(), c.chainTol);
    }
}

TEST(AppConfig, EverySettingHasItsDefaultWithoutAFile)
{
    TConfigDir dir;
    TAppConfig cfg(dir.Folder());
    const std::string f = dir.Folder();
    EXPECT_EQ(cfg.SettingsFileName(), f + "/kestrabel.ini");
    EXPECT_EQ(cfg.ToolsFolder(), f + "/tools/");
    EXPECT_EQ(cfg.FilePath_Geo, f + "/samples/");
    EXPECT_EQ(cfg.FilePath_Cnc, f + "/gcode/");
    EXPECT_EQ(cfg.FilePath_T2Dxf, f + "/gcode/");
    EXPECT_EQ(cfg.Version(), "201");
    EXPECT_EQ(cfg.MaxCurveSeg, 200);
    EXPECT_EQ(cfg.Language, "english");
    EXPECT_EQ(cfg.ExtEditor, "Notepad.exe");
    EXPECT_EQ(cfg.SkinName, "Default");
    EXPECT_EQ(cfg.GridOrigin, 4);
    EXPECT_TRUE(cfg.CheckForUpdate && cfg.SGrid && cfg.SAxis && cfg.ShowInt && cfg.TbrImagesOnly);
    EXPECT_FALSE(cfg.UseExtEditor || cfg.DxfPolyInLA || cfg.Tlp2DXF || cfg.fWPMax);
    EXPECT_EQ(cfg.BackGround, 0x808080u);
    EXPECT_EQ(cfg.DefLayers, 0x00FF00u);
    EXPECT_EQ(cfg.Grid, 0x800000u);
    EXPECT_EQ(cfg.ToolPathG0, 0x00FFFFu);
    EXPECT_EQ(cfg.ToolPathG1, 0xFFFF00u);
    EXPECT_EQ(cfg.ToolPathG2, 0x0000FFu);
    EXPECT_EQ(cfg.Chain, 0xFF0000u);
    EXPECT_EQ(cfg.Tool, 0x12143456u);
    EXPECT_EQ(cfg.ToolPathG0LW, 1);
    EXPECT_EQ(cfg.ToolPathG1LW, 2);
    EXPECT_EQ(cfg.ToolPathG2LW, 2);
    EXPECT_EQ(cfg.ChainLW, 2);
    EXPECT_EQ(cfg.fWPL, 10);
    EXPECT_EQ(cfg.fWPT, 10);
    EXPECT_EQ(cfg.fWPW, 821);
    EXPECT_EQ(cfg.fWPH, 610);
}

TEST(AppConfig, ReadsKeysCaseInsensitivelyAndDamagedValuesAsDefaults)
{
    TConfigDir dir("[DEFAULT]\nunit=0\nCHAINTOL=0,0025\nsystemtol=-1\nSimulTol=0.002\nmaxarcfit=50\n"
                   "language=italiano\ngridx=0.5\nfwpmax=1\nPst=\"My post\"\n"
                   "[color]\nchain=255\nTOOL=$00FF00\nbackground=red\n[TOOLBAR]\ntbrimagesonly=0\n");
    TAppConfig cfg(dir.Folder());
    EXPECT_FALSE(cfg.Unit);
    EXPECT_EQ(cfg.ChainTol, 1e-4);  // a comma: the inch default
    EXPECT_EQ(cfg.SystemTol, 5e-6); // negative: the inch default
    EXPECT_EQ(cfg.SimulTol, 0.002);
    EXPECT_EQ(cfg.MaxArcFit, 50);
    EXPECT_EQ(cfg.Language, "italiano");
    EXPECT_EQ(cfg.GridX, 0.5);
    EXPECT_EQ(cfg.GridY, 0.25);
    EXPECT_TRUE(cfg.fWPMax);
    EXPECT_EQ(cfg.Pst, "My post");
    EXPECT_EQ(cfg.Chain, 255u);
    EXPECT_EQ(cfg.Tool, 0x00FF00u);
    EXPECT_EQ(cfg.BackGround, 0x808080u);
    EXPECT_FALSE(cfg.TbrImagesOnly);

    // The curve entities divide by the segment count and allocate per segment.
    const std::pair<const char*, int32_t> segments[] = {
        {"350", 350}, {"1000", 1000}, {"99999", 1000}, {"0", 200}, {"-5", 200}, {"many", 200}};
    for (const auto& [text, expected] : segments) {
        TConfigDir d(std::string("[Default]\nMaxCurveSeg=") + text + "\n");
        TAppConfig c(d.Folder());
        EXPECT_EQ(c.MaxCurveSeg, expected) << text;
        EXPECT_EQ(MaxCurveSeg(), expected) << text;
    }
}

TEST(AppConfig, NewFileHasTheKeysInSaveOrder)
{
    TConfigDir dir;
    TAppConfig cfg(dir.Folder());
    ASSERT_TRUE(cfg.Save()) << cfg.SaveError();
    const std::string f = dir.Folder();
    EXPECT_EQ(kbtest::ReadFileText(dir.Ini()),
              "[Default]\nUnit=1\nChainTol=0.0025\nMaxCurveSeg=200\nSimulTol=0.025\nSystemTol=0.0001\n"
              "MaxArcFit=2500\nCheckForUpdate=1\nLanguage=english\nSGrid=1\nGridOrigin=4\nGridSizeX=100\n"
              "GridSizeY=100\nGridX=10\nGridY=10\nSAxis=1\nSnapX=10\nSnapY=10\nPst=Mach2-3_mm\n"
              "UseExtEditor=0\nExtEditor=Notepad.exe\nToolsLib=Tools_mm.tlb\nLaserLib=Laser_mm.llb\n"
              "LatheLib=Lathe_mm.rlb\nShowInt=1\nFilePath_Geo=" + f + "/samples/\nFilePath_Cnc=" + f +
              "/gcode/\nFilePath_T2Dxf=" + f + "/gcode/\nDxfPolyInLA=0\nTlp2DXF=0\nfWPL=10\nfWPT=10\n"
              "fWPW=821\nfWPH=610\nfWPMax=0\n"
              "[Color]\nDefLayers=65280\nBackGround=8421504\nGrid=8388608\nSkinName=Default\n"
              "Tool=303314006\nToolPathG0=65535\nToolPathG1=16776960\nToolPathG2=255\nChain=16711680\n"
              "ToolPathG0LW=1\nToolPathG1LW=2\nToolPathG2LW=2\nChainLW=2\n"
              "[Toolbar]\nTbrImagesOnly=1\n");

    // An inch file reads back as written, the tiny tolerance included.
    cfg.SetUnit(false);
    cfg.SnapX = 0.125;
    ASSERT_TRUE(cfg.Save()) << cfg.SaveError();
    TIniFile ini(dir.Ini());
    EXPECT_EQ(ini.ReadString("Default", "SystemTol", ""), "5E-6");
    TAppConfig back(dir.Folder());
    EXPECT_FALSE(back.Unit);
    EXPECT_EQ(back.SystemTol, 5e-6);
    EXPECT_EQ(back.SnapX, 0.125);
}

TEST(AppConfig, SaveKeepsWhatOthersWroteIntoTheFile)
{
    TConfigDir dir("; written by hand\n[Toolbar]\ntbrFile.Dock=Top\nTbrImagesOnly=1\n\n"
                   "[Default]\nLanguage=english\nFutureKey=kept\n\n"
                   "[MRURF]\nCount=1\nFile0=/home/u/a.kvx\n\n[GRBLMacros]\nMacro0=G0 X0 Y0\n");
    TAppConfig cfg(dir.Folder());
    cfg.Language = "italiano";
    cfg.TbrImagesOnly = false;
    ASSERT_TRUE(cfg.Save()) << cfg.SaveError();

    const std::string text = kbtest::ReadFileText(dir.Ini());
    EXPECT_EQ(text.rfind("; written by hand\n[Toolbar]\ntbrFile.Dock=Top\nTbrImagesOnly=0\n\n[Default]\n"
                         "Language=italiano\nFutureKey=kept\nUnit=1\n", 0), 0u) << text;
    TIniFile ini(dir.Ini());
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Toolbar", "Default", "MRURF", "GRBLMacros", "Color"}));
    EXPECT_EQ(ini.ReadString("MRURF", "File0", ""), "/home/u/a.kvx");
    EXPECT_EQ(ini.ReadString("GRBLMacros", "Macro0", ""), "G0 X0 Y0");
    EXPECT_EQ(ini.ReadString("Default", "FutureKey", ""), "kept");
}

TEST(AppConfig, FailedSaveIsReportedAndLosesNothing)
{
    TConfigDir dir;
    TAppConfig gone(dir.Folder() + "/missing");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(gone.Save());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(gone.SaveError().empty());
    EXPECT_NE(err.find(gone.SaveError()), std::string::npos) << err;

    TAppConfig noFolder("");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(noFolder.Save());
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(noFolder.SaveError().empty());

    // The settings file is a folder: it cannot be replaced, and stays.
    std::filesystem::create_directory(dir.Ini());
    TAppConfig blocked(dir.Folder());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(blocked.Save());
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(std::filesystem::is_directory(dir.Ini()));

    // A later save that works clears the error.
    std::filesystem::remove(dir.Ini());
    EXPECT_TRUE(blocked.Save());
    EXPECT_TRUE(blocked.SaveError().empty());
}

TEST(AppConfig, UnitSwitchAndResetTouchOnlyWhatTheyOwn)
{
    TConfigDir dir("[Default]\nMaxCurveSeg=100\nGridX=3\nSystemTol=0.5\n[Color]\nChain=1\nChainLW=7\n"
                   "BackGround=2\nDefLayers=3\nGrid=4\nToolPathG0=5\nToolPathG1=6\nToolPathG2=7\n");
    TAppConfig cfg(dir.Folder());
    ASSERT_EQ(cfg.MaxCurveSeg, 100);
    cfg.SetUnit(false);
    EXPECT_EQ(cfg.MaxCurveSeg, 200);
    EXPECT_EQ(cfg.SystemTol, 5e-6);
    EXPECT_EQ(cfg.MaxArcFit, 100);
    EXPECT_EQ(cfg.GridX, 3);      // grid and snap stay
    EXPECT_EQ(cfg.SnapX, 10);
    EXPECT_EQ(cfg.ToolsLib, "Tools_mm.tlb"); // names stay too; only the word changes
    EXPECT_EQ(cfg.UnitWord(), "inch");

    cfg.ChainTol = 0.5;
    cfg.ResetColors();
    EXPECT_FALSE(cfg.Unit);
    EXPECT_EQ(cfg.ChainTol, 1e-4);
    EXPECT_EQ(cfg.BackGround, 0x808080u);
    EXPECT_EQ(cfg.DefLayers, 0x00FF00u);
    EXPECT_EQ(cfg.Grid, 0x800000u);
    EXPECT_EQ(cfg.ToolPathG0, 0x00FFFFu);
    EXPECT_EQ(cfg.ToolPathG1, 0xFFFF00u);
    EXPECT_EQ(cfg.ToolPathG2, 0x0000FFu);
    EXPECT_EQ(cfg.Chain, 1u);
    EXPECT_EQ(cfg.ChainLW, 7);
}

TEST(AppConfig, PublishedObjectFeedsTheToleranceReferencesUntilItGoes)
{
    {
        TAppConfig cfg("");
        EXPECT_EQ(&AppConfig(), &cfg);
        cfg.ChainTol = 0.125;
        cfg.SystemTol = 0.25;
        cfg.MaxCurveSeg = 17;
        EXPECT_EQ(ChainTol(), 0.125);
        EXPECT_EQ(SystemTol(), 0.25);
        EXPECT_EQ(MaxCurveSeg(), 17);
    }
    EXPECT_EQ(ChainTol(), 2.5e-3);
    EXPECT_EQ(SystemTol(), 1e-4);
    EXPECT_EQ(MaxCurveSeg(), 200);
    EXPECT_TRUE(AppConfig().ConfigFolder().empty());
    EXPECT_EQ(AppConfig().CoordDecimals(), 3);
}

TEST(AppConfig, NumbersIgnoreTheProcessLocale)
{
    struct TLocaleGuard {
        ~TLocaleGuard() { std::setlocale(LC_ALL, "C"); }
    } guard;
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "the de_DE.UTF-8 locale must be installed";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");

    TConfigDir dir("[Default]\nUnit=0\nChainTol=0.0005\nGridX=0,5\n");
    TAppConfig cfg(dir.Folder());
    EXPECT_EQ(cfg.ChainTol, 0.0005);
    EXPECT_EQ(cfg.GridX, 0.25);
    cfg.SnapX = 1.5;
    ASSERT_TRUE(cfg.Save()) << cfg.SaveError();
    const TIniFile ini(dir.Ini());
    EXPECT_EQ(ini.ReadString("Default", "SnapX", ""), "1.5");
    EXPECT_EQ(ini.ReadString("Default", "ChainTol", ""), "0.0005");

    EXPECT_EQ(FormatCoord(2.5), "2.5");
    EXPECT_EQ(FormatCoordSpaced(-1.25), " -1.25");
    EXPECT_EQ(Format3DecimalsTrim(0.125), "0.125");
    EXPECT_EQ(ParseDecimal("1.5"), 1.5);
    EXPECT_EQ(ParseDecimal("1,5"), std::nullopt);
}

}  // namespace app_config_test
