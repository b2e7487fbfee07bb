#include "core/geometry/VectorHelpers.h"

#include "core/geometry/Matrix4.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

int32_t RoundToInt32(double value)
{
    // Through single precision, as screen positions always were; the
    // clamping keeps a wild coordinate from an undefined conversion.
    const float r = std::nearbyint(static_cast<float>(value));
    if (std::isnan(r))
        return 0;
    if (r >= 2147483648.0f)
        return std::numeric_limits<int32_t>::max();
    if (r < -2147483648.0f)
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

} // namespace

double RadiansToDegrees(double a) { return a * 180.0 / std::numbers::pi; }

double DistancePoint2D(const TPoint2D& a, const TPoint2D& b) { return VectorLength2D(VectorFromPoints2D(a, b)); }

TIntPoint Point2DToIntPoint(const TPoint2D& p)
{
    const TPoint2D c = CartesianPoint2D(p);
    return TIntPoint{RoundToInt32(c.X), RoundToInt32(c.Y)};
}

TPoint2D TransformPoint2D3x3(const TPoint2D& p, const TTransform2D& t)
{
    return TPoint2D{p.X * t.T[0][0] + p.Y * t.T[1][0] + p.W * t.T[2][0],
                    p.X * t.T[0][1] + p.Y * t.T[1][1] + p.W * t.T[2][1],
                    p.X * t.T[0][2] + p.Y * t.T[1][2] + p.W * t.T[2][2]};
}

TTransform2D RotationTransform2D(double a)
{
    TTransform2D t;
    t.T[0][0] = std::cos(a);
    t.T[0][1] = std::sin(a);
    t.T[1][0] = -std::sin(a);
    t.T[1][1] = std::cos(a);
    return t;
}

TRect2D EnlargeRect2D(const TRect2D& r, double margin)
{
    const TPoint2D a = CartesianPoint2D(r.FirstEdge);
    const TPoint2D b = CartesianPoint2D(r.SecondEdge);
    return TRect2D{TPoint2D{a.X - margin, a.Y - margin, 1.0}, TPoint2D{b.X + margin, b.Y + margin, 1.0}};
}

int RectOutcode(const TRect2D& r, const TPoint2D& p)
{
    int code = 0;
    if (p.X < r.FirstEdge.X)
        code |= kOutLeft;
    else if (p.X > r.SecondEdge.X)
        code |= kOutRight;
    if (p.Y < r.FirstEdge.Y)
        code |= kOutBottom;
    else if (p.Y > r.SecondEdge.Y)
        code |= kOutTop;
    return code;
}

bool PointInRect2D(const TPoint2D& p, const TRect2D& r) { return RectOutcode(r, p) == 0; }

bool IntRectInsideIntRect(const TIntRect& a, const TIntRect& b)
{
    return a.Left >= b.Left && a.Left <= b.Right && a.Right >= b.Left && a.Right <= b.Right && a.Top >= b.Top &&
           a.Top <= b.Bottom && a.Bottom >= b.Top && a.Bottom <= b.Bottom;
}

int IndexOfMinValue(std::span<const double> values)
{
    int best = -1;
    for (size_t i = 0; i < values.size(); ++i) {
        if (std::isnan(values[i]))
            continue;
        if (best < 0 || values[i] < values[static_cast<size_t>(best)])
            best = static_cast<int>(i);
    }
    return best;
}

void TransformArcAngles(const TPoint2D& centre, const TMatrix4& m, double& startAngle, double& endAngle,
                        double radius)
{
    const TPoint2D c = CartesianPoint2D(centre);
    const TPoint2D mc = CartesianPoint2D(m.TransformPoint2D(c));
    auto mapped = [&](double angle) {
        const TPoint2D p{c.X + radius * std::cos(angle), c.Y + radius * std::sin(angle), 1.0};
        const TPoint2D q = CartesianPoint2D(m.TransformPoint2D(p));
        return std::atan2(q.Y - mc.Y, q.X - mc.X);
    };
    const double start = mapped(startAngle);
    const double end = mapped(endAngle);
    startAngle = start;
    endAngle = end;
}
