#pragma once
// TQVStl: the triangles of STL surfaces as the 3D machining reads them, in
// drawing coordinates, with the single-precision box of all their vertices.

#include "core/geometry/Tri.h"

#include <vector>

class TQV_STLSurf;

class TQVStl {
public:
    // No triangles; the box is not initialised.
    TQVStl() = default;

    // Appends the triangle and grows the box by its three vertices.
    void AddTriangle(const TTri& triangle);
    // One triangle per facet of the surface, as TQV_STLSurf::Triangles gives
    // them (through the surface's model transform).
    void AddSurfaceTriangles(const TQV_STLSurf& surface);

    const std::vector<TTri>& Triangles() const { return m_Triangles; }
    const TBBox& Box() const { return m_Box; }

private:
    std::vector<TTri> m_Triangles;
    TBBox m_Box;
};
