// Move blocks of every dialect and the milling, lathe and rotary-axis
// writers, checked as exact program lines.

#include "nc/writer/ScriveGCode.h"

#include "tests/nc/writer/WriterTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using kbtest::LoadedWriter;
using kbtest::TTestOperation;
using TLines = std::vector<std::string>;

TAVertice3d At(double x, double y, double z = 0)
{
    return TAVertice3d::CreateAt({x, y, z});
}

TAVertice3d Arc(int kind, TVector3D end, TVector3D centre)
{
    return TAVertice3d::CreateFull(kind, end, centre, 0);
}

// A writer with an operation to read, its modal memory unknown and its
// last position at start.
void Prepare(TScriveGCode& w, const TTestOperation& op, const TAVertice3d& start)
{
    w.ResetOutputState();
    w.ResetModal();
    w.SetCurrentOperation(&op);
    w.LastPosition = start;
}

TEST(MoveBlocks, IsoSquareAsFirstOperation)
{
    TScriveGCode w = LoadedWriter("");
    TTestOperation op;
    op.AddCurve({{0, 0, -1}, {10, 0, -1}, {10, 10, -1}, {0, 10, -1}, {0, 0, -1}});
    ASSERT_TRUE(w.BeginProgram(op));
    w.WriteMilling(op);
    EXPECT_EQ(w.ProgramLines, (TLines{"G0 Z5.000", "G0 X0.000 Y0.000", "G1 Z-1.000 F50.0",
                                      "G1 X10.000 Y0.000 Z-1.000 F100.0", "G1 X10.000 Y10.000 Z-1.000",
                                      "G1 X0.000 Y10.000 Z-1.000", "G1 X0.000 Y0.000 Z-1.000", "G0 Z5.000"}));
}

struct TBlockCase {
    const char* Name;
    const char* Pst;
    TAVertice3d Start;
    std::function<void(TScriveGCode&)> Moves; // appends what it writes
    TLines Expected;
};

const char* const kHei = "[Default]\nDialect=HEI\n[Block Numbering]\nOutputSeq=1\nPref=\nSeqStart=1\n"
                         "[GCode]\nRapid=L\nLinear=L\nCircular_CW=DR-\nCircular_CCW=DR+\n"
                         "[ArcDef]\nIPref=X\nJPref=Y\nArcCenter=1\n[Feed]\nRapid=FMAX\n";
const char* const kSbo = "[Default]\nDialect=SBO\nSpaces=0\nXYZModal=1\n[GCode]\nRapid=J\nLinear=M\n"
                         "Circular_CW=,T,1\nCircular_CCW=,T,-1\n[ShopBot]\nSBO_XYPref=2,\n"
                         "[X Axis]\nPref=X,\n[Y Axis]\nPref=Y,\n[Z Axis]\nPref=Z,\n[ArcDef]\nIPref=,\nJPref=,\nArcCenter=2\n";

const char* const kSboIncremental = "[Default]\nDialect=SBO\nSpaces=0\nXYZModal=0\nIncremental_mode=1\n"
                                   "[GCode]\nRapid=J\nLinear=M\n[ShopBot]\nSBO_XYPref=2,\n"
                                   "[X Axis]\nPref=X,\n[Y Axis]\nPref=Y,\n";

TEST(MoveBlocks, EachDialectWritesItsBlocks)
{
    const TBlockCase cases[] = {
        {"ISO arc, centre minus start", "[ArcDef]\nArcCenter=2\nArcOutput=0\n", At(10, 0),
         [](TScriveGCode& w) { w.AddLine(w.XYMove(Arc(1, {0, 10, 0}, {0, 0, 0}), false)); },
         {"G3 X0.000 Y10.000 I-10.000 J0.000 F100.0"}},
        {"ArcCenter outside 1 to 4 counts as 1", "[ArcDef]\nArcCenter=7\n", At(10, 0),
         [](TScriveGCode& w) { w.AddLine(w.XYMove(Arc(-1, {20, 0, 0}, {15, 0, 0}), false)); },
         {"G2 X20.000 Y0.000 I15.000 J0.000 F100.0"}},
        {"signed radius: three quarters negative, half positive", "[ArcDef]\nArcOutput=2\n", At(10, 0),
         [](TScriveGCode& w) {
             w.AddLine(w.XYMove(Arc(1, {0, -10, 0}, {0, 0, 0}), false));
             w.LastPosition = At(10, 0);
             w.AddLine(w.XYMove(Arc(1, {-10, 0, 0}, {0, 0, 0}), false));
             w.AddLine(w.XYMove(Arc(-1, {0, 10, 0}, {0, 0, 0}), false));
         },
         {"G3 X0.000 Y-10.000 R-10.000 F100.0", "G3 X-10.000 Y0.000 R10.000", "G2 X0.000 Y10.000 R10.000"}},
        {"ISO Z blocks: rapid without feed, plunge with it", "", At(0, 0),
         [](TScriveGCode& w) {
             w.AddLine(w.ZMove(false, 5));
             w.AddLine(w.ZMove(true, -1));
         },
         {"G0 Z5.000", "G1 Z-1.000 F50.0"}},
        {"XIL: arc suffix after the arc words", "[Default]\nDialect=XIL\n[GCode]\nXILSuffix_CW=Q1\nXILSuffix_CCW=Q2\n",
         At(10, 0),
         [](TScriveGCode& w) {
             w.AddLine(w.XYMove(Arc(1, {0, 10, 0}, {0, 0, 0}), false));
             w.AddLine(w.XYZMove(At(5, 5, -3), true));
         },
         {"G3 X0.000 Y10.000 I0.000 J0.000 Q2 F100.0", "G0 X5.000 Y5.000"}},
        {"HEI: a line, a rapid, an arc in two blocks, Z moves", kHei, At(10, 0),
         [](TScriveGCode& w) {
             w.AddLine(w.XYMove(At(20, 0), false));
             w.AddLine(w.XYMove(At(5, 5), true));
             w.LastPosition = At(10, 0);
             w.AddLine(w.XYMove(Arc(1, {0, 10, 0}, {0, 0, 0}), false));
             w.AddLine(w.ZMove(true, -1));
             w.AddLine(w.ZMove(false, 5));
         },
         {"1 L X20.000 Y0.000 F100.0", "2 L X5.000 Y5.000 FMAX", "3 CC X0.000 Y0.000", "4 C X0.000 Y10.000 DR+",
          "5 L Z-1.000 F50.0", "6 L Z5.000 FMAX"}},
        {"SBO: both axes with the prefix, one axis as its word, arcs, Z", kSbo, At(-1, -1),
         [](TScriveGCode& w) {
             w.AddLine(w.XYMove(At(0, 0), true));
             w.AddLine(w.XYMove(At(10, 0), false));
             w.AddLine(w.XYMove(At(20, 5), false));
             w.AddLine(w.XYMove(Arc(-1, {30, 5, 0}, {25, 5, 0}), false));
             w.AddLine(w.ZMove(true, -1));
         },
         {"J2,0.000,0.000", "MX,10.000", "M2,20.000,5.000", "CG,,30.000,5.000,5.000,0.000,T,1", "MZ,-1.000"}},
        {"SBO incremental: each axis steps from its own last value, once",
         kSboIncremental, At(0, 0),
         [](TScriveGCode& w) {
             for (TVector3D p : {TVector3D{10, 0, 0}, {10, 5, 0}, {20, 5, 0}, {30, 5, 0}, {30, 12, 0}})
                 w.AddLine(w.XYMove(At(p.X, p.Y), false));
         },
         // (30, 5) repeats the step text of X: its words; (30, 12) moves Y alone.
         {"M2,10.000,0.000", "M2,0.000,5.000", "M2,10.000,0.000", "MX,10.000Y,0.000", "M2,0.000,7.000"}},
        {"lathe: drawing Y as diameter, drawing X as Z; attribute 100 is rapid",
         "[Default]\nMachineType=Lathe\n[X Axis]\nX_Mode=Diameter\n[ArcDef]\nArcCenter=2\n", At(0, 0),
         [](TScriveGCode& w) {
             TAVertice3d rapid = At(30, 8);
             rapid.Attribute = 100;
             w.AddLine(w.LatheMove(rapid));
             w.AddLine(w.LatheMove(At(20, 5)));
             w.AddLine(w.LatheMove(Arc(-1, {10, 5, 0}, {15, 5, 0})));
         },
         {"G0 X16.000 Z30.000", "G1 X10.000 Z20.000 F100.0", "G2 X10.000 Z10.000 I0.000 K-5.000"}},
    };
    for (const TBlockCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriveGCode w = LoadedWriter(c.Pst);
        TTestOperation op;
        Prepare(w, op, c.Start);
        c.Moves(w);
        EXPECT_EQ(w.ProgramLines, c.Expected);
    }
}

// A move that changes no word writes nothing and takes no block number;
// the HEI and XIL forms have taken their move code all the same.
TEST(MoveBlocks, EmptyBlocksTakeNoNumberButHeiAndXilKeepTheirMoveCode)
{
    struct TCase {
        const char* Dialect;
        const char* MoveCodeAfter;
    };
    for (const TCase& c : {TCase{"ISO", "G1"}, TCase{"XIL", "G0"}, TCase{"HEI", "G0"}}) {
        SCOPED_TRACE(c.Dialect);
        TScriveGCode w = LoadedWriter(std::string("[Default]\nXYZModal=1\nDialect=") + c.Dialect +
                                      "\n[Block Numbering]\nOutputSeq=1\n");
        TTestOperation op;
        Prepare(w, op, At(0, 0));
        w.AddLine(w.XYMove(At(10, 0), false));
        EXPECT_EQ(w.XYMove(At(10, 0), true), "");
        EXPECT_EQ(w.LastGText, c.MoveCodeAfter);
        EXPECT_EQ(w.ZMove(false, 5).substr(0, 2), "N2");
    }
}

TEST(MoveBlocks, MillingApproachRetractAndFeedSections)
{
    struct TCase {
        const char* Name;
        const char* Pst;
        bool Retract;
        TLines Expected;
    };
    const char* sections = "[BeforeFirstFeedMove]\n1=(BF)\n[AfterFirstFeedMove]\n1=(AF)\n"
                           "[BeforeLastFeedMove]\n1=(BL)\n[AfterLastFeedMove]\n1=(AL)\n";
    const TCase cases[] = {
        {"retract between curves; the curve at the last position only plunges", "", true,
         {"G0 Z10.000", "G0 X0.000 Y0.000", "G0 Z5.000", "G0 X0.000 Y0.000", "G1 Z-1.000 F50.0",
          "G1 X5.000 Y0.000 Z-1.000 F100.0", "G1 Z-2.000 F50.0", "G1 X0.000 Y0.000 Z-2.000 F100.0", "G0 Z10.000"}},
        {"Omit_Z: one rapid approach, no Z block and no Z word", "[Default]\nOmit_Z=1\n", false,
         {"G0 X0.000 Y0.000", "G1 X5.000 Y0.000 F100.0", "G1 X0.000 Y0.000"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriveGCode w = LoadedWriter(c.Pst);
        TTestOperation op;
        op.Retract = c.Retract;
        op.AddCurve({{0, 0, -1}, {5, 0, -1}}).AddCurve({{5, 0, -2}, {0, 0, -2}});
        Prepare(w, op, At(1e8, 1e8));
        w.WriteMilling(op);
        EXPECT_EQ(w.ProgramLines, c.Expected);
    }
    // On a two-vertex curve the one feed move is first and last.
    TScriveGCode w = LoadedWriter(std::string("[Default]\nOmit_Z=1\n") + sections);
    TTestOperation op;
    op.AddCurve({{0, 0, 0}, {5, 0, 0}}).AddCurve({{5, 0, 0}, {5, 5, 0}, {0, 5, 0}});
    Prepare(w, op, At(0, 0));
    w.WriteMilling(op);
    EXPECT_EQ(w.ProgramLines, (TLines{"(BF)", "(BL)", "G1 X5.000 Y0.000 F100.0", "(AF)", "(AL)", "(BF)",
                                      "G1 X5.000 Y5.000 F100.0", "(AF)", "(BL)", "G1 X0.000 Y5.000 F100.0",
                                      "(AL)"}));
}

// Stored documents and empty 3D levels hold curves without vertices: the
// curves after them are written all the same.
TEST(MoveBlocks, EmptyCurvesDoNotEndMillingOrLaserCutting)
{
    TScriveGCode w = LoadedWriter("[Default]\nOmit_Z=1\n");
    TTestOperation op;
    op.AddCurve({{0, 0, 0}, {5, 0, 0}}).AddCurve({}).AddCurve({{7, 7, 0}, {9, 7, 0}});
    Prepare(w, op, At(0, 0));
    w.WriteMilling(op);
    EXPECT_EQ(w.ProgramLines, (TLines{"G1 X5.000 Y0.000 F100.0", "G0 X7.000 Y7.000", "G1 X9.000 Y7.000"}));
    Prepare(w, op, At(0, 0));
    w.WriteLaserCut(op, 1);
    EXPECT_EQ(w.ProgramLines, (TLines{"G1 X5.000 Y0.000 F100.0", "G0 X7.000 Y7.000", "G1 X9.000 Y7.000"}));
}

TEST(MoveBlocks, LatheAndPolarWriters)
{
    TScriveGCode lathe = LoadedWriter("[Default]\nMachineType=Lathe\n[X Axis]\nX_Mode=Diameter\n");
    TTestOperation passes;
    passes.AddCurve({{20, 5, 0}, {10, 5, 0}}).AddCurve({}).AddCurve({{10, 6, 0}});
    Prepare(lathe, passes, At(1e8, 1e8));
    lathe.WriteLathe(passes);
    EXPECT_EQ(lathe.ProgramLines, (TLines{"G1 X10.000 Z20.000 F100.0", "G1 X10.000 Z10.000", "G1 X12.000 Z10.000"}));

    TScriveGCode polar = LoadedWriter("[Default]\nXYZModal=1\n");
    TTestOperation points;
    points.AddCurve({{0, 10, 0}, {-10, 0, 0}, {0, -10, 0}, {3, 4, 0}, {5, 0, 0}});
    Prepare(polar, points, At(0, 0));
    polar.WritePolar(points);
    // The X word repeats under modal words: the block then ends with the separator.
    EXPECT_EQ(polar.ProgramLines,
              (TLines{"C-90.000 X10.000", "C-180.000 ", "C-270.000 ", "C-53.130 X5.000", "C0.000 "}));
}

} // namespace
