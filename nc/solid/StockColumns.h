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
inline void LowerCells(double* heights, int32_t* colours, int first, int last, const NewHeights& newHeights, int32_t colour)
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
inline void LowerBetween(const TMoveLine& line, double x, int first, int last, double* heights, int32_t* colours, double z,
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

} // namespace StockColumns
