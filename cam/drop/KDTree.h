#pragma once
// A kd-tree over the XY boxes of STL triangles. It answers, for one cutter
// location, the triangles whose XY extent meets the cutter's square
// footprint; Z is never used to prune (the drop filters triangles that lie
// wholly below the location). The tree references the triangles: they must
// outlive it and must not move while it is built on them.

#include <cstdint>
#include <memory>
#include <vector>

class TTri;
class TMillCutter;
class TCLPoint;

// The four box extents the tree may split on, as TBBox::Value indexes them.
inline constexpr int kKDMinX = 0;
inline constexpr int kKDMaxX = 1;
inline constexpr int kKDMinY = 2;
inline constexpr int kKDMaxY = 3;

// One node. An internal node splits its triangles by one box extent at
// CutValue: those with a greater value go to the high child. A leaf keeps its
// triangles.
class TKDNode {
public:
    int32_t Depth = 0;
    // Serial number from a counter that runs for the whole process; only for
    // telling nodes apart when debugging.
    int32_t ID = 0;
    int32_t Dimension = 0;
    float CutValue = 0.0f;
    TKDNode* Parent = nullptr;
    std::unique_ptr<TKDNode> HiChild;
    std::unique_ptr<TKDNode> LoChild;
    std::vector<const TTri*> Triangles;
    bool Leaf = false;
    // The XY box of every triangle below the node (min x, max x, min y,
    // max y): a query that misses it skips the whole sub-tree, whichever
    // side of the split it lies on.
    float Bounds[4] = {0, 0, 0, 0};
};

// The spread of one box extent over a triangle list: max - min, and min.
struct TSpread {
    int32_t Dimension = 0;
    float Spread = 0.0f;
    float Start = 0.0f;
};

// An XY query box: the cutter's square footprint.
struct TKDQuery {
    float MinX = 0.0f;
    float MaxX = 0.0f;
    float MinY = 0.0f;
    float MaxY = 0.0f;
};

class TKDTree {
public:
    TKDTree() = default;
    ~TKDTree();
    TKDTree(const TKDTree&) = delete;
    TKDTree& operator=(const TKDTree&) = delete;

    // The split dimensions := min x, max x, min y, max y.
    void SetXYDimensions();
    // Leaves hold at most n triangles unless their boxes cannot be told apart
    // (values below 1 act as 1).
    void SetBucketSize(int32_t n) { m_BucketSize = n; }
    // Threads that may build the tree (the top levels' halves are built side
    // by side); the tree is the same whatever the count. Values below 1 act
    // as 1.
    void SetBuildThreads(unsigned n) { m_BuildThreads = n; }
    // Replaces the tree by one over the triangles. An empty list gives an
    // empty tree that finds nothing.
    void Build(const std::vector<TTri>& triangles);
    void Build(const std::vector<const TTri*>& triangles);

    // Every triangle whose box meets x +- R, y +- R of the location in X and
    // Y (touching counts), R the cutter's radius; each at most once, in the
    // same order for the same tree and query.
    std::vector<const TTri*> TrianglesNear(const TMillCutter& cutter, const TCLPoint& location) const;
    std::vector<const TTri*> Search(const TKDQuery& query) const;
    // Search, counting the nodes it visits into visited.
    std::vector<const TTri*> Search(const TKDQuery& query, int64_t& visited) const;

    const TKDNode* Root() const { return m_Root.get(); }
    int32_t BucketSize() const { return m_BucketSize; }

    // The largest spread over the tree's dimensions; nullopt-like Spread -1
    // for an empty list. Exposed for the tests of the split rule.
    TSpread LargestSpread(const std::vector<const TTri*>& triangles) const;

private:
    std::unique_ptr<TKDNode> BuildNode(std::vector<const TTri*> triangles, int32_t depth, TKDNode* parent);
    void SearchNode(const TKDNode& node, const TKDQuery& query, std::vector<const TTri*>& result,
                    int64_t& visited) const;

    int32_t m_BucketSize = 1;
    unsigned m_BuildThreads = 1;
    std::vector<int32_t> m_Dimensions{kKDMinX, kKDMaxX, kKDMinY, kKDMaxY};
    std::unique_ptr<TKDNode> m_Root;
};
