#include "cad/edit/MyRiducePoly.h"

#include "cad/edit/BreakIDs.h"
#include "cad/edit/EntityEdits.h"
#include "cad/panel/InfoEditModel.h"
#include "cad/program/QV_00Prog.h"
#include "cad/states/QV_50SelectObjects.h"
#include "cad/states/QV_51WinSelectObjects.h"
#include "core/entities/Curve2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/PolylineConversions.h"
#include "core/model/QV_01Cmp2D.h"

#include <utility>

namespace {

double SquaredDistance(const TVector2D& a, const TVector2D& b)
{
    const double dx = a.X - b.X;
    const double dy = a.Y - b.Y;
    return dx * dx + dy * dy;
}

} // namespace

std::vector<TVector2D> SimplifyPoints(std::span<const TVector2D> points, double tolerance)
{
    const size_t n = points.size();
    if (n < 3)
        return {points.begin(), points.end()};
    const double t2 = tolerance * tolerance;
    std::vector<uint8_t> keep(n, 0);
    keep.front() = 1;
    keep.back() = 1;
    // The ranges still to split; a stack instead of recursion, since a
    // polyline of 65,535 points may need as many levels.
    std::vector<std::pair<size_t, size_t>> ranges{{0, n - 1}};
    while (!ranges.empty()) {
        const auto [k, j] = ranges.back();
        ranges.pop_back();
        if (k + 1 >= j)
            continue;
        const TVector2D& p0 = points[k];
        const TVector2D& p1 = points[j];
        const TVector2D u = SubtractVectors2D(p1, p0);
        const double cu = DotProduct2D(u, u);
        double maxd2 = 0.0;
        size_t maxi = 0;
        for (size_t i = k + 1; i < j; ++i) {
            const double cw = DotProduct2D(SubtractVectors2D(points[i], p0), u);
            double d2;
            if (cw <= 0.0)
                d2 = SquaredDistance(points[i], p0);
            else if (cw > cu)
                d2 = SquaredDistance(points[i], p1);
            else
                d2 = SquaredDistance(points[i], AddVectors2D(p0, ScaleVector2D(u, cw / cu)));
            if (d2 > maxd2) {
                maxd2 = d2;
                maxi = i;
            }
        }
        if (maxd2 > t2) {
            keep[maxi] = 1;
            ranges.emplace_back(maxi, j);
            ranges.emplace_back(k, maxi);
        }
    }
    std::vector<TVector2D> kept;
    for (size_t i = 0; i < n; ++i) {
        if (keep[i])
            kept.push_back(points[i]);
    }
    return kept;
}

std::unique_ptr<TPolyline2D> SimplifyPolyline(TPolyline2D& polyline, double tolerance)
{
    const std::vector<TVector2D> kept = SimplifyPoints(DrawingPoints(polyline), tolerance);
    std::vector<TPoint2D> points;
    points.reserve(kept.size());
    for (const TVector2D& p : kept)
        points.push_back(Point2D(p.X, p.Y));
    if (dynamic_cast<const TPolygon2D*>(&polyline))
        return std::make_unique<TPolygon2D>(-1, points);
    return std::make_unique<TPolyline2D>(-1, points);
}

int32_t SimplifyOutline(TQV_01Cmp2D& document, TOutline2D& outline, int32_t& before, int32_t& after,
                        double tolerance)
{
    std::unique_ptr<TPolyline2D> profile;
    TPolyline2D* source = dynamic_cast<TPolyline2D*>(&outline);
    if (!source) {
        auto* curve = dynamic_cast<TCurve2D*>(&outline);
        if (!curve)
            return -1;
        profile = CurveToLayerPolyline(*curve);
        source = profile.get();
    }
    std::unique_ptr<TPolyline2D> simplified = SimplifyPolyline(*source, tolerance);
    before += source->Points().Count();
    TPolyline2D* added = document.AddObjectOnLayer(-1, outline.Layer(), std::move(simplified));
    after += added->Points().Count();
    return added->ID();
}

TMyRiducePoly::TMyRiducePoly(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState)
    : TQV_00State(prg, std::move(param))
{
    nextState = prg.IdleClass();
    auto* selection = dynamic_cast<TQV_50SelectObjectsParam*>(Param());
    std::vector<TObject2D*> objects;
    if (selection)
        objects = selection->Objects();
    ClearEditOverlay(prg);
    // The selection goes before its objects do.
    ClearParam();
    TInfoEditModel* panel = InfoEditPanel();
    if (selection) {
        std::vector<int32_t>& ids = BreakIDs();
        ids.clear();
        std::vector<std::pair<TQV_01Cmp2D*, int32_t>> replaced;
        for (TObject2D* object : objects) {
            auto* polyline = dynamic_cast<TPolyline2D*>(object);
            TQV_01Cmp2D* document = polyline ? OwnerDocument(*polyline) : nullptr;
            if (!document)
                continue;
            const double tolerance = static_cast<float>(panel ? panel->GetValue(0) : 0.0);
            ids.push_back(polyline->ID());
            ids.push_back(SimplifyOutline(*document, *polyline, m_Before, m_After, tolerance));
            replaced.emplace_back(document, polyline->ID());
        }
        prg.MarkSceneDirty();
        if (!replaced.empty()) {
            RecordEditStep(TUndoKind::SimplifyPolylines, ids);
            for (const auto& [document, id] : replaced)
                document->DeleteObject(id);
        }
    }
    if (panel)
        panel->ShowVertexCounts(m_Before, m_After);
}

void StartSimplifyCommand(TQV_00Prog& prg, bool windowSelection, TQV_50SelectObjectsParam::TOnSelected onSelected)
{
    prg.UsaSnap = false;
    if (TInfoEditModel* panel = InfoEditPanel()) {
        panel->SetCommandPage(InfoEditPage::Simplify);
        panel->ShowVertexCounts(0, 0);
    }
    if (windowSelection) {
        prg.StartOperation(StateClassOf<TQV_51WinSelectObjects>(),
                           std::make_unique<TQV_51WinSelectObjectsParam>(0, 0, nullptr, StateClassOf<TMyRiducePoly>()));
        return;
    }
    auto param = std::make_unique<TQV_50SelectObjectsParam>(5, 0, nullptr, StateClassOf<TMyRiducePoly>());
    param->OnSelected = std::move(onSelected);
    prg.StartOperation(StateClassOf<TQV_50SelectObjects>(), std::move(param));
}
