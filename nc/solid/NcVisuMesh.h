#pragma once
// The stock-removal grid as triangles for the view: the top surface shaded
// with each cell's colour and green side walls, in stock coordinates (the
// view translates by the stock origin). Negative heights (a tool below the
// stock bottom) are drawn at 0.
//
// The top keeps a fixed slot of two triangles per quad of four cells, the
// quads column by column, so that a cut rewrites only the slots of the quads
// around its cells (RefreshStockMesh); a triangle left out is written as
// three equal points, which draw nothing. The walls are rebuilt whole.

#include "nc/solid/NcVisuGrid.h"

#include <cstdint>
#include <vector>

struct TMeshArrays {
    std::vector<float> Vertices; // x, y, z per vertex, three vertices a triangle
    std::vector<float> Normals;  // one unit normal per vertex
    std::vector<float> Colours;  // r, g, b, a per vertex
    size_t VertexCount() const { return Vertices.size() / 3; }
};

struct TStockMesh {
    TMeshArrays Top;   // (columns - 1) x (rows - 1) slots of six vertices
    TMeshArrays Walls;
    int Rows = 0;      // the grid's rows when built
    int TopTriangles = 0;  // triangles drawn (not left out)
    int WallTriangles = 0;
    std::vector<uint8_t> QuadTriangles; // drawn triangles of each slot
};

// The first vertex of the slot of quad (i, j).
inline size_t QuadSlot(const TStockMesh& mesh, int i, int j) { return (size_t(i) * (mesh.Rows - 1) + j) * 6; }

TStockMesh BuildStockMesh(const TNcVisuGrid& grid);
// Rewrites the slots of the quads that hold a cell of the ranges (a mesh
// built from this grid at its present size) and, when the ranges reach an
// edge, rebuilds the walls: true then.
bool RefreshStockMesh(const TNcVisuGrid& grid, TStockMesh& mesh, TCellRange columns, TCellRange rows);

// A colour 0x00BBGGRR as red, green and blue from 0 to 1.
void ColourToRGB(int32_t colour, float rgb[3]);
