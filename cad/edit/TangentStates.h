#pragma once
// Construction commands that add a line or a circle related to existing
// entities, and the inspection of one entity in the properties panel. Each
// is a chain of interaction states behind a selection:
//
//   perpendicular line       one object, TLineaPerpend, a point pick,
//                            TMyLineaPerPunto: the line from the point to
//                            its foot on the line, or to the arc's or
//                            circle's nearest point
//   tangent line, two arcs   two objects, TMyLineaTan2A: the common tangent
//                            whose tangent points lie nearest the picks
//   tangent line at angle    one object, TMyLineaTanAngle: from the tangent
//                            point on the picked side, in the panel's
//                            direction, of the panel's length
//   circle from a centre     one object, TMyArcoTan1, a point pick,
//                            TMyArcoTan1Punto: the circle about the point
//                            that touches the entity
//   circle of radius R       two objects, TMyArcoTan2: the fillet's pair
//                            routines in construct-only mode
//   inspect one entity       one object, TSelez1Ent
//
// Every new entity goes on the document's current layer with the next free
// ID and is recorded as new (undo kind 20); the circles are closed arcs
// (start angle = end angle = 0). The point of a point pick and the pick of
// the angle command are the program's snapped cursor point when the
// constructing state runs; the two-object commands score against
// SelectionPickPoints.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Points.h"

#include <array>
#include <optional>
#include <string_view>

class TPrimitive2D;
class TQV_00CADProg;
class TQV_01Cmp2D;

// The line from p perpendicular to the entity: to the foot of p on a line
// (the infinite line through its control points 0 and 1), or to the point
// of an arc's or circle's circle nearest to p. It is added unless it would
// have length 0 (p already on the entity). Any other kind of entity shows
// the warning "431" CR LF "432" captioned "450" and adds nothing. Returns
// the new line's ID, or nothing.
std::optional<int32_t> PerpendicularLineTo(TQV_01Cmp2D& document, TPrimitive2D& entity, const TPoint2D& p);

// The tangent common to the circles of a1 and a2 (only centre and radius
// are read) whose tangent points lie nearest to the picks (pick1 scores the
// point on a1, pick2 the one on a2), from the point on a1 to the point on
// a2. Of the four tangents the outer ones exist unless one circle lies
// inside the other, the crossing ones only for circles apart; nothing when
// none exists (one circle inside the other, equal centres).
std::optional<std::array<TVector2D, 2>> TangentLineTwoCircles(const TArcInfo2D& a1, const TVector2D& pick1,
                                                              const TArcInfo2D& a2, const TVector2D& pick2);

// The line tangent to the arc or circle (centre and radius from control
// points 0 and 1) in the direction angleDeg, starting at the tangent point
// on the side of p and length long. Nothing for another kind of entity or a
// length of 0. Returns the new line's ID, or nothing.
std::optional<int32_t> TangentLineAtAngle(TQV_01Cmp2D& document, TPrimitive2D& entity, const TPoint2D& p,
                                          double length, double angleDeg);

// The closed arc about p through the entity's point nearest to p: the foot
// on a line, the nearest point of an arc's or circle's circle. Nothing for
// another kind, or when that point is p itself (a circle of radius 0).
// Returns the new arc's ID, or nothing.
std::optional<int32_t> TangentCircleFromCentre(TQV_01Cmp2D& document, TPrimitive2D& entity, const TPoint2D& p);

// Takes the first selected object: not a primitive raises ECADSysException
// "TLinePerpend: Invalid param". Otherwise the parameter becomes a new
// selection parameter (aperture 5) holding the entity as its user object
// with TMyLineaPerPunto after it, the command counts as TLineaPerpend, and
// the point pick TQV_50SelectPoint follows.
class TLineaPerpend : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TLineaPerpend";
    TLineaPerpend(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The perpendicular line from the snapped cursor point to the parameter's
// user object, when that is still in the drawing; the reference is then
// cleared and the command ends.
class TMyLineaPerPunto : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TMyLineaPerPunto";
    TMyLineaPerPunto(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The tangent line of the two selected arcs or circles (other pairs: nothing);
// the overlay is cleared and the command ends.
class TMyLineaTan2A : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TMyLineaTan2A";
    TMyLineaTan2A(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The tangent line of the selected arc or circle at the panel's values 0
// (length) and 1 (direction in degrees); the overlay is cleared and the
// command ends.
class TMyLineaTanAngle : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TMyLineaTanAngle";
    TMyLineaTanAngle(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// As TLineaPerpend ("TArcTan1: Invalid param"), with TMyArcoTan1Punto after
// the point pick.
class TMyArcoTan1 : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TMyArcoTan1";
    TMyArcoTan1(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The circle about the snapped cursor point tangent to the user object.
class TMyArcoTan1Punto : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TMyArcoTan1Punto";
    TMyArcoTan1Punto(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The circle of radius FilletRadius tangent to the two selected entities
// (cad/QV2D_Fillet.h, construct-only); other pairs: nothing, no message.
class TMyArcoTan2 : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TMyArcoTan2";
    TMyArcoTan2(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// Shows the first selected object in the properties panel and makes it the
// panel's edited object; not a primitive raises ECADSysException
// "TS1E: Invalid param".
class TSelez1Ent : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TSelez1Ent";
    TSelez1Ent(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);
};

// The main window's buttons: each sets up the properties panel and object
// snap and starts the command's selection (aperture 5) with onSelected.
void StartPerpendicularLineCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
void StartTangentLineTwoArcsCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
void StartTangentLineAtAngleCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
void StartTangentCircleFromCentreCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
// Also FilletRadius := the panel's value 0.
void StartTangentCircleRadiusCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
// onSelected is the entity tree's callback of the main window.
void StartInspectEntityCommand(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);

// A cell of the panel was edited: on the tangent-line-at-angle page and on
// the tangent-circle page the command starts again with the new values.
void TangentPanelEdited(TQV_00CADProg& prg, TQV_50SelectObjectsParam::TOnSelected onSelected);
