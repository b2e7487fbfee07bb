#pragma once
// What the edit commands share (break, divide, join, extend, delete,
// simplification, fillet, trim and the tangent constructions): the kinds of
// entity they take, the document an entity lives in, entity geometry in
// drawing coordinates, the closed arc that takes a picked circle's place,
// writing new geometry back into a line or an arc, the choice of the
// candidate nearest to a pick, their undo steps, overlay and messages.
//
// Every point here is in drawing coordinates (the entity's model and
// pending transform applied, made cartesian). Writing geometry back drops
// the entity's transforms first, so the entity then holds drawing
// coordinates itself.

#include "core/geometry/Points.h"
#include "core/file/UndoRedo.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TArco2D;
class TCerchio2D;
class TGraphicObject;
class TLine2D;
class TObject2D;
class TPrimitive2D;
class TQV_00CADProg;
class TQV_01Cmp2D;
class TQV_50SelectObjectsParam;

// The kinds of entity the edit commands take. A TFilledCerchio2D counts as
// a circle; every other class (null included) is Other.
enum class TEditKind { Other, Line, Arc, Circle };
TEditKind EditKindOf(const TObject2D* object);

// The document that owns the object, or null for an object outside any.
TQV_01Cmp2D* OwnerDocument(const TObject2D& object);

// Control point index of the entity in drawing coordinates. The index must
// exist.
TVector2D DrawingPoint(const TPrimitive2D& entity, int index);
// Every control point of the entity in drawing coordinates, in order.
std::vector<TVector2D> DrawingPoints(const TPrimitive2D& entity);
// Control points 0 and 1 in drawing coordinates; false (and both points
// left alone) when a damaged record left the entity without them.
bool EntityPoints01(const TPrimitive2D& entity, TVector2D& p1, TVector2D& p2);
// Centre and radius of an arc or a circle: control point 0, and the
// distance from it to control point 1, in drawing coordinates. False for an
// entity without both points.
bool CentreAndRadius(const TPrimitive2D& entity, TVector2D& centre, double& radius);

// A closed arc (start angle = end angle = 0, so it starts and ends at its
// angle-0 point) with the circle's centre and radius point in drawing
// coordinates takes the circle's place in the document: it is added with
// the next free ID on the circle's own layer, then the circle is deleted.
// Nothing is journaled. Returns the new arc.
TArco2D& ReplaceCircleByArc(TQV_01Cmp2D& document, TCerchio2D& circle);
// Both circles replaced, both arcs added before either circle is deleted.
void ReplaceCirclesByArcs(TQV_01Cmp2D& document, TCerchio2D& first, TCerchio2D& second, TArco2D*& firstArc,
                          TArco2D*& secondArc);

// The line runs from p1 to p2: transforms dropped, control points 0 and 1
// set (W = 1), bounds updated.
void SetLineEnds(TLine2D& line, const TVector2D& p1, const TVector2D& p2);
// Makes the arc the counter-clockwise arc about centre, at the radius of
// radiusPoint (which becomes control point 1), from startAngle to endAngle
// (radians, drawing coordinates), as drawn: both transforms dropped,
// control points 0 to 3 written anew, one bounds update. The stored
// direction stays (the undo journal restores points and transform, not the
// direction): a clockwise arc gets its two angle points exchanged. The
// angle setters of the arc are not used: they skip a value equal to the
// stored one, and after dropping a transform the stored angle may no longer
// match the stored point. A damaged arc without its points keeps the ones
// it has.
void SetArcInDrawing(TArco2D& arc, const TVector2D& centre, const TVector2D& radiusPoint, double startAngle,
                     double endAngle);

// Index of the candidate nearest to pick; a later candidate wins only when
// strictly nearer. The first candidate when none is nearer than 1e8, -1 for
// an empty list.
int NearestCandidate(const std::vector<TVector2D>& candidates, const TVector2D& pick);

// Records the step in the program's journal; false without a journal or
// when the journal refuses the step.
bool RecordEditStep(TUndoKind kind, std::span<const int32_t> ids);
bool RecordEditStep(TUndoKind kind, std::initializer_list<int32_t> ids);

// The text for an entity of the wrong kind: the language text "431" of
// section "String", followed by a line break and "432" when withHint is set.
std::string WrongKindMessage(bool withHint = true);
// The edit commands' warning box, captioned with text "450", showing
// WrongKindMessage(withHint).
void ShowWrongKindMessage(bool withHint);
// The same box with the language text of key "String"/textKey.
void ShowEditWarning(std::string_view textKey);

// Empties the highlight list of the program's scene view and returns the
// overlay to idle; nothing without a scene view. Called before an edit
// deletes objects, so the overlay never paints an object that is gone.
void ClearEditOverlay(const TQV_00CADProg& prg);

// The document of the program's scene view; ECADSysException
// "<stateName>: No drawing" without one.
TQV_01Cmp2D& CommandDocument(const TQV_00CADProg& prg, std::string_view stateName);
// The program's cursor point after grid and object snap (the plain cursor
// point for a program without snapping).
TPoint2D CommandSnappedPoint(TQV_00CADProg& prg);
// The first and the second object of the selection (pick order), each
// looked up again by ID in the document; null for one that is missing.
void TakeSelectedPair(TQV_01Cmp2D& document, TQV_50SelectObjectsParam& selection, TObject2D*& first,
                      TObject2D*& second);
// The body of a state that edits the two selected objects: the pair looked
// up again, the overlay cleared, edit run on it, the wrong-kind message
// shown when edit answers false, and the scene marked dirty either way.
using TPairEdit = std::function<bool(TQV_01Cmp2D& document, TObject2D* first, TObject2D* second)>;
void RunPairEdit(TQV_00CADProg& prg, std::string_view stateName, TQV_50SelectObjectsParam& selection,
                 const TPairEdit& edit);
// Whether object is (still) one of the document's objects; the object is
// compared by address and never touched, so a stale pointer is safe.
bool DocumentHolds(TQV_01Cmp2D& document, const TGraphicObject* object);
