#include "core/entities/QVStl.h"

#include "core/entities/QV_STLSurf.h"

void TQVStl::AddTriangle(const TTri& triangle)
{
    m_Triangles.push_back(triangle);
    m_Box.AddTriangle(triangle);
}

void TQVStl::AddSurfaceTriangles(const TQV_STLSurf& surface)
{
    const std::vector<TTri> triangles = surface.Triangles();
    m_Triangles.reserve(m_Triangles.size() + triangles.size());
    for (const TTri& t : triangles)
        AddTriangle(t);
}
