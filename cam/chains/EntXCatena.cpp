#include "cam/chains/EntXCatena.h"

#include "cam/chains/Catena.h"
#include "cam/chains/ChainContext.h"
#include "core/entities/Arco2D.h"
#include "core/entities/BSpline2D.h"
#include "core/entities/Bitmap2D.h"
#include "core/entities/Block2D.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Container2D.h"
#include "core/entities/Frame2D.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/Punto2D.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/Matrix4.h"
#include "core/geometry/Tolerance.h"
#include "core/model/CADSysException.h"
#include "core/model/GraphicObjList.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>
#include <utility>

namespace {

TVector2D Mapped(const TObject2D& entity, const TPoint2D& p)
{
    const TPoint2D q = entity.GetModelTransform().TransformPoint2D(p);
    return TVector2D{q.X, q.Y};
}

TVector2D ControlPoint(const TPrimitive2D& entity, int index)
{
    return Mapped(entity, entity.Points().Get(index));
}

// The first and last profile points (drawing coordinates); false when the
// outline has none.
bool ProfileEnds(TOutline2D& outline, TVector2D& first, TVector2D& last)
{
    TProfilePointsUse use(outline);
    const TPointsSet2D& points = outline.ProfilePoints();
    if (points.Count() < 1)
        return false;
    first = Mapped(outline, points.Get(0));
    last = Mapped(outline, points.Get(points.Count() - 1));
    return true;
}

void AddLine(TCatena& chain, const TVector2D& p)
{
    chain.AddVertex(TAVertice::CreateAt(p, 0));
}

void AddArc(TCatena& chain, int kind, const TVector2D& end, const TVector2D& centre)
{
    chain.AddVertex(TAVertice::CreateFull(kind, end, centre, 0));
}

bool Touches(const TVector2D& a, const TVector2D& b, double tol)
{
    return std::fabs(a.X - b.X) <= tol && std::fabs(a.Y - b.Y) <= tol;
}

bool VisibleOnVisibleLayer(TQV_01Cmp2D& document, const TObject2D& object)
{
    return object.Visible() && document.Layers().GetLayer(object.Layer()).Visible();
}

// Finds, for the end point of a run, the first element in list order whose
// start or end point lies within the chain tolerance. The elements are
// indexed by grid cells at least as wide as the tolerance, so a match lies
// in one of the nine cells around the end point; list order is kept as a
// rank, taken elements are dropped from the cells as they are met.
class TEndPointIndex {
public:
    TEndPointIndex(const std::vector<std::unique_ptr<TEntXCatena>>& items, size_t first, double tol) : m_Tol(tol)
    {
        double extent = 0.0;
        size_t measured = 0;
        for (size_t i = first; i < items.size(); ++i) {
            for (const TVector2D* p : {&items[i]->StartPoint, &items[i]->EndPoint})
                if (std::isfinite(p->X) && std::isfinite(p->Y))
                    extent = std::max({extent, std::fabs(p->X), std::fabs(p->Y)});
            ++measured;
        }
        const double count = static_cast<double>(std::max<size_t>(measured, 1));
        // About one element a cell for spread-out drawings; never narrower
        // than the tolerance, nor so narrow that the cell numbers overflow.
        m_Cell = std::max({tol * (1.0 + 1e-9), 2.0 * extent / std::sqrt(count), extent * 1e-9, 1e-12});
        m_Taken.assign(items.size(), 0);
        m_Cells.reserve(2 * measured);
        for (size_t i = first; i < items.size(); ++i) {
            Insert(items[i]->StartPoint, static_cast<int32_t>(i));
            Insert(items[i]->EndPoint, static_cast<int32_t>(i));
        }
    }

    void Take(size_t index) { m_Taken[index] = 1; }

    // The lowest-ranked element not taken that touches p: -1 when none.
    int32_t FirstTouching(const TVector2D& p)
    {
        if (!std::isfinite(p.X) || !std::isfinite(p.Y))
            return -1;
        const int64_t cx = CellOf(p.X);
        const int64_t cy = CellOf(p.Y);
        int32_t best = -1;
        for (int64_t dx = -1; dx <= 1; ++dx) {
            for (int64_t dy = -1; dy <= 1; ++dy) {
                auto found = m_Cells.find(Key(cx + dx, cy + dy));
                if (found == m_Cells.end())
                    continue;
                std::vector<TEntry>& cell = found->second;
                for (size_t k = 0; k < cell.size();) {
                    const TEntry& e = cell[k];
                    if (m_Taken[static_cast<size_t>(e.Index)]) {
                        cell[k] = cell.back();
                        cell.pop_back();
                        continue;
                    }
                    ++k;
                    if ((best < 0 || e.Index < best) && Touches(e.Point, p, m_Tol))
                        best = e.Index;
                }
            }
        }
        return best;
    }

private:
    static constexpr int64_t kMaxCell = int64_t{1} << 30;

    int64_t CellOf(double v) const
    {
        return static_cast<int64_t>(std::clamp(std::floor(v / m_Cell), double(-kMaxCell), double(kMaxCell)));
    }
    static uint64_t Key(int64_t x, int64_t y)
    {
        return (static_cast<uint64_t>(x + 2 * kMaxCell) << 32) ^ static_cast<uint64_t>(y + 2 * kMaxCell);
    }
    void Insert(const TVector2D& p, int32_t index)
    {
        if (std::isfinite(p.X) && std::isfinite(p.Y))
            m_Cells[Key(CellOf(p.X), CellOf(p.Y))].push_back(TEntry{index, p});
    }

    double m_Tol;
    double m_Cell = 1.0;
    // Each end point of an element, with the element's rank.
    struct TEntry {
        int32_t Index;
        TVector2D Point;
    };
    std::unordered_map<uint64_t, std::vector<TEntry>> m_Cells;
    std::vector<uint8_t> m_Taken;
};

// Grows a run from items[head], which the index no longer offers: the
// first element (in list order) whose start, else whose end, touches the
// run's last end point follows it (an end-point match turns it round). A
// head without any follower is tried once the other way round, then left as
// it was. Returns the run's indices in order.
std::vector<size_t> GrowRun(std::vector<std::unique_ptr<TEntXCatena>>& items, TEndPointIndex& index, size_t head,
                            double tol)
{
    std::vector<size_t> run{head};
    int retry = 0;
    while (true) {
        const TVector2D end = items[run.back()]->EndPoint;
        const int32_t found = index.FirstTouching(end);
        if (found >= 0) {
            TEntXCatena& next = *items[static_cast<size_t>(found)];
            if (!Touches(next.StartPoint, end, tol))
                next.Flip();
            index.Take(static_cast<size_t>(found));
            run.push_back(static_cast<size_t>(found));
            continue;
        }
        if (run.size() > 1)
            break;
        items[head]->Flip();
        if (++retry == 2)
            break;
    }
    return run;
}

} // namespace

// ---- entity records ---------------------------------------------------------

TEntXCatena::TEntXCatena(TObject2D& entity)
{
    try {
        if (auto* line = dynamic_cast<TLine2D*>(&entity)) {
            if (line->Points().Count() < 2)
                return;
            StartPoint = ControlPoint(*line, 0);
            EndPoint = ControlPoint(*line, 1);
        } else if (auto* frame = dynamic_cast<TFrame2D*>(&entity)) {
            if (frame->Points().Count() < 2)
                return;
            StartPoint = EndPoint = ControlPoint(*frame, 0);
        } else if (auto* arc = dynamic_cast<TArco2D*>(&entity)) {
            if (arc->Points().Count() < 4)
                return;
            const TArcInfo2D info = arc->GetArcInfo();
            StartPoint = info.StartPoint;
            EndPoint = info.EndPoint;
        } else if (auto* circle = dynamic_cast<TCerchio2D*>(&entity)) {
            if (circle->Points().Count() < 2)
                return;
            TPoint2D centre;
            double radius = 0.0;
            circle->GetCircle(centre, radius);
            StartPoint = EndPoint = Mapped(*circle, TPoint2D{centre.X + radius, centre.Y, 1.0});
        } else if (auto* polyline = dynamic_cast<TPolyline2D*>(&entity)) {
            if (polyline->Points().Count() < 1)
                return;
            StartPoint = ControlPoint(*polyline, 0);
            EndPoint = ControlPoint(*polyline, polyline->Points().Count() - 1);
        } else if (auto* curve = dynamic_cast<TCurve2D*>(&entity)) {
            if (!ProfileEnds(*curve, StartPoint, EndPoint))
                return;
        } else {
            return;
        }
    } catch (const ECADSysException&) {
        // An outline that cannot be read (a damaged curve): not chainable.
        return;
    }
    EntityID = entity.ID();
    Entity = &entity;
}

void TEntXCatena::Flip()
{
    Reversed = Reversed ? 0 : 1;
    std::swap(StartPoint, EndPoint);
}

// ---- runs -------------------------------------------------------------------

// Grows a run from element 0: the first later element (in list order) whose
// start, else whose end, touches the run's last end point follows it (an
// end-point match turns it round). An element 0 without any follower is
// tried once the other way round, then left as it was. A run grows forward
// only: elements that touch the start of element 0 wait for a later run.
int32_t TListEntXCatena::OrderRun()
{
    const size_t n = Items.size();
    if (n < 2)
        return 1;
    TEndPointIndex index(Items, 1, ChainTol());
    const std::vector<size_t> run = GrowRun(Items, index, 0, ChainTol());
    // Run members first in run order, the rest in their old order.
    std::vector<uint8_t> inRun(n, 0);
    for (size_t i : run)
        inRun[i] = 1;
    std::vector<std::unique_ptr<TEntXCatena>> ordered;
    ordered.reserve(n);
    for (size_t i : run)
        ordered.push_back(std::move(Items[i]));
    for (size_t i = 0; i < n; ++i)
        if (!inRun[i])
            ordered.push_back(std::move(Items[i]));
    Items = std::move(ordered);
    return static_cast<int32_t>(run.size());
}

void TListEntXCatena::KeepRunOfFirst()
{
    if (Items.empty())
        return;
    Items.resize(static_cast<size_t>(OrderRun()));
}

void TListEntXCatena::MakeChain(TQV_01Cmp2D& document, TListaCatene& chainList)
{
    auto chain = std::make_unique<TCatena>();
    chain->BuildFromEntities(document, *this);
    if (chain->Closed && chain->IsClockwise())
        chain->Reverse();
    chain->Reversed = 0;
    chainList.AddChain(std::move(chain));
}

void TListEntXCatena::BuildAllRuns(TQV_01Cmp2D& document, TListaCatene& chainList)
{
    // The runs of OrderRun, one after the other, on one index of the whole
    // list: the first element not yet taken starts the next run.
    const size_t n = Items.size();
    TEndPointIndex index(Items, 0, ChainTol());
    size_t head = 0;
    while (true) {
        while (head < n && !Items[head])
            ++head;
        if (head == n)
            break;
        index.Take(head);
        TListEntXCatena run;
        for (size_t i : GrowRun(Items, index, head, ChainTol()))
            run.Items.push_back(std::move(Items[i]));
        run.MakeChain(document, chainList);
    }
    Items.clear();
}

void TListEntXCatena::CollectCandidates(TQV_01Cmp2D& document)
{
    if (Items.empty())
        return;
    const int32_t picked = Items[0]->EntityID;
    TGraphicObjIterator walk = document.ObjectsIterator();
    for (TGraphicObject* object = walk.First(); object; object = walk.Next()) {
        auto* entity = dynamic_cast<TObject2D*>(object);
        if (!entity || !VisibleOnVisibleLayer(document, *entity) || entity->ID() == picked)
            continue;
        if (dynamic_cast<TPunto2D*>(entity) || dynamic_cast<TBitmap2D*>(entity) ||
            dynamic_cast<TContainer2D*>(entity) || dynamic_cast<TBlock2D*>(entity))
            continue;
        auto record = std::make_unique<TEntXCatena>(*entity);
        if (record->EntityID != -1)
            Items.push_back(std::move(record));
    }
}

std::unique_ptr<TListEntXCatena> TListEntXCatena::TakeLayer(int layer, int& nextLayer)
{
    auto taken = std::make_unique<TListEntXCatena>();
    std::vector<std::unique_ptr<TEntXCatena>> rest;
    nextLayer = 9999;
    for (auto& record : Items) {
        const int recordLayer = record->Entity ? record->Entity->Layer() : layer;
        if (recordLayer == layer) {
            taken->Items.push_back(std::move(record));
        } else {
            nextLayer = std::min(nextLayer, recordLayer);
            rest.push_back(std::move(record));
        }
    }
    Items = std::move(rest);
    return taken;
}

// ---- converters -------------------------------------------------------------

void LineToChain(const TLine2D& line, TCatena& chain, bool reversed)
{
    AddLine(chain, ControlPoint(line, reversed ? 0 : 1));
}

void FrameToChain(const TFrame2D& frame, TCatena& chain)
{
    const TPoint2D a = frame.Points().Get(0);
    const TPoint2D b = frame.Points().Get(1);
    for (const TPoint2D& p : {TPoint2D{b.X, a.Y, 1.0}, TPoint2D{b.X, b.Y, 1.0}, TPoint2D{a.X, b.Y, 1.0},
                              TPoint2D{a.X, a.Y, 1.0}})
        AddLine(chain, Mapped(frame, p));
}

void ArcToChain(const TArco2D& arc, TCatena& chain, bool reversed)
{
    const TArcInfo2D info = arc.GetArcInfo();
    const TVector2D& o = info.Centre;
    if (IsSameValue(info.Sweep, 2.0 * std::numbers::pi)) {
        // A full turn in two halves about the point opposite the far end.
        const TVector2D& far = reversed ? info.StartPoint : info.EndPoint;
        const TVector2D opposite{2.0 * o.X - far.X, 2.0 * o.Y - far.Y};
        const int kind = reversed ? -1 : 1;
        AddArc(chain, kind, opposite, o);
        AddArc(chain, kind, far, o);
        return;
    }
    if (reversed)
        AddArc(chain, -1, info.StartPoint, o);
    else
        AddArc(chain, 1, info.EndPoint, o);
}

void CircleToChain(const TCerchio2D& circle, TCatena& chain)
{
    TPoint2D c;
    double r = 0.0;
    circle.GetCircle(c, r);
    const TVector2D o = Mapped(circle, c);
    AddArc(chain, 1, Mapped(circle, TPoint2D{c.X - r, c.Y, 1.0}), o);
    AddArc(chain, 1, Mapped(circle, TPoint2D{c.X + r, c.Y, 1.0}), o);
}

void PolylineToChain(TOutline2D& outline, TCatena& chain, bool reversed)
{
    TProfilePointsUse use(outline);
    const TPointsSet2D& points = outline.ProfilePoints();
    const int n = points.Count();
    if (n < 2)
        return;
    if (reversed) {
        for (int i = n - 2; i >= 0; --i)
            AddLine(chain, Mapped(outline, points.Get(i)));
    } else {
        for (int i = 1; i < n; ++i)
            AddLine(chain, Mapped(outline, points.Get(i)));
    }
}

void CurveToChain(TOutline2D& curve, TCatena& chain, bool reversed)
{
    PolylineToChain(curve, chain, reversed);
}

void PointToChain(const TPunto2D& point, TCatena& chain)
{
    if (point.Points().Count() < 1)
        return;
    AddLine(chain, ControlPoint(point, 0));
}

namespace {

// The centre of a drilling entity when the filter takes it: r is the
// distance of its first two control points in drawing coordinates.
void CentreToChain(const TPrimitive2D& entity, TCatena& chain, const TDrillFilter& filter)
{
    if (entity.Points().Count() < 2)
        return;
    const TVector2D centre = ControlPoint(entity, 0);
    if (filter.Enabled) {
        const TVector2D onCircle = ControlPoint(entity, 1);
        const double r = std::hypot(onCircle.X - centre.X, onCircle.Y - centre.Y);
        if (std::fabs(2.0 * r - filter.Diameter) > filter.Tolerance)
            return;
    }
    AddLine(chain, centre);
}

} // namespace

void ArcCentreToChain(const TArco2D& arc, TCatena& chain, const TDrillFilter& filter)
{
    if (arc.Points().Count() < 4)
        return;
    const TArcInfo2D info = arc.GetArcInfo();
    if (!IsSameValue(info.StartAngle, info.EndAngle))
        return;
    CentreToChain(arc, chain, filter);
}

void CircleCentreToChain(const TCerchio2D& circle, TCatena& chain, const TDrillFilter& filter)
{
    CentreToChain(circle, chain, filter);
}

// ---- chains -----------------------------------------------------------------

void TCatena::BuildFromEntities(TQV_01Cmp2D& document, const TListEntXCatena& entities)
{
    if (entities.Items.empty())
        return;
    AddVertex(TAVertice::CreateAt(entities.Items.front()->StartPoint, 0));
    for (const auto& record : entities.Items) {
        TObject2D* entity = record->Entity ? record->Entity : document.GetObject(record->EntityID);
        if (!entity)
            continue;
        const bool reversed = record->Reversed != 0;
        if (auto* line = dynamic_cast<TLine2D*>(entity))
            LineToChain(*line, *this, reversed);
        else if (auto* frame = dynamic_cast<TFrame2D*>(entity))
            FrameToChain(*frame, *this);
        else if (auto* arc = dynamic_cast<TArco2D*>(entity))
            ArcToChain(*arc, *this, reversed);
        else if (auto* circle = dynamic_cast<TCerchio2D*>(entity))
            CircleToChain(*circle, *this);
        else if (auto* polyline = dynamic_cast<TPolyline2D*>(entity))
            PolylineToChain(*polyline, *this, reversed);
        else if (auto* curve = dynamic_cast<TCurve2D*>(entity))
            CurveToChain(*curve, *this, reversed);
    }
    Closed = IsSameVector2DTol(Vertices.front().EndPoint, Vertices.back().EndPoint, ChainTol()) ? 1 : 0;
    ID = GestioneID().NextID();
}

TTuttoInCatena::TTuttoInCatena(TQV_01Cmp2D& document, TListaCatene& chainList)
{
    TListEntXCatena records;
    int lowest = 99999;
    {
        TGraphicObjIterator walk = document.ObjectsIterator();
        for (TGraphicObject* object = walk.First(); object; object = walk.Next()) {
            auto* entity = dynamic_cast<TObject2D*>(object);
            if (!entity || !VisibleOnVisibleLayer(document, *entity))
                continue;
            auto record = std::make_unique<TEntXCatena>(*entity);
            if (record->EntityID == -1)
                continue;
            lowest = std::min(lowest, static_cast<int>(entity->Layer()));
            records.Items.push_back(std::move(record));
        }
    }
    const bool layerByLayer = ChainContext().LayerByLayer();
    while (!records.Items.empty()) {
        if (layerByLayer) {
            int next = 9999;
            std::unique_ptr<TListEntXCatena> layer = records.TakeLayer(lowest, next);
            layer->BuildAllRuns(document, chainList);
            lowest = next;
        } else {
            records.BuildAllRuns(document, chainList);
        }
    }
    chainList.Redraw(false);
}

void TTuttoInCatena::CreatePoints(TQV_01Cmp2D& document, TListaCatene& chainList, const TDrillFilter& filter,
                                  uint8_t flags)
{
    auto chain = std::make_unique<TCatena>();
    {
        TGraphicObjIterator walk = document.ObjectsIterator();
        for (TGraphicObject* object = walk.First(); object; object = walk.Next()) {
            auto* entity = dynamic_cast<TObject2D*>(object);
            if (!entity || !VisibleOnVisibleLayer(document, *entity))
                continue;
            if (auto* point = dynamic_cast<TPunto2D*>(entity)) {
                if (flags == kChainPoints)
                    PointToChain(*point, *chain);
            } else if (auto* arc = dynamic_cast<TArco2D*>(entity)) {
                if (flags & kChainArcs)
                    ArcCentreToChain(*arc, *chain, filter);
            } else if (auto* circle = dynamic_cast<TCerchio2D*>(entity)) {
                if (flags & kChainCircles)
                    CircleCentreToChain(*circle, *chain, filter);
            }
        }
    }
    if (!chain->Vertices.empty())
        chainList.AddChain(std::move(chain));
    chainList.Redraw(true);
}
