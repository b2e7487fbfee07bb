#include "core/geometry/Vector3DList.h"

#include "core/model/CADSysException.h"
#include "core/geometry/PointsSet.h"

int TVector3DList::AddXYZ(double x, double y, double z)
{
    m_Vertices.push_back(TVector3D{x, y, z});
    return Count() - 1;
}

TVector3D& TVector3DList::Get(int index)
{
    if (index < 0 || index >= Count())
        throw ECADOutOfBound("TVector3DList.Get: Index out of bound");
    return m_Vertices[static_cast<size_t>(index)];
}

const TVector3D& TVector3DList::Get(int index) const
{
    return const_cast<TVector3DList*>(this)->Get(index);
}

void TVector3DList::AddFrom(const TVector3DList& other)
{
    // A copy first: appending a list to itself would read while it grows.
    const std::vector<TVector3D> vertices = other.m_Vertices;
    m_Vertices.insert(m_Vertices.end(), vertices.begin(), vertices.end());
}

void TVector3DList::SetFromPoints(const TPointsSet2D& points)
{
    m_Vertices.clear();
    m_Vertices.reserve(static_cast<size_t>(points.Count()));
    for (const TPoint2D& p : points.Points())
        m_Vertices.push_back(TVector3D{p.X, p.Y, 0.0});
}
