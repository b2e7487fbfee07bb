// The chain and tool pages in the running program: a contour operation's
// pages shown, its chains built by a click and drawn in the view, the
// window-selection switch of the main window following the picks, and the
// tool list filled from the configuration folder's library.
//
// With KB_SHOTS_DIR set, the disabled test ShotsForReview writes pictures
// of the pages (scripts/shots/chain-tool-pages.sh runs it).

#include "app/Program.h"

#include "app/frmMain.h"
#include "app/machining/MachiningContext.h"
#include "app/mainwin/MainStatusBar.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/QV_00Prog.h"
#include "cam/ops/OpManager.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Punto2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/gl/PixelProbe.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QListWidget>
#include <QTabWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

bool IsBlue(QRgb c)
{
    return qBlue(c) > 160 && qRed(c) < 100 && qGreen(c) < 100;
}

struct ChainToolPages : ::testing::Test {
    ChainToolPages()
    {
        Notifier.Strict = true;
        Driver = std::make_unique<kbtest::TMainWindowDriver>((Config.Path() / "Kestrabel 3").string(), "");
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
        // The window's own context when it has one.
        Context = MachiningContext();
        if (!Context) {
            OwnContext = std::make_unique<TMachiningContext>();
            SetMachiningContext(OwnContext.get());
            Context = OwnContext.get();
        }
    }
    ~ChainToolPages() override
    {
        Tool().hide();
        Context->FreeNewOperation();
        if (OwnContext)
            SetMachiningContext(nullptr);
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TfrmToolWin& Tool() const { return Window().ToolWin(); }
    TQV_01Cmp2D& Doc() const { return Program->Document(); }
    template <class T = QWidget> T& Page(const char* name) const { return kbtest::Child<T>(Tool(), name); }
    void Press(const char* button) const
    {
        kbtest::TMainWindowDriver::Settle();
        auto& b = Page<QAbstractButton>(button);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(6, b.height() / 2));
        kbtest::TMainWindowDriver::Settle();
    }
    // A new operation of kind with its pages up, the second page in front.
    TOpManagerField& Open(int kind, std::vector<std::string> tabs, const char* caption)
    {
        auto op = std::make_unique<TOpManagerField>(kind);
        op->Chains.HasInfoLabel = true;
        TOpManagerField& made = *Context->SetNewOperation(std::move(op));
        Tool().ShowPages(tabs, caption, 494, 428);
        Tool().pgCtrToolWin().setCurrentWidget(Tool().Sheet(tabs.at(1)));
        // Beside the main window, so the view shows on the screen.
        Tool().move(Window().frameGeometry().right() + 10, Window().y());
        kbtest::TMainWindowDriver::Settle();
        return made;
    }

    kbtest::TTempDir Config;
    kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
    TMachiningContext* Context = nullptr;
    std::unique_ptr<TMachiningContext> OwnContext;
};

TEST_F(ChainToolPages, ChainAllDrawsTheChainAndPicksSwitchTheWindowSelection)
{
    Doc().AddObject(-1, std::make_unique<TFrame2D>(-1, Point2D(0, 0), Point2D(10, 8)));
    kbtest::TMainWindowDriver::Settle();
    const TIntPoint edge = Driver->Pixel(Point2D(5, 8));
    EXPECT_FALSE(kbtest::ColourNear(Driver->ShownView(), edge, IsBlue, 1));

    TOpManagerField& op = Open(OpKind::Contour, {"tabTool", "tabChain"}, "twContour");
    EXPECT_EQ(Tool().width(), 348);
    // The tool list holds the configuration folder's library.
    EXPECT_GT(Page<QListWidget>("lsvTools").count(), 0);

    Press("sbtChainAll");
    ASSERT_EQ(op.Chains.Count(), 1);
    EXPECT_TRUE(kbtest::ColourNear(Driver->ShownView(), edge, IsBlue, 2));

    QAction& winSelect = Window().StatusItems().mnuWinSelect();
    Press("sbtChainWSel");
    EXPECT_TRUE(winSelect.isChecked());
    Driver->Key(Qt::Key_Escape);
    Press("sbtChainSel");
    EXPECT_FALSE(winSelect.isChecked());
    Driver->Key(Qt::Key_Escape);

    Press("sbtDelAllChains");
    EXPECT_EQ(op.Chains.Count(), 0);
    EXPECT_FALSE(kbtest::ColourNear(Driver->ShownView(), edge, IsBlue, 1));
}

TEST_F(ChainToolPages, DISABLED_ShotsForReview)
{
    const QString folder = qEnvironmentVariable("KB_SHOTS_DIR");
    ASSERT_FALSE(folder.isEmpty()) << "KB_SHOTS_DIR names the folder of the pictures";
    Notifier.Strict = false;
    Doc().AddObject(-1, std::make_unique<TFrame2D>(-1, Point2D(0, 0), Point2D(10, 8)));
    Doc().AddObject(-1, std::make_unique<TPunto2D>(-1, Point2D(3, 3)));
    Doc().AddObject(-1, std::make_unique<TPunto2D>(-1, Point2D(7, 5)));
    const auto shot = [&](const char* name) {
        kbtest::TMainWindowDriver::Settle();
        QTest::qWait(200);
        ASSERT_TRUE(Tool().grab().save(folder + QStringLiteral("/tool-window-%1.png").arg(QLatin1String(name))));
        ASSERT_TRUE(Window().grab().save(folder + QStringLiteral("/main-window-%1.png").arg(QLatin1String(name))));
    };
    Open(OpKind::Contour, {"tabTool", "tabChain"}, "twContour");
    Press("sbtChainAll");
    shot("chain");
    Tool().pgCtrToolWin().setCurrentWidget(Tool().Sheet("tabTool"));
    shot("mill-tool");
    Tool().hide();
    Context->FreeNewOperation();

    Open(OpKind::Drilling, {"tabTool", "tabChainPt"}, "twDrill");
    Press("sbtChainAllPt");
    Press("sbtDrilSort1");
    shot("drill-points");
}

} // namespace
