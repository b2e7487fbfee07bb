#pragma once
// The tool window with a machining context, a configuration folder holding
// a mill library of three tools, a drawing, and a scripted prompt service:
// the ground of the chain and tool page tests (offscreen).

#include "app/machining/MachiningContext.h"
#include "app/toolwin/frmToolWin.h"
#include "cad/program/QV_00Prog.h"
#include "cad/ui/QtWorkMonitor.h"
#include "cam/ops/OpManager.h"
#include "cam/tools/CurrentToolLibrary.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/VectFont.h"
#include "core/file/UndoRedo.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/cam/ToolBytes.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace kbtest {

class MachiningPages : public ::testing::Test {
protected:
    MachiningPages() : Undo(Doc)
    {
        std::filesystem::create_directories(Dir.Path() / "tools");
        WriteFileBytes(Dir.File("tools/Tools_mm.tlb"),
                       Concat({MillLibraryBytes(1, "T1", 3, 0), MillLibraryBytes(2, "T2", 6, 2),
                               MillLibraryBytes(3, "T3", 8, 0)}));
        Config = std::make_unique<TAppConfig>(Dir.Path().string());
        RegisterEntityClasses();
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        PreviousUndo = SetUndoJournal(&Undo);
        Prg.SetViewPortGL(&View);
        Win = std::make_unique<TfrmToolWin>(Prg, *Config, &Monitor, KB_DATA_DIR);
        Win->SetDocument(&Doc);
        PreviousContext = SetMachiningContext(&Context);
    }
    ~MachiningPages() override
    {
        Context.FreeNewOperation();
        OpManager().DeleteAll();
        SetMachiningContext(PreviousContext);
        Win.reset();
        SetCurrentToolLibrary(nullptr);
        SetUndoJournal(PreviousUndo);
        SetLanguageIni(nullptr);
        CADSysClearFontRegistry();
    }

    // A new operation of kind made current, its chains with their label.
    TOpManagerField& NewOperation(int kind)
    {
        auto op = std::make_unique<TOpManagerField>(kind);
        op->Chains.HasInfoLabel = true;
        return *Context.SetNewOperation(std::move(op));
    }
    // An operation of kind appended to the manager, as after its Calculate.
    TOpManagerField& ListedOperation(int kind)
    {
        return *OpManager().AddOperation(std::make_unique<TOpManagerField>(kind));
    }

    template <typename T = QWidget>
    T& Find(const char* name) const
    {
        T* widget = Win->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    void Click(const char* name)
    {
        QApplication::processEvents();
        auto& button = Find<QAbstractButton>(name);
        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(6, button.height() / 2));
    }
    // Types into the edit as the user does.
    void Type(const char* edit, const char* text)
    {
        auto& line = Find<QLineEdit>(edit);
        line.setFocus();
        line.selectAll();
        QTest::keyClick(&line, Qt::Key_Backspace);
        QTest::keyClicks(&line, QString::fromLatin1(text));
    }

    TRecordingNotifier Notifier;
    TTempDir Dir;
    std::unique_ptr<TAppConfig> Config;
    TFakeCADView View;
    TQV_01Cmp2D Doc;
    TUndoRedo Undo;
    TUndoRedo* PreviousUndo = nullptr;
    TQV_00Prog Prg;
    TQtWorkMonitor Monitor{nullptr, nullptr};
    std::unique_ptr<TfrmToolWin> Win;
    TMachiningContext Context;
    TMachiningContext* PreviousContext = nullptr;
};

} // namespace kbtest
