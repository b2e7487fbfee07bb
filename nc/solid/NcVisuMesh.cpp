#include "nc/solid/NcVisuMesh.h"

#include "nc/solid/NcVisuGrid.h"

#include <algorithm>
#include <cmath>

void ColourToRGB(int32_t colour, float rgb[3])
{
    const auto c = static_cast<uint32_t>(colour);
    rgb[0] = static_cast<float>(c % 256) / 255.0f;
    rgb[1] = static_cast<float>((c / 256) % 256) / 255.0f;
    rgb[2] = static_cast<float>((c / 65536) % 256) / 255.0f;
}

namespace {

struct TMeshWriter {
    TStockMesh& Mesh;

    void Vertex(double x, double y, double z, const float normal[3], const float rgb[3])
    {
        Mesh.Vertices.push_back(float(x)), Mesh.Vertices.push_back(float(y)), Mesh.Vertices.push_back(float(z));
        Mesh.Normals.push_back(normal[0]), Mesh.Normals.push_back(normal[1]), Mesh.Normals.push_back(normal[2]);
        Mesh.Colours.push_back(rgb[0]), Mesh.Colours.push_back(rgb[1]), Mesh.Colours.push_back(rgb[2]);
        Mesh.Colours.push_back(1.0f);
    }
};

void Normalise(double x, double y, double z, float out[3])
{
    const double length = std::sqrt(x * x + y * y + z * z);
    const double s = length > 0 ? 1.0 / length : 0.0;
    out[0] = float(x * s), out[1] = float(y * s), out[2] = float(z * s);
}

void AddTop(const TNcVisuGrid& grid, TMeshWriter& w)
{
    const double s = grid.CellSize();
    for (int i = 0; i + 1 < grid.Columns(); ++i) {
        for (int j = 0; j + 1 < grid.Rows(); ++j) {
            const double raw00 = grid.Cell(i, j).Height, raw10 = grid.Cell(i + 1, j).Height;
            const double raw01 = grid.Cell(i, j + 1).Height, raw11 = grid.Cell(i + 1, j + 1).Height;
            if (raw00 < 0 && raw10 < 0 && raw01 < 0 && raw11 < 0)
                continue;
            const double h00 = std::max(raw00, 0.0), h10 = std::max(raw10, 0.0);
            const double h01 = std::max(raw01, 0.0), h11 = std::max(raw11, 0.0);
            float c00[3], c10[3], c01[3], c11[3], n[3];
            ColourToRGB(grid.Cell(i, j).Colour, c00);
            ColourToRGB(grid.Cell(i + 1, j).Colour, c10);
            ColourToRGB(grid.Cell(i, j + 1).Colour, c01);
            ColourToRGB(grid.Cell(i + 1, j + 1).Colour, c11);
            const double x = i * s, y = j * s;
            Normalise(-(h10 - h00) * s, -(h01 - h00) * s, s * s, n);
            w.Vertex(x, y, h00, n, c00);
            w.Vertex(x + s, y, h10, n, c10);
            w.Vertex(x, y + s, h01, n, c01);
            ++w.Mesh.TopTriangles;
            if (raw11 < 0 && raw10 <= 0 && raw01 <= 0)
                continue;
            Normalise((h01 - h11) * s, (h10 - h11) * s, s * s, n);
            w.Vertex(x + s, y + s, h11, n, c11);
            w.Vertex(x, y + s, h01, n, c01);
            w.Vertex(x + s, y, h10, n, c10);
            ++w.Mesh.TopTriangles;
        }
    }
}

// One side wall: the heights along an edge, walked a cell at a time; a run
// of equal heights becomes one panel from height 0 up to the edge.
template <class HeightAt, class Point>
void AddWall(int count, double step, HeightAt height, Point point, const float normal[3], TMeshWriter& w)
{
    static const float green[3] = {0, 1, 0};
    int start = 0;
    for (int k = 0; k + 1 < count; ++k) {
        const bool runGoesOn = k + 2 < count && height(k) == height(k + 1) && height(k + 1) == height(k + 2);
        if (runGoesOn)
            continue;
        const int end = k + 1;
        const double hs = height(start), he = height(end);
        if (hs > 0 || he > 0) {
            const double ts = start * step, te = end * step;
            const double tops = std::max(hs, 0.0), tope = std::max(he, 0.0);
            double p[4][3];
            point(ts, 0.0, p[0]);
            point(te, 0.0, p[1]);
            point(te, tope, p[2]);
            point(ts, tops, p[3]);
            for (int v : {0, 1, 2, 0, 2, 3})
                w.Vertex(p[v][0], p[v][1], p[v][2], normal, green);
            w.Mesh.WallTriangles += 2;
        }
        start = end;
    }
}

} // namespace

TStockMesh BuildStockMesh(const TNcVisuGrid& grid)
{
    TStockMesh mesh;
    const size_t quads = size_t(std::max(grid.Columns() - 1, 0)) * std::max(grid.Rows() - 1, 0);
    const size_t vertices = quads * 6 + size_t(grid.Columns() + grid.Rows()) * 12;
    mesh.Vertices.reserve(vertices * 3);
    mesh.Normals.reserve(vertices * 3);
    mesh.Colours.reserve(vertices * 4);
    TMeshWriter w{mesh};
    AddTop(grid, w);
    const double s = grid.CellSize();
    const int cols = grid.Columns(), rows = grid.Rows();
    const double sx = (cols - 1) * s, sy = (rows - 1) * s;
    static const float south[3] = {0, -1, 0}, west[3] = {-1, 0, 0}, north[3] = {0, 1, 0}, east[3] = {1, 0, 0};
    AddWall(cols, s, [&](int k) { return grid.Cell(k, 0).Height; },
            [&](double t, double z, double* p) { p[0] = t, p[1] = 0, p[2] = z; }, south, w);
    AddWall(rows, s, [&](int k) { return grid.Cell(0, k).Height; },
            [&](double t, double z, double* p) { p[0] = 0, p[1] = t, p[2] = z; }, west, w);
    AddWall(cols, s, [&](int k) { return grid.Cell(k, rows - 1).Height; },
            [&](double t, double z, double* p) { p[0] = t, p[1] = sy, p[2] = z; }, north, w);
    AddWall(rows, s, [&](int k) { return grid.Cell(cols - 1, k).Height; },
            [&](double t, double z, double* p) { p[0] = sx, p[1] = t, p[2] = z; }, east, w);
    return mesh;
}
