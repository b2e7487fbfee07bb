// Pictures for review of the operation pages (scripts/shots/laser-lathe.sh):
// with KB_SHOTS_DIR set, the disabled test ShotsForReview opens an
// operation of each kind from the operations tree, as the user does with a
// double click on its parameters node, shows the kind's own page through
// its tab and saves the tool window's frame; it also writes one contact
// sheet of every explanatory picture. A kind whose pages are not built in
// this program is left out, not failed.

#include "app/Program.h"

#include "app/frmMain.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/toolwin/PagePictures.h"
#include "app/toolwin/frmToolWin.h"
#include "cam/ops/OpManager.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace {

struct OperationPageShots : ::testing::Test {
    OperationPageShots()
    {
        Driver = std::make_unique<kbtest::TMainWindowDriver>((Config.Path() / "Kestrabel 3").string(), "");
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
    }
    ~OperationPageShots() override
    {
        Tool().hide();
        Window().MachiningMenu().DeleteAllOperations();
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TfrmToolWin& Tool() const { return Window().ToolWin(); }
    QTreeWidget& Tree() const { return Window().MachiningMenu().TreeCnc(); }

    // An operation of the kind listed with its node, opened by a double
    // click on its parameters node.
    void OpenFromTree(int kind)
    {
        TOpManagerField& op = *OpManager().AddOperation(std::make_unique<TOpManagerField>(kind));
        op.Calculated = 1;
        AddOperationNode(*Window().MachiningMenu().OperationsTree(), op);
        Window().GeoCncTabs().setCurrentIndex(1);
        kbtest::TMainWindowDriver::Settle();
        QTreeWidgetItem* root = Tree().topLevelItem(0);
        QTreeWidgetItem* parameters = root->child(root->childCount() - 1)->child(0);
        Tree().scrollToItem(parameters);
        const QPoint at = Tree().visualItemRect(parameters).center();
        QTest::mouseClick(Tree().viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(Tree().viewport(), Qt::LeftButton, {}, at);
        kbtest::TMainWindowDriver::Settle();
    }
    void ClickTab(const char* tab) const
    {
        QTabBar* bar = Tool().pgCtrToolWin().tabBar();
        const int index = Tool().pgCtrToolWin().indexOf(Tool().Sheet(tab));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
        kbtest::TMainWindowDriver::Settle();
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

// Every picture in a grid, each with its index under it.
QImage ContactSheet()
{
    constexpr int columns = 7, caption = 16, gap = 6;
    const QSize cell = ToolWinPicture(0).size() + QSize(gap, caption + gap);
    const int rows = (ToolWinPictureCount + columns - 1) / columns;
    QImage sheet(columns * cell.width() + gap, rows * cell.height() + gap, QImage::Format_RGB32);
    sheet.fill(QColor(235, 235, 235));
    QPainter painter(&sheet);
    for (int index = 0; index < ToolWinPictureCount; ++index) {
        const QPoint at(gap + index % columns * cell.width(), gap + index / columns * cell.height());
        painter.drawPixmap(at, ToolWinPicture(index));
        painter.drawText(QRect(at + QPoint(0, cell.height() - caption - gap), QSize(cell.width() - gap, caption)),
                         Qt::AlignCenter, QString::number(index));
    }
    return sheet;
}

TEST_F(OperationPageShots, DISABLED_ShotsForReview)
{
    const char* dir = std::getenv("KB_SHOTS_DIR");
    ASSERT_NE(dir, nullptr);
    const QString folder = QString::fromLatin1(dir) + "/";
    ASSERT_TRUE(ContactSheet().save(folder + "pictures-sheet.png"));

    // Each operation kind with pages: its first tab, its own page and the
    // picture's name.
    struct TPageSet {
        int Kind;
        const char* First;
        const char* Own;
        const char* Name;
    };
    const TPageSet sets[] = {
        {1, "tabTool", "tabContour", "contour"},          {2, "tabTool", "tabPocket", "pocket"},
        {3, "tabTool", "tabDrill", "drilling"},           {5, "tabTool", "tabParallel", "3d-parallel"},
        {7, "tabLatheTool", "tabLatheFin", "lathe-finish"}, {8, "tabLaserLib", "tabLaserEng", "laser-engrave"},
        {9, "tabLaserLib", "tabLaserCut", "laser-cut"},   {11, "tabLatheTool", "tabLatheRou", "lathe-rough"},
        {12, "tabTool", "tabLetters", "letters"},         {13, "tabLaserLib", "tabLaserPocket", "laser-pocket"},
    };
    for (const TPageSet& set : sets) {
        SCOPED_TRACE(set.Name);
        if (!Tool().Sheet(set.First) || !Tool().Sheet(set.Own)) {
            std::cout << "pages of " << set.Name << " not built: no picture\n";
            continue;
        }
        OpenFromTree(set.Kind);
        ASSERT_TRUE(Tool().isVisible());
        ClickTab(set.Own);
        EXPECT_TRUE(Tool().grab().save(folder + "pages-" + set.Name + ".png"));
        Tool().hide();
        kbtest::TMainWindowDriver::Settle();
    }
}

} // namespace
