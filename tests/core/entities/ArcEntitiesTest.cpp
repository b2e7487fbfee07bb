// Arcs and circles: construction, profiles, the geometry records in drawing
// coordinates (directions and mirrors), bounds, picking, stored records,
// copying, the three-point construction and the entity forms of the
// intersections and offsets.

#include "core/geometry/ArcFrom3Points.h"
#include "core/geometry/ArcIntersections.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Offset2D.h"
#include "core/file/Stream.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace arc_entities_test {

using kbtest::TBytes;

namespace {

constexpr double kPi = std::numbers::pi;

void ExpectPoint(const TPoint2D& p, double x, double y, double tol = 1e-9)
{
    EXPECT_NEAR(p.X, x, tol);
    EXPECT_NEAR(p.Y, y, tol);
}

// The quarter arc of radius 10 about the origin from angle 0 to pi / 2.
TArco2D Quarter(int32_t id = 1) { return TArco2D(id, MakePoint2D(0, 0), MakePoint2D(10, 0), 0.0, kPi / 2); }

// Distance from p to the nearest profile point of the curve, each through
// the curve's model transform.
double DistanceToProfile(TCurve2D& curve, const TPoint2D& p)
{
    double best = 1e300;
    const TMatrix4 m = curve.GetModelTransform();
    for (const TPoint2D& q : curve.ProfilePoints().Points()) {
        const TPoint2D d = m.TransformPoint2D(q);
        best = std::min(best, std::hypot(d.X - p.X, d.Y - p.Y));
    }
    return best;
}

// Head of a stored object record: ID 7, layer 2, visible + enabled, a
// translation by (tx, ty); then the control points, growable 0, the curve
// fields (segments, keep 1).
TBytes CurveRecord(const std::vector<TPoint2D>& points, double tx, double ty, int16_t segments)
{
    TBytes b;
    b.I32(7).U8(2).U8(0x03);
    const double matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, tx, ty, 0, 1};
    for (double e : matrix)
        b.F64(e);
    b.I16(static_cast<int16_t>(points.size()));
    for (const TPoint2D& p : points)
        b.F64(p.X).F64(p.Y).F64(p.W);
    b.U8(0).I16(segments).U8(1);
    return b;
}

} // namespace

TEST(Arco2D, ConstructionPlacesTheAnglePointsAndTheProfileRunsBetweenThem)
{
    TArco2D arc = Quarter();
    ASSERT_EQ(arc.Points().Count(), 4);
    EXPECT_FALSE(arc.Points().Growable());
    ExpectPoint(arc.Points().Get(0), 0, 0);
    ExpectPoint(arc.Points().Get(1), 10, 0);
    ExpectPoint(arc.Points().Get(2), 10, 0);
    ExpectPoint(arc.Points().Get(3), 0, 10);
    EXPECT_EQ(arc.Direction(), 1);

    // 51 points from (10, 0) counter-clockwise to (0, 10), pi / 100 apart:
    // within the chord tolerance of the true arc by construction.
    ASSERT_EQ(arc.ProfilePointsCount(), 51);
    for (int k = 0; k <= 50; ++k)
        ExpectPoint(arc.ProfilePoints().Get(k), 10 * std::cos(k * kPi / 100), 10 * std::sin(k * kPi / 100));

    // Angles are measured back from the points, whatever was passed: start
    // above end wraps through angle 0; equal angles make a full turn that
    // starts and ends at control point 2.
    struct TCase {
        double start, end;
        double sweep;
        TPoint2D mid;
    };
    const TCase cases[] = {
        {1.5 * kPi, 0.5 * kPi, kPi, MakePoint2D(10, 0)},
        {2.5 * kPi, kPi, 0.5 * kPi, MakePoint2D(-10 * std::sqrt(0.5), 10 * std::sqrt(0.5))},
        {1.0, 1.0, 2 * kPi, MakePoint2D(-10 * std::cos(1.0), -10 * std::sin(1.0))},
    };
    for (const TCase& c : cases) {
        TArco2D a(1, MakePoint2D(0, 0), MakePoint2D(10, 0), c.start, c.end);
        SCOPED_TRACE(c.start);
        const TPointsSet2D& profile = a.ProfilePoints();
        ASSERT_EQ(profile.Count(), 51);
        ExpectPoint(profile.Get(0), a.Points().Get(2).X, a.Points().Get(2).Y);
        ExpectPoint(profile.Get(50), a.Points().Get(3).X, a.Points().Get(3).Y);
        ExpectPoint(profile.Get(25), c.mid.X, c.mid.Y);
        EXPECT_NEAR(a.GetArcGeometry().Sweep, c.sweep, 1e-12);
    }
}

TEST(Arco2D, DirectionZeroRunsClockwiseWithNegatedAngles)
{
    TArco2D arc = Quarter();
    arc.SetDirection(0);
    EXPECT_NEAR(arc.StartAngle(), 0.0, 1e-12);
    EXPECT_NEAR(arc.EndAngle(), -kPi / 2, 1e-12);
    // Clockwise from (10, 0) to (0, 10): three quarters through (-10, 0).
    const TPointsSet2D& profile = arc.ProfilePoints();
    ASSERT_EQ(profile.Count(), 51);
    ExpectPoint(profile.Get(0), 10, 0);
    ExpectPoint(profile.Get(50), 0, 10);
    EXPECT_LT(DistanceToProfile(arc, MakePoint2D(0, -10)), 0.5); // within half a step
    EXPECT_LT(DistanceToProfile(arc, MakePoint2D(-10, 0)), 0.5);
    EXPECT_GT(DistanceToProfile(arc, MakePoint2D(7.07, 7.07)), 5.0);

    TPoint2D centre;
    double r, a1, a2;
    arc.GetCenterRadiusAngles(centre, r, a1, a2);
    EXPECT_EQ(r, 10.0);
    EXPECT_NEAR(a2, -kPi / 2, 1e-12);
}

// The geometry record must describe the arc as drawn: counter-clockwise from
// its start point to its end point, polar angles, in drawing coordinates.
TEST(Arco2D, GeometryRecordDescribesTheDrawnArcForEveryDirectionAndTransform)
{
    struct TCase {
        const char* name;
        double a1, a2;
        uint8_t direction;
        TMatrix4 transform;
        bool pending;
        TPoint2D start, end;
        double sweep;
    };
    TMatrix4 scaled = TMatrix4::CreateScale(1, 3, 1);
    const double s = 10 * std::sqrt(0.5);
    const TCase cases[] = {
        {"direction 1", 0, kPi / 2, 1, TMatrix4(), false, MakePoint2D(10, 0), MakePoint2D(0, 10), kPi / 2},
        // Drawn clockwise from control point 2 to 3: counter-clockwise from
        // control point 3 to 2.
        {"direction 0", 0, kPi / 2, 0, TMatrix4(), false, MakePoint2D(0, 10), MakePoint2D(10, 0), 1.5 * kPi},
        {"direction 1, mirrored", 0, kPi / 2, 1, TMatrix4::CreateMirror(0), false, MakePoint2D(0, -10),
         MakePoint2D(10, 0), kPi / 2},
        // The mirror turns the clockwise arc counter-clockwise: from control
        // point 2 to 3 in drawing coordinates.
        {"direction 0, mirrored", 0, kPi / 2, 0, TMatrix4::CreateMirror(0), false, MakePoint2D(10, 0),
         MakePoint2D(0, -10), 1.5 * kPi},
        {"direction 0, mirrored pending", 0, kPi / 2, 0, TMatrix4::CreateMirror(1), true, MakePoint2D(-10, 0),
         MakePoint2D(0, 10), 1.5 * kPi},
        // A mirrored half circle keeps its sweep of pi and must still swap.
        {"half circle, mirrored", 0, kPi, 1, TMatrix4::CreateMirror(0), false, MakePoint2D(-10, 0),
         MakePoint2D(10, 0), kPi},
        {"rotated", 0, kPi / 2, 1, TMatrix4::CreateRotationZ(90, true), true, MakePoint2D(0, 10),
         MakePoint2D(-10, 0), kPi / 2},
        // A non-uniform scale changes the sweep without reversing the arc.
        {"scaled", 0, kPi / 4, 1, scaled, false, MakePoint2D(10, 0),
         MakePoint2D(10 * std::cos(std::atan2(3 * s, s)), 10 * std::sin(std::atan2(3 * s, s))), std::atan2(3.0, 1.0)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TArco2D arc(1, MakePoint2D(0, 0), MakePoint2D(10, 0), c.a1, c.a2);
        arc.SetDirection(c.direction);
        if (c.pending)
            arc.Transform(c.transform);
        else
            arc.SetModelTransform(c.transform);
        arc.UpdateBounds();
        const TArcGeometry2D g = arc.GetArcGeometry();
        ExpectPoint(g.Centre, 0, 0);
        EXPECT_NEAR(g.Radius, 10.0, 1e-12);
        ExpectPoint(g.StartPoint, c.start.X, c.start.Y);
        ExpectPoint(g.EndPoint, c.end.X, c.end.Y);
        EXPECT_EQ(g.StartPoint.W, 1.0);
        // Polar angles (compared modulo 2 pi: -pi and pi are the same angle).
        EXPECT_NEAR(std::remainder(g.StartAngle - std::atan2(c.start.Y, c.start.X), 2 * kPi), 0.0, 1e-12);
        EXPECT_NEAR(std::remainder(g.EndAngle - std::atan2(c.end.Y, c.end.X), 2 * kPi), 0.0, 1e-12);
        EXPECT_NEAR(g.Sweep, c.sweep, 1e-12);
        if (std::string(c.name) != "scaled") {
            // The record's middle lies on the drawn outline.
            EXPECT_LT(DistanceToProfile(arc, arc.PointAtFraction(0.5)), 1.0);
        }
        const TArcInfo2D info = arc.GetArcInfo();
        EXPECT_EQ(info.StartPoint.X, g.StartPoint.X);
        EXPECT_EQ(info.Sweep, g.Sweep);
    }
}

TEST(Arco2D, PointAtFraction)
{
    TArco2D arc = Quarter();
    ExpectPoint(arc.PointAtFraction(0.5), 7.0710678, 7.0710678, 1e-7);
    const TArcGeometry2D g = arc.GetArcGeometry();
    const TPoint2D start = arc.PointAtFraction(0.0);
    const TPoint2D end = arc.PointAtFraction(1.0);
    EXPECT_EQ(start.X, g.StartPoint.X);
    EXPECT_EQ(end.Y, g.EndPoint.Y);
    EXPECT_EQ(arc.PointAtFraction(0.25).W, 1.0);
}

TEST(ArcAndCircle, BoundsFollowModelAndPendingTransforms)
{
    TArco2D arc = Quarter();
    EXPECT_NEAR(arc.Box().FirstEdge.X, 0, 1e-9);
    EXPECT_NEAR(arc.Box().SecondEdge.Y, 10, 1e-9);
    arc.SetModelTransform(TMatrix4::CreateTranslation(5, 5, 0));
    arc.UpdateBounds();
    ExpectPoint(arc.Box().FirstEdge, 5, 5);
    ExpectPoint(arc.Box().SecondEdge, 15, 15);
    arc.Transform(TMatrix4::CreateRotationZ(90, true)); // pending, after the model
    ExpectPoint(arc.Box().FirstEdge, -15, 5);
    ExpectPoint(arc.Box().SecondEdge, -5, 15);

    // The circle's box is that of its 51 profile points: exact along X, a
    // hair short of the radius along Y (no profile point at 90 degrees).
    TCerchio2D circle(2, MakePoint2D(1, 2), MakePoint2D(4, 2));
    circle.Transform(TMatrix4::CreateTranslation(10, 0, 0));
    EXPECT_NEAR(circle.Box().FirstEdge.X, 8, 1e-9);
    EXPECT_NEAR(circle.Box().SecondEdge.X, 14, 1e-9);
    EXPECT_NEAR(circle.Box().SecondEdge.Y, 2 + 3 * std::sin(13 * 2 * kPi / 50), 1e-9);
}

TEST(Cerchio2D, ProfileRunsClockwiseFromAngleZeroAndCloses)
{
    TCerchio2D circle(1, MakePoint2D(1, 2), MakePoint2D(1, 5));
    TPoint2D centre;
    double r;
    circle.GetCircle(centre, r);
    ExpectPoint(centre, 1, 2);
    EXPECT_EQ(r, 3.0);
    const TPointsSet2D& profile = circle.ProfilePoints();
    ASSERT_EQ(profile.Count(), 51);
    ExpectPoint(profile.Get(0), 4, 2);
    ExpectPoint(profile.Get(50), 4, 2);
    ExpectPoint(profile.Get(13), 1 + 3 * std::cos(13 * 2 * kPi / 50), 2 - 3 * std::sin(13 * 2 * kPi / 50));
    EXPECT_LT(profile.Get(1).Y, 2.0); // clockwise
    EXPECT_TRUE(circle.IsClosed());

    TFilledCerchio2D filled(2, MakePoint2D(0, 0), MakePoint2D(1, 0));
    EXPECT_EQ(filled.ClassName(), "TFilledCerchio2D");
    EXPECT_EQ(filled.ProfilePointsCount(), 51);
}

TEST(ArcAndCircle, PickCodes)
{
    TArco2D arc = Quarter();
    TCerchio2D circle(2, MakePoint2D(0, 0), MakePoint2D(10, 0));
    struct TCase {
        const char* name;
        TCurve2D& curve;
        double x, y;
        int32_t code;
    };
    const TCase cases[] = {
        {"arc centre", arc, 0.1, 0.1, 0},
        // Control points 1 and 2 coincide: the later index wins.
        {"arc start", arc, 10, 0.1, 2},
        {"arc end", arc, 0.1, 10, 3},
        {"arc outline", arc, 7.66, 6.43, PickOnObject},
        {"inside the arc's box", arc, 5, 5, PickInBox},
        {"off the arc's side of the circle", arc, -7.07, -7.07, PickNone},
        {"far", arc, 50, 50, PickNone},
        {"circle centre", circle, 0, 0.2, 0},
        {"circle radius point", circle, 10, 0.2, 1},
        {"circle outline", circle, 0, -10, PickOnObject},
        {"inside the circle", circle, 3, 3, PickInBox},
    };
    for (const TCase& c : cases) {
        double distance = 0;
        EXPECT_EQ(c.curve.PickAt(MakePoint2D(c.x, c.y), distance, 0.5), c.code) << c.name;
    }
    arc.SetEnabled(false);
    double distance = 0;
    EXPECT_EQ(arc.PickAt(MakePoint2D(0, 0), distance, 0.5), PickNone);
}

TEST(ArcAndCircle, RecordsReadFromHandBuiltBytesAndWrittenBackUnchanged)
{
    RegisterEntityClasses();
    EXPECT_EQ(QV_00FindClassByIndex(16).Name, "TCerchio2D");
    EXPECT_EQ(QV_00FindClassByIndex(17).Name, "TArco2D");
    EXPECT_EQ(QV_00FindClassIndex("TFilledCerchio2D"), 18);

    // An arc of direction 0 as the DXF import stores it: clockwise from
    // (0, 10) to (10, 0) about (0, 0), translated by (100, 0).
    const std::vector<TPoint2D> arcPoints = {{0, 0, 1}, {10, 0, 1}, {0, 10, 1}, {10, 0, 1}};
    TBytes arcRecord = CurveRecord(arcPoints, 100, 0, 50);
    arcRecord.U8(0);
    TMemoryStream in(arcRecord.Data());
    auto object = QV_00FindClassByIndex(17).CreateFromStream(in, "QV-3.6");
    EXPECT_EQ(in.Position(), in.Size());
    auto* arc = dynamic_cast<TArco2D*>(object.get());
    ASSERT_NE(arc, nullptr);
    EXPECT_EQ(arc->ID(), 7);
    EXPECT_EQ(arc->Layer(), 2);
    EXPECT_EQ(arc->Direction(), 0);
    EXPECT_FALSE(arc->Points().Growable());
    // Drawn clockwise from (0, 10) to (10, 0): the short quarter.
    EXPECT_NEAR(arc->StartAngle(), -kPi / 2, 1e-12);
    EXPECT_NEAR(arc->EndAngle(), 0.0, 1e-12);
    ExpectPoint(arc->Box().FirstEdge, 100, 0);
    ExpectPoint(arc->Box().SecondEdge, 110, 10);
    const TArcGeometry2D g = arc->GetArcGeometry();
    ExpectPoint(g.StartPoint, 110, 0);
    ExpectPoint(g.EndPoint, 100, 10);
    EXPECT_NEAR(g.Sweep, kPi / 2, 1e-12);
    TMemoryStream out;
    arc->SaveToStream(out);
    EXPECT_EQ(out.Data(), arcRecord.Data());

    const std::vector<TPoint2D> circlePoints = {{1, 1, 1}, {3, 1, 1}};
    for (uint16_t id : {uint16_t{16}, uint16_t{18}}) {
        SCOPED_TRACE(id);
        const TBytes record = CurveRecord(circlePoints, 0, 0, 50);
        TMemoryStream circleIn(record.Data());
        auto circle = QV_00FindClassByIndex(id).CreateFromStream(circleIn, "QV-3.6");
        EXPECT_EQ(circleIn.Position(), circleIn.Size());
        auto* c = dynamic_cast<TCerchio2D*>(circle.get());
        ASSERT_NE(c, nullptr);
        ExpectPoint(c->Box().FirstEdge, -1, 1 - 2 * std::sin(13 * 2 * kPi / 50));
        TMemoryStream circleOut;
        c->SaveToStream(circleOut);
        EXPECT_EQ(circleOut.Data(), record.Data());
    }
}

TEST(ArcAndCircle, DamagedRecordsReadWithoutRaisingOrAreRefusedCleanly)
{
    RegisterEntityClasses();
    kbtest::TRecordingViewServices view;
    // Too few points for an arc: it reads, draws, picks and reports only what
    // it has.
    for (size_t n : {size_t{0}, size_t{1}, size_t{2}, size_t{3}}) {
        SCOPED_TRACE(n);
        const std::vector<TPoint2D> all = {{0, 0, 1}, {10, 0, 1}, {10, 0, 1}, {0, 10, 1}};
        TBytes record = CurveRecord(std::vector<TPoint2D>(all.begin(), all.begin() + static_cast<long>(n)), 0, 0, 50);
        record.U8(1);
        TMemoryStream in(record.Data());
        auto object = QV_00FindClassByIndex(17).CreateFromStream(in, "QV-3.6");
        auto& arc = dynamic_cast<TArco2D&>(*object);
        EXPECT_EQ(arc.HasProfile(), n >= 2);
        const TArcGeometry2D g = arc.GetArcGeometry();
        EXPECT_EQ(g.Radius, n >= 2 ? 10.0 : 0.0);
        EXPECT_EQ(g.Sweep, 0.0);
        double distance = 0;
        arc.PickAt(MakePoint2D(1, 1), distance, 0.5);
        arc.Draw();
        arc.PointAtFraction(0.5);
        TArco2D copy = Quarter();
        copy.Assign(arc);
        EXPECT_EQ(copy.Points().Count(), static_cast<int>(n));
    }
    // The direction byte missing: a clean read error.
    const TBytes cut = CurveRecord({{0, 0, 1}, {10, 0, 1}, {10, 0, 1}, {0, 10, 1}}, 0, 0, 50);
    TMemoryStream in(cut.Data());
    EXPECT_THROW(QV_00FindClassByIndex(17).CreateFromStream(in, "QV-3.6"), EStreamReadError);
}

TEST(ArcAndCircle, AssignCopiesWhatEachClassTakes)
{
    TArco2D source = Quarter();
    source.SetDirection(0);
    TArco2D arc(2, MakePoint2D(5, 5), MakePoint2D(6, 5), 1.0, 2.0);
    arc.Assign(source);
    EXPECT_EQ(arc.Direction(), 0);
    ExpectPoint(arc.Points().Get(3), 0, 10);
    EXPECT_EQ(arc.ID(), 2);

    // From an ellipse: its two corners as centre and radius point, the full
    // turn from angle 0.
    TEllipse2D ellipse(3, MakePoint2D(0, 0), MakePoint2D(4, 0));
    arc.Assign(ellipse);
    ASSERT_EQ(arc.Points().Count(), 4);
    ExpectPoint(arc.Points().Get(2), 4, 0);
    ExpectPoint(arc.Points().Get(3), 4, 0);
    EXPECT_NEAR(arc.GetArcGeometry().Sweep, 2 * kPi, 1e-12);
    EXPECT_FALSE(arc.Points().Growable());

    TCerchio2D circle(4, MakePoint2D(9, 9), MakePoint2D(9, 10));
    circle.Assign(source);
    ASSERT_EQ(circle.Points().Count(), 2);
    ExpectPoint(circle.Points().Get(1), 10, 0);
    EXPECT_EQ(circle.ProfilePointsCount(), 51);
}

TEST(ArcAndCircle, SceneObjects)
{
    kbtest::TRecordingViewServices view;
    TCerchio2D circle(1, MakePoint2D(0, 0), MakePoint2D(2, 0));
    circle.SetModelTransform(TMatrix4::CreateTranslation(5, 0, 0));
    circle.UpdateBounds();
    TSceneLines lines;
    AddCurveNodesToLines(circle, lines);
    ASSERT_EQ(lines.Nodes.size(), 51u);
    EXPECT_NEAR(lines.Nodes.front().X, 7.0, 1e-12);
    EXPECT_NEAR(lines.Nodes.back().X, 7.0, 1e-12);

    // A display circle (not pickable): its own colour, nearly transparent.
    TCerchio2D tool(-1, MakePoint2D(0, 0), MakePoint2D(2, 0), 0x0000FF, 1, TMatrix4::CreateTranslation(1, 1, 0));
    const TSceneNodeId node = tool.BuildSceneObjectIn(view.Scene.Group(TSceneGroup::Entity));
    const TScenePolygon* polygon = view.Scene.As<TScenePolygon>(node);
    ASSERT_NE(polygon, nullptr);
    EXPECT_EQ(polygon->Nodes.size(), 51u);
    EXPECT_NEAR(polygon->Nodes.front().X, 3.0, 1e-12);
    EXPECT_FLOAT_EQ(polygon->Color.R, 1.0f);
    EXPECT_FLOAT_EQ(polygon->Color.A, 0.1f);

    TArco2D arc = Quarter();
    arc.UpdateBounds();
    EXPECT_EQ(view.Readout.Calls.back().rfind("arc ", 0), 0u);
    arc.DrawSelected();
    const TSceneLines* drawn = view.Scene.As<TSceneLines>(arc.SceneNode());
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->Nodes.size(), 51u);
    EXPECT_EQ(view.Scene.Node(arc.SceneNode())->Parent, view.Scene.Group(TSceneGroup::Selection));
}

TEST(ArcFrom3Points, CentreRadiusAndAngles)
{
    struct TCase {
        const char* name;
        TPoint2D p1, p2, p3;
        TPoint2D centre;
        double radius, start, end;
    };
    const TCase cases[] = {
        // Clockwise turn: the arc runs from P3 to P1 and passes through P2.
        {"clockwise", MakePoint2D(0, 0), MakePoint2D(1, 1), MakePoint2D(2, 0), MakePoint2D(1, 0), 1, 0, kPi},
        {"counter-clockwise", MakePoint2D(2, 0), MakePoint2D(1, 1), MakePoint2D(0, 0), MakePoint2D(1, 0), 1, 0, kPi},
        // A vertical side gives the exact centre, not an approximation.
        {"vertical side", MakePoint2D(0, 0), MakePoint2D(0, 1000), MakePoint2D(1000, 0), MakePoint2D(500, 500),
         500 * std::sqrt(2.0), -kPi / 4, -3 * kPi / 4},
        {"horizontal side first", MakePoint2D(0, 0), MakePoint2D(1, 0), MakePoint2D(1, 1), MakePoint2D(0.5, 0.5),
         std::sqrt(0.5), -3 * kPi / 4, kPi / 4},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TArco2D arc(1, MakePoint2D(0, 0), MakePoint2D(1, 0), 2.0, 3.0);
        TPoint2D centre;
        ASSERT_TRUE(SetArcCenterFrom3Points(arc, c.p1, c.p2, c.p3, centre));
        ExpectPoint(centre, c.centre.X, c.centre.Y, 1e-9);
        SetArcRadiusFrom3Points(arc, c.p1, c.p2, c.p3);
        ExpectPoint(arc.Points().Get(1), c.centre.X + c.radius, c.centre.Y, 1e-9);
        SetArcAnglesFrom3Points(arc, c.p1, c.p2, c.p3, centre);
        EXPECT_NEAR(arc.StartAngle(), c.start, 1e-9);
        EXPECT_NEAR(arc.EndAngle(), c.end, 1e-9);
        EXPECT_LT(DistanceToProfile(arc, c.p2), c.radius * 0.07);
    }

    // Aligned points have no circle: nothing is stored.
    TCerchio2D circle(1, MakePoint2D(7, 7), MakePoint2D(8, 7));
    TPoint2D centre = MakePoint2D(-1, -1);
    EXPECT_FALSE(SetArcCenterFrom3Points(circle, MakePoint2D(0, 0), MakePoint2D(1, 2), MakePoint2D(2, 4), centre));
    EXPECT_FALSE(SetArcCenterFrom3Points(circle, MakePoint2D(0, 0), MakePoint2D(0, 0), MakePoint2D(2, 4), centre));
    ExpectPoint(centre, -1, -1);
    SetArcRadiusFrom3Points(circle, MakePoint2D(0, 0), MakePoint2D(1, 2), MakePoint2D(2, 4));
    ExpectPoint(circle.Points().Get(0), 7, 7);
    ExpectPoint(circle.Points().Get(1), 8, 7);
}

TEST(ArcEntityGeometry, IntersectionsReadEntitiesInDrawingCoordinates)
{
    // A direction-0 arc drawn clockwise from (10, 0) to (0, 10): three
    // quarters through (-10, 0) and (0, -10).
    TArco2D cw = Quarter();
    cw.SetDirection(0);
    struct TCase {
        const char* name;
        TPoint2D p1, p2;
        std::vector<TVector2D> expected;
    };
    const double h = std::sqrt(75.0);
    const TCase cases[] = {
        {"below the centre: both on the drawn arc", MakePoint2D(-20, -5), MakePoint2D(20, -5), {{h, -5}, {-h, -5}}},
        {"above the centre: only the left one", MakePoint2D(-20, 5), MakePoint2D(20, 5), {{-h, 5}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        TLine2D line(1, c.p1, c.p2);
        std::vector<TVector2D> list;
        IntersectSegmentArc(line, cw, list);
        ASSERT_EQ(list.size(), c.expected.size());
        for (size_t i = 0; i < list.size(); ++i) {
            EXPECT_NEAR(list[i].X, c.expected[i].X, 1e-9);
            EXPECT_NEAR(list[i].Y, c.expected[i].Y, 1e-9);
        }
    }

    // The line's own transform counts; the infinite line reaches past it.
    TLine2D shortLine(2, MakePoint2D(0, 0), MakePoint2D(1, 0));
    shortLine.SetModelTransform(TMatrix4::CreateTranslation(0, 6, 0));
    shortLine.UpdateBounds();
    TArco2D upper(3, MakePoint2D(0, 0), MakePoint2D(10, 0), 0, kPi);
    std::vector<TVector2D> list;
    IntersectSegmentArc(shortLine, upper, list);
    EXPECT_TRUE(list.empty());
    IntersectLineArc(shortLine, upper, list);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_NEAR(list[0].X, 8, 1e-9);
    EXPECT_NEAR(list[0].Y, 6, 1e-9);

    // Arcs meeting only at a shared end point: nothing; their circles: the
    // point.
    TArco2D a1(4, MakePoint2D(0, 0), MakePoint2D(5, 0), 0, std::atan2(3, 4));
    TArco2D a2(5, MakePoint2D(8, 0), MakePoint2D(13, 0), std::atan2(3, -4), kPi);
    list.clear();
    IntersectArcArc(a1, a2, list);
    EXPECT_TRUE(list.empty());
    IntersectCircleCircle(a1, a2, list);
    EXPECT_EQ(list.size(), 2u);
}

TEST(ArcEntityGeometry, OffsetsOfLinesAndArcs)
{
    TLine2D line(9, MakePoint2D(0, 0), MakePoint2D(10, 0));
    line.SetModelTransform(TMatrix4::CreateTranslation(0, 5, 0));
    line.UpdateBounds();
    const std::unique_ptr<TLine2D> moved = OffsetLine2D(line, 2);
    EXPECT_EQ(moved->ID(), -1);
    EXPECT_FALSE(moved->HasTransform());
    ExpectPoint(moved->Points().Get(0), 0, 7);
    ExpectPoint(moved->Points().Get(1), 10, 7);

    // The offset of a direction-0 arc is the counter-clockwise arc between
    // the same drawn end points, at the grown radius.
    TArco2D cw = Quarter();
    cw.SetDirection(0);
    const std::unique_ptr<TArco2D> grown = OffsetArc2D(cw, 2);
    EXPECT_EQ(grown->ID(), -1);
    EXPECT_EQ(grown->Direction(), 1);
    const TArcGeometry2D g = grown->GetArcGeometry();
    EXPECT_NEAR(g.Radius, 12, 1e-12);
    ExpectPoint(g.StartPoint, 0, 12);
    ExpectPoint(g.EndPoint, 12, 0);
    EXPECT_NEAR(g.Sweep, 1.5 * kPi, 1e-12);
    const std::unique_ptr<TArco2D> shrunk = OffsetArc2D(Quarter(), -3);
    EXPECT_NEAR(shrunk->GetArcGeometry().Radius, 7, 1e-12);
}

}  // namespace arc_entities_test
