#pragma once
// What the commands that work on picked lines, arcs and circles share (the
// fillet, the trim and the tangent constructions): the kinds of entity
// they take, the entities' geometry in drawing coordinates, the closed arc
// that takes a picked circle's place, writing new geometry back into a
// line or an arc, the choice of the candidate nearest to a pick, and the
// message for an entity of the wrong kind.
//
// Every point here is in drawing coordinates (the entity's model transform
// applied). Writing geometry back drops the entity's transforms first, so
// the entity then holds drawing coordinates itself.

#include "core/ArcGeometry.h"
#include "core/Points.h"
#include "core/UndoRedo.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
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
// The arc runs counter-clockwise from startAngle to endAngle (radians) about
// centre at the radius of radiusPoint, which becomes control point 1:
// transforms dropped, then the two angle points placed so that the arc is
// drawn so whatever its stored direction (a clockwise arc of the DXF import
// keeps its direction, with its angle points exchanged), bounds updated.
void SetArcSpan(TArco2D& arc, const TVector2D& centre, const TVector2D& radiusPoint, double startAngle,
                double endAngle);

// Index of the candidate nearest to pick; a later candidate wins only when
// strictly nearer. The first candidate when none is nearer than 1e8, -1 for
// an empty list.
int NearestCandidate(const std::vector<TVector2D>& candidates, const TVector2D& pick);

// The text for an entity of the wrong kind: the language texts "431" and
// "432" of section "String", joined by a line break.
std::string WrongKindMessage();

// Records one undo step in the program's journal; nothing without one.
void RecordPairEditStep(TUndoKind kind, std::initializer_list<int32_t> ids);

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
// Clears the overlay of the program's scene view, with the selection's
// highlights: a command that deletes a picked entity must not leave the
// view drawing it.
void ClearCommandOverlay(const TQV_00CADProg& prg);
// Whether object is (still) one of the document's objects; the object is
// compared by address and never touched, so a stale pointer is safe.
bool DocumentHolds(TQV_01Cmp2D& document, const TGraphicObject* object);
