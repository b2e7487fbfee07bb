#include "cam/chains/Catena.h"
#include "cam/chains/PointsAlong.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Punto2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/ControlEvents.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/NumberText.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/cam/ChainTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TCatena> Polyline(const std::vector<TVector2D>& points)
{
    auto chain = std::make_unique<TCatena>();
    for (const TVector2D& p : points)
        chain->AddVertex(TAVertice::CreateAt(p, 0));
    return chain;
}

// A circle of radius r about the origin as two half arcs from (r, 0).
std::unique_ptr<TCatena> Circle(double r)
{
    auto chain = Polyline({{r, 0}});
    chain->AddVertex(TAVertice::CreateFull(1, TVector2D{-r, 0}, TVector2D{0, 0}, 0));
    chain->AddVertex(TAVertice::CreateFull(1, TVector2D{r, 0}, TVector2D{0, 0}, 0));
    chain->Closed = 1;
    return chain;
}

class PointsAlongTest : public ::testing::Test {
protected:
    PointsAlongTest() { SetUndoJournal(&Journal); }
    ~PointsAlongTest() override { SetUndoJournal(nullptr); }

    std::vector<TVector2D> AddedPoints()
    {
        std::vector<TVector2D> points;
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* o = it.First(); o; o = it.Next())
            if (auto* p = dynamic_cast<TPunto2D*>(o))
                points.push_back(TVector2D{p->Points().Get(0).X, p->Points().Get(0).Y});
        return points;
    }

    kbtest::TFakeChainContext Context;
    kbtest::TRecordingShell Shell;
    TQV_01Cmp2D Doc;
    TUndoRedo Journal{Doc};
};

TEST_F(PointsAlongTest, PointsAreSpacedEvenlyAlongTheChain)
{
    struct TCase {
        const char* Name;
        std::unique_ptr<TCatena> Chain;
        int N;
        std::vector<TVector2D> Expected;
    };
    const double s = std::sqrt(0.5);
    TCase cases[] = {
        {"line of 10", Polyline({{0, 0}, {10, 0}}), 3, {{0, 0}, {5, 0}, {10, 0}}},
        {"corner inside a step", Polyline({{0, 0}, {3, 0}, {3, 3}}), 3, {{0, 0}, {3, 0}, {3, 3}}},
        {"step across vertices", Polyline({{0, 0}, {1, 0}, {2, 0}, {4, 0}}), 3, {{0, 0}, {2, 0}, {4, 0}}},
        {"circle of radius 1", Circle(1), 5, {{1, 0}, {0, 1}, {-1, 0}, {0, -1}, {1, 0}}},
        {"eight on a circle", Circle(1), 9, {{1, 0}, {s, s}, {0, 1}, {-s, s}, {-1, 0}, {-s, -s}, {0, -1}, {s, -s}, {1, 0}}},
        {"one point", Polyline({{0, 0}, {10, 0}}), 1, {}},
        {"zero length", Polyline({{2, 2}, {2, 2}, {2, 2}}), 3, {{2, 2}}},
        {"a single vertex", Polyline({{2, 2}}), 4, {{2, 2}}},
    };
    for (const TCase& c : cases) {
        const std::vector<TVector2D> points = SpacedPoints(*c.Chain, c.N);
        ASSERT_EQ(points.size(), c.Expected.size()) << c.Name;
        for (size_t i = 0; i < points.size(); ++i) {
            EXPECT_NEAR(points[i].X, c.Expected[i].X, 1e-9) << c.Name << " " << i;
            EXPECT_NEAR(points[i].Y, c.Expected[i].Y, 1e-9) << c.Name << " " << i;
        }
    }
}

TEST_F(PointsAlongTest, AddingShowsTheMeasuresAndMakesOneUndoStep)
{
    Shell.Checks[TToolWinCheck::AlPoints] = true;
    Shell.Checks[TToolWinCheck::AlHoles] = true;
    Shell.Texts[TToolWinText::HoleDia] = "0.5";
    auto line = Polyline({{0, 0}, {10, 0}});
    PointsAlongChain(*line, true, &Doc);

    EXPECT_EQ(Shell.Texts[TToolWinText::ChainLength], "10");
    EXPECT_EQ(Shell.Texts[TToolWinText::PtDistance], "5");
    EXPECT_EQ(Doc.ObjectsCount(), 6); // a hole and a point at each of three places
    const std::vector<TVector2D> points = AddedPoints();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_DOUBLE_EQ(points[1].X, 5.0);
    ASSERT_EQ(Journal.Steps().size(), 1u);
    EXPECT_EQ(Journal.Steps()[0].Kind, TUndoKind::NewObjects);
    {
        TGraphicObjIterator it = Doc.ObjectsIterator();
        for (TGraphicObject* o = it.First(); o; o = it.Next())
            if (auto* hole = dynamic_cast<TCerchio2D*>(o)) {
                TPoint2D c;
                double r = 0.0;
                hole->GetCircle(c, r);
                EXPECT_DOUBLE_EQ(r, 0.5);
            }
    }
    Journal.Undo();
    EXPECT_EQ(Doc.ObjectsCount(), 0);
}

TEST_F(PointsAlongTest, AClosedChainSkipsTheLastPointThatMeetsTheFirst)
{
    Shell.Checks[TToolWinCheck::AlPoints] = true;
    Shell.Texts[TToolWinText::NumPtAlong] = "5";
    auto circle = Circle(1);
    PointsAlongChain(*circle, true, &Doc);
    EXPECT_EQ(AddedPoints().size(), 4u);
    EXPECT_EQ(Shell.Texts[TToolWinText::ChainLength], FormatCoord(2 * std::numbers::pi));
}

TEST_F(PointsAlongTest, NothingIsAddedOrJournaledWithoutAKindOrACount)
{
    struct TCase {
        const char* Count;
        bool Points;
    };
    for (const TCase& c : {TCase{"3", false}, TCase{"1", true}, TCase{"", true}, TCase{"x", true}}) {
        Shell.Texts[TToolWinText::NumPtAlong] = c.Count;
        Shell.Checks[TToolWinCheck::AlPoints] = c.Points;
        auto line = Polyline({{0, 0}, {10, 0}});
        PointsAlongChain(*line, true, &Doc);
        EXPECT_EQ(Doc.ObjectsCount(), 0) << c.Count;
        EXPECT_TRUE(Journal.Steps().empty()) << c.Count;
    }
}

// Records the edit-event guard whenever the chains report their count.
class TGuardWatchingContext final : public TChainContext {
public:
    int CompensationSide() const override { return 0; }
    double CompensationOffset() const override { return 0.0; }
    std::optional<int> CurrentOperationKind() const override { return 1; }
    bool LayerByLayer() const override { return false; }
    void SetChainInfo(const std::string&) override { Seen.push_back(ControlEventsEnabled()); }
    double SceneScale() const override { return 1.0; }
    std::vector<bool> Seen;
};

TEST_F(PointsAlongTest, TheListPreviewsWithTheEditEventsOff)
{
    TGuardWatchingContext watch;
    TChainContext* previous = SetChainContext(&watch);
    Shell.Checks[TToolWinCheck::AlPoints] = true;
    GlobalChainList().HasInfoLabel = true;
    GlobalChainList().AddChain(Polyline({{0, 0}, {10, 0}}));
    GlobalChainList().PointsAlongChains(false, &Doc);
    SetChainContext(previous);

    EXPECT_EQ(watch.Seen, std::vector<bool>{false}) << "off while the list redraws";
    EXPECT_TRUE(ControlEventsEnabled()) << "on again afterwards";
    EXPECT_EQ(Doc.ObjectsCount(), 0) << "a preview adds nothing";
    EXPECT_EQ(Shell.Texts[TToolWinText::PtDistance], "5");
}

} // namespace
