#pragma once
// What the 2D simulator reads and drives around it, each behind a small
// interface so that the simulator runs without windows:
// - TSimOperation: what it reads of an operation; the operation class
//   implements it. Destroying one tells every simulator, which then lets it
//   go (the simulator never owns an operation).
// - TSimWindow: the controls of the tool window's simulation page and the
//   G-code memo the simulation reads and writes.
// - TSimView: the view's services beyond the scene builder.
// - TSimClock: the tick counter, the sleep and the event pump of the play
//   loops.
// - TSimEcho: the G-code writer's single-move blocks for the echo.
// The stock-removal model's view and panel seams are in nc/solid/StockSeams.h.

#include "core/geometry/Vertice.h"
#include "core/model/ViewInterfaces.h"
#include "nc/solid/StockSeams.h"

#include <cstdint>
#include <memory>
#include <string>

class TCurvaNci3d;
class TDatiUtBase;
class TNcVisu;

class TSimOperation {
public:
    TSimOperation() = default;
    TSimOperation(const TSimOperation&) = delete;
    TSimOperation& operator=(const TSimOperation&) = delete;
    // Tells every simulator that the operation is gone.
    virtual ~TSimOperation();

    virtual int32_t Kind() const = 0;
    virtual int32_t ToolpathCount() const = 0;
    // Curve i, 0 <= i < ToolpathCount().
    virtual const TCurvaNci3d& Toolpath(int32_t i) const = 0;
    // The scene group that holds the operation's drawn path.
    virtual TSceneNodeId DisplayGroup() const = 0;
    virtual bool Shown() const = 0;
    virtual void SetShown(bool shown) = 0;
    virtual bool SwitchedOff() const = 0;
    // The tool record; null for a kind without one.
    virtual const TDatiUtBase* ToolData() const = 0;
    virtual double ZRapid() const = 0;
    virtual bool RetractOn() const = 0;
    virtual double RetractZ() const = 0;
    virtual double ZTop() const = 0;
    virtual double CompOffset() const = 0;
    virtual double LatheHomeX() const = 0;
    virtual double LatheHomeZ() const = 0;
};

// The scale of the Z gauge's ruler.
struct TRulerScale {
    double ScalaFactor = 1.0;
    double ScalaTextIncrement = 1.0;
    double ScalaOffset = 0.0;
};

class TSimWindow {
public:
    virtual ~TSimWindow() = default;

    virtual bool ShowToolChecked() const = 0;  // chkShowTool
    virtual bool GCodeSimChecked() const = 0;  // chkGCodeSim
    virtual bool TrueWidthChecked() const = 0; // chkTrueWidth
    virtual bool SolidSimChecked() const = 0;  // chkSolidSim
    virtual void SetTrueWidthEnabled(bool enabled) = 0;
    virtual void SetSolidSimEnabled(bool enabled) = 0;
    // The move counter, txtSimStatus.
    virtual void SetSimStatus(const std::string& text) = 0;

    // The Z gauge, grpZDepth.
    virtual void SetZGaugeVisible(bool visible) = 0;
    virtual void SetCurrentZText(const std::string& text) = 0; // txtCurrentZ
    virtual TRulerScale ZRuler() const = 0;                    // VertRuler1
    // pnlZAttiva: colour (0x00BBGGRR) and height.
    virtual void SetActiveZ(uint32_t color, int32_t height) = 0;
    // pnlZMinRapido moved to top, stxLimZminRap showing text.
    virtual void SetLowestRapid(int32_t top, const std::string& text) = 0;
    // pnlZMinLavoro moved to top, stxLimZmin showing text.
    virtual void SetLowestFeed(int32_t top, const std::string& text) = 0;

    // MemoNc, lines from 0.
    virtual int32_t MemoLineCount() const = 0;
    virtual std::string MemoLine(int32_t i) const = 0;
    virtual void MemoClear() = 0;
    virtual void MemoAdd(const std::string& line) = 0;
    virtual void MemoSetLine(int32_t i, const std::string& line) = 0;
    // Focus to the memo, line i selected.
    virtual void MemoSelectLine(int32_t i) = 0;

    // The end of every play: sbtPlay back to the play image and handler,
    // sbtToStart and sbtStep enabled.
    virtual void RestorePlayButtons() = 0;

    // The solid simulation's controls on grpSimSol; a window without them
    // keeps these defaults. TrackBarSol's position (1 to 10, default 4).
    virtual int32_t SolidQuality() const { return 4; }
    // Every item of tbrSimSol and TrackBarSol enabled or not.
    virtual void SetSolidControlsEnabled(bool /*enabled*/) {}
    // sbtMatSizeClick: the page sized for the stock-size panel, which then
    // shows the stock of the model.
    virtual void MatSizeClick() {}
    // The stock-size panel of the model, made on grpSimSol (NcVisuCont.h);
    // the model owns it. Null: no panel.
    virtual std::unique_ptr<TStockPanel> CreateStockPanel(TNcVisu& /*model*/) { return nullptr; }
};

class TSimView {
public:
    virtual ~TSimView() = default;
    // Removes everything below the group, clears the info text and
    // switches the laser dots' sizing off.
    virtual void ClearSceneGroup(TSceneNodeId group) = 0;
    virtual void ShowInfoText(const std::string& text) = 0;
    // The view keeps the points object's point size at the tool's true
    // size (diameter in drawing units) at every zoom.
    virtual void ShowLaserDots(TSceneNodeId points, double diameter) = 0;
    // Drawing units of one viewer pixel.
    virtual double PixelSize() const = 0;
    // Asks the view to show the path drawn so far at its next paint; the
    // simulator asks before it lets the window's events run.
    virtual void Repaint() = 0;
};

class TSimClock {
public:
    virtual ~TSimClock() = default;
    virtual uint64_t TickMs() = 0;
    virtual void Sleep(uint32_t ms) = 0;
    // Handles the window events that wait.
    virtual void ProcessMessages() = 0;
};

// The clock of the running program: steady clock, thread sleep, Qt's
// event loop.
class TSystemSimClock final : public TSimClock {
public:
    uint64_t TickMs() override;
    void Sleep(uint32_t ms) override;
    void ProcessMessages() override;
};

// The echo's G-code text of single moves; an empty text echoes nothing.
class TSimEcho {
public:
    virtual ~TSimEcho() = default;
    virtual void SetCurrentOperation(const TSimOperation* operation) = 0;
    virtual std::string XYMove(const TAVertice3d& vertex, bool rapid) = 0;
    virtual std::string XYZMove(const TAVertice3d& vertex) = 0;
    virtual std::string ZMove(double z, bool rapid) = 0;
    virtual std::string LatheMove(const TAVertice3d& vertex, bool rapid) = 0;
    virtual std::string CycleTemplateLine(int32_t cycle, int32_t phase, const TAVertice3d& vertex) = 0;
};
