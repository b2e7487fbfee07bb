#include "cam/curves/ACerchio.h"
#include "cam/curves/ACurva.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// n + 1 points on the circle about (cx, cy), from angle a0 to a1.
TACurva SampledArc(double cx, double cy, double r, double a0, double a1, int n)
{
    TACurva c;
    for (int i = 0; i <= n; ++i) {
        const double a = a0 + (a1 - a0) * i / n;
        c.AddVertex(TAVertice::CreateAt({cx + r * std::cos(a), cy + r * std::sin(a)}, 0));
    }
    return c;
}

class ArcFit : public testing::Test {
protected:
    void SetUp() override
    {
        m_Saved = AreaTolerance;
        AreaTolerance = 0.0025;
    }
    void TearDown() override { AreaTolerance = m_Saved; }

private:
    double m_Saved = 0.0;
};

} // namespace

TEST_F(ArcFit, SampledCircleBecomesTwoHalfArcs)
{
    for (int dir : {1, -1}) {
        TACurva c = SampledArc(0, 0, 10, 0, dir * 2 * M_PI, 200);
        c.Vertices.back().EndPoint = c.Vertices.front().EndPoint;
        c.Closed = 1;
        c.FitArcs(0.1, 1000);
        ASSERT_EQ(c.Count(), 3) << dir;
        for (int i = 1; i < 3; ++i) {
            EXPECT_EQ(c.Vertices[i].Kind, dir);
            EXPECT_NEAR(c.Vertices[i].Centre.X, 0.0, 1e-9);
            EXPECT_NEAR(c.Vertices[i].Centre.Y, 0.0, 1e-9);
        }
        EXPECT_NEAR(c.Vertices[1].EndPoint.X, -10.0, 1e-9);
        EXPECT_NEAR(c.Vertices[2].EndPoint.X, 10.0, 1e-12);
        EXPECT_NEAR(c.SignedArea(), -dir * 100 * M_PI, 1e-6);
    }
}

TEST_F(ArcFit, RunsThatAreNotFitted)
{
    TACurva collinear;
    for (int i = 0; i < 5; ++i) {
        collinear.AddVertex(TAVertice::CreateAt({i * 1.0, 2.0 * i}, 0));
    }
    struct TCase {
        const char* Name;
        TACurva Curve;
    } cases[] = {
        {"coarse 12-gon", SampledArc(0, 0, 10, 0, M_PI, 6)},
        {"collinear chords", collinear},
        {"one chord", SampledArc(0, 0, 10, 0, 0.1, 1)},
    };
    for (TCase& c : cases) {
        const std::vector<TAVertice> before = c.Curve.Vertices;
        c.Curve.FitArcs(0.1, 1000);
        ASSERT_EQ(c.Curve.Vertices.size(), before.size()) << c.Name;
        for (size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(c.Curve.Vertices[i].Kind, 0) << c.Name;
            EXPECT_EQ(c.Curve.Vertices[i].EndPoint.X, before[i].EndPoint.X) << c.Name;
        }
    }
    // Collinear points next to the origin have no circle either.
    TACurva tiny;
    for (int i = 0; i < 3; ++i) {
        tiny.AddVertex(TAVertice::CreateAt({0.001 * i, 0}, 0));
    }
    tiny.FitArcs(0.1, 1000);
    EXPECT_EQ(tiny.Count(), 3);
}

TEST_F(ArcFit, FlatOrHugeArcsBecomeOneLine)
{
    // Sagitta 0.1^2 / (8 x 500): within the tolerance.
    TACurva flat = SampledArc(0, -500, 500, M_PI / 2 - 1e-4, M_PI / 2 + 1e-4, 4);
    flat.FitArcs(0.1, 1000);
    ASSERT_EQ(flat.Count(), 2);
    EXPECT_EQ(flat.Vertices[1].Kind, 0);
    EXPECT_NEAR(flat.Vertices[1].EndPoint.X, -500 * std::sin(1e-4), 1e-12);

    TACurva huge = SampledArc(0, 0, 50, 0, M_PI / 3, 100);
    huge.FitArcs(0.1, 20);
    ASSERT_EQ(huge.Count(), 2);
    EXPECT_EQ(huge.Vertices[1].Kind, 0);
    TACurva kept = SampledArc(0, 0, 50, 0, M_PI / 3, 100);
    kept.FitArcs(0.1, 1000);
    ASSERT_EQ(kept.Count(), 2);
    EXPECT_EQ(kept.Vertices[1].Kind, 1);
    EXPECT_NEAR(kept.Vertices[1].Centre.X, 0.0, 1e-6);
}

TEST_F(ArcFit, LinesAroundAnArcStayInPlace)
{
    TACurva c;
    c.AddVertex(TAVertice::CreateAt({-5, 0}, 0));
    c.AddVertex(TAVertice::CreateAt({0, 0}, 0));
    TACurva arc = SampledArc(0, 10, 10, -M_PI / 2, 0, 50);
    for (int i = 1; i <= 50; ++i) {
        c.AddVertex(arc.Vertices[i]);
    }
    c.AddVertex(TAVertice::CreateFull(1, {0, 20}, {0, 10}, 3));
    c.AddVertex(TAVertice::CreateAt({-5, 20}, 0));
    c.FitArcs(0.1, 1000);
    ASSERT_EQ(c.Count(), 5);
    EXPECT_EQ(c.Vertices[1].Kind, 0);
    EXPECT_EQ(c.Vertices[2].Kind, 1);
    EXPECT_NEAR(c.Vertices[2].EndPoint.X, 10.0, 1e-9);
    EXPECT_EQ(c.Vertices[3].Attribute, 3);
    EXPECT_EQ(c.Vertices[4].Kind, 0);
}

TEST(ArcFitCircle, ThroughThreePoints)
{
    const TACerchio c = TACerchio::CreateThrough3Points({1, 0}, {-1, 2}, {3, 2});
    EXPECT_NEAR(c.Centre.X, 1.0, 1e-12);
    EXPECT_NEAR(c.Centre.Y, 2.0, 1e-12);
    EXPECT_NEAR(c.Radius, 2.0, 1e-12);
    EXPECT_TRUE(c.IsChordOnCircle({1, 0}, {3, 2}, 0.6));
    EXPECT_FALSE(c.IsChordOnCircle({1, 0}, {3, 2}, 0.5));
    const TACerchio line = TACerchio::CreateThrough3Points({0, 0}, {1, 1}, {2, 2});
    EXPECT_EQ(line.Radius, 0.0);
}
