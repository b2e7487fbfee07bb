// The simulation of the G-code editor's text on a list of lines: radius
// arcs, tool lines, drilling cycles, lathe arcs, play, stop and step.

#include "tests/nc/sim/TextSimulationFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace kbtest {
namespace {

using TextSimulation = TTextSimFixture;

TEST_F(TextSimulation, RadiusArcsTakeTheShortArcForAPositiveRadius)
{
    struct TCase {
        const char* Line;
        double Cx, Cy;
        double MaxX; // the drawn arc's reach to the right
    };
    const TCase cases[] = {
        {"G2 X10 Y0 R5", 5, 0, 10},     {"G2 X10 Y0 R-5", 5, 0, 10}, // a half turn either way
        {"G3 X10 Y10 R10", 0, 10, 10},  // the quarter about (0, 10)
        {"G3 X10 Y10 R-10", 10, 0, 20}, // three quarters about (10, 0)
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Line);
        UsePost("GRBL_mm");
        Text.Lines = {c.Line};
        StepAll();
        const TAVertice3d& v = Sim.LastPosition();
        EXPECT_EQ(v.Kind, c.Line[1] == '2' ? -1 : 1);
        EXPECT_NEAR(v.Centre.X, c.Cx, 1e-4);
        EXPECT_NEAR(v.Centre.Y, c.Cy, 1e-4);
        const auto strips = Drawn<TSceneLines>();
        ASSERT_FALSE(strips.empty());
        double maxX = -1e9, minY = 1e9;
        for (const TVector3D& p : strips.back()->Nodes) {
            maxX = std::max(maxX, p.X);
            minY = std::min(minY, p.Y);
        }
        EXPECT_NEAR(maxX, c.MaxX, 0.05); // drawn as chords
        // The clockwise half circle from (0, 0) to (10, 0) bulges up.
        if (c.Line[1] == '2') {
            EXPECT_NEAR(minY, 0.0, 1e-3);
        }
        Sim.EndTextSimulation();
    }
}

TEST_F(TextSimulation, RadiusArcBackToItsStartIsSkipped)
{
    UsePost("GRBL_mm");
    Text.Lines = {"G1 X5 Y5", "G2 X5 Y5 R3", "G1 X6 Y5"};
    StepAll();
    EXPECT_EQ(Sim.LastPosition().Kind, 0);
    EXPECT_EQ(Sim.LastPosition().EndPoint.X, 6.0);
    for (const TSceneLines* strip : Drawn<TSceneLines>())
        for (const TVector3D& p : strip->Nodes)
            EXPECT_TRUE(std::isfinite(p.X) && std::isfinite(p.Y));
}

TEST_F(TextSimulation, ToolLineSetsTheBandWidthAndGoesToTheRapidPlane)
{
    UsePost("GRBL_mm");
    Sim.SetTrueWidth(true);
    Text.Lines = {"G1 X0 Y0 Z-1", "(TLDIA=6)", "G1 X10 Y0 Z-1"};
    Text.Caret = 0;
    Sim.StepText(Text);
    Sim.StepText(Text);
    EXPECT_EQ(Sim.TextOperation().CompOffset(), 3.0);
    EXPECT_EQ(Sim.TextOperation().ToolData()->Diameter, 6.0);
    EXPECT_EQ(Sim.LastPosition().EndPoint.Z, 5.0);
    EXPECT_EQ(Sim.Reader().ReaderZ, 5.0);
    Sim.StepText(Text);
    const auto bands = Drawn<TScenePolygon>();
    ASSERT_EQ(bands.size(), 1u);
    double maxY = 0;
    for (const TVector3D& p : bands[0]->Nodes)
        maxY = std::max(maxY, std::abs(p.Y));
    EXPECT_NEAR(maxY, 3.0, 1e-9) << "the band is the tool's width";
}

TEST_F(TextSimulation, DrillingCycleRapidsAtItsRPlane)
{
    UsePost("GRBL_mm");
    Text.Lines = {"G0 X0 Y0 Z10", "G81 X10 Y10 Z-3 R2"};
    StepAll();
    EXPECT_EQ(Sim.TextOperation().ZRapid(), 2.0);
    const auto strips = Drawn<TSceneLines>();
    ASSERT_GE(strips.size(), 2u);
    const TSceneLines& approach = *strips[1];
    ASSERT_EQ(approach.Nodes.size(), 2u);
    EXPECT_EQ(approach.Nodes[0].Z, 2.0);
    EXPECT_EQ(approach.Nodes[1].Z, 2.0);
    EXPECT_EQ(approach.Nodes[1].X, 10.0);
    EXPECT_EQ(Sim.Bounds().MinZ, -3.0f);
    EXPECT_EQ(Sim.LastPosition().EndPoint.Z, 2.0);
}

TEST_F(TextSimulation, PlayToTheEndStartsAgainStopGoesOn)
{
    UsePost("GRBL_mm");
    for (int i = 1; i <= 20; ++i)
        Text.Lines.push_back("G1 X" + std::to_string(i) + " Y0 Z-1");
    Sim.SetSpeed(5); // 30 ms a line
    Sim.PlayText(Text);
    EXPECT_EQ(Sim.LastPosition().EndPoint.X, 20.0);
    EXPECT_EQ(Sim.TextLineIndex(), 0);
    EXPECT_TRUE(Sim.TextIdle());
    EXPECT_FALSE(Sim.Running());
    EXPECT_TRUE(Sim.Bounds().Computed);
    EXPECT_EQ(Text.Scrolled, std::vector<int>{15});
    EXPECT_EQ(Clock.Now, 20u * 30u);
    EXPECT_EQ(Text.Heights, std::vector<double>{-1.0}) << "shown when it changes";
    EXPECT_EQ(SimView.Repaints, Clock.Pumps) << "each line's pump shows its move";
    EXPECT_GE(SimView.Repaints, 20);

    Text.Read.clear();
    Clock.OnPump = [this] {
        if (Text.Read.size() == 5)
            Sim.Stop();
    };
    Sim.PlayText(Text);
    ASSERT_FALSE(Text.Read.empty());
    EXPECT_EQ(Text.Read.front(), 0) << "the finished play starts at the first line";
    EXPECT_EQ(Text.Read.size(), 5u);
    EXPECT_EQ(Sim.TextLineIndex(), 5);
    EXPECT_TRUE(Sim.TextIdle());

    Clock.OnPump = nullptr;
    Text.Read.clear();
    Sim.PlayText(Text);
    ASSERT_FALSE(Text.Read.empty());
    EXPECT_EQ(Text.Read.front(), 5) << "the stopped play goes on";
    EXPECT_EQ(Sim.TextLineIndex(), 0);
}

TEST_F(TextSimulation, StepPlaysTheCaretLineAndRewindGoesToTheTop)
{
    UsePost("GRBL_mm");
    Text.Lines = {"G0 X1 Y1 Z5", "G1 X2 Y1 Z-1", "G1 X3 Y4 Z-1"};
    Text.Caret = 2;
    Sim.StepText(Text);
    EXPECT_EQ(Sim.LastPosition().EndPoint.X, 3.0);
    EXPECT_EQ(Sim.LastPosition().EndPoint.Y, 4.0);
    EXPECT_EQ(Text.Read, std::vector<int>{2});
    EXPECT_EQ(Sim.TextLineIndex(), 3);
    EXPECT_TRUE(Text.Selected.empty()) << "no line after the last";

    Sim.RewindText(Text);
    EXPECT_EQ(Text.Caret, 0);
    EXPECT_EQ(Text.Scrolled.back(), -3);
    EXPECT_EQ(Sim.TextLineIndex(), 0);
    EXPECT_TRUE(Drawn<TSceneLines>().empty());
}

TEST_F(TextSimulation, LatheStepUsesTheLatheMovesAndTheRelativeCentre)
{
    UsePost("Lathe_ISO_mm");
    ASSERT_EQ(Sim.Reader().Dialect, PostDialect::Lathe);
    EXPECT_TRUE(Sim.LathePrepared());
    // Diameter mode: X words are halved; the vertex holds (Z, X / 2).
    Text.Lines = {"G0 X16 Z2", "G1 X16 Z-10", "G2 X26 Z-15 I5 K0"};
    StepAll();
    const TAVertice3d& v = Sim.LastPosition();
    EXPECT_EQ(v.Kind, -1);
    EXPECT_NEAR(v.EndPoint.X, -15.0, 1e-9);
    EXPECT_NEAR(v.EndPoint.Y, 13.0, 1e-9);
    EXPECT_NEAR(v.Centre.X, -10.0, 1e-9);
    EXPECT_NEAR(v.Centre.Y, 13.0, 1e-9);
}

TEST_F(TextSimulation, EndClearsTheDrawingAndTheState)
{
    UsePost("GRBL_mm");
    Text.Lines = {"G1 X5 Y0 Z-1"};
    Sim.PlayText(Text);
    ASSERT_FALSE(Drawn<TSceneLines>().empty());
    EXPECT_TRUE(Sim.OperationPrepared());
    Sim.EndTextSimulation();
    EXPECT_TRUE(Drawn<TSceneLines>().empty());
    EXPECT_FALSE(Sim.OperationPrepared());
    EXPECT_FALSE(Sim.Bounds().Computed);
    EXPECT_EQ(Sim.CurrentOperation(), &Sim.TextOperation());
}

TEST_F(TextSimulation, ClearingTheDrawingsTakesTheTextMovesOffTheView)
{
    // The drawing the text was simulated over is replaced (New, another
    // open): nothing of the play stays, whether it was ended or not.
    UsePost("GRBL_mm");
    Text.Lines = {"G1 X5 Y0 Z-1", "G1 X5 Y5"};
    Sim.PlayText(Text);
    ASSERT_FALSE(Drawn<TSceneLines>().empty());
    Sim.ClearDrawings();
    EXPECT_TRUE(Drawn<TSceneLines>().empty());
    EXPECT_FALSE(Sim.OperationPrepared());
    EXPECT_FALSE(Sim.Bounds().Computed);
}

} // namespace
} // namespace kbtest
