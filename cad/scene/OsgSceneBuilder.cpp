#include "cad/scene/OsgSceneBuilder.h"

#include <osg/Geometry>

TSceneNodeId TOsgSceneBuilder::RegisterGroup(TSceneGroup which, osg::Group* group)
{
    const TSceneNodeId id = m_NextId++;
    m_Entries[id] = TEntry{group, TKind::Group, true};
    m_Ids[group] = id;
    m_Groups[which] = id;
    return id;
}

TSceneNodeId TOsgSceneBuilder::Group(TSceneGroup group) const
{
    auto it = m_Groups.find(group);
    return it == m_Groups.end() ? NoSceneNode : it->second;
}

osg::Group* TOsgSceneBuilder::AsGroup(TSceneNodeId id) const
{
    auto it = m_Entries.find(id);
    if (it == m_Entries.end() || it->second.Kind != TKind::Group)
        return nullptr;
    return it->second.Node->asGroup();
}

TSceneNodeId TOsgSceneBuilder::Attach(TSceneNodeId parent, osg::ref_ptr<osg::Node> node, TKind kind)
{
    osg::Group* group = AsGroup(parent);
    if (!group)
        return NoSceneNode;
    const TSceneNodeId id = m_NextId++;
    group->addChild(node);
    m_Ids[node.get()] = id;
    m_Entries[id] = TEntry{std::move(node), kind, false};
    return id;
}

TSceneNodeId TOsgSceneBuilder::CreateGroup(TSceneNodeId parent, const std::string& name)
{
    if (!AsGroup(parent))
        return NoSceneNode;
    osg::ref_ptr<osg::Group> group = new osg::Group;
    group->setName(name);
    return Attach(parent, group, TKind::Group);
}

TSceneNodeId TOsgSceneBuilder::AddLines(TSceneNodeId group, const TSceneLines& lines)
{
    if (!AsGroup(group))
        return NoSceneNode;
    return Attach(group, m_Factory.MakeLines(lines), TKind::Lines);
}

TSceneNodeId TOsgSceneBuilder::AddPoints(TSceneNodeId group, const TScenePoints& points)
{
    if (!AsGroup(group))
        return NoSceneNode;
    return Attach(group, m_Factory.MakePoints(points), TKind::Points);
}

TSceneNodeId TOsgSceneBuilder::AddPolygon(TSceneNodeId group, const TScenePolygon& polygon)
{
    if (!AsGroup(group))
        return NoSceneNode;
    return Attach(group, m_Factory.MakePolygon(polygon), TKind::Polygon);
}

TSceneNodeId TOsgSceneBuilder::AddPlane(TSceneNodeId group, const TScenePlane& plane)
{
    if (!AsGroup(group))
        return NoSceneNode;
    return Attach(group, m_Factory.MakePlane(plane), TKind::Plane);
}

TSceneNodeId TOsgSceneBuilder::AddMesh(TSceneNodeId group, const TSceneMesh& mesh)
{
    if (!AsGroup(group))
        return NoSceneNode;
    return Attach(group, m_Factory.MakeMesh(mesh), TKind::Mesh);
}

TSceneNodeId TOsgSceneBuilder::AddSolid(TSceneNodeId group, const TSceneSolid& solid)
{
    if (!AsGroup(group))
        return NoSceneNode;
    return Attach(group, m_Factory.MakeSolid(solid), TKind::Solid);
}

void TOsgSceneBuilder::UpdateLines(TSceneNodeId node, const TSceneLines& lines)
{
    auto it = m_Entries.find(node);
    if (it == m_Entries.end() || it->second.Kind != TKind::Lines)
        return;
    m_Factory.UpdateLines(*it->second.Node->asGeometry(), lines);
}

void TOsgSceneBuilder::UpdateSolid(TSceneNodeId node, const TSceneSolid& solid)
{
    auto it = m_Entries.find(node);
    if (it == m_Entries.end() || it->second.Kind != TKind::Solid)
        return;
    m_Factory.UpdateSolid(*it->second.Node->asGeometry(), solid);
}

void TOsgSceneBuilder::UpdatePlane(TSceneNodeId node, const TScenePlane& plane)
{
    auto it = m_Entries.find(node);
    if (it == m_Entries.end() || it->second.Kind != TKind::Plane)
        return;
    m_Factory.UpdatePlane(*it->second.Node->asGeometry(), plane);
}

void TOsgSceneBuilder::SetPointSize(TSceneNodeId node, float size)
{
    auto it = m_Entries.find(node);
    if (it == m_Entries.end() || it->second.Kind != TKind::Points)
        return;
    m_Factory.SetPointSize(*it->second.Node->asGeometry(), size);
}

void TOsgSceneBuilder::SetNodeVisible(TSceneNodeId node, bool visible)
{
    auto it = m_Entries.find(node);
    if (it != m_Entries.end())
        it->second.Node->setNodeMask(visible ? ~0u : 0u);
}

bool TOsgSceneBuilder::IsVisible(TSceneNodeId id) const
{
    auto it = m_Entries.find(id);
    return it != m_Entries.end() && it->second.Node->getNodeMask() != 0u;
}

void TOsgSceneBuilder::Forget(osg::Node* node)
{
    if (osg::Group* group = node->asGroup()) {
        for (unsigned i = 0; i < group->getNumChildren(); ++i)
            Forget(group->getChild(i));
    }
    auto it = m_Ids.find(node);
    if (it == m_Ids.end())
        return;
    const TSceneNodeId id = it->second;
    m_Ids.erase(it);
    // Last: the entry may hold the only reference to the node.
    m_Entries.erase(id);
}

void TOsgSceneBuilder::RemoveNode(TSceneNodeId node)
{
    auto it = m_Entries.find(node);
    if (it == m_Entries.end() || it->second.Fixed)
        return;
    osg::ref_ptr<osg::Node> keep = it->second.Node;
    // A copy: removing the child changes the parent list.
    const osg::Node::ParentList parents = keep->getParents();
    for (osg::Group* parent : parents)
        parent->removeChild(keep.get());
    Forget(keep.get());
}

void TOsgSceneBuilder::ClearGroup(TSceneNodeId group)
{
    osg::ref_ptr<osg::Group> target = AsGroup(group);
    if (!target)
        return;
    for (unsigned i = 0; i < target->getNumChildren(); ++i)
        Forget(target->getChild(i));
    target->removeChildren(0, target->getNumChildren());
}

osg::Node* TOsgSceneBuilder::Node(TSceneNodeId id) const
{
    auto it = m_Entries.find(id);
    return it == m_Entries.end() ? nullptr : it->second.Node.get();
}

std::optional<TOsgSceneBuilder::TKind> TOsgSceneBuilder::Kind(TSceneNodeId id) const
{
    auto it = m_Entries.find(id);
    if (it == m_Entries.end())
        return std::nullopt;
    return it->second.Kind;
}
