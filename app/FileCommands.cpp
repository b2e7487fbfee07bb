#include "app/FileCommands.h"

#include "app/LayerDefaults.h"
#include "cad/program/QV_00Prog.h"
#include "core/settings/AppConfig.h"
#include "core/file/DocumentFile.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/DocumentView.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/UserNotifier.h"
#include "core/model/WorkMonitor.h"
#include "io/dxf/DXFImportFile.h"
#include "platform/AsciiText.h"

#include <filesystem>

namespace {

std::string FullName(const std::string& fileName)
{
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(fileName, error);
    return error ? fileName : full.lexically_normal().string();
}

std::string FolderOf(const std::string& fullName)
{
    return std::filesystem::path(fullName).parent_path().string();
}

} // namespace

std::string UpperExtension(const std::string& fileName)
{
    return AsciiUpperCopy(std::filesystem::path(fileName).extension().string());
}

TFileCommands::TFileCommands(TQV_01Cmp2D& document, TQV_00Prog& prg, TDocumentView& view, TAppConfig& config)
    : m_Document(document), m_Prg(prg), m_View(view), m_Config(config)
{
}

void TFileCommands::OpenGeo(const std::string& fileName, bool merge)
{
    m_Prg.StopOperation();
    std::string name = fileName;
    if (name.empty()) {
        TFileRequest request;
        request.Filters = OpenFileFilters(merge);
        request.Folder = m_Config.FilePath_Geo;
        name = UserNotifier().AskOpenFileName(request);
        if (name.empty())
            return;
        m_Config.FilePath_Geo = FolderOf(FullName(name));
    }
    if (!merge && m_Document.ObjectsCount() > 0 &&
        UserNotifier().AskYesNo(LangText(LangKeys::String::ClearDrawing), LangText(LangKeys::String::ErrorCaption)) !=
            EUserAnswer::Yes)
        return;

    m_Opened = TOpenedFile{FullName(name), TOpenedFileKind::None};
    WorkMonitor().ShowStatusMessage(LangText(LangKeys::String::OpeningFile));
    {
        TBusySection busy(WorkMonitor());
        try {
            const std::string extension = UpperExtension(name);
            if (extension == ".KVX" && OpenDocumentFile(m_Opened.FileName, merge))
                m_Opened.Kind = TOpenedFileKind::Document;
            else if (extension == ".DXF" && !merge && OpenDxfFile(m_Opened.FileName))
                m_Opened.Kind = TOpenedFileKind::DXF;
            else
                m_Opened.Kind = TOpenedFileKind::Failed;
        } catch (...) {
            m_Opened.Kind = TOpenedFileKind::Failed;
            WorkMonitor().ShowStatusMessage(std::string());
            throw;
        }
    }
    if (m_Opened.Kind == TOpenedFileKind::Failed) {
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::FileNotOpened),
                                   LangText(LangKeys::String::ErrorCaption));
        WorkMonitor().ShowStatusMessage(std::string());
        return;
    }
    WorkMonitor().ShowStatusMessage(std::string());
    if (OnFileOpened)
        OnFileOpened(m_Opened.FileName);
    if (merge)
        m_Opened.FileName.clear();
}

bool TFileCommands::OpenDocumentFile(const std::string& fileName, bool merge)
{
    // The steps of the journal name objects of the drawing that a load
    // replaces; a merge only adds, and a file refused before its content
    // was read (missing, wrong signature) changes nothing.
    const auto forgetReplacedSteps = [&] {
        if (!merge && UndoJournal())
            UndoJournal()->Clear();
    };
    const auto drawingReplaced = [&] {
        if (!merge && OnDrawingReplaced)
            OnDrawingReplaced();
    };
    try {
        // A partial read that stopped at an unknown class was reported by
        // the loader; the drawing holds what was read.
        (void)m_Document.LoadFromFile(fileName, merge);
    } catch (const ECADFilePartlyRead&) {
        forgetReplacedSteps();
        drawingReplaced();
        ZoomToDrawing(m_Document, m_View);
        throw;
    } catch (...) {
        drawingReplaced();
        throw;
    }
    forgetReplacedSteps();
    drawingReplaced();
    ZoomToDrawing(m_Document, m_View);
    return true;
}

bool TFileCommands::OpenDxfFile(const std::string& fileName)
{
    // The import adds to the drawing: the drawing asked to be replaced is
    // emptied first, and the steps of the journal that named its objects go
    // with it. The import reports a file it could not open or read only in
    // part itself; the entities stay where the file put them until the
    // open-geometry panel places them.
    if (UndoJournal())
        UndoJournal()->Clear();
    m_Document.DeleteAllObjects();
    // The import draws what it adds; what the drawing held must go first.
    m_View.RebuildScene(true);
    const TDXFImportResult result = ImportDXFFile(m_Document, fileName, m_Config);
    if (OnDrawingReplaced)
        OnDrawingReplaced();
    ZoomToDrawing(m_Document, m_View);
    return result.FileKind == OpenedFileKindDxf;
}

std::vector<TFileFilter> OpenFileFilters(bool merge)
{
    if (merge)
        return {{"Kestrabel files", {"kvx"}}};
    return {{"Vector files", {"kvx", "dxf"}}, {"Kestrabel files", {"kvx"}}, {"Dxf files", {"dxf"}}};
}

std::vector<TFileFilter> SaveFileFilters()
{
    return {{"Kestrabel files", {"kvx"}}, {"Dxf files", {"dxf"}}, {"Txt files", {"txt"}}, {"Hpgl files", {"hgl"}}};
}

int IndiceExt(const std::string& fileName)
{
    const std::string extension = UpperExtension(fileName);
    if (extension == ".KVX")
        return 1;
    if (extension == ".DXF")
        return 2;
    if (extension == ".TXT")
        return 3;
    if (extension == ".HGL")
        return 4;
    return 0;
}

bool TFileCommands::MySaveClick()
{
    if (m_Opened.Kind == TOpenedFileKind::Document && !m_Opened.FileName.empty() &&
        IndiceExt(m_Opened.FileName) == 1) {
        if (m_Document.ObjectsCount() == 0) {
            UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::NothingToSave),
                                       LangText(LangKeys::String::SaveCaption));
            return false;
        }
        m_Prg.StopOperation();
        if (!scriveKBelFile(m_Opened.FileName))
            return false;
        if (OnFileSaved)
            OnFileSaved(m_Opened.FileName);
        return true;
    }
    return MySaveAsClick();
}

bool TFileCommands::MySaveAsClick()
{
    if (m_Document.ObjectsCount() == 0) {
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::NothingToSave),
                                   LangText(LangKeys::String::SaveCaption));
        return false;
    }
    m_Prg.StopOperation();
    WorkMonitor().ShowStatusMessage(LangText(LangKeys::String::SavingFile));
    std::string suggestion = "*";
    if (!m_Opened.FileName.empty())
        suggestion = std::filesystem::path(m_Opened.FileName).replace_extension().string();
    TFileRequest request;
    request.Filters = SaveFileFilters();
    request.FileName = suggestion;
    request.DefaultSuffix = "kvx";
    const std::string chosen = UserNotifier().AskSaveFileName(request);
    WorkMonitor().ShowStatusMessage(std::string());
    if (chosen.empty())
        return false;
    // Only a document is written; the name becomes the current file only
    // once it holds the drawing.
    switch (IndiceExt(chosen)) {
    case 0:
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::FileNotOpened),
                                   LangText(LangKeys::String::SaveCaption));
        return false;
    case 1:
        break;
    default:
        UserNotifier().ShowMessage(EMessageKind::Information, LangText(LangKeys::String::FormatNotWritten),
                                   LangText(LangKeys::String::FormatNotWrittenCaption));
        return false;
    }
    const std::string fullName = FullName(chosen);
    if (!scriveKBelFile(fullName))
        return false;
    m_Opened.FileName = fullName;
    m_Opened.Kind = TOpenedFileKind::Document;
    m_Config.FilePath_Geo = FolderOf(fullName);
    if (OnFileSaved)
        OnFileSaved(fullName);
    return true;
}

bool TFileCommands::scriveKBelFile(const std::string& fileName)
{
    try {
        TBusySection busy(WorkMonitor());
        m_Document.SaveToFile(fileName);
    } catch (const std::exception& error) {
        UserNotifier().ShowMessage(EMessageKind::Error, error.what(), LangText(LangKeys::String::ErrorCaption));
        return false;
    }
    return true;
}

void TFileCommands::sbtNewClick()
{
    m_Prg.StopOperation();
    if (m_Document.ObjectsCount() == 0)
        return;
    if (!CancellatoTutto())
        return;
    m_Opened.FileName.clear();
}

bool TFileCommands::CancellatoTutto()
{
    // The box asks whether the machining operations go too; there are none
    // to delete yet.
    bool operationsToo = true;
    if (UserNotifier().AskYesNoChecked(LangText(LangKeys::String::ClearDrawing),
                                       LangText(LangKeys::String::ErrorCaption),
                                       LangText(LangKeys::String::DeleteOperationsToo), operationsToo) !=
        EUserAnswer::Yes)
        return false;
    if (UndoJournal())
        UndoJournal()->Clear();
    m_Document.DeleteAllObjects();
    CaricaImpLayers(m_Document, m_Config.ConfigFolder(), m_Config.DefLayers);
    m_View.RebuildScene(true);
    m_Opened.Kind = TOpenedFileKind::None;
    if (OnDrawingReplaced)
        OnDrawingReplaced();
    if (OnDrawingCleared)
        OnDrawingCleared();
    return true;
}
