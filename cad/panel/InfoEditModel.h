#pragma once
// TInfoEditModel: the properties panel without its widgets. It holds the
// page on screen (title, rows, columns, buttons and cell texts), the 31
// command values that the drawing and edit commands read with GetValue, the
// entity shown on an entity page, and the live read-outs that entities and
// states write while the pointer moves. The panel's widget (cad/ui/
// InfoEdit.h) shows the model and hands the user's edits and clicks back to
// it; commands reach the program's one panel through InfoEditPanel().
//
// Promises:
// - A command page is built from the table of cad/InfoEditPages.h; choosing
//   the page already shown keeps it and its texts, choosing another and
//   coming back shows the values again, which live as long as the model.
// - Typed values go only into the value rows of a command page. Cells of an
//   entity page and read-out rows never change a command value, and live
//   read-outs never overwrite a value row or an entity page.
// - The entity page refers to its entity by ID in the document, so an
//   entity deleted meanwhile is simply not there when Apply is pressed.
//   Apply writes the page back (cad/EntityPages.h) with one undo step
//   (restore points, kind 12) recorded before the entity changes, then
//   refreshes the document's views around the entity (RefreshViewports),
//   clears the status message and shows the page again from the entity.
// - OnChange fires once after every call that changed what the panel shows.
// - Main thread only.

#include "cad/program/CADEvents.h"
#include "cad/panel/EntityPages.h"
#include "cad/panel/InfoEditPages.h"
#include "core/model/ViewInterfaces.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TObject2D;
class TQV_01Cmp2D;
class TUndoRedo;

// What the panel shows: a page of a command, of an entity, or nothing yet.
enum class TPanelPageKind { None, Command, Entity };

// The layout of the page; the widget rebuilds its grid and buttons when
// LayoutRevision changes.
struct TPanelLayout {
    std::string Title;
    std::vector<std::string> RowCaptions;
    std::vector<std::string> ColumnTitles;
    int32_t GutterWidth = 0;
    std::vector<TPanelButton> Buttons;
    // The group box height of a page of buttons; 0: from the rows.
    int32_t GroupBoxHeight = 0;
};

class TInfoEditModel : public TLiveReadoutSink {
public:
    // metric: the settings unit is millimetres (the value defaults follow
    // it). Page 0, no page on screen, editable, panel visible.
    explicit TInfoEditModel(bool metric);
    ~TInfoEditModel() override;
    TInfoEditModel(const TInfoEditModel&) = delete;
    TInfoEditModel& operator=(const TInfoEditModel&) = delete;

    // The document whose entities the entity pages show (not owned; null
    // detaches).
    void SetDocument(TQV_01Cmp2D* document) { m_Document = document; }
    TQV_01Cmp2D* Document() const { return m_Document; }
    // Installs the journal's OnUndoStart: every undo makes the grid
    // editable and hides the panel. Null removes it from the journal
    // connected before; so does the destructor, so the journal must outlive
    // the model or be disconnected first.
    void ConnectUndoJournal(TUndoRedo* journal);

    // Shows the panel; then, unless type is the page type already set on a
    // command page, sets it and builds that command page. Type 0 only makes the grid editable
    // and leaves the page on screen; a type without a page is only stored.
    void SetCommandPage(uint8_t type);
    // Command value ValueBase + i; 0 outside 0..30.
    double GetValue(int i) const;
    // On a command page with a value row i: "," becomes "." in text (the
    // caller's text too), the cell shows it, and a text that reads as a
    // number becomes the value; any other text leaves the value as it was.
    // Otherwise nothing.
    void SetValueText(int i, std::string& text);
    // The entity page of the object, which becomes the edited object; the
    // page type becomes that of an entity page with an apply button (the
    // polyline page: 25) and stays otherwise. Nothing for a class without a
    // page.
    void ShowObject(TObject2D& object);
    // A click on button index of Layout().Buttons: the apply button writes
    // the entity page back; on the polyline and spline command pages the
    // first button sends the program user event 7 (step back), the second 3
    // (close). Anything else does nothing.
    void ButtonClick(size_t index);
    // Writes the entity page back (see the header comment); nothing without
    // an entity page with an apply button or when its entity is gone.
    // Raises std::invalid_argument, before anything changes, for a cell
    // that does not read as a number.
    void ApplyEdits();

    // No page on screen, page 0, editable: for a drawing replaced or
    // cleared, whose entities the panel must not show or edit any more.
    void ClearPage();
    // The grid's read-only state; true also shows the panel.
    void SetReadOnly(bool readOnly);
    bool ReadOnly() const { return m_ReadOnly; }
    void SetPanelVisible(bool visible);
    bool PanelVisible() const { return m_PanelVisible; }

    uint8_t PageType() const { return m_PageType; }
    // Sets the page type alone (the tree click sets 0 before ShowObject).
    void SetPageType(uint8_t type) { m_PageType = type; }
    int ValueBase() const { return m_ValueBase; }
    const TInfoEditValues& Values() const { return m_Values; }
    TPanelPageKind PageKind() const { return m_Kind; }
    // The entity of the entity page, looked up in the document; null when
    // none is shown or it is gone.
    TObject2D* EditedObject() const;
    int32_t EditedObjectID() const { return m_EditedID; }

    const TPanelLayout& Layout() const { return m_Layout; }
    uint64_t LayoutRevision() const { return m_LayoutRevision; }
    int RowCount() const { return static_cast<int>(m_Cells.size()); }
    int ColumnCount() const { return static_cast<int>(m_Layout.ColumnTitles.size()); }
    // The cell's text; empty outside the grid.
    const std::string& Cell(int row, int col) const;
    // Whether the page takes typed text in the cell (the grid's read-only
    // state aside).
    bool CellEditable(int row, int col) const;
    // The user typed text into the cell: stored, and for a value row passed
    // to SetValueText.
    void CellEdited(int row, int col, std::string text);

    // Live read-outs, each one update of the grid. Only cells of a command
    // page's read-out rows are written, and each read-out writes only on
    // the pages of the commands that draw its kind of entity: ShowLineInfo
    // on the line, polar-line, tangent-line and measuring pages (5 to 8 and
    // 34), ShowFrameInfo on the rectangle's (9), ShowCircleInfo on the
    // circle's (11), ShowArcInfo on the three-point and centre arc pages (13,
    // 14), ShowSizeInfo on the ellipse's (19), ShowVertexCounts on the
    // simplification's (33). Any entity drawn meanwhile (an arc of the
    // drawing, a circle being moved) leaves another page alone.
    void ShowLineInfo(const TPoint2D& p1, const TPoint2D& p2) override;
    void ShowFrameInfo(const TPoint2D& p1, const TPoint2D& p2) override;
    void ShowCircleInfo(const TPoint2D& p1, const TPoint2D& p2, double value) override;
    void ShowArcInfo(double x, double y, double r, double a1, double a2) override;
    void ShowSizeInfo(const TPoint2D& p1, const TPoint2D& p2) override;
    void ShowVertexCounts(int32_t n1, int32_t n2) override;

    std::function<void()> OnChange;
    // Where the polyline and spline buttons send their user events (the
    // interaction program's SendUserEvent).
    std::function<void(TCADUserEvent)> OnUserEvent;

private:
    void Notify();
    void BuildCommandPage(const TCommandPageSpec& spec);
    void ShowEntityPage(TEntityPage page);
    void WriteReadout(int row, int col, const std::string& text);
    void WritePointReadout(int row, const TPoint2D& p);

    TInfoEditValues m_Values;
    int m_ValueBase = 0;
    uint8_t m_PageType = 0;
    TPanelPageKind m_Kind = TPanelPageKind::None;
    int m_ValueRows = 0; // value rows of the command page on screen
    TPanelLayout m_Layout;
    uint64_t m_LayoutRevision = 0;
    std::vector<std::vector<std::string>> m_Cells;
    std::vector<std::vector<bool>> m_Editable;
    TEntityPage m_EntityPage;
    int32_t m_EditedID = -1;
    bool m_ReadOnly = false;
    bool m_PanelVisible = true;
    TQV_01Cmp2D* m_Document = nullptr;
    TUndoRedo* m_Journal = nullptr;
};

// The program's properties panel, through which commands read their values
// and show entities; null until a panel installs itself.
TInfoEditModel* InfoEditPanel();
// Installs the panel and returns the one installed before. Not owned.
TInfoEditModel* SetInfoEditPanel(TInfoEditModel* panel);
