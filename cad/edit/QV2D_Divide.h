#pragma once
// Three small edit commands, each the after-state of a selection that does
// its work in its constructor and ends the command:
//
//   TQV2D_Divide   cuts each picked line, arc or circle into two halves.
//   TQV2D_Join     merges two picked collinear lines into one line, or two
//                  picked arcs of one circle into one arc.
//   TQV2D_Extend   lengthens (a negative length shortens) each picked line,
//                  arc or open polyline at the end nearer to the cursor by
//                  value 0 of the properties panel.
//
// Each works only when its parameter is a TQV_50SelectObjectsParam; in every
// case it then clears the view's overlay, frees the parameter and names the
// idle state. Join and Extend mark the scene dirty; Divide hides the pick
// box (also when it ends by an error). Geometry is read in drawing
// coordinates; a changed entity loses its transforms and holds the new
// points in drawing coordinates (a clockwise arc stays clockwise, drawn as
// the command computed it), except an extended polyline, which keeps its
// transform. New entities get the next free ID on their entity's layer.
//
// Divide (undo kind 8 per entity: the entity, then its new half):
// - a line keeps its ID as the half from the midpoint to its end; the new
//   line runs from its start to the midpoint;
// - an arc keeps its ID as the half from its start to its mid-sweep point;
//   the new arc runs from there to its end;
// - a circle gives two semicircles: itself as arc from angle 0 to pi and a
//   new arc from pi to 0 (undo kind 11: the circle, then both arcs, so that
//   undo brings the circle back);
// - any other kind: warning "431" / "432" (caption "450"), nothing changes,
//   the other picked objects are still divided.
//
// Join (undo kind 9: the first, then the second, which is deleted):
// - lines: unless the points of the second lie on the first's line (chain
//   tolerance; a first line of no length is tested against the second's
//   line instead) warning "461"; otherwise the first becomes the line
//   between the outermost points of both (gap included);
// - arcs: unless both lie on one circle warning "462"; otherwise the first
//   runs counter-clockwise from its start to the second's end, whether or
//   not they touch;
// - any other kind: warning "431"; a line with an arc: nothing.
//
// Extend (undo kind 10 per entity changed), with L the length and C the
// snapped cursor point:
// - line: the end nearer to C (the first point when both are equally
//   near) moves by L along the line;
// - arc: the end nearer to C (the end point on a tie) moves by the angle
//   L / radius, at most up to a full turn; a full circle is not extended;
// - open polyline: its end point nearer to C (the last on a tie) moves by L
//   along its end segment, measured in the drawing;
// - nothing for L = 0, other kinds, closed outlines, and a shortening that
//   would use up the whole line, arc or end segment.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"

#include <string_view>

class TQV_00Prog;

class TQV2D_Divide : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV2D_Divide";
    TQV2D_Divide(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

class TQV2D_Join : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV2D_Join";
    TQV2D_Join(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

class TQV2D_Extend : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV2D_Extend";
    // The length is read here, rounded to single precision.
    TQV2D_Extend(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The main window's buttons: panel page 29, 30 or 31, object snap off, the
// one-object (divide, extend) or two-object (join) selection with aperture
// 5 and onSelected as its callback, the command as after-state.
void StartDivideCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
void StartJoinCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
void StartExtendCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
