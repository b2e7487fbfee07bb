#pragma once
// The points sets in which every entity keeps its control points: a growable
// array of TPoint2D or TPoint3D with a change callback through which the
// owning entity recomputes its box.
//
// Contracts:
// - Indices and counts are those of a uint16: a set holds at most 65,535
//   points. An index outside 0..65,534 is refused like any other index out
//   of bound, so a caller's negative or huge index can never wrap around.
// - A refusal raises ECADOutOfBound ("<class>.<method>: ...") and leaves the
//   set unchanged.
// - Put, Clear and EnsureCapacity never fire the change callback; SetPoint,
//   Add, AddPoints, Insert, Delete and CopyPointsRange do. While the callback
//   runs the set's events are disabled, so a callback that changes the set
//   does not fire again.
// - Slots between count and capacity hold the origin with weight 1 when new;
//   a store inside the capacity beyond count is allowed and raises count.
// - A set is not copyable: its callback belongs to its owner.

#include "core/geometry/EntityMemory.h"
#include "core/geometry/Points.h"

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// The storage and the rules shared by the 2D and the 3D set. TSelf is the
// concrete set: the callback receives it and the error messages carry its
// class name (TSelf::kClassName).
template <class TPointT, class TSelf>
class TPointsSetBase {
public:
    using TOnChange = std::function<void(TSelf&)>;
    // Sets and their points live in the entities' pool, with the entities.
    KB_ENTITY_MEMORY
    // The largest number of points a set holds.
    static constexpr int kMaxPoints = 65535;

    TPointsSetBase(const TPointsSetBase&) = delete;
    TPointsSetBase& operator=(const TPointsSetBase&) = delete;

    int Count() const { return m_Count; }
    int Capacity() const { return m_Capacity; }
    bool Growable() const { return m_Growable; }
    // A set that is not growable refuses a store beyond its capacity.
    void SetGrowable(bool growable) { m_Growable = growable; }
    bool DisableEvents() const { return m_DisableEvents; }
    void SetDisableEvents(bool disable) { m_DisableEvents = disable; }
    void SetOnChange(TOnChange onChange) { m_OnChange = std::move(onChange); }

    // The point at index; index >= count raises "<class>.Get: Index out of
    // bound".
    TPointT Get(int index) const;
    // The first Count() points, for reading in bulk.
    std::span<const TPointT> Points() const { return {m_Points.data(), m_Count}; }

    // Stores without firing the callback: inside the capacity the point is
    // stored and count becomes at least index + 1; beyond it a growable set
    // grows to the greater of index + 1 and 2 x capacity + 1 (at most the
    // maximum), a set that is not growable raises "<class>.Put: Vector out of
    // bound".
    void Put(int index, const TPointT& point);
    // Put, then the change callback.
    void SetPoint(int index, const TPointT& point);
    // SetPoint at index count.
    void Add(const TPointT& point);
    // count := 0, capacity kept, no callback.
    void Clear() { m_Count = 0; }
    // Raises the capacity to n (new slots hold the origin with weight 1);
    // nothing when the capacity is already n or more. n beyond the maximum
    // raises "<class>.EnsureCapacity: Vector out of bound". Ignores the
    // growable flag: it is the explicit way to make room.
    void EnsureCapacity(int n);
    // Makes this set an exact copy of source's points: capacity, count,
    // every stored slot (also those beyond count) and the growable flag. The
    // callback and the events flag stay this set's own, and it does not fire.
    void CopyFrom(const TSelf& source);
    // Fires the change callback as a change of the points would: nothing
    // while events are disabled or no callback is set; events stay disabled
    // while it runs, also when it raises.
    void NotifyChanged();

protected:
    explicit TPointsSetBase(int capacity);
    ~TPointsSetBase() = default;

    [[noreturn]] void Raise(const char* method, const char* what) const;

    bool m_Growable = true;
    bool m_DisableEvents = false;
    std::vector<TPointT, TEntityAllocator<TPointT>> m_Points; // size() is the capacity
    TOnChange m_OnChange;
    uint16_t m_Count = 0;
    uint16_t m_Capacity = 0;
};

class TPointsSet2D : public TPointsSetBase<TPoint2D, TPointsSet2D> {
public:
    static constexpr const char* kClassName = "TPointsSet2D";

    // count 0, capacity as given (clamped to 0..65,535), growable, events
    // enabled.
    explicit TPointsSet2D(int capacity) : TPointsSetBase(capacity) {}

    // Appends the points, then fires the callback once; a growable set makes
    // room for count + k points when it has less. Refused with
    // "TPointsSet2D.AddPoints: Vector out of bound" when count + k would
    // exceed the maximum, or the capacity of a set that is not growable (such
    // a set never grows here).
    void AddPoints(std::span<const TPoint2D> points);
    // Inserts before index (index < count; appending is Add): index >= count
    // raises "TPointsSet2D.Insert: Vector out of bound". Fires the callback.
    void Insert(int index, const TPoint2D& point);
    // Removes the point at index: index >= count raises "TPointsSet2D.Delete:
    // Vector out of bound". Fires the callback.
    void Delete(int index);
    // The box of the points made cartesian, minimum corner first; all zero
    // with weights 1 when the set is empty.
    TRect2D GetBounds() const;
};

class TPointsSet3D : public TPointsSetBase<TPoint3D, TPointsSet3D> {
public:
    static constexpr const char* kClassName = "TPointsSet3D";

    explicit TPointsSet3D(int capacity) : TPointsSetBase(capacity) {}

    // As TPointsSet2D::GetBounds, in 3D.
    TBox3D GetBounds() const;
};

// Copies the source's points first..last to the same indices of the
// destination (its capacity raised to last + 1 first). The first refusal
// (growth, read or store) ends the copying silently; the destination's
// callback fires at the end in every case. Never raises.
void CopyPointsRange(TPointsSet2D& destination, const TPointsSet2D& source, int first, int last);

extern template class TPointsSetBase<TPoint2D, TPointsSet2D>;
extern template class TPointsSetBase<TPoint3D, TPointsSet3D>;
