#pragma once
// What the circular arc (TArco2D) and the elliptical arc (TEllipseOpen2D)
// share: both keep a start and an end angle beside control points 2 and 3,
// and both draw their profile as an angle sweep about a centre.

#include "core/geometry/PointsSet.h"

#include <algorithm>
#include <cmath>
#include <functional>

class TGraphicObject;

// The value the angle fields start at in a constructor: no caller passes
// it, so the angle setters there always act.
inline constexpr double kUnsetCurveAngle = 999.123;

// Keeps the set's events disabled for its lifetime, then restores them.
class TQuietPoints {
public:
    explicit TQuietPoints(TPointsSet2D& points) : m_Points(points), m_Was(points.DisableEvents())
    {
        m_Points.SetDisableEvents(true);
    }
    ~TQuietPoints() { m_Points.SetDisableEvents(m_Was); }
    TQuietPoints(const TQuietPoints&) = delete;
    TQuietPoints& operator=(const TQuietPoints&) = delete;

private:
    TPointsSet2D& m_Points;
    bool m_Was;
};

// Adds n + 1 points to profile: the sweep from startAngle to endAngle
// (radians, growing; an end angle at or below the start goes on through a
// full turn) in n equal steps, the last point exactly at endAngle, on the
// ellipse with half axes a and b about (cx, cy). Clockwise, the angles are
// measured the other way round (y mirrored about cy). n must be positive.
void AddAngleSweep(TPointsSet2D& profile, int n, double startAngle, double endAngle, double cx, double cy, double a,
                   double b, bool counterClockwise);

// The points AddAngleSweep adds, one at a time: Point(k) for k = 0 .. n is
// the point it adds k-th, computed the same way (so equal to the last bit).
class TAngleSweep {
public:
    TAngleSweep(int n, double startAngle, double endAngle, double cx, double cy, double a, double b,
                bool counterClockwise);
    int Segments() const { return m_N; }
    double Start() const { return m_Start; }
    double Step() const { return m_Step; }
    TPoint2D Point(int k) const;

private:
    int m_N;
    double m_Start, m_End, m_Step, m_Sign, m_Cx, m_Cy, m_A, m_B;
};

// The box of the points point(0) .. point(n) of a curve sampled at growing
// angles start + k x step (the last sample may stand closer), where x goes
// with the cosine and y with the sine of the angle: equal to the box of all
// n + 1 points, but found from the two ends and the samples next to each
// quarter turn the sweep passes (only there can a coordinate turn back).
// Samples so dense that rounding could blur which one is farthest are all
// visited.
template <class TPointAt>
TRect2D SampledSweepBox(int n, double start, double step, TPointAt point)
{
    constexpr double quarter = 1.5707963267948966;
    TRect2D box{point(0), point(0)};
    const auto take = [&](int k) {
        const TPoint2D p = point(k);
        box.FirstEdge.X = std::min(box.FirstEdge.X, p.X);
        box.FirstEdge.Y = std::min(box.FirstEdge.Y, p.Y);
        box.SecondEdge.X = std::max(box.SecondEdge.X, p.X);
        box.SecondEdge.Y = std::max(box.SecondEdge.Y, p.Y);
    };
    const double sweep = step * n;
    if (n <= 8 || !(step > 1e-6) || !(sweep <= 7.0) || !(std::fabs(start) < 1e6)) {
        for (int k = 1; k <= n; ++k)
            take(k);
        return box;
    }
    take(n);
    const double first = std::ceil((start - step) / quarter);
    const double last = std::floor((start + sweep + step) / quarter);
    for (double m = first; m <= last; ++m) {
        const long nearest = std::lround((m * quarter - start) / step);
        for (long k = std::max(0L, nearest - 1); k <= std::min<long>(n, nearest + 1); ++k)
            take(static_cast<int>(k));
    }
    return box;
}

// The Assign branch shared by both arcs for a closed source: when source is
// an ellipse or a frame, its box corners (control points 0 and 1) become
// the arc's and the arc becomes the full turn from angle 0 (startAngle 0,
// endAngle 2 pi); when the arc had only the two corners, its two angle
// points are added and placed at angle 0 by placeAnglePoint(index, angle),
// where the next profile computation measures the angles from. Returns
// false, changing nothing, for any other source.
bool AssignFullTurnFromClosedCurve(TPointsSet2D& points, const TGraphicObject& source, double& startAngle,
                                   double& endAngle, const std::function<void(int, double)>& placeAnglePoint);
