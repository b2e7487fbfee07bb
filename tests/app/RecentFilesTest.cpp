#include "app/mainwin/RecentFiles.h"

#include "app/mainwin/WindowLayout.h"
#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using TNames = std::vector<std::string>;

TEST(RecentFiles, NewestFirstEachOnceAtMostTen)
{
    TRecentFiles recent;
    int changes = 0;
    recent.OnChange = [&] { ++changes; };
    for (int i = 1; i <= 12; ++i)
        recent.Add("/d/f" + std::to_string(i) + ".kvx");
    ASSERT_EQ(recent.Names().size(), 10u);
    EXPECT_EQ(recent.Names().front(), "/d/f12.kvx");
    EXPECT_EQ(recent.Names().back(), "/d/f3.kvx"); // the two oldest dropped off
    recent.Add("/d/f5.kvx");
    EXPECT_EQ(recent.Names().front(), "/d/f5.kvx");
    EXPECT_EQ(recent.Names().size(), 10u);
    EXPECT_EQ(std::count(recent.Names().begin(), recent.Names().end(), "/d/f5.kvx"), 1);
    recent.Add("");
    EXPECT_EQ(recent.Names().front(), "/d/f5.kvx");
    EXPECT_EQ(changes, 13);
}

TEST(RecentFiles, TheSectionRoundTripsAndKeepsTheRestOfTheFile)
{
    kbtest::TTempDir dir;
    const std::string file = dir.File("kestrabel.ini");
    kbtest::WriteFileText(file, "[Default]\nUnit=1\n[MRURF]\nFile1=/old.kvx\nFile2=/gone.kvx\n[GRBLMacros]\nM1=G0 X0\n");
    TRecentFiles recent;
    QByteArray state;
    LoadToolbarsAndRecentFiles(file, state, recent);
    EXPECT_EQ(recent.Names(), (TNames{"/old.kvx", "/gone.kvx"}));
    EXPECT_TRUE(state.isEmpty());

    recent.Clear();
    recent.Add("/b.kvx");
    recent.Add("/a b;c.kvx"); // blanks and ";" stay part of the value
    std::string error;
    ASSERT_TRUE(SaveToolbarsAndRecentFiles(file, QByteArray("\x01\x02state\xff", 9), recent, error)) << error;

    const TIniFile ini(file);
    EXPECT_EQ(ini.ReadString("Default", "Unit", ""), "1");
    EXPECT_EQ(ini.ReadString("GRBLMacros", "M1", ""), "G0 X0");
    EXPECT_FALSE(ini.ValueExists("MRURF", "File3"));
    TRecentFiles again;
    LoadToolbarsAndRecentFiles(file, state, again);
    EXPECT_EQ(again.Names(), (TNames{"/a b;c.kvx", "/b.kvx"}));
    EXPECT_EQ(state, QByteArray("\x01\x02state\xff", 9));
}

TEST(RecentFiles, DamagedEntriesAreSkipped)
{
    TIniFile ini;
    ini.LoadFromString("[MRURF]\nFile1=\nFile2=/a.kvx\nFile3=/a.kvx\nFile11=/eleven.kvx\n"
                       "[Toolbar]\nLayout=not base64 !!\n");
    TRecentFiles recent;
    recent.Load(ini);
    EXPECT_EQ(recent.Names(), (TNames{"/a.kvx"}));
    EXPECT_TRUE(ReadToolbarLayout(ini).isEmpty());
}

} // namespace
