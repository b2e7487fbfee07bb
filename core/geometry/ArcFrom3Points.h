#pragma once
// The three-point construction of arcs and circles, used in this order by
// the three-point arc and circle drawing states: SetArcCenterFrom3Points,
// SetArcRadiusFrom3Points and, for arcs, SetArcAnglesFrom3Points. The states
// reject aligned points (ArePointsAligned) before they call these. Points
// are used through X and Y as stored.

#include "core/geometry/Points.h"

class TArco2D;
class TPrimitive2D;

// The centre of the circle through the three points becomes control point 0
// of the arc or circle (with W = 1) and is returned in centre. Exactly
// aligned points (coincident ones included) have no such circle: false, and
// nothing is stored.
bool SetArcCenterFrom3Points(TPrimitive2D& arcOrCircle, const TPoint2D& p1, const TPoint2D& p2, const TPoint2D& p3,
                             TPoint2D& centre);

// The radius of the circle through the three points (from the side lengths
// of their triangle): control point 1 := control point 0 moved by the radius
// along +X. Aligned points have no finite radius and leave control point 1
// as it is.
void SetArcRadiusFrom3Points(TPrimitive2D& arcOrCircle, const TPoint2D& p1, const TPoint2D& p2, const TPoint2D& p3);

// The arc's angles so that, counter-clockwise (the arc's default direction
// 1), it runs from P1 through P2 to P3 when the turn P1 -> P2 -> P3 is
// counter-clockwise (or straight), and from P3 through P2 to P1 otherwise:
// the arc always passes through P2.
void SetArcAnglesFrom3Points(TArco2D& arc, const TPoint2D& p1, const TPoint2D& p2, const TPoint2D& p3,
                             const TPoint2D& centre);
