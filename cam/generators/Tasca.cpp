#include "cam/generators/Tasca.h"

#include "cam/drop/DropPath.h"
#include "cam/params/ParametriOperazione.h"
#include "cam/curves/Span.h"
#include "core/geometry/Tolerance.h"
#include "core/model/CADSysException.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Points on a band line, and strips that follow each other.
constexpr double kBandTol = 0.002;

TVector2D Turned(const TVector2D& p, double s, double c)
{
    return {p.X * c - p.Y * s, p.X * s + p.Y * c};
}

void TurnVertex(TAVertice& v, double s, double c)
{
    v.EndPoint = Turned(v.EndPoint, s, c);
    v.Centre = Turned(v.Centre, s, c);
}

bool SamePoint(const TVector2D& a, const TVector2D& b, double tol)
{
    return std::fabs(a.X - b.X) < tol && std::fabs(a.Y - b.Y) < tol;
}

} // namespace

void TTasca::SetAngle(double degrees)
{
    const double theta = (std::isfinite(degrees) ? degrees : 0.0) * std::numbers::pi / 180.0;
    m_SinMinus = std::sin(-theta);
    m_CosMinus = std::cos(-theta);
    m_Sin = std::sin(theta);
    m_Cos = std::cos(theta);
}

bool TTasca::HatchArea(TArea& area, double step)
{
    if (area.Curves.empty())
        return true;
    // Only the 2D strategies checked the step before; the band count
    // divides by it.
    if (!std::isfinite(step) || step <= SystemTol())
        return false;
    for (auto& curve : area.Curves) {
        for (TAVertice& v : curve->Vertices)
            TurnVertex(v, m_SinMinus, m_CosMinus);
    }
    TABox box;
    area.ExtendBox(box);
    if (!box.Valid)
        return true;
    const double lo = box.MinX - 1.0, hi = box.MaxX + 1.0;
    const double height = box.MaxY - box.MinY;
    const double bands = std::trunc(height / step + 1.0);
    if (!(bands <= kMaxRasterLines))
        throw ECADSysException("TTasca.HatchArea: the step-over is too small for the area.");
    const int n = static_cast<int>(bands);
    double y = box.MinY;
    m_Alternate = true;
    m_Strips.clear();
    for (int k = 0; k < n; ++k) {
        const double y0 = y;
        y += step;
        TArea band(AreaTolerance);
        band.FitArcsOnReturn = area.FitArcsOnReturn;
        auto rect = std::make_unique<TACurva>();
        for (const TVector2D& p : {TVector2D{lo, y0}, TVector2D{lo, y}, TVector2D{hi, y}, TVector2D{hi, y0},
                                   TVector2D{lo, y0}})
            rect->AddVertex(TAVertice::CreateAt(p, 0));
        rect->Closed = 1;
        band.AddCurve(std::move(rect));
        band.Intersection(area);
        for (auto& curve : band.Curves)
            ExtractBandPath(*curve, y, y0);
        m_Alternate = !m_Alternate;
        GroupStrips();
        if (Progress().StepProgress(n - 1, k))
            return false;
    }
    return true;
}

void TTasca::ExtractBandPath(TACurva& curve, double yTop, double yBottom)
{
    if (m_Alternate)
        curve.Reverse();
    const int n = curve.Count();
    if (n < 2)
        return;
    auto onLower = [&](const TVector2D& p) { return std::fabs(p.Y - yBottom) < kBandTol; };
    auto onUpper = [&](const TVector2D& p) { return std::fabs(p.Y - yTop) < kBandTol; };
    auto lowerLine = [&](int s) {
        return curve.Vertices[size_t(s)].Kind == 0 && onLower(curve.Vertices[size_t(s)].EndPoint)
               && onLower(curve.Vertices[size_t(s - 1)].EndPoint);
    };
    // Segment s runs from vertex s - 1 to vertex s. A closed curve is walked
    // from the segment that begins its cut along the lower line, wherever the
    // clipping library started it, so that the cut is whole and is followed
    // by the climb; of several pieces of the lower line (an island dipping
    // into the band) the walk starts at the one its travel meets first.
    int first = 1;
    const int segments = n - 1;
    if (curve.Closed) {
        double earliest = 0.0;
        bool found = false;
        for (int s = 1; s <= segments; ++s) {
            const int before = s == 1 ? segments : s - 1;
            if (!lowerLine(s) || lowerLine(before))
                continue;
            const TVector2D& a = curve.Vertices[size_t(s - 1)].EndPoint;
            const TVector2D& b = curve.Vertices[size_t(s)].EndPoint;
            const double along = b.X >= a.X ? a.X : -a.X;
            if (!found || along < earliest) {
                earliest = along;
                first = s;
                found = true;
            }
        }
    }
    auto strip = std::make_unique<TACurva>();
    bool collecting = false;
    for (int k = 0; k < segments; ++k) {
        const int s = (first - 1 + k) % segments + 1;
        const TVector2D& p = curve.Vertices[size_t(s - 1)].EndPoint;
        const TAVertice& v = curve.Vertices[size_t(s)];
        TAVertice turned = v;
        TurnVertex(turned, m_Sin, m_Cos);
        if (onLower(v.EndPoint)) {
            if (collecting) {
                strip->AddVertex(turned);
            } else if (onLower(p) && v.Kind == 0) {
                collecting = true;
                strip->AddVertex(TAVertice::CreateAt(Turned(p, m_Sin, m_Cos), 0));
                strip->AddVertex(turned);
            }
        } else if (collecting) {
            strip->AddVertex(turned);
            if (onUpper(v.EndPoint))
                break;
        }
    }
    if (collecting)
        m_Strips.push_back(std::move(strip));
}

void TTasca::GroupStrips()
{
    std::vector<std::vector<std::unique_ptr<TACurva>>> groups;
    for (auto& strip : m_Strips) {
        const TVector2D start = strip->Vertices.front().EndPoint;
        auto joins = std::find_if(groups.begin(), groups.end(), [&](const auto& group) {
            return SamePoint(group.back()->Vertices.back().EndPoint, start, kBandTol);
        });
        if (joins != groups.end())
            joins->push_back(std::move(strip));
        else
            groups.emplace_back().push_back(std::move(strip));
    }
    m_Strips.clear();
    for (auto& group : groups) {
        for (auto& strip : group)
            m_Strips.push_back(std::move(strip));
    }
}

void TTasca::TakeStrips()
{
    for (auto& strip : m_Strips)
        m_Working.Add(std::move(strip));
    m_Strips.clear();
}

bool TTasca::HatchCurve(const TParametriOperazione& params, const TACurva& curve, TDropPath& path)
{
    SetAngle(params.Angle);
    TNcArea area;
    AddChainToArea(area, curve);
    const bool result = HatchArea(area, params.StepOverPercent);
    const double tol = SystemTol();
    bool started = false;
    TVector2D previous;
    for (const auto& strip : m_Strips) {
        for (const TAVertice& v : strip->Vertices) {
            if (!started) {
                previous = v.EndPoint;
                started = true;
            } else if (!SamePoint(previous, v.EndPoint, tol + 1e-12)) {
                path.AddLine(TLine(previous, 0.0f, v.EndPoint));
                previous = v.EndPoint;
            }
        }
    }
    m_Strips.clear();
    return result;
}

bool TTasca::HatchRectangle(const TParametriOperazione& params, TDropPath& path, const TVector2D& corner1,
                            const TVector2D& corner2)
{
    TACurva rectangle;
    for (const TVector2D& p : {corner1, TVector2D{corner2.X, corner1.Y}, corner2, TVector2D{corner1.X, corner2.Y}})
        rectangle.AddVertex(TAVertice::CreateAt(p, 0));
    return HatchCurve(params, rectangle, path);
}

bool TTasca::HatchFirstChain(const TParametriOperazione& params, const TListaDiCurve& chains, TDropPath& path)
{
    if (chains.Count() == 0)
        return false;
    return HatchCurve(params, chains[0], path);
}

std::function<bool(TDropPath&)> MakeChainRaster(const TParametriOperazione& params, const TListaDiCurve& chains,
                                                TUserBreak_ProgBar& progress)
{
    return [&params, &chains, &progress](TDropPath& path) {
        TTasca raster;
        raster.SetProgress(progress);
        return raster.HatchFirstChain(params, chains, path);
    };
}

bool TTasca::IsLinkInside(const TVector2D& from, const TVector2D& to, double halfWidth, const TArea& chainsArea)
{
    return !chainsArea.SlotLeaves(from, to, halfWidth);
}

std::unique_ptr<TACurva> TTasca::TakeNearestCurve(const TVector2D& p)
{
    double best = 999999.123456;
    size_t index = 0;
    for (size_t i = 0; i < m_Working.Items.size(); ++i) {
        const TACurva& curve = *m_Working.Items[i];
        if (curve.Count() == 0)
            continue;
        const TVector2D end = curve.NearestEnd(p);
        const double d = std::hypot(end.X - p.X, end.Y - p.Y);
        if (d < best) {
            best = d;
            index = i;
        }
    }
    if (m_Working.Items.empty())
        return nullptr;
    auto taken = std::move(m_Working.Items[index]);
    m_Working.Items.erase(m_Working.Items.begin() + static_cast<ptrdiff_t>(index));
    return taken;
}

void TTasca::Join(const TArea& chainsArea, double halfWidth, bool nearest)
{
    // Curves without vertices have no ends to join.
    std::erase_if(m_Working.Items, [](const auto& c) { return c->Count() == 0; });
    if (m_Working.Items.empty())
        return;
    std::vector<std::unique_ptr<TACurva>> runs;
    runs.push_back(std::move(m_Working.Items.front()));
    m_Working.Items.erase(m_Working.Items.begin());
    const int total = static_cast<int>(m_Working.Items.size());
    int done = 0;
    const double tol = SystemTol();
    while (!m_Working.Items.empty()) {
        TACurva& run = *runs.back();
        std::unique_ptr<TACurva> next;
        if (nearest) {
            next = TakeNearestCurve(run.Vertices.back().EndPoint);
        } else {
            next = std::move(m_Working.Items.front());
            m_Working.Items.erase(m_Working.Items.begin());
        }
        const TVector2D end = run.Vertices.back().EndPoint;
        const TVector2D start = next->Vertices.front().EndPoint;
        if (SamePoint(end, start, tol + 1e-12)) {
            run.Vertices.insert(run.Vertices.end(), next->Vertices.begin() + 1, next->Vertices.end());
            run.Closed = 0;
        } else if (IsLinkInside(end, start, halfWidth, chainsArea)) {
            run.Vertices.insert(run.Vertices.end(), next->Vertices.begin(), next->Vertices.end());
            run.Closed = 0;
        } else {
            runs.push_back(std::move(next));
        }
        ++done;
        if (nearest && Progress().StepProgress(total, done)) {
            m_Working.Items.clear();
            break;
        }
    }
    m_Working.Items = std::move(runs);
}

void TTasca::JoinNearest(const TArea& chainsArea, double halfWidth)
{
    Join(chainsArea, halfWidth, true);
}

void TTasca::JoinInOrder(const TArea& chainsArea, double halfWidth)
{
    Join(chainsArea, halfWidth, false);
}

bool TTasca::OffsetChainArea(const TListaDiCurve& chains, double distance)
{
    m_WorkArea = AreaFromChains(chains);
    m_WorkArea->OffsetClosed(-distance);
    return !m_WorkArea->Curves.empty();
}

bool TTasca::AddOffsetRing(const TListaDiCurve& chains, bool atFront, double distance)
{
    if (!OffsetChainArea(chains, distance)) {
        m_WorkArea.reset();
        return false;
    }
    for (auto& curve : m_WorkArea->Curves) {
        if (atFront)
            m_Working.Items.insert(m_Working.Items.begin(), std::move(curve));
        else
            m_Working.Items.push_back(std::move(curve));
    }
    m_WorkArea.reset();
    return true;
}

void TTasca::AddFinishPasses(const TListaDiCurve& chains)
{
    while (m_FinishLeft > 0) {
        --m_FinishLeft;
        AddOffsetRing(chains, false, FinishDistance());
    }
}
