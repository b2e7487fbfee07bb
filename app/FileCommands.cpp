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
#include "core/entities/Bitmap2D.h"
#include "core/entities/QVGrezzo.h"
#include "core/entities/QV_STLSurf.h"
#include "core/file/Stl.h"
#include "io/dxf/DXF2DImport.h"
#include "io/dxf/DXFImportFile.h"
#include "io/svg/SvgImport.h"
#include "io/svg/SvgParser.h"
#include "io/svg/SvgPathRenderer.h"
#include "io/ui/DlgOpenGeo.h"
#include "platform/AsciiText.h"

#include "cam/ops/OpManager.h"
#include "core/entities/Etichetta.h"
#include "core/file/Stream.h"

#include <QImageReader>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cctype>
#include <cstdlib>
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

// A reader's text without the routine name it may start with
// ("TQVCmp.MergeFromStream: no objects found" gives "no objects found").
std::string WithoutRoutineName(const std::string& text)
{
    const size_t colon = text.find(": ");
    if (colon == std::string::npos || colon == 0 || text[0] != 'T')
        return text;
    const std::string_view head(text.data(), colon);
    if (head.find('.') == std::string_view::npos)
        return text;
    for (const char c : head) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_')
            return text;
    }
    return text.substr(colon + 2);
}

// The progress bar of an open. A document's load moves it by the position
// reached in its file.
class TOpenProgress {
public:
    explicit TOpenProgress(TQV_01Cmp2D& document)
        : m_Document(document), m_PreviousLoad(document.OnLoadProgress), m_PreviousAdd(document.OnAddObject)
    {
        WorkMonitor().SetCoordinateReadoutVisible(false);
        WorkMonitor().ShowProgress(0, true);
        // The status bar lays the bar out and shows it, and the window
        // catches up with what waits, before the reading starts.
        WorkMonitor().ProcessPendingPaint();
        document.OnLoadProgress = [this](TQV_01Cmp&, uint8_t) { Step(); };
        document.OnAddObject = [this](TQV_01Cmp&, TObject2D&) { Step(); };
    }
    ~TOpenProgress()
    {
        m_Document.OnLoadProgress = m_PreviousLoad;
        m_Document.OnAddObject = m_PreviousAdd;
        s_Fraction = nullptr;
        WorkMonitor().HideProgress();
        WorkMonitor().SetCoordinateReadoutVisible(true);
    }
    TOpenProgress(const TOpenProgress&) = delete;
    TOpenProgress& operator=(const TOpenProgress&) = delete;

    // The share of its file the reader has read, 0 to 1, that the bar
    // follows; empty: none.
    static void WatchFraction(std::function<double()> fraction) { s_Fraction = std::move(fraction); }
    // The same by the position of the stream read.
    static void Watch(const TStream& stream)
    {
        WatchFraction([&stream] {
            return stream.Size() > 0 ? static_cast<double>(stream.Position()) / static_cast<double>(stream.Size()) : 0.0;
        });
    }

private:
    static constexpr int StepsPerLook = 256;
    // A repaint of the bar flushes the whole window (the view included), so
    // the bar moves in steps of this many percent.
    static constexpr int PercentPerRepaint = 5;

    // The bar repaints itself as it moves; the view is not repainted while
    // the drawing fills (each repaint would draw all that was read so far).
    void Step()
    {
        if (++m_Steps % StepsPerLook != 0)
            return;
        if (!s_Fraction)
            return;
        const int percent = static_cast<int>(std::clamp(s_Fraction() * 100.0, 0.0, 100.0));
        if (std::abs(percent - m_Shown) >= PercentPerRepaint) {
            m_Shown = percent;
            WorkMonitor().ShowProgress(percent, true);
        }
    }

    static inline std::function<double()> s_Fraction;
    TQV_01Cmp2D& m_Document;
    TQV_01Cmp::TOnLoadProgress m_PreviousLoad;
    TQV_01Cmp::TOnAddObject m_PreviousAdd;
    int64_t m_Steps = 0;
    int m_Shown = 0;
};

// Objects added while it lives are neither drawn nor put in the entity tree.
class TQuietAdds {
public:
    explicit TQuietAdds(TQV_01Cmp2D& document) : m_Document(document), m_Before(document.PresentAdds())
    {
        document.SetPresentAdds(false);
    }
    ~TQuietAdds() { m_Document.SetPresentAdds(m_Before); }
    TQuietAdds(const TQuietAdds&) = delete;
    TQuietAdds& operator=(const TQuietAdds&) = delete;

private:
    TQV_01Cmp2D& m_Document;
    bool m_Before;
};

} // namespace

std::string UpperExtension(const std::string& fileName)
{
    return AsciiUpperCopy(std::filesystem::path(fileName).extension().string());
}

TFileCommands::TFileCommands(TQV_01Cmp2D& document, TQV_00Prog& prg, TDocumentView& view, TAppConfig& config)
    : m_Document(document), m_Prg(prg), m_View(view), m_Config(config)
{
}

TFileCommands::~TFileCommands() = default;

void TFileCommands::OpenGeo(const std::string& fileName, bool merge)
{
    m_Prg.StopOperation();
    // What a Yes clears is cleared only once the new file has been read.
    bool operationsToo = false;
    if (!merge && m_Document.ObjectsCount() > 0) {
        operationsToo = true;
        if (!AskClearAll(operationsToo))
            return;
    }
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

    const std::string fullName = FullName(name);
    const std::string previousName = m_Opened.FileName;
    m_Opened.Kind = TOpenedFileKind::None;
    WorkMonitor().ShowStatusMessage(LangText(LangKeys::String::OpeningFile));
    TRead read;
    try {
        TBusySection busy(WorkMonitor());
        TOpenProgress progress(m_Document);
        read = merge ? ReadFile(fullName, true) : ReplaceDrawing(fullName, operationsToo);
    } catch (...) {
        m_Opened = TOpenedFile{previousName, TOpenedFileKind::Failed};
        WorkMonitor().ShowStatusMessage(std::string());
        throw;
    }

    if (read.Outcome == TReadOutcome::Failed) {
        WorkMonitor().ShowStatusMessage(std::string());
        m_Opened = TOpenedFile{previousName, TOpenedFileKind::Failed};
        if (read.Message.empty())
            UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::FileNotOpened),
                                       LangText(LangKeys::String::ErrorCaption));
        else
            UserNotifier().ShowMessage(EMessageKind::Error, read.Message, LangText(LangKeys::String::ErrorCaption));
        return;
    }
    if (merge) {
        m_Opened = TOpenedFile{std::string(), read.Kind};
        if (read.Outcome == TReadOutcome::Whole && OnFileOpened)
            OnFileOpened(fullName);
    } else if (read.Outcome == TReadOutcome::Whole) {
        m_Opened = TOpenedFile{fullName, read.Kind};
        if (OnFileOpened)
            OnFileOpened(fullName);
    } else {
        // A truncated copy must never be saved over the damaged file.
        m_Opened = TOpenedFile{std::string(), read.Kind};
        if (OnFilePartlyRead)
            OnFilePartlyRead(fullName);
    }
    Present(fullName, read.Kind);
    // The status line repaints at once, and the view with it: only once the
    // drawing is presented, so that the first frame shows it as placed.
    WorkMonitor().ShowStatusMessage(read.Kind != TOpenedFileKind::Document
                                        ? LangText(LangKeys::String::StatusPlacement)
                                        : std::string());
    if (read.Outcome == TReadOutcome::InPart && !read.Message.empty())
        UserNotifier().ShowMessage(EMessageKind::Warning, read.Message, LangText(LangKeys::String::ErrorCaption));
    if (m_SkippedFacets > 0)
        ReportSkippedStlFacets(m_SkippedFacets);
    m_SkippedFacets = 0;
}

// --- Reading -------------------------------------------------------------------

struct TFileCommands::TAside {
    TQV_01Cmp::TTakenDrawing Drawing;
    std::vector<TQV_21Layer> Layers;
    int CurrentLayer = 0;
    std::string LoadedSignature;
    std::unique_ptr<TEtichetta> Label;
};

std::unique_ptr<TFileCommands::TAside> TFileCommands::SetAside()
{
    auto aside = std::make_unique<TAside>();
    aside->Drawing = m_Document.TakeDrawing();
    for (int n = 0; n < TQV_20Layers::LayerCount; ++n)
        aside->Layers.push_back(m_Document.Layers().GetLayer(n));
    aside->CurrentLayer = m_Document.CurrentLayer();
    aside->LoadedSignature = m_Document.LoadedSignature();
    aside->Label = ReleaseCurrentLabelObject();
    // A replacing open starts from a new drawing's layers.
    ResetLayers(m_Document, m_Config.ConfigFolder(), m_Config.DefLayers);
    return aside;
}

void TFileCommands::PutBack(TAside& aside)
{
    m_DxfImporter.reset();
    m_ReadImage = QImage();
    m_ReadSurface = nullptr;
    m_SkippedFacets = 0;
    m_Document.PutBackDrawing(std::move(aside.Drawing));
    for (size_t n = 0; n < aside.Layers.size(); ++n)
        m_Document.Layers().GetLayer(static_cast<int>(n)) = aside.Layers[n];
    m_Document.SetCurrentLayer(aside.CurrentLayer);
    m_Document.SetLoadedSignature(aside.LoadedSignature);
    SetCurrentLabelObject(std::move(aside.Label));
    m_View.RebuildScene(false);
    if (OnDrawingReplaced)
        OnDrawingReplaced();
}

bool TFileCommands::Commit(TAside& aside, bool operationsToo, TOpenedFileKind kind)
{
    m_Document.DropTakenDrawing(std::move(aside.Drawing));
    // Only a document brings a label object of its own.
    if (kind != TOpenedFileKind::Document)
        SetCurrentLabelObject(std::move(aside.Label));
    aside.Label.reset();
    m_ImportedImage = QImage();
    m_BitmapID = -1;
    if (UndoJournal())
        UndoJournal()->Clear();
    if (ClearSimulations)
        ClearSimulations();

    TOpManager& operations = OpManager();
    std::vector<std::unique_ptr<TOpManagerField>> read = std::move(operations.Held);
    operations.Held.clear();
    if (operationsToo) {
        if (DeleteAllOperations) {
            DeleteAllOperations();
        } else {
            operations.DeleteAll();
            SetCurrentOperation(nullptr);
        }
    }
    bool operationsTaken = true;
    if (operations.Count() == 0)
        operations.AppendLoaded(std::move(read));
    else
        operationsTaken = read.empty();
    m_View.RebuildScene(true);
    if (OnDrawingReplaced)
        OnDrawingReplaced();
    return operationsTaken;
}

TFileCommands::TRead TFileCommands::ReplaceDrawing(const std::string& fileName, bool operationsToo)
{
    std::unique_ptr<TAside> aside = SetAside();
    TOpManager& operations = OpManager();
    // The file's operations wait aside until the whole file was read.
    struct THold {
        TOpManager& Operations;
        explicit THold(TOpManager& operations) : Operations(operations)
        {
            Operations.Held.clear();
            Operations.HoldLoaded = true;
        }
        ~THold()
        {
            Operations.HoldLoaded = false;
            Operations.Held.clear();
        }
    } hold(operations);

    TRead read;
    try {
        // Both the view and the tree are rebuilt once, when the drawing
        // is put back or committed.
        const TQuietAdds quiet(m_Document);
        read = ReadFile(fileName, false);
    } catch (...) {
        PutBack(*aside);
        throw;
    }
    const bool image = read.Kind == TOpenedFileKind::BMP || read.Kind == TOpenedFileKind::JPEG;
    const bool nothing = m_Document.ObjectsCount() == 0 && operations.Held.empty() && !image;
    if (read.Outcome == TReadOutcome::Failed || nothing) {
        PutBack(*aside);
        if (read.Outcome != TReadOutcome::Failed)
            read.Message = read.Reason;
        read.Outcome = TReadOutcome::Failed;
        return read;
    }
    if (!Commit(*aside, operationsToo, read.Kind)) {
        read.Outcome = TReadOutcome::InPart;
        if (!read.Message.empty())
            read.Message += "\r\n";
        read.Message += LangText(LangKeys::String::OperationsKept);
    }
    return read;
}

TFileCommands::TRead TFileCommands::ReadFile(const std::string& fileName, bool merge)
{
    const std::string extension = UpperExtension(fileName);
    if (extension == ".KVX")
        return ReadDocumentFile(fileName, merge);
    if (merge)
        return {}; // only documents merge
    if (extension == ".DXF")
        return ReadDxfFile(fileName);
    if (extension == ".SVG")
        return ReadSvgFile(fileName);
    if (extension == ".BMP")
        return ReadBitmapFile(fileName, true);
    if (extension == ".JPG" || extension == ".JPEG")
        return ReadBitmapFile(fileName, false);
    if (extension == ".STL")
        return ReadStlFile(fileName);
    return {};
}

TFileCommands::TRead TFileCommands::ReadDocumentFile(const std::string& fileName, bool merge)
{
    TRead read;
    read.Kind = TOpenedFileKind::Document;
    try {
        TFileStream stream(fileName, TFileStream::TMode::OpenRead);
        TOpenProgress::Watch(stream);
        TDocumentLoadResult result;
        try {
            result = m_Document.LoadFromStream(stream, merge);
        } catch (...) {
            TOpenProgress::WatchFraction(nullptr);
            throw;
        }
        TOpenProgress::WatchFraction(nullptr);
        // An entry of an unknown class was reported by the loader.
        read.Outcome = result.Partial ? TReadOutcome::InPart : TReadOutcome::Whole;
    } catch (const ECADFilePartlyRead& error) {
        read.Outcome = TReadOutcome::InPart;
        read.Reason = WithoutRoutineName(error.Cause());
        read.Message = read.Reason + "\r\n" + std::string(PartlyReadMessage);
    } catch (const std::exception& error) {
        read.Outcome = TReadOutcome::Failed;
        read.Message = WithoutRoutineName(error.what());
    }
    if (read.Outcome != TReadOutcome::Failed && merge)
        m_Document.RepaintViewports();
    return read;
}

TFileCommands::TRead TFileCommands::ReadDxfFile(const std::string& fileName)
{
    // The import reports a file read only in part itself.
    TDXFImportResult result = ImportDXFFile(m_Document, fileName, m_Config, [](const TDXF2DImport& importer) {
        TOpenProgress::WatchFraction([&importer] { return importer.ReadFraction(); });
    });
    TOpenProgress::WatchFraction(nullptr);
    TRead read;
    if (result.FileKind != OpenedFileKindDxf || !result.Importer)
        return read;
    read.Kind = TOpenedFileKind::DXF;
    read.Outcome = result.Importer->Incomplete() ? TReadOutcome::InPart : TReadOutcome::Whole;
    m_DxfImporter = std::move(result.Importer);
    return read;
}

TFileCommands::TRead TFileCommands::ReadSvgFile(const std::string& fileName)
{
    TRead read;
    read.Kind = TOpenedFileKind::SVG;
    path_renderer renderer;
    svg_parser parser(renderer);
    try {
        parser.parse(fileName);
    } catch (const std::exception& error) {
        read.Message = error.what();
        return read;
    }
    const TSvgImportResult result = ImportSvgPaths(m_Document, renderer);
    read.Outcome = TReadOutcome::Whole;
    if (result.Skipped > 0 || result.Truncated) {
        read.Outcome = TReadOutcome::InPart;
        read.Message = LangText(LangKeys::String::SvgPartlyRead);
    }
    return read;
}

TFileCommands::TRead TFileCommands::ReadBitmapFile(const std::string& fileName, bool isBmp)
{
    TRead read;
    QImageReader reader(QString::fromStdString(fileName), isBmp ? "bmp" : "jpeg");
    const QImage loaded = reader.read();
    if (loaded.isNull())
        return read;
    m_ReadImage = loaded.convertToFormat(QImage::Format_ARGB32);
    read.Outcome = TReadOutcome::Whole;
    read.Kind = isBmp ? TOpenedFileKind::BMP : TOpenedFileKind::JPEG;
    return read;
}

TFileCommands::TRead TFileCommands::ReadStlFile(const std::string& fileName)
{
    TRead read;
    read.Kind = TOpenedFileKind::STL;
    TStlMesh mesh;
    try {
        mesh = LoadStlFromFile(fileName);
    } catch (const std::exception& error) {
        read.Message = error.what();
        return read;
    }
    if (mesh.Facets.empty())
        return read;
    m_SkippedFacets = mesh.SkippedFacets;
    m_ReadSurface = m_Document.AddObject(-1, std::make_unique<TQV_STLSurf>(-1, std::move(mesh)));
    // The facets left out are reported once the surface is shown.
    read.Outcome = m_SkippedFacets > 0 ? TReadOutcome::InPart : TReadOutcome::Whole;
    return read;
}

// --- After the read --------------------------------------------------------------

void TFileCommands::Present(const std::string& fileName, TOpenedFileKind kind)
{
    switch (kind) {
    case TOpenedFileKind::Document:
        ZoomToDrawing(m_Document, m_View);
        break;
    case TOpenedFileKind::DXF: {
        const std::unique_ptr<TDXF2DImport> importer = std::move(m_DxfImporter);
        TDlgOpenGeo* panel = importer ? NewOpenGeoPanel() : nullptr;
        ZoomUnlessThePanelDoes(panel);
        if (panel) {
            panel->SetupDxf(*importer, fileName);
            ShowPanelPage(LangKeys::frmToolWin::CaptionOpenDxf);
        }
        break;
    }
    case TOpenedFileKind::SVG:
        if (TDlgOpenGeo* panel = ZoomUnlessThePanelDoes(NewOpenGeoPanel())) {
            panel->SetupSvg(fileName);
            ShowPanelPage(LangKeys::frmToolWin::CaptionOpenSvg);
        }
        break;
    case TOpenedFileKind::BMP:
    case TOpenedFileKind::JPEG:
        PresentBitmap(fileName, kind == TOpenedFileKind::BMP);
        break;
    case TOpenedFileKind::STL: {
        TQV_STLSurf* surface = m_ReadSurface;
        m_ReadSurface = nullptr;
        if (!surface)
            break;
        if (StockSolid())
            StockSolid()->SetBox(surface->Box3D());
        ZoomToDrawing(m_Document, m_View);
        if (TDlgOpenGeo* panel = NewOpenGeoPanel()) {
            panel->SetupStl(*surface, fileName);
            ShowPanelPage(LangKeys::frmToolWin::CaptionOpenStl);
        }
        break;
    }
    default:
        break;
    }
}

void TFileCommands::PresentBitmap(const std::string& fileName, bool isBmp)
{
    const QImage image = std::move(m_ReadImage);
    m_ReadImage = QImage();
    if (image.isNull())
        return;
    // Without a page the placement still gives the image its size.
    QWidget scratchPage;
    std::unique_ptr<TDlgOpenGeo> own;
    TDlgOpenGeo* panel = NewOpenGeoPanel();
    if (!panel) {
        own = std::make_unique<TDlgOpenGeo>(scratchPage, m_Document, &m_View, m_Config);
        panel = own.get();
    }
    if (isBmp)
        panel->SetupBmp(image, fileName);
    else
        panel->SetupJpeg(image, fileName);
    const TRect2D box = panel->GetBoxRect();
    TBitmap2D* bitmap = m_Document.AddObject(-1, std::make_unique<TBitmap2D>(-1, box.FirstEdge, box.SecondEdge, image));
    m_BitmapID = bitmap->ID();
    m_ImportedImage = image;
    panel->Apply();
    ShowPanelPage(isBmp ? LangKeys::frmToolWin::CaptionOpenBmp : LangKeys::frmToolWin::CaptionOpenJpg);
}

TDlgOpenGeo* TFileCommands::ZoomUnlessThePanelDoes(TDlgOpenGeo* panel)
{
    // A panel that zooms by itself fits the view to the drawing as it sets
    // up (each fit walks the whole drawing).
    if (!panel || !panel->AutoZoom)
        ZoomToDrawing(m_Document, m_View);
    return panel;
}

TDlgOpenGeo* TFileCommands::NewOpenGeoPanel()
{
    FreeOpenGeoPanel();
    QWidget* sheet = OpenPageSheet ? OpenPageSheet() : nullptr;
    if (!sheet)
        return nullptr;
    m_Panel = std::make_unique<TDlgOpenGeo>(*sheet, m_Document, &m_View, m_Config);
    m_Panel->OnDone = [this] {
        WorkMonitor().ShowStatusMessage(std::string());
        if (HideToolWin)
            HideToolWin();
    };
    return m_Panel.get();
}

void TFileCommands::ShowPanelPage(std::string_view captionKey)
{
    if (m_Panel && ShowOpenPage)
        ShowOpenPage(std::string(captionKey));
}

void TFileCommands::FreeOpenGeoPanel()
{
    if (!m_Panel)
        return;
    // The hide may come from the panel's own Done button: its widgets go
    // once that click has returned.
    if (QWidget* frame = m_Panel->Frame())
        frame->hide();
    m_RetiredPanels.push_back(std::move(m_Panel));
    QTimer::singleShot(0, [this, alive = std::weak_ptr<int>(m_Alive), count = m_RetiredPanels.size()] {
        if (!alive.expired() && m_RetiredPanels.size() >= count)
            m_RetiredPanels.erase(m_RetiredPanels.begin(), m_RetiredPanels.begin() + ptrdiff_t(count));
    });
}

void TFileCommands::sbtVectClick()
{
    TBitmap2D* bitmap = nullptr;
    if (m_Opened.Kind == TOpenedFileKind::BMP || m_Opened.Kind == TOpenedFileKind::JPEG)
        bitmap = dynamic_cast<TBitmap2D*>(m_Document.GetObject(m_BitmapID));
    if (!bitmap || m_ImportedImage.isNull()) {
        UserNotifier().ShowMessage(EMessageKind::Warning, LangText(LangKeys::String::NoImageOpened),
                                   LangText(LangKeys::String::VectorizeCaption));
        return;
    }
    if (StartVectorize)
        StartVectorize(*bitmap, m_ImportedImage);
}

void TFileCommands::ClearDrawing()
{
    m_ImportedImage = QImage();
    m_BitmapID = -1;
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
    return {{"Bitmap/Vector files", {"kvx", "bmp", "jpg", "jpeg", "dxf", "stl", "svg"}},
            {"Kestrabel files", {"kvx"}},
            {"Dxf files", {"dxf"}},
            {"Stl files", {"stl"}},
            {"Svg files", {"svg"}},
            {"Image files", {"bmp", "jpg", "jpeg"}}};
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
    bool operationsToo = true;
    if (!AskClearAll(operationsToo))
        return false;
    ClearAll(operationsToo);
    return true;
}

bool TFileCommands::AskClearAll(bool& operationsToo)
{
    // The box asks whether the machining operations go too.
    return UserNotifier().AskYesNoChecked(LangText(LangKeys::String::ClearDrawing),
                                          LangText(LangKeys::String::ErrorCaption),
                                          LangText(LangKeys::String::DeleteOperationsToo),
                                          operationsToo) == EUserAnswer::Yes;
}

void TFileCommands::ClearAll(bool operationsToo)
{
    ClearDrawing();
    if (ClearSimulations)
        ClearSimulations();
    if (operationsToo) {
        if (DeleteAllOperations) {
            DeleteAllOperations();
        } else {
            OpManager().DeleteAll();
            SetCurrentOperation(nullptr);
        }
    }
    m_Opened.Kind = TOpenedFileKind::None;
    if (OnDrawingReplaced)
        OnDrawingReplaced();
    if (OnDrawingCleared)
        OnDrawingCleared();
}
