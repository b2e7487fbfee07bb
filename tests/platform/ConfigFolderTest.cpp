#include "platform/ConfigFolder.h"

#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

TEST(ConfigFolder, DefaultFolderFollowsTheDataHome)
{
    struct TCase {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const TCase cases[] = {
        {"/data/u", "/home/u", "/data/u/Kestrabel 3"},
        {"/data/u/", "/home/u", "/data/u/Kestrabel 3"},
        {"", "/home/u", "/home/u/.local/share/Kestrabel 3"},
        {"relative/share", "/home/u/", "/home/u/.local/share/Kestrabel 3"}, // a relative value is ignored
        {"", "", ""},
        {"", "not/absolute", ""},
    };
    for (const TCase& c : cases) {
        TConfigFolderEnv env;
        env.XdgDataHome = c.xdg;
        env.Home = c.home;
        env.SystemIniFile.clear();
        EXPECT_EQ(DefaultConfigFolder(env), c.expected) << c.xdg << " | " << c.home;
        EXPECT_EQ(ConfigFolderPath(env), c.expected) << c.xdg << " | " << c.home;
    }
}

TEST(ConfigFolder, UserPathOfTheSystemIniMovesTheFolderButNeverToNowhere)
{
    kbtest::TTempDir dir;
    TConfigFolderEnv env;
    env.Home = "/home/u";
    env.SystemIniFile = dir.File("Kestrabel 3.ini");
    const std::string fallback = "/home/u/.local/share/Kestrabel 3";

    struct TCase {
        const char* ini;
        const char* expected;
    };
    const TCase cases[] = {
        {"[Kestrabel 3]\nUserPath=/srv/kb\n", "/srv/kb"},
        {"[KESTRABEL 3]\nuserpath = /srv/kb/ \n", "/srv/kb"},
        {"[Kestrabel 3]\nUserPath=\n", nullptr},     // empty: not the file-system root
        {"[Kestrabel 3]\nUserPath=   \n", nullptr},
        {"[Kestrabel 3]\nUserPath=kb/conf\n", nullptr}, // relative: not the start folder
        {"[Other]\nUserPath=/srv/kb\n", nullptr},
    };
    for (const TCase& c : cases) {
        kbtest::WriteFileText(env.SystemIniFile, c.ini);
        EXPECT_EQ(ConfigFolderPath(env), c.expected ? c.expected : fallback) << c.ini;
    }
    fs::remove(env.SystemIniFile);
    EXPECT_EQ(ConfigFolderPath(env), fallback);
    kbtest::WriteFileText(env.SystemIniFile, "[Kestrabel 3]\nUserPath=/srv/kb\n");
    const std::string before = kbtest::ReadFileText(env.SystemIniFile);
    ConfigFolderPath(env);
    EXPECT_EQ(kbtest::ReadFileText(env.SystemIniFile), before);
}

TEST(ConfigFolder, NewFolderGetsItsSubFoldersAndTheDefaults)
{
    kbtest::TTempDir dir;
    const fs::path defaults = dir.Path() / "data";
    fs::create_directories(defaults / "pst");
    fs::create_directories(defaults / "samples" / "parts");
    kbtest::WriteFileText((defaults / "pst" / "Mach2-3_mm.pst").string(), "[Post]\n");
    kbtest::WriteFileText((defaults / "samples" / "parts" / "a.dxf").string(), "0\nEOF\n");
    kbtest::WriteFileText((defaults / "gcode-not-copied.nc").string(), "G0\n");
    // no defaults/tools at all: nothing to copy there

    const fs::path folder = dir.Path() / "share" / "Kestrabel 3";
    const TConfigFolderResult r = PrepareConfigFolder(folder.string(), defaults.string());
    ASSERT_TRUE(r.Ok()) << r.Errors.front();
    EXPECT_TRUE(r.Created);
    for (const char* sub : {"pst", "tools", "samples", "gcode"})
        EXPECT_TRUE(fs::is_directory(folder / sub)) << sub;
    EXPECT_EQ(kbtest::ReadFileText((folder / "pst" / "Mach2-3_mm.pst").string()), "[Post]\n");
    EXPECT_EQ(kbtest::ReadFileText((folder / "samples" / "parts" / "a.dxf").string()), "0\nEOF\n");
    EXPECT_TRUE(fs::is_empty(folder / "tools"));
    EXPECT_TRUE(fs::is_empty(folder / "gcode"));
}

TEST(ConfigFolder, ExistingFolderGainsMissingDefaultsAndKeepsTheUsersFiles)
{
    kbtest::TTempDir dir;
    const fs::path defaults = dir.Path() / "data";
    fs::create_directories(defaults / "pst");
    fs::create_directories(defaults / "tools");
    for (const char* post : {"Mach2-3_mm.pst", "Mach2-3_inch.pst", "GRBL_mm.pst", "PstComment.txt"})
        kbtest::WriteFileText((defaults / "pst" / post).string(), std::string("shipped ") + post);
    kbtest::WriteFileText((defaults / "tools" / "Tools_mm.tlb").string(), "program default\n");

    // A folder of an older version: the user edited a shipped post and has one
    // of his own; the settings file has never heard of copied defaults.
    const fs::path folder = dir.Path() / "conf";
    fs::create_directories(folder / "pst");
    fs::create_directories(folder / "tools");
    kbtest::WriteFileText((folder / "pst" / "Mach2-3_mm.pst").string(), "edited by the user\r\n");
    kbtest::WriteFileText((folder / "pst" / "GRBL.pst").string(), "user copy of an old post\n");
    kbtest::WriteFileText((folder / "kestrabel.ini").string(), "[Default]\nUnit=1\n");

    const TConfigFolderResult r = PrepareConfigFolder(folder.string(), defaults.string());
    ASSERT_TRUE(r.Ok()) << r.Errors.front();
    EXPECT_FALSE(r.Created);
    EXPECT_EQ(kbtest::ReadFileText((folder / "pst" / "Mach2-3_mm.pst").string()), "edited by the user\r\n");
    EXPECT_EQ(kbtest::ReadFileText((folder / "pst" / "GRBL.pst").string()), "user copy of an old post\n");
    for (const char* post : {"Mach2-3_inch.pst", "GRBL_mm.pst", "PstComment.txt"})
        EXPECT_EQ(kbtest::ReadFileText((folder / "pst" / post).string()), std::string("shipped ") + post) << post;
    EXPECT_EQ(kbtest::ReadFileText((folder / "tools" / "Tools_mm.tlb").string()), "program default\n");
    // The settings keep what they held and name every default now in place.
    const TIniFile settings((folder / "kestrabel.ini").string());
    EXPECT_EQ(settings.ReadString("Default", "Unit", ""), "1");
    EXPECT_EQ(settings.ReadSection(kCopiedDefaultsSection).size(), 5u);
}

TEST(ConfigFolder, DeletedDefaultsStayDeletedAndNewOnesArrive)
{
    kbtest::TTempDir dir;
    const fs::path defaults = dir.Path() / "data";
    fs::create_directories(defaults / "pst");
    kbtest::WriteFileText((defaults / "pst" / "A.pst").string(), "a");
    kbtest::WriteFileText((defaults / "pst" / "B.pst").string(), "b");
    const fs::path folder = dir.Path() / "conf";
    ASSERT_TRUE(PrepareConfigFolder(folder.string(), defaults.string()).Ok());
    ASSERT_TRUE(fs::exists(folder / "pst" / "A.pst"));

    fs::remove(folder / "pst" / "A.pst");                                   // the user deletes a shipped post
    kbtest::WriteFileText((defaults / "pst" / "C.pst").string(), "c");       // a later version ships another
    const std::string settingsBefore = kbtest::ReadFileText((folder / "kestrabel.ini").string());
    ASSERT_TRUE(PrepareConfigFolder(folder.string(), defaults.string()).Ok());
    EXPECT_FALSE(fs::exists(folder / "pst" / "A.pst"));
    EXPECT_EQ(kbtest::ReadFileText((folder / "pst" / "C.pst").string()), "c");

    // Nothing new: the settings file is not written again.
    const std::string settingsAfter = kbtest::ReadFileText((folder / "kestrabel.ini").string());
    EXPECT_NE(settingsAfter, settingsBefore);
    ASSERT_TRUE(PrepareConfigFolder(folder.string(), defaults.string()).Ok());
    EXPECT_EQ(kbtest::ReadFileText((folder / "kestrabel.ini").string()), settingsAfter);
}

TEST(ConfigFolder, FailuresAreReportedNotHidden)
{
    kbtest::TTempDir dir;
    kbtest::WriteFileText(dir.File("file"), "x");
    EXPECT_FALSE(PrepareConfigFolder(dir.File("file"), "").Ok()); // the folder is a file
    EXPECT_FALSE(PrepareConfigFolder("", "").Ok());

    const fs::path folder = dir.Path() / "conf";
    fs::create_directories(folder);
    kbtest::WriteFileText((folder / "gcode").string(), "in the way");
    const TConfigFolderResult r = PrepareConfigFolder(folder.string(), "");
    ASSERT_EQ(r.Errors.size(), 1u);
    EXPECT_NE(r.Errors.front().find("gcode"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(folder / "samples")); // the others were still made
}
