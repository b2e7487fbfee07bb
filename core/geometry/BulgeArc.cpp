#include "core/geometry/BulgeArc.h"

#include "core/geometry/Geometry.h"

#include <cmath>

std::optional<TBulgeArc> BulgeToArc(const TPoint2D& p1, const TPoint2D& p2, double bulge)
{
    // A damaged file may carry a bulge that is not finite: no arc then.
    if (!std::isfinite(bulge) || IsSameCoord(bulge, 0.0))
        return std::nullopt;
    const double x = (1.0 / bulge - bulge) / 2.0;
    TBulgeArc arc;
    arc.Centre = MakePoint2D((p1.X + p2.X - (p2.Y - p1.Y) * x) / 2.0, (p1.Y + p2.Y + x * (p2.X - p1.X)) / 2.0);
    arc.Radius = std::hypot(p1.X - arc.Centre.X, p1.Y - arc.Centre.Y);
    const TVector2D c{arc.Centre.X, arc.Centre.Y};
    const TVector2D a{p1.X, p1.Y};
    const TVector2D b{p2.X, p2.Y};
    if (bulge > 0.0) {
        arc.Direction = 3;
        arc.StartAngle = AngleOf2PointsSigned(c, a);
        arc.EndAngle = AngleOf2PointsSigned(c, b);
    } else {
        arc.Direction = 2;
        arc.StartAngle = AngleOf2PointsSigned(c, b);
        arc.EndAngle = AngleOf2PointsSigned(c, a);
    }
    return arc;
}

bool BulgeArcToPoints(const TPoint2D& p1, const TPoint2D& p2, double bulge, TArrayOfPoint2d& list)
{
    const std::optional<TBulgeArc> arc = BulgeToArc(p1, p2, bulge);
    if (!arc)
        return false;
    const double start = arc->StartAngle;
    const double end = arc->EndAngle;
    const double sweep = (start < end) ? end - start : end + kTwoPi - start;
    const double step = sweep / 51.0;
    auto at = [&](double angle) {
        return MakePoint2D(arc->Centre.X + arc->Radius * std::cos(angle), arc->Centre.Y + arc->Radius * std::sin(angle));
    };
    for (int k = 0; k < 50; ++k)
        list.push_back(bulge > 0.0 ? at(start + k * step) : at(end - k * step));
    list.push_back(bulge > 0.0 ? at(end) : at(start));
    return true;
}
