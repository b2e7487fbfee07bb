#include "core/model/CADSysException.h"
#include "core/model/IndexedObjectList.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace indexed_object_list_test {

namespace {

// Records its own destruction in a shared log, by tag.
struct TTracked {
    TTracked(int tag, std::vector<int>& freed) : Tag(tag), Freed(freed) {}
    ~TTracked() { Freed.push_back(Tag); }
    int Tag;
    std::vector<int>& Freed;
};

std::string OutOfBoundText(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ECADOutOfBound& e) {
        return e.what();
    }
    return "not raised";
}

} // namespace

TEST(IndexedObjectList, SlotsStartEmptyAndIndicesAreChecked)
{
    std::vector<int> freed;
    TIndexedObjectList<TTracked> list(3);
    EXPECT_EQ(list.Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list.GetObject(i), nullptr);
    EXPECT_EQ(OutOfBoundText([&] { list.GetObject(3); }), "TIndexedObjectList.GetObject: Index out of bounds.");
    EXPECT_EQ(OutOfBoundText([&] { list.GetObject(-1); }), "TIndexedObjectList.GetObject: Index out of bounds.");
    EXPECT_EQ(OutOfBoundText([&] { list.SetObject(3, std::make_unique<TTracked>(9, freed)); }),
              "TIndexedObjectList.SetObject: Index out of bounds.");
    EXPECT_EQ(freed, std::vector<int>{9}) << "a refused object is not kept and not leaked";

    // Without slots every read gives null and every write is ignored.
    TIndexedObjectList<TTracked> empty;
    EXPECT_EQ(empty.GetObject(0), nullptr);
    EXPECT_EQ(empty.GetObject(-7), nullptr);
    empty.SetObject(0, std::make_unique<TTracked>(8, freed));
    EXPECT_EQ(empty.Count(), 0);
}

TEST(IndexedObjectList, OwnedObjectsAreFreedWhenReplacedDroppedOrCleared)
{
    std::vector<int> freed;
    {
        TIndexedObjectList<TTracked> list(4);
        for (int i = 0; i < 4; ++i)
            list.SetObject(i, std::make_unique<TTracked>(i, freed));
        list.SetObject(1, std::make_unique<TTracked>(10, freed));
        EXPECT_EQ(freed, std::vector<int>{1}) << "the replaced occupant is freed";
        EXPECT_EQ(list.GetObject(1)->Tag, 10);

        list.SetSize(2); // drops slots 2 and 3 with their objects
        EXPECT_EQ(list.Count(), 2);
        EXPECT_EQ(freed, (std::vector<int>{1, 2, 3}));
        list.SetSize(5); // the new slots are empty, the kept ones unchanged
        EXPECT_EQ(list.GetObject(0)->Tag, 0);
        EXPECT_EQ(list.GetObject(4), nullptr);

        list.FreeAll();
        EXPECT_EQ(list.Count(), 5);
        EXPECT_EQ(list.GetObject(0), nullptr);
        EXPECT_EQ(freed.size(), 5u);
        list.SetObject(2, std::make_unique<TTracked>(20, freed));
        list.SetSize(0);
        EXPECT_EQ(list.GetObject(2), nullptr);
        EXPECT_EQ(freed.back(), 20);
        list.SetObject(0, std::make_unique<TTracked>(30, freed));
    }
    EXPECT_EQ(freed.back(), 30);
    EXPECT_EQ(freed.size(), 7u);
}

}  // namespace indexed_object_list_test
