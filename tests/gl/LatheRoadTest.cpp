// Lathe operations in the running program: no menu makes them, so the test
// saves a drawing holding a finishing and a roughing operation, opens it
// through the file commands, and edits each from the operations tree. The
// home position goes through the main window's coordinate dialog.
//
// With KB_SHOTS_DIR set, the disabled test ShotsForReview writes pictures
// of the lathe page sets there (scripts/shots/lathe.sh).

#include "app/Program.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "app/machining/MachiningContext.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/mainwin/frmCoord.h"
#include "app/toolwin/frmToolWin.h"
#include "cam/ops/OpManager.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "nc/writer/ScriveGCode.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace LangKeys::String;

struct LatheRoad : ::testing::Test {
    LatheRoad()
    {
        Notifier.Strict = true;
        Driver = std::make_unique<kbtest::TMainWindowDriver>((Config.Path() / "Kestrabel 3").string(), "");
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
        // A drawing whose operations no menu makes, saved and opened again.
        OpManager().AddOperation(std::make_unique<TOpManagerField>(OpKind::LatheFinish));
        OpManager().AddOperation(std::make_unique<TOpManagerField>(OpKind::LatheRough));
        // The entry as a document stores it.
        OpManager().Operation(1).Parameters->MarginX = 3;
        OpManager().Operation(1).Parameters->MarginY = 4;
        OpManager().Operation(1).Parameters->LatheEntryOn = true;
        Program->Document().SaveToFile(File);
        OpManager().DeleteAll(); // no tree nodes yet
        Window().FileCommands().OpenGeo(File, false);
        kbtest::TMainWindowDriver::Settle();
    }
    ~LatheRoad() override
    {
        Tool().hide();
        Window().MachiningMenu().DeleteAllOperations();
        OpManager().LastIndex = -1;
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TfrmToolWin& Tool() const { return Window().ToolWin(); }
    QTreeWidget& Tree() const { return Window().MachiningMenu().TreeCnc(); }
    template <class T = QWidget> T& Find(const char* name) const { return kbtest::Child<T>(Tool(), name); }
    void Click(const char* name) const
    {
        kbtest::TMainWindowDriver::Settle();
        auto& b = Find<QAbstractButton>(name);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(6, b.height() / 2));
        kbtest::TMainWindowDriver::Settle();
    }
    // The operation of the tree's row opened for editing.
    void Edit(int row) const
    {
        Tree().setCurrentItem(Tree().topLevelItem(0)->child(row));
        Window().MachiningMenu().mnuEditParamClick();
        kbtest::TMainWindowDriver::Settle();
    }
    void ShowPage(const char* tab) const
    {
        Tool().pgCtrToolWin().setCurrentWidget(Tool().Sheet(tab));
        kbtest::TMainWindowDriver::Settle();
    }

    kbtest::TTempDir Config;
    const std::string File = Config.File("lathe.kvx");
    mutable kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

TEST_F(LatheRoad, OperationsOpenedFromTheTreeShowTheLathePages)
{
    ASSERT_EQ(OpManager().Count(), 2);
    ASSERT_EQ(Tree().topLevelItem(0)->childCount(), 2);
    Edit(0);
    ASSERT_TRUE(Tool().isVisible());
    EXPECT_EQ(Tool().ShownPages(), (std::vector<std::string>{"tabLatheTool", "tabChain", "tabLatheFin"}));
    EXPECT_EQ(Tool().size(), QSize(494, 388));
    ShowPage("tabLatheFin");
    EXPECT_EQ(Tool().width(), 348);

    // The home through the main window's coordinate dialog.
    Click("chkLatFinHP");
    auto& coord = kbtest::Child<TfrmCoord>(Window(), "frmCoord");
    const QString ownX = coord.lblCoordX().text();
    Notifier.QueueDialog("frmCoord", [&coord] {
        EXPECT_EQ(coord.lblCoordX().text().toStdString(), GCodeWriter().XPref);
        EXPECT_EQ(coord.lblCoordY().text().toStdString(), GCodeWriter().ZPref);
        coord.txtCoordX().setText(QStringLiteral("10"));
        coord.txtCoordY().setText(QStringLiteral("20"));
        return TfrmCoord::ResultOk;
    });
    Click("sbtLatFinHP");
    const TParametriOperazione& p = *OpManager().Operation(0).Parameters;
    EXPECT_TRUE(p.LatheHomeOn);
    EXPECT_EQ(p.LatheHome.X, 10.0);
    EXPECT_EQ(p.LatheHome.Z, 20.0);
    EXPECT_EQ(Find<QPushButton>("sbtLatFinHP").text().toStdString(),
              LangText(LatheHomeButton) + " " + GCodeWriter().XPref + "10, " + GCodeWriter().ZPref + "20");
    EXPECT_EQ(coord.lblCoordX().text(), ownX);
    EXPECT_EQ(Find<QLabel>("imgLatFin").property("imageIndex").toInt(), 35);
    Tool().hide();

    // The roughing operation keeps its entry.
    Edit(1);
    EXPECT_EQ(Tool().ShownPages().back(), "tabLatheRou");
    EXPECT_TRUE(Find<QCheckBox>("chkLatRouEntry").isChecked());
    EXPECT_TRUE(Find<QPushButton>("sbtLatRouEntry").text().endsWith(QStringLiteral("53.13\u00B0)")));
}

TEST_F(LatheRoad, DISABLED_ShotsForReview)
{
    const char* dir = std::getenv("KB_SHOTS_DIR");
    ASSERT_NE(dir, nullptr);
    for (int row : {0, 1}) {
        Edit(row);
        for (const std::string& tab : Tool().ShownPages()) {
            ShowPage(tab.c_str());
            Tool().grab().save(QString::fromLatin1(dir) + "/lathe-" + QString::number(row) + "-" +
                               QString::fromStdString(tab) + ".png");
        }
        Tool().hide();
    }
}

} // namespace
