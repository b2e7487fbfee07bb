#include "io/trace/FiltraInArchi.h"

#include "core/entities/Arco2D.h"
#include "core/model/CADSysException.h"
#include "core/entities/Line2D.h"
#include "core/geometry/Matrix4.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <memory>
#include <vector>

namespace filtra_in_archi_test {

namespace {

std::unique_ptr<TPolyline2D> Poly(std::vector<TPoint2D> points)
{
    return std::make_unique<TPolyline2D>(-1, points);
}

// Installs a fitter for one test and restores the previous one.
class TFitterScope {
public:
    explicit TFitterScope(TArcFitter fitter) : m_Previous(SetArcFitter(std::move(fitter))) {}
    ~TFitterScope() { SetArcFitter(std::move(m_Previous)); }

private:
    TArcFitter m_Previous;
};

int CountOf(TQV_01Cmp2D& doc, std::string_view className)
{
    int n = 0;
    TGraphicObjIterator it = doc.ObjectsIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        n += o->ClassName() == className;
    return n;
}

} // namespace

TEST(FiltraInArchi, CurveOfPolylineClosesOrientsAndMaps)
{
    TQV_01Cmp2D doc;
    TFiltraInArchi filter(doc, TFiltraInArchi::TMode::Preview);
    // Open: stays open and keeps its direction whatever its turn.
    auto open = Poly({{0, 0, 1}, {0, 1, 1}, {1, 1, 1}});
    TFilterCurve curve = filter.CurveOfPolyline(*open);
    EXPECT_FALSE(curve.Closed);
    ASSERT_EQ(curve.Vertices.size(), 3u);
    EXPECT_DOUBLE_EQ(curve.Vertices[1].EndPoint.Y, 1.0);

    // Closed within the system tolerance, clockwise: reversed to run
    // counter-clockwise.
    auto clockwise = Poly({{0, 0, 1}, {0, 1, 1}, {1, 1, 1}, {1, 0, 1}, {1e-9, 0, 1}});
    curve = filter.CurveOfPolyline(*clockwise);
    EXPECT_TRUE(curve.Closed);
    EXPECT_LT(FilterCurveTrapezoidSum(curve), 0.0);
    EXPECT_DOUBLE_EQ(curve.Vertices[1].EndPoint.X, 1.0);
    EXPECT_DOUBLE_EQ(curve.Vertices[1].EndPoint.Y, 0.0);

    // The own transform first, then the extra one; every vertex a line.
    auto moved = Poly({{1, 0, 1}, {2, 0, 1}});
    moved->SetModelTransform(TMatrix4::CreateScale(3, 3, 1));
    const TMatrix4 extra = TMatrix4::CreateTranslation(10, 20, 0);
    filter.SetExtraTransform(&extra);
    curve = filter.CurveOfPolyline(*moved);
    ASSERT_EQ(curve.Vertices.size(), 2u);
    EXPECT_DOUBLE_EQ(curve.Vertices[0].EndPoint.X, 13.0);
    EXPECT_DOUBLE_EQ(curve.Vertices[1].EndPoint.X, 16.0);
    EXPECT_DOUBLE_EQ(curve.Vertices[1].EndPoint.Y, 20.0);
    EXPECT_EQ(curve.Vertices[1].Kind, 0);

    // Below two points there is no curve, but the points are counted.
    auto single = Poly({{5, 5, 1}});
    EXPECT_TRUE(filter.CurveOfPolyline(*single).Vertices.empty());
    EXPECT_EQ(filter.PointsRead, 3 + 5 + 2 + 1);
}

TEST(FiltraInArchi, SetParamsNeedsThreeNumbers)
{
    TQV_01Cmp2D doc;
    TFiltraInArchi filter(doc, TFiltraInArchi::TMode::Drawing);
    EXPECT_TRUE(filter.SetParams("0.1", "1", "500"));
    EXPECT_DOUBLE_EQ(filter.Maximum(), 500.0);
    for (const auto& texts : {std::array<const char*, 3>{"0,1", "1", "500"}, {"0.1", "", "500"}, {"0.1", "1", "x"}})
        EXPECT_FALSE(filter.SetParams(texts[0], texts[1], texts[2])) << texts[0] << texts[1] << texts[2];

    // After a failed SetParams nothing is made.
    doc.AddObject(-1, Poly({{0, 0, 1}, {1, 0, 1}}));
    filter.Execute(doc.ObjectsIterator());
    EXPECT_EQ(filter.LinesMade, 0);
    EXPECT_EQ(doc.Objects().Count(), 1);
}

TEST(FiltraInArchi, DrawingModeOverTheDrawingAddsLinesOfVisiblePolylinesOnly)
{
    TQV_01Cmp2D doc;
    doc.AddObject(-1, Poly({{0, 0, 1}, {1, 0, 1}, {1, 1, 1}}));
    doc.AddObject(-1, Poly({{0, 5, 1}, {1, 5, 1}}))->SetVisible(false);
    doc.Layers().GetLayer(3).SetVisible(0);
    doc.AddObjectOnLayer(-1, 3, Poly({{0, 9, 1}, {1, 9, 1}}));
    doc.AddObject(-1, std::make_unique<TLine2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{4, 4, 1}));

    TFiltraInArchi filter(doc, TFiltraInArchi::TMode::Drawing);
    ASSERT_TRUE(filter.SetParams("0.1", "1", "500"));
    // The iterator walks the very list the results go into.
    ASSERT_NO_THROW(filter.Execute(doc.ObjectsIterator()));
    EXPECT_EQ(filter.PointsRead, 3);
    EXPECT_EQ(filter.LinesMade, 2);
    EXPECT_EQ(filter.ArcsMade, 0);
    EXPECT_EQ(CountOf(doc, "TLine2D"), 1 + 2);
    EXPECT_EQ(doc.Objects().Count(), 4 + 2);
}

TEST(FiltraInArchi, FittedArcsBecomeArcEntitiesInTheirDirection)
{
    // A fitter that turns each open three-point curve into one arc through
    // its points, about the origin, in the direction the middle point shows.
    TFitterScope scope([](TFilterCurve& curve, double tolerance, double, double maximum) {
        EXPECT_DOUBLE_EQ(tolerance, 0.25);
        EXPECT_DOUBLE_EQ(maximum, 50.0);
        if (curve.Vertices.size() != 3)
            return;
        const TVector2D a = curve.Vertices[0].EndPoint;
        const TVector2D m = curve.Vertices[1].EndPoint;
        const TVector2D b = curve.Vertices[2].EndPoint;
        const double turn = (m.X - a.X) * (b.Y - a.Y) - (m.Y - a.Y) * (b.X - a.X);
        curve.Vertices = {curve.Vertices[0], TAVertice::CreateFull(turn > 0 ? 1 : -1, b, TVector2D{0, 0}, 0)};
    });
    TQV_01Cmp2D doc;
    const double h = std::sqrt(0.5) * 2;
    doc.AddObject(-1, Poly({{2, 0, 1}, {h, h, 1}, {0, 2, 1}}));   // counter-clockwise quarter
    doc.AddObject(-1, Poly({{0, -2, 1}, {h, -h, 1}, {2, 0, 1}})); // the same way round
    doc.AddObject(-1, Poly({{0, 2, 1}, {-h, h, 1}, {-2, 0, 1}})); // counter-clockwise too
    doc.AddObject(-1, Poly({{-2, 0, 1}, {-h, h, 1}, {0, 2, 1}})); // clockwise

    TFiltraInArchi filter(doc, TFiltraInArchi::TMode::Preview);
    ASSERT_TRUE(filter.SetParams("0.25", "1", "50"));
    std::vector<TArcGeometry2D> arcs;
    filter.OnPreviewEntity = [&arcs](TObject2D& entity) {
        auto* arc = dynamic_cast<TArco2D*>(&entity);
        ASSERT_NE(arc, nullptr);
        EXPECT_EQ(arc->OwnColor(), TFiltraInArchi::PreviewArcColour);
        EXPECT_FALSE(arc->Pickable());
        arcs.push_back(arc->GetArcGeometry());
    };
    filter.Execute(doc.ObjectsIterator());
    EXPECT_EQ(filter.ArcsMade, 4);
    EXPECT_EQ(filter.LinesMade, 0);
    EXPECT_EQ(doc.Objects().Count(), 4); // the preview adds nothing
    ASSERT_EQ(arcs.size(), 4u);
    for (const TArcGeometry2D& arc : arcs) {
        EXPECT_NEAR(arc.Radius, 2.0, 1e-12);
        EXPECT_NEAR(arc.Sweep, std::numbers::pi / 2, 1e-9); // a quarter, not three quarters
    }
    // The clockwise arc runs from (-2, 0) to (0, 2): drawn counter-clockwise
    // from (0, 2) to (-2, 0).
    EXPECT_NEAR(arcs[3].StartPoint.X, 0.0, 1e-12);
    EXPECT_NEAR(arcs[3].StartPoint.Y, 2.0, 1e-12);
    EXPECT_NEAR(arcs[3].EndPoint.X, -2.0, 1e-12);
}

}  // namespace filtra_in_archi_test
