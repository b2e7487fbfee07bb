#pragma once

// TIndexedObjectList: an owning array of objects addressed by index, with
// empty (null) slots. Unlike TGraphicObjList it has no iterators and no
// locking; it suits fixed tables such as the stroke-font slots.
//
// Contracts:
// - A new list has the given number of slots, all empty.
// - SetSize frees the objects of the slots it drops and adds empty slots.
// - GetObject on a list without slots gives null for any index; otherwise an
//   index outside 0..Count()-1 raises ECADOutOfBound.
// - SetObject on a list without slots does nothing; it frees the object it
//   replaces (an owning slot never leaks its previous occupant).
// - FreeAll empties every slot and keeps the slot count.

#include "core/model/CADSysException.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

template <typename T>
class TIndexedObjectList {
public:
    explicit TIndexedObjectList(int32_t size = 0) { SetSize(size); }
    TIndexedObjectList(const TIndexedObjectList&) = delete;
    TIndexedObjectList& operator=(const TIndexedObjectList&) = delete;
    TIndexedObjectList(TIndexedObjectList&&) noexcept = default;
    TIndexedObjectList& operator=(TIndexedObjectList&&) noexcept = default;

    int32_t Count() const { return static_cast<int32_t>(m_Objects.size()); }

    // A negative size counts as 0.
    void SetSize(int32_t size)
    {
        const size_t n = size > 0 ? static_cast<size_t>(size) : 0;
        if (n == m_Objects.size())
            return;
        m_Objects.resize(n);
        m_Objects.shrink_to_fit();
    }

    void SetObject(int32_t index, std::unique_ptr<T> object)
    {
        if (m_Objects.empty())
            return;
        CheckIndex(index, "TIndexedObjectList.SetObject: Index out of bounds.");
        m_Objects[static_cast<size_t>(index)] = std::move(object);
    }

    T* GetObject(int32_t index) const
    {
        if (m_Objects.empty())
            return nullptr;
        CheckIndex(index, "TIndexedObjectList.GetObject: Index out of bounds.");
        return m_Objects[static_cast<size_t>(index)].get();
    }

    void FreeAll()
    {
        for (auto& object : m_Objects)
            object.reset();
    }

private:
    void CheckIndex(int32_t index, const char* message) const
    {
        if (index < 0 || index >= Count())
            throw ECADOutOfBound(message);
    }

    std::vector<std::unique_ptr<T>> m_Objects;
};
