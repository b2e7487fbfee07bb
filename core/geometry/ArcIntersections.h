#pragma once
// Intersections of segments, lines, arcs and circles, for the break, fillet
// and trim commands, and the segment crossing test of the machining side's
// offset loop removal.
//
// Arcs are taken in drawing coordinates as TArcInfo2D records (the entity
// forms read them through TArco2D::GetArcInfo), each the counter-clockwise
// arc from its start point to its end point. Found points are appended to a
// list of the caller's; what the list already holds is left alone, so the
// results of several calls can be gathered in one list. Nothing raises.

#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Points.h"

#include <optional>
#include <vector>

class TArco2D;
class TLine2D;
class TPrimitive2D;

// The on-arc test of a point H of the arc's circle: H lies on the arc when it
// is on the right of the directed chord from start point to end point, or on
// it (no tolerance). Every point passes for a full circle (start = end).
bool IsOnArc(const TArcInfo2D& arc, const TVector2D& h);

// Points where the line through P1 and P2 meets the arc: a tangent within the
// system tolerance gives one point, a secant up to two, in the order
// (+h, -h) along the line's direction. With segmentOnly, a point counts only
// when it projects onto the closed segment P1-P2 (no tolerance, so the
// segment's end points count). Equal P1 and P2 define no line: nothing.
void IntersectLineWithArc(const TVector2D& p1, const TVector2D& p2, const TArcInfo2D& arc, bool segmentOnly,
                          std::vector<TVector2D>& list);

// Points where the circles of the two arcs meet. Circles touching from
// outside or inside (within the system tolerance on the squared centre
// distance) give one point; concentric circles of the same radius
// (coincident) give none; otherwise two or none. With arcsOnly a point counts
// only when it lies on both arcs and is not one of their four end points
// (within the system tolerance): arcs that merely share an end point do not
// intersect.
void IntersectCircles(const TArcInfo2D& arc1, const TArcInfo2D& arc2, bool arcsOnly, std::vector<TVector2D>& list);

// The entity forms, in drawing coordinates (control points through the
// model transform, arcs through TArco2D::GetArcInfo).
// The segment between the line's control points 0 and 1 and the arc.
void IntersectSegmentArc(const TLine2D& line, const TArco2D& arc, std::vector<TVector2D>& list);
// The infinite line through the object's control points 0 and 1 and the arc.
void IntersectLineArc(const TPrimitive2D& object, const TArco2D& arc, std::vector<TVector2D>& list);
// The two arcs, their end points excluded.
void IntersectArcArc(const TArco2D& arc1, const TArco2D& arc2, std::vector<TVector2D>& list);
// The full circles of the two arcs.
void IntersectCircleCircle(const TArco2D& arc1, const TArco2D& arc2, std::vector<TVector2D>& list);

// Crossing point of the segments (x1, y1)-(x2, y2) and (x3, y3)-(x4, y4):
// returns 1 and sets (x, y), or 0 and leaves them. Segments that share an end
// point (within the system tolerance) do not cross; the bounding boxes must
// overlap (touching counts); the crossing must lie on both closed segments.
// Segments parallel within the system tolerance that overlap give a point of
// the overlap: (x3, y3) when it projects onto the first segment, else
// (x4, y4) when that does, else (x1, y1).
int IntersectSegmentsXY(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                        double& x, double& y);
// IntersectSegmentsXY of the segments P1-P2 and P3-P4.
std::optional<TVector2D> IntersectSegments(const TVector2D& p1, const TVector2D& p2, const TVector2D& p3,
                                           const TVector2D& p4);
// Second names of the two, under which the offset loop removal calls them.
int CrossSegmentsXY(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                    double& x, double& y);
std::optional<TVector2D> CrossSegments(const TVector2D& p1, const TVector2D& p2, const TVector2D& p3,
                                       const TVector2D& p4);
