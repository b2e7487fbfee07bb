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
// The tool window does not exist yet: its fields read empty, its switches
// off, and ShowPages does nothing.

#include "cad/ShellServices.h"

#include <QMainWindow>
#include <QPointer>

#include <map>
#include <memory>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QToolButton;
class TAppConfig;
class TFileCommands;
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
    TQtWorkMonitor& Monitor() const { return *m_Monitor; }
    // The status bar's notice text, as shown.
    QString StatusMessage() const;

    // The menu commands.
    void mnuOpenClick();
    void mnuExitClick();

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
    void SetToolWinItemIndex(TToolWinIndex list, int32_t index) override;
    bool CopySwitch() const override { return false; }
    bool UniformScaleSwitch() const override { return false; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildStatusBar();
    void BuildMenus();
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
    QAction* m_mnuOpen = nullptr;
    QAction* m_mnuExit = nullptr;

    std::unique_ptr<TQtWorkMonitor> m_Monitor;
    std::unique_ptr<TFileCommands> m_FileCommands;
    TWorkMonitor* m_PreviousMonitor = nullptr;
    TShellServices* m_PreviousShell = nullptr;
    // The tool window's fields until it exists: the repeat counts and the
    // offset distance start at "1".
    std::map<TToolWinText, std::string> m_ToolWinTexts{{TToolWinText::TransRepeat, "1"},
                                                       {TToolWinText::RotateRepeat, "1"},
                                                       {TToolWinText::ScaleRepeat, "1"},
                                                       {TToolWinText::OffsetDist, "1"}};
    std::map<TToolWinIndex, int32_t> m_ToolWinIndexes;
    std::string m_StartupFile;
    bool m_Shown = false;
};
