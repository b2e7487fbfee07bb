#include "core/geometry/Tri.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>

namespace tri_test {

namespace {

void Set(float (&v)[3], float x, float y, float z)
{
    v[0] = x;
    v[1] = y;
    v[2] = z;
}

TTri MakeTri(std::initializer_list<float> a, std::initializer_list<float> b, std::initializer_list<float> c)
{
    TTri t;
    std::copy(a.begin(), a.end(), t.A);
    std::copy(b.begin(), b.end(), t.B);
    std::copy(c.begin(), c.end(), t.C);
    return t;
}

} // namespace

TEST(Tri, CreatesZeroTriangleWithEmptyBox)
{
    const TTri t;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(t.A[i] + t.B[i] + t.C[i] + t.Normal[i] + t.NormalUp[i], 0.0f);
    EXPECT_FALSE(t.Box.Initialised);
}

TEST(Tri, ComputeNormalIsTheUnitCrossProductOfTheEdgesFromA)
{
    struct Case {
        const char* name;
        TTri tri;
        float n[3];
    };
    const float h = std::sqrt(0.5f);
    const Case cases[] = {
        {"counter-clockwise in XY", MakeTri({0, 0, 0}, {3, 0, 0}, {0, 5, 0}), {0, 0, 1}},
        {"clockwise in XY", MakeTri({0, 0, 0}, {0, 5, 0}, {3, 0, 0}), {0, 0, -1}},
        {"in XZ, away from A", MakeTri({1, 1, 1}, {3, 1, 1}, {1, 1, 3}), {0, -1, 0}},
        {"tilted", MakeTri({0, 0, 0}, {1, 0, 1}, {0, 1, 0}), {-h, 0, h}},
        {"collinear: zero, not NaN", MakeTri({0, 0, 0}, {1, 1, 1}, {2, 2, 2}), {0, 0, 0}},
        {"all vertices equal", MakeTri({4, 4, 4}, {4, 4, 4}, {4, 4, 4}), {0, 0, 0}},
    };
    for (Case c : cases) {
        c.tri.ComputeNormal();
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(c.tri.Normal[i], c.n[i], 1e-6f) << c.name << " component " << i;
    }
}

TEST(Tri, UpNormalTurnsOnlyDownwardNormalsAndKeepsTheNormal)
{
    struct Case {
        float n[3];
        float up[3];
    };
    const Case cases[] = {
        {{0.6f, 0.0f, -0.8f}, {-0.6f, -0.0f, 0.8f}},
        {{0.6f, 0.0f, 0.8f}, {0.6f, 0.0f, 0.8f}},
        {{0.0f, -1.0f, 0.0f}, {0.0f, -1.0f, 0.0f}}, // z = 0 counts as up
    };
    for (const Case& c : cases) {
        TTri t;
        Set(t.Normal, c.n[0], c.n[1], c.n[2]);
        t.UpNormal();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(t.NormalUp[i], c.up[i]);
            EXPECT_EQ(t.Normal[i], c.n[i]);
        }
    }
}

TEST(Tri, UpdateBoxForgetsTheOldBoxAndSpansTheVertices)
{
    TTri t = MakeTri({1, -2, 3}, {-4, 5, 0}, {2, 0, -6});
    const float far[3] = {100, 100, 100};
    t.Box.AddPoint(far);
    t.UpdateBox();
    EXPECT_TRUE(t.Box.Initialised);
    const float expected[6] = {-4, 2, -2, 5, -6, 3};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(t.Box.Value(i), expected[i]) << "value " << i;
}

TEST(BBox, AddTriangleStartsFromTheFirstVertexNotFromTheZeroCorners)
{
    // All vertices above the origin: a box that kept its (0,0,0) corners
    // would report min 0.
    const TTri t = MakeTri({2, 3, 4}, {5, 3, 4}, {2, 7, 9});
    TBBox box;
    box.AddTriangle(t);
    EXPECT_EQ(box.Min[0], 2.0f);
    EXPECT_EQ(box.Min[1], 3.0f);
    EXPECT_EQ(box.Min[2], 4.0f);
    EXPECT_EQ(box.Max[0], 5.0f);
    EXPECT_EQ(box.Max[1], 7.0f);
    EXPECT_EQ(box.Max[2], 9.0f);

    // A second triangle only widens.
    box.AddTriangle(MakeTri({3, 4, 5}, {1, 4, 5}, {3, 4, 10}));
    EXPECT_EQ(box.Min[0], 1.0f);
    EXPECT_EQ(box.Max[2], 10.0f);
    EXPECT_EQ(box.Min[1], 3.0f);

    // After Reset the next point starts over.
    box.Reset();
    const float p[3] = {-1, -1, -1};
    box.AddPoint(p);
    EXPECT_EQ(box.Max[0], -1.0f);
    EXPECT_EQ(box.Min[2], -1.0f);
}

TEST(BBox, ValueIndexesTheSixExtentsAndGivesMinusOneOutside)
{
    const TBBox box(1, 2, 3, 4, 5, 6);
    EXPECT_TRUE(box.Initialised);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(box.Value(i), static_cast<float>(i + 1));
    EXPECT_EQ(box.Value(-1), -1.0f);
    EXPECT_EQ(box.Value(6), -1.0f);
    EXPECT_FALSE(TBBox().Initialised);
    EXPECT_EQ(TBBox().Value(1), 0.0f);
}

}  // namespace tri_test
