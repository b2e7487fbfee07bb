#pragma once
// Arcs given by a polyline vertex's bulge (the tangent of a quarter of the
// arc's sweep; positive: counter-clockwise from the first point to the
// second), as imported polylines store them.

#include "core/geometry/Points.h"

#include <optional>

struct TBulgeArc {
    TPoint2D Centre;
    double Radius = 0.0;
    // Radians in (-pi, pi]; the arc runs counter-clockwise from StartAngle
    // to EndAngle (for a negative bulge from the second point to the first).
    double StartAngle = 0.0;
    double EndAngle = 0.0;
    // 3 for a positive bulge, 2 for a negative one.
    int Direction = 0;
};

// The arc from p1 to p2 with the bulge; nothing when the bulge is 0 within
// the system tolerance (a straight segment) or not finite.
std::optional<TBulgeArc> BulgeToArc(const TPoint2D& p1, const TPoint2D& p2, double bulge);

// Appends the 51 points of the bulge arc from p1 to p2 to list: 50 points at
// equal angle steps of a 51st of the sweep from p1's end, then the far end
// exactly (so the last segment spans two steps). Appends nothing and returns
// false when BulgeToArc gives no arc.
bool BulgeArcToPoints(const TPoint2D& p1, const TPoint2D& p2, double bulge, TArrayOfPoint2d& list);
