#pragma once
// Arcs as the geometry kernel hands them around: the two records in which an
// arc entity gives its geometry in drawing coordinates, the discretisation
// of an arc into points within a chord tolerance (toolpaths, simulation,
// G-code output), and the nearest point of an arc.
//
// Every routine here is a stateless free function. Angles are radians,
// counter-clockwise positive from +X. Nothing raises: degenerate input gives
// the values stated at each function.

#include "core/geometry/Points.h"

#include <memory>

class TPointsSet2D;

// An arc in drawing coordinates: always the counter-clockwise arc from
// StartPoint to EndPoint about Centre, whatever the entity's stored
// direction or transform. The angles are the polar angles of the two points
// about the centre, in (-pi, pi]; Sweep is the counter-clockwise sweep from
// StartAngle to EndAngle, in (0, 2 pi] (equal angles: a full circle, 2 pi).
// StartPoint and EndPoint have W = 1.
struct TArcGeometry2D {
    TPoint2D StartPoint;
    TPoint2D EndPoint;
    TPoint2D Centre;
    double Radius = 0.0;
    double StartAngle = 0.0;
    double EndAngle = 0.0;
    double Sweep = 0.0;
};

// The same content with plain vectors, in this order.
struct TArcInfo2D {
    TVector2D StartPoint;
    TVector2D EndPoint;
    TVector2D Centre;
    double Radius = 0.0;
    double StartAngle = 0.0;
    double EndAngle = 0.0;
    double Sweep = 0.0;
};

TArcInfo2D ArcInfoFromGeometry(const TArcGeometry2D& g);

// The arc from start to end about the centre, clockwise when the flag is set
// and counter-clockwise otherwise, as n points (1 <= n <= 200) with weight 1:
// point k lies at the start's polar angle moved by k equal steps, at the
// radius |end - centre|, so the last point is the end point up to rounding
// and the start point itself is not included. n is the smallest count whose
// chords stay within the settings' simulation tolerance ("SimulTol") of the
// arc, cut to 200 whatever "MaxCurveSeg" says; the chord error can then
// exceed the tolerance.
// Equal start and end angles sweep nothing and give one point, the start
// recomputed: a full circle is never produced by one call (the machining
// code relies on this). A radius of 0, or one below half the tolerance,
// gives one point too.
TArrayOfPoint2d ArcToPoints(const TVector2D& centre, const TVector2D& start, const TVector2D& end, bool clockwise);
// ArcToPoints with the given chord tolerance instead of the setting (which
// is neither read nor changed).
TArrayOfPoint2d ArcToPointsTol(const TVector2D& centre, const TVector2D& start, const TVector2D& end, bool clockwise,
                               double tolerance);
// ArcToPointsTol as a new growable points set owned by the caller, the points
// appended in order.
std::unique_ptr<TPointsSet2D> ArcToPointsSet(const TVector2D& centre, const TVector2D& start, const TVector2D& end,
                                             bool clockwise, double tolerance);

// Nearest point to P of the arc about the centre from start to end
// (counter-clockwise for a direction >= 0, clockwise for a negative one) at
// the given radius: the radial projection of P when it falls on the arc,
// else the end point nearer to P (the end point on a tie). A P at the centre
// has no radial projection and gives that end point too.
TVector2D ClosestPointOnArcDir(const TVector2D& centre, const TVector2D& start, const TVector2D& end,
                               const TVector2D& p, double radius, double direction);
// ClosestPointOnArcDir of the counter-clockwise arc with radius |start - centre|.
TVector2D ClosestPointOnArc(const TVector2D& centre, const TVector2D& start, const TVector2D& end,
                            const TVector2D& p);
