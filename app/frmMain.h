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
// The tool window (app/toolwin/frmToolWin.h) is made with the window; the
// shell's tool-window calls read and write its widgets.
//
// The frame around the view: the toolbars File, View, Create and Edit
// (app/mainwin/ToolbarCommands.h, whose Create actions also fill the Draw
// menu), the recent commands (app/mainwin/RecentCommands.h), the status bar
// (app/mainwin/MainStatusBar.h), the view's popup (app/mainwin/ViewCommands.h),
// the tree's popup (app/mainwin/TreeCommands.h) and the typed coordinates
// (app/mainwin/frmCoord.h). Every modal question goes through the prompt
// service (core/UserNotifier.h), the program's own dialogs by name.
//
// Closing asks "451" (caption "450"); any answer but Yes keeps the window
// open and writes nothing. Yes closes the tool window, writes the settings
// with the window's bounds, then the toolbar layout and the recent files
// ("Toolbar", "MRURF"); a failure to write those two is ignored. The
// drawing is not offered for saving.

#include "app/EndOperation.h"
#include "app/mainwin/RecentFiles.h"
#include "cad/program/ShellServices.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <memory>
#include <string>
#include <string_view>

class QAction;
class QDockWidget;
class QTabWidget;
class QToolBar;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class TAppConfig;
class TFileCommands;
class TInfoEdit;
class TMainStatusBar;
class TRecentCommands;
class TToolbarCommands;
class TTreeCommands;
class TViewCommands;
class TfrmCoord;
class TContainer2D;
class TKeyPreview;
class TMachiningMenu;
class TSettingsPages;
class THelpCommands;
class TOperationPages;
class TLettersPage;
class TLiveReadoutSink;
class TfrmGrid;
class TfrmToolWin;
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

    // programFolder: where the tool window finds the stroke fonts (SFonts/).
    TfrmMain(TQVScene& scene, TQV_01Cmp2D& document, TQV_00Prog& prg, TAppConfig& config,
             const std::string& programFolder = std::string());
    ~TfrmMain() override;

    // The file that the first showing of the window opens (the command
    // line's first argument); empty opens nothing.
    void SetStartupFile(const std::string& fileName) { m_StartupFile = fileName; }

    TSceneViewer& GraphicView() const { return *m_GraphicView; }
    TFileCommands& FileCommands() const { return *m_FileCommands; }
    TToolbarCommands& ToolbarCommands() const { return *m_ToolbarCommands; }
    TQtWorkMonitor& Monitor() const { return *m_Monitor; }
    TInfoEdit& InfoEdit() const { return *m_InfoEdit; }
    QDockWidget& ToolDock() const { return *m_toolWin; }
    QTabWidget& GeoCncTabs() const { return *m_pgCtrGeoCnc; }
    TfrmLayer& LayerDialog() const { return *m_frmLayer; }
    TfrmGrid& GridDialog() const { return *m_frmGrid; }
    TfrmToolWin& ToolWin() const { return *m_frmToolWin; }
    // Machining: the tool window's operation pages, the Machining submenu
    // and the operations tree (app/mainwin/MachiningMenu.h).
    TOperationPages& OperationPages() const { return *m_OperationPages; }
    TMachiningMenu& MachiningMenu() const { return *m_MachiningMenu; }
    // Letters page: the letters operation's page and the label command.
    TLettersPage& LettersPage() const { return *m_LettersPage; }
    // The tool window's settings and post-choice pages, and the Settings
    // and help commands of the File toolbar (app/mainwin/MainSettings.cpp).
    TSettingsPages& SettingsPages() const { return *m_SettingsPages; }
    THelpCommands& HelpCommands() const { return *m_HelpCommands; }
    // The end-of-command rules and the ortho switch the rectangle command
    // keeps (EndOperation().SaveOrtho).
    TEndOperation& EndOperation() { return m_EndOperation; }
    // The grid button and the snap-to-grid items as last set.
    bool GridButtonDown() const { return m_GridButtonDown; }
    bool SnapToGridShown() const { return m_SnapToGridShown; }
    // The status bar's notice text, as shown.
    QString StatusMessage() const;

    TMainStatusBar& StatusItems() const { return *m_StatusItems; }
    TViewCommands& ViewCommands() const { return *m_ViewCommands; }
    TRecentCommands& RecentCommands() const { return *m_RecentCommands; }
    TTreeCommands& TreeCommands() const { return *m_TreeCommands; }
    TRecentFiles& RecentFiles() { return m_RecentFiles; }
    TfrmCoord& CoordDialog() const { return *m_frmCoord; }
    QToolBar& tbrFile() const { return *m_tbrFile; }
    QToolBar& tbrCreate() const { return *m_tbrCreate; }
    QToolBar& tbrEdit() const { return *m_tbrEdit; }
    QToolBar& tbrMRU() const { return *m_tbrMRU; }
    QToolButton& sbtSave() const { return *m_sbtSave; }
    QToolButton& sbtOpen() const { return *m_sbtOpen; }

    // The status texts (67 slots) from the language table; the slots the
    // program uses are filled, the others stay empty.
    static constexpr int StatusTextCount = 67;
    void LoadStatusMessages();
    const std::string& StatusText(int slot) const;
    // Shows a status text (empty clears) at once.
    void ShowStatusMessage(const std::string& text);
    void ShowStatusSlot(int slot);

    // Toolbar captions under their images unless "TbrImagesOnly"; hints
    // on the toolbars, the status bar and the view only with "ShowInt".
    void ImpostaTbr();
    void ImpostaHint();

    // The toolbar layout and the recent files as the settings file keeps
    // them; nothing without a settings file.
    void RestoreLayout();

    // Typed coordinates for the running command.
    void mnuCoordClick();
    // Opens the drawing, merging it into the drawing shown.
    void mnuMergeClick();
    void mruRecentFilesClick(const std::string& fileName);

    // The menu commands.
    void mnuOpenClick();
    void mnuNewClick();
    void mnuSaveClick();
    void mnuSaveAsClick();
    void mnuExitClick();
    void mnuLayersClick();
    void mnuGridClick();

    // The page commands of the toolbars (the toolbar commands set the panel
    // and snap and record them first): each opens its tool-window page.
    void MyDeleteSmallClick();
    void MyChangeLayerClick();
    void MyOffsetClick();
    void MyInfoClick();
    // The text commands: the page, then the conversion; the conversion
    // cancels the running command and places the converted text (nothing
    // for a text that converts to nothing).
    // Points along a chain: the page; the chains and points are made there.
    void mnuPtAlongClick();
    void TextTTClick();
    void TextSLClick();
    void MyTTFConvClick();
    void MySLFConvClick();

    // The main window's keys, seen before the widget with the focus (every
    // key passes on): Esc ends the running command (a cancel event, then
    // the stop, also when the state ignores the cancel); Enter finishes the
    // running command (the accept event) or, while idle, repeats the newest
    // recorded command; but Enter in a properties-panel cell being typed
    // into only commits the cell.
    void FormKeyPress(int qtKey);
    // Repeats the newest command of the recent-commands list; nothing when
    // none is recorded.
    void RipetiUltimaOp();
    // The focus is in the editor of a properties-panel cell.
    bool EditingPanelCell() const;

    // --- TShellServices -------------------------------------------------------
    void CurrLayerInfo() override;
    void CurrLayerCol(uint32_t color) override;
    void QV_PrgEndOperation(TQV_00CADProg& sender, TCADStateClass operation, TQV_00CADPrgParam* param) override;
    void QV_PrgDescriptionChanged(TQV_00State& state) override;
    void GraphicViewMouseMove2D(const TShiftState& shift, double worldX, double worldY, int32_t x,
                                int32_t y) override;
    TOpenGeoPicker* OpenGeoPanel() override;
    TOpenedFile OpenedFile() const override;
    void ShowPages(const std::vector<TToolWinTab>& tabs, const std::string& captionKey, int32_t clientWidth,
                   int32_t clientHeight) override;
    std::string ToolWinText(TToolWinText field) const override;
    void SetToolWinText(TToolWinText field, const std::string& text) override;
    bool ToolWinChecked(TToolWinCheck check) const override;
    int32_t ToolWinItemIndex(TToolWinIndex list) const override;
    void SetToolWinChecked(TToolWinCheck check, bool checked) override;
    void SetToolWinItemIndex(TToolWinIndex list, int32_t index) override;
    bool CopySwitch() const override;
    bool UniformScaleSwitch() const override;
    void SetGridButtonDown(bool down) override;
    void ShowSnapToGrid(bool on) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildStatusBar();
    void BuildMenus();
    void BuildDrawMenu();
    void BuildToolDock();
    void BuildDialogs();
    void BuildToolbars();
    void BuildFileToolbar();
    void BuildToolWin(const std::string& programFolder);
    void BuildCommandToolbars();
    void BuildMachining();
    // The holding-tab window of the current operation: filled from its
    // tabs, and shown unless fillOnly.
    void ShowTabWindow(bool fillOnly);
    void BuildSettings(const std::string& programFolder);
    // Starts the placing of converted text; nothing for an empty container.
    void PlaceText(std::unique_ptr<TContainer2D> container);
    void BuildRecentFilesMenu();
    // The close of the main window (see the header comment); false keeps it.
    bool FormClose();
    bool CloseGCodeEditor();
    int RunLayerDialog();
    int RunGridDialog();
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

    TMainStatusBar* m_StatusItems = nullptr;
    TViewCommands* m_ViewCommands = nullptr;
    TRecentCommands* m_RecentCommands = nullptr;
    TTreeCommands* m_TreeCommands = nullptr;
    TToolbarCommands* m_ToolbarCommands = nullptr;
    TfrmCoord* m_frmCoord = nullptr;
    QToolBar* m_tbrFile = nullptr;
    QToolBar* m_tbrCreate = nullptr;
    QToolBar* m_tbrEdit = nullptr;
    QToolBar* m_tbrMRU = nullptr;
    TfrmToolWin* m_frmToolWin = nullptr;
    QToolButton* m_sbtOpen = nullptr;
    QToolButton* m_sbtSave = nullptr;
    QMenu* m_mruRecentFiles = nullptr;
    QAction* m_mnuMerge = nullptr;
    TRecentFiles m_RecentFiles;
    std::array<std::string, StatusTextCount> m_StatusTexts;

    std::unique_ptr<TQtWorkMonitor> m_Monitor;
    std::unique_ptr<TFileCommands> m_FileCommands;
    std::unique_ptr<TKeyPreview> m_KeyPreview;
    std::unique_ptr<TOperationPages> m_OperationPages;
    std::unique_ptr<TMachiningMenu> m_MachiningMenu;
    // Letters page (tabLetters, the label command).
    std::unique_ptr<TLettersPage> m_LettersPage;
    class TQV_01Cmp* m_PreviousTabMarkerDocument = nullptr;
    class TfrmCncTab* m_frmCncTab = nullptr;
    std::unique_ptr<TSettingsPages> m_SettingsPages;
    std::unique_ptr<THelpCommands> m_HelpCommands;
    TWorkMonitor* m_PreviousMonitor = nullptr;
    TShellServices* m_PreviousShell = nullptr;
    TLiveReadoutSink* m_PreviousReadout = nullptr;
    TEndOperation m_EndOperation;
    bool m_GridButtonDown = false;
    bool m_SnapToGridShown = false;
    std::string m_StartupFile;
    bool m_Shown = false;
};
