// The drawing states driven end to end over the scene view and a document:
// with the mouse and with typed coordinates, their previews, the undo step
// of each added entity, and the commands given too few points.

#include "cad/states/DrawArcStates.h"
#include "cad/states/DrawSizedStates.h"
#include "cad/states/DrawUnsizedStates.h"
#include "cad/states/QV_20PrgZoomState.h"
#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/settings/Language.h"
#include "core/settings/LangKeys.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/geometry/Tolerance.h"
#include "tests/cad/DrawStatesTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

namespace draw_states_test {

namespace {

using kbtest::CartesianPoints;
using kbtest::ExpectPoints;

constexpr TPoint2D Origin{0, 0, 1};

std::unique_ptr<TQV_40DrawSizedPrimitiveParam> Sized(std::unique_ptr<TPrimitive2D> prototype,
                                                     TCADStateClass afterState = nullptr)
{
    return TQV_40DrawSizedPrimitiveParam::CreateSized(afterState, true, 0, std::move(prototype));
}

std::unique_ptr<TQV_40DrawUnSizedPrimitiveParam> Unsized(std::unique_ptr<TPrimitive2D> prototype)
{
    return std::make_unique<TQV_40DrawUnSizedPrimitiveParam>(nullptr, true, 0, std::move(prototype));
}

std::unique_ptr<TPolyline2D> PolylinePrototype()
{
    const TPoint2D one[] = {Origin};
    return std::make_unique<TPolyline2D>(-1, one);
}

std::unique_ptr<TBSpline2D> SplinePrototype()
{
    const TPoint2D one[] = {Origin};
    return std::make_unique<TBSpline2D>(-1, one);
}

std::unique_ptr<TQV_40DrawArcoPrimitiveParam> ArcParam(bool arcFlag)
{
    return std::make_unique<TQV_40DrawArcoPrimitiveParam>(
        nullptr, arcFlag, std::make_unique<TArco2D>(-1, Origin, Origin, 0.0, 0.0));
}

struct DrawStates : ::testing::Test, kbtest::TDrawRig {
    // The one object of the document as T.
    template <class T> T* Added()
    {
        const std::vector<TObject2D*> objects = Objects();
        return objects.size() == 1 ? dynamic_cast<T*>(objects[0]) : nullptr;
    }
};

TEST_F(DrawStates, SizedEntitiesByMouseAndByTypedPoints)
{
    struct Case {
        std::string Name;
        std::function<std::unique_ptr<TPrimitive2D>()> Prototype;
        std::string ClassName;
        std::vector<TPoint2D> Clicks; // also the control points made
    };
    const std::vector<Case> cases{
        {"point", [] { return std::make_unique<TPunto2D>(-1, Origin); }, "TPunto2D", {{3, 4, 1}}},
        {"line", [] { return std::make_unique<TLine2D>(-1, Origin, Origin); }, "TLine2D", {{1, 2, 1}, {5, -3, 1}}},
        {"rectangle", [] { return std::make_unique<TFrame2D>(-1, Origin, Origin); }, "TFrame2D",
         {{-2, -1, 1}, {4, 3, 1}}},
        {"circle", [] { return std::make_unique<TCerchio2D>(-1, Origin, Origin); }, "TCerchio2D",
         {{1, 1, 1}, {4, 5, 1}}},
        {"ellipse", [] { return std::make_unique<TEllipse2D>(-1, Origin, Origin); }, "TEllipse2D",
         {{0.5, 0, 1}, {6, 4.2, 1}}},
    };
    for (const Case& c : cases)
        for (const bool typed : {false, true}) {
            SCOPED_TRACE(c.Name + (typed ? " typed" : " mouse"));
            Start<TQV_40DrawSizedPrimitive>(Sized(c.Prototype()));
            EXPECT_EQ(Shell.Prompts.back(), "prompt 4");
            for (size_t i = 0; i + 1 < c.Clicks.size(); ++i) {
                Put(c.Clicks[i], typed);
                EXPECT_TRUE(Prg.Busy());
                ASSERT_NE(View.DragObject(), nullptr) << "the entity follows the cursor";
            }
            Put(c.Clicks.back(), typed);
            auto* entity = Added<TPrimitive2D>();
            ASSERT_NE(entity, nullptr);
            EXPECT_EQ(entity->ClassName(), c.ClassName);
            ExpectPoints(CartesianPoints(*entity), c.Clicks);
            EXPECT_NEAR(Prg.LastSnapPoint().X, c.Clicks.back().X, 1e-6) << "the click is the last snap point";
            EXPECT_FALSE(Prg.SceneDirty()) << "the end of the command rebuilt the scene";
            ExpectNewObjectsStepThenUndo();
            Journal.Clear();
        }
}

TEST_F(DrawStates, LineFollowsTheCursorAndEnterTakesItsPosition)
{
    Start<TQV_40DrawSizedPrimitive>(Sized(std::make_unique<TLine2D>(-1, Origin, Origin)));
    Driver.Click({0, 0, 1});
    Driver.MoveTo({5, -2, 1});
    auto* line = dynamic_cast<TLine2D*>(View.DragObject());
    ASSERT_NE(line, nullptr);
    ExpectPoints(CartesianPoints(*line), {{0, 0, 1}, {5, -2, 1}});
    // The rubber line on the overlay: (0, 0) is pixel (400, 300), ten pixels
    // a unit.
    kbtest::TRecordingCanvas canvas;
    View.RenderOverlay(canvas);
    EXPECT_NE(std::find(canvas.Calls.begin(), canvas.Calls.end(), "line 400,300-450,320"), canvas.Calls.end());

    Driver.Enter();
    ASSERT_NE(Added<TLine2D>(), nullptr);
    ExpectPoints(CartesianPoints(*Added<TLine2D>()), {{0, 0, 1}, {5, -2, 1}});
    ExpectNewObjectsStepThenUndo();
}

TEST_F(DrawStates, AnEllipseWithoutAreaIsRefusedAndTheSecondCornerAskedAgain)
{
    Start<TQV_40DrawSizedPrimitive>(Sized(std::make_unique<TEllipse2D>(-1, Origin, Origin)));
    Driver.Click({1, 1, 1});
    // Corners on one horizontal, then one vertical line: no ellipse, by
    // click or by Enter, and the command waits on.
    for (const TPoint2D flat : {TPoint2D{6, 1, 1}, TPoint2D{1, 5, 1}}) {
        Driver.Click(flat);
        EXPECT_TRUE(Prg.Busy());
        EXPECT_TRUE(Objects().empty());
        EXPECT_EQ(Prg.CurrentState()->Prompt(), LangText(LangKeys::String::EllipseFlat));
        Driver.Enter();
        EXPECT_TRUE(Objects().empty());
    }
    Driver.Click({6, 4, 1});
    ASSERT_NE(Added<TEllipse2D>(), nullptr);
    ExpectPoints(CartesianPoints(*Added<TEllipse2D>()), {{1, 1, 1}, {6, 4, 1}});
}

TEST_F(DrawStates, OrthoSquaresEveryPointButTheFirst)
{
    Prg.UseOrto = true;
    Start<TQV_40DrawSizedPrimitive>(Sized(std::make_unique<TLine2D>(-1, Origin, Origin)));
    Driver.Click({1, 1, 1});
    Driver.Click({4, 2, 1});
    ASSERT_NE(Added<TLine2D>(), nullptr);
    ExpectPoints(CartesianPoints(*Added<TLine2D>()), {{1, 1, 1}, {4, 1, 1}});
    Journal.Undo();

    Start<TQV_40DrawUnSizedPrimitive>(Unsized(PolylinePrototype()));
    Driver.Click({0.3, 0.7, 1});
    Driver.Click({3, 1.2, 1});
    Driver.MoveTo({3.5, 5, 1});
    Driver.Enter();
    ASSERT_NE(Added<TPolyline2D>(), nullptr);
    ExpectPoints(CartesianPoints(*Added<TPolyline2D>()), {{0.3, 0.7, 1}, {3, 0.7, 1}, {3, 5, 1}});
}

TEST_F(DrawStates, TooFewPointsIgnoreEnterAndEscLeavesNothing)
{
    struct Case {
        std::string Name;
        std::function<void(DrawStates&)> Start;
        std::vector<TPoint2D> Clicks; // taken before Enter; the cursor stays on the last
    };
    auto line = [](DrawStates& t) {
        t.Start<TQV_40DrawSizedPrimitive>(Sized(std::make_unique<TLine2D>(-1, Origin, Origin)));
    };
    auto point = [](DrawStates& t) {
        t.Start<TQV_40DrawSizedPrimitive>(Sized(std::make_unique<TPunto2D>(-1, Origin)));
    };
    auto polyline = [](DrawStates& t) { t.Start<TQV_40DrawUnSizedPrimitive>(Unsized(PolylinePrototype())); };
    auto spline = [](DrawStates& t) { t.Start<TQV_40DrawUnSizedPrimitive>(Unsized(SplinePrototype())); };
    auto arc = [](DrawStates& t) { t.Start<TQV_40DrawArcoPrimitive>(ArcParam(true)); };
    auto ellipse = [](DrawStates& t) {
        t.Start<TQV_40DrawEOPrimitive>(std::make_unique<TQV_40DrawEOPrimitiveParam>(
            nullptr, std::make_unique<TEllipseOpen2D>(-1, Origin, Origin, 0.0, 0.0)));
    };
    auto arc3 = [](DrawStates& t) { t.Start<TQV_40DrawArco3Pt>(ArcParam(true)); };
    auto circle3 = [](DrawStates& t) { t.Start<TQV_40DrawArco3Pt>(ArcParam(false)); };
    const std::vector<Case> cases{
        {"point", point, {}},
        {"line", line, {}},
        {"polyline", polyline, {}},
        {"polyline of one point", polyline, {{2, 3, 1}}},
        {"spline of one point", spline, {{2, 3, 1}}},
        {"arc with its centre only", arc, {{2, 3, 1}}},
        {"open ellipse with one corner", ellipse, {{2, 3, 1}}},
        {"three-point arc of two points", arc3, {{2, 3, 1}, {5, 1, 1}}},
        {"three-point circle of two points", circle3, {{2, 3, 1}, {5, 1, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Start(*this);
        for (const TPoint2D& p : c.Clicks)
            Driver.Click(p);
        Driver.Enter();
        EXPECT_TRUE(Prg.Busy()) << "the drawing goes on";
        EXPECT_EQ(Doc.ObjectsCount(), 0);
        Driver.Esc();
        EXPECT_TRUE(Idle());
        EXPECT_EQ(View.DragObject(), nullptr);
        EXPECT_EQ(View.OverlayMode(), OverlayBits::Idle);
        EXPECT_EQ(Doc.ObjectsCount(), 0);
        EXPECT_TRUE(Journal.Steps().empty());
    }
}

TEST_F(DrawStates, PolylineVerticesByMouseAndByTypedPoints)
{
    // A second click on the vertex just taken adds none; Enter keeps the
    // vertex under the cursor unless it repeats the last one.
    const std::vector<TPoint2D> clicks{{0, 0, 1}, {0, 0, 1}, {5, 0, 1}, {5, 5, 1}};
    const std::vector<TPoint2D> expected{{0, 0, 1}, {5, 0, 1}, {5, 5, 1}, {2, 7, 1}};
    for (const int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode == 0 ? "last point moved to" : mode == 1 ? "last point clicked" : "typed");
        Start<TQV_40DrawUnSizedPrimitive>(Unsized(PolylinePrototype()));
        for (const TPoint2D& p : clicks)
            Put(p, mode == 2);
        if (mode == 0)
            Driver.MoveTo({2, 7, 1});
        else
            Put({2, 7, 1}, mode == 2);
        Driver.Enter();
        ASSERT_NE(Added<TPolyline2D>(), nullptr);
        ExpectPoints(CartesianPoints(*Added<TPolyline2D>()), expected);
        ExpectNewObjectsStepThenUndo();
        Journal.Clear();
    }
}

TEST_F(DrawStates, PolylineStepBackAndClose)
{
    const TPoint2D a{0, 0, 1}, b{4, 0, 1}, c{4, 3, 1};
    Start<TQV_40DrawUnSizedPrimitive>(Unsized(PolylinePrototype()));
    Driver.Click(a);
    Driver.User(TCADUserEvent::StepBack);
    Driver.User(TCADUserEvent::ClosePath);
    auto* drawn = dynamic_cast<TPolyline2D*>(View.DragObject());
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->Points().Count(), 2) << "one click: nothing to step back";
    Driver.Click(b);
    Driver.User(TCADUserEvent::ClosePath);
    EXPECT_TRUE(Prg.Busy()) << "two clicks do not close";
    Driver.Click(c);
    Driver.User(TCADUserEvent::StepBack);
    ExpectPoints(CartesianPoints(*drawn), {a, b, c});
    Driver.MoveTo({5, 5, 1}); // the last clicked vertex follows again
    ExpectPoints(CartesianPoints(*drawn), {a, b, {5, 5, 1}});
    Driver.Click(c);

    Driver.User(TCADUserEvent::ClosePath);
    ASSERT_NE(Added<TPolyline2D>(), nullptr);
    ExpectPoints(CartesianPoints(*Added<TPolyline2D>()), {a, b, c, a});
    ExpectNewObjectsStepThenUndo();
}

TEST_F(DrawStates, SplineSegmentsFromTheSettingsOnEnterOnly)
{
    Config.MaxCurveSeg = 120;
    ASSERT_EQ(MaxCurveSeg(), 120);
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "closed" : "entered");
        Start<TQV_40DrawUnSizedPrimitive>(Unsized(SplinePrototype()));
        for (const TPoint2D& p : {TPoint2D{0, 0, 1}, TPoint2D{4, 1, 1}, TPoint2D{6, 5, 1}})
            Driver.Click(p);
        close ? Driver.User(TCADUserEvent::ClosePath) : Driver.Enter();
        auto* spline = Added<TBSpline2D>();
        ASSERT_NE(spline, nullptr);
        EXPECT_EQ(spline->Segments(), close ? TCurve2D::kDefaultSegments : 120);
        EXPECT_EQ(spline->Points().Count(), close ? 4 : 3);
        ExpectNewObjectsStepThenUndo();
        Journal.Clear();
    }
}

TEST_F(DrawStates, ArcFromItsCentreAndOpenEllipse)
{
    for (const bool typed : {false, true}) {
        SCOPED_TRACE(typed ? "typed" : "mouse");
        Start<TQV_40DrawArcoPrimitive>(ArcParam(true));
        EXPECT_EQ(Shell.Prompts.back(), "prompt 5");
        Put({1, 1, 1}, typed);
        Put({1, 5, 1}, typed); // radius 4
        EXPECT_EQ(Shell.Prompts.back(), "prompt 6");
        auto* drawn = dynamic_cast<TArco2D*>(View.DragObject());
        ASSERT_NE(drawn, nullptr);
        EXPECT_NEAR(CartesianPoints(*drawn)[3].X, 5.0, 1e-9) << "the end point waits at angle 0";
        Put({7, 1, 1}, typed);  // start at angle 0
        Put({1, -2, 1}, typed); // end at -90 degrees
        auto* arc = Added<TArco2D>();
        ASSERT_NE(arc, nullptr);
        const TArcGeometry2D g = arc->GetArcGeometry();
        EXPECT_NEAR(g.Centre.X, 1, 1e-9);
        EXPECT_NEAR(g.Centre.Y, 1, 1e-9);
        EXPECT_NEAR(g.Radius, 4, 1e-9);
        EXPECT_NEAR(arc->StartAngle(), 0, 1e-9);
        EXPECT_NEAR(arc->EndAngle(), -std::numbers::pi / 2, 1e-9);
        ExpectNewObjectsStepThenUndo();
        Journal.Clear();

        Start<TQV_40DrawEOPrimitive>(std::make_unique<TQV_40DrawEOPrimitiveParam>(
            nullptr, std::make_unique<TEllipseOpen2D>(-1, Origin, Origin, 0.0, 0.0)));
        EXPECT_EQ(Shell.Prompts.back(), "prompt 7");
        Put({0, 0, 1}, typed);
        Put({6, 4, 1}, typed);
        EXPECT_EQ(Shell.Prompts.back(), "prompt 6");
        Put({3, 9, 1}, typed); // straight above the centre
        Put({0, 2, 1}, typed); // left of it
        auto* ellipse = Added<TEllipseOpen2D>();
        ASSERT_NE(ellipse, nullptr);
        EXPECT_NEAR(ellipse->StartAngle(), std::numbers::pi / 2, 1e-9);
        EXPECT_NEAR(ellipse->EndAngle(), std::numbers::pi, 1e-9);
        ExpectNewObjectsStepThenUndo();
        Journal.Clear();
    }
}

TEST_F(DrawStates, ThreePointArcAndCircle)
{
    // Through (0, 0), (5, 5) and (10, 0): centre (5, 0), radius 5. The turn
    // is clockwise, so the arc runs from the third point to the first.
    for (const bool arcFlag : {true, false})
        for (const bool typed : {false, true}) {
            SCOPED_TRACE(std::string(arcFlag ? "arc" : "circle") + (typed ? " typed" : " mouse"));
            Start<TQV_40DrawArco3Pt>(ArcParam(arcFlag));
            Put({0, 0, 1}, typed);
            Put({5, 5, 1}, typed);
            // A stray preview; the third point alone decides.
            Driver.MoveTo({5, -3, 1});
            Put({10, 0, 1}, typed);
            auto* arc = Added<TArco2D>();
            ASSERT_NE(arc, nullptr);
            const TArcGeometry2D g = arc->GetArcGeometry();
            EXPECT_NEAR(g.Centre.X, 5, 1e-9);
            EXPECT_NEAR(g.Centre.Y, 0, 1e-9);
            EXPECT_NEAR(g.Radius, 5, 1e-9);
            ExpectPoints({g.StartPoint, g.EndPoint}, {{10, 0, 1}, {arcFlag ? 0.0 : 10.0, 0, 1}});
            ExpectNewObjectsStepThenUndo();
            Journal.Clear();
        }
}

TEST_F(DrawStates, ThreeAlignedPointsWarnAndAddNothing)
{
    Start<TQV_40DrawArco3Pt>(ArcParam(true));
    Driver.Click({0, 0, 1});
    Driver.Click({2, 1, 1});
    Driver.TypePoint({6, 3, 1});
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Warning);
    EXPECT_EQ(Notifier.Messages()[0].Text, "The three points are aligned");
    EXPECT_EQ(Notifier.Messages()[0].Caption, "Caution");
    EXPECT_TRUE(Idle());
    EXPECT_EQ(View.DragObject(), nullptr);
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_TRUE(Journal.Steps().empty());
}

// An after-state that keeps what the sized parameter hands it.
struct TReceiver : TQV_00State {
    static constexpr std::string_view ClassName = "TReceiver";
    TReceiver(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
        : TQV_00State(prg, std::move(param))
    {
        if (auto* p = dynamic_cast<TQV_40DrawSizedPrimitiveParam*>(Param()); p && p->Primitive())
            Received = CartesianPoints(*p->Primitive());
        nextState = prg.IdleClass();
    }
    static inline std::vector<TPoint2D> Received;
};

TEST_F(DrawStates, AfterStateReceivesTheEntityInsteadOfTheDocument)
{
    TReceiver::Received.clear();
    Start<TQV_40DrawSizedPrimitive>(
        Sized(std::make_unique<TLine2D>(-1, Origin, Origin), StateClassOf<TReceiver>()));
    Driver.Click({1, 1, 1});
    Driver.Click({3, 2, 1});
    EXPECT_TRUE(Idle());
    ExpectPoints(TReceiver::Received, {{1, 1, 1}, {3, 2, 1}});
    EXPECT_EQ(Doc.ObjectsCount(), 0);
    EXPECT_TRUE(Journal.Steps().empty());
    EXPECT_EQ(View.DragObject(), nullptr);
}

TEST_F(DrawStates, ZoomWindowBetweenClicksKeepsTheDrawing)
{
    Start<TQV_40DrawSizedPrimitive>(Sized(std::make_unique<TLine2D>(-1, Origin, Origin)));
    Driver.Click({1, 1, 1});
    Driver.MoveTo({2, 2, 1});
    TObject2D* drawn = View.DragObject();
    ASSERT_TRUE(Prg.SuspendOperation(StateClassOf<TQV_20PrgZoomArea>()));
    Driver.Click({-10, -10, 1});
    Driver.Click({10, 10, 1});
    EXPECT_EQ(View.DragObject(), drawn) << "shown again after the zoom";
    Driver.Click({3, 1, 1});
    ASSERT_NE(Added<TLine2D>(), nullptr);
    EXPECT_NEAR(CartesianPoints(*Added<TLine2D>())[0].X, 1, 1e-6);
}

TEST_F(DrawStates, WrongParameterAbortsWithTheStatesMessage)
{
    struct Case {
        TCADStateClass State;
        std::string Message;
    };
    const std::vector<Case> cases{
        {StateClassOf<TQV_40DrawSizedPrimitive>(), "TQV2D_DrawSizedPrimitiveParam: Invalid param"},
        {StateClassOf<TQV_40DrawUnSizedPrimitive>(), "TQV2D_DrawUnSizedPrimitive: Invalid param"},
        {StateClassOf<TQV_40DrawEOPrimitive>(), "TQV_40DEOPP: Invalid param"},
        {StateClassOf<TQV_40DrawArcoPrimitive>(), "TQV2D_DrawArcoPrimitive: Invalid param"},
        {StateClassOf<TQV_40DrawArco3Pt>(), "TQV_40DrawArco3Pt: Invalid param"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Message);
        Notifier.Clear();
        // An open-ellipse parameter without its ellipse suits none of them.
        Prg.StartOperation(c.State, std::make_unique<TQV_40DrawEOPrimitiveParam>(nullptr, nullptr));
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Text, c.Message);
        EXPECT_NE(CurrentClass(), c.State->Name);
    }
}

} // namespace

}  // namespace draw_states_test
