#include "core/geometry/ArcIntersections.h"

#include "core/entities/Arco2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"

#include <algorithm>
#include <cmath>

bool IsOnArc(const TArcInfo2D& arc, const TVector2D& h)
{
    return CrossProduct2D(SubtractVectors2D(h, arc.StartPoint), SubtractVectors2D(arc.EndPoint, arc.StartPoint)) >=
           0.0;
}

void IntersectLineWithArc(const TVector2D& p1, const TVector2D& p2, const TArcInfo2D& arc, bool segmentOnly,
                          std::vector<TVector2D>& list)
{
    if (p1.X == p2.X && p1.Y == p2.Y)
        return; // no line to follow
    // Turn everything about the centre so that the line runs horizontally at
    // height y0; the circle then meets it at x = +-sqrt(r^2 - y0^2).
    const double g = AngleOf2PointsSigned(p1, p2);
    const auto local = [&](const TVector2D& v) { return RotateVector2D(SubtractVectors2D(v, arc.Centre), -g); };
    TArcInfo2D turned = arc;
    turned.StartPoint = local(arc.StartPoint);
    turned.EndPoint = local(arc.EndPoint);
    turned.Centre = TVector2D{};
    const TVector2D q1 = local(p1);
    const TVector2D q2 = local(p2);
    const double y0 = q1.Y;
    const double r = arc.Radius;

    TVector2D candidates[2];
    int count = 0;
    if (IsSameValue(r, std::fabs(y0))) {
        candidates[count++] = TVector2D{0.0, y0};
    } else if (std::fabs(y0) < r) {
        const double h = std::sqrt(r * r - y0 * y0);
        candidates[count++] = TVector2D{h, y0};
        candidates[count++] = TVector2D{-h, y0};
    }
    for (int i = 0; i < count; ++i) {
        const TVector2D& c = candidates[i];
        if (!IsOnArc(turned, c))
            continue;
        if (segmentOnly && !IsProjectionOnSegment(q1, q2, c))
            continue;
        list.push_back(AddVectors2D(RotateVector2D(c, g), arc.Centre));
    }
}

void IntersectCircles(const TArcInfo2D& arc1, const TArcInfo2D& arc2, bool arcsOnly, std::vector<TVector2D>& list)
{
    const TVector2D c = SubtractVectors2D(arc2.Centre, arc1.Centre); // C2 relative to C1
    const double r1 = arc1.Radius;
    const double r2 = arc2.Radius;
    const double d2 = c.X * c.X + c.Y * c.Y;
    const double outer = (r1 + r2) * (r1 + r2);
    const double inner = (r1 - r2) * (r1 - r2);

    // Tangency is tested before the strict range test so that circles that
    // touch within the tolerance give their point from either side.
    TVector2D candidates[2];
    int count = 0;
    if (IsSameValue(d2, outer)) {
        if (r1 + r2 > 0.0)
            candidates[count++] = ScaleVector2D(c, r1 / (r1 + r2));
    } else if (IsSameValue(d2, inner)) {
        // Equal radii: concentric or coincident circles, no single point.
        if (!IsSameValue(inner, 0.0))
            candidates[count++] = ScaleVector2D(c, r1 / (r1 - r2));
    } else if (d2 > outer || d2 < inner) {
        return;
    } else {
        const double a = std::atan2(c.Y, c.X);
        const double d = std::sqrt(d2);
        const double x = ((r1 * r1 - r2 * r2) / d + d) / 2.0;
        const double h = std::sqrt(std::max(0.0, r1 * r1 - x * x));
        candidates[count++] = RotateVector2D(TVector2D{x, h}, a);
        candidates[count++] = RotateVector2D(TVector2D{x, -h}, a);
    }

    for (int i = 0; i < count; ++i) {
        const TVector2D p = AddVectors2D(candidates[i], arc1.Centre);
        if (arcsOnly) {
            if (!IsOnArc(arc1, p) || !IsOnArc(arc2, p))
                continue;
            if (IsSameVector2D(p, arc1.StartPoint) || IsSameVector2D(p, arc1.EndPoint) ||
                IsSameVector2D(p, arc2.StartPoint) || IsSameVector2D(p, arc2.EndPoint))
                continue;
        }
        list.push_back(p);
    }
}

namespace {

// Control points 0 and 1 of the object in drawing coordinates; false when a
// damaged record left it without them.
bool LineEnds(const TPrimitive2D& object, TVector2D& p1, TVector2D& p2)
{
    if (object.Points().Count() < 2)
        return false;
    p1 = ObjectPointToDrawing(object.Points().Get(0), object);
    p2 = ObjectPointToDrawing(object.Points().Get(1), object);
    return true;
}

} // namespace

void IntersectSegmentArc(const TLine2D& line, const TArco2D& arc, std::vector<TVector2D>& list)
{
    TVector2D p1, p2;
    if (LineEnds(line, p1, p2))
        IntersectLineWithArc(p1, p2, arc.GetArcInfo(), true, list);
}

void IntersectLineArc(const TPrimitive2D& object, const TArco2D& arc, std::vector<TVector2D>& list)
{
    TVector2D p1, p2;
    if (LineEnds(object, p1, p2))
        IntersectLineWithArc(p1, p2, arc.GetArcInfo(), false, list);
}

void IntersectArcArc(const TArco2D& arc1, const TArco2D& arc2, std::vector<TVector2D>& list)
{
    IntersectCircles(arc1.GetArcInfo(), arc2.GetArcInfo(), true, list);
}

void IntersectCircleCircle(const TArco2D& arc1, const TArco2D& arc2, std::vector<TVector2D>& list)
{
    IntersectCircles(arc1.GetArcInfo(), arc2.GetArcInfo(), false, list);
}

int IntersectSegmentsXY(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                        double& x, double& y)
{
    const TVector2D p1{x1, y1}, p2{x2, y2}, p3{x3, y3}, p4{x4, y4};
    if (IsSameVector2D(p1, p3) || IsSameVector2D(p2, p3) || IsSameVector2D(p1, p4) || IsSameVector2D(p2, p4))
        return 0;
    if (std::max(x1, x2) < std::min(x3, x4) || std::max(x3, x4) < std::min(x1, x2))
        return 0;
    if (std::max(y1, y2) < std::min(y3, y4) || std::max(y3, y4) < std::min(y1, y2))
        return 0;

    const double ax = x2 - x1, ay = y2 - y1;
    const double bx = x3 - x4, by = y3 - y4;
    const double cx = x1 - x3, cy = y1 - y3;
    const double f = ay * bx - ax * by;
    const double d = by * cx - bx * cy; // f times the parameter along segment 1
    const double e = ax * cy - ay * cx; // f times the parameter along segment 2
    if (f > 0.0) {
        if (d < 0.0 || d > f || e < 0.0 || e > f)
            return 0;
    } else {
        // For f = 0 only exactly collinear segments pass.
        if (d > 0.0 || d < f || e > 0.0 || e < f)
            return 0;
    }
    if (IsDifferentValue(0.0, f)) {
        x = x1 + d / f * ax;
        y = y1 + d / f * ay;
        return 1;
    }
    // Parallel within the tolerance and overlapping: report a point of the
    // overlap, an end point of segment 2 that lies on segment 1, or else
    // segment 1's own start (segment 1 then lies within segment 2). An end
    // point of segment 2 beyond segment 1 is not a crossing.
    TVector2D q = p1;
    if (IsProjectionOnSegment(p1, p2, p3))
        q = p3;
    else if (IsProjectionOnSegment(p1, p2, p4))
        q = p4;
    x = q.X;
    y = q.Y;
    return 1;
}

std::optional<TVector2D> IntersectSegments(const TVector2D& p1, const TVector2D& p2, const TVector2D& p3,
                                           const TVector2D& p4)
{
    TVector2D q;
    if (IntersectSegmentsXY(p1.X, p1.Y, p2.X, p2.Y, p3.X, p3.Y, p4.X, p4.Y, q.X, q.Y) == 1)
        return q;
    return std::nullopt;
}

int CrossSegmentsXY(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                    double& x, double& y)
{
    return IntersectSegmentsXY(x1, y1, x2, y2, x3, y3, x4, y4, x, y);
}

std::optional<TVector2D> CrossSegments(const TVector2D& p1, const TVector2D& p2, const TVector2D& p3,
                                       const TVector2D& p4)
{
    return IntersectSegments(p1, p2, p3, p4);
}
