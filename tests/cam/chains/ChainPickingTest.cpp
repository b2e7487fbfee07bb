#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "cam/chains/Catena.h"
#include "cam/chains/ChainPicking.h"
#include "cam/chains/TabPlacing.h"
#include "core/entities/Container2D.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/VectFont.h"
#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/Language.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/cam/ChainTestSupport.h"
#include "tests/support/RecordingNotifier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Path(const TACurva& c)
{
    std::string s;
    for (const TAVertice& v : c.Vertices) {
        if (!s.empty())
            s += ' ';
        s += std::to_string(static_cast<int>(std::lround(v.EndPoint.X))) + "," +
             std::to_string(static_cast<int>(std::lround(v.EndPoint.Y)));
    }
    return s;
}

class ChainPickingTest : public ::testing::Test {
protected:
    ChainPickingTest() { SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english")); }
    ~ChainPickingTest() override { SetLanguageIni(nullptr); }

    TLine2D* Line(double x1, double y1, double x2, double y2)
    {
        return Doc.AddObject(-1, std::make_unique<TLine2D>(-1, TPoint2D{x1, y1, 1}, TPoint2D{x2, y2, 1}));
    }
    TObject2D* Text()
    {
        try {
            CADSysFindFontByIndex(7);
        } catch (const ECADSysException&) {
            CADSysRegisterFont(7, std::make_unique<TVectFont>());
        }
        return Doc.AddObject(-1, std::make_unique<TJustifiedVectText2D>(-1, CADSysFindFontByIndex(7),
                                                                         TRect2D{0, 0, 5, 2}, 1.0, "abc"));
    }
    // Hands the objects to the state as a selection state does.
    template <class TState> void HandOver(const std::vector<TObject2D*>& objects, uint8_t mode, TListaCatene& target)
    {
        auto selection = std::make_unique<TQV_50SelectObjectsParam>(5, mode, &target, nullptr);
        for (TObject2D* object : objects)
            selection->Select(*object);
        Prg.StartOperation(StateClassOf<TState>(), std::move(selection));
    }

    kbtest::TFakeChainContext Context;
    kbtest::TRecordingNotifier Notifier;
    kbtest::TRecordingShell Shell;
    TQV_01Cmp2D Doc;
    TQV_00Prog Prg;
    TListaCatene Chains;
};

TEST_F(ChainPickingTest, OneLineOfARectangleGivesTheClosedChainFromThatLinesStart)
{
    // Drawn clockwise, so the chain is turned to run counter-clockwise.
    Line(0, 0, 0, 5);
    Line(0, 5, 10, 5);
    TLine2D* right = Line(10, 5, 10, 0);
    Line(10, 0, 0, 0);
    HandOver<TChainInCatena>({right}, kPickForOperation, Chains);

    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_TRUE(Chains[0].Closed);
    EXPECT_EQ(Path(Chains[0]), "10,5 0,5 0,0 10,0 10,5");
    EXPECT_FALSE(Prg.Busy());
    EXPECT_EQ(Shell.Focused, std::vector<TToolWinGroup>{TToolWinGroup::Chains});
}

TEST_F(ChainPickingTest, AnEntityThatCannotBeChainedWarnsAndAddsNothing)
{
    HandOver<TChainInCatena>({Text()}, kPickForOperation, Chains);

    EXPECT_EQ(Chains.Count(), 0);
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText("463"));
    EXPECT_EQ(Notifier.Messages()[0].Caption, LangText("450"));
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Warning);
    EXPECT_FALSE(Prg.Busy());
}

TEST_F(ChainPickingTest, AWindowOverATextAndTwoTouchingLinesGivesOneChain)
{
    TObject2D* text = Text();
    TLine2D* a = Line(0, 0, 4, 0);
    TLine2D* b = Line(4, 0, 4, 3);
    HandOver<TSelezioneInCatena>({text, a, b}, kPickForOperation, Chains);

    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "0,0 4,0 4,3");
    EXPECT_FALSE(Chains[0].Closed);
    EXPECT_TRUE(Notifier.Messages().empty());
}

TEST_F(ChainPickingTest, APointPickMakesAChainOnlyWhenSomethingMatches)
{
    ChainPointFlags = kChainPoints;
    TLine2D* line = Line(0, 0, 4, 0);
    HandOver<TSelezionePuntiInCatena>({line}, kPickForOperation, Chains);
    EXPECT_EQ(Chains.Count(), 0) << "no empty point chain";

    TObject2D* p = Doc.AddObject(-1, std::make_unique<TPunto2D>(-1, TPoint2D{2, 3, 1}));
    TObject2D* q = Doc.AddObject(-1, std::make_unique<TPunto2D>(-1, TPoint2D{5, 1, 1}));
    HandOver<TSelezionePuntiInCatena>({line, p, q}, kPickForOperation, Chains);
    ASSERT_EQ(Chains.Count(), 1);
    EXPECT_EQ(Path(Chains[0]), "2,3 5,1");
}

TEST_F(ChainPickingTest, ThePointsAlongPickReplacesItsChainAndShowsItsMeasures)
{
    TLine2D* first = Line(0, 0, 4, 0);
    TLine2D* line = Line(20, 0, 30, 0);
    HandOver<TChainInCatena>({first}, kPickForPointsAlong, GlobalChainList());
    HandOver<TChainInCatena>({line}, kPickForPointsAlong, GlobalChainList());

    ASSERT_EQ(GlobalChainList().Count(), 1);
    EXPECT_EQ(Path(GlobalChainList()[0]), "20,0 30,0");
    EXPECT_EQ(Shell.Texts[TToolWinText::ChainLength], "10");
    EXPECT_EQ(Shell.Texts[TToolWinText::PtDistance], "5");
    EXPECT_EQ(Doc.ObjectsCount(), 2) << "a pick only previews";
}

// ---- tab drag ---------------------------------------------------------------

class TabDragTest : public ::testing::Test {
protected:
    TabDragTest()
    {
        SetTabMarkerDocument(&Doc);
        auto chain = std::make_unique<TCatena>();
        chain->AddVertex(TAVertice::CreateAt(TVector2D{0, 0}, 0));
        chain->AddVertex(TAVertice::CreateAt(TVector2D{10, 0}, 0));
        chain->ID = 7;
        Chains.AddChain(std::move(chain));
        View.Scale = 10.0; // 0.1 drawing units a pixel
    }
    ~TabDragTest() override
    {
        Tabs.ClearTabs();
        SetTabMarkerDocument(nullptr);
        FreeTabMarker();
    }

    kbtest::TFakeChainContext Context;
    kbtest::TRecordingShell Shell;
    kbtest::TFakeCADView View;
    TQV_01Cmp2D Doc;
    TQV_00Prog Prg;
    kbtest::TCADDriver Driver{Prg, View, Shell};
    TListaCatene Chains;
    TListaTab Tabs;
};

TEST_F(TabDragTest, TheFirstClickPlacesNothingAndEachLaterClickPlacesTheDraggedTab)
{
    Prg.StartOperation(StateClassOf<TMuoveDinamico>(),
                       std::make_unique<TMuoveDinamicoParam>(nullptr, 1, 2.0, nullptr, &Tabs, &Chains));
    Driver.Click(TPoint2D{3, 1, 1});
    EXPECT_EQ(Tabs.Count(), 0);
    EXPECT_EQ(Doc.ObjectsCount(), 0);

    Driver.MoveTo(TPoint2D{5, 2, 1});
    Driver.Click(TPoint2D{6, -1, 1});
    Driver.Click(TPoint2D{8, 1, 1});
    ASSERT_EQ(Tabs.Count(), 2);
    EXPECT_DOUBLE_EQ(Tabs.Tab(0).ChainPoint.X, 6.0);
    EXPECT_DOUBLE_EQ(Tabs.Tab(0).ChainPoint.Y, 0.0);
    EXPECT_DOUBLE_EQ(Tabs.Tab(0).Distance, 1.0);
    EXPECT_EQ(Tabs.Tab(0).ChainId, 7);
    EXPECT_DOUBLE_EQ(Tabs.Tab(1).ChainPoint.X, 8.0);

    // Each placed tab keeps the ID of its marker: a helper container at
    // its chain point, neither saved nor pickable.
    for (int i = 0; i < 2; ++i) {
        auto* marker = dynamic_cast<TContainer2D*>(Doc.GetObject(Tabs.Tab(i).MarkerId));
        ASSERT_NE(marker, nullptr);
        EXPECT_FALSE(marker->Saved());
        EXPECT_FALSE(marker->Pickable());
        EXPECT_EQ(marker->Objects().Count(), 2); // point and circle (no stroke font here)
        EXPECT_DOUBLE_EQ(marker->GetModelTransform().GetElement(12), Tabs.Tab(i).ChainPoint.X);
    }

    Driver.Esc();
    EXPECT_FALSE(Prg.Busy());
    EXPECT_EQ(Tabs.Count(), 2) << "the tab still being dragged is dropped";
    Tabs.DeleteTab(0);
    EXPECT_EQ(Doc.ObjectsCount(), 1) << "deleting a tab deletes its marker";
}

TEST_F(TabDragTest, AnotherParameterIsRefused)
{
    kbtest::TRecordingNotifier notifier;
    Prg.StartOperation(StateClassOf<TMuoveDinamico>(), std::make_unique<TQV_00CommonParam>());
    EXPECT_FALSE(Prg.Busy());
    ASSERT_EQ(notifier.Messages().size(), 1u);
    EXPECT_EQ(notifier.Messages()[0].Text, "TMuoveDinamico: Invalid param");
}

TEST(TabSnapTest, TheNearestChainWinsAndTheFirstWinsATie)
{
    kbtest::TFakeChainContext context;
    TListaCatene chains;
    for (int k = 0; k < 3; ++k) {
        auto chain = std::make_unique<TCatena>();
        const double y = k == 2 ? -2.0 : 2.0 * k; // chains at y 0, 2 and -2
        chain->AddVertex(TAVertice::CreateAt(TVector2D{0, y}, 0));
        chain->AddVertex(TAVertice::CreateAt(TVector2D{10, y}, 0));
        chain->ID = 10 + k;
        chains.AddChain(std::move(chain));
    }
    struct TCase {
        TVector2D Pick;
        int32_t Chain;
    };
    for (const TCase& c : {TCase{{3, 1.5}, 11}, TCase{{3, 1.0}, 10}, TCase{{3, -1.0}, 10}, TCase{{3, -1.5}, 12}}) {
        TDatiTab tab;
        tab.PickPoint = c.Pick;
        SnapTabToChains(chains, tab);
        EXPECT_EQ(tab.ChainId, c.Chain) << c.Pick.Y;
    }
    EXPECT_EQ(FindChainByID(chains, 12), chains.ChainAt(2));
    EXPECT_EQ(FindChainByID(chains, 99), nullptr);
}

} // namespace
