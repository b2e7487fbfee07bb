#include "cad/scene/OsgSceneBuilder.h"

#include <osg/Geometry>
#include <osg/LineWidth>
#include <osg/MatrixTransform>
#include <osg/Point>
#include <osg/Texture2D>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace osg_scene_builder_test {

namespace {

struct OsgBuilder : ::testing::Test {
    OsgBuilder()
    {
        Root->addChild(EntityNode);
        Root->addChild(ChainNode);
        Entity = Builder.RegisterGroup(TSceneGroup::Entity, EntityNode.get());
        Chain = Builder.RegisterGroup(TSceneGroup::Chain, ChainNode.get());
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
    // The segments that the chunk of a batched lines object draws, two
    // vertex indices each, in drawing order: its GL_LINES indices without
    // the hidden (one-vertex) segments, or its line-strip runs taken apart.
    std::vector<GLuint> Strip(TSceneNodeId id) const
    {
        std::vector<GLuint> segments;
        const osg::PrimitiveSet* drawn = Geometry(id)->getPrimitiveSet(0);
        if (const auto* pairs = dynamic_cast<const osg::DrawElementsUInt*>(drawn)) {
            EXPECT_EQ(pairs->getMode(), static_cast<GLenum>(GL_LINES));
            for (size_t k = 0; k + 1 < pairs->size(); k += 2) {
                if ((*pairs)[k] != (*pairs)[k + 1])
                    segments.insert(segments.end(), {(*pairs)[k], (*pairs)[k + 1]});
            }
            return segments;
        }
        const auto* runs = dynamic_cast<const osg::MultiDrawArrays*>(drawn);
        if (!runs || runs->getMode() != GL_LINE_STRIP || runs->getFirsts().size() != runs->getCounts().size())
            return segments;
        for (size_t r = 0; r < runs->getFirsts().size(); ++r) {
            const auto first = static_cast<GLuint>(runs->getFirsts()[r]);
            for (GLsizei k = 0; k + 1 < runs->getCounts()[r]; ++k) {
                segments.push_back(first + static_cast<GLuint>(k));
                segments.push_back(first + static_cast<GLuint>(k) + 1);
            }
        }
        return segments;
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
    osg::ref_ptr<osg::Group> ChainNode = new osg::Group;
    TSceneNodeId Entity = NoSceneNode;
    TSceneNodeId Chain = NoSceneNode;
};

TSceneLines Lines(std::vector<TVector3D> nodes, TSceneColor color = {1, 0, 0, 1}, float width = 1.0f)
{
    TSceneLines lines;
    lines.Nodes = std::move(nodes);
    lines.Color = color;
    lines.LineWidth = width;
    return lines;
}

TEST_F(OsgBuilder, LinesOfOtherGroupsAreGeometriesOfTheirOwn)
{
    EXPECT_EQ(Builder.Group(TSceneGroup::Entity), Entity);
    EXPECT_EQ(Builder.Group(TSceneGroup::Stl), NoSceneNode);
    const TSceneNodeId a = Builder.AddLines(Chain, Lines({{0, 0, 0}, {10, 5, 0}, {20, 0, 1}}));
    const TSceneNodeId b = Builder.AddLines(Chain, Lines({{1, 1, 0}, {2, 2, 0}}));
    ASSERT_NE(a, NoSceneNode);
    ASSERT_NE(b, a);
    ASSERT_EQ(ChainNode->getNumChildren(), 2u);
    EXPECT_EQ(ChainNode->getChild(0), Builder.Node(a));
    EXPECT_EQ(ChainNode->getChild(1), Builder.Node(b));
    const osg::Vec3Array& v = *Vertices(a);
    ASSERT_EQ(v.size(), 3u);
    EXPECT_EQ(v[1], osg::Vec3(10, 5, 0));
    const auto* strip = dynamic_cast<const osg::DrawArrays*>(Geometry(a)->getPrimitiveSet(0));
    ASSERT_TRUE(strip);
    EXPECT_EQ(strip->getMode(), static_cast<GLenum>(GL_LINE_STRIP));
    EXPECT_EQ(strip->getCount(), 3);
    EXPECT_EQ(Geometry(a)->getNumPrimitiveSets(), 1u); // no node markers
    // Updating one leaves the other.
    Builder.UpdateLines(a, Lines({{3, 3, 0}, {4, 4, 0}}, {1, 1, 0, 1}, 3.0f));
    EXPECT_EQ(Color(a), osg::Vec4(1, 1, 0, 1));
    EXPECT_EQ(Color(b), osg::Vec4(1, 0, 0, 1));
    EXPECT_EQ(Vertices(b)->size(), 2u);
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
    EXPECT_EQ(Builder.LinesRange(line)->Count, 2u);
    Builder.RemoveNode(line);
    EXPECT_EQ(Builder.Node(line), nullptr);
    EXPECT_EQ(Builder.ObjectsIn(Entity), 0u);
    // Every operation on the removed id is a no-op.
    Builder.UpdateLines(line, Lines({{5, 5, 5}, {6, 6, 6}}));
    Builder.SetNodeVisible(line, false);
    Builder.RemoveNode(line);
    EXPECT_FALSE(Builder.LinesRange(line));
    // The fixed group itself is never removed.
    Builder.RemoveNode(Entity);
    EXPECT_EQ(Builder.Node(Entity), EntityNode.get());
    EXPECT_EQ(Root->getNumChildren(), 2u);
}

TEST_F(OsgBuilder, ClearGroupForgetsEverythingBelow)
{
    const TSceneNodeId own = Builder.CreateGroup(Entity, "operation 1");
    const TSceneNodeId inner = Builder.AddLines(own, Lines({{0, 0, 0}, {1, 0, 0}}));
    const TSceneNodeId outer = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}}));
    EXPECT_EQ(Builder.Node(own)->getName(), "operation 1");
    // Lines in a created group keep a node of their own.
    EXPECT_EQ(Builder.Node(own)->asGroup()->getChild(0), Builder.Node(inner));
    const size_t fixedOnly = Builder.Count() - 3;
    Builder.ClearGroup(Entity);
    EXPECT_EQ(EntityNode->getNumChildren(), 0u);
    for (const TSceneNodeId id : {own, inner, outer})
        EXPECT_EQ(Builder.Node(id), nullptr) << id;
    EXPECT_EQ(Builder.Count(), fixedOnly);
    EXPECT_TRUE(Builder.Chunks(TSceneGroup::Entity).empty());
    // Removing a created group takes its children along.
    const TSceneNodeId again = Builder.CreateGroup(Entity, "operation 2");
    const TSceneNodeId child = Builder.AddLines(again, Lines({{0, 0, 0}, {1, 0, 0}}));
    Builder.RemoveNode(again);
    EXPECT_EQ(Builder.Node(child), nullptr);
    // New ids are never old ones.
    EXPECT_GT(Builder.AddLines(Entity, Lines({})), child);
}

TEST_F(OsgBuilder, EntityLinesShareOneChunkPerColourAndWidth)
{
    const TSceneColor red{1, 0, 0, 1};
    const TSceneColor blue{0, 0, 1, 1};
    const TSceneNodeId a = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}}, red));
    const TSceneNodeId b = Builder.AddLines(Entity, Lines({{0, 1, 0}, {1, 1, 0}, {2, 2, 0}}, blue));
    const TSceneNodeId c = Builder.AddLines(Entity, Lines({{5, 5, 0}, {6, 6, 0}}, red));
    const TSceneNodeId d = Builder.AddLines(Entity, Lines({{7, 7, 0}, {8, 8, 0}}, red, 3.0f));
    TSceneLines marked = Lines({{9, 9, 0}, {9, 8, 0}}, red);
    marked.NodesVisible = true;
    const TSceneNodeId e = Builder.AddLines(Entity, marked);
    // Red, blue, red wide, red with markers: four chunks in the order started.
    const std::vector<const osg::Geometry*> chunks = Builder.Chunks(TSceneGroup::Entity);
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(EntityNode->getNumChildren(), 4u);
    EXPECT_EQ(Builder.Node(a), chunks[0]);
    EXPECT_EQ(Builder.Node(c), chunks[0]);
    EXPECT_EQ(Builder.Node(b), chunks[1]);
    EXPECT_EQ(Builder.Node(d), chunks[2]);
    EXPECT_EQ(Builder.Node(e), chunks[3]);
    EXPECT_EQ(Builder.ObjectsIn(Entity), 5u);
    EXPECT_EQ(Color(a), osg::Vec4(1, 0, 0, 1));
    EXPECT_EQ(Color(b), osg::Vec4(0, 0, 1, 1));
    const auto* width = dynamic_cast<const osg::LineWidth*>(
        chunks[2]->getStateSet()->getAttribute(osg::StateAttribute::LINEWIDTH));
    ASSERT_TRUE(width);
    EXPECT_FLOAT_EQ(width->getWidth(), 3.0f);
    // The objects' segments in the order added; node markers draw one
    // point a vertex.
    EXPECT_EQ(Strip(a), (std::vector<GLuint>{0, 1, 2, 3}));
    EXPECT_EQ(Strip(b), (std::vector<GLuint>{0, 1, 1, 2}));
    EXPECT_EQ(Builder.LinesRange(c)->First, 2u);
    EXPECT_EQ((*Vertices(c))[2], osg::Vec3(5, 5, 0));
    ASSERT_EQ(chunks[3]->getNumPrimitiveSets(), 2u);
    EXPECT_EQ(chunks[3]->getPrimitiveSet(1)->getMode(), static_cast<GLenum>(GL_POINTS));
    EXPECT_EQ(chunks[3]->getPrimitiveSet(1)->getNumIndices(), 2u);
}

TEST_F(OsgBuilder, UpdateHideAndRemoveTouchOneRange)
{
    const TSceneNodeId a = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}));
    const TSceneNodeId b = Builder.AddLines(Entity, Lines({{0, 1, 0}, {1, 1, 0}, {2, 1, 0}}));
    const TSceneNodeId c = Builder.AddLines(Entity, Lines({{0, 2, 0}, {1, 2, 0}, {2, 2, 0}}));
    const std::vector<osg::Vec3> before(Vertices(a)->begin(), Vertices(a)->end());
    // The same node count, colour and width: the vertices of b change in place.
    Builder.UpdateLines(b, Lines({{5, 5, 0}, {6, 5, 0}, {7, 5, 0}}));
    std::vector<osg::Vec3> expected = before;
    expected[3] = {5, 5, 0};
    expected[4] = {6, 5, 0};
    expected[5] = {7, 5, 0};
    EXPECT_EQ(std::vector<osg::Vec3>(Vertices(a)->begin(), Vertices(a)->end()), expected);
    const std::vector<GLuint> all{0, 1, 1, 2, 3, 4, 4, 5, 6, 7, 7, 8};
    EXPECT_EQ(Strip(a), all);
    // Hiding b leaves its run without vertices; showing it gives them back.
    Builder.SetNodeVisible(b, false);
    EXPECT_FALSE(Builder.IsVisible(b));
    EXPECT_TRUE(Builder.IsVisible(c));
    EXPECT_EQ(Strip(a), (std::vector<GLuint>{0, 1, 1, 2, 6, 7, 7, 8}));
    Builder.SetNodeVisible(b, true);
    EXPECT_EQ(Strip(a), all);
    // Another node count moves b to the end of its chunk: drawn last now.
    Builder.UpdateLines(b, Lines({{8, 8, 0}, {9, 9, 0}, {10, 10, 0}, {11, 11, 0}}));
    EXPECT_EQ(Builder.LinesRange(b)->First, 9u);
    EXPECT_EQ(Strip(a), (std::vector<GLuint>{0, 1, 1, 2, 6, 7, 7, 8, 9, 10, 10, 11, 11, 12}));
    // Another colour moves it to that colour's chunk.
    Builder.UpdateLines(b, Lines({{8, 8, 0}, {9, 9, 0}, {10, 10, 0}}, {0, 1, 0, 1}));
    EXPECT_EQ(Builder.Chunks(TSceneGroup::Entity).size(), 2u);
    EXPECT_EQ(Color(b), osg::Vec4(0, 1, 0, 1));
    EXPECT_EQ(Color(c), osg::Vec4(1, 0, 0, 1));
    // Seven of the red chunk's thirteen vertices are holes now: past half,
    // so the chunk was compacted, a and c in their order.
    EXPECT_EQ(Strip(a), (std::vector<GLuint>{0, 1, 1, 2, 3, 4, 4, 5}));
    EXPECT_EQ((*Vertices(c))[Builder.LinesRange(c)->First], osg::Vec3(0, 2, 0));
    // A chunk left without objects goes.
    Builder.RemoveNode(b);
    EXPECT_EQ(Builder.Chunks(TSceneGroup::Entity).size(), 1u);
}

// Single segments of a pen share a chunk of indexed GL_LINES apart from the
// objects of more nodes of that pen; a segment given a third node moves to
// those.
TEST_F(OsgBuilder, SegmentsOfAPenShareAnIndexedChunk)
{
    const TSceneNodeId a = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}}));
    const TSceneNodeId p = Builder.AddLines(Entity, Lines({{0, 5, 0}, {1, 5, 0}, {1, 6, 0}}));
    const TSceneNodeId b = Builder.AddLines(Entity, Lines({{0, 1, 0}, {1, 1, 0}}));
    const TSceneNodeId c = Builder.AddLines(Entity, Lines({{0, 2, 0}, {1, 2, 0}}));
    const std::vector<const osg::Geometry*> chunks = Builder.Chunks(TSceneGroup::Entity);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(Builder.Node(a), chunks[0]);
    EXPECT_EQ(Builder.Node(b), chunks[0]);
    EXPECT_EQ(Builder.Node(c), chunks[0]);
    EXPECT_EQ(Builder.Node(p), chunks[1]);
    EXPECT_TRUE(dynamic_cast<const osg::DrawElementsUInt*>(chunks[0]->getPrimitiveSet(0)));
    EXPECT_TRUE(dynamic_cast<const osg::MultiDrawArrays*>(chunks[1]->getPrimitiveSet(0)));
    EXPECT_EQ(Strip(a), (std::vector<GLuint>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Strip(p), (std::vector<GLuint>{0, 1, 1, 2}));
    Builder.SetNodeVisible(b, false);
    EXPECT_EQ(Strip(a), (std::vector<GLuint>{0, 1, 4, 5}));
    Builder.SetNodeVisible(b, true);
    Builder.UpdateLines(b, Lines({{0, 1, 0}, {1, 1, 0}, {1, 2, 0}}));
    EXPECT_EQ(Builder.Node(b), chunks[1]);
    EXPECT_EQ(Strip(a), (std::vector<GLuint>{0, 1, 4, 5}));
    EXPECT_EQ(Strip(p), (std::vector<GLuint>{0, 1, 1, 2, 3, 4, 4, 5}));
    EXPECT_EQ(Builder.ObjectsIn(Entity), 4u);
}

// Points (nodes of their own) and a lines chunk in the Entity group: after
// removing some points, the group draws the others in the order added, and
// a point added next is drawn last; the removed ids are gone.
TEST_F(OsgBuilder, NodesOfTheirOwnLeaveTheEntityGroupInOrder)
{
    const struct {
        const char* Name;
        std::vector<size_t> Removed; // points, in the order removed
    } cases[] = {
        {"none", {}},
        {"one", {3}},
        {"the first and the last", {0, 7}},
        {"half", {6, 1, 4, 3}},
        {"more than half", {0, 2, 4, 6, 1, 5}},
        {"all", {7, 6, 5, 4, 3, 2, 1, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Builder.ClearGroup(Entity);
        auto point = [&](double x) {
            return Builder.AddPoints(Entity, TScenePoints{{{x, 0, 0}}, {{1, 1, 1, 1}}, 3.0f, false});
        };
        std::vector<TSceneNodeId> points;
        TSceneNodeId line = NoSceneNode;
        for (size_t i = 0; i < 8; ++i) {
            points.push_back(point(static_cast<double>(i)));
            if (i == 2)
                line = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}}));
        }
        // The drawing order the test expects: points and the chunk by when
        // they were added, without the removed ones.
        std::vector<const osg::Node*> expected;
        for (size_t i = 0; i < 8; ++i) {
            if (std::find(c.Removed.begin(), c.Removed.end(), i) == c.Removed.end())
                expected.push_back(Builder.Node(points[i]));
            if (i == 2)
                expected.push_back(Builder.Node(line));
        }
        for (const size_t i : c.Removed)
            Builder.RemoveNode(points[i]);
        const TSceneNodeId added = point(9);
        expected.push_back(Builder.Node(added));

        std::vector<const osg::Node*> drawn;
        for (unsigned i = 0; i < EntityNode->getNumChildren(); ++i) {
            if (EntityNode->getChild(i)->getNodeMask() != 0u)
                drawn.push_back(EntityNode->getChild(i));
        }
        EXPECT_EQ(drawn, expected);
        EXPECT_EQ(Builder.ObjectsIn(Entity), 8 - c.Removed.size() + 2);
        for (const size_t i : c.Removed)
            EXPECT_EQ(Builder.Node(points[i]), nullptr) << i;
        Builder.ClearGroup(Entity);
        EXPECT_EQ(EntityNode->getNumChildren(), 0u);
        EXPECT_EQ(Builder.ObjectsIn(Entity), 0u);
    }
}

// Lines removed from the front one by one (their ids' table drops its dead
// front now and then): every other line still names its own range.
TEST_F(OsgBuilder, RemovingFromTheFrontKeepsTheOtherIds)
{
    std::vector<TSceneNodeId> lines;
    for (int i = 0; i < 12; ++i)
        lines.push_back(Builder.AddLines(Entity, Lines({{0, double(i), 0}, {1, double(i), 0}})));
    // An object of two parts in the middle, removed last.
    Builder.BeginObject();
    Builder.AddLines(Entity, Lines({{5, 20, 0}, {6, 20, 0}}));
    Builder.AddLines(Entity, Lines({{5, 21, 0}, {6, 21, 0}}));
    const TSceneNodeId object = Builder.EndObject();
    for (int i = 12; i < 16; ++i)
        lines.push_back(Builder.AddLines(Entity, Lines({{0, double(i), 0}, {1, double(i), 0}})));
    for (size_t removed = 0; removed < 14; ++removed) {
        Builder.RemoveNode(lines[removed]);
        for (size_t i = removed + 1; i < lines.size(); ++i) {
            const auto range = Builder.LinesRange(lines[i]);
            ASSERT_TRUE(range) << removed << " " << i;
            const auto& v = *dynamic_cast<const osg::Vec3Array*>(range->Chunk->getVertexArray());
            EXPECT_EQ(v[range->First], osg::Vec3(0, static_cast<float>(i), 0)) << removed << " " << i;
        }
        EXPECT_TRUE(Builder.IsVisible(object)) << removed;
    }
    Builder.RemoveNode(object);
    EXPECT_EQ(Builder.ObjectsIn(Entity), 2u);
}

TEST_F(OsgBuilder, RemovedRangesAreReusedAfterCompaction)
{
    std::vector<TSceneNodeId> ids;
    for (int i = 0; i < 100; ++i)
        ids.push_back(Builder.AddLines(Entity, Lines({{double(i), 0, 0}, {double(i), 1, 0}})));
    const osg::Geometry* chunk = Builder.Chunks(TSceneGroup::Entity).front();
    EXPECT_EQ(chunk->getVertexArray()->getNumElements(), 200u);
    // Removing up to half leaves holes; one more compacts.
    for (int i = 0; i < 50; ++i)
        Builder.RemoveNode(ids[i * 2]);
    EXPECT_EQ(chunk->getVertexArray()->getNumElements(), 200u);
    Builder.RemoveNode(ids[1]);
    EXPECT_EQ(chunk->getVertexArray()->getNumElements(), 98u);
    EXPECT_EQ(Builder.LinesRange(ids[3])->First, 0u);
    EXPECT_EQ(Builder.LinesRange(ids[99])->First, 96u);
    const size_t bytes = Builder.BatchBytes();
    // Adding the removed number again takes the room they left.
    for (int i = 0; i < 51; ++i)
        ids.push_back(Builder.AddLines(Entity, Lines({{double(i), 5, 0}, {double(i), 6, 0}})));
    EXPECT_EQ(Builder.Chunks(TSceneGroup::Entity).size(), 1u);
    EXPECT_EQ(chunk->getVertexArray()->getNumElements(), 200u);
    EXPECT_LE(Builder.BatchBytes(), bytes + 51 * 2 * sizeof(TSceneNodeId) + 4096);
    EXPECT_EQ(Builder.ObjectsIn(Entity), 100u);
}

TEST_F(OsgBuilder, AChunkEndsAfterItsSegmentLimit)
{
    const uint32_t limit = TOsgSceneBuilder::ChunkSegments;
    TSceneNodeId last = NoSceneNode;
    for (uint32_t i = 0; i <= limit; ++i)
        last = Builder.AddLines(Entity, Lines({{double(i), 0, 0}, {double(i), 1, 0}}));
    const std::vector<const osg::Geometry*> chunks = Builder.Chunks(TSceneGroup::Entity);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0]->getVertexArray()->getNumElements(), 2 * limit);
    EXPECT_EQ(Builder.Node(last), chunks[1]);
    EXPECT_EQ(Builder.LinesRange(last)->First, 0u);
    // A lines object longer than the limit gets a chunk of its own.
    std::vector<TVector3D> long_(limit + 2, TVector3D{1, 1, 0});
    const TSceneNodeId big = Builder.AddLines(Entity, Lines(long_));
    EXPECT_EQ(Builder.Chunks(TSceneGroup::Entity).size(), 3u);
    EXPECT_EQ(Builder.LinesRange(big)->Count, limit + 2);
    EXPECT_EQ(Builder.ObjectsIn(Entity), limit + 2);
}

TEST_F(OsgBuilder, AnObjectNamesAllItsParts)
{
    Builder.BeginObject();
    const TSceneNodeId first = Builder.AddLines(Entity, Lines({{0, 0, 0}, {1, 0, 0}}));
    TScenePoints points;
    points.Positions = {{0, 0, 0}};
    const TSceneNodeId point = Builder.AddPoints(Entity, points);
    const TSceneNodeId second = Builder.AddLines(Entity, Lines({{0, 1, 0}, {1, 1, 0}}, {0, 0, 1, 1}));
    const TSceneNodeId object = Builder.EndObject();
    const TSceneNodeId other = Builder.AddLines(Entity, Lines({{0, 2, 0}, {1, 2, 0}}));
    ASSERT_NE(object, NoSceneNode);
    EXPECT_NE(object, first);
    Builder.SetNodeVisible(object, false);
    EXPECT_FALSE(Builder.IsVisible(object));
    EXPECT_FALSE(Builder.IsVisible(first));
    EXPECT_FALSE(Builder.IsVisible(point));
    EXPECT_FALSE(Builder.IsVisible(second));
    EXPECT_TRUE(Builder.IsVisible(other));
    Builder.RemoveNode(object);
    for (const TSceneNodeId id : {first, point, second})
        EXPECT_EQ(Builder.Node(id), nullptr) << id;
    EXPECT_NE(Builder.Node(other), nullptr);
    // An object of one part is that part; one of none is no object.
    Builder.BeginObject();
    const TSceneNodeId only = Builder.AddLines(Entity, Lines({{0, 3, 0}, {1, 3, 0}}));
    EXPECT_EQ(Builder.EndObject(), only);
    Builder.BeginObject();
    EXPECT_EQ(Builder.EndObject(), NoSceneNode);
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

}  // namespace osg_scene_builder_test
