#include "app/FileCommands.h"

#include "cam/chains/Catena.h"

#include "app/LayerDefaults.h"
#include "cad/program/QV_00Prog.h"
#include "core/settings/AppConfig.h"
#include "core/file/DocumentFile.h"
#include "core/settings/LangKeys.h"
#include "core/settings/Language.h"
#include "core/model/DocumentView.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/UndoRedo.h"
#include "core/model/UserNotifier.h"
#include "core/model/WorkMonitor.h"
#include "io/dxf/DXFImportFile.h"
#include "platform/AsciiText.h"

#include <filesystem>
#include <vector>

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

    // The record changes once the file was read: a failed open leaves the
    // drawing and its file as they were.
    const std::string fullName = FullName(name);
    const std::string previousName = m_Opened.FileName;
    m_Opened.Kind = TOpenedFileKind::None;
    WorkMonitor().ShowStatusMessage(LangText(LangKeys::String::OpeningFile));
    TOpenedFileKind kind = TOpenedFileKind::Failed;
    {
        TBusySection busy(WorkMonitor());
        try {
            const std::string extension = UpperExtension(name);
            if (extension == ".KVX" && OpenDocumentFile(fullName, merge))
                kind = TOpenedFileKind::Document;
            else if (extension == ".DXF" && !merge && OpenDxfFile(fullName))
                kind = TOpenedFileKind::DXF;
        } catch (const ECADFilePartlyRead&) {
            // The drawing holds what was read of the file.
            m_Opened = TOpenedFile{merge ? std::string() : fullName, TOpenedFileKind::Failed};
            WorkMonitor().ShowStatusMessage(std::string());
            throw;
        } catch (...) {
            m_Opened = TOpenedFile{previousName, TOpenedFileKind::Failed};
            WorkMonitor().ShowStatusMessage(std::string());
            throw;
        }
    }
    WorkMonitor().ShowStatusMessage(std::string());
    if (kind == TOpenedFileKind::Failed) {
        m_Opened = TOpenedFile{previousName, TOpenedFileKind::Failed};
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::FileNotOpened),
                                   LangText(LangKeys::String::ErrorCaption));
        return;
    }
    m_Opened = TOpenedFile{fullName, kind};
    if (OnFileOpened)
        OnFileOpened(m_Opened.FileName);
    if (merge)
        m_Opened.FileName.clear();
}

bool TFileCommands::OpenDocumentFile(const std::string& fileName, bool merge)
{
    // The steps of the journal name objects of the drawing that a load
    // replaces; a merge only adds.
    const auto replaced = [&] {
        if (merge)
            return;
        if (UndoJournal())
            UndoJournal()->Clear();
        if (OnDrawingReplaced)
            OnDrawingReplaced();
    };
    // A load in place of the drawing starts from the layer defaults, which
    // go back to the drawing's own layers when the file is refused before
    // anything was read (missing, wrong signature).
    std::vector<TQV_21Layer> layers;
    const int currentLayer = m_Document.CurrentLayer();
    if (!merge) {
        for (int n = 0; n < TQV_20Layers::LayerCount; ++n)
            layers.push_back(m_Document.Layers().GetLayer(n));
        ResetLayers(m_Document, m_Config.ConfigFolder(), m_Config.DefLayers);
    }
    try {
        // A partial read that stopped at an unknown class was reported by
        // the loader; the drawing holds what was read.
        (void)m_Document.LoadFromFile(fileName, merge);
    } catch (const ECADFilePartlyRead&) {
        replaced();
        ZoomToDrawing(m_Document, m_View);
        throw;
    } catch (...) {
        for (size_t n = 0; n < layers.size(); ++n)
            m_Document.Layers().GetLayer(static_cast<int>(n)) = layers[n];
        m_Document.SetCurrentLayer(currentLayer);
        throw;
    }
    replaced();
    ZoomToDrawing(m_Document, m_View);
    return true;
}

bool TFileCommands::OpenDxfFile(const std::string& fileName)
{
    // The drawing asked to be replaced is emptied only once the file has
    // opened as a DXF file. The import reports a file read only in part
    // itself; the entities stay where the file put them until the
    // open-geometry panel places them.
    const TDXFImportResult result = ImportDXFFile(m_Document, fileName, m_Config, [this] { ClearDrawing(); });
    if (result.FileKind != OpenedFileKindDxf)
        return false;
    if (OnDrawingReplaced)
        OnDrawingReplaced();
    ZoomToDrawing(m_Document, m_View);
    return true;
}

void TFileCommands::ClearDrawing()
{
    if (UndoJournal())
        UndoJournal()->Clear();
    m_Document.DeleteAllObjects();
    ResetLayers(m_Document, m_Config.ConfigFolder(), m_Config.DefLayers);
    m_View.RebuildScene(true);
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
    GlobalChainList().ClearChains();
    m_Opened.FileName.clear();
}

bool TFileCommands::CancellatoTutto()
{
    // The box asks whether the machining operations go too.
    bool operationsToo = true;
    if (UserNotifier().AskYesNoChecked(LangText(LangKeys::String::ClearDrawing),
                                       LangText(LangKeys::String::ErrorCaption),
                                       LangText(LangKeys::String::DeleteOperationsToo), operationsToo) !=
        EUserAnswer::Yes)
        return false;
    ClearDrawing();
    if (operationsToo && DeleteAllOperations)
        DeleteAllOperations();
    m_Opened.Kind = TOpenedFileKind::None;
    if (OnDrawingReplaced)
        OnDrawingReplaced();
    if (OnDrawingCleared)
        OnDrawingCleared();
    return true;
}
