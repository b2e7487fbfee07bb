#include "cam/generators/Tasca.h"

#include "tests/cam/generators/GeneratorTestSupport.h"

#include <algorithm>
#include <set>

using namespace kbtest;

namespace {

class PocketTest : public GeneratorTest {};

// Radius 3 at 60 %: step 3.6. Offset rings unless told otherwise.
std::unique_ptr<TOpManagerField> Pocket(int type = 1)
{
    auto op = MakeOperation(OpKind::Pocket);
    TParametriOperazione& p = *op->Parameters;
    p.StepOverPercent = 60;
    p.PocketType = type;
    return op;
}

// The distinct X of the vertices below the limit, rounded to 1e-3.
std::set<double> XsBelow(const TCurva3d& c, double limit)
{
    std::set<double> xs;
    for (const TAVertice3d& v : c.Vertices) {
        if (v.EndPoint.X < limit)
            xs.insert(std::round(v.EndPoint.X * 1000) / 1000);
    }
    return xs;
}

} // namespace

TEST_F(PocketTest, RingsShrinkByTheStepUntilNothingIsLeft)
{
    for (bool spiral : {false, true}) {
        SCOPED_TRACE(spiral);
        auto op = Pocket();
        op->Parameters->SpiralInOut = spiral;
        op->Chains.AddChain(Square(0, 0, 40));
        ASSERT_TRUE(Calculate(*op));
        ASSERT_FALSE(op->Toolpaths.empty());
        std::set<double> xs;
        for (const auto& c : op->Toolpaths)
            xs.merge(XsBelow(*c, 20));
        EXPECT_EQ(xs, (std::set<double>{3, 6.6, 10.2, 13.8, 17.4}));
        // Innermost first with the spiral, else the outermost.
        const double first = op->Toolpaths[0]->Vertices.front().EndPoint.X;
        const double inner = spiral ? 17.4 : 3.0;
        EXPECT_TRUE(std::fabs(first - inner) < 1e-3 || std::fabs(first - (40 - inner)) < 1e-3);
    }
}

TEST_F(PocketTest, IslandsEitherWayRoundGiveTheSameRings)
{
    std::vector<std::vector<TAVertice3d>> results;
    for (bool clockwise : {false, true}) {
        auto op = Pocket();
        op->Chains.AddChain(Square(0, 0, 60));
        auto island = Square(25, 25, 10);
        if (clockwise)
            island->Reverse();
        op->Chains.AddChain(std::move(island));
        ASSERT_TRUE(Calculate(*op));
        ASSERT_FALSE(op->Toolpaths.empty());
        std::vector<TAVertice3d> all;
        for (const auto& c : op->Toolpaths)
            all.insert(all.end(), c->Vertices.begin(), c->Vertices.end());
        // Nothing is cut within the island's slot.
        for (const TAVertice3d& v : all)
            EXPECT_FALSE(v.EndPoint.X > 22.01 && v.EndPoint.X < 37.99 && v.EndPoint.Y > 22.01 && v.EndPoint.Y < 37.99);
        results.push_back(all);
    }
    ASSERT_EQ(results[0].size(), results[1].size());
    for (size_t i = 0; i < results[0].size(); ++i) {
        EXPECT_NEAR(results[0][i].EndPoint.X, results[1][i].EndPoint.X, 1e-9);
        EXPECT_NEAR(results[0][i].EndPoint.Y, results[1][i].EndPoint.Y, 1e-9);
    }
}

TEST_F(PocketTest, FinishingRingsStayDownOnlyWhenTheirSlotIsInside)
{
    // One finishing pass of 1: the rough rings start at 4, the finishing
    // ring lies at 3.
    struct TCase {
        bool KeepDown;
        bool Island; // an island next to the link blocks it
        size_t Curves;
    };
    const TCase cases[] = {{false, false, 2}, {true, false, 1}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.KeepDown);
        auto op = Pocket();
        TParametriOperazione& p = *op->Parameters;
        p.FinishCount = 1;
        p.FinishSize = 1;
        p.KeepToolDown = c.KeepDown;
        op->Chains.AddChain(Square(0, 0, 40));
        ASSERT_TRUE(Calculate(*op));
        ASSERT_EQ(op->Toolpaths.size(), c.Curves);
        EXPECT_EQ(XsBelow(*op->Toolpaths.back(), 20).count(3.0), 1u);
        EXPECT_EQ(XsBelow(*op->Toolpaths.front(), 20).count(4.0), 1u);
    }
    // Nothing left at the finishing distance: the finishing ring alone
    // makes the toolpath.
    auto op = Pocket();
    op->Parameters->FinishCount = 1;
    op->Parameters->FinishSize = 4;
    op->Chains.AddChain(Square(0, 0, 12));
    ASSERT_TRUE(Calculate(*op));
    ASSERT_EQ(op->Toolpaths.size(), 1u);
    EXPECT_EQ(XsBelow(*op->Toolpaths[0], 6), (std::set<double>{3}));
}

TEST_F(PocketTest, ParallelRunsZigZagAndTheFlagReversesOnlyTheRings)
{
    std::vector<std::unique_ptr<TOpManagerField>> ops;
    for (bool reversed : {false, true}) {
        auto op = Pocket(0);
        TParametriOperazione& p = *op->Parameters;
        p.FinishCount = 1;
        p.FinishSize = 0.5;
        p.CompSide = 1;
        p.LeadInKind = 1;
        p.LeadInLength = 1;
        op->Chains.DirectionReversed = reversed;
        op->Chains.AddChain(Square(0, 0, 20));
        ASSERT_TRUE(Calculate(*op));
        ASSERT_EQ(op->Toolpaths.size(), 2u);
        ops.push_back(std::move(op));
    }
    // The zig-zag: cuts along X, 3.6 apart, inside the finishing distance.
    const TCurvaNci3d& run = *ops[0]->Toolpaths[0];
    std::set<double> ys;
    for (const TAVertice3d& v : run.Vertices) {
        EXPECT_GE(v.EndPoint.X, 3.5 - 1e-6);
        EXPECT_LE(v.EndPoint.X, 16.5 + 1e-6);
        ys.insert(std::round(v.EndPoint.Y * 1000) / 1000);
    }
    EXPECT_EQ(ys, (std::set<double>{3.5, 7.1, 10.7, 14.3, 16.5}));
    // The runs stay, the finishing ring turns, its lead comes from inside.
    const TCurvaNci3d& same = *ops[1]->Toolpaths[0];
    ASSERT_EQ(same.Vertices.size(), run.Vertices.size());
    for (size_t i = 0; i < run.Vertices.size(); ++i)
        EXPECT_NEAR(same.Vertices[i].EndPoint.Y, run.Vertices[i].EndPoint.Y, 1e-9);
    for (size_t k = 0; k < 2; ++k) {
        const TCurvaNci3d& ring = *ops[k]->Toolpaths[1];
        // Without the lead-in vertex: counter-clockwise, or clockwise.
        TCurvaNci3d body = ring;
        body.Vertices.erase(body.Vertices.begin());
        EXPECT_EQ(Ccw(body), k == 0);
        const TVector3D& lead = ring.Vertices.front().EndPoint;
        const double e = 1e-9; // on or inside the ring, never in the wall
        EXPECT_TRUE(lead.X > 3 - e && lead.X < 17 + e && lead.Y > 3 - e && lead.Y < 17 + e);
        EXPECT_NEAR(std::hypot(lead.X - ring.Vertices[1].EndPoint.X, lead.Y - ring.Vertices[1].EndPoint.Y), 1.0, 1e-9);
    }
}

TEST_F(PocketTest, BreakAndZeroStepFailWithoutToolpathExceptInTheParallelBands)
{
    // The ring loop's break and a step of 0 fail: no toolpath, and the
    // failure is reported after the break box. A break in the parallel
    // bands ends the bands of each group (here after the first band) and
    // the run goes on with the next group.
    struct TCase {
        int Type;
        bool Break;
        double Percent;
        bool Result;
        std::vector<std::string> Messages;
    };
    const std::string warning = LangText(LangKeys::String::UserBreak1);
    const std::string failed = LangText(LangKeys::String::ToolBadNumber);
    const TCase cases[] = {{0, true, 60, true, {warning}},
                           {1, true, 60, false, {warning, failed}},
                           {0, false, 0, false, {failed}},
                           {1, false, 0, false, {failed}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.Type) + (c.Break ? " break" : " step 0"));
        auto op = Pocket(c.Type);
        op->Parameters->StepOverPercent = c.Percent;
        op->Chains.AddChain(Square(0, 0, 40));
        op->Chains.AddChain(Square(100, 0, 40));
        EXPECT_EQ(Calculate(*op, c.Break), c.Result);
        ASSERT_EQ(Notifier.Messages().size(), c.Messages.size());
        for (size_t m = 0; m < c.Messages.size(); ++m)
            EXPECT_EQ(Notifier.Messages()[m].Text.substr(0, c.Messages[m].size()), c.Messages[m]);
        if (!c.Result) {
            EXPECT_TRUE(op->Toolpaths.empty());
            continue;
        }
        // The first band of both squares: the cut along y 3 and the climb
        // to the next band's line.
        bool second = false;
        ASSERT_FALSE(op->Toolpaths.empty());
        for (const auto& curve : op->Toolpaths) {
            for (const TAVertice3d& v : curve->Vertices) {
                EXPECT_LE(v.EndPoint.Y, 6.6 + 1e-6);
                second = second || v.EndPoint.X > 100;
            }
        }
        EXPECT_TRUE(second);
    }
}

TEST_F(PocketTest, BreakWhileJoiningTheRingsEndsOnlyTheJoining)
{
    // The clock stands still through the ring loop (six rings, the last
    // one empty), then every step refreshes: the first join is broken off.
    auto op = Pocket();
    op->Parameters->SpiralInOut = 0;
    op->Chains.AddChain(Square(0, 0, 40));
    Notifier.Clear();
    Monitor.BreakRequested = true;
    int calls = 0;
    const auto clock = [&calls]() -> int64_t { return ++calls <= 7 ? 0 : 1001 * calls; };
    EXPECT_TRUE(CalculateOperation2D(*op, &Monitor, clock));
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text.substr(0, 10), LangText(LangKeys::String::UserBreak1).substr(0, 10));
    // The outer ring and the one joined before the break are cut.
    std::set<double> xs;
    for (const auto& c : op->Toolpaths)
        xs.merge(XsBelow(*c, 20));
    EXPECT_EQ(xs, (std::set<double>{3, 6.6}));
}

TEST_F(PocketTest, OpenChainIsLeftOutAndTheRestIsPocketed)
{
    // The open chain lies inside the first square, collected before its
    // island; a second square follows in its own group, a third open chain
    // in another. Each strategy cuts what it cuts without the open chains,
    // after one message.
    const auto build = [](int type, bool open) {
        auto op = Pocket(type);
        op->Chains.AddChain(Square(0, 0, 60));
        if (open)
            op->Chains.AddChain(ChainThrough({{5, 5}, {15, 5}, {15, 15}}, false));
        op->Chains.AddChain(Square(25, 25, 10));
        op->Chains.AddChain(Square(100, 0, 40));
        if (open)
            op->Chains.AddChain(ChainThrough({{200, 0}, {210, 0}, {210, 10}}, false));
        return op;
    };
    for (int type : {0, 1}) {
        SCOPED_TRACE(type);
        auto expected = build(type, false);
        ASSERT_TRUE(Calculate(*expected));
        auto op = build(type, true);
        EXPECT_TRUE(Calculate(*op));
        ASSERT_EQ(Notifier.Messages().size(), 1u);
        EXPECT_EQ(Notifier.Messages()[0].Text, LangText(LangKeys::String::PocketOpenChain));
        ASSERT_EQ(op->Toolpaths.size(), expected->Toolpaths.size());
        for (size_t c = 0; c < op->Toolpaths.size(); ++c) {
            const auto& got = op->Toolpaths[c]->Vertices;
            const auto& want = expected->Toolpaths[c]->Vertices;
            ASSERT_EQ(got.size(), want.size());
            for (size_t i = 0; i < got.size(); ++i) {
                EXPECT_NEAR(got[i].EndPoint.X, want[i].EndPoint.X, 1e-9);
                EXPECT_NEAR(got[i].EndPoint.Y, want[i].EndPoint.Y, 1e-9);
            }
        }
        // The island is kept out and the second square is cut.
        bool second = false;
        for (const auto& curve : op->Toolpaths) {
            for (const TAVertice3d& v : curve->Vertices) {
                const TVector3D& q = v.EndPoint;
                const double dx = std::max({25 - q.X, 0.0, q.X - 35}), dy = std::max({25 - q.Y, 0.0, q.Y - 35});
                EXPECT_GE(std::hypot(dx, dy), 3 - 0.005);
                second = second || q.X > 100;
            }
        }
        EXPECT_TRUE(second);
    }
}
