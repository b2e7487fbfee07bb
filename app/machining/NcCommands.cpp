#include "app/machining/NcCommands.h"

#include "app/toolwin/frmToolWin.h"
#include "cam/ops/OpManager.h"
#include "core/file/Stream.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/model/UserNotifier.h"
#include "core/settings/AppConfig.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "io/dxf/DXF2DExport.h"
#include "io/ui/TLP2Geo.h"
#include "nc/grbl/GRBLTransport.h"
#include "nc/sim/OperationSim.h"
#include "nc/ui/MachineCommand.h"
#include "nc/ui/NodraMain.h"
#include "nc/ui/SimulationServices.h"
#include "nc/ui/frmGRBL.h"
#include "nc/writer/ProgramGeneration.h"
#include "nc/writer/ScriveGCode.h"

#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QUrl>

#include <filesystem>

namespace {

// The writer's output extension without its point; "nc" when it has none.
std::string GCodeExtension()
{
    std::string ext = GCodeWriter().FileExtension;
    if (!ext.empty() && ext.front() == '.')
        ext.erase(0, 1);
    return ext.empty() ? "nc" : ext;
}

std::vector<TToolpathVertices> ToolpathVertices(const TOpManagerField& operation)
{
    std::vector<TToolpathVertices> curves;
    curves.reserve(operation.Toolpaths.size());
    for (const auto& curve : operation.Toolpaths)
        curves.push_back(curve ? curve->Vertices : TToolpathVertices{});
    return curves;
}

void ShowEditorError(const std::string& reason)
{
    UserNotifier().ShowMessage(EMessageKind::Plain, LangFormat(LangText(LangKeys::String::EditorNotStarted), {reason}),
                               "");
}

} // namespace

TNcCommands::TNcCommands(TAppConfig& config, TQV_01Cmp2D& document, TSimulationServices& simulation,
                         TfrmToolWin& toolWin, TOpManager& manager, QWidget* mainWindow)
    : m_Config(config), m_Document(document), m_Simulation(simulation), m_ToolWin(toolWin), m_Manager(manager),
      m_MainWindow(mainWindow)
{
    m_PreviousEditorHook = SetOpenInNcEditorHook(
        [this](const std::string& fileName) { OpenInNcEditor(m_Config.UseExtEditor, fileName); });
}

TNcCommands::~TNcCommands()
{
    SetOpenInNcEditorHook(m_PreviousEditorHook);
}

void TNcCommands::OpenInNcEditor(bool useExternal, const std::string& fileName)
{
    CurrentNcFile() = fileName;
    if (!useExternal) {
        if (CurrentOperation())
            HideToolpaths(m_Manager, m_Simulation.View());
        ShowNodraEditor();
        return;
    }
    const QString file = QFile::decodeName(fileName.c_str());
    if (m_Config.ExtEditor.empty()) {
        if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
            ShowEditorError(fileName);
        return;
    }
    // The program and the file go as they are, no quoting: the file is one
    // argument whatever blanks or quotes it holds.
    QProcess editor;
    editor.setProgram(QFile::decodeName(m_Config.ExtEditor.c_str()));
    editor.setArguments({file});
    if (!editor.startDetached())
        ShowEditorError(m_Config.ExtEditor + ": " + editor.errorString().toLocal8Bit().toStdString());
}

void TNcCommands::mnuEditNcClick()
{
    const std::string ext = GCodeExtension();
    TFileRequest request;
    request.Filters = {{"GCode files", {ext}}, {"All files", {"*"}}};
    request.Folder = m_Config.FilePath_Cnc;
    request.FileName = GCodeWriter().OutputFileName();
    request.DefaultSuffix = ext;
    request.OverwritePrompt = false;
    const std::string chosen = UserNotifier().AskOpenFileName(request);
    if (chosen.empty())
        return;
    OpenInNcEditor(m_Config.UseExtEditor, chosen);
    m_Config.FilePath_Cnc = std::filesystem::path(chosen).parent_path().string() + "/";
}

void TNcCommands::mnuCncGrblClick()
{
    if (!m_frmGRBL)
        m_frmGRBL = std::make_unique<TfrmGRBL>(m_Config);
    ::mnuCncGrblClick(*m_frmGRBL);
}

void TNcCommands::sbtShowHidePathClick()
{
    ToggleToolpaths(m_Manager, m_Simulation.Simulator());
}

void TNcCommands::mnuTP2GeoClick(TOpManagerField& operation)
{
    SetCurrentOperation(&operation);
    if (operation.Kind == OpKind::LaserEngrave)
        return;
    bool accepted = false;
    {
        TTLP2Geo dialog(m_Config, m_Document, RunLayerDialog, m_MainWindow);
        accepted = dialog.Execute();
    }
    if (!accepted)
        return;
    if (!m_Config.Tlp2DXF) {
        operation.ToolpathToGeometry(m_Document);
        return;
    }
    const std::string layerName = m_Document.Layers().GetLayer(m_Document.CurrentLayer()).Name();
    try {
        TDXF2DExport exporter(m_Config.FilePath_T2Dxf, m_Document);
        exporter.ExportToolpath(ToolpathVertices(operation), layerName);
        exporter.Finish();
    } catch (const EStreamWriteError& error) {
        UserNotifier().ShowMessage(EMessageKind::Error, error.what(), "");
    }
}
