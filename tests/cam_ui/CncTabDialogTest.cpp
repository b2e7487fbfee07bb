#include "cad/program/QV_00Prog.h"
#include "cam/chains/Catena.h"
#include "cam/chains/TabPlacing.h"
#include "cam/ui/frmCncTab.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/Language.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/cam/ChainTestSupport.h"
#include "tests/support/RecordingNotifier.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class CncTabDialogTest : public ::testing::Test {
protected:
    CncTabDialogTest()
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        SetTabMarkerDocument(&Doc);
        for (int k = 0; k < 2; ++k) {
            auto chain = std::make_unique<TCatena>();
            chain->AddVertex(TAVertice::CreateAt(TVector2D{0, 10.0 * k}, 0));
            chain->AddVertex(TAVertice::CreateAt(TVector2D{10, 10.0 * k}, 0));
            chain->ID = 5 + k;
            Chains.AddChain(std::move(chain));
        }
        View.Scale = 10.0;
        Form.SetProgram(&Prg);
        Tabs.TabWidth = 1.0;
        Form.Bind(&Tabs, &Chains);
    }
    ~CncTabDialogTest() override
    {
        Form.Bind(nullptr, nullptr);
        Tabs.ClearTabs();
        SetTabMarkerDocument(nullptr);
        FreeTabMarker();
        SetLanguageIni(nullptr);
    }

    // Three tabs placed through the window's placement button, at x 2, 7
    // and 4 on the lower, upper and lower chain (the first click places
    // nothing); the placement keeps running.
    void PlaceThree()
    {
        Form.sbtTabPosClick();
        Driver.Click(TPoint2D{1, 1, 1});
        Driver.Click(TPoint2D{2, 1, 1});
        Driver.Click(TPoint2D{7, 9, 1});
        Driver.Click(TPoint2D{4, -1, 1});
    }
    std::vector<int32_t> MarkerIds() const
    {
        std::vector<int32_t> ids;
        for (int i = 0; i < Tabs.Count(); ++i)
            ids.push_back(Tabs.Tab(i).MarkerId);
        return ids;
    }
    double MarkerRadius(int i)
    {
        auto* marker = dynamic_cast<TContainer2D*>(Doc.GetObject(Tabs.Tab(i).MarkerId));
        if (!marker)
            return -1.0;
        TGraphicObjIterator it = marker->Objects().GetIterator();
        for (TGraphicObject* o = it.First(); o; o = it.Next())
            if (auto* circle = dynamic_cast<TCerchio2D*>(o)) {
                TPoint2D c;
                double r = 0.0;
                circle->GetCircle(c, r);
                return r;
            }
        return -1.0;
    }

    kbtest::TFakeChainContext Context;
    kbtest::TRecordingNotifier Notifier;
    kbtest::TRecordingShell Shell;
    kbtest::TFakeCADView View;
    TQV_01Cmp2D Doc;
    TQV_00Prog Prg;
    kbtest::TCADDriver Driver{Prg, View, Shell};
    TListaCatene Chains;
    TListaTab Tabs;
    TfrmCncTab Form;
};

TEST_F(CncTabDialogTest, PlacedTabsAreListed)
{
    PlaceThree();
    ASSERT_EQ(Tabs.Count(), 3);
    EXPECT_EQ(Form.LstBox().count(), 3);
    EXPECT_EQ(Tabs.Tab(1).ChainId, 6);
    EXPECT_TRUE(Prg.Busy());
}

TEST_F(CncTabDialogTest, AWidthChangeReplacesEveryTabOnItsChainInOrder)
{
    PlaceThree();
    const std::vector<int32_t> before = MarkerIds();
    Form.txtTabWidth().setText("2.5");
    Form.txtTabWidthChange();

    EXPECT_FALSE(Prg.Busy()) << "the change cancels the placement";
    EXPECT_DOUBLE_EQ(Tabs.TabWidth, 2.5);
    ASSERT_EQ(Tabs.Count(), 3);
    const double xs[] = {2, 7, 4};
    const int32_t chains[] = {5, 6, 5};
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(Tabs.Tab(i).ChainPoint.X, xs[i]);
        EXPECT_EQ(Tabs.Tab(i).ChainId, chains[i]);
        EXPECT_NE(Tabs.Tab(i).MarkerId, before[static_cast<size_t>(i)]);
        EXPECT_DOUBLE_EQ(MarkerRadius(i), 1.25);
    }
    EXPECT_EQ(Doc.ObjectsCount(), 3) << "the old markers are gone";
}

TEST_F(CncTabDialogTest, AWidthThatIsNotACompleteNumberYetChangesNothing)
{
    PlaceThree();
    const std::vector<int32_t> before = MarkerIds();
    for (const char* text : {"", ".", "2x"}) {
        Form.txtTabWidth().setText(text);
        Form.txtTabWidthChange();
        EXPECT_TRUE(Prg.Busy()) << '"' << text << '"';
        EXPECT_EQ(MarkerIds(), before) << '"' << text << '"';
        EXPECT_DOUBLE_EQ(Tabs.TabWidth, 1.0);
    }
}

TEST_F(CncTabDialogTest, DeletingOneOrAllRemovesMarkersAndLines)
{
    PlaceThree();
    Driver.Esc();
    const int32_t gone = Tabs.Tab(1).MarkerId;
    Form.LstBox().setCurrentRow(1);
    Form.mnuTabDelClick();
    EXPECT_EQ(Tabs.Count(), 2);
    EXPECT_EQ(Form.LstBox().count(), 2);
    EXPECT_EQ(Doc.GetObject(gone), nullptr);
    EXPECT_EQ(Doc.ObjectsCount(), 2);

    Form.mnuTabDelAllClick();
    EXPECT_EQ(Tabs.Count(), 0);
    EXPECT_EQ(Form.LstBox().count(), 0);
    EXPECT_EQ(Doc.ObjectsCount(), 0);
}

TEST_F(CncTabDialogTest, PlacementWithoutChainsWarns)
{
    TListaCatene none;
    Form.Bind(&Tabs, &none);
    Form.sbtTabPosClick();
    EXPECT_FALSE(Prg.Busy());
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Text, LangText("459"));
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Warning);
}

TEST_F(CncTabDialogTest, KindAndThicknessGoToTheTabList)
{
    Form.rbtTabPartialClick();
    EXPECT_EQ(Tabs.Full, 0);
    EXPECT_TRUE(Form.txtTabThick().isEnabled());
    EXPECT_EQ(Form.TabImage(), 10);
    Form.txtTabThick().setText("0.4");
    Form.txtTabThickChange();
    EXPECT_DOUBLE_EQ(Tabs.TabThickness, 0.4);
    Form.rbtTabFullClick();
    EXPECT_EQ(Tabs.Full, 1);
    EXPECT_FALSE(Form.txtTabThick().isEnabled());
}

// The kind's picture shows in the picture label, once pictures are given.
TEST_F(CncTabDialogTest, KindShowsItsPicture)
{
    const auto shown = [this] {
        const QPixmap pixmap = Form.findChild<QLabel*>(QStringLiteral("imgTab"))->pixmap();
        return pixmap.isNull() ? -1 : qRed(pixmap.toImage().pixel(pixmap.width() / 2, pixmap.height() / 2));
    };
    EXPECT_EQ(shown(), -1);
    // Picture i is a tile of red i.
    Form.SetPictures([](int index) {
        QPixmap tile(160, 96);
        tile.fill(QColor(index, 0, 0));
        return tile;
    });
    EXPECT_EQ(shown(), 9);
    Form.rbtTabPartialClick();
    EXPECT_EQ(shown(), 10);
    Form.rbtTabFullClick();
    EXPECT_EQ(shown(), 9);
}

} // namespace
