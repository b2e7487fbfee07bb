#include "app/mainwin/PointPatterns.h"

#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/Punto2D.h"
#include "core/geometry/VectorHelpers.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double DegToRad = std::numbers::pi / 180.0;

// The truncated count; 0 below 1 (and for what is not a number).
double Count(double value)
{
    const double n = std::trunc(value);
    return n >= 1.0 ? n : 0.0;
}

TPoint2D Rotated(double x, double y, const TTransform2D& rotation)
{
    return TransformPoint2D3x3(MakePoint2D(x, y), rotation);
}

// The lower-left corner of the grid's box by the quadrant of the angle
// (radians, 0 to 2 pi): the grid spans a along the angle and b across it.
TPoint2D GridBasePoint(double angle, double a, double b)
{
    const TTransform2D rotation = RotationTransform2D(angle);
    if (angle <= std::numbers::pi / 2.0)
        return MakePoint2D(Rotated(0.0, b, rotation).X, 0.0);
    if (angle <= std::numbers::pi)
        return MakePoint2D(Rotated(a, b, rotation).X, Rotated(0.0, b, rotation).Y);
    if (angle <= 1.5 * std::numbers::pi)
        return MakePoint2D(Rotated(a, 0.0, rotation).X, Rotated(a, b, rotation).Y);
    return MakePoint2D(0.0, Rotated(a, 0.0, rotation).Y);
}

} // namespace

double GridAngleDeg(double angleDeg)
{
    if (angleDeg < -360.0 || angleDeg > 360.0)
        angleDeg = std::fmod(angleDeg, 360.0);
    if (angleDeg < 0.0)
        angleDeg += 360.0;
    return angleDeg;
}

std::unique_ptr<TContainer2D> PointGridContainer(const TPointGridRows& rows)
{
    const double columns = Count(rows.Columns);
    const double lines = Count(rows.Rows);
    if (columns * lines > MaxPatternPoints)
        return nullptr;
    const double angle = GridAngleDeg(rows.AngleDeg) * DegToRad;
    const double across = angle + std::numbers::pi / 2.0;

    std::vector<std::unique_ptr<TObject2D>> points;
    points.reserve(static_cast<size_t>(columns * lines));
    for (int j = 0; j < static_cast<int>(lines); ++j) {
        // The row offset in single precision, as the grid has always been laid out.
        const float offsetX = static_cast<float>(j * rows.StepY * std::cos(across));
        const float offsetY = static_cast<float>(j * rows.StepY * std::sin(across));
        for (int i = 0; i < static_cast<int>(columns); ++i) {
            const double along = i * rows.StepX;
            points.push_back(std::make_unique<TPunto2D>(
                -1, MakePoint2D(std::cos(angle) * along + offsetX, std::sin(angle) * along + offsetY)));
        }
    }
    auto container = std::make_unique<TContainer2D>(-1, std::move(points));
    const TPoint2D base = GridBasePoint(angle, (columns - 1.0) * rows.StepX, (lines - 1.0) * rows.StepY);
    container->SetBasePoint(base.X, base.Y);
    return container;
}

std::unique_ptr<TContainer2D> BoltCircleContainer(const TBoltCircleRows& rows)
{
    const double count = Count(rows.Count);
    if (count > MaxPatternPoints)
        return nullptr;
    const double stepDeg = rows.StepDeg < 0.0 ? rows.StepDeg + 360.0 : rows.StepDeg;
    const float step = static_cast<float>(stepDeg * DegToRad);
    float angle = static_cast<float>(rows.StartDeg * DegToRad);

    std::vector<std::unique_ptr<TObject2D>> objects;
    for (int n = 0; n < static_cast<int>(count); ++n) {
        const double b = angle;
        const TPoint2D p = MakePoint2D(rows.Radius * std::cos(b), rows.Radius * std::sin(b));
        objects.push_back(std::make_unique<TPunto2D>(-1, p));
        if (rows.HoleDiameter > 0.0)
            objects.push_back(
                std::make_unique<TCerchio2D>(-1, p, MakePoint2D(p.X + rows.HoleDiameter / 2.0, p.Y)));
        angle += step;
    }
    auto container = std::make_unique<TContainer2D>(-1, std::move(objects));
    const TPoint2D corner = container->Box().FirstEdge;
    container->SetBasePoint(corner.X, corner.Y);
    return container;
}
