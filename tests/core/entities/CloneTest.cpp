// Clone of every entity class: the copy is of the same class, carries the
// whole state (also what the stored record leaves out), shares nothing that
// either side may change, and stays out of the document, the scene and the
// tree. Containers deep-copy their children through it.

#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/Etichetta.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVBSpline2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "core/entities/VectFont.h"
#include "tests/support/RecordingView.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace clone_test {

namespace {

constexpr double kPi = std::numbers::pi;

const std::array<TPoint2D, 4> kZigZag{Point2D(0, 0), Point2D(10, 5), Point2D(20, -5), Point2D(30, 0)};

// The font of the text rows; referenced, never owned, by the texts.
TVectFont& TextFont()
{
    static TVectFont font;
    return font;
}

QImage SmallImage()
{
    QImage image(2, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, 0xFF102030u);
    image.setPixel(1, 0, 0x80405060u);
    image.setPixel(0, 1, 0x00708090u);
    image.setPixel(1, 1, 0xFFA0B0C0u);
    return image;
}

std::vector<uint8_t> SavedBytes(TGraphicObject& object)
{
    TMemoryStream stream;
    object.SaveToStream(stream);
    return stream.Data();
}

void ExpectSameRect(const TRect2D& a, const TRect2D& b)
{
    EXPECT_EQ(a.FirstEdge.X, b.FirstEdge.X);
    EXPECT_EQ(a.FirstEdge.Y, b.FirstEdge.Y);
    EXPECT_EQ(a.SecondEdge.X, b.SecondEdge.X);
    EXPECT_EQ(a.SecondEdge.Y, b.SecondEdge.Y);
}

void ExpectSameMatrix(const TMatrix4* a, const TMatrix4* b)
{
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(a->IsEqual(*b));
}

struct TCloneCase {
    const char* Name;
    std::function<std::unique_ptr<TObject2D>()> Make;
};

// One instance of every entity class, each with some state of its own
// class that differs from what its constructor sets.
std::vector<TCloneCase> Cases()
{
    return {
        {"TPunto2D", [] { return std::make_unique<TPunto2D>(31, Point2D(1, 2)); }},
        {"TLine2D", [] { return std::make_unique<TLine2D>(31, Point2D(1, 2), Point2D(7, -3)); }},
        {"TPolyline2D", [] { return std::make_unique<TPolyline2D>(31, kZigZag); }},
        {"TPolygon2D", [] { return std::make_unique<TPolygon2D>(31, kZigZag); }},
        {"TFrame2D",
         [] {
             auto frame = std::make_unique<TFrame2D>(31, Point2D(0, 0), Point2D(8, 4));
             frame->SetSegments(7);
             return frame;
         }},
        {"TRectangle2D", [] { return std::make_unique<TRectangle2D>(31, Point2D(-2, -1), Point2D(3, 6)); }},
        {"TEllipse2D",
         [] {
             // Without a kept profile: the copy must not inherit the
             // source's bracket either.
             auto ellipse = std::make_unique<TEllipse2D>(31, Point2D(0, 0), Point2D(10, 4));
             ellipse->SetKeepProfile(false);
             return ellipse;
         }},
        {"TFilledEllipse2D", [] { return std::make_unique<TFilledEllipse2D>(31, Point2D(0, 0), Point2D(4, 10)); }},
        {"TEllipseOpen2D",
         [] {
             auto arc = std::make_unique<TEllipseOpen2D>(31, Point2D(0, 0), Point2D(10, 6), 0.3, 2.0);
             arc->SetDirection(false);
             return arc;
         }},
        {"TArco2D",
         [] {
             auto arc = std::make_unique<TArco2D>(31, Point2D(5, 5), Point2D(8, 5), kPi / 6, kPi);
             arc->SetDirection(0);
             arc->SetSegments(20);
             return arc;
         }},
        {"TCerchio2D", [] { return std::make_unique<TCerchio2D>(31, Point2D(1, 1), Point2D(4, 5)); }},
        {"TFilledCerchio2D", [] { return std::make_unique<TFilledCerchio2D>(31, Point2D(-1, 0), Point2D(2, 0)); }},
        {"TBSpline2D",
         [] {
             auto spline = std::make_unique<TBSpline2D>(31, kZigZag);
             spline->SetOrder(4);
             return spline;
         }},
        {"TQVBSpline2D",
         [] {
             auto spline = std::make_unique<TQVBSpline2D>(31, kZigZag);
             spline->SetFlags(TSplineFlags{1, 0, 1, 1, 0});
             spline->SetDegree(2);
             for (double knot : {0.0, 0.0, 0.0, 0.5, 1.0, 1.0, 1.0})
                 spline->AddKnot(knot);
             for (double weight : {1.0, 2.0, 0.5, 1.0})
                 spline->AddWeight(weight);
             spline->UpdateBounds();
             return spline;
         }},
        {"TJustifiedVectText2D",
         [] {
             auto text = std::make_unique<TJustifiedVectText2D>(31, &TextFont(), MakeRect2D(0, 0, 40, 10), 5.0,
                                                                 "AB\rCD");
             text->SetHJustification(TJustifiedVectText2D::kJustifyCentre);
             text->SetVJustification(TJustifiedVectText2D::kJustifyMiddle);
             text->SetCharSpacing(0.25);
             text->SetInterLine(0.5);
             text->SetFlag(3);
             return text;
         }},
        {"TBitmap2D",
         [] {
             auto bitmap = std::make_unique<TBitmap2D>(31, Point2D(0, 0), Point2D(20, 10), SmallImage());
             bitmap->SetOpacity(0.8f);
             return bitmap;
         }},
        {"TEtichetta",
         [] {
             auto label = std::make_unique<TEtichetta>(false);
             label->SetID(31);
             label->Labels() = {{"first", 1.5f, 2.5f, 6.0f, 0.5f}, {"second", -3.0f, 4.0f, 8.0f, 1.25f}};
             label->SetFontIndex(2);
             return label;
         }},
    };
}

// Gives the object state that no constructor sets: both transforms, own
// pen, every flag off, layer 7, scene and tree nodes and an owner.
void Dress(TObject2D& object, TQV_01Cmp& owner)
{
    object.SetLayer(7);
    object.SetOwnColor(0x00123456u);
    object.SetOwnLineWidth(3);
    object.SetVisible(false);
    object.SetEnabled(false);
    object.SetSaved(false);
    object.SetPickable(false);
    object.SetModelTransform(TMatrix4::CreateRotationZ(30.0, true));
    object.Transform(TMatrix4::CreateTranslation(4.0, -2.0, 0.0));
    object.SetSceneNode(41);
    object.SetTreeNode(42);
    object.SetOwner(&owner);
}

// A change to the copy that the source would show if they shared state.
void ChangeCopy(TObject2D& copy)
{
    if (auto* primitive = dynamic_cast<TPrimitive2D*>(&copy))
        primitive->Points().SetPoint(0, Point2D(500, 500));
    else if (auto* label = dynamic_cast<TEtichetta*>(&copy))
        label->Labels()[0].Text = "changed";
}

} // namespace

TEST(Clone, EveryEntityClassCopiesItsWholeStateAndSharesNothing)
{
    TQV_01Cmp2D document;
    for (const TCloneCase& row : Cases()) {
        SCOPED_TRACE(row.Name);
        std::unique_ptr<TObject2D> original = row.Make();
        Dress(*original, document);
        int changes = 0;
        original->SetOnChange([&changes](TGraphicObject&) { ++changes; });
        TObject2DHandler* handler = original->Handler();
        const int32_t references = handler ? handler->RefCount() : 0;

        std::unique_ptr<TGraphicObject> clone = original->Clone();
        auto* copy = dynamic_cast<TObject2D*>(clone.get());
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->ClassName(), row.Name);

        // What the record does not hold, checked before saving folds the
        // pending transform into the model.
        EXPECT_EQ(copy->ID(), 31);
        EXPECT_EQ(copy->Layer(), 7);
        EXPECT_EQ(copy->OwnColor(), 0x00123456u);
        EXPECT_EQ(copy->OwnLineWidth(), 3);
        EXPECT_FALSE(copy->Visible());
        EXPECT_FALSE(copy->Enabled());
        EXPECT_FALSE(copy->Saved());
        EXPECT_FALSE(copy->Pickable());
        ExpectSameMatrix(copy->ModelTransform(), original->ModelTransform());
        ExpectSameMatrix(copy->PendingTransform(), original->PendingTransform());
        ExpectSameRect(copy->Box(), original->Box());
        EXPECT_EQ(copy->Handler(), handler);
        if (handler) {
            EXPECT_EQ(handler->RefCount(), references + 1);
        }
        EXPECT_EQ(copy->Owner(), nullptr);
        EXPECT_EQ(copy->SceneNode(), NoSceneNode);
        EXPECT_EQ(copy->TreeNode(), NoTreeNode);
        if (auto* curve = dynamic_cast<TCurve2D*>(original.get())) {
            auto& copyCurve = dynamic_cast<TCurve2D&>(*copy);
            EXPECT_EQ(copyCurve.Segments(), curve->Segments());
            EXPECT_EQ(copyCurve.KeepProfile(), curve->KeepProfile());
            EXPECT_EQ(copyCurve.HasProfile(), curve->KeepProfile());
            if (curve->KeepProfile()) {
                // A kept profile is readable without a bracket.
                const auto expected = curve->ProfilePoints().Points();
                const auto actual = copyCurve.ProfilePoints().Points();
                ASSERT_EQ(actual.size(), expected.size());
                for (size_t i = 0; i < expected.size(); ++i) {
                    EXPECT_EQ(actual[i].X, expected[i].X);
                    EXPECT_EQ(actual[i].Y, expected[i].Y);
                }
            }
        }

        const std::vector<uint8_t> copyBytes = SavedBytes(*copy);
        const std::vector<uint8_t> originalBytes = SavedBytes(*original);
        EXPECT_EQ(copyBytes, originalBytes);

        ChangeCopy(*copy);
        EXPECT_NE(SavedBytes(*copy), copyBytes);
        EXPECT_EQ(SavedBytes(*original), originalBytes);
        EXPECT_EQ(changes, 0) << "the copy fired the source's change event";

        clone.reset();
        if (handler) {
            EXPECT_EQ(handler->RefCount(), references);
        }
    }
}

TEST(Clone, FieldsOutsideTheRecordComeAlong)
{
    const std::array<TPoint2D, 3> points{Point2D(0, 0), Point2D(1, 1), Point2D(2, 0)};
    TQVBSpline2D spline(5, points);
    spline.SetKnotCount(9);
    spline.SetControlPointCount(6);
    spline.SecondVertices().AddXYZ(1, 2, 3);
    spline.SetNormal(TVector3D{0, 0, 1});
    spline.SetStartTangent(TVector3D{1, 0, 0});
    spline.SetEndTangent(TVector3D{0, -1, 0});
    const auto splineCopy = spline.Clone();
    const auto& s = dynamic_cast<const TQVBSpline2D&>(*splineCopy);
    EXPECT_EQ(s.KnotCount(), 9);
    EXPECT_EQ(s.ControlPointCount(), 6);
    ASSERT_EQ(s.SecondVertices().Count(), 1);
    EXPECT_EQ(s.SecondVertices().Get(0).Z, 3.0);
    EXPECT_EQ(s.Normal().Z, 1.0);
    EXPECT_EQ(s.StartTangent().X, 1.0);
    EXPECT_EQ(s.EndTangent().Y, -1.0);

    TJustifiedVectText2D text(6, &TextFont(), MakeRect2D(0, 0, 10, 10), 2.0, "A");
    const auto textCopy = text.Clone();
    EXPECT_EQ(dynamic_cast<const TJustifiedVectText2D&>(*textCopy).Font(), &TextFont());

    const TEtichetta label(false);
    const auto labelCopy = label.Clone();
    EXPECT_FALSE(dynamic_cast<const TEtichetta&>(*labelCopy).Detached());
}

TEST(Clone, ContainerAssignDeepCopiesLinesAndArcs)
{
    std::vector<std::unique_ptr<TObject2D>> children;
    children.push_back(std::make_unique<TLine2D>(1, Point2D(0, 0), Point2D(10, 0)));
    children.push_back(std::make_unique<TArco2D>(2, Point2D(10, 5), Point2D(15, 5), 0.0, kPi / 2));
    children.push_back(std::make_unique<TLine2D>(3, Point2D(10, 10), Point2D(0, 10)));
    auto source = std::make_unique<TContainer2D>(10, std::move(children));
    std::vector<std::unique_ptr<TObject2D>> old;
    old.push_back(std::make_unique<TCerchio2D>(9, Point2D(0, 0), Point2D(1, 0)));
    TContainer2D target(20, std::move(old));

    target.Assign(*source);

    std::vector<TGraphicObject*> from;
    std::vector<TGraphicObject*> to;
    {
        TGraphicObjIterator it = source->Objects().GetIterator();
        for (TGraphicObject* child = it.First(); child; child = it.Next())
            from.push_back(child);
        TGraphicObjIterator jt = target.Objects().GetIterator();
        for (TGraphicObject* child = jt.First(); child; child = jt.Next())
            to.push_back(child);
    }
    ASSERT_EQ(to.size(), 3u);
    std::vector<std::vector<uint8_t>> copied;
    for (size_t i = 0; i < to.size(); ++i) {
        EXPECT_NE(to[i], from[i]);
        EXPECT_EQ(to[i]->ClassName(), from[i]->ClassName());
        EXPECT_EQ(to[i]->ID(), from[i]->ID());
        copied.push_back(SavedBytes(*to[i]));
        EXPECT_EQ(copied.back(), SavedBytes(*from[i]));
    }

    // The copies live on when the source's children change and go.
    dynamic_cast<TLine2D&>(*from[0]).Points().SetPoint(1, Point2D(99, 99));
    dynamic_cast<TArco2D&>(*from[1]).SetDirection(0);
    source.reset();
    for (size_t i = 0; i < to.size(); ++i)
        EXPECT_EQ(SavedBytes(*to[i]), copied[i]);
    ExpectSameRect(target.Box(), MakeRect2D(0, 0, 15, 10));
}

TEST(Clone, BitmapKeepsPixelsAndOpacityButNotThePlane)
{
    kbtest::TRecordingViewServices view;
    TBitmap2D original(1, Point2D(0, 0), Point2D(20, 10), SmallImage());
    original.SetOpacity(0.8f);
    SetCurrentBitmap2D(&original);
    original.Draw();
    const TSceneNodeId plane = original.Plane();
    ASSERT_NE(plane, NoSceneNode);
    const std::vector<uint32_t> shown = view.Scene.As<TScenePlane>(plane)->Image->Pixels;

    const auto clone = original.Clone();
    auto& copy = dynamic_cast<TBitmap2D&>(*clone);
    EXPECT_EQ(copy.Opacity(), 0.8f);
    EXPECT_EQ(std::as_const(copy).Bitmap(), std::as_const(original).Bitmap());
    EXPECT_EQ(copy.Plane(), NoSceneNode);
    EXPECT_EQ(CurrentBitmap2D(), &original);

    // New pixels on the copy reach neither the source's image nor, through
    // the copy's texture refresh, the source's plane.
    copy.Bitmap().setPixel(0, 0, 0xFFFFFFFFu);
    copy.UpdateTexture();
    EXPECT_EQ(original.Bitmap().pixel(0, 0), 0xFF102030u);
    EXPECT_EQ(view.Scene.As<TScenePlane>(plane)->Image->Pixels, shown);
    SetCurrentBitmap2D(nullptr);
}

}  // namespace clone_test
