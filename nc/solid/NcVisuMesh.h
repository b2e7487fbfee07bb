#pragma once
// The stock-removal grid as triangles for the view: the top surface shaded
// with each cell's colour and green side walls, in stock coordinates (the
// view translates by the stock origin). Negative heights (a tool below the
// stock bottom) are drawn at 0.

#include <cstdint>
#include <vector>

class TNcVisuGrid;

struct TStockMesh {
    std::vector<float> Vertices; // x, y, z per vertex, three vertices a triangle
    std::vector<float> Normals;  // one unit normal per vertex
    std::vector<float> Colours;  // r, g, b, a per vertex
    int TopTriangles = 0;
    int WallTriangles = 0;
};

TStockMesh BuildStockMesh(const TNcVisuGrid& grid);

// A colour 0x00BBGGRR as red, green and blue from 0 to 1.
void ColourToRGB(int32_t colour, float rgb[3]);
