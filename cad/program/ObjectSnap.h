#pragma once
// Object snap and orthogonal mode: the rules that move a point the user
// gives onto a characteristic point of the entity under the cursor, or
// square it against the previous point.
//
// ObjectSnap is the interaction program's own snap filter (TQV_00Prog
// installs it at construction); GetSnappedPoint runs it after the grid
// snap while an object-snap mode is chosen and UsaSnap is on.

#include "cad/program/QV_00Prog.h"
#include "cad/scene/ViewCursors.h"

#include <cstdint>
#include <optional>

class TObject2D;

// The pick aperture of the object snap, in viewer pixels.
inline constexpr uint16_t ObjectSnapAperture = 10;

// The snap filter: picks the entity under p within ObjectSnapAperture pixels
// (TQVScene::PickObject). Nothing there: the view cursor becomes Cross and
// p and the last snap point stay. Otherwise SnapToObject moves p (or not)
// and names the cursor, and p, moved or not, becomes the program's last
// snap point. The current state and lastPt are not used. Without a scene
// view bound to the program nothing happens.
void ObjectSnap(TQV_00Prog& sender, TQV_00State* currentState, const TPoint2D& lastPt, TPoint2D& p);

// Moves p onto the point of object that the mode asks for, given the code
// with which the pick found the object, and returns the cursor that shows
// the kind of point. None means "no change": p and the cursor stay as they
// are. A code the object's class does not accept, or a class that has no
// snap points, gives Cross with p unchanged. Points are taken through the
// object's model transform and come out cartesian with W = 1.
//
//   class (first match)     codes          end   mid   centre   point  auto
//   TPunto2D                -1, >= 0        -     -     -       pt 0   pt 0
//   TLine2D                 -1, >= 0        near  mid   -       -      nearest of end 0, end 1, mid
//   TPolyline2D             >= 0            vertex at the code             as end
//   TCerchio2D              -1, >= 0        right left  centre  -      nearest of centre, right, left
//   TArco2D                 -100, -1, >= 0  near  half  centre  -      nearest of centre, start, end, mid
//   other TCurve2D          >= 0            control point at the code       as end
//
// "near" is the nearer end (the second on a tie); "nearest" the first
// candidate of least distance. Distances are compared in single precision.
std::optional<TViewCursor> SnapToObject(const TObject2D& object, int32_t pickCode, TObjectSnapMode mode,
                                        TPoint2D& p);

// The point p of an entity being drawn or transformed, constrained against
// the previous point when the program's UseOrto is on (OrthoConstrain:
// horizontal when |dx| > |dy|, vertical otherwise); p itself when it is off.
TPoint2D OrthoPoint(const TQV_00CADProg& prg, const TPoint2D& previous, const TPoint2D& p);
