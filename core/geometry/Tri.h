#pragma once
// Single-precision triangles of an STL surface and their axis-aligned boxes.
// The machining code drops cutters onto these triangles; everything here is
// in the mesh's own single precision, vectors are plain float[3] (x, y, z),
// the form TMatrix4::TransformAffine takes.

class TTri;

// An axis-aligned box that starts empty and grows by the points added.
class TBBox {
public:
    // Empty: both corners (0, 0, 0), not initialised.
    TBBox() = default;
    // The given extents, initialised.
    TBBox(float minX, float maxX, float minY, float maxY, float minZ, float maxZ);

    // The first point after creation or Reset sets both corners; later points
    // widen the box coordinate by coordinate. A NaN coordinate never widens
    // an initialised box (every comparison with it is false).
    void AddPoint(const float (&p)[3]);
    // The first, second and third vertex in turn.
    void AddTriangle(const TTri& triangle);
    // Marks the box empty; the corners keep their values until the next point.
    void Reset() { Initialised = false; }

    // The six extents by index: 0 min x, 1 max x, 2 min y, 3 max y, 4 min z,
    // 5 max z; any other index gives -1.
    float Value(int index) const;

    float Min[3] = {0.0f, 0.0f, 0.0f};
    float Max[3] = {0.0f, 0.0f, 0.0f};
    bool Initialised = false;
};

// One facet: vertices A, B, C, its unit normal, the normal turned upwards and
// the box of its vertices. A new triangle is all zero with an empty box.
class TTri {
public:
    // Normal := normalised (B - A) x (C - A). A degenerate triangle (zero
    // cross product) gets the zero vector rather than a NaN.
    void ComputeNormal();
    // NormalUp := Normal when its z is 0 or more, otherwise -Normal; Normal
    // itself stays.
    void UpNormal();
    // Box := the box of A, B and C (reset first).
    void UpdateBox();

    float A[3] = {0.0f, 0.0f, 0.0f};
    float B[3] = {0.0f, 0.0f, 0.0f};
    float C[3] = {0.0f, 0.0f, 0.0f};
    float Normal[3] = {0.0f, 0.0f, 0.0f};
    float NormalUp[3] = {0.0f, 0.0f, 0.0f};
    TBBox Box;
};

// normalise((b - a) x (c - a)) into n: the differences in single precision,
// the cross product and its length in double so that large coordinates do
// not overflow. A zero, infinite or NaN length gives (0, 0, 0).
void TriangleNormal(const float (&a)[3], const float (&b)[3], const float (&c)[3], float (&n)[3]);
