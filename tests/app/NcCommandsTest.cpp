// The machining output commands (offscreen): the operations' reorder and
// rename, the external editor, the G-code file command, the simulation and
// whole-path commands, and the toolpath to a DXF file or the drawing with
// its dialog.

#include "app/machining/NcCommands.h"
#include "app/machining/OperationOrder.h"
#include "app/toolwin/SimulatePage.h"
#include "app/toolwin/frmToolWin.h"

#include "cad/program/QV_00Prog.h"
#include "cad/scene/QVScene.h"
#include "cam/ops/OpManager.h"
#include "core/entities/VectFont.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "io/ui/TLP2Geo.h"
#include "nc/ui/NodraMain.h"
#include "nc/ui/SimulationServices.h"
#include "nc/ui/frmGRBL.h"
#include "nc/writer/ProgramGeneration.h"
#include "nc/writer/ScriveGCode.h"
#include "platform/IniFile.h"
#include "tests/cad/support/CADDriver.h"
#include "tests/support/RecordingNotifier.h"
#include "tests/support/TestSupport.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& name)
{
    std::ifstream in(name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// --- Reorder ------------------------------------------------------------------------------

TEST(OperationOrder, DropsOnTheTreeReorderTheList)
{
    struct TCase {
        int From, To;
        const char* Result;
    };
    const TCase cases[] = {
        {1, 2, "ACBD"}, // B onto C: right after it
        {1, 3, "ACDB"}, // B onto D
        {3, 1, "ADBC"}, // D onto B: right before it
        {0, 3, "BCDA"}, {3, 0, "DABC"},
        {2, 2, "ABCD"}, // onto itself: nothing
        {4, 1, "ABCD"}, {1, -1, "ABCD"}, // off the list: nothing
    };
    for (const TCase& c : cases) {
        std::vector<char> list = {'A', 'B', 'C', 'D'};
        const bool moved = MoveListItem(list, c.From, c.To);
        EXPECT_EQ(std::string(list.begin(), list.end()), c.Result) << c.From << " onto " << c.To;
        EXPECT_EQ(moved, std::string(c.Result) != "ABCD");
    }
}

// The program is written in the list's new order; a renamed operation
// shows its new comment.
TEST(OperationOrder, ThePostFollowsTheNewOrder)
{
    SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
    kbtest::TTempDir dir;
    TScriveGCode& writer = GCodeWriter();
    writer.LoadFromIni(TIniFile(), "default", true);
    writer.SetFileName(dir.File("part.nc"));
    TOpManager manager;
    for (double x : {0.0, 20.0, 40.0}) {
        auto op = std::make_unique<TOpManagerField>(1);
        op->Parameters->ZRapid = 3;
        op->Parameters->ToolData->Feed = 100;
        auto curve = std::make_unique<TCurvaNci3d>();
        curve->AddVertex(TAVertice3d::CreateAt({x, 0, -1}));
        curve->AddVertex(TAVertice3d::CreateAt({x + 5, 0, -1}));
        op->Toolpaths.push_back(std::move(curve));
        manager.AddOperation(std::move(op));
    }
    TOpManagerField* first = &manager.Operation(0);
    ASSERT_TRUE(DropOperation(manager, 0, 2));
    EXPECT_EQ(&manager.Operation(2), first);
    WriteProgram(manager, false);
    const std::string text = ReadFile(dir.File("part.nc"));
    const size_t x20 = text.find("X20.000"), x40 = text.find("X40.000"), x0 = text.find("X0.000");
    ASSERT_NE(x0, std::string::npos);
    EXPECT_LT(x20, x40);
    EXPECT_LT(x40, x0);
    EXPECT_FALSE(DropOperation(manager, 1, 1));

    RenameOperation(manager.Operation(1), "roughing");
    EXPECT_EQ(manager.Operation(1).Comment, "roughing");
    EXPECT_NE(OperationCaption(manager.Operation(1)).find("roughing"), std::string::npos);
    writer.LoadFromIni(TIniFile(), "default", true);
    writer.SetFileName("");
    SetLanguageIni(nullptr);
}

// --- The commands -----------------------------------------------------------------------

std::unique_ptr<TOpManagerField> Operation(int kind)
{
    auto op = std::make_unique<TOpManagerField>(kind);
    op->Parameters->ZRapid = 5;
    op->Parameters->ToolData->Feed = 600;
    auto curve = std::make_unique<TCurvaNci3d>();
    curve->AddVertex(TAVertice3d::CreateAt({0, 0, -1}));
    curve->AddVertex(TAVertice3d::CreateAt({10, 0, -1}));
    curve->AddVertex(TAVertice3d::CreateFull(1, {0, 10, -1}, {0, 0, -1}, 0));
    op->Toolpaths.push_back(std::move(curve));
    return op;
}

struct NcCommands : ::testing::Test {
    NcCommands() : Config(""), Scene(Config), Simulation(Scene)
    {
        SetLanguageIni(OpenLanguageFile(KB_DATA_SOURCE_DIR, "english"));
        Prg.SetViewPortGL(&View);
        Win = std::make_unique<TfrmToolWin>(Prg, Config, nullptr, KB_DATA_DIR);
        new TSimulatePage(*Win, Simulation.Simulator(), Manager);
        Commands = std::make_unique<TNcCommands>(Config, Doc, Simulation, *Win, Manager, nullptr);
        Op = Manager.AddOperation(Operation(1));
        Notifier.Clear(); // the tool library's warning of a bare configuration
    }
    ~NcCommands() override
    {
        Commands.reset();
        Win.reset();
        Manager.DeleteAll();
        SetCurrentOperation(nullptr);
        CurrentNcFile().clear();
        SetLanguageIni(nullptr);
        CADSysClearFontRegistry();
    }
    // A shell script that writes its arguments, one a line, to a file.
    std::string FakeEditor()
    {
        const std::string script = Dir.File("editor.sh");
        std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"" << Dir.File("args.txt")
                              << ".tmp\"\nmv \"" << Dir.File("args.txt") << ".tmp\" \"" << Dir.File("args.txt")
                              << "\"\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        return script;
    }
    // The toolpath dialog, when it opens, is closed with OK.
    void QueueOk()
    {
        Notifier.QueueDialog("TTLP2Geo", [] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* dialog = dynamic_cast<TTLP2Geo*>(w)) {
                    dialog->show();
                    QTest::mouseClick(&dialog->OkButton(), Qt::LeftButton);
                }
            return 1;
        });
    }
    std::string EditorArguments()
    {
        for (int i = 0; i < 500 && !std::filesystem::exists(Dir.File("args.txt")); ++i)
            QTest::qWait(10);
        return ReadFile(Dir.File("args.txt"));
    }

    kbtest::TTempDir Dir;
    kbtest::TRecordingNotifier Notifier;
    kbtest::TFakeCADView View;
    TAppConfig Config;
    TQV_01Cmp2D Doc;
    TQVScene Scene;
    TSimulationServices Simulation;
    TQV_00Prog Prg;
    TOpManager Manager;
    std::unique_ptr<TfrmToolWin> Win;
    std::unique_ptr<TNcCommands> Commands;
    TOpManagerField* Op = nullptr;
};

TEST_F(NcCommands, ExternalEditorGetsTheFileAsItsOneArgument)
{
    Config.ExtEditor = FakeEditor();
    const std::string file = Dir.File("my part \"1\".nc");
    Commands->OpenInNcEditor(true, file);
    EXPECT_EQ(CurrentNcFile(), file);
    EXPECT_EQ(EditorArguments(), file + "\n");
    EXPECT_TRUE(Notifier.Messages().empty());

    // A missing editor: a box with the reason, nothing else.
    Config.ExtEditor = Dir.File("no-such-editor");
    Commands->OpenInNcEditor(true, file);
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_NE(Notifier.Messages()[0].Text.find("no-such-editor"), std::string::npos);

    // The program writer's "show the result" comes here too.
    std::filesystem::remove(Dir.File("args.txt"));
    Config.ExtEditor = FakeEditor();
    Config.UseExtEditor = true;
    auto hook = SetOpenInNcEditorHook(nullptr);
    ASSERT_TRUE(hook);
    hook(Dir.File("out.nc"));
    SetOpenInNcEditorHook(hook);
    EXPECT_EQ(EditorArguments(), Dir.File("out.nc") + "\n");
}

TEST_F(NcCommands, EditGCodeAsksForAFileAndKeepsItsFolder)
{
    Config.ExtEditor = FakeEditor();
    Config.UseExtEditor = true;
    Config.FilePath_Cnc = Dir.Path().string() + "/";
    GCodeWriter().FileExtension = "nc";
    Commands->mnuEditNcClick(); // cancelled: nothing
    EXPECT_FALSE(std::filesystem::exists(Dir.File("args.txt")));
    const TFileRequest& request = Notifier.LastFileRequest();
    ASSERT_EQ(request.Filters.size(), 2u);
    EXPECT_EQ(FileFilterText(request.Filters[0]), "GCode files (*.nc *.NC)");
    EXPECT_EQ(request.Folder, Config.FilePath_Cnc);

    std::filesystem::create_directory(Dir.Path() / "jobs");
    const std::string chosen = (Dir.Path() / "jobs" / "a.nc").string();
    Notifier.QueueFileName(chosen);
    Commands->mnuEditNcClick();
    EXPECT_EQ(EditorArguments(), chosen + "\n");
    EXPECT_EQ(Config.FilePath_Cnc, (Dir.Path() / "jobs").string() + "/");
}

TEST_F(NcCommands, MachineWindowIsMadeOnceAndShown)
{
    EXPECT_EQ(Commands->MachineWindow(), nullptr);
    Commands->mnuCncGrblClick();
    TfrmGRBL* window = Commands->MachineWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    Commands->mnuCncGrblClick(); // shown: only brought to the front
    EXPECT_EQ(Commands->MachineWindow(), window);
    window->close();
}

TEST_F(NcCommands, ToolpathDialogDefaultsAndStoredChoice)
{
    Config.FilePath_T2Dxf = Dir.Path().string() + "/";
    Config.Tlp2DXF = false;
    {
        TTLP2Geo dialog(Config, Doc, nullptr, nullptr);
        EXPECT_EQ(Config.FilePath_T2Dxf, Dir.File("t.dxf"));
        EXPECT_EQ(dialog.size(), QSize(300, 220));
        // The file choice, then Cancel: the choice stays stored.
        Notifier.QueueDialog("TTLP2Geo", [&] {
            dialog.show();
            QApplication::processEvents();
            EXPECT_FALSE(dialog.FileButton().isEnabled());
            QTest::mouseClick(&dialog.FileRadio(), Qt::LeftButton, {}, QPoint(6, dialog.FileRadio().height() / 2));
            EXPECT_TRUE(dialog.FileButton().isEnabled());
            QTest::mouseClick(&dialog.CancelButton(), Qt::LeftButton);
            return 0;
        });
        EXPECT_FALSE(dialog.Execute());
    }
    EXPECT_TRUE(Config.Tlp2DXF);
    EXPECT_EQ(ToolpathDxfTarget("/a/b.dxf"), "/a/b.dxf");
    EXPECT_EQ(ToolpathDxfTarget(""), "t.dxf");

    // Reopened: the file radio is checked; a cancelled save dialog keeps the file.
    TTLP2Geo again(Config, Doc, nullptr, nullptr);
    again.show();
    EXPECT_TRUE(again.FileRadio().isChecked());
    QTest::mouseClick(&again.FileButton(), Qt::LeftButton);
    EXPECT_EQ(Config.FilePath_T2Dxf, Dir.File("t.dxf"));
    Notifier.QueueFileName(Dir.File("out.dxf"));
    QTest::mouseClick(&again.FileButton(), Qt::LeftButton);
    EXPECT_EQ(Config.FilePath_T2Dxf, Dir.File("out.dxf"));
    EXPECT_NE(again.FileCaption().find(Dir.File("out.dxf")), std::string::npos);
}

TEST_F(NcCommands, ToolpathToFileOrDrawing)
{
    Doc.SetCurrentLayer(3);
    Doc.Layers().GetLayer(3).SetName("cuts");
    Config.FilePath_T2Dxf = Dir.File("tp.dxf");
    Config.Tlp2DXF = true;
    QueueOk();
    Commands->mnuTP2GeoClick(*Op);
    EXPECT_EQ(CurrentOperation(), Op);
    const std::string text = ReadFile(Dir.File("tp.dxf"));
    EXPECT_NE(text.find("LINE\r\n  8\r\ncuts\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ARC"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 5), "EOF\r\n");

    // A target that cannot be written: reported (the exporter's own tests
    // show an older file staying whole).
    Config.FilePath_T2Dxf = Dir.File("missing/tp.dxf");
    QueueOk();
    Commands->mnuTP2GeoClick(*Op);
    ASSERT_EQ(Notifier.Messages().size(), 1u);
    EXPECT_EQ(Notifier.Messages()[0].Kind, EMessageKind::Error);

    // Into the drawing: a line and an arc.
    Config.Tlp2DXF = false;
    QueueOk();
    const int32_t before = Doc.ObjectsCount();
    Commands->mnuTP2GeoClick(*Op);
    EXPECT_EQ(Doc.ObjectsCount(), before + 2);

    // Laser engraving: no dialog at all.
    TOpManagerField& laser = *Manager.AddOperation(std::make_unique<TOpManagerField>(8));
    Notifier.Clear();
    Commands->mnuTP2GeoClick(laser);
    EXPECT_TRUE(Notifier.Prompts().empty());
}

} // namespace
