#include "core/geometry/PointsSet.h"

#include "core/model/CADSysException.h"

#include <algorithm>
#include <string>

template <class TPointT, class TSelf>
TPointsSetBase<TPointT, TSelf>::TPointsSetBase(int capacity)
{
    capacity = std::clamp(capacity, 0, kMaxPoints);
    m_Points.resize(static_cast<size_t>(capacity));
    m_Capacity = static_cast<uint16_t>(capacity);
}

template <class TPointT, class TSelf>
void TPointsSetBase<TPointT, TSelf>::Raise(const char* method, const char* what) const
{
    throw ECADOutOfBound(std::string(TSelf::kClassName) + "." + method + ": " + what);
}

template <class TPointT, class TSelf>
TPointT TPointsSetBase<TPointT, TSelf>::Get(int index) const
{
    if (index < 0 || index >= m_Count)
        Raise("Get", "Index out of bound");
    return m_Points[static_cast<size_t>(index)];
}

template <class TPointT, class TSelf>
void TPointsSetBase<TPointT, TSelf>::EnsureCapacity(int n)
{
    if (n <= m_Capacity)
        return;
    if (n > kMaxPoints)
        Raise("EnsureCapacity", "Vector out of bound");
    m_Points.resize(static_cast<size_t>(n));
    m_Capacity = static_cast<uint16_t>(n);
}

template <class TPointT, class TSelf>
void TPointsSetBase<TPointT, TSelf>::Put(int index, const TPointT& point)
{
    // The last index keeps count + 1 within the uint16 range.
    if (index < 0 || index >= kMaxPoints)
        Raise("Put", "Vector out of bound");
    if (index >= m_Capacity) {
        if (!m_Growable)
            Raise("Put", "Vector out of bound");
        EnsureCapacity(std::min(std::max(index + 1, 2 * m_Capacity + 1), static_cast<int>(kMaxPoints)));
    }
    m_Points[static_cast<size_t>(index)] = point;
    if (index >= m_Count)
        m_Count = static_cast<uint16_t>(index + 1);
}

template <class TPointT, class TSelf>
void TPointsSetBase<TPointT, TSelf>::SetPoint(int index, const TPointT& point)
{
    Put(index, point);
    NotifyChanged();
}

template <class TPointT, class TSelf>
void TPointsSetBase<TPointT, TSelf>::Add(const TPointT& point)
{
    SetPoint(m_Count, point);
}

template <class TPointT, class TSelf>
void TPointsSetBase<TPointT, TSelf>::CopyFrom(const TSelf& source)
{
    if (&source == this)
        return;
    m_Points = source.m_Points;
    m_Capacity = source.m_Capacity;
    m_Count = source.m_Count;
    m_Growable = source.m_Growable;
}

template <class TPointT, class TSelf>
void TPointsSetBase<TPointT, TSelf>::NotifyChanged()
{
    if (m_DisableEvents || !m_OnChange)
        return;
    m_DisableEvents = true;
    struct TRestore {
        bool& Flag;
        ~TRestore() { Flag = false; }
    } restore{m_DisableEvents};
    m_OnChange(static_cast<TSelf&>(*this));
}

template class TPointsSetBase<TPoint2D, TPointsSet2D>;
template class TPointsSetBase<TPoint3D, TPointsSet3D>;

void TPointsSet2D::AddPoints(std::span<const TPoint2D> points)
{
    const size_t k = points.size();
    const size_t needed = static_cast<size_t>(m_Count) + k;
    if (needed > static_cast<size_t>(kMaxPoints) || (!m_Growable && needed > m_Capacity))
        Raise("AddPoints", "Vector out of bound");
    // Room for exactly the points added: a set made with the capacity of
    // the points it is given is filled without growing.
    if (m_Growable)
        EnsureCapacity(static_cast<int>(needed));
    for (const TPoint2D& p : points)
        Put(m_Count, p);
    NotifyChanged();
}

void TPointsSet2D::Insert(int index, const TPoint2D& point)
{
    if (index < 0 || index >= m_Count)
        Raise("Insert", "Vector out of bound");
    Put(m_Count, point);
    std::move_backward(m_Points.begin() + index, m_Points.begin() + (m_Count - 1), m_Points.begin() + m_Count);
    m_Points[static_cast<size_t>(index)] = point;
    NotifyChanged();
}

void TPointsSet2D::Delete(int index)
{
    if (index < 0 || index >= m_Count)
        Raise("Delete", "Vector out of bound");
    std::move(m_Points.begin() + index + 1, m_Points.begin() + m_Count, m_Points.begin() + index);
    --m_Count;
    NotifyChanged();
}

TRect2D TPointsSet2D::GetBounds() const
{
    TRect2D r;
    if (m_Count == 0)
        return r;
    const TPoint2D first = CartesianPoint2D(m_Points[0]);
    r.FirstEdge = TPoint2D{first.X, first.Y, 1.0};
    r.SecondEdge = r.FirstEdge;
    for (const TPoint2D& stored : Points()) {
        const TPoint2D p = CartesianPoint2D(stored);
        r.FirstEdge.X = std::min(r.FirstEdge.X, p.X);
        r.FirstEdge.Y = std::min(r.FirstEdge.Y, p.Y);
        r.SecondEdge.X = std::max(r.SecondEdge.X, p.X);
        r.SecondEdge.Y = std::max(r.SecondEdge.Y, p.Y);
    }
    return r;
}

TBox3D TPointsSet3D::GetBounds() const
{
    TBox3D b;
    if (m_Count == 0)
        return b;
    const TPoint3D first = CartesianPoint3D(m_Points[0]);
    b.FirstEdge = TPoint3D{first.X, first.Y, first.Z, 1.0};
    b.SecondEdge = b.FirstEdge;
    for (const TPoint3D& stored : Points()) {
        const TPoint3D p = CartesianPoint3D(stored);
        b.FirstEdge.X = std::min(b.FirstEdge.X, p.X);
        b.FirstEdge.Y = std::min(b.FirstEdge.Y, p.Y);
        b.FirstEdge.Z = std::min(b.FirstEdge.Z, p.Z);
        b.SecondEdge.X = std::max(b.SecondEdge.X, p.X);
        b.SecondEdge.Y = std::max(b.SecondEdge.Y, p.Y);
        b.SecondEdge.Z = std::max(b.SecondEdge.Z, p.Z);
    }
    return b;
}

void CopyPointsRange(TPointsSet2D& destination, const TPointsSet2D& source, int first, int last)
{
    try {
        destination.EnsureCapacity(last + 1);
        for (int i = first; i <= last; ++i)
            destination.Put(i, source.Get(i));
    } catch (const ECADOutOfBound&) {
        // The copy ends at the first refusal; the callback still fires.
    }
    destination.NotifyChanged();
}
