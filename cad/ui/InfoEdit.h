#pragma once
// TInfoEdit: the content of the geometry tab of the main window's left
// dock: the entity tree (TreeGeo) above the properties panel, a group box
// (grpInfoEdit) holding the grid (SGInfoEdit, row captions in its vertical
// header, one or two value columns) and the buttons of the page on screen.
//
// The panel's logic is TInfoEditModel (cad/InfoEditModel.h); this widget
// shows the model and hands the user's typing and clicks back to it. It
// installs its model as the program's panel (InfoEditPanel()) and serves as
// the live read-out sink the main window installs in the view services.
//
// Promises:
// - A click on an entity node of the tree shows that entity's page (the
//   grid made editable, the panel shown), then tells OnObjectSelected.
// - A typed cell goes to the model (a value row stores its value) and then
//   to OnCellChange, with which the main window re-runs the command whose
//   preview follows the value.
// - No exception leaves a widget event: errors (a cell that does not read
//   as a number on Apply) are shown as the application's default handler
//   shows them (cad/EventGuard.h).
// - The document, program, tab control and journal are not owned; the
//   destructor detaches the tree from the document and the hook from the
//   journal, so those must outlive the panel or be detached first.

#include "cad/panel/InfoEditModel.h"
#include "cad/ui/GeoTreeView.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QGroupBox;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QTreeWidgetItem;
class TQV_00CADProg;

class TInfoEdit : public QWidget, public TLiveReadoutSink {
public:
    // metric: the settings unit is millimetres.
    explicit TInfoEdit(bool metric, QWidget* parent = nullptr);
    ~TInfoEdit() override;

    TInfoEditModel& Model() { return m_Model; }
    TGeoTreeView& TreeGeo() { return *m_Tree; }
    QGroupBox& GroupBox() { return *m_GroupBox; }
    QTableWidget& Grid() { return *m_Grid; }
    // The buttons of the page on screen, in the model's order.
    const std::vector<QPushButton*>& Buttons() const { return m_Buttons; }

    // The document shown: the tree becomes its entity tree and is rebuilt
    // from it. Null detaches.
    void SetDocument(TQV_01Cmp2D* document);
    // Where the polyline and spline buttons send their user events.
    void SetProgram(TQV_00CADProg* program);
    // The tab control whose tab 0 holds this panel; a command page brings
    // tab 0 forward.
    void SetTabControl(QTabWidget* tabs) { m_Tabs = tabs; }
    void ConnectUndoJournal(TUndoRedo* journal) { m_Model.ConnectUndoJournal(journal); }
    // For a new drawing: the tree emptied, the layers' nodes forgotten.
    void ClearGeoTree();

    // The panel (see TInfoEditModel).
    void SetCommandPage(uint8_t type);
    double GetValue(int i) const { return m_Model.GetValue(i); }
    void SetValueText(int i, std::string& text) { m_Model.SetValueText(i, text); }
    void ShowObject(TObject2D& object) { m_Model.ShowObject(object); }
    void ApplyEdits() { m_Model.ApplyEdits(); }
    void SetReadOnly(bool readOnly) { m_Model.SetReadOnly(readOnly); }
    void ClearPage() { m_Model.ClearPage(); }
    void SetPanelVisible(bool visible) { m_Model.SetPanelVisible(visible); }
    uint8_t PageType() const { return m_Model.PageType(); }

    void ShowLineInfo(const TPoint2D& p1, const TPoint2D& p2) override { m_Model.ShowLineInfo(p1, p2); }
    void ShowFrameInfo(const TPoint2D& p1, const TPoint2D& p2) override { m_Model.ShowFrameInfo(p1, p2); }
    void ShowCircleInfo(const TPoint2D& p1, const TPoint2D& p2, double value) override
    {
        m_Model.ShowCircleInfo(p1, p2, value);
    }
    void ShowArcInfo(double x, double y, double r, double a1, double a2) override
    {
        m_Model.ShowArcInfo(x, y, r, a1, a2);
    }
    void ShowSizeInfo(const TPoint2D& p1, const TPoint2D& p2) override { m_Model.ShowSizeInfo(p1, p2); }
    void ShowVertexCounts(int32_t n1, int32_t n2) override { m_Model.ShowVertexCounts(n1, n2); }

    // The main window's SGInfoEditCellChange: after the model took the text.
    std::function<void(int row, int col)> OnCellChange;
    // An entity node was clicked and its page shown (the main window shows
    // the entity as the view's drag object).
    std::function<void(TObject2D& object)> OnObjectSelected;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SyncFromModel();
    void RebuildLayout();
    void PlaceGrid();
    void GridCellChanged(int row, int col);
    void TreeItemClicked(QTreeWidgetItem* item);

    TInfoEditModel m_Model;
    TGeoTreeView* m_Tree;
    QGroupBox* m_GroupBox;
    QTableWidget* m_Grid;
    std::vector<QPushButton*> m_Buttons;
    uint64_t m_ShownRevision = 0;
    int32_t m_GroupBoxHeight = 0;
    TQV_01Cmp2D* m_Document = nullptr;
    QTabWidget* m_Tabs = nullptr;
};
