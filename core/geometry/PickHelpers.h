#pragma once
// The distance tests behind the entities' picking. The aperture is the pick
// tolerance in drawing units; a distance of kNoPickDistance means that
// nothing was hit. Results of the chain and polygon tests: -1 near an edge,
// -2 inside a closed outline, -200 nothing. None of them fails or raises.

#include "core/geometry/Points.h"

#include <span>

class TMatrix4;

inline constexpr double kNoPickDistance = 1e8;
inline constexpr int kPickNothing = -200;
inline constexpr int kPickEdge = -1;
inline constexpr int kPickInside = -2;

// Both points made cartesian; when q lies in the square of half-side
// aperture around p (edges inside): distance := |pq| and true, otherwise
// distance := kNoPickDistance and false.
bool PointNearPoint(const TPoint2D& p, const TPoint2D& q, double& distance, double aperture);
// When the foot of p falls on the closed segment ab: distance := the
// distance from p to the line and true. Otherwise (or for a segment of
// length exactly 0) distance := kNoPickDistance and false. X and Y as stored.
bool DistancePointToSegment(const TPoint2D& p, const TPoint2D& a, const TPoint2D& b, double& distance);
// The crossing-number step: true when exactly one of a.Y, b.Y is <= p.Y and
// p.X <= the X of the edge at p.Y.
bool RayCrossesEdge(const TPoint2D& p, const TPoint2D& a, const TPoint2D& b);

// The chain test: every point through m and made cartesian, p made
// cartesian; the segments i..i+1 (and, when closed, last..first) are tested
// and the nearest hit within the aperture gives kPickEdge with its distance.
// Nothing hit: kPickNothing and kNoPickDistance.
int PickPolyline(std::span<const TPoint2D> points, const TPoint2D& p, bool closed, const TMatrix4& m,
                 double aperture, double& distance);
// The closed-outline test on the same terms: kPickEdge (distance = the edge
// distance) near an edge, else kPickInside (distance = aperture) when the
// crossing count is odd, else kPickNothing (distance = kNoPickDistance).
int PickPolygon(std::span<const TPoint2D> points, const TPoint2D& p, const TMatrix4& m, double aperture,
                double& distance);
