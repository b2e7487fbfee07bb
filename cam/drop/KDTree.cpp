#include "cam/drop/KDTree.h"

#include "cam/drop/MillCutter.h"
#include "core/geometry/Tolerance.h"
#include "core/geometry/Tri.h"

#include <algorithm>
#include <atomic>
#include <future>
#include <limits>

namespace {

std::atomic<int32_t> g_NodeCounter{0};

// A node with fewer triangles builds both halves itself: a thread costs
// more than such a half.
constexpr size_t kMinParallelTriangles = 8192;

bool BoxMeetsQuery(const TTri& t, const TKDQuery& q)
{
    return !(q.MinX > t.Box.Max[0] || q.MaxX < t.Box.Min[0] || q.MinY > t.Box.Max[1] || q.MaxY < t.Box.Min[1]);
}

} // namespace

TKDTree::~TKDTree() = default;

void TKDTree::SetXYDimensions()
{
    m_Dimensions = {kKDMinX, kKDMaxX, kKDMinY, kKDMaxY};
}

void TKDTree::Build(const std::vector<TTri>& triangles)
{
    std::vector<const TTri*> list;
    list.reserve(triangles.size());
    for (const TTri& t : triangles)
        list.push_back(&t);
    Build(list);
}

void TKDTree::Build(const std::vector<const TTri*>& triangles)
{
    m_Root.reset();
    if (triangles.empty())
        return;
    m_Root = BuildNode(triangles, 0, nullptr);
}

TSpread TKDTree::LargestSpread(const std::vector<const TTri*>& triangles) const
{
    TSpread best;
    best.Spread = -1.0f;
    if (triangles.empty())
        return best;
    for (int32_t dim : m_Dimensions) {
        float lo = triangles.front()->Box.Value(dim);
        float hi = lo;
        for (const TTri* t : triangles) {
            const float v = t->Box.Value(dim);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        // Strictly greater: the first of equal spreads wins, which keeps the
        // tree the same from run to run.
        if (hi - lo > best.Spread) {
            best.Dimension = dim;
            best.Spread = hi - lo;
            best.Start = lo;
        }
    }
    return best;
}

std::unique_ptr<TKDNode> TKDTree::BuildNode(std::vector<const TTri*> triangles, int32_t depth, TKDNode* parent)
{
    auto node = std::make_unique<TKDNode>();
    node->ID = g_NodeCounter.fetch_add(1, std::memory_order_relaxed);
    node->Depth = depth;
    node->Parent = parent;
    const TSpread s = LargestSpread(triangles);
    node->Dimension = s.Dimension;
    node->CutValue = s.Spread / 2.0f + s.Start;
    float* b = node->Bounds;
    b[0] = b[2] = std::numeric_limits<float>::max();
    b[1] = b[3] = std::numeric_limits<float>::lowest();
    for (const TTri* t : triangles) {
        b[0] = std::min(b[0], t->Box.Min[0]), b[1] = std::max(b[1], t->Box.Max[0]);
        b[2] = std::min(b[2], t->Box.Min[1]), b[3] = std::max(b[3], t->Box.Max[1]);
    }

    const auto makeLeaf = [&node](std::vector<const TTri*>&& list) {
        node->Leaf = true;
        node->Triangles = std::move(list);
        return std::move(node);
    };
    if (static_cast<int64_t>(triangles.size()) <= std::max<int32_t>(m_BucketSize, 1) ||
        s.Spread <= SystemTol())
        return makeLeaf(std::move(triangles));

    std::vector<const TTri*> hi;
    std::vector<const TTri*> lo;
    for (const TTri* t : triangles) {
        if (node->CutValue < t->Box.Value(s.Dimension))
            hi.push_back(t);
        else
            lo.push_back(t);
    }
    // The middle of a range one float step wide can round onto its upper end,
    // which would put every triangle on one side and recurse for ever; such
    // triangles cannot be told apart at this precision, so they share a leaf.
    if (hi.empty() || lo.empty())
        return makeLeaf(std::move(triangles));
    const size_t count = triangles.size();
    triangles.clear();
    triangles.shrink_to_fit();
    // The high half on a thread of its own while the top levels split the
    // work in as many parts as there are build threads; each half is built
    // exactly as it would be alone.
    if (depth < 16 && (1u << depth) < m_BuildThreads && count >= kMinParallelTriangles) {
        auto high = std::async(std::launch::async, [this, &hi, depth, &node] {
            return BuildNode(std::move(hi), depth + 1, node.get());
        });
        std::unique_ptr<TKDNode> low;
        try {
            low = BuildNode(std::move(lo), depth + 1, node.get());
        } catch (...) {
            high.wait();
            throw;
        }
        node->HiChild = high.get();
        node->LoChild = std::move(low);
        return node;
    }
    node->HiChild = BuildNode(std::move(hi), depth + 1, node.get());
    node->LoChild = BuildNode(std::move(lo), depth + 1, node.get());
    return node;
}

std::vector<const TTri*> TKDTree::TrianglesNear(const TMillCutter& cutter, const TCLPoint& location) const
{
    const double r = cutter.Radius();
    TKDQuery q;
    q.MinX = static_cast<float>(location.X - r);
    q.MaxX = static_cast<float>(location.X + r);
    q.MinY = static_cast<float>(location.Y - r);
    q.MaxY = static_cast<float>(location.Y + r);
    return Search(q);
}

std::vector<const TTri*> TKDTree::Search(const TKDQuery& query) const
{
    int64_t visited = 0;
    return Search(query, visited);
}

std::vector<const TTri*> TKDTree::Search(const TKDQuery& query, int64_t& visited) const
{
    std::vector<const TTri*> result;
    if (m_Root)
        SearchNode(*m_Root, query, result, visited);
    return result;
}

void TKDTree::SearchNode(const TKDNode& node, const TKDQuery& query, std::vector<const TTri*>& result,
                         int64_t& visited) const
{
    ++visited;
    const float* b = node.Bounds;
    if (query.MinX > b[1] || query.MaxX < b[0] || query.MinY > b[3] || query.MaxY < b[2])
        return;
    if (node.Leaf) {
        for (const TTri* t : node.Triangles)
            if (BoxMeetsQuery(*t, query))
                result.push_back(t);
        return;
    }
    bool searchHigh = true;
    bool searchLow = true;
    switch (node.Dimension) {
    case kKDMinX:
    case kKDMinY: {
        // Triangles in the high child start after the cut: a query that ends
        // before it cannot meet them.
        const float v = node.Dimension == kKDMinX ? query.MaxX : query.MaxY;
        if (v < node.CutValue)
            searchHigh = false;
        break;
    }
    default: {
        // Triangles in the low child end at or before the cut: a query that
        // starts after it cannot meet them.
        const float v = node.Dimension == kKDMaxX ? query.MinX : query.MinY;
        if (v > node.CutValue)
            searchLow = false;
        break;
    }
    }
    if (searchHigh && node.HiChild)
        SearchNode(*node.HiChild, query, result, visited);
    if (searchLow && node.LoChild)
        SearchNode(*node.LoChild, query, result, visited);
}
