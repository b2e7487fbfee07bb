// The image plane on OSG: its corners follow the plane's axes (a turned or
// mirrored image), and an update replaces corners and texture in place.

#include "cad/scene/OsgSceneBuilder.h"

#include <osg/Geometry>
#include <osg/Texture2D>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace osg_plane_test {

TEST(OsgPlane, CornersFollowTheAxesAndUpdateKeepsTheNode)
{
    TOsgSceneBuilder builder;
    osg::ref_ptr<osg::Group> entityNode = new osg::Group;
    const TSceneNodeId entity = builder.RegisterGroup(TSceneGroup::Entity, entityNode.get());

    // A 4 x 2 image about (10, 20), turned a quarter: rows run along +Y.
    TScenePlane plane;
    plane.Centre = {10, 20, 0};
    plane.Width = 4;
    plane.Height = 2;
    plane.AxisX = {0, 1, 0};
    plane.AxisY = {-1, 0, 0};
    const TSceneNodeId node = builder.AddPlane(entity, plane);
    auto vertices = [&] {
        const auto* v = dynamic_cast<const osg::Vec3Array*>(builder.Node(node)->asGeometry()->getVertexArray());
        return std::vector<osg::Vec3>(v->begin(), v->end());
    };
    const std::vector<osg::Vec3> turned = vertices();
    ASSERT_EQ(turned.size(), 4u);
    // Bottom-left, bottom-right, top-right, top-left of the image.
    EXPECT_EQ(turned[0], osg::Vec3(11, 18, 0));
    EXPECT_EQ(turned[1], osg::Vec3(11, 22, 0));
    EXPECT_EQ(turned[2], osg::Vec3(9, 22, 0));
    EXPECT_EQ(turned[3], osg::Vec3(9, 18, 0));

    // Mirrored in X with an image: same node, new corners, a texture.
    auto image = std::make_shared<TSceneImage>();
    image->Width = 1;
    image->Height = 1;
    image->Pixels = {0xFF102030u};
    plane.AxisX = {-1, 0, 0};
    plane.AxisY = {0, 1, 0};
    plane.Image = image;
    builder.UpdatePlane(node, plane);
    const std::vector<osg::Vec3> mirrored = vertices();
    EXPECT_EQ(mirrored[0], osg::Vec3(12, 19, 0));
    EXPECT_EQ(mirrored[2], osg::Vec3(8, 21, 0));
    EXPECT_EQ(builder.Node(node)->asGeometry()->getNumPrimitiveSets(), 1u);
    EXPECT_NE(builder.Node(node)->getStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE), nullptr);

    // Another kind of node is left alone.
    const TSceneNodeId lines = builder.AddLines(entity, TSceneLines{{{0, 0, 0}, {1, 1, 0}}, {}, 1.0f, false});
    builder.UpdatePlane(lines, plane);
    EXPECT_EQ(builder.Node(lines)->getStateSet()->getTextureAttribute(0, osg::StateAttribute::TEXTURE), nullptr);
}

}  // namespace osg_plane_test
