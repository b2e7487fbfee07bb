#include "nc/solid/NcVisuMesh.h"

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

// Writes vertices at a place of the arrays (sized beforehand) or, with
// Append, at their end.
struct TMeshWriter {
    TMeshArrays& Arrays;
    size_t Next = 0;
    bool Append = false;

    void Vertex(double x, double y, double z, const float normal[3], const float rgb[3])
    {
        if (Append) {
            Arrays.Vertices.insert(Arrays.Vertices.end(), {float(x), float(y), float(z)});
            Arrays.Normals.insert(Arrays.Normals.end(), {normal[0], normal[1], normal[2]});
            Arrays.Colours.insert(Arrays.Colours.end(), {rgb[0], rgb[1], rgb[2], 1.0f});
            return;
        }
        float* v = &Arrays.Vertices[Next * 3];
        float* n = &Arrays.Normals[Next * 3];
        float* c = &Arrays.Colours[Next * 4];
        v[0] = float(x), v[1] = float(y), v[2] = float(z);
        n[0] = normal[0], n[1] = normal[1], n[2] = normal[2];
        c[0] = rgb[0], c[1] = rgb[1], c[2] = rgb[2], c[3] = 1.0f;
        ++Next;
    }
    // A triangle left out: three copies of one point.
    void Nothing(double x, double y)
    {
        static const float up[3] = {0, 0, 1}, black[3] = {0, 0, 0};
        for (int k = 0; k < 3; ++k)
            Vertex(x, y, 0, up, black);
    }
};

void Normalise(double x, double y, double z, float out[3])
{
    const double length = std::sqrt(x * x + y * y + z * z);
    const double s = length > 0 ? 1.0 / length : 0.0;
    out[0] = float(x * s), out[1] = float(y * s), out[2] = float(z * s);
}

// The two triangles of quad (i, j) into its slot; the count drawn.
int WriteQuad(const TNcVisuGrid& grid, int i, int j, TMeshWriter& w)
{
    const double s = grid.CellSize();
    const double x = i * s, y = j * s;
    const double raw00 = grid.Cell(i, j).Height, raw10 = grid.Cell(i + 1, j).Height;
    const double raw01 = grid.Cell(i, j + 1).Height, raw11 = grid.Cell(i + 1, j + 1).Height;
    if (raw00 < 0 && raw10 < 0 && raw01 < 0 && raw11 < 0) {
        w.Nothing(x, y), w.Nothing(x, y);
        return 0;
    }
    const double h00 = std::max(raw00, 0.0), h10 = std::max(raw10, 0.0);
    const double h01 = std::max(raw01, 0.0), h11 = std::max(raw11, 0.0);
    float c00[3], c10[3], c01[3], c11[3], n[3];
    ColourToRGB(grid.Cell(i, j).Colour, c00);
    ColourToRGB(grid.Cell(i + 1, j).Colour, c10);
    ColourToRGB(grid.Cell(i, j + 1).Colour, c01);
    ColourToRGB(grid.Cell(i + 1, j + 1).Colour, c11);
    Normalise(-(h10 - h00) * s, -(h01 - h00) * s, s * s, n);
    w.Vertex(x, y, h00, n, c00);
    w.Vertex(x + s, y, h10, n, c10);
    w.Vertex(x, y + s, h01, n, c01);
    if (raw11 < 0 && raw10 <= 0 && raw01 <= 0) {
        w.Nothing(x, y);
        return 1;
    }
    Normalise((h01 - h11) * s, (h10 - h11) * s, s * s, n);
    w.Vertex(x + s, y + s, h11, n, c11);
    w.Vertex(x, y + s, h01, n, c01);
    w.Vertex(x + s, y, h10, n, c10);
    return 2;
}

// One side wall: the heights along an edge, walked a cell at a time; a run
// of equal heights becomes one panel from height 0 up to the edge.
template <class HeightAt, class Point>
int AddWall(int count, double step, HeightAt height, Point point, const float normal[3], TMeshWriter& w)
{
    static const float green[3] = {0, 1, 0};
    int triangles = 0;
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
            triangles += 2;
        }
        start = end;
    }
    return triangles;
}

void BuildWalls(const TNcVisuGrid& grid, TStockMesh& mesh)
{
    mesh.Walls = TMeshArrays{};
    TMeshWriter w{mesh.Walls, 0, true};
    const double s = grid.CellSize();
    const int cols = grid.Columns(), rows = grid.Rows();
    const double sx = (cols - 1) * s, sy = (rows - 1) * s;
    static const float south[3] = {0, -1, 0}, west[3] = {-1, 0, 0}, north[3] = {0, 1, 0}, east[3] = {1, 0, 0};
    mesh.WallTriangles =
        AddWall(cols, s, [&](int k) { return grid.Cell(k, 0).Height; },
                [&](double t, double z, double* p) { p[0] = t, p[1] = 0, p[2] = z; }, south, w) +
        AddWall(rows, s, [&](int k) { return grid.Cell(0, k).Height; },
                [&](double t, double z, double* p) { p[0] = 0, p[1] = t, p[2] = z; }, west, w) +
        AddWall(cols, s, [&](int k) { return grid.Cell(k, rows - 1).Height; },
                [&](double t, double z, double* p) { p[0] = t, p[1] = sy, p[2] = z; }, north, w) +
        AddWall(rows, s, [&](int k) { return grid.Cell(cols - 1, k).Height; },
                [&](double t, double z, double* p) { p[0] = sx, p[1] = t, p[2] = z; }, east, w);
}

void WriteQuads(const TNcVisuGrid& grid, TStockMesh& mesh, int i0, int i1, int j0, int j1)
{
    for (int i = i0; i <= i1; ++i) {
        TMeshWriter w{mesh.Top, QuadSlot(mesh, i, j0)};
        for (int j = j0; j <= j1; ++j) {
            uint8_t& drawn = mesh.QuadTriangles[size_t(i) * (mesh.Rows - 1) + j];
            mesh.TopTriangles -= drawn;
            drawn = static_cast<uint8_t>(WriteQuad(grid, i, j, w));
            mesh.TopTriangles += drawn;
        }
    }
}

} // namespace

TStockMesh BuildStockMesh(const TNcVisuGrid& grid)
{
    TStockMesh mesh;
    mesh.Rows = grid.Rows();
    const int quadColumns = std::max(grid.Columns() - 1, 0), quadRows = std::max(grid.Rows() - 1, 0);
    const size_t quads = size_t(quadColumns) * quadRows;
    mesh.Top.Vertices.resize(quads * 18);
    mesh.Top.Normals.resize(quads * 18);
    mesh.Top.Colours.resize(quads * 24);
    mesh.QuadTriangles.assign(quads, 0);
    WriteQuads(grid, mesh, 0, quadColumns - 1, 0, quadRows - 1);
    BuildWalls(grid, mesh);
    return mesh;
}

bool RefreshStockMesh(const TNcVisuGrid& grid, TStockMesh& mesh, TCellRange columns, TCellRange rows)
{
    if (columns.Empty() || rows.Empty())
        return false;
    // A cell is a corner of the quads to its lower left up to its own.
    const int i0 = std::max(columns.First - 1, 0), i1 = std::min(columns.Last, grid.Columns() - 2);
    const int j0 = std::max(rows.First - 1, 0), j1 = std::min(rows.Last, grid.Rows() - 2);
    WriteQuads(grid, mesh, i0, i1, j0, j1);
    // The walls stand on the edge cells only.
    if (columns.First > 0 && rows.First > 0 && columns.Last < grid.Columns() - 1 && rows.Last < grid.Rows() - 1)
        return false;
    BuildWalls(grid, mesh);
    return true;
}
