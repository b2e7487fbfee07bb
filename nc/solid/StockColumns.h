#pragma once
// How the stock grid's cuts work through one column of cells at a time
// (used by NcVisuGrid.cpp only): the rows of a column the tool's disc
// passes over, the distance of each row from a move and the tool's rise
// there, and the lowering of a column's cells several at a time.

#include "nc/solid/NcVisuGrid.h"
#include "nc/solid/ToolShape.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

namespace StockColumns {

// 1 / v, or 0 when that is not finite.
inline double Reciprocal(double v)
{
    const double r = 1 / v;
    return std::isfinite(r) ? r : 0;
}

// The tool's disc swept along the move in X-Y (a disc for a plunge): the
// rows of a column that lie within a reach of the move's segment, where the
// column crosses the discs around both ends and the band between them.
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

    // The same for `count` columns (at most kColumnBatch) from column
    // `first`, at two reaches at once: `Rows` within the outer reach,
    // `Inside` within the inner one (a reach below 0 has no rows). Worked
    // out column by column in one loop without branches, so that the
    // compiler takes several columns a step.
    static constexpr int kColumnBatch = 32;
    struct TColumnRows {
        int RowsFirst[kColumnBatch], RowsLast[kColumnBatch];
        int InsideFirst[kColumnBatch], InsideLast[kColumnBatch];
    };
    void ColumnRows(int first, int count, double cell, double outer, double inner, TCellRange box,
                    TColumnRows& out) const
    {
        constexpr double kHuge = std::numeric_limits<double>::infinity();
        // The band's conditions on Y per column (c0 <= a Y + b <= c1, as
        // in Rows), with an a of 0 (or one too small to invert) meaning
        // every Y where the column's b meets the condition, none elsewhere.
        const bool band = m_Length > 0;
        const bool alongFlat = m_OverUY == 0, acrossFlat = m_OverUX == 0;
        const double overCell = 1 / cell;
        const double firstRow = box.First, lastRow = box.Last;
        double lo[2][kColumnBatch], hi[2][kColumnBatch];
        for (int k = 0; k < count; ++k) {
            const double x = (first + k) * cell;
            const double dA = x - m_Move.AX, dB = x - m_Move.BX;
            const double X = x - m_Move.AX;
            // Along the move: 0 <= ux X + uy Y <= length.
            const double bAlong = m_UX * X;
            const double a0 = (0 - bAlong) * m_OverUY, a1 = (m_Length - bAlong) * m_OverUY;
            const bool inAlong = bAlong >= 0 && bAlong <= m_Length;
            const double alongBelow = alongFlat ? (inAlong ? -kHuge : kHuge) : std::min(a0, a1);
            const double alongAbove = alongFlat ? (inAlong ? kHuge : -kHuge) : std::max(a0, a1);
            const double bAcross = -m_UY * X;
            for (int r = 0; r < 2; ++r) {
                const double reach = r == 0 ? outer : inner;
                double low = kHuge, high = -kHuge;
                const double qA = reach * reach - dA * dA, qB = reach * reach - dB * dB;
                const double sA = std::sqrt(qA < 0 ? 0 : qA), sB = std::sqrt(qB < 0 ? 0 : qB);
                low = qA >= 0 ? std::min(low, m_Move.AY - sA) : low;
                high = qA >= 0 ? std::max(high, m_Move.AY + sA) : high;
                low = qB >= 0 ? std::min(low, m_Move.BY - sB) : low;
                high = qB >= 0 ? std::max(high, m_Move.BY + sB) : high;
                // Across it: -reach <= ux Y - uy X <= reach.
                const double c0 = (-reach - bAcross) * m_OverUX, c1 = (reach - bAcross) * m_OverUX;
                const bool inAcross = bAcross >= -reach && bAcross <= reach;
                const double acrossBelow = acrossFlat ? (inAcross ? -kHuge : kHuge) : std::min(c0, c1);
                const double acrossAbove = acrossFlat ? (inAcross ? kHuge : -kHuge) : std::max(c0, c1);
                const double below = std::max(alongBelow, acrossBelow), above = std::min(alongAbove, acrossAbove);
                const bool inBand = band && below <= above;
                low = inBand ? std::min(low, m_Move.AY + below) : low;
                high = inBand ? std::max(high, m_Move.AY + above) : high;
                const bool none = !(reach >= 0) || !(low <= high);
                // Clamped to the box (empty as first > last), so that the
                // rows convert to integers whatever the reach.
                const double f = std::ceil(low * overCell), l = std::floor(high * overCell);
                lo[r][k] = none ? lastRow + 1 : std::min(std::max(f, firstRow), lastRow + 1);
                hi[r][k] = none ? firstRow - 1 : std::max(std::min(l, lastRow), firstRow - 1);
            }
        }
        for (int k = 0; k < count; ++k) {
            out.RowsFirst[k] = int(lo[0][k]), out.RowsLast[k] = int(hi[0][k]);
            out.InsideFirst[k] = int(lo[1][k]), out.InsideLast[k] = int(hi[1][k]);
        }
    }

private:
    TToolMove m_Move;
    double m_DX, m_DY, m_Length = 0, m_UX = 0, m_UY = 0, m_OverUX = 0, m_OverUY = 0;
};

// N cells of a column worked on in one step: their doubles, the masks of
// comparing those, and their colours, in vectors of one register (N = 2
// with the baseline instruction set, 4 with AVX2); N = 1 is one cell in
// plain scalars.
template <int N>
struct TLanes;
template <>
struct TLanes<1> {
    using Doubles = double;
    using Ints = int32_t;
};
template <>
struct TLanes<2> {
    using Doubles = double __attribute__((vector_size(16)));
    using Ints = int32_t __attribute__((vector_size(8)));
};
template <>
struct TLanes<4> {
    using Doubles = double __attribute__((vector_size(32)));
    using Ints = int32_t __attribute__((vector_size(16)));
};
using TDoublePair = TLanes<2>::Doubles;

// What the lower bounds of new heights (NewHeights::Below) keep below the
// bound itself, so that the rounding of either side never counts: far more
// than the error of heights of this size, far less than a cut's depth.
inline double BelowSlack(double z, double r) { return 1e-9 * (1 + std::fabs(z) + std::fabs(r)); }

// Square root and max(v, 0) of one value or of each lane.
template <class T>
inline T Sqrt(T v)
{
    if constexpr (std::is_same_v<T, double>) {
        return std::sqrt(v);
    } else {
        T r;
        for (size_t k = 0; k < sizeof(T) / sizeof(double); ++k)
            r[k] = std::sqrt(v[k]);
        return r;
    }
}
template <class T>
inline T NotBelowZero(T v)
{
    const T zero{};
    return v < zero ? zero : v;
}

// The rise of the tool's underside above its programmed point at a squared
// distance d2 within reach: none for the flat bottom, the ball's arc, the
// bull nose's corner (as ToolProfile works them out), and any other shape
// through its profile (lane by lane).
struct TFlatRise {
    template <class T>
    T operator()(T) const { return T{}; }
};
struct TBallRise {
    double R, R2;
    template <class T>
    T operator()(T d2) const { return R - Sqrt(NotBelowZero(R2 - d2)); }
    // No more than the rise within reach, without a square root:
    // R - sqrt(R^2 - d2) = d2 / (R + sqrt(R^2 - d2)) >= d2 / 2R.
    template <class T>
    T Below(T d2) const { return d2 * (0.5 / R); }
};
struct TToroRise { // the bull nose: flat within R - Rc, its corner's arc beyond
    double R, Inner, Rc, Rc2;
    template <class T>
    T operator()(T d2) const
    {
        T d = Sqrt(d2);
        d = R < d ? T{} + R : d;
        const T e = NotBelowZero(d - Inner);
        return Rc - Sqrt(NotBelowZero(Rc2 - e * e));
    }
};
struct TShapeRise {
    TCutTool Tool;
    double K;
    double operator()(double d2) const { return ToolProfile(Tool, std::min(std::sqrt(d2), Tool.R), K).value_or(0.0); }
    TDoublePair operator()(TDoublePair d2) const { return TDoublePair{(*this)(d2[0]), (*this)(d2[1])}; }
};

// A plunge or a level move: the move's height plus the tool's rise at the
// cell's squared distance from the move.
template <class Rise>
struct TRisenHeights {
    double Z;
    Rise RiseOf;
    template <class T>
    T At(T, T, T d2) const { return Z + RiseOf(d2); }
    template <class T>
    T Below(T, T, T d2) const
        requires requires(Rise rise, T v) { rise.Below(v); }
    {
        return (Z - BelowSlack(Z, RiseOf.R)) + RiseOf.Below(d2);
    }
};

// The cells of the column at x that a cut lowers: those within the tool's
// reach of the move (TMoveReach, the same test for every cut).
struct TColumnCells {
    double* Heights;
    int32_t* Colours;
    int Rows;
    int32_t Colour;
    const TMoveReach& Reach;
    double X, Cell, R2;
};

// The rows at, at + 1, ... at + N - 1 as doubles.
template <int N>
inline typename TLanes<N>::Doubles RowsFrom(int at)
{
    using Doubles = typename TLanes<N>::Doubles;
    if constexpr (N == 1) {
        return double(at);
    } else {
        using Ints = typename TLanes<N>::Ints;
        Ints rows{};
        for (int k = 0; k < N; ++k)
            rows[k] = k;
        return __builtin_convertvector(rows + at, Doubles);
    }
}

// Whether any lane of a mask of doubles is set (one instruction with AVX).
// The mask comes by reference: a function built for AVX takes vectors of
// four doubles in other places than its callers without AVX would hand
// them over, where it is not inlined (in builds without optimisation).
#if defined(__GNUC__) && defined(__x86_64__)
__attribute__((target("avx"))) inline bool AnyLane(const TLanes<4>::Doubles& mask)
{
    return __builtin_ia32_movmskpd256(mask) != 0;
}
#endif
inline bool AnyLane(TLanes<2>::Doubles mask) { return mask[0] != 0 || mask[1] != 0; }
inline bool AnyLane(bool mask) { return mask; }

// A mask of N doubles as a mask of N colours.
template <int N, class Mask>
inline typename TLanes<N>::Ints ColourMask(Mask lower)
{
    using Ints = typename TLanes<N>::Ints;
    if constexpr (N == 1) {
        return lower;
    } else if constexpr (N == 4) {
        // AVX2 has no narrowing move: the high halves of the lanes, which
        // hold the mask as well, gathered by one permutation.
        using Wide = int32_t __attribute__((vector_size(32)));
        const Wide both = __builtin_shuffle(Wide(lower), Wide{1, 3, 5, 7, 1, 3, 5, 7});
        Ints low;
        std::memcpy(&low, &both, sizeof low);
        return low;
    } else {
        return __builtin_convertvector(lower, Ints);
    }
}

// Lowers N cells from row `at` of a column (all within it) to their new
// heights (NewHeights::At(offsets along the move and across it, squared
// distances; TMoveReach)) where these are not above them and, when Tested,
// where the tool reaches the cell, and gives those cells the colour. One
// register of cells a step, stored whole; a step that a lower bound of the
// new heights (NewHeights::Below, where there is one) shows the cut cannot
// lower is left as it is.
template <int N, bool Tested, class NewHeights>
inline void LowerStep(const TColumnCells& column, int at, typename TLanes<N>::Doubles rows,
                      const NewHeights& newHeights)
{
    using Doubles = typename TLanes<N>::Doubles;
    using Ints = typename TLanes<N>::Ints;
    Doubles along, across;
    column.Reach.Offsets(column.X, rows * column.Cell, along, across);
    const Doubles d2 = column.Reach.SquaredDistanceAt(along, across);
    Doubles was;
    std::memcpy(&was, column.Heights + at, sizeof was);
    if constexpr (N > 1 && requires { newHeights.Below(along, across, d2); }) {
        // Most steps of a cut through stock cut before lower none of their
        // cells; a bound without square roots shows that for most of them.
        const Doubles maybe = Doubles(newHeights.Below(along, across, d2) <= was);
        if (!AnyLane(maybe))
            return;
    }
    const Doubles h = newHeights.At(along, across, d2);
    Ints wasColour;
    std::memcpy(&wasColour, column.Colours + at, sizeof wasColour);
    auto lower = h <= was;
    if constexpr (Tested)
        lower &= d2 <= column.R2;
    was = lower ? h : was;
    wasColour = ColourMask<N>(lower) ? Ints{} + column.Colour : wasColour;
    std::memcpy(column.Heights + at, &was, sizeof was);
    std::memcpy(column.Colours + at, &wasColour, sizeof wasColour);
}

// Lowers the cells first..last of a column as LowerStep does, in a simple
// loop that the compiler works on with its own vectors (with AVX-512 these
// choose and store the lowered lanes under a mask).
template <bool Tested, class NewHeights>
inline void LowerRun(const TColumnCells& column, int first, int last, const NewHeights& newHeights)
{
    double* const heights = column.Heights;
    int32_t* const colours = column.Colours;
    for (int j = first; j <= last; ++j) {
        double along, across;
        column.Reach.Offsets(column.X, j * column.Cell, along, across);
        const double d2 = column.Reach.SquaredDistanceAt(along, across);
        const double h = newHeights.At(along, across, d2);
        const bool lower = (!Tested || d2 <= column.R2) & (h <= heights[j]);
        heights[j] = lower ? h : heights[j];
        colours[j] = lower ? column.Colour : colours[j];
    }
}

// The cells of a column N at a time, in steps of one register or, InLoops,
// in the compiler's loops over whole numbers of N cells (its loops finish a
// part of any other length one cell at a time). `rows` holds every cell the
// tool may reach, `inside` (within it) only cells it surely reaches, which
// are lowered without the reach test; the rest of `rows` is tested. Cells
// beyond reach are left alone and the new heights are exact wherever the
// tool reaches, so a cell tested twice changes nothing: tested cells may
// run past the rows (within the column) to fill whole steps, the last step
// of a column moved back to end in it.
template <int N, bool InLoops, class NewHeights>
inline void LowerCells(const TColumnCells& column, TCellRange rows, TCellRange inside, const NewHeights& newHeights)
{
    if (column.Rows < N) {
        LowerRun<true>(column, rows.First, rows.Last, newHeights);
        return;
    }
    int j = rows.First;
    if constexpr (InLoops) {
        const auto whole = [](int count) { return (count + N - 1) / N * N; };
        if (j < inside.First) {
            const int end = std::min(j + whole(inside.First - j), column.Rows);
            LowerRun<true>(column, j, end - 1, newHeights);
            j = end;
        }
        const int untested = std::max(inside.Last + 1 - j, 0) / N * N;
        LowerRun<false>(column, j, j + untested - 1, newHeights);
        j += untested;
        if (j <= rows.Last) {
            const int count = whole(rows.Last + 1 - j);
            const int from = std::max(std::min(j, column.Rows - count), 0);
            LowerRun<true>(column, from, std::min(from + count, column.Rows) - 1, newHeights);
        }
    } else {
        // The rows of a step as doubles, counted on (whole numbers, exact);
        // a step past the column's end moved back to end in it.
        const int lastStep = column.Rows - N;
        typename TLanes<N>::Doubles rowsAt = RowsFrom<N>(j);
        const auto tested = [&] {
            if (j <= lastStep)
                LowerStep<N, true>(column, j, rowsAt, newHeights);
            else
                LowerStep<N, true>(column, lastStep, RowsFrom<N>(lastStep), newHeights);
        };
        for (; j < inside.First; j += N, rowsAt += double(N))
            tested();
        for (; j + N - 1 <= inside.Last; j += N, rowsAt += double(N))
            LowerStep<N, false>(column, j, rowsAt, newHeights);
        for (; j <= rows.Last; j += N, rowsAt += double(N))
            tested();
    }
}

// An inclined move (both travel and a change of height): with its length
// L, its rise dz, a cell's offset u along the move from its start and its
// distance e from the move's line (TMoveReach::Offsets), the tool's axis is
// within R of the cell while its offset along the move is within
// s = sqrt(R^2 - e^2) of u.
struct TInclinedMove {
    TInclinedMove(const TToolMove& m, double R) : R(R), R2(R * R)
    {
        const double dx = m.BX - m.AX, dy = m.BY - m.AY, dz = m.BZ - m.AZ;
        L = std::sqrt(dx * dx + dy * dy);
        Slope = dz / L, Steepness = std::fabs(Slope), LowZ = std::min(m.AZ, m.BZ);
        Lag = -dz / std::sqrt(L * L + dz * dz);
    }
    double R, R2, L, Slope, Steepness, LowZ, Lag;
};

// The flat tool over a cell is lowest at the end of the part of the move
// within reach that is nearer the move's lower end, at offset u + s along
// the move going down (u - s going up), or at that end itself.
struct TInclinedFlatHeights {
    double AZ, Slope, Steepness, R2, LowZ;
    template <class T>
    T At(T u, T e, T) const
    {
        const T h = AZ + u * Slope - Steepness * Sqrt(NotBelowZero(R2 - e * e));
        const T low = T{} + LowZ;
        return h < low ? low : h;
    }
    // No more than that: the whole radius for the offset along the move.
    template <class T>
    T Below(T u, T, T) const
    {
        const double slack = BelowSlack(AZ, R2);
        const T h = (AZ - slack) + u * Slope - Steepness * std::sqrt(R2);
        const T low = T{} + (LowZ - slack);
        return h < low ? low : h;
    }
};

// The ball's centre moves along the segment R above the move; its underside
// over a cell is lowest where the cell's vertical line meets the swept
// capsule lowest. Along the move the height is convex and steepens without
// bound towards the rim of reach, so its minimum is where the derivative
// vanishes, -dz s / sqrt(L^2 + dz^2) from the cell's offset along the move,
// or at the end of the move nearest to that (offsets -u and L - u).
struct TInclinedBallHeights {
    double AZ, Slope, L, Lag, R, R2;
    template <class T>
    T At(T u, T e, T) const
    {
        const T e2 = e * e, start = T{} - u, end = L - u;
        T along = Lag * Sqrt(NotBelowZero(R2 - e2));
        along = along < start ? start : along;
        along = end < along ? end : along;
        return AZ + Slope * (u + along) + (R - Sqrt(NotBelowZero(R2 - e2 - along * along)));
    }
    // No more than that without a square root: with t = u + along on the
    // move, the rise is at least (e^2 + (t - u)^2) / 2R (as for the level
    // ball), and AZ + Slope t + (t - u)^2 / 2R is least at t = u - Slope R;
    // the move is never below its lower end either.
    template <class T>
    T Below(T u, T e, T) const
    {
        const double slack = BelowSlack(AZ, R) + BelowSlack(AZ + Slope * L, 0);
        const double lowZ = std::min(AZ, AZ + Slope * L) - slack;
        T h = (AZ - slack - Slope * Slope * R * 0.5) + Slope * u;
        h = h < lowZ ? T{} + lowZ : h;
        return h + e * e * (0.5 / R);
    }
};

} // namespace StockColumns
