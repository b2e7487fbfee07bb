#pragma once
// The main window's entry points into machining: the Machining submenu of
// the File toolbar, the operations tree TreeCnc on the CNC tab with its
// popup (PopupTreeCnc) and events, the CNC tab's post buttons, and the
// G-code output of all operations or of one (ScriveIso).
//
// A Machining command makes a new operation of its kind current (owned by
// the tool window's machining context until its first Calculate) and opens
// its pages; the tree edits, switches off, deletes and posts the listed
// ones. While it lives it is the operations shell the operations fill the
// tree through. The simulation page, the toolpath display, the toolpath
// to geometry come from their own pages through the hooks below (the 3D
// and letters commands fill their hooks themselves); an empty hook leaves
// its item without effect.
// Main thread only.

#include "app/mainwin/OperationsTree.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

class QAction;
class QMenu;
class QPoint;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TAppConfig;
class TfrmMain;
class TOperationPages;
class TOpManagerField;
class TSimulatore2D;

class TMachiningMenu final : public TOperationsShell {
public:
    // Fills the CNC tab and the Machining submenu of the window, adds the
    // tree's root and installs itself as the operations shell.
    TMachiningMenu(TfrmMain& window, TOperationPages& pages, TAppConfig& config, TSimulatore2D* simulator);
    ~TMachiningMenu() override;
    TMachiningMenu(const TMachiningMenu&) = delete;
    TMachiningMenu& operator=(const TMachiningMenu&) = delete;

    // The simulator of the whole-path display and the simulation page
    // (null: none; not owned).
    void SetSimulator(TSimulatore2D* simulator);

    // TOperationsShell.
    TOperationsTree* OperationsTree() override { return m_Tree.get(); }
    void ShowOperationsPage() override;

    QTreeWidget& TreeCnc() const { return *m_TreeCnc; }
    QMenu& PopupTreeCnc() const { return *m_Popup; }
    // A popup item by name, or null.
    QAction* PopupItem(const std::string& name) const;

    // New operations.
    void mnuContourClick();
    void mnuPocketClick();
    void mnuCncDrillClick();
    // Letters: a new letters operation (its chains come from its label).
    void mnuCncWriteClick();
    // The 3D parallel finishing of the drawing's STL surface (object 0).
    void mnuCncParallelClick();
    // Every operation deleted after the "466" question.
    void mnuNewClick();
    // Every operation node and operation deleted, last first; no question.
    void DeleteAllOperations();

    // The selected node's operation.
    void mnuDeleteOpClick();
    void mnuEditParamClick();
    void mnuOpOnOffClick();
    void mnuPostThisClick();
    void mnuSimulateClick();
    void mnuShowNciClick();
    void mnuSelPostClick();
    void sbWriteIsoClick();
    // G-code output of every operation, or of the current one.
    void ScriveIso(bool currentOnly);

    // Tree events.
    void TreeCncClick();
    void TreeCncDblClick();
    void TreeCncContextPopup(const QPoint& position);

    // Hooks of other pages; each may be empty.
    std::function<void()> EditNcClick;          // mnuEditNc
    std::function<void()> GrblClick;            // mnuCncGrbl
    std::function<void()> LettersClick;         // mnuCncWrite
    std::function<void()> ParallelClick;        // mnuCncParallel
    std::function<void(TOpManagerField&)> ToolpathToGeometry; // mnuTp2Geo
    // Enables the items of the hooks above that are set (an item without
    // its command is shown disabled); run after setting one.
    void RefreshHookItems();
    // Repaints the document's views (after a deletion).
    std::function<void()> RepaintViews;

private:
    void BuildCncTab();
    void BuildMenus();
    // The common steps of a new operation of the kind; beforePages runs
    // just before its pages are prepared.
    void NewOperation(int kind, bool removeMarkers, const std::function<void()>& beforePages = {});
    // True while the tool window shows a page set.
    bool PagesUp() const;
    void RemoveCurrentMarkers();
    QTreeWidgetItem* Selected() const;
    // Deletes an operation node (level 1) with its operation.
    void DeleteOperationNode(QTreeWidgetItem* item);
    // The selected item's operation made current with its node (level 1
    // only when operationOnly).
    TOpManagerField* SelectedOperation(bool operationOnly);
    void OpenForEditing(TOpManagerField& op, QTreeWidgetItem* node);

    TfrmMain& m_Window;
    TOperationPages& m_Pages;
    TAppConfig& m_Config;
    TSimulatore2D* m_Simulator;
    QTreeWidget* m_TreeCnc = nullptr;
    std::unique_ptr<TOperationsTreeView> m_Tree;
    QMenu* m_Popup = nullptr;
    std::map<std::string, QAction*> m_PopupItems;
    TOperationsShell* m_PreviousShell = nullptr;
};
