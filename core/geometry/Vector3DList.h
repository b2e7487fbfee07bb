#pragma once
// TVector3DList: the owning list of 3D vertices (X, Y, Z) in which a NURBS
// keeps its control vertices as the DXF import delivers them.

#include "core/geometry/Points.h"

#include <span>
#include <vector>

class TPointsSet2D;

class TVector3DList {
public:
    int Count() const { return static_cast<int>(m_Vertices.size()); }
    std::span<const TVector3D> Vertices() const { return m_Vertices; }

    // Appends (x, y, z) and returns its index.
    int AddXYZ(double x, double y, double z);
    // The vertex at index; outside 0 .. count - 1 raises ECADOutOfBound
    // "TVector3DList.Get: Index out of bound". The reference stays valid
    // until the list next grows or is cleared.
    TVector3D& Get(int index);
    const TVector3D& Get(int index) const;
    // Appends a copy of every vertex of other (also when other is this list).
    void AddFrom(const TVector3DList& other);
    // Drops every vertex, then one vertex (X, Y, 0) per point of the set, in
    // order, X and Y as stored.
    void SetFromPoints(const TPointsSet2D& points);
    void Clear() { m_Vertices.clear(); }

private:
    std::vector<TVector3D> m_Vertices;
};
