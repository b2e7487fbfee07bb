#pragma once
// The list that holds the drawing's objects (the document's objects and
// source blocks, a container's children, the selection and scratch lists of
// the commands), and the iterators through which every walk goes.
//
// Promises:
// - Adding, deleting, clearing and taking an exclusive iterator are refused
//   with ECADListBlocked while any iterator is alive; a shared iterator is
//   refused while an exclusive one is alive. A refusal changes nothing: an
//   object whose add was refused is still the caller's, untouched.
// - Only an exclusive iterator deletes or unlinks the object it stands on.
// - Iterators are RAII objects: the list counts them from construction to
//   destruction (a moved-from iterator no longer counts), so the count
//   cannot drift. An iterator that outlives its list walks nothing.
// - An owning list (the default) frees an object when it deletes its node
//   and when it is cleared or destroyed; a list of references never frees.
// - List changes and iterator bookkeeping hold the list's own lock; walking
//   takes no lock.
// - Finding an object by ID (Search, Find, Delete) does not grow with the
//   list: the list keeps an index from ID to node, exact through every add,
//   delete, removal and clear. The index knows an object by the ID it had
//   when it was added; an ID given with Add is set only once the add is
//   accepted. An object whose ID was changed behind the list's back (SetID
//   while listed) is found under its new ID only after Reindex.
// - A watcher (at most one) hears of every object that joins or leaves the
//   list, whichever way it goes, while the object is still whole.

#include "core/geometry/EntityMemory.h"
#include "core/model/GraphicObject.h"

#include <concepts>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

class TGraphicObjList;
class TExclusiveGraphicObjIterator;

// Hears of the objects that join and leave a list (see SetWatcher).
class TGraphicObjListWatcher {
public:
    virtual ~TGraphicObjListWatcher() = default;
    // The object was appended at the tail. An exception takes the add back
    // and reaches the caller of the add.
    virtual void ObjectAdded(TGraphicObject& object) = 0;
    // The object is about to leave the list (it may be freed right after).
    virtual void ObjectRemoved(TGraphicObject& object) noexcept = 0;
    // Every object is about to leave the list.
    virtual void ListCleared() noexcept = 0;
};

// A walk over a list. Every operation returns the object now current, null
// at the end.
class TGraphicObjIterator {
public:
    TGraphicObjIterator(TGraphicObjIterator&& other) noexcept;
    TGraphicObjIterator& operator=(TGraphicObjIterator&& other) noexcept;
    TGraphicObjIterator(const TGraphicObjIterator&) = delete;
    TGraphicObjIterator& operator=(const TGraphicObjIterator&) = delete;
    virtual ~TGraphicObjIterator();

    TGraphicObject* First();
    // Null once past the tail, and again on every further call.
    TGraphicObject* Next();
    TGraphicObject* Current() const;
    // The first object from the head with that ID becomes current; when
    // there is none the result is null and the position is kept.
    TGraphicObject* Search(int32_t id);
    // The list's count.
    int32_t Count() const;

protected:
    friend class TGraphicObjList;
    struct TNode {
        TGraphicObject* Object;
        // Rises along the list (nodes are only ever appended), so that the
        // first of several objects sharing an ID is the lowest.
        uint64_t Order;
    };
    // The nodes come from the lists' own pool.
    using TNodes = std::list<TNode, TListNodeAllocator<TNode>>;

    TGraphicObjIterator(TGraphicObjList& list, bool exclusive);
    void Detach() noexcept;

    TGraphicObjList* m_List = nullptr;
    TNodes::iterator m_Current{};
    bool m_Exclusive = false;
};

// The one kind of iterator that may delete or unlink the current object.
class TExclusiveGraphicObjIterator : public TGraphicObjIterator {
public:
    TExclusiveGraphicObjIterator(TExclusiveGraphicObjIterator&&) noexcept = default;
    TExclusiveGraphicObjIterator& operator=(TExclusiveGraphicObjIterator&&) noexcept = default;

    // Unlinks the current node and frees its object when the list owns it.
    // The new current object is the old one's successor, or its predecessor
    // when it was the tail (none when the list became empty). Nothing
    // without a current object.
    void DeleteCurrent();
    // The same without freeing: an owning list hands the object to the
    // caller; a list of references gives back an empty pointer.
    std::unique_ptr<TGraphicObject> RemoveCurrent();

private:
    friend class TGraphicObjList;
    using TGraphicObjIterator::TGraphicObjIterator;
    TGraphicObject* Unlink();
};

class TGraphicObjList {
public:
    TGraphicObjList() = default;
    TGraphicObjList(const TGraphicObjList&) = delete;
    TGraphicObjList& operator=(const TGraphicObjList&) = delete;
    // Frees every node (and object when owning) whatever iterators exist;
    // iterators still alive are detached and walk nothing.
    ~TGraphicObjList();

    // "TGraphicObjList.GetIterator: The list has exclusive iterator."
    TGraphicObjIterator GetIterator();
    // "TGraphicObjList.GetExclusiveIterator: The list has active iterators."
    TExclusiveGraphicObjIterator GetExclusiveIterator();
    // An iterator that marks the list exclusive without testing for other
    // iterators: the document writers save while shared iterators are
    // alive. It walks only; it cannot delete.
    TGraphicObjIterator GetExclusiveIteratorUnchecked();

    // Appends the object at the tail and returns it; the list takes it over.
    // Refused with "TGraphicObjList.Add: The list has active iterators."
    // while iterators are alive, in which case object is left as it was.
    // Only for an owning list (std::logic_error otherwise).
    template <class T>
        requires std::derived_from<T, TGraphicObject>
    T* Add(std::unique_ptr<T>&& object)
    {
        AddNode(object.get(), true, std::nullopt);
        return object.release();
    }
    // The same, and the object takes id once the add is accepted (a refused
    // add leaves its ID as it was).
    template <class T>
        requires std::derived_from<T, TGraphicObject>
    T* Add(std::unique_ptr<T>&& object, int32_t id)
    {
        AddNode(object.get(), true, id);
        return object.release();
    }
    // Appends a reference; only for a list that does not own its objects
    // (std::logic_error otherwise). Same refusal as Add.
    void AddReference(TGraphicObject& object);

    // Removes the node of the object with that ID (freeing the object when
    // owning) and returns true. Refused with "TGraphicObjList.Delete: The
    // list has active iterators."; an absent ID raises ECADListObjNotFound
    // "TGraphicObjList.Delete: Object not found".
    bool Delete(int32_t id);
    // The first object from the head with that ID, or null; needs no
    // iterator and is refused by nothing.
    TGraphicObject* Find(int32_t id) const;
    // Builds the index again from the objects' IDs as they now stand.
    void Reindex();
    // Whether the list holds that very object (found through the index by
    // its ID, then compared by address).
    bool Holds(const TGraphicObject& object) const;
    // Removes the node of that very object (freeing the object when owning)
    // and returns true; false when the list does not hold it. Refused like
    // Delete while iterators are alive.
    bool Remove(const TGraphicObject& object);
    // Removes every node (freeing the objects when owning). Refused with
    // "TGraphicObjList.Clear: The list has active iterators.".
    void Clear();

    // True while any iterator is alive.
    bool IsBlocked() const;
    bool HasExclusiveIterator() const;
    int32_t IteratorCount() const;
    int32_t Count() const { return static_cast<int32_t>(m_Nodes.size()); }
    // The first and the last object; null when empty.
    TGraphicObject* Head() const { return m_Nodes.empty() ? nullptr : m_Nodes.front().Object; }
    TGraphicObject* Tail() const { return m_Nodes.empty() ? nullptr : m_Nodes.back().Object; }
    // Calls visit(object) for every object from head to tail. Like any walk
    // it takes no lock and no iterator; visit must not change the list.
    template <class TVisit>
    void ForEachObject(TVisit&& visit) const
    {
        for (const TNode& node : m_Nodes)
            visit(*node.Object);
    }

    bool OwnsObjects() const { return m_OwnsObjects; }
    void SetOwnsObjects(bool owns) { m_OwnsObjects = owns; }
    // The watcher of the list, or null for none; not owned.
    void SetWatcher(TGraphicObjListWatcher* watcher) { m_Watcher = watcher; }

private:
    friend class TGraphicObjIterator;
    friend class TExclusiveGraphicObjIterator;
    using TNode = TGraphicObjIterator::TNode;
    using TNodes = TGraphicObjIterator::TNodes;

    void AddNode(TGraphicObject* object, bool owned, std::optional<int32_t> id);
    // The node of the first object with that ID, or end().
    TNodes::iterator FindNode(int32_t id) const;
    TNodes::iterator NodeOf(const TGraphicObject& object) const;
    void Index(TNodes::iterator node);
    void Unindex(TNodes::iterator node) noexcept;
    void Register(TGraphicObjIterator* it);
    void Unregister(TGraphicObjIterator* it) noexcept;
    void Replace(TGraphicObjIterator* from, TGraphicObjIterator* to) noexcept;
    void FreeAll() noexcept;

    mutable TNodes m_Nodes;
    // ID (as added) -> node; several nodes only where IDs are shared.
    std::unordered_multimap<int32_t, TNodes::iterator, std::hash<int32_t>, std::equal_to<int32_t>,
                            TListNodeAllocator<std::pair<const int32_t, TNodes::iterator>>>
        m_Index;
    uint64_t m_NextOrder = 0;
    TGraphicObjListWatcher* m_Watcher = nullptr;
    bool m_OwnsObjects = true;
    int32_t m_ExclusiveCount = 0;
    std::vector<TGraphicObjIterator*> m_Iterators;
    mutable std::recursive_mutex m_Lock;
};
