#include "cad/scene/OsgSceneBuilder.h"

#include <osg/Depth>
#include <osg/LineWidth>
#include <osg/MatrixTransform>
#include <osg/Point>
#include <osg/PrimitiveRestartIndex>

#include <algorithm>

namespace {

// Ids of objects made by EndObject: this bit and the id of the first part.
constexpr TSceneNodeId ObjectBit = TSceneNodeId{1} << 62;

// A chunk's arrays start this small and grow by doubling.
constexpr size_t FirstChunkCapacity = 256;

// Gives back the room of a closed chunk's array unless it is a little
// (an eighth of what it holds): giving it back copies the array.
template <class T> void TrimFull(std::vector<T>& array)
{
    if (array.capacity() - array.size() > array.size() / 8)
        array.shrink_to_fit();
}

bool IsObjectId(TSceneNodeId id)
{
    return (id & ObjectBit) != 0;
}

// The box of a chunk from its vertices. OSG's own walks the indices, and
// takes the restart index for a vertex.
class TChunkBound final : public osg::Drawable::ComputeBoundingBoxCallback {
public:
    TChunkBound() = default;
    TChunkBound(const TChunkBound& other, const osg::CopyOp& copyOp) : ComputeBoundingBoxCallback(other, copyOp) {}
    META_Object(kb, TChunkBound)

    osg::BoundingBox computeBound(const osg::Drawable& drawable) const override
    {
        osg::BoundingBox box;
        const osg::Geometry* geometry = drawable.asGeometry();
        const auto* vertices = geometry ? dynamic_cast<const osg::Vec3Array*>(geometry->getVertexArray()) : nullptr;
        if (vertices) {
            for (const osg::Vec3& v : *vertices)
                box.expandBy(v);
        }
        return box;
    }
};

} // namespace

TOsgSceneBuilder::TKey TOsgSceneBuilder::KeyOf(const TSceneLines& lines)
{
    return TKey{lines.Color.R,
                lines.Color.G,
                lines.Color.B,
                lines.Color.A,
                lines.LineWidth,
                lines.NodesVisible ? 1.0f : 0.0f,
                lines.Nodes.size() > 2 ? 1.0f : 0.0f};
}

TOsgSceneBuilder::TOsgSceneBuilder() : m_ChunkBound(new TChunkBound) {}

uint32_t TOsgSceneBuilder::Segments(const TSlot& slot)
{
    return slot.Count == 0 ? 0 : slot.Count - 1;
}

// --- Ids and groups -------------------------------------------------------------

TSceneNodeId TOsgSceneBuilder::NewId()
{
    const TSceneNodeId id = m_NextId++;
    if (m_ObjectDepth > 0) {
        // Every part of an object has a slot, so that the object can be
        // walked; a part of its own kind is found through m_Entries.
        if (TSlot* previous = id > m_ObjectFirst ? Slot(id - 1) : nullptr) {
            previous->Continues = true;
            // A dead front slot that now continues is looked at again.
            if (id - 1 - m_TableBase < m_DeadFront)
                m_DeadFront = m_DeadFrontEnd = 0;
        }
        NewSlot(id).Kind = TSlotKind::Node;
    }
    return id;
}

TSceneNodeId TOsgSceneBuilder::RegisterGroup(TSceneGroup which, osg::Group* group)
{
    const TSceneNodeId id = m_NextId++;
    m_Entries[id] = TEntry{group, TKind::Group, true};
    m_Ids[group] = id;
    m_Groups[which] = id;
    if (which == TSceneGroup::Entity || which == TSceneGroup::Selection)
        m_Batches.push_back(TBatch{group, id, {}, {}});
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

std::optional<uint8_t> TOsgSceneBuilder::BatchOf(TSceneNodeId group) const
{
    for (size_t i = 0; i < m_Batches.size(); ++i) {
        if (m_Batches[i].Id == group)
            return static_cast<uint8_t>(i);
    }
    return std::nullopt;
}

TSceneNodeId TOsgSceneBuilder::Attach(TSceneNodeId parent, osg::ref_ptr<osg::Node> node, TKind kind)
{
    osg::Group* group = AsGroup(parent);
    if (!group)
        return NoSceneNode;
    const TSceneNodeId id = NewId();
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

TSceneNodeId TOsgSceneBuilder::CreateOverlayGroup(TSceneNodeId parent, const std::string& name)
{
    const TSceneNodeId id = CreateGroup(parent, name);
    if (osg::Group* group = AsGroup(id)) {
        osg::StateSet* state = group->getOrCreateStateSet();
        state->setMode(GL_DEPTH_TEST, osg::StateAttribute::OFF);
        state->setAttributeAndModes(new osg::Depth(osg::Depth::LESS, 0.0, 1.0, false), osg::StateAttribute::ON);
    }
    return id;
}

// --- The id table ------------------------------------------------------------------

TOsgSceneBuilder::TSlot* TOsgSceneBuilder::Slot(TSceneNodeId id)
{
    if (id < m_TableBase || id - m_TableBase >= m_Table.size())
        return nullptr;
    return &m_Table[id - m_TableBase];
}

const TOsgSceneBuilder::TSlot* TOsgSceneBuilder::Slot(TSceneNodeId id) const
{
    if (id < m_TableBase || id - m_TableBase >= m_Table.size())
        return nullptr;
    return &m_Table[id - m_TableBase];
}

TOsgSceneBuilder::TSlot& TOsgSceneBuilder::NewSlot(TSceneNodeId id)
{
    if (m_Table.empty())
        m_TableBase = id;
    // Ids handed out outside the table in between get dead slots.
    m_Table.resize(id - m_TableBase + 1);
    ++m_LiveSlots;
    return m_Table.back();
}

void TOsgSceneBuilder::KillSlot(TSlot& slot)
{
    if (slot.Kind == TSlotKind::Dead)
        return;
    if (slot.Kind == TSlotKind::Lines)
        --m_LiveLines;
    slot.Kind = TSlotKind::Dead;
    --m_LiveSlots;
}

void TOsgSceneBuilder::TrimTable()
{
    if (m_LiveSlots == 0) {
        m_Table.clear();
        m_Table.shrink_to_fit();
        m_DeadFront = 0;
        m_DeadFrontEnd = 0;
        return;
    }
    // Drop the dead slots in front, but never part of an object whose
    // later parts live. A dead slot stays dead, so the walk goes on from
    // where the last one stopped.
    size_t i = m_DeadFront;
    for (; i < m_Table.size() && m_Table[i].Kind == TSlotKind::Dead; ++i) {
        if (!m_Table[i].Continues)
            m_DeadFrontEnd = i + 1;
    }
    m_DeadFront = i;
    const size_t keep = m_DeadFrontEnd;
    if (keep * 2 < m_Table.size())
        return;
    m_Table.erase(m_Table.begin(), m_Table.begin() + static_cast<std::ptrdiff_t>(keep));
    m_Table.shrink_to_fit();
    m_TableBase += keep;
    m_DeadFront -= keep;
    m_DeadFrontEnd = 0;
}

template <class F> void TOsgSceneBuilder::EachPart(TSceneNodeId id, F&& f)
{
    if (!IsObjectId(id)) {
        f(id);
        return;
    }
    for (TSceneNodeId part = id & ~ObjectBit;; ++part) {
        const TSlot* slot = Slot(part);
        if (!slot)
            return;
        const bool more = slot->Continues;
        f(part);
        if (!more)
            return;
    }
}

void TOsgSceneBuilder::BeginObject()
{
    if (m_ObjectDepth++ == 0)
        m_ObjectFirst = m_NextId;
}

TSceneNodeId TOsgSceneBuilder::EndObject()
{
    if (m_ObjectDepth == 0 || --m_ObjectDepth > 0)
        return NoSceneNode;
    if (m_NextId == m_ObjectFirst)
        return NoSceneNode;
    // One part: the object is that part.
    if (m_NextId == m_ObjectFirst + 1) {
        if (TSlot* slot = Slot(m_ObjectFirst); slot && slot->Kind == TSlotKind::Node) {
            // A part of its own kind needs no slot.
            KillSlot(*slot);
            TrimTable();
        }
        return m_ObjectFirst;
    }
    return ObjectBit | m_ObjectFirst;
}

// --- Adding ----------------------------------------------------------------------------

TSceneNodeId TOsgSceneBuilder::AddLines(TSceneNodeId group, const TSceneLines& lines)
{
    const std::optional<uint8_t> batch = BatchOf(group);
    if (!batch) {
        if (!AsGroup(group))
            return NoSceneNode;
        return Attach(group, m_Factory.MakeLines(lines), TKind::Lines);
    }
    const TSceneNodeId id = NewId();
    TSlot& slot = m_ObjectDepth > 0 ? *Slot(id) : NewSlot(id);
    slot.Kind = TSlotKind::Lines;
    ++m_LiveLines;
    const uint32_t segments = lines.Nodes.empty() ? 0 : static_cast<uint32_t>(lines.Nodes.size() - 1);
    Place(slot, ChunkFor(*batch, KeyOf(lines), segments), lines, id);
    return id;
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

// --- Chunks ------------------------------------------------------------------------------

osg::StateSet* TOsgSceneBuilder::ChunkState(float width, bool markers)
{
    osg::ref_ptr<osg::StateSet>& state = m_ChunkStates[{width, markers ? 1.0f : 0.0f}];
    if (!state) {
        state = new osg::StateSet;
        state->setMode(GL_LIGHTING, osg::StateAttribute::OFF);
        state->setAttribute(new osg::LineWidth(width > 0.0f ? width : 1.0f));
        state->setAttribute(new osg::Point(TOsgGeometryFactory::NodeMarkerSize));
        // Only the markers use the restart index (for their hidden points):
        // with restart on, the software renderer draws piece by piece.
        if (markers)
            state->setAttributeAndModes(new osg::PrimitiveRestartIndex(RestartIndex), osg::StateAttribute::ON);
    }
    return state.get();
}

uint32_t TOsgSceneBuilder::ChunkFor(uint8_t batch, const TKey& key, uint32_t segments)
{
    TBatch& b = m_Batches[batch];
    auto open = b.Open.find(key);
    // A chunk that follows a full one of its key will most likely fill up
    // as well: it takes the room of a full chunk at once instead of growing.
    size_t vertexRoom = FirstChunkCapacity;
    size_t indexRoom = FirstChunkCapacity;
    if (open != b.Open.end()) {
        TChunk& chunk = m_Chunks[open->second];
        if (chunk.Segments == 0 || chunk.Segments + segments <= ChunkSegments)
            return open->second;
        // Full: it keeps what it has, without room to grow beyond a little.
        chunk.Open = false;
        TrimFull(chunk.Vertices->asVector());
        if (chunk.Runs) {
            TrimFull(chunk.Runs->getFirsts());
            TrimFull(chunk.Runs->getCounts());
        } else {
            TrimFull(chunk.Strips->asVector());
        }
        if (chunk.Markers)
            TrimFull(chunk.Markers->asVector());
        vertexRoom = std::max(vertexRoom, chunk.Vertices->size() + chunk.Vertices->size() / 16);
        indexRoom = chunk.Runs ? std::max(indexRoom, chunk.Runs->getFirsts().size() + chunk.Runs->getFirsts().size() / 16)
                               : 2 * size_t{ChunkSegments};
        b.Open.erase(open);
    }
    uint32_t index = 0;
    if (!m_FreeChunks.empty()) {
        index = m_FreeChunks.back();
        m_FreeChunks.pop_back();
    } else {
        index = static_cast<uint32_t>(m_Chunks.size());
        m_Chunks.emplace_back();
    }
    TChunk& chunk = m_Chunks[index];
    chunk = TChunk{};
    chunk.Key = key;
    chunk.Batch = batch;
    chunk.Open = true;
    chunk.Geometry = new osg::Geometry;
    chunk.Geometry->setUseDisplayList(false);
    chunk.Geometry->setUseVertexBufferObjects(true);
    chunk.Geometry->setDataVariance(osg::Object::DYNAMIC);
    chunk.Geometry->setComputeBoundingBoxCallback(m_ChunkBound);
    chunk.Vertices = new osg::Vec3Array;
    chunk.Vertices->reserve(vertexRoom);
    chunk.Geometry->setVertexArray(chunk.Vertices);
    osg::ref_ptr<osg::Vec4Array> color = new osg::Vec4Array;
    color->push_back(osg::Vec4(key[0], key[1], key[2], key[3]));
    chunk.Geometry->setColorArray(color, osg::Array::BIND_OVERALL);
    if (key[6] != 0.0f) {
        chunk.Runs = new osg::MultiDrawArrays(GL_LINE_STRIP);
        chunk.Runs->getFirsts().reserve(indexRoom);
        chunk.Runs->getCounts().reserve(indexRoom);
        chunk.Geometry->addPrimitiveSet(chunk.Runs);
    } else {
        chunk.Strips = new osg::DrawElementsUInt(GL_LINES);
        chunk.Strips->reserve(indexRoom);
        chunk.Geometry->addPrimitiveSet(chunk.Strips);
    }
    if (key[5] != 0.0f) {
        chunk.Markers = new osg::DrawElementsUInt(GL_POINTS);
        chunk.Markers->reserve(vertexRoom);
        chunk.Geometry->addPrimitiveSet(chunk.Markers);
    }
    chunk.Geometry->setStateSet(ChunkState(key[4], key[5] != 0.0f));
    b.Group->addChild(chunk.Geometry);
    b.Open[key] = index;
    return index;
}

void TOsgSceneBuilder::MarkDirty(TChunk& chunk, bool vertices)
{
    if (vertices) {
        chunk.Vertices->dirty();
        chunk.Geometry->dirtyBound();
    }
    if (chunk.Runs)
        chunk.Runs->dirty();
    else
        chunk.Strips->dirty();
    if (chunk.Markers)
        chunk.Markers->dirty();
}

void TOsgSceneBuilder::Place(TSlot& slot, uint32_t chunkIndex, const TSceneLines& lines, TSceneNodeId id)
{
    TChunk& chunk = m_Chunks[chunkIndex];
    osg::Vec3Array& vertices = *chunk.Vertices;
    slot.Chunk = chunkIndex;
    slot.First = static_cast<uint32_t>(vertices.size());
    slot.Count = static_cast<uint32_t>(lines.Nodes.size());
    slot.Index = static_cast<uint32_t>(chunk.Runs ? chunk.Runs->getFirsts().size() : chunk.Strips->size());
    for (const TVector3D& n : lines.Nodes)
        vertices.push_back(osg::Vec3(static_cast<float>(n.X), static_cast<float>(n.Y), static_cast<float>(n.Z)));
    if (chunk.Runs) {
        chunk.Runs->getFirsts().push_back(static_cast<GLint>(slot.First));
        chunk.Runs->getCounts().push_back(0);
    } else {
        chunk.Strips->resize(slot.Index + 2 * Segments(slot));
    }
    if (chunk.Markers)
        chunk.Markers->resize(vertices.size());
    WriteIndices(slot, !slot.Hidden);
    chunk.Members.push_back(id);
    ++chunk.LiveMembers;
    chunk.Segments += Segments(slot);
    MarkDirty(chunk, true);
}

void TOsgSceneBuilder::WriteIndices(const TSlot& slot, bool visible)
{
    TChunk& chunk = m_Chunks[slot.Chunk];
    if (chunk.Runs) {
        // A hidden object's run draws no vertex.
        chunk.Runs->getFirsts()[slot.Index] = static_cast<GLint>(slot.First);
        chunk.Runs->getCounts()[slot.Index] = visible ? static_cast<GLsizei>(slot.Count) : 0;
    } else {
        // A hidden segment runs from its first vertex to itself: no pixel.
        GLuint* out = chunk.Strips->empty() ? nullptr : &(*chunk.Strips)[0] + slot.Index;
        for (uint32_t i = 0; i < Segments(slot); ++i) {
            out[2 * i] = visible ? slot.First + i : slot.First;
            out[2 * i + 1] = visible ? slot.First + i + 1 : slot.First;
        }
    }
    if (chunk.Markers) {
        for (uint32_t i = 0; i < slot.Count; ++i)
            (*chunk.Markers)[slot.First + i] = visible ? slot.First + i : RestartIndex;
    }
}

void TOsgSceneBuilder::ReleaseRange(TSlot& slot)
{
    const uint32_t chunkIndex = slot.Chunk;
    TChunk& chunk = m_Chunks[chunkIndex];
    WriteIndices(slot, false);
    chunk.DeadVertices += slot.Count;
    --chunk.LiveMembers;
    MarkDirty(chunk, false);
    if (chunk.LiveMembers == 0) {
        DropChunk(chunkIndex);
    } else if (chunk.DeadVertices * 2 > chunk.Vertices->size()) {
        // Compact once the holes pass half the chunk (the caller marked
        // slot dead, so its range is left behind).
        Compact(chunkIndex);
    }
}

void TOsgSceneBuilder::Compact(uint32_t chunkIndex)
{
    TChunk& chunk = m_Chunks[chunkIndex];
    // The live members: an object moved within the chunk by an update is
    // listed again, and its range is the one of its last listing.
    std::vector<TSceneNodeId> live;
    live.reserve(chunk.LiveMembers);
    for (auto it = chunk.Members.rbegin(); it != chunk.Members.rend(); ++it) {
        TSlot* slot = Slot(*it);
        if (!slot || slot->Kind != TSlotKind::Lines || slot->Chunk != chunkIndex || slot->Seen)
            continue;
        slot->Seen = true;
        live.push_back(*it);
    }
    std::reverse(live.begin(), live.end());
    std::vector<osg::Vec3>& vertices = chunk.Vertices->asVector();
    uint32_t vertexEnd = 0;
    uint32_t indexEnd = 0;
    chunk.Segments = 0;
    for (size_t i = 0; i < live.size(); ++i) {
        TSlot& slot = *Slot(live[i]);
        slot.Seen = false;
        // Ranges only move towards the front, so copying in place is safe.
        std::copy(vertices.begin() + slot.First, vertices.begin() + slot.First + slot.Count,
                  vertices.begin() + vertexEnd);
        slot.First = vertexEnd;
        slot.Index = chunk.Runs ? static_cast<uint32_t>(i) : indexEnd;
        vertexEnd += slot.Count;
        indexEnd += 2 * Segments(slot);
        chunk.Segments += Segments(slot);
    }
    vertices.resize(vertexEnd);
    if (chunk.Runs) {
        chunk.Runs->getFirsts().resize(live.size());
        chunk.Runs->getCounts().resize(live.size());
    } else {
        chunk.Strips->resize(indexEnd);
    }
    if (chunk.Markers)
        chunk.Markers->resize(vertexEnd);
    for (const TSceneNodeId id : live) {
        const TSlot& slot = *Slot(id);
        WriteIndices(slot, !slot.Hidden);
    }
    chunk.Members = std::move(live);
    chunk.DeadVertices = 0;
    if (!chunk.Open) {
        vertices.shrink_to_fit();
        if (chunk.Runs) {
            chunk.Runs->getFirsts().shrink_to_fit();
            chunk.Runs->getCounts().shrink_to_fit();
        } else {
            chunk.Strips->asVector().shrink_to_fit();
        }
        if (chunk.Markers)
            chunk.Markers->asVector().shrink_to_fit();
    }
    MarkDirty(chunk, true);
}

void TOsgSceneBuilder::DropChunk(uint32_t chunkIndex)
{
    TChunk& chunk = m_Chunks[chunkIndex];
    TBatch& batch = m_Batches[chunk.Batch];
    batch.Group->removeChild(chunk.Geometry.get());
    auto open = batch.Open.find(chunk.Key);
    if (open != batch.Open.end() && open->second == chunkIndex)
        batch.Open.erase(open);
    chunk = TChunk{};
    m_FreeChunks.push_back(chunkIndex);
}

void TOsgSceneBuilder::ClearBatch(uint8_t batch)
{
    for (uint32_t i = 0; i < m_Chunks.size(); ++i) {
        TChunk& chunk = m_Chunks[i];
        if (!chunk.Geometry || chunk.Batch != batch)
            continue;
        for (const TSceneNodeId id : chunk.Members) {
            TSlot* slot = Slot(id);
            if (slot && slot->Kind == TSlotKind::Lines && slot->Chunk == i)
                KillSlot(*slot);
        }
        DropChunk(i);
    }
    m_Batches[batch].Open.clear();
    m_Batches[batch].Removed.clear();
}

// --- Changing -----------------------------------------------------------------------------

void TOsgSceneBuilder::UpdateLines(TSceneNodeId node, const TSceneLines& lines)
{
    if (TSlot* slot = Slot(node); slot && slot->Kind == TSlotKind::Lines) {
        const TKey key = KeyOf(lines);
        TChunk& chunk = m_Chunks[slot->Chunk];
        if (chunk.Key == key && slot->Count == lines.Nodes.size()) {
            // The same place: only the vertices change.
            osg::Vec3Array& vertices = *chunk.Vertices;
            for (uint32_t i = 0; i < slot->Count; ++i) {
                const TVector3D& n = lines.Nodes[i];
                vertices[slot->First + i] =
                    osg::Vec3(static_cast<float>(n.X), static_cast<float>(n.Y), static_cast<float>(n.Z));
            }
            chunk.Vertices->dirty();
            chunk.Geometry->dirtyBound();
            return;
        }
        const uint8_t batch = chunk.Batch;
        // Released as a dead range (a compaction leaves it behind), then
        // placed anew at the end of its key's open chunk.
        slot->Kind = TSlotKind::Dead;
        ReleaseRange(*slot);
        slot->Kind = TSlotKind::Lines;
        const uint32_t segments = lines.Nodes.empty() ? 0 : static_cast<uint32_t>(lines.Nodes.size() - 1);
        Place(*slot, ChunkFor(batch, key, segments), lines, node);
        return;
    }
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

void TOsgSceneBuilder::AppendLines(TSceneNodeId node, const std::vector<TVector3D>& nodes)
{
    if (nodes.empty())
        return;
    if (TSlot* slot = Slot(node); slot && slot->Kind == TSlotKind::Lines) {
        const TChunk& chunk = m_Chunks[slot->Chunk];
        TSceneLines lines;
        lines.Color = {chunk.Key[0], chunk.Key[1], chunk.Key[2], chunk.Key[3]};
        lines.LineWidth = chunk.Key[4];
        lines.NodesVisible = chunk.Key[5] != 0.0f;
        for (uint32_t i = 0; i < slot->Count; ++i) {
            const osg::Vec3& v = (*chunk.Vertices)[slot->First + i];
            lines.Nodes.push_back({v.x(), v.y(), v.z()});
        }
        lines.Nodes.insert(lines.Nodes.end(), nodes.begin(), nodes.end());
        UpdateLines(node, lines);
        return;
    }
    auto it = m_Entries.find(node);
    if (it == m_Entries.end() || it->second.Kind != TKind::Lines)
        return;
    osg::Geometry& geometry = *it->second.Node->asGeometry();
    auto* vertices = dynamic_cast<osg::Vec3Array*>(geometry.getVertexArray());
    if (!vertices)
        return;
    for (const TVector3D& n : nodes)
        vertices->push_back(osg::Vec3(static_cast<float>(n.X), static_cast<float>(n.Y), static_cast<float>(n.Z)));
    vertices->dirty();
    for (unsigned i = 0; i < geometry.getNumPrimitiveSets(); ++i)
        if (auto* arrays = dynamic_cast<osg::DrawArrays*>(geometry.getPrimitiveSet(i))) {
            arrays->setCount(static_cast<GLsizei>(vertices->size()));
            arrays->dirty();
        }
    geometry.dirtyBound();
}

void TOsgSceneBuilder::MoveMesh(TSceneNodeId node, const TVector3D& position)
{
    auto it = m_Entries.find(node);
    if (it == m_Entries.end() || it->second.Kind != TKind::Mesh)
        return;
    if (auto* transform = dynamic_cast<osg::MatrixTransform*>(it->second.Node.get())) {
        osg::Matrix m = transform->getMatrix();
        m.setTrans(position.X, position.Y, position.Z);
        transform->setMatrix(m);
    }
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
    EachPart(node, [&](TSceneNodeId part) {
        if (TSlot* slot = Slot(part); slot && slot->Kind == TSlotKind::Lines) {
            if (slot->Hidden == !visible)
                return;
            slot->Hidden = !visible;
            WriteIndices(*slot, visible);
            MarkDirty(m_Chunks[slot->Chunk], false);
            return;
        }
        auto it = m_Entries.find(part);
        if (it != m_Entries.end())
            it->second.Node->setNodeMask(visible ? ~0u : 0u);
    });
}

bool TOsgSceneBuilder::IsVisible(TSceneNodeId id) const
{
    if (IsObjectId(id))
        id &= ~ObjectBit;
    if (const TSlot* slot = Slot(id); slot && slot->Kind == TSlotKind::Lines)
        return !slot->Hidden;
    auto it = m_Entries.find(id);
    return it != m_Entries.end() && it->second.Node->getNodeMask() != 0u;
}

// --- Removing -----------------------------------------------------------------------------

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
    if (TSlot* slot = Slot(id))
        KillSlot(*slot);
    // Last: the entry may hold the only reference to the node.
    m_Entries.erase(id);
}

void TOsgSceneBuilder::RemoveNode(TSceneNodeId node)
{
    EachPart(node, [&](TSceneNodeId part) {
        if (TSlot* slot = Slot(part); slot && slot->Kind == TSlotKind::Lines) {
            KillSlot(*slot);
            ReleaseRange(*slot);
            return;
        }
        auto it = m_Entries.find(part);
        if (it == m_Entries.end() || it->second.Fixed)
            return;
        osg::ref_ptr<osg::Node> keep = it->second.Node;
        // A copy: removing the child changes the parent list.
        const osg::Node::ParentList parents = keep->getParents();
        for (osg::Group* parent : parents)
            Detach(*parent, *keep);
        Forget(keep.get());
    });
    TrimTable();
}

void TOsgSceneBuilder::Detach(osg::Group& parent, osg::Node& node)
{
    const auto batch = std::find_if(m_Batches.begin(), m_Batches.end(),
                                    [&](const TBatch& b) { return b.Group == &parent; });
    if (batch == m_Batches.end()) {
        parent.removeChild(&node);
        return;
    }
    node.setNodeMask(0u);
    batch->Removed.insert(&node);
    if (batch->Removed.size() * 2 > parent.getNumChildren())
        DropRemovedChildren(*batch);
}

void TOsgSceneBuilder::DropRemovedChildren(TBatch& batch)
{
    osg::Group& group = *batch.Group;
    std::vector<osg::ref_ptr<osg::Node>> kept;
    kept.reserve(group.getNumChildren() - batch.Removed.size());
    for (unsigned i = 0; i < group.getNumChildren(); ++i) {
        if (!batch.Removed.contains(group.getChild(i)))
            kept.emplace_back(group.getChild(i));
    }
    batch.Removed.clear();
    group.removeChildren(0, group.getNumChildren());
    for (const osg::ref_ptr<osg::Node>& node : kept)
        group.addChild(node);
}

void TOsgSceneBuilder::ClearGroup(TSceneNodeId group)
{
    osg::ref_ptr<osg::Group> target = AsGroup(group);
    if (!target)
        return;
    if (const std::optional<uint8_t> batch = BatchOf(group))
        ClearBatch(*batch);
    for (unsigned i = 0; i < target->getNumChildren(); ++i)
        Forget(target->getChild(i));
    target->removeChildren(0, target->getNumChildren());
    TrimTable();
}

// --- Looking ------------------------------------------------------------------------------

osg::Node* TOsgSceneBuilder::Node(TSceneNodeId id) const
{
    if (const TSlot* slot = Slot(id); slot && slot->Kind == TSlotKind::Lines)
        return m_Chunks[slot->Chunk].Geometry.get();
    auto it = m_Entries.find(id);
    return it == m_Entries.end() ? nullptr : it->second.Node.get();
}

std::optional<TOsgSceneBuilder::TKind> TOsgSceneBuilder::Kind(TSceneNodeId id) const
{
    if (const TSlot* slot = Slot(id); slot && slot->Kind == TSlotKind::Lines)
        return TKind::Lines;
    auto it = m_Entries.find(id);
    if (it == m_Entries.end())
        return std::nullopt;
    return it->second.Kind;
}

std::optional<TOsgSceneBuilder::TLinesRange> TOsgSceneBuilder::LinesRange(TSceneNodeId id) const
{
    const TSlot* slot = Slot(id);
    if (!slot || slot->Kind != TSlotKind::Lines)
        return std::nullopt;
    return TLinesRange{m_Chunks[slot->Chunk].Geometry.get(), slot->First, slot->Count, slot->Index};
}

std::vector<const osg::Geometry*> TOsgSceneBuilder::Chunks(TSceneGroup group) const
{
    std::vector<const osg::Geometry*> chunks;
    const std::optional<uint8_t> batch = BatchOf(Group(group));
    if (!batch)
        return chunks;
    const osg::Group* node = m_Batches[*batch].Group;
    for (unsigned i = 0; i < node->getNumChildren(); ++i) {
        const osg::Geometry* geometry = node->getChild(i)->asGeometry();
        for (const TChunk& chunk : m_Chunks) {
            if (geometry && chunk.Geometry.get() == geometry)
                chunks.push_back(geometry);
        }
    }
    return chunks;
}

size_t TOsgSceneBuilder::ObjectsIn(TSceneNodeId group) const
{
    const osg::Group* node = AsGroup(group);
    if (!node)
        return 0;
    size_t count = node->getNumChildren();
    if (const std::optional<uint8_t> batch = BatchOf(group)) {
        count -= m_Batches[*batch].Removed.size();
        for (const TChunk& chunk : m_Chunks) {
            if (chunk.Geometry && chunk.Batch == *batch)
                count = count - 1 + chunk.LiveMembers; // the chunk's node is no object
        }
    }
    return count;
}

size_t TOsgSceneBuilder::BatchBytes() const
{
    size_t bytes = m_Table.capacity() * sizeof(TSlot) + m_Chunks.capacity() * sizeof(TChunk);
    for (const TChunk& chunk : m_Chunks) {
        if (!chunk.Geometry)
            continue;
        bytes += chunk.Vertices->capacity() * sizeof(osg::Vec3) + chunk.Members.capacity() * sizeof(TSceneNodeId);
        if (chunk.Runs)
            bytes += chunk.Runs->getFirsts().capacity() * sizeof(GLint) +
                     chunk.Runs->getCounts().capacity() * sizeof(GLsizei);
        else
            bytes += chunk.Strips->capacity() * sizeof(GLuint);
        if (chunk.Markers)
            bytes += chunk.Markers->capacity() * sizeof(GLuint);
    }
    return bytes;
}
