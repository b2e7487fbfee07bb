// The zoom window, the real-time pan, the selections and the distance
// measurement, driven with the mouse over the scene view and a document.

#include "cad/states/QV_20PrgZoomState.h"
#include "cad/states/QV_21RealTimePan.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_51WinSelectObjects.h"
#include "cad/states/QV_52WinPrgSelect.h"
#include "cad/states/QV_70Sel2Punti.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Punto2D.h"
#include "tests/cad/SceneDriverRig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace view_select_states_test {

namespace {

using kbtest::TProbeAfterState;
using kbtest::TProbeCommand;
using kbtest::TProbeParam;

struct ViewStates : ::testing::Test, kbtest::TSceneRig {
    // The drawing units under the view's centre and one pixel's size.
    double CentreX() const { return View.Camera().Target().x(); }
    double CentreY() const { return View.Camera().Target().y(); }

    void StartProbe() { Prg.StartOperation(StateClassOf<TProbeCommand>(), std::make_unique<TProbeParam>(Log)); }
};

TEST_F(ViewStates, ZoomWindowNestedInACommandFromEitherCorner)
{
    struct Case {
        TPoint2D From, To;
    };
    for (const Case& c : {Case{{-10, -5, 1}, {10, 10, 1}}, Case{{10, 10, 1}, {-10, -5, 1}},
                          Case{{-10, 10, 1}, {10, -5, 1}}}) {
        View.ZoomToBox(TBox3D{{-24, -32, 0, 1}, {24, 32, 0, 1}});
        StartProbe();
        Log.Resumes.clear();
        ASSERT_TRUE(Prg.SuspendOperation(StateClassOf<TQV_20PrgZoomArea>()));
        EXPECT_EQ(Shell.Prompts.back(), "prompt 0");
        Driver.Click(c.From);
        EXPECT_EQ(Shell.Prompts.back(), "prompt 1");
        EXPECT_NE(View.OverlayMode() & OverlayBits::RubberBand, 0);
        Driver.Click(c.To);

        // The window (20 x 15 units) becomes the view: centre (0, 2.5), the
        // diagonal 25 across the 800 pixels.
        EXPECT_NEAR(CentreX(), 0.0, 0.1);
        EXPECT_NEAR(CentreY(), 2.5, 0.1);
        EXPECT_NEAR(View.PixelSize() * 800, 25.0, 0.2);
        EXPECT_EQ(View.OverlayMode() & OverlayBits::RubberBand, 0);
        EXPECT_EQ(View.DragObject(), nullptr);
        // Back in the command, its prompt shown again.
        EXPECT_EQ(CurrentClass(), "TProbeCommand");
        EXPECT_EQ(Shell.Prompts.back(), "probe");
        EXPECT_EQ(Log.Resumes, std::vector<std::string>{"TQV_20PrgEndZoomArea"});
        EXPECT_TRUE(Log.Clicks.empty()) << "the command saw none of the zoom's clicks";
        Driver.Esc();
    }
}

TEST_F(ViewStates, ZoomWindowOnOnePointZoomsNothing)
{
    StartProbe();
    const double pixelSize = View.PixelSize();
    Prg.SuspendOperation(StateClassOf<TQV_20PrgZoomArea>());
    Driver.Click({3, 3, 1});
    Driver.Repaint(); // the view's own repaint shows the frame
    EXPECT_NE(View.DragObject(), nullptr);
    Driver.Click({3, 3, 1});
    EXPECT_EQ(View.PixelSize(), pixelSize);
    EXPECT_EQ(CentreX(), 0.0);
    EXPECT_EQ(View.DragObject(), nullptr) << "the freed frame is no longer drawn";
    EXPECT_EQ(CurrentClass(), "TProbeCommand");

    // Nor does a zoom nest in a zoom, and Esc ends the zoom only.
    Prg.SuspendOperation(StateClassOf<TQV_20PrgZoomArea>());
    EXPECT_FALSE(Prg.SuspendOperation(StateClassOf<TQV_21RealTimePan>()));
    Driver.Click({1, 1, 1});
    Driver.Esc();
    EXPECT_EQ(CurrentClass(), "TProbeCommand");
    EXPECT_EQ(View.OverlayMode() & OverlayBits::RubberBand, 0);
    EXPECT_EQ(View.PixelSize(), pixelSize);
}

TEST_F(ViewStates, PanDragsTheDrawingWithTheCursor)
{
    StartProbe();
    ASSERT_TRUE(Prg.SuspendOperation(StateClassOf<TQV_21RealTimePan>()));
    EXPECT_TRUE(Prg.UsaSnap);
    EXPECT_EQ(Shell.Prompts.back(), "prompt 2");
    // Grab the drawing point (2, 1) at its pixel and drag it 50 pixels
    // right and 40 up: it stays under the cursor, the view moves by -(5, 4).
    Driver.MovePixel(420, 290);
    Driver.Down();
    Driver.MovePixel(440, 270);
    Driver.MovePixel(470, 250);
    Driver.MovePixel(470, 250);
    EXPECT_NEAR(CentreX(), -5.0, 1e-6);
    EXPECT_NEAR(CentreY(), -4.0, 1e-6);
    EXPECT_EQ(View.PointToScreen({2, 1, 1}).X, 470);
    EXPECT_EQ(View.PointToScreen({2, 1, 1}).Y, 250);
    Driver.Up();
    EXPECT_EQ(Cursors, (std::vector<int>{1, 2}));
    EXPECT_EQ(CurrentClass(), "TProbeCommand");
    EXPECT_EQ(Log.Resumes, std::vector<std::string>{"TQV_21RealTimePan"});

    // Esc in the middle of a pan puts the view back.
    const double x = CentreX();
    const double y = CentreY();
    Prg.SuspendOperation(StateClassOf<TQV_21RealTimePan>());
    Driver.MoveTo({0, 0, 1});
    Driver.Down();
    Driver.MoveTo({6, -3, 1});
    EXPECT_GT(std::abs(CentreX() - x), 1.0);
    Driver.Esc();
    EXPECT_EQ(CentreX(), x);
    EXPECT_EQ(CentreY(), y);
    EXPECT_EQ(CurrentClass(), "TProbeCommand") << "Esc ends the pan, not the command";
}

// Objects for the selections: a line, a circle, a point, and a line that a
// window around the others leaves half outside.
struct Selections : ViewStates {
    Selections()
    {
        Line = Add(std::make_unique<TLine2D>(0, TPoint2D{-10, 0, 1}, TPoint2D{-4, 0, 1}));
        Circle = Add(std::make_unique<TCerchio2D>(0, TPoint2D{5, 0, 1}, TPoint2D{5, 2, 1}));
        Point = Add(std::make_unique<TPunto2D>(0, TPoint2D{0, 6, 1}));
        Long = Add(std::make_unique<TLine2D>(0, TPoint2D{-5, -5, 1}, TPoint2D{25, -5, 1}));
    }

    std::unique_ptr<TQV_50SelectObjectsParam> SelectParam(bool withAfterState = true, bool withCallback = true)
    {
        auto p = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr,
                                                            withAfterState ? StateClassOf<TProbeAfterState>() : nullptr);
        if (withCallback)
            p->OnSelected = [this](TQV_50SelectObjectsParam&, TObject2D* o, bool added, int32_t code) {
                Callbacks.push_back({o, added, code});
            };
        return p;
    }

    struct TCall {
        TObject2D* Object;
        bool Added;
        int32_t Code;
    };
    std::vector<TCall> Callbacks;
    TLine2D* Line = nullptr;
    TCerchio2D* Circle = nullptr;
    TPunto2D* Point = nullptr;
    TLine2D* Long = nullptr;
};

TEST_F(Selections, OneObjectPicksOnTheOutlineOnly)
{
    Prg.StartOperation(StateClassOf<TQV_50Seleziona1Ogg>(), SelectParam());
    EXPECT_EQ(Shell.Prompts.back(), "prompt 9");
    EXPECT_NE(View.OverlayMode() & OverlayBits::Highlights, 0);

    Driver.Click({5, 0.5, 1}); // inside the circle's box, away from it
    EXPECT_EQ(CurrentClass(), "TQV_50Seleziona1Ogg");
    EXPECT_TRUE(Callbacks.empty());
    // The pick box follows the cursor: 5 pixels around it.
    const TIntPoint c = View.PointToScreen({5, 0.5, 1});
    EXPECT_EQ(View.PickBox()[0].X, c.X - 5);
    EXPECT_EQ(View.PickBox()[2].Y, c.Y + 5);

    Driver.Click({-7, 0.1, 1});
    ASSERT_EQ(Log.Handed.size(), 1u);
    EXPECT_EQ(Log.Handed[0], std::vector<TObject2D*>{Line});
    ASSERT_EQ(Callbacks.size(), 1u);
    EXPECT_EQ(Callbacks[0].Object, Line);
    EXPECT_TRUE(Callbacks[0].Added);
    EXPECT_EQ(Callbacks[0].Code, PickOnObject);
    EXPECT_EQ(View.HighlightList(), std::vector<TObject2D*>{Line});
    EXPECT_TRUE(Idle());

    // Without an after-state the pick ends the operation.
    Prg.StartOperation(StateClassOf<TQV_50Seleziona1Ogg>(), SelectParam(false));
    Driver.Click({0, 6, 1});
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Callbacks.back().Object, Point);
}

TEST_F(Selections, TwoObjectsWithOrWithoutACallback)
{
    for (const bool withCallback : {true, false}) {
        SCOPED_TRACE(withCallback);
        Log.Handed.clear();
        Callbacks.clear();
        Prg.StartOperation(StateClassOf<TQV_50Seleziona2Ogg>(), SelectParam(true, withCallback));
        Driver.Click({-7, 0.1, 1});
        EXPECT_EQ(Shell.Prompts.back(), "prompt 17");
        Driver.Click({-6, -0.1, 1}); // the same line again: deselected
        EXPECT_EQ(Shell.Prompts.back(), "prompt 9");
        EXPECT_TRUE(View.HighlightList().empty());
        Driver.Click({-8, 0, 1});
        Driver.Click({7, 0, 1});

        ASSERT_EQ(Log.Handed.size(), 1u) << "the second object completes the selection";
        EXPECT_EQ(Log.Handed[0], (std::vector<TObject2D*>{Line, Circle}));
        EXPECT_TRUE(Idle());
        EXPECT_NEAR(SelectionPickPoints[0].X, -8, 0.1);
        EXPECT_NEAR(SelectionPickPoints[1].X, 7, 0.1);
        if (withCallback) {
            ASSERT_EQ(Callbacks.size(), 4u);
            EXPECT_FALSE(Callbacks[1].Added);
            EXPECT_EQ(Callbacks[3].Object, Circle);
        }
    }

    // Accept before the second object ends without handing over.
    Prg.StartOperation(StateClassOf<TQV_50Seleziona2Ogg>(), SelectParam());
    Driver.Click({-7, 0, 1});
    Driver.Enter();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Log.Handed.size(), 1u);
    EXPECT_EQ(View.OverlayMode(), OverlayBits::Idle);
}

TEST_F(Selections, ManyObjectsToggleUntilAccepted)
{
    Prg.StartOperation(StateClassOf<TQV_50SelectObjects>(), SelectParam());
    EXPECT_EQ(Shell.Prompts.back(), "prompt 16");
    Driver.Click({-7, 0, 1});
    Driver.Click({0, 6, 1});
    Driver.Click({-7, 0, 1}); // off again
    Driver.Click({7, 0, 1});
    Callbacks.clear();
    Driver.Repaint(); // every selected object announced again
    ASSERT_EQ(Callbacks.size(), 2u);
    EXPECT_EQ(Callbacks[0].Code, PickNone);
    EXPECT_EQ(CurrentClass(), "TQV_50SelectObjects");
    Driver.Enter();
    ASSERT_EQ(Log.Handed.size(), 1u);
    EXPECT_EQ(Log.Handed[0], (std::vector<TObject2D*>{Point, Circle}));
    EXPECT_TRUE(Idle());

    // Points or arcs: only the kind the switch names is picked.
    for (const bool pointsOnly : {true, false}) {
        SelectPointsOnly = pointsOnly;
        Log.Handed.clear();
        Prg.StartOperation(StateClassOf<TQV_50SelectPuntiAndArchi>(), SelectParam());
        Driver.Click({0, 6, 1});
        Driver.Click({7, 0, 1});
        Driver.Click({-7, 0, 1});
        Driver.Enter();
        ASSERT_EQ(Log.Handed.size(), 1u);
        EXPECT_EQ(Log.Handed[0], std::vector<TObject2D*>{pointsOnly ? static_cast<TObject2D*>(Point) : Circle});
    }
    SelectPointsOnly = false;
}

TEST_F(Selections, WindowTakesWhatLiesInsideFromEitherCorner)
{
    struct Case {
        TPoint2D From, To;
    };
    for (const Case& c : {Case{{-12, -6, 1}, {9, 8, 1}}, Case{{9, 8, 1}, {-12, -6, 1}},
                          Case{{9, -6, 1}, {-12, 8, 1}}, Case{{-12, 8, 1}, {9, -6, 1}}}) {
        Log.Handed.clear();
        Callbacks.clear();
        auto param = std::make_unique<TQV_51WinSelectObjectsParam>(0, 0, nullptr, StateClassOf<TProbeAfterState>());
        param->OnSelected = [this](TQV_50SelectObjectsParam&, TObject2D* o, bool added, int32_t code) {
            Callbacks.push_back({o, added, code});
        };
        Prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(), std::move(param));
        EXPECT_EQ(CurrentClass(), "TQV_52WinPrgSelect");
        Driver.Click(c.From);
        Driver.Click(c.To);

        ASSERT_EQ(Log.Handed.size(), 1u);
        EXPECT_EQ(Log.Handed[0], (std::vector<TObject2D*>{Line, Circle, Point})) << "the long line sticks out";
        ASSERT_EQ(Callbacks.size(), 1u);
        EXPECT_EQ(Callbacks[0].Object, nullptr);
        EXPECT_EQ(Callbacks[0].Code, PickNone);
        EXPECT_EQ(View.OverlayMode(), OverlayBits::Idle);
        EXPECT_TRUE(Idle());
    }
}

TEST_F(Selections, WindowSurvivesAPanInTheMiddle)
{
    Prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(),
                       std::make_unique<TQV_51WinSelectObjectsParam>(0, 0, nullptr, StateClassOf<TProbeAfterState>()));
    Driver.Click({-12, -6, 1});
    ASSERT_TRUE(Prg.SuspendOperation(StateClassOf<TQV_21RealTimePan>()));
    Driver.MovePixel(400, 300);
    Driver.Down();
    Driver.MovePixel(300, 350); // the view moves 10 right and 5 up
    Driver.Up();
    EXPECT_EQ(CurrentClass(), "TQV_51PrgDragSelectArea");
    Driver.Click({9, 8, 1});
    ASSERT_EQ(Log.Handed.size(), 1u);
    EXPECT_EQ(Log.Handed[0], (std::vector<TObject2D*>{Line, Circle, Point}));
}

TEST_F(Selections, WindowHandsItsWindowToTheSelection)
{
    Prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(),
                       std::make_unique<TQV_51WinSelectObjectsParam>(0, 0, nullptr, StateClassOf<TProbeAfterState>()));
    Driver.Click({5, -2, 1});
    Driver.Click({-3, 4, 1});
    EXPECT_NEAR(Log.WindowBox.FirstEdge.X, -3, 0.1);
    EXPECT_NEAR(Log.WindowBox.FirstEdge.Y, -2, 0.1);
    EXPECT_NEAR(Log.WindowBox.SecondEdge.X, 5, 0.1);
    EXPECT_NEAR(Log.WindowBox.SecondEdge.Y, 4, 0.1);
    EXPECT_EQ(Log.ScreenWindow.Left, 370);
    EXPECT_EQ(Log.ScreenWindow.Top, 260);
    EXPECT_EQ(Log.ScreenWindow.Right, 450);
    EXPECT_EQ(Log.ScreenWindow.Bottom, 320);
    EXPECT_TRUE(Idle());

    // Esc with the window open frees both parameters and leaves no band.
    Prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(),
                       std::make_unique<TQV_51WinSelectObjectsParam>(0, 0, nullptr, StateClassOf<TProbeAfterState>()));
    Driver.Click({5, -2, 1});
    Driver.MoveTo({0, 0, 1});
    Driver.Esc();
    EXPECT_TRUE(Idle());
    EXPECT_EQ(View.OverlayMode() & OverlayBits::RubberBand, 0);
    EXPECT_EQ(Log.Handed.size(), 1u);
}

TEST_F(Selections, OnePointIsTheCursorAtTheRelease)
{
    Prg.UsaSnap = false;
    Prg.StartOperation(StateClassOf<TQV_50SelectPoint>(), SelectParam());
    EXPECT_TRUE(Prg.UsaSnap);
    EXPECT_EQ(Shell.Prompts.back(), "prompt 13");
    Driver.Click({3, -2, 1});
    EXPECT_NEAR(Log.Point.X, 3, 0.1);
    EXPECT_NEAR(Log.Point.Y, -2, 0.1);
    EXPECT_EQ(Log.Handed.size(), 1u);
    EXPECT_TRUE(Idle());
}

TEST_F(Selections, DistanceRestartsEveryThirdClickAndReadsOut)
{
    Prg.StartOperation(StateClassOf<TQV_70Sel2Punti>(), std::make_unique<TQV_70Sel2PuntiParam>());
    EXPECT_EQ(Shell.Prompts.back(), "prompt 14");
    Prg.Snap2Grid = true; // the measured points are snapped
    Driver.Click({0.2, -0.3, 1});
    EXPECT_EQ(Shell.Prompts.back(), "prompt 15");
    Driver.MoveTo({29.7, 40.2, 1});
    EXPECT_EQ(Readout.Calls.back(), "line 0,0 30,40");
    EXPECT_NE(View.OverlayMode() & OverlayBits::Drag, 0);
    Driver.Click({30, 40, 1});
    EXPECT_EQ(Shell.Prompts.back(), "prompt 14");
    EXPECT_EQ(View.OverlayMode(), OverlayBits::Idle);
    const size_t readouts = Readout.Calls.size();
    Driver.MoveTo({5, 5, 1});
    EXPECT_EQ(Readout.Calls.size(), readouts) << "no measurement runs";
    Driver.Click({10, 0, 1}); // a new one
    Driver.MoveTo({20, 0, 1});
    EXPECT_EQ(Readout.Calls.back(), "line 10,0 20,0");
    int rebuilds = 0;
    View.ProcessPendingEvents = [&rebuilds] { ++rebuilds; };
    Driver.Enter();
    EXPECT_EQ(rebuilds, 1) << "accepting rebuilds the scene";
    EXPECT_TRUE(Idle());
    EXPECT_EQ(View.DragObject(), nullptr) << "the freed rubber line is no longer drawn";
}

TEST_F(Selections, WrongParametersAreRefusedWithTheirTexts)
{
    struct Case {
        TCADStateClass State;
        const char* Text;
    };
    const Case cases[] = {
        {StateClassOf<TQV_50Seleziona1Ogg>(), "TQV_Select1Object: Invalid param"},
        {StateClassOf<TQV_50Seleziona2Ogg>(), "TQV_Select2Object: Invalid param"},
        {StateClassOf<TQV_50SelectObjects>(), "TCAD2DSelectObjects: Invalid param"},
        {StateClassOf<TQV_50SelectPuntiAndArchi>(), "TCAD2DSelectObjects: Invalid param"},
        {StateClassOf<TQV_51WinSelectObjects>(), "TQV_51WinSelectObjects: Invalid param"},
        {StateClassOf<TQV_50SelectPoint>(), "TCAD2DSelectPoint: Invalid param"},
        {StateClassOf<TQV_70Sel2Punti>(), "TQV_70Sel2Punti: Invalid param"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        Notifier.Clear();
        Prg.StartOperation(c.State, std::make_unique<TProbeParam>(Log));
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Text, c.Text);
        EXPECT_EQ(CurrentClass(), "TQV_00CADIdleState");
    }
    // A plain selection parameter is not a window selection's.
    Notifier.Clear();
    Prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(), SelectParam());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, "TQV_51WinSelectObjects: Invalid param");
}

} // namespace

}  // namespace view_select_states_test
