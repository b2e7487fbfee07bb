#pragma once
// The File commands of the main window: open (documents and DXF files for
// now) and the
// record of what the last open gave. OpenGeo is the one entry for opening:
// File/Open and the command line both call it.
//
// Promises:
// - Every question goes through the prompt service (core/UserNotifier.h):
//   the file names (types listed in both cases, the open dialog starting in
//   "FilePath_Geo"), "452" with its check box "723".
// - A drawing that holds objects is replaced only after the user answered
//   Yes to the question "452" (any other answer changes nothing); a merge
//   never asks. The file name is asked for first, so a cancelled dialog
//   changes nothing either.
// - The drawing is replaced only by a file that was read: a file that
//   cannot be opened, is of a kind that cannot be opened or does not start
//   as its kind does leaves the drawing (objects, blocks, layers, undo
//   steps) and the current file name as they were, with one warning
//   ("458", caption "450") or, for a document, the reader's error.
// - A replacing open starts from the layer defaults (ResetLayers) and the
//   view is rebuilt; a merge keeps the layers.
// - The opened-file record: kind None before any open and while an open is
//   under way, Document or DXF after the file was read, Failed when the
//   open failed (the name then stays the previous one) or a document was
//   read only in part (the name is the file's); the name is the full name
//   of the file (empty after a merge).
// - A reader's exception (a damaged document) passes on after the record
//   says Failed and the busy cursor is back; the caller's event guard
//   shows it. What the reader had read stays in the drawing.
// - Once a load has replaced the drawing (also only in part), the undo
//   journal forgets its steps, which named the objects replaced; a merge,
//   or a file refused before anything was read, leaves them.
// - Save writes the drawing to the current file when that is a document
//   (.kvx); any other case (no file, an imported file) is Save As. An
//   empty drawing is not saved (warning "405", caption "406").
// - Save As asks for the name; only a .kvx name is written. Another known
//   extension (.dxf, .txt, .hgl) gives the information "403" and an unknown
//   one the warning "458"; in both cases nothing is written and the current
//   file stays what it was. A failed write shows the error (caption "450")
//   and keeps the drawing and the current file as they were; the old file
//   on disk stays whole (the document writes beside it and renames).
// - New on an empty drawing does nothing. Otherwise it asks "452"; on Yes
//   the undo journal is cleared, every object deleted, the layers reset
//   (ResetLayers), the view rebuilt, the record reset (kind None, no file)
//   and OnDrawingReplaced and OnDrawingCleared told.
// Main thread only.

#include "cad/program/ShellServices.h"
#include "core/model/UserNotifier.h"

#include <functional>
#include <string>
#include <vector>

class TAppConfig;
class TDocumentView;
class TQV_00Prog;
class TQV_01Cmp2D;

class TFileCommands {
public:
    TFileCommands(TQV_01Cmp2D& document, TQV_00Prog& prg, TDocumentView& view, TAppConfig& config);

    // Told the full name after each successful open (the caption and the
    // recent files show it).
    std::function<void(const std::string& fileName)> OnFileOpened;
    // Told after every attempt to load a document in place of the drawing,
    // also one that failed (the drawing may then hold part of the file):
    // the loader empties the drawing without telling its entity tree, which
    // must be rebuilt from what the drawing now holds.
    std::function<void()> OnDrawingReplaced;

    // Told the full name after each successful save.
    std::function<void(const std::string& fileName)> OnFileSaved;
    // Told after New has cleared the drawing (the caption goes back to the
    // product name).
    std::function<void()> OnDrawingCleared;
    // Deletes every machining operation (clear all with its box ticked).
    // May be empty.
    std::function<void()> DeleteAllOperations;

    // Opens fileName (empty: asks for it), or merges it into the drawing.
    void OpenGeo(const std::string& fileName, bool merge);

    // File/Save and File/Save As; true when the document was written.
    bool MySaveClick();
    bool MySaveAsClick();
    // File/New: clears the drawing after the confirmation.
    void sbtNewClick();
    // Clear all after the question "452"; true when cleared.
    bool CancellatoTutto();

    const TOpenedFile& OpenedFile() const { return m_Opened; }

private:
    // True when the document was read (also only partly: the loader told
    // the user).
    bool OpenDocumentFile(const std::string& fileName, bool merge);
    // True when the DXF was read (also only partly: the import told the
    // user); the drawing is replaced, never merged.
    bool OpenDxfFile(const std::string& fileName);
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
