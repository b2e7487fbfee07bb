#pragma once
// Toolpath curves: one continuous tool move sequence in 3D each. This holds
// what the 3D generators need of them so far: the curve record, its vertex
// list and the owning list; the stored record and the curve toolkit of the
// 2D generators come with those generators.

#include "core/geometry/Vertice.h"

#include <cstdint>
#include <memory>
#include <vector>

class TCurva3d {
public:
    TCurva3d() = default;
    virtual ~TCurva3d() = default;
    TCurva3d(const TCurva3d&) = default;
    TCurva3d& operator=(const TCurva3d&) = default;

    // Appends the vertex and returns its index.
    int32_t AddVertex(const TAVertice3d& vertex);
    // Removes every vertex and clears Closed.
    void Clear();
    int32_t VertexCount() const { return static_cast<int32_t>(Vertices.size()); }

    int32_t ID = 0;
    // Low byte: the generator's curve flags; high byte: the pass number.
    int16_t Tag = 0;
    // Controller compensation code; 0 for none.
    int16_t CompCode = 0;
    uint8_t Closed = 0;
    uint8_t Reversed = 0;
    // Vertex 0 is the start point; each later vertex ends one segment.
    std::vector<TAVertice3d> Vertices;
};

// A curve as the G-code writer takes it: Code 0 for plain moves, 81..83 for
// drilling cycles, 76..79 for laser engraving.
class TCurvaNci3d : public TCurva3d {
public:
    int32_t Code = 0;
};

// An operation's toolpath: the list owns its curves.
using TListaDiCurve3d = std::vector<std::unique_ptr<TCurva3d>>;
