#pragma once
// Quadratic and cubic Bezier curves in polynomial form, and their sampling
// at evenly spaced parameters.
//
//   quadratic: b = 2 (P1 - P0), a = P2 - P0 - b;  B(t) = a t^2 + b t + P0
//   cubic:     c = 3 (P1 - P0), b = 3 (P2 - P1) - c, a = P3 - P0 - c - b;
//              B(t) = a t^3 + b t^2 + c t + P0

#include "core/geometry/Points.h"

#include <vector>

struct TBezierQuad {
    TVector2D P0; // start
    TVector2D P1; // control
    TVector2D P2; // end
};

struct TBezierCubic {
    TVector2D P0; // start
    TVector2D P1; // first control
    TVector2D P2; // second control
    TVector2D P3; // end
};

// The polynomial coefficients; C is the constant term (the start point).
struct TBezierQuadCoeffs {
    TVector2D A;
    TVector2D B;
    TVector2D C;
};

struct TBezierCubicCoeffs {
    TVector2D A;
    TVector2D B;
    TVector2D C;
    TVector2D D;
};

using TPoint2DArray = std::vector<TVector2D>;

TBezierQuadCoeffs BezierQuadCoefficients(const TBezierQuad& curve);
TBezierCubicCoeffs BezierCubicCoefficients(const TBezierCubic& curve);
TVector2D BezierQuadPoint(const TBezierQuad& curve, double t, const TBezierQuadCoeffs& coeffs);
TVector2D BezierCubicPoint(const TBezierCubic& curve, double t, const TBezierCubicCoeffs& coeffs);

// n samples at t = 0, 1/(n-1), 2/(n-1) ... (t accumulated by addition, so
// the last is 1 up to rounding) into points, which gets length n. n <= 0
// leaves points as it is; n = 1 gives the start point alone.
void SampleQuadBezier(const TBezierQuad& curve, int n, TPoint2DArray& points);
void SampleCubicBezier(const TBezierCubic& curve, int n, TPoint2DArray& points);
