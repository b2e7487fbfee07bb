#pragma once
// TSimulatore2D: replays the toolpath of one operation in the view, move by
// move, as coloured line strips in the operation's display group, with the
// tool solid, the Z gauge, the G-code echo, the move counter and the
// machining time; plays continuously at nine speeds, steps, stops, rewinds
// or draws the whole toolpath at once. It also keeps the machine-position
// marker of the machine-control window, and replays the G-code editor's text
// line by line through the G-code reader (PrepareText, PlayText, StepText,
// RewindText, EndTextSimulation) on a scratch operation of its own.
//
// The operation is held weakly: destroying it (or clearing the operation
// list) lets the simulator forget it, and every entry point does nothing
// while there is none. Play, StepMove and Rewind are refused while a play
// loop runs (the loops pump window events, so the window could call them).
//
// Main thread only. The window, the view, the clock and the echo are set by
// the owner and must outlive their installation; each may be null (a null
// window reads every check box as off, a null clock never waits).

#include "core/geometry/Vertice.h"
#include "nc/grbl/MachineMarker.h"
#include "nc/sim/SimSeams.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TCurvaNci3d;
class TNcVisu;
class TStockView;
class TDatiUtBase;
class TDatiUtFresa;
class TGCodeTextSource;
class TLeggeGCode;
class TTextSimOperation;

// The extents of the simulated moves.
struct TSimBounds {
    float MinX = 99999.0f, MinY = 99999.0f, MinZ = 99999.0f;
    float MaxX = -99999.0f, MaxY = -99999.0f, MaxZ = -99999.0f;
    float CentreX = 0, CentreY = 0, CentreZ = 0;
    float SizeX = 0, SizeY = 0, SizeZ = 0;
    bool Computed = false;
};

class TSimulatore2D final : public TMachineMarker {
public:
    // Curve codes above this are drilling cycles (code - 80 is the cycle).
    static constexpr int32_t DrillCodeBase = 80;
    static constexpr int32_t LatheRapidAttribute = 100;
    static constexpr double NothingShown = 9999.0;

    TSimulatore2D();
    ~TSimulatore2D() override;
    TSimulatore2D(const TSimulatore2D&) = delete;
    TSimulatore2D& operator=(const TSimulatore2D&) = delete;

    void SetWindow(TSimWindow* window) { m_Window = window; }
    void SetView(TSimView* view) { m_View = view; }
    void SetClock(TSimClock* clock) { m_Clock = clock; }
    TSimClock* Clock() const { return m_Clock; }
    void SetEcho(TSimEcho* echo) { m_EchoWriter = echo; }
    // Where the stock-removal model is drawn; set before the first model.
    void SetStockView(TStockView* view) { m_StockView = view; }

    // Speed 1..9 sets the delay per move (500 ms down to 1 ms); any other
    // index changes nothing.
    void SetSpeed(int32_t speed);
    int32_t Speed() const { return m_Speed; }
    uint32_t Delay() const { return m_Delay; }

    void SelectOperation(TSimOperation* operation);
    void PrepareOperation();
    void Play();
    void StepMove();
    // Clears the running flag; a running loop ends after its current move.
    void Stop() { m_Running = false; }
    void Rewind();
    void ClearPath();
    void Finish();
    // The drawing the simulations left in the view goes (the operation's
    // and the editor text's moves, the tool and the simulated solid): the
    // drawing they belonged to was replaced. A running play stops after
    // its current move.
    void ClearDrawings();
    void ShowWholePath(TSimOperation* operation, bool force);
    // The feed and rapid seconds summed unrounded, rounded (halves to even).
    int32_t GetTotalTime() const;
    void SetShowTool(bool show);
    // Pumps window events until ms have passed.
    void Wait(uint32_t ms);

    // TMachineMarker.
    void ShowMachineMarker() override;
    void HideMachineMarker() override;
    void MoveMarker(double x, double y, double z) override;
    bool OperationPrepared() const override { return m_Prepared; }
    // The record that carries the marker.
    const TDatiUtBase& MarkerTool() const;

    // The extents of every vertex of every curve, the maximum Z at least
    // the top of stock.
    void ComputePathBounds();

    // The G-code editor's text. PrepareText makes the text operation
    // current and the reader take the writer's post; PlayText replays from
    // the stored line until the text ends (the next play starts at the
    // first line) or Stop (the next play goes on); StepText replays the
    // caret's line. Lines the reader cannot use simulate nothing.
    void PrepareText();
    void PlayText(TGCodeTextSource& text);
    void StepText(TGCodeTextSource& text);
    void RewindText(TGCodeTextSource& text);
    void EndTextSimulation();
    // Clears operation prepared (the editor before it waits for a play to end).
    void ClearPrepared() { m_Prepared = false; }
    // The reader of the text, with the writer's post since the last
    // PrepareText, PlayText or StepText.
    TLeggeGCode& Reader() { return *m_Reader; }
    // The reader with the writer's post as it is now.
    const TLeggeGCode& ReaderOfCurrentPost();
    TTextSimOperation& TextOperation() { return *m_TextOp; }
    bool TextMode() const { return m_TextMode; }
    bool TextIdle() const { return m_TextIdle; }
    int32_t TextLineIndex() const { return m_TextLineIndex; }
    // The arc vertex of the reader's last line (code 2 clockwise, 3
    // counter-clockwise) from the last position; false when a radius arc
    // ends where it starts, which leaves its centre undetermined.
    bool ReaderArcToVertex(TAVertice3d& vertex, int32_t code) const;
    // A tool change of the text: the last position and the reader at the
    // rapid plane.
    void ToolChangeHeight();
    // --- The stock-removal model (chkSolidSim) ------------------------------
    // Makes the model (replacing any) from the extents: those of the
    // toolpath when none are computed yet (arcs by their box, the top at
    // least the top of stock), after a play those of the play, which hold
    // the rapid plane. The box of the tool centre's path; the quality from
    // the window's slider; the stock-size panel from the window. Nothing
    // without an operation or a toolpath.
    void CreateSolid();
    // Frees the model (and its panel); the view stops drawing it.
    void FreeSolid();
    TNcVisu* Solid() const { return m_Solid.get(); }
    // The solid toolbar's play: cuts the rest of the toolpath into the model
    // without drawing lines (drilling holes are drawn and timed, not cut).
    // Nothing without a model.
    void RunSolid();
    // The solid controls enabled exactly when chkSolidSim is checked; when
    // it is, the window's stock-size toggle runs.
    void UpdateSolidControls();
    // TrackBarSol moved: the model's grid at the new quality, uncut.
    void SetSolidQuality(int32_t quality);
    // The stock-size panel's apply (TNcVisu::ApplyStockTexts); when taken,
    // the drawn path is cleared too. False when nothing changed.
    bool ApplyStock(const std::array<std::string, 6>& texts);

    // State, read by the view, the editor and the tests.
    TSimOperation* CurrentOperation() const { return m_Op; }
    bool Running() const { return m_Running; }
    bool InPlayLoop() const { return m_InLoop; }
    bool Finished() const { return m_Finished; }
    bool LathePrepared() const { return m_Lathe; }
    bool LaserDotsShown() const { return m_LaserShown; }
    TSceneNodeId LaserDots() const { return m_LaserNode; }
    size_t LaserDotCount() const { return m_Dots.size(); }
    int32_t CurveIndex() const { return m_CurveIndex; }
    int32_t VertexIndex() const { return m_VertexIndex; }
    int32_t TotalMoves() const { return m_TotalMoves; }
    int32_t Counter() const { return m_Counter; }
    double FeedSeconds() const { return m_FeedSeconds; }
    double RapidSeconds() const { return m_RapidSeconds; }
    const TAVertice3d& LastPosition() const { return m_Last; }
    const TSimBounds& Bounds() const { return m_Bounds; }
    double LatheDx() const { return m_LatheDx; }
    double LatheDy() const { return m_LatheDy; }
    double LastZShown() const { return m_LastZShown; }
    double LowestRapidZ() const { return m_LowestRapid; }
    double LowestFeedZ() const { return m_LowestFeed; }
    bool TrueWidth() const { return m_TrueWidth; }
    void SetTrueWidth(bool on) { m_TrueWidth = on; }
    bool EchoOn() const { return m_Echo; }
    void SetEchoOn(bool on) { m_Echo = on; }

    // The single moves, each from the last position.
    void SimRapid(const TAVertice3d& vertex, bool echo, double z);
    void SimZMove(bool rapid, double z);
    void SimLine(const TAVertice3d& from, const TAVertice3d& vertex, bool echo);
    void SimArc(const TAVertice3d& from, const TAVertice3d& vertex, bool echo);
    // phase 0 first hole, 1 further hole, 2 closing.
    void SimDrillHole(const TAVertice3d& vertex, int32_t cycle, int32_t phase, bool echo);
    void CreateLaserDots();
    void AddLaserDots(const TCurvaNci3d& curve);
    void PrepareLathe();
    void SimLatheRapid(const TAVertice3d& vertex);
    void SimLatheLine(const TAVertice3d& from, const TAVertice3d& vertex);
    void SimLatheArc(const TAVertice3d& from, const TAVertice3d& vertex);
    void SimLatheCurve(const TCurvaNci3d& curve);
    void UpdateZGauge(bool rapid, double z);
    void EchoGCode(const std::string& line);

    // Called by the destructor of every operation.
    static void OperationGone(const TSimOperation* operation);

private:
    void MillLoop();
    void LatheLoop();
    void SolidLoop();
    // The solid run's pacing after a move; false when the run is to end.
    bool PaceSolid(const TSimOperation* operation, int32_t moves);
    bool StillRunning(const TSimOperation* operation) const { return m_Running && m_Op == operation; }
    // After a move of the loops: pumps and sleeps by the speed; false when
    // the loop is to end.
    bool Pace(const TSimOperation* operation, int32_t vertexIndex);
    // The view asked to repaint, then the window's events handled.
    void PumpMessages();
    void EndOfRun(bool showTime);
    void CloseCurve();
    void ShowCounter();
    void ShowTimeText();
    void TakeWriterPost();
    // The text operation current, the reader with the writer's post, lathe
    // mode from its dialect, no echo.
    void MakeTextCurrent();
    // One line of the text; the lathe moves when latheMoves, the height
    // shown in the text's bar when showZ.
    void SimTextLine(const std::string& line, bool latheMoves, bool showZ, TGCodeTextSource& text);
    // Selects the text line that plays next, pumps, and every 15 lines
    // scrolls the text on.
    void FollowTextLine(TGCodeTextSource& text);

    const TDatiUtBase* Tool() const;
    void PlaceTool(double x, double y, double z);
    void PlaceLatheTool(const TVector3D& p);
    TSceneNodeId Group() const;
    void AddStrip(uint32_t color, int32_t width, std::vector<TVector3D> nodes);
    void FeedTo(const TVector3D& p);
    void AddTime(double length, bool rapid);
    void ExtendBounds(const TAVertice3d& vertex);
    void ExtendZBounds(double z);
    void ResetBounds();
    void ComputeBoundsCentre();
    void LineWidth(const TVector3D& from, const TVector3D& to, double w);
    void ArcWidth(const TVector2D& start, const TVector2D& end, const TVector2D& centre, bool clockwise, double z,
                  double w);
    double SimTolerance() const;

    TSimWindow* m_Window = nullptr;
    TSimView* m_View = nullptr;
    TSimClock* m_Clock = nullptr;
    TSimEcho* m_EchoWriter = nullptr;
    TStockView* m_StockView = nullptr;
    std::unique_ptr<TNcVisu> m_Solid;

    TSimOperation* m_Op = nullptr;
    std::unique_ptr<TDatiUtFresa> m_MarkerTool;
    std::unique_ptr<TLeggeGCode> m_Reader;
    std::unique_ptr<TTextSimOperation> m_TextOp;
    TAVertice3d m_Last;
    TSceneNodeId m_FeedStrip = NoSceneNode;
    TSceneNodeId m_LaserNode = NoSceneNode;
    std::vector<TVector3D> m_Dots;
    int32_t m_CurveIndex = 0;
    int32_t m_VertexIndex = 0;
    int32_t m_TextLineIndex = 0;
    int32_t m_TotalMoves = 0;
    int32_t m_Counter = -1;

    bool m_Prepared = false;
    bool m_LaserShown = false;
    bool m_TextMode = false;
    bool m_Echo = false;
    bool m_Drilling = false;
    bool m_Finished = false;
    bool m_AtCurveStart = false;
    bool m_TrueWidth = false;
    bool m_LaserCreated = false;
    bool m_FeedStripOpen = false;
    bool m_FirstPointPending = false;
    bool m_LastCurve = false;
    bool m_Lathe = false;
    bool m_ShowTool = false;
    bool m_Running = false;
    // A play loop is on the stack (its running flag may already be cleared
    // by Stop while the loop finishes its move).
    bool m_InLoop = false;
    bool m_TextIdle = true;

    uint32_t m_Delay = 1;
    int32_t m_Speed = 9;
    double m_FeedSeconds = 0.0;
    double m_RapidSeconds = 0.0;
    double m_LatheDx = 0.0;
    double m_LatheDy = 0.0;
    double m_LastZShown = NothingShown;
    double m_LowestRapid = 0.0;
    double m_LowestFeed = 0.0;
    TSimBounds m_Bounds;
};
