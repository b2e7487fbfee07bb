#pragma once
// TSimulatePage: the tool window's 2D simulation page ("tabSimulate"), the
// control panel of the program's simulator and the window the simulator
// reads and writes (TSimWindow): play and stop on one button, rewind, step,
// speed, the previous and next operation, the display options, the G-code
// memo, the move counter, the Z gauge with its ruler, and the
// solid-simulation controls.
//
// Play runs the simulator's loop from the button's handler; the loop pumps
// window events, so Stop, the track bars and Esc stay usable. While it runs
// rewind, step, previous and next are off (the neighbour commands would free
// the tool solid of the operation being played). The page is the tool
// window's player (PlayRunning, StopPlayThen): hiding the window by its
// buttons stops the play first; any hide stops and finishes it.
//
// The stock-removal model is reached through TSolidSimulation: by default
// the simulator's own model, whose stock-size panel the page makes on
// grpSimSol.
//
// Main thread only; the tool window, the simulator and the manager outlive
// the page (the tool window's tab control owns it).

#include "nc/sim/SimSeams.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSlider;
class QToolBar;
class QToolButton;
class TOpManager;
class TSimulatore2D;
class TVertRuler;
class TfrmToolWin;

// The Z gauge's rows: F x z x 10 / I + O taken to the nearest integer,
// halves to even; the offset alone for an increment of 0.
int32_t ZGaugeRow(double factor, double z, double increment, int32_t offset);
// The ruler's text increment for a scale factor: -10 for 1, -7 for 2, -5
// for 3, -2 for 4, -1 for any other.
double ScaleTextIncrement(int32_t factor);

// The stock-removal model as the solid controls drive it (the simulator's
// by default).
class TSolidSimulation {
public:
    virtual ~TSolidSimulation() = default;
    // Builds the stock model from the simulated toolpath.
    virtual void CreateSolid() = 0;
    // Frees the model and forgets it.
    virtual void FreeSolid() = 0;
    virtual bool HasSolid() const = 0;
    virtual void SetQuality(int32_t quality) = 0;
    // Cuts the whole toolpath into the model without drawing lines.
    virtual void RunSolid() = 0;
    // The stock-size panel shows the model's stock again.
    virtual void ShowStock() = 0;
};

class TSimulatePage final : public QWidget, public TSimWindow {
public:
    // Images of sbtPlay in the toolbar's image list.
    static constexpr int PlayImage = 1;
    static constexpr int StopImage = 2;
    static constexpr int ClientWidth = 298;
    static constexpr int ClientHeight = 300;
    static constexpr int TallClientHeight = 400;

    // Registers the page on the tool window and becomes the simulator's
    // window and the tool window's player.
    TSimulatePage(TfrmToolWin& toolWin, TSimulatore2D& simulator, TOpManager& manager);
    ~TSimulatePage() override;

    // Replaces the simulator's model (null puts it back).
    void SetSolidSimulation(TSolidSimulation* solid);

    // --- Handlers ---------------------------------------------------------------
    void tabSimulateClick();
    void TrackBar1Change(int position);
    void sbtPlayClick();
    void sbtStopClick();
    void sbtToStartClick();
    void sbtStepClick();
    void sbtNextOpClick();
    void sbtPrevOpClick();
    void chkGCodeSimClick();
    void chkTrueWidthClick();
    void chkShowToolClick();
    void TrackBarOffsetChange(int position);
    void TrackBarScaChange(int position);
    void chkSolidSimClick();
    void TrackBarSolChange(int position);
    void SpTBXItem3Click();
    void sbtMatSizeClick();

    // The image sbtPlay shows, and whether its click stops.
    int PlayButtonImage() const { return m_PlayImage; }
    bool PlayButtonStops() const { return m_PlayStops; }
    QAction& sbtPlay() const { return *m_sbtPlay; }
    QAction& sbtToStart() const { return *m_sbtToStart; }
    QAction& sbtStep() const { return *m_sbtStep; }
    QAction& sbtNextOp() const { return *m_sbtNextOp; }
    QAction& sbtPrevOp() const { return *m_sbtPrevOp; }
    TVertRuler& VertRuler1() const { return *m_VertRuler1; }
    QPlainTextEdit& MemoNc() const { return *m_MemoNc; }

    // --- TSimWindow -------------------------------------------------------------
    bool ShowToolChecked() const override;
    bool GCodeSimChecked() const override;
    bool TrueWidthChecked() const override;
    bool SolidSimChecked() const override;
    void SetTrueWidthEnabled(bool enabled) override;
    void SetSolidSimEnabled(bool enabled) override;
    void SetSimStatus(const std::string& text) override;
    void SetZGaugeVisible(bool visible) override;
    void SetCurrentZText(const std::string& text) override;
    TRulerScale ZRuler() const override;
    void SetActiveZ(uint32_t color, int32_t height) override;
    void SetLowestRapid(int32_t top, const std::string& text) override;
    void SetLowestFeed(int32_t top, const std::string& text) override;
    int32_t MemoLineCount() const override;
    std::string MemoLine(int32_t i) const override;
    void MemoClear() override;
    void MemoAdd(const std::string& line) override;
    void MemoSetLine(int32_t i, const std::string& line) override;
    void MemoSelectLine(int32_t i) override;
    void RestorePlayButtons() override;
    int32_t SolidQuality() const override;
    void SetSolidControlsEnabled(bool enabled) override;
    void MatSizeClick() override;
    std::unique_ptr<TStockPanel> CreateStockPanel(TNcVisu& model) override;

private:
    void BuildSimulationPanel();
    void BuildSolidGroup();
    // Places the solid group's check box, toolbar and track bar by the
    // sizes their captions need.
    void LayOutSolidRow();
    void BuildZGauge();
    void BuildLimits();
    void SetPlayButton(bool stops);
    // Moves to the neighbour of the simulated operation; next or previous.
    void ChangeOperation(bool next);
    // The three depth panels against the ruler.
    void PlaceDepthPanels();
    void ShowMemo();
    void OnHide();

    TfrmToolWin& m_ToolWin;
    TSimulatore2D& m_Simulator;
    TOpManager& m_Manager;
    std::unique_ptr<TSolidSimulation> m_SimulatorSolid;
    TSolidSimulation* m_Solid = nullptr;

    QWidget* m_pnlSimula = nullptr;
    QPlainTextEdit* m_MemoNc = nullptr;
    QToolBar* m_tbrSimulate = nullptr;
    QAction* m_sbtPrevOp = nullptr;
    QAction* m_sbtToStart = nullptr;
    QAction* m_sbtPlay = nullptr;
    QAction* m_sbtStep = nullptr;
    QAction* m_sbtNextOp = nullptr;
    QSlider* m_TrackBar1 = nullptr;
    QCheckBox* m_chkTrueWidth = nullptr;
    QCheckBox* m_chkGCodeSim = nullptr;
    QCheckBox* m_chkShowTool = nullptr;
    QLineEdit* m_txtSimStatus = nullptr;

    QGroupBox* m_grpSimSol = nullptr;
    QCheckBox* m_chkSolidSim = nullptr;
    QToolBar* m_tbrSimSol = nullptr;
    QSlider* m_TrackBarSol = nullptr;
    QToolButton* m_sbtMatSize = nullptr;

    QGroupBox* m_grpZDepth = nullptr;
    TVertRuler* m_VertRuler1 = nullptr;
    QFrame* m_pnlProfZ = nullptr;
    QFrame* m_pnlZAttiva = nullptr;
    QFrame* m_pnlZMinRapido = nullptr;
    QFrame* m_pnlZMinLavoro = nullptr;
    QSlider* m_TrackBarOffset = nullptr;
    QSlider* m_TrackBarSca = nullptr;
    QLineEdit* m_txtCurrentZ = nullptr;
    QWidget* m_pnlLimits = nullptr;
    QLabel* m_stxLimZminRap = nullptr;
    QLabel* m_stxLimZmin = nullptr;

    std::vector<std::string> m_MemoLines;
    // Run once the play loop on the stack has returned.
    std::vector<std::function<void()>> m_AfterPlay;
    int m_PlayImage = PlayImage;
    bool m_PlayStops = false;
};
