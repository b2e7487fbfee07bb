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
    return *m_Current;
}

TGraphicObject* TGraphicObjIterator::Search(int32_t id)
{
    if (!m_List)
        return nullptr;
    auto& nodes = m_List->m_Nodes;
    const auto found = std::find_if(nodes.begin(), nodes.end(), [id](const TGraphicObject* o) { return o->ID() == id; });
    if (found == nodes.end())
        return nullptr;
    m_Current = found;
    return *found;
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
    TGraphicObject* object = *m_Current;
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

void TGraphicObjList::AddNode(TGraphicObject* object, bool owned)
{
    if (!object)
        throw std::invalid_argument("TGraphicObjList.Add: null object");
    if (owned != m_OwnsObjects)
        throw std::logic_error(owned ? "TGraphicObjList.Add: the list does not own its objects"
                                     : "TGraphicObjList.AddReference: the list owns its objects");
    std::lock_guard lock(m_Lock);
    if (!m_Iterators.empty())
        throw ECADListBlocked("TGraphicObjList.Add: The list has active iterators.");
    m_Nodes.push_back(object);
}

void TGraphicObjList::AddReference(TGraphicObject& object)
{
    AddNode(&object, false);
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
    TNodes nodes;
    nodes.swap(m_Nodes);
    if (m_OwnsObjects)
        for (TGraphicObject* object : nodes)
            delete object;
}
