#pragma once
// TfrmMain: the main window. It shows the drawing view, the status bar with
// the notice item, the cursor read-out and the current layer, and the File
// menu (Open, Exit), and it is the shell that the CAD side calls
// (cad/ShellServices.h) and the monitor of long work (core/WorkMonitor.h).
//
// The window wires its menus to the command objects (app/FileCommands.h);
// it owns none of the program's shared objects (app/Program.h does) and
// must go before them. While it lives it is the installed shell services
// and work monitor; its destructor puts back what was installed before.
//
// The left dock (toolWin) holds the tab control pgCtrGeoCnc: the geometry
// tab with the entity tree and the properties panel (TInfoEdit, the
// document's entity tree and the view's live read-out while the window
// lives) and the machining tab. The layer and grid dialogs are made with
// the window and opened from the View menu.
//
// The tool window does not exist yet: its fields and switches are kept in
// a TToolWinState (app/ToolWinState.h), and ShowPages does nothing.

#include "app/EndOperation.h"
#include "app/ToolWinState.h"
#include "cad/program/ShellServices.h"

#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <string>

class QAction;
class QDockWidget;
class QTabWidget;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class TAppConfig;
class TDrawCommands;
class TFileCommands;
class TInfoEdit;
class TKeyPreview;
class TLiveReadoutSink;
class TfrmGrid;
class TfrmLayer;
class TQtWorkMonitor;
class TQVScene;
class TQV_00Prog;
class TQV_01Cmp2D;
class TSceneViewer;
class TWorkMonitor;

// No Q_OBJECT: the window declares no signals or slots (its menus connect
// to lambdas), and moc cannot parse the C++20 headers of the shell.
class TfrmMain final : public QMainWindow, public TShellServices {
public:
    // The product name: the caption without a file.
    static constexpr const char* BaseCaption = "Kestrabel 3";

    TfrmMain(TQVScene& scene, TQV_01Cmp2D& document, TQV_00Prog& prg, TAppConfig& config);
    ~TfrmMain() override;

    // The file that the first showing of the window opens (the command
    // line's first argument); empty opens nothing.
    void SetStartupFile(const std::string& fileName) { m_StartupFile = fileName; }

    TSceneViewer& GraphicView() const { return *m_GraphicView; }
    TFileCommands& FileCommands() const { return *m_FileCommands; }
    TDrawCommands& DrawCommands() const { return *m_DrawCommands; }
    TQtWorkMonitor& Monitor() const { return *m_Monitor; }
    TInfoEdit& InfoEdit() const { return *m_InfoEdit; }
    QDockWidget& ToolDock() const { return *m_toolWin; }
    QTabWidget& GeoCncTabs() const { return *m_pgCtrGeoCnc; }
    TfrmLayer& LayerDialog() const { return *m_frmLayer; }
    TfrmGrid& GridDialog() const { return *m_frmGrid; }
    TToolWinState& ToolWin() { return m_ToolWin; }
    const TToolWinState& ToolWin() const { return m_ToolWin; }
    // The end-of-command rules and the ortho switch the rectangle command
    // keeps (EndOperation().SaveOrtho).
    TEndOperation& EndOperation() { return m_EndOperation; }
    // The grid button and the snap-to-grid items as last set.
    bool GridButtonDown() const { return m_GridButtonDown; }
    bool SnapToGridShown() const { return m_SnapToGridShown; }
    // The status bar's notice text, as shown.
    QString StatusMessage() const;

    // The menu commands.
    void mnuOpenClick();
    void mnuNewClick();
    void mnuSaveClick();
    void mnuSaveAsClick();
    void mnuExitClick();
    void mnuLayersClick();
    void mnuGridClick();

    // The main window's keys, seen before the widget with the focus (every
    // key passes on): Esc ends the running command (a cancel event, then
    // the stop, also when the state ignores the cancel); Enter finishes the
    // running command (the accept event) or, while idle, repeats the newest
    // recorded command.
    void FormKeyPress(int qtKey);
    // Repeats the newest command of the recent-commands list; nothing when
    // none is recorded.
    void RipetiUltimaOp();

    // --- TShellServices -------------------------------------------------------
    void CurrLayerInfo() override;
    void CurrLayerCol(uint32_t color) override;
    void QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam* param) override;
    void QV_PrgDescriptionChanged(TQV_00State& state) override;
    void GraphicViewMouseMove2D(const TShiftState& shift, double worldX, double worldY, int32_t x,
                                int32_t y) override;
    TOpenGeoPicker* OpenGeoPanel() override { return nullptr; }
    TOpenedFile OpenedFile() const override;
    void ShowPages(const std::vector<TToolWinTab>& tabs, const std::string& captionKey, int32_t clientWidth,
                   int32_t clientHeight) override;
    std::string ToolWinText(TToolWinText field) const override;
    void SetToolWinText(TToolWinText field, const std::string& text) override;
    bool ToolWinChecked(TToolWinCheck check) const override;
    int32_t ToolWinItemIndex(TToolWinIndex list) const override;
    void SetToolWinChecked(TToolWinCheck check, bool checked) override { m_ToolWin.SetChecked(check, checked); }
    void SetToolWinItemIndex(TToolWinIndex list, int32_t index) override;
    bool CopySwitch() const override { return m_ToolWin.CopySwitch(); }
    bool UniformScaleSwitch() const override { return m_ToolWin.UniformScaleSwitch(); }
    void SetGridButtonDown(bool down) override { m_GridButtonDown = down; }
    void ShowSnapToGrid(bool on) override { m_SnapToGridShown = on; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildStatusBar();
    void BuildMenus();
    void BuildDrawMenu();
    void BuildToolDock();
    void BuildDialogs();
    // The properties panel back to its idle page, when the geometry tab is
    // the one shown.
    void RefreshInfoEdit();
    // The first showing: zoom to the drawing, then open the start-up file.
    void FormShow();
    void ShowFileInCaption(const std::string& fileName);

    TQVScene& m_Scene;
    TQV_01Cmp2D& m_Document;
    TQV_00Prog& m_Prg;
    TAppConfig& m_Config;

    TSceneViewer* m_GraphicView = nullptr;
    QProgressBar* m_ProgressBar1 = nullptr;
    QLabel* m_lblCoordinate = nullptr;
    QLabel* m_StatusBarMess = nullptr;
    QToolButton* m_sbtLayer = nullptr;
    QLabel* m_SpTBXCLCol = nullptr;
    QMenu* m_mnuFile = nullptr;
    QAction* m_mnuNew = nullptr;
    QAction* m_mnuOpen = nullptr;
    QAction* m_mnuSave = nullptr;
    QAction* m_mnuSaveAs = nullptr;
    QMenu* m_mnuDraw = nullptr;
    QAction* m_mnuExit = nullptr;
    QMenu* m_mnuView = nullptr;
    QAction* m_mnuLayers = nullptr;
    QAction* m_mnuGrid = nullptr;
    QDockWidget* m_toolWin = nullptr;
    QTabWidget* m_pgCtrGeoCnc = nullptr;
    TInfoEdit* m_InfoEdit = nullptr;
    TfrmLayer* m_frmLayer = nullptr;
    TfrmGrid* m_frmGrid = nullptr;

    std::unique_ptr<TQtWorkMonitor> m_Monitor;
    std::unique_ptr<TFileCommands> m_FileCommands;
    std::unique_ptr<TDrawCommands> m_DrawCommands;
    std::unique_ptr<TKeyPreview> m_KeyPreview;
    TWorkMonitor* m_PreviousMonitor = nullptr;
    TShellServices* m_PreviousShell = nullptr;
    TLiveReadoutSink* m_PreviousReadout = nullptr;
    TToolWinState m_ToolWin;
    TEndOperation m_EndOperation;
    bool m_GridButtonDown = false;
    bool m_SnapToGridShown = false;
    std::string m_StartupFile;
    bool m_Shown = false;
};
