#pragma once
// The break command: two picked entities are cut at every point where they
// cross. Each is replaced by its pieces, new entities on its own layer, and
// the crossings are marked in the view.
//
// Lines give line pieces, arcs and circles arc pieces (counter-clockwise);
// every other pairing goes the polyline route: the first entity as a
// polyline (a line's two points, a frame's five corners, a curve's profile,
// a polyline itself, a polygon with its closing edge) against the second's
// polyline form, both in drawing coordinates, and both give polyline pieces.
// Points, texts, bitmaps, blocks and labels are never broken, neither as
// the first entity nor, on the polyline route, as the second.
//
// Promises:
// - A break changes the drawing only when the two cross: then one undo step
//   (kind 7) lists the first entity, the second (in the order of the
//   routine: a line paired with an arc always comes first) and the pieces
//   in the order they were added; the two entities are then deleted.
//   Undoing it brings both entities back as they were, circles included,
//   and removes the pieces. BreakIDs() holds the step's IDs afterwards.
// - No piece is shorter than the system tolerance (lines), sweeps nothing
//   (arcs) or has fewer than two points (polylines); a crossing at the
//   start of a polyline segment (within 0.001) is taken as that of the
//   segment before, so the polyline is never cut twice at one point.
// - A circle is broken as the closed arc that starts and ends at its
//   angle-0 point; without a crossing it stays a circle.
// - Without a crossing nothing changes and nothing is shown.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/geometry/Points.h"

#include <string_view>
#include <vector>

class TObject2D;
class TQV_00Prog;
class TQV_01Cmp2D;

// After-state of the two-object selection. When its parameter is a
// TQV_50SelectObjectsParam holding two objects it breaks the first against
// the second and marks the crossings (a circle of 5 pixels each, drawn into
// the view's selection group, where they stay until the next rebuild);
// then, whatever the parameter, the overlay is cleared, the parameter
// freed and the command ends. The scene is not marked dirty: the pieces
// draw themselves when they are added.
class TQV2D_Break : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TQV2D_Break";
    TQV2D_Break(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// Breaks first against second, two distinct objects of document, as the
// header comment describes. Returns the crossing points, empty when nothing
// changed.
std::vector<TVector2D> BreakObjects(TQV_01Cmp2D& document, TObject2D& first, TObject2D& second);

// The main window's Break button: panel page 28, object snap off, the
// two-object selection (aperture 5, onSelected as its callback) with
// TQV2D_Break as after-state.
void StartBreakCommand(TQV_00Prog& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
