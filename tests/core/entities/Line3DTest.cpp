// The 3D primitive base through the 3D line: its stored record, its 3D box
// under transforms, its scene lines and canvas line, Assign and Clone.

#include "core/model/CADSysException.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Line3D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace line3_d_test {

using kbtest::TBytes;

namespace {

// The head of every object record: ID, layer, flags, 16 matrix doubles.
TBytes& ObjectHead(TBytes& b, int32_t id, uint8_t layer, uint8_t flags, const double (&matrix)[16])
{
    b.I32(id).U8(layer).U8(flags);
    for (double e : matrix)
        b.F64(e);
    return b;
}

constexpr double Identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void ExpectBox(const TBox3D& b, double x1, double y1, double z1, double x2, double y2, double z2)
{
    EXPECT_NEAR(b.FirstEdge.X, x1, 1e-12);
    EXPECT_NEAR(b.FirstEdge.Y, y1, 1e-12);
    EXPECT_NEAR(b.FirstEdge.Z, z1, 1e-12);
    EXPECT_NEAR(b.SecondEdge.X, x2, 1e-12);
    EXPECT_NEAR(b.SecondEdge.Y, y2, 1e-12);
    EXPECT_NEAR(b.SecondEdge.Z, z2, 1e-12);
}

void ExpectNode(const TVector3D& v, double x, double y, double z)
{
    EXPECT_NEAR(v.X, x, 1e-12);
    EXPECT_NEAR(v.Y, y, 1e-12);
    EXPECT_NEAR(v.Z, z, 1e-12);
}

} // namespace

TEST(Line3D, RecordFromHandBuiltBytesReadsSavesAndIsRegistered)
{
    RegisterEntityClasses();
    EXPECT_EQ(QV_00FindClassByIndex(30).Name, "TLine3D");
    EXPECT_EQ(QV_00FindClassByIndex(31).Name, "TQV_STLSurf");
    EXPECT_EQ(QV_00FindClassIndex("TQV_STLSurf"), 31);

    const double moved[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 5, 1};
    TBytes record;
    ObjectHead(record, 42, 7, 0x01, moved); // visible, not enabled, saved
    record.I16(2).F64(1).F64(2).F64(3).F64(1).F64(8).F64(12).F64(-2).F64(2).U8(0);
    TBytes withTail = record;
    withTail.U8(0xEE); // the next object's first byte

    TMemoryStream in(withTail.Data());
    std::unique_ptr<TGraphicObject> object = QV_00FindClassByIndex(30).CreateFromStream(in, "QV-3.6");
    EXPECT_EQ(in.Position(), static_cast<int64_t>(record.Size()));
    auto* line = dynamic_cast<TLine3D*>(object.get());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->ID(), 42);
    EXPECT_EQ(line->Layer(), 7);
    EXPECT_FALSE(line->Enabled());
    ASSERT_EQ(line->Points().Count(), 2);
    EXPECT_EQ(line->Points().Get(1).W, 2.0);
    EXPECT_FALSE(line->Points().Growable());
    EXPECT_EQ(line->Handler(), nullptr);
    // The second point is (4, 6, -1) once made cartesian; then translated.
    ExpectBox(line->Box3D(), 11, 22, 4, 14, 26, 8);
    EXPECT_DOUBLE_EQ(line->Box().SecondEdge.Y, 26.0);

    TMemoryStream out;
    line->SaveToStream(out);
    EXPECT_EQ(out.Data(), record.Data());

    // No points: an empty set and an all-zero box.
    TBytes empty;
    ObjectHead(empty, 1, 0, 0, moved).I16(0).U8(1);
    TMemoryStream emptyIn(empty.Data());
    TLine3D none(emptyIn, "QV-3.6");
    EXPECT_EQ(none.Points().Count(), 0);
    ExpectBox(none.Box3D(), 0, 0, 0, 0, 0, 0);
}

TEST(Line3D, DamagedRecordsAreRefused)
{
    struct Case {
        const char* name;
        uint16_t count;
        int pointsPresent;
        bool growableByte;
        bool fileNotValid; // else the stream ends early
    };
    const Case cases[] = {
        {"count beyond the stream", 60000, 2, true, true},
        {"one point short", 3, 2, true, true},
        {"growable byte missing", 2, 2, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBytes record;
        ObjectHead(record, 1, 0, 0, Identity).I16(static_cast<int16_t>(c.count));
        for (int i = 0; i < c.pointsPresent; ++i)
            record.F64(i).F64(i).F64(i).F64(1);
        if (c.growableByte)
            record.U8(0);
        TMemoryStream in(record.Data());
        if (c.fileNotValid)
            EXPECT_THROW(TLine3D(in, "QV-3.6"), ECADFileNotValid);
        else
            EXPECT_THROW(TLine3D(in, "QV-3.6"), EStreamReadError);
    }
}

TEST(Line3D, BoxFollowsTheModelAndPendingTransforms)
{
    struct Case {
        const char* name;
        TMatrix4 m;
        bool pending;
        double box[6];
    };
    const Case cases[] = {
        {"none", TMatrix4(), false, {1, 2, -1, 4, 6, 3}},
        {"translation", TMatrix4::CreateTranslation(10, 20, 5), false, {11, 22, 4, 14, 26, 8}},
        {"scale", TMatrix4::CreateScale(2, 3, -1), false, {2, 6, -3, 8, 18, 1}},
        {"mirror of X", TMatrix4::CreateMirror(1), false, {-4, 2, -1, -1, 6, 3}},
        {"rotation by 90", TMatrix4::CreateRotationZ(90, true), false, {-6, 1, -1, -2, 4, 3}},
        {"pending translation", TMatrix4::CreateTranslation(0, 0, 10), true, {1, 2, 9, 4, 6, 13}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLine3D line(1, MakePoint3D(1, 2, 3), MakePoint3D(4, 6, -1));
        line.Transform(c.m);
        if (!c.pending)
            line.ApplyTransform();
        line.UpdateBounds();
        ExpectBox(line.Box3D(), c.box[0], c.box[1], c.box[2], c.box[3], c.box[4], c.box[5]);
        EXPECT_NEAR(line.Box().FirstEdge.X, c.box[0], 1e-12);
        EXPECT_NEAR(line.Box().SecondEdge.Y, c.box[4], 1e-12);
    }
}

TEST(Line3D, SceneAndCanvasLinesLieAtTheTransformedPosition)
{
    kbtest::TRecordingViewServices view;
    view.Projection.Scale = 2;
    view.Projection.OriginX = 100;
    view.Projection.OriginY = 100;
    TQV_01Cmp2D doc;
    doc.Layers().GetLayer(3).SetPenColor(0x000000FF);
    auto* line = doc.AddObjectOnLayer(-1, 3, std::make_unique<TLine3D>(-1, MakePoint3D(1, 0, 2), MakePoint3D(3, 0, 2)));
    // Turned a quarter about Z, then moved: (x, y, z) -> (10 - y, 20 + x, z).
    TMatrix4 m = TMatrix4::CreateRotationZ(90, true);
    m.Translate(10, 20, 0);
    line->Transform(m);
    view.Scene.ClearGroup(view.Scene.Group(TSceneGroup::Entity));
    line->Draw();

    const auto entities = view.Scene.Children(view.Scene.Group(TSceneGroup::Entity));
    ASSERT_EQ(entities.size(), 1u);
    EXPECT_EQ(line->SceneNode(), entities[0]);
    const TSceneLines* lines = view.Scene.As<TSceneLines>(entities[0]);
    ASSERT_NE(lines, nullptr);
    ASSERT_EQ(lines->Nodes.size(), 2u);
    ExpectNode(lines->Nodes[0], 10, 21, 2);
    ExpectNode(lines->Nodes[1], 10, 23, 2);
    EXPECT_FALSE(lines->NodesVisible);
    EXPECT_FLOAT_EQ(lines->Color.R, 1.0f);
    EXPECT_FLOAT_EQ(lines->Color.B, 0.0f);

    // Screen: (100 + 2 x, 100 - 2 y).
    line->DrawOnCanvas(view.Canvas, true);
    // Inside a parent moved by (5, 0, 0): the own transform first.
    line->DrawOnCanvasTransformed(view.Canvas, TMatrix4::CreateTranslation(5, 0, 0));
    EXPECT_EQ(view.Canvas.Calls, (std::vector<std::string>{"line 120,58-120,54", "line 130,58-130,54"}));

    line->DrawSelected();
    EXPECT_EQ(view.Scene.Children(view.Scene.Group(TSceneGroup::Selection)).size(), 1u);

    // A display line of the program draws in its own colour.
    TLine3D display(5, MakePoint3D(0, 0, 0), MakePoint3D(1, 1, 1));
    display.SetPickable(false);
    display.SetOwnColor(0x00FF0000);
    display.Draw();
    const TSceneLines* own = view.Scene.As<TSceneLines>(display.SceneNode());
    ASSERT_NE(own, nullptr);
    EXPECT_FLOAT_EQ(own->Color.B, 1.0f);
    EXPECT_FLOAT_EQ(own->Color.R, 0.0f);
}

TEST(Line3D, AssignCopiesNothingAndCloneCopiesEverything)
{
    TLine3D line(4, MakePoint3D(1, 2, 3), MakePoint3D(4, 5, 6));
    line.SetLayer(9);
    line.SetEnabled(false);
    line.Transform(TMatrix4::CreateTranslation(1, 1, 1));
    line.ApplyTransform();
    line.Transform(TMatrix4::CreateScale(2, 2, 2));

    TLine3D other(8, MakePoint3D(0, 0, 0), MakePoint3D(1, 1, 1));
    other.Assign(line);
    EXPECT_EQ(other.Points().Get(1).X, 1.0);
    EXPECT_TRUE(other.Enabled());
    EXPECT_FALSE(other.HasTransform());

    std::unique_ptr<TGraphicObject> copy = line.Clone();
    auto* clone = dynamic_cast<TLine3D*>(copy.get());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->ID(), 4);
    EXPECT_EQ(clone->Layer(), 9);
    EXPECT_FALSE(clone->Enabled());
    ASSERT_NE(clone->PendingTransform(), nullptr);
    ExpectBox(clone->Box3D(), 4, 6, 8, 10, 12, 14);
    // The copy's points are its own.
    clone->Points().SetPoint(0, MakePoint3D(0, 0, 0));
    EXPECT_EQ(line.Points().Get(0).X, 1.0);
    clone->Points().SetPoint(0, MakePoint3D(1, 2, 3));
    TMemoryStream a;
    TMemoryStream b;
    line.SaveToStream(a);
    clone->SaveToStream(b);
    EXPECT_EQ(a.Data(), b.Data());
}

}  // namespace line3_d_test
