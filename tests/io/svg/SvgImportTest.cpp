// SVG import: the endpoint-to-centre conversion of arcs, and small SVG files
// into a document (entity kinds, coordinates, layers), damaged ones
// included.

#include "io/svg/SvgImport.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "io/svg/SvgException.h"
#include "tests/io/SvgTestSupport.h"
#include "tests/support/RecordingSeams.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace svg_import_test {

using namespace kbtest;

namespace {

constexpr double Pi = 3.14159265358979323846;

struct TSvgImportRun {
    TQV_01Cmp2D Document;
    TSvgImportResult Result;
    std::vector<TObject2D*> Objects;
};

// Imports an SVG document with body through a file.
void Import(TSvgImportRun& run, const std::string& body)
{
    TTempDir dir;
    const std::string file = dir.File("drawing.svg");
    WriteFileText(file, SvgDocument(body));
    run.Result = ImportSvgFile(run.Document, file);
    run.Objects = DocumentObjects(run.Document);
}

std::vector<TPoint2D> PointsOf(TObject2D* object)
{
    auto* polyline = dynamic_cast<TPolyline2D*>(object);
    EXPECT_NE(polyline, nullptr);
    if (!polyline)
        return {};
    const auto points = polyline->Points().Points();
    return {points.begin(), points.end()};
}

void ExpectPoints(const std::vector<TPoint2D>& actual, std::initializer_list<std::pair<double, double>> expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    size_t i = 0;
    for (const auto& [x, y] : expected) {
        EXPECT_NEAR(actual[i].X, x, 1e-9) << "point " << i;
        EXPECT_NEAR(actual[i].Y, y, 1e-9) << "point " << i;
        ++i;
    }
}

#define EXPECT_XY(point, x, y)                                                                                 \
    do {                                                                                                       \
        EXPECT_NEAR((point).X, (x), 1e-9);                                                                     \
        EXPECT_NEAR((point).Y, (y), 1e-9);                                                                     \
    } while (0)

} // namespace

TEST(SvgArc, EndpointToCentre)
{
    const struct {
        double X1, Y1, Rx, Ry, Angle, Large, Sweep, X2, Y2;
        double Cx, Cy, ExpectedRx, ExpectedRy, Start, End;
    } cases[] = {
        // Half circles over (0, 0)-(10, 0): the sweep flag chooses the side.
        {0, 0, 5, 5, 0, 0, 1, 10, 0, 5, 0, 5, 5, 0, Pi},
        {0, 0, 5, 5, 0, 0, 0, 10, 0, 5, 0, 5, 5, Pi, 0},
        // Radii too small to span the chord grow until they do.
        {0, 0, 1, 1, 0, 0, 1, 10, 0, 5, 0, 5, 5, 0, Pi},
        {0, 0, -1, 1, 0, 1, 1, 10, 0, 5, 0, 5, 5, 0, Pi},
        // Quarter circles from (0, 0) to (5, 5): the flags choose the centre.
        {0, 0, 5, 5, 0, 0, 1, 5, 5, 0, 5, 5, 5, 0, Pi / 2},
        {0, 0, 5, 5, 0, 0, 0, 5, 5, 5, 0, 5, 5, Pi, 1.5 * Pi},
        {0, 0, 5, 5, 0, 1, 1, 5, 5, 5, 0, 5, 5, 1.5 * Pi, Pi},
        {0, 0, 5, 5, 0, 1, 0, 5, 5, 0, 5, 5, 5, Pi / 2, 0},
        // Ellipses: angles on their own axes.
        {0, 0, 10, 5, 0, 0, 1, 20, 0, 10, 0, 10, 5, 0, Pi},
        {0, 0, 2, 1, 90, 0, 1, 0, 4, 0, 2, 2, 1, 0, Pi},
    };
    for (const auto& c : cases) {
        const TSvgArc arc(c.X1, c.Y1, c.Rx, c.Ry, c.Angle, c.Large, c.Sweep, c.X2, c.Y2);
        SCOPED_TRACE(testing::Message() << "to (" << c.X2 << ", " << c.Y2 << ") r " << c.Rx << " " << c.Ry
                                        << " flags " << c.Large << c.Sweep);
        EXPECT_NEAR(arc.Center.X, c.Cx, 1e-9);
        EXPECT_NEAR(arc.Center.Y, c.Cy, 1e-9);
        EXPECT_EQ(arc.Center.W, 1.0);
        EXPECT_NEAR(arc.Rx, c.ExpectedRx, 1e-9);
        EXPECT_NEAR(arc.Ry, c.ExpectedRy, 1e-9);
        EXPECT_NEAR(arc.StartAngle, c.Start, 1e-9);
        EXPECT_NEAR(arc.EndAngle, c.End, 1e-9);
    }
}

TEST(SvgImport, RectangleOnTheLayerOfItsFill)
{
    TSvgImportRun run;
    Import(run, R"svg(<rect x="0" y="10" width="20" height="5" fill="#ff0000"/>)svg");
    ASSERT_EQ(run.Objects.size(), 1u);
    // Y is negated: a rectangle at y = 10 lies at Y = -10.
    ExpectPoints(PointsOf(run.Objects[0]), {{0, -10}, {20, -10}, {20, -15}, {0, -15}, {0, -10}});
    EXPECT_EQ(run.Objects[0]->Layer(), 155);
    EXPECT_EQ(run.Document.Layers().GetLayer(155).Pen().Color, 0x2F2FFFu);
    EXPECT_EQ(run.Document.CurrentLayer(), 155);
    EXPECT_EQ(run.Result.Shapes, 1);
    EXPECT_EQ(run.Result.Polylines, 1);
}

TEST(SvgImport, FillColoursChooseLayersAndPens)
{
    const struct {
        const char* Fill;
        int Layer;
        uint32_t Pen;
    } cases[] = {
        {"fill=\"#000000\"", 35, 0x2F2F2F},
        {"fill=\"none\"", 35, 0x2F2F2F},
        {"", 35, 0x2F2F2F},
        {"fill=\"#333333\"", 35, 0x2F2F2F},
        {"fill=\"#343434\"", 71, 0x636363},
        {"fill=\"#00ff00\"", 55, 0x2FFF2F},
        {"fill=\"blue\"", 39, 0xFF2F2F},
        {"fill=\"white\"", 179, 0xFFFFFF},
        {"style=\"fill:rgb(104,156,208)\"", 35 + 60 + 15 + 4, 0xFFCB97},
    };
    for (const auto& c : cases) {
        TSvgImportRun run;
        Import(run, std::string("<line x2=\"1\" ") + c.Fill + "/>");
        ASSERT_EQ(run.Objects.size(), 1u) << c.Fill;
        EXPECT_EQ(run.Objects[0]->Layer(), c.Layer) << c.Fill;
        EXPECT_EQ(run.Document.Layers().GetLayer(c.Layer).Pen().Color, c.Pen) << c.Fill;
    }
}

TEST(SvgImport, CirclesArcsAndCurves)
{
    {
        // A circle element adds one circle and no polyline.
        TSvgImportRun run;
        Import(run, R"svg(<circle cx="3" cy="4" r="2"/>)svg");
        ASSERT_EQ(run.Objects.size(), 1u);
        auto* circle = dynamic_cast<TCerchio2D*>(run.Objects[0]);
        ASSERT_NE(circle, nullptr);
        TPoint2D centre;
        double radius = 0;
        circle->GetCircle(centre, radius);
        EXPECT_XY(centre, 3, -4);
        EXPECT_NEAR(radius, 2, 1e-12);
        EXPECT_EQ(run.Result.Circles, 1);
    }
    {
        // Equal radii: a TArco2D, after the one-point polyline of the move.
        TSvgImportRun run;
        Import(run, R"svg(<path d="M 0 0 A 5 5 0 0 1 10 0"/>)svg");
        ASSERT_EQ(run.Objects.size(), 2u);
        ExpectPoints(PointsOf(run.Objects[0]), {{0, 0}});
        auto* arc = dynamic_cast<TArco2D*>(run.Objects[1]);
        ASSERT_NE(arc, nullptr);
        const TArcGeometry2D g = arc->GetArcGeometry();
        EXPECT_XY(g.Centre, 5, 0);
        EXPECT_NEAR(g.Radius, 5, 1e-9);
        EXPECT_XY(g.StartPoint, 10, 0);
        EXPECT_XY(g.EndPoint, 0, 0);
        // The file's arc passes (5, -5): drawn at (5, 5).
        EXPECT_XY(arc->PointAtFraction(0.5), 5, 5);
    }
    {
        // rx = 2 ry: a polyline of MaxCurveSeg + 2 points on the ellipse.
        TSvgImportRun run;
        Import(run, R"svg(<path d="M 0 0 A 10 5 0 0 1 20 0"/>)svg");
        ASSERT_EQ(run.Objects.size(), 2u);
        const std::vector<TPoint2D> points = PointsOf(run.Objects[1]);
        ASSERT_EQ(points.size(), 202u);
        EXPECT_XY(points.front(), 20, 0);
        EXPECT_XY(points.back(), 0, 0);
        for (const TPoint2D& p : points) {
            EXPECT_NEAR(std::pow((p.X - 10) / 10, 2) + std::pow(p.Y / 5, 2), 1.0, 1e-9);
            EXPECT_GE(p.Y, -1e-9);
        }
    }
    {
        // A cubic adds 49 points after its start; the samples are the curve's.
        TSvgImportRun run;
        Import(run, R"svg(<path d="M0 0 C 0 10 10 10 10 0"/><path d="M0 0 Q 5 10 10 0"/>)svg");
        ASSERT_EQ(run.Objects.size(), 2u);
        const std::vector<TPoint2D> cubic = PointsOf(run.Objects[0]);
        const std::vector<TPoint2D> quad = PointsOf(run.Objects[1]);
        ASSERT_EQ(cubic.size(), 50u);
        ASSERT_EQ(quad.size(), 50u);
        for (int i = 0; i < 50; ++i) {
            const double t = i / 49.0;
            const double u = 1 - t;
            EXPECT_NEAR(cubic[i].X, 3 * u * t * t * 10 + t * t * t * 10, 1e-9);
            EXPECT_NEAR(cubic[i].Y, -(3 * u * u * t * 10 + 3 * u * t * t * 10), 1e-9);
            EXPECT_NEAR(quad[i].X, 2 * u * t * 5 + t * t * 10, 1e-9);
            EXPECT_NEAR(quad[i].Y, -(2 * u * t * 10), 1e-9);
        }
    }
}

TEST(SvgImport, SubpathsArcsAndCloses)
{
    const struct {
        const char* Data;
        std::vector<const char*> Kinds;
    } cases[] = {
        {"M 0 0 z", {}},
        {"M 0 0 L 5 5 M 1 1", {"TPolyline2D"}},
        {"M 0 0 M 1 1 L 2 2", {"TPolyline2D", "TPolyline2D"}},
        {"M 0 0 A 5 5 0 0 1 10 0 z", {"TPolyline2D", "TArco2D", "TPolyline2D"}},
        {"M 0 0 A 5 5 0 0 1 10 0 A 5 5 0 0 1 20 0", {"TPolyline2D", "TArco2D", "TPolyline2D", "TArco2D"}},
        // Drawing before the first move is ignored.
        {"L 5 5 Q 1 1 2 2 A 1 1 0 0 0 3 3 M 1 1 L 2 2", {"TPolyline2D"}},
    };
    for (const auto& c : cases) {
        TSvgImportRun run;
        Import(run, std::string("<path d=\"") + c.Data + "\"/>");
        std::vector<std::string> kinds;
        for (TObject2D* object : run.Objects)
            kinds.emplace_back(object->ClassName());
        EXPECT_EQ(kinds, std::vector<std::string>(c.Kinds.begin(), c.Kinds.end())) << c.Data;
    }

    TSvgImportRun run;
    Import(run, R"svg(<path d="M 0 0 A 5 5 0 0 1 10 0 z"/>
                  <path d="M 0 0 A 5 5 0 0 1 10 0 A 5 5 0 0 1 20 0"/>
                  <path d="M0 0 L10 0 L10 10 z L 5 5"/>
                  <path d="M0 0 z L 5 5"/>
                  <path d="M0 0 L0 1 z Q 5 5 10 10"/>
                  <path d="M0 0 A 0 5 0 0 1 10 0 L 10 5"/>
                  <path d="M0 0 L 5 0 A 5 5 0 0 1 5 0 L 5 5"/>)svg");
    ASSERT_EQ(run.Objects.size(), 12u);
    // The close runs from the arc's end back to the start.
    ExpectPoints(PointsOf(run.Objects[2]), {{10, 0}, {0, 0}});
    // Two arcs in a row join without a gap.
    const TArcGeometry2D first = dynamic_cast<TArco2D&>(*run.Objects[4]).GetArcGeometry();
    const TArcGeometry2D second = dynamic_cast<TArco2D&>(*run.Objects[6]).GetArcGeometry();
    EXPECT_XY(first.StartPoint, 10, 0);
    EXPECT_XY(second.EndPoint, 10, 0);
    ExpectPoints(PointsOf(run.Objects[5]), {{10, 0}});
    // After a close the path goes on from the subpath's start.
    ExpectPoints(PointsOf(run.Objects[7]), {{0, 0}, {10, 0}, {10, -10}, {0, 0}, {5, -5}});
    ExpectPoints(PointsOf(run.Objects[8]), {{0, 0}, {5, -5}});
    const std::vector<TPoint2D> curve = PointsOf(run.Objects[9]);
    ASSERT_EQ(curve.size(), 52u);
    EXPECT_XY(curve[2], 0, 0);
    EXPECT_XY(curve[3], 10.0 / 49, -10.0 / 49);
    // A zero radius draws a line; an arc to its own start is left out.
    ExpectPoints(PointsOf(run.Objects[10]), {{0, 0}, {10, 0}, {10, -5}});
    ExpectPoints(PointsOf(run.Objects[11]), {{0, 0}, {5, 0}, {5, -5}});
}

TEST(SvgImport, ArcsFollowTheShapeTransform)
{
    // The file's arc runs from (0, 0) through (5, -5) to (10, 0).
    const struct {
        const char* Transform;
        bool StaysArc;
        double MidX, MidY, X1, Y1, X2, Y2;
    } cases[] = {
        {"translate(1,2)", true, 6, 3, 1, -2, 11, -2},
        {"scale(2)", true, 10, 10, 0, 0, 20, 0},
        {"rotate(90)", true, 5, -5, 0, 0, 0, -10},
        {"scale(1,-1)", true, 5, -5, 0, 0, 10, 0},
        {"rotate(45) scale(-1,1)", true, 0, 5 * std::sqrt(2.0), 0, 0, -5 * std::sqrt(2.0), 5 * std::sqrt(2.0)},
        {"scale(2,1)", false, 10, 5, 0, 0, 20, 0},
        {"skewX(45)", false, 0, 5, 0, 0, 10, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Transform);
        TSvgImportRun run;
        Import(run, std::string("<path d=\"M 0 0 A 5 5 0 0 1 10 0\" transform=\"") + c.Transform + "\"/>");
        ASSERT_EQ(run.Objects.size(), 2u);
        if (c.StaysArc) {
            auto* arc = dynamic_cast<TArco2D*>(run.Objects[1]);
            ASSERT_NE(arc, nullptr);
            const TArcGeometry2D g = arc->GetArcGeometry();
            const bool forward = std::hypot(g.StartPoint.X - c.X1, g.StartPoint.Y - c.Y1) < 1e-6;
            EXPECT_XY(forward ? g.StartPoint : g.EndPoint, c.X1, c.Y1);
            EXPECT_XY(forward ? g.EndPoint : g.StartPoint, c.X2, c.Y2);
            EXPECT_XY(arc->PointAtFraction(0.5), c.MidX, c.MidY);
        } else {
            const std::vector<TPoint2D> points = PointsOf(run.Objects[1]);
            ASSERT_EQ(points.size(), 202u);
            // Runs from the end to the start (counter-clockwise in the drawing).
            EXPECT_XY(points.front(), c.X2, c.Y2);
            EXPECT_XY(points.back(), c.X1, c.Y1);
            double nearest = 1e9;
            for (const TPoint2D& p : points)
                nearest = std::min(nearest, std::hypot(p.X - c.MidX, p.Y - c.MidY));
            EXPECT_LT(nearest, 0.1);
        }
    }

    // Circles: kept under a rotation, an ellipse polyline under unequal scales.
    TSvgImportRun run;
    Import(run, R"svg(<g transform="rotate(30)"><circle cx="10" cy="0" r="2"/></g>
                  <circle cx="10" cy="0" r="2" transform="scale(2,1)"/>)svg");
    ASSERT_EQ(run.Objects.size(), 2u);
    auto* circle = dynamic_cast<TCerchio2D*>(run.Objects[0]);
    ASSERT_NE(circle, nullptr);
    TPoint2D centre;
    double radius = 0;
    circle->GetCircle(centre, radius);
    EXPECT_XY(centre, 10 * std::cos(Pi / 6), -10 * std::sin(Pi / 6));
    EXPECT_NEAR(radius, 2, 1e-9);
    const std::vector<TPoint2D> ellipse = PointsOf(run.Objects[1]);
    ASSERT_GT(ellipse.size(), 100u);
    EXPECT_EQ(ellipse.front().X, ellipse.back().X);
    EXPECT_EQ(ellipse.front().Y, ellipse.back().Y);
    for (const TPoint2D& p : ellipse)
        EXPECT_NEAR(std::pow((p.X / 2 - 10) / 2, 2) + std::pow(p.Y / 2, 2), 1.0, 1e-9);
}

TEST(SvgImport, GroupTransformsPlaceShapes)
{
    TSvgImportRun run;
    Import(run, R"svg(<g transform="translate(10,0)"><g fill="red">
                     <line x1="0" y1="0" x2="1" y2="1" transform="scale(2)"/></g>
                     <polygon points="0,0 1,0 1,1"/></g>)svg");
    ASSERT_EQ(run.Objects.size(), 2u);
    ExpectPoints(PointsOf(run.Objects[0]), {{10, 0}, {12, -2}});
    EXPECT_EQ(run.Objects[0]->Layer(), 155);
    ExpectPoints(PointsOf(run.Objects[1]), {{10, 0}, {11, 0}, {11, -1}, {10, 0}});
    EXPECT_EQ(run.Objects[1]->Layer(), 35);
    EXPECT_EQ(run.Document.CurrentLayer(), 35);
}

TEST(SvgImport, ShowsProgressEveryFiftyShapes)
{
    std::string body;
    for (int i = 0; i < 120; ++i)
        body += "<line x2=\"1\"/>";
    TRecordingWorkMonitor monitor;
    TSvgImportRun run;
    Import(run, body);
    EXPECT_EQ(run.Objects.size(), 120u);
    EXPECT_EQ(monitor.Progress, (std::vector<int>{0, 0, 42, 84}));
    EXPECT_EQ(monitor.MessagesProcessed, 3);
    EXPECT_EQ(monitor.ProgressHidden, 1);
}

TEST(SvgImport, DamagedFilesAddNothingAndSayWhy)
{
    TRecordingWorkMonitor monitor;
    const struct {
        const char* Body;
        const char* Error;
    } cases[] = {
        {R"(<line x2="1"/><path d="M0 0 L)", "not well-formed (invalid token) at line 2\r"},
        {R"(<line x2="1"/><path d="M0 0 L1"/>)", "parse_path: Unexpected end of path"},
    };
    for (const auto& c : cases) {
        TSvgImportRun run;
        EXPECT_THROW(
            {
                try {
                    Import(run, c.Body);
                } catch (const svg_exception& e) {
                    EXPECT_STREQ(e.what(), c.Error);
                    throw;
                }
            },
            svg_exception);
        EXPECT_EQ(run.Document.ObjectsCount(), 0);
    }
    EXPECT_EQ(monitor.ProgressHidden, 2);

    TSvgImportRun missing;
    EXPECT_THROW(ImportSvgFile(missing.Document, "/nonexistent/drawing.svg"), Esvg_exception);
}

TEST(SvgImport, LeavesOutWhatIsNotFinite)
{
    TSvgImportRun run;
    Import(run, R"svg(<line x2="1e999"/>
                  <path d="M0 0 L1 1" transform="scale(1e300) scale(1e300)"/>
                  <path d="M0 0 Q 1e999 0 1 1"/>
                  <circle r="1e999"/>
                  <line x2="1"/>)svg");
    ASSERT_EQ(run.Objects.size(), 1u);
    EXPECT_EQ(run.Result.Skipped, 4);
    ExpectPoints(PointsOf(run.Objects[0]), {{0, 0}, {1, 0}});
    EXPECT_FALSE(run.Result.Truncated);
}

TEST(SvgImport, LongRunsContinueInFurtherPolylines)
{
    std::string points;
    const int count = 70000;
    for (int i = 0; i < count; ++i)
        points += std::to_string(i) + ",0 ";
    TSvgImportRun run;
    Import(run, "<polyline points=\"" + points + "\"/><rect width=\"0\" height=\"1\" fill=\"red\"/><line x2=\"1\"/>");
    // A shape without vertices repeats nothing of the next one.
    ASSERT_EQ(run.Objects.size(), 3u);
    const std::vector<TPoint2D> first = PointsOf(run.Objects[0]);
    const std::vector<TPoint2D> second = PointsOf(run.Objects[1]);
    ASSERT_EQ(first.size(), 65535u);
    ASSERT_EQ(second.size(), static_cast<size_t>(count - 65534));
    EXPECT_EQ(first.back().X, second.front().X);
    EXPECT_EQ(second.back().X, count - 1.0);
    EXPECT_EQ(run.Objects[2]->Layer(), 35);
}

}  // namespace svg_import_test
