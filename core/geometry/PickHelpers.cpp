#include "core/geometry/PickHelpers.h"

#include "core/geometry/Matrix4.h"

#include <cmath>
#include <vector>

namespace {

std::vector<TPoint2D> MappedPoints(std::span<const TPoint2D> points, const TMatrix4& m)
{
    std::vector<TPoint2D> mapped;
    mapped.reserve(points.size());
    for (const TPoint2D& q : points)
        mapped.push_back(CartesianPoint2D(m.TransformPoint2D(q)));
    return mapped;
}

} // namespace

bool PointNearPoint(const TPoint2D& p, const TPoint2D& q, double& distance, double aperture)
{
    const TPoint2D a = CartesianPoint2D(p);
    const TPoint2D b = CartesianPoint2D(q);
    if (b.X >= a.X - aperture && b.X <= a.X + aperture && b.Y >= a.Y - aperture && b.Y <= a.Y + aperture) {
        distance = std::hypot(b.X - a.X, b.Y - a.Y);
        return true;
    }
    distance = kNoPickDistance;
    return false;
}

bool DistancePointToSegment(const TPoint2D& p, const TPoint2D& a, const TPoint2D& b, double& distance)
{
    distance = kNoPickDistance;
    const double abX = b.X - a.X;
    const double abY = b.Y - a.Y;
    const double lengthSqr = abX * abX + abY * abY;
    if (lengthSqr == 0.0)
        return false;
    const double apX = p.X - a.X;
    const double apY = p.Y - a.Y;
    const double t = (apX * abX + apY * abY) / lengthSqr;
    if (!(t >= 0.0 && t <= 1.0))
        return false;
    distance = std::abs(abX * apY - abY * apX) / std::sqrt(lengthSqr);
    return true;
}

bool RayCrossesEdge(const TPoint2D& p, const TPoint2D& a, const TPoint2D& b)
{
    if ((a.Y <= p.Y) == (b.Y <= p.Y))
        return false;
    // Exactly one end is at or below p.Y, so the edge is not horizontal.
    const double x = a.X + (p.Y - a.Y) * (b.X - a.X) / (b.Y - a.Y);
    return p.X <= x;
}

int PickPolyline(std::span<const TPoint2D> points, const TPoint2D& p, bool closed, const TMatrix4& m,
                 double aperture, double& distance)
{
    distance = kNoPickDistance;
    if (points.empty())
        return kPickNothing;
    const TPoint2D pick = CartesianPoint2D(p);
    const std::vector<TPoint2D> q = MappedPoints(points, m);
    const size_t n = q.size();
    int result = kPickNothing;
    double best = aperture;
    auto test = [&](const TPoint2D& a, const TPoint2D& b) {
        double d = 0.0;
        if (DistancePointToSegment(pick, a, b, d) && d <= best) {
            best = d;
            distance = d;
            result = kPickEdge;
        }
    };
    for (size_t i = 0; i + 1 < n; ++i)
        test(q[i], q[i + 1]);
    if (closed)
        test(q[n - 1], q[0]);
    return result;
}

int PickPolygon(std::span<const TPoint2D> points, const TPoint2D& p, const TMatrix4& m, double aperture,
                double& distance)
{
    if (points.empty()) {
        distance = kNoPickDistance;
        return kPickNothing;
    }
    distance = aperture;
    const TPoint2D pick = CartesianPoint2D(p);
    const std::vector<TPoint2D> q = MappedPoints(points, m);
    const size_t n = q.size();
    int result = kPickNothing;
    int crossings = 0;
    for (size_t i = 0; i < n; ++i) {
        const TPoint2D& a = q[i];
        const TPoint2D& b = q[(i + 1) % n];
        double d = 0.0;
        if (DistancePointToSegment(pick, a, b, d) && d <= distance) {
            distance = d;
            if (!(aperture <= d))
                result = kPickEdge;
        } else if (RayCrossesEdge(pick, a, b)) {
            ++crossings;
        }
    }
    if (result == kPickNothing) {
        if (crossings % 2 == 1) {
            distance = aperture;
            return kPickInside;
        }
        distance = kNoPickDistance;
    }
    return result;
}
