// Glyph outlines to integer strokes, on hand-built outlines.

#include "io/text/TTFConv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace ttf_conv_test {

namespace {

TVector2D V(double x, double y)
{
    return MakeVector2D(x, y);
}

TOutlineRecord Record(TOutlineRecordKind kind, std::vector<TVector2D> points)
{
    return TOutlineRecord{kind, std::move(points)};
}

TOutlineContour Contour(TVector2D start, std::vector<TOutlineRecord> records)
{
    return TOutlineContour{start, std::move(records)};
}

std::string Text(const TGlyphStroke& s)
{
    return std::to_string(s.Contour) + ":" + std::to_string(s.X1) + "," + std::to_string(s.Y1) + "-" +
           std::to_string(s.X2) + "," + std::to_string(s.Y2);
}

std::vector<std::string> Texts(const TStrokeCollection& strokes)
{
    std::vector<std::string> out;
    for (const TGlyphStroke& s : strokes.Strokes())
        out.push_back(Text(s));
    return out;
}

// The quadratic A, Q, C at t, written out independently.
TVector2D Quad(TVector2D a, TVector2D q, TVector2D c, double t)
{
    const double u = 1 - t;
    return V(u * u * a.X + 2 * u * t * q.X + t * t * c.X, u * u * a.Y + 2 * u * t * q.Y + t * t * c.Y);
}

} // namespace

TEST(OutlineToStrokes, LineContoursCloseAndCountTheirIndex)
{
    TGlyphOutline outline;
    outline.Contours.push_back(
        Contour(V(0, 0), {Record(TOutlineRecordKind::Line, {V(100, 0), V(100, 50)}),
                          Record(TOutlineRecordKind::Line, {V(100, 50)})})); // repeated point: no stroke
    outline.Contours.push_back(Contour(V(7, 7), {}));                       // lone start: nothing
    outline.Contours.push_back(Contour(V(10, 10), {Record(TOutlineRecordKind::Line, {V(20, 10), V(10, 10)})}));
    const auto strokes = OutlineToStrokes(outline, 6);
    ASSERT_TRUE(strokes);
    const std::vector<std::string> expected = {"0:0,0-100,0", "0:100,0-100,50", "0:100,50-0,0", "2:10,10-20,10",
                                               "2:20,10-10,10"};
    EXPECT_EQ(Texts(*strokes), expected);
}

TEST(OutlineToStrokes, RoundsHalvesToEvenAndKeepsZeroLengthStrokesOfDistinctPoints)
{
    TGlyphOutline outline;
    outline.Contours.push_back(Contour(
        V(0.5, 1.5), {Record(TOutlineRecordKind::Line, {V(2.5, -0.5), V(2.6, -0.4), V(-3.5, 0.49)})}));
    const auto strokes = OutlineToStrokes(outline, 1);
    ASSERT_TRUE(strokes);
    const std::vector<std::string> expected = {"0:0,2-2,0", "0:2,0-3,0", "0:3,0--4,0", "0:-4,0-0,2"};
    EXPECT_EQ(Texts(*strokes), expected);
    // Two different points that round alike still make a (zero-length) stroke.
    TGlyphOutline hair;
    hair.Contours.push_back(Contour(V(2.2, 0), {Record(TOutlineRecordKind::Line, {V(2.3, 0)})}));
    const auto hairStrokes = OutlineToStrokes(hair, 1);
    ASSERT_TRUE(hairStrokes);
    EXPECT_EQ(Texts(*hairStrokes), (std::vector<std::string>{"0:2,0-2,0", "0:2,0-2,0"}));
}

TEST(OutlineToStrokes, QuadraticRecordOfThreePointsGivesStepsStrokesPerSegment)
{
    // Two segments: (0,0) ctrl (0,600) to mid (300,600); then ctrl (600,600) to (600,0).
    const TVector2D a = V(0, 0), q0 = V(0, 600), q1 = V(600, 600), end = V(600, 0);
    TGlyphOutline outline;
    outline.Contours.push_back(Contour(a, {Record(TOutlineRecordKind::QSpline, {q0, q1, end})}));
    const auto strokes = OutlineToStrokes(outline, 6);
    ASSERT_TRUE(strokes);
    ASSERT_EQ(strokes->Count(), 12 + 1); // 2 x 6 chords and the closing stroke
    const TVector2D mid = V(300, 600);
    for (int k = 1; k <= 6; ++k) {
        const TVector2D p1 = Quad(a, q0, mid, k / 6.0);
        const TVector2D p2 = Quad(mid, q1, end, k / 6.0);
        TGlyphStroke s1, s2;
        ASSERT_TRUE(strokes->GetStroke(k - 1, s1));
        ASSERT_TRUE(strokes->GetStroke(k + 5, s2));
        EXPECT_NEAR(s1.X2, p1.X, 0.5) << k;
        EXPECT_NEAR(s1.Y2, p1.Y, 0.5) << k;
        EXPECT_NEAR(s2.X2, p2.X, 0.5) << k;
        EXPECT_NEAR(s2.Y2, p2.Y, 0.5) << k;
    }
    TGlyphStroke s;
    ASSERT_TRUE(strokes->GetStroke(5, s));
    EXPECT_EQ(s.X2, 300); // the first segment ends on the midpoint of the controls
    EXPECT_EQ(s.Y2, 600);
    ASSERT_TRUE(strokes->GetStroke(12, s));
    EXPECT_EQ(Text(s), "0:600,0-0,0");
}

TEST(OutlineToStrokes, CubicSegmentsAreFlattenedToo)
{
    const TVector2D a = V(0, 0), c1 = V(0, 400), c2 = V(400, 400), d = V(400, 0);
    TGlyphOutline outline;
    outline.Contours.push_back(Contour(a, {Record(TOutlineRecordKind::CSpline, {c1, c2, d})}));
    const auto strokes = OutlineToStrokes(outline, 4);
    ASSERT_TRUE(strokes);
    // Bezier points at t = 1/4, 1/2, 3/4, 1: (62.5, 225), (200, 300), (337.5, 225), (400, 0).
    const std::vector<std::string> expected = {"0:0,0-62,225", "0:62,225-200,300", "0:200,300-338,225",
                                               "0:338,225-400,0", "0:400,0-0,0"};
    EXPECT_EQ(Texts(*strokes), expected);
}

TEST(OutlineToStrokes, UnusableOutlinesAndStepsGiveNothing)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const TVector2D bad : {V(nan, 0), V(0, 1e6), V(-70000, 0), V(0, std::numeric_limits<double>::infinity())}) {
        TGlyphOutline outline;
        outline.Contours.push_back(Contour(V(0, 0), {Record(TOutlineRecordKind::QSpline, {V(1, 1), bad})}));
        EXPECT_FALSE(OutlineToStrokes(outline, 6)) << bad.X << "," << bad.Y;
    }
    TGlyphOutline fine;
    fine.Contours.push_back(Contour(V(0, 0), {Record(TOutlineRecordKind::Line, {V(kMaxOutlineCoordinate, 0)})}));
    EXPECT_TRUE(OutlineToStrokes(fine, 1));
    EXPECT_FALSE(OutlineToStrokes(fine, 0));
    EXPECT_FALSE(OutlineToStrokes(fine, 101));
}

TEST(StrokeCollection, BoundsAndIndexedAccess)
{
    TStrokeCollection strokes;
    EXPECT_EQ(strokes.GetBounds().Left, 0);
    EXPECT_EQ(strokes.GetBounds().Bottom, 0);
    strokes.Add(TGlyphStroke{0, 5, -3, 9, 40});
    strokes.Add(TGlyphStroke{1, -2, 7, 4, 8});
    const TIntRect box = strokes.GetBounds();
    EXPECT_EQ(box.Left, -2);
    EXPECT_EQ(box.Right, 9);
    EXPECT_EQ(box.Top, -3);
    EXPECT_EQ(box.Bottom, 40);
    TGlyphStroke s{9, 9, 9, 9, 9};
    EXPECT_FALSE(strokes.GetStroke(2, s));
    EXPECT_FALSE(strokes.GetStroke(-1, s));
    EXPECT_EQ(Text(s), "9:9,9-9,9");
    EXPECT_TRUE(strokes.GetStroke(1, s));
    EXPECT_EQ(Text(s), "1:-2,7-4,8");
}

TEST(TTFConv, CurveStepsOutsideOneToHundredAreIgnored)
{
    TTTFConv converter;
    EXPECT_EQ(converter.CurveSteps(), 8);
    for (const int32_t steps : {0, 101, -5}) {
        converter.SetCurveSteps(steps);
        EXPECT_EQ(converter.CurveSteps(), 8) << steps;
    }
    converter.SetCurveSteps(100);
    EXPECT_EQ(converter.CurveSteps(), 100);
    converter.SetCurveSteps(1);
    EXPECT_EQ(converter.CurveSteps(), 1);
}

TEST(GlyphOutlines, AnsiBytesMapThroughWindows1252)
{
    EXPECT_EQ(AnsiToUnicode('A'), U'A');
    EXPECT_EQ(AnsiToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(AnsiToUnicode(0x9F), U'\u0178');
    EXPECT_EQ(AnsiToUnicode(0x81), char32_t{0x81});
    EXPECT_EQ(AnsiToUnicode(0xE9), U'\u00E9');
}

}  // namespace ttf_conv_test
