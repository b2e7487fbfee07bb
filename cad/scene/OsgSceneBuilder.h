#pragma once
// The scene builder of the view on OpenSceneGraph: every scene object that
// the drawing model builds through core/ViewInterfaces.h becomes an OSG node
// below one of the view's groups, known to the model by its id.
//
// Promises:
// - Ids are handed out once and never reused; an id whose node is gone (it
//   was removed, or its group was cleared) is ignored by every operation,
//   and so is an id of the wrong kind (UpdateLines on a mesh).
// - Adding below an id that is not a group adds nothing and returns
//   NoSceneNode.
// - Children keep the order in which they were added; the renderer draws
//   them in that order.
// - The builder holds a reference to every node it made until the node is
//   removed; the view's fixed groups are registered with RegisterGroup and
//   are never removed by RemoveNode (ClearGroup empties them).
// Main thread only, like the rest of the view.

#include "cad/scene/OsgGeometry.h"
#include "core/model/ViewInterfaces.h"

#include <osg/Group>
#include <osg/ref_ptr>

#include <map>
#include <optional>
#include <unordered_map>

class TOsgSceneBuilder final : public TSceneBuilder {
public:
    enum class TKind { Group, Lines, Points, Polygon, Plane, Mesh, Solid };

    TOsgSceneBuilder() = default;
    TOsgSceneBuilder(const TOsgSceneBuilder&) = delete;
    TOsgSceneBuilder& operator=(const TOsgSceneBuilder&) = delete;

    // Makes group one of the fixed groups that Group() names, and returns
    // its id. The view calls it once per group while it builds its scene.
    TSceneNodeId RegisterGroup(TSceneGroup which, osg::Group* group);

    TSceneNodeId Group(TSceneGroup group) const override;
    TSceneNodeId CreateGroup(TSceneNodeId parent, const std::string& name) override;

    TSceneNodeId AddLines(TSceneNodeId group, const TSceneLines& lines) override;
    TSceneNodeId AddPoints(TSceneNodeId group, const TScenePoints& points) override;
    TSceneNodeId AddPolygon(TSceneNodeId group, const TScenePolygon& polygon) override;
    TSceneNodeId AddPlane(TSceneNodeId group, const TScenePlane& plane) override;
    TSceneNodeId AddMesh(TSceneNodeId group, const TSceneMesh& mesh) override;
    TSceneNodeId AddSolid(TSceneNodeId group, const TSceneSolid& solid) override;

    void UpdateLines(TSceneNodeId node, const TSceneLines& lines) override;
    void UpdateSolid(TSceneNodeId node, const TSceneSolid& solid) override;
    void UpdatePlane(TSceneNodeId node, const TScenePlane& plane) override;

    void SetNodeVisible(TSceneNodeId node, bool visible) override;
    void RemoveNode(TSceneNodeId node) override;
    void ClearGroup(TSceneNodeId group) override;

    // Point size of a points object (the simulation's tool marker).
    void SetPointSize(TSceneNodeId node, float size);

    // The node of an id, or null; for the view and for tests.
    osg::Node* Node(TSceneNodeId id) const;
    // The kind of a live id.
    std::optional<TKind> Kind(TSceneNodeId id) const;
    bool IsVisible(TSceneNodeId id) const;
    // Number of live ids, fixed groups included.
    size_t Count() const { return m_Entries.size(); }

private:
    struct TEntry {
        osg::ref_ptr<osg::Node> Node;
        TKind Kind = TKind::Group;
        bool Fixed = false;
    };

    TSceneNodeId Attach(TSceneNodeId parent, osg::ref_ptr<osg::Node> node, TKind kind);
    osg::Group* AsGroup(TSceneNodeId id) const;
    // Forgets the ids of node and of everything below it.
    void Forget(osg::Node* node);

    TOsgGeometryFactory m_Factory;
    std::unordered_map<TSceneNodeId, TEntry> m_Entries;
    std::unordered_map<const osg::Node*, TSceneNodeId> m_Ids;
    std::map<TSceneGroup, TSceneNodeId> m_Groups;
    TSceneNodeId m_NextId = 1;
};
