#include "tests/cad/EntityAssertions.h"

#include "core/geometry/Geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <sstream>

namespace kbtest {

TPoint2D Shown(const TPrimitive2D& entity, int index)
{
    return CartesianPoint2D(entity.GetModelTransform().TransformPoint2D(entity.Points().Get(index)));
}

std::vector<TVector2D> ShownPoints(const TPrimitive2D& entity)
{
    std::vector<TVector2D> points;
    const TMatrix4 m = entity.GetModelTransform();
    for (const TPoint2D& p : entity.Points().Points()) {
        const TPoint2D q = CartesianPoint2D(m.TransformPoint2D(CartesianPoint2D(p)));
        points.push_back({q.X, q.Y});
    }
    return points;
}

::testing::AssertionResult IsAt(const TVector2D& p, double x, double y, double tol)
{
    if (std::fabs(p.X - x) <= tol && std::fabs(p.Y - y) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << p.X << ", " << p.Y << ") is not (" << x << ", " << y << ")";
}

::testing::AssertionResult IsAt(const TPoint2D& p, double x, double y, double tol)
{
    return IsAt(TVector2D{p.X, p.Y}, x, y, tol);
}

::testing::AssertionResult HasPoints(const TPrimitive2D& entity, const std::vector<TVector2D>& expected, double tol)
{
    const std::vector<TVector2D> shown = ShownPoints(entity);
    std::ostringstream text;
    for (const TVector2D& p : shown)
        text << " (" << p.X << ", " << p.Y << ")";
    if (shown.size() != expected.size())
        return ::testing::AssertionFailure() << entity.ClassName() << " has" << text.str();
    for (size_t i = 0; i < shown.size(); ++i) {
        if (!IsAt(shown[i], expected[i].X, expected[i].Y, tol))
            return ::testing::AssertionFailure() << entity.ClassName() << " has" << text.str();
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsArc(const TArco2D& arc, double cx, double cy, double r, double startDeg, double endDeg,
                                 double tol)
{
    const TArcInfo2D info = arc.GetArcInfo();
    const double toDeg = 180.0 / std::numbers::pi;
    const auto sameAngle = [&](double a, double deg) {
        double d = std::fmod(std::fabs(a * toDeg - deg), 360.0);
        return std::min(d, 360.0 - d) <= tol * toDeg / std::max(r, 1.0) + 1e-7;
    };
    if (IsAt(info.Centre, cx, cy, tol) && std::fabs(info.Radius - r) <= tol && sameAngle(info.StartAngle, startDeg) &&
        sameAngle(info.EndAngle, endDeg))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "arc about (" << info.Centre.X << ", " << info.Centre.Y << ") r "
                                         << info.Radius << " from " << info.StartAngle * toDeg << " to "
                                         << info.EndAngle * toDeg << " degrees";
}

} // namespace kbtest
