#include "core/geometry/ArcGeometry.h"

#include "core/settings/AppConfig.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/PointsSet.h"

#include <cmath>

namespace {

// The literal bound on the segments of one arc; the "MaxCurveSeg" setting
// does not apply here.
constexpr double kMaxArcSegments = 200.0;

// Polar angle of v in [0, 2 pi).
double PositiveAngle(const TVector2D& v)
{
    const double a = std::atan2(v.Y, v.X);
    return a < 0.0 ? a + kTwoPi : a;
}

// Number of chords for the sweep at radius r within the tolerance. The
// largest angle whose chord stays within tol of the arc is 2 acos((r - tol) / r);
// when that is not a number (r = 0, or r < tol / 2) one chord is enough to
// describe the arc. Computed in double so that infinities and NaN never
// reach an integer conversion.
int SegmentCount(double sweep, double r, double tol)
{
    const double h = 2.0 * std::acos((r - tol) / r);
    const double n = std::ceil(std::fabs(sweep) / h);
    if (!(n > 1.0))
        return 1; // also NaN
    if (n > kMaxArcSegments)
        return static_cast<int>(kMaxArcSegments);
    return static_cast<int>(n);
}

} // namespace

TArcInfo2D ArcInfoFromGeometry(const TArcGeometry2D& g)
{
    return TArcInfo2D{{g.StartPoint.X, g.StartPoint.Y}, {g.EndPoint.X, g.EndPoint.Y}, {g.Centre.X, g.Centre.Y},
                      g.Radius, g.StartAngle, g.EndAngle, g.Sweep};
}

TArrayOfPoint2d ArcToPointsTol(const TVector2D& centre, const TVector2D& start, const TVector2D& end, bool clockwise,
                               double tolerance)
{
    const TVector2D s = SubtractVectors2D(start, centre);
    const TVector2D e = SubtractVectors2D(end, centre);
    const double aS = PositiveAngle(s);
    const double aE = PositiveAngle(e);
    // Signed sweep: positive clockwise in [0, 2 pi), negative
    // counter-clockwise in (-2 pi, 0]; equal angles sweep 0.
    double sweep;
    if (clockwise)
        sweep = aE <= aS ? aS - aE : aS + (kTwoPi - aE);
    else
        sweep = aS <= aE ? -(aE - aS) : -(aE + (kTwoPi - aS));

    const double r = VectorLength2D(e);
    const int n = SegmentCount(sweep, r, tolerance);
    const double step = sweep / n;

    TArrayOfPoint2d points(static_cast<size_t>(n));
    TVector2D current = s;
    for (int k = 0; k < n; ++k) {
        const double a = std::atan2(current.Y, current.X) - step;
        current = TVector2D{r * std::cos(a), r * std::sin(a)};
        points[static_cast<size_t>(k)] = TPoint2D{centre.X + current.X, centre.Y + current.Y, 1.0};
    }
    return points;
}

TArrayOfPoint2d ArcToPoints(const TVector2D& centre, const TVector2D& start, const TVector2D& end, bool clockwise)
{
    return ArcToPointsTol(centre, start, end, clockwise, AppConfig().SimulTol);
}

std::unique_ptr<TPointsSet2D> ArcToPointsSet(const TVector2D& centre, const TVector2D& start, const TVector2D& end,
                                             bool clockwise, double tolerance)
{
    const TArrayOfPoint2d points = ArcToPointsTol(centre, start, end, clockwise, tolerance);
    auto set = std::make_unique<TPointsSet2D>(static_cast<int>(points.size()));
    for (const TPoint2D& p : points)
        set->Add(p);
    return set;
}

TVector2D ClosestPointOnArcDir(const TVector2D& centre, const TVector2D& start, const TVector2D& end,
                               const TVector2D& p, double radius, double direction)
{
    const TVector2D s = SubtractVectors2D(start, centre);
    const TVector2D e = SubtractVectors2D(end, centre);
    const TVector2D d = SubtractVectors2D(p, centre);
    // For P at the centre this is not a number, the side test below fails
    // and the nearer end point is taken.
    const TVector2D projection = ScaleVector2D(d, radius / VectorLength2D(d));
    const TVector2D chord = direction >= 0.0 ? SubtractVectors2D(e, s) : SubtractVectors2D(s, e);
    // The arc lies on the right of its directed chord.
    if (CrossProduct2D(SubtractVectors2D(projection, s), chord) >= 0.0)
        return AddVectors2D(projection, centre);
    return DistanceVector2D(p, start) < DistanceVector2D(p, end) ? start : end;
}

TVector2D ClosestPointOnArc(const TVector2D& centre, const TVector2D& start, const TVector2D& end,
                            const TVector2D& p)
{
    return ClosestPointOnArcDir(centre, start, end, p, DistanceVector2D(start, centre), 1.0);
}
