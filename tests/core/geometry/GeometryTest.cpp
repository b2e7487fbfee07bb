#include "core/geometry/Geometry.h"
#include "core/geometry/Matrix4.h"
#include "core/geometry/Tolerance.h"
#include "tests/support/TestObject2D.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace geometry_test {

namespace {

constexpr double kPi = 3.141592653589793;

// Binds known tolerances for each test and restores the defaults after it.
class Geometry : public ::testing::Test {
protected:
    void SetUp() override { BindTolerances(&m_SystemTol, &m_ChainTol, nullptr); }
    void TearDown() override { BindTolerances(nullptr, nullptr, nullptr); }

    double m_SystemTol = 1e-4;
    double m_ChainTol = 2.5e-3;
};

void ExpectVector(const TVector2D& v, double x, double y, double tol = 1e-12)
{
    EXPECT_NEAR(v.X, x, tol);
    EXPECT_NEAR(v.Y, y, tol);
}

TEST_F(Geometry, FuzzyComparisonsAreInclusive)
{
    struct Case {
        double a, b, tol;
        bool same;
    };
    const Case cases[] = {
        {1.0, 1.5, 0.5, true},          // exactly on the upper bound
        {1.5, 1.0, 0.5, true},          // exactly on the lower bound
        {1.0, 1.5000001, 0.5, false},
        {1.5000001, 1.0, 0.5, false},
        {2.0, 2.0, 0.0, true},
        {-3.0, -3.25, 0.25, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsSameValueTol(c.a, c.b, c.tol), c.same) << c.a << " " << c.b;
        EXPECT_EQ(IsDifferentValueTol(c.a, c.b, c.tol), !c.same) << c.a << " " << c.b;
    }
    // The system-tolerance forms read the bound tolerance on every call.
    EXPECT_TRUE(IsSameValue(0.0, 1e-4));
    EXPECT_TRUE(IsSameCoord(1e-4, 0.0));
    EXPECT_TRUE(IsDifferentValue(0.0, 1.5e-4));
    m_SystemTol = 1e-3;
    EXPECT_TRUE(IsSameValue(0.0, 1.5e-4));
    EXPECT_FALSE(IsDifferentValue(0.0, 1.5e-4));

    // Still with the system tolerance at 1e-3.
    EXPECT_TRUE(IsGreaterOrSame(2.0, 1.0));
    EXPECT_TRUE(IsGreaterOrSame(1.0, 1.0005));
    EXPECT_FALSE(IsGreaterOrSame(1.0, 1.002));
}

TEST_F(Geometry, VectorsAndPointsCompareEachCoordinateOnItsOwn)
{
    // A square window: the diagonal corner is farther than tol, still the same.
    EXPECT_TRUE(IsSameVector2D({0, 0}, {1e-4, 1e-4}));
    EXPECT_FALSE(IsSameVector2D({0, 0}, {0, 2e-4}));
    EXPECT_TRUE(IsSameVector2DTol({0, 0}, {0.5, -0.5}, 0.5));
    EXPECT_FALSE(IsSameVector2DTol({0, 0}, {0.5, -0.6}, 0.5));
    EXPECT_TRUE(IsSameVector3D({1, 2, 3}, {1, 2, 3.00005}));
    EXPECT_FALSE(IsSameVector3D({1, 2, 3}, {1, 2, 3.001}));
    EXPECT_TRUE(IsSameVectorPoint2D({1, 2}, {1, 2, 5}));

    // Different weights: compared as cartesian points.
    EXPECT_TRUE(IsSamePoint2D({2, 4, 2}, {1, 2, 1}));
    // Equal weights: compared as stored.
    EXPECT_FALSE(IsSamePoint2D({2, 4, 2}, {1, 2, 2}));
    EXPECT_TRUE(IsSamePoint2D({2, 4, 0}, {2, 4, 0}));
}

TEST_F(Geometry, AlignmentComparesTheDoubledAreaWithTheChainTolerance)
{
    EXPECT_TRUE(ArePointsAligned({0, 0}, {1000, 0}, {2000, 1e-6}));   // area 1e-3
    EXPECT_FALSE(ArePointsAligned({0, 0}, {10000, 0}, {20000, 1e-5})); // the same, scaled by 10
    EXPECT_TRUE(ArePointsAligned({0, 0}, {1, 1}, {2, 2}));
    EXPECT_FALSE(ArePointsAligned({0, 0}, {1, 0}, {0, 1}));
}

TEST_F(Geometry, PointCircleRelation)
{
    struct Case {
        TVector2D p;
        int expected;
    };
    const Case cases[] = {
        {{0.99999999, 0}, -1},                   // inside however close
        {{std::sqrt(1.0 + 0.5e-4), 0}, 0},       // just outside, within tol
        {{1, 0}, 0},
        {{1.1, 0}, 1},
        {{0, 0}, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PointCircleRelation(c.p, {0, 0}, 1.0), c.expected) << c.p.X;
    EXPECT_EQ(PointCircleRelation({13, 10}, {10, 10}, 3.0), 0);
}

TEST_F(Geometry, AnglesOfPointsAndQuadrants)
{
    EXPECT_DOUBLE_EQ(AngleOf2Points({0, 0}, {0, -1}), 3 * kPi / 2);
    EXPECT_DOUBLE_EQ(AngleOf2PointsSigned({0, 0}, {0, -1}), -kPi / 2);
    EXPECT_EQ(AngleOf2Points({3, 3}, {3, 3}), 0.0);
    EXPECT_DOUBLE_EQ(AngleOf2Points({1, 1}, {0, 1}), kPi);
    EXPECT_DOUBLE_EQ(AngleOf2PointsSigned({1, 1}, {0, 1}), kPi);
    EXPECT_DOUBLE_EQ(AngleOfXY(1, 1), kPi / 4);

    struct Case {
        double x, y;
        int quadrant;
    };
    const Case cases[] = {
        {0, 0, 0}, {1, 0, 1}, {0, 1, 2}, {-1, 0, 3}, {0, -1, 4},
        {2, 3, 1}, {-2, 3, 2}, {-2, -3, 3}, {2, -3, 4},
        {std::numeric_limits<double>::quiet_NaN(), 1, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(QuadrantXY(c.x, c.y), c.quadrant) << c.x << ", " << c.y;
        EXPECT_EQ(QuadrantOfVector({c.x, c.y}), c.quadrant);
    }
}

TEST_F(Geometry, ArcSweepInBothDirections)
{
    struct Case {
        int direction;
        double start, end, sweep;
    };
    const Case cases[] = {
        {1, 1.0, 1.0, kTwoPi},               // full circle
        {-1, 1.0, 1.0, kTwoPi},
        {0, 1.0, 1.0, 0.0},                  // no direction: plain difference
        {1, 6.0, 0.5, 0.5 + kTwoPi - 6.0},   // across zero
        {1, 0.5, 2.0, 1.5},
        {-1, 2.0, 0.5, 1.5},
        {-1, 0.5, 6.0, 0.5 + kTwoPi - 6.0},  // clockwise across zero
        {-1, 0.5, 2.0, kTwoPi - 1.5},        // clockwise the long way
        {1, 2.0, 0.5, kTwoPi - 1.5},
        {7, 2.0, 0.5, kTwoPi - 1.5},         // other direction: negative brought up once
    };
    for (const auto& c : cases)
        EXPECT_NEAR(ArcSweep(c.direction, c.start, c.end), c.sweep, 1e-12)
            << c.direction << " " << c.start << " " << c.end;
    EXPECT_NEAR(ArcSweepCW(true, 0.5, 2.0), kTwoPi - 1.5, 1e-12);
    EXPECT_NEAR(ArcSweepCW(false, 0.5, 2.0), 1.5, 1e-12);
}

TEST_F(Geometry, NormalizeAngleRange)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double angle, expected;
    };
    const Case cases[] = {
        {0.0, kTwoPi},               // never 0
        {kTwoPi, kTwoPi},
        {0.5e-4, 0.5e-4 + kTwoPi},   // within tol of 0
        {kTwoPi - 0.5e-4, kTwoPi - 0.5e-4},
        {kTwoPi + 0.5e-4, 0.5e-4 + kTwoPi},
        {7.0, 7.0 - kTwoPi},
        {20.0, 20.0 - 3 * kTwoPi},
        {-1.0, kTwoPi - 1.0},
        {-kTwoPi, kTwoPi},
        {-7.0, -7.0 + kTwoPi},       // below -2 pi: one turn only, still negative
        {nan, 0.0},
        {inf, 0.0},                  // would never leave the reduction loop
        {-inf, 0.0},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(NormalizeAngle(c.angle), c.expected, 1e-12) << c.angle;

    // A value so large that subtracting 2 pi does not change it still ends.
    const double huge = NormalizeAngle(1e300);
    EXPECT_GT(huge, 0.0);
    EXPECT_LE(huge, kTwoPi + 1e-4);
    EXPECT_NEAR(NormalizeAngle(1e6), std::fmod(1e6, kTwoPi), 1e-9);
}

TEST_F(Geometry, AngleBetweenParallelVectorsIsNotNaN)
{
    // Rounding puts the cosine of these parallel vectors just above 1.
    const TVector2D a{0.1, 1.5};
    const TVector2D b{a.X * 3, a.Y * 3};
    const double dot = a.X * b.X + a.Y * b.Y;
    ASSERT_GT(dot / std::sqrt((a.X * a.X + a.Y * a.Y) * (b.X * b.X + b.Y * b.Y)), 1.0);
    ASSERT_GT(dot / (std::sqrt(a.X * a.X + a.Y * a.Y) * std::sqrt(b.X * b.X + b.Y * b.Y)), 1.0);
    EXPECT_EQ(AngleBetweenVectors(a, b), 0.0);
    EXPECT_EQ(AngleBetweenVectorsRaw(a, b), 0.0);
    const TVector2D opposite{-b.X, -b.Y};
    EXPECT_DOUBLE_EQ(AngleBetweenVectors(a, opposite), kPi);
    EXPECT_DOUBLE_EQ(AngleBetweenVectorsRaw(a, opposite), kPi);

    EXPECT_DOUBLE_EQ(AngleBetweenVectors({1, 0}, {0, 2}), kPi / 2);
    EXPECT_EQ(AngleBetweenVectors({1, 0}, {0, 0}), 0.0);
    EXPECT_TRUE(std::isnan(AngleBetweenVectorsRaw({1, 0}, {0, 0}))); // no zero check
}

TEST_F(Geometry, DistancesAndFarthestPoint)
{
    EXPECT_DOUBLE_EQ(Distance2D(1, 1, 4, 5), 5.0);
    EXPECT_DOUBLE_EQ(DistanceSqr2D(1, 1, 4, 5), 25.0);
    EXPECT_DOUBLE_EQ(DistanceXY({2, 2, 2}, {5, 6, 7}), 5.0); // weights ignored
    EXPECT_DOUBLE_EQ(DistanceVector3D({1, 2, 3}, {3, 5, 9}), 7.0);

    struct Case {
        std::vector<TVector2D> points;
        int index;
    };
    const Case cases[] = {
        {{{1, 0}, {0, 1}}, 0},           // equally far: the first wins
        {{{0, 0}, {0, 0}}, 0},           // every distance 0
        {{{1, 0}, {3, 0}, {-3, 0}}, 1},
    };
    for (const auto& c : cases) {
        TVector2D p{0, 0};
        EXPECT_EQ(PickFarthestPoint(p, c.points), c.index);
        EXPECT_EQ(p.X, c.points[static_cast<size_t>(c.index)].X);
        EXPECT_EQ(p.Y, c.points[static_cast<size_t>(c.index)].Y);
    }
    TVector2D p{7, 8};
    EXPECT_EQ(PickFarthestPoint(p, {}), -1); // nothing to pick: P kept
    ExpectVector(p, 7, 8);
}

TEST_F(Geometry, LinesAndProjections)
{
    double a, b, k;
    LineCoefficients({0, 0}, {10, 0}, a, b, k);
    EXPECT_DOUBLE_EQ(SignedDistanceToLine({5, -2}, a, b, k), 2.0);  // right of P1 -> P2
    EXPECT_DOUBLE_EQ(SignedDistanceToLine({5, 3}, a, b, k), -3.0);
    ExpectVector(FootOnLineABC({5, 3}, a, b, k), 5, 0);
    LineCoefficients({1, 1}, {3, 3}, a, b, k);
    ExpectVector(FootOnLineABC({0, 2}, a, b, k), 1, 1);
    EXPECT_EQ(SignedDistanceToLine({5, 3}, 0, 0, 4), 0.0);      // degenerate line
    ExpectVector(FootOnLineABC({5, 3}, 0, 0, 4), 0, 0);

    struct Case {
        TVector2D a, b, p, closest;
        bool onSegment;
    };
    const Case cases[] = {
        {{0, 0}, {10, 0}, {-3, 4}, {0, 0}, false},
        {{0, 0}, {10, 0}, {0, 4}, {0, 0}, true},     // foot exactly on an end
        {{0, 0}, {10, 0}, {4, 4}, {4, 0}, true},
        {{0, 0}, {10, 0}, {10, -1}, {10, 0}, true},
        {{0, 0}, {10, 0}, {13, 4}, {10, 0}, false},  // beyond the second end
        {{0.1, 0.7}, {0.3, 0.9}, {5, 5}, {0.3, 0.9}, false},
        {{2, 2}, {2, 2}, {5, 5}, {2, 2}, true},      // zero-length segment
    };
    for (const auto& c : cases) {
        const TVector2D q = ClosestPointOnSegment(c.a, c.b, c.p);
        if (c.closest.X == c.b.X && c.closest.Y == c.b.Y) { // an end comes back exactly
            EXPECT_EQ(q.X, c.b.X);
            EXPECT_EQ(q.Y, c.b.Y);
        }
        ExpectVector(q, c.closest.X, c.closest.Y);
        EXPECT_EQ(IsProjectionOnSegment(c.a, c.b, c.p), c.onSegment) << c.p.X << ", " << c.p.Y;
    }

    double qx, qy;
    FootOnLineXY(0, 0, 10, 0, 13, 4, qx, qy); // not clamped
    EXPECT_DOUBLE_EQ(qx, 13);
    EXPECT_DOUBLE_EQ(qy, 0);
    FootOnLineXY(2, 2, 2, 2, 5, 5, qx, qy);   // no line: the point, not NaN
    EXPECT_EQ(qx, 2);
    EXPECT_EQ(qy, 2);

    ExpectVector(MidPoint2D({1, 2}, {3, 6}), 2, 4);
    ExpectVector(PointTowards({10, 0}, {2, 0}, 3), 5, 0);
    ExpectVector(PointTowards({2, 3}, {2, 3}, 3), 2, 3); // no direction: B itself
}

TEST_F(Geometry, SideTests)
{
    struct Case {
        TVector2D p;
        bool rightOrOnForward, rightOrOnBackward, strictRight;
    };
    // Directed line from (0, 0) to (10, 0).
    const Case cases[] = {
        {{5, -1}, true, false, true},
        {{5, 1}, false, true, false},
        {{5, 0}, true, true, false},   // on the line: both sides inclusive, turn strict
        {{-5, 0}, true, true, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsOnRightSide({0, 0}, {10, 0}, c.p, 1), c.rightOrOnForward) << c.p.Y;
        EXPECT_EQ(IsOnRightSide({0, 0}, {10, 0}, c.p, 0), c.rightOrOnForward);
        EXPECT_EQ(IsOnRightSide({0, 0}, {10, 0}, c.p, -1), c.rightOrOnBackward);
        EXPECT_EQ(IsRightTurn({0, 0}, {10, 0}, c.p), c.strictRight);
        EXPECT_EQ(IsRightTurnPt({0, 0, 1}, {10, 0, 1}, {c.p.X, c.p.Y, 1}), c.strictRight);
    }
    EXPECT_DOUBLE_EQ(CrossProduct2D({1, 0}, {0, 1}), 1.0);
    EXPECT_DOUBLE_EQ(DotProduct2D({1, 2}, {3, 4}), 11.0);

    ExpectVector(PerpendicularCCW({1, 2}), -2, 1);
    ExpectVector(PerpendicularCW({1, 2}), 2, -1);
    ExpectVector(PerpendicularByDir({1, 2}, -1), 2, -1);
    ExpectVector(PerpendicularByDir({1, 2}, -2), -2, 1); // only exactly -1 turns clockwise
    ExpectVector(MulVector2D({1, 2}, -3), -3, -6);

    TPoint2D s{1, 2, 3}, t{4, 5, 6};
    SwapPoints2D(s, t);
    EXPECT_EQ(s.W, 6);
    EXPECT_EQ(t.X, 1);
    EXPECT_EQ(VectorToPoint2D({7, 8}).W, 1.0);
}

TEST_F(Geometry, ObjectPointToDrawingUsesTheCombinedTransform)
{
    const kbtest::TTestObject2D plain(1);
    ExpectVector(ObjectPointToDrawing({2, 4, 2}, plain), 2, 4); // no transform: X and Y as stored

    // A pending transform counts; the weight takes part and is then dropped.
    const kbtest::TTestObject2D moved(2, TMatrix4::CreateTranslation(10, 0, 0), 0, 0);
    ExpectVector(ObjectPointToDrawing({2, 4, 2}, moved), 22, 4);
    kbtest::TTestObject2D turned(3);
    turned.SetModelTransform(TMatrix4::CreateRotationZ(90, true));
    turned.Transform(TMatrix4::CreateTranslation(1, 0, 0));
    ExpectVector(ObjectPointToDrawing({1, 0, 1}, turned), 1, 1);
}

void ExpectRect(const TRect2D& r, double x1, double y1, double x2, double y2, double tol = 1e-12)
{
    EXPECT_NEAR(r.FirstEdge.X, x1, tol);
    EXPECT_NEAR(r.FirstEdge.Y, y1, tol);
    EXPECT_NEAR(r.SecondEdge.X, x2, tol);
    EXPECT_NEAR(r.SecondEdge.Y, y2, tol);
    EXPECT_EQ(r.FirstEdge.W, 1.0);
    EXPECT_EQ(r.SecondEdge.W, 1.0);
}

TEST_F(Geometry, BoxesNormaliseEachAxisOnItsOwn)
{
    const TRect2D made = MakeRect2D(5, 1, 2, 4);
    EXPECT_EQ(made.FirstEdge.X, 5); // not reordered
    ExpectRect(NormalizeRect2D(made), 2, 1, 5, 4);
    // Weighted corners are made cartesian before they are ordered.
    ExpectRect(NormalizeRect2D({{10, 2, 2}, {1, 8, 1}}), 1, 1, 5, 8);

    const TBox3D box = NormalizeBox3D(MakeBox3D(1, 9, 3, 4, 2, -3));
    EXPECT_EQ(box.FirstEdge.X, 1);
    EXPECT_EQ(box.FirstEdge.Y, 2);
    EXPECT_EQ(box.FirstEdge.Z, -3);
    EXPECT_EQ(box.SecondEdge.X, 4);
    EXPECT_EQ(box.SecondEdge.Y, 9);
    EXPECT_EQ(box.SecondEdge.Z, 3);
    const TBox3D cart = CartesianBox3D({{2, 4, 6, 2}, {1, 1, 1, 0}});
    EXPECT_EQ(cart.FirstEdge.Z, 3);
    EXPECT_EQ(cart.SecondEdge.W, 0); // W of 0 is left alone

    ExpectRect(UnionRect2D(MakeRect2D(0, 0, 2, 2), MakeRect2D(3, 1, 1, -1)), 0, -1, 3, 2);
    const TBox3D u = UnionBox3D(MakeBox3D(0, 0, 0, 1, 1, 1), MakeBox3D(2, -1, 0.5, 0.5, 0.5, 0.7));
    EXPECT_EQ(u.FirstEdge.Y, -1);
    EXPECT_EQ(u.SecondEdge.X, 2);
    EXPECT_EQ(u.FirstEdge.Z, 0);
    EXPECT_EQ(u.SecondEdge.Z, 1);
}

TEST_F(Geometry, BoxesTransformedByARotation)
{
    TMatrix4 rotation = TMatrix4::CreateRotationZ(45, true);
    const double h = std::sqrt(0.5);
    // All four corners take part: the result covers the rotated square.
    ExpectRect(TransformRect2D(MakeRect2D(0, 0, 1, 1), rotation), -h, 0, h, 2 * h, 1e-12);

    const TBox3D b = TransformBox3D(MakeBox3D(0, 0, -1, 1, 1, 2), rotation);
    EXPECT_NEAR(b.FirstEdge.X, -h, 1e-12);
    EXPECT_NEAR(b.SecondEdge.Y, 2 * h, 1e-12);
    EXPECT_NEAR(b.FirstEdge.Z, -1, 1e-12);
    EXPECT_NEAR(b.SecondEdge.Z, 2, 1e-12);

    // The corner form keeps weights: the weight takes part in the translation.
    const TMatrix4 shift = TMatrix4::CreateTranslation(10, 0, 0);
    const TRect2D corners = TransformRectCorners({{2, 4, 2}, {1, 1, 1}}, shift);
    EXPECT_EQ(corners.FirstEdge.X, 22);
    EXPECT_EQ(corners.FirstEdge.W, 2);
}

TEST_F(Geometry, OrthoConstrainKeepsTheLargerOffset)
{
    struct Case {
        TPoint2D p1, p2, expected;
    };
    const Case cases[] = {
        {{0, 0, 1}, {5, 5, 1}, {0, 5, 1}},      // exact diagonal: vertical
        {{0, 0, 1}, {5, 4.9, 1}, {5, 0, 1}},
        {{0, 0, 1}, {-5, 4.9, 1}, {-5, 0, 1}},
        {{1, 1, 1}, {1.5, -9, 1}, {1, -9, 1}},
        {{2, 2, 2}, {10, 2, 2}, {5, 1, 1}},     // both made cartesian first
    };
    for (const auto& c : cases) {
        TPoint2D p2 = c.p2;
        OrthoConstrain(c.p1, p2);
        EXPECT_DOUBLE_EQ(p2.X, c.expected.X) << c.p2.X << ", " << c.p2.Y;
        EXPECT_DOUBLE_EQ(p2.Y, c.expected.Y);
        EXPECT_EQ(p2.W, c.expected.W);
    }
}

} // namespace

}  // namespace geometry_test
