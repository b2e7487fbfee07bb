// Grid snap, object snap and ortho as a command sees them: the mouse is
// driven over real entities in the scene view and the command takes
// GetSnappedPoint at each press.

#include "cad/program/ObjectSnap.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Matrix4.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "tests/cad/SceneDriverRig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace object_snap_test {

namespace {

using kbtest::TProbeCommand;
using kbtest::TProbeParam;
using M = TObjectSnapMode;

constexpr int NoCursor = 0;

struct SnapOnScene : ::testing::Test, kbtest::TSceneRig {
    SnapOnScene()
    {
        Add(std::make_unique<TLine2D>(0, TPoint2D{-20, 10, 1}, TPoint2D{-10, 14, 1}));
        Add(std::make_unique<TCerchio2D>(0, TPoint2D{10, 10, 1}, TPoint2D{10, 13, 1}));
        Add(std::make_unique<TArco2D>(0, TPoint2D{0, -15, 1}, TPoint2D{4, -15, 1}, 0.0, std::numbers::pi / 2));
        Add(std::make_unique<TPunto2D>(0, TPoint2D{-20, -15, 1}));
        const TPoint2D vertices[] = {{15, -10, 1}, {20, -10, 1}, {20, -15, 1}};
        Add(std::make_unique<TPolyline2D>(0, vertices));
        // Centre (5, 0), point on it (5, 3), turned a quarter about the
        // origin: centre (0, 5), the stored radius point at (-3, 5).
        auto* turned = Add(std::make_unique<TCerchio2D>(0, TPoint2D{5, 0, 1}, TPoint2D{5, 3, 1}));
        turned->SetTransform(TMatrix4::CreateRotationZ(90.0, true));
        Prg.UsaSnap = true;
        Prg.StartOperation(StateClassOf<TProbeCommand>(), std::make_unique<TProbeParam>(Log));
    }

    // The point the command takes for a press at p, with the cursor id the
    // view shows after it (NoCursor: untouched).
    TPoint2D PressAt(const TPoint2D& p, TObjectSnapMode mode)
    {
        Prg.ObjectSnapMode = mode;
        Log.Clicks.clear();
        View.SetViewCursor(NoCursor);
        Driver.Click(p);
        EXPECT_EQ(Log.Clicks.size(), 1u);
        return Log.Clicks.empty() ? TPoint2D{} : Log.Clicks.back();
    }
};

TEST_F(SnapOnScene, EachKindOnEachEntity)
{
    const double h = 2 * std::numbers::sqrt2; // the arc's mid point offset
    struct Case {
        const char* What;
        TPoint2D Cursor;
        TObjectSnapMode Mode;
        TPoint2D Expected; // W 0: the cursor point itself
        int Cursor2;
    };
    const Case cases[] = {
        {"line end: the nearer end", {-18, 10.8, 1}, M::EndPoint, {-20, 10, 1}, 3},
        {"line end near the second", {-11, 13.6, 1}, M::EndPoint, {-10, 14, 1}, 3},
        {"line mid", {-18, 10.8, 1}, M::MidPoint, {-15, 12, 1}, 4},
        {"line has no centre", {-18, 10.8, 1}, M::Centre, {0, 0, 0}, NoCursor},
        {"line auto: the mid point is nearest", {-16, 11.6, 1}, M::Automatic, {-15, 12, 1}, 4},
        {"line auto: an end is nearest", {-19.5, 10.2, 1}, M::Automatic, {-20, 10, 1}, 3},
        {"circle end: the rightmost point", {10, 13, 1}, M::EndPoint, {13, 10, 1}, 3},
        {"circle mid: the leftmost point", {10, 13, 1}, M::MidPoint, {7, 10, 1}, 4},
        {"circle centre", {10, 13, 1}, M::Centre, {10, 10, 1}, 5},
        {"circle auto", {12.9, 10.4, 1}, M::Automatic, {13, 10, 1}, 3},
        {"circle has no point", {10, 13, 1}, M::Point, {0, 0, 0}, NoCursor},
        {"turned circle end, in drawing coordinates", {0.26, 7.95, 1}, M::EndPoint, {3, 5, 1}, 3},
        {"turned circle mid", {0.26, 7.95, 1}, M::MidPoint, {-3, 5, 1}, 4},
        {"turned circle centre", {0.26, 7.95, 1}, M::Centre, {0, 5, 1}, 5},
        // (1, -14) is inside the arc's box, 2.6 away from the arc, and as
        // far from the start (4, -15) as from the end (0, -11).
        {"arc end from inside its box: the end on a tie", {1, -14, 1}, M::EndPoint, {0, -11, 1}, 3},
        {"arc end near the start", {3.9, -14.5, 1}, M::EndPoint, {4, -15, 1}, 3},
        {"arc mid: half the sweep", {1, -14, 1}, M::MidPoint, {h, -15 + h, 1}, 4},
        {"arc centre", {1, -14, 1}, M::Centre, {0, -15, 1}, 5},
        {"arc auto: the centre first", {1, -14, 1}, M::Automatic, {0, -15, 1}, 5},
        {"arc auto: the start", {3.9, -14.6, 1}, M::Automatic, {4, -15, 1}, 3},
        {"point entity", {-19.6, -15.3, 1}, M::Point, {-20, -15, 1}, 6},
        {"point entity auto", {-19.6, -15.3, 1}, M::Automatic, {-20, -15, 1}, 6},
        {"point entity has no end", {-19.6, -15.3, 1}, M::EndPoint, {0, 0, 0}, NoCursor},
        {"polyline vertex", {19.8, -10.2, 1}, M::EndPoint, {20, -10, 1}, 3},
        {"polyline vertex auto", {15.3, -10.1, 1}, M::Automatic, {15, -10, 1}, 3},
        {"polyline away from its vertices", {17.5, -10, 1}, M::EndPoint, {0, 0, 0}, 2},
        {"polyline has no mid point", {19.8, -10.2, 1}, M::MidPoint, {0, 0, 0}, NoCursor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        const TPoint2D cursor = WorldAt(c.Cursor);
        const TPoint2D taken = PressAt(c.Cursor, c.Mode);
        const TPoint2D expected = c.Expected.W == 0 ? cursor : c.Expected;
        EXPECT_NEAR(taken.X, expected.X, 1e-9);
        EXPECT_NEAR(taken.Y, expected.Y, 1e-9);
        EXPECT_EQ(taken.W, 1.0);
        EXPECT_EQ(View.ViewCursor(), c.Cursor2);
        // Every snap that found an entity leaves its point as the last one.
        EXPECT_EQ(Prg.LastSnapPoint().X, taken.X);
        EXPECT_EQ(Prg.LastSnapPoint().Y, taken.Y);
    }

    // Nothing under the cursor: the cross, and the last snap point stays.
    const TPoint2D last = Prg.LastSnapPoint();
    const TPoint2D taken = PressAt({30, 25, 1}, M::Automatic);
    EXPECT_EQ(taken.X, WorldAt({30, 25, 1}).X);
    EXPECT_EQ(View.ViewCursor(), 2);
    EXPECT_EQ(Prg.LastSnapPoint().X, last.X);
    EXPECT_EQ(Prg.LastSnapPoint().Y, last.Y);
}

TEST_F(SnapOnScene, ObjectSnapNeedsAModeAndUsaSnap)
{
    const TPoint2D cursor = WorldAt({-18, 10.8, 1});
    for (const bool usaSnap : {true, false}) {
        Prg.UsaSnap = usaSnap;
        const TPoint2D taken = PressAt({-18, 10.8, 1}, usaSnap ? M::None : M::EndPoint);
        EXPECT_EQ(taken.X, cursor.X);
        EXPECT_EQ(View.ViewCursor(), NoCursor);
        EXPECT_EQ(Prg.LastSnapPoint().X, 1e8);
    }
}

TEST_F(SnapOnScene, GridSnapComesFirstThenTheObjectSnap)
{
    Prg.Snap2Grid = true;
    Prg.XSnap = 10;
    Prg.YSnap = 10;
    // (-18, 10.8) rounds to (-20, 10), the line's first end, where the end
    // snap finds the line.
    const TPoint2D taken = PressAt({-18, 10.8, 1}, M::MidPoint);
    EXPECT_EQ(taken.X, -15.0);
    EXPECT_EQ(taken.Y, 12.0);
}

// The grid snap and ortho on exact points: a view of 100 pixels a unit.
struct GridAndOrtho : ::testing::Test {
    GridAndOrtho()
    {
        View.Scale = 100;
        View.OriginX = 3000;
        View.OriginY = 3000;
        Prg.StartOperation(StateClassOf<TProbeCommand>(), std::make_unique<TProbeParam>(Log));
    }
    kbtest::TRecordingNotifier Notifier;
    kbtest::TRecordingShell Shell;
    kbtest::TFakeCADView View;
    TQV_00Prog Prg;
    kbtest::TCADDriver Driver{Prg, View, Shell};
    kbtest::TProbeLog Log;
};

TEST_F(GridAndOrtho, GridSnapRoundsHalfToEven)
{
    Prg.Snap2Grid = true;
    ASSERT_EQ(Prg.XSnap, 10.0);
    struct Case {
        double X, Expected;
    };
    for (const Case& c : {Case{14.99, 10}, Case{15, 20}, Case{25, 20}, Case{-15, -20}}) {
        SCOPED_TRACE(c.X);
        Log.Clicks.clear();
        Driver.Click({c.X, 4.4, 1});
        ASSERT_EQ(Log.Clicks.size(), 1u);
        EXPECT_EQ(Log.Clicks[0].X, c.Expected);
        EXPECT_EQ(Log.Clicks[0].Y, 0.0);
    }
    Prg.YSnap = 0;
    Log.Clicks.clear();
    Driver.Click({14.99, 4.4, 1});
    EXPECT_EQ(Log.Clicks[0].Y, 4.4) << "a step of 0 leaves Y alone";
}

TEST_F(GridAndOrtho, OrthoSquaresTheNewPointAgainstThePrevious)
{
    Prg.UseOrto = true;
    Driver.Click({1, 1, 1});
    Driver.Click({5, 2, 1});  // |dx| > |dy|: horizontal
    Driver.Click({6, 7, 1});  // |dy| > |dx|: vertical
    Driver.Click({8, 10, 1}); // a tie: vertical
    Prg.UseOrto = false;
    Driver.Click({12, 11, 1});
    const std::vector<std::pair<double, double>> expected{{1, 1}, {5, 1}, {5, 7}, {5, 10}, {12, 11}};
    ASSERT_EQ(Log.Clicks.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(Log.Clicks[i].X, expected[i].first) << i;
        EXPECT_EQ(Log.Clicks[i].Y, expected[i].second) << i;
    }
}

} // namespace

}  // namespace object_snap_test
