// Laser operations in the running program. No menu makes them: a document
// holding an engraving, a cut and a pocket is written first, the program
// starts with it, and each operation is opened from the operations tree by
// a double click, as a user does. The view is read back from the screen.
//
// With KB_SHOTS_DIR set, the disabled test ShotsForReview writes pictures
// of every laser page set (scripts/shots/laser-lathe.sh runs it).

#include "app/Program.h"

#include "app/frmMain.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/toolwin/PagePictures.h"
#include "app/toolwin/frmToolWin.h"
#include "cam/chains/EntXCatena.h"
#include "cam/ops/OpManager.h"
#include "core/entities/Frame2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/gl/PixelProbe.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

bool IsBlue(QRgb c)
{
    return qBlue(c) > 160 && qRed(c) < 100 && qGreen(c) < 100;
}

struct LaserRoad : ::testing::Test {
    LaserRoad()
    {
        const std::string config = (Config.Path() / "Kestrabel 3").string();
        const std::string file = Config.File("laser.kvx");
        {
            // A 40 x 30 frame; the cut and the pocket take it as their chain.
            kbtest::TMainWindowDriver writer(config, "");
            TQV_01Cmp2D& doc = writer.Program().Document();
            doc.AddObject(-1, std::make_unique<TFrame2D>(-1, Point2D(0, 0), Point2D(40, 30)));
            for (int kind : {OpKind::LaserEngrave, OpKind::LaserCut, OpKind::LaserPocket}) {
                auto op = std::make_unique<TOpManagerField>(kind);
                if (kind != OpKind::LaserEngrave)
                    TTuttoInCatena all(doc, op->Chains);
                op->Chains.ClearDrawing();
                OpManager().AddOperation(std::move(op));
            }
            doc.SaveToFile(file);
            OpManager().DeleteAll();
        }
        Driver = std::make_unique<kbtest::TMainWindowDriver>(config, file);
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
        kbtest::TMainWindowDriver::Settle();
    }
    ~LaserRoad() override
    {
        Tool().hide();
        Window().MachiningMenu().DeleteAllOperations();
        OpManager().LastIndex = -1;
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TfrmToolWin& Tool() const { return Window().ToolWin(); }
    QTreeWidget& Tree() const { return Window().MachiningMenu().TreeCnc(); }
    template <class T = QWidget> T& Page(const char* name) const { return kbtest::Child<T>(Tool(), name); }
    void Press(const char* button) const
    {
        kbtest::TMainWindowDriver::Settle();
        auto& b = Page<QAbstractButton>(button);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(6, b.height() / 2));
        kbtest::TMainWindowDriver::Settle();
    }
    void ClickTab(const char* tab) const
    {
        QTabBar* bar = Tool().pgCtrToolWin().tabBar();
        const int index = Tool().pgCtrToolWin().indexOf(Tool().Sheet(tab));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        kbtest::TMainWindowDriver::Settle();
    }
    // Double-clicks the edit node of the operation at index in the tree;
    // the pages then stand beside the main window, so the view shows.
    void EditFromTree(int index) const
    {
        QTreeWidgetItem* root = Tree().topLevelItem(0);
        ASSERT_NE(root, nullptr);
        ASSERT_GT(root->childCount(), index);
        root->setExpanded(true);
        root->child(index)->setExpanded(true);
        QTreeWidgetItem* edit = root->child(index)->child(0);
        ASSERT_NE(edit, nullptr);
        Tree().scrollToItem(edit);
        kbtest::TMainWindowDriver::Settle();
        const QPoint at = Tree().visualItemRect(edit).center();
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, {}, at);
        kbtest::TMainWindowDriver::Settle();
        Tool().move(Window().frameGeometry().right() + 10, Window().y());
        kbtest::TMainWindowDriver::Settle();
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

TEST_F(LaserRoad, CutOpenedFromTheTreeDrawsItsChainAndCancelTakesItAway)
{
    ASSERT_EQ(OpManager().Count(), 3);
    const TIntPoint edge = Driver->Pixel(Point2D(20, 30));
    EXPECT_FALSE(kbtest::ColourNear(Driver->ShownView(), edge, IsBlue, 1));
    EditFromTree(1);
    ASSERT_TRUE(Tool().isVisible());
    EXPECT_EQ(Tool().ShownPages(), (std::vector<std::string>{"tabLaserLib", "tabChain", "tabLaserCut"}));
    EXPECT_EQ(Tool().size(), QSize(494, 418));
    EXPECT_TRUE(kbtest::ColourNear(Driver->ShownView(), edge, IsBlue, 2));

    ClickTab("tabLaserCut");
    Press("sbtlasCutCalculate");
    EXPECT_TRUE(Tool().isVisible());
    Press("sbtLasCutCancel");
    EXPECT_FALSE(Tool().isVisible());
    EXPECT_EQ(OpManager().Count(), 3);
    EXPECT_FALSE(kbtest::ColourNear(Driver->ShownView(), edge, IsBlue, 1));
}

TEST_F(LaserRoad, EngravingShowsTheVectorGroupAndItsPicture)
{
    EditFromTree(0);
    ASSERT_TRUE(Tool().isVisible());
    EXPECT_EQ(Tool().ShownPages(), (std::vector<std::string>{"tabLaserLib", "tabLaserEng"}));
    ClickTab("tabLaserEng");
    EXPECT_EQ(Tool().width(), 348);
    EXPECT_TRUE(Page("grpLasRasMet").isVisible());
    Press("rbtLasVecMet");
    EXPECT_FALSE(Page("grpLasRasMet").isVisible());
    EXPECT_TRUE(Page("grpLasVecMet").isVisible());
    // What the picture label shows on the window is picture 30, not 29.
    QLabel& picture = Page<QLabel>("imgLaser");
    const QImage shown = picture.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage vector = ToolWinPicture(30).toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(vector.isNull());
    const QRect drawn = QStyle::alignedRect(picture.layoutDirection(), picture.alignment(), vector.size(),
                                            picture.contentsRect());
    // The label may show the picture cut at its top and bottom.
    const QRect visible = drawn & shown.rect();
    ASSERT_FALSE(visible.isEmpty());
    EXPECT_EQ(shown.copy(visible), vector.copy(visible.translated(-drawn.topLeft())));
    const QImage raster = ToolWinPicture(29).toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_NE(shown.copy(visible), raster.copy(visible.translated(-drawn.topLeft())));
}

TEST_F(LaserRoad, DISABLED_ShotsForReview)
{
    const char* dir = std::getenv("KB_SHOTS_DIR");
    ASSERT_NE(dir, nullptr);
    for (int index : {0, 1, 2}) {
        EditFromTree(index);
        for (const std::string& tab : Tool().ShownPages()) {
            ClickTab(tab.c_str());
            Tool().grab().save(QString::fromLatin1(dir) + "/laser-" + QString::fromStdString(tab) + ".png");
        }
        Tool().hide();
        kbtest::TMainWindowDriver::Settle();
    }
}

} // namespace
