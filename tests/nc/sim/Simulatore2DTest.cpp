#include "nc/sim/Simulatore2D.h"
#include "nc/sim/ToolpathDisplay.h"
#include "nc/sim/WriterSimEcho.h"
#include "tests/nc/writer/WriterTestSupport.h"
#include "nc/writer/ScriveGCode.h"
#include "core/settings/Language.h"
#include "cam/tools/ToolSolid.h"
#include "tests/nc/sim/SimTestFakes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using kbtest::TFakeSimOperation;

class Sim2DTest : public ::testing::Test {
protected:
    Sim2DTest() : SimView(View.Scene)
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        GCodeWriter().RapidFeedrate = 2000.0;
        Sim.SetWindow(&Window);
        Sim.SetView(&SimView);
        Sim.SetClock(&Clock);
        Sim.SetEcho(&Echo);
    }
    ~Sim2DTest() override { SetLanguageIni(nullptr); }

    std::unique_ptr<TFakeSimOperation> Op(int32_t kind)
    {
        return std::make_unique<TFakeSimOperation>(View.Scene, kind);
    }
    // The objects of kind T in the operation's group, in order.
    template <class T> std::vector<const T*> Objects(const TFakeSimOperation& op) const
    {
        std::vector<const T*> result;
        for (TSceneNodeId id : View.Scene.Children(op.Group))
            if (const T* t = View.Scene.As<T>(id))
                result.push_back(t);
        return result;
    }
    static TAVertice3d Arc(int32_t kind, TVector3D end, TVector3D centre)
    {
        return TAVertice3d::CreateFull(kind, end, centre, 0);
    }
    size_t EchoCount(const std::string& prefix) const
    {
        size_t n = 0;
        for (const std::string& c : Echo.Calls)
            n += c.rfind(prefix, 0) == 0;
        return n;
    }

    kbtest::TRecordingViewServices View;
    kbtest::TFakeSimView SimView;
    kbtest::TFakeSimWindow Window;
    kbtest::TFakeSimClock Clock;
    kbtest::TFakeSimEcho Echo;
    TSimulatore2D Sim;
};

TEST_F(Sim2DTest, FeedLinesShareAStripRapidsAndArcsStandAlone)
{
    auto op = Op(1);
    op->AddCurve({{0, 0, 5}});
    Sim.SelectOperation(op.get());

    Sim.SimRapid(TAVertice3d::CreateAt({10, 0, -1}), false, 5.0);
    auto lines = Objects<TSceneLines>(*op);
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0]->Nodes.size(), 2u);
    EXPECT_EQ(lines[0]->Nodes[1].Z, 5.0) << "drawn at the rapid height";
    // Timed over the vertex's own Z: sqrt(100 + 36) at 2000 per minute.
    EXPECT_NEAR(Sim.RapidSeconds(), std::sqrt(136.0) / 2000.0 * 60.0, 1e-12);
    EXPECT_EQ(Sim.LastPosition().EndPoint.Z, 5.0);

    Sim.SimLine(Sim.LastPosition(), TAVertice3d::CreateAt({20, 0, 5}), false);
    Sim.SimLine(Sim.LastPosition(), TAVertice3d::CreateAt({20, 10, 5}), false);
    lines = Objects<TSceneLines>(*op);
    ASSERT_EQ(lines.size(), 2u) << "two feed lines, one strip";
    EXPECT_EQ(lines[1]->Nodes.size(), 3u);

    Sim.SimRapid(TAVertice3d::CreateAt({0, 10, 5}), false, 5.0);
    Sim.SimLine(Sim.LastPosition(), TAVertice3d::CreateAt({0, 0, 5}), false);
    lines = Objects<TSceneLines>(*op);
    ASSERT_EQ(lines.size(), 4u) << "a rapid closes the feed strip";
    EXPECT_EQ(lines[3]->Nodes.size(), 2u);

    // Each arc is a strip of its own, all at the centre's height.
    Sim.SimArc(Sim.LastPosition(), Arc(1, {-10, 10, 1}, {-10, 0, 2}), false);
    Sim.SimArc(Sim.LastPosition(), Arc(-1, {-20, 20, 1}, {-20, 10, 3}), false);
    lines = Objects<TSceneLines>(*op);
    ASSERT_EQ(lines.size(), 6u);
    for (const TVector3D& n : lines[4]->Nodes)
        EXPECT_EQ(n.Z, 2.0);
    for (const TVector3D& n : lines[5]->Nodes)
        EXPECT_EQ(n.Z, 3.0);
    EXPECT_GT(lines[4]->Nodes.size(), 3u);
    EXPECT_NEAR(lines[4]->Nodes.back().X, -10.0, 1e-9);
    EXPECT_NEAR(lines[4]->Nodes.back().Y, 10.0, 1e-9);
}

TEST_F(Sim2DTest, TrueWidthBandsFollowTheMoves)
{
    auto op = Op(1);
    op->AddCurve({{0, 0, 0}});
    Window.TrueWidthBox = true;
    Sim.SelectOperation(op.get());
    Sim.SimRapid(TAVertice3d::CreateAt({0, 0, -1}), false, -1.0);

    op->Comp = 0.0;
    Sim.SimLine(Sim.LastPosition(), TAVertice3d::CreateAt({10, 0, -1}), false);
    EXPECT_TRUE(Objects<TScenePolygon>(*op).empty()) << "no band without an offset";

    op->Comp = 1.0;
    Sim.SimLine(TAVertice3d::CreateAt({0, 0, -1}), TAVertice3d::CreateAt({10, 0, -1}), false);
    auto bands = Objects<TScenePolygon>(*op);
    ASSERT_EQ(bands.size(), 1u);
    const auto& capsule = bands[0]->Nodes;
    EXPECT_EQ(capsule[0].X, 0.0);
    EXPECT_EQ(capsule[0].Y, -1.0) << "starts right of the move";
    EXPECT_EQ(capsule[1].X, 10.0);
    double minX = 1e9, maxX = -1e9;
    for (const TVector3D& p : capsule) {
        const double along = std::clamp(p.X, 0.0, 10.0);
        EXPECT_NEAR(std::hypot(p.X - along, p.Y), 1.0, 1e-9);
        EXPECT_EQ(p.Z, -1.0);
        minX = std::min(minX, p.X);
        maxX = std::max(maxX, p.X);
    }
    EXPECT_NEAR(maxX, 11.0, 1e-6) << "round end ahead";
    EXPECT_NEAR(minX, -1.0, 1e-6) << "round end behind";

    // A quarter arc of radius 10 about the origin: a band from radius 9 to 11.
    Sim.SimArc(TAVertice3d::CreateAt({10, 0, -2}), Arc(1, {0, 10, -2}, {0, 0, -2}), false);
    bands = Objects<TScenePolygon>(*op);
    ASSERT_EQ(bands.size(), 2u);
    double minR = 1e9, maxR = 0;
    for (const TVector3D& p : bands[1]->Nodes) {
        const double r = std::hypot(p.X, p.Y);
        minR = std::min(minR, r);
        maxR = std::max(maxR, r);
        const bool onArc = p.X >= -1e-9 && p.Y >= -1e-9;
        if (onArc)
            EXPECT_LE(std::abs(r - 10.0), 1.0 + 1e-9);
        else // on a round end
            EXPECT_NEAR(std::min(std::hypot(p.X - 10, p.Y), std::hypot(p.X, p.Y - 10)), 1.0, 1e-9);
    }
    EXPECT_NEAR(minR, 9.0, 1e-9);
    EXPECT_NEAR(maxR, 11.0, 1e-9);
}

TEST_F(Sim2DTest, DrillCirclesAndLaserDots)
{
    auto drill = Op(3);
    drill->Comp = 2.0;
    drill->AddCurve({{5, 5, -3}}, 81);
    Sim.SelectOperation(drill.get());
    Sim.SimDrillHole(drill->Curves[0]->Vertices[0], 1, 0, false);
    auto lines = Objects<TSceneLines>(*drill);
    ASSERT_EQ(lines.size(), 4u) << "rapid, circle, the plunge (no length), rapid up";
    EXPECT_EQ(lines[0]->Nodes.front().Z, 5.0);
    EXPECT_EQ(lines[0]->Nodes.back().Z, 5.0);
    for (const TVector3D& p : lines[1]->Nodes) {
        EXPECT_NEAR(std::hypot(p.X - 5, p.Y - 5), 2.0, 1e-9);
        EXPECT_EQ(p.Z, -3.0);
    }
    Sim.SetTrueWidth(true);
    Sim.SimDrillHole(drill->Curves[0]->Vertices[0], 1, 1, false);
    ASSERT_EQ(Objects<TScenePolygon>(*drill).size(), 1u) << "a disc with true width";

    auto laser = Op(8);
    laser->Tool->Diameter = 0.2;
    laser->AddCurve({{0, 0, -1}, {1, 0, -1}, {2, 0, -1}}, 79);
    laser->AddCurve({{5, 5, -1}, {6, 5, -1}}, 79);
    Sim.SelectOperation(laser.get());
    Sim.Play();
    auto dots = Objects<TScenePoints>(*laser);
    ASSERT_EQ(dots.size(), 1u) << "one dot object";
    EXPECT_EQ(dots[0]->Positions.size(), 5u);
    EXPECT_EQ(dots[0]->Positions[4].Z, 0.0);
    EXPECT_FLOAT_EQ(dots[0]->PointSize, 20.0f) << "diameter over the pixel size";
    EXPECT_EQ(SimView.LaserNode, Sim.LaserDots());
    EXPECT_TRUE(Sim.LaserDotsShown());
    EXPECT_EQ(Clock.Sleeps + Clock.Pumps, 0);
}

TEST_F(Sim2DTest, LatheMarkerOffsetsAndHomeRapid)
{
    struct TCase {
        int32_t type;
        int32_t flags;
        double dx, dy;
    } cases[] = {{0, 0, 0.4, 0.4}, {1, 0, 0.4, -0.4}, {0, kLatheGeometryVariant, 0, 0}};
    for (const TCase& c : cases) {
        auto op = Op(7);
        op->Tool->Diameter = 0.4;
        op->Tool->ToolType = c.type;
        op->Tool->LatheFlags = c.flags;
        op->AddCurve({{5, 20, 0}, {0, 20, 0}});
        Sim.SelectOperation(op.get());
        EXPECT_TRUE(Sim.LathePrepared());
        EXPECT_FALSE(Window.ZGaugeVisible);
        EXPECT_EQ(Sim.LatheDx(), c.dx) << c.type << "/" << c.flags;
        EXPECT_EQ(Sim.LatheDy(), c.dy) << c.type << "/" << c.flags;
    }
    // The first rapid of a played lathe path comes from home (z 10, x 50).
    auto op = Op(7);
    op->AddCurve({{5, 20, 0}, {0, 20, 0}});
    Sim.SelectOperation(op.get());
    Sim.Play();
    auto lines = Objects<TSceneLines>(*op);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0]->Nodes[0].X, 10.0);
    EXPECT_EQ(lines[0]->Nodes[0].Y, 50.0);
    EXPECT_EQ(lines.back()->Nodes.back().X, 10.0) << "ends at home";
    EXPECT_TRUE(Sim.Finished());
}

TEST_F(Sim2DTest, MachiningTimeSumsUnroundedSeconds)
{
    auto op = Op(1);
    op->AddCurve({{0, 0, 0}});
    Sim.SelectOperation(op.get());
    struct TCase {
        int moves;
        double length;
        double feed;
        int32_t seconds;
    } cases[] = {{1, 5, 600, 0}, {2, 5, 600, 1}, {1, 5, 300, 1}, {10000, 4, 600, 4000},
                 {1, 5, 0, 0}}; // a tool without a feed rate adds no time
    for (const TCase& c : cases) {
        Sim.PrepareOperation();
        op->Tool->Feed = c.feed;
        TAVertice3d at = TAVertice3d::CreateAt({0, 0, 0});
        for (int i = 0; i < c.moves; ++i) {
            TAVertice3d next = TAVertice3d::CreateAt({at.EndPoint.X + c.length, 0, 0});
            Sim.SimLine(at, next, false);
            at = next;
        }
        EXPECT_EQ(Sim.GetTotalTime(), c.seconds) << c.moves << " x " << c.length << " at " << c.feed;
    }
}

TEST_F(Sim2DTest, SpeedTableAndPacing)
{
    const uint32_t delays[] = {500, 250, 125, 60, 30, 15, 7, 3, 1};
    for (int i = 1; i <= 9; ++i) {
        Sim.SetSpeed(i);
        EXPECT_EQ(Sim.Delay(), delays[i - 1]) << i;
    }
    Sim.SetSpeed(0);
    Sim.SetSpeed(10);
    EXPECT_EQ(Sim.Delay(), 1u);
    EXPECT_EQ(Sim.Speed(), 9);

    auto op = Op(1);
    TCurvaNci3d& curve = op->AddCurve({{0, 0, -1}});
    for (int i = 1; i < 25; ++i)
        curve.AddVertex(TAVertice3d::CreateAt({double(i), 0, -1}));
    Sim.SelectOperation(op.get());
    Sim.Play();
    EXPECT_EQ(Clock.Sleeps, 0) << "speed 9 never sleeps";
    EXPECT_EQ(Clock.Pumps, 3) << "vertices 0, 10 and 20";

    Sim.SetSpeed(8);
    Sim.Rewind();
    Clock = {};
    Sim.Play();
    EXPECT_EQ(Clock.Sleeps, 25);
    EXPECT_EQ(Clock.Now, 75u);
    EXPECT_EQ(Clock.Pumps, 25);
}

// The window paints only when asked: every pump of a play lets a repaint
// through that was asked for after the moves before it were drawn.
TEST_F(Sim2DTest, EveryPumpOfAPlayFollowsARepaintRequest)
{
    auto op = Op(1);
    TCurvaNci3d& curve = op->AddCurve({{0, 0, -1}});
    for (int i = 1; i < 25; ++i)
        curve.AddVertex(TAVertice3d::CreateAt({double(i), 0, -1}));
    for (const int speed : {9, 5}) {
        Sim.SetSpeed(speed);
        Sim.SelectOperation(op.get());
        Sim.Rewind();
        Clock = {};
        SimView.Repaints = 0;
        std::vector<int> askedAtPump;
        Clock.OnPump = [&] { askedAtPump.push_back(SimView.Repaints); };
        Sim.Play();
        ASSERT_FALSE(askedAtPump.empty()) << speed;
        for (size_t i = 0; i < askedAtPump.size(); ++i)
            EXPECT_EQ(askedAtPump[i], static_cast<int>(i) + 1) << "speed " << speed << ", pump " << i;
    }
}

TEST_F(Sim2DTest, StopResumesAtTheNextVertexAndTheEndBlocksUntilRewind)
{
    auto op = Op(1);
    op->AddCurve({{0, 0, -1}, {1, 0, -1}, {2, 0, -1}, {3, 0, -1}, {4, 0, -1}});
    Window.GCodeSim = true;
    Sim.SelectOperation(op.get());
    Sim.SetSpeed(8);
    int moves = 0;
    Clock.OnPump = [&] {
        if (++moves == 3) {
            Sim.Stop();
            // The window's buttons are off meanwhile; refused all the same.
            Sim.Play();
            Sim.StepMove();
            Sim.Rewind();
        }
    };
    Sim.Play();
    EXPECT_EQ(Sim.VertexIndex(), 3);
    EXPECT_FALSE(Sim.Finished());
    EXPECT_EQ(Window.ButtonsRestored, 1);
    EXPECT_EQ(SimView.InfoText, "");
    Clock.OnPump = nullptr;
    Sim.Play();
    EXPECT_TRUE(Sim.Finished());
    EXPECT_EQ(EchoCount("feed "), 4u) << "each line vertex once";
    EXPECT_EQ(Echo.Calls[4], "feed 2,0,-1");
    EXPECT_EQ(Echo.Calls[5], "feed 3,0,-1") << "goes on with the next vertex";
    EXPECT_EQ(SimView.InfoText.rfind(LangText("754"), 0), 0u);
    EXPECT_EQ(Sim.GetTotalTime(), 0) << "the end resets the time";

    const size_t calls = Echo.Calls.size();
    const size_t objects = View.Scene.Children(op->Group).size();
    Sim.Play();
    Sim.StepMove();
    EXPECT_EQ(Echo.Calls.size(), calls);
    EXPECT_EQ(View.Scene.Children(op->Group).size(), objects);

    Sim.Rewind();
    EXPECT_TRUE(View.Scene.Children(op->Group).empty());
    EXPECT_EQ(Window.Status, LangText("717") + "0/5");
    Sim.StepMove();
    EXPECT_GT(Echo.Calls.size(), calls);
}

TEST_F(Sim2DTest, StepsAtCurveStartsAndEnds)
{
    auto op = Op(1);
    op->AddCurve({{0, 0, -1}, {5, 0, -1}});
    Sim.SelectOperation(op.get());
    Sim.StepMove();
    EXPECT_EQ(Sim.VertexIndex(), 0) << "the approach and the plunge";
    Sim.StepMove();
    EXPECT_EQ(Sim.VertexIndex(), 1) << "the plunge again, then on";
    Sim.StepMove();
    EXPECT_TRUE(Sim.Finished());

    auto lathe = Op(7);
    lathe->AddCurve({{5, 20, 0}, {0, 20, 0}});
    Sim.SelectOperation(lathe.get());
    Sim.StepMove(); // home rapid to the first vertex, and on
    EXPECT_EQ(Sim.VertexIndex(), 1);
    Sim.StepMove(); // the last vertex
    EXPECT_FALSE(Sim.Finished());
    Sim.StepMove(); // home
    EXPECT_TRUE(Sim.Finished());
    EXPECT_EQ(Sim.LastPosition().EndPoint.X, 10.0);
}

TEST_F(Sim2DTest, LastHoleTwiceInAPlayOnceInSteps)
{
    auto op = Op(3);
    op->AddCurve({{0, 0, -2}, {10, 0, -2}, {20, 0, -2}}, 81);
    Window.GCodeSim = true;
    Sim.SelectOperation(op.get());
    Sim.Play();
    EXPECT_EQ(Echo.Calls, (std::vector<std::string>{"cycle 1 phase 0 0", "cycle 1 phase 1 10", "cycle 1 phase 1 20",
                                                     "cycle 1 phase 2 20"}));
    Echo.Calls.clear();
    Sim.Rewind();
    for (int i = 0; i < 10 && !Sim.Finished(); ++i)
        Sim.StepMove();
    EXPECT_EQ(Echo.Calls, (std::vector<std::string>{"cycle 1 phase 0 0", "cycle 1 phase 1 10", "cycle 1 phase 1 20"}));
}

TEST_F(Sim2DTest, EchoMemoAfterRewindShowsTheLastSixLines)
{
    auto op = Op(1);
    op->AddCurve({{0, 0, -1}, {1, 0, -1}});
    Window.GCodeSim = true;
    Sim.SelectOperation(op.get());
    Sim.Rewind();
    Sim.EchoGCode("G1 X1");
    Sim.EchoGCode("G1 X2");
    EXPECT_EQ(Window.Memo, (std::vector<std::string>{".....", ".....", ".....", ".....", "G1 X1", "G1 X2"}));
    EXPECT_EQ(Window.Selected, 5);
    Sim.EchoGCode("");
    EXPECT_EQ(Window.Memo.back(), "G1 X2") << "empty lines are not echoed";
}

TEST_F(Sim2DTest, ExtentsTakeTheArcBox)
{
    auto op = Op(1);
    const double c = 10.0 * std::cos(std::numbers::pi / 4.0);
    op->AddCurve({{c, c, -1}})
        .AddVertex(Arc(1, {-c, c, -1}, {0, 0, -1}));
    Sim.SelectOperation(op.get());
    Sim.ComputePathBounds();
    EXPECT_NEAR(Sim.Bounds().MaxY, 10.0, 1e-5) << "the arc passes the +Y extreme";
    EXPECT_NEAR(Sim.Bounds().MinY, c, 1e-5);
    EXPECT_NEAR(Sim.Bounds().MaxZ, 0.0, 1e-6) << "at least the top of stock";
    EXPECT_TRUE(Sim.Bounds().Computed);
}

TEST_F(Sim2DTest, ZGaugeOnNewHeightsLowestKept)
{
    Window.Ruler = {2.0, 10.0, 100.0};
    auto op = Op(1);
    op->AddCurve({{0, 0, 0}});
    Sim.SelectOperation(op.get());
    Sim.UpdateZGauge(false, -2.0);
    Sim.UpdateZGauge(false, -2.0);
    ASSERT_EQ(Window.ZTexts.size(), 1u) << "the same height changes nothing";
    ASSERT_EQ(Window.ActiveZ.size(), 1u);
    EXPECT_EQ(Window.ActiveZ[0].second, 96); // -2 x 2 x 10 / 10 + 100
    ASSERT_EQ(Window.LowestFeed.size(), 1u);
    EXPECT_EQ(Window.LowestFeed[0].first, 95);

    Sim.SelectOperation(op.get()); // a new preparation
    Sim.UpdateZGauge(false, -1.0);
    EXPECT_EQ(Window.ZTexts.size(), 2u);
    EXPECT_EQ(Window.LowestFeed.size(), 1u) << "-1 is not below the -2 of before";
    EXPECT_EQ(Sim.LowestFeedZ(), -2.0);
    Sim.UpdateZGauge(true, 3.0);
    EXPECT_TRUE(Window.LowestRapid.empty()) << "the lowest heights start at 0";
}

TEST_F(Sim2DTest, WholePathToggleAndHide)
{
    auto a = Op(1);
    a->AddCurve({{0, 0, -1}, {10, 0, -1}, {10, 10, -1}});
    auto b = Op(1);
    b->AddCurve({{0, 0, -1}, {5, 5, -1}});
    b->Off = true;
    auto empty = Op(1);
    empty->AddCurve({{3, 3, -1}}); // fewer than two vertices: nothing

    Sim.ShowWholePath(a.get(), false);
    EXPECT_TRUE(a->ShownFlag);
    const auto strips = Objects<TSceneLines>(*a);
    ASSERT_EQ(strips.size(), 3u) << "rapid in, the feed strip, rapid up";
    EXPECT_EQ(strips[1]->Nodes.size(), 4u);
    // At the feed of 600 a minute: the plunge of 6 from the rapid plane and
    // the two sides of 10, 2.6 s; the rapids at 2000 a minute add 0.18 s.
    EXPECT_EQ(Sim.GetTotalTime(), std::lround((6.0 + 20.0) / 600 * 60 + 6.0 / 2000 * 60));
    Sim.ShowWholePath(a.get(), false);
    EXPECT_FALSE(a->ShownFlag);
    EXPECT_TRUE(View.Scene.Children(a->Group).empty()) << "twice without force hides";
    Sim.ShowWholePath(empty.get(), true);
    EXPECT_TRUE(View.Scene.Children(empty->Group).empty());

    std::vector<TSimOperation*> ops{a.get(), b.get()};
    bool toggle = true;
    ToggleToolpaths(ops, toggle, Sim); // removes all
    EXPECT_TRUE(View.Scene.Children(a->Group).empty());
    EXPECT_FALSE(toggle);
    ToggleToolpaths(ops, toggle, Sim); // draws all but the switched-off one
    EXPECT_FALSE(View.Scene.Children(a->Group).empty());
    EXPECT_TRUE(View.Scene.Children(b->Group).empty());
    ToggleToolpaths(ops, toggle, Sim);
    EXPECT_TRUE(View.Scene.Children(a->Group).empty());
    EXPECT_TRUE(View.Scene.Children(b->Group).empty());
    ToggleToolpaths(ops, toggle, Sim);
    EXPECT_TRUE(View.Scene.Children(b->Group).empty());

    HideToolpaths(ops, SimView);
    EXPECT_TRUE(View.Scene.Children(a->Group).empty());
    EXPECT_FALSE(a->ShownFlag);
}

TEST_F(Sim2DTest, OperationHeldWeakly)
{
    auto op = Op(1);
    op->AddCurve({{0, 0, -1}, {1, 0, -1}, {2, 0, -1}});
    Sim.SelectOperation(op.get());
    Sim.SetSpeed(8);
    Clock.OnPump = [&] { op.reset(); }; // deleted from inside the play
    Sim.Play();
    EXPECT_EQ(Sim.CurrentOperation(), nullptr);
    EXPECT_FALSE(Sim.Running());
    Clock.OnPump = nullptr;
    Sim.Play();
    Sim.StepMove();
    Sim.Rewind();
    Sim.ClearPath();
    Sim.PrepareOperation();
    EXPECT_EQ(Sim.CurrentOperation(), nullptr);
}

TEST_F(Sim2DTest, HidingTheWindowStopsAPlay)
{
    auto op = Op(1);
    op->AddCurve({{0, 0, -1}, {1, 0, -1}, {2, 0, -1}, {3, 0, -1}});
    Window.ShowTool = true;
    Sim.SelectOperation(op.get());
    const TSceneNodeId tool = ToolSceneObjects().Solid(*op->Tool);
    ASSERT_NE(tool, NoSceneNode);
    EXPECT_TRUE(View.Scene.Node(tool)->Visible);
    Sim.SetSpeed(8);
    Clock.OnPump = [&] { Sim.Finish(); };
    Sim.Play();
    EXPECT_FALSE(Sim.Running());
    EXPECT_FALSE(Sim.Finished());
    EXPECT_EQ(View.Scene.Node(tool), nullptr) << "the tool solid goes with the window";
    EXPECT_EQ(Clock.Pumps, 1);
}

TEST_F(Sim2DTest, MachineMarker)
{
    View.Projection.Scale = 1.0;
    Sim.ShowMachineMarker();
    EXPECT_TRUE(Sim.OperationPrepared());
    const TSceneNodeId marker = ToolSceneObjects().Marker(Sim.MarkerTool());
    ASSERT_NE(marker, NoSceneNode);
    Sim.MoveMarker(5, 6, 7);
    EXPECT_EQ(View.Scene.As<TSceneLines>(marker)->Nodes[2].X, 5.0);
    Sim.HideMachineMarker();
    EXPECT_FALSE(Sim.OperationPrepared());
    EXPECT_EQ(View.Scene.Node(marker), nullptr);
}

} // namespace

namespace {

// An operation both the simulator and the writer read, as the operation
// classes are.
class TWriterSimOperation final : public kbtest::TFakeSimOperation, public TWriterOperation {
public:
    using TFakeSimOperation::TFakeSimOperation;
    const TDatiUtBase* ToolData() const override { return Tool.get(); }
    double ZRapid() const override { return Rapid; }
    double ZTop() const override { return Top; }
    double ZDepth() const override { return -1.0; }
    double ZStep() const override { return 1.0; }
    double StockXY() const override { return 0.0; }
    bool RetractOn() const override { return Retract; }
    double RetractZ() const override { return RetractHeight; }
    std::string Comment() const override { return {}; }
    int32_t ToolpathCount() const override { return static_cast<int32_t>(Curves.size()); }
    const TCurvaNci3d& Toolpath(int32_t i) const override { return *Curves[static_cast<size_t>(i)]; }
};

// The echo of a played contour through a writer of the default ISO post.
TEST_F(Sim2DTest, EchoThroughTheWriterShowsItsBlocks)
{
    TScriveGCode writer = kbtest::LoadedWriter("");
    writer.ResetOutputState();
    writer.ResetModal();
    TWriterSimEcho echo(writer);
    Sim.SetEcho(&echo);
    auto op = std::make_unique<TWriterSimOperation>(View.Scene, 1);
    op->Tool->Feed = 100;
    op->Tool->PlungeFeed = 50;
    op->AddCurve({{0, 0, -1}, {10, 0, -1}});
    Window.GCodeSim = true;
    Sim.SelectOperation(op.get());
    Sim.Rewind();
    Sim.Play();
    ASSERT_EQ(Window.Memo.size(), 6u);
    EXPECT_EQ(Window.Memo[1], "G0 X0.000 Y0.000");
    EXPECT_EQ(Window.Memo[2], "G0 Z5.000");
    EXPECT_EQ(Window.Memo.back(), "G0 Z5.000") << "up to the rapid plane after the curve";
    EXPECT_EQ(Window.Memo[4].rfind("G1 X10.000 Y0.000 Z-1.000", 0), 0u);
}

} // namespace

#include "cam/ops/OpManager.h"
#include "nc/sim/OperationSim.h"

namespace {

std::unique_ptr<TOpManagerField> ListedOperation(double x)
{
    auto op = std::make_unique<TOpManagerField>(1);
    auto curve = std::make_unique<TCurvaNci3d>();
    curve->AddVertex(TAVertice3d::CreateAt({x, 0, -1}));
    curve->AddVertex(TAVertice3d::CreateAt({x + 10, 0, -1}));
    op->Toolpaths.push_back(std::move(curve));
    op->Parameters->ZRapid = 5;
    return op;
}

// The manager's operations: read through their readers, let go when freed.
TEST_F(Sim2DTest, ManagerOperationsToggleHideAndGo)
{
    TOpManager manager;
    TOpManagerField& a = *manager.AddOperation(ListedOperation(0));
    TOpManagerField& b = *manager.AddOperation(ListedOperation(20));
    b.SwitchedOff = 1;

    ToggleToolpaths(manager, Sim); // the first press removes every path
    EXPECT_EQ(manager.ShowToggle, 0);
    EXPECT_TRUE(View.Scene.Children(a.DisplayGroup).empty());
    ToggleToolpaths(manager, Sim);
    EXPECT_EQ(a.Shown, 1);
    EXPECT_FALSE(View.Scene.Children(a.DisplayGroup).empty());
    EXPECT_TRUE(View.Scene.Children(b.DisplayGroup).empty()) << "switched off: never drawn";
    HideToolpaths(manager, SimView);
    EXPECT_TRUE(View.Scene.Children(a.DisplayGroup).empty());
    EXPECT_EQ(a.Shown, 0);

    Sim.SelectOperation(&SimOperation(a));
    EXPECT_EQ(Sim.TotalMoves(), 2);
    manager.DeleteAll();
    EXPECT_EQ(Sim.CurrentOperation(), nullptr) << "clearing the list clears the simulator";
    Sim.Play();
    Sim.Rewind();
}

} // namespace
