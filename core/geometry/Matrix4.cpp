#include "core/geometry/Matrix4.h"

#include "core/file/Stream.h"

#include <cassert>
#include <cmath>
#include <cstring>

namespace {

constexpr double kDegToRad = 0.017453292519943295;

// Relative singularity bound of the inversion: |det| against the product of
// the row lengths, which bounds |det| from above (Hadamard), so the ratio is
// a scale-free measure of how close the rows are to dependent.
constexpr double kRelativeSingular = 1e-12;

bool IsAffineElements(const double* m) { return m[3] == 0.0 && m[7] == 0.0 && m[11] == 0.0 && m[15] == 1.0; }

double RowLength(const double* m, int row, int columns)
{
    double sum = 0.0;
    for (int c = 0; c < columns; ++c)
        sum += m[row * 4 + c] * m[row * 4 + c];
    return std::sqrt(sum);
}

// The 3x3 minor of m that leaves out the given row and column.
double Minor(const double* m, int row, int column)
{
    int rows[3];
    int cols[3];
    for (int i = 0, r = 0, c = 0; i < 4; ++i) {
        if (i != row)
            rows[r++] = i;
        if (i != column)
            cols[c++] = i;
    }
    auto e = [&](int r, int c) { return m[rows[r] * 4 + cols[c]]; };
    return TMatrix4::Det3x3(e(0, 0), e(0, 1), e(0, 2), e(1, 0), e(1, 1), e(1, 2), e(2, 0), e(2, 1), e(2, 2));
}

} // namespace

TMatrix4::TMatrix4() { SetIdentity(); }

TMatrix4::TMatrix4(const TMatrix4& other) { std::memcpy(m_Elements, other.m_Elements, sizeof m_Elements); }

TMatrix4& TMatrix4::operator=(const TMatrix4& other)
{
    Assign(&other);
    return *this;
}

TMatrix4 TMatrix4::CreateTranslation(double dx, double dy, double dz)
{
    TMatrix4 m;
    m.SetTranslation(dx, dy, dz);
    return m;
}

TMatrix4 TMatrix4::CreateRotationZ(double angle, bool inDegrees)
{
    if (inDegrees)
        angle *= kDegToRad;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    TMatrix4 m;
    m.m_Elements[0] = c;
    m.m_Elements[1] = s;
    m.m_Elements[4] = -s;
    m.m_Elements[5] = c;
    return m;
}

TMatrix4 TMatrix4::CreateScale(double sx, double sy, double sz)
{
    TMatrix4 m;
    m.m_Elements[0] = sx;
    m.m_Elements[5] = sy;
    m.m_Elements[10] = sz;
    return m;
}

TMatrix4 TMatrix4::CreateMirror(int kind)
{
    TMatrix4 m;
    if (kind == 0 || kind == 2)
        m.m_Elements[5] = -1.0;
    if (kind == 1 || kind == 2)
        m.m_Elements[0] = -1.0;
    return m;
}

TMatrix4 TMatrix4::CreateFromTransform2D(const TTransform2D& t)
{
    TMatrix4 m;
    double* e = m.m_Elements;
    e[0] = t.T[0][0];
    e[1] = t.T[0][1];
    e[3] = t.T[0][2];
    e[4] = t.T[1][0];
    e[5] = t.T[1][1];
    e[7] = t.T[1][2];
    e[12] = t.T[2][0];
    e[13] = t.T[2][1];
    e[15] = t.T[2][2];
    return m;
}

void TMatrix4::SetIdentity()
{
    for (int i = 0; i < 16; ++i)
        m_Elements[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

double TMatrix4::GetElement(int index) const
{
    assert(index >= 0 && index < 16);
    return m_Elements[index];
}

void TMatrix4::SetElement(int index, double value)
{
    assert(index >= 0 && index < 16);
    if (!m_Locked)
        m_Elements[index] = value;
}

void TMatrix4::Assign(const TMatrix4* source)
{
    if (!source)
        SetIdentity();
    else if (source != this)
        std::memcpy(m_Elements, source->m_Elements, sizeof m_Elements);
}

bool TMatrix4::IsEqual(const TMatrix4& other) const
{
    for (int i = 0; i < 16; ++i)
        if (m_Elements[i] != other.m_Elements[i])
            return false;
    return true;
}

bool TMatrix4::IsAffine() const { return IsAffineElements(m_Elements); }

void TMatrix4::SetTranslation(double dx, double dy, double dz)
{
    SetIdentity();
    m_Elements[12] = dx;
    m_Elements[13] = dy;
    m_Elements[14] = dz;
}

void TMatrix4::Multiply(const TMatrix4& a, const TMatrix4& b)
{
    // The product goes to a local buffer first, so self may be a or b. The
    // affine shortcuts skip only terms known to be 0 or 1, which keeps the
    // projective column of an affine product exactly (0, 0, 0, 1).
    const double* x = a.m_Elements;
    const double* y = b.m_Elements;
    double r[16];
    const bool affineA = IsAffineElements(x);
    const bool affineB = IsAffineElements(y);
    if (affineA && affineB) {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                r[row * 4 + col] = x[row * 4] * y[col] + x[row * 4 + 1] * y[4 + col] + x[row * 4 + 2] * y[8 + col];
        for (int col = 0; col < 3; ++col)
            r[12 + col] = x[12] * y[col] + x[13] * y[4 + col] + x[14] * y[8 + col] + y[12 + col];
        r[3] = r[7] = r[11] = 0.0;
        r[15] = 1.0;
    } else if (!affineA && affineB) {
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 3; ++col)
                r[row * 4 + col] = x[row * 4] * y[col] + x[row * 4 + 1] * y[4 + col] + x[row * 4 + 2] * y[8 + col] +
                                   x[row * 4 + 3] * y[12 + col];
            r[row * 4 + 3] = x[row * 4 + 3];
        }
    } else if (affineA && !affineB) {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                r[row * 4 + col] = x[row * 4] * y[col] + x[row * 4 + 1] * y[4 + col] + x[row * 4 + 2] * y[8 + col];
        for (int col = 0; col < 4; ++col)
            r[12 + col] = x[12] * y[col] + x[13] * y[4 + col] + x[14] * y[8 + col] + y[12 + col];
    } else {
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col)
                r[row * 4 + col] = x[row * 4] * y[col] + x[row * 4 + 1] * y[4 + col] + x[row * 4 + 2] * y[8 + col] +
                                   x[row * 4 + 3] * y[12 + col];
    }
    std::memcpy(m_Elements, r, sizeof r);
}

void TMatrix4::Translate(double dx, double dy, double dz) { Multiply(*this, CreateTranslation(dx, dy, dz)); }

void TMatrix4::RotateZ(double angle, bool inDegrees) { Multiply(*this, CreateRotationZ(angle, inDegrees)); }

void TMatrix4::Mirror(int kind) { Multiply(*this, CreateMirror(kind)); }

void TMatrix4::Scale(double sx, double sy, double sz) { Multiply(*this, CreateScale(sx, sy, sz)); }

void TMatrix4::PreRotateZ(double angleDeg)
{
    const double a = angleDeg * kDegToRad;
    const double c = std::cos(a);
    const double s = std::sin(a);
    for (int col = 0; col < 4; ++col) {
        const double r0 = m_Elements[col];
        const double r1 = m_Elements[4 + col];
        m_Elements[col] = c * r0 - s * r1;
        m_Elements[4 + col] = s * r0 + c * r1;
    }
}

double TMatrix4::Det3x3(double a11, double a12, double a13, double a21, double a22, double a23, double a31,
                        double a32, double a33)
{
    return a11 * (a22 * a33 - a23 * a32) - a12 * (a21 * a33 - a23 * a31) + a13 * (a21 * a32 - a22 * a31);
}

void TMatrix4::Invert(const TMatrix4& m)
{
    const double* e = m.m_Elements;
    for (int i = 0; i < 16; ++i) {
        if (!std::isfinite(e[i])) {
            SetIdentity();
            return;
        }
    }
    // Every minor is formed before the first write, so self may be m.
    double minors[16];
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            minors[row * 4 + col] = Minor(e, row, col);
    const double det = e[0] * minors[0] - e[1] * minors[1] + e[2] * minors[2] - e[3] * minors[3];

    const bool affine = IsAffineElements(e);
    const int rows = affine ? 3 : 4;
    const int columns = affine ? 3 : 4;
    double scale = 1.0;
    for (int row = 0; row < rows; ++row)
        scale *= RowLength(e, row, columns);
    // Written as "not greater" so a NaN determinant (overflow) counts as
    // singular too.
    if (!(std::abs(det) > kRelativeSingular * scale)) {
        SetIdentity();
        return;
    }
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            const double sign = ((row + col) % 2 == 0) ? 1.0 : -1.0;
            m_Elements[row * 4 + col] = sign * minors[col * 4 + row] / det;
        }
}

void TMatrix4::InvertFrom(const TMatrix4& m) { Invert(m); }

TPoint2D TMatrix4::TransformPoint2D(const TPoint2D& p) const
{
    const TPoint2D q = p;
    const double* m = m_Elements;
    return TPoint2D{q.X * m[0] + q.Y * m[4] + q.W * m[12], q.X * m[1] + q.Y * m[5] + q.W * m[13],
                    q.X * m[3] + q.Y * m[7] + q.W * m[15]};
}

TPoint3D TMatrix4::TransformPoint3D(const TPoint3D& p) const
{
    const TPoint3D q = p;
    const double* m = m_Elements;
    return TPoint3D{q.X * m[0] + q.Y * m[4] + q.Z * m[8] + q.W * m[12],
                    q.X * m[1] + q.Y * m[5] + q.Z * m[9] + q.W * m[13],
                    q.X * m[2] + q.Y * m[6] + q.Z * m[10] + q.W * m[14],
                    q.X * m[3] + q.Y * m[7] + q.Z * m[11] + q.W * m[15]};
}

void TMatrix4::TransformAffine(const float (&in)[3], float (&out)[3]) const
{
    const double x = in[0];
    const double y = in[1];
    const double z = in[2];
    const double* m = m_Elements;
    out[0] = static_cast<float>(x * m[0] + y * m[4] + z * m[8] + m[12]);
    out[1] = static_cast<float>(x * m[1] + y * m[5] + z * m[9] + m[13]);
    out[2] = static_cast<float>(x * m[2] + y * m[6] + z * m[10] + m[14]);
}

void TMatrix4::SaveToStream(TStream& stream) const
{
    for (double e : m_Elements)
        WriteDouble(stream, e);
}

void TMatrix4::LoadFromStream(TStream& stream)
{
    for (double& e : m_Elements)
        e = ReadDouble(stream);
}

const TMatrix4& IdentityMatrix4()
{
    static const TMatrix4 identity;
    return identity;
}

TMatrix4& ScratchMatrix4()
{
    static TMatrix4 scratch;
    return scratch;
}
