#include "cam/curves/Span.h"

#include "core/geometry/Geometry.h"
#include "core/geometry/Vertice.h"

#include <cmath>

void TABox::AddPoint(const TVector2D& p)
{
    if (!Valid) {
        MinX = MaxX = p.X;
        MinY = MaxY = p.Y;
        Valid = 1;
        return;
    }
    if (p.X < MinX) MinX = p.X;
    if (p.X > MaxX) MaxX = p.X;
    if (p.Y < MinY) MinY = p.Y;
    if (p.Y > MaxY) MaxY = p.Y;
}

namespace {

// Unit tangent of a counter-clockwise circle about O at P.
TVector2D UnitTangentCCW(const TVector2D& o, const TVector2D& p)
{
    return NormalizeVector2D({-(p.Y - o.Y), p.X - o.X});
}

// 0: X > 0 and Y > 0; 1: X <= 0 and Y > 0; 2: X <= 0 and Y <= 0; 3: X > 0 and Y <= 0.
int Quadrant(const TVector2D& v)
{
    if (v.Y > 0.0) {
        return v.X > 0.0 ? 0 : 1;
    }
    return v.X > 0.0 ? 3 : 2;
}

} // namespace

double TSpan::ArcSweep(const TVector2D& start, const TAVertice& vertex)
{
    if (vertex.Kind == 0) {
        return 0.0;
    }
    TVector2D t1 = UnitTangentCCW(vertex.Centre, start);
    TVector2D t2 = UnitTangentCCW(vertex.Centre, vertex.EndPoint);
    if (vertex.Kind < 0) {
        t1 = {-t1.X, -t1.Y};
        t2 = {-t2.X, -t2.Y};
    }
    const double k = DotProduct2D(t1, t2);
    double angle;
    if (k > 0.9999999999) {
        angle = 0.0;
    } else if (k < -0.9999999999) {
        angle = M_PI;
    } else {
        angle = std::acos(k);
        if (CrossProduct2D(t1, t2) * vertex.Kind < 0.0) {
            angle = kTwoPi - angle;
        }
    }
    return vertex.Kind * angle;
}

double TSpan::SegmentArea(const TVector2D& p, const TAVertice& vertex)
{
    const TVector2D& v = vertex.EndPoint;
    if (vertex.Kind == 0) {
        return (v.X - p.X) * 0.5 * (p.Y + v.Y);
    }
    const TVector2D& o = vertex.Centre;
    const double r = DistanceVector2D(v, o);
    const double s = ArcSweep(p, vertex);
    return ((o.X - p.X) * (o.Y + p.Y) - (o.X - v.X) * (o.Y + v.Y) - r * r * s) * 0.5;
}

void ExtendBoxBySegment(const TVector2D& start, const TAVertice& vertex, TABox& box)
{
    box.AddPoint(start);
    box.AddPoint(vertex.EndPoint);
    if (vertex.Kind == 0) {
        return;
    }
    const TVector2D& o = vertex.Centre;
    const double r = DistanceVector2D(vertex.EndPoint, o);
    const TVector2D extremes[4] = {{o.X, o.Y + r}, {o.X - r, o.Y}, {o.X, o.Y - r}, {o.X + r, o.Y}};
    const TVector2D vs = SubtractVectors2D(start, o);
    const TVector2D ve = SubtractVectors2D(vertex.EndPoint, o);
    // Walk counter-clockwise from the quadrant `from` to the quadrant `to`.
    int from = Quadrant(vs);
    int to = Quadrant(ve);
    // A clockwise arc covers the same points as the counter-clockwise arc
    // from its end to its start.
    double cross = CrossProduct2D(vs, ve);
    if (vertex.Kind < 0) {
        std::swap(from, to);
        cross = -cross;
    }
    if (from == to) {
        // Within one quadrant the arc either stays there or goes all round.
        // Coincident start and end (a whole circle) counts as all round.
        const bool allRound = cross < 0.0 || (cross == 0.0 && DotProduct2D(vs, ve) > 0.0);
        if (allRound) {
            for (const TVector2D& e : extremes) {
                box.AddPoint(e);
            }
        }
        return;
    }
    for (int q = from; q != to; q = (q + 1) % 4) {
        box.AddPoint(extremes[q]);
    }
}
