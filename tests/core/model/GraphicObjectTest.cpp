#include "core/model/GraphicObject.h"
#include "core/file/Stream.h"
#include "tests/support/TestObject2D.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace graphic_object_test {

using kbtest::TBytes;
using kbtest::TTestObject2D;

namespace {

using TElements = std::array<double, 16>;

constexpr TElements kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TElements Elements(const TMatrix4& m)
{
    TElements e{};
    for (int i = 0; i < 16; ++i)
        e[i] = m.GetElement(i);
    return e;
}

TBytes& AppendDoubles(TBytes& b, const double* values, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        b.F64(values[i]);
    return b;
}

TRect2D Rect(double x1, double y1, double x2, double y2)
{
    return TRect2D{MakePoint2D(x1, y1), MakePoint2D(x2, y2)};
}

// A handler that reports control point Index at Point, as the primitives'
// handler would.
class TFixedHandler : public TObject2DHandler {
public:
    TFixedHandler(TPoint2D point, int32_t index, TObject2D* owner = nullptr)
        : TObject2DHandler(owner), m_Point(point), m_Index(index)
    {
    }
    void DrawControlPoints(TObject2D&, TCanvas2D&) override {}
    int32_t PickAt(TObject2D&, const TPoint2D& p, double& distance, double aperture) override
    {
        ++Calls;
        const double d = std::hypot(p.X - m_Point.X, p.Y - m_Point.Y);
        if (d > aperture || d > distance)
            return PickNone;
        distance = d;
        return m_Index;
    }
    int Calls = 0;

private:
    TPoint2D m_Point;
    int32_t m_Index;
};

} // namespace

TEST(GraphicObjectRecord, HeadFlagsFromHandBuiltBytes)
{
    struct Case {
        uint8_t flags;
        bool visible, enabled, saved;
    };
    // Bit 0 visible, bit 1 enabled, bit 2 set means the object is NOT saved;
    // the other bits are ignored.
    const Case cases[] = {
        {0x03, true, true, true},  {0x07, true, true, false}, {0x00, false, false, true},
        {0x04, false, false, false}, {0xF9, true, false, true}, {0xFA, false, true, true},
    };
    for (const Case& c : cases) {
        TBytes bytes;
        bytes.I32(-77).U8(200).U8(c.flags);
        AppendDoubles(bytes, kIdentity.data(), 16).U8(0xAB);
        TMemoryStream s(bytes.Data());
        TTestObject2D o(s, "QV-3.6");
        SCOPED_TRACE(static_cast<int>(c.flags));
        EXPECT_EQ(o.ID(), -77);
        EXPECT_EQ(o.Layer(), 200);
        EXPECT_EQ(o.Visible(), c.visible);
        EXPECT_EQ(o.Enabled(), c.enabled);
        EXPECT_EQ(o.Saved(), c.saved);
        EXPECT_TRUE(o.Pickable());
        EXPECT_EQ(o.Owner(), nullptr);
        EXPECT_EQ(o.TreeNode(), NoTreeNode);
        EXPECT_FALSE(o.HasTransform()) << "an identity is kept as no transform";
        EXPECT_EQ(o.Handler(), nullptr);
        EXPECT_EQ(ReadUInt8(s), 0xAB) << "the record is 6 + 128 bytes";
    }
}

TEST(GraphicObjectRecord, TransformFormFollowsTheSignature)
{
    // 4x4 form: element 0 first, row-major; a translation (5, 7, 0) with a
    // scale of 2 in X.
    const TElements full = {2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 7, 0, 1};
    // 3x3 form, row by row: a quarter turn and a move by (10, 20) acting on
    // (x, y, w); it becomes rows (T11 T12 0 T13), (T21 T22 0 T23),
    // (0 0 1 0), (T31 T32 0 T33).
    const double old3x3[9] = {0, 1, 0, -1, 0, 0, 10, 20, 1};
    const TElements fromOld = {0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 10, 20, 0, 1};

    struct Case {
        std::string signature;
        bool fullForm;
    };
    const Case cases[] = {{"QV-3.6", true}, {"QV-3.2", true},  {"QV-002", false},
                          {"QV-001", false}, {"CAD422", false}, {"CAD3  ", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.signature);
        TBytes bytes;
        bytes.I32(1).U8(0).U8(3);
        if (c.fullForm)
            AppendDoubles(bytes, full.data(), 16);
        else
            AppendDoubles(bytes, old3x3, 9);
        bytes.U8(0xCD);
        TMemoryStream s(bytes.Data());
        TTestObject2D o(s, c.signature);
        ASSERT_NE(o.ModelTransform(), nullptr);
        EXPECT_EQ(o.PendingTransform(), nullptr);
        EXPECT_EQ(Elements(*o.ModelTransform()), c.fullForm ? full : fromOld);
        EXPECT_EQ(ReadUInt8(s), 0xCD);
    }
}

TEST(GraphicObjectRecord, TruncatedRecordsRaise)
{
    TBytes head;
    head.I32(1).U8(0).U8(3);
    struct Case {
        std::string signature;
        size_t keep; // bytes of the record that survive
    };
    const Case cases[] = {{"QV-3.6", 0}, {"QV-3.6", 5}, {"QV-3.6", 6}, {"QV-3.6", 6 + 127},
                          {"QV-002", 6 + 71}, {"CAD41 ", 6 + 8}};
    for (const Case& c : cases) {
        TBytes bytes = head;
        for (int i = 0; i < 16; ++i)
            bytes.F64(1.0);
        std::vector<uint8_t> data = bytes.Data();
        data.resize(c.keep);
        TMemoryStream s(data);
        EXPECT_THROW(TTestObject2D(s, c.signature), EStreamReadError) << c.signature << " " << c.keep;
    }
}

TEST(GraphicObjectRecord, SaveFoldsThePendingTransformAndWritesTheNewestLayout)
{
    TTestObject2D o(42);
    o.SetLayer(9);
    o.SetVisible(false);
    o.SetSaved(false);
    o.SetModelTransform(TMatrix4::CreateTranslation(1, 2, 0));
    o.Transform(TMatrix4::CreateScale(2, 3, 1));

    TMemoryStream s;
    o.SaveToStream(s);

    // Translate first, then scale: (x, y) -> (2 (x + 1), 3 (y + 2)).
    const double combined[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1, 0, 2, 6, 0, 1};
    TBytes expected;
    expected.I32(42).U8(9).U8(0x06); // enabled, not visible, not saved
    AppendDoubles(expected, combined, 16);
    EXPECT_EQ(s.Data(), expected.Data());

    EXPECT_EQ(o.PendingTransform(), nullptr);
    ASSERT_NE(o.ModelTransform(), nullptr);
    EXPECT_EQ(Elements(*o.ModelTransform()), Elements(TMatrix4::CreateFromTransform2D({{{2, 0, 0}, {0, 3, 0}, {2, 6, 1}}})));
}

TEST(GraphicObjectRecord, SavedWithoutTransformWritesTheIdentity)
{
    TTestObject2D o(0);
    TMemoryStream s;
    o.SaveToStream(s);
    TBytes expected;
    expected.I32(0).U8(0).U8(0x03);
    AppendDoubles(expected, kIdentity.data(), 16);
    EXPECT_EQ(s.Data(), expected.Data());
}

TEST(ObjectTransforms, PendingAccumulatesAndIdentityIsNeverKept)
{
    TTestObject2D o(1, Rect(0, 0, 1, 1));
    o.SetTransform(IdentityMatrix4());
    EXPECT_FALSE(o.HasTransform());
    EXPECT_EQ(o.ComputeBoundsCalls, 1) << "SetTransform updates the bounds";
    EXPECT_EQ(&o.GetModelTransform(), &IdentityMatrix4());

    o.Transform(TMatrix4::CreateTranslation(3, 0, 0));
    o.Transform(TMatrix4::CreateScale(2, 2, 1));
    ASSERT_NE(o.PendingTransform(), nullptr);
    EXPECT_EQ(o.ModelTransform(), nullptr);
    EXPECT_EQ(&o.GetModelTransform(), o.PendingTransform()) << "only a pending transform: returned as it is";
    // The box follows the pending transform at once: (0..1) -> (6..8) in X.
    EXPECT_DOUBLE_EQ(o.Box().FirstEdge.X, 6);
    EXPECT_DOUBLE_EQ(o.Box().SecondEdge.X, 8);
    EXPECT_DOUBLE_EQ(o.Box().SecondEdge.Y, 2);

    o.Transform(TMatrix4::CreateScale(0.5, 0.5, 1));
    o.Transform(TMatrix4::CreateTranslation(-3, 0, 0));
    EXPECT_FALSE(o.HasTransform()) << "a pending transform that returns to the identity is dropped";
}

TEST(ObjectTransforms, ModelTransformComesBackThroughTheScratchMatrix)
{
    TTestObject2D a(1);
    TTestObject2D b(2);
    a.SetModelTransform(TMatrix4::CreateTranslation(1, 0, 0));
    b.SetModelTransform(TMatrix4::CreateTranslation(0, 1, 0));
    b.Transform(TMatrix4::CreateTranslation(0, 1, 0));

    const TMatrix4& ma = a.GetModelTransform();
    EXPECT_EQ(&ma, &ScratchMatrix4());
    EXPECT_EQ(ma.GetElement(12), 1);
    const TMatrix4& mb = b.GetModelTransform();
    EXPECT_EQ(&mb, &ScratchMatrix4());
    EXPECT_EQ(mb.GetElement(13), 2) << "model x pending";
    EXPECT_EQ(ma.GetElement(12), 0) << "the shared result is only valid until the next request";
}

TEST(ObjectTransforms, ApplyFoldsPendingIntoModelWithoutRecomputingTheBox)
{
    TTestObject2D o(1, Rect(0, 0, 1, 1));
    o.SetModelTransform(TMatrix4::CreateScale(2, 2, 1));
    o.Transform(TMatrix4::CreateTranslation(5, 0, 0));
    const int calls = o.ComputeBoundsCalls;
    o.ApplyTransform();
    EXPECT_EQ(o.ComputeBoundsCalls, calls);
    EXPECT_EQ(o.PendingTransform(), nullptr);
    ASSERT_NE(o.ModelTransform(), nullptr);
    EXPECT_EQ(o.ModelTransform()->GetElement(0), 2);
    EXPECT_EQ(o.ModelTransform()->GetElement(12), 5);

    // Only a pending transform: it becomes the model transform.
    TTestObject2D p(2);
    p.Transform(TMatrix4::CreateTranslation(0, 4, 0));
    p.ApplyTransform();
    EXPECT_EQ(p.PendingTransform(), nullptr);
    ASSERT_NE(p.ModelTransform(), nullptr);
    EXPECT_EQ(p.ModelTransform()->GetElement(13), 4);

    // SetModelTransform drops the pending transform; ResetTransforms drops both.
    p.Transform(TMatrix4::CreateTranslation(1, 0, 0));
    p.SetModelTransform(IdentityMatrix4());
    EXPECT_FALSE(p.HasTransform());
    p.SetModelTransform(TMatrix4::CreateScale(3, 3, 1));
    p.Transform(TMatrix4::CreateTranslation(1, 0, 0));
    p.ResetTransforms();
    EXPECT_FALSE(p.HasTransform());
}

TEST(ObjectTransforms, AssignFoldsTheSourcesTransformAndCopiesItsState)
{
    TTestObject2D source(7, Rect(0, 0, 2, 2));
    source.SetLayer(3);
    source.SetVisible(false);
    source.SetEnabled(false);
    source.SetSaved(false);
    source.SetPickable(false);
    source.SetModelTransform(TMatrix4::CreateTranslation(1, 0, 0));
    source.Transform(TMatrix4::CreateTranslation(0, 1, 0));
    auto* handler = new TFixedHandler(MakePoint2D(0, 0), 0);
    source.SetHandler(handler);

    TTestObject2D target(8);
    target.Transform(TMatrix4::CreateScale(9, 9, 1));
    target.Assign(source);

    EXPECT_EQ(target.ID(), 8);
    EXPECT_EQ(target.Layer(), 0);
    EXPECT_TRUE(target.Pickable());
    EXPECT_FALSE(target.Visible());
    EXPECT_FALSE(target.Enabled());
    EXPECT_FALSE(target.Saved());
    EXPECT_EQ(target.PendingTransform(), nullptr);
    ASSERT_NE(target.ModelTransform(), nullptr);
    EXPECT_EQ(target.ModelTransform()->GetElement(12), 1);
    EXPECT_EQ(target.ModelTransform()->GetElement(13), 1);
    EXPECT_DOUBLE_EQ(target.Box().SecondEdge.X, 3);
    EXPECT_DOUBLE_EQ(target.Box().SecondEdge.Y, 3);
    EXPECT_EQ(target.Handler(), handler);
    EXPECT_EQ(handler->RefCount(), 3);
    EXPECT_NE(source.PendingTransform(), nullptr) << "the source keeps its own transforms";

    target.Assign(target);
    EXPECT_EQ(handler->RefCount(), 3);
    handler->Release();
}

TEST(ObjectTransforms, TransformedConstructorInverseAndTranslate)
{
    TTestObject2D preview(5, TMatrix4::CreateTranslation(10, 0, 0), 3, 0x0000FF);
    EXPECT_FALSE(preview.Pickable());
    EXPECT_EQ(preview.OwnLineWidth(), 3);
    EXPECT_EQ(preview.OwnColor(), 0x0000FFu);
    ASSERT_NE(preview.PendingTransform(), nullptr);
    EXPECT_EQ(preview.ModelTransform(), nullptr);

    const TPoint2D back = preview.InverseTransformPoint(MakePoint2D(12, 3));
    EXPECT_DOUBLE_EQ(back.X, 2);
    EXPECT_DOUBLE_EQ(back.Y, 3);

    // Weighted points are made cartesian first: (4, 6, 2) is (2, 3).
    TTestObject2D o(6);
    TranslateObject(o, TPoint2D{4, 6, 2}, MakePoint2D(1, 1));
    ASSERT_NE(o.PendingTransform(), nullptr);
    EXPECT_EQ(o.PendingTransform()->GetElement(12), 1);
    EXPECT_EQ(o.PendingTransform()->GetElement(13), 2);
}

TEST(ObjectBounds, UpdateBoundsFiresTheChangeEventAndVisibilityInRectIsInclusive)
{
    TTestObject2D o(1, Rect(0, 0, 10, 10));
    int changes = 0;
    o.SetOnChange([&](TGraphicObject& changed) {
        EXPECT_EQ(&changed, &o);
        ++changes;
    });
    o.UpdateBounds();
    EXPECT_EQ(changes, 1);

    struct Case {
        TRect2D rect;
        bool expected;
    };
    const Case cases[] = {
        {Rect(10, 10, 20, 20), true},   // touching corner
        {Rect(-5, 2, 0, 3), true},      // touching left edge
        {Rect(10.001, 0, 20, 10), false},
        {Rect(2, -5, 3, -0.001), false},
        {Rect(2, 2, 3, 3), true},       // inside
        {Rect(-100, -100, 100, 100), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(o.IsVisibleInRect(c.rect), c.expected) << c.rect.FirstEdge.X << "," << c.rect.FirstEdge.Y;
    o.SetVisible(false);
    EXPECT_FALSE(o.IsVisibleInRect(Rect(2, 2, 3, 3)));
}

TEST(ObjectBounds, Object3DSetsItsPlanBox)
{
    struct TSolid : TObject3D {
        TSolid() : TObject3D(1) {}
        TSolid(const TSolid& source, TCloneTag tag) : TObject3D(source, tag) {}
        std::unique_ptr<TGraphicObject> CloneObject() const override
        {
            return std::unique_ptr<TGraphicObject>(new TSolid(*this, TCloneTag{}));
        }
        std::string_view ClassName() const override { return "TSolid"; }
        void ComputeBounds() override {}
        void Draw() override {}
        void DrawOnCanvas(TCanvas2D&, bool) override {}
        void DrawOnCanvasTransformed(TCanvas2D&, const TMatrix4&) override {}
        void DrawSelected() override {}
        TIntRect GetScreenRect() override { return {}; }
    } solid;
    solid.SetBox3D(TBox3D{TPoint3D{1, 2, 3, 1}, TPoint3D{4, 5, 6, 1}});
    EXPECT_EQ(solid.Box3D().SecondEdge.Z, 6);
    EXPECT_EQ(solid.Box().FirstEdge.X, 1);
    EXPECT_EQ(solid.Box().FirstEdge.Y, 2);
    EXPECT_EQ(solid.Box().SecondEdge.X, 4);
    EXPECT_EQ(solid.Box().SecondEdge.Y, 5);
    EXPECT_EQ(solid.Box().SecondEdge.W, 1);
}

TEST(ObjectPicking, CodesAndDistances)
{
    // Box (0, 0)-(10, 10), aperture 1; the handler knows control point 4 at
    // (11.5, 5), outside the widened box.
    struct Case {
        TPoint2D point;
        bool enabled;
        bool withHandler;
        int32_t code;
        double distance;
    };
    const Case cases[] = {
        {MakePoint2D(11, 5), true, false, PickInBox, 1.0},           // on the widened edge
        {MakePoint2D(-1, -1), true, false, PickInBox, 1.0},          // widened corner
        {MakePoint2D(11.01, 5), true, false, PickNone, PickFarDistance},
        {MakePoint2D(5, 5), false, true, PickNone, PickFarDistance}, // disabled
        {MakePoint2D(5, 5), true, true, PickInBox, 1.0},             // handler misses
        {MakePoint2D(11, 5), true, true, 4, 0.5},                    // index beats -100
        {MakePoint2D(12.25, 5), true, true, 4, 0.75},                // outside the box
    };
    for (const Case& c : cases) {
        TTestObject2D o(1, Rect(0, 0, 10, 10));
        o.SetEnabled(c.enabled);
        auto* handler = new TFixedHandler(MakePoint2D(11.5, 5), 4);
        if (c.withHandler)
            o.SetHandler(handler);
        double distance = -1;
        EXPECT_EQ(o.PickAt(c.point, distance, 1.0), c.code) << c.point.X << "," << c.point.Y;
        EXPECT_DOUBLE_EQ(distance, c.distance) << c.point.X << "," << c.point.Y;
        if (!c.enabled) {
            EXPECT_EQ(handler->Calls, 0) << "a disabled object never asks its handler";
        }
        handler->Release();
    }
}

TEST(ObjectHandler, ReferencesAreCountedAndAnOwnedHandlerLetsGoOfItsOwner)
{
    auto* shared = new TFixedHandler(MakePoint2D(0, 0), 0);
    {
        TTestObject2D a(1);
        TTestObject2D b(2);
        a.SetHandler(shared);
        b.SetHandler(shared);
        EXPECT_EQ(shared->RefCount(), 3);
        a.SetHandler(shared); // the same handler again must not free it
        EXPECT_EQ(shared->RefCount(), 3);
        b.SetHandler(nullptr);
        EXPECT_EQ(shared->RefCount(), 2);
    }
    EXPECT_EQ(shared->RefCount(), 1) << "destroying an object releases its reference";

    TTestObject2D owner(3);
    auto* owned = new TFixedHandler(MakePoint2D(0, 0), 0, &owner);
    owner.SetHandler(owned);
    owned->Release(); // the creator's reference
    EXPECT_EQ(owner.Handler(), owned);
    shared->AddRef();
    owner.SetHandler(shared); // frees the owned handler
    EXPECT_EQ(owner.Handler(), shared);
    owner.SetHandler(nullptr);
    shared->Release();
    shared->Release(); // freed here; ASan reports a leak or double free otherwise
}

}  // namespace graphic_object_test
