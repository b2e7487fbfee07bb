#pragma once
// TfrmToolWin: the one floating command panel. It carries a page for every
// command that needs values; a command shows only its own pages, the window
// takes the size the command asks for and stays on top while it is up.
//
// Quasi-modal: while it is shown the main window's file, create, edit and
// recent-command toolbars (their actions, shortcuts included) and its
// geometry/CNC tab control are disabled (SetQuasiModalTargets); the view
// toolbar stays live. Hiding it, by any road (OK, Cancel, the close box, the
// end of a command), runs FormHide: the targets come back, a running command
// gets the cancel event, the hide hooks free what the pages used, the place
// is kept in ToolWinLeft/ToolWinTop, the view's overlay is cleared.
//
// Pages are registered by name (AddPage: "tabTranslate" and its sheet
// "sheetTranslate"); ShowPages(tabs, caption key, width, height) shows
// exactly the listed ones, the first active, the tab strip only for more
// than one, and does nothing while the window is up. Later pages add
// themselves with AddPage and their show and hide work through ShowHooks
// and HideHooks.
//
// While long work runs (a busy section of the work monitor) the close box,
// Cancel and the main window's close do nothing; Esc anywhere in the
// window still sets the monitor's user-break flag. While a play runs
// (PlayRunning) they stop it (StopPlayThen) and act once its loop has
// returned.
//
// Main thread only; the program, settings and monitor outlive the window.

#include "cad/program/ShellServices.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTreeWidget;
class TAppConfig;
class TChainPages;
class TMillToolPage;
class TLatheToolPage;
// The laser settings page.
class TLaserToolPage;
class TQV_00Prog;
class TQV_01Cmp2D;
class TQtWorkMonitor;
class TTesto2Container;
class TObject2D;

// The counts of the drawing-statistics page.
struct TDrawingStatistics {
    int32_t Points = 0;
    int32_t Lines = 0;
    int32_t Rectangles = 0;
    int32_t Arcs = 0;
    int32_t Ellipses = 0;
    int32_t Polylines = 0;
    int32_t Splines = 0;
    int32_t Blocks = 0;
    int32_t Texts = 0;
    int32_t Hidden = 0;
    int32_t PointsTotal = 0;
    // The drawing's bounds; zeros without one.
    double Left = 0, Bottom = 0, Right = 0, Top = 0;
};

class TfrmToolWin final : public QWidget {
public:
    // The most points one command generates (the points-along count).
    static constexpr int32_t MaxGeneratedPoints = 10000;
    // The window's design place.
    static constexpr int DesignLeft = 429;
    static constexpr int DesignTop = 133;

    // Creates every page, the text converter and the stroke-font list
    // (fonts of programFolder/SFonts), and stores the design place in the
    // settings' ToolWinLeft/ToolWinTop. monitor may be null (no break flag,
    // never busy).
    TfrmToolWin(TQV_00Prog& prg, TAppConfig& config, TQtWorkMonitor* monitor, const std::string& programFolder,
                QWidget* parent = nullptr);
    ~TfrmToolWin() override;

    // --- Frame -------------------------------------------------------------------

    // The toolbars and the tab control disabled while the window is up.
    void SetQuasiModalTargets(std::vector<QWidget*> targets);
    // Registers a page: its tab name ("tabX"), its sheet (objectName
    // "sheetX", taken over) and its tab-item click handler (may be empty).
    void AddPage(const std::string& tabName, QWidget* sheet, std::function<void()> click);
    void ShowPages(const std::vector<std::string>& tabs, const std::string& captionKey, int clientWidth,
                   int clientHeight);
    // The tab names of the pages shown, in order.
    std::vector<std::string> ShownPages() const;
    QTabWidget& pgCtrToolWin() const { return *m_pgCtrToolWin; }
    // The sheet of a tab name, or null.
    QWidget* Sheet(const std::string& tabName) const;

    // Hides the window as the page buttons and the close box do: nothing
    // during long work, after the play's end during a play.
    void RequestHide();
    // The hide at the end of a command: as any hide, but the command that
    // is ending gets no cancel event.
    void HideAtCommandEnd();
    // For the main window's close: true when it may go on now; false when
    // long work runs (nothing happens) or when a play was asked to stop
    // and then (run once its loop has returned) closes.
    bool AllowMainClose(const std::function<void()>& then);

    // Run at every show (after the targets are disabled) and every hide
    // (before the place is stored), in the order added.
    std::vector<std::function<void()>> ShowHooks;
    std::vector<std::function<void()>> HideHooks;
    // Clears the view's overlay (FormHide). May be empty.
    std::function<void()> ClearOverlay;
    // A status-bar message (the page clicks). May be empty.
    std::function<void(const std::string& text)> ShowStatusMessage;
    // The play of a simulation: running, and stop it then run the action
    // once its loop has returned. Both empty while there is no player.
    std::function<bool()> PlayRunning;
    std::function<void(std::function<void()> afterLoop)> StopPlayThen;

    // --- What the commands read and write (the shell's tool-window calls) -----

    std::string Text(TToolWinText field) const;
    void SetText(TToolWinText field, const std::string& text);
    bool Checked(TToolWinCheck check) const;
    void SetChecked(TToolWinCheck check, bool checked);
    int32_t ItemIndex(TToolWinIndex list) const;
    void SetItemIndex(TToolWinIndex list, int32_t index);
    bool CopySwitch() const { return m_CopySwitch; }
    bool UniformScaleSwitch() const { return m_UniformScale; }
    // The tab names of the shell's pages.
    static std::string TabName(TToolWinTab tab);

    // --- Page commands the main window binds ----------------------------------

    // The drawing the points-along page adds to; null adds nothing.
    void SetDocument(TQV_01Cmp2D* document) { m_Document = document; }
    TQV_01Cmp2D* Document() const { return m_Document; }
    // The interaction program (the 3D pages start their boundary pick on it).
    TQV_00Prog& Prg() const { return m_Prg; }
    // The selection callback of the points-along pick. May be empty.
    std::function<void(TObject2D* selected)> OnSelectedObj;

    // Delete-small page: finds (del false) or deletes the entities smaller
    // than size and returns the report line.
    std::function<std::string(bool del, double size)> IdentDelSmallEnt;
    // Text pages: convert the page's text again.
    std::function<void()> MyTTFConvClick;
    std::function<void()> MySLFConvClick;
    // Change-layer page: the selection buttons (window or pick, move or
    // copy) and OK after its event.
    std::function<void(bool window, bool move)> ChangeLayerSelect;
    std::function<void()> ChangeLayerDone;

    // The chain and drilling-point pages; the mill tool page.
    TChainPages& ChainPages() const { return *m_ChainPages; }
    TMillToolPage& MillToolPage() const { return *m_MillToolPage; }
    // The lathe tool page (lathe pages).
    TLatheToolPage& LatheToolPage() const { return *m_LatheToolPage; }
    // The laser settings page.
    TLaserToolPage& LaserToolPage() const { return *m_LaserToolPage; }

    TTesto2Container& TextConverter() const { return *m_TextConverter; }
    // The lines of the text memos; the chosen outline font.
    std::vector<std::u16string> TrueTypeLines() const;
    std::vector<std::string> StrokeLines() const;
    std::string TrueTypeFamily() const { return m_TTFamily; }
    bool TrueTypeBold() const { return m_TTBold; }
    bool TrueTypeItalic() const { return m_TTItalic; }

    // Drawing statistics: a new tree in grpInfoEnt replaces the last one.
    void ShowStatistics(const TDrawingStatistics& stats);
    QTreeWidget* InfoTree() const { return m_InfoTree; }
    // The change-layer page's list: 256 "%d - %s" entries, current selected.
    void FillLayerList(const std::vector<std::string>& names, int current);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void FormHide();
    // True when long work runs (the monitor's busy section).
    bool CalculationRunning() const;
    void SendUserEvent(TCADUserEvent code);
    void SetClientWidth(int width);

    void BuildTransformPages();
    void BuildEditPages();
    void BuildTextPages(const std::string& programFolder);
    void BuildPointsAlongPage();
    // The points along the picked chains, previewed or added.
    void PointsAlong(bool addToDrawing);
    // Sends code when the user typed a complete number into edit.
    void SendOnCompleteNumber(QLineEdit& edit, TCADUserEvent code);
    // The transform pages' move/copy pair; the repeat widgets hide on move.
    void BindMoveCopy(QRadioButton& move, QRadioButton& copy, QWidget* repeatLabel, QWidget* repeatEdit);
    void ReadRepeatCount();
    void gprMirrorAxisClick();
    void UniformScaleClick();
    // A text-page value edit: a complete number goes to the converter, then
    // the conversion runs again.
    void BindTextValue(QLineEdit& edit, void (TTesto2Container::*set)(double), bool trueType);
    void sedApprFontChange(int value);

    TQV_00Prog& m_Prg;
    TAppConfig& m_Config;
    QPointer<TQtWorkMonitor> m_Monitor;
    QTabWidget* m_pgCtrToolWin = nullptr;
    struct TPage {
        QWidget* Sheet = nullptr;
        std::function<void()> Click;
    };
    std::map<std::string, TPage> m_Pages;
    std::vector<QPointer<QWidget>> m_QuasiModal;
    std::vector<QPointer<QAction>> m_DisabledActions;
    std::vector<QPointer<QWidget>> m_DisabledWidgets;
    bool m_CopySwitch = true;
    bool m_UniformScale = true;
    bool m_HidePending = false;
    bool m_CommandEnding = false;

    std::unique_ptr<TTesto2Container> m_TextConverter;
    std::string m_TTFamily = "Arial";
    bool m_TTBold = false;
    bool m_TTItalic = false;
    QTreeWidget* m_InfoTree = nullptr;
    TQV_01Cmp2D* m_Document = nullptr;
    TChainPages* m_ChainPages = nullptr;     // a child object
    TMillToolPage* m_MillToolPage = nullptr; // a child object
    // Lathe pages: the lathe tool page.
    TLatheToolPage* m_LatheToolPage = nullptr; // a child object
    // The laser settings page.
    TLaserToolPage* m_LaserToolPage = nullptr; // a child object
};
