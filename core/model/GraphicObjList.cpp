#include "core/model/GraphicObjList.h"

#include "core/model/CADSysException.h"

#include <algorithm>
#include <stdexcept>

// --- TGraphicObjIterator ----------------------------------------------------

TGraphicObjIterator::TGraphicObjIterator(TGraphicObjList& list, bool exclusive)
    : m_List(&list), m_Current(list.m_Nodes.begin()), m_Exclusive(exclusive)
{
    list.Register(this);
}

TGraphicObjIterator::TGraphicObjIterator(TGraphicObjIterator&& other) noexcept
    : m_List(other.m_List), m_Current(other.m_Current), m_Exclusive(other.m_Exclusive)
{
    if (m_List)
        m_List->Replace(&other, this);
    other.m_List = nullptr;
}

TGraphicObjIterator& TGraphicObjIterator::operator=(TGraphicObjIterator&& other) noexcept
{
    if (&other == this)
        return *this;
    Detach();
    m_List = other.m_List;
    m_Current = other.m_Current;
    m_Exclusive = other.m_Exclusive;
    if (m_List)
        m_List->Replace(&other, this);
    other.m_List = nullptr;
    return *this;
}

TGraphicObjIterator::~TGraphicObjIterator()
{
    Detach();
}

void TGraphicObjIterator::Detach() noexcept
{
    if (m_List)
        m_List->Unregister(this);
    m_List = nullptr;
}

TGraphicObject* TGraphicObjIterator::First()
{
    if (!m_List)
        return nullptr;
    m_Current = m_List->m_Nodes.begin();
    return Current();
}

TGraphicObject* TGraphicObjIterator::Next()
{
    if (!m_List || m_Current == m_List->m_Nodes.end())
        return nullptr;
    ++m_Current;
    return Current();
}

TGraphicObject* TGraphicObjIterator::Current() const
{
    if (!m_List || m_Current == m_List->m_Nodes.end())
        return nullptr;
    return m_Current->Object;
}

TGraphicObject* TGraphicObjIterator::Search(int32_t id)
{
    if (!m_List)
        return nullptr;
    const auto found = m_List->FindNode(id);
    if (found == m_List->m_Nodes.end())
        return nullptr;
    m_Current = found;
    return found->Object;
}

int32_t TGraphicObjIterator::Count() const
{
    return m_List ? m_List->Count() : 0;
}

// --- TExclusiveGraphicObjIterator -------------------------------------------

TGraphicObject* TExclusiveGraphicObjIterator::Unlink()
{
    if (!m_List || m_Current == m_List->m_Nodes.end())
        return nullptr;
    std::lock_guard lock(m_List->m_Lock);
    auto& nodes = m_List->m_Nodes;
    TGraphicObject* object = m_Current->Object;
    if (m_List->m_Watcher)
        m_List->m_Watcher->ObjectRemoved(*object);
    m_List->Unindex(m_Current);
    m_Current = nodes.erase(m_Current);
    if (m_Current == nodes.end() && !nodes.empty())
        m_Current = std::prev(nodes.end());
    return object;
}

void TExclusiveGraphicObjIterator::DeleteCurrent()
{
    const bool owns = m_List && m_List->m_OwnsObjects;
    TGraphicObject* object = Unlink();
    if (owns)
        delete object;
}

std::unique_ptr<TGraphicObject> TExclusiveGraphicObjIterator::RemoveCurrent()
{
    const bool owns = m_List && m_List->m_OwnsObjects;
    TGraphicObject* object = Unlink();
    return owns ? std::unique_ptr<TGraphicObject>(object) : nullptr;
}

// --- TGraphicObjList ---------------------------------------------------------

TGraphicObjList::~TGraphicObjList()
{
    std::lock_guard lock(m_Lock);
    for (TGraphicObjIterator* it : m_Iterators)
        it->m_List = nullptr;
    m_Iterators.clear();
    FreeAll();
}

TGraphicObjIterator TGraphicObjList::GetIterator()
{
    std::lock_guard lock(m_Lock);
    if (m_ExclusiveCount > 0)
        throw ECADListBlocked("TGraphicObjList.GetIterator: The list has exclusive iterator.");
    return TGraphicObjIterator(*this, false);
}

TExclusiveGraphicObjIterator TGraphicObjList::GetExclusiveIterator()
{
    std::lock_guard lock(m_Lock);
    if (!m_Iterators.empty())
        throw ECADListBlocked("TGraphicObjList.GetExclusiveIterator: The list has active iterators.");
    return TExclusiveGraphicObjIterator(*this, true);
}

TGraphicObjIterator TGraphicObjList::GetExclusiveIteratorUnchecked()
{
    std::lock_guard lock(m_Lock);
    return TGraphicObjIterator(*this, true);
}

void TGraphicObjList::AddNode(TGraphicObject* object, bool owned, std::optional<int32_t> id)
{
    if (!object)
        throw std::invalid_argument("TGraphicObjList.Add: null object");
    if (owned != m_OwnsObjects)
        throw std::logic_error(owned ? "TGraphicObjList.Add: the list does not own its objects"
                                     : "TGraphicObjList.AddReference: the list owns its objects");
    std::lock_guard lock(m_Lock);
    if (!m_Iterators.empty())
        throw ECADListBlocked("TGraphicObjList.Add: The list has active iterators.");
    const int32_t oldID = object->ID();
    if (id)
        object->SetID(*id);
    try {
        m_Nodes.push_back(TNode{object, m_NextOrder++});
        try {
            Index(std::prev(m_Nodes.end()));
        } catch (...) {
            m_Nodes.pop_back();
            throw;
        }
        try {
            if (m_Watcher)
                m_Watcher->ObjectAdded(*object);
        } catch (...) {
            Unindex(std::prev(m_Nodes.end()));
            m_Nodes.pop_back();
            throw;
        }
    } catch (...) {
        object->SetID(oldID);
        throw;
    }
}

void TGraphicObjList::AddReference(TGraphicObject& object)
{
    AddNode(&object, false, std::nullopt);
}

TGraphicObjList::TNodes::iterator TGraphicObjList::FindNode(int32_t id) const
{
    auto found = m_Nodes.end();
    const auto [from, to] = m_Index.equal_range(id);
    for (auto entry = from; entry != to; ++entry) {
        // An entry whose object has changed its ID since is no answer.
        const auto node = entry->second;
        if (node->Object->ID() == id && (found == m_Nodes.end() || node->Order < found->Order))
            found = node;
    }
    return found;
}

TGraphicObjList::TNodes::iterator TGraphicObjList::NodeOf(const TGraphicObject& object) const
{
    const auto [from, to] = m_Index.equal_range(object.ID());
    for (auto entry = from; entry != to; ++entry)
        if (entry->second->Object == &object)
            return entry->second;
    return m_Nodes.end();
}

bool TGraphicObjList::Holds(const TGraphicObject& object) const
{
    return NodeOf(object) != m_Nodes.end();
}

bool TGraphicObjList::Remove(const TGraphicObject& object)
{
    std::lock_guard lock(m_Lock);
    if (!m_Iterators.empty())
        throw ECADListBlocked("TGraphicObjList.Delete: The list has active iterators.");
    const auto node = NodeOf(object);
    if (node == m_Nodes.end())
        return false;
    TGraphicObject* removed = node->Object;
    if (m_Watcher)
        m_Watcher->ObjectRemoved(*removed);
    Unindex(node);
    m_Nodes.erase(node);
    if (m_OwnsObjects)
        delete removed;
    return true;
}

TGraphicObject* TGraphicObjList::Find(int32_t id) const
{
    const auto found = FindNode(id);
    return found == m_Nodes.end() ? nullptr : found->Object;
}

void TGraphicObjList::Index(TNodes::iterator node)
{
    m_Index.emplace(node->Object->ID(), node);
}

void TGraphicObjList::Unindex(TNodes::iterator node) noexcept
{
    // The entry sits under the ID the object had when it was indexed, which
    // is its ID now unless it was changed behind the list's back.
    const auto drop = [&](int32_t key) {
        const auto [from, to] = m_Index.equal_range(key);
        for (auto entry = from; entry != to; ++entry)
            if (entry->second == node) {
                m_Index.erase(entry);
                return true;
            }
        return false;
    };
    if (!drop(node->Object->ID()))
        for (auto entry = m_Index.begin(); entry != m_Index.end(); ++entry)
            if (entry->second == node) {
                m_Index.erase(entry);
                break;
            }
}

void TGraphicObjList::Reindex()
{
    std::lock_guard lock(m_Lock);
    m_Index.clear();
    for (auto node = m_Nodes.begin(); node != m_Nodes.end(); ++node)
        Index(node);
}

bool TGraphicObjList::Delete(int32_t id)
{
    if (IsBlocked())
        throw ECADListBlocked("TGraphicObjList.Delete: The list has active iterators.");
    TExclusiveGraphicObjIterator it = GetExclusiveIterator();
    if (!it.Search(id))
        throw ECADListObjNotFound("TGraphicObjList.Delete: Object not found");
    it.DeleteCurrent();
    return true;
}

void TGraphicObjList::Clear()
{
    std::lock_guard lock(m_Lock);
    if (!m_Iterators.empty())
        throw ECADListBlocked("TGraphicObjList.Clear: The list has active iterators.");
    FreeAll();
}

bool TGraphicObjList::IsBlocked() const
{
    std::lock_guard lock(m_Lock);
    return !m_Iterators.empty();
}

bool TGraphicObjList::HasExclusiveIterator() const
{
    std::lock_guard lock(m_Lock);
    return m_ExclusiveCount > 0;
}

int32_t TGraphicObjList::IteratorCount() const
{
    std::lock_guard lock(m_Lock);
    return static_cast<int32_t>(m_Iterators.size());
}

void TGraphicObjList::Register(TGraphicObjIterator* it)
{
    std::lock_guard lock(m_Lock);
    m_Iterators.push_back(it);
    if (it->m_Exclusive)
        ++m_ExclusiveCount;
}

void TGraphicObjList::Unregister(TGraphicObjIterator* it) noexcept
{
    std::lock_guard lock(m_Lock);
    const auto found = std::find(m_Iterators.begin(), m_Iterators.end(), it);
    if (found == m_Iterators.end())
        return;
    m_Iterators.erase(found);
    if (it->m_Exclusive && m_ExclusiveCount > 0)
        --m_ExclusiveCount;
}

void TGraphicObjList::Replace(TGraphicObjIterator* from, TGraphicObjIterator* to) noexcept
{
    std::lock_guard lock(m_Lock);
    std::replace(m_Iterators.begin(), m_Iterators.end(), from, to);
}

void TGraphicObjList::FreeAll() noexcept
{
    std::lock_guard lock(m_Lock);
    if (m_Watcher && !m_Nodes.empty())
        m_Watcher->ListCleared();
    TNodes nodes;
    nodes.swap(m_Nodes);
    m_Index.clear();
    if (m_OwnsObjects)
        for (const TNode& node : nodes)
            delete node.Object;
}
