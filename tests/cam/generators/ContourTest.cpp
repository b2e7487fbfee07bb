#include "cam/generators/Contorno.h"

#include "tests/cam/generators/GeneratorTestSupport.h"

using namespace kbtest;

namespace {

class ContourTest : public GeneratorTest {};

// R 2, F 1, rough step 2, finish step 0.5, radius 3, allowance 0.2, inside
// a square of side 40.
std::unique_ptr<TOpManagerField> ThreePassSquare(int method)
{
    auto op = MakeOperation(OpKind::Contour);
    TParametriOperazione& p = *op->Parameters;
    p.CompSide = 1;
    p.RoughCount = 2;
    p.FinishCount = 1;
    p.RoughSize = 2;
    p.FinishSize = 0.5;
    p.StockXY = 0.2;
    p.OffsetMethod = static_cast<uint8_t>(method);
    op->Chains.AddChain(Square(0, 0, 40));
    return op;
}

} // namespace

TEST_F(ContourTest, PassesComeFarthestFirstInEveryMode)
{
    for (int method : {0, 1, 2}) {
        SCOPED_TRACE(method);
        auto op = ThreePassSquare(method);
        ASSERT_TRUE(Calculate(*op));
        ASSERT_EQ(op->Toolpaths.size(), 3u);
        const double inward[3] = {5.7, 3.7, 3.2};
        for (size_t k = 0; k < 3; ++k) {
            const TCurvaNci3d& c = *op->Toolpaths[k];
            EXPECT_NEAR(MinX(c), inward[k], 1e-3);
            EXPECT_NEAR(c.Vertices.front().EndPoint.Z, -1.0, 1e-12);
            EXPECT_TRUE(Ccw(c));
            if (method == 0) {
                EXPECT_EQ(c.Tag, 17);
            } else if (method == 1) {
                EXPECT_EQ(c.Tag >> 8, int(3 - k)); // the pass number
            }
        }
    }
    // One XY pass marks its main curve with 1.
    auto op = ThreePassSquare(0);
    op->Parameters->RoughCount = 1;
    op->Parameters->FinishCount = 0;
    ASSERT_TRUE(Calculate(*op));
    ASSERT_EQ(op->Toolpaths.size(), 1u);
    EXPECT_EQ(op->Toolpaths[0]->Tag, 1);
    EXPECT_NEAR(MinX(*op->Toolpaths[0]), 3.2, 1e-3);
}

TEST_F(ContourTest, NoPassOrNoLevelMakesNoToolpath)
{
    struct TCase {
        int Side;
        int Method;
        int Rough;
        int Levels;
    };
    // No XY pass with compensation on; a Z plan without levels in every mode.
    const TCase cases[] = {{1, 0, 0, 1}, {1, 1, 0, 1}, {1, 2, 0, 1}, {0, 0, 1, 0},
                           {1, 0, 1, 0}, {1, 1, 1, 0}, {1, 2, 1, 0}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Side * 100 + c.Method * 10 + c.Rough);
        auto op = ThreePassSquare(c.Method);
        TParametriOperazione& p = *op->Parameters;
        p.CompSide = c.Side;
        p.RoughCount = c.Rough;
        p.FinishCount = 0;
        p.PassCount = c.Levels;
        EXPECT_TRUE(Calculate(*op));
        EXPECT_TRUE(op->Toolpaths.empty());
    }
}

TEST_F(ContourTest, DirectionFlagSwapsOrientationAndCompensationCode)
{
    struct TCase {
        int Side;
        bool Reversed;
        bool Ccw;
        int Code;
    };
    const TCase cases[] = {{1, false, true, 41}, {1, true, false, 42}, {-1, false, true, 42}, {-1, true, false, 41}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Side * 10 + c.Reversed);
        auto op = ThreePassSquare(0);
        op->Parameters->CompSide = c.Side;
        op->Parameters->EmitG41G42 = true;
        op->Chains.DirectionReversed = c.Reversed;
        ASSERT_TRUE(Calculate(*op));
        for (const auto& curve : op->Toolpaths) {
            EXPECT_EQ(Ccw(*curve), c.Ccw);
            EXPECT_EQ(curve->CompCode, c.Code);
        }
        // Outside for -1, inside for +1.
        EXPECT_NEAR(MinX(*op->Toolpaths.back()), c.Side * 3.2, 1e-3);
    }
}

TEST_F(ContourTest, ArcLeadInMeetsTheStartTangentially)
{
    auto op = MakeOperation(OpKind::Contour);
    TParametriOperazione& p = *op->Parameters;
    p.CompSide = 1;
    p.LeadInKind = 2;
    p.LeadInLength = 5;
    TContorno contour(*op);
    struct TCase {
        bool Reversed;
        double Length;
        TVector2D Start;
        int Kind;
    };
    const TCase cases[] = {{false, 5, {-5, 5}, 1}, {true, 5, {-5, -5}, -1}, {false, 0, {0, 0}, 0}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Length + c.Reversed);
        op->Chains.DirectionReversed = c.Reversed;
        p.LeadInLength = c.Length;
        TACurva line;
        line.AddVertex(TAVertice::CreateAt({0, 0}, 0));
        line.AddVertex(TAVertice::CreateAt({10, 0}, 0));
        contour.AddLeadInOut(line);
        ASSERT_EQ(line.Count(), c.Length > 0 ? 3 : 2);
        EXPECT_NEAR(line.Vertices[0].EndPoint.X, c.Start.X, 1e-12);
        EXPECT_NEAR(line.Vertices[0].EndPoint.Y, c.Start.Y, 1e-12);
        if (c.Length > 0) {
            EXPECT_EQ(line.Vertices[1].Kind, c.Kind);
            EXPECT_NEAR(line.Vertices[1].Centre.Y, c.Start.Y, 1e-12);
            EXPECT_NEAR(line.Vertices[1].EndPoint.X, 0.0, 1e-12);
        }
    }
}

TEST_F(ContourTest, DepthOrderAndStepAndRepeat)
{
    // Chains at x 0 and x 100, two Z levels: per chain or level by level,
    // along the chains, offset, and for letters.
    struct TCase {
        int Kind;
        int Side;
        bool ByChain;
        const char* Order; // 'a' / 'b': the chain of each curve
    };
    const TCase cases[] = {{OpKind::Contour, 0, false, "abab"}, {OpKind::Contour, 0, true, "aabb"},
                           {OpKind::Contour, 1, false, "abab"}, {OpKind::Contour, 1, true, "aabb"},
                           {OpKind::Letters, 0, true, "aabb"}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Order) + std::to_string(c.Side));
        auto op = MakeOperation(c.Kind);
        TParametriOperazione& p = *op->Parameters;
        p.CompSide = c.Side;
        p.RoughCount = 1;
        p.PassCount = 2;
        p.DepthOrder = c.ByChain;
        op->Chains.AddChain(Square(0, 0, 20));
        op->Chains.AddChain(Square(100, 0, 20));
        ASSERT_TRUE(Calculate(*op));
        ASSERT_EQ(op->Toolpaths.size(), 4u);
        std::string order;
        std::vector<double> z;
        for (const auto& curve : op->Toolpaths) {
            order += MinX(*curve) < 50 ? 'a' : 'b';
            z.push_back(curve->Vertices.front().EndPoint.Z);
        }
        EXPECT_EQ(order, c.Order);
        EXPECT_EQ(z, c.ByChain ? std::vector<double>({-1, -2, -1, -2}) : std::vector<double>({-1, -1, -2, -2}));
    }

    // 3 x 1 copies 10 apart: two shifted copies, the original not repeated.
    auto op = MakeOperation(OpKind::Contour);
    TParametriOperazione& p = *op->Parameters;
    p.XformOn = 1;
    p.StepCountX = 3;
    p.StepX = 10;
    p.StepCountY = 1;
    p.StepY = 50;
    op->Chains.AddChain(Square(0, 0, 5));
    ASSERT_TRUE(Calculate(*op));
    ASSERT_EQ(op->Toolpaths.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(MinX(*op->Toolpaths[k]), 10.0 * k, 1e-12);
        EXPECT_NEAR(op->Toolpaths[k]->Vertices.front().EndPoint.Y, 0.0, 1e-12);
    }
}

TEST_F(ContourTest, NestedModeLinksOutlinesAndIslandsByTheRules)
{
    // A square of 60 with a round island of radius 10 in its middle, two
    // passes at 5 and 3; the outline shrinks, the island grows.
    struct TCase {
        int Rules;
        bool Reversed;
        std::vector<int> Islands; // low byte of Tag, curve by curve
        std::vector<int> Passes;  // high byte
    };
    const TCase cases[] = {{1, false, {0, 1, 1, 0}, {2, 2, 1, 1}},
                           {2, false, {1, 1, 0, 0}, {2, 1, 2, 1}},
                           {1, true, {0, 1, 1, 0}, {2, 2, 1, 1}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Rules * 10 + c.Reversed);
        auto op = MakeOperation(OpKind::Contour);
        TParametriOperazione& p = *op->Parameters;
        p.CompSide = 1;
        p.OffsetMethod = 1;
        p.RoughCount = 2;
        p.RoughSize = 2;
        p.CutRules = static_cast<int16_t>(c.Rules);
        op->Chains.DirectionReversed = c.Reversed;
        op->Chains.AddChain(Square(0, 0, 60));
        op->Chains.AddChain(Circle(30, 30, 10));
        ASSERT_TRUE(Calculate(*op));
        ASSERT_EQ(op->Toolpaths.size(), 4u);
        for (size_t k = 0; k < 4; ++k) {
            const TCurvaNci3d& curve = *op->Toolpaths[k];
            EXPECT_EQ(curve.Tag & 0xFF, c.Islands[k]);
            EXPECT_EQ(curve.Tag >> 8, c.Passes[k]);
            const bool island = c.Islands[k] == 1;
            // Outlines counter-clockwise, islands clockwise; the flag swaps.
            EXPECT_EQ(Ccw(curve), island == c.Reversed);
            if (island) {
                const double r = c.Passes[k] == 2 ? 15.0 : 13.0;
                bool arcs = false;
                for (const TAVertice3d& v : curve.Vertices) {
                    arcs = arcs || v.Kind != 0;
                    EXPECT_NEAR(std::hypot(v.EndPoint.X - 30, v.EndPoint.Y - 30), r, 0.01);
                }
                EXPECT_TRUE(arcs);
            }
        }
    }
    // Rules 0: the order of production, the farthest pass first.
    auto op = MakeOperation(OpKind::Contour);
    op->Parameters->CompSide = 1;
    op->Parameters->OffsetMethod = 1;
    op->Parameters->RoughCount = 2;
    op->Parameters->RoughSize = 2;
    op->Chains.AddChain(Square(0, 0, 60));
    op->Chains.AddChain(Circle(30, 30, 10));
    ASSERT_TRUE(Calculate(*op));
    ASSERT_EQ(op->Toolpaths.size(), 4u);
    EXPECT_EQ(op->Toolpaths[0]->Tag >> 8, 2);
    EXPECT_EQ(op->Toolpaths[1]->Tag >> 8, 2);
    EXPECT_EQ(op->Toolpaths[3]->Tag >> 8, 1);
}

TEST_F(ContourTest, OwnEngineKeepsExactArcs)
{
    auto op = MakeOperation(OpKind::Contour);
    op->Parameters->CompSide = 1;
    op->Parameters->OffsetMethod = 2;
    op->Parameters->RoughCount = 1;
    op->Chains.AddChain(Circle(30, 30, 10));
    ASSERT_TRUE(Calculate(*op));
    ASSERT_EQ(op->Toolpaths.size(), 1u);
    const TCurvaNci3d& c = *op->Toolpaths[0];
    for (size_t i = 1; i < c.Vertices.size(); ++i) {
        const TAVertice3d& v = c.Vertices[i];
        EXPECT_NE(v.Kind, 0);
        EXPECT_NEAR(std::hypot(v.EndPoint.X - 30, v.EndPoint.Y - 30), 7.0, 1e-9);
        EXPECT_NEAR(std::hypot(v.Centre.X - 30, v.Centre.Y - 30), 0.0, 1e-9);
    }
}

TEST_F(ContourTest, TabsLandOnTheNearestPassCurveOverWidthAndTool)
{
    for (int side : {0, 1}) {
        SCOPED_TRACE(side);
        auto op = MakeOperation(OpKind::Contour);
        TParametriOperazione& p = *op->Parameters;
        p.CompSide = side;
        p.RoughCount = 1;
        p.MakeTabs = 1;
        p.Tabs.TabWidth = 4;
        p.Tabs.Full = 1;
        op->Chains.AddChain(Square(0, 0, 20));
        TCatena& b = op->Chains.AddChain(Square(100, 0, 40));
        auto tab = std::make_unique<TDatiTab>();
        tab->ChainPoint = {120, 0};
        tab->ChainId = b.ID;
        p.Tabs.AddTab(std::move(tab));
        ASSERT_TRUE(Calculate(*op));
        // The second chain's curve is cut open over 4 + 6 around x 120.
        ASSERT_EQ(op->Toolpaths.size(), 3u);
        const TCurvaNci3d& before = *op->Toolpaths[1];
        const TCurvaNci3d& after = *op->Toolpaths[2];
        const double y = side == 0 ? 0.0 : 3.0;
        EXPECT_NEAR(before.Vertices.back().EndPoint.X, 115.0, 1e-6);
        EXPECT_NEAR(before.Vertices.back().EndPoint.Y, y, 1e-6);
        EXPECT_NEAR(after.Vertices.front().EndPoint.X, 125.0, 1e-6);
        EXPECT_NEAR(after.Vertices.front().EndPoint.Y, y, 1e-6);
    }
}

TEST_F(ContourTest, BreakEndsOnlyTheOwnEngineRun)
{
    struct TCase {
        int Side;
        int Method;
        bool Result;
    };
    const TCase cases[] = {{1, 2, false}, {1, 0, true}, {1, 1, true}, {0, 0, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Method + 10 * c.Side);
        Notifier.Clear();
        auto op = ThreePassSquare(c.Method);
        op->Parameters->CompSide = c.Side;
        op->Chains.AddChain(Circle(100, 0, 20));
        EXPECT_EQ(Calculate(*op, true), c.Result);
        // A broken run leaves nothing; the others run to their end.
        EXPECT_EQ(op->Toolpaths.empty(), !c.Result);
        if (c.Result) {
            EXPECT_EQ(op->Toolpaths.size(), c.Side == 0 ? 2u : 6u);
        }
        EXPECT_EQ(Notifier.Messages().size(), c.Side == 0 ? 0u : 1u);
    }
}

TEST_F(ContourTest, OpenChainStopsTheNestedModeWithOneMessage)
{
    auto op = MakeOperation(OpKind::Contour);
    op->Parameters->CompSide = 1;
    op->Parameters->OffsetMethod = 1;
    op->Parameters->RoughCount = 1;
    op->Chains.AddChain(Square(0, 0, 20));
    op->Chains.AddChain(ChainThrough({{50, 0}, {60, 0}, {60, 10}}, false));
    op->Chains.AddChain(Square(100, 0, 20));
    EXPECT_FALSE(Calculate(*op));
    EXPECT_TRUE(op->Toolpaths.empty());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText(LangKeys::String::NestedOpenChain));
}

// A single point, a closed chain of no length and an empty chain. Along the
// chains (and for drilling) each chain is carried over as it is: three
// curves of 1, 3 and 0 vertices. An offset has nothing to offset: no
// toolpath, no word; the nested mode stops at the point, an open chain,
// with its message. The pockets make no toolpath.
TEST_F(ContourTest, DegenerateChainsCrashNoGenerator)
{
    struct TCase {
        int Kind;
        int Side;
        int Method;
        int PocketType;
        int Result; // -1: not stated (the pockets)
        int Curves;
        int Vertices;
        const char* Message; // null: none; "": not stated
    };
    const char* const nested = LangKeys::String::NestedOpenChain.data();
    const TCase cases[] = {{OpKind::Contour, 0, 0, 0, 1, 3, 4, nullptr}, {OpKind::Contour, 1, 0, 0, 1, 0, 0, nullptr},
                           {OpKind::Contour, 1, 1, 0, 0, 0, 0, nested},  {OpKind::Contour, 1, 2, 0, 1, 0, 0, nullptr},
                           {OpKind::Contour, -1, 2, 0, 1, 0, 0, nullptr}, {OpKind::Pocket, 0, 0, 0, -1, 0, 0, ""},
                           {OpKind::Pocket, 0, 0, 1, -1, 0, 0, ""},       {OpKind::Drilling, 0, 0, 0, 1, 3, 4, nullptr}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Kind * 100 + c.Side * 10 + c.Method + c.PocketType);
        auto op = MakeOperation(c.Kind);
        TParametriOperazione& p = *op->Parameters;
        p.CompSide = c.Side;
        p.OffsetMethod = static_cast<uint8_t>(c.Method);
        p.RoughCount = 1;
        p.PocketType = c.PocketType;
        p.StepOverPercent = 50;
        p.PocketEntry = 2;
        p.ZStep = 1;
        auto point = std::make_unique<TCatena>();
        point->AddVertex(TAVertice::CreateAt({5, 5}, 0));
        op->Chains.AddChain(std::move(point));
        op->Chains.AddChain(ChainThrough({{7, 7}, {7, 7}}));
        op->Chains.AddChain(std::make_unique<TCatena>());
        const bool result = Calculate(*op);
        if (c.Result >= 0) {
            EXPECT_EQ(result, c.Result != 0);
        }
        EXPECT_EQ(op->Toolpaths.size(), static_cast<size_t>(c.Curves));
        EXPECT_EQ(op->ToolpathVertexCount(), c.Vertices);
        if (!c.Message) {
            EXPECT_TRUE(Notifier.Messages().empty());
        } else if (*c.Message) {
            ASSERT_EQ(Notifier.Messages().size(), 1u);
            EXPECT_EQ(Notifier.Messages()[0].Text, LangText(c.Message));
        }
    }
}

TEST_F(ContourTest, DrillingMakesOneCurveAtTheDepthPerChain)
{
    auto op = MakeOperation(OpKind::Drilling);
    TParametriOperazione& p = *op->Parameters;
    p.CycleType = 2;
    p.ZDepth = -4;
    p.PassCount = 3;
    op->Chains.AddChain(ChainThrough({{0, 0}, {5, 0}}, false));
    op->Chains.AddChain(ChainThrough({{10, 0}, {15, 0}, {20, 0}}, false));
    op->Chains.AddChain(ChainThrough({{30, 0}}, false));
    ASSERT_TRUE(Calculate(*op));
    ASSERT_EQ(op->Toolpaths.size(), 3u);
    const size_t counts[3] = {2, 3, 1};
    for (size_t k = 0; k < 3; ++k) {
        const TCurvaNci3d& c = *op->Toolpaths[k];
        EXPECT_EQ(c.Vertices.size(), counts[k]);
        EXPECT_EQ(c.Code, 83);
        EXPECT_EQ(c.ID, op->Chains[int(k)].ID);
        for (const TAVertice3d& v : c.Vertices)
            EXPECT_EQ(v.EndPoint.Z, -4.0);
    }
}
