#include "core/geometry/Points.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace points_test {

TEST(Points, CartesianDividesByWeightUnlessItIsZeroOrOne)
{
    struct Case {
        TPoint2D in, out;
    };
    const Case cases[] = {
        {{2, 4, 0}, {2, 4, 0}},
        {{2, 4, 1}, {2, 4, 1}},
        {{2, 4, 2}, {1, 2, 1}},
        {{2, 4, -0.5}, {-4, -8, 1}},
    };
    for (const Case& c : cases) {
        const TPoint2D p = CartesianPoint2D(c.in);
        EXPECT_EQ(p.X, c.out.X) << "W " << c.in.W;
        EXPECT_EQ(p.Y, c.out.Y) << "W " << c.in.W;
        EXPECT_EQ(p.W, c.out.W) << "W " << c.in.W;

        const TPoint3D q = CartesianPoint3D(TPoint3D{c.in.X, c.in.Y, 6, c.in.W});
        EXPECT_EQ(q.X, c.out.X);
        EXPECT_EQ(q.W, c.out.W);
        EXPECT_EQ(q.Z, c.in.W == 0 || c.in.W == 1 ? 6.0 : 6.0 / c.in.W);
    }
}

TEST(Points, VectorFromPointsMakesCartesianOnlyWhenWeightsDiffer)
{
    // Equal weights are subtracted as stored, without division.
    TVector2D v = VectorFromPoints2D(TPoint2D{2, 2, 2}, TPoint2D{6, 10, 2});
    EXPECT_EQ(v.X, 4.0);
    EXPECT_EQ(v.Y, 8.0);
    v = VectorFromPoints2D(TPoint2D{1, 1, 1}, TPoint2D{6, 10, 2});
    EXPECT_EQ(v.X, 2.0);
    EXPECT_EQ(v.Y, 4.0);

    const TPoint2D s = SubtractPoints2D(TPoint2D{5, 7, 3}, TPoint2D{1, 2, 4});
    EXPECT_EQ(s.X, 4.0);
    EXPECT_EQ(s.W, 1.0);
    const TPoint2D a = AddVectorToPoint2D(TPoint2D{5, 7, 3}, MakeVector2D(1, -1));
    EXPECT_EQ(a.X, 6.0);
    EXPECT_EQ(a.Y, 6.0);
    EXPECT_EQ(a.W, 1.0);
    const TVector2D d = MakeDiffVector2D(5, 7, 1, 2);
    EXPECT_EQ(d.X, 4.0);
    EXPECT_EQ(d.Y, 5.0);
}

TEST(Points, NormalizeLeavesZeroVectorsAlone)
{
    const TVector2D z = NormalizeVector2D(MakeVector2D(0, 0));
    EXPECT_EQ(z.X, 0.0);
    EXPECT_EQ(z.Y, 0.0);
    const TVector2D n = NormalizeVector2D(MakeVector2D(3, -4));
    EXPECT_DOUBLE_EQ(n.X, 0.6);
    EXPECT_DOUBLE_EQ(n.Y, -0.8);
    const TVector3D z3 = NormalizeVector3D(TVector3D{});
    EXPECT_EQ(z3.Z, 0.0);
    EXPECT_DOUBLE_EQ(VectorLength3D(NormalizeVector3D(MakeVector3D(1, 2, 2))), 1.0);
    EXPECT_DOUBLE_EQ(VectorLength3D(MakeVector3D(1, 2, 2)), 3.0);
}

TEST(Points, RotationsAndProductsFollowTheRightHand)
{
    const TVector2D r = RotateVector2D(MakeVector2D(1, 0), std::numbers::pi / 2);
    EXPECT_NEAR(r.X, 0.0, 1e-15);
    EXPECT_NEAR(r.Y, 1.0, 1e-15);
    const TVector2D p = PolarPoint2D(MakeVector2D(10, 20), std::numbers::pi, 2);
    EXPECT_NEAR(p.X, 8.0, 1e-15);
    EXPECT_NEAR(p.Y, 20.0, 1e-15);

    const TVector3D c = CrossProduct3D(MakeVector3D(1, 0, 0), MakeVector3D(0, 1, 0));
    EXPECT_EQ(c.X, 0.0);
    EXPECT_EQ(c.Z, 1.0);
    EXPECT_EQ(DotProduct3D(MakeVector3D(1, 2, 3), MakeVector3D(4, -5, 6)), 12.0);
}

TEST(Points, IntersectRayPlane)
{
    const TVector4f down{0, 0, -1, 7};
    const TVector4f start{1, 2, 10, 9};
    const TVector4f origin{0, 0, 0, 0};
    const TVector4f up{0, 0, 1, 0};
    TVector4f r{5, 5, 5, 5};
    EXPECT_FLOAT_EQ(IntersectRayPlane(start, down, origin, up, r), 10.0f);
    EXPECT_FLOAT_EQ(r.X, 1.0f);
    EXPECT_FLOAT_EQ(r.Y, 2.0f);
    EXPECT_FLOAT_EQ(r.Z, 0.0f);
    EXPECT_EQ(r.W, 0.0f);

    // Parallel to the plane, or a NaN direction: 0 and the result untouched.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (const TVector4f& dir : {TVector4f{1, 0, 0, 0}, TVector4f{0, 0, nan, 0}}) {
        TVector4f untouched{5, 6, 7, 8};
        EXPECT_EQ(IntersectRayPlane(start, dir, origin, up, untouched), 0.0f);
        EXPECT_EQ(untouched.X, 5.0f);
        EXPECT_EQ(untouched.W, 8.0f);
    }

    // The result may be the ray start itself.
    TVector4f same = start;
    IntersectRayPlane(same, down, origin, up, same);
    EXPECT_FLOAT_EQ(same.Z, 0.0f);
    EXPECT_FLOAT_EQ(same.X, 1.0f);
}

}  // namespace points_test
