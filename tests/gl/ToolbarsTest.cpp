// The Create and Edit toolbars in the running program, driven by clicks on
// the real buttons and in the view: a two-point line, a translated copy
// through the tool window's page, and the end-point markers.
//
// With KB_SHOTS_DIR set, the disabled test ShotsForReview writes a picture
// of the window with each split button's menu open (scripts/shots/toolbars.sh).

#include "app/Program.h"

#include "app/frmMain.h"
#include "app/mainwin/RecentCommands.h"
#include "app/mainwin/ToolbarCommands.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/QV_00Prog.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/GeoTreeView.h"
#include "cad/ui/InfoEdit.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Punto2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

struct Toolbars : ::testing::Test {
    Toolbars()
    {
        Notifier.Strict = true;
        Driver = std::make_unique<kbtest::TMainWindowDriver>((Config.Path() / "Kestrabel 3").string(), "");
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TQV_01Cmp2D& Doc() const { return Program->Document(); }
    QToolButton& Button(const char* name) const { return kbtest::Child<QToolButton>(Window(), name); }
    // A click on the button part of a split button (not its arrow).
    void Click(const char* name) const
    {
        QToolButton& button = Button(name);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(6, button.height() / 2));
        kbtest::TMainWindowDriver::Settle();
    }
    // The drawing length of one pixel of the view.
    double PixelSize() const
    {
        const int dx = Driver->Pixel(Point2D(100, 0)).X - Driver->Pixel(Point2D(0, 0)).X;
        return 100.0 / std::abs(dx);
    }
    std::vector<TPoint2D> Ends(const TObject2D& object) const
    {
        const auto& line = dynamic_cast<const TLine2D&>(object);
        const TMatrix4 m = line.GetModelTransform();
        return {CartesianPoint2D(m.TransformPoint2D(line.Points().Points()[0])),
                CartesianPoint2D(m.TransformPoint2D(line.Points().Points()[1]))};
    }
    std::vector<TObject2D*> Objects() const
    {
        std::vector<TObject2D*> objects;
        TGraphicObjIterator it = Doc().ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            objects.push_back(dynamic_cast<TObject2D*>(object));
        return objects;
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

TEST_F(Toolbars, TwoPointLineByClicksIsRecordedFirst)
{
    Click("sbtLine");
    Driver->ClickAt(Point2D(10, 10));
    Driver->ClickAt(Point2D(40, 25));
    ASSERT_EQ(Doc().ObjectsCount(), 1);
    const std::vector<TPoint2D> ends = Ends(*Objects()[0]);
    const double tol = PixelSize();
    EXPECT_NEAR(ends[0].X, 10, tol);
    EXPECT_NEAR(ends[0].Y, 10, tol);
    EXPECT_NEAR(ends[1].X, 40, tol);
    EXPECT_NEAR(ends[1].Y, 25, tol);
    EXPECT_FALSE(Program->Prg().Busy());
    ASSERT_FALSE(Window().RecentCommands().Ids().empty());
    EXPECT_EQ(Window().RecentCommands().Ids().front(), 201);
    EXPECT_EQ(Window().tbrMRU().actions().value(0)->data().toInt(), 201);
}

TEST_F(Toolbars, TranslateCopyThroughThePage)
{
    TObject2D* line = Doc().AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(10, 0)));
    kbtest::TMainWindowDriver::Settle();
    Click("sbtXform"); // translate, by picking: the pick selects the line's node in the tree
    Driver->ClickAt(Point2D(5, 0));
    TGeoTreeView& tree = Window().InfoEdit().TreeGeo();
    ASSERT_NE(tree.Item(line->TreeNode()), nullptr);
    EXPECT_EQ(tree.currentItem(), tree.Item(line->TreeNode()));
    Driver->Key(Qt::Key_Return);
    TfrmToolWin& tool = Window().ToolWin();
    ASSERT_TRUE(tool.isVisible());
    auto* dx = tool.findChild<QLineEdit*>(QStringLiteral("txtTransDx"));
    ASSERT_NE(dx, nullptr);
    dx->setFocus();
    dx->selectAll();
    QTest::keyClicks(dx, QStringLiteral("10"));
    auto* ok = tool.findChild<QAbstractButton*>(QStringLiteral("sbtTranslateOk"));
    QTest::mouseClick(ok, Qt::LeftButton, {}, QPoint(6, ok->height() / 2));
    kbtest::TMainWindowDriver::Settle();

    EXPECT_FALSE(tool.isVisible());
    const std::vector<TObject2D*> objects = Objects();
    ASSERT_EQ(objects.size(), 2u);
    const std::vector<TPoint2D> copy = Ends(*objects[1]);
    EXPECT_NEAR(copy[0].X, 10, 1e-9);
    EXPECT_NEAR(copy[1].X, 20, 1e-9);
    EXPECT_NEAR(copy[0].Y, 0, 1e-9);
    EXPECT_EQ(Window().RecentCommands().Ids().front(), 1301);
}

TEST_F(Toolbars, EndPointMarkersAreNoEntitiesAndGoAtTheRedraw)
{
    Doc().AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(30, 0)));
    Doc().AddObject(-1, std::make_unique<TCerchio2D>(0, Point2D(60, 0), Point2D(70, 0)));
    Doc().AddObject(-1, std::make_unique<TPunto2D>(0, Point2D(0, 30)));
    kbtest::TMainWindowDriver::Settle();
    const QImage before = Driver->ShownView();

    QAction* endPoints = nullptr;
    for (QAction* item : Button("sbtAnalyze").menu()->actions())
        if (item->objectName() == QStringLiteral("mnuShowEndpoints"))
            endPoints = item;
    ASSERT_NE(endPoints, nullptr);
    endPoints->trigger();
    kbtest::TMainWindowDriver::Settle();
    TQVScene& scene = Program->Scene();
    EXPECT_EQ(scene.HighlightList().size(), 4u); // two for the line, two for the circle
    EXPECT_EQ(Doc().ObjectsCount(), 3);
    EXPECT_NE(Driver->ShownView(), before);

    Driver->Key(Qt::Key_F3);
    EXPECT_TRUE(scene.HighlightList().empty());
    EXPECT_EQ(Doc().ObjectsCount(), 3);
}

TEST_F(Toolbars, DISABLED_ShotsForReview)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    ASSERT_FALSE(folder.isEmpty()) << "KB_SHOTS_DIR names the folder of the pictures";
    Notifier.Strict = false;
    for (const char* name : {"sbtPoint", "sbtLine", "sbtArc", "sbtText", "sbtDelete", "sbtModify", "sbtXform",
                             "sbtAnalyze"}) {
        QToolButton& button = Button(name);
        QMenu& menu = *button.menu();
        menu.popup(button.mapToGlobal(QPoint(0, button.height())));
        QTest::qWait(200);
        const QString file = folder + QStringLiteral("/toolbar-%1.png").arg(QString::fromLatin1(name));
        ASSERT_TRUE(kbtest::WithMenu(Window(), menu).save(file));
        menu.hide();
    }
}

} // namespace
