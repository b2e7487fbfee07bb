#include "nc/gcode/LeggeGCode.h"

#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A reader with the defaults of a description, in the given dialect.
TLeggeGCode Reader(const std::string& pst = "")
{
    TIniFile ini;
    ini.LoadFromString(pst);
    TLeggeGCode r;
    r.LoadFromIni(ini, "test", true);
    return r;
}

// Values go through single precision.
double F(double v) { return static_cast<float>(v); }

struct TStep {
    const char* Line;
    bool Result;
    int Code;
    double X, Y, Z;
};

// Feeds the lines in order and checks the result, the motion code and the
// position after each.
void Replay(TLeggeGCode& r, std::initializer_list<TStep> steps)
{
    for (const TStep& s : steps) {
        EXPECT_EQ(r.ParseLine(s.Line), s.Result) << s.Line;
        EXPECT_EQ(r.MotionCode, s.Code) << s.Line;
        EXPECT_EQ(r.ReaderX, F(s.X)) << s.Line;
        EXPECT_EQ(r.ReaderY, F(s.Y)) << s.Line;
        EXPECT_EQ(r.ReaderZ, F(s.Z)) << s.Line;
    }
}

TEST(LeggeGCode, IsoProgramKeepsModalState)
{
    TLeggeGCode r = Reader();
    Replay(r, {
                  {"G1 X10 Y5 F200", true, 1, 10, 5, 0},
                  {"X20", true, 1, 20, 5, 0},          // code and Y carried over
                  {"G01 Z-1.5", true, 1, 20, 5, -1.5}, // leading zero of the code
                  {"G4 P1", false, 1, 20, 5, -1.5},    // 4 is no motion code
                  {"G17 G0 X.5", true, 0, 0.5, 5, -1.5},
                  {"F300", true, 0, 0.5, 5, -1.5},     // a feed alone counts
                  {"M30", false, 0, 0.5, 5, -1.5},
                  {"g1 x10", false, 0, 0.5, 5, -1.5},  // lower case is not read
                  {"G28 X0 Y0", false, 0, 0.5, 5, -1.5},
                  {"X1 G28 Y0", true, 0, 1, 5, -1.5},  // only the part from G28 on goes
                  {"", false, 0, 1, 5, -1.5},
              });
    EXPECT_EQ(r.ModalMotionCode, 0);
}

// The G words leave the line in one pass: a reader that goes back to the
// start for every G takes minutes over a megabyte of them.
TEST(LeggeGCode, GWordsOfALineAreReadInOnePass)
{
    TLeggeGCode r = Reader();
    const std::string many(1 << 20, 'G');
    Replay(r, {
                  {"GG1X5", true, 1, 5, 0, 0},            // an empty G first
                  {"X1G2G3Y2", true, 3, 1, 2, 0},         // the letters around them join
                  {"G99999999999 G0 X7", true, 0, 7, 2, 0}, // beyond int32: no code
                  {(many + "2 X3").c_str(), true, 2, 3, 2, 0},
                  {(many + many).c_str(), false, 2, 3, 2, 0},
              });
}

TEST(LeggeGCode, ArcsByCentreAndByRadius)
{
    TLeggeGCode r = Reader();
    EXPECT_TRUE(r.ParseLine("G2 X0 Y10 I-10 J0"));
    EXPECT_EQ(r.MotionCode, 2);
    EXPECT_EQ(r.ArcI, -10);
    EXPECT_EQ(r.ArcJ, 0);
    EXPECT_TRUE(r.ParseLine("G3 X5 Y5 R2.5"));
    EXPECT_EQ(r.MotionCode, 3);
    EXPECT_EQ(r.ArcR, 2.5);
    EXPECT_TRUE(r.ParseLine("G2 X5 Y5"));
    EXPECT_EQ(r.ArcR, 0); // no R nor U: a centre arc
    EXPECT_TRUE(r.ParseLine("G3 X1 Y1 U7"));
    EXPECT_EQ(r.ArcR, 7);
    EXPECT_TRUE(r.ParseLine("K-3"));
    EXPECT_EQ(r.ArcK, -3);
    EXPECT_EQ(r.MotionCode, 3);
    // Arc values are only read while an arc code is in force.
    EXPECT_TRUE(r.ParseLine("G1 X2 I9"));
    EXPECT_EQ(r.ArcI, -10);
}

TEST(LeggeGCode, CyclesReadTheirRPlane)
{
    TLeggeGCode r = Reader();
    Replay(r, {{"G81 X5 Y5 Z-3 R2", true, 81, 5, 5, -3}});
    EXPECT_EQ(r.CycleR, 2);
    Replay(r, {{"X10", true, 81, 10, 5, -3}, {"G80", false, 80, 10, 5, -3}});
    EXPECT_FALSE(r.ParseLine("R4")); // no cycle in force any more
    EXPECT_EQ(r.CycleR, 2);
}

TEST(LeggeGCode, CommentsAndToolDiameter)
{
    TLeggeGCode r = Reader();
    EXPECT_TRUE(r.ParseLine("(T1 TLDIA=6.35)"));
    EXPECT_EQ(r.ToolDiameter, F(6.35));
    EXPECT_EQ(r.LineKind, TLeggeGCode::lkToolDiameter);
    EXPECT_FALSE(r.ParseLine("(TLDIA=-6)"));
    EXPECT_EQ(r.ToolDiameter, F(6.35));
    EXPECT_FALSE(r.ParseLine("(X99 Y99)"));
    Replay(r, {{"G0 X1 (move Y9)", true, 0, 1, 0, 0}});
    EXPECT_EQ(r.LineKind, TLeggeGCode::lkNumber);
    // The diameter comes first, so a number read later in the line wins.
    EXPECT_TRUE(r.ParseLine("X2 (TLDIA=3)"));
    EXPECT_EQ(r.LineKind, TLeggeGCode::lkNumber);
    EXPECT_EQ(r.ToolDiameter, 3);

    // Another comment opener; an empty one means there are no comments.
    TLeggeGCode semi = Reader("[Default]\nStartComment=;\n");
    Replay(semi, {{"G1 X3 ; Y7", true, 1, 3, 0, 0}});
    TLeggeGCode none = Reader("[Default]\nStartComment=\n");
    Replay(none, {{"G1 X3 Y7", true, 1, 3, 7, 0}});
}

TEST(LeggeGCode, MalformedNumbersAreSkipped)
{
    TLeggeGCode r = Reader();
    Replay(r, {{"G1 X10 Y20 Z30", true, 1, 10, 20, 30},
               {"X1-2 Y- Z.", false, 1, 10, 20, 30},
               {"X+5", false, 1, 10, 20, 30},
               {"Y1e40", true, 1, 10, 1, 30}, // "1" is read, "e40" is left
               {"X99999999999999999999999999999999999999999", false, 1, 10, 1, 30},
               {"G99999999999999999 X4", true, 1, 4, 1, 30},
               {"G X5", true, 1, 5, 1, 30}});
}

TEST(LeggeGCode, RapidWordMakesARapid)
{
    TLeggeGCode r = Reader("[Feed]\nRapid=FMAX\n");
    Replay(r, {{"G1 X5 FMAX", true, 0, 5, 0, 0}});
    EXPECT_EQ(r.ModalMotionCode, 0);
    Replay(r, {{"G2 X6 FMAX", true, 2, 6, 0, 0}}); // only lines and rapids become rapids
}

TEST(LeggeGCode, LatheAxesAndDiameterMode)
{
    TLeggeGCode r = Reader("[Default]\nMachineType=Lathe\n[X Axis]\nX_Mode=Diameter\n");
    Replay(r, {{"G1 X20 Z-5", true, 1, -5, 10, 0}});
    EXPECT_TRUE(r.ParseLine("G2 X30 Z-10 I8 K0"));
    EXPECT_EQ(r.ArcI, 8) << "a radius value, as the writer writes it";
    EXPECT_EQ(r.ArcK, 0);

    TLeggeGCode radius = Reader("[Default]\nMachineType=Lathe\n");
    Replay(radius, {{"G1 X20 Z-5", true, 1, -5, 20, 0}});
}

TEST(LeggeGCode, IncrementalLinesStartFromZero)
{
    TLeggeGCode r = Reader("[Default]\nIncremental_mode=1\n");
    Replay(r, {{"G1 X10 Y5 Z1", true, 1, 10, 5, 1}, {"Z2", true, 1, 0, 0, 2}});
}

TEST(LeggeGCode, HeidenhainDialect)
{
    TLeggeGCode r = Reader("[Default]\nDialect=HEI\n[Feed]\nRapid=FMAX\n");
    Replay(r, {{"L X5 Y5 FMAX", true, 0, 5, 5, 0}});
    EXPECT_FALSE(r.ParseLine("CC X10 Y0"));
    EXPECT_EQ(r.ArcI, 10);
    EXPECT_EQ(r.ArcJ, 0);
    Replay(r, {{"C X20 Y0 DR-", true, 2, 20, 0, 0},
               {"C X10 Y10 DR+", true, 3, 10, 10, 0},
               {"L Z-2 F100", true, 1, 10, 10, -2}});
    EXPECT_EQ(r.ArcR, 0);
}

TEST(LeggeGCode, OtherDialectsReadOnlyPositions)
{
    TLeggeGCode r = Reader("[Default]\nDialect=XIL\n");
    Replay(r, {{"G2 X5 Y6 I1", true, 0, 5, 6, 0}});
    EXPECT_EQ(r.ArcI, 0);
}

} // namespace
