#pragma once
// The chain page ("tabChain": contour, pocket, laser and lathe operations)
// and the drilling-point page ("tabChainPt": drilling) of the tool window:
// the buttons that fill and edit the chain list of the operation being
// edited. Building all chains and the point chains run at once; the picks
// start the selection states of the interaction program with the chain
// after-states of cam/chains/ChainPicking.h.
//
// The pages are also the chains' tool-window context (cam/chains/
// ChainContext.h): the compensation side and offset of the chain page, the
// current operation's kind, layer-by-layer option and chains, and the two
// info labels. Installed while the pages live.
//
// Every handler acts on the current operation of the tool window's
// machining context (app/machining/MachiningContext.h) and does nothing
// without one. The drilling page's commands put a sorted point list back
// in its saved order first (all but the pick-last); the sort buttons keep
// their down state apart from each other, and the window's hide drops the
// saved order and raises them. Main thread only.

#include "cam/chains/ChainContext.h"
#include "core/geometry/Points.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <functional>
#include <span>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class TfrmChainSet;
class TfrmToolWin;
class TOpManagerField;
class TQV_00Prog;
class TQV_01Cmp2D;

class TChainPages final : public QObject, public TChainContext {
public:
    // Builds both sheets and adds them to the window; installs the chain
    // context (the default comes back when they go).
    TChainPages(TfrmToolWin& window, TQV_00Prog& prg);
    ~TChainPages() override;
    TChainPages(const TChainPages&) = delete;
    TChainPages& operator=(const TChainPages&) = delete;

    // --- What the main window binds (each may stay empty) -------------------

    // Ticks or unticks the main window's window-selection button and menu
    // item.
    std::function<void(bool on)> SetWindowSelection;
    // The view camera's scene scale (1 when empty).
    std::function<double()> ViewSceneScale;

    // --- Chain page ------------------------------------------------------------
    void sbtChainAllClick();
    void sbtChainClick();
    void sbtChainSelClick();
    void sbtChainWSelClick();
    void sbtChainRevClick();
    void sbtDelLastChainClick();
    void sbtDelAllChainsClick();
    void sbtChainLastClick();
    void sbtChainsSetClick();
    void sbtCCOffsetClick();
    void chkLayerPriorityClick();

    // --- Drilling-point page ------------------------------------------------------
    void sbtChainAllPtClick();
    void sbtChainSelAllArcsClick();
    void sbtChainPtClick();
    void sbtChainSelArcsClick();
    void sbtChainDelPtClick();
    void sbtChainPtLastClick();
    void chkMaskArcsClick();
    // corner 1 to 4: the sort buttons sbtDrilSort1..4.
    void sbtDrilSortClick(int corner);

    // The start corners of the four sort buttons.
    static TVector2D SortCorner(int corner);

    // --- TChainContext ---------------------------------------------------------------
    int CompensationSide() const override;
    double CompensationOffset() const override;
    std::optional<int> CurrentOperationKind() const override;
    bool LayerByLayer() const override;
    TListaCatene* EditedOperationChains() const override;
    void SetChainInfo(const std::string& text) override;
    double SceneScale() const override;

private:
    // A button of a page: its component name, design text and handler.
    struct TPageButton {
        const char* Name;
        const char* Text;
        void (TChainPages::*Click)();
    };
    // A group box named name of the buttons, three a row; group takes it.
    QGridLayout* ButtonGroup(QWidget* sheet, const char* name, const char* title,
                             std::span<const TPageButton> buttons, QPointer<QWidget>& group);
    QWidget* BuildChainSheet();
    QWidget* BuildPointSheet();
    // Runs a button's handler, then repaints the view.
    void Run(void (TChainPages::*click)());
    void RepaintView();
    // The current operation of the machining context; null without one.
    static TOpManagerField* Operation();
    // Puts a sorted point list of op back in its saved order.
    static void RestorePointOrder(TOpManagerField& op);
    // Starts a points-and-arcs pick for the kinds flags.
    void StartPointPick(uint8_t flags, bool pointsOnly);
    // Stores the arc filter controls in the operation's parameters.
    void StoreMaskDiameter();
    void StoreMaskTolerance();
    // Drops the saved sort order and raises the sort buttons (window hide).
    void ResetSort();

    TfrmToolWin& m_Window;
    TQV_00Prog& m_Prg;

    // The controls; null once their sheet is freed.
    QPointer<QComboBox> m_cboCCDir;
    QPointer<QLineEdit> m_txtCCOffset;
    QPointer<QCheckBox> m_chkLayerPriority;
    QPointer<QLabel> m_lblChainInfo;
    QPointer<QLabel> m_lblChainPtInfo;
    QPointer<QWidget> m_grpChain;
    QPointer<QWidget> m_grpChainPoints;
    QPointer<QCheckBox> m_chkMaskArcs;
    QPointer<QLineEdit> m_txtMaskDia;
    QPointer<QLineEdit> m_txtMaskTol;
    std::array<QPointer<QPushButton>, 4> m_sbtDrilSort{};
    // The chain list window, made at its first showing.
    QPointer<TfrmChainSet> m_frmChainSet;
};
