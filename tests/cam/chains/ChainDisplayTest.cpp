#include "cam/chains/Catena.h"
#include "core/settings/Language.h"
#include "tests/cam/ChainTestSupport.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct TXYZ {
    double X, Y, Z;
};

class ChainDisplayTest : public ::testing::Test {
protected:
    ChainDisplayTest() { SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english")); }
    ~ChainDisplayTest() override { SetLanguageIni(nullptr); }

    static std::unique_ptr<TCatena> Chain(std::initializer_list<TAVertice> vertices, bool closed)
    {
        auto c = std::make_unique<TCatena>();
        for (const TAVertice& v : vertices)
            c->AddVertex(v);
        c->Closed = closed ? 1 : 0;
        return c;
    }
    static TAVertice L(double x, double y) { return TAVertice::CreateAt({x, y}, 0); }

    // The nodes of a line object in the recording scene.
    std::vector<TVector3D> Nodes(TSceneNodeId node) const
    {
        const TSceneLines* lines = View.Scene.As<TSceneLines>(node);
        return lines ? lines->Nodes : std::vector<TVector3D>{};
    }
    static void ExpectNodes(const std::vector<TVector3D>& nodes, size_t from, std::initializer_list<TXYZ> expected,
                            const char* what)
    {
        ASSERT_GE(nodes.size(), from + expected.size()) << what;
        size_t k = from;
        for (const TXYZ& e : expected) {
            EXPECT_NEAR(nodes[k].X, e.X, 1e-9) << what << " node " << k;
            EXPECT_NEAR(nodes[k].Y, e.Y, 1e-9) << what << " node " << k;
            EXPECT_NEAR(nodes[k].Z, e.Z, 1e-9) << what << " node " << k;
            ++k;
        }
    }

    kbtest::TRecordingViewServices View;
    kbtest::TFakeChainContext Context;
};

TEST_F(ChainDisplayTest, ChainAndArrowsLiveInTheirGroups)
{
    auto chain = Chain({L(0, 0), L(10, 0), TAVertice::CreateFull(1, {10, 10}, {10, 5}, 0)}, false);
    EXPECT_EQ(View.Scene.Node(chain->ChainNode())->Parent, View.Scene.Group(TSceneGroup::Chain));
    EXPECT_EQ(View.Scene.Node(chain->ArrowNode())->Parent, View.Scene.Group(TSceneGroup::ChainArrow));
    chain->Draw(false);
    const std::vector<TVector3D> nodes = Nodes(chain->ChainNode());
    // (0,0), (10,0), then the half circle as chords ending at (10,10).
    ASSERT_GT(nodes.size(), 4u);
    ExpectNodes(nodes, 0, {{0, 0, 0.0025}, {10, 0, 0.0025}}, "chain");
    ExpectNodes(nodes, nodes.size() - 1, {{10, 10, 0.0025}}, "chain end");
    for (size_t k = 2; k < nodes.size(); ++k) {
        EXPECT_NEAR(std::hypot(nodes[k].X - 10, nodes[k].Y - 5), 5.0, 1e-9);
        EXPECT_GE(nodes[k].X, 10.0 - 1e-9); // the half on the right
    }
    EXPECT_FALSE(View.Scene.As<TSceneLines>(chain->ChainNode())->NodesVisible);

    const TSceneNodeId chainNode = chain->ChainNode();
    chain.reset();
    EXPECT_EQ(View.Scene.Node(chainNode), nullptr);
}

TEST_F(ChainDisplayTest, ArrowsAtAKnownScale)
{
    Context.Scale = 2.0; // one arrow length is half a drawing unit
    const double s = 0.5;
    const double l = 0.66 * s;
    auto chain = Chain({L(0, 0), L(10, 0), L(10, 10)}, false);
    struct TCase {
        const char* Name;
        bool Reversed;
        int Side;
        std::vector<TXYZ> Expected;
    };
    const std::vector<TXYZ> forward{{0, 0, 0.005}, {s, 0, 0.005}, {l, -l / 5, 0.005}, {l, l / 5, 0.005}, {s, 0, 0.005}};
    const std::vector<TXYZ> backward{
        {10, 10, 0.005}, {10, 10 - s, 0.005}, {10 - l / 5, 10 - l, 0.005}, {10 + l / 5, 10 - l, 0.005}, {10, 10 - s, 0.005}};
    // The side arrow: the arrow at 0.6 turned a quarter to the right (1,
    // outside) or the left (2, inside) of travel.
    const auto side = [](const std::vector<TXYZ>& arrow, double sign) {
        std::vector<TXYZ> turned;
        const TXYZ o = arrow[0];
        for (const TXYZ& p : arrow) {
            const double dx = (p.X - o.X) * 0.6, dy = (p.Y - o.Y) * 0.6;
            turned.push_back({o.X - dy * sign, o.Y + dx * sign, 0.0});
        }
        return turned;
    };
    const auto join = [](std::vector<TXYZ> a, const std::vector<TXYZ>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const TCase cases[] = {
        {"forward, compensation off", false, 0, forward},
        {"forward, outside", false, 1, join(forward, side(forward, -1))},
        {"forward, inside", false, 2, join(forward, side(forward, 1))},
        {"reversed, outside", true, 1, join(backward, side(backward, 1))},
        {"reversed, inside", true, 2, join(backward, side(backward, -1))},
    };
    for (const TCase& c : cases) {
        chain->ClearArrowLines();
        chain->DrawArrow(c.Reversed, c.Side);
        const std::vector<TVector3D> nodes = Nodes(chain->ArrowNode());
        EXPECT_EQ(nodes.size(), c.Expected.size()) << c.Name;
        for (size_t k = 0; k < std::min(nodes.size(), c.Expected.size()); ++k) {
            EXPECT_NEAR(nodes[k].X, c.Expected[k].X, 1e-9) << c.Name << " node " << k;
            EXPECT_NEAR(nodes[k].Y, c.Expected[k].Y, 1e-9) << c.Name << " node " << k;
            EXPECT_NEAR(nodes[k].Z, c.Expected[k].Z, 1e-9) << c.Name << " node " << k;
        }
    }
    // The point of the inside arrow lies left of travel: inside a
    // counter-clockwise chain.
    chain->ClearArrowLines();
    chain->DrawArrow(false, 2);
    EXPECT_GT(Nodes(chain->ArrowNode())[6].Y, 0.0);
}

TEST_F(ChainDisplayTest, PointMarker)
{
    Context.Offset = 2.0;
    auto point = Chain({L(5, 5)}, false);
    point->Draw(false);
    EXPECT_TRUE(Nodes(point->ChainNode()).empty());
    point->Draw(true);
    const std::vector<TVector3D> nodes = Nodes(point->ChainNode());
    // The circle of radius 2 (its profile, closed), then the cross 1.5 r.
    ASSERT_GT(nodes.size(), 6u);
    for (size_t k = 0; k + 6 < nodes.size(); ++k) {
        EXPECT_NEAR(std::hypot(nodes[k].X - 5, nodes[k].Y - 5), 2.0, 1e-9);
        EXPECT_EQ(nodes[k].Z, 0.0);
    }
    ExpectNodes(nodes, nodes.size() - 6, {{8, 5, 0}, {2, 5, 0}, {5, 5, 0}, {5, 8, 0}, {5, 2, 0}, {5, 5, 0}}, "cross");
}

TEST_F(ChainDisplayTest, InfoLabel)
{
    TListaCatene list;
    list.HasInfoLabel = true;
    const auto square = [] {
        return Chain({L(0, 0), L(1, 0), L(1, 1), L(0, 0)}, true);
    };
    // No current operation: the label stays as it is.
    list.AddChain(square());
    list.UpdateInfo();
    EXPECT_TRUE(Context.Infos.empty());

    Context.Kind = 1;
    list.UpdateInfo();
    list.AddChain(square());
    list.AddChain(square());
    list.AddChain(Chain({L(5, 5), L(6, 6)}, false));
    list.Redraw(false);
    list.ClearChains();
    list.AddChain(Chain({L(5, 5), L(6, 6)}, false));
    list.UpdateInfo();
    Context.Kind = 3; // drilling: the points
    list.AddChain(Chain({L(5, 5), L(6, 6), L(7, 7)}, false));
    list.UpdateInfo();
    list.ClearChains();
    const std::vector<std::string> expected{
        "1 " + LangText("718"),
        "3 " + LangText("718") + " - 1 " + LangText("719"),
        "",
        "1 " + LangText("719"),
        "5 " + LangText("725"),
        "",
    };
    EXPECT_EQ(Context.Infos, expected);
    EXPECT_EQ(LangText("718"), "closed chains");

    // A list without a label never writes it.
    TListaCatene silent;
    silent.AddChain(square());
    silent.UpdateInfo();
    EXPECT_EQ(Context.Infos.size(), expected.size());
}

TEST_F(ChainDisplayTest, RedrawUsesTheCompensationSideAndHidingIsPerGroup)
{
    Context.Side = 2;
    TListaCatene list;
    TCatena& c = list.AddChain(Chain({L(0, 0), L(10, 0), L(10, 10), L(0, 0)}, true));
    list.Redraw(false);
    EXPECT_EQ(Nodes(c.ChainNode()).size(), 4u);
    EXPECT_EQ(Nodes(c.ArrowNode()).size(), 10u);
    list.Redraw(true); // points mode: no side arrow, markers
    EXPECT_EQ(Nodes(c.ArrowNode()).size(), 5u);
    list.ClearArrows();
    EXPECT_TRUE(Nodes(c.ArrowNode()).empty());
    list.ClearDrawing();
    EXPECT_TRUE(Nodes(c.ChainNode()).empty());

    HideChainDisplay();
    EXPECT_FALSE(View.Scene.Node(View.Scene.Group(TSceneGroup::Chain))->Visible);
    EXPECT_FALSE(View.Scene.Node(View.Scene.Group(TSceneGroup::ChainArrow))->Visible);
    ShowChainDisplay();
    EXPECT_TRUE(View.Scene.Node(View.Scene.Group(TSceneGroup::Chain))->Visible);
}

} // namespace
