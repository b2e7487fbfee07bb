#pragma once
// Value records of the geometry kernel: points, vectors, boxes and the old
// 3x3 transform. Plain data, copied by value; the sizes noted are what each
// record occupies in a file.

#include <cstdint>
#include <vector>

// 2D point in homogeneous form (24 bytes). W = 1 for every ordinary point;
// the cartesian point is (X / W, Y / W), except that a W of exactly 0 or
// exactly 1 leaves X and Y as they are.
struct TPoint2D {
    double X = 0.0;
    double Y = 0.0;
    double W = 1.0;
};

// 2D vector or point without weight (16 bytes).
struct TVector2D {
    double X = 0.0;
    double Y = 0.0;
};

// 3D point in homogeneous form (32 bytes), same weight rule as TPoint2D.
struct TPoint3D {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
    double W = 1.0;
};

// 3D vector or point without weight (24 bytes).
struct TVector3D {
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};

// 2D box (48 bytes); once normalised, the first corner is the left-bottom.
struct TRect2D {
    TPoint2D FirstEdge;
    TPoint2D SecondEdge;
};

// 3D box (64 bytes); minimum corner first once normalised.
struct TBox3D {
    TPoint3D FirstEdge;
    TPoint3D SecondEdge;
};

// 3x3 transform of 2D row-vector points (x, y, w) (72 bytes): the transform
// form of old documents, converted to TMatrix4 on load.
struct TTransform2D {
    double T[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

using TArrayOfPoint2d = std::vector<TPoint2D>;

// Integer pixel position, e.g. a point of the drawing rounded for the screen.
struct TIntPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

// Integer rectangle in screen order (left, top, right, bottom).
struct TIntRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

// Four single-precision components, as the scene library hands vectors
// over; only X, Y and Z take part in the geometry below.
struct TVector4f {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    float W = 0.0f;
};

// ---------------------------------------------------------------------------
// Free functions on the records. Every result is a new value; the arguments
// are never changed. Angles are radians.

// (X / W, Y / W, 1) when W is neither exactly 1 nor exactly 0; otherwise an
// unchanged copy (a W of 0 is never divided by). Inline: boxes take it for
// every point.
inline TPoint2D CartesianPoint2D(const TPoint2D& p)
{
    if (p.W == 1.0 || p.W == 0.0)
        return p;
    return TPoint2D{p.X / p.W, p.Y / p.W, 1.0};
}
// (X / W, Y / W, Z / W, 1) under the same rule.
TPoint3D CartesianPoint3D(const TPoint3D& p);

constexpr TPoint2D MakePoint2D(double x, double y) { return TPoint2D{x, y, 1.0}; }
// A second name of MakePoint2D used throughout the drawing model.
constexpr TPoint2D Point2D(double x, double y) { return MakePoint2D(x, y); }
constexpr TPoint3D MakePoint3D(double x, double y, double z) { return TPoint3D{x, y, z, 1.0}; }
constexpr TVector2D MakeVector2D(double x, double y) { return TVector2D{x, y}; }
constexpr TVector3D MakeVector3D(double x, double y, double z) { return TVector3D{x, y, z}; }
// (x1 - x2, y1 - y2).
constexpr TVector2D MakeDiffVector2D(double x1, double y1, double x2, double y2)
{
    return TVector2D{x1 - x2, y1 - y2};
}
// (x1 + x2, y1 + y2).
constexpr TVector2D MakeSumVector2D(double x1, double y1, double x2, double y2)
{
    return TVector2D{x1 + x2, y1 + y2};
}

// p2 - p1. When the two weights differ both points are made cartesian
// first; equal weights are subtracted as stored.
TVector2D VectorFromPoints2D(const TPoint2D& p1, const TPoint2D& p2);
// (a.X - b.X, a.Y - b.Y, 1); the weights are ignored.
constexpr TPoint2D SubtractPoints2D(const TPoint2D& a, const TPoint2D& b)
{
    return TPoint2D{a.X - b.X, a.Y - b.Y, 1.0};
}
// (p.X + v.X, p.Y + v.Y, 1); the weight of p is ignored.
constexpr TPoint2D AddVectorToPoint2D(const TPoint2D& p, const TVector2D& v)
{
    return TPoint2D{p.X + v.X, p.Y + v.Y, 1.0};
}

constexpr TVector2D SubtractVectors2D(const TVector2D& a, const TVector2D& b) { return {a.X - b.X, a.Y - b.Y}; }
constexpr TVector2D AddVectors2D(const TVector2D& a, const TVector2D& b) { return {a.X + b.X, a.Y + b.Y}; }
constexpr TVector3D SubtractVectors3D(const TVector3D& a, const TVector3D& b)
{
    return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
constexpr TVector3D AddVectors3D(const TVector3D& a, const TVector3D& b) { return {a.X + b.X, a.Y + b.Y, a.Z + b.Z}; }
constexpr TVector2D ScaleVector2D(const TVector2D& v, double factor) { return {v.X * factor, v.Y * factor}; }
constexpr TVector3D ScaleVector3D(const TVector3D& v, double factor)
{
    return {v.X * factor, v.Y * factor, v.Z * factor};
}

double VectorLength2D(const TVector2D& v);
double VectorLength3D(const TVector3D& v);

constexpr double DotProduct3D(const TVector3D& a, const TVector3D& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }
constexpr TVector3D CrossProduct3D(const TVector3D& a, const TVector3D& b)
{
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

// v / |v| when the squared length is greater than 0; a zero vector stays zero.
TVector2D NormalizeVector2D(const TVector2D& v);
TVector3D NormalizeVector3D(const TVector3D& v);

// v turned counter-clockwise by the angle.
TVector2D RotateVector2D(const TVector2D& v, double angle);
// centre + radius (cos angle, sin angle).
TVector2D PolarPoint2D(const TVector2D& centre, double angle, double radius);

// The point where the ray p0 + t d meets the plane through q with normal n,
// in single precision (X, Y, Z only). Returns t and sets result (with W 0);
// when n . d is exactly 0 or not a number (ray parallel to the plane)
// returns 0 and leaves result untouched. result may be one of the inputs.
float IntersectRayPlane(const TVector4f& p0, const TVector4f& d, const TVector4f& q, const TVector4f& n,
                        TVector4f& result);
