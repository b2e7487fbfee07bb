#pragma once
// The stock-removal model's grid: a block of material over the stock's X-Y
// rectangle as a regular grid of cells, each with a height above the stock
// bottom and a colour (0x00BBGGRR). Every simulated move lowers the heights
// under the tool and colours the cells it cut. No view, no toolkit: the
// simulator drives it and a mesh builder (NcVisuMesh.h) draws it.
//
// Invariants: the grid has Round(size X / cell) + 1 columns of
// Round(size Y / cell) + 1 cells; every height starts at size Z and only
// decreases until the grid is rebuilt. A cut visits only the cells of its
// box that the tool's disc passes over; cells outside the stock are never
// touched.
//
// Heights and colours are kept in two arrays, column by column, so that a
// cut runs along a column's heights without reading the colours.

#include "core/geometry/Points.h"
#include "nc/solid/ToolShape.h"

#include <cstdint>
#include <utility>
#include <vector>

struct TAVertice3d;

struct TStockCell {
    int32_t Colour = 0;
    double Height = 0;
};

// Cells touched by the last cut, by index (empty when First > Last).
struct TCellRange {
    int First = 0, Last = -1;
    bool Empty() const { return First > Last; }
};

// The smallest range that holds both (an empty one adds nothing).
inline TCellRange UnionRange(TCellRange a, TCellRange b)
{
    if (a.Empty())
        return b;
    if (b.Empty())
        return a;
    return {a.First < b.First ? a.First : b.First, a.Last > b.Last ? a.Last : b.Last};
}

class TNcVisuGrid {
public:
    static constexpr int32_t kFreshColour = 0x00FF0000; // blue

    // The stock box, minimum and maximum corners: the origin is the minimum
    // corner, the sizes the absolute differences. A box without X and Y
    // extent (one hole, one vertical move) becomes a square of the tool's
    // diameter (1 when that is 0) centred on it. Rebuilds the grid.
    void SetStock(const TVector3D& minimum, const TVector3D& maximum, double toolDiameter);
    // Cells on the longer side: 75 for quality 1, (quality div 2) x 100
    // otherwise (a quality below 1 counts as 1). Restores the uncut stock.
    void SetQuality(int32_t quality);
    // The same with the cells on the longer side given directly (at least 1).
    void SetCellsOnSide(int32_t cells);
    // Recomputes the cell size and rebuilds the grid, uncut and blue.
    void InitGrid();

    void SetTool(const TCutTool& tool) { m_Tool = tool; }
    const TCutTool& Tool() const { return m_Tool; }
    // Colours of feed and rapid cuts (the settings' "ToolPathG1" and
    // "ToolPathG0").
    void SetColours(int32_t feed, int32_t rapid) { m_FeedColour = feed, m_RapidColour = rapid; }

    // A straight move in drawing coordinates (the stock origin is taken off).
    bool CutMove(const TVector3D& from, const TVector3D& to, bool rapid);
    // An arc from the start vertex's end point to the arc vertex's end point
    // about its centre (clockwise for kind -1), cut as level chords at the
    // arc vertex's end height.
    void CutArc(const TAVertice3d& start, const TAVertice3d& arc);
    // A straight move in stock coordinates, chosen by tool and move kind:
    // same X-Y going up cuts nothing; the drill's point height is 60 for a
    // plunge and 2 for other straight moves.
    void CutSegment(const TVector3D& from, const TVector3D& to, bool rapid);
    // One cut with the given drill point height, whatever the move.
    void Cut(const TVector3D& from, const TVector3D& to, bool rapid, double drillK);

    int Columns() const { return m_Columns; }
    int Rows() const { return m_Rows; }
    double CellSize() const { return m_CellSize; }
    int32_t CellsOnSide() const { return m_CellsOnSide; }
    const TVector3D& Origin() const { return m_Origin; }
    double SizeX() const { return m_SizeX; }
    double SizeY() const { return m_SizeY; }
    double SizeZ() const { return m_SizeZ; }
    TStockCell Cell(int column, int row) const
    {
        const size_t n = Index(column, row);
        return {m_Colours[n], m_Heights[n]};
    }
    // Sets one cell's height, its colour kept (for a caller that shapes the
    // stock by hand).
    void SetHeight(int column, int row, double height) { m_Heights[Index(column, row)] = height; }
    // The widest vectors, in bits, the cutting loops may use where the
    // processor has them (to test the narrower loops); 128 keeps them at the
    // baseline instruction set.
    static constexpr int kAnyVectorBits = 512;
    static void LimitVectorBits(int bits);
    // Columns and rows of the last cut's box (the part of a mesh to refresh).
    TCellRange CutColumns() const { return m_CutColumns; }
    TCellRange CutRows() const { return m_CutRows; }
    // Columns and rows of every cut since the last call (the part of a
    // mesh to refresh), then empty again.
    std::pair<TCellRange, TCellRange> TakeChanged();

private:
    size_t Index(int column, int row) const { return static_cast<size_t>(column) * m_Rows + row; }
    void SetCutBox(const TVector3D& a, const TVector3D& b, double margin);
    void CutInColumns(const TToolMove& move, bool inclined, int32_t colour);
    void CutInColumns512(const TToolMove& move, bool inclined, int32_t colour);
    void CutInColumns256(const TToolMove& move, bool inclined, int32_t colour);
    // How the cutting loops take a column's cells: the compiler's loops over
    // whole numbers of Loop cells (none when 0), or steps of one register
    // of Step cells that may pass over cells no cut can lower. The flat
    // bottom's level cuts go in steps, the other level cuts in the
    // compiler's loops where there are any, inclined cuts as chosen.
    template <int Loop, int Step, bool InclinedInSteps>
    struct TLoops {
        static constexpr int FlatN = Step, LevelN = Loop > 0 ? Loop : Step;
        static constexpr int InclinedN = InclinedInSteps ? Step : Loop;
        static constexpr bool LevelInLoops = Loop > 0, InclinedInLoops = !InclinedInSteps;
    };
    template <class Loops>
    void CutInColumnsAt(const TToolMove& move, bool inclined, int32_t colour);
    template <class Loops, class Rise>
    void CutAtOneHeight(const TToolMove& move, double z, const Rise& rise, int32_t colour);
    template <class LowerRows>
    void CutColumns(const TToolMove& move, int32_t colour, const LowerRows& lowerRows);
    void CutAnyMove(const TToolMove& move, double drillK, int32_t colour);

    TVector3D m_Origin;
    double m_SizeX = 0, m_SizeY = 0, m_SizeZ = 0;
    double m_CellSize = 1;
    int32_t m_CellsOnSide = 200;
    int m_Columns = 0, m_Rows = 0;
    std::vector<double> m_Heights;
    std::vector<int32_t> m_Colours;
    TCutTool m_Tool;
    int32_t m_FeedColour = 0x0000FF00, m_RapidColour = 0x000000FF;
    TCellRange m_CutColumns, m_CutRows;
    TCellRange m_ChangedColumns, m_ChangedRows;
};
