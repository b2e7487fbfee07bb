#include "core/geometry/Geometry.h"

#include "core/model/GraphicObject.h"
#include "core/geometry/Matrix4.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <cmath>
#include <utility>

// ---- Fuzzy comparisons ----------------------------------------------------

bool IsSameValueTol(double a, double b, double tol)
{
    const double d = a - b;
    return -tol <= d && d <= tol;
}

bool IsSameValue(double a, double b) { return IsSameValueTol(a, b, SystemTol()); }

bool IsSameCoord(double a, double b) { return IsSameValue(a, b); }

bool IsDifferentValueTol(double a, double b, double tol)
{
    const double d = a - b;
    return d < -tol || d > tol;
}

bool IsDifferentValue(double a, double b) { return IsDifferentValueTol(a, b, SystemTol()); }

bool IsGreaterOrSame(double a, double b) { return a > b || IsSameValue(a, b); }

bool IsSameVector2D(const TVector2D& a, const TVector2D& b)
{
    return IsSameValue(a.X, b.X) && IsSameValue(a.Y, b.Y);
}

bool IsSameVector2DTol(const TVector2D& a, const TVector2D& b, double tol)
{
    return IsSameValueTol(a.X, b.X, tol) && IsSameValueTol(a.Y, b.Y, tol);
}

bool IsSameVector3D(const TVector3D& a, const TVector3D& b)
{
    return IsSameValue(a.X, b.X) && IsSameValue(a.Y, b.Y) && IsSameValue(a.Z, b.Z);
}

bool IsSameVectorPoint2D(const TVector2D& v, const TPoint2D& p)
{
    return IsSameValue(v.X, p.X) && IsSameValue(v.Y, p.Y);
}

bool IsSamePoint2D(const TPoint2D& a, const TPoint2D& b)
{
    if (a.W != b.W) {
        const TPoint2D ca = CartesianPoint2D(a);
        const TPoint2D cb = CartesianPoint2D(b);
        return IsSameValue(ca.X, cb.X) && IsSameValue(ca.Y, cb.Y);
    }
    return IsSameValue(a.X, b.X) && IsSameValue(a.Y, b.Y);
}

bool ArePointsAligned(const TVector2D& a, const TVector2D& b, const TVector2D& c)
{
    return IsSameValueTol((b.X - a.X) * (c.Y - a.Y), (c.X - a.X) * (b.Y - a.Y), ChainTol());
}

int PointCircleRelation(const TVector2D& p, const TVector2D& centre, double radius)
{
    const double d2 = DistanceSqr2D(p.X, p.Y, centre.X, centre.Y);
    const double r2 = radius * radius;
    if (d2 < r2)
        return -1;
    return IsSameValue(r2, d2) ? 0 : 1;
}

// ---- Angles ----------------------------------------------------------------

double AngleOf2Points(const TVector2D& p1, const TVector2D& p2)
{
    const double a = std::atan2(p2.Y - p1.Y, p2.X - p1.X);
    return a < 0.0 ? a + kTwoPi : a;
}

double AngleOf2PointsSigned(const TVector2D& p1, const TVector2D& p2)
{
    return std::atan2(p2.Y - p1.Y, p2.X - p1.X);
}

double AngleOfXY(double x, double y) { return std::atan2(y, x); }

double ArcSweep(int direction, double startAngle, double endAngle)
{
    double sweep;
    if (direction == -1) {
        if (endAngle >= startAngle)
            startAngle += kTwoPi;
        sweep = startAngle - endAngle;
    } else if (direction == 1) {
        if (endAngle <= startAngle)
            endAngle += kTwoPi;
        sweep = endAngle - startAngle;
    } else {
        sweep = endAngle - startAngle;
    }
    if (sweep < 0.0)
        sweep += kTwoPi;
    return sweep;
}

double ArcSweepCW(bool clockwise, double startAngle, double endAngle)
{
    return ArcSweep(clockwise ? -1 : 1, startAngle, endAngle);
}

double NormalizeAngle(double angle)
{
    // Infinity would keep the subtraction loop below going for ever, as would
    // any value so large that subtracting 2 pi no longer changes it; such a
    // value is reduced with the exact remainder first.
    if (!std::isfinite(angle))
        return 0.0;
    constexpr double kLoopLimit = 1024.0 * kTwoPi;
    if (angle > kLoopLimit)
        angle = std::fmod(angle, kTwoPi);
    if (angle < 0.0)
        angle += kTwoPi;
    while (angle > kTwoPi || IsSameValue(kTwoPi, angle))
        angle -= kTwoPi;
    if (IsSameValue(angle, 0.0))
        angle += kTwoPi;
    return angle;
}

namespace {
// Rounding can push the cosine of parallel vectors just past +-1, where the
// arc cosine is not a number. Not-a-number itself passes through.
double ClampedArcCos(double cosine)
{
    if (cosine > 1.0)
        cosine = 1.0;
    else if (cosine < -1.0)
        cosine = -1.0;
    return std::acos(cosine);
}
} // namespace

double AngleBetweenVectors(const TVector2D& a, const TVector2D& b)
{
    const double e = std::sqrt((a.X * a.X + a.Y * a.Y) * (b.X * b.X + b.Y * b.Y));
    if (e == 0.0)
        return 0.0;
    return ClampedArcCos(DotProduct2D(a, b) / e);
}

double AngleBetweenVectorsRaw(const TVector2D& a, const TVector2D& b)
{
    const double la = std::sqrt(a.X * a.X + a.Y * a.Y);
    const double lb = std::sqrt(b.X * b.X + b.Y * b.Y);
    return ClampedArcCos(DotProduct2D(a, b) / (la * lb));
}

int QuadrantXY(double x, double y)
{
    if (x > 0.0 && y >= 0.0)
        return 1;
    if (x <= 0.0 && y > 0.0)
        return 2;
    if (x < 0.0 && y <= 0.0)
        return 3;
    if (x >= 0.0 && y < 0.0)
        return 4;
    return 0;
}

int QuadrantOfVector(const TVector2D& v) { return QuadrantXY(v.X, v.Y); }

// ---- Distances ---------------------------------------------------------------

double Distance2D(double x1, double y1, double x2, double y2)
{
    return std::sqrt(DistanceSqr2D(x1, y1, x2, y2));
}

double DistanceSqr2D(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    return dx * dx + dy * dy;
}

double DistanceVector2D(const TVector2D& a, const TVector2D& b) { return Distance2D(a.X, a.Y, b.X, b.Y); }

double DistanceXY(const TPoint2D& a, const TPoint2D& b) { return Distance2D(a.X, a.Y, b.X, b.Y); }

double DistanceVector3D(const TVector3D& a, const TVector3D& b)
{
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double dz = b.Z - a.Z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

int PickFarthestPoint(TVector2D& p, std::span<const TVector2D> points)
{
    if (points.empty())
        return -1;
    int best = 0;
    double bestDistance = 0.0;
    for (size_t i = 0; i < points.size(); ++i) {
        const double d = DistanceVector2D(p, points[i]);
        if (d > bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    p = points[static_cast<size_t>(best)];
    return best;
}

// ---- Lines and projections -------------------------------------------------

void LineCoefficients(const TVector2D& p1, const TVector2D& p2, double& a, double& b, double& k)
{
    a = p2.Y - p1.Y;
    b = p1.X - p2.X;
    k = p2.X * p1.Y - p1.X * p2.Y;
}

double SignedDistanceToLine(const TVector2D& p, double a, double b, double k)
{
    const double norm = std::sqrt(a * a + b * b);
    if (norm == 0.0)
        return 0.0;
    return (a * p.X + b * p.Y + k) / norm;
}

TVector2D FootOnLineABC(const TVector2D& p, double a, double b, double k)
{
    const double s = a * a + b * b;
    if (s == 0.0)
        return {0.0, 0.0};
    const double g = a * p.Y - b * p.X;
    return {(-a * k - b * g) / s, (a * g - b * k) / s};
}

bool IsProjectionOnSegment(const TVector2D& a, const TVector2D& b, const TVector2D& p)
{
    const TVector2D ab{b.X - a.X, b.Y - a.Y};
    const double t = DotProduct2D(ab, {p.X - a.X, p.Y - a.Y});
    return 0.0 <= t && t <= DotProduct2D(ab, ab);
}

void ClosestPointOnSegmentXY(double x1, double y1, double x2, double y2, double x, double y,
                             double& qx, double& qy)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double t = dx * (x - x1) + dy * (y - y1);
    if (t <= 0.0) {
        qx = x1;
        qy = y1;
        return;
    }
    const double len2 = dx * dx + dy * dy;
    if (len2 <= t) {
        qx = x2;
        qy = y2;
        return;
    }
    const double f = t / len2;
    qx = x1 + f * dx;
    qy = y1 + f * dy;
}

TVector2D ClosestPointOnSegment(const TVector2D& a, const TVector2D& b, const TVector2D& p)
{
    TVector2D q;
    ClosestPointOnSegmentXY(a.X, a.Y, b.X, b.Y, p.X, p.Y, q.X, q.Y);
    return q;
}

void FootOnLineXY(double x1, double y1, double x2, double y2, double x, double y,
                  double& qx, double& qy)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double len2 = dx * dx + dy * dy;
    // Two equal points define no line; the quotient would be not-a-number.
    if (len2 == 0.0) {
        qx = x1;
        qy = y1;
        return;
    }
    const double f = (dx * (x - x1) + dy * (y - y1)) / len2;
    qx = x1 + f * dx;
    qy = y1 + f * dy;
}

TVector2D MidPoint2D(const TVector2D& a, const TVector2D& b)
{
    return {(a.X + b.X) / 2.0, (a.Y + b.Y) / 2.0};
}

TVector2D PointTowards(const TVector2D& a, const TVector2D& b, double distance)
{
    const double len = DistanceVector2D(a, b);
    if (len == 0.0)
        return b;
    return {b.X + distance * (a.X - b.X) / len, b.Y + distance * (a.Y - b.Y) / len};
}

// ---- Side tests and products -------------------------------------------------

double DotProduct2D(const TVector2D& a, const TVector2D& b) { return a.X * b.X + a.Y * b.Y; }

double CrossProduct2D(const TVector2D& a, const TVector2D& b) { return a.X * b.Y - a.Y * b.X; }

bool IsOnRightSide(const TVector2D& a, const TVector2D& b, const TVector2D& p, int direction)
{
    const TVector2D ap{p.X - a.X, p.Y - a.Y};
    if (direction >= 0)
        return CrossProduct2D(ap, {b.X - a.X, b.Y - a.Y}) >= 0.0;
    return CrossProduct2D(ap, {a.X - b.X, a.Y - b.Y}) >= 0.0;
}

bool IsRightTurn(const TVector2D& a, const TVector2D& b, const TVector2D& p)
{
    return (a.X - b.X) * (p.Y - b.Y) > (p.X - b.X) * (a.Y - b.Y);
}

bool IsRightTurnPt(const TPoint2D& a, const TPoint2D& b, const TPoint2D& p)
{
    return IsRightTurn({a.X, a.Y}, {b.X, b.Y}, {p.X, p.Y});
}

// ---- Small vector helpers ----------------------------------------------------

TVector2D CopyVector2D(const TVector2D& v) { return v; }

void SwapPoints2D(TPoint2D& a, TPoint2D& b) { std::swap(a, b); }

TPoint2D VectorToPoint2D(const TVector2D& v) { return {v.X, v.Y, 1.0}; }

TVector2D MulVector2D(const TVector2D& v, double factor) { return {v.X * factor, v.Y * factor}; }

TVector2D PerpendicularCCW(const TVector2D& v) { return {-v.Y, v.X}; }

TVector2D PerpendicularCW(const TVector2D& v) { return {v.Y, -v.X}; }

TVector2D PerpendicularByDir(const TVector2D& v, int direction)
{
    return direction == -1 ? PerpendicularCW(v) : PerpendicularCCW(v);
}

TVector2D ObjectPointToDrawing(const TPoint2D& p, const TObject2D& object)
{
    if (!object.HasTransform())
        return {p.X, p.Y};
    const TPoint2D q = object.GetModelTransform().TransformPoint2D(p);
    return {q.X, q.Y};
}

// ---- Boxes -------------------------------------------------------------------

TRect2D MakeRect2D(double x1, double y1, double x2, double y2)
{
    return {{x1, y1, 1.0}, {x2, y2, 1.0}};
}

TBox3D MakeBox3D(double x1, double y1, double z1, double x2, double y2, double z2)
{
    return {{x1, y1, z1, 1.0}, {x2, y2, z2, 1.0}};
}

TRect2D CartesianRect2D(const TRect2D& r)
{
    return {CartesianPoint2D(r.FirstEdge), CartesianPoint2D(r.SecondEdge)};
}

TBox3D CartesianBox3D(const TBox3D& b)
{
    return {CartesianPoint3D(b.FirstEdge), CartesianPoint3D(b.SecondEdge)};
}

TRect2D NormalizeRect2D(const TRect2D& r)
{
    TRect2D n = CartesianRect2D(r);
    if (n.FirstEdge.X > n.SecondEdge.X)
        std::swap(n.FirstEdge.X, n.SecondEdge.X);
    if (n.FirstEdge.Y > n.SecondEdge.Y)
        std::swap(n.FirstEdge.Y, n.SecondEdge.Y);
    return n;
}

TBox3D NormalizeBox3D(const TBox3D& b)
{
    TBox3D n = CartesianBox3D(b);
    if (n.FirstEdge.X > n.SecondEdge.X)
        std::swap(n.FirstEdge.X, n.SecondEdge.X);
    if (n.FirstEdge.Y > n.SecondEdge.Y)
        std::swap(n.FirstEdge.Y, n.SecondEdge.Y);
    if (n.FirstEdge.Z > n.SecondEdge.Z)
        std::swap(n.FirstEdge.Z, n.SecondEdge.Z);
    return n;
}

TRect2D TransformRectCorners(const TRect2D& r, const TMatrix4& m)
{
    return {m.TransformPoint2D(r.FirstEdge), m.TransformPoint2D(r.SecondEdge)};
}

TBox3D TransformBoxCorners3D(const TBox3D& b, const TMatrix4& m)
{
    return {m.TransformPoint3D(b.FirstEdge), m.TransformPoint3D(b.SecondEdge)};
}

TRect2D TransformRect2D(const TRect2D& r, const TMatrix4& m)
{
    const TRect2D diagonal = TransformRectCorners(r, m);
    const TRect2D other = TransformRectCorners(
        MakeRect2D(r.FirstEdge.X, r.SecondEdge.Y, r.SecondEdge.X, r.FirstEdge.Y), m);
    return UnionRect2D(diagonal, other);
}

TBox3D TransformBox3D(const TBox3D& b, const TMatrix4& m)
{
    const TBox3D diagonal = TransformBoxCorners3D(b, m);
    const TBox3D other = TransformBoxCorners3D(MakeBox3D(b.FirstEdge.X, b.SecondEdge.Y, b.FirstEdge.Z,
                                                         b.SecondEdge.X, b.FirstEdge.Y, b.SecondEdge.Z),
                                               m);
    return UnionBox3D(diagonal, other);
}

TRect2D UnionRect2D(const TRect2D& r1, const TRect2D& r2)
{
    TRect2D u = NormalizeRect2D(r1);
    const TRect2D o = NormalizeRect2D(r2);
    if (o.FirstEdge.X < u.FirstEdge.X)
        u.FirstEdge.X = o.FirstEdge.X;
    if (o.FirstEdge.Y < u.FirstEdge.Y)
        u.FirstEdge.Y = o.FirstEdge.Y;
    if (o.SecondEdge.X > u.SecondEdge.X)
        u.SecondEdge.X = o.SecondEdge.X;
    if (o.SecondEdge.Y > u.SecondEdge.Y)
        u.SecondEdge.Y = o.SecondEdge.Y;
    return u;
}

TBox3D UnionBox3D(const TBox3D& b1, const TBox3D& b2)
{
    TBox3D u = NormalizeBox3D(b1);
    const TBox3D o = NormalizeBox3D(b2);
    if (o.FirstEdge.X < u.FirstEdge.X)
        u.FirstEdge.X = o.FirstEdge.X;
    if (o.FirstEdge.Y < u.FirstEdge.Y)
        u.FirstEdge.Y = o.FirstEdge.Y;
    if (o.FirstEdge.Z < u.FirstEdge.Z)
        u.FirstEdge.Z = o.FirstEdge.Z;
    if (o.SecondEdge.X > u.SecondEdge.X)
        u.SecondEdge.X = o.SecondEdge.X;
    if (o.SecondEdge.Y > u.SecondEdge.Y)
        u.SecondEdge.Y = o.SecondEdge.Y;
    if (o.SecondEdge.Z > u.SecondEdge.Z)
        u.SecondEdge.Z = o.SecondEdge.Z;
    return u;
}

// ---- Drawing constraint ----------------------------------------------------

void OrthoConstrain(const TPoint2D& p1, TPoint2D& p2)
{
    const TPoint2D fixed = CartesianPoint2D(p1);
    p2 = CartesianPoint2D(p2);
    if (std::fabs(p2.X - fixed.X) > std::fabs(p2.Y - fixed.Y))
        p2.Y = fixed.Y;
    else
        p2.X = fixed.X;
}
