// Drilling and laser output, checked as exact program lines.

#include "nc/writer/ScriveGCode.h"

#include "cam/progress/UserBreak_ProgBar.h"
#include "tests/nc/writer/WriterTestSupport.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using kbtest::LoadedWriter;
using kbtest::TTestOperation;
using TLines = std::vector<std::string>;

void Prepare(TScriveGCode& w, const TTestOperation& op)
{
    w.ResetOutputState(); // last position unknown
    w.ResetModal();
    w.LastTool = op.Tool->ToolNumber;
    w.SetCurrentOperation(&op);
}

TTestOperation Holes(int32_t code, std::initializer_list<TVector3D> holes)
{
    TTestOperation op;
    op.AddCurve(holes);
    op.Curves.back().Code = code;
    return op;
}

const char* const kCanned = "[Default]\nXYZModal=1\n"
                            "[Cycle_1]\nExploded=0\nCycle_def=[n][g98g99] G81[x][y][depth][ref_height][feed]\n"
                            "Cycle_move=[n][x][y]\nCycle_cancel=[n]G80\n"
                            "[Cycle_2]\nExploded=0\nCycle_def=G83[x][y]\nCycle_cancel=G80\n"
                            "[Cycle_3]\nExploded=0\nCycle_def=G84[x][y][pitch]\nCycle_move=G84 X[x]\nCycle_cancel=G80\n";

TEST(Drilling, CannedCycles)
{
    struct TCase {
        const char* Name;
        int32_t Code;
        TLines Expected;
    };
    const TCase cases[] = {
        {"definition at the first hole, then only the words that changed", 81,
         {"G0 Z5.000", "G0 X0.000 Y0.000", "G99 G81 X0.000 Y0.000 Z-1.000 R5.000 F100.0", "X10.000", "Y10.000", "G80",
          "G0 Z5.000"}},
        {"no move line: the hole's position words", 82,
         {"G0 Z5.000", "G0 X0.000 Y0.000", "G83 X0.000 Y0.000", "X10.000", "Y10.000", "G80", "G0 Z5.000"}},
        {"text outside the brackets is dropped: the X word alone", 83,
         {"G0 Z5.000", "G0 X0.000 Y0.000", "G84 X0.000 Y0.000 F1.250", "X10.000", "G80", "G0 Z5.000"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriveGCode w = LoadedWriter(kCanned);
        TTestOperation op = Holes(c.Code, {{0, 0, -1}, {10, 0, -1}, {10, 10, -1}});
        Prepare(w, op);
        EXPECT_TRUE(w.WriteDrilling(op));
        EXPECT_EQ(w.ProgramLines, c.Expected);
    }
}

// The definition line drills the first hole; no move line may drill (or tap)
// it again, whether or not the axis words are modal. Only the first hole of
// the operation is passed over: a later curve starting at the same place is
// another pass the generator asked for.
TEST(Drilling, EveryHoleIsDrilledOnce)
{
    std::string notModal = kCanned;
    notModal.replace(notModal.find("XYZModal=1"), 10, "XYZModal=0");
    struct TCase {
        const char* Name;
        int32_t Code;
        TLines Expected;
    };
    const TCase cases[] = {
        {"drill", 81,
         {"G0 Z5.000", "G0 X0.000 Y0.000", "G99 G81 X0.000 Y0.000 Z-1.000 R5.000 F100.0", "X10.000 Y0.000",
          "X10.000 Y10.000", "X0.000 Y0.000", "G80", "G0 Z5.000"}},
        {"peck", 82,
         {"G0 Z5.000", "G0 X0.000 Y0.000", "G83 X0.000 Y0.000", "X10.000 Y0.000", "X10.000 Y10.000", "X0.000 Y0.000",
          "G80", "G0 Z5.000"}},
        {"tap", 83,
         {"G0 Z5.000", "G0 X0.000 Y0.000", "G84 X0.000 Y0.000 F1.250", "X10.000", "X10.000", "X0.000", "G80",
          "G0 Z5.000"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriveGCode w = LoadedWriter(notModal);
        TTestOperation op = Holes(c.Code, {{0, 0, -1}, {10, 0, -1}});
        op.AddCurve({}).AddCurve({{10, 10, -1}, {0, 0, -1}});
        Prepare(w, op);
        EXPECT_TRUE(w.WriteDrilling(op));
        EXPECT_EQ(w.ProgramLines, c.Expected);
    }
    // An empty first curve: the hole the definition drilled is the first of
    // the next curve.
    TScriveGCode w = LoadedWriter(notModal);
    TTestOperation op = Holes(81, {});
    op.AddCurve({{3, 4, -1}, {6, 4, -1}});
    Prepare(w, op);
    w.WriteDrilling(op);
    EXPECT_EQ(w.ProgramLines, (TLines{"G0 Z5.000", "G0 X3.000 Y4.000", "G99 G81 X3.000 Y4.000 Z-1.000 R5.000 F100.0",
                                      "X6.000 Y4.000", "G80", "G0 Z5.000"}));
}

TEST(Drilling, TheFirstCurveChoosesTheCycle)
{
    for (auto [code, cycle] : {std::pair{81, 1}, {82, 2}, {83, 3}, {80, 1}, {84, 1}, {0, 1}}) {
        TTestOperation op = Holes(code, {{0, 0, -1}});
        op.AddCurve({{5, 5, -1}});
        EXPECT_EQ(TScriveGCode::DrillingCycle(op), cycle) << code;
    }
    TScriveGCode w = LoadedWriter(kCanned);
    TTestOperation op = Holes(83, {{0, 0, -1}});
    op.AddCurve({}).AddCurve({{5, 0, -1}});
    op.Curves.back().Code = 81;
    Prepare(w, op);
    w.WriteDrilling(op);
    EXPECT_EQ(w.ProgramLines,
              (TLines{"G0 Z5.000", "G0 X0.000 Y0.000", "G84 X0.000 Y0.000 F1.250", "X5.000", "G80", "G0 Z5.000"}));
}

TEST(Drilling, ExplodedCycles)
{
    struct TCase {
        const char* Name;
        int32_t Code;
        double Step, Top, HoleZ;
        TLines Expected; // after the approach
    };
    const TCase cases[] = {
        {"pecks of 3 to 10 deep, each re-approached a tenth of a peck above the last", 82, 3, 0, -10,
         {"G0 X0.000 Y0.000", "G1 Z-3.000 F50.0", "G0 Z5.000", "G0 Z-2.700", "G1 Z-6.000", "G0 Z5.000", "G0 Z-5.700",
          "G1 Z-9.000", "G0 Z5.000", "G0 Z-8.700", "G1 Z-10.000", "G0 Z5.000", "G0 Z5.000"}},
        {"peck 0: one pass", 82, 0, 0, -10, {"G0 X0.000 Y0.000", "G1 Z-10.000 F50.0", "G0 Z5.000", "G0 Z5.000"}},
        {"peck dividing the depth: no extra pass", 82, 0.3, 0, -0.9,
         {"G0 X0.000 Y0.000", "G1 Z-0.300 F50.0", "G0 Z5.000", "G0 Z-0.270", "G1 Z-0.600", "G0 Z5.000", "G0 Z-0.570",
          "G1 Z-0.900", "G0 Z5.000", "G0 Z5.000"}},
        {"hole at the top: one pass to it", 82, 3, 0, 0, {"G0 X0.000 Y0.000", "G1 Z0.000 F50.0", "G0 Z5.000", "G0 Z5.000"}},
        {"hole above the top: one pass to it", 82, 3, 0, 2, {"G0 X0.000 Y0.000", "G1 Z2.000 F50.0", "G0 Z5.000", "G0 Z5.000"}},
        {"drill: feed to the bottom, rapid out", 81, 3, 0, -10, {"G0 X0.000 Y0.000", "G1 Z-10.000 F50.0", "G0 Z5.000", "G0 Z5.000"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriveGCode w = LoadedWriter("");
        TTestOperation op = Holes(c.Code, {{0, 0, c.HoleZ}});
        op.Step = -c.Step; // the sign of the increment does not matter
        op.Top = c.Top;
        Prepare(w, op);
        EXPECT_TRUE(w.WriteDrilling(op));
        TLines expected = {"G0 Z5.000", "G0 X0.000 Y0.000"};
        expected.insert(expected.end(), c.Expected.begin(), c.Expected.end());
        EXPECT_EQ(w.ProgramLines, expected);
    }
}

// Tapping written as plain moves would pull the tap out at rapid with the
// spindle turning forward: it is refused with nothing written.
TEST(Drilling, ExplodedTappingIsRefused)
{
    TScriveGCode w = LoadedWriter("[Tool_change]\n1=T[tool]\n");
    TTestOperation op = Holes(83, {{0, 0, -5}});
    Prepare(w, op);
    w.LastTool = 9;
    EXPECT_TRUE(w.IsExplodedTapping(op));
    EXPECT_FALSE(w.WriteDrilling(op));
    EXPECT_TRUE(w.ProgramLines.empty());
    EXPECT_FALSE(LoadedWriter(kCanned).IsExplodedTapping(op));
}

TEST(Drilling, CycleTemplateLineAndNoVertices)
{
    TScriveGCode w = LoadedWriter(kCanned);
    TTestOperation op = Holes(81, {});
    Prepare(w, op);
    std::string line = "kept";
    w.CycleTemplateLine(TAVertice3d::CreateAt({10, 20, -1}), 1, 0, line);
    EXPECT_EQ(line, "G99 G81 X10.000 Y20.000 Z-1.000 R5.000 F100.0");
    w.CycleTemplateLine(TAVertice3d::CreateAt({10, 20, -1}), 1, 1, line);
    EXPECT_EQ(line, "X10.000 Y20.000");
    line = "kept";
    w.CycleTemplateLine(TAVertice3d::CreateAt({10, 20, -1}), 2, 1, line); // no move line
    EXPECT_EQ(line, "kept");
    // Without any hole only the tool change is written.
    EXPECT_TRUE(w.WriteDrilling(op));
    EXPECT_TRUE(w.ProgramLines.empty());
}

const char* const kLaserNoZ = "[Default]\nDialect=LASER\nXYZModal=1\nOmit_Z=0\n";
const char* const kLaser = "[Default]\nDialect=LASER\nXYZModal=1\nOmit_Z=1\n"
                           "[BeforeLaserRapidMove]\n1=(B)\n[LaserEngRapidMove]\n1=[gcode][x][y]\n"
                           "[LaserEngFeedMove]\n1=[gcode][x][y][power1]\n"
                           "[LaserEngGreyFeedMove]\n1=[gcode][x][y][laser_power]\n[AfterLastFeedMove]\n1=(E)\n"
                           "[FirstLaserEngDotMove]\n1=D[x][y]\n[LaserEngDotMove]\n1=d[x][y]\n"
                           "[FirstLaserEngDotGreyMove]\n1=D[x][y][laser_power]\n[LaserEngDotGreyMove]\n1=d[x][y][laser_power]\n";

// The laser post with Z moves.
std::string LaserWithZ()
{
    std::string pst = kLaser;
    pst.replace(0, std::string(kLaserNoZ).size(), kLaserNoZ);
    return pst;
}

TTestOperation& AddCoded(TTestOperation& op, int32_t code, std::initializer_list<TVector3D> points,
                         std::initializer_list<int32_t> power = {})
{
    op.AddCurve(points);
    op.Curves.back().Code = code;
    auto p = power.begin();
    for (TAVertice3d& v : op.Curves.back().Vertices)
        if (p != power.end())
            v.Attribute = *p++;
    return op;
}

TEST(Laser, EngravingSections)
{
    kbtest::TRecordingWorkMonitor monitor;
    TScriveGCode w = LoadedWriter(kLaser);
    TTestOperation op;
    op.Tool->SpindleSpeed = 800;
    AddCoded(op, 78, {{0, 0, 0}, {5, 0, 0}});
    AddCoded(op, 78, {{5, 5, 0}, {0, 5, 0}});
    AddCoded(op, 79, {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}});
    AddCoded(op, 76, {{0, 2, 0}, {5, 2, 0}}, {10, 200});
    AddCoded(op, 77, {{0, 3, 0}, {5, 3, 0}}, {30, 40});
    AddCoded(op, 0, {{9, 9, 0}}); // no engraving code: passed over
    Prepare(w, op);
    EXPECT_TRUE(w.WriteLaserEngrave(op));
    EXPECT_EQ(w.ProgramLines,
              (TLines{"(B)", "G0 X0.000 Y0.000", "G1 X0.000 Y0.000 S800.0", "G1 X5.000 Y0.000 S800.0", "(E)",
                      "G0 X5.000 Y5.000", "G1 X5.000 Y5.000 S800.0", "G1 X0.000 Y5.000 S800.0", "(E)",
                      "D X0.000 Y0.000", "d X5.000", "d X10.000",
                      "G0 X0.000 Y2.000", "G1 X0.000 Y2.000 S10", "G1 X5.000 Y2.000 S200", "(E)",
                      "D X0.000 Y3.000 S30", "d X5.000 S40"}));
    EXPECT_FALSE(monitor.StatusMessages.empty()) << "the progress display ran";
}

// Without curves nothing is written (the share of a curve is not computed
// from a count of zero).
TEST(Laser, EngravingWithoutCurvesWritesNothing)
{
    TScriveGCode w = LoadedWriter(kLaser);
    TTestOperation op;
    Prepare(w, op);
    EXPECT_TRUE(w.WriteLaserEngrave(op));
    EXPECT_TRUE(w.ProgramLines.empty());
}

// The first break ends the writing: one warning, and the caller is told.
TEST(Laser, BreakEndsTheEngraving)
{
    kbtest::TRecordingWorkMonitor monitor;
    kbtest::TRecordingNotifier notifier;
    monitor.BreakRequested = true;
    TScriveGCode w = LoadedWriter(kLaser);
    int64_t now = 0;
    w.Progress->SetClock([&now] { return now += 2000; });
    TTestOperation op;
    AddCoded(op, 78, {{0, 0, 0}, {5, 0, 0}});
    AddCoded(op, 78, {{5, 5, 0}, {0, 5, 0}});
    AddCoded(op, 79, {{0, 0, 0}, {5, 0, 0}, {10, 0, 0}});
    Prepare(w, op);
    EXPECT_FALSE(w.WriteLaserEngrave(op));
    EXPECT_EQ(w.ProgramLines.size(), 5u) << "only the first curve";
    EXPECT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(monitor.ProgressHidden, 1) << "the progress display ended";
}

TEST(Laser, CuttingSectionsAndPosition)
{
    struct TCase {
        const char* Name;
        bool OmitZ;
        int32_t Index;
        TLines Expected;
    };
    const TCase cases[] = {
        {"first in the program: the section before every curve", true, 0,
         {"(B)", "G0 X0.000 Y0.000", "G1 X5.000 F100.0", "(E)", "(B)", "G0 X5.000 Y5.000", "G1 X0.000 F100.0",
          "(E)"}},
        {"later in the program: none", true, 1,
         {"G0 X0.000 Y0.000", "G1 X5.000 F100.0", "(E)", "G0 X5.000 Y5.000", "G1 X0.000 F100.0", "(E)"}},
        {"with Z: rapid plane before each approach and at the end, no plunge", false, 1,
         {"G0 Z5.000", "G0 X0.000 Y0.000", "G1 X5.000 Z-1.000 F100.0", "(E)", "G0 Z5.000", "G0 X5.000 Y5.000",
          "G1 X0.000 Z-1.000 F100.0", "(E)", "G0 Z5.000"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TScriveGCode w = LoadedWriter(c.OmitZ ? std::string(kLaser) : LaserWithZ());
        TTestOperation op;
        op.AddCurve({{0, 0, -1}, {5, 0, -1}}).AddCurve({{5, 5, -1}, {0, 5, -1}});
        Prepare(w, op);
        w.WriteLaserCut(op, c.Index);
        EXPECT_EQ(w.ProgramLines, c.Expected);
    }
}

} // namespace
