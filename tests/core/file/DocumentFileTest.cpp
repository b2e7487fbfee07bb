// The document file and the block library: the layout against hand-built
// files, the older signatures, merging, the library, the operations hooks.

#include "tests/core/DocumentTestSupport.h"

#include "core/entities/Arco2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Ellipse2D.h"
#include "core/entities/EllipseOpen2D.h"
#include "core/entities/Frame2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/JustifiedVectText2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Etichetta.h"
#include "core/entities/Line3D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/entities/QVBSpline2D.h"
#include "core/entities/QV_STLSurf.h"

#include <numbers>

namespace kbtest::document_file_test {
namespace {

using docfix::TPt;

// The first offset where two byte strings differ, for a readable failure.
::testing::AssertionResult SameBytes(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected)
{
    const size_t common = std::min(actual.size(), expected.size());
    for (size_t i = 0; i < common; ++i)
        if (actual[i] != expected[i])
            return ::testing::AssertionFailure() << "first difference at offset " << i << ": "
                                                 << int(actual[i]) << " instead of " << int(expected[i]);
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << actual.size() << " bytes instead of " << expected.size();
    return ::testing::AssertionSuccess();
}

void ExpectPoints(const TPrimitive2D& object, const std::vector<TPt>& expected)
{
    const auto points = object.Points().Points();
    ASSERT_EQ(points.size(), expected.size()) << object.ClassName();
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(points[i].X, expected[i].X) << object.ClassName() << " point " << i;
        EXPECT_EQ(points[i].Y, expected[i].Y) << object.ClassName() << " point " << i;
        EXPECT_EQ(points[i].W, expected[i].W) << object.ClassName() << " point " << i;
    }
}

TMatrix4 MatrixOf(const docfix::TMatrix& elements)
{
    TMatrix4 m;
    for (int i = 0; i < 16; ++i)
        m.SetElement(i, elements[i]);
    return m;
}

std::vector<TPoint2D> Pts(std::initializer_list<TPt> points)
{
    std::vector<TPoint2D> out;
    for (const TPt& p : points)
        out.push_back(TPoint2D{p.X, p.Y, p.W});
    return out;
}

// The drawing of docfix::FullDocument(false), made through the classes.
void BuildFullDrawing(TQV_01Cmp2D& doc)
{
    TQV_21Layer& walls = doc.Layers().GetLayer(3);
    walls.SetPenColor(0x000000FF);
    walls.SetPenWidth(2);
    walls.DecorativePen().SetBit(0, true);
    walls.DecorativePen().SetBit(1, false);
    walls.DecorativePen().SetBit(2, true);
    walls.SetName("Walls");
    TQV_21Layer& hidden = doc.Layers().GetLayer(9);
    hidden.SetPenColor(0x00FF0000);
    hidden.SetPenStyle(2);
    hidden.SetBrushColor(0x00C0C0C0);
    hidden.SetBrushStyle(1);
    hidden.SetActive(0);
    hidden.SetVisible(0);
    hidden.SetSpareFlag(1);
    hidden.SetName("Hidden");

    std::vector<std::unique_ptr<TObject2D>> boltChildren;
    boltChildren.push_back(std::make_unique<TLine2D>(1, Point2D(0, 0), Point2D(10, 0)));
    auto circle = std::make_unique<TCerchio2D>(2, Point2D(5, 5), Point2D(8, 5));
    circle->SetLayer(3);
    boltChildren.push_back(std::move(circle));
    TSourceBlock2D* bolt =
        doc.AddSourceBlock(std::make_unique<TSourceBlock2D>(0, std::move(boltChildren), "BOLT"));
    auto plateRef = std::make_unique<TBlock2D>(7, bolt);
    plateRef->SetInsertionPoint(TPoint2D{1, 2, 1});
    plateRef->SetModelTransform(TMatrix4::CreateTranslation(5, 0, 0));
    std::vector<std::unique_ptr<TObject2D>> plateChildren;
    plateChildren.push_back(std::move(plateRef));
    doc.AddSourceBlock(std::make_unique<TSourceBlock2D>(0, std::move(plateChildren), "PLATE"));

    auto line = std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(10, 5));
    line->SetModelTransform(MatrixOf(docfix::QuarterTurnAndShift(100, 50)));
    doc.AddObjectOnLayer(-1, 3, std::move(line));
    doc.AddObject(-1, std::make_unique<TPolyline2D>(0, Pts({{0, 0}, {1, 1}, {2, 0}})));
    doc.AddObject(-1, std::make_unique<TPolygon2D>(0, Pts({{0, 0}, {4, 0}, {4, 3}, {0, 3}})));
    doc.AddObjectOnLayer(-1, 3, std::make_unique<TRectangle2D>(0, Point2D(1, 1), Point2D(5, 4)));
    auto ellipseArc = std::make_unique<TEllipseOpen2D>(0, Point2D(0, 0), Point2D(8, 4), 0.0, std::numbers::pi / 2);
    ellipseArc->Points().SetPoint(2, Point2D(8, 2));
    ellipseArc->Points().SetPoint(3, Point2D(4, 4));
    doc.AddObject(-1, std::move(ellipseArc));
    doc.AddObject(-1, std::make_unique<TEllipse2D>(0, Point2D(0, 0), Point2D(6, 2)));
    doc.AddObject(-1, std::make_unique<TFilledEllipse2D>(0, Point2D(1, 1), Point2D(3, 5)));
    auto frame = std::make_unique<TFrame2D>(0, Point2D(0, 0), Point2D(20, 10));
    frame->SetEnabled(false);
    doc.AddObject(-1, std::move(frame));
    doc.AddObject(-1, std::make_unique<TBSpline2D>(0, Pts({{0, 0}, {1, 2}, {3, 2}, {4, 0}})));
    auto text = std::make_unique<TJustifiedVectText2D>(0, CADSysFindFontByIndex(docfix::kFullTextFontSlot),
                                                       MakeRect2D(0, 0, 20, 5), 5.0, "Hi");
    text->SetHJustification(TJustifiedVectText2D::kJustifyCentre);
    text->SetVJustification(TJustifiedVectText2D::kJustifyBottom);
    doc.AddObject(-1, std::move(text));
    auto point = std::make_unique<TPunto2D>(0, Point2D(7, 7));
    point->SetVisible(false);
    doc.AddObjectOnLayer(-1, 9, std::move(point));
    doc.AddObject(-1, std::make_unique<TCerchio2D>(0, Point2D(0, 0), Point2D(3, 0)));
    auto arc = std::make_unique<TArco2D>(0, Point2D(0, 0), Point2D(2, 0), 0.0, std::numbers::pi / 2);
    arc->Points().SetPoint(2, Point2D(2, 0));
    arc->Points().SetPoint(3, Point2D(0, 2));
    doc.AddObject(-1, std::move(arc));
    doc.AddObject(-1, std::make_unique<TFilledCerchio2D>(0, Point2D(1, 1), Point2D(2, 1)));
    auto nurbs = std::make_unique<TQVBSpline2D>(0, Pts({{0, 0}, {1, 2}, {3, 2}, {4, 0}}));
    nurbs->SetSegments(100);
    nurbs->SetKeepProfile(false);
    nurbs->SetFlags(TSplineFlags{0, 0, 1, 1, 0});
    for (double knot : {0, 0, 0, 0, 1, 1, 1, 1})
        nurbs->AddKnot(knot);
    for (int i = 0; i < 4; ++i)
        nurbs->AddWeight(1);
    doc.AddObject(-1, std::move(nurbs));
    auto insert = std::make_unique<TInsert>(0, "PLATE");
    insert->SetInsertionPoint(TPoint2D{2, 3, 1});
    doc.AddObject(-1, std::move(insert));
    auto unsavedChild = std::make_unique<TLine2D>(77, Point2D(0, 0), Point2D(1, 1));
    unsavedChild->SetLayer(5);
    unsavedChild->SetSaved(false);
    auto boltChild = std::make_unique<TBlock2D>(78, bolt);
    boltChild->SetLayer(5);
    std::vector<std::unique_ptr<TObject2D>> containerChildren;
    containerChildren.push_back(std::move(unsavedChild));
    containerChildren.push_back(std::move(boltChild));
    doc.AddObjectOnLayer(-1, 3, std::make_unique<TContainer2D>(0, std::move(containerChildren)));
    auto reference = std::make_unique<TBlock2D>(0, bolt);
    reference->SetModelTransform(TMatrix4::CreateTranslation(20, 20, 0));
    doc.AddObjectOnLayer(-1, 3, std::move(reference));
    QImage image(2, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgba(0x30, 0x20, 0x10, 0xFF));
    image.setPixel(1, 0, qRgba(0x60, 0x50, 0x40, 0xFF));
    doc.AddObjectOnLayer(-1, 0, std::make_unique<TBitmap2D>(0, Point2D(0, 0), Point2D(4, 2), image));
    doc.AddObject(-1, std::make_unique<TLine3D>(0, TPoint3D{1, 2, 3, 1}, TPoint3D{4, 5, 6, 1}));
    TStlMesh mesh;
    mesh.Facets.push_back(TStlFacet{{0, 0, 1}, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    doc.AddObject(-1, std::make_unique<TQV_STLSurf>(0, std::move(mesh)));
}

TEST_F(DocumentFileTest, EmptyDocumentIsByteExact)
{
    TQV_01Cmp2D doc;
    EXPECT_TRUE(SameBytes(Save(doc), docfix::EmptyDocument()));
    EXPECT_FALSE(Load(doc, docfix::EmptyDocument()).Partial);
    EXPECT_EQ(doc.ObjectsCount(), 0);
}

TEST_F(DocumentFileTest, FullDocumentLoadsFieldByField)
{
    TQV_01Cmp2D doc;
    int progressCalls = 0;
    doc.OnLoadProgress = [&](TQV_01Cmp&, uint8_t step) {
        EXPECT_EQ(step, 100 / (docfix::kFullObjectCount + 1));
        ++progressCalls;
    };
    EXPECT_FALSE(Load(doc, docfix::FullDocument(true)).Partial);
    EXPECT_TRUE(m_Notifier.Messages().empty());
    EXPECT_EQ(progressCalls, docfix::kFullObjectCount + 1);
    EXPECT_EQ(doc.LoadedSignature(), "QV-3.6");

    // Layers.
    const TQV_21Layer& walls = doc.Layers().GetLayer(3);
    EXPECT_EQ(walls.Name(), "Walls");
    EXPECT_EQ(walls.Pen().Color, 0x000000FFu);
    EXPECT_EQ(walls.Pen().Width, 2);
    ASSERT_EQ(walls.DecorativePen().PatternLength(), 3);
    EXPECT_TRUE(walls.DecorativePen().GetBit(0));
    EXPECT_FALSE(walls.DecorativePen().GetBit(1));
    EXPECT_TRUE(walls.Modified());
    const TQV_21Layer& hidden = doc.Layers().GetLayer(9);
    EXPECT_EQ(hidden.Name(), "Hidden");
    EXPECT_EQ(hidden.Pen().Style, 2);
    EXPECT_EQ(hidden.Brush().Color, 0x00C0C0C0u);
    EXPECT_EQ(hidden.Brush().Style, 1);
    EXPECT_EQ(hidden.Active(), 0);
    EXPECT_EQ(hidden.Visible(), 0);
    EXPECT_EQ(hidden.SpareFlag(), 1);
    EXPECT_FALSE(doc.Layers().GetLayer(0).Modified());

    // Source blocks, renumbered, with their references counted.
    ASSERT_EQ(doc.SourceBlocksCount(), 2);
    TSourceBlock2D& bolt = doc.FindSourceBlock("BOLT");
    TSourceBlock2D& plate = doc.FindSourceBlock("PLATE");
    EXPECT_EQ(bolt.ID(), 0);
    EXPECT_EQ(plate.ID(), 1);
    EXPECT_FALSE(bolt.Library());
    EXPECT_EQ(bolt.ReferenceCount(), 3); // in PLATE, in the container, at top level
    EXPECT_EQ(plate.ReferenceCount(), 1);
    ASSERT_EQ(bolt.Objects().Count(), 2);
    auto* boltCircle = dynamic_cast<TCerchio2D*>(bolt.Objects().Tail());
    ASSERT_NE(boltCircle, nullptr);
    EXPECT_EQ(boltCircle->ID(), 2);
    EXPECT_EQ(boltCircle->Layer(), 3);
    ExpectPoints(*boltCircle, {{5, 5}, {8, 5}});
    auto* plateRef = dynamic_cast<TBlock2D*>(plate.Objects().Head());
    ASSERT_NE(plateRef, nullptr);
    EXPECT_EQ(plateRef->ID(), 7);
    EXPECT_EQ(plateRef->SourceBlock(), &bolt);
    EXPECT_EQ(plateRef->InsertionPoint().Y, 2);
    EXPECT_EQ(plateRef->GetModelTransform().GetElement(12), 5);

    // Objects, renumbered 0.. in file order, the label kept apart.
    const std::vector<TGraphicObject*> objects = ObjectsOf(doc);
    const std::vector<std::string_view> classes = {
        "TLine2D",          "TPolyline2D",  "TPolygon2D", "TRectangle2D", "TEllipseOpen2D", "TEllipse2D",
        "TFilledEllipse2D", "TFrame2D",     "TBSpline2D", "TJustifiedVectText2D", "TPunto2D", "TCerchio2D",
        "TArco2D",          "TFilledCerchio2D", "TQVBSpline2D", "TInsert", "TContainer2D", "TBlock2D",
        "TBitmap2D",        "TLine3D",      "TQV_STLSurf"};
    ASSERT_EQ(objects.size(), classes.size());
    const std::vector<int> layers = {3, 0, 0, 3, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 0, 0, 3, 3, 0, 0, 0};
    for (size_t i = 0; i < objects.size(); ++i) {
        EXPECT_EQ(objects[i]->ClassName(), classes[i]);
        EXPECT_EQ(objects[i]->ID(), static_cast<int32_t>(i));
        EXPECT_EQ(objects[i]->Layer(), layers[i]) << classes[i];
        EXPECT_EQ(objects[i]->Enabled(), i != 7) << classes[i];
        EXPECT_EQ(objects[i]->Visible(), i != 10) << classes[i];
        EXPECT_TRUE(objects[i]->Saved());
    }
    EXPECT_EQ(doc.CurrentLayer(), 0);
    EXPECT_EQ(doc.NextObjectID(), docfix::kFullObjectCount);

    auto& line = dynamic_cast<TLine2D&>(*objects[0]);
    ExpectPoints(line, {{0, 0}, {10, 5}});
    EXPECT_FALSE(line.Points().Growable());
    ASSERT_NE(line.ModelTransform(), nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(line.ModelTransform()->GetElement(i), docfix::QuarterTurnAndShift(100, 50)[i]) << i;
    auto& polygon = dynamic_cast<TPolygon2D&>(*objects[2]);
    ExpectPoints(polygon, {{0, 0}, {4, 0}, {4, 3}, {0, 3}});
    EXPECT_TRUE(polygon.Points().Growable());
    auto& ellipseArc = dynamic_cast<TEllipseOpen2D&>(*objects[4]);
    ExpectPoints(ellipseArc, {{0, 0}, {8, 4}, {8, 2}, {4, 4}});
    EXPECT_TRUE(ellipseArc.Direction());
    EXPECT_EQ(ellipseArc.Segments(), 50);
    EXPECT_TRUE(ellipseArc.KeepProfile());
    EXPECT_EQ(dynamic_cast<TBSpline2D&>(*objects[8]).Order(), 3);
    auto& text = dynamic_cast<TJustifiedVectText2D&>(*objects[9]);
    ExpectPoints(text, {{0, 0}, {20, 5}});
    EXPECT_EQ(text.Text(), "Hi");
    EXPECT_EQ(text.FontIndex(), docfix::kFullTextFontSlot);
    EXPECT_NE(text.Font(), nullptr);
    EXPECT_EQ(text.HJustification(), 2);
    EXPECT_EQ(text.VJustification(), 1);
    EXPECT_EQ(text.Flag(), 0);
    EXPECT_EQ(text.Height(), 5);
    EXPECT_EQ(text.InterLine(), 0.02);
    EXPECT_EQ(text.CharSpacing(), 0.1);
    ExpectPoints(dynamic_cast<TPunto2D&>(*objects[10]), {{7, 7}});
    auto& arc = dynamic_cast<TArco2D&>(*objects[12]);
    ExpectPoints(arc, {{0, 0}, {2, 0}, {2, 0}, {0, 2}});
    EXPECT_EQ(arc.Direction(), 1);
    auto& nurbs = dynamic_cast<TQVBSpline2D&>(*objects[14]);
    EXPECT_EQ(nurbs.Segments(), 100);
    EXPECT_FALSE(nurbs.KeepProfile());
    EXPECT_EQ(nurbs.Flags().Rational, 1);
    EXPECT_EQ(nurbs.Flags().Planar, 1);
    EXPECT_EQ(nurbs.Flags().Closed, 0);
    EXPECT_EQ(nurbs.Degree(), 3);
    ASSERT_EQ(nurbs.Knots().Count(), 8);
    EXPECT_EQ(nurbs.Knots().Get(4), 1);
    EXPECT_EQ(nurbs.WeightsCount(), 4);
    auto& insert = dynamic_cast<TInsert&>(*objects[15]);
    EXPECT_EQ(insert.SourceBlock(), &plate);
    EXPECT_EQ(insert.InsertionPoint().X, 2);
    EXPECT_EQ(insert.InsertionPoint().Y, 3);
    auto& container = dynamic_cast<TContainer2D&>(*objects[16]);
    ASSERT_EQ(container.Objects().Count(), 2);
    TGraphicObject* unsavedChild = container.Objects().Head();
    EXPECT_EQ(unsavedChild->ID(), 77);
    EXPECT_EQ(unsavedChild->Layer(), 5);
    EXPECT_FALSE(unsavedChild->Saved());
    auto* nestedRef = dynamic_cast<TBlock2D*>(container.Objects().Tail());
    ASSERT_NE(nestedRef, nullptr);
    EXPECT_EQ(nestedRef->ID(), 78);
    EXPECT_EQ(nestedRef->SourceBlock(), &bolt);
    auto& reference = dynamic_cast<TBlock2D&>(*objects[17]);
    EXPECT_EQ(reference.SourceBlock(), &bolt);
    EXPECT_EQ(reference.GetModelTransform().GetElement(13), 20);
    auto& bitmap = dynamic_cast<TBitmap2D&>(*objects[18]);
    ExpectPoints(bitmap, {{0, 0}, {4, 2}});
    ASSERT_EQ(bitmap.Bitmap().size(), QSize(2, 1));
    EXPECT_EQ(bitmap.Bitmap().pixel(1, 0), qRgba(0x60, 0x50, 0x40, 0xFF));
    EXPECT_EQ(bitmap.CopyMode(), 0x00CC0020);
    EXPECT_EQ(bitmap.Opacity(), 0.5f);
    auto& line3D = dynamic_cast<TLine3D&>(*objects[19]);
    ASSERT_EQ(line3D.Points().Count(), 2);
    EXPECT_EQ(line3D.Points().Points()[1].Z, 6);
    auto& surface = dynamic_cast<TQV_STLSurf&>(*objects[20]);
    ASSERT_EQ(surface.Mesh().Facets.size(), 1u);
    EXPECT_EQ(surface.Mesh().Facets[0].B[0], 1.0f);

    // The label: the current label object, not a drawing object.
    TEtichetta* label = CurrentLabelObject();
    ASSERT_NE(label, nullptr);
    ASSERT_EQ(label->LabelCount(), 2);
    EXPECT_EQ(label->Labels()[0].Text, "A");
    EXPECT_EQ(label->Labels()[0].X, 1.0f);
    EXPECT_EQ(label->Labels()[0].Spacing, 0.5f);
    EXPECT_EQ(label->Labels()[1].Text, "BC");
    EXPECT_EQ(label->Labels()[1].Height, 6.0f);
    EXPECT_EQ(label->FontIndex(), 2);
}

TEST_F(DocumentFileTest, SameDrawingBuiltInCodeSavesToTheFixtureBytes)
{
    TQV_01Cmp2D built;
    BuildFullDrawing(built);
    EXPECT_TRUE(SameBytes(Save(built), docfix::FullDocument(false)));

    // And the fixture read back is written out unchanged.
    TQV_01Cmp2D loaded;
    ASSERT_FALSE(Load(loaded, docfix::FullDocument(false)).Partial);
    EXPECT_TRUE(SameBytes(Save(loaded), docfix::FullDocument(false)));
}

// Each older signature with the layer record of its layout.
struct TOldCase {
    const char* Signature;
    docfix::TLayerLayout Layout;
};

void PrintTo(const TOldCase& c, std::ostream* os)
{
    *os << '"' << c.Signature << '"';
}

class OldSignatureTest : public DocumentFileTest, public ::testing::WithParamInterface<TOldCase> {};

TEST_P(OldSignatureTest, OldDocumentLoads)
{
    const TOldCase& c = GetParam();
    TQV_01Cmp2D doc;
    EXPECT_FALSE(Load(doc, docfix::OldDocument(c.Signature, c.Layout)).Partial);
    EXPECT_TRUE(m_Notifier.Messages().empty());
    EXPECT_EQ(doc.LoadedSignature(), c.Signature);

    const TQV_21Layer& layer = doc.Layers().GetLayer(5);
    EXPECT_TRUE(layer.Modified());
    EXPECT_EQ(layer.Pen().Color, 0x0000FF00u);
    EXPECT_EQ(layer.Pen().Width, 3);
    EXPECT_EQ(layer.DecorativePen().PatternLength(), c.Layout.Pattern ? 3 : 0);
    EXPECT_EQ(layer.Visible(), c.Layout.Visible ? 0 : 1);
    EXPECT_EQ(layer.SpareFlag(), 1);
    EXPECT_EQ(layer.SavedObjects(), c.Layout.SavedObjects ? 0 : 1);
    EXPECT_EQ(layer.Name(), c.Layout.Name ? "Old" : "Layer 5");

    ASSERT_EQ(doc.ObjectsCount(), 2);
    const std::vector<TGraphicObject*> objects = ObjectsOf(doc);
    auto& line = dynamic_cast<TLine2D&>(*objects[0]);
    EXPECT_EQ(line.Layer(), 5);
    ExpectPoints(line, {{0, 0}, {2, 0}});
    EXPECT_EQ(line.GetModelTransform().GetElement(12), 3);
    EXPECT_EQ(line.GetModelTransform().GetElement(13), 4);
    EXPECT_EQ(line.GetModelTransform().GetElement(10), 1);
    auto& reference = dynamic_cast<TBlock2D&>(*objects[1]);
    ASSERT_NE(reference.SourceBlock(), nullptr);
    EXPECT_EQ(reference.SourceBlock()->ReferenceCount(), 1);
    EXPECT_EQ(reference.SourceBlock()->Objects().Count(), 1);
}

// The layouts by signature: the skipped int32 before "CAD422", the pattern
// from "CAD41", the visible flag from "CAD4", the saved-objects flag for
// "CAD3  " and from "CAD33", the name from "CAD33"; the 3x3 transform up to
// "QV-002".
INSTANTIATE_TEST_SUITE_P(
    Signatures, OldSignatureTest,
    ::testing::Values(TOldCase{"CAD3  ", {true, false, false, true, false}},
                      TOldCase{"CAD32 ", {true, false, false, false, false}},
                      TOldCase{"CAD33 ", {true, false, false, true, true}},
                      TOldCase{"CAD4  ", {true, false, true, true, true}},
                      TOldCase{"CAD41 ", {true, true, true, true, true}},
                      TOldCase{"CAD422", {false, true, true, true, true}}, TOldCase{"QV-001", {}},
                      TOldCase{"QV-002", {}}, TOldCase{"QV-003", {}}, TOldCase{"QV-3.2", {}}),
    // Names from the signature ("CAD3", "QV_3_2"), stable between runs.
    [](const ::testing::TestParamInfo<TOldCase>& info) {
        std::string name;
        for (char ch : std::string(info.param.Signature))
            if (std::isalnum(static_cast<unsigned char>(ch)))
                name += ch;
            else if (ch != ' ')
                name += '_';
        return name;
    });

TEST_F(DocumentFileTest, HigherVersionIsRefusedAndLeavesTheDrawing)
{
    TQV_01Cmp2D doc;
    doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 1)));
    std::vector<uint8_t> newer = docfix::SmallDocument();
    newer[5] = '7'; // "QV-3.7"
    EXPECT_EQ(ErrorText([&] { (void)Load(doc, newer); }),
              "TQVCmp.LoadFromStream: Invalid stream version.\r\n"
              "File created with a higher version 3.7\r\nUpdate your product...");
    EXPECT_EQ(doc.ObjectsCount(), 1);

    int code = -1;
    doc.OnInvalidFileVersion = [&](TQV_01Cmp&, int c, bool& accept, TStream&) {
        code = c;
        accept = true;
    };
    EXPECT_FALSE(Load(doc, newer).Partial);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(doc.ObjectsCount(), 3);
    EXPECT_EQ(doc.LoadedSignature(), "QV-3.7");
}

TEST_F(DocumentFileTest, MergeContinuesTheIDsAndAFreshLoadKeepsTheLibrary)
{
    TQV_01Cmp2D doc;
    TMemoryStream library(docfix::Library());
    ASSERT_FALSE(doc.LoadLibrary(library).Partial);
    for (int i = 0; i < 5; ++i)
        doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(i, 0), Point2D(i, 1)));

    ASSERT_FALSE(Load(doc, docfix::SmallDocument(), true).Partial);
    std::vector<int32_t> ids;
    for (TGraphicObject* object : ObjectsOf(doc))
        ids.push_back(object->ID());
    EXPECT_EQ(ids, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(doc.SourceBlocksCount(), 2);

    ASSERT_FALSE(Load(doc, docfix::SmallDocument()).Partial);
    ids.clear();
    for (TGraphicObject* object : ObjectsOf(doc))
        ids.push_back(object->ID());
    EXPECT_EQ(ids, (std::vector<int32_t>{0, 1, 2}));
    // The library block stays, the document's "S" is the one just read.
    ASSERT_EQ(doc.SourceBlocksCount(), 2);
    EXPECT_TRUE(doc.FindSourceBlock("LIBBLK").Library());
    EXPECT_EQ(doc.FindSourceBlock("S").ReferenceCount(), 1);
}

TEST_F(DocumentFileTest, LibraryBlocksAreReadButNeverWrittenIntoDocuments)
{
    TQV_01Cmp2D doc;
    TMemoryStream library(docfix::Library());
    ASSERT_FALSE(doc.LoadLibrary(library).Partial);
    TSourceBlock2D& block = doc.FindSourceBlock("LIBBLK");
    EXPECT_TRUE(block.Library());
    ASSERT_EQ(block.Objects().Count(), 1);

    doc.AddObject(-1, std::make_unique<TBlock2D>(0, &block));
    const std::vector<uint8_t> saved = Save(doc);
    TBytes expected;
    expected.Str("QV-3.6").I16(1).I16(256).U8(2).I32(0).U8(3).I32(1);
    docfix::BlockEntry(expected, "QV-3.6", 0, 0, "LIBBLK");
    expected.U8(4).I32(-1);
    EXPECT_TRUE(SameBytes(saved, expected.Data()));

    // Read back, the reference links to the library's block again.
    ASSERT_FALSE(Load(doc, saved).Partial);
    EXPECT_EQ(doc.SourceBlocksCount(), 1);
    EXPECT_EQ(dynamic_cast<TBlock2D&>(*ObjectsOf(doc)[0]).SourceBlock(), &doc.FindSourceBlock("LIBBLK"));
}

TEST_F(DocumentFileTest, LibraryTakesOnlyItsOwnSignature)
{
    TQV_01Cmp2D doc;
    TMemoryStream older(docfix::Library("QV-3.2"));
    EXPECT_EQ(ErrorText([&] { (void)doc.LoadLibrary(older); }), "TCADCmp.LoadLibrary: Invalid stream version.");
    EXPECT_EQ(doc.SourceBlocksCount(), 0);

    doc.OnInvalidFileVersion = [](TQV_01Cmp&, int code, bool& accept, TStream&) { accept = code == 1; };
    older.SetPosition(0);
    EXPECT_FALSE(doc.LoadLibrary(older).Partial);
    EXPECT_EQ(doc.SourceBlocksCount(), 1);

    // A document is no library: its layer section stands where byte 2
    // should.
    TMemoryStream document(docfix::EmptyDocument());
    EXPECT_EQ(ErrorText([&] { (void)doc.LoadLibrary(document); }), "TCADCmp.LoadLibrary: no blocks found");
}

TEST_F(DocumentFileTest, OperationsSectionGoesThroughTheHooks)
{
    SetSaveOperationsHook([](TStream& stream) {
        WriteInt32(stream, 0);
        WriteStreamEx(stream, "op");
    });
    std::vector<std::string> seen;
    SetLoadOperationsHook([&](TStream& stream, std::string_view signature) {
        EXPECT_EQ(ReadInt32(stream), 0);
        seen.push_back(std::string(signature) + ":" + ReadStreamEx(stream));
    });
    TQV_01Cmp2D doc;
    const std::vector<uint8_t> saved = Save(doc);
    TBytes expected;
    expected.Str("QV-3.6").I16(1).I16(256).U8(2).I32(0).U8(3).I32(0).U8(4).I32(0).StreamEx("op");
    EXPECT_TRUE(SameBytes(saved, expected.Data()));

    ASSERT_FALSE(Load(doc, saved).Partial);
    ASSERT_FALSE(Load(doc, saved, true).Partial);
    EXPECT_EQ(seen, (std::vector<std::string>{"QV-3.6:op", "QV-3.6:op"}));

    // Without the byte 4 (older files) the hook is not called; a file of
    // the current version always has the section.
    std::vector<uint8_t> old = saved;
    old.resize(old.size() - 11);
    EXPECT_THROW((void)Load(doc, old), ECADFilePartlyRead);
    old[5] = '2';
    ASSERT_FALSE(Load(doc, old).Partial);
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(DocumentFileTest, ObjectSectionLeavesOutUnsavedObjects)
{
    TQV_01Cmp2D doc;
    std::vector<uint8_t> percents;
    doc.OnSaveProgress = [&](TQV_01Cmp&, uint8_t percent) { percents.push_back(percent); };
    doc.Layers().GetLayer(2).SetSavedObjects(0);
    doc.AddObjectOnLayer(-1, 2, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 0)));
    TBytes expected;
    expected.Str("QV-3.6").I16(1).I16(256).U8(2).I32(0).U8(3).I32(1).I16(-1).U8(4).I32(-1);
    EXPECT_TRUE(SameBytes(Save(doc), expected.Data()));
    EXPECT_TRUE(percents.empty());

    // Three saved objects report 100 - 33 x remaining.
    for (int i = 0; i < 2; ++i)
        doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(0, 0), Point2D(1, 0)));
    doc.Layers().GetLayer(2).SetSavedObjects(1);
    (void)Save(doc);
    EXPECT_EQ(percents, (std::vector<uint8_t>{1, 34, 67}));
}

TEST_F(DocumentFileTest, TheLabelObjectSurvivesOpenAndSave)
{
    // A line, then the label of a letters operation (class 23, two entries,
    // font index 2) last in the object section, where the saving program
    // puts it. A save keeps it byte for byte.
    TMemoryStream line;
    TLine2D(0, Point2D(1, 2), Point2D(3, 4)).SaveToStream(line);
    TBytes file;
    file.Str("QV-3.6").I16(1).I16(256).U8(2).I32(0).U8(3).I32(2);
    file.I16(static_cast<int16_t>(QV_00FindClassIndex("TLine2D")));
    file.Str(std::string(line.Data().begin(), line.Data().end()));
    file.I16(23).I32(-1).U8(0).U8(0x03);
    for (double e : {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1})
        file.F64(e);
    file.I32(2).StreamEx("KB-3").F32(1.5f).F32(-2.0f).F32(10.0f).F32(1.0f);
    file.StreamEx("").F32(0.0f).F32(30.0f).F32(5.0f).F32(0.25f).I32(2);
    file.U8(4).I32(-1);

    TQV_01Cmp2D doc;
    ASSERT_FALSE(Load(doc, file.Data()).Partial);
    EXPECT_EQ(doc.ObjectsCount(), 1); // the label is not a drawing object
    ASSERT_NE(CurrentLabelObject(), nullptr);
    EXPECT_EQ(CurrentLabelObject()->LabelCount(), 2);
    EXPECT_TRUE(SameBytes(Save(doc), file.Data()));
    SetCurrentLabelObject(nullptr);
}

} // namespace
} // namespace kbtest::document_file_test
