#include "nc/solid/NcVisuGrid.h"

#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/Vertice.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <type_traits>

namespace {

constexpr double kPlungeDrillK = 60;
constexpr double kMoveDrillK = 2;
// A grid never grows past this many cells a side, whatever a caller asks.
constexpr int32_t kMaxCellsOnSide = 5000;

int RoundIndex(double v) { return static_cast<int>(std::nearbyint(v)); }

// The rows of a column the tool reaches are searched a hundredth of a cell
// beyond the tool's radius, so that no rounding loses a cell it reaches;
// a cell a hundredth of a cell within it is reached whatever the rounding.
constexpr double kReachMargin = 0.01;

// The tool's disc swept along the move in X-Y (a disc for a plunge): the
// rows of a column that lie within a reach of the move's segment, where the
// column crosses the discs around both ends and the band between them.
double Reciprocal(double v)
{
    const double r = 1 / v;
    return std::isfinite(r) ? r : 0;
}

class TSweptDisc {
public:
    explicit TSweptDisc(const TToolMove& m) : m_Move(m), m_DX(m.BX - m.AX), m_DY(m.BY - m.AY)
    {
        m_Length = std::hypot(m_DX, m_DY);
        if (m_Length > 0)
            m_UX = m_DX / m_Length, m_UY = m_DY / m_Length;
        m_OverUX = Reciprocal(m_UX), m_OverUY = Reciprocal(m_UY);
    }

    // The rows of the box within the reach of the column at x (a cell
    // being a point at row x cell).
    TCellRange Rows(double x, double reach, double cell, TCellRange box) const
    {
        constexpr double kHuge = std::numeric_limits<double>::infinity();
        if (!(reach >= 0))
            return {};
        double lo = kHuge, hi = -kHuge;
        const auto disc = [&](double cx, double cy) {
            const double q = reach * reach - (x - cx) * (x - cx);
            if (q >= 0) {
                const double half = std::sqrt(q);
                lo = std::min(lo, cy - half), hi = std::max(hi, cy + half);
            }
        };
        disc(m_Move.AX, m_Move.AY);
        disc(m_Move.BX, m_Move.BY);
        if (m_Length > 0) {
            // With X = x - AX, Y = y - AY: 0 <= ux X + uy Y <= length and
            // |ux Y - uy X| <= reach.
            const double X = x - m_Move.AX;
            double below = -kHuge, above = kHuge;
            // c0 <= a Y + b <= c1, with overA = 1 / a (0 when that is not finite)
            const auto between = [&](double a, double overA, double b, double c0, double c1) {
                if (a == 0) {
                    if (b < c0 || b > c1)
                        below = kHuge, above = -kHuge;
                    return;
                }
                const double y0 = overA != 0 ? (c0 - b) * overA : (c0 - b) / a;
                const double y1 = overA != 0 ? (c1 - b) * overA : (c1 - b) / a;
                below = std::max(below, std::min(y0, y1)), above = std::min(above, std::max(y0, y1));
            };
            between(m_UY, m_OverUY, m_UX * X, 0, m_Length);
            between(m_UX, m_OverUX, -m_UY * X, -reach, reach);
            if (below <= above)
                lo = std::min(lo, m_Move.AY + below), hi = std::max(hi, m_Move.AY + above);
        }
        if (!(lo <= hi))
            return {};
        const double first = std::max(double(box.First), std::ceil(lo / cell));
        const double last = std::min(double(box.Last), std::floor(hi / cell));
        return first <= last ? TCellRange{int(first), int(last)} : TCellRange{};
    }

private:
    TToolMove m_Move;
    double m_DX, m_DY, m_Length = 0, m_UX = 0, m_UY = 0, m_OverUX = 0, m_OverUY = 0;
};

// Two doubles, two masks and four colours, worked on in one step.
using TDoublePair = double __attribute__((vector_size(16)));
using TMaskPair = int64_t __attribute__((vector_size(16)));
using TIntQuad = int32_t __attribute__((vector_size(16)));

// The rise of the tool's underside above its programmed point at a squared
// distance within reach: none for the flat bottom, the ball's arc (also for
// two distances at once), and any other shape through its profile.
struct TFlatRise {
    double operator()(double) const { return 0.0; }
};
struct TBallRise {
    static constexpr bool kPairs = true;
    double R, R2;
    double operator()(double d2) const { return R - std::sqrt(R2 - d2); } // d2 <= R2
    TDoublePair operator()(TDoublePair d2) const
    {
        const TDoublePair q = R2 - d2;
        return R - TDoublePair{std::sqrt(q[0]), std::sqrt(q[1])};
    }
};
struct TShapeRise {
    static constexpr bool kPairs = false;
    TCutTool Tool;
    double K;
    double operator()(double d2) const { return ToolProfile(Tool, std::min(std::sqrt(d2), Tool.R), K).value_or(0.0); }
};

// New heights for a column's cells: one for all (a flat bottom), or the
// move's height plus the tool's rise at each cell. Pair gives rows j and
// j + 1.

struct TOneHeight {
    double Z;
    double operator()(int) const { return Z; }
    TDoublePair Pair(int) const { return TDoublePair{Z, Z}; }
};
// The squared distances of a column's cells from one end of the move (a
// cap of the swept disc) or from its line (the band between the caps), row
// by row or two rows at a time.
struct TCapDistance {
    double DX2, CY, Cell; // DX2: squared X offset of the column from the end
    template <class T>
    T operator()(T rows) const
    {
        const T dy = rows * Cell - CY;
        return DX2 + dy * dy;
    }
};
struct TBandDistance {
    double E0, ES; // the signed distance from the line at row 0, its step a row
    template <class T>
    T operator()(T rows) const
    {
        const T e = E0 + rows * ES;
        return e * e;
    }
};

template <class Rise, class Distance>
struct TRisenHeights {
    Rise RiseOf;
    Distance SquaredDistance;
    double Z;
    double operator()(int j) const { return Z + RiseOf(SquaredDistance(double(j))); }
    TDoublePair Pair(int j) const
    {
        if constexpr (Rise::kPairs)
            return Z + RiseOf(SquaredDistance(TDoublePair{double(j), double(j + 1)}));
        else
            return TDoublePair{(*this)(j), (*this)(j + 1)};
    }
};

// Lowers the cells first..last of a column to their new heights where
// these are not above them, and gives those cells the colour: four cells a
// step, the heights two by two and the colours four by four.
template <class NewHeights>
void LowerCells(double* heights, int32_t* colours, int first, int last, const NewHeights& newHeights, int32_t colour)
{
    const TIntQuad colourQuad = {colour, colour, colour, colour};
    int j = first;
    for (; j + 3 <= last; j += 4) {
        TDoublePair low, high;
        TIntQuad quad;
        std::memcpy(&low, heights + j, sizeof low);
        std::memcpy(&high, heights + j + 2, sizeof high);
        std::memcpy(&quad, colours + j, sizeof quad);
        const TDoublePair newLow = newHeights.Pair(j), newHigh = newHeights.Pair(j + 2);
        const TMaskPair lowerLow = newLow <= low, lowerHigh = newHigh <= high;
        low = lowerLow ? newLow : low;
        high = lowerHigh ? newHigh : high;
        const TIntQuad lower = __builtin_shufflevector(TIntQuad(lowerLow), TIntQuad(lowerHigh), 0, 2, 4, 6);
        quad = lower ? colourQuad : quad;
        std::memcpy(heights + j, &low, sizeof low);
        std::memcpy(heights + j + 2, &high, sizeof high);
        std::memcpy(colours + j, &quad, sizeof quad);
    }
    for (; j <= last; ++j) {
        const double h = newHeights(j);
        if (h <= heights[j])
            heights[j] = h, colours[j] = colour;
    }
}

// A move's line in X-Y for the cells of one column after another.
struct TMoveLine {
    TMoveLine(const TToolMove& m, double cell) : Move(m), Cell(cell), DX(m.BX - m.AX), DY(m.BY - m.AY)
    {
        Travel = DX * DX + DY * DY;
        if (Travel > 0) {
            const double length = std::sqrt(Travel);
            UX = DX / length, UY = DY / length;
        }
        if (DY != 0)
            RowsPerX = DX / (DY * cell), RowsAlong = Travel / (DY * cell);
    }
    TToolMove Move;
    double Cell, DX, DY, Travel = 0, UX = 0, UY = 0, RowsPerX = 0, RowsAlong = 0;
};

// Lowers the rows first..last of the column at x, all within reach, to the
// move's height plus the tool's rise: the rows beside the start, beside the
// band along the move and beside the end each with their own distance.
// Where the parts meet the distances agree, so rounding of the rows that
// part them changes nothing.
template <class Rise>
void LowerBetween(const TMoveLine& line, double x, int first, int last, double* heights, int32_t* colours, double z,
                  const Rise& rise, int32_t colour)
{
    const TToolMove& m = line.Move;
    const double px = x - m.AX, qx = x - m.BX;
    const TCapDistance capA{px * px, m.AY, line.Cell}, capB{qx * qx, m.BY, line.Cell};
    const auto lower = [&](int from, int to, const auto& distance) {
        using TDistance = std::decay_t<decltype(distance)>;
        if (from <= to)
            LowerCells(heights, colours, from, to, TRisenHeights<Rise, TDistance>{rise, distance, z}, colour);
    };
    if (!(line.Travel > 0)) {
        lower(first, last, capA);
        return;
    }
    // The signed distance from the move's line, (y - AY) ux - (x - AX) uy.
    const TBandDistance band{(0 - m.AY) * line.UX - px * line.UY, line.Cell * line.UX};
    if (line.DY == 0) { // one part for the whole column
        const double t = px * line.DX / line.Travel;
        if (t <= 0 || t >= 1)
            lower(first, last, t <= 0 ? capA : capB);
        else
            lower(first, last, band);
        return;
    }
    // The move's parameter is 0 and 1 at rows r0 and r1.
    const double r0 = m.AY / line.Cell - px * line.RowsPerX, r1 = r0 + line.RowsAlong;
    const auto row = [&](double r) { return int(std::clamp(std::ceil(r), double(first), double(last) + 1)); };
    const int bandFirst = row(std::min(r0, r1)), bandEnd = row(std::max(r0, r1));
    lower(first, bandFirst - 1, line.DY > 0 ? capA : capB);
    lower(bandFirst, bandEnd - 1, band);
    lower(bandEnd, last, line.DY > 0 ? capB : capA);
}

} // namespace

void TNcVisuGrid::SetStock(const TVector3D& minimum, const TVector3D& maximum, double toolDiameter)
{
    m_Origin = minimum;
    m_SizeX = std::fabs(maximum.X - minimum.X);
    m_SizeY = std::fabs(maximum.Y - minimum.Y);
    m_SizeZ = std::fabs(maximum.Z - minimum.Z);
    if (!(m_SizeX > 0) && !(m_SizeY > 0)) {
        const double side = toolDiameter > 0 && std::isfinite(toolDiameter) ? toolDiameter : 1.0;
        m_Origin.X -= side * 0.5;
        m_Origin.Y -= side * 0.5;
        m_SizeX = m_SizeY = side;
    }
    InitGrid();
}

void TNcVisuGrid::SetQuality(int32_t quality)
{
    quality = std::max(quality, 1);
    SetCellsOnSide(quality == 1 ? 75 : (quality / 2) * 100);
}

void TNcVisuGrid::SetCellsOnSide(int32_t cells)
{
    m_CellsOnSide = std::clamp(cells, 1, kMaxCellsOnSide);
    InitGrid();
}

void TNcVisuGrid::InitGrid()
{
    const double longer = m_SizeX > m_SizeY ? m_SizeX : m_SizeY;
    m_CellSize = longer > 0 && std::isfinite(longer) ? longer / m_CellsOnSide : 1.0;
    m_Columns = RoundIndex(m_SizeX / m_CellSize) + 1;
    m_Rows = RoundIndex(m_SizeY / m_CellSize) + 1;
    m_Heights.assign(static_cast<size_t>(m_Columns) * m_Rows, m_SizeZ);
    m_Colours.assign(m_Heights.size(), kFreshColour);
    m_CutColumns = m_CutRows = TCellRange{};
    m_ChangedColumns = m_ChangedRows = TCellRange{};
}

std::pair<TCellRange, TCellRange> TNcVisuGrid::TakeChanged()
{
    const std::pair<TCellRange, TCellRange> changed{m_ChangedColumns, m_ChangedRows};
    m_ChangedColumns = m_ChangedRows = TCellRange{};
    return changed;
}

bool TNcVisuGrid::CutMove(const TVector3D& from, const TVector3D& to, bool rapid)
{
    const TVector3D a{from.X - m_Origin.X, from.Y - m_Origin.Y, from.Z - m_Origin.Z};
    const TVector3D b{to.X - m_Origin.X, to.Y - m_Origin.Y, to.Z - m_Origin.Z};
    CutSegment(a, b, rapid);
    return true;
}

void TNcVisuGrid::CutArc(const TAVertice3d& start, const TAVertice3d& arc)
{
    const TArrayOfPoint2d points =
        ArcToPoints(TVector2D{arc.Centre.X, arc.Centre.Y}, TVector2D{start.EndPoint.X, start.EndPoint.Y},
                    TVector2D{arc.EndPoint.X, arc.EndPoint.Y}, arc.Kind == -1);
    const double z = arc.EndPoint.Z - m_Origin.Z;
    TVector3D previous{start.EndPoint.X - m_Origin.X, start.EndPoint.Y - m_Origin.Y, z};
    for (const TPoint2D& p : points) {
        const TVector3D next{p.X - m_Origin.X, p.Y - m_Origin.Y, z};
        Cut(previous, next, false, kPlungeDrillK);
        previous = next;
    }
}

void TNcVisuGrid::CutSegment(const TVector3D& from, const TVector3D& to, bool rapid)
{
    const bool sameXY = IsSameValue(from.X, to.X) && IsSameValue(from.Y, to.Y);
    if (sameXY && to.Z > from.Z)
        return; // going up in the hole cuts nothing
    Cut(sameXY ? to : from, to, rapid, sameXY ? kPlungeDrillK : kMoveDrillK);
}

void TNcVisuGrid::Cut(const TVector3D& from, const TVector3D& to, bool rapid, double drillK)
{
    m_CutColumns = m_CutRows = TCellRange{};
    if (!m_Tool.Known() || m_Heights.empty())
        return;
    SetCutBox(from, to, m_Tool.R + m_CellSize);
    if (m_CutColumns.Empty())
        return;
    m_ChangedColumns = UnionRange(m_ChangedColumns, m_CutColumns);
    m_ChangedRows = UnionRange(m_ChangedRows, m_CutRows);
    const TToolMove move{from.X, from.Y, from.Z, to.X, to.Y, to.Z};
    const int32_t colour = rapid ? m_RapidColour : m_FeedColour;
    const bool travels = (to.X - from.X) * (to.X - from.X) + (to.Y - from.Y) * (to.Y - from.Y) > 0;
    if (travels && from.Z != to.Z) {
        CutAnyMove(move, drillK, colour);
        return;
    }
    // A plunge or a level move: the tool's shape at its distance from the
    // move, under the lower end.
    const double z = travels ? from.Z : std::min(from.Z, to.Z);
    switch (m_Tool.Type) {
    case ECutToolType::Flat:
        CutAtOneHeight(move, z, TFlatRise{}, colour);
        break;
    case ECutToolType::Ball:
        CutAtOneHeight(move, z, TBallRise{m_Tool.R, m_Tool.R * m_Tool.R}, colour);
        break;
    default:
        CutAtOneHeight(move, z, TShapeRise{m_Tool, drillK}, colour);
    }
}

// The cells within reach, each lowered to the move's height plus the tool's
// rise at its distance from the move.
template <class Rise>
void TNcVisuGrid::CutAtOneHeight(const TToolMove& move, double z, const Rise& rise, int32_t colour)
{
    const double R2 = m_Tool.R * m_Tool.R, margin = kReachMargin * m_CellSize;
    const double surelyIn = m_Tool.R > margin ? (m_Tool.R - margin) * (m_Tool.R - margin) : -1.0;
    const TMoveReach reach(move);
    const TSweptDisc swept(move);
    const TMoveLine line(move, m_CellSize);
    for (int i = m_CutColumns.First; i <= m_CutColumns.Last; ++i) {
        const double x = i * m_CellSize;
        const TCellRange rows = swept.Rows(x, m_Tool.R + margin, m_CellSize, m_CutRows);
        double* heights = m_Heights.data() + Index(i, 0);
        int32_t* colours = m_Colours.data() + Index(i, 0);
        // The cells at both ends one by one, up to one surely within reach;
        // the distance from the move being convex along the column, every
        // cell between two such is within reach too.
        const auto tested = [&](int j) {
            const double d2 = reach.SquaredDistance(x, j * m_CellSize);
            if (d2 <= R2 && z + rise(d2) <= heights[j])
                heights[j] = z + rise(d2), colours[j] = colour;
            return d2 <= surelyIn;
        };
        int first = rows.First, last = rows.Last;
        while (first <= last && !tested(first))
            ++first;
        while (last > first && !tested(last))
            --last;
        if (last - first < 2)
            continue;
        if constexpr (std::is_same_v<Rise, TFlatRise>)
            LowerCells(heights, colours, first + 1, last - 1, TOneHeight{z}, colour);
        else
            LowerBetween(line, x, first + 1, last - 1, heights, colours, z, rise, colour);
    }
}

// Any move: the lowest height over each cell within reach, found by the
// tool's shape along the move.
void TNcVisuGrid::CutAnyMove(const TToolMove& move, double drillK, int32_t colour)
{
    const double lowestEnd = std::min(move.AZ, move.BZ);
    const TSweptDisc swept(move);
    for (int i = m_CutColumns.First; i <= m_CutColumns.Last; ++i) {
        const double x = i * m_CellSize;
        const TCellRange rows = swept.Rows(x, m_Tool.R + kReachMargin * m_CellSize, m_CellSize, m_CutRows);
        double* heights = m_Heights.data() + Index(i, 0);
        int32_t* colours = m_Colours.data() + Index(i, 0);
        for (int j = rows.First; j <= rows.Last; ++j) {
            if (lowestEnd > heights[j])
                continue; // the underside stays above the cell all along
            const auto h = LowestOverPoint(m_Tool, move, x, j * m_CellSize, drillK);
            if (h && *h <= heights[j]) {
                heights[j] = *h;
                colours[j] = colour;
            }
        }
    }
}

// The X-Y box of the move grown by the margin, snapped to the grid and
// clipped to the stock; an empty range when the move lies outside.
void TNcVisuGrid::SetCutBox(const TVector3D& a, const TVector3D& b, double margin)
{
    const auto range = [&](double lo, double hi, int count) {
        TCellRange r;
        if (!std::isfinite(lo) || !std::isfinite(hi))
            return r;
        const double first = std::nearbyint((lo - margin) / m_CellSize);
        const double last = std::nearbyint((hi + margin) / m_CellSize);
        if (last < 0 || first > count - 1)
            return r;
        r.First = static_cast<int>(std::max(first, 0.0));
        r.Last = static_cast<int>(std::min(last, double(count - 1)));
        return r;
    };
    m_CutColumns = range(std::min(a.X, b.X), std::max(a.X, b.X), m_Columns);
    m_CutRows = range(std::min(a.Y, b.Y), std::max(a.Y, b.Y), m_Rows);
    if (m_CutColumns.First > m_CutColumns.Last || m_CutRows.First > m_CutRows.Last)
        m_CutColumns = m_CutRows = TCellRange{};
}
