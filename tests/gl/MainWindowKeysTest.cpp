// The main window's keys, pressed in the real window: Esc ends the running
// command wherever the focus is, Enter finishes it.

#include "app/frmMain.h"
#include "cad/program/QV_00Prog.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/InfoEdit.h"
#include "core/entities/Polyline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAction>
#include <QApplication>

#include <gtest/gtest.h>

namespace {

struct MainWindowKeys : ::testing::Test {
    MainWindowKeys() : Driver((Config.Path() / "Kestrabel 3").string(), kbtest::SampleDrawing())
    {
        EXPECT_TRUE(Driver.Ready());
    }

    TfrmMain& Window() const { return Driver.Program().MainWindow(); }
    TQV_00Prog& Prg() const { return Driver.Program().Prg(); }
    TQV_01Cmp2D& Doc() const { return Driver.Program().Document(); }
    void Trigger(const char* action) const
    {
        QAction* item = Window().findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(item, nullptr) << action;
        item->trigger();
        kbtest::TMainWindowDriver::Settle();
    }

    TGraphicObject* LastObject() const
    {
        TGraphicObject* last = nullptr;
        TGraphicObjIterator it = Doc().ObjectsIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next())
            last = object;
        return last;
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
    kbtest::TMainWindowDriver Driver;
};

TEST_F(MainWindowKeys, EscEndsTheCommandWhereverTheFocusIs)
{
    const QImage before = Driver.ShownView();
    const int objects = Doc().ObjectsCount();
    // The focus in the view (the click gives it), then in the entity tree.
    for (const bool inTree : {false, true}) {
        SCOPED_TRACE(inTree ? "focus in the tree" : "focus in the view");
        Driver.Key(Qt::Key_F4);
        ASSERT_TRUE(Prg().Busy());
        Driver.ClickAt(Point2D(30, 30));
        Driver.MoveTo(Point2D(130, 30));
        EXPECT_NE(Driver.Program().Scene().DragObject(), nullptr);
        EXPECT_FALSE(Driver.ShownView() == before); // the band follows the pointer
        if (inTree) {
            Window().InfoEdit().TreeGeo().setFocus();
            kbtest::TMainWindowDriver::Settle();
            ASSERT_EQ(QApplication::focusWidget(), &Window().InfoEdit().TreeGeo());
        }

        Driver.Key(Qt::Key_Escape);
        EXPECT_FALSE(Prg().Busy());
        EXPECT_EQ(Driver.Program().Scene().DragObject(), nullptr);
        EXPECT_EQ(Driver.Program().Scene().OverlayMode() & OverlayBits::Drag, 0);
        EXPECT_EQ(Doc().ObjectsCount(), objects);
        // The band is gone from the screen: the view shows what it showed.
        EXPECT_TRUE(Driver.ShownView() == before);
    }
}

TEST_F(MainWindowKeys, EnterFinishesAnOpenPolylineOrSpline)
{
    for (const char* command : {"sbtPoly", "sbtSpline"}) {
        SCOPED_TRACE(command);
        const int objects = Doc().ObjectsCount();
        Trigger(command);
        ASSERT_TRUE(Prg().Busy());
        // One point is no outline: Enter waits for the second.
        Driver.ClickAt(Point2D(30, 30));
        Driver.Key(Qt::Key_Return);
        EXPECT_TRUE(Prg().Busy());
        Driver.ClickAt(Point2D(130, 30));
        Driver.Key(Qt::Key_Return);
        EXPECT_FALSE(Prg().Busy());
        ASSERT_EQ(Doc().ObjectsCount(), objects + 1);
        const auto* curve = dynamic_cast<const TPrimitive2D*>(LastObject());
        ASSERT_NE(curve, nullptr);
        ASSERT_EQ(curve->Points().Count(), 2);
        EXPECT_NEAR(curve->Points().Get(0).X, 30, 1.0);
        EXPECT_NEAR(curve->Points().Get(1).X, 130, 1.0);
    }
    // Idle, Enter repeats the newest recorded command: the spline.
    const int objects = Doc().ObjectsCount();
    Driver.Key(Qt::Key_Enter);
    EXPECT_TRUE(Prg().Busy());
    Driver.Key(Qt::Key_Escape);
    EXPECT_FALSE(Prg().Busy());
    EXPECT_EQ(Doc().ObjectsCount(), objects);
}

} // namespace
