#pragma once
// What the circular arc (TArco2D) and the elliptical arc (TEllipseOpen2D)
// share: both keep a start and an end angle beside control points 2 and 3,
// and both draw their profile as an angle sweep about a centre.

#include "core/geometry/PointsSet.h"

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

// The Assign branch shared by both arcs for a closed source: when source is
// an ellipse or a frame, its box corners (control points 0 and 1) become
// the arc's and the arc becomes the full turn from angle 0 (startAngle 0,
// endAngle 2 pi); when the arc had only the two corners, its two angle
// points are added and placed at angle 0 by placeAnglePoint(index, angle),
// where the next profile computation measures the angles from. Returns
// false, changing nothing, for any other source.
bool AssignFullTurnFromClosedCurve(TPointsSet2D& points, const TGraphicObject& source, double& startAngle,
                                   double& endAngle, const std::function<void(int, double)>& placeAnglePoint);
