#pragma once
// Measures of one segment of a machining curve (its signed sweep, its share
// of the signed area, its bounding box) and the small records they fill.
//
// A segment runs from a start point to a vertex (core/Vertice.h): a line
// for kind 0, an arc about the vertex's centre for kinds 1 and -1.

#include "core/geometry/Points.h"

struct TAVertice;

// An axis-aligned box that grows by points; Valid is 0 until the first one.
class TABox {
public:
    void AddPoint(const TVector2D& p);

    uint8_t Valid = 0;
    double MinX = 0.0;
    double MinY = 0.0;
    double MaxX = 0.0;
    double MaxY = 0.0;
};

// A point on the heap of the chord lists.
struct TADblPunto {
    double X = 0.0;
    double Y = 0.0;
};

// Stateless measures of one segment.
class TSpan {
public:
    // Signed sweep of the arc from start to vertex, positive counter-
    // clockwise, in [-2 pi, 2 pi]; 0 for a line and for an arc whose start
    // and end tangents coincide.
    static double ArcSweep(const TVector2D& start, const TAVertice& vertex);
    // The segment's share of the curve's signed area (shoelace with the
    // arc's sector added); a counter-clockwise closed curve sums negative.
    static double SegmentArea(const TVector2D& start, const TAVertice& vertex);
};

// Widens the box by the segment: its end points and, for an arc, every
// axis extreme of its circle that the arc passes in its direction of travel.
void ExtendBoxBySegment(const TVector2D& start, const TAVertice& vertex, TABox& box);
