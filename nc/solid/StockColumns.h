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

private:
    TToolMove m_Move;
    double m_DX, m_DY, m_Length = 0, m_UX = 0, m_UY = 0, m_OverUX = 0, m_OverUY = 0;
};

// Two doubles, their masks and two colours, worked on in one step with the
// baseline instruction set.
using TDoublePair = double __attribute__((vector_size(16)));
using TIntPair = int32_t __attribute__((vector_size(8)));

// Square root and max(v, 0) of one value or of both.
inline double Sqrt(double v) { return std::sqrt(v); }
inline TDoublePair Sqrt(TDoublePair v) { return TDoublePair{std::sqrt(v[0]), std::sqrt(v[1])}; }
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
    T operator()(T d2) const { return d2 * 0; }
};
struct TBallRise {
    double R, R2;
    template <class T>
    T operator()(T d2) const { return R - Sqrt(NotBelowZero(R2 - d2)); }
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

// Lowers the cells first..last of a column within reach to their new
// heights (NewHeights::At(offsets along the move and across it, squared
// distances; TMoveReach)) where these are not
// above them, and gives those cells the colour, two cells a step.
template <class NewHeights>
inline void LowerPairs(const TColumnCells& column, int first, int last, const NewHeights& newHeights)
{
    const TIntPair colour = TIntPair{} + column.Colour;
    for (int j = first; j <= last; j += 2) {
        const int at = j + 2 <= column.Rows ? j : column.Rows - 2; // the last step may go back
        const TDoublePair rows = TDoublePair{double(at), double(at + 1)};
        TDoublePair along, across;
        column.Reach.Offsets(column.X, rows * column.Cell, along, across);
        const TDoublePair d2 = column.Reach.SquaredDistanceAt(along, across);
        const TDoublePair h = newHeights.At(along, across, d2);
        TDoublePair was;
        TIntPair wasColour;
        std::memcpy(&was, column.Heights + at, sizeof was);
        std::memcpy(&wasColour, column.Colours + at, sizeof wasColour);
        const auto lower = (h <= was) & (d2 <= TDoublePair{} + column.R2);
        was = lower ? h : was;
        wasColour = __builtin_convertvector(lower, TIntPair) ? colour : wasColour;
        std::memcpy(column.Heights + at, &was, sizeof was);
        std::memcpy(column.Colours + at, &wasColour, sizeof wasColour);
    }
}

// The same N cells a step: two as above, more left to the compiler, which
// works on a simple loop with as many at once as the processor's vectors
// hold. Rows beyond reach are left alone, and the new heights are exact
// wherever the tool reaches, so a cell lowered twice to its height changes
// nothing: the rows are widened (within the column) to whole steps, the
// last step of two moved back to end in the column.
template <int N, class NewHeights>
inline void LowerCells(const TColumnCells& column, int first, int last, const NewHeights& newHeights)
{
    if constexpr (N == 2) {
        if (column.Rows >= 2)
            return LowerPairs(column, first, last, newHeights);
    } else if (column.Rows >= N) {
        last += (N - (last - first + 1) % N) % N;
        if (last >= column.Rows)
            first = std::max(first - (last - (column.Rows - 1)), 0), last = column.Rows - 1;
    }
    double* const heights = column.Heights;
    int32_t* const colours = column.Colours;
    for (int j = first; j <= last; ++j) {
        double along, across;
        column.Reach.Offsets(column.X, j * column.Cell, along, across);
        const double d2 = column.Reach.SquaredDistanceAt(along, across);
        const double h = newHeights.At(along, across, d2);
        const bool lower = (d2 <= column.R2) & (h <= heights[j]);
        heights[j] = lower ? h : heights[j];
        colours[j] = lower ? column.Colour : colours[j];
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
};

} // namespace StockColumns
