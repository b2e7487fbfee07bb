#include "platform/IniFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(IniFile, SectionsAndKeysAreCaseInsensitiveValuesAreTheRestOfTheLine)
{
    TIniFile ini;
    ini.LoadFromString("[Default]\r\nUnit = 1\r\nPath=C:\\a;b,c\r\nQuoted=\"x y\"\r\n;Hidden=1\r\n");
    EXPECT_EQ(ini.ReadInteger("default", "UNIT", 0), 1);
    EXPECT_EQ(ini.ReadString("DEFAULT", "path", ""), "C:\\a;b,c");
    EXPECT_EQ(ini.ReadString("Default", "Quoted", ""), "x y");
    EXPECT_FALSE(ini.ValueExists("Default", ";Hidden"));
    EXPECT_EQ(ini.ReadString("Default", "Missing", "def"), "def");
}

TEST(IniFile, NumbersAreLocaleIndependentAndBadOnesGiveTheDefault)
{
    TIniFile ini;
    ini.LoadFromString("[S]\nA=0,0025\nB=0.0025\nC=abc\nD=$10\nE=1e-4\nF=12x\nG=99999999999\n");
    EXPECT_EQ(ini.ReadFloat("S", "A", 7.0), 7.0);
    EXPECT_EQ(ini.ReadFloat("S", "B", 7.0), 0.0025);
    EXPECT_EQ(ini.ReadFloat("S", "E", 7.0), 1e-4);
    EXPECT_EQ(ini.ReadInteger("S", "C", 3), 3);
    EXPECT_EQ(ini.ReadInteger("S", "D", 3), 16);
    EXPECT_EQ(ini.ReadInteger("S", "F", 3), 3);
    EXPECT_EQ(ini.ReadInteger("S", "G", 3), 3);
    EXPECT_TRUE(ini.ReadBool("S", "D", false));
    EXPECT_FALSE(ini.ReadBool("S", "C", false));
}

TEST(IniFile, WritingKeepsOrderAndForeignContent)
{
    TIniFile ini;
    ini.LoadFromString("[Toolbar]\nPos=1\n\n[Default]\nUnit=1\n; note\nLanguage=english\n\n[MRURF]\nF1=a.kvx\n");
    ini.WriteBool("default", "unit", false);
    ini.WriteFloat("Default", "ChainTol", 0.0025);
    ini.WriteString("GRBLMacros", "M1", "G0 X0");
    EXPECT_EQ(ini.ToString(),
              "[Toolbar]\nPos=1\n\n[Default]\nUnit=0\n; note\nLanguage=english\nChainTol=0.0025\n\n"
              "[MRURF]\nF1=a.kvx\n[GRBLMacros]\nM1=G0 X0\n");
}

TEST(IniFile, FloatTextRoundsTo15Digits)
{
    EXPECT_EQ(FormatIniFloat(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatIniFloat(100), "100");
    EXPECT_EQ(FormatIniFloat(5e-6), "5E-6");
    EXPECT_EQ(FormatIniFloat(-2.5e-3), "-0.0025");
    EXPECT_EQ(ParseIniFloat(FormatIniFloat(1.0 / 3)).value(), 0.333333333333333);
}

TEST(IniFile, SaveReplacesTheFileWhole)
{
    kbtest::TTempDir dir;
    TIniFile ini(dir.File("k.ini"));
    ini.WriteInteger("A", "B", 5);
    ASSERT_TRUE(ini.UpdateFile()) << ini.LastError();
    TIniFile back(dir.File("k.ini"));
    EXPECT_EQ(back.ReadInteger("a", "b", 0), 5);

    TIniFile bad(dir.File("no/such/folder/k.ini"));
    EXPECT_FALSE(bad.UpdateFile());
    EXPECT_FALSE(bad.LastError().empty());
}
