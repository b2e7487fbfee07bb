#pragma once
// Small 2D helpers of the drawing model: angle and distance conversions,
// rounding to screen integers, the old 3x3 transform, rectangles and their
// outcodes, and the mapping of arc angles through a transform. None of them
// fails or raises.

#include "core/geometry/Points.h"

#include <span>

class TMatrix4;

// a x 180 / pi.
double RadiansToDegrees(double a);
// The length of VectorFromPoints2D(a, b).
double DistancePoint2D(const TPoint2D& a, const TPoint2D& b);
// X / W and Y / W (X and Y themselves when W is 0 or 1), each converted to
// single precision and rounded to the nearest integer, ties to even.
// Values beyond the int32 range are clamped to it and NaN gives 0.
TIntPoint Point2DToIntPoint(const TPoint2D& p);
// (X, Y, W) as a row vector times t.
TPoint2D TransformPoint2D3x3(const TPoint2D& p, const TTransform2D& t);
// The identity with (0,0) = cos a, (0,1) = sin a, (1,0) = -sin a,
// (1,1) = cos a: a counter-clockwise rotation of row-vector points.
TTransform2D RotationTransform2D(double a);
// The rectangle's corners made cartesian, then left and bottom moved out by
// margin and right and top likewise; weights 1. Expects a normalised
// rectangle (first corner the minimum).
TRect2D EnlargeRect2D(const TRect2D& r, double margin);

// Outcode bits of a point against a normalised rectangle; a point on an edge
// counts as inside.
enum : int {
    kOutLeft = 1,
    kOutBottom = 2,
    kOutRight = 4,
    kOutTop = 8,
};
// Bit set of kOut... for p's X and Y (as stored) against r; 0 inside.
int RectOutcode(const TRect2D& r, const TPoint2D& p);
bool PointInRect2D(const TPoint2D& p, const TRect2D& r);
// a's left and right within b's left..right and a's top and bottom within
// b's top..bottom, all inclusive.
bool IntRectInsideIntRect(const TIntRect& a, const TIntRect& b);

// Index of the smallest value, the first of equal values winning; -1 for
// an empty array or one that holds only NaN.
int IndexOfMinValue(std::span<const double> values);

// The points at startAngle and endAngle on the circle (centre, radius) and
// the centre go through m (made cartesian after); each angle becomes the
// direction (-pi..pi) of its transformed point about the transformed
// centre. A mirror reverses the arc's sense: that is the caller's to handle.
void TransformArcAngles(const TPoint2D& centre, const TMatrix4& m, double& startAngle, double& endAngle,
                        double radius);
