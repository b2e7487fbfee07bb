#include "cad/edit/QVClipperOffset.h"

#include "core/geometry/ArcIntersections.h"
#include "core/geometry/Points.h"
#include "core/model/CADSysException.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using ClipperLib::cInt;
using ClipperLib::EndType;
using ClipperLib::IntPoint;
using ClipperLib::JoinType;
using ClipperLib::Path;
using ClipperLib::Paths;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDefaultArcTolerance = 0.25;

// The library's rounding: halves away from zero.
cInt Round(double value)
{
    return value < 0.0 ? static_cast<cInt>(value - 0.5) : static_cast<cInt>(value + 0.5);
}

bool IsClosedType(EndType end) { return end == ClipperLib::etClosedPolygon || end == ClipperLib::etClosedLine; }

} // namespace

ClipperLib::cInt ToClipperUnits(double x)
{
    const double units = std::nearbyint(x * ClipperUnitsPerDrawingUnit);
    // NaN fails the comparison as well.
    if (!(std::fabs(units) <= ClipperMaxUnits))
        throw ECADSysException("ToClipperUnits: coordinate out of range.");
    return static_cast<cInt>(units);
}

TQVClipperOffset::TQVClipperOffset(double miterLimit, double arcTolerance)
    : MiterLimit(miterLimit), ArcTolerance(arcTolerance)
{
}

void TQVClipperOffset::Clear()
{
    m_Paths.clear();
    m_LowestPath = -1;
    m_LowestIndex = 0;
}

void TQVClipperOffset::AddPath(const Path& path, JoinType joinType, EndType endType)
{
    if (path.empty())
        return;
    size_t high = path.size() - 1;
    if (IsClosedType(endType))
        while (high > 0 && path[0] == path[high])
            --high;
    TSourcePath source{{path[0]}, joinType, endType};
    size_t lowest = 0;
    for (size_t i = 1; i <= high; ++i) {
        if (source.Contour.back() == path[i])
            continue;
        source.Contour.push_back(path[i]);
        const IntPoint& low = source.Contour[lowest];
        if (path[i].Y > low.Y || (path[i].Y == low.Y && path[i].X < low.X))
            lowest = source.Contour.size() - 1;
    }
    if (endType == ClipperLib::etClosedPolygon && source.Contour.size() < 3)
        return;
    m_Paths.push_back(std::move(source));
    if (endType != ClipperLib::etClosedPolygon)
        return;
    const IntPoint& candidate = m_Paths.back().Contour[lowest];
    bool lower = m_LowestPath < 0;
    if (!lower) {
        const IntPoint& current = m_Paths[static_cast<size_t>(m_LowestPath)].Contour[m_LowestIndex];
        lower = candidate.Y > current.Y || (candidate.Y == current.Y && candidate.X < current.X);
    }
    if (lower) {
        m_LowestPath = static_cast<long>(m_Paths.size() - 1);
        m_LowestIndex = lowest;
    }
}

void TQVClipperOffset::AddPaths(const Paths& paths, JoinType joinType, EndType endType)
{
    for (const Path& path : paths)
        AddPath(path, joinType, endType);
}

void TQVClipperOffset::Execute(Paths& solution, double delta)
{
    solution.clear();
    FixOrientations();
    DoOffset(delta);
    solution = m_DestPolys;
    RemoveLoops(solution);
}

// The closed polygon with the lowest point decides: when it runs the wrong
// way, every closed polygon is reversed. Closed lines are made to run
// clockwise either way; open paths keep their direction.
void TQVClipperOffset::FixOrientations()
{
    const bool reverseAll = m_LowestPath >= 0 && !ClipperLib::Orientation(m_Paths[m_LowestPath].Contour);
    for (TSourcePath& path : m_Paths) {
        if (reverseAll) {
            if (path.End == ClipperLib::etClosedPolygon ||
                (path.End == ClipperLib::etClosedLine && ClipperLib::Orientation(path.Contour)))
                ClipperLib::ReversePath(path.Contour);
        } else if (path.End == ClipperLib::etClosedLine && !ClipperLib::Orientation(path.Contour)) {
            ClipperLib::ReversePath(path.Contour);
        }
    }
}

void TQVClipperOffset::DoOffset(double delta)
{
    m_DestPolys.clear();
    m_Delta = delta;

    if (std::fabs(delta) < 1e-15) {
        for (const TSourcePath& path : m_Paths)
            if (path.End == ClipperLib::etClosedPolygon)
                m_DestPolys.push_back(path.Contour);
        return;
    }

    m_MiterLim = MiterLimit > 2.0 ? 2.0 / (MiterLimit * MiterLimit) : 0.5;
    double y;
    if (ArcTolerance <= 0.0)
        y = kDefaultArcTolerance;
    else if (ArcTolerance > std::fabs(delta) * kDefaultArcTolerance)
        y = std::fabs(delta) * kDefaultArcTolerance;
    else
        y = ArcTolerance;
    m_Steps = std::numbers::pi / std::acos(1.0 - y / std::fabs(delta));
    if (m_Steps > std::fabs(delta) * std::numbers::pi)
        m_Steps = std::fabs(delta) * std::numbers::pi;
    m_Sin = std::sin(kTwoPi / m_Steps);
    m_Cos = std::cos(kTwoPi / m_Steps);
    m_StepsPerRad = m_Steps / kTwoPi;
    if (delta < 0.0)
        m_Sin = -m_Sin;

    for (const TSourcePath& path : m_Paths) {
        m_SrcPoly = path.Contour;
        const size_t len = m_SrcPoly.size();
        // A closed outline cannot shrink into anything when it has no area.
        if (len == 0 || (delta <= 0.0 && IsClosedType(path.End) && (len < 3 || path.End != ClipperLib::etClosedPolygon)))
            continue;
        m_DestPoly.clear();

        if (len == 1) {
            if (path.Join == ClipperLib::jtRound) {
                double x = 1.0, yy = 0.0;
                const long steps = static_cast<long>(std::nearbyint(m_Steps));
                for (long j = 1; j <= steps; ++j) {
                    m_DestPoly.emplace_back(Round(m_SrcPoly[0].X + x * delta), Round(m_SrcPoly[0].Y + yy * delta));
                    const double x2 = x;
                    x = x * m_Cos - m_Sin * yy;
                    yy = x2 * m_Sin + yy * m_Cos;
                }
            } else {
                double x = -1.0, yy = -1.0;
                for (int j = 0; j < 4; ++j) {
                    m_DestPoly.emplace_back(Round(m_SrcPoly[0].X + x * delta), Round(m_SrcPoly[0].Y + yy * delta));
                    if (x < 0)
                        x = 1;
                    else if (yy < 0)
                        yy = 1;
                    else
                        x = -1;
                }
            }
            m_DestPolys.push_back(m_DestPoly);
            continue;
        }

        // Unit normals: the right-hand normal of each segment.
        m_Normals.clear();
        auto unitNormal = [](const IntPoint& a, const IntPoint& b) {
            if (a == b)
                return TNormal{};
            double dx = static_cast<double>(b.X - a.X);
            double dy = static_cast<double>(b.Y - a.Y);
            const double f = 1.0 / std::sqrt(dx * dx + dy * dy);
            dx *= f;
            dy *= f;
            return TNormal{dy, -dx};
        };
        for (size_t j = 0; j + 1 < len; ++j)
            m_Normals.push_back(unitNormal(m_SrcPoly[j], m_SrcPoly[j + 1]));
        if (IsClosedType(path.End))
            m_Normals.push_back(unitNormal(m_SrcPoly[len - 1], m_SrcPoly[0]));
        else
            m_Normals.push_back(m_Normals[len - 2]);

        if (path.End == ClipperLib::etClosedPolygon) {
            size_t k = len - 1;
            for (size_t j = 0; j < len; ++j)
                OffsetPoint(j, k, path.Join);
            m_DestPolys.push_back(m_DestPoly);
        } else if (path.End == ClipperLib::etClosedLine) {
            size_t k = len - 1;
            for (size_t j = 0; j < len; ++j)
                OffsetPoint(j, k, path.Join);
            m_DestPolys.push_back(m_DestPoly);
            m_DestPoly.clear();
            // The other side: the normals reversed and turned round.
            const TNormal last = m_Normals[len - 1];
            for (size_t j = len - 1; j > 0; --j)
                m_Normals[j] = TNormal{-m_Normals[j - 1].X, -m_Normals[j - 1].Y};
            m_Normals[0] = TNormal{-last.X, -last.Y};
            k = 0;
            for (size_t j = len; j-- > 0;)
                OffsetPoint(j, k, path.Join);
            m_DestPolys.push_back(m_DestPoly);
        } else {
            OffsetOpenPath(path);
            m_DestPolys.push_back(m_DestPoly);
        }
    }
}

// One side only: no return pass along the other side.
void TQVClipperOffset::OffsetOpenPath(const TSourcePath& path)
{
    const size_t len = m_SrcPoly.size();
    const bool butt = path.End == ClipperLib::etOpenButt;
    if (butt)
        Append(0, m_Normals[0].X, m_Normals[0].Y);
    size_t k = 0;
    for (size_t j = 1; j + 1 < len; ++j)
        OffsetPoint(j, k, path.Join);
    const size_t last = len - 1;
    if (butt) {
        Append(last, m_Normals[last].X, m_Normals[last].Y);
        return;
    }
    m_SinA = 0.0;
    m_Normals[last] = TNormal{-m_Normals[last].X, -m_Normals[last].Y};
    if (path.End == ClipperLib::etOpenSquare)
        DoSquare(last, len - 2);
    else
        DoRound(last, len - 2);
}

void TQVClipperOffset::Append(size_t j, double nx, double ny)
{
    m_DestPoly.emplace_back(Round(m_SrcPoly[j].X + nx * m_Delta), Round(m_SrcPoly[j].Y + ny * m_Delta));
}

void TQVClipperOffset::OffsetPoint(size_t j, size_t& k, JoinType joinType)
{
    const TNormal& nk = m_Normals[k];
    const TNormal& nj = m_Normals[j];
    m_SinA = nk.X * nj.Y - nj.X * nk.Y;
    if (std::fabs(m_SinA * m_Delta) < 1.0) {
        const double cosA = nk.X * nj.X + nj.Y * nk.Y;
        if (cosA > 0) { // nearly straight on: one point (k stays, as in the library)
            Append(j, nk.X, nk.Y);
            return;
        }
        // else nearly a reversal: joined below
    } else if (m_SinA > 1.0) {
        m_SinA = 1.0;
    } else if (m_SinA < -1.0) {
        m_SinA = -1.0;
    }

    if (m_SinA * m_Delta < 0) {
        // Inner corner: through the vertex itself; the loop this leaves is
        // removed afterwards.
        Append(j, nk.X, nk.Y);
        m_DestPoly.push_back(m_SrcPoly[j]);
        Append(j, nj.X, nj.Y);
    } else {
        switch (joinType) {
        case ClipperLib::jtMiter: {
            const double r = 1.0 + (nj.X * nk.X + nj.Y * nk.Y);
            if (r >= m_MiterLim)
                DoMiter(j, k, r);
            else
                DoSquare(j, k);
            break;
        }
        case ClipperLib::jtSquare:
            DoSquare(j, k);
            break;
        case ClipperLib::jtRound:
            DoRound(j, k);
            break;
        }
    }
    k = j;
}

void TQVClipperOffset::DoSquare(size_t j, size_t k)
{
    const TNormal& nk = m_Normals[k];
    const TNormal& nj = m_Normals[j];
    const double dx = std::tan(std::atan2(m_SinA, nk.X * nj.X + nk.Y * nj.Y) / 4.0);
    m_DestPoly.emplace_back(Round(m_SrcPoly[j].X + m_Delta * (nk.X - nk.Y * dx)),
                            Round(m_SrcPoly[j].Y + m_Delta * (nk.Y + nk.X * dx)));
    m_DestPoly.emplace_back(Round(m_SrcPoly[j].X + m_Delta * (nj.X + nj.Y * dx)),
                            Round(m_SrcPoly[j].Y + m_Delta * (nj.Y - nj.X * dx)));
}

void TQVClipperOffset::DoMiter(size_t j, size_t k, double r)
{
    const double q = m_Delta / r;
    m_DestPoly.emplace_back(Round(m_SrcPoly[j].X + (m_Normals[k].X + m_Normals[j].X) * q),
                            Round(m_SrcPoly[j].Y + (m_Normals[k].Y + m_Normals[j].Y) * q));
}

void TQVClipperOffset::DoRound(size_t j, size_t k)
{
    const TNormal& nk = m_Normals[k];
    const TNormal& nj = m_Normals[j];
    const double a = std::atan2(m_SinA, nk.X * nj.X + nk.Y * nj.Y);
    const long steps = std::max(static_cast<long>(Round(m_StepsPerRad * std::fabs(a))), 1L);
    double x = nk.X, y = nk.Y;
    for (long i = 0; i < steps; ++i) {
        Append(j, x, y);
        const double x2 = x;
        x = x * m_Cos - m_Sin * y;
        y = x2 * m_Sin + y * m_Cos;
    }
    Append(j, nj.X, nj.Y);
}

void TQVClipperOffset::RemoveLoops(Paths& paths)
{
    auto vec = [](const IntPoint& p) { return TVector2D{static_cast<double>(p.X), static_cast<double>(p.Y)}; };
    for (Path& path : paths) {
        Path out;
        const size_t m = path.empty() ? 0 : path.size() - 1;
        size_t pos = 1;
        while (pos <= m) {
            const TVector2D s1 = vec(path[pos - 1]);
            const TVector2D s2 = vec(path[pos]);
            size_t crossed = 0;
            TVector2D at{};
            for (size_t i = pos + 1; i <= m; ++i) {
                if (const std::optional<TVector2D> x = CrossSegments(s1, s2, vec(path[i - 1]), vec(path[i]))) {
                    crossed = i;
                    at = *x;
                }
            }
            if (out.empty())
                out.push_back(path[pos - 1]);
            if (crossed > 0) {
                const IntPoint x(Round(at.X), Round(at.Y));
                out.push_back(x);
                path[crossed - 1] = x;
                pos = crossed;
            } else {
                out.push_back(path[pos]);
                ++pos;
            }
        }
        if (out.size() < 2)
            out.clear();
        path = std::move(out);
    }
}
