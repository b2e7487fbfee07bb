#include "core/geometry/Vertice.h"
#include "core/file/Stream.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace vertice_test {

namespace {

TEST(Vertice, NewVertexHasIDMinusOne)
{
    const TAVertice v = TAVertice::Create();
    EXPECT_EQ(v.Kind, 0);
    EXPECT_EQ(v.Attribute, 0);
    EXPECT_EQ(v.ID, -1);
    EXPECT_EQ(TAVertice::CreateAt({1, 2}, 9).ID, -1);
    EXPECT_EQ(TAVertice::CreateAt({1, 2}, 9).Attribute, 9);
    const TAVertice points = TAVertice::CreatePoints({1, 2}, {3, 4});
    EXPECT_EQ(points.Kind, 0);
    EXPECT_EQ(points.Centre.Y, 4);
    EXPECT_EQ(points.ID, -1);
    const TAVertice full = TAVertice::CreateFull(-1, {1, 2}, {3, 4}, 5);
    EXPECT_EQ(full.Kind, -1);
    EXPECT_EQ(full.ID, -1);

    TAVertice withId = full;
    withId.ID = 12;
    EXPECT_EQ(TAVertice::CreateCopy(withId).ID, 12); // the copy carries the ID
    TAVertice target;
    target.Assign(withId);
    EXPECT_EQ(target.ID, 12);
    EXPECT_EQ(target.Centre.X, 3);
}

TEST(Vertice, RecordOf44BytesReadAndWrittenBack)
{
    const auto bytes = kbtest::TBytes()
                           .I32(-1)        // kind: clockwise arc
                           .F64(1.5)       // end X
                           .F64(-2.25)     // end Y
                           .F64(10.0)      // centre X
                           .F64(20.0)      // centre Y
                           .I32(0x01020304) // attribute
                           .I32(7)         // ID at offset 40
                           .Data();
    ASSERT_EQ(bytes.size(), 44u);
    ASSERT_EQ(bytes[40], 7);

    TMemoryStream in(bytes);
    const TAVertice v = TAVertice::CreateFromStream(in);
    EXPECT_EQ(in.Position(), 44);
    EXPECT_EQ(v.Kind, -1);
    EXPECT_EQ(v.EndPoint.X, 1.5);
    EXPECT_EQ(v.EndPoint.Y, -2.25);
    EXPECT_EQ(v.Centre.X, 10.0);
    EXPECT_EQ(v.Centre.Y, 20.0);
    EXPECT_EQ(v.Attribute, 0x01020304);
    EXPECT_EQ(v.ID, 7);

    TMemoryStream out;
    v.SaveToStream(out);
    EXPECT_EQ(out.Data(), bytes);

    // A new vertex writes its default ID -1 as the last four bytes.
    TMemoryStream fresh;
    TAVertice::Create().SaveToStream(fresh);
    const auto expected = kbtest::TBytes().I32(0).F64(0).F64(0).F64(0).F64(0).I32(0).I32(-1).Data();
    EXPECT_EQ(fresh.Data(), expected);
}

TEST(Vertice, RecordOf56BytesReadAndWrittenBack)
{
    const auto bytes = kbtest::TBytes()
                           .I32(1)      // kind: counter-clockwise arc
                           .F64(1.0)    // end X, Y, Z
                           .F64(2.0)
                           .F64(-3.5)
                           .F64(4.0)    // centre X, Y, Z
                           .F64(5.0)
                           .F64(-3.5)
                           .I32(83)     // attribute at offset 52
                           .Data();
    ASSERT_EQ(bytes.size(), 56u);

    TMemoryStream in(bytes);
    const TAVertice3d v = TAVertice3d::CreateFromStream(in);
    EXPECT_EQ(in.Position(), 56);
    EXPECT_EQ(v.Kind, 1);
    EXPECT_EQ(v.EndPoint.Z, -3.5);
    EXPECT_EQ(v.Centre.X, 4.0);
    EXPECT_EQ(v.Centre.Y, 5.0);
    EXPECT_EQ(v.Attribute, 83);

    TMemoryStream out;
    v.SaveToStream(out);
    EXPECT_EQ(out.Data(), bytes);
}

TEST(Vertice, TruncatedRecordsRaiseInsteadOfReadingZeros)
{
    // A record cut inside its ID would otherwise give ID 0, a real entity.
    auto bytes = kbtest::TBytes().I32(0).F64(1).F64(2).F64(0).F64(0).I32(0).Data();
    bytes.push_back(0xff);
    TMemoryStream cut2d(bytes);
    EXPECT_THROW(TAVertice::CreateFromStream(cut2d), EStreamReadError);

    TMemoryStream cut3d(kbtest::TBytes().I32(0).F64(1).F64(2).Data());
    EXPECT_THROW(TAVertice3d::CreateFromStream(cut3d), EStreamReadError);
    TMemoryStream empty;
    EXPECT_THROW(TAVertice3d::CreateFromStream(empty), EStreamReadError);
}

TEST(Vertice, ThreeDimensionalVertexFrom2D)
{
    TAVertice source = TAVertice::CreateFull(1, {1, 2}, {3, 4}, 5);
    source.ID = 44;
    TAVertice3d v = TAVertice3d::CreateAt({9, 9, 9});
    v.AssignFrom2D(source, -2);
    EXPECT_EQ(v.Kind, 1);
    EXPECT_EQ(v.EndPoint.X, 1);
    EXPECT_EQ(v.EndPoint.Y, 2);
    EXPECT_EQ(v.EndPoint.Z, -2);
    EXPECT_EQ(v.Centre.X, 3);
    EXPECT_EQ(v.Centre.Y, 4);
    EXPECT_EQ(v.Centre.Z, -2);
    EXPECT_EQ(v.Attribute, 5);

    const TAVertice3d fresh = TAVertice3d::Create();
    EXPECT_EQ(fresh.Kind, 0);
    EXPECT_EQ(fresh.EndPoint.Z, 0);
    const TAVertice3d full = TAVertice3d::CreateFull(-1, {1, 2, 3}, {4, 5, 6}, 7);
    TAVertice3d copy = TAVertice3d::CreateCopy(full);
    EXPECT_EQ(copy.Centre.Z, 6);
    copy.Assign(fresh);
    EXPECT_EQ(copy.Kind, 0);
    EXPECT_EQ(copy.Attribute, 0);
}

TEST(Vertice, TangentsOnLinesAndBothArcDirections)
{
    struct Case {
        int32_t kind;
        TVector2D end, centre;
        TVector2D tangent;
    };
    // Each segment starts where the previous vertex ended, at (10, 0).
    const Case cases[] = {
        {1, {0, 10}, {0, 0}, {0, 10}},      // counter-clockwise: radius turned +90
        {-1, {0, -10}, {0, 0}, {0, -10}},   // clockwise: radius turned -90
        {0, {10, 5}, {0, 0}, {0, 5}},       // line: the end-point difference
        {1, {13, 3}, {10, 3}, {3, 0}},      // radius (0, -3) turned +90
        {-1, {7, 3}, {10, 3}, {-3, 0}},
        {5, {0, -10}, {0, 0}, {0, -10}},    // any kind but 0 and 1 turns clockwise
    };
    const TAVertice previous = TAVertice::CreateAt({10, 0}, 0);
    for (const auto& c : cases) {
        const TAVertice current = TAVertice::CreateFull(c.kind, c.end, c.centre, 0);
        const TVector2D t = TangentAtStart(previous, current);
        EXPECT_NEAR(t.X, c.tangent.X, 1e-12) << "kind " << c.kind;
        EXPECT_NEAR(t.Y, c.tangent.Y, 1e-12) << "kind " << c.kind;

        TAVertice3d previous3d, current3d;
        previous3d.AssignFrom2D(previous, 4);
        current3d.AssignFrom2D(current, -1); // Z takes no part
        const TVector2D t3 = StartTangent3d(previous3d, current3d);
        EXPECT_NEAR(t3.X, c.tangent.X, 1e-12);
        EXPECT_NEAR(t3.Y, c.tangent.Y, 1e-12);
    }

    // Along an arc the tangent follows the point; along a line it does not.
    const TAVertice arc = TAVertice::CreateFull(1, {0, 10}, {0, 0}, 0);
    const TVector2D atTop = TangentAtPoint({0, 10}, previous, arc);
    EXPECT_NEAR(atTop.X, -10, 1e-12);
    EXPECT_NEAR(atTop.Y, 0, 1e-12);
    const TAVertice line = TAVertice::CreateAt({10, 5}, 0);
    const TVector2D onLine = TangentAtPoint({10, 2}, previous, line);
    EXPECT_EQ(onLine.X, 0);
    EXPECT_EQ(onLine.Y, 5);
}

} // namespace

}  // namespace vertice_test
