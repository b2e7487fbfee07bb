#include "cam/chains/Catena.h"
#include "cam/chains/ChainHooks.h"
#include "cam/chains/EntXCatena.h"
#include "core/entities/Arco2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVGrezzo.h"
#include "core/geometry/Tolerance.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/cam/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

struct TXY {
    double X, Y;
};

class ChainBuildTest : public ::testing::Test {
protected:
    TLine2D* AddLine(TXY a, TXY b, int layer = 0)
    {
        return Doc.AddObjectOnLayer(-1, layer,
                                    std::make_unique<TLine2D>(-1, TPoint2D{a.X, a.Y, 1}, TPoint2D{b.X, b.Y, 1}));
    }
    void AddCircle(TXY c, double r)
    {
        Doc.AddObject(-1, std::make_unique<TCerchio2D>(-1, TPoint2D{c.X, c.Y, 1}, TPoint2D{c.X + r, c.Y, 1}));
    }
    void AddArc(TXY c, double r, double a1, double a2)
    {
        Doc.AddObject(-1, std::make_unique<TArco2D>(-1, TPoint2D{c.X, c.Y, 1}, TPoint2D{c.X + r, c.Y, 1}, a1, a2));
    }
    void AddPoint(TXY p) { Doc.AddObject(-1, std::make_unique<TPunto2D>(-1, TPoint2D{p.X, p.Y, 1})); }

    // The end points of a chain, "x,y x,y ...", kinds marked a/c for arcs.
    static std::string Path(const TACurva& c)
    {
        std::string s;
        for (const TAVertice& v : c.Vertices) {
            if (!s.empty())
                s += ' ';
            s += v.Kind == 1 ? "a" : v.Kind == -1 ? "c" : "";
            s += Num(v.EndPoint.X) + "," + Num(v.EndPoint.Y);
        }
        return s;
    }
    static std::string Num(double v)
    {
        const double r = std::nearbyint(v * 1000) / 1000;
        std::string s = std::to_string(r);
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.')
            s.pop_back();
        return s == "-0" ? "0" : s;
    }

    kbtest::TFakeChainContext Context;
    TQV_01Cmp2D Doc;
    TListaCatene Chains;
};

TEST_F(ChainBuildTest, ClockwiseSquareInAnyOrderGivesOneCounterClockwiseChain)
{
    // The sides of a square drawn clockwise: (0,0) -> (0,10) -> (10,10) ->
    // (10,0) -> (0,0); each case lists them in another order and direction.
    const TXY a{0, 0}, b{0, 10}, c{10, 10}, d{10, 0};
    struct TCase {
        std::vector<std::pair<TXY, TXY>> Lines;
        std::string Expected;
    };
    const TCase cases[] = {
        {{{a, b}, {b, c}, {c, d}, {d, a}}, "0,0 10,0 10,10 0,10 0,0"},
        {{{c, d}, {a, b}, {d, a}, {b, c}}, "10,10 0,10 0,0 10,0 10,10"},
        {{{b, a}, {d, c}, {c, b}, {a, d}}, "0,10 0,0 10,0 10,10 0,10"},
    };
    for (const TCase& t : cases) {
        Doc.DeleteAllObjects();
        Chains.ClearAll();
        for (const auto& [p, q] : t.Lines)
            AddLine(p, q);
        TTuttoInCatena build(Doc, Chains);
        ASSERT_EQ(Chains.Count(), 1);
        EXPECT_EQ(Chains[0].Closed, 1);
        EXPECT_FALSE(Chains[0].IsClockwise());
        EXPECT_EQ(Chains[0].Reversed, 0);
        EXPECT_EQ(Path(Chains[0]), t.Expected);
    }
}

TEST_F(ChainBuildTest, RunsGrowForwardOnlyAndGapsAgainstTheTolerance)
{
    // Middle first, pointing to the third: middle + third, then the first.
    AddLine({1, 0}, {2, 0});
    AddLine({0, 0}, {1, 0});
    AddLine({2, 0}, {3, 0});
    TTuttoInCatena build(Doc, Chains);
    ASSERT_EQ(Chains.Count(), 2);
    EXPECT_EQ(Path(Chains[0]), "1,0 2,0 3,0");
    EXPECT_EQ(Path(Chains[1]), "0,0 1,0");
    EXPECT_EQ(Chains[0].ID, 1);
    EXPECT_EQ(Chains[1].ID, 2);

    // A lone line tried both ways round joins the line that ends at its end.
    Doc.DeleteAllObjects();
    Chains.ClearAll();
    AddLine({0, 0}, {5, 0});
    AddLine({9, 9}, {5, 0});
    TTuttoInCatena again(Doc, Chains);
    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "0,0 5,0 9,9");

    const double tol = ChainTol();
    Doc.DeleteAllObjects();
    Chains.ClearAll();
    AddLine({0, 0}, {10, 0});
    AddLine({10 + 0.9 * tol, 0}, {20, 0});
    AddLine({20 + 1.1 * tol, 0}, {30, 0});
    TTuttoInCatena gaps(Doc, Chains);
    ASSERT_EQ(Chains.Count(), 2);
    EXPECT_EQ(Chains[0].Count(), 3);
    EXPECT_EQ(Chains[1].Count(), 2);
    EXPECT_EQ(Chains[1].Vertices[1].EndPoint.X, 30.0);
}

TEST_F(ChainBuildTest, CirclesFullArcsAndFrames)
{
    AddCircle({5, 5}, 2);
    TTuttoInCatena circle(Doc, Chains);
    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "7,5 a3,5 a7,5");
    EXPECT_EQ(Chains[0].Closed, 1);
    EXPECT_EQ(Chains[0].Vertices[1].Centre.X, 5.0);

    // A full-turn arc starting at 90 degrees: two halves about the opposite point.
    Doc.DeleteAllObjects();
    Chains.ClearAll();
    AddArc({0, 0}, 4, kPi / 2, kPi / 2);
    TTuttoInCatena arc(Doc, Chains);
    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "0,4 a0,-4 a0,4");

    // A frame: four vertices after the start vertex.
    Doc.DeleteAllObjects();
    Chains.ClearAll();
    Doc.AddObject(-1, std::make_unique<TFrame2D>(-1, TPoint2D{0, 0, 1}, TPoint2D{4, 2, 1}));
    TTuttoInCatena frame(Doc, Chains);
    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "0,0 4,0 4,2 0,2 0,0");
}

TEST_F(ChainBuildTest, LayerByLayerKeepsLayersApartLowestFirst)
{
    AddLine({0, 0}, {5, 0}, 3);
    AddLine({5, 0}, {5, 5}, 1);
    TTuttoInCatena all(Doc, Chains);
    EXPECT_EQ(Chains.Count(), 1);

    Chains.ClearAll();
    Context.ByLayer = true;
    TTuttoInCatena byLayer(Doc, Chains);
    ASSERT_EQ(Chains.Count(), 2);
    EXPECT_EQ(Path(Chains[0]), "5,0 5,5");
    EXPECT_EQ(Path(Chains[1]), "0,0 5,0");
}

TEST_F(ChainBuildTest, DrillingPointsWithTheDiameterFilter)
{
    AddCircle({0, 0}, 5.99 / 2);
    AddCircle({10, 0}, 6.01 / 2);
    AddCircle({20, 0}, 6.03 / 2);
    AddArc({30, 0}, 3, 0, kPi / 2);   // a quarter arc: never a point
    AddArc({40, 0}, 3, kPi, kPi);     // a closed arc
    AddPoint({50, 0});
    const TDrillFilter filter{true, 6.0, 0.02};
    TTuttoInCatena::CreatePoints(Doc, Chains, filter, kChainArcs | kChainCircles);
    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "0,0 10,0 40,0");

    Chains.ClearAll();
    TTuttoInCatena::CreatePoints(Doc, Chains, filter, kChainPoints);
    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "50,0");

    // Nothing found: no chain.
    Chains.ClearAll();
    TTuttoInCatena::CreatePoints(Doc, Chains, TDrillFilter{true, 12.0, 0.02}, kChainCircles);
    EXPECT_EQ(Chains.Count(), 0);
}

TEST_F(ChainBuildTest, PointSortUsesSinglePrecisionDistancesAndBacksUpItsOwnList)
{
    // From the top-left corner (0,0) is nearer than (0.0001,0) in double
    // precision, yet the two are equal as floats: the later one wins.
    auto points = std::make_unique<TCatena>();
    for (TXY p : {TXY{5, 5}, TXY{0, 0}, TXY{0.0001, 0}, TXY{20, -20}})
        points->AddVertex(TAVertice::CreateAt({p.X, p.Y}, 0));
    points->ID = 9;
    Chains.AddChain(std::move(points));
    Chains.SortPointsFrom({-9999, 9999}, true);
    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "0,0 0,0 5,5 20,-20");
    EXPECT_EQ(Chains[0].Vertices[0].EndPoint.X, 0.0001);
    EXPECT_EQ(Chains[0].ID, 0);

    // Another list's restore leaves it alone; the sorted list gets its own
    // chains back.
    TListaCatene other;
    auto lone = std::make_unique<TCatena>();
    lone->AddVertex(TAVertice::CreateAt({1, 1}, 0));
    other.AddChain(std::move(lone));
    other.RestoreOrder();
    ASSERT_EQ(other.Count(), 1);
    EXPECT_EQ(Path(other[0]), "1,1");
    Chains.SortPointsFrom({9999, -9999}, false);
    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "5,5 0,0 0,0 20,-20");
    EXPECT_EQ(Chains[0].ID, 9);
    EXPECT_EQ(SortBackup().Chains, nullptr);
}

TEST_F(ChainBuildTest, StockOutlineFromTheFirstChain)
{
    InstallChainHooks();
    TQVGrezzo stock;
    stock.SetOutlineFromChains(Chains); // empty: nothing
    EXPECT_EQ(stock.Outline().size(), 4u);
    AddLine({0, 0}, {3, 0});
    AddLine({3, 0}, {3, 3});
    TTuttoInCatena build(Doc, Chains);
    stock.SetOutlineFromChains(Chains);
    ASSERT_EQ(stock.Outline().size(), 3u);
    EXPECT_EQ(stock.Outline()[2].Y, 3.0);
    SetChainOutlineSource({});
}

} // namespace

namespace {

TEST(ChainNesting, EvenLevelsRunCounterClockwiseOddLevelsClockwise)
{
    kbtest::TFakeChainContext context;
    const auto square = [](double s, bool clockwise, bool closed) {
        auto c = std::make_unique<TACurva>();
        const std::vector<TVector2D> ccw{{0, 0}, {s, 0}, {s, s}, {0, s}, {0, 0}};
        for (size_t k = 0; k < ccw.size(); ++k)
            c->AddVertex(TAVertice::CreateAt(clockwise ? ccw[ccw.size() - 1 - k] : ccw[k], 0));
        c->Closed = closed ? 1 : 0;
        return c;
    };
    TListaDiCurve curves;
    curves.Add(square(1, false, true));  // level 1: to be turned clockwise
    curves.Add(square(9, true, true));   // level 0: to be turned counter-clockwise
    curves.Add(square(2, false, false)); // open: reported
    TListaCatene group;
    bool hasOpen = true;
    group.OrientByNesting({{1, 0}, {0, 1}}, curves, hasOpen);
    EXPECT_FALSE(hasOpen);
    ASSERT_EQ(group.Count(), 2);
    EXPECT_FALSE(group[0].IsClockwise());
    EXPECT_EQ(group[0].Vertices[1].EndPoint.X, 9.0);
    EXPECT_TRUE(group[1].IsClockwise());
    EXPECT_NE(group.ChainAt(1), nullptr);
    EXPECT_EQ(curves.Items[0], nullptr); // taken
    group.OrientByNesting({{2, 0}, {7, 0}}, curves, hasOpen);
    EXPECT_TRUE(hasOpen);
    EXPECT_EQ(group.Count(), 3);
}

} // namespace
