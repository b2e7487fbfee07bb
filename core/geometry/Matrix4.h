#pragma once
// The 4x4 transform that every drawing object carries as its model transform
// and that commands, importers, machining and simulation use to move, rotate,
// mirror and scale geometry.
//
// Conventions: 16 doubles, row-major (element i is row i / 4, column i % 4).
// Points are row vectors multiplied on the left, so for (x, y, z, w)
//   x' = x m0 + y m4 + z m8  + w m12      y' = x m1 + y m5 + z m9  + w m13
//   z' = x m2 + y m6 + z m10 + w m14      w' = x m3 + y m7 + z m11 + w m15
// The translation is in elements 12, 13, 14; 3, 7, 11 are the projective
// column and 15 the homogeneous scale. A matrix is affine when 3, 7 and 11
// are exactly 0 and 15 is exactly 1. Products compose as self := self x T:
// the new operation acts after everything the matrix already did.
//
// The lock flag makes SetElement a no-op and nothing else: products,
// factories, inversion, Assign and loading write the elements regardless.

#include "core/geometry/Points.h"

#include <memory>

class TStream;

class TMatrix4 {
public:
    // A new matrix is the identity, unlocked.
    TMatrix4();
    // Copies the elements; the copy starts unlocked, like every new matrix.
    TMatrix4(const TMatrix4& other);
    // Same as Assign: copies the elements and keeps this matrix's lock flag.
    TMatrix4& operator=(const TMatrix4& other);

    // Factories; each starts from the identity.
    static TMatrix4 CreateTranslation(double dx, double dy, double dz);
    // Counter-clockwise about Z for row-vector points: 0 = cos, 1 = sin,
    // 4 = -sin, 5 = cos. The angle is in degrees when inDegrees is set.
    static TMatrix4 CreateRotationZ(double angle, bool inDegrees);
    static TMatrix4 CreateScale(double sx, double sy, double sz);
    // kind 0: Y negated (mirror in the X axis); 1: X negated; 2: both; any
    // other kind gives the identity.
    static TMatrix4 CreateMirror(int kind);
    // The 3x3 transform of old documents: it acts on X, Y and the weight,
    // Z passes through unchanged.
    static TMatrix4 CreateFromTransform2D(const TTransform2D& t);

    void SetIdentity();
    // index must be 0..15 (not checked beyond a debug assertion).
    double GetElement(int index) const;
    // Stores the element unless the matrix is locked.
    void SetElement(int index, double value);
    bool Locked() const { return m_Locked; }
    void SetLocked(bool locked) { m_Locked = locked; }
    // Copies the 16 elements of source; a null source sets the identity.
    // The lock flag is not copied.
    void Assign(const TMatrix4* source);
    // All 16 elements exactly equal, no tolerance.
    bool IsEqual(const TMatrix4& other) const;
    bool IsAffine() const;

    // Sets the identity, then the translation elements.
    void SetTranslation(double dx, double dy, double dz);

    // self := a x b (a applied first to points). self may be a or b.
    void Multiply(const TMatrix4& a, const TMatrix4& b);
    // self := self x translation / rotation / mirror / scale.
    void Translate(double dx, double dy, double dz);
    void RotateZ(double angle, bool inDegrees);
    void Mirror(int kind);
    void Scale(double sx, double sy, double sz);
    // self := rotation x self with the rotation 0 = cos, 1 = -sin, 4 = sin,
    // 5 = cos (the transpose of CreateRotationZ's): rows 0 and 1 are mixed,
    // rows 2 and 3 stay.
    void PreRotateZ(double angleDeg);

    // self := inverse of m; self may be m. A singular matrix inverts to the
    // identity without an error. Singular means: an element is not finite,
    // or |det| <= 1e-12 times the product of the lengths of the rows of the
    // upper 3x3 part (of all four rows for a matrix that is not affine), so
    // the test follows the matrix's own scale and a true scale of 0.001
    // inverts exactly.
    void Invert(const TMatrix4& m);
    // A second entry point with the same effect as Invert.
    void InvertFrom(const TMatrix4& m);
    static double Det3x3(double a11, double a12, double a13, double a21, double a22, double a23, double a31,
                         double a32, double a33);

    // Z taken as 0: X' = X m0 + Y m4 + W m12, Y' = X m1 + Y m5 + W m13,
    // W' = X m3 + Y m7 + W m15. The result is not made cartesian.
    TPoint2D TransformPoint2D(const TPoint2D& p) const;
    // The full row-vector product.
    TPoint3D TransformPoint3D(const TPoint3D& p) const;
    // The affine part only (column 3 ignored), computed in double and stored
    // as singles; in and out may be the same array.
    void TransformAffine(const float (&in)[3], float (&out)[3]) const;

    // 128 bytes: the 16 elements as little-endian doubles, element 0 first.
    void SaveToStream(TStream& stream) const;
    // Reads the 16 elements in the same order. When the stream ends early
    // the elements read so far are kept, the others stay as they were, and
    // EStreamReadError is raised so the caller can tell a truncated record.
    void LoadFromStream(TStream& stream);

private:
    double m_Elements[16];
    bool m_Locked = false;
};

// The shared identity (a function-local static, built on first use and never
// freed). Objects without a transform return it and others compare against
// it; it is const, so nobody can write to it.
const TMatrix4& IdentityMatrix4();
// The shared buffer in which a drawing object returns its combined model
// transform (a function-local static). Its content is valid only until the
// next such request; a caller that needs it later copies it.
TMatrix4& ScratchMatrix4();

// A matrix that most owners do not have (an entity's transforms): one
// pointer while absent, the matrix on the heap while present. Reads like
// std::optional<TMatrix4>; copies copy the matrix.
class TOptionalMatrix4 {
public:
    TOptionalMatrix4() = default;
    TOptionalMatrix4(const TOptionalMatrix4& other) : m_Matrix(other ? std::make_unique<TMatrix4>(*other) : nullptr) {}
    TOptionalMatrix4& operator=(const TOptionalMatrix4& other)
    {
        if (this != &other)
            m_Matrix = other ? std::make_unique<TMatrix4>(*other) : nullptr;
        return *this;
    }
    TOptionalMatrix4& operator=(const TMatrix4& m)
    {
        if (m_Matrix)
            *m_Matrix = m;
        else
            m_Matrix = std::make_unique<TMatrix4>(m);
        return *this;
    }
    bool has_value() const { return m_Matrix != nullptr; }
    explicit operator bool() const { return has_value(); }
    const TMatrix4& operator*() const { return *m_Matrix; }
    TMatrix4& operator*() { return *m_Matrix; }
    const TMatrix4* operator->() const { return m_Matrix.get(); }
    TMatrix4* operator->() { return m_Matrix.get(); }
    void reset() { m_Matrix.reset(); }

private:
    std::unique_ptr<TMatrix4> m_Matrix;
};
