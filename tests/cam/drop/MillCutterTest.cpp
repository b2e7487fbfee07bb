#include "cam/drop/AdapDropCutter.h"
#include "cam/drop/Ellisse.h"
#include "cam/drop/MillCutter.h"
#include "core/entities/QVStl.h"
#include "core/model/CADSysException.h"

#include "tests/cam/DropTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>

using namespace kbtest;

namespace {

double Drop(const TDatiUtFresa& tool, const TTri& t, float x, float y, float startZ = -100.0f)
{
    const auto cutter = CreateMillCutter(tool);
    TCLPoint cl(x, y, startZ);
    cutter->DropOnTriangle(cl, t);
    return cl.Z;
}

const double kSqrt125 = std::sqrt(1.25);

std::string ToolName(const TDatiUtFresa& t)
{
    std::ostringstream s;
    s << "type " << t.ToolType << " corner " << t.CornerRadius << " angle " << t.ToolAngle;
    return s.str();
}

// The XY distance from the location to its contact (0 without one).
double ContactRadius(const TCLPoint& cl)
{
    return cl.Contact ? std::hypot(double(cl.Contact->X) - cl.X, double(cl.Contact->Y) - cl.Y) : 0.0;
}

// The drop against the brute-force reference: never below it (beyond float
// noise), above it by no more than the sampling can miss.
void ExpectMatchesReference(const TDatiUtFresa& tool, const TCLPoint& cl, double reference, double spacing,
                            const std::string& where)
{
    EXPECT_GE(cl.Z, reference - 1e-4) << ToolName(tool) << " " << where;
    EXPECT_LE(cl.Z, reference + DropSamplingSlack(tool, ContactRadius(cl), spacing))
        << ToolName(tool) << " " << where;
}

struct TExactCase {
    const char* Name;
    TDatiUtFresa Tool;
    TTri Triangle;
    float X, Y;
    double Expected;
};

} // namespace

// Values worked out by hand from the geometry of each shape.
TEST(MillCutterTest, DropsOntoFacetVertexAndEdgeAtTheWorkedOutHeight)
{
    const TTri flat = MakeTri(-20, -20, 2, 40, -20, 2, -20, 40, 2);
    // z = x / 2, large enough that every contact lies inside.
    const TTri slope = MakeTri(-20, -20, -10, 40, -20, 20, -20, 40, -10);
    // z = 2 x: steeper than the 45 degree cone's flank.
    const TTri steep = MakeTri(-20, -20, -40, 40, -20, 80, -20, 40, -40);
    // Apex (0, 0, 5), falling away steeply towards +x.
    const TTri apex = MakeTri(0, 0, 5, 10, -10, -50, 10, 10, -50);
    // A horizontal edge along the X axis at z 4, the facet falling towards +y.
    const TTri ridge = MakeTri(-10, 0, 4, 10, 0, 4, 0, 10, -30);
    // An edge rising 1 in 2 along X (z 3 at x 0), the facet falling towards +y.
    const TTri rising = MakeTri(-10, 0, -2, 10, 0, 8, 0, 10, -40);
    const TExactCase cases[] = {
        {"flat on level facet", FlatTool(), flat, 5, 5, 2},
        {"bull on level facet", BullTool(), flat, 5, 5, 2},
        {"ball on level facet", BallTool(), flat, 5, 5, 2},
        {"cone on level facet", ConeTool(), flat, 5, 5, 2},
        {"flat on slope: uphill rim", FlatTool(), slope, 10, 5, 6.5},
        {"ball on slope", BallTool(), slope, 10, 5, 5 + 3 * (kSqrt125 - 1)},
        {"bull on slope", BullTool(), slope, 10, 5, 0.5 * 12 + 1 * (kSqrt125 - 1)},
        {"cone on gentle slope: point", ConeTool(), slope, 10, 5, 5},
        {"cone on steep slope: rim", ConeTool(), steep, 10, 5, 2 * 13 - 3},
        {"flat above vertex", FlatTool(), apex, 0, 0, 5},
        {"ball above vertex", BallTool(), apex, 0, 0, 5},
        {"ball 2.5 from vertex", BallTool(), apex, -2.5f, 0, 5 - (3 - std::sqrt(2.75))},
        {"ball 3 from vertex", BallTool(), apex, -3, 0, 2},
        {"bull 2.5 from vertex", BullTool(), apex, -2.5f, 0, 5 - (1 - std::sqrt(0.75))},
        {"cone 2.5 from vertex", ConeTool(), apex, -2.5f, 0, 2.5},
        {"flat beside level edge", FlatTool(), ridge, 0, -1.5f, 4},
        {"ball beside level edge", BallTool(), ridge, 0, -1.5f, 4 - 3 + std::sqrt(6.75)},
        {"bull beside level edge", BullTool(), ridge, 0, -2.5f, 4 - (1 - std::sqrt(0.75))},
        {"cone beside level edge", ConeTool(), ridge, 0, -1.5f, 2.5},
        {"ball beside rising edge", BallTool(), rising, 0, -1, 3 + std::sqrt(8.0) * kSqrt125 - 3},
    };
    for (const TExactCase& c : cases)
        EXPECT_NEAR(Drop(c.Tool, c.Triangle, c.X, c.Y), c.Expected, 2e-4) << c.Name;
}

// Every shape against the sampled reference, where facet, edge and vertex
// contacts compete (the bull nose's ellipse and the cone's flank and rim
// included).
TEST(MillCutterTest, AgreesWithSampledReferenceOnTiltedTriangle)
{
    const TTri tilted = MakeTri(0, 0, 1, 8, 1, 5, 2, 7, 3);
    const TTri rising = MakeTri(-10, 0, -2, 10, 0, 8, 0, 10, -40);
    const TDatiUtFresa tools[] = {FlatTool(), BullTool(), BallTool(), ConeTool(), Mill(3, 6.0, 0, 20.0)};
    // (1, 4) lies just outside the edge A-C: the cone's point misses the
    // facet there, its rim does not, and the edge holds the real contact.
    const float points[][2] = {{4, 3}, {-1, -1}, {9, 2}, {3, 9}, {1, 4}, {6, -2}, {10, 6}};
    for (const TDatiUtFresa& tool : tools) {
        for (const auto& p : points) {
            const double ref = ReferenceDrop(tool, tilted, p[0], p[1], -100.0);
            EXPECT_NEAR(Drop(tool, tilted, p[0], p[1]), ref, 0.03)
                << "type " << tool.ToolType << " angle " << tool.ToolAngle << " at " << p[0] << "," << p[1];
        }
        for (float y : {-0.5f, -1.5f, -2.5f}) {
            const double ref = ReferenceDrop(tool, rising, 1.0, y, -100.0, 600);
            EXPECT_NEAR(Drop(tool, rising, 1.0f, y), ref, 0.03) << "type " << tool.ToolType << " beside edge at y " << y;
        }
    }
}

TEST(MillCutterTest, DropOnlyRaisesAndNeedsTheLocationBelowTheTriangle)
{
    const TTri flat = MakeTri(-20, -20, 2, 40, -20, 2, -20, 40, 2);
    const auto cutter = CreateMillCutter(BallTool());
    TCLPoint above(5, 5, 3);
    EXPECT_FALSE(cutter->DropOnTriangle(above, flat));
    EXPECT_FLOAT_EQ(above.Z, 3.0f);
    EXPECT_FALSE(above.Contact.has_value());

    TCLPoint below(5, 5, 0);
    EXPECT_TRUE(cutter->DropOnTriangle(below, flat));
    ASSERT_TRUE(below.Contact.has_value());
    EXPECT_FLOAT_EQ(below.Contact->Z, 2.0f);

    // Out of reach: nothing touches.
    TCLPoint far(100, 100, 0);
    EXPECT_FALSE(cutter->DropOnTriangle(far, MakeTri(0, 0, 1, 1, 0, 1, 0, 1, 1)));
    EXPECT_FALSE(cutter->Overlaps(far, MakeTri(0, 0, 1, 1, 0, 1, 0, 1, 1)));
}

TEST(MillCutterTest, VerticalFacetHoldsTheCutterOnlyByItsEdges)
{
    // A wall in the plane y = 0 from z 0 to z 6.
    const TTri wall = MakeTri(-5, 0, 0, 5, 0, 0, 0, 0, 6);
    const auto cutter = CreateMillCutter(FlatTool());
    TCLPoint cl(0, -1, -10);
    EXPECT_FALSE(cutter->FacetDrop(cl, wall));
    EXPECT_TRUE(cutter->DropOnTriangle(cl, wall));
    EXPECT_NEAR(cl.Z, 6.0, 1e-5); // the apex is within reach
}

TEST(MillCutterTest, PointOnTheBorderIsNotInsideTheFacet)
{
    const TTri t = MakeTri(0, 0, 0, 4, 0, 0, 0, 4, 0);
    struct {
        float X, Y;
        bool Inside;
    } cases[] = {{1, 1, true}, {2, 0, false}, {2, 2, false}, {0, 0, false}, {3, 3, false}};
    for (const auto& c : cases)
        EXPECT_EQ(TCutterPoint(c.X, c.Y, 0).IsInFacet(t), c.Inside) << c.X << "," << c.Y;
    // A degenerate triangle has no inside.
    EXPECT_FALSE(TCutterPoint(1, 0, 0).IsInFacet(MakeTri(0, 0, 0, 2, 0, 0, 4, 0, 0)));
}

TEST(MillCutterTest, ProfilesOfTheShapes)
{
    const auto cone = CreateMillCutter(ConeTool());
    EXPECT_NEAR(cone->Height(2.0), 2.0, 1e-6);
    EXPECT_NEAR(cone->Width(1.5), 1.5, 1e-6);
    EXPECT_NEAR(cone->Width(5.0), 3.0, 1e-6);
    EXPECT_NEAR(cone->Length(), 23.0, 1e-5); // the cone's height on top of the given length
    const auto ball = CreateMillCutter(BallTool());
    EXPECT_NEAR(ball->Height(3.0), 3.0, 1e-12);
    EXPECT_NEAR(ball->Width(1.0), std::sqrt(5.0), 1e-12);
    const auto bull = CreateMillCutter(BullTool());
    EXPECT_EQ(bull->Height(2.0), 0.0);
    EXPECT_EQ(bull->Height(3.5), -1.0);
    EXPECT_NEAR(bull->Width(0.5), std::sqrt(0.75) + 2.0, 1e-12);
}

TEST(MillCutterTest, ToolsWithoutAShapeAreRefusedAndDegenerateBullNosesMapToTheirShapes)
{
    const TDatiUtFresa refused[] = {Mill(4, 6), Mill(5, 6), Mill(-1, 6), Mill(0, 0), Mill(2, -2),
                                    Mill(3, 6, 0, 90), Mill(3, 6, 0, 0), Mill(0, std::nan(""))};
    for (const TDatiUtFresa& t : refused)
        EXPECT_THROW(CreateMillCutter(t), ECADSysException) << t.ToolType << " " << t.Diameter;
    EXPECT_NE(dynamic_cast<TCutterPiatto*>(CreateMillCutter(Mill(1, 6, 0)).get()), nullptr);
    EXPECT_NE(dynamic_cast<TCutterSferico*>(CreateMillCutter(Mill(1, 6, 3)).get()), nullptr);
    EXPECT_NE(dynamic_cast<TCutterToroidale*>(CreateMillCutter(Mill(1, 6, 1)).get()), nullptr);
}

TEST(MillCutterTest, EllipseSolvesTheTouchingPositionAndEnds)
{
    // Ring radius 2 about the origin touching an ellipse about (0, 1.5).
    TEllisse e(1.5, 3.0, 1.0, 2.0);
    const int iterations = e.Solve();
    EXPECT_LT(iterations, TEllisse::kMaxIterations);
    EXPECT_NEAR(e.Error(e.Solution1), 0.0, 1e-9);
    EXPECT_NEAR(e.Error(e.Solution2), 0.0, 1e-9);
    EXPECT_GT(std::fabs(e.Solution1.S - e.Solution2.S) + std::fabs(e.Solution1.T - e.Solution2.T), 1e-8);

    TEllissePosition p;
    const struct {
        double D, S, T;
    } diangles[] = {{0, 1, 0}, {1, 0, 1}, {2, -1, 0}, {3, 0, -1}, {-1, 0, -1}, {4.5, M_SQRT1_2, M_SQRT1_2}};
    for (const auto& c : diangles) {
        p.SetDiangle(c.D);
        EXPECT_NEAR(p.S, c.S, 1e-12) << c.D;
        EXPECT_NEAR(p.T, c.T, 1e-12) << c.D;
    }
}

TEST(MillCutterTest, EveryShapeMatchesTheBruteForceOnRandomTriangles)
{
    std::mt19937 rng(23);
    std::uniform_real_distribution<float> at(-2.0f, 6.0f);
    for (int k = 0; k < 12; ++k) {
        const TTri t = RandomTriangle(rng);
        const double spacing = SampleSpacing(t, 300);
        for (int i = 0; i < 6; ++i) {
            const float x = at(rng), y = at(rng);
            for (const TDatiUtFresa& tool : AllShapes()) {
                TCLPoint cl(x, y, -100.0f);
                CreateMillCutter(tool)->DropOnTriangle(cl, t);
                const double ref = ReferenceDrop(tool, t, x, y, -100.0, 300);
                ExpectMatchesReference(tool, cl, ref, spacing,
                                       "triangle " + std::to_string(k) + " at " + std::to_string(x) + "," +
                                           std::to_string(y));
            }
        }
    }
}

TEST(MillCutterTest, EveryShapeMatchesTheBruteForceOnARandomMesh)
{
    std::mt19937 rng(5);
    TQVStl mesh;
    for (const TTri& t : RandomMesh(rng, 5))
        mesh.AddTriangle(t);
    double spacing = 0.0;
    for (const TTri& t : mesh.Triangles())
        spacing = std::max(spacing, SampleSpacing(t, 150));
    std::uniform_real_distribution<float> at(0.5f, 9.5f);
    for (const TDatiUtFresa& tool : AllShapes()) {
        TPointDropCutter op;
        op.SetSTL(&mesh);
        op.SetCutter(tool);
        const double R = tool.Diameter / 2.0;
        for (int i = 0; i < 8; ++i) {
            const float x = at(rng), y = at(rng);
            TCLPoint cl(x, y, -100.0f);
            op.DropCL(cl);
            double ref = -100.0;
            for (const TTri& t : mesh.Triangles()) {
                if (x + R < t.Box.Min[0] || x - R > t.Box.Max[0] || y + R < t.Box.Min[1] || y - R > t.Box.Max[1])
                    continue;
                ref = std::max(ref, ReferenceDrop(tool, t, x, y, -100.0, 150));
            }
            ExpectMatchesReference(tool, cl, ref, spacing, "at " + std::to_string(x) + "," + std::to_string(y));
        }
        op.SetSTL(nullptr);
    }
}

// The edge drops of the bull nose (an ellipse) and the cone (flank or rim)
// are the easiest to get wrong as a ball's: one edge along X at many slopes,
// its facet falling away steeply behind it, the cutter beside it at several
// distances. The reference samples the edge alone, which holds the contact.
TEST(MillCutterTest, BullNoseAndConeEdgeDropsMatchTheBruteForceAtEverySlope)
{
    const TDatiUtFresa tools[] = {BullTool(), Mill(1, 6.0, 2.5), ConeTool(), Mill(3, 6.0, 0.0, 20.0),
                                  Mill(3, 6.0, 0.0, 70.0)};
    const int steps = 100000;
    for (const TDatiUtFresa& tool : tools) {
        const auto cutter = CreateMillCutter(tool);
        for (double deg : {-80.0, -60.0, -45.0, -30.0, -12.0, 0.0, 5.0, 20.0, 40.0, 55.0, 70.0, 85.0}) {
            const double k = std::tan(deg * std::numbers::pi / 180.0);
            const TTri t = MakeTri(-6, 0, float(-6 * k), 6, 0, float(6 * k), 0.7f, 8, float(-60 - 8 * std::fabs(k)));
            const double spacing = std::hypot(12.0, 12.0 * k) / steps;
            for (float d : {0.0f, 0.3f, 1.2f, 2.2f, 2.9f}) {
                const double x = 0.7, y = -d;
                double ref = -1e9;
                for (int i = 0; i <= steps; ++i) {
                    const double s = double(i) / steps;
                    const double px = t.A[0] + s * (double(t.B[0]) - t.A[0]);
                    const double pz = t.A[2] + s * (double(t.B[2]) - t.A[2]);
                    const double h = ProfileHeight(tool, std::hypot(px - x, y));
                    if (!std::isnan(h))
                        ref = std::max(ref, pz - h);
                }
                TCLPoint cl(float(x), float(y), -1000.0f);
                cutter->DropOnTriangle(cl, t);
                ExpectMatchesReference(tool, cl, ref, spacing,
                                       "slope " + std::to_string(deg) + " distance " + std::to_string(d));
            }
        }
    }
}
