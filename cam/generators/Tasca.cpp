#include "cam/generators/Tasca.h"

#include "cam/drop/DropPath.h"
#include "cam/ops/OpManager.h"
#include "cam/params/ParametriOperazione.h"
#include "core/settings/LangKeys.h"
#include "cam/curves/Span.h"
#include "core/geometry/Tolerance.h"
#include "core/model/CADSysException.h"
#include "core/model/UserNotifier.h"
#include "core/settings/Language.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

// The passes run along the offset walls. At the chain tolerance the chords
// of a round island lie inside it, so its offset comes nearer to it than the
// tool radius by about half the tolerance, and cutting the bands out of the
// area and fitting their arcs again strays as much once more. The pocket's
// areas work at a tenth of it while this lives; the tolerance of what comes
// after is put back.
class TFineTolerance {
public:
    TFineTolerance() : m_Saved(AreaTolerance) { AreaTolerance = 0.1 * m_Saved; }
    ~TFineTolerance() { AreaTolerance = m_Saved; }
    TFineTolerance(const TFineTolerance&) = delete;
    TFineTolerance& operator=(const TFineTolerance&) = delete;
    double Fine() const { return 0.1 * m_Saved; }

private:
    double m_Saved;
};

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
    // The last band reaches over the top and its strips go round their
    // pieces, so the top gets its pass at most a step above the one before,
    // also when the height is a whole number of steps.
    const double bands = std::max(1.0, std::ceil((height - kBandTol) / step));
    if (!(bands <= kMaxRasterLines))
        throw ECADSysException("TTasca.HatchArea: the step-over is too small for the area.");
    const int n = static_cast<int>(bands);
    const TFineTolerance tolerance;
    double y = box.MinY;
    m_Alternate = true;
    m_Strips.clear();
    for (int k = 0; k < n; ++k) {
        const double y0 = y;
        y += step;
        const bool last = k == n - 1;
        const double top = last ? std::max(y, box.MaxY + 1.0) : y;
        TArea band(tolerance.Fine());
        band.FitArcsOnReturn = area.FitArcsOnReturn;
        auto rect = std::make_unique<TACurva>();
        for (const TVector2D& p : {TVector2D{lo, y0}, TVector2D{lo, top}, TVector2D{hi, top}, TVector2D{hi, y0},
                                   TVector2D{lo, y0}})
            rect->AddVertex(TAVertice::CreateAt(p, 0));
        rect->Closed = 1;
        band.AddCurve(std::move(rect));
        band.Intersection(area);
        for (auto& curve : band.Curves)
            ExtractBandPath(*curve, last ? std::numeric_limits<double>::infinity() : y, y0);
        m_Alternate = !m_Alternate;
        GroupStrips();
        if (Progress().StepProgress(n - 1, k))
            return false;
    }
    return true;
}

std::vector<TAVertice> TTasca::BandPieceWalk(const TACurva& piece, double yBottom) const
{
    // Segment s runs from vertex s - 1 to vertex s; a closed piece repeats
    // its first point at the end, so the segments go round it.
    const int segments = piece.Count() - 1;
    const std::vector<TAVertice>& v = piece.Vertices;
    auto from = [&](int s) -> const TVector2D& { return v[size_t(s - 1)].EndPoint; };
    auto walkFrom = [&](int first, const TVector2D& start, const TAVertice* split) {
        std::vector<TAVertice> walk{TAVertice::CreateAt(start, 0)};
        if (split) {
            TAVertice rest = v[size_t(first)];
            walk.push_back(rest);
            for (int k = 1; k < segments; ++k)
                walk.push_back(v[size_t((first - 1 + k) % segments + 1)]);
            walk.push_back(*split);
            return walk;
        }
        for (int k = 0; k < segments; ++k)
            walk.push_back(v[size_t((first - 1 + k) % segments + 1)]);
        return walk;
    };
    if (!piece.Closed || segments < 1)
        return walkFrom(1, from(1), nullptr);

    // The lowest point of the piece: a vertex, or the bottom of an arc.
    double lowest = std::numeric_limits<double>::infinity();
    int lowSegment = 1;
    bool inArc = false;
    TVector2D bottom;
    for (int s = 1; s <= segments; ++s) {
        const TAVertice& e = v[size_t(s)];
        if (e.EndPoint.Y < lowest) {
            lowest = e.EndPoint.Y;
            lowSegment = s % segments + 1; // the walk starts after it
            inArc = false;
        }
        if (e.Kind == 0)
            continue;
        const TVector2D& a = from(s);
        const double radius = std::hypot(a.X - e.Centre.X, a.Y - e.Centre.Y);
        const double start = std::atan2(a.Y - e.Centre.Y, a.X - e.Centre.X);
        const double end = std::atan2(e.EndPoint.Y - e.Centre.Y, e.EndPoint.X - e.Centre.X);
        auto turn = [](double t) {
            t = std::fmod(t, 2.0 * std::numbers::pi);
            return t < 0 ? t + 2.0 * std::numbers::pi : t;
        };
        const double down = -0.5 * std::numbers::pi;
        double sweep = e.Kind > 0 ? turn(end - start) : turn(start - end);
        if (sweep == 0.0)
            sweep = 2.0 * std::numbers::pi;
        const double toBottom = e.Kind > 0 ? turn(down - start) : turn(start - down);
        const double y = e.Centre.Y - radius;
        if (toBottom < sweep && y < lowest - kBandTol) {
            lowest = y;
            lowSegment = s;
            inArc = true;
            bottom = {e.Centre.X, y};
        }
    }
    auto onLevel = [&](const TVector2D& p, double level) { return std::fabs(p.Y - level) < kBandTol; };
    // A straight cut along the band's lower line, or else along the piece's
    // own lowest level: of several pieces of it (an island dipping into the
    // band) the walk starts at the one its travel meets first.
    for (double level : {yBottom, lowest}) {
        double earliest = 0.0;
        int first = 0;
        for (int s = 1; s <= segments; ++s) {
            const int before = s == 1 ? segments : s - 1;
            auto flat = [&](int t) {
                return v[size_t(t)].Kind == 0 && onLevel(v[size_t(t)].EndPoint, level) && onLevel(from(t), level);
            };
            if (!flat(s) || flat(before))
                continue;
            const TVector2D& a = from(s);
            const double along = v[size_t(s)].EndPoint.X >= a.X ? a.X : -a.X;
            if (first == 0 || along < earliest) {
                earliest = along;
                first = s;
            }
        }
        if (first != 0)
            return walkFrom(first, from(first), nullptr);
    }
    if (!inArc)
        return walkFrom(lowSegment, from(lowSegment), nullptr);
    // The bottom of an arc: the walk starts there and ends with the arc's
    // first part.
    TAVertice firstPart = v[size_t(lowSegment)];
    firstPart.EndPoint = bottom;
    return walkFrom(lowSegment, bottom, &firstPart);
}

void TTasca::ExtractBandPath(TACurva& curve, double yTop, double yBottom)
{
    if (m_Alternate)
        curve.Reverse();
    if (curve.Count() < 2)
        return;
    auto onUpper = [&](const TVector2D& p) { return std::fabs(p.Y - yTop) < kBandTol; };
    // A sliver along the upper line is the next band's cut.
    if (std::all_of(curve.Vertices.begin(), curve.Vertices.end(),
                    [&](const TAVertice& v) { return onUpper(v.EndPoint); }))
        return;
    // Every piece gets its pass: from the start of its bottom (a cut along
    // the lower line, or the lowest point of an arc, a tip or a flat that
    // lies above the line) along its boundary up the wall to the upper line,
    // where the next band's cut begins; round the whole piece when it does
    // not reach the upper line.
    const std::vector<TAVertice> walk = BandPieceWalk(curve, yBottom);
    auto strip = std::make_unique<TACurva>();
    strip->AddVertex(TAVertice::CreateAt(Turned(walk.front().EndPoint, m_Sin, m_Cos), 0));
    for (size_t k = 1; k < walk.size(); ++k) {
        TAVertice turned = walk[k];
        TurnVertex(turned, m_Sin, m_Cos);
        strip->AddVertex(turned);
        if (onUpper(walk[k].EndPoint))
            break;
    }
    if (strip->Count() > 1)
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

bool TTasca::HatchFirstChain(const TOpManagerField& operation, TDropPath& path)
{
    return HatchFirstChain(*operation.Parameters, operation.Chains, path);
}

std::function<bool(TDropPath&)> MakeChainRaster(const TOpManagerField& operation, TUserBreak_ProgBar& progress)
{
    return MakeChainRaster(*operation.Parameters, operation.Chains, progress);
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
    if (m_RingLoop) {
        // One offset per ring of the ring strategy: at the chain tolerance,
        // as fast as it goes and with its arcs fitted as far as they reach.
        m_WorkArea->OffsetClosed(-distance);
        return !m_WorkArea->Curves.empty();
    }
    const TFineTolerance tolerance;
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

bool TTasca::StartPocket(double& step)
{
    BeginRun();
    const TParametriOperazione& p = Params();
    Progress().StartProgress();
    HideChainDisplay();
    step = 2.0 * p.CompOffset * p.StepOverPercent / 100.0;
    // A step of 0 would never leave the pocket, a negative one would grow
    // the rings for ever.
    if (step > SystemTol())
        return true;
    Progress().EndProgress();
    return false;
}

bool TTasca::EndPocket(bool failed)
{
    FreeNestingGroups();
    m_Strips.clear();
    m_Working.ClearCurves();
    m_LinkArea.reset();
    // A run broken off in its ring loop leaves no part of the pocket behind.
    return failed ? Fail() : EndRun();
}

void TTasca::CollectClosedChains(const TNestingGroup& group, TListaDiCurve& copies, TListaCatene& collection)
{
    bool hasOpen = false;
    collection.OrientByNesting(group, copies, hasOpen);
    if (!hasOpen)
        return;
    // Open chains bound nothing: they go, whatever their place in the
    // group, and the closed ones are pocketed. The user hears of it once.
    std::erase_if(collection.Items, [](const auto& chain) { return !chain->Closed; });
    if (!m_OpenChainShown)
        UserNotifier().ShowMessage(EMessageKind::Error, LangText(LangKeys::String::PocketOpenChain),
                                   LangText(LangKeys::String::ErrorCaption));
    m_OpenChainShown = true;
}

void TTasca::FinishGroup(TListaCatene& collection)
{
    TParametriOperazione& p = *m_Operation->Parameters;
    TListaDiCurve3d runs;
    CurvesFromMachiningCurves(runs, m_Working);
    m_Working.ClearCurves();
    AddEntryMoves(runs);
    AddFinishPasses(collection);
    if (DirectionReversed())
        m_Working.ReverseAll();
    {
        // Reversed rings take their leads on the other side, as the
        // contour's do: else they would come in through the wall.
        struct TLeadSide {
            TParametriOperazione& Params;
            int32_t Saved;
            ~TLeadSide() { Params.CompSide = Saved; }
        } side{p, p.CompSide};
        if (DirectionReversed())
            p.CompSide = -p.CompSide;
        LinkCurves(runs, m_Working, *m_LinkArea, p);
    }
    m_LinkArea.reset();
    AddDepthLevels(runs);
}

bool TTasca::CalculateOffset()
{
    double step;
    if (!StartPocket(step))
        return false;
    const TParametriOperazione& p = Params();
    auto copies = ChainCopies();
    BuildNestingGroups(*copies);
    int32_t rings = 0;
    bool broken = false;
    for (const TNestingGroup& group : m_Groups) {
        TListaCatene collection;
        m_Working.ClearCurves();
        CollectClosedChains(group, *copies, collection);
        if (collection.Count() == 0)
            continue;
        ResetPassCounters();
        double x = FinishDistance();
        bool more;
        m_RingLoop = true;
        do {
            more = AddOffsetRing(collection, p.SpiralInOut != 0, x);
            x += step;
            ++rings;
            broken = Progress().StepProgress(100, rings);
        } while (!broken && more);
        m_RingLoop = false;
        if (broken)
            break;
        if (DirectionReversed())
            m_Working.ReverseAll();
        m_LinkArea = AreaFromChains(collection);
        // A break here ends only the joining: the rings joined so far are cut.
        JoinNearest(*m_LinkArea, FinishDistance());
        FinishGroup(collection);
    }
    return EndPocket(broken);
}

bool TTasca::CalculateParallel()
{
    double step;
    if (!StartPocket(step))
        return false;
    const TParametriOperazione& p = Params();
    SetAngle(p.Angle);
    m_Alternate = true;
    auto copies = ChainCopies();
    BuildNestingGroups(*copies);
    for (const TNestingGroup& group : m_Groups) {
        TListaCatene collection;
        m_Working.ClearCurves();
        CollectClosedChains(group, *copies, collection);
        if (collection.Count() == 0)
            continue;
        ResetPassCounters();
        if (!OffsetChainArea(collection, FinishDistance())) {
            m_WorkArea.reset();
            continue;
        }
        // A break ends the bands of this group only: the strips made so
        // far are cut and the next group follows.
        HatchArea(*m_WorkArea, step);
        m_WorkArea.reset();
        TakeStrips();
        m_LinkArea = AreaFromChains(collection);
        JoinInOrder(*m_LinkArea, FinishDistance());
        FinishGroup(collection);
    }
    return EndPocket(false);
}
