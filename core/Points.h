#pragma once
// Value records of the geometry kernel: points, vectors, boxes and the old
// 3x3 transform. Plain data, copied by value; the sizes noted are what each
// record occupies in a file.

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
