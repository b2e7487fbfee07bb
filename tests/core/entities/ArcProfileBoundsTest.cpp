// The boxes and profiles of arcs and circles, checked point by point against
// the profile computed here from the curve's centre, radius and angles: the
// box must be exactly that of the profile points, whether or not the profile
// has been built yet, and the profile, when read, must be the one the box
// was taken from. The cases cover full turns, tiny arcs, arcs across every
// quarter turn, clockwise arcs, bulge arcs as the DXF import makes them, and
// arcs under a model transform.

#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/geometry/BulgeArc.h"
#include "core/geometry/Geometry.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <string>
#include <thread>
#include <vector>

namespace arc_profile_bounds_test {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDeg = kPi / 180.0;

// The arc's profile as the arc's rules define it: n equal steps from the
// start angle counter-clockwise (the angles measured from control points 2
// and 3), the last point exactly at the end angle; a clockwise arc mirrors
// the sine about the centre.
std::vector<TPoint2D> ExpectedArcProfile(const TArco2D& arc)
{
    TPoint2D c;
    double r = 0, start = 0, end = 0;
    arc.GetCenterRadiusAngles(c, r, start, end);
    const int n = arc.Segments();
    const double sweep = start < end ? end - start : 2 * kPi - start + end;
    const double step = sweep / n;
    const double sign = arc.IsCounterClockwise() ? 1.0 : -1.0;
    std::vector<TPoint2D> points;
    for (int k = 0; k <= n; ++k) {
        const double t = k < n ? start + k * step : end;
        points.push_back(MakePoint2D(c.X + r * std::cos(t), c.Y + sign * r * std::sin(t)));
    }
    return points;
}

// The circle's profile: clockwise from angle 0 in n steps, first and last
// point (cx + r, cy).
std::vector<TPoint2D> ExpectedCircleProfile(const TCerchio2D& circle)
{
    TPoint2D c;
    double r = 0;
    circle.GetCircle(c, r);
    const int n = circle.Segments();
    const double step = 2 * kPi / n;
    std::vector<TPoint2D> points{MakePoint2D(c.X + r, c.Y)};
    for (int k = 1; k < n; ++k)
        points.push_back(MakePoint2D(c.X + r * std::cos(k * step), c.Y - r * std::sin(k * step)));
    points.push_back(MakePoint2D(c.X + r, c.Y));
    return points;
}

// The box of the points through the curve's model transform.
TRect2D BoxOf(const std::vector<TPoint2D>& points, const TCurve2D& curve)
{
    TRect2D box{points[0], points[0]};
    for (const TPoint2D& p : points) {
        box.FirstEdge.X = std::min(box.FirstEdge.X, p.X);
        box.FirstEdge.Y = std::min(box.FirstEdge.Y, p.Y);
        box.SecondEdge.X = std::max(box.SecondEdge.X, p.X);
        box.SecondEdge.Y = std::max(box.SecondEdge.Y, p.Y);
    }
    return TransformRect2D(box, curve.GetModelTransform());
}

void ExpectSameBox(const TRect2D& actual, const TRect2D& expected)
{
    EXPECT_EQ(actual.FirstEdge.X, expected.FirstEdge.X);
    EXPECT_EQ(actual.FirstEdge.Y, expected.FirstEdge.Y);
    EXPECT_EQ(actual.SecondEdge.X, expected.SecondEdge.X);
    EXPECT_EQ(actual.SecondEdge.Y, expected.SecondEdge.Y);
}

// The box first (the profile not read yet), then the profile point by
// point, then the box again.
void ExpectProfileAndBox(TCurve2D& curve, const std::vector<TPoint2D>& expected)
{
    const TRect2D box = curve.Box();
    ExpectSameBox(box, BoxOf(expected, curve));
    EXPECT_TRUE(curve.HasProfile());
    const auto profile = curve.ProfilePoints().Points();
    ASSERT_EQ(profile.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(profile[k].X, expected[k].X) << "point " << k;
        EXPECT_EQ(profile[k].Y, expected[k].Y) << "point " << k;
    }
    ExpectSameBox(curve.Box(), box);
}

struct TArcCase {
    std::string Name;
    double Cx, Cy, R, StartDeg, EndDeg;
    uint8_t Direction = 1;
    int16_t Segments = TCurve2D::kDefaultSegments;
};

class ArcProfileBounds : public testing::TestWithParam<TArcCase> {};

TEST_P(ArcProfileBounds, BoxIsThatOfTheProfilePoints)
{
    const TArcCase& c = GetParam();
    TArco2D arc(1, MakePoint2D(c.Cx, c.Cy), MakePoint2D(c.Cx + c.R, c.Cy), c.StartDeg * kDeg, c.EndDeg * kDeg);
    arc.SetDirection(c.Direction);
    if (c.Segments != arc.Segments()) {
        arc.SetSegments(c.Segments);
        arc.UpdateBounds();
    }
    ExpectProfileAndBox(arc, ExpectedArcProfile(arc));
}

INSTANTIATE_TEST_SUITE_P(
    Arcs, ArcProfileBounds,
    testing::Values(TArcCase{"Quarter", 0, 0, 10, 0, 90}, TArcCase{"FullTurn", 3, -2, 5, 40, 40},
                    TArcCase{"FullTurnFromZero", 0, 0, 1, 0, 0}, TArcCase{"Across0", 1, 1, 2, 350, 10},
                    TArcCase{"Across90", 1, 1, 2, 80, 100}, TArcCase{"Across180", 1, 1, 2, 170, 190},
                    TArcCase{"Across270", 1, 1, 2, 260, 280}, TArcCase{"ThreeQuarters", -4, 7, 3, 15, 300},
                    TArcCase{"BenchArc", 5, 5, 2.5, 15, 200}, TArcCase{"TinyAcross0", 2, 2, 1, -1e-6, 1e-6},
                    TArcCase{"TinyAt45", 2, 2, 1, 45, 45 + 1e-7}, TArcCase{"TinyRadius", 7, 8, 1e-9, 30, 250},
                    TArcCase{"FarAway", 1e6, -3e6, 1e5, 100, 95}, TArcCase{"EndsOnQuarterTurns", 0, 0, 4, 90, 270},
                    TArcCase{"Clockwise", 2, 3, 4, 30, 120, 0}, TArcCase{"ClockwiseAcross0", 2, 3, 4, 300, 60, 0},
                    TArcCase{"OneSegment", 0, 0, 2, 10, 200, 1, 1}, TArcCase{"ThreeSegments", 0, 0, 2, 10, 350, 1, 3},
                    TArcCase{"ManySegments", 0, 0, 2, 10, 350, 1, 3000},
                    TArcCase{"ManySegmentsTiny", 0, 0, 2, -1e-3, 1e-3, 1, 2000}),
    [](const testing::TestParamInfo<TArcCase>& info) { return info.param.Name; });

TEST(ArcProfileBoundsExtra, BulgeArcsAsTheDxfImportMakesThem)
{
    struct TBulge {
        TPoint2D P1, P2;
        double Bulge;
    };
    const std::vector<TBulge> bulges = {
        {MakePoint2D(0, 0), MakePoint2D(2, 0), 1.0},      {MakePoint2D(0, 0), MakePoint2D(2, 0), -1.0},
        {MakePoint2D(6, 0), MakePoint2D(6, 3), 0.4},      {MakePoint2D(-1, 5), MakePoint2D(3, 1), -0.25},
        {MakePoint2D(0, 0), MakePoint2D(1, 1), 2e-3},     {MakePoint2D(1, 1), MakePoint2D(0, 0), -2e-3},
        {MakePoint2D(0, 0), MakePoint2D(0, 2), 3.0},      {MakePoint2D(4, 4), MakePoint2D(-4, 4), -5.0},
        {MakePoint2D(10, 10), MakePoint2D(10.5, 10), 0.9},
    };
    for (const TBulge& b : bulges) {
        SCOPED_TRACE("bulge " + std::to_string(b.Bulge));
        const std::optional<TBulgeArc> a = BulgeToArc(b.P1, b.P2, b.Bulge);
        ASSERT_TRUE(a);
        TArco2D arc(-1, a->Centre, MakePoint2D(a->Centre.X + a->Radius, a->Centre.Y), a->StartAngle, a->EndAngle);
        ExpectProfileAndBox(arc, ExpectedArcProfile(arc));
    }
}

TEST(ArcProfileBoundsExtra, CirclesOfEverySize)
{
    struct TCircle {
        double Cx, Cy, R;
        int16_t Segments;
    };
    for (const TCircle& c : std::vector<TCircle>{{0, 0, 1, 50}, {5, 5, 1.75, 50}, {-3, 2, 1e-9, 50},
                                                  {1e6, 1e6, 123.456, 50}, {1, 2, 3, 4}, {1, 2, 3, 7},
                                                  {1, 2, 3, 1}, {0.1, 0.2, 0.3, 999}}) {
        SCOPED_TRACE("circle r " + std::to_string(c.R) + " n " + std::to_string(c.Segments));
        TCerchio2D circle(1, MakePoint2D(c.Cx, c.Cy), MakePoint2D(c.Cx + c.R, c.Cy));
        circle.SetSegments(c.Segments);
        circle.UpdateBounds();
        ExpectProfileAndBox(circle, ExpectedCircleProfile(circle));
    }
}

TEST(ArcProfileBoundsExtra, TransformedArcAndCircleBoxesFollowTheProfile)
{
    TMatrix4 m = TMatrix4::CreateRotationZ(0.3, false);
    m.Mirror(0);
    m.Translate(4, -2, 0);
    TArco2D arc(1, MakePoint2D(1, 1), MakePoint2D(3, 1), 20 * kDeg, 250 * kDeg);
    arc.SetTransform(m);
    arc.UpdateBounds();
    ExpectProfileAndBox(arc, ExpectedArcProfile(arc));

    TCerchio2D circle(1, MakePoint2D(-1, 2), MakePoint2D(0.5, 2));
    circle.SetTransform(TMatrix4::CreateScale(2, 0.5, 1));
    circle.UpdateBounds();
    ExpectProfileAndBox(circle, ExpectedCircleProfile(circle));
}

TEST(ArcProfileBoundsExtra, ProfileFollowsEveryChangeAndCopy)
{
    TArco2D arc(1, MakePoint2D(0, 0), MakePoint2D(10, 0), 0.0, kPi / 2);
    ExpectProfileAndBox(arc, ExpectedArcProfile(arc)); // built once
    arc.SetEndAngle(kPi);
    ExpectProfileAndBox(arc, ExpectedArcProfile(arc)); // rebuilt for the new end
    arc.SetDirection(0);
    const std::unique_ptr<TGraphicObject> copy = arc.Clone(); // copied before the profile was read
    ExpectProfileAndBox(arc, ExpectedArcProfile(arc));
    auto& copied = dynamic_cast<TArco2D&>(*copy);
    ExpectProfileAndBox(copied, ExpectedArcProfile(copied));

    // Without the kept profile the box is the same, the profile exists only
    // in a bracket.
    arc.SetKeepProfile(false);
    EXPECT_FALSE(arc.HasProfile());
    ExpectSameBox(arc.Box(), BoxOf(ExpectedArcProfile(arc), arc));
    {
        TProfilePointsUse use(arc);
        EXPECT_EQ(arc.ProfilePointsCount(), arc.Segments() + 1);
    }
    EXPECT_FALSE(arc.HasProfile());
}

TEST(ArcProfileBoundsExtra, ThreadsReadingTheSameCurvesGetTheirProfiles)
{
    std::vector<std::unique_ptr<TCurve2D>> curves;
    for (int i = 0; i < 60; ++i) {
        curves.push_back(std::make_unique<TArco2D>(i, MakePoint2D(i, 0), MakePoint2D(i + 1.5, 0), i * 0.1, i * 0.1 + 2));
        curves.push_back(std::make_unique<TCerchio2D>(i, MakePoint2D(0, i), MakePoint2D(2.5, i)));
    }
    std::vector<std::vector<TPoint2D>> expected;
    for (const auto& curve : curves)
        expected.push_back(dynamic_cast<TArco2D*>(curve.get())
                               ? ExpectedArcProfile(dynamic_cast<const TArco2D&>(*curve))
                               : ExpectedCircleProfile(dynamic_cast<const TCerchio2D&>(*curve)));
    std::vector<int> mismatches(6, 0);
    std::vector<std::thread> readers;
    for (size_t t = 0; t < mismatches.size(); ++t)
        readers.emplace_back([&, t] {
            for (size_t i = 0; i < curves.size(); ++i) {
                const auto profile = curves[i]->ProfilePoints().Points();
                if (!std::equal(profile.begin(), profile.end(), expected[i].begin(), expected[i].end(),
                                [](const TPoint2D& a, const TPoint2D& b) { return a.X == b.X && a.Y == b.Y; }))
                    ++mismatches[t];
            }
        });
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(mismatches, std::vector<int>(mismatches.size(), 0));
}

// The nodes of the one lines object a curve's Draw makes.
std::vector<TVector3D> DrawnNodes(TCurve2D& curve)
{
    kbtest::TRecordingViewServices view;
    curve.Draw();
    const std::vector<TSceneNodeId> drawn = view.Scene.Children(view.Scene.Group(TSceneGroup::Entity));
    if (drawn.size() != 1)
        return {};
    const TSceneLines* lines = view.Scene.As<TSceneLines>(drawn.front());
    return lines ? lines->Nodes : std::vector<TVector3D>{};
}

void ExpectNodesAre(const std::vector<TVector3D>& nodes, const std::vector<TPoint2D>& expected)
{
    ASSERT_EQ(nodes.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(nodes[k].X, expected[k].X) << "node " << k;
        EXPECT_EQ(nodes[k].Y, expected[k].Y) << "node " << k;
        EXPECT_EQ(nodes[k].Z, 0.0) << "node " << k;
    }
}

// Drawn before anything read the profile, and again once it was read: the
// profile points to the last bit both times.
TEST(ArcProfileBoundsExtra, CurvesDrawTheirProfilePointsWhetherOrNotTheProfileWasBuilt)
{
    std::vector<std::unique_ptr<TCurve2D>> curves;
    for (const TArcCase& c : {TArcCase{"BenchArc", 5, 5, 2.5, 15, 200}, TArcCase{"Across0", 1, 1, 2, 350, 10},
                              TArcCase{"ClockwiseAcross0", 2, 3, 4, 300, 60, 0},
                              TArcCase{"FullTurn", 3, -2, 5, 40, 40}, TArcCase{"OneSegment", 0, 0, 2, 10, 200, 1, 1},
                              TArcCase{"ManySegments", 0, 0, 2, 10, 350, 1, 3000}}) {
        auto arc = std::make_unique<TArco2D>(1, MakePoint2D(c.Cx, c.Cy), MakePoint2D(c.Cx + c.R, c.Cy),
                                             c.StartDeg * kDeg, c.EndDeg * kDeg);
        arc->SetDirection(c.Direction);
        arc->SetSegments(c.Segments);
        arc->UpdateBounds();
        curves.push_back(std::move(arc));
    }
    for (const auto& [r, segments] : {std::pair{1.75, 50}, std::pair{1e-9, 50}, std::pair{3.0, 7}, std::pair{3.0, 1}}) {
        auto circle = std::make_unique<TCerchio2D>(1, MakePoint2D(5, 5), MakePoint2D(5 + r, 5));
        circle->SetSegments(static_cast<int16_t>(segments));
        circle->UpdateBounds();
        curves.push_back(std::move(circle));
    }
    // A number of segments stored after the last bounds update counts at
    // the next build, and so when drawn.
    auto changed = std::make_unique<TArco2D>(1, MakePoint2D(0, 0), MakePoint2D(3, 0), 0.5, 2.5);
    changed->SetSegments(9);
    curves.push_back(std::move(changed));

    for (const auto& curve : curves) {
        const auto* arc = dynamic_cast<const TArco2D*>(curve.get());
        SCOPED_TRACE(std::string(arc ? "arc" : "circle") + " of " + std::to_string(curve->Segments()) + " segments");
        const std::vector<TPoint2D> expected = arc ? ExpectedArcProfile(*arc)
                                                   : ExpectedCircleProfile(dynamic_cast<const TCerchio2D&>(*curve));
        ExpectNodesAre(DrawnNodes(*curve), expected);
        ASSERT_EQ(curve->ProfilePointsCount(), static_cast<int>(expected.size()));
        ExpectNodesAre(DrawnNodes(*curve), expected);
    }
}

TEST(ArcProfileBoundsExtra, TransformedAndEmptyCurvesDrawAsTheirBuiltProfile)
{
    TMatrix4 m = TMatrix4::CreateRotationZ(0.3, false);
    m.Translate(4, -2, 0);
    TArco2D arc(1, MakePoint2D(1, 1), MakePoint2D(3, 1), 20 * kDeg, 250 * kDeg);
    arc.SetTransform(m);
    arc.UpdateBounds();
    TCerchio2D circle(1, MakePoint2D(-1, 2), MakePoint2D(0.5, 2));
    circle.SetTransform(TMatrix4::CreateScale(2, 0.5, 1));
    circle.UpdateBounds();
    for (TCurve2D* curve : {static_cast<TCurve2D*>(&arc), static_cast<TCurve2D*>(&circle)}) {
        const std::vector<TVector3D> unbuilt = DrawnNodes(*curve);
        ASSERT_EQ(unbuilt.size(), 51u);
        curve->ProfilePoints();
        const std::vector<TVector3D> built = DrawnNodes(*curve);
        ASSERT_EQ(built.size(), unbuilt.size());
        for (size_t k = 0; k < built.size(); ++k) {
            EXPECT_EQ(unbuilt[k].X, built[k].X) << "node " << k;
            EXPECT_EQ(unbuilt[k].Y, built[k].Y) << "node " << k;
            EXPECT_EQ(unbuilt[k].Z, built[k].Z) << "node " << k;
        }
    }
    // No segments: no profile, nothing drawn.
    TArco2D flat(1, MakePoint2D(0, 0), MakePoint2D(1, 0), 0.0, 1.0);
    flat.SetSegments(0);
    EXPECT_TRUE(DrawnNodes(flat).empty());
    TCerchio2D dot(1, MakePoint2D(0, 0), MakePoint2D(1, 0));
    dot.SetSegments(0);
    EXPECT_TRUE(DrawnNodes(dot).empty());
}

} // namespace

}  // namespace arc_profile_bounds_test
