#pragma once
// The running program for the machining tests: a drawing holding one
// 40 x 30 rectangle, the Machining menu's commands with the chains of the
// whole drawing (as the chain page's "all" button builds them), the tool
// and compensation values, and the CNC tab's post button writing into a
// file compared with a golden program of tests/fixtures/app/machining
// (KB_UPDATE_GOLDENS=1 writes it anew). Message boxes are answered by a
// strict script.

#include "app/FileCommands.h"
#include "app/Program.h"

#include "app/frmMain.h"
#include "app/machining/MachiningContext.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/toolwin/frmToolWin.h"
#include "cam/chains/EntXCatena.h"
#include "cam/ops/OpManager.h"
#include "core/entities/Frame2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/gl/MainWindowDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace kbtest {

struct MachiningRoad : ::testing::Test {
    MachiningRoad()
    {
        Notifier.Strict = true;
        Driver = std::make_unique<kbtest::TMainWindowDriver>((Config.Path() / "Kestrabel 3").string(), "");
        EXPECT_TRUE(Driver->Ready());
        Program = &Driver->Program();
        Doc().AddObject(-1, std::make_unique<TFrame2D>(-1, Point2D(0, 0), Point2D(40, 30)));
        kbtest::TMainWindowDriver::Settle();
    }
    ~MachiningRoad() override
    {
        Window().ToolWin().hide();
        Menu().DeleteAllOperations();
        OpManager().LastIndex = -1;
    }

    TfrmMain& Window() const { return Program->MainWindow(); }
    TfrmToolWin& Tool() const { return Window().ToolWin(); }
    TQV_01Cmp2D& Doc() const { return Program->Document(); }
    TMachiningMenu& Menu() const { return Window().MachiningMenu(); }
    QTreeWidget& Tree() const { return Menu().TreeCnc(); }
    template <class T = QWidget> T& Find(const char* name) const
    {
        auto* found = Window().findChild<T*>(QString::fromLatin1(name));
        return found ? *found : kbtest::Child<T>(Tool(), name);
    }
    void Click(const char* name) const
    {
        kbtest::TMainWindowDriver::Settle();
        auto& b = Find<QAbstractButton>(name);
        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(6, b.height() / 2));
        kbtest::TMainWindowDriver::Settle();
    }
    // A Machining menu command, chains of the whole drawing for it.
    TOpManagerField& Machining(const char* command) const
    {
        Find<QMenu>("mnuCnc").findChild<QAction*>(QString::fromLatin1(command))->trigger();
        TOpManagerField* op = MachiningContext()->CurrentOperation();
        if (!op)
            throw std::runtime_error("no operation");
        TTuttoInCatena all(Doc(), op->Chains);
        SetTool(*op);
        kbtest::TMainWindowDriver::Settle();
        return *op;
    }
    // What the post button writes.
    std::string Posted() const
    {
        const std::string file = Config.File("posted.nc");
        std::filesystem::remove(file);
        Notifier.QueueFileName(file);
        Click("sbtRunPst");
        return std::filesystem::exists(file) ? kbtest::ReadFileText(file) : std::string();
    }
    void ExpectGolden(const std::string& name, const std::string& written) const
    {
        const std::string golden = std::string(KB_FIXTURES_DIR) + "/app/machining/" + name + ".nc";
        if (std::getenv("KB_UPDATE_GOLDENS")) {
            std::filesystem::create_directories(std::filesystem::path(golden).parent_path());
            kbtest::WriteFileText(golden, written);
        }
        EXPECT_FALSE(written.empty());
        EXPECT_EQ(written, kbtest::ReadFileText(golden)) << name;
    }
    QTreeWidgetItem* Root() const { return Tree().topLevelItem(0); }
    // The pyramid of the fixtures opened as a user does (the drawing makes
    // way, the open panel is closed), then the 3D command; its operation.
    TOpManagerField* ParallelOverPyramid() const
    {
        Notifier.QueueAnswer(EUserAnswer::Yes);
        Window().FileCommands().OpenGeo(std::string(KB_FIXTURES_DIR) + "/app/machining/pyramid.stl", false);
        Click("sbtOpenDone");
        Notifier.Clear();
        auto* item = Find<QMenu>("mnuCnc").findChild<QAction*>(QStringLiteral("mnuCncParallel"));
        EXPECT_TRUE(item->isEnabled());
        item->trigger();
        kbtest::TMainWindowDriver::Settle();
        return MachiningContext()->CurrentOperation();
    }
    // Tool 1, 3 mm, 12000 rpm, feed 300, plunge 100: on the tool page, or
    // straight into the operation where that page is not built.
    void SetTool(TOpManagerField& op) const
    {
        const std::pair<const char*, const char*> fields[] = {
            {"txtGiri", "12000"}, {"txtFeedrate", "300"}, {"txtPlungeRate", "100"}, {"txtDiametro", "3"}};
        if (Tool().findChild<QLineEdit*>(QStringLiteral("txtDiametro"))) {
            for (const auto& [name, value] : fields)
                Find<QLineEdit>(name).setText(QString::fromLatin1(value));
            Find<QSpinBox>("sedToolNum").setValue(1);
            return;
        }
        TDatiUtBase& tool = *op.Parameters->ToolData;
        tool.ToolNumber = 1;
        tool.SpindleSpeed = 12000;
        tool.Feed = 300;
        tool.PlungeFeed = 100;
        tool.Diameter = 3;
    }
    // The compensation side item and offset on the chain page, or straight
    // into the operation where that page is not built.
    void Compensation(TOpManagerField& op, int item, const char* offset) const
    {
        auto* side = Tool().findChild<QComboBox*>(QStringLiteral("cboCCDir"));
        auto* edit = Tool().findChild<QLineEdit*>(QStringLiteral("txtCCOffset"));
        if (side && edit) {
            side->setCurrentIndex(item);
            emit side->activated(item);
            edit->setText(QString::fromLatin1(offset));
            return;
        }
        op.Parameters->CompSide = item == 0 ? 0 : (item == 1 ? -1 : 1);
        op.Parameters->CompOffset = std::stod(offset);
    }
    // The popup opened over an item (none: empty space); its visible items.
    int PopupItemsOver(QTreeWidgetItem* item) const
    {
        const QPoint at = item ? Tree().visualItemRect(item).center() : QPoint(5, Tree().viewport()->height() - 3);
        Menu().TreeCncContextPopup(at);
        int shown = 0;
        for (QAction* action : Menu().PopupTreeCnc().actions())
            shown += action->isVisible() ? 1 : 0;
        Menu().PopupTreeCnc().hide();
        return shown;
    }

    kbtest::TTempDir Config;
    mutable kbtest::TRecordingNotifier Notifier;
    std::unique_ptr<kbtest::TMainWindowDriver> Driver;
    TProgram* Program = nullptr;
};

} // namespace kbtest
