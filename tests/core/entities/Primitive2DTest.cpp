// The primitive base as every entity inherits it: bounds, the change
// callback, control-point picking and markers, the stored control points,
// Assign and the closed test of outlines. The concrete entities serve as
// carriers; their own behaviour is tested beside them.

#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/file/Stream.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestObject2D.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace primitive2_d_test {

using kbtest::TBytes;

namespace {

constexpr double kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

std::unique_ptr<TPolyline2D> Polyline(std::vector<TPoint2D> points)
{
    return std::make_unique<TPolyline2D>(1, points);
}

void ExpectBox(const TObject2D& o, double x1, double y1, double x2, double y2)
{
    EXPECT_NEAR(o.Box().FirstEdge.X, x1, 1e-12);
    EXPECT_NEAR(o.Box().FirstEdge.Y, y1, 1e-12);
    EXPECT_NEAR(o.Box().SecondEdge.X, x2, 1e-12);
    EXPECT_NEAR(o.Box().SecondEdge.Y, y2, 1e-12);
}

// The head of an object record: ID 9, layer 0, visible and enabled, identity.
TBytes& Head(TBytes& b)
{
    b.I32(9).U8(0).U8(0x03);
    for (double e : kIdentity)
        b.F64(e);
    return b;
}

} // namespace

TEST(Primitive2D, BoundsFollowTheCartesianPointsThroughModelAndPendingTransforms)
{
    struct Case {
        const char* name;
        std::vector<TPoint2D> points;
        std::function<void(TPolyline2D&)> transform;
        double x1, y1, x2, y2;
    };
    const Case cases[] = {
        {"no points", {}, nullptr, 0, 0, 0, 0},
        {"plain", {MakePoint2D(1, 2), MakePoint2D(4, -1)}, nullptr, 1, -1, 4, 2},
        {"weight divides", {MakePoint2D(1, 1), TPoint2D{4, 6, 2}}, nullptr, 1, 1, 2, 3},
        {"model rotation",
         {MakePoint2D(0, 0), MakePoint2D(2, 1)},
         [](TPolyline2D& p) {
             p.SetModelTransform(TMatrix4::CreateRotationZ(90, true));
             p.UpdateBounds();
         },
         -1, 0, 0, 2},
        {"pending after model",
         {MakePoint2D(0, 0), MakePoint2D(2, 1)},
         [](TPolyline2D& p) {
             p.SetModelTransform(TMatrix4::CreateScale(2, 2, 1));
             p.Transform(TMatrix4::CreateTranslation(10, 0, 0));
         },
         10, 0, 14, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto p = Polyline(c.points);
        if (c.transform)
            c.transform(*p);
        ExpectBox(*p, c.x1, c.y1, c.x2, c.y2);
    }
}

TEST(Primitive2D, PointChangesRecomputeTheBoxAndFireTheChangeEventButPutDoesNot)
{
    auto p = Polyline({MakePoint2D(0, 0), MakePoint2D(1, 1)});
    int changes = 0;
    p->SetOnChange([&](TGraphicObject&) { ++changes; });

    p->Points().Put(1, MakePoint2D(5, 5));
    EXPECT_EQ(changes, 0);
    ExpectBox(*p, 0, 0, 1, 1);

    p->Points().Add(MakePoint2D(-2, 3));
    EXPECT_EQ(changes, 1);
    ExpectBox(*p, -2, 0, 5, 5);
}

TEST(Primitive2D, ControlPointPickPrefersTheLaterOfEquallyNearPointsAndSkipsDisabledObjects)
{
    auto p = Polyline({MakePoint2D(0, 0), MakePoint2D(2, 0), MakePoint2D(2, 5)});
    double distance = 0;
    EXPECT_EQ(p->PickAt(MakePoint2D(1, 0), distance, 1.5), 1);
    EXPECT_DOUBLE_EQ(distance, 1.0);

    // Inside the aperture square but farther than the aperture: not a hit.
    EXPECT_EQ(p->PickAt(MakePoint2D(2.4, 5.4), distance, 0.5), PickInBox);
    EXPECT_DOUBLE_EQ(distance, 0.5);

    p->SetEnabled(false);
    EXPECT_EQ(p->PickAt(MakePoint2D(2, 0), distance, 1.0), PickNone);
    EXPECT_EQ(distance, PickFarDistance);
}

TEST(Primitive2D, MarkersAreSquaresAroundTransformedPointsWhateverTheFlag)
{
    kbtest::TRecordingViewServices view;
    view.Projection.Scale = 10;
    view.Projection.OriginY = 100;
    auto p = Polyline({MakePoint2D(1, 1), MakePoint2D(2, 3)});
    p->SetModelTransform(TMatrix4::CreateTranslation(1, 0, 0));
    p->TPrimitive2D::DrawOnCanvas(view.Canvas, false);
    EXPECT_EQ(view.Canvas.Calls, (std::vector<std::string>{"frame 17,87-23,93", "frame 27,67-33,73"}));

    // The screen rectangle projects the stored points, no transform.
    const TIntRect r = p->GetScreenRect();
    EXPECT_EQ(r.Left, 10);
    EXPECT_EQ(r.Top, 70);
    EXPECT_EQ(r.Right, 20);
    EXPECT_EQ(r.Bottom, 90);

    view.Canvas.Calls.clear();
    auto empty = Polyline({});
    empty->TPrimitive2D::DrawOnCanvas(view.Canvas, true);
    EXPECT_TRUE(view.Canvas.Calls.empty());
    const TIntRect none = empty->GetScreenRect();
    EXPECT_EQ(none.Left | none.Top | none.Right | none.Bottom, 0);
}

TEST(Primitive2D, StoredControlPointsAreReadAsWrittenAndDamageIsRefused)
{
    // n = 0 keeps the stored growable flag (0 on a polyline, which grows).
    {
        TBytes b;
        Head(b).I16(0).U8(0);
        TMemoryStream s(b.Data());
        TPolyline2D p(s, "QV-3.6");
        EXPECT_EQ(p.Points().Count(), 0);
        EXPECT_FALSE(p.Points().Growable());
        EXPECT_EQ(s.Position(), s.Size());
    }
    // A count that the rest of the stream cannot hold.
    {
        TBytes b;
        Head(b).I16(-1).F64(1).F64(2).F64(1).U8(1); // 65,535 points declared
        TMemoryStream s(b.Data());
        EXPECT_THROW(TPolyline2D(s, "QV-3.6"), ECADFileNotValid);
    }
    // The record ends before the growable byte.
    {
        TBytes b;
        Head(b).I16(1).F64(1).F64(2).F64(1);
        TMemoryStream s(b.Data());
        EXPECT_THROW(TPolyline2D(s, "QV-3.6"), EStreamReadError);
    }
}

TEST(Primitive2D, AssignEmptiesThePointsOnlyForPrimitiveSources)
{
    auto target = Polyline({MakePoint2D(1, 1), MakePoint2D(2, 2)});
    kbtest::TTestObject2D other(3, MakeRect2D(0, 0, 9, 9));
    other.SetVisible(false);
    target->Assign(other);
    EXPECT_FALSE(target->Visible());
    EXPECT_EQ(target->Points().Count(), 2);

    // A line takes only lines: from a polyline it ends with no points.
    TLine2D line(4, MakePoint2D(0, 0), MakePoint2D(1, 0));
    line.Assign(*target);
    EXPECT_EQ(line.Points().Count(), 0);
    ExpectBox(line, 0, 0, 0, 0);
}

TEST(Outline2D, ClosedNeedsThreePointsWithTheLastOnTheFirst)
{
    struct Case {
        std::vector<TPoint2D> points;
        bool closed;
    };
    const Case cases[] = {
        {{MakePoint2D(1, 1), MakePoint2D(1, 1)}, false},
        {{MakePoint2D(0, 0), MakePoint2D(5, 0), MakePoint2D(0, 1e-12)}, true},
        {{MakePoint2D(0, 0), MakePoint2D(5, 0), MakePoint2D(0, 0.1)}, false},
        {{MakePoint2D(0, 0), MakePoint2D(5, 0), TPoint2D{0, 0, 2}}, true},
    };
    for (const Case& c : cases) {
        auto p = Polyline(c.points);
        EXPECT_EQ(p->IsClosed(), c.closed) << c.points.size() << " points";
    }
    // A polygon is closed whatever its points.
    TPolygon2D polygon(1, std::vector<TPoint2D>{MakePoint2D(0, 0)});
    EXPECT_TRUE(polygon.IsClosed());
}

}  // namespace primitive2_d_test
