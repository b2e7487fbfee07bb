#pragma once
// The circle test of arc fitting: the circle through three points and
// whether points and chords lie on it.

#include "core/geometry/Points.h"

class TACerchio {
public:
    // The circumcircle, Radius = |P1 - Centre|. Collinear points (a zero
    // determinant) give Centre (0, 0) and Radius 0.
    static TACerchio CreateThrough3Points(const TVector2D& p1, const TVector2D& p2, const TVector2D& p3);

    // | |P - Centre| - Radius | < tolerance (strict).
    bool IsOnCircle(const TVector2D& p, double tolerance) const;
    // P, Q and their midpoint all on the circle.
    bool IsChordOnCircle(const TVector2D& p, const TVector2D& q, double tolerance) const;

    TVector2D Centre;
    double Radius = 0.0;
};
