#include "cam/drop/KDTree.h"

#include "tests/cam/DropTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

using namespace kbtest;

namespace {

std::set<const TTri*> BruteForce(const std::vector<TTri>& tris, const TKDQuery& q)
{
    std::set<const TTri*> found;
    for (const TTri& t : tris)
        if (q.MinX <= t.Box.Max[0] && q.MaxX >= t.Box.Min[0] && q.MinY <= t.Box.Max[1] && q.MaxY >= t.Box.Min[1])
            found.insert(&t);
    return found;
}

} // namespace

TEST(KDTreeTest, FindsWhatBruteForceFindsOnARandomMesh)
{
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> pos(-50.0f, 50.0f), size(0.0f, 6.0f);
    std::vector<TTri> tris;
    for (int i = 0; i < 600; ++i) {
        const float x = pos(rng), y = pos(rng);
        tris.push_back(MakeTri(x, y, pos(rng), x + size(rng), y + size(rng) - 3, pos(rng), x - size(rng),
                               y + size(rng), pos(rng)));
    }
    // Identical copies go to one leaf whatever the bucket size.
    tris.push_back(tris[5]);
    tris.push_back(tris[5]);
    for (int bucket : {1, 4}) {
        TKDTree tree;
        tree.SetBucketSize(bucket);
        tree.Build(tris);
        for (int i = 0; i < 300; ++i) {
            const float x = pos(rng), y = pos(rng), r = size(rng);
            const TKDQuery q{x - r, x + r, y - r, y + r};
            const std::vector<const TTri*> got = tree.Search(q);
            const std::set<const TTri*> unique(got.begin(), got.end());
            EXPECT_EQ(unique.size(), got.size()) << "duplicates";
            EXPECT_EQ(unique, BruteForce(tris, q)) << "bucket " << bucket << " query " << i;
        }
        // Touching counts: a query ending exactly at a triangle's min x.
        const TTri& t = tris[17];
        const TKDQuery touch{t.Box.Min[0] - 2, t.Box.Min[0], t.Box.Min[1], t.Box.Max[1]};
        const auto got = tree.Search(touch);
        EXPECT_NE(std::find(got.begin(), got.end(), &t), got.end());
    }
}

TEST(KDTreeTest, SplitsAndLeavesFollowTheBucketSize)
{
    std::vector<TTri> one{MakeTri(0, 0, 0, 1, 0, 0, 0, 1, 0)};
    TKDTree tree;
    tree.Build(one);
    ASSERT_NE(tree.Root(), nullptr);
    EXPECT_TRUE(tree.Root()->Leaf);
    EXPECT_EQ(tree.Search({0.5f, 3, -1, 0.2f}).size(), 1u);
    EXPECT_TRUE(tree.Search({1.5f, 3, -1, 0.2f}).empty());

    std::vector<TTri> same(5, MakeTri(0, 0, 0, 1, 0, 0, 0, 1, 0));
    tree.Build(same);
    EXPECT_TRUE(tree.Root()->Leaf);
    EXPECT_EQ(tree.Root()->Triangles.size(), 5u);

    std::vector<TTri> apart{MakeTri(0, 0, 0, 1, 0, 0, 0, 1, 0), MakeTri(10, 0, 0, 11, 0, 0, 10, 1, 0)};
    tree.Build(apart);
    ASSERT_FALSE(tree.Root()->Leaf);
    ASSERT_TRUE(tree.Root()->HiChild && tree.Root()->LoChild);
    EXPECT_EQ(tree.Root()->HiChild->Triangles.front(), &apart[1]);
    EXPECT_EQ(tree.Root()->HiChild->Parent, tree.Root());
    EXPECT_EQ(tree.Root()->HiChild->Depth, 1);

    std::vector<TTri> none;
    tree.Build(none);
    EXPECT_TRUE(tree.Search({-1e9f, 1e9f, -1e9f, 1e9f}).empty());
}

// Boxes one float step apart: the middle of their range rounds onto the
// upper value, so the split would put both on one side for ever.
TEST(KDTreeTest, BoxesOneFloatStepApartEndInOneLeaf)
{
    const float a = 10000001.0f, b = 10000002.0f;
    std::vector<TTri> tris{MakeTri(a, 0, 0, a, 0, 1, a, 0, 2), MakeTri(b, 0, 0, b, 0, 1, b, 0, 2)};
    TKDTree tree;
    tree.Build(tris);
    ASSERT_NE(tree.Root(), nullptr);
    EXPECT_EQ(tree.Search({a - 1, b + 1, -1, 1}).size(), 2u);
}

// On a regular mesh every box extent spreads alike; the node bounds prune
// both sides of a split, so a query visits a few nodes per triangle found.
TEST(KDTreeTest, QueriesOnARegularMeshVisitFewNodes)
{
    std::vector<TTri> tris;
    const int n = 60;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float x = float(i), y = float(j);
            tris.push_back(MakeTri(x, y, 0, x + 1, y, 0, x + 1, y + 1, 0));
            tris.push_back(MakeTri(x, y, 0, x + 1, y + 1, 0, x, y + 1, 0));
        }
    }
    TKDTree tree;
    tree.Build(tris);
    int64_t visited = 0;
    size_t found = 0;
    for (float x = 3.3f; x < 57; x += 7.1f) {
        for (float y = 2.7f; y < 57; y += 6.3f) {
            const TKDQuery q{x - 3, x + 3, y - 3, y + 3};
            const auto got = tree.Search(q, visited);
            EXPECT_EQ(std::set<const TTri*>(got.begin(), got.end()), BruteForce(tris, q));
            found += got.size();
        }
    }
    EXPECT_LE(visited, 4 * static_cast<int64_t>(found));
}

namespace {

// Same shape, cuts, depths, parents and leaf contents.
void ExpectSameTree(const TKDNode* a, const TKDNode* b, const TKDNode* parentA, const TKDNode* parentB)
{
    ASSERT_EQ(a == nullptr, b == nullptr);
    if (!a)
        return;
    EXPECT_EQ(a->Parent, parentA);
    EXPECT_EQ(b->Parent, parentB);
    ASSERT_EQ(a->Leaf, b->Leaf);
    ASSERT_EQ(a->Depth, b->Depth);
    ASSERT_EQ(a->Dimension, b->Dimension);
    ASSERT_EQ(a->CutValue, b->CutValue);
    ASSERT_EQ(a->Triangles, b->Triangles);
    ExpectSameTree(a->HiChild.get(), b->HiChild.get(), a, b);
    ExpectSameTree(a->LoChild.get(), b->LoChild.get(), a, b);
}

} // namespace

TEST(KDTreeTest, BuildThreadsMakeTheSameTree)
{
    // Enough triangles that the top levels are split over threads.
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> pos(0.0f, 200.0f), size(0.0f, 2.0f);
    std::vector<TTri> tris;
    for (int i = 0; i < 40000; ++i) {
        const float x = pos(rng), y = pos(rng);
        tris.push_back(MakeTri(x, y, 0, x + size(rng), y, 1, x, y + size(rng), 2));
    }
    TKDTree serial;
    serial.Build(tris);
    TKDTree parallel;
    parallel.SetBuildThreads(8);
    parallel.Build(tris);
    ExpectSameTree(serial.Root(), parallel.Root(), nullptr, nullptr);
}
