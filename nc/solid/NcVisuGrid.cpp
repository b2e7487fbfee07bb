#include "nc/solid/NcVisuGrid.h"
#include "nc/solid/StockColumns.h"

#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/Vertice.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <type_traits>

// Loops built for wider vectors than the baseline, chosen at run time.
#if defined(__GNUC__) && defined(__x86_64__)
#define STOCK_WIDE_VECTORS 1
#else
#define STOCK_WIDE_VECTORS 0
#endif

namespace {

constexpr double kPlungeDrillK = 60;
constexpr double kMoveDrillK = 2;
// A grid never grows past this many cells a side, whatever a caller asks.
constexpr int32_t kMaxCellsOnSide = 5000;

int RoundIndex(double v) { return static_cast<int>(std::nearbyint(v)); }

// The rows of a column the tool reaches are searched a hundredth of a cell
// beyond the tool's radius, so that no rounding loses a cell it reaches;
// those a hundredth of a cell within it are reached whatever the rounding
// of the reach test (its error is some 1e-12 of a cell on grids of up to
// 5000 cells a side).
constexpr double kReachMargin = 0.01;

std::atomic<int> g_VectorBits{TNcVisuGrid::kAnyVectorBits};

} // namespace

void TNcVisuGrid::LimitVectorBits(int bits) { g_VectorBits.store(bits, std::memory_order_relaxed); }

using namespace StockColumns;

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
    const bool inclined = travels && from.Z != to.Z;
    if (m_Tool.Type == ECutToolType::Flat || m_Tool.Type == ECutToolType::Ball ||
        (m_Tool.Type == ECutToolType::Toro && !inclined)) {
        CutInColumns(move, inclined, colour);
        return;
    }
    if (inclined) {
        CutAnyMove(move, drillK, colour);
        return;
    }
    CutAtOneHeight<TLoops<0, 2, true>>(move, std::min(from.Z, to.Z), TShapeRise{m_Tool, drillK}, colour);
}

// The flat and the ball tool, and the bull nose on level moves and plunges,
// cut by loops built for the widest vectors the processor has (chosen once).
void TNcVisuGrid::CutInColumns(const TToolMove& move, bool inclined, int32_t colour)
{
#if STOCK_WIDE_VECTORS
    static const int widest = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
            __builtin_cpu_supports("avx512dq"))
            return 512;
        return __builtin_cpu_supports("avx2") ? 256 : 128;
    }();
    const int bits = std::min(widest, g_VectorBits.load(std::memory_order_relaxed));
    if (bits >= 512)
        return CutInColumns512(move, inclined, colour);
    if (bits >= 256)
        return CutInColumns256(move, inclined, colour);
#endif
    CutInColumnsAt<TLoops<0, 2, true>>(move, inclined, colour);
}

#if STOCK_WIDE_VECTORS
// AVX-512 lowers cells under masks: the compiler's loops, two registers of
// doubles a step, serve every shape but the flat bottom's level cuts, which
// lower all cells they reach to one height and go faster in steps of one
// register of four (measured: a third less time than the compiler's loops).
__attribute__((target("avx512f,avx512vl,avx512dq,prefer-vector-width=512"), flatten)) void
TNcVisuGrid::CutInColumns512(const TToolMove& move, bool inclined, int32_t colour)
{
    CutInColumnsAt<TLoops<16, 4, false>>(move, inclined, colour);
}

// With AVX2 the compiler's loops (two registers a step) for the level cuts
// of the ball and the bull nose, steps of one register for the flat
// bottom's level cuts and for inclined cuts, whose steps pass over cells no
// cut can lower (measured: a sixth less time than the compiler's loops,
// which work out every cell).
__attribute__((target("avx2"), flatten)) void TNcVisuGrid::CutInColumns256(const TToolMove& move, bool inclined,
                                                                           int32_t colour)
{
    CutInColumnsAt<TLoops<8, 4, true>>(move, inclined, colour);
}
#endif

// A plunge or a level move: the tool's shape at its distance from the move,
// under the lower end. An inclined move: the lowest height of the tool over
// each cell along the move, in closed form.
template <class Loops>
void TNcVisuGrid::CutInColumnsAt(const TToolMove& move, bool inclined, int32_t colour)
{
    const bool flat = m_Tool.Type == ECutToolType::Flat;
    if (!inclined) {
        const double z = std::min(move.AZ, move.BZ), R = m_Tool.R, Rc = m_Tool.Rc;
        if (flat)
            CutAtOneHeight<Loops>(move, z, TFlatRise{}, colour);
        else if (m_Tool.Type == ECutToolType::Ball)
            CutAtOneHeight<Loops>(move, z, TBallRise{R, R * R}, colour);
        else
            CutAtOneHeight<Loops>(move, z, TToroRise{R, R - Rc, Rc, Rc * Rc}, colour);
        return;
    }
    // In steps, the cells surely within reach go without the reach test and
    // the distance it needs (the inclined heights work from the offsets
    // alone); the compiler's loops take a column's rows whole.
    const TInclinedMove m(move, m_Tool.R);
    const auto lower = [&](const auto& heights) {
        CutColumns(move, colour, [&](const TColumnCells& column, TCellRange rows, TCellRange inside) {
            LowerCells<Loops::InclinedN, Loops::InclinedInLoops>(
                column, rows, Loops::InclinedInLoops ? TCellRange{} : inside, heights);
        });
    };
    if (flat)
        lower(TInclinedFlatHeights{move.AZ, m.Slope, m.Steepness, m.R2, m.LowZ});
    else
        lower(TInclinedBallHeights{move.AZ, m.Slope, m.L, m.Lag, m.R, m.R2});
}

// The cells within reach, each lowered to the move's height plus the tool's
// rise at its distance from the move. The flat bottom's cells surely within
// reach all take the move's height, which is worth a loop without the reach
// test; for the other shapes the test is a small part of a cell's work,
// less than a loop more per column.
template <class Loops, class Rise>
void TNcVisuGrid::CutAtOneHeight(const TToolMove& move, double z, const Rise& rise, int32_t colour)
{
    CutColumns(move, colour, [&](const TColumnCells& column, TCellRange rows, TCellRange inside) {
        if constexpr (std::is_same_v<Rise, TFlatRise>)
            LowerCells<Loops::FlatN, false>(column, rows, inside, TRisenHeights<Rise>{z, rise});
        else
            LowerCells<Loops::LevelN, Loops::LevelInLoops>(column, rows, TCellRange{}, TRisenHeights<Rise>{z, rise});
    });
}

// Column by column, the rows of the cells the tool's disc may reach along
// the move and those it surely reaches (a margin within its radius),
// handed on to be lowered (where they are within reach).
template <class LowerRows>
void TNcVisuGrid::CutColumns(const TToolMove& move, int32_t colour, const LowerRows& lowerRows)
{
    const TMoveReach reach(move);
    const TSweptDisc swept(move);
    const double margin = kReachMargin * m_CellSize;
    const double R2 = m_Tool.R * m_Tool.R;
    TSweptDisc::TColumnRows batch;
    for (int first = m_CutColumns.First; first <= m_CutColumns.Last; first += TSweptDisc::kColumnBatch) {
        const int count = std::min(TSweptDisc::kColumnBatch, m_CutColumns.Last - first + 1);
        swept.ColumnRows(first, count, m_CellSize, m_Tool.R + margin, m_Tool.R - margin, m_CutRows, batch);
        for (int k = 0; k < count; ++k) {
            const TCellRange rows{batch.RowsFirst[k], batch.RowsLast[k]};
            if (rows.Empty())
                continue;
            const int i = first + k;
            const TColumnCells column{m_Heights.data() + Index(i, 0), m_Colours.data() + Index(i, 0), m_Rows, colour,
                                      reach, i * m_CellSize, m_CellSize, R2};
            lowerRows(column, rows, TCellRange{batch.InsideFirst[k], batch.InsideLast[k]});
        }
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
