#include "io/svg/QVBezier.h"

#include <cstddef>

TBezierQuadCoeffs BezierQuadCoefficients(const TBezierQuad& curve)
{
    TBezierQuadCoeffs k;
    k.B = {2.0 * (curve.P1.X - curve.P0.X), 2.0 * (curve.P1.Y - curve.P0.Y)};
    k.A = {curve.P2.X - curve.P0.X - k.B.X, curve.P2.Y - curve.P0.Y - k.B.Y};
    k.C = curve.P0;
    return k;
}

TBezierCubicCoeffs BezierCubicCoefficients(const TBezierCubic& curve)
{
    TBezierCubicCoeffs k;
    k.C = {3.0 * (curve.P1.X - curve.P0.X), 3.0 * (curve.P1.Y - curve.P0.Y)};
    k.B = {3.0 * (curve.P2.X - curve.P1.X) - k.C.X, 3.0 * (curve.P2.Y - curve.P1.Y) - k.C.Y};
    k.A = {curve.P3.X - curve.P0.X - k.C.X - k.B.X, curve.P3.Y - curve.P0.Y - k.C.Y - k.B.Y};
    k.D = curve.P0;
    return k;
}

TVector2D BezierQuadPoint(const TBezierQuad& curve, double t, const TBezierQuadCoeffs& coeffs)
{
    const double t2 = t * t;
    return {coeffs.A.X * t2 + coeffs.B.X * t + curve.P0.X, coeffs.A.Y * t2 + coeffs.B.Y * t + curve.P0.Y};
}

TVector2D BezierCubicPoint(const TBezierCubic& curve, double t, const TBezierCubicCoeffs& coeffs)
{
    const double t2 = t * t;
    const double t3 = t2 * t;
    return {coeffs.A.X * t3 + coeffs.B.X * t2 + coeffs.C.X * t + curve.P0.X,
            coeffs.A.Y * t3 + coeffs.B.Y * t2 + coeffs.C.Y * t + curve.P0.Y};
}

void SampleQuadBezier(const TBezierQuad& curve, int n, TPoint2DArray& points)
{
    if (n <= 0)
        return;
    points.resize(static_cast<size_t>(n));
    const TBezierQuadCoeffs coeffs = BezierQuadCoefficients(curve);
    const double step = n > 1 ? 1.0 / (n - 1) : 0.0;
    double t = 0.0;
    for (TVector2D& p : points) {
        p = BezierQuadPoint(curve, t, coeffs);
        t += step;
    }
}

void SampleCubicBezier(const TBezierCubic& curve, int n, TPoint2DArray& points)
{
    if (n <= 0)
        return;
    points.resize(static_cast<size_t>(n));
    const TBezierCubicCoeffs coeffs = BezierCubicCoefficients(curve);
    const double step = n > 1 ? 1.0 / (n - 1) : 0.0;
    double t = 0.0;
    for (TVector2D& p : points) {
        p = BezierCubicPoint(curve, t, coeffs);
        t += step;
    }
}
