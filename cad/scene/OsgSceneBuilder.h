#pragma once
// The scene builder of the view on OpenSceneGraph: every scene object that
// the drawing model builds through core/model/ViewInterfaces.h becomes part
// of the OSG graph below one of the view's groups, known to the model by its
// id.
//
// Lines objects added straight into the Entity and Selection groups are
// batched: those of one colour, width and node-marker setting, and of two
// nodes or of more, share one geometry, a chunk of at most ChunkSegments
// segments. A chunk of objects of more nodes (arcs, circles, polylines) is
// drawn by one multi-draw of GL_LINE_STRIP runs, a run (first vertex, count)
// per object, a hidden object's run without vertices: no index array, which
// would take twice the memory of the vertices and be copied to the renderer
// as well. A chunk of two-node objects (single segments) is drawn as
// indexed GL_LINES (two indices a segment; a hidden segment runs from a
// vertex to itself and draws no pixel): one draw, where a run for each would
// cost the software renderer a draw each. An id names a range of a chunk
// through a flat table indexed by id, and hiding, showing, updating or
// removing the object rewrites its range and run or indices only. Removed ranges stay as holes until they pass half of the chunk's
// vertices; then the chunk is compacted (its live ranges moved together, in
// order), and a chunk left empty goes. Every other object (points, polygons,
// planes, meshes, solids, created groups and everything below them, and all
// objects of the other groups) keeps a node of its own. A node of its own
// removed from the Entity or Selection group is switched off where it is
// and left among the group's children until the removed ones pass half of
// them; then they go together, the others keeping their order (so removing
// one never searches or shifts the group's children).
//
// Promises:
// - Ids are handed out once and never reused; an id whose object is gone
//   (it was removed, or its group was cleared) is ignored by every
//   operation, and so is an id of the wrong kind (UpdateLines on a mesh).
// - Adding below an id that is not a group adds nothing and returns
//   NoSceneNode.
// - Draw order: without batching, children are drawn in the order added.
//   Chunks are children of their group in the order they were started;
//   within a chunk, ranges are drawn in the order added. Objects of one
//   colour and width look the same whichever is drawn last (a segment and
//   an arc of one pen are in two chunks); where objects of other colours or
//   widths overlap, the one whose chunk started later is on top,
//   and a node of its own (a point) is drawn after every chunk started
//   before it.
// - BeginObject/EndObject make one id of everything added between them
//   (the ids handed out meanwhile are consecutive); RemoveNode and
//   SetNodeVisible on it act on each part, IsVisible tells of the first.
// - The builder holds a reference to every node it made until the node is
//   removed; the view's fixed groups are registered with RegisterGroup and
//   are never removed by RemoveNode (ClearGroup empties them).
// Main thread only, like the rest of the view.

#include "cad/scene/OsgGeometry.h"
#include "core/model/ViewInterfaces.h"

#include <osg/Array>
#include <osg/Geometry>
#include <osg/Group>
#include <osg/PrimitiveSet>
#include <osg/ref_ptr>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TOsgSceneBuilder final : public TSceneBuilder {
public:
    enum class TKind { Group, Lines, Points, Polygon, Plane, Mesh, Solid };

    // Segments a chunk takes before the next one starts (a larger lines
    // object gets a chunk of its own).
    static constexpr uint32_t ChunkSegments = 65536;
    // The index of a hidden node marker.
    static constexpr uint32_t RestartIndex = 0xFFFFFFFFu;

    TOsgSceneBuilder();
    TOsgSceneBuilder(const TOsgSceneBuilder&) = delete;
    TOsgSceneBuilder& operator=(const TOsgSceneBuilder&) = delete;

    // Makes group one of the fixed groups that Group() names, and returns
    // its id. The view calls it once per group while it builds its scene.
    TSceneNodeId RegisterGroup(TSceneGroup which, osg::Group* group);

    TSceneNodeId Group(TSceneGroup group) const override;
    TSceneNodeId CreateGroup(TSceneNodeId parent, const std::string& name) override;
    TSceneNodeId CreateOverlayGroup(TSceneNodeId parent, const std::string& name) override;

    TSceneNodeId AddLines(TSceneNodeId group, const TSceneLines& lines) override;
    TSceneNodeId AddPoints(TSceneNodeId group, const TScenePoints& points) override;
    TSceneNodeId AddPolygon(TSceneNodeId group, const TScenePolygon& polygon) override;
    TSceneNodeId AddPlane(TSceneNodeId group, const TScenePlane& plane) override;
    TSceneNodeId AddMesh(TSceneNodeId group, const TSceneMesh& mesh) override;
    TSceneNodeId AddSolid(TSceneNodeId group, const TSceneSolid& solid) override;

    void UpdateLines(TSceneNodeId node, const TSceneLines& lines) override;
    void UpdateSolid(TSceneNodeId node, const TSceneSolid& solid) override;
    void UpdatePlane(TSceneNodeId node, const TScenePlane& plane) override;
    // Grows a lines object of a plain group in place; a batched one is
    // placed anew with its old nodes and the new ones.
    void AppendLines(TSceneNodeId node, const std::vector<TVector3D>& nodes) override;
    void MoveMesh(TSceneNodeId node, const TVector3D& position) override;

    void SetNodeVisible(TSceneNodeId node, bool visible) override;
    void RemoveNode(TSceneNodeId node) override;
    void ClearGroup(TSceneNodeId group) override;

    void BeginObject() override;
    TSceneNodeId EndObject() override;

    // Point size of a points object (the simulation's tool marker).
    void SetPointSize(TSceneNodeId node, float size);

    // The node of an id, or null; for a batched lines object its chunk's
    // geometry. For the view and for tests.
    osg::Node* Node(TSceneNodeId id) const;
    // The kind of a live id.
    std::optional<TKind> Kind(TSceneNodeId id) const;
    bool IsVisible(TSceneNodeId id) const;
    // Number of live ids, fixed groups included (an object id made by
    // EndObject is not counted apart from its parts).
    size_t Count() const { return m_Entries.size() + m_LiveLines; }

    // Where a batched lines object lies: its chunk, its first vertex and
    // node count, and its run in the chunk's multi-draw or its first index
    // (two a segment).
    struct TLinesRange {
        const osg::Geometry* Chunk = nullptr;
        uint32_t First = 0;
        uint32_t Count = 0;
        uint32_t Index = 0;
    };
    std::optional<TLinesRange> LinesRange(TSceneNodeId id) const;
    // The scene objects directly in a group: its batched lines objects and
    // its children of their own (0 for an id that is no group).
    size_t ObjectsIn(TSceneNodeId group) const;
    // The chunks of a batched group, in drawing order.
    std::vector<const osg::Geometry*> Chunks(TSceneGroup group) const;
    // Bytes held by the batches' own arrays (vertices, runs or indices,
    // markers, the id table, the chunks' member lists), capacity included.
    size_t BatchBytes() const;

private:
    struct TEntry {
        osg::ref_ptr<osg::Node> Node;
        TKind Kind = TKind::Group;
        bool Fixed = false;
    };

    // One id of the flat table.
    enum class TSlotKind : uint8_t { Dead, Lines, Node };
    struct TSlot {
        uint32_t Chunk = 0;
        uint32_t First = 0;
        uint32_t Count = 0;
        uint32_t Index = 0;
        TSlotKind Kind = TSlotKind::Dead;
        bool Hidden = false;
        bool Continues = false; // the next id belongs to the same object
        bool Seen = false;      // taken by the compaction running
    };

    // Colour, width, node markers, and more than two nodes (1) or not (0):
    // what the lines of a chunk share.
    using TKey = std::array<float, 7>;
    struct TChunk {
        osg::ref_ptr<osg::Geometry> Geometry;
        osg::ref_ptr<osg::Vec3Array> Vertices;
        osg::ref_ptr<osg::MultiDrawArrays> Runs;     // GL_LINE_STRIP, a run an object placed; or
        osg::ref_ptr<osg::DrawElementsUInt> Strips;  // GL_LINES, two indices a segment
        osg::ref_ptr<osg::DrawElementsUInt> Markers; // GL_POINTS, one index a vertex; null without markers
        std::vector<TSceneNodeId> Members;            // in drawing order; dead ones until compaction
        TKey Key{};
        uint32_t Segments = 0;
        uint32_t DeadVertices = 0;
        uint32_t LiveMembers = 0;
        uint8_t Batch = 0;
        bool Open = false;
    };
    struct TBatch {
        osg::Group* Group = nullptr;
        TSceneNodeId Id = NoSceneNode;
        std::map<TKey, uint32_t> Open; // the chunk that takes the next lines of a key
        std::unordered_set<const osg::Node*> Removed; // children switched off, still in Group
    };

    static TKey KeyOf(const TSceneLines& lines);
    TSceneNodeId NewId();
    TSceneNodeId Attach(TSceneNodeId parent, osg::ref_ptr<osg::Node> node, TKind kind);
    osg::Group* AsGroup(TSceneNodeId id) const;
    // Forgets the ids of node and of everything below it.
    void Forget(osg::Node* node);

    // The batch that lines added into group go to, or none.
    std::optional<uint8_t> BatchOf(TSceneNodeId group) const;
    TSlot* Slot(TSceneNodeId id);
    const TSlot* Slot(TSceneNodeId id) const;
    TSlot& NewSlot(TSceneNodeId id);
    void KillSlot(TSlot& slot);
    void TrimTable();
    // The ids of an object made by EndObject, or just id.
    template <class F> void EachPart(TSceneNodeId id, F&& f);

    uint32_t ChunkFor(uint8_t batch, const TKey& key, uint32_t segments);
    void Place(TSlot& slot, uint32_t chunk, const TSceneLines& lines, TSceneNodeId id);
    void WriteIndices(const TSlot& slot, bool visible);
    // Turns a range into a hole; slot must no longer count as live lines.
    void ReleaseRange(TSlot& slot);
    void Compact(uint32_t chunk);
    void DropChunk(uint32_t chunk);
    void ClearBatch(uint8_t batch);
    // Takes node out of the drawing of parent; a batched group keeps it as
    // a removed child (see the header comment).
    void Detach(osg::Group& parent, osg::Node& node);
    void DropRemovedChildren(TBatch& batch);
    void MarkDirty(TChunk& chunk, bool vertices);
    osg::StateSet* ChunkState(float width, bool markers);
    static uint32_t Segments(const TSlot& slot);

    TOsgGeometryFactory m_Factory;
    std::unordered_map<TSceneNodeId, TEntry> m_Entries;
    std::unordered_map<const osg::Node*, TSceneNodeId> m_Ids;
    std::map<TSceneGroup, TSceneNodeId> m_Groups;
    TSceneNodeId m_NextId = 1;

    std::vector<TBatch> m_Batches;
    std::vector<TChunk> m_Chunks;
    std::vector<uint32_t> m_FreeChunks;
    std::map<std::array<float, 2>, osg::ref_ptr<osg::StateSet>> m_ChunkStates;
    osg::ref_ptr<osg::Drawable::ComputeBoundingBoxCallback> m_ChunkBound;
    // Slots of the ids m_TableBase, m_TableBase + 1, ...
    std::vector<TSlot> m_Table;
    TSceneNodeId m_TableBase = 1;
    // The table's first m_DeadFront slots are dead; the first m_DeadFrontEnd
    // of them may be dropped (TrimTable).
    size_t m_DeadFront = 0;
    size_t m_DeadFrontEnd = 0;
    size_t m_LiveSlots = 0;
    size_t m_LiveLines = 0;
    int m_ObjectDepth = 0;
    TSceneNodeId m_ObjectFirst = NoSceneNode;
};
