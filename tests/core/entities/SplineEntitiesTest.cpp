// The spline entities: the drawn B-spline and the imported NURBS. Their
// profiles against independently computed curves, sample counts, stored
// records (hand-built bytes), damaged splines, copies and duplicates.

#include "core/entities/BSpline2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/DuplicateObject.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/QVBSpline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/geometry/SplineMath.h"
#include "core/file/Stream.h"
#include "core/geometry/Tolerance.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <vector>

namespace spline_entities_test {

using kbtest::TBytes;

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

std::vector<TPoint2D> Pts(std::initializer_list<std::pair<double, double>> xy)
{
    std::vector<TPoint2D> points;
    for (auto [x, y] : xy)
        points.push_back(MakePoint2D(x, y));
    return points;
}

// The profile in the entity's own coordinates.
std::vector<TPoint2D> Profile(TCurve2D& curve)
{
    TProfilePointsUse use(curve);
    const auto points = curve.ProfilePoints().Points();
    return {points.begin(), points.end()};
}

// The profile in drawing coordinates.
std::vector<TPoint2D> DrawnProfile(TCurve2D& curve)
{
    TProfilePointsUse use(curve);
    const TMatrix4 m = curve.GetModelTransform();
    std::vector<TPoint2D> points;
    for (const TPoint2D& p : curve.ProfilePoints().Points())
        points.push_back(CartesianPoint2D(m.TransformPoint2D(p)));
    return points;
}

void ExpectSamePoints(const std::vector<TPoint2D>& actual, const std::vector<TPoint2D>& expected, double tol = 0)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i].X, expected[i].X, tol) << "point " << i;
        EXPECT_NEAR(actual[i].Y, expected[i].Y, tol) << "point " << i;
    }
}

// N(i, r, t) of the drawn spline's knots by the recursive definition.
double OpenKnot(int j, int n, int k)
{
    return j < k ? 0.0 : j > n ? n - k + 2.0 : j - k + 1.0;
}
double Basis(int i, int r, double t, int n, int k)
{
    if (r == 1)
        return OpenKnot(i, n, k) <= t && t < OpenKnot(i + 1, n, k) ? 1.0 : 0.0;
    double sum = 0.0;
    const double d1 = OpenKnot(i + r - 1, n, k) - OpenKnot(i, n, k);
    if (d1 != 0.0)
        sum += (t - OpenKnot(i, n, k)) * Basis(i, r - 1, t, n, k) / d1;
    const double d2 = OpenKnot(i + r, n, k) - OpenKnot(i + 1, n, k);
    if (d2 != 0.0)
        sum += (OpenKnot(i + r, n, k) - t) * Basis(i + 1, r - 1, t, n, k) / d2;
    return sum;
}
TPoint2D OpenUniformCurve(const std::vector<TPoint2D>& points, int k, double t)
{
    const int n = static_cast<int>(points.size()) - 1;
    TPoint2D c{0, 0, 1};
    for (int i = 0; i <= n; ++i) {
        const double b = Basis(i, k, t, n, k);
        c.X += b * points[i].X;
        c.Y += b * points[i].Y;
    }
    return c;
}

TPoint2D Bezier(const std::vector<TPoint2D>& p, double u)
{
    const double s = 1 - u;
    const double b[4] = {s * s * s, 3 * u * s * s, 3 * u * u * s, u * u * u};
    TPoint2D c{0, 0, 1};
    for (int j = 0; j < 4; ++j) {
        c.X += b[j] * p[j].X;
        c.Y += b[j] * p[j].Y;
    }
    return c;
}

TPoint2D UniformCubic(const std::vector<TPoint2D>& p, double t)
{
    const double s = 1 - t;
    const double b[4] = {s * s * s / 6, (3 * t * t * t - 6 * t * t + 4) / 6, (-3 * t * t * t + 3 * t * t + 3 * t + 1) / 6,
                         t * t * t / 6};
    TPoint2D c{0, 0, 1};
    for (int j = 0; j < 4; ++j) {
        c.X += b[j] * p[j].X;
        c.Y += b[j] * p[j].Y;
    }
    return c;
}

std::unique_ptr<TQVBSpline2D> MakeNurbs(const std::vector<TPoint2D>& points, int degree,
                                        const std::vector<double>& knots, const std::vector<double>& weights,
                                        int16_t segments)
{
    auto spline = std::make_unique<TQVBSpline2D>(-1, points);
    spline->SetDegree(degree);
    for (double k : knots)
        spline->AddKnot(k);
    for (double w : weights)
        spline->AddWeight(w);
    spline->SetSegments(segments);
    spline->UpdateBounds();
    return spline;
}

// Binds "MaxCurveSeg" for the scope of a test.
struct TMaxCurveSegScope {
    explicit TMaxCurveSegScope(int32_t value) : Value(value) { BindTolerances(nullptr, nullptr, &Value); }
    ~TMaxCurveSegScope() { BindTolerances(nullptr, nullptr, nullptr); }
    int32_t Value;
};

// The record heads as the file layout has them: object (ID 42, layer 7,
// visible and enabled, identity transform), control points, curve.
void ObjectHead(TBytes& b, const std::vector<TPoint2D>& points, int16_t segments, uint8_t keep)
{
    b.I32(42).U8(7).U8(0x03);
    for (int i = 0; i < 16; ++i)
        b.F64(i % 5 == 0 ? 1.0 : 0.0);
    b.I16(static_cast<int16_t>(points.size()));
    for (const TPoint2D& p : points)
        b.F64(p.X).F64(p.Y).F64(p.W);
    b.U8(1); // growable
    b.I16(segments).U8(keep);
}

struct TNurbsRecord {
    std::vector<TPoint2D> Points;
    int32_t Degree = 3;
    std::vector<double> Knots;
    std::vector<double> Weights;
    int16_t Segments = 10;
    uint8_t Flags[5] = {0, 0, 1, 1, 0};
};
TBytes NurbsBytes(const TNurbsRecord& r)
{
    TBytes b;
    ObjectHead(b, r.Points, r.Segments, 1);
    for (uint8_t f : r.Flags)
        b.U8(f);
    b.I32(r.Degree);
    b.I32(static_cast<int32_t>(r.Knots.size()));
    for (double k : r.Knots)
        b.F64(k);
    b.I32(static_cast<int32_t>(r.Weights.size()));
    for (double w : r.Weights)
        b.F64(w);
    return b;
}

const std::vector<TPoint2D> BezierPoints = Pts({{0, 0}, {1, 2}, {3, 3}, {4, 0}});
const std::vector<double> ClampedCubic{0, 0, 0, 0, 1, 1, 1, 1};

struct SplineRecords : ::testing::Test {
    SplineRecords() { RegisterEntityClasses(); }
    ~SplineRecords() override { QV_00ClearClassRegistry(); }

    static std::unique_ptr<TGraphicObject> Read(uint16_t classId, const TBytes& bytes)
    {
        TMemoryStream in(bytes.Data());
        auto object = QV_00FindClassByIndex(classId).CreateFromStream(in, "QV-3.6");
        EXPECT_EQ(in.Position(), in.Size());
        return object;
    }
    static std::vector<uint8_t> Written(TGraphicObject& object)
    {
        TMemoryStream out;
        object.SaveToStream(out);
        return out.Data();
    }
};

} // namespace

TEST(BSpline2D, ProfileSamplesTheOpenUniformCurveAndEndsOnTheLastPoint)
{
    const auto points = Pts({{0, 0}, {2, 4}, {6, 4}, {8, 0}});
    TBSpline2D spline(1, points);
    EXPECT_EQ(spline.Order(), 3);
    EXPECT_EQ(spline.Segments(), 50);
    EXPECT_TRUE(spline.Points().Growable());

    // Knots 0, 0, 0, 1, 2, 2, 2: t runs 0 .. 2 in steps of 0.04, then the
    // last control point itself.
    std::vector<TPoint2D> expected;
    for (int i = 0; i < 50; ++i)
        expected.push_back(OpenUniformCurve(points, 3, 0.04 * i));
    expected.push_back(points.back());
    const auto profile = Profile(spline);
    ExpectSamePoints(profile, expected, 1e-12);
    EXPECT_EQ(profile.front().X, 0.0);
    EXPECT_EQ(profile.front().Y, 0.0);

    // The box is the profile's; the curve touches the top edge of the
    // control polygon only at its middle, (4, 4).
    EXPECT_DOUBLE_EQ(spline.Box().FirstEdge.X, 0.0);
    EXPECT_DOUBLE_EQ(spline.Box().SecondEdge.X, 8.0);
    EXPECT_DOUBLE_EQ(spline.Box().SecondEdge.Y, 4.0);
    EXPECT_NEAR(profile[25].X, 4.0, 1e-12);
    EXPECT_NEAR(profile[25].Y, 4.0, 1e-12);
    EXPECT_LT(profile[24].Y, 4.0);

    // Moved, the box moves with the profile.
    spline.Transform(TMatrix4::CreateTranslation(0, -10, 0));
    EXPECT_DOUBLE_EQ(spline.Box().SecondEdge.Y, -6.0);
}

TEST(BSpline2D, OrderSetsTheRangeAndUnusableSplinesShowTheirControlPolygon)
{
    const auto five = Pts({{0, 0}, {2, 4}, {5, 5}, {7, 1}, {9, 3}});
    struct Case {
        const char* name;
        std::vector<TPoint2D> points;
        uint8_t order;
        bool curve;
    };
    const Case cases[] = {
        {"two points, order 3: the straight line", Pts({{0, 0}, {4, 2}}), 3, false},
        {"order 4 runs over 0 .. n - 2", five, 4, true},
        {"order 2 runs over 0 .. n", five, 2, true},
        {"order 5 equals the point count", five, 5, true},
        {"order 0", five, 0, false},
        {"order above the count", five, 6, false},
        {"order above the degree limit", std::vector<TPoint2D>(40, MakePoint2D(1, 1)), kMaxSplineDegree + 2, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBSpline2D spline(1, c.points);
        spline.SetSegments(20);
        spline.SetOrder(c.order);
        EXPECT_EQ(spline.CanEvaluate(), c.curve);
        const auto profile = Profile(spline);
        if (!c.curve) {
            ExpectSamePoints(profile, c.points);
            continue;
        }
        const int n = static_cast<int>(c.points.size()) - 1;
        std::vector<TPoint2D> expected;
        for (int i = 0; i < 20; ++i)
            expected.push_back(OpenUniformCurve(c.points, c.order, i / 20.0 * (n - c.order + 2)));
        expected.push_back(c.points.back());
        ExpectSamePoints(profile, expected, 1e-12);
    }
}

TEST(QVBSpline2D, ProfilesFollowIndependentlyComputedCurves)
{
    const auto uniformPoints = Pts({{0, 0}, {1, 3}, {4, 3}, {5, 0}});
    struct Case {
        const char* name;
        std::vector<TPoint2D> points;
        std::vector<double> knots;
        std::vector<double> weights;
        std::function<TPoint2D(double)> curve; // of the sample fraction 0 .. 1
    };
    const Case cases[] = {
        {"clamped cubic: the Bezier curve", BezierPoints, ClampedCubic, {1, 1, 1, 1},
         [](double f) { return Bezier(BezierPoints, f); }},
        {"unweighted: weights 1 are added", BezierPoints, ClampedCubic, {},
         [](double f) { return Bezier(BezierPoints, f); }},
        {"unclamped uniform cubic: only its domain 3 .. 4", uniformPoints, {0, 1, 2, 3, 4, 5, 6, 7}, {1, 1, 1, 1},
         [&](double f) { return UniformCubic(uniformPoints, f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto spline = MakeNurbs(c.points, 3, c.knots, c.weights, 12);
        EXPECT_TRUE(spline->CanEvaluate());
        std::vector<TPoint2D> expected;
        for (int i = 0; i < 12; ++i)
            expected.push_back(c.curve(i / 11.0));
        const auto profile = Profile(*spline);
        ExpectSamePoints(profile, expected, 1e-12);
        EXPECT_EQ(spline->WeightsCount(), 4);
    }
    // The first and last samples of a clamped spline are its end points.
    auto bezier = MakeNurbs(BezierPoints, 3, ClampedCubic, {1, 1, 1, 1}, 12);
    const auto profile = Profile(*bezier);
    EXPECT_EQ(profile.front().X, 0.0);
    EXPECT_EQ(profile.back().X, 4.0);
    EXPECT_EQ(profile.back().Y, 0.0);
}

TEST(QVBSpline2D, RationalQuadraticIsACircleQuadrant)
{
    // Centre (2, 1), radius 5: from (7, 1) to (2, 6), corner weight cos 45.
    auto spline = MakeNurbs(Pts({{7, 1}, {7, 6}, {2, 6}}), 2, {0, 0, 0, 1, 1, 1}, {1, std::sqrt(0.5), 1}, 16);
    const auto profile = Profile(*spline);
    ASSERT_EQ(profile.size(), 16u);
    for (const TPoint2D& p : profile)
        EXPECT_NEAR(std::hypot(p.X - 2, p.Y - 1), 5.0, 1e-12);
    EXPECT_NEAR(profile.front().X, 7.0, 1e-12);
    EXPECT_NEAR(profile.back().Y, 6.0, 1e-12);
    EXPECT_NEAR(spline->Box().FirstEdge.X, 2.0, 1e-12);
    EXPECT_NEAR(spline->Box().SecondEdge.Y, 6.0, 1e-12);
}

TEST(QVBSpline2D, PeriodicClosedSplineSamplesItsDomainAndCloses)
{
    // A closed periodic quadratic: four control points and the first two
    // again, uniform knots -2 .. 6; the domain is 0 .. 4.
    auto spline = MakeNurbs(Pts({{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 0}, {0, 1}}), 2,
                            {-2, -1, 0, 1, 2, 3, 4, 5, 6}, {1, 1, 1, 1, 1, 1}, 9);
    const auto profile = Profile(*spline);
    ASSERT_EQ(profile.size(), 9u);
    // Each half-step lands on an edge midpoint or between them.
    EXPECT_NEAR(profile.front().X, 0.5, 1e-12);
    EXPECT_NEAR(profile.front().Y, 0.5, 1e-12);
    EXPECT_NEAR(profile[2].X, -0.5, 1e-12);
    EXPECT_NEAR(profile[2].Y, 0.5, 1e-12);
    EXPECT_NEAR(profile.back().X, profile.front().X, 1e-12);
    EXPECT_NEAR(profile.back().Y, profile.front().Y, 1e-12);
    EXPECT_TRUE(spline->IsClosed());
}

TEST(QVBSpline2D, SampleCountFollowsMaxCurveSegAndRisesToTheControlPoints)
{
    std::vector<TPoint2D> hundred;
    std::vector<double> hundredKnots{0, 0, 0, 0};
    for (int i = 0; i < 100; ++i)
        hundred.push_back(MakePoint2D(i, i % 3));
    for (int i = 1; i <= 96; ++i)
        hundredKnots.push_back(i);
    hundredKnots.insert(hundredKnots.end(), {97, 97, 97});

    struct Case {
        const char* name;
        int32_t maxCurveSeg;
        const std::vector<TPoint2D>& points;
        const std::vector<double>& knots;
        int16_t segmentsAfter;
        size_t profilePoints;
    };
    const Case cases[] = {
        {"the configured segments", 20, BezierPoints, ClampedCubic, 20, 20},
        {"a larger setting", 200, BezierPoints, ClampedCubic, 200, 200},
        {"raised to the control-point count and kept", 50, hundred, hundredKnots, 100, 100},
        {"no segments, no profile", 0, BezierPoints, ClampedCubic, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMaxCurveSegScope setting(c.maxCurveSeg);
        TQVBSpline2D spline(1, c.points);
        EXPECT_EQ(spline.Segments(), c.maxCurveSeg);
        for (double k : c.knots)
            spline.AddKnot(k);
        spline.UpdateBounds();
        EXPECT_EQ(spline.Segments(), c.segmentsAfter);
        if (c.profilePoints == 0) {
            EXPECT_FALSE(spline.HasProfile());
            EXPECT_EQ(spline.Box().SecondEdge.X, 0.0);
            continue;
        }
        EXPECT_EQ(Profile(spline).size(), c.profilePoints);
        spline.UpdateBounds();
        EXPECT_EQ(Profile(spline).size(), c.profilePoints) << "the raise persists";
    }
}

TEST_F(SplineRecords, ReadFromHandBuiltBytesAndWrittenBackUnchanged)
{
    // A B-spline of order 4 with 30 segments, profile not kept.
    const auto five = Pts({{0, 0}, {2, 4}, {5, 5}, {7, 1}, {9, 3}});
    TBytes bspline;
    ObjectHead(bspline, five, 30, 0);
    bspline.U8(4);
    auto b = Read(13, bspline);
    auto& drawn = dynamic_cast<TBSpline2D&>(*b);
    EXPECT_EQ(drawn.ID(), 42);
    EXPECT_EQ(drawn.Layer(), 7);
    EXPECT_EQ(drawn.Order(), 4);
    EXPECT_EQ(drawn.Segments(), 30);
    EXPECT_FALSE(drawn.KeepProfile());
    EXPECT_EQ(Profile(drawn).size(), 31u);
    EXPECT_EQ(Written(drawn), bspline.Data());

    // A rational quadratic with every flag byte distinct from its neighbour.
    TNurbsRecord r;
    r.Points = {TPoint2D{7, 1, 1}, TPoint2D{7, 6, 1}, TPoint2D{2, 6, 1}};
    r.Degree = 2;
    r.Knots = {0, 0, 0, 1, 1, 1};
    r.Weights = {1, std::sqrt(0.5), 1};
    r.Flags[0] = 1;
    r.Flags[4] = 1;
    const TBytes nurbsBytes = NurbsBytes(r);
    auto n = Read(19, nurbsBytes);
    auto& nurbs = dynamic_cast<TQVBSpline2D&>(*n);
    EXPECT_EQ(nurbs.Flags().Closed, 1);
    EXPECT_EQ(nurbs.Flags().Periodic, 0);
    EXPECT_EQ(nurbs.Flags().Rational, 1);
    EXPECT_EQ(nurbs.Flags().Planar, 1);
    EXPECT_EQ(nurbs.Flags().Linear, 1);
    EXPECT_EQ(nurbs.Degree(), 2);
    EXPECT_EQ(nurbs.KnotCount(), 6);
    EXPECT_EQ(nurbs.ControlPointCount(), 3);
    EXPECT_EQ(nurbs.Dimension(), 3);
    EXPECT_EQ(std::vector<double>(nurbs.Knots().Values().begin(), nurbs.Knots().Values().end()), r.Knots);
    ASSERT_EQ(nurbs.ControlVertices().Count(), 3);
    EXPECT_EQ(nurbs.GetControlVertex(1).X, 7.0);
    EXPECT_EQ(nurbs.GetControlVertex(1).Y, 6.0);
    EXPECT_EQ(nurbs.GetControlVertex(1).Z, 0.0);
    EXPECT_EQ(nurbs.SecondVertices().Count(), 0);
    EXPECT_TRUE(nurbs.CanEvaluate());
    EXPECT_EQ(Profile(nurbs).size(), 10u);
    EXPECT_EQ(Written(nurbs), nurbsBytes.Data());
}

TEST_F(SplineRecords, DamagedSplinesLoadShowTheirControlPolygonAndSaveUnchanged)
{
    struct Case {
        const char* name;
        int32_t degree;
        std::vector<double> knots;
        std::vector<double> weights;
    };
    const std::vector<double> unit{1, 1, 1, 1};
    const Case cases[] = {
        {"no knots", 3, {}, unit},
        {"too few knots", 3, {0, 0, 0, 1, 1, 1}, unit},
        {"decreasing knots", 3, {0, 0, 0, 0, 1, 0.5, 1, 1}, unit},
        {"a NaN knot", 3, {0, 0, 0, NaN, 1, 1, 1, 1}, unit},
        {"an infinite knot", 3, {0, 0, 0, 0, 1, 1, 1, std::numeric_limits<double>::infinity()}, unit},
        {"all knots equal", 3, {1, 1, 1, 1, 1, 1, 1, 1}, unit},
        {"more knots than the points can carry", 1, {0, 0, 1, 2, 3, 4, 4}, unit},
        {"negative degree", -2, ClampedCubic, unit},
        {"huge degree", 1000000, ClampedCubic, unit},
        {"a zero weight", 3, ClampedCubic, {1, 0, 1, 1}},
        {"a negative weight", 3, ClampedCubic, {1, -1, 1, 1}},
        {"a NaN weight", 3, ClampedCubic, {1, NaN, 1, 1}},
    };
    kbtest::TRecordingViewServices view;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TNurbsRecord r;
        r.Points = BezierPoints;
        r.Degree = c.degree;
        r.Knots = c.knots;
        r.Weights = c.weights;
        const TBytes bytes = NurbsBytes(r);
        std::unique_ptr<TGraphicObject> object;
        ASSERT_NO_THROW(object = Read(19, bytes));
        auto& spline = dynamic_cast<TQVBSpline2D&>(*object);
        EXPECT_FALSE(spline.CanEvaluate());
        ExpectSamePoints(Profile(spline), BezierPoints);
        EXPECT_DOUBLE_EQ(spline.Box().SecondEdge.Y, 3.0);

        ASSERT_NO_THROW(spline.Draw());
        const auto* lines = view.Scene.As<TSceneLines>(spline.SceneNode());
        ASSERT_NE(lines, nullptr);
        ASSERT_EQ(lines->Nodes.size(), BezierPoints.size());
        EXPECT_EQ(lines->Nodes[1].Y, 2.0);

        EXPECT_EQ(Written(spline), bytes.Data());
    }
}

TEST_F(SplineRecords, BrokenStreamsRaiseClearErrors)
{
    TNurbsRecord r;
    r.Points = BezierPoints;
    r.Knots = ClampedCubic;
    r.Weights = {1, 1, 1, 1};
    const std::vector<uint8_t> whole = NurbsBytes(r).Data();
    // The knot count sits after the object head (4 + 1 + 1 + 128), the
    // points (2 + 4 x 24 + 1), the curve (2 + 1), the flags and the degree.
    const size_t knotCountAt = 134 + 99 + 3 + 5 + 4;

    auto read = [](std::vector<uint8_t> bytes) {
        TMemoryStream in(std::move(bytes));
        return QV_00FindClassByIndex(19).CreateFromStream(in, "QV-3.6");
    };
    auto withKnotCount = [&](int32_t count) {
        std::vector<uint8_t> bytes = whole;
        for (int i = 0; i < 4; ++i)
            bytes[knotCountAt + i] = static_cast<uint8_t>(static_cast<uint32_t>(count) >> (8 * i));
        return bytes;
    };

    // A list whose count the rest of the stream cannot hold is refused
    // before anything is allocated; a record that ends before a count is a
    // read error.
    EXPECT_THROW(read(std::vector<uint8_t>(whole.begin(), whole.begin() + knotCountAt + 20)), ECADFileNotValid);
    EXPECT_THROW(read(std::vector<uint8_t>(whole.begin(), whole.end() - 3)), ECADFileNotValid);
    EXPECT_THROW(read(withKnotCount(0x7FFFFFFF)), ECADFileNotValid);
    EXPECT_THROW(read(std::vector<uint8_t>(whole.begin(), whole.begin() + knotCountAt - 2)), EStreamReadError);
    // One knot more than stored: the weights count is then read from the
    // bytes of the first weight, a count the stream cannot hold.
    EXPECT_THROW(read(withKnotCount(9)), ECADFileNotValid);

    // A negative count reads as no knots; the rest of the record is then
    // read from where the count ended, which here leaves bytes unread.
    std::vector<uint8_t> noKnots(whole.begin(), whole.begin() + knotCountAt);
    TBytes tail;
    tail.I32(-1).I32(0);
    noKnots.insert(noKnots.end(), tail.Data().begin(), tail.Data().end());
    auto object = read(noKnots);
    auto& spline = dynamic_cast<TQVBSpline2D&>(*object);
    EXPECT_EQ(spline.KnotCount(), 0);
    EXPECT_EQ(spline.WeightsCount(), 0);
    ExpectSamePoints(Profile(spline), BezierPoints);
}

TEST(QVBSpline2D, ImportFlowListsAndAssign)
{
    // The DXF import's way: an empty spline, vertices filled one by one.
    auto imported = TQVBSpline2D::CreateEmpty();
    EXPECT_EQ(imported->ID(), -1);
    ASSERT_EQ(imported->Points().Count(), 1);
    TVector3D& v = imported->AddControlVertex();
    v.X = 3;
    imported->LatestControlVertex().Y = 4;
    EXPECT_EQ(imported->GetControlVertex(0).X, 3.0);
    EXPECT_EQ(imported->GetControlVertex(0).Y, 4.0);
    EXPECT_THROW(imported->GetControlVertex(1), ECADOutOfBound);
    const TSplineFlags flags = SplineFlagsFromDxf(1 | 4 | 16);
    EXPECT_EQ(flags.Closed, 1);
    EXPECT_EQ(flags.Periodic, 0);
    EXPECT_EQ(flags.Rational, 1);
    EXPECT_EQ(flags.Planar, 0);
    EXPECT_EQ(flags.Linear, 1);

    TDoubleList list;
    EXPECT_THROW(list.Last(), ECADOutOfBound);
    EXPECT_EQ(list.Add(2.5), 0);
    list.AddFrom(list);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Last(), 2.5);
    EXPECT_THROW(list.Get(2), ECADOutOfBound);

    // Assign replaces the target's own lists instead of appending to them.
    auto source = MakeNurbs(BezierPoints, 3, ClampedCubic, {1, 2, 2, 1}, 12);
    TSplineFlags sourceFlags;
    sourceFlags.Periodic = 1;
    source->SetFlags(sourceFlags);
    source->SecondVertices().AddXYZ(1, 2, 3);
    auto target = MakeNurbs(Pts({{0, 0}, {1, 1}, {2, 0}}), 2, {0, 0, 0, 1, 1, 1}, {1, 1, 1}, 30);
    target->Assign(*source);
    EXPECT_EQ(target->Degree(), 3);
    EXPECT_EQ(target->Flags().Periodic, 1);
    EXPECT_EQ(target->Knots().Count(), 8);
    EXPECT_EQ(target->WeightsCount(), 4);
    EXPECT_EQ(target->ControlVertices().Count(), 4);
    EXPECT_EQ(target->SecondVertices().Count(), 1);
    EXPECT_EQ(target->Segments(), 12);
    EXPECT_TRUE(target->Points().Growable());
    ExpectSamePoints(Profile(*target), Profile(*source), 1e-12);
    target->Assign(*target);
    EXPECT_EQ(target->Knots().Count(), 8);

    // The drawn spline takes the order and the points.
    TBSpline2D drawn(1, Pts({{0, 0}, {1, 1}, {2, 0}, {3, 1}, {4, 0}}));
    drawn.SetOrder(4);
    TBSpline2D copy(2, Pts({{9, 9}}));
    copy.Assign(drawn);
    EXPECT_EQ(copy.Order(), 4);
    ExpectSamePoints(Profile(copy), Profile(drawn), 1e-12);
}

TEST(SplineDuplicate, CopiesKeepTheDrawnCurve)
{
    TQV_01Cmp2D doc;
    TMatrix4 m = TMatrix4::CreateScale(2, 2, 1);
    m.Translate(10, 0, 0);

    auto* drawn = doc.AddObjectOnLayer(-1, 4, std::make_unique<TBSpline2D>(-1, Pts({{0, 0}, {1, 2}, {3, 2}, {4, 0}, {5, 1}})));
    drawn->SetSegments(30);
    drawn->SetOrder(4);
    drawn->Transform(m);
    auto& drawnCopy = dynamic_cast<TBSpline2D&>(*doc.GetObject(DuplicateObjectTransformed(doc, *drawn)));
    EXPECT_EQ(drawnCopy.Layer(), 4);
    EXPECT_FALSE(drawnCopy.HasTransform());
    EXPECT_EQ(drawnCopy.Order(), 4);
    EXPECT_EQ(drawnCopy.Segments(), 30);
    EXPECT_EQ(drawnCopy.Points().Get(1).X, 12.0);
    EXPECT_EQ(drawnCopy.Points().Get(1).Y, 4.0);
    ExpectSamePoints(DrawnProfile(drawnCopy), DrawnProfile(*drawn), 1e-9);

    auto* nurbs = doc.AddObjectOnLayer(-1, 5, MakeNurbs(BezierPoints, 3, ClampedCubic, {1, 2, 2, 1}, 12));
    nurbs->Transform(m);
    auto& nurbsCopy = dynamic_cast<TQVBSpline2D&>(*doc.GetObject(DuplicateObjectTransformed(doc, *nurbs)));
    EXPECT_EQ(nurbsCopy.Layer(), 5);
    EXPECT_NE(nurbsCopy.ID(), nurbs->ID());
    EXPECT_EQ(nurbsCopy.Knots().Count(), 8);
    EXPECT_EQ(nurbsCopy.Points().Get(1).X, 1.0) << "the points stay, the transform travels";
    ASSERT_NE(nurbsCopy.ModelTransform(), nullptr);
    ExpectSamePoints(DrawnProfile(nurbsCopy), DrawnProfile(*nurbs), 1e-9);
}

}  // namespace spline_entities_test
