#pragma once
// Parallel offsets of segments, lines and arcs, for the fillet command.
// The entity forms return new entities with ID -1, in drawing coordinates
// and without a transform, added to no document: the caller owns them.

#include "core/geometry/Points.h"

#include <memory>

class TArco2D;
class TLine2D;

// Both ends of P1-P2 moved by the distance along the left normal of the
// direction P1 to P2 (a positive distance moves the segment to the left).
// A segment of length 0 has no normal: its ends come back unmoved.
void OffsetSegment(const TVector2D& p1, const TVector2D& p2, double distance, TVector2D& q1, TVector2D& q2);

// A new line through OffsetSegment of the line's control points 0 and 1 in
// drawing coordinates.
std::unique_ptr<TLine2D> OffsetLine2D(const TLine2D& line, double distance);

// A new counter-clockwise arc about the same centre whose radius grows by
// the distance (a negative one shrinks it), between the start and end angles
// of the arc's geometry in drawing coordinates. Only its circle is used by
// the callers.
std::unique_ptr<TArco2D> OffsetArc2D(const TArco2D& arc, double distance);
