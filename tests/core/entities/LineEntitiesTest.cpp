// The straight-line entities: point, line, polyline and polygon. Their
// construction, picking, stored records, scene objects and overlay drawing.

#include "core/model/CADSysException.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"
#include "tests/support/RecordingView.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace line_entities_test {

using kbtest::TBytes;
using kbtest::TRecordingScene;

namespace {

std::vector<TPoint2D> Pts(std::initializer_list<std::pair<double, double>> xy)
{
    std::vector<TPoint2D> points;
    for (auto [x, y] : xy)
        points.push_back(MakePoint2D(x, y));
    return points;
}

void ExpectPoints(const TPrimitive2D& e, const std::vector<TPoint2D>& expected)
{
    ASSERT_EQ(e.Points().Count(), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        const TPoint2D p = e.Points().Get(static_cast<int>(i));
        EXPECT_NEAR(p.X, expected[i].X, 1e-12) << "point " << i;
        EXPECT_NEAR(p.Y, expected[i].Y, 1e-12) << "point " << i;
        EXPECT_NEAR(p.W, expected[i].W, 1e-12) << "point " << i;
    }
}

std::vector<TVector3D> Nodes(std::initializer_list<std::pair<double, double>> xy)
{
    std::vector<TVector3D> nodes;
    for (auto [x, y] : xy)
        nodes.push_back(TVector3D{x, y, 0});
    return nodes;
}

void ExpectNodes(const std::vector<TVector3D>& actual, const std::vector<TVector3D>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(actual[i].X, expected[i].X, 1e-12) << "node " << i;
        EXPECT_NEAR(actual[i].Y, expected[i].Y, 1e-12) << "node " << i;
        EXPECT_NEAR(actual[i].Z, expected[i].Z, 1e-12) << "node " << i;
    }
}

void ExpectColor(const TSceneColor& c, float r, float g, float b, float a)
{
    EXPECT_FLOAT_EQ(c.R, r);
    EXPECT_FLOAT_EQ(c.G, g);
    EXPECT_FLOAT_EQ(c.B, b);
    EXPECT_FLOAT_EQ(c.A, a);
}

} // namespace

TEST(LineEntities, ConstructorsStoreTheGeometryAsControlPoints)
{
    const auto three = Pts({{0, 0}, {4, 0}, {4, 3}});
    TPunto2D point(1, MakePoint2D(2, 3));
    TLine2D line(2, MakePoint2D(0, 0), MakePoint2D(3, 4));
    TPolyline2D polyline(3, three);
    TPolygon2D polygon(4, three);
    TPolyline2D single(5, Pts({{7, 7}}));

    struct Case {
        const TPrimitive2D& entity;
        std::vector<TPoint2D> points;
        bool growable;
        std::string_view name;
    };
    const Case cases[] = {
        {point, Pts({{2, 3}}), false, "TPunto2D"},       {line, Pts({{0, 0}, {3, 4}}), false, "TLine2D"},
        {polyline, three, true, "TPolyline2D"},          {polygon, three, true, "TPolygon2D"},
        {single, Pts({{7, 7}}), true, "TPolyline2D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entity.ID());
        ExpectPoints(c.entity, c.points);
        EXPECT_EQ(c.entity.Points().Growable(), c.growable);
        EXPECT_EQ(c.entity.ClassName(), c.name);
        EXPECT_TRUE(c.entity.Pickable());
        EXPECT_EQ(c.entity.Handler(), &SharedPrimitive2DHandler());
    }
    // A display line: not pickable, own colour and width, pending transform.
    TLine2D display(6, MakePoint2D(0, 0), MakePoint2D(1, 0), 0x000000FF, 2, TMatrix4::CreateTranslation(0, 5, 0));
    EXPECT_FALSE(display.Pickable());
    EXPECT_EQ(display.OwnColor(), 0x000000FFu);
    EXPECT_EQ(display.OwnLineWidth(), 2);
    EXPECT_NE(display.PendingTransform(), nullptr);
    EXPECT_DOUBLE_EQ(display.Box().FirstEdge.Y, 5.0);
}

TEST(LineEntities, PickCodesFollowTheOpenChain)
{
    TPunto2D point(1, MakePoint2D(3, 4));
    TLine2D line(2, MakePoint2D(0, 0), MakePoint2D(10, 0));
    TLine2D moved(3, MakePoint2D(0, 0), MakePoint2D(10, 0));
    moved.Transform(TMatrix4::CreateTranslation(0, 5, 0));
    // An open triangle: the edge from (10, 10) back to (0, 0) is not tested.
    TPolyline2D polyline(4, Pts({{0, 0}, {10, 0}, {10, 10}}));
    TPolygon2D polygon(5, Pts({{0, 0}, {10, 0}, {10, 10}}));

    struct Case {
        const char* name;
        TObject2D& entity;
        double x, y;
        int32_t code;
        double distance;
    };
    const double far = PickFarDistance;
    const Case cases[] = {
        {"line: on the segment", line, 5, 0.2, PickOnObject, 0.2},
        {"line: at the end point", line, 9.9, 0, 1, 0.1},
        {"line: outside the box", line, 5, 3, PickNone, far},
        {"moved line: pending transform counts", moved, 5, 5.1, PickOnObject, 0.1},
        {"moved line: old place is empty", moved, 5, 0, PickNone, far},
        {"polyline: second segment", polyline, 10.3, 5, PickOnObject, 0.3},
        {"polyline: in the box, off the chain", polyline, 2, 8, PickInBox, 0.5},
        {"polyline: on the implied closing edge", polyline, 5, 5, PickInBox, 0.5},
        {"point: on it", point, 3.2, 4, 0, 0.2},
        {"point: in the box, beyond the aperture", point, 3.4, 4.4, PickInBox, 0.5},
        {"polygon: never picked", polygon, 10, 5, PickNone, far},
    };
    for (const Case& c : cases) {
        double distance = -1;
        EXPECT_EQ(c.entity.PickAt(MakePoint2D(c.x, c.y), distance, 0.5), c.code) << c.name;
        EXPECT_NEAR(distance, c.distance, 1e-9) << c.name;
    }
}

TEST(LineEntities, RecordsReadFromHandBuiltBytesAndWrittenBackUnchanged)
{
    RegisterEntityClasses();
    struct TClearRegistry {
        ~TClearRegistry() { QV_00ClearClassRegistry(); }
    } clearAfterwards;
    struct Case {
        int16_t classId;
        std::string_view name;
        std::vector<TPoint2D> points;
        uint8_t growable;
    };
    const Case cases[] = {
        {15, "TPunto2D", {TPoint2D{1.5, -2, 1}}, 0},
        {3, "TLine2D", {TPoint2D{0, 0, 1}, TPoint2D{3, 4, 2}}, 0},
        {4, "TPolyline2D", {TPoint2D{0, 0, 1}, TPoint2D{1, 0, 1}, TPoint2D{1, 1, 1}}, 1},
        {5, "TPolygon2D", {TPoint2D{0, 0, 1}, TPoint2D{2, 0, 1}, TPoint2D{2, 2, 1}}, 1},
        {3, "TLine2D", {TPoint2D{7, 7, 1}}, 0}, // damaged: a line with one point
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TBytes record;
        record.I32(42).U8(7).U8(0x01); // visible, not enabled, saved
        const double matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 0, 1};
        for (double e : matrix)
            record.F64(e);
        record.I16(static_cast<int16_t>(c.points.size()));
        for (const TPoint2D& p : c.points)
            record.F64(p.X).F64(p.Y).F64(p.W);
        record.U8(c.growable);

        TMemoryStream in(record.Data());
        const TGraphicObjectClass& cls = QV_00FindClassByIndex(static_cast<uint16_t>(c.classId));
        std::unique_ptr<TGraphicObject> object = cls.CreateFromStream(in, "QV-3.6");
        EXPECT_EQ(in.Position(), in.Size());
        auto* entity = dynamic_cast<TPrimitive2D*>(object.get());
        ASSERT_NE(entity, nullptr);
        EXPECT_EQ(entity->ClassName(), c.name);
        EXPECT_EQ(QV_00FindClassIndex(entity->ClassName()), c.classId);
        EXPECT_EQ(entity->ID(), 42);
        EXPECT_EQ(entity->Layer(), 7);
        EXPECT_FALSE(entity->Enabled());
        ExpectPoints(*entity, c.points);
        EXPECT_EQ(entity->Points().Growable(), c.growable != 0);
        EXPECT_EQ(entity->Handler(), &SharedPrimitive2DHandler());
        EXPECT_DOUBLE_EQ(entity->Box().FirstEdge.X, c.points[0].X / c.points[0].W + 10);

        TMemoryStream out;
        entity->SaveToStream(out);
        EXPECT_EQ(out.Data(), record.Data());
    }
    // Ids between the entity classes stay free.
    EXPECT_THROW(QV_00FindClassByIndex(10), ECADObjClassNotFound);
}

TEST(LineEntities, OldRecordsCarryTheTransformInTheThreeByThreeForm)
{
    TBytes record;
    record.I32(1).U8(0).U8(0x03);
    const double t[9] = {1, 0, 0, 0, 1, 0, 5, 6, 1};
    for (double e : t)
        record.F64(e);
    record.I16(2).F64(0).F64(0).F64(1).F64(1).F64(0).F64(1).U8(0);
    TMemoryStream in(record.Data());
    TLine2D line(in, "QV-002");
    EXPECT_EQ(in.Position(), in.Size());
    EXPECT_DOUBLE_EQ(line.GetModelTransform().GetElement(12), 5.0);
    EXPECT_DOUBLE_EQ(line.Box().SecondEdge.X, 6.0);
}

struct LineEntitiesView : ::testing::Test {
    LineEntitiesView()
    {
        Doc.Layers().GetLayer(2).SetPenColor(0x0000FF00); // green
        Doc.Layers().GetLayer(2).SetPenWidth(3);
        Doc.SetCurrentLayer(2);
        View.Projection.Scale = 10;
        View.Projection.OriginX = 100;
        View.Projection.OriginY = 100;
    }
    const TRecordingScene::TNode& Only(TSceneGroup group)
    {
        const auto children = View.Scene.Children(View.Scene.Group(group));
        EXPECT_EQ(children.size(), 1u);
        static const TRecordingScene::TNode none;
        return children.empty() ? none : *View.Scene.Node(children.back());
    }
    kbtest::TRecordingViewServices View;
    TQV_01Cmp2D Doc;
};

TEST_F(LineEntitiesView, AddedEntitiesBuildTheirSceneObjectsInTheirLayersPen)
{
    auto* line = Doc.AddObject(-1, std::make_unique<TLine2D>(-1, MakePoint2D(0, 0), TPoint2D{3, 4, 2}));
    line->Transform(TMatrix4::CreateTranslation(1, 0, 0));
    View.Scene.ClearGroup(View.Scene.Group(TSceneGroup::Entity));
    line->Draw();
    const TRecordingScene::TNode& node = Only(TSceneGroup::Entity);
    ASSERT_EQ(node.Kind, TRecordingScene::TKind::Lines);
    const auto& lines = std::get<TSceneLines>(node.Data);
    // The stored weight is not used for the scene.
    ExpectNodes(lines.Nodes, Nodes({{1, 0}, {4, 4}}));
    ExpectColor(lines.Color, 0, 1, 0, 1);
    EXPECT_FLOAT_EQ(lines.LineWidth, 3.0f);
    EXPECT_FALSE(lines.NodesVisible);
    EXPECT_EQ(line->SceneNode(), View.Scene.Children(View.Scene.Group(TSceneGroup::Entity)).back());

    line->DrawSelected();
    EXPECT_EQ(Only(TSceneGroup::Selection).Kind, TRecordingScene::TKind::Lines);
}

TEST_F(LineEntitiesView, DisplayEntitiesUseTheirOwnColourAndWidth)
{
    Doc.AddObject(-1, std::make_unique<TLine2D>(-1, MakePoint2D(0, 0), MakePoint2D(1, 0), 0x000000FF, 2,
                                                TMatrix4::CreateTranslation(0, 5, 0)));
    const auto& lines = std::get<TSceneLines>(Only(TSceneGroup::Entity).Data);
    ExpectColor(lines.Color, 1, 0, 0, 1);
    EXPECT_FLOAT_EQ(lines.LineWidth, 2.0f);
    ExpectNodes(lines.Nodes, Nodes({{0, 5}, {1, 5}}));

    // Outside any document a pickable entity takes the default black pen.
    TPolyline2D loose(1, Pts({{0, 0}, {1, 1}}));
    loose.SetLayer(2);
    loose.DrawSelected();
    const auto& looseLines = std::get<TSceneLines>(Only(TSceneGroup::Selection).Data);
    ExpectColor(looseLines.Color, 0, 0, 0, 1);
    EXPECT_FLOAT_EQ(looseLines.LineWidth, 1.0f);
}

TEST_F(LineEntitiesView, PointAndPolygonBuildTheirOwnKindsOfSceneObject)
{
    Doc.AddObject(-1, std::make_unique<TPunto2D>(-1, MakePoint2D(2, 3)));
    const auto& points = std::get<TScenePoints>(Only(TSceneGroup::Entity).Data);
    ExpectNodes(points.Positions, Nodes({{2, 3}}));
    ASSERT_EQ(points.Colors.size(), 1u);
    ExpectColor(points.Colors[0], 0, 1, 0, 1);
    EXPECT_TRUE(points.Smooth);
    EXPECT_FLOAT_EQ(points.PointSize, 5.0f);
    View.Scene.ClearGroup(View.Scene.Group(TSceneGroup::Entity));

    auto* polygon = Doc.AddObject(-1, std::make_unique<TPolygon2D>(-1, Pts({{0, 0}, {2, 0}, {2, 2}})));
    const auto& filled = std::get<TScenePolygon>(Only(TSceneGroup::Entity).Data);
    ExpectNodes(filled.Nodes, Nodes({{0, 0}, {2, 0}, {2, 2}}));
    ExpectColor(filled.Color, 0, 1, 0, 1);
    EXPECT_TRUE(filled.Blended);
    // Its highlight is the outline only.
    polygon->DrawSelected();
    EXPECT_EQ(Only(TSceneGroup::Selection).Kind, TRecordingScene::TKind::Lines);

    // A display polygon in a group of the caller: own colour, half opaque.
    const TSceneNodeId group = View.Scene.CreateGroup(View.Scene.Group(TSceneGroup::Chain), "sim");
    TPolygon2D display(-1, Pts({{0, 0}, {1, 0}, {1, 1}}), 0x00FF0000, 1, TMatrix4::CreateTranslation(0, 0, 2));
    const TSceneNodeId built = display.BuildSceneObjectIn(group);
    ASSERT_EQ(View.Scene.Children(group), std::vector<TSceneNodeId>{built});
    const auto* shown = View.Scene.As<TScenePolygon>(built);
    ASSERT_NE(shown, nullptr);
    ExpectColor(shown->Color, 0, 0, 1, 0.5f);
    ExpectNodes(shown->Nodes, {TVector3D{0, 0, 2}, TVector3D{1, 0, 2}, TVector3D{1, 1, 2}});
}

TEST_F(LineEntitiesView, OverlayDrawingProjectsThroughTheModelTransform)
{
    // Screen = (100 + 10 x, 100 - 10 y).
    TPunto2D point(1, MakePoint2D(1, 2));
    point.DrawOnCanvas(View.Canvas, true);
    EXPECT_EQ(View.Canvas.Calls, (std::vector<std::string>{"line 105,80-115,80", "line 110,75-110,85"}));

    View.Canvas.Calls.clear();
    TLine2D line(2, MakePoint2D(0, 0), MakePoint2D(1, 1));
    line.SetModelTransform(TMatrix4::CreateTranslation(1, 0, 0));
    line.DrawOnCanvas(View.Canvas, true);
    EXPECT_EQ(View.Canvas.Calls,
              (std::vector<std::string>{"frame 107,97-113,103", "frame 117,87-123,93", "line 110,100-120,90"}));
    // The read-out gets the stored points.
    EXPECT_EQ(View.Readout.Calls, std::vector<std::string>{"line 0,0 1,1"});

    // No read-out while a nested command runs over the suspended one.
    View.Commands.Suspended = true;
    line.DrawOnCanvas(View.Canvas, false);
    EXPECT_EQ(View.Readout.Calls.size(), 1u);

    // A polygon of three points shows two edges on the overlay.
    View.Canvas.Calls.clear();
    TPolygon2D polygon(3, Pts({{0, 0}, {1, 0}, {1, 1}}));
    polygon.DrawOnCanvas(View.Canvas, false);
    EXPECT_EQ(View.Canvas.Calls, std::vector<std::string>{"polyline 100,100 110,100 110,90"});
}

TEST_F(LineEntitiesView, InsideAHolderTheEntitysOwnTransformActsBeforeTheHolders)
{
    // Own transform: a quarter turn; holder: 10 to the right. The point
    // (1, 0) turns to (0, 1) and then moves to (10, 1).
    const TMatrix4 holder = TMatrix4::CreateTranslation(10, 0, 0);
    TPunto2D point(1, MakePoint2D(1, 0));
    TLine2D line(2, MakePoint2D(0, 0), MakePoint2D(1, 0));
    TPolyline2D polyline(3, Pts({{0, 0}, {1, 0}}));
    for (TPrimitive2D* e : std::initializer_list<TPrimitive2D*>{&point, &line, &polyline})
        e->SetModelTransform(TMatrix4::CreateRotationZ(90, true));

    point.DrawOnCanvasTransformed(View.Canvas, holder);
    line.DrawOnCanvasTransformed(View.Canvas, holder);
    polyline.DrawOnCanvasTransformed(View.Canvas, holder);
    EXPECT_EQ(View.Canvas.Calls,
              (std::vector<std::string>{"line 195,90-205,90", "line 200,85-200,95", "line 200,100-200,90",
                                        "polyline 200,100 200,90"}));
    EXPECT_TRUE(View.Readout.Calls.empty());
}

TEST(LineEntities, AssignCopiesOnlyWhatTheTargetKindTakes)
{
    TLine2D line(1, MakePoint2D(0, 0), MakePoint2D(3, 0));
    line.SetModelTransform(TMatrix4::CreateTranslation(0, 2, 0));
    TPolyline2D polyline(2, Pts({{9, 9}}));
    polyline.Assign(line);
    ExpectPoints(polyline, Pts({{0, 0}, {3, 0}}));
    EXPECT_TRUE(polyline.Points().Growable());
    EXPECT_DOUBLE_EQ(polyline.Box().FirstEdge.Y, 2.0);

    TPolygon2D polygon(3, Pts({{1, 1}, {2, 1}, {2, 2}}));
    TLine2D target(4, MakePoint2D(5, 5), MakePoint2D(6, 6));
    target.Assign(line);
    ExpectPoints(target, Pts({{0, 0}, {3, 0}}));
    EXPECT_FALSE(target.Points().Growable());
    polyline.Assign(polygon);
    ExpectPoints(polyline, Pts({{1, 1}, {2, 1}, {2, 2}}));

    TPunto2D point(5, MakePoint2D(0, 0));
    point.Assign(TPunto2D(6, MakePoint2D(4, 5)));
    ExpectPoints(point, Pts({{4, 5}}));
    point.Assign(line);
    EXPECT_EQ(point.Points().Count(), 0);
}

TEST(LineEntities, ADamagedLineWithOnePointDrawsPicksAndCopiesWithoutRaising)
{
    kbtest::TRecordingViewServices view;
    TBytes record;
    record.I32(1).U8(0).U8(0x03);
    const double matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (double e : matrix)
        record.F64(e);
    record.I16(1).F64(2).F64(2).F64(1).U8(0);
    TMemoryStream in(record.Data());
    TLine2D line(in, "QV-3.6");

    line.Draw();
    line.DrawOnCanvas(view.Canvas, true);
    line.DrawOnCanvasTransformed(view.Canvas, IdentityMatrix4());
    double distance = 0;
    EXPECT_EQ(line.PickAt(MakePoint2D(2, 2), distance, 0.5), 0);
    TLine2D copy(2, MakePoint2D(0, 0), MakePoint2D(1, 1));
    copy.Assign(line);
    ExpectPoints(copy, Pts({{2, 2}}));
    EXPECT_TRUE(view.Readout.Calls.empty());
}

}  // namespace line_entities_test
