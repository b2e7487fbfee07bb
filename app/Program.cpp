#include "app/Program.h"

#include "app/LayerDefaults.h"
#include "app/MachiningHooks.h"
#include "app/frmMain.h"
#include "app/machining/NcCommands.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/mainwin/OperationsTreeEdit.h"
#include "app/toolwin/SimulatePage.h"
#include "app/toolwin/frmToolWin.h"
#include "cam/chains/ChainHooks.h"
#include "core/entities/QVGrezzo.h"
#include "cad/program/EventGuard.h"
#include "cad/scene/QVScene.h"
#include "cad/program/QV_00Prog.h"
#include "cad/panel/SetGrid.h"
#include "cad/ui/FormTranslate.h"
#include "cad/ui/QtUserNotifier.h"
#include "cam/ops/OpManager.h"
#include "core/settings/AppConfig.h"
#include "core/model/ClassRegistry.h"
#include "core/file/DocumentFile.h"
#include "core/entities/EntityRegistration.h"
#include "core/settings/Language.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "core/file/UndoRedo.h"
#include "app/mainwin/MachiningMenu.h"
#include "app/FileCommands.h"
#include "nc/sim/Simulatore2D.h"
#include "nc/ui/SimulationServices.h"
#include "core/entities/VectFont.h"
#include "io/text/LabelStrokeText.h"
#include "core/model/ViewInterfaces.h"
#include "platform/ConfigFolder.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <exception>
#include <filesystem>

namespace {

constexpr const char* ApplicationTitleText = "Kestrabel";
constexpr const char* Font0FileName = "RomanC.fnd";
constexpr const char* BlockLibraryFileName = "Library.blk";

// A file that could not be read, reported as the default handler reports
// errors, with the file it concerns.
void ReportFileError(const std::string& fileName, const std::exception& e)
{
    ShowExceptionText(fileName + "\r\n" + e.what());
}

} // namespace

std::string ProgramFolder()
{
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString();
}

TProgram::TRegistries::TRegistries()
{
    // Every stored class, the block classes included.
    RegisterEntityClasses();
    // What lower subsystems reach of the machining side and of the text
    // converter.
    InstallChainHooks();
    InstallLabelTextConverter();
}

TProgram::TRegistries::~TRegistries()
{
    CADSysClearFontRegistry();
    QV_00ClearClassRegistry();
}

TProgram::TProgram(const TStartOptions& options)
{
    try {
        Start(options);
    } catch (...) {
        // No destructor runs for a constructor that throws: put back what
        // was installed, so the error can still be shown.
        Shutdown();
        throw;
    }
}

void TProgram::Start(const TStartOptions& options)
{
    if (options.InstallMessageBoxes) {
        m_Notifier = std::make_unique<TQtUserNotifier>();
        m_PreviousNotifier = SetUserNotifier(m_Notifier.get());
    }
    SetApplicationTitle(ApplicationTitleText);

    if (!options.ConfigFolder.empty()) {
        const TConfigFolderResult prepared = PrepareConfigFolder(options.ConfigFolder, options.ProgramFolder);
        for (const std::string& error : prepared.Errors)
            std::fprintf(stderr, "Configuration folder: %s\n", error.c_str());
    }
    m_Config = std::make_unique<TAppConfig>(options.ConfigFolder);
    // A missing file is reported when the main window is translated.
    SetLanguageIni(OpenLanguageFile(options.ProgramFolder, m_Config->Language));
    m_MachiningHooks = std::make_unique<TMachiningHooks>(*m_Config);

    m_Registries = std::make_unique<TRegistries>();
    RegisterFont0(options.ProgramFolder);

    m_Scene = std::make_unique<TQVScene>(*m_Config);
    m_Document = std::make_unique<TQV_01Cmp2D>();
    m_Document->AddViewport(m_Scene.get());
    m_Scene->SetDocument(m_Document.get());
    m_Undo = std::make_unique<TUndoRedo>(*m_Document);
    m_PreviousUndo = SetUndoJournal(m_Undo.get());
    LoadBlockLibrary(options.ProgramFolder);

    m_Prg = std::make_unique<TQV_00Prog>();
    m_Prg->SetViewPortGL(m_Scene.get());
    m_Prg->XSnap = m_Config->SnapX;
    m_Prg->YSnap = m_Config->SnapY;
    GridSetter().SetProgram(m_Prg.get());
    m_ViewServices = std::make_unique<TViewServicesScope>(
        TViewServices{&m_Scene->SceneBuilder(), m_Scene.get(), nullptr, m_Prg.get()});
    m_Simulation = std::make_unique<TSimulationServices>(*m_Scene);
    // The stock solid of the view (3D pages, opened surfaces), made again
    // whenever the view rebuilds its scene with the stock.
    m_Scene->Hooks.FreeStockSolid = [] { FreeStockSolid(); };
    m_Scene->Hooks.CreateStockSolid = [] { RecreateStockSolid(); };
    RecreateStockSolid();

    CaricaImpLayers(*m_Document, m_Config->ConfigFolder(), m_Config->DefLayers);

    m_Scene->SetGridVisible(m_Config->SGrid);
    m_Scene->SetAxesVisible(m_Config->SAxis);
    m_Scene->SetGridSubdivisionsX(m_Config->GridSubX);
    m_Scene->SetGridSubdivisionsY(m_Config->GridSubY);
    m_Scene->SetGridEnabled(true);
    m_Scene->RebuildGrid();

    m_MainWindow = std::make_unique<TfrmMain>(*m_Scene, *m_Document, *m_Prg, *m_Config, options.ProgramFolder);
    if (m_Notifier)
        m_Notifier->SetParentWidget(m_MainWindow.get());
    m_MainWindow->move(m_Config->fWPL, m_Config->fWPT);
    m_MainWindow->resize(m_Config->fWPW, m_Config->fWPH);
    m_MainWindow->SetStartupFile(options.FileToOpen);
    // The tool window's tab control owns the page.
    new TSimulatePage(m_MainWindow->ToolWin(), m_Simulation->Simulator(), OpManager());
    m_NcCommands = std::make_unique<TNcCommands>(*m_Config, *m_Document, *m_Simulation, m_MainWindow->ToolWin(),
                                                 OpManager(), m_MainWindow.get());
    m_NcCommands->RunLayerDialog = [this] { m_MainWindow->mnuLayersClick(); };
    TMachiningMenu& machining = m_MainWindow->MachiningMenu();
    machining.SetSimulator(&m_Simulation->Simulator());
    m_MainWindow->FileCommands().ClearSimulations = [this] { m_Simulation->Simulator().ClearDrawings(); };
    machining.EditNcClick = [this] { m_NcCommands->mnuEditNcClick(); };
    machining.GrblClick = [this] { m_NcCommands->mnuCncGrblClick(); };
    machining.ToolpathToGeometry = [this](TOpManagerField& op) { m_NcCommands->mnuTP2GeoClick(op); };
    machining.RefreshHookItems();
    // The tree owns its editing.
    new TOperationsTreeEdit(machining.TreeCnc(), OpManager(), [this] { m_NcCommands->sbtShowHidePathClick(); });
    TranslateForms({m_MainWindow.get(), &m_MainWindow->ToolWin()}, LanguageIni());
    m_MainWindow->LoadStatusMessages();
    m_MainWindow->ImpostaTbr();
    m_MainWindow->ImpostaHint();
    m_MainWindow->RestoreLayout();
    m_MainWindow->CurrLayerInfo();
}

TProgram::~TProgram()
{
    Shutdown();
}

void TProgram::Shutdown()
{
    m_NcCommands.reset();
    m_MainWindow.reset();
    if (m_Notifier)
        m_Notifier->SetParentWidget(nullptr);
    m_Simulation.reset();
    FreeStockSolid();
    m_ViewServices.reset();
    if (m_Prg && GridSetter().Program() == m_Prg.get())
        GridSetter().SetProgram(nullptr);
    m_Prg.reset();
    if (m_Undo) {
        SetUndoJournal(m_PreviousUndo);
        m_Undo.reset();
    }
    m_Document.reset();
    m_Scene.reset();
    m_Registries.reset();
    m_MachiningHooks.reset();
    if (m_Config) {
        SetLanguageIni(nullptr);
        m_Config.reset();
    }
    SetApplicationTitle(m_PreviousTitle);
    if (m_Notifier) {
        SetUserNotifier(m_PreviousNotifier);
        m_Notifier.reset();
    }
}

void TProgram::Show()
{
    if (m_Config->fWPMax)
        m_MainWindow->showMaximized();
    else
        m_MainWindow->show();
}

void TProgram::RegisterFont0(const std::string& programFolder)
{
    const std::string fileName = programFolder + "/" + Font0FileName;
    try {
        // A missing file is reported by the registry itself.
        CADSysRegisterFontFromFile(0, fileName);
    } catch (const std::exception& e) {
        ReportFileError(fileName, e);
    }
}

void TProgram::LoadBlockLibrary(const std::string& programFolder)
{
    const std::string fileName = programFolder + "/" + BlockLibraryFileName;
    std::error_code error;
    if (!std::filesystem::exists(fileName, error))
        return;
    try {
        TFileStream stream(fileName, TFileStream::TMode::OpenRead);
        // A partial read was reported by the loader; its blocks stay.
        (void)m_Document->LoadLibrary(stream);
    } catch (const std::exception& e) {
        ReportFileError(fileName, e);
    }
}
