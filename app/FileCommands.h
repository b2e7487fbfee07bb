#pragma once
// The File commands of the main window: open (documents, DXF and SVG
// drawings, BMP and JPEG images, STL surfaces) and the record of what the
// last open gave. OpenGeo is the one entry for opening: File/Open, the
// recent files and the command line all call it.
//
// Promises:
// - Every question goes through the prompt service (core/UserNotifier.h):
//   "452" with its check box "723" (ticked: the operations go too), then
//   the file name (types listed in both cases, the open dialog starting in
//   "FilePath_Geo").
// - A drawing that holds objects is replaced only after the user answered
//   Yes to "452" (any other answer changes nothing); a merge never asks. A
//   cancelled file dialog changes nothing either.
// - A replacing open sets the drawing aside (objects, saved blocks, layers,
//   current layer, label object, image copy) and reads the file into the
//   emptied document, which starts from the layer defaults and layer 0. The
//   drawing is cleared for good only once the file was read: the undo
//   steps, the image copy, the scene (STL surface and stock box included)
//   and, when the box was ticked, the operations with their tree go; the
//   file's operations then take their place. With the box unticked (or no
//   question asked) the operations stay; a document that brings operations
//   of its own while some stay is opened without them, with the warning
//   "OpsKept", and is treated as read only in part.
// - A file that cannot be opened, is refused, or yields nothing (no object,
//   no operation) changes nothing: drawing, operations, layers, undo steps,
//   title, recent files and current file name stay; the record says Failed.
//   A document's reason is shown as an error (caption "450") without the
//   reader's routine name; other kinds show the warning "458".
// - A file read only in part shows what was read with a warning that says
//   so (a document: the reason and PartlyReadMessage). Its name is not
//   taken: the record keeps the kind with an empty name (Save asks for a
//   name, suggesting none) and OnFilePartlyRead tells the window, whose
//   title says the file is incomplete; the recent files do not get it.
// - Only a file read whole is told through OnFileOpened (title and recent
//   files); after a merge the name is cleared again.
// - The open shows a progress bar (documents by the position in the file)
//   and lets the window repaint before it reads; the bar goes at the end,
//   also when the read fails, and the view is rebuilt with what was read.
// - Save writes the drawing to the current file when that is a document
//   (.kvx); any other case (no file, an imported file) is Save As. An
//   empty drawing is not saved (warning "405", caption "406").
// - Save As asks for the name; only a .kvx name is written. Another known
//   extension (.dxf, .txt, .hgl) gives the information "403" and an unknown
//   one the warning "458"; in both cases nothing is written and the current
//   file stays what it was. A failed write shows the error (caption "450")
//   and keeps the drawing and the current file as they were; the old file
//   on disk stays whole (the document writes beside it and renames).
// - An opened DXF, SVG, image or STL file gets the open-geometry panel on
//   the tool window's page (OpenPageSheet, ShowOpenPage; the status text
//   "416"); the panel lives until FreeOpenGeoPanel (the tool window's hide),
//   which lets it go only once the event that hid the window has returned.
//   An image becomes a bitmap entity placed by the panel, and a copy of it
//   is kept for the vectoriser until the drawing is cleared.
// - Vectorize (sbtVectClick) needs an opened image (kinds BMP and JPEG, its
//   bitmap entity still in the drawing); otherwise the warning "407"
//   (caption "408").
// - New on an empty drawing does nothing. Otherwise it asks "452"; on Yes
//   the undo journal is cleared, every object deleted, the layers reset
//   (ResetLayers, layer 0 current), the operations deleted when the box is
//   ticked, the view rebuilt, the record reset (kind None, no file) and
//   OnDrawingReplaced and OnDrawingCleared told.
// Main thread only.

#include "cad/program/ShellServices.h"
#include "core/model/UserNotifier.h"

#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;
class TAppConfig;
class TBitmap2D;
class TDXF2DImport;
class TQV_STLSurf;
class TDlgOpenGeo;
class TDocumentView;
class TQV_00Prog;
class TQV_01Cmp2D;

class TFileCommands {
public:
    TFileCommands(TQV_01Cmp2D& document, TQV_00Prog& prg, TDocumentView& view, TAppConfig& config);
    ~TFileCommands();
    TFileCommands(const TFileCommands&) = delete;
    TFileCommands& operator=(const TFileCommands&) = delete;

    // Told the full name after each open that read the whole file (the
    // caption and the recent files show it).
    std::function<void(const std::string& fileName)> OnFileOpened;
    // Told the full name after an open that read the file only in part (the
    // caption says so; the recent files do not take it).
    std::function<void(const std::string& fileName)> OnFilePartlyRead;
    // Told after every open in place of the drawing, also one that failed
    // (the drawing was set aside and put back): the entity tree must be
    // rebuilt from what the drawing now holds.
    std::function<void()> OnDrawingReplaced;

    // Told the full name after each successful save.
    std::function<void(const std::string& fileName)> OnFileSaved;
    // Told after New has cleared the drawing (the caption goes back to the
    // product name).
    std::function<void()> OnDrawingCleared;
    // Deletes every machining operation with its tree node (clear all with
    // its box ticked). When empty, the operation manager's list is emptied.
    std::function<void()> DeleteAllOperations;
    // Takes the drawings of the simulations off the view: the drawing they
    // showed is gone (New, and an open that replaced it). May be empty.
    std::function<void()> ClearSimulations;

    // Opens fileName (empty: asks for it), or merges it into the drawing.
    void OpenGeo(const std::string& fileName, bool merge);

    // File/Save and File/Save As; true when the document was written.
    bool MySaveClick();
    bool MySaveAsClick();
    // File/New: clears the drawing after the confirmation.
    void sbtNewClick();
    // Clear all after the question "452"; true when cleared.
    bool CancellatoTutto();
    // The question "452" with its box (operationsToo in and out); true on Yes.
    bool AskClearAll(bool& operationsToo);
    // What Yes to "452" clears (see New above).
    void ClearAll(bool operationsToo);

    const TOpenedFile& OpenedFile() const { return m_Opened; }

    // The open-geometry panel's page: the sheet it is built on (null: no
    // panel), and the show of the page with the caption key of section
    // "frmToolWin". The panel's Done calls HideToolWin.
    std::function<QWidget*()> OpenPageSheet;
    std::function<void(const std::string& captionKey)> ShowOpenPage;
    std::function<void()> HideToolWin;
    // The vectorise command: the page for the image's bitmap entity, with
    // the imported image as the thresholds' source.
    std::function<void(TBitmap2D& bitmap, const QImage& source)> StartVectorize;

    // The panel of the last open, or null.
    TDlgOpenGeo* OpenGeoPanel() const { return m_Panel.get(); }
    void FreeOpenGeoPanel();
    // The copy of the last opened image (null image when none).
    const QImage& ImportedImage() const { return m_ImportedImage; }
    // Vectorize.
    void sbtVectClick();

private:
    enum class TReadOutcome { Whole, InPart, Failed };
    struct TRead {
        TReadOutcome Outcome = TReadOutcome::Failed;
        TOpenedFileKind Kind = TOpenedFileKind::Failed;
        // The warning of a partial read, or the reason of a failed one;
        // empty when the reader has told the user itself or has nothing to say.
        std::string Message;
        // Why a document was read only in part: its reason should nothing
        // have been read at all.
        std::string Reason;
    };
    struct TAside;

    // Reads the file of that kind into the document (emptied first unless
    // merging); the panel and the view come after (Present).
    TRead ReadFile(const std::string& fileName, bool merge);
    TRead ReadDocumentFile(const std::string& fileName, bool merge);
    TRead ReadDxfFile(const std::string& fileName);
    TRead ReadSvgFile(const std::string& fileName);
    TRead ReadBitmapFile(const std::string& fileName, bool isBmp);
    TRead ReadStlFile(const std::string& fileName);
    // A replacing open: the drawing aside, the file read, then the drawing
    // put back (failed, or nothing read) or cleared for good.
    TRead ReplaceDrawing(const std::string& fileName, bool operationsToo);
    std::unique_ptr<TAside> SetAside();
    void PutBack(TAside& aside);
    // Clears what the file replaces; false when the file's operations were
    // left out for the operations that stay.
    bool Commit(TAside& aside, bool operationsToo, TOpenedFileKind kind);
    // The view and the open-geometry panel of what was read.
    void Present(const std::string& fileName, TOpenedFileKind kind);
    void PresentBitmap(const std::string& fileName, bool isBmp);
    // A new panel on the page, the previous one freed; null without a page.
    TDlgOpenGeo* NewOpenGeoPanel();
    // Fits the view to the drawing unless the panel will (its automatic
    // zoom); gives the panel back.
    TDlgOpenGeo* ZoomUnlessThePanelDoes(TDlgOpenGeo* panel);
    void ShowPanelPage(std::string_view captionKey);
    // Empties the drawing for what replaces it: undo steps, objects, the
    // layers back to their defaults, the view rebuilt.
    void ClearDrawing();
    // Writes the document; a failure is shown and gives false.
    bool scriveKBelFile(const std::string& fileName);

    TQV_01Cmp2D& m_Document;
    TQV_00Prog& m_Prg;
    TDocumentView& m_View;
    TAppConfig& m_Config;
    TOpenedFile m_Opened;
    std::unique_ptr<TDlgOpenGeo> m_Panel;
    // Panels let go of, freed at the next turn of the event loop.
    std::vector<std::unique_ptr<TDlgOpenGeo>> m_RetiredPanels;
    QImage m_ImportedImage;
    int32_t m_BitmapID = -1;
    // What a read hands to Present: the DXF importer, the image, the STL
    // surface with its left-out facets.
    std::unique_ptr<TDXF2DImport> m_DxfImporter;
    QImage m_ReadImage;
    TQV_STLSurf* m_ReadSurface = nullptr;
    size_t m_SkippedFacets = 0;
    // Expires with this object (the deferred frees test it).
    std::shared_ptr<int> m_Alive = std::make_shared<int>(0);
};

// The upper-cased extension of a file name, with its dot (".KVX"); empty
// when the name has none.
std::string UpperExtension(const std::string& fileName);

// The type lists of the open dialog (merge: documents only) and of the
// save dialog.
std::vector<TFileFilter> OpenFileFilters(bool merge);
std::vector<TFileFilter> SaveFileFilters();

// The save-format index of a file name's extension (any case): ".KVX" 1,
// ".DXF" 2, ".TXT" 3, ".HGL" 4, anything else or none 0.
int IndiceExt(const std::string& fileName);
