// The own offset engine on exact lines and arcs: offsets of squares,
// circles, arcs and open lines, strands dropped by the distance test, the
// branch choice of the walk, a break, and its results against the
// polygon-clipping library's.

#include "cam/offset/NcAutoPoly.h"

#include "cad/edit/QVClipperOffset.h"
#include "cam/curves/Area.h"
#include "cam/progress/UserBreak_ProgBar.h"
#include "core/geometry/Geometry.h"
#include "core/settings/Language.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <polyclipping/clipper.hpp>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

std::unique_ptr<TACurva> Polyline(const std::vector<TVector2D>& points)
{
    auto c = std::make_unique<TACurva>();
    for (const TVector2D& p : points)
        c->AddVertex(TAVertice::CreateAt(p, 0));
    c->Closed = IsSameVector2D(points.front(), points.back()) ? 1 : 0;
    return c;
}

// A counter-clockwise circle of two half arcs.
std::unique_ptr<TACurva> Circle(const TVector2D& c, double r)
{
    auto curve = std::make_unique<TACurva>();
    curve->AddVertex(TAVertice::CreateAt({c.X + r, c.Y}, 0));
    curve->AddVertex(TAVertice::CreateFull(1, {c.X - r, c.Y}, c, 0));
    curve->AddVertex(TAVertice::CreateFull(1, {c.X + r, c.Y}, c, 0));
    curve->Closed = 1;
    return curve;
}

TArea AreaOf(std::unique_ptr<TACurva> curve)
{
    TArea area(0.0025);
    area.AddCurve(std::move(curve));
    return area;
}

int Kinds(const TACurva& c, int kind)
{
    int n = 0;
    for (size_t i = 1; i < c.Vertices.size(); ++i)
        n += c.Vertices[i].Kind == kind;
    return n;
}

double Sweep(const TVector2D& from, const TAVertice& v)
{
    return TAArco::Create(from, v.EndPoint, v.Centre, v.Kind > 0, 0).SweepAngle();
}

// The distance of P from the nearest segment of a closed integer path.
double DistanceToPath(const TVector2D& p, const ClipperLib::Path& path, double* position = nullptr)
{
    double best = 1e300;
    double along = 0.0;
    for (size_t i = 0; i < path.size(); ++i) {
        const TVector2D a{path[i].X / 1e4, path[i].Y / 1e4};
        const ClipperLib::IntPoint& nb = path[(i + 1) % path.size()];
        const TVector2D b{nb.X / 1e4, nb.Y / 1e4};
        const TVector2D q = ClosestPointOnSegment(a, b, p);
        const double d = DistanceVector2D(p, q);
        if (d < best) {
            best = d;
            if (position)
                *position = along + DistanceVector2D(a, q);
        }
        along += DistanceVector2D(a, b);
    }
    return best;
}

double PathLength(const ClipperLib::Path& path)
{
    double length = 0.0;
    for (size_t i = 0; i < path.size(); ++i) {
        const ClipperLib::IntPoint& a = path[i];
        const ClipperLib::IntPoint& b = path[(i + 1) % path.size()];
        length += std::hypot(double(b.X - a.X), double(b.Y - a.Y)) / 1e4;
    }
    return length;
}

TEST(OffsetEngine, SquareInsideAndOutside)
{
    const std::vector<TVector2D> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    TArea inside = AreaOf(Polyline(square));
    ASSERT_TRUE(OffsetWithEngine(inside, 1.0));
    ASSERT_EQ(inside.Curves.size(), 1u);
    const TACurva& small = *inside.Curves[0];
    EXPECT_EQ(small.Closed, 1);
    ASSERT_EQ(small.Count(), 5);
    EXPECT_EQ(Kinds(small, 0), 4);
    for (const TAVertice& v : small.Vertices) {
        EXPECT_TRUE(IsSameValueTol(v.EndPoint.X, 1, 1e-12) || IsSameValueTol(v.EndPoint.X, 9, 1e-12));
        EXPECT_TRUE(IsSameValueTol(v.EndPoint.Y, 1, 1e-12) || IsSameValueTol(v.EndPoint.Y, 9, 1e-12));
    }
    EXPECT_NEAR(small.SignedArea(), -64.0, 1e-9);

    TArea outside = AreaOf(Polyline(square));
    ASSERT_TRUE(OffsetWithEngine(outside, -1.0));
    ASSERT_EQ(outside.Curves.size(), 1u);
    const TACurva& big = *outside.Curves[0];
    EXPECT_EQ(big.Closed, 1);
    ASSERT_EQ(big.Count(), 9);
    EXPECT_EQ(Kinds(big, 0), 4);
    EXPECT_EQ(Kinds(big, 1), 4);
    for (int i = 1; i < big.Count(); ++i) {
        const TAVertice& v = big.Vertices[i];
        if (v.Kind == 0)
            continue;
        EXPECT_NEAR(DistanceVector2D(v.EndPoint, v.Centre), 1.0, 1e-12);
        EXPECT_NEAR(Sweep(big.Vertices[i - 1].EndPoint, v), kPi / 2, 1e-12);
        EXPECT_TRUE(IsSameValueTol(v.Centre.X, 0, 1e-12) || IsSameValueTol(v.Centre.X, 10, 1e-12));
    }
    EXPECT_NEAR(big.SignedArea(), -(100.0 + 40.0 + kPi), 1e-9);
}

TEST(OffsetEngine, CircleGivesTwoArcsOfTheOffsetRadius)
{
    TArea area = AreaOf(Circle({3, -2}, 10));
    ASSERT_TRUE(OffsetWithEngine(area, 1.0));
    ASSERT_EQ(area.Curves.size(), 1u);
    const TACurva& c = *area.Curves[0];
    EXPECT_EQ(c.Closed, 1);
    ASSERT_EQ(c.Count(), 3);
    for (int i = 1; i < 3; ++i) {
        EXPECT_EQ(c.Vertices[i].Kind, 1);
        EXPECT_NEAR(c.Vertices[i].Centre.X, 3.0, 1e-9);
        EXPECT_NEAR(c.Vertices[i].Centre.Y, -2.0, 1e-9);
        EXPECT_NEAR(DistanceVector2D(c.Vertices[i].EndPoint, c.Vertices[i].Centre), 9.0, 1e-9);
    }
}

TEST(OffsetEngine, OpenLineGivesOneParallelLine)
{
    for (double d : {1.0, -2.5}) {
        TArea area = AreaOf(Polyline({{0, 0}, {10, 0}}));
        ASSERT_TRUE(OffsetWithEngine(area, d));
        ASSERT_EQ(area.Curves.size(), 1u);
        const TACurva& c = *area.Curves[0];
        EXPECT_EQ(c.Closed, 0);
        ASSERT_EQ(c.Count(), 2);
        EXPECT_NEAR(c.Vertices[0].EndPoint.X, 0.0, 1e-12);
        EXPECT_NEAR(c.Vertices[0].EndPoint.Y, d, 1e-12); // positive: to the left
        EXPECT_NEAR(c.Vertices[1].EndPoint.X, 10.0, 1e-12);
        EXPECT_NEAR(c.Vertices[1].EndPoint.Y, d, 1e-12);
    }
}

TEST(OffsetEngine, StrandsNearerThanTheDistanceAreDropped)
{
    // The inner offsets of a strip 1.5 wide cross over: the loop they make
    // lies on the wrong side, within the distance of the source.
    TArea strip = AreaOf(Polyline({{0, 0}, {10, 0}, {10, 1.5}, {0, 1.5}, {0, 0}}));
    ASSERT_TRUE(OffsetWithEngine(strip, 1.0));
    EXPECT_TRUE(strip.Curves.empty());

    // Offsets past the middle: the arcs turn inside out, the lines cross
    // over; nothing stays, and nothing hangs.
    for (double d : {5.0, 6.0, 10.0, 12.0}) {
        TArea square = AreaOf(Polyline({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}));
        ASSERT_TRUE(OffsetWithEngine(square, d));
        EXPECT_TRUE(square.Curves.empty()) << d;
        TArea circle = AreaOf(Circle({0, 0}, 10));
        ASSERT_TRUE(OffsetWithEngine(circle, d));
        EXPECT_EQ(circle.Curves.size(), d < 10.0 ? 1u : 0u) << d;
    }

    // An L of two strokes: the inner corner's tails go, one strand stays.
    TArea corner = AreaOf(Polyline({{0, 0}, {10, 0}, {10, 10}}));
    ASSERT_TRUE(OffsetWithEngine(corner, 1.0));
    ASSERT_EQ(corner.Curves.size(), 1u);
    const TACurva& c = *corner.Curves[0];
    ASSERT_EQ(c.Count(), 3);
    EXPECT_NEAR(c.Vertices[0].EndPoint.X, 0.0, 1e-12);
    EXPECT_NEAR(c.Vertices[0].EndPoint.Y, 1.0, 1e-12);
    EXPECT_NEAR(c.Vertices[1].EndPoint.X, 9.0, 1e-12);
    EXPECT_NEAR(c.Vertices[1].EndPoint.Y, 1.0, 1e-12);
    EXPECT_NEAR(c.Vertices[2].EndPoint.X, 9.0, 1e-12);
    EXPECT_NEAR(c.Vertices[2].EndPoint.Y, 10.0, 1e-12);
}

TEST(OffsetEngine, ArcOfMoreThanHalfATurnKeepsItsSweepWhenCut)
{
    // 240 degrees of radius 10 over the top, closed by its chord at y = -5.
    const double x = 10.0 * std::cos(kPi / 6);
    auto curve = std::make_unique<TACurva>();
    curve->AddVertex(TAVertice::CreateAt({x, -5}, 0));
    curve->AddVertex(TAVertice::CreateFull(1, {-x, -5}, {0, 0}, 0));
    curve->AddVertex(TAVertice::CreateAt({x, -5}, 0));
    curve->Closed = 1;
    TArea area = AreaOf(std::move(curve));
    ASSERT_TRUE(OffsetWithEngine(area, 1.0));
    ASSERT_EQ(area.Curves.size(), 1u);
    const TACurva& c = *area.Curves[0];
    EXPECT_EQ(c.Closed, 1);
    ASSERT_EQ(c.Count(), 3);
    const int arc = c.Vertices[1].Kind != 0 ? 1 : 2;
    const TAVertice& a = c.Vertices[arc];
    EXPECT_EQ(a.Kind, 1);
    EXPECT_NEAR(a.Centre.X, 0.0, 1e-9);
    EXPECT_NEAR(a.Centre.Y, 0.0, 1e-9);
    EXPECT_NEAR(DistanceVector2D(a.EndPoint, a.Centre), 9.0, 1e-9);
    const double expected = kPi + 2.0 * std::asin(4.0 / 9.0); // about 232.8 degrees
    EXPECT_NEAR(Sweep(c.Vertices[arc - 1].EndPoint, a), expected, 1e-9);
    EXPECT_NEAR(expected * 180.0 / kPi, 232.8, 0.05);
    const TAVertice& line = c.Vertices[3 - arc];
    EXPECT_EQ(line.Kind, 0);
    EXPECT_NEAR(line.EndPoint.Y, -4.0, 1e-9);
    EXPECT_NEAR(c.Vertices[arc - 1].EndPoint.Y, -4.0, 1e-9);
}

TEST(OffsetEngine, BranchChoiceByTheSignOfTheDistance)
{
    const TNcAutoPoly t{{0, 0}, {1, 0}, 0.0};
    const TNcAutoPoly straight{{1, 0}, {2, 0}, 0.0};
    const TNcAutoPoly left{{1, 0}, {1, 1}, 0.0};
    const TNcAutoPoly right{{1, 0}, {1, -1}, 0.0};
    const TNcAutoPoly back{{1, 0}, {0, 0}, 0.0};
    const TNcAutoPoly elsewhere{{5, 5}, {6, 6}, 0.0};
    // A quarter arc about (0, 1) leaving at 45 degrees: to the left of the
    // straight line, less sharply than the left line.
    const TNcAutoPoly arcLeft{{1, 0}, {1, 2}, std::tan(kPi / 8)};

    struct TCase {
        double Distance;
        std::vector<TNcAutoPoly> Items;
        TVector2D ChosenEnd;
        size_t Left; // segments left in the list after a removing search
    };
    const TCase cases[] = {
        {1.0, {right, straight, left, elsewhere}, {1, 1}, 1},
        {-1.0, {right, straight, left, elsewhere}, {1, -1}, 1},
        {1.0, {straight, arcLeft}, {1, 2}, 0},
        {1.0, {straight, arcLeft, left}, {1, 1}, 0},
        {-1.0, {arcLeft, straight}, {2, 0}, 0},
        // A segment straight back along T stays in the list, unchosen.
        {-1.0, {back, left, straight}, {2, 0}, 1},
        {1.0, {straight}, {2, 0}, 0},
    };
    for (const TCase& c : cases) {
        TNcLista list;
        list.Items = c.Items;
        TNcAutoPoly next;
        ASSERT_TRUE(list.FindNext(t, false, next, c.Distance));
        EXPECT_EQ(list.Items.size(), c.Items.size());
        ASSERT_TRUE(list.FindNext(t, true, next, c.Distance));
        EXPECT_NEAR(next.EndPoint.X, c.ChosenEnd.X, 1e-12);
        EXPECT_NEAR(next.EndPoint.Y, c.ChosenEnd.Y, 1e-12);
        EXPECT_EQ(list.Items.size(), c.Left);
    }
    TNcLista none;
    none.Items = {elsewhere};
    TNcAutoPoly next;
    EXPECT_FALSE(none.FindNext(t, true, next, 1.0));
    EXPECT_EQ(none.Items.size(), 1u);
}

TEST(OffsetEngine, ABreakGivesNoOffset)
{
    const std::vector<TVector2D> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
    int calls = 0;
    TArea whole = AreaOf(Polyline(square));
    ASSERT_TRUE(OffsetWithEngine(whole, -1.0, [&](int, int) { return ++calls, false; }));
    ASSERT_EQ(whole.Curves.size(), 1u);
    // The cut pass steps once per segment (eight here), the walk once per
    // round.
    ASSERT_GT(calls, 9);

    for (int at : {1, 9, calls}) {
        int call = 0;
        TArea area = AreaOf(Polyline(square));
        area.AddCurve(Circle({30, 30}, 5));
        EXPECT_FALSE(OffsetWithEngine(area, -1.0, [&](int, int) { return ++call >= at; })) << at;
        EXPECT_TRUE(area.Curves.empty()) << at;
    }
}

TEST(OffsetEngine, TheProgressBarsBreakStopsIt)
{
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
    kbtest::TRecordingNotifier notifier;
    kbtest::TRecordingWorkMonitor monitor;
    TUserBreak_ProgBar bar;
    bar.Bind(&monitor, true);
    int64_t now = 0;
    // Every step comes a second and a bit after the one before.
    bar.SetClock([&now] { return now += 1001; });
    const std::vector<TVector2D> square{{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};

    bar.StartProgress();
    TArea whole = AreaOf(Polyline(square));
    EXPECT_TRUE(OffsetWithEngine(whole, -1.0, bar));
    EXPECT_EQ(whole.Curves.size(), 1u);
    EXPECT_GT(monitor.Progress.size(), 9u);

    monitor.BreakRequested = true;
    TArea broken = AreaOf(Polyline(square));
    EXPECT_FALSE(OffsetWithEngine(broken, -1.0, bar));
    EXPECT_TRUE(broken.Curves.empty());
    EXPECT_TRUE(bar.BreakReported());
    // The flag is the application's: the engine leaves it set.
    EXPECT_TRUE(monitor.BreakRequested);
    bar.EndProgress();
    SetLanguageIni(nullptr);
}

// The offset of a convex closed path is the library's round-joined offset
// of the same path, up to where it starts.
TEST(OffsetEngine, ConvexClosedOffsetEqualsTheLibrarys)
{
    auto curve = Polyline({{0, 0}, {20, -3}, {26, 8}, {12, 18}, {-4, 9}, {0, 0}});
    ClipperLib::Path path;
    AreaTolerance = 0.0005;
    curve->ToClipperPath(false, path);
    ClipperLib::ClipperOffset library(2.0, 0.5);
    library.AddPath(path, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
    ClipperLib::Paths expected;
    library.Execute(expected, 2.0 * 1e4);
    ASSERT_EQ(expected.size(), 1u);

    TArea area(0.0005);
    area.AddCurve(std::move(curve));
    ASSERT_TRUE(OffsetWithEngine(area, -2.0));
    ASSERT_EQ(area.Curves.size(), 1u);
    const TACurva& c = *area.Curves[0];
    EXPECT_EQ(c.Closed, 1);
    EXPECT_EQ(Kinds(c, 0), 5);
    EXPECT_EQ(Kinds(c, 1), 5);
    const std::vector<TVector2D> ours = CurveChordPoints(c);
    for (const TVector2D& p : ours)
        EXPECT_LT(DistanceToPath(p, expected[0]), 1e-3) << p.X << " " << p.Y;
    for (const ClipperLib::IntPoint& ip : expected[0]) {
        const TVector2D p{ip.X / 1e4, ip.Y / 1e4};
        EXPECT_LT(DistanceVector2D(p, c.NearestPoint(p).Point), 1e-3) << p.X << " " << p.Y;
    }
    EXPECT_NEAR(std::fabs(c.SignedArea()), std::fabs(ClipperLib::Area(expected[0])) / 1e8, 0.05);
}

// A one-sided offset of an open path without loops lies on the library's
// outline around the path, in order.
TEST(OffsetEngine, OpenOffsetLiesInOrderOnTheLibrarysOutline)
{
    const std::vector<TVector2D> points{{0, 0}, {10, 0}, {15, 5}, {15, 12}, {8, 16}};
    AreaTolerance = 0.0005;
    ClipperLib::Path path;
    Polyline(points)->ToClipperPath(false, path);
    ClipperLib::ClipperOffset library(2.0, 0.5);
    library.AddPath(path, ClipperLib::jtRound, ClipperLib::etOpenRound);
    ClipperLib::Paths outline;
    library.Execute(outline, 1.5 * 1e4);
    ASSERT_EQ(outline.size(), 1u);
    const double length = PathLength(outline[0]);

    // The path turns left: its right side is the outer one.
    TArea area(0.0005);
    area.AddCurve(Polyline(points));
    ASSERT_TRUE(OffsetWithEngine(area, -1.5));
    ASSERT_EQ(area.Curves.size(), 1u);
    EXPECT_EQ(Kinds(*area.Curves[0], 1), 3);
    const std::vector<TVector2D> ours = CurveChordPoints(*area.Curves[0]);
    ASSERT_GT(ours.size(), 20u);
    int sign = 0;
    double previous = 0.0;
    for (size_t i = 0; i < ours.size(); ++i) {
        double at = 0.0;
        EXPECT_LT(DistanceToPath(ours[i], outline[0], &at), 1e-3) << i;
        if (i > 0) {
            double step = at - previous;
            step -= length * std::round(step / length);
            if (sign == 0)
                sign = step > 0 ? 1 : -1;
            EXPECT_GT(step * sign, 0.0) << i;
        }
        previous = at;
    }
}

} // namespace
