#include "cad/scene/OsgSceneBuilder.h"

#include <osg/Geometry>
#include <osg/MatrixTransform>
#include <osg/Point>
#include <osg/Texture2D>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct OsgBuilder : ::testing::Test {
    OsgBuilder()
    {
        Root->addChild(EntityNode);
        Entity = Builder.RegisterGroup(TSceneGroup::Entity, EntityNode.get());
    }

    osg::Geometry* Geometry(TSceneNodeId id) const
    {
        osg::Node* node = Builder.Node(id);
        return node ? node->asGeometry() : nullptr;
    }
    const osg::Vec3Array* Vertices(TSceneNodeId id) const
    {
        return dynamic_cast<const osg::Vec3Array*>(Geometry(id)->getVertexArray());
    }
    osg::Vec4 Color(TSceneNodeId id) const
    {
        return (*dynamic_cast<const osg::Vec4Array*>(Geometry(id)->getColorArray()))[0];
    }

    // Sum of the triangle areas of a drawable (three vertices a triangle).
    double TriangleArea(TSceneNodeId id) const
    {
        const osg::Vec3Array& v = *Vertices(id);
        double area = 0.0;
        for (size_t i = 0; i + 2 < v.size(); i += 3)
            area += ((v[i + 1] - v[i]) ^ (v[i + 2] - v[i])).length() / 2.0;
        return area;
    }

    TOsgSceneBuilder Builder;
    osg::ref_ptr<osg::Group> Root = new osg::Group;
    osg::ref_ptr<osg::Group> EntityNode = new osg::Group;
    TSceneNodeId Entity = NoSceneNode;
};

TSceneLines Lines(std::vector<TVector3D> nodes, TSceneColor color = {1, 0, 0, 1}, float width = 1.0f)
{
    TSceneLines lines;
    lines.Nodes = std::move(nodes);
    lines.Color = color;
    lines.LineWidth = width;
    return lines;
}

TEST_F(OsgBuilder, LinesBecomeGeometryInTheirGroup)
{
    EXPECT_EQ(Builder.Group(TSceneGroup::Entity), Entity);
    EXPECT_EQ(Builder.Group(TSceneGroup::Stl), NoSceneNode);
    const TSceneNodeId a = Builder.AddLines(Entity, Lines({{0, 0, 0}, {10, 5, 0}, {20, 0, 1}}));
    const TSceneNodeId b = Builder.AddLines(Entity, Lines({{1, 1, 0}, {2, 2, 0}}));
    ASSERT_NE(a, NoSceneNode);
    ASSERT_NE(b, a);
    ASSERT_EQ(EntityNode->getNumChildren(), 2u);
    EXPECT_EQ(EntityNode->getChild(0), Builder.Node(a));
    EXPECT_EQ(EntityNode->getChild(1), Builder.Node(b));
    const osg::Vec3Array& v = *Vertices(a);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[1], osg::Vec3(10, 5, 0));
    const auto* strip = dynamic_cast<const osg::DrawArrays*>(Geometry(a)->getPrimitiveSet(0));
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->getMode(), static_cast<GLenum>(GL_LINE_STRIP));
    EXPECT_EQ(strip->getCount(), 3);
    EXPECT_EQ(Geometry(a)->getNumPrimitiveSets(), 1u); // no node markers
}

TEST_F(OsgBuilder, IdsOfTheWrongKindOrGoneAreIgnored)
{
    const TSceneNodeId line = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}}));
    // A lines object is no group to add into.
    EXPECT_EQ(Builder.AddLines(line, Lines({{0, 0, 0}, {1, 0, 0}})), NoSceneNode);
    EXPECT_EQ(Builder.CreateGroup(line, "x"), NoSceneNode);
    EXPECT_EQ(Builder.AddLines(9999, Lines({})), NoSceneNode);
    // UpdateSolid on lines changes nothing.
    Builder.UpdateSolid(line, TSceneSolid{{{0, 0}, {1, 0}, {0, 1}}, 0, 1, {}, true, false});
    EXPECT_EQ(Vertices(line)->size(), 2u);
    Builder.RemoveNode(line);
    EXPECT_EQ(Builder.Node(line), nullptr);
    EXPECT_EQ(EntityNode->getNumChildren(), 0u);
    // Every operation on the removed id is a no-op.
    Builder.UpdateLines(line, Lines({{5, 5, 5}, {6, 6, 6}}));
    Builder.SetNodeVisible(line, false);
    Builder.RemoveNode(line);
    // The fixed group itself is never removed.
    Builder.RemoveNode(Entity);
    EXPECT_EQ(Builder.Node(Entity), EntityNode.get());
    EXPECT_EQ(Root->getNumChildren(), 1u);
}

TEST_F(OsgBuilder, ClearGroupForgetsEverythingBelow)
{
    const TSceneNodeId own = Builder.CreateGroup(Entity, "operation 1");
    const TSceneNodeId inner = Builder.AddLines(own, Lines({{0, 0, 0}, {1, 0, 0}}));
    const TSceneNodeId outer = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}}));
    EXPECT_EQ(Builder.Node(own)->getName(), "operation 1");
    const size_t fixedOnly = Builder.Count() - 3;
    Builder.ClearGroup(Entity);
    EXPECT_EQ(EntityNode->getNumChildren(), 0u);
    for (const TSceneNodeId id : {own, inner, outer})
        EXPECT_EQ(Builder.Node(id), nullptr) << id;
    EXPECT_EQ(Builder.Count(), fixedOnly);
    // Removing a created group takes its children along.
    const TSceneNodeId again = Builder.CreateGroup(Entity, "operation 2");
    const TSceneNodeId child = Builder.AddLines(again, Lines({{0, 0, 0}, {1, 0, 0}}));
    Builder.RemoveNode(again);
    EXPECT_EQ(Builder.Node(child), nullptr);
    // New ids are never old ones.
    EXPECT_GT(Builder.AddLines(Entity, Lines({})), child);
}

TEST_F(OsgBuilder, UpdatingOneLinesObjectLeavesTheOthers)
{
    // Objects of equal colour and width share their colour and state.
    const TSceneNodeId a = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}}, {0, 0, 1, 1}, 2.0f));
    const TSceneNodeId b = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}}, {0, 0, 1, 1}, 2.0f));
    EXPECT_EQ(Geometry(a)->getStateSet(), Geometry(b)->getStateSet());
    Builder.UpdateLines(a, Lines({{3, 3, 0}, {4, 4, 0}, {5, 3, 0}}, {1, 1, 0, 1}, 3.0f));
    EXPECT_EQ(Color(a), osg::Vec4(1, 1, 0, 1));
    EXPECT_EQ(Color(b), osg::Vec4(0, 0, 1, 1));
    EXPECT_EQ(Vertices(a)->size(), 3u);
    EXPECT_EQ(Vertices(b)->size(), 2u);
    EXPECT_NE(Geometry(a)->getStateSet(), Geometry(b)->getStateSet());
    // Node markers add a points pass over the same vertices.
    TSceneLines marked = Lines({{0, 0, 0}, {1, 0, 0}});
    marked.NodesVisible = true;
    Builder.UpdateLines(b, marked);
    ASSERT_EQ(Geometry(b)->getNumPrimitiveSets(), 2u);
    EXPECT_EQ(Geometry(b)->getPrimitiveSet(1)->getMode(), static_cast<GLenum>(GL_POINTS));
}

TEST_F(OsgBuilder, VisibilityAndPointSize)
{
    TScenePoints points;
    points.Positions = {{0, 0, 0}, {1, 1, 0}};
    points.Colors = {{1, 0, 0, 1}};
    points.PointSize = 3.0f;
    const TSceneNodeId marker = Builder.AddPoints(Entity, points);
    EXPECT_TRUE(Builder.IsVisible(marker));
    Builder.SetNodeVisible(marker, false);
    EXPECT_FALSE(Builder.IsVisible(marker));
    EXPECT_EQ(Builder.Node(marker)->getNodeMask(), 0u);
    Builder.SetPointSize(marker, 12.5f);
    const auto* size = dynamic_cast<const osg::Point*>(
        Geometry(marker)->getStateSet()->getAttribute(osg::StateAttribute::POINT));
    ASSERT_TRUE(size);
    EXPECT_FLOAT_EQ(size->getSize(), 12.5f);
    // A size that is no positive number falls back to one pixel.
    Builder.SetPointSize(marker, NAN);
    size = dynamic_cast<const osg::Point*>(Geometry(marker)->getStateSet()->getAttribute(osg::StateAttribute::POINT));
    EXPECT_FLOAT_EQ(size->getSize(), 1.0f);
}

TEST_F(OsgBuilder, ConcavePolygonIsFilledExactly)
{
    // An L of area 3 (a notch cut from a 2 x 2 square).
    TScenePolygon polygon;
    polygon.Nodes = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}, {1, 2, 0}, {0, 2, 0}};
    const TSceneNodeId id = Builder.AddPolygon(Entity, polygon);
    EXPECT_NEAR(TriangleArea(id), 3.0, 1e-6);
    // Fewer than three nodes fill nothing.
    polygon.Nodes.resize(2);
    EXPECT_EQ(Vertices(Builder.AddPolygon(Entity, polygon))->size(), 0u);
}

TEST_F(OsgBuilder, SolidIsClosedAndUpdatable)
{
    // A 2 x 3 block 4 high: surface 2 (6 + 8 + 12) = 52.
    TSceneSolid solid{{{0, 0}, {2, 0}, {2, 3}, {0, 3}}, 1.0, 4.0, {0.5f, 0.5f, 0.5f, 0.5f}, true, false};
    const TSceneNodeId id = Builder.AddSolid(Entity, solid);
    EXPECT_NEAR(TriangleArea(id), 52.0, 1e-4);
    const osg::BoundingBox& box = Geometry(id)->getBoundingBox();
    EXPECT_FLOAT_EQ(box.zMin(), 1.0f);
    EXPECT_FLOAT_EQ(box.zMax(), 5.0f);
    // Clockwise contours give the same solid.
    solid.Contour = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    solid.Height = 1.0;
    Builder.UpdateSolid(id, solid);
    EXPECT_NEAR(TriangleArea(id), 6.0, 1e-4);
    EXPECT_FLOAT_EQ(Geometry(id)->getBoundingBox().zMax(), 2.0f);
}

TEST_F(OsgBuilder, MeshAndPlaneUseOnlyWhatFits)
{
    TSceneMesh mesh;
    mesh.Name = "part.stl";
    // Seven vertices: the seventh belongs to no whole triangle.
    mesh.Vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {9, 9, 9}};
    mesh.Normals = {{0, 0, 1}};
    mesh.Position = {10, 0, 0};
    mesh.Scale = {2, 2, 2};
    const TSceneNodeId m = Builder.AddMesh(Entity, mesh);
    auto* transform = dynamic_cast<osg::MatrixTransform*>(Builder.Node(m));
    ASSERT_TRUE(transform);
    EXPECT_EQ(transform->getName(), "part.stl");
    EXPECT_EQ(osg::Vec3d(1, 1, 1) * transform->getMatrix(), osg::Vec3d(12, 2, 2));
    osg::Geometry* triangles = transform->getChild(0)->asGeometry();
    EXPECT_EQ(triangles->getVertexArray()->getNumElements(), 6u);
    EXPECT_EQ(triangles->getNormalArray(), nullptr); // one normal for six vertices does not fit

    auto image = std::make_shared<TSceneImage>();
    image->Width = 2;
    image->Height = 2;
    image->Pixels = {0xFF112233u, 0xFF445566u, 0x80778899u}; // one pixel short
    TScenePlane plane;
    plane.Centre = {5, 5, 0};
    plane.Width = 4;
    plane.Height = 2;
    plane.Image = image;
    const TSceneNodeId bad = Builder.AddPlane(Entity, plane);
    EXPECT_EQ(Geometry(bad)->getStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE), nullptr);
    image->Pixels.push_back(0xFFAABBCCu);
    const TSceneNodeId good = Builder.AddPlane(Entity, plane);
    const auto* texture = dynamic_cast<const osg::Texture2D*>(
        Geometry(good)->getStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE));
    ASSERT_TRUE(texture);
    // The first stored row is the image's top row: B, G, R, A bytes.
    const unsigned char* top = texture->getImage()->data(0, 1);
    EXPECT_EQ(top[0], 0x33);
    EXPECT_EQ(top[2], 0x11);
    EXPECT_EQ(top[3], 0xFF);
    const unsigned char* bottomRight = texture->getImage()->data(1, 0);
    EXPECT_EQ(bottomRight[0], 0xCC);
    EXPECT_EQ(Vertices(good)->front(), osg::Vec3(3, 4, 0));
}

} // namespace
