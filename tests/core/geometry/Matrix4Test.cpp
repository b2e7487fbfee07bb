#include "core/geometry/Matrix4.h"
#include "core/file/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

namespace matrix4_test {

namespace {

TMatrix4 FromElements(const double (&e)[16])
{
    TMatrix4 m;
    for (int i = 0; i < 16; ++i)
        m.SetElement(i, e[i]);
    return m;
}

// The plain row-major product, written independently of the shortcuts.
TMatrix4 ReferenceProduct(const TMatrix4& a, const TMatrix4& b)
{
    TMatrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += a.GetElement(row * 4 + k) * b.GetElement(k * 4 + col);
            r.SetElement(row * 4 + col, sum);
        }
    return r;
}

void ExpectNear(const TMatrix4& actual, const TMatrix4& expected, double tol)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.GetElement(i), expected.GetElement(i), tol) << "element " << i;
}

const TMatrix4 kAffine = [] {
    TMatrix4 m = TMatrix4::CreateRotationZ(30, true);
    m.Scale(2.0, 0.5, 3.0);
    m.Translate(7.0, -3.0, 1.5);
    return m;
}();
const TMatrix4 kProjective = FromElements({1.0, 2.0, 0.5, 0.1, -1.0, 3.0, 0.0, 0.2, 0.25, 0.0, 2.0, 0.3, 4.0, 5.0, 6.0, 2.0});

} // namespace

TEST(Matrix4, StreamFormIsSixteenLittleEndianDoubles)
{
    double e[16];
    for (int i = 0; i < 16; ++i)
        e[i] = 1.5 + i * 0.25;
    e[12] = -123.456; // translation X
    const TMatrix4 m = FromElements(e);

    kbtest::TBytes expected;
    for (double v : e)
        expected.F64(v);
    TMemoryStream out;
    m.SaveToStream(out);
    ASSERT_EQ(out.Data().size(), 128u);
    EXPECT_EQ(out.Data(), expected.Data());
    const auto dx = kbtest::TBytes().F64(-123.456).Data();
    EXPECT_TRUE(std::equal(dx.begin(), dx.end(), out.Data().begin() + 96));

    TMemoryStream in(expected.Data());
    TMatrix4 loaded;
    loaded.LoadFromStream(in);
    EXPECT_TRUE(loaded.IsEqual(m));
    EXPECT_EQ(in.Position(), 128);
}

TEST(Matrix4, TruncatedLoadKeepsWholeElementsAndRaises)
{
    std::vector<uint8_t> bytes = kbtest::TBytes().F64(9).F64(8).F64(7).Data();
    bytes.resize(bytes.size() + 5, 0xff); // a fourth element cut short
    TMemoryStream in(bytes);
    TMatrix4 m = TMatrix4::CreateTranslation(1, 2, 3);
    EXPECT_THROW(m.LoadFromStream(in), EStreamReadError);
    EXPECT_EQ(m.GetElement(0), 9.0);
    EXPECT_EQ(m.GetElement(2), 7.0);
    EXPECT_EQ(m.GetElement(3), 0.0);
    EXPECT_EQ(m.GetElement(12), 1.0);
}

TEST(Matrix4, ProductEqualsTheFullProductOnEveryPathAndWithSelfAsOperand)
{
    const TMatrix4* operands[] = {&kAffine, &kProjective};
    for (const TMatrix4* a : operands)
        for (const TMatrix4* b : operands) {
            SCOPED_TRACE(testing::Message() << "a affine " << a->IsAffine() << ", b affine " << b->IsAffine());
            const TMatrix4 expected = ReferenceProduct(*a, *b);
            TMatrix4 separate;
            separate.Multiply(*a, *b);
            ExpectNear(separate, expected, 1e-12);

            TMatrix4 left = *a;
            left.Multiply(left, *b);
            EXPECT_TRUE(left.IsEqual(separate));
            TMatrix4 right = *b;
            right.Multiply(*a, right);
            EXPECT_TRUE(right.IsEqual(separate));
        }
    TMatrix4 square = kProjective;
    square.Multiply(square, square);
    ExpectNear(square, ReferenceProduct(kProjective, kProjective), 1e-12);
}

TEST(Matrix4, AffineProductKeepsTheProjectiveColumnExact)
{
    TMatrix4 m = TMatrix4::CreateRotationZ(0.3, false);
    for (int i = 0; i < 20; ++i) {
        m.RotateZ(17.0, true);
        m.Scale(1.1, 0.9, 1.0);
        m.Translate(0.1, 0.2, 0.3);
    }
    EXPECT_EQ(m.GetElement(3), 0.0);
    EXPECT_EQ(m.GetElement(7), 0.0);
    EXPECT_EQ(m.GetElement(11), 0.0);
    EXPECT_EQ(m.GetElement(15), 1.0);
}

TEST(Matrix4, RotationIsCounterClockwiseAndCompositionActsAfter)
{
    const TPoint3D p = TMatrix4::CreateRotationZ(90, true).TransformPoint3D(TPoint3D{1, 0, 0, 1});
    EXPECT_NEAR(p.X, 0.0, 1e-15);
    EXPECT_NEAR(p.Y, 1.0, 1e-15);
    EXPECT_EQ(p.Z, 0.0);
    EXPECT_EQ(p.W, 1.0);
    EXPECT_TRUE(TMatrix4::CreateRotationZ(std::numbers::pi / 2, false).IsEqual(TMatrix4::CreateRotationZ(90, true)));

    // Translate first, then rotate: (0, 0) -> (1, 0) -> (0, 1).
    TMatrix4 m = TMatrix4::CreateTranslation(1, 0, 0);
    m.RotateZ(90, true);
    const TPoint2D q = m.TransformPoint2D(MakePoint2D(0, 0));
    EXPECT_NEAR(q.X, 0.0, 1e-15);
    EXPECT_NEAR(q.Y, 1.0, 1e-15);
}

TEST(Matrix4, PreRotateZTurnsTheOtherWayAndActsBefore)
{
    TMatrix4 m;
    m.PreRotateZ(90);
    EXPECT_NEAR(m.GetElement(1), -1.0, 1e-15);
    EXPECT_NEAR(m.GetElement(4), 1.0, 1e-15);
    EXPECT_NEAR(m.GetElement(0), 0.0, 1e-15);

    // On any matrix it equals the transposed rotation multiplied in front;
    // rows 2 and 3 stay as they were.
    TMatrix4 pre = kProjective;
    pre.PreRotateZ(30);
    TMatrix4 front = TMatrix4::CreateRotationZ(-30, true);
    front.Multiply(front, kProjective);
    ExpectNear(pre, front, 1e-14);
    for (int i = 8; i < 16; ++i)
        EXPECT_EQ(pre.GetElement(i), kProjective.GetElement(i));
}

TEST(Matrix4, MirrorKinds)
{
    struct Case {
        int kind;
        double x, y;
    };
    for (const Case& c : {Case{0, 2, -3}, Case{1, -2, 3}, Case{2, -2, -3}, Case{5, 2, 3}, Case{-1, 2, 3}}) {
        const TPoint2D p = TMatrix4::CreateMirror(c.kind).TransformPoint2D(MakePoint2D(2, 3));
        EXPECT_EQ(p.X, c.x) << "kind " << c.kind;
        EXPECT_EQ(p.Y, c.y) << "kind " << c.kind;
    }
    EXPECT_TRUE(TMatrix4::CreateMirror(5).IsEqual(IdentityMatrix4()));
    TMatrix4 m = TMatrix4::CreateTranslation(1, 1, 0);
    m.Mirror(1);
    EXPECT_EQ(m.TransformPoint2D(MakePoint2D(0, 0)).X, -1.0);
}

TEST(Matrix4, TransformPoint2DUsesTheWeightAndOnlyTheXYColumns)
{
    const TPoint2D p = TMatrix4::CreateTranslation(10, 0, 0).TransformPoint2D(TPoint2D{2, 4, 2});
    EXPECT_EQ(p.X, 22.0);
    EXPECT_EQ(p.Y, 4.0);
    EXPECT_EQ(p.W, 2.0);

    // Elements of the Z row and column take no part in the 2D transform.
    TMatrix4 m;
    for (int i : {2, 6, 8, 9, 10, 11, 14})
        m.SetElement(i, 99.0);
    const TPoint2D q = m.TransformPoint2D(TPoint2D{3, 5, 1});
    EXPECT_EQ(q.X, 3.0);
    EXPECT_EQ(q.Y, 5.0);
    EXPECT_EQ(q.W, 1.0);

    const TPoint3D r = kProjective.TransformPoint3D(TPoint3D{1, 2, 3, 4});
    EXPECT_DOUBLE_EQ(r.X, 1 * 1.0 + 2 * -1.0 + 3 * 0.25 + 4 * 4.0);
    EXPECT_DOUBLE_EQ(r.W, 1 * 0.1 + 2 * 0.2 + 3 * 0.3 + 4 * 2.0);
}

TEST(Matrix4, TransformAffineIgnoresTheProjectiveColumnAndMayWorkInPlace)
{
    float v[3] = {1.0f, 2.0f, 3.0f};
    kProjective.TransformAffine(v, v);
    EXPECT_FLOAT_EQ(v[0], 1 * 1.0f + 2 * -1.0f + 3 * 0.25f + 4.0f);
    EXPECT_FLOAT_EQ(v[1], 1 * 2.0f + 2 * 3.0f + 5.0f);
    EXPECT_FLOAT_EQ(v[2], 1 * 0.5f + 3 * 2.0f + 6.0f);
}

TEST(Matrix4, FromTransform2DActsOnXYAndWeight)
{
    TTransform2D t;
    t.T[0][0] = 2; t.T[0][1] = 3; t.T[0][2] = 0.5;
    t.T[1][0] = 4; t.T[1][1] = 5; t.T[1][2] = 0.25;
    t.T[2][0] = 6; t.T[2][1] = 7; t.T[2][2] = 8;
    const TMatrix4 m = TMatrix4::CreateFromTransform2D(t);
    const double expected[16] = {2, 3, 0, 0.5, 4, 5, 0, 0.25, 0, 0, 1, 0, 6, 7, 0, 8};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m.GetElement(i), expected[i]) << i;
}

TEST(Matrix4, InvertIsTrueDownToSmallRealScales)
{
    struct Case {
        const char* name;
        TMatrix4 m;
    };
    TMatrix4 thousandth = TMatrix4::CreateScale(0.001, 0.001, 0.001);
    TMatrix4 tiny = TMatrix4::CreateScale(1.0 / 600, 1.0 / 600, 1.0);
    tiny.Translate(0.25, -0.5, 0);
    const Case cases[] = {
        {"scale 0.001 (det 1e-9)", thousandth},
        {"scale 1/600 with translation", tiny},
        {"det 2e-5", TMatrix4::CreateScale(0.02, 0.001, 1.0)},
        {"rotation, scale, translation", kAffine},
        {"projective", kProjective},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMatrix4 inverse;
        inverse.Invert(c.m);
        EXPECT_FALSE(inverse.IsEqual(IdentityMatrix4()));
        TMatrix4 product;
        product.Multiply(c.m, inverse);
        ExpectNear(product, IdentityMatrix4(), 1e-12);

        TMatrix4 self = c.m;
        self.InvertFrom(self);
        EXPECT_TRUE(self.IsEqual(inverse));
    }
    TMatrix4 inverse;
    inverse.Invert(thousandth);
    EXPECT_NEAR(inverse.GetElement(0), 1000.0, 1e-9);
    EXPECT_TRUE(inverse.IsAffine());
}

TEST(Matrix4, SingularOrNonFiniteInvertsToIdentity)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    TMatrix4 dependent = kAffine; // row 1 a multiple of row 0
    for (int c = 0; c < 3; ++c)
        dependent.SetElement(4 + c, 3.0 * dependent.GetElement(c));
    TMatrix4 withNan = kAffine;
    withNan.SetElement(13, nan);
    TMatrix4 withInf = kProjective;
    withInf.SetElement(7, inf);
    TMatrix4 zeroProjective = kProjective;
    for (int c = 0; c < 4; ++c)
        zeroProjective.SetElement(8 + c, 0.0);
    const std::pair<const char*, TMatrix4> cases[] = {
        {"scale 0 in X", TMatrix4::CreateScale(0, 1, 1)},
        {"dependent rows", dependent},
        {"NaN", withNan},
        {"infinity", withInf},
        {"projective with a zero row", zeroProjective},
    };
    for (const auto& [name, m] : cases) {
        TMatrix4 inverse = TMatrix4::CreateTranslation(5, 5, 5);
        inverse.Invert(m);
        EXPECT_TRUE(inverse.IsEqual(IdentityMatrix4())) << name;
    }
}

TEST(Matrix4, LockBlocksSetElementOnly)
{
    TMatrix4 m = TMatrix4::CreateTranslation(1, 2, 3);
    m.SetLocked(true);
    m.SetElement(12, 50.0);
    EXPECT_EQ(m.GetElement(12), 1.0);

    m.Translate(1, 0, 0);
    EXPECT_EQ(m.GetElement(12), 2.0);
    m.Assign(&kAffine);
    EXPECT_TRUE(m.IsEqual(kAffine));
    EXPECT_TRUE(m.Locked()) << "Assign keeps the target's flag";
    m.Assign(nullptr);
    EXPECT_TRUE(m.IsEqual(IdentityMatrix4()));

    const TMatrix4 copy = m;
    EXPECT_FALSE(copy.Locked());
    TMatrix4 target;
    target = m;
    EXPECT_FALSE(target.Locked());
}

TEST(Matrix4, IsEqualIsExact)
{
    TMatrix4 m = kAffine;
    EXPECT_TRUE(m.IsEqual(kAffine));
    m.SetElement(15, std::nextafter(1.0, 2.0));
    EXPECT_FALSE(m.IsEqual(kAffine));
}

TEST(Matrix4, SharedMatrices)
{
    EXPECT_EQ(&IdentityMatrix4(), &IdentityMatrix4());
    EXPECT_TRUE(IdentityMatrix4().IsEqual(TMatrix4()));
    EXPECT_EQ(&ScratchMatrix4(), &ScratchMatrix4());
    EXPECT_NE(static_cast<const void*>(&ScratchMatrix4()), static_cast<const void*>(&IdentityMatrix4()));
}

}  // namespace matrix4_test
