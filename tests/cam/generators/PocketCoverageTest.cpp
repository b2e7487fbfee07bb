// What the parallel pocket cuts, measured from outside: the share of the
// reachable region no tool disc covers, every band piece with its pass, and
// the tool centre never nearer a wall than its radius.

#include "cam/generators/Tasca.h"

#include "tests/cam/generators/CutCheck.h"
#include "tests/cam/generators/GeneratorTestSupport.h"

#include <numbers>
#include <string>

using namespace kbtest;

namespace {

TCutSeg Line(const TVector2D& a, const TVector2D& b)
{
    return {a, b, {}, 0};
}

TCutSeg Arc(const TVector2D& a, const TVector2D& b, const TVector2D& c, int kind = 1)
{
    return {a, b, c, kind};
}

TCutLoop CircleLoop(double cx, double cy, double r)
{
    return {Arc({cx + r, cy}, {cx - r, cy}, {cx, cy}), Arc({cx - r, cy}, {cx + r, cy}, {cx, cy})};
}

// 40 x 12, half circles at both ends.
std::vector<TCutLoop> Slot()
{
    return {{Line({6, 0}, {34, 0}), Arc({34, 0}, {34, 12}, {34, 6}), Line({34, 12}, {6, 12}),
             Arc({6, 12}, {6, 0}, {6, 6})}};
}

// 17 x 12: straight sides on a round lower body.
std::vector<TCutLoop> RoundBottom()
{
    return {{Line({17, 12}, {0, 12}), Line({0, 12}, {0, 8.5}), Arc({0, 8.5}, {17, 8.5}, {8.5, 8.5}),
             Line({17, 8.5}, {17, 12})}};
}

// Ten points on radius 20, the notches between them on radius 10.
std::vector<TCutLoop> Star()
{
    TCutLoop loop;
    std::vector<TVector2D> corners;
    for (int k = 0; k < 20; ++k) {
        const double a = std::numbers::pi / 2 + k * std::numbers::pi / 10;
        const double r = k % 2 == 0 ? 20.0 : 10.0;
        corners.push_back({r * std::cos(a), r * std::sin(a)});
    }
    for (size_t k = 0; k < corners.size(); ++k)
        loop.push_back(Line(corners[k], corners[(k + 1) % corners.size()]));
    return {loop};
}

std::vector<TCutLoop> RoundWithIslands()
{
    return {CircleLoop(0, 0, 30), CircleLoop(-12, 4, 6), CircleLoop(12, -6, 5), CircleLoop(6, 17, 4)};
}

// The chain of a loop, as drawn.
std::unique_ptr<TCatena> ChainOf(const TCutLoop& loop)
{
    auto c = std::make_unique<TCatena>();
    c->AddVertex(TAVertice::CreateAt(loop.front().A, 0));
    for (const TCutSeg& s : loop)
        c->AddVertex(s.Kind == 0 ? TAVertice::CreateAt(s.B, 0) : TAVertice::CreateFull(s.Kind, s.B, s.C, 0));
    c->Closed = 1;
    c->ID = GestioneID().NextID();
    return c;
}

// Every move of the toolpath in XY.
std::vector<TCutSeg> PathOf(const TOpManagerField& op)
{
    std::vector<TCutSeg> path;
    for (const auto& curve : op.Toolpaths) {
        for (size_t i = 1; i < curve->Vertices.size(); ++i) {
            const TAVertice3d& from = curve->Vertices[i - 1];
            const TAVertice3d& to = curve->Vertices[i];
            path.push_back({{from.EndPoint.X, from.EndPoint.Y},
                            {to.EndPoint.X, to.EndPoint.Y},
                            {to.Centre.X, to.Centre.Y},
                            to.Kind});
        }
    }
    return path;
}

struct TShapeCase {
    std::string Name;
    std::vector<TCutLoop> Part;
    double Diameter;
    double StepOverPercent;
    double Cell;
    // The most left on the walls without a finishing ring, in percent of
    // the reachable region (the passes follow one wall per band); 100 sets
    // no bound, the band pieces are checked instead.
    double MostUncut;
};

std::vector<TShapeCase> Shapes()
{
    return {{"slot", Slot(), 6, 60, 0.05, 100},
            {"round bottom", RoundBottom(), 3, 60, 0.03, 100},
            {"star", Star(), 3, 60, 0.06, 100},
            {"islands", RoundWithIslands(), 6, 60, 0.1, 100},
            {"circle", {CircleLoop(0, 0, 20)}, 6, 50, 0.06, 2.5}};
}

const double kAngles[] = {0, 30, 90, 135};

} // namespace

class PocketCoverageTest : public GeneratorTest {
protected:
    // The parallel pocket of the shape at the angle; the report of the check.
    TCutReport Run(const TShapeCase& shape, double angle, int finishCount)
    {
        auto op = MakeOperation(OpKind::Pocket);
        TParametriOperazione& p = *op->Parameters;
        p.PocketType = 0;
        p.ToolData->Diameter = shape.Diameter;
        p.CompOffset = shape.Diameter / 2;
        p.StepOverPercent = shape.StepOverPercent;
        p.Angle = angle;
        p.FinishCount = finishCount;
        p.FinishSize = 0.5;
        for (const TCutLoop& loop : shape.Part)
            op->Chains.AddChain(ChainOf(loop));
        EXPECT_TRUE(Calculate(*op));
        TCutCheck check;
        check.Radius = p.CompOffset;
        check.Cell = shape.Cell;
        check.Angle = angle;
        check.Step = finishCount == 0 ? 2 * p.CompOffset * p.StepOverPercent / 100 : 0.0;
        return CheckCut(shape.Part, PathOf(*op), check);
    }
};

TEST(PocketCoverageCheck, MeasuresKnownAreas)
{
    // A 20 x 20 square and a tool of radius 3: the tool reaches all but
    // four corners of 9 - 9 pi / 4 each. A ring at the radius leaves the
    // middle square of side 8 uncut and keeps exactly the radius.
    const std::vector<TCutLoop> square{{Line({0, 0}, {20, 0}), Line({20, 0}, {20, 20}), Line({20, 20}, {0, 20}),
                                        Line({0, 20}, {0, 0})}};
    TCutCheck check;
    check.Cell = 0.04;
    const double reachable = 400 - 4 * (9 - 9 * std::numbers::pi / 4);
    const TCutReport none = CheckCut(square, {}, check);
    // Less an edge of at most a cell and the allowance along the walls.
    EXPECT_LE(none.ReachableArea, reachable);
    EXPECT_GE(none.ReachableArea, reachable - 80 * (check.Cell + 0.005));
    EXPECT_NEAR(none.UncutArea, none.ReachableArea, 1e-9);
    const std::vector<TCutSeg> ring{Line({3, 3}, {17, 3}), Line({17, 3}, {17, 17}), Line({17, 17}, {3, 17}),
                                    Line({3, 17}, {3, 3})};
    const TCutReport r = CheckCut(square, ring, check);
    EXPECT_NEAR(r.UncutArea, 64, 0.5);
    EXPECT_NEAR(r.MinWallDistance, 3, 1e-9);
    EXPECT_EQ(r.PointsOutside, 0);
    // Half the ring outside the square, and an arc through a wall.
    const TCutReport out = CheckCut(square, {Line({-1, 10}, {1, 10}), Arc({10, 18}, {10, 22}, {10, 20}, -1)}, check);
    EXPECT_NEAR(out.MinWallDistance, 0, 1e-9);
    EXPECT_GT(out.PointsOutside, 0);
}

TEST_F(PocketCoverageTest, WithAFinishingRingEverythingReachableIsCut)
{
    for (const TShapeCase& shape : Shapes()) {
        for (double angle : kAngles) {
            SCOPED_TRACE(shape.Name + " at " + std::to_string(angle));
            const TCutReport r = Run(shape, angle, 1);
            EXPECT_GT(r.ReachableArea, 0.0);
            EXPECT_LE(r.UncutPercent(), 0.01);
            EXPECT_GE(r.MinWallDistance, shape.Diameter / 2 - 0.001)
                << "at " << r.NearestToWall.X << " " << r.NearestToWall.Y;
            EXPECT_EQ(r.PointsOutside, 0);
        }
    }
}

TEST_F(PocketCoverageTest, WithoutOneEveryBandPieceGetsItsPass)
{
    for (const TShapeCase& shape : Shapes()) {
        for (double angle : kAngles) {
            SCOPED_TRACE(shape.Name + " at " + std::to_string(angle));
            const TCutReport r = Run(shape, angle, 0);
            EXPECT_GT(r.Pieces, 0);
            EXPECT_EQ(r.PiecesWithoutPass, 0) << "at " << r.PieceWithoutPass.X << " " << r.PieceWithoutPass.Y;
            EXPECT_GE(r.MinWallDistance, shape.Diameter / 2 - 0.001)
                << "at " << r.NearestToWall.X << " " << r.NearestToWall.Y;
            EXPECT_EQ(r.PointsOutside, 0);
            EXPECT_LE(r.UncutPercent(), shape.MostUncut);
        }
    }
}
