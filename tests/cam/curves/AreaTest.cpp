#include "cam/curves/Area.h"
#include "core/geometry/Tolerance.h"
#include "core/settings/AppConfig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

std::unique_ptr<TACurva> Rect(double x0, double y0, double x1, double y1, bool clockwise = false)
{
    auto c = std::make_unique<TACurva>();
    c->AddVertex(TAVertice::CreateAt({x0, y0}, 0));
    if (clockwise) {
        c->AddVertex(TAVertice::CreateAt({x0, y1}, 0));
        c->AddVertex(TAVertice::CreateAt({x1, y1}, 0));
        c->AddVertex(TAVertice::CreateAt({x1, y0}, 0));
    } else {
        c->AddVertex(TAVertice::CreateAt({x1, y0}, 0));
        c->AddVertex(TAVertice::CreateAt({x1, y1}, 0));
        c->AddVertex(TAVertice::CreateAt({x0, y1}, 0));
    }
    c->AddVertex(TAVertice::CreateAt({x0, y0}, 0));
    c->Closed = 1;
    return c;
}

// Outlines and holes come back in opposite directions, so the signed sum
// is the area of the region.
double TotalArea(const TArea& a)
{
    double sum = 0.0;
    for (const auto& c : a.Curves) {
        sum += c->SignedArea();
    }
    return std::fabs(sum);
}

int CountArcs(const TACurva& c)
{
    int n = 0;
    for (const TAVertice& v : c.Vertices) {
        n += v.Kind != 0;
    }
    return n;
}

} // namespace

TEST(Area, ChordPathsOfSquaresAndCircles)
{
    TArea area(0.0025);
    auto square = Rect(0, 0, 1, 2);
    ClipperLib::Path path;
    square->ToClipperPath(false, path);
    ASSERT_EQ(path.size(), 4u);
    EXPECT_EQ(path[2].X, 10000);
    EXPECT_EQ(path[2].Y, 20000);
    square->ToClipperPath(true, path);
    EXPECT_EQ(path[0].X, 0);
    EXPECT_EQ(path[0].Y, 20000);

    // Half arcs of radius 10 within 0.0025: ceil(pi / (2 acos(1 - 0.00025))) chords each.
    const int perHalf = static_cast<int>(std::ceil(M_PI / (2 * std::acos((10 - 0.0025) / 10))));
    ASSERT_EQ(perHalf, 71);
    area.AddCurve(std::move(square));
    area.AddCurve(std::make_unique<TACurva>());
    TAreaCerchio circle({3, 4}, 10);
    AreaTolerance = 0.0025;
    area.AddCurve(std::move(circle.Curves[0]));
    // A radius below half the tolerance still gives one chord per arc.
    area.AddCurve(std::move(TAreaCerchio({0, 0}, 0.001).Curves[0]));
    AreaTolerance = 0.0025;
    ClipperLib::Paths paths;
    area.ToClipperPaths(paths, false);
    ASSERT_EQ(paths.size(), 4u);
    EXPECT_EQ(paths[0].size(), 5u);
    EXPECT_TRUE(paths[1].empty());
    ASSERT_EQ(paths[2].size(), 1u + 2 * perHalf);
    EXPECT_EQ(paths[2][perHalf], ClipperLib::IntPoint(-70000, 40000));
    for (const ClipperLib::IntPoint& p : paths[2]) {
        EXPECT_NEAR(std::hypot(p.X / 1e4 - 3, p.Y / 1e4 - 4), 10.0, 1e-4);
    }
    EXPECT_EQ(paths[3].size(), 3u);

    ClipperLib::Path untouched{{1, 2}};
    TACurva().ToClipperPath(false, untouched);
    EXPECT_EQ(untouched.size(), 1u);
}

TEST(Area, DifferenceAndIntersectionOfSquares)
{
    for (bool cw : {false, true}) {
        TArea a;
        a.AddCurve(Rect(0, 0, 10, 10, cw));
        TArea b;
        b.AddCurve(Rect(5, 5, 15, 15, !cw));
        a.Difference(b);
        ASSERT_EQ(a.Curves.size(), 1u);
        EXPECT_NEAR(TotalArea(a), 75.0, 1e-9);
        EXPECT_EQ(a.Curves[0]->Closed, 1);
        EXPECT_EQ(b.Curves.size(), 1u);

        TArea c;
        c.AddCurve(Rect(0, 0, 10, 10, cw));
        c.Intersection(b);
        ASSERT_EQ(c.Curves.size(), 1u);
        EXPECT_NEAR(TotalArea(c), 25.0, 1e-9);
    }
    // An outline with an island (even-odd) minus a square over the island.
    TArea ring;
    ring.AddCurve(Rect(0, 0, 10, 10));
    ring.AddCurve(Rect(4, 4, 6, 6));
    TArea cover;
    cover.AddCurve(Rect(3, 3, 7, 7));
    ring.Difference(cover);
    EXPECT_NEAR(TotalArea(ring), 100.0 - 16.0, 1e-9);

    TArea small;
    small.AddCurve(Rect(1, 1, 2, 2));
    TArea big;
    big.AddCurve(Rect(0, 0, 10, 10));
    EXPECT_TRUE(small.DifferenceIsEmpty(big));
    EXPECT_TRUE(small.Curves.empty());
}

TEST(Area, OffsetsComeBackAsArcs)
{
    TArea square;
    square.AddCurve(Rect(0, 0, 10, 10));
    square.OffsetClosed(1.0);
    ASSERT_EQ(square.Curves.size(), 1u);
    const TACurva& grown = *square.Curves[0];
    EXPECT_EQ(grown.Closed, 1);
    EXPECT_EQ(CountArcs(grown), 4);
    EXPECT_NEAR(std::fabs(grown.SignedArea()), 100 + 40 + M_PI, 0.01);

    TAreaCerchio circle({2, 3}, 5);
    circle.OffsetClosed(-1.0);
    ASSERT_EQ(circle.Curves.size(), 1u);
    const TACurva& shrunk = *circle.Curves[0];
    EXPECT_GE(CountArcs(shrunk), 2);
    EXPECT_LE(shrunk.Count(), 6);
    // The circle went out as chords within the tolerance (0.0025), inside
    // the true circle: the result is that much smaller.
    for (const TAVertice& v : shrunk.Vertices) {
        EXPECT_NEAR(std::hypot(v.EndPoint.X - 2, v.EndPoint.Y - 3), 4.0, 0.0025);
        if (v.Kind != 0) {
            EXPECT_NEAR(v.Centre.X, 2.0, 1e-3);
            EXPECT_NEAR(v.Centre.Y, 3.0, 1e-3);
        }
    }
    EXPECT_NEAR(std::fabs(shrunk.SignedArea()), 16 * M_PI, 2 * M_PI * 4 * 0.0025);

    // Two squares 1 apart grown by 1 unite into one outline.
    TArea two;
    two.AddCurve(Rect(0, 0, 10, 10));
    two.AddCurve(Rect(11, 0, 21, 10));
    two.OffsetClosed(1.0);
    EXPECT_EQ(two.Curves.size(), 1u);

    // A square shrunk past its half width vanishes.
    TArea gone;
    gone.AddCurve(Rect(0, 0, 2, 2));
    gone.OffsetClosed(-1.5);
    EXPECT_TRUE(gone.Curves.empty());
}

TEST(Area, OpenOffsetOfAnLPath)
{
    TArea area;
    auto path = std::make_unique<TACurva>();
    path->AddVertex(TAVertice::CreateAt({0, 0}, 0));
    path->AddVertex(TAVertice::CreateAt({10, 0}, 0));
    path->AddVertex(TAVertice::CreateAt({10, 10}, 0));
    area.AddCurve(std::move(path));
    area.OffsetOpen(-1.0);
    ASSERT_EQ(area.Curves.size(), 1u);
    const TACurva& c = *area.Curves[0];
    ASSERT_EQ(c.Count(), 3);
    const double expected[3][2] = {{0, 1}, {9, 1}, {9, 10}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(c.Vertices[i].EndPoint.X, expected[i][0], 1e-4);
        EXPECT_NEAR(c.Vertices[i].EndPoint.Y, expected[i][1], 1e-4);
    }
    EXPECT_EQ(c.Closed, 0);
}

TEST(Area, ContainmentTests)
{
    auto square = Rect(0, 0, 10, 10);
    EXPECT_TRUE(CurveInsideCurve(*square, *square));
    EXPECT_FALSE(CurveInsideCurve(*Rect(5, 0, 15, 10), *square));
    EXPECT_TRUE(CurveInsideCurve(*Rect(2, 2, 8, 8, true), *square));

    TArea area;
    area.AddCurve(Rect(0, 0, 10, 10));
    EXPECT_FALSE(area.CircleLeaves({5, 5}, 2, 1));
    EXPECT_TRUE(area.CircleLeaves({8, 5}, 2, 1));
    EXPECT_FALSE(area.SlotLeaves({2, 5}, {8, 5}, 1));
    EXPECT_TRUE(area.SlotLeaves({2, 5}, {8, 5}, 5.5));
    // Half width 0 is a thin slot, not nothing.
    EXPECT_FALSE(area.SlotLeaves({2, 5}, {8, 5}, 0));
    EXPECT_TRUE(area.SlotLeaves({2, 5}, {12, 5}, 0));
    EXPECT_NEAR(ChainTol(), AreaTolerance, 0);

    // A slot of no length is the circle of its half width.
    TArea dot = TArea::CreateSlot({3, 3}, {3, 3}, 2);
    ASSERT_EQ(dot.Curves.size(), 1u);
    EXPECT_NEAR(std::fabs(dot.Curves[0]->SignedArea()), 4 * M_PI, 1e-9);
    EXPECT_FALSE(area.SlotLeaves({3, 3}, {3, 3}, 2));
    EXPECT_TRUE(area.SlotLeaves({1, 3}, {1, 3}, 2));
}

// Curves that neither cross nor touch are told apart without clipping; the
// answers here follow from how the shapes are drawn, whichever way is taken.
TEST(Area, ContainmentOfEveryLayout)
{
    const auto loop = [](std::vector<TVector2D> points) {
        auto c = std::make_unique<TACurva>();
        points.push_back(points.front());
        for (const TVector2D& p : points)
            c->AddVertex(TAVertice::CreateAt(p, 0));
        c->Closed = 1;
        return c;
    };
    const auto circle = [](TVector2D centre, double r) { return std::move(TAreaCerchio(centre, r).Curves[0]); };
    const std::vector<TVector2D> ell{{0, 0}, {10, 0}, {10, 4}, {4, 4}, {4, 10}, {0, 10}};
    // A bow tie: its left and right halves are inside, the bottom one not.
    const std::vector<TVector2D> bowTie{{0, 0}, {10, 10}, {10, 0}, {0, 10}};
    struct TCase {
        const char* Name;
        std::unique_ptr<TACurva> A, B;
        bool Inside;
    };
    TCase cases[] = {
        {"deep inside", Rect(2, 2, 8, 8), Rect(0, 0, 10, 10), true},
        {"circle inside, the other way round", circle({5, 5}, 2), Rect(0, 0, 10, 10, true), true},
        {"on an edge from inside", Rect(0, 2, 5, 8), Rect(0, 0, 10, 10), true},
        {"a corner shared from outside", Rect(10, 10, 12, 12), Rect(0, 0, 10, 10), false},
        {"crossing", Rect(8, 2, 12, 8), Rect(0, 0, 10, 10), false},
        {"in the notch of an L", Rect(6, 6, 9, 9), loop(ell), false},
        {"in the foot of an L", Rect(6, 1, 9, 3), loop(ell), true},
        {"around", Rect(0, 0, 10, 10), Rect(2, 2, 8, 8), false},
        {"around a circle", Rect(0, 0, 10, 10), circle({5, 5}, 2), false},
        {"in a lobe of a bow tie", Rect(1, 4, 2, 6), loop(bowTie), true},
        {"between the lobes of a bow tie", Rect(4, 1, 6, 2), loop(bowTie), false},
        {"a circle in a circle", circle({0, 0}, 1), circle({0.5, 0}, 3), true},
        {"a circle over a circle", circle({0, 0}, 1), circle({2.5, 0}, 2), false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(CurveInsideCurve(*c.A, *c.B), c.Inside) << c.Name;
        EXPECT_NEAR(ChainTol(), AreaTolerance, 0) << c.Name;
    }
}

TEST(Area, PathsBackToCurves)
{
    TACurva closed;
    ClosedPathToCurve(closed, {{0, 0}, {10000, 0}, {10000, 10000}}, false, true);
    ASSERT_EQ(closed.Count(), 4);
    EXPECT_EQ(closed.Closed, 1);
    EXPECT_EQ(closed.Vertices[3].EndPoint.X, 0.0);

    TACurva front;
    ClosedPathToCurve(front, {{0, 0}, {10000, 0}, {10000, 10000}}, false, false);
    EXPECT_EQ(front.Vertices[0].EndPoint.Y, 1.0);
    EXPECT_EQ(front.Closed, 1);

    TACurva empty;
    ClosedPathToCurve(empty, {}, true, true);
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.Closed, 0);

    TACurva open;
    OpenPathToCurve(open, {{0, 0}, {5000, 0}}, true);
    EXPECT_EQ(open.Count(), 2);
    EXPECT_EQ(open.Closed, 0);
}

TEST(Area, ArcsAreChordedWithinTheTolerance)
{
    // A half arc of radius 1000 needs far more than 200 chords for 0.0025.
    auto chordsOf = [](double r, double tolerance) {
        TAreaCerchio circle({1, 2}, r);
        AreaTolerance = tolerance;
        return CurveChordPoints(*circle.Curves[0]);
    };
    for (double r : {10.0, 81.0, 82.0, 1000.0, 2500.0}) {
        const std::vector<TVector2D> points = chordsOf(r, 0.0025);
        for (size_t i = 1; i < points.size(); ++i) {
            const TVector2D m{(points[i - 1].X + points[i].X) / 2, (points[i - 1].Y + points[i].Y) / 2};
            ASSERT_LE(r - std::hypot(m.X - 1, m.Y - 2), 0.0025 + 1e-9) << r << " " << i;
        }
    }
    // Beyond the largest fitted radius the count stops growing.
    EXPECT_EQ(chordsOf(1e6, 0.0025).size(), chordsOf(1e7, 0.0025).size());
    // No tolerance to size chords by: 200 a half arc.
    EXPECT_EQ(chordsOf(1000, 0.0).size(), 401u);
    EXPECT_EQ(chordsOf(1000, -1.0).size(), 401u);
    AreaTolerance = ChainTol();
}

TEST(Area, LargeCirclesShrunkComeBackAsArcsOfTheSmallerRadius)
{
    ASSERT_GE(AppConfig().MaxArcFit, 2000.0);
    for (double r : {100.0, 500.0, 1000.0, 2000.0}) {
        TAreaCerchio circle({-3, 7}, r);
        const double t = AreaTolerance;
        circle.OffsetClosed(-2.0);
        ASSERT_EQ(circle.Curves.size(), 1u) << r;
        const TACurva& c = *circle.Curves[0];
        EXPECT_EQ(c.Closed, 1);
        EXPECT_EQ(CountArcs(c), c.Count() - 1) << r;
        EXPECT_LE(c.Count(), 5) << r;
        for (const TAVertice& v : c.Vertices) {
            EXPECT_NEAR(std::hypot(v.EndPoint.X + 3, v.EndPoint.Y - 7), r - 2, t) << r;
            if (v.Kind != 0) {
                EXPECT_NEAR(std::hypot(v.EndPoint.X - v.Centre.X, v.EndPoint.Y - v.Centre.Y), r - 2, t) << r;
            }
        }
    }
}

TEST(Area, IslandsShrinkTheAreaWhicheverWayTheyRun)
{
    for (bool outlineClockwise : {false, true}) {
        TArea pocket;
        pocket.AddCurve(Rect(0, 0, 500, 500, outlineClockwise));
        // The circle runs clockwise: the same way as a clockwise outline.
        pocket.AddCurve(std::move(TAreaCerchio({250, 250}, 10).Curves[0]));
        pocket.OffsetClosed(-3.0);
        ASSERT_EQ(pocket.Curves.size(), 2u) << outlineClockwise;
        EXPECT_NEAR(TotalArea(pocket), 494.0 * 494.0 - M_PI * 13 * 13, 0.5) << outlineClockwise;
    }
}
