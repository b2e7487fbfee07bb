// The lists find objects by ID through an index; these tests hold it to a
// plain walk of the list (First/Next, which never uses the index) after
// every step of a table of edit sequences.

#include "core/entities/Block2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/EntityRegistration.h"
#include "core/entities/Line2D.h"
#include "core/entities/SourceBlock2D.h"
#include "core/file/DocumentFile.h"
#include "core/file/Stream.h"
#include "core/file/UndoRedo.h"
#include "core/model/CADSysException.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/support/RecordingSeams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace object_index_test {

namespace {

std::unique_ptr<TLine2D> Line(double x, int32_t id = -1)
{
    return std::make_unique<TLine2D>(id, TPoint2D{x, 0.0, 1.0}, TPoint2D{x, 1.0, 1.0});
}

// Every ID that could matter for the list (present ones, one past each end
// and the IDs the sequence ever used) looked up through the index, and the
// answer compared with the first object of that ID on a walk from the head.
// Lists of containers and source blocks are checked in turn.
void ExpectIndexExact(TGraphicObjList& list, const std::vector<int32_t>& everUsed, const std::string& where)
{
    std::map<int32_t, TGraphicObject*> firstOf;
    std::vector<TGraphicObjList*> inner;
    {
        TGraphicObjIterator it = list.GetIterator();
        for (TGraphicObject* object = it.First(); object; object = it.Next()) {
            firstOf.emplace(object->ID(), object);
            EXPECT_TRUE(list.Holds(*object)) << where << ": object of ID " << object->ID();
            if (auto* container = dynamic_cast<TContainer2D*>(object))
                inner.push_back(&container->Objects());
        }
    }
    std::vector<int32_t> ids = everUsed;
    for (const auto& [id, object] : firstOf)
        ids.push_back(id);
    if (!firstOf.empty()) {
        ids.push_back(firstOf.begin()->first - 1);
        ids.push_back(firstOf.rbegin()->first + 1);
    }
    for (const int32_t id : ids) {
        const auto found = firstOf.find(id);
        TGraphicObject* expected = found == firstOf.end() ? nullptr : found->second;
        EXPECT_EQ(list.Find(id), expected) << where << ": ID " << id;
        TGraphicObjIterator it = list.GetIterator();
        EXPECT_EQ(it.Search(id), expected) << where << ": search for ID " << id;
    }
    for (TGraphicObjList* children : inner)
        ExpectIndexExact(*children, {}, where + " (children)");
}

// A drawing with its entity tree and undo journal, and every ID a sequence
// has used.
struct IndexSequence {
    IndexSequence()
    {
        RegisterEntityClasses();
        Doc.SetTreeGeo(&Tree);
    }

    void Check(const std::string& where)
    {
        ExpectIndexExact(Doc.Objects(), Used, where);
        ExpectIndexExact(Doc.SourceBlocks(), Used, where + " (source blocks)");
        for (const int32_t id : Used) {
            TGraphicObject* viaDocument = Doc.GetObjectByID(id);
            EXPECT_EQ(viaDocument, Doc.Objects().Find(id)) << where << ": document lookup of ID " << id;
        }
    }
    TGraphicObject* Add(int32_t id = -1, double x = 0.0)
    {
        TGraphicObject* added = Doc.AddObject(id, Line(x));
        Used.push_back(added->ID());
        return added;
    }
    void Delete(int32_t id)
    {
        Journal.AddUndo(TUndoKind::Delete, std::vector<int32_t>{id});
        Doc.DeleteObject(id);
    }
    std::vector<uint8_t> Saved()
    {
        TMemoryStream stream;
        Doc.SaveToStream(stream);
        return stream.Data();
    }

    TQV_01Cmp2D Doc;
    kbtest::TRecordingGeoTree Tree;
    TUndoRedo Journal{Doc};
    std::vector<int32_t> Used;
};

TEST(ObjectIndex, StaysExactThroughEverySequence)
{
    using TStep = std::function<void(IndexSequence&)>;
    struct Sequence {
        const char* name;
        std::vector<TStep> steps;
    };
    const auto addSome = [](IndexSequence& f) {
        for (int i = 0; i < 6; ++i)
            f.Add(-1, i);
    };
    const std::vector<Sequence> sequences = {
        {"adds with and without IDs, a given ID past the next",
         {addSome, [](IndexSequence& f) { f.Add(40); }, [](IndexSequence& f) { f.Add(-1); }}},
        {"a shared ID: the first from the head wins, then the next",
         {addSome, [](IndexSequence& f) { f.Add(2, 9.0); }, [](IndexSequence& f) { f.Doc.DeleteObject(2); },
          [](IndexSequence& f) { f.Doc.DeleteObject(2); }}},
        {"deletes of head, middle and tail, then all, then new IDs from 0",
         {addSome, [](IndexSequence& f) { f.Delete(0); }, [](IndexSequence& f) { f.Delete(3); },
          [](IndexSequence& f) { f.Delete(5); }, [](IndexSequence& f) { f.Doc.DeleteAllObjects(); }, addSome}},
        {"undo of deletes re-adds under the old IDs at the tail",
         {addSome, [](IndexSequence& f) { f.Delete(1); }, [](IndexSequence& f) { f.Delete(4); },
          [](IndexSequence& f) { f.Journal.Undo(); }, [](IndexSequence& f) { f.Journal.Undo(); },
          [](IndexSequence& f) { f.Delete(1); }}},
        {"undo of new objects deletes them",
         {addSome,
          [](IndexSequence& f) {
              const int32_t a = f.Add()->ID();
              const int32_t b = f.Add()->ID();
              f.Journal.AddUndo(TUndoKind::NewObjects, std::vector<int32_t>{a, b});
          },
          [](IndexSequence& f) { f.Journal.Undo(); }}},
        {"an exclusive walk deletes and unlinks",
         {addSome,
          [](IndexSequence& f) {
              TExclusiveGraphicObjIterator it = f.Doc.ObjectsExclusiveIterator();
              it.Search(2);
              it.DeleteCurrent();
              it.Search(5);
              std::unique_ptr<TGraphicObject> taken = it.RemoveCurrent();
              EXPECT_EQ(taken->ID(), 5);
          }}},
        {"load replaces, merge appends",
         {addSome, [](IndexSequence& f) { f.Delete(2); },
          [](IndexSequence& f) {
              const std::vector<uint8_t> bytes = f.Saved();
              TMemoryStream load(bytes);
              EXPECT_FALSE(f.Doc.LoadFromStream(load, false).Partial);
              TMemoryStream merge(bytes);
              EXPECT_FALSE(f.Doc.LoadFromStream(merge, true).Partial);
              for (int32_t id = 0; id < 12; ++id)
                  f.Used.push_back(id);
          },
          [](IndexSequence& f) { f.Delete(7); }}},
        {"containers and source blocks with their children",
         {[](IndexSequence& f) {
              std::vector<std::unique_ptr<TObject2D>> children;
              for (int32_t id : {0, 1, 1, 2})
                  children.push_back(Line(id, id));
              f.Used.push_back(f.Doc.AddObject(-1, std::make_unique<TContainer2D>(0, std::move(children)))->ID());
          },
          [](IndexSequence& f) {
              std::vector<std::unique_ptr<TObject2D>> children;
              children.push_back(Line(0.0, 3));
              TSourceBlock2D* source =
                  f.Doc.AddSourceBlock(std::make_unique<TSourceBlock2D>(0, std::move(children), "BLK"));
              f.Used.push_back(f.Doc.AddObject(-1, std::make_unique<TBlock2D>(0, source))->ID());
              f.Doc.AddSourceBlockWithID(
                  7, std::make_unique<TSourceBlock2D>(0, std::vector<std::unique_ptr<TObject2D>>{}, "SPARE"));
          },
          [](IndexSequence& f) {
              auto* container = dynamic_cast<TContainer2D*>(f.Doc.GetObjectByID(0));
              ASSERT_NE(container, nullptr);
              container->Objects().Delete(1);
              container->Objects().Add(Line(5.0, 1));
          },
          [](IndexSequence& f) { f.Doc.DeleteSourceBlock(7); }, [](IndexSequence& f) { f.Delete(1); },
          [](IndexSequence& f) { f.Journal.Undo(); }, addSome}},
    };
    for (const Sequence& sequence : sequences) {
        IndexSequence f;
        for (size_t i = 0; i < sequence.steps.size(); ++i) {
            sequence.steps[i](f);
            f.Check(std::string(sequence.name) + ", step " + std::to_string(i + 1));
        }
        // The same steps with no lookup between them but their own: what
        // the index holds at the end does not depend on being asked before.
        IndexSequence late;
        for (const TStep& step : sequence.steps)
            step(late);
        late.Check(std::string(sequence.name) + ", looked up only at the end");
    }
}

TEST(ObjectIndex, AReferenceListRemovesThatVeryObjectAmongSharedIDs)
{
    TGraphicObjList owner;
    TLine2D* a = owner.Add(Line(0.0, 4));
    TLine2D* b = owner.Add(Line(1.0, 4));
    TLine2D* c = owner.Add(Line(2.0, 5));
    TGraphicObjList selection;
    selection.SetOwnsObjects(false);
    for (TGraphicObject* object : {static_cast<TGraphicObject*>(a), static_cast<TGraphicObject*>(b)})
        selection.AddReference(*object);
    EXPECT_TRUE(selection.Holds(*b));
    EXPECT_FALSE(selection.Holds(*c));
    EXPECT_FALSE(selection.Remove(*c));
    {
        TGraphicObjIterator it = selection.GetIterator();
        EXPECT_THROW(selection.Remove(*b), ECADListBlocked);
    }
    EXPECT_TRUE(selection.Remove(*b));
    EXPECT_FALSE(selection.Holds(*b));
    EXPECT_EQ(selection.Find(4), a) << "the other object of the shared ID stays";
    EXPECT_EQ(owner.Count(), 3) << "a list of references frees nothing";
    EXPECT_TRUE(owner.Remove(*a));
    EXPECT_EQ(owner.Find(4), b);
    ExpectIndexExact(owner, {4, 5}, "after the owner's removal");
}

TEST(ObjectIndex, RefusedAddKeepsTheObjectsIDAndTheIndex)
{
    TGraphicObjList list;
    list.Add(Line(0.0, 1));
    auto object = Line(1.0, 5);
    {
        TGraphicObjIterator it = list.GetIterator();
        EXPECT_THROW(list.Add(std::move(object), 9), ECADListBlocked);
    }
    EXPECT_EQ(object->ID(), 5) << "a refused add sets no ID";
    EXPECT_EQ(list.Find(9), nullptr);
    TLine2D* added = list.Add(std::move(object), 9);
    EXPECT_EQ(added->ID(), 9);
    EXPECT_EQ(list.Find(9), added);
    EXPECT_EQ(list.Find(5), nullptr);
}

TEST(ObjectIndex, AnIDChangedBehindTheListsBackIsNeverAWrongAnswer)
{
    TGraphicObjList list;
    TLine2D* first = list.Add(Line(0.0, 1));
    TLine2D* second = list.Add(Line(1.0, 2));
    second->SetID(1);
    EXPECT_EQ(list.Find(1), first);
    EXPECT_EQ(list.Find(2), nullptr) << "the old ID names no object any more";
    list.Delete(1);
    EXPECT_EQ(list.Find(1), nullptr) << "found under its new ID only after Reindex";
    list.Reindex();
    EXPECT_EQ(list.Find(1), second);
    list.Delete(1);
    EXPECT_EQ(list.Count(), 0);
}

} // namespace

}  // namespace object_index_test
