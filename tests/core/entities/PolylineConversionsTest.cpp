// Lines, frames and curves turned into new polylines in drawing coordinates.

#include "core/entities/Ellipse2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/PolylineConversions.h"
#include "core/entities/Punto2D.h"

#include <gtest/gtest.h>

#include <vector>

namespace polyline_conversions_test {

namespace {

void ExpectDrawingPoints(const TPolyline2D& p, std::initializer_list<std::pair<double, double>> expected)
{
    ASSERT_EQ(p.Points().Count(), static_cast<int>(expected.size()));
    int i = 0;
    for (auto [x, y] : expected) {
        const TPoint2D q = p.Points().Get(i);
        EXPECT_NEAR(q.X, x, 1e-12) << "vertex " << i;
        EXPECT_NEAR(q.Y, y, 1e-12) << "vertex " << i;
        ++i;
    }
    // The transform is in the points: the polyline carries none of its own.
    EXPECT_FALSE(p.HasTransform());
    EXPECT_EQ(p.ID(), -1);
    EXPECT_EQ(p.Owner(), nullptr);
}

} // namespace

TEST(PolylineConversions, LinesAndFramesGiveTheirVerticesThroughTheirTransforms)
{
    TLine2D line(1, MakePoint2D(1, 0), MakePoint2D(2, 0));
    line.SetLayer(3);
    line.SetModelTransform(TMatrix4::CreateRotationZ(90, true));
    const auto fromLine = LineToPolyline(line);
    ExpectDrawingPoints(*fromLine, {{0, 1}, {0, 2}});
    EXPECT_EQ(fromLine->Layer(), 3);
    EXPECT_TRUE(fromLine->Points().Growable());

    // A rotated frame gives its rotated corners, closed on the first.
    TFrame2D frame(2, MakePoint2D(0, 0), MakePoint2D(2, 1));
    frame.SetLayer(5);
    frame.Transform(TMatrix4::CreateRotationZ(90, true));
    const auto fromFrame = FrameToPolyline(frame);
    ExpectDrawingPoints(*fromFrame, {{0, 0}, {-1, 0}, {-1, 2}, {0, 2}, {0, 0}});
    EXPECT_EQ(fromFrame->Layer(), 5);
}

TEST(PolylineConversions, CurvesGiveTheirProfileEvenWhenTheyDoNotKeepIt)
{
    TEllipse2D ellipse(1, MakePoint2D(-2, -1), MakePoint2D(2, 1));
    ellipse.SetLayer(6);
    ellipse.SetModelTransform(TMatrix4::CreateTranslation(10, 0, 0));
    ellipse.SetKeepProfile(false);

    const auto onLayer0 = CurveToPolyline(ellipse);
    const auto onItsLayer = CurveToLayerPolyline(ellipse);
    EXPECT_EQ(onLayer0->Layer(), 0);
    EXPECT_EQ(onItsLayer->Layer(), 6);
    ASSERT_EQ(onItsLayer->Points().Count(), TCurve2D::kDefaultSegments + 1);
    // The profile starts at (cx + a, cy), here moved by the model transform.
    EXPECT_NEAR(onItsLayer->Points().Get(0).X, 12.0, 1e-12);
    EXPECT_NEAR(onItsLayer->Points().Get(0).Y, 0.0, 1e-12);
    EXPECT_FALSE(ellipse.HasProfile());
}

TEST(PolylineConversions, PrimitiveToPolylineChoosesByKind)
{
    TRectangle2D rectangle(1, MakePoint2D(0, 0), MakePoint2D(1, 2));
    TPolygon2D polygon(2, std::vector<TPoint2D>{MakePoint2D(0, 0), MakePoint2D(1, 0), MakePoint2D(1, 1)});
    TEllipse2D ellipse(3, MakePoint2D(0, 0), MakePoint2D(4, 2));
    ellipse.SetLayer(8);
    TLine2D line(4, MakePoint2D(0, 0), MakePoint2D(1, 1));
    TPunto2D point(5, MakePoint2D(0, 0));

    // A rectangle gives its five corners, not its profile.
    const TPolylineOf fromRectangle = PrimitiveToPolyline(rectangle);
    ASSERT_TRUE(fromRectangle.IsNew());
    ExpectDrawingPoints(*fromRectangle.Polyline, {{0, 0}, {0, 2}, {1, 2}, {1, 0}, {0, 0}});

    const TPolylineOf fromPolygon = PrimitiveToPolyline(polygon);
    EXPECT_FALSE(fromPolygon.IsNew());
    EXPECT_EQ(fromPolygon.Polyline, &polygon);

    const TPolylineOf fromEllipse = PrimitiveToPolyline(ellipse);
    ASSERT_TRUE(fromEllipse.IsNew());
    EXPECT_EQ(fromEllipse.Polyline->Layer(), 8);
    EXPECT_EQ(fromEllipse.Polyline->Points().Count(), TCurve2D::kDefaultSegments + 1);

    EXPECT_EQ(PrimitiveToPolyline(line).Polyline->Points().Count(), 2);
    const TPolylineOf fromPoint = PrimitiveToPolyline(point);
    EXPECT_EQ(fromPoint.Polyline, nullptr);
    EXPECT_FALSE(fromPoint.IsNew());
}

}  // namespace polyline_conversions_test
