#pragma once
// What the break, divide, join, extend, delete and simplification commands
// share: the document an entity lives in, entity geometry in drawing
// coordinates, rewriting an arc in place, their undo steps and their
// messages.

#include "core/Points.h"
#include "core/UndoRedo.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class TArco2D;
class TObject2D;
class TPrimitive2D;
class TQV_00CADProg;
class TQV_01Cmp2D;

// The document that owns the object, or null for an object outside any.
TQV_01Cmp2D* OwnerDocument(const TObject2D& object);

// Control point index of the entity in drawing coordinates: through its
// model and pending transform, made cartesian. The index must exist.
TVector2D DrawingPoint(const TPrimitive2D& entity, int index);
// Every control point of the entity in drawing coordinates, in order.
std::vector<TVector2D> DrawingPoints(const TPrimitive2D& entity);

// Makes the arc the counter-clockwise arc about centre, at the radius of
// radiusPoint, from startAngle to endAngle (radians, drawing coordinates),
// as drawn: both transforms dropped, control points 0 to 3 written anew
// (a clockwise arc keeps its direction with its two angle points
// exchanged), one bounds update. The angle setters of the arc are not
// used: they skip a value equal to the stored one, and after dropping a
// transform the stored angle may no longer match the stored point.
void SetArcInDrawing(TArco2D& arc, const TVector2D& centre, const TVector2D& radiusPoint, double startAngle,
                     double endAngle);

// Records the step in the program's journal; false without a journal or
// when the journal refuses the step.
bool RecordEditStep(TUndoKind kind, std::span<const int32_t> ids);

// The edit commands' warning box, captioned with text "450": the text
// "431", followed by a line break and "432" when withHint is set.
void ShowWrongKindMessage(bool withHint);
// The same box with the language text of key "String"/textKey.
void ShowEditWarning(std::string_view textKey);

// Empties the highlight list of the program's scene view and returns the
// overlay to idle; nothing without a scene view. Called before an edit
// deletes objects, so the overlay never paints an object that is gone.
void ClearEditOverlay(TQV_00CADProg& prg);
