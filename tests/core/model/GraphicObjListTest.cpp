#include "core/model/CADSysException.h"
#include "core/model/GraphicObjList.h"
#include "tests/support/TestObject2D.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace graphic_obj_list_test {

using kbtest::TTestObject2D;

namespace {

// A list holding objects with the given IDs, in order.
void Fill(TGraphicObjList& list, std::initializer_list<int32_t> ids)
{
    for (int32_t id : ids)
        list.Add(std::make_unique<TTestObject2D>(id));
}

std::vector<int32_t> Ids(TGraphicObjList& list)
{
    std::vector<int32_t> ids;
    auto it = list.GetIterator();
    for (TGraphicObject* o = it.First(); o; o = it.Next())
        ids.push_back(o->ID());
    return ids;
}

void ExpectBlocked(const std::function<void()>& call, const std::string& message)
{
    try {
        call();
        ADD_FAILURE() << "not refused, expected: " << message;
    } catch (const ECADListBlocked& e) {
        EXPECT_EQ(std::string(e.what()), message);
    }
}

} // namespace

TEST(GraphicObjList, RefusedAddLeavesTheObjectWithTheCaller)
{
    TGraphicObjList list;
    Fill(list, {1});
    bool destroyed = false;
    auto object = std::make_unique<TTestObject2D>(7, TRect2D{}, &destroyed);
    TTestObject2D* raw = object.get();
    {
        auto it = list.GetIterator();
        ExpectBlocked([&] { list.Add(std::move(object)); }, "TGraphicObjList.Add: The list has active iterators.");
        EXPECT_EQ(object.get(), raw) << "the caller still owns the object";
        EXPECT_EQ(raw->ID(), 7);
        EXPECT_EQ(list.Count(), 1);
    }
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(list.Add(std::move(object)), raw) << "the same add succeeds once the iterator is gone";
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{1, 7}));
}

TEST(GraphicObjList, ChangesAndIteratorsRefusedWhileIteratorsLive)
{
    TGraphicObjList list;
    Fill(list, {1, 2, 3});

    struct Case {
        const char* name;
        std::function<void()> call;
        std::string message;
    };
    const std::vector<Case> underShared = {
        {"add", [&] { list.Add(std::make_unique<TTestObject2D>(9)); },
         "TGraphicObjList.Add: The list has active iterators."},
        {"delete", [&] { list.Delete(2); }, "TGraphicObjList.Delete: The list has active iterators."},
        {"clear", [&] { list.Clear(); }, "TGraphicObjList.Clear: The list has active iterators."},
        {"exclusive", [&] { list.GetExclusiveIterator(); },
         "TGraphicObjList.GetExclusiveIterator: The list has active iterators."},
    };
    {
        auto shared = list.GetIterator();
        auto second = list.GetIterator(); // several shared iterators are fine
        EXPECT_EQ(list.IteratorCount(), 2);
        EXPECT_TRUE(list.IsBlocked());
        for (const Case& c : underShared) {
            SCOPED_TRACE(c.name);
            ExpectBlocked(c.call, c.message);
        }
    }
    {
        auto exclusive = list.GetExclusiveIterator();
        for (const Case& c : underShared) {
            SCOPED_TRACE(c.name);
            ExpectBlocked(c.call, c.message);
        }
        ExpectBlocked([&] { list.GetIterator(); }, "TGraphicObjList.GetIterator: The list has exclusive iterator.");
    }
    EXPECT_EQ(list.IteratorCount(), 0);
    EXPECT_FALSE(list.IsBlocked());
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{1, 2, 3})) << "every refusal left the list unchanged";
}

TEST(GraphicObjList, DeleteByIdFreesAndAbsentIdRaises)
{
    TGraphicObjList list;
    bool destroyed = false;
    list.Add(std::make_unique<TTestObject2D>(1));
    list.Add(std::make_unique<TTestObject2D>(2, TRect2D{}, &destroyed));
    list.Add(std::make_unique<TTestObject2D>(3));
    EXPECT_TRUE(list.Delete(2));
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{1, 3}));
    try {
        list.Delete(2);
        ADD_FAILURE();
    } catch (const ECADListObjNotFound& e) {
        EXPECT_EQ(std::string(e.what()), "TGraphicObjList.Delete: Object not found");
    }
    EXPECT_EQ(list.IteratorCount(), 0) << "the search iterator is gone after the error";
    EXPECT_FALSE(list.HasExclusiveIterator());
}

TEST(GraphicObjIterator, WalkEndsAndSearchKeepsThePosition)
{
    TGraphicObjList list;
    Fill(list, {10, 20, 30});
    auto it = list.GetIterator();
    EXPECT_EQ(it.Count(), 3);
    EXPECT_EQ(it.Current()->ID(), 10) << "a new iterator stands on the head";
    EXPECT_EQ(it.Next()->ID(), 20);
    EXPECT_EQ(it.Search(99), nullptr);
    EXPECT_EQ(it.Current()->ID(), 20);
    EXPECT_EQ(it.Search(30)->ID(), 30);
    EXPECT_EQ(it.Next(), nullptr);
    EXPECT_EQ(it.Next(), nullptr);
    EXPECT_EQ(it.Current(), nullptr);
    EXPECT_EQ(it.First()->ID(), 10);

    TGraphicObjList empty;
    auto none = empty.GetIterator();
    EXPECT_EQ(none.First(), nullptr);
    EXPECT_EQ(none.Next(), nullptr);
}

TEST(GraphicObjIterator, MovedIteratorsCountOnce)
{
    TGraphicObjList list;
    Fill(list, {1});
    {
        auto a = list.GetIterator();
        TGraphicObjIterator b = std::move(a);
        EXPECT_EQ(list.IteratorCount(), 1);
        EXPECT_EQ(b.Current()->ID(), 1);
        EXPECT_EQ(a.Current(), nullptr);
        auto c = list.GetIterator();
        c = std::move(b);
        EXPECT_EQ(list.IteratorCount(), 1);
    }
    EXPECT_FALSE(list.IsBlocked());
    {
        TGraphicObjIterator sliced = list.GetExclusiveIterator();
        EXPECT_TRUE(list.HasExclusiveIterator());
    }
    EXPECT_FALSE(list.HasExclusiveIterator());
}

TEST(ExclusiveGraphicObjIterator, DeleteCurrentMovesToNextOrPrevious)
{
    struct Case {
        std::vector<int32_t> ids;
        int32_t deleteId;
        int32_t currentAfter; // -1: none
        std::vector<int32_t> remaining;
    };
    const Case cases[] = {
        {{1, 2, 3}, 1, 2, {2, 3}},
        {{1, 2, 3}, 2, 3, {1, 3}},
        {{1, 2, 3}, 3, 2, {1, 2}}, // the tail: back to the previous object
        {{1}, 1, -1, {}},
    };
    for (const Case& c : cases) {
        TGraphicObjList list;
        for (int32_t id : c.ids)
            list.Add(std::make_unique<TTestObject2D>(id));
        {
            auto it = list.GetExclusiveIterator();
            ASSERT_NE(it.Search(c.deleteId), nullptr);
            it.DeleteCurrent();
            TGraphicObject* current = it.Current();
            EXPECT_EQ(current ? current->ID() : -1, c.currentAfter) << "deleting " << c.deleteId;
        }
        EXPECT_EQ(Ids(list), c.remaining);
        EXPECT_EQ(list.Count(), static_cast<int32_t>(c.remaining.size()));
    }
    TGraphicObjList empty;
    auto it = empty.GetExclusiveIterator();
    it.DeleteCurrent(); // nothing current: nothing happens
    EXPECT_EQ(it.RemoveCurrent(), nullptr);
}

TEST(ExclusiveGraphicObjIterator, RemovalWalkAndRemoveCurrentHandsTheObjectOver)
{
    TGraphicObjList list;
    Fill(list, {1, 2, 3, 4, 5});
    {
        // The walk of every removing caller: delete, then continue at Current.
        auto it = list.GetExclusiveIterator();
        TGraphicObject* o = it.First();
        while (o) {
            if (o->ID() % 2 == 1) {
                it.DeleteCurrent();
                o = it.Current();
            } else {
                o = it.Next();
            }
        }
    }
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{2, 4}));

    bool destroyed = false;
    list.Add(std::make_unique<TTestObject2D>(6, TRect2D{}, &destroyed));
    std::unique_ptr<TGraphicObject> taken;
    {
        auto it = list.GetExclusiveIterator();
        it.Search(6);
        taken = it.RemoveCurrent();
    }
    ASSERT_NE(taken, nullptr);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(taken->ID(), 6);
    EXPECT_EQ(Ids(list), (std::vector<int32_t>{2, 4}));
}

TEST(GraphicObjList, ReferenceListsNeverFree)
{
    bool destroyed = false;
    TTestObject2D object(1, TRect2D{}, &destroyed);
    {
        TGraphicObjList refs;
        refs.SetOwnsObjects(false);
        refs.AddReference(object);
        EXPECT_THROW(refs.Add(std::make_unique<TTestObject2D>(2)), std::logic_error);
        {
            auto it = refs.GetExclusiveIterator();
            EXPECT_EQ(it.RemoveCurrent(), nullptr) << "a reference is not the list's to hand over";
        }
        refs.AddReference(object);
        refs.Delete(1);
        refs.AddReference(object);
        refs.Clear();
        refs.AddReference(object);
    }
    EXPECT_FALSE(destroyed);

    TGraphicObjList owning;
    EXPECT_THROW(owning.AddReference(object), std::logic_error);
}

TEST(GraphicObjList, ClearAndDestructionFreeOwnedObjects)
{
    bool a = false, b = false;
    {
        TGraphicObjList list;
        list.Add(std::make_unique<TTestObject2D>(1, TRect2D{}, &a));
        list.Clear();
        EXPECT_TRUE(a);
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(list.Head(), nullptr);
        EXPECT_EQ(list.Tail(), nullptr);
        list.Add(std::make_unique<TTestObject2D>(2, TRect2D{}, &b));
    }
    EXPECT_TRUE(b);
}

TEST(GraphicObjList, UncheckedExclusiveIteratorWalksBesideSharedOnes)
{
    TGraphicObjList list;
    Fill(list, {1, 2});
    auto shared = list.GetIterator();
    {
        auto saving = list.GetExclusiveIteratorUnchecked();
        EXPECT_EQ(saving.First()->ID(), 1);
        EXPECT_TRUE(list.HasExclusiveIterator());
        ExpectBlocked([&] { list.GetIterator(); }, "TGraphicObjList.GetIterator: The list has exclusive iterator.");
    }
    EXPECT_FALSE(list.HasExclusiveIterator());
    EXPECT_EQ(list.IteratorCount(), 1);
    auto another = list.GetIterator();
}

TEST(GraphicObjList, IteratorOutlivingItsListWalksNothing)
{
    auto list = std::make_unique<TGraphicObjList>();
    Fill(*list, {1, 2});
    auto it = list->GetIterator();
    list.reset();
    EXPECT_EQ(it.Current(), nullptr);
    EXPECT_EQ(it.First(), nullptr);
    EXPECT_EQ(it.Next(), nullptr);
    EXPECT_EQ(it.Count(), 0);
}

}  // namespace graphic_obj_list_test
