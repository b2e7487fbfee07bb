#pragma once
// The explode command: replaces the selected block references by the
// geometry of their source blocks, rectangle outlines by four lines and
// polylines by their segments, then reports in the tool window's explode
// page what it made. One state, TQV2D_Esplode, that does its work in its
// constructor on the selection it is handed (pick or window selection) and
// ends the command.
//
// What each selected object becomes (bitmaps are passed over and not
// counted; every other object counts as processed):
// - Block reference (TBlock2D, TInsert) with a source block: each child of
//   the source, in order, is added to the drawing on the current layer as
//   it is shown: its own transform, then the reference's. Lines, circles,
//   arcs and polylines become new entities of their kind with the
//   transform in their points (a polygon becomes a polyline that ends on
//   its first point again, so its closing edge stays); a nested reference
//   is exploded the same way with its own transform composed with the
//   outer one; every other child is added as a copy with the transform as
//   its model transform. A reference whose source block is already being
//   exploded further out (blocks that contain each other) is passed over.
//   The reference is deleted, then its source block when nothing else
//   references it and it is not a block of the block library. No undo step
//   is recorded: the deleted source block could not be referenced again.
//   A reference without a source block is left as it is.
// - Rectangle outline: four lines along its edges (through its transform)
//   on its layer; undo kind 11 (the outline, then the lines); the outline
//   is deleted.
// - Polyline or polygon of n >= 2 points: one line per pair of consecutive
//   points (a polygon also the closing edge) on its layer; undo kind 11;
//   the polyline is deleted. Fewer points: nothing.
// - Other kinds: nothing.
// Summary: see ShowSummary. A parameter that is not a selection explodes
// nothing and still shows the summary.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TBlock2D;
class TFrame2D;
class TMatrix4;
class TObject2D;
class TPolyline2D;
class TQV_01Cmp2D;
class TSourceBlock2D;

class TQV2D_Esplode : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV2D_Esplode";
    TQV2D_Esplode(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);

    int32_t LinesMade() const { return m_Lines; }
    int32_t ArcsMade() const { return m_Arcs; }
    int32_t PolylinesMade() const { return m_Polylines; }
    int32_t OthersMade() const { return m_Others; }
    int32_t Processed() const { return m_Processed; }

    // The summary text of the counters: "<processed> <301> " then, for each
    // count above 0, "<lines> <302> ", "<arcs and circles> <303> ",
    // "<polylines> <304>" and " <other copies> <ExplodeOthers>"; "300" when
    // nothing was made.
    std::string SummaryText() const;

private:
    void ExplodeObject(TObject2D& object);
    // Explodes the reference's source block under placement (the transform
    // of the reference's own children). outermost: the reference is a
    // selected object (deleted afterwards), not one nested in a source.
    void ExplodeBlock(TQV_01Cmp2D& document, TBlock2D& reference, const TMatrix4& placement, bool outermost);
    void ExplodeChild(TQV_01Cmp2D& document, TObject2D& child, const TMatrix4& placement);
    void ExplodeFrame(TQV_01Cmp2D& document, TFrame2D& frame);
    void ExplodePolyline(TQV_01Cmp2D& document, TPolyline2D& polyline);
    // The summary in stxInfoEsplode and the explode page of the tool window.
    void ShowSummary();

    int32_t m_Lines = 0;
    int32_t m_Arcs = 0;
    int32_t m_Polylines = 0;
    int32_t m_Others = 0;
    int32_t m_Processed = 0;
    // The source blocks being exploded, outermost first.
    std::vector<const TSourceBlock2D*> m_BlockPath;
};

// What the main window's Explode command does on the CAD side: object snap
// off and the selection started, the window selection when window is set
// (aperture 0), else the pick selection (aperture 5) with onSelected as its
// callback; after-state TQV2D_Esplode. Panel and tool window are the main
// window's. Returns what StartOperation returns.
bool StartExplodeCommand(TQV_00CADProg& prg, bool window, TQV_50SelectObjectsParam::TOnSelected onSelected);
