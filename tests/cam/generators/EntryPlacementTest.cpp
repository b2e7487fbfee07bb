#include "cam/generators/Tasca.h"

#include "tests/cam/generators/GeneratorTestSupport.h"

using namespace kbtest;

namespace {

class EntryPlacementTest : public GeneratorTest {
protected:
    EntryPlacementTest() : Op(MakeOperation(OpKind::Pocket))
    {
        Op->Parameters->ZStep = 1;
        Op->Chains.AddChain(Square(0, 0, 100));
    }

    // The entries of the list's curves inside the chains' area.
    void AddEntries(TListaDiCurve3d& curves, int entry, int pocketType)
    {
        Op->Parameters->PocketEntry = entry;
        Op->Parameters->PocketType = pocketType;
        TTasca pocket(*Op);
        pocket.SetLinkArea(TBaseOperazione2D::AreaFromChains(Op->Chains));
        pocket.AddEntryMoves(curves);
    }

    std::unique_ptr<TOpManagerField> Op;
};

std::unique_ptr<TCurvaNci3d> Ring(double x0, double y0, double side)
{
    auto c = std::make_unique<TCurvaNci3d>();
    c->FromMachiningCurve(*Square(x0, y0, side), 0.0);
    return c;
}

} // namespace

TEST_F(EntryPlacementTest, NoPlaceLeavesTheCurveAsItWas)
{
    for (int entry : {0, 1, 2}) {
        SCOPED_TRACE(entry);
        // A ring 1 inside the wall: no slot or circle of the tool fits.
        TListaDiCurve3d curves;
        curves.push_back(Ring(1, 1, 98));
        const TCurvaNci3d* before = curves[0].get();
        const std::vector<TAVertice3d> vertices = before->Vertices;
        AddEntries(curves, entry, 1);
        ASSERT_EQ(curves.size(), 1u);
        EXPECT_EQ(curves[0].get(), before);
        ASSERT_EQ(curves[0]->Vertices.size(), vertices.size());
    }
    // A tool of no size gets no entry either.
    Op->Parameters->ToolData->Diameter = 0;
    TListaDiCurve3d curves;
    curves.push_back(Ring(20, 20, 20));
    AddEntries(curves, 1, 1);
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_EQ(curves[0]->Vertices.size(), 5u);
}

TEST_F(EntryPlacementTest, RampAtTheFirstVertexMergesWithItsRing)
{
    TListaDiCurve3d curves;
    curves.push_back(Ring(20, 20, 20));
    AddEntries(curves, 1, 1);
    ASSERT_EQ(curves.size(), 1u);
    const TCurvaNci3d& c = *curves[0];
    // Height 1 in legs of 0.314: five ramp points, then the ring's four
    // further corners.
    ASSERT_EQ(c.Vertices.size(), 5u + 4u);
    EXPECT_NEAR(c.Vertices[0].EndPoint.Z, 1.0, 1e-12);
    EXPECT_NEAR(c.Vertices[4].EndPoint.X, 20.0, 1e-12);
    EXPECT_NEAR(c.Vertices[4].EndPoint.Z, 0.0, 1e-12);
    EXPECT_NEAR(c.Vertices[1].EndPoint.X, 26.0, 1e-9); // along the first side
}

TEST_F(EntryPlacementTest, HelixOnAParallelRunSplitsItsArc)
{
    // A run: a half circle about (50, 50) from (10, 50) to (90, 50), then a
    // line back to (10, 40).
    auto run = std::make_unique<TCurvaNci3d>();
    run->AddVertex(TAVertice3d::CreateAt({10, 50, 0}));
    run->AddVertex(TAVertice3d::CreateFull(-1, {90, 50, 0}, {50, 50, 0}, 0));
    run->AddVertex(TAVertice3d::CreateAt({10, 40, 0}));
    TListaDiCurve3d curves;
    curves.push_back(std::move(run));
    AddEntries(curves, 2, 0);
    // Helix, the first part run back, the rest: linked inside into one.
    ASSERT_EQ(curves.size(), 1u);
    const TCurvaNci3d& c = *curves[0];
    EXPECT_NEAR(c.Vertices.front().EndPoint.Z, 1.0, 1e-12);
    int arcs = 0;
    for (const TAVertice3d& v : c.Vertices) {
        if (v.Kind != 0) {
            ++arcs;
            EXPECT_NEAR(v.Centre.X, 50.0, 1e-9);
            EXPECT_NEAR(std::hypot(v.EndPoint.X - 50, v.EndPoint.Y - 50), 40.0, 1e-9);
        }
    }
    EXPECT_EQ(arcs, 2); // the arc, split at the helix's centre
    EXPECT_NEAR(c.Vertices.back().EndPoint.Y, 40.0, 1e-12);
}
