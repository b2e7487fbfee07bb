#include "io/dxf/DXF2DImport.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/QVBSpline2D.h"
#include "core/entities/VectFont.h"
#include "tests/io/DXFImportTestSupport.h"
#include "tests/support/RecordingNotifier.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace dxf_entity_readers_test {

using namespace kbtest;

namespace {

constexpr double Pi = std::numbers::pi;

std::string WithRelease(const std::string& release, const std::string& entities)
{
    return Dxf({"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", release, "0", "ENDSEC"}) + entities;
}

std::string Clockwise(const std::string& entities)
{
    return Dxf({"0", "SECTION", "2", "HEADER", "9", "$ANGDIR", "70", "1", "0", "ENDSEC"}) + entities;
}

double MinY(const std::vector<TPoint2D>& points)
{
    double y = points.front().Y;
    for (const TPoint2D& p : points)
        y = std::min(y, p.Y);
    return y;
}

} // namespace

TEST(DXFEntityReaders, ArcsInBothAngleSystemsAndExtrusions)
{
    const std::string down = "230";
    const struct {
        const char* Name;
        std::string Text;
        TPoint2D Centre, Start, End; // counter-clockwise from start to end, as drawn
        uint8_t Direction;
    } cases[] = {
        {"plain", EntitiesFile({"0", "ARC", "10", "0", "20", "0", "40", "5", "50", "0", "51", "90"}),
         MakePoint2D(0, 0), MakePoint2D(5, 0), MakePoint2D(0, 5), 1},
        {"extrusion down",
         EntitiesFile({"0", "ARC", "10", "3", "20", "4", "40", "2", "50", "0", "51", "90", "230", "-1"}),
         MakePoint2D(-3, 4), MakePoint2D(-3, 6), MakePoint2D(-5, 4), 1},
        {"clockwise angles",
         Clockwise(EntitiesFile({"0", "ARC", "10", "3", "20", "4", "40", "2", "50", "0", "51", "90"})),
         MakePoint2D(3, 4), MakePoint2D(5, 4), MakePoint2D(3, 6), 0},
        {"clockwise angles, extrusion down",
         Clockwise(EntitiesFile({"0", "ARC", "10", "3", "20", "4", "40", "2", "50", "0", "51", "90", "230", "-1"})),
         MakePoint2D(-3, 4), MakePoint2D(-3, 6), MakePoint2D(-5, 4), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TImport import(c.Text);
        import.Read();
        const auto& arc = import.Object<TArco2D>(0);
        EXPECT_EQ(arc.Direction(), c.Direction);
        const TArcGeometry2D g = arc.GetArcGeometry();
        EXPECT_POINT_NEAR(g.Centre, c.Centre.X, c.Centre.Y, 1e-12);
        EXPECT_POINT_NEAR(g.StartPoint, c.Start.X, c.Start.Y, 1e-12);
        EXPECT_POINT_NEAR(g.EndPoint, c.End.X, c.End.Y, 1e-12);
        EXPECT_EQ(import->Counters().Arcs, 1u);
    }
}

TEST(DXFEntityReaders, CirclesPointsLinesSolidsAndTraces)
{
    TImport import(EntitiesFile({
        "0", "CIRCLE", "10", "1", "20", "2", "40", "3",
        "0", "CIRCLE", "10", "1", "20", "2", "40", "3", "210", "0", "220", "0", "230", "-1",
        "0", "SOLID", "10", "0", "20", "0", "11", "1", "21", "0", "12", "0", "22", "1",
        "0", "SOLID", "10", "0", "20", "0", "11", "1", "21", "0", "12", "0", "22", "1", "13", "1", "23", "1",
        "0", "TRACE", "10", "0", "20", "0", "11", "1", "21", "0", "12", "0", "22", "1", "13", "1", "23", "1",
        "0", "LINE", "10", "0.1", "20", "0", "11", "1", "21", "0", "230", "-1", // a line is never mirrored
    }));
    import.Read();
    ExpectPoints(DrawnPoints(import.Object<TCerchio2D>(0)), {{1, 2}, {4, 2}});
    ExpectPoints(DrawnPoints(import.Object<TCerchio2D>(1)), {{-1, 2}, {2, 2}});
    // Corners go round 10, 11, 13, 12; a solid closes.
    ExpectPoints(DrawnPoints(import.Object<TPolyline2D>(2)), {{0, 0}, {1, 0}, {0, 1}, {0, 0}});
    ExpectPoints(DrawnPoints(import.Object<TPolyline2D>(3)), {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}});
    ExpectPoints(DrawnPoints(import.Object<TPolyline2D>(4)), {{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    EXPECT_EQ(DrawnPoint(import.Object<TLine2D>(5), 0).X, 0.1);
    EXPECT_EQ(import->Counters().Circles, 2u);
    EXPECT_EQ(import->Counters().Polylines, 3u);
    EXPECT_FALSE(import->Incomplete());
}

TEST(DXFEntityReaders, EllipsesOfEachRelease)
{
    {
        // Relative major axis and ratio; an axis along X stays an elliptical arc.
        TImport import(WithRelease("AC1015", EntitiesFile({"0", "ELLIPSE", "10", "0", "20", "0", "11", "10", "21",
                                                           "0", "40", "0.5", "41", "0", "42", "6.283185307179586"})));
        import.Read();
        const auto& e = import.Object<TEllipseOpen2D>(0);
        EXPECT_POINT_NEAR(e.Points().Get(0), -10, -5, 0);
        EXPECT_POINT_NEAR(e.Points().Get(1), 10, 5, 0);
        EXPECT_EQ(e.StartAngle(), 0.0);
        EXPECT_EQ(e.EndAngle(), 0.0); // the full turn
    }
    {
        // A turned axis becomes the polyline of the turned profile.
        TImport import(WithRelease("AC1015", EntitiesFile({"0", "ELLIPSE", "10", "0", "20", "0", "11", "0", "21",
                                                           "10", "40", "0.5", "41", "0", "42", "6.283185307179586"})));
        import.Read();
        const auto points = DrawnPoints(import.Object<TPolyline2D>(0));
        ASSERT_EQ(points.size(), 51u);
        EXPECT_POINT_NEAR(points[0], 0, 10, 1e-12);
        EXPECT_POINT_NEAR(points[25], 0, -10, 1e-12);
        EXPECT_POINT_NEAR(points[12], -5 * std::sin(12 * 2 * Pi / 50), 10 * std::cos(12 * 2 * Pi / 50), 1e-12);
    }
    {
        // Release 12: the absolute end of the major axis and the minor half-axis.
        TImport import(EntitiesFile({"0", "ELLIPSE", "10", "2", "20", "3", "11", "12", "21", "3", "40", "4", "41", "0",
                                     "42", "3.14159"}));
        import.Read();
        const auto& e = import.Object<TEllipseOpen2D>(0);
        EXPECT_POINT_NEAR(e.Points().Get(0), -8, -1, 0);
        EXPECT_POINT_NEAR(e.Points().Get(1), 12, 7, 0);
        EXPECT_EQ(import->Counters().Ellipses, 1u);
    }
}

TEST(DXFEntityReaders, TextJustificationAlignmentAndRotation)
{
    TVectFont font;
    TImport import(EntitiesFile({
        "0", "TEXT", "10", "1", "20", "2", "11", "5", "21", "6", "40", "2.5", "1", "Hi", "72", "1", "73", "2",
        "0", "TEXT", "10", "1", "20", "2", "40", "2.5", "1", "Left", "73", "0",
        "0", "TEXT", "10", "1", "20", "2", "11", "5", "21", "6", "40", "1", "1", "Up", "73", "3", "50", "90",
    }));
    import->SetTextFont(&font);
    import.Read();
    const auto& centred = import.Object<TJustifiedVectText2D>(0);
    EXPECT_EQ(centred.HJustification(), TJustifiedVectText2D::kJustifyCentre);
    EXPECT_EQ(centred.VJustification(), TJustifiedVectText2D::kJustifyMiddle);
    EXPECT_EQ(centred.Text(), "Hi");
    EXPECT_EQ(centred.Height(), 2.5);
    ExpectPoints(DrawnPoints(centred), {{1, 2}, {5, 6}});
    // Code 73 without an alignment point keeps the box of the height.
    const auto& left = import.Object<TJustifiedVectText2D>(1);
    EXPECT_EQ(left.HJustification(), TJustifiedVectText2D::kJustifyLeft);
    EXPECT_EQ(left.VJustification(), TJustifiedVectText2D::kJustifyBottom);
    ExpectPoints(DrawnPoints(left), {{1, 2}, {1, 4.5}});
    // Turned counter-clockwise about the alignment point.
    const auto& up = import.Object<TJustifiedVectText2D>(2);
    EXPECT_EQ(up.VJustification(), TJustifiedVectText2D::kJustifyBottom);
    EXPECT_POINT_NEAR(DrawnPoint(up, 0), 9, 2, 1e-12);
    EXPECT_POINT_NEAR(DrawnPoint(up, 1), 5, 6, 1e-12);
    EXPECT_EQ(import->Counters().Texts, 3u);

    TImport noFont(EntitiesFile({"0", "TEXT", "10", "1", "20", "2", "40", "1", "1", "x"}));
    noFont.Read();
    EXPECT_TRUE(noFont.Objects().empty());
    EXPECT_EQ(noFont->Counters().Texts, 0u);
    EXPECT_EQ(noFont->Skipped(), (std::vector<TDXFSkip>{{"TEXT", 1}}));
}

TEST(DXFEntityReaders, LightWeightPolylinesInBothModes)
{
    const std::string closedHalfCircle = EntitiesFile(
        {"0", "LWPOLYLINE", "90", "2", "70", "1", "10", "0", "20", "0", "42", "1", "10", "2", "20", "0"});
    {
        TImport import(closedHalfCircle);
        import->PolylinesAsContainers = false;
        import.Read();
        const auto points = DrawnPoints(import.Object<TPolyline2D>(0));
        ASSERT_EQ(points.size(), 53u);
        EXPECT_POINT_NEAR(points[0], 0, 0, 0);
        EXPECT_POINT_NEAR(points[1], 0, 0, 1e-12); // the arc starts at the first vertex again
        EXPECT_POINT_NEAR(points[51], 2, 0, 1e-12);
        EXPECT_NEAR(MinY(points), -1, 1e-3); // counter-clockwise from (0, 0) to (2, 0)
        EXPECT_POINT_NEAR(points[52], 0, 0, 0);
        EXPECT_EQ(import->Counters().Polylines, 1u);
    }
    {
        TImport import(closedHalfCircle);
        import->PolylinesAsContainers = true;
        import.Read();
        ASSERT_EQ(import.Objects().size(), 2u);
        const TArcGeometry2D arc = import.Object<TArco2D>(0).GetArcGeometry();
        EXPECT_POINT_NEAR(arc.Centre, 1, 0, 1e-12);
        EXPECT_POINT_NEAR(arc.StartPoint, 0, 0, 1e-12);
        EXPECT_POINT_NEAR(arc.EndPoint, 2, 0, 1e-12);
        ExpectPoints(DrawnPoints(import.Object<TLine2D>(1)), {{2, 0}, {0, 0}});
        EXPECT_EQ(import->Counters().Polylines, 1u);
    }

    // Vertices as written: the bulge wherever code 42 stands in its vertex,
    // other codes between vertices, double precision, no 70 = open, and a
    // declared count that only ever shortens.
    const struct {
        const char* Name;
        std::vector<std::string> Pairs;
        size_t Points;
        double FirstX;
        bool Arc;
    } cases[] = {
        {"bulge after widths", {"10", "0", "20", "0", "40", "1", "41", "1", "42", "1", "10", "2", "20", "0"}, 52, 0,
         true},
        {"bulge before y", {"10", "0", "42", "1", "20", "0", "10", "2", "20", "0"}, 52, 0, true},
        {"code 91 between", {"90", "2", "10", "0.1", "20", "0", "91", "7", "10", "2", "20", "0"}, 2, 0.1, false},
        {"declared more", {"90", "1000", "10", "0", "20", "0", "10", "2", "20", "0"}, 2, 0, false},
        {"declared fewer", {"90", "1", "10", "0", "20", "0", "10", "2", "20", "0"}, 1, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::string text = Dxf({"0", "SECTION", "2", "ENTITIES", "0", "LWPOLYLINE"});
        for (const auto& line : c.Pairs)
            text += line + "\n";
        TImport import(text + Dxf({"0", "ENDSEC", "0", "EOF"}));
        import->PolylinesAsContainers = false;
        import.Read();
        const auto points = DrawnPoints(import.Object<TPolyline2D>(0));
        EXPECT_EQ(points.size(), c.Points);
        EXPECT_EQ(points[0].X, c.FirstX);
        EXPECT_EQ(MinY(points) < -0.5, c.Arc);
    }
}

TEST(DXFEntityReaders, PolylinesWithBulgesFitPointsAndManyPoints)
{
    {
        TImport import(EntitiesFile({"0", "POLYLINE", "70", "1", "0", "VERTEX", "10", "0", "20", "0", "42", "1", "0",
                                     "VERTEX", "10", "2", "20", "0", "0", "VERTEX", "10", "2", "20", "2", "0",
                                     "SEQEND"}));
        import.Read();
        const auto points = DrawnPoints(import.Object<TPolyline2D>(0));
        ASSERT_EQ(points.size(), 54u); // first, 51 of the arc, the third, the first again
        EXPECT_NEAR(MinY(points), -1, 1e-3);
        EXPECT_POINT_NEAR(points[52], 2, 2, 0);
        EXPECT_POINT_NEAR(points[53], 0, 0, 0);
    }
    {
        // Spline-fitted: only the points fitting made; none is an error.
        TRecordingNotifier notifier;
        TImport import(EntitiesFile({"0", "POLYLINE", "70", "4", "0", "VERTEX", "10", "0", "20", "0", "70", "16", "0",
                                     "SEQEND", "0", "POLYLINE", "70", "4", "0", "VERTEX", "10", "0", "20", "0", "70",
                                     "16", "0", "VERTEX", "10", "3", "20", "4", "70", "8", "0", "SEQEND"}));
        import->ShowMessages = true;
        import.Read();
        ASSERT_EQ(import.Objects().size(), 1u);
        ExpectPoints(DrawnPoints(import.Object<TPolyline2D>(0)), {{3, 4}});
        EXPECT_EQ(import->Counters().Polylines, 1u);
        EXPECT_TRUE(import->Incomplete());
        EXPECT_EQ(import->Skipped(), (std::vector<TDXFSkip>{{"POLYLINE", 1}}));
        EXPECT_EQ(import->SkipNotes(), std::vector<std::string>{"Spline without spline-fitting isn't supported."});
        ASSERT_EQ(notifier.Messages().size(), 1u);
        EXPECT_EQ(notifier.Messages()[0].Text, "Spline without spline-fitting isn't supported.");
        EXPECT_EQ(notifier.Messages()[0].Kind, EMessageKind::Plain);
    }
    {
        // More points than a polyline holds: pieces that continue one another.
        std::string text = Dxf({"0", "SECTION", "2", "ENTITIES", "0", "POLYLINE", "70", "0"});
        for (int i = 0; i < 1300; ++i)
            text += Dxf({"0", "VERTEX", "10", std::to_string(i), "20", "0", "42", "1"});
        TImport import(text + Dxf({"0", "SEQEND", "0", "ENDSEC", "0", "EOF"}));
        import.Read();
        ASSERT_FALSE(import->Incomplete()) << import->Damage();
        ASSERT_EQ(import.Objects().size(), 2u);
        const auto first = DrawnPoints(import.Object<TPolyline2D>(0));
        const auto second = DrawnPoints(import.Object<TPolyline2D>(1));
        EXPECT_EQ(first.size(), 65535u);
        EXPECT_EQ(first.size() + second.size(), 1 + 1299 * 51 + 1u);
        EXPECT_POINT_NEAR(first.back(), second.front().X, second.front().Y, 0);
        EXPECT_POINT_NEAR(second.back(), 1299, 0, 1e-9);
    }
}

TEST(DXFEntityReaders, SplinesTakeWhatTheyHold)
{
    TImport import(EntitiesFile({"0", "SPLINE", "20", "7", "70", "8", "71", "3", "72", "8", "73", "1000",
                                 "40", "0", "40", "0", "40", "0", "40", "0", "40", "1", "40", "1", "40", "1", "40",
                                 "1", "10", "0", "20", "0", "30", "2", "10", "10", "20", "10", "10", "20", "20", "0",
                                 "10", "30", "20", "10"}));
    import.Read();
    ASSERT_FALSE(import->Incomplete()) << import->Damage();
    const auto& spline = import.Object<TQVBSpline2D>(0);
    EXPECT_EQ(spline.ControlPointCount(), 4);
    EXPECT_EQ(spline.KnotCount(), 8);
    EXPECT_EQ(spline.WeightsCount(), 4);
    EXPECT_EQ(spline.Degree(), 3);
    EXPECT_EQ(spline.Flags().Planar, 1);
    EXPECT_EQ(spline.GetControlVertex(0).Z, 2.0);
    ExpectPoints(DrawnPoints(spline), {{0, 0}, {10, 10}, {20, 0}, {30, 10}});
    EXPECT_TRUE(spline.CanEvaluate());
    EXPECT_EQ(import->Counters().Splines, 1u);
}

TEST(DXFEntityReaders, InsertsScaleTurnAndMove)
{
    const std::string blocks = Dxf({"0", "SECTION", "2", "BLOCKS", "0", "BLOCK", "2", "B", "0", "POINT", "10", "0",
                                    "20", "0", "0", "ENDBLK", "0", "ENDSEC"});
    TImport import(blocks + EntitiesFile({"0", "INSERT", "2", "B", "10", "100", "20", "50", "41", "2", "42", "2", "50",
                                          "90"}));
    import.Read();
    const TMatrix4 m = import.Object<TBlock2D>(0).GetModelTransform();
    EXPECT_POINT_NEAR(m.TransformPoint2D(MakePoint2D(1, 0)), 100, 52, 1e-12);
    EXPECT_POINT_NEAR(m.TransformPoint2D(MakePoint2D(0, 1)), 98, 50, 1e-12);
    EXPECT_EQ(import->Counters().Inserts, 1u);

    TImport skipping(blocks + EntitiesFile({"0", "INSERT", "2", "B"}));
    EXPECT_EQ(skipping->ReadAsContainer()->Objects().Count(), 0);
    EXPECT_EQ(skipping->Counters().Inserts, 0u);
}

}  // namespace dxf_entity_readers_test
