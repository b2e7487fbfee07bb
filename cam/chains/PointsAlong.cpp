#include "cam/chains/PointsAlong.h"

#include "cad/program/ShellServices.h"
#include "cam/chains/Catena.h"
#include "cam/curves/AArco.h"
#include "core/entities/Cerchio2D.h"
#include "core/entities/Punto2D.h"
#include "core/file/UndoRedo.h"
#include "core/geometry/Geometry.h"
#include "core/geometry/Tolerance.h"
#include "core/model/ControlEvents.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/settings/NumberText.h"

#include <cmath>
#include <memory>

namespace {

constexpr uint32_t kRed = 0x000000FF;

// The segment from s to the end of vertex v (about its centre for an arc).
double SegmentLength(const TVector2D& s, const TAVertice& v)
{
    if (v.Kind == 0)
        return DistanceVector2D(s, v.EndPoint);
    const TAArco arc = TAArco::Create(s, v.EndPoint, v.Centre, v.Kind == 1, 0);
    return arc.SweepAngle() * DistanceVector2D(v.EndPoint, v.Centre);
}

TVector2D PointAlong(const TVector2D& s, const TAVertice& v, double distance, double length)
{
    const double t = length > 0.0 ? distance / length : 0.0;
    if (v.Kind == 0)
        return TVector2D{s.X + (v.EndPoint.X - s.X) * t, s.Y + (v.EndPoint.Y - s.Y) * t};
    return TAArco::Create(s, v.EndPoint, v.Centre, v.Kind == 1, 0).PointAt(t);
}

} // namespace

double ChainLength(const TACurva& chain)
{
    double length = 0.0;
    for (size_t i = 1; i < chain.Vertices.size(); ++i)
        length += SegmentLength(chain.Vertices[i - 1].EndPoint, chain.Vertices[i]);
    return length;
}

std::vector<TVector2D> SpacedPoints(const TACurva& chain, int n)
{
    std::vector<TVector2D> points;
    if (n <= 1 || chain.Vertices.empty())
        return points;
    const double step = ChainLength(chain) / (n - 1);
    TVector2D s = chain.Vertices[0].EndPoint;
    points.push_back(s);
    if (!(step > 0.0))
        return points; // nothing to walk: the start alone
    const double tol = SystemTol();
    double acc = 0.0;
    size_t i = 1;
    while (i < chain.Vertices.size() && static_cast<int>(points.size()) < n) {
        const TAVertice& v = chain.Vertices[i];
        const double seg = SegmentLength(s, v);
        if (acc + seg >= step - tol) {
            s = PointAlong(s, v, step - acc, seg);
            points.push_back(s);
            acc = 0.0;
        } else {
            acc += seg;
            s = v.EndPoint;
            ++i;
        }
    }
    return points;
}

int TPtAlong::Place(bool addToDrawing, double holeSize, TQV_01Cmp2D* document) const
{
    TShellServices& shell = ShellServices();
    const bool holes = shell.ToolWinChecked(TToolWinCheck::AlHoles) && holeSize > 0.0;
    const bool marks = shell.ToolWinChecked(TToolWinCheck::AlPoints);
    if (document)
        document->RepaintViewports();
    TQV_21Layer* layer = document ? &document->Layers().GetLayer(document->CurrentLayer()) : nullptr;
    const uint32_t savedColor = layer ? layer->Pen().Color : 0;
    if (layer)
        layer->SetPenColor(kRed);

    size_t count = Points.size();
    if (count >= 2) {
        const TVector2D& a = Points.front();
        const TVector2D& b = Points.back();
        if (std::fabs(a.X - b.X) < 0.0001 && std::fabs(a.Y - b.Y) < 0.0001)
            --count;
    }
    std::vector<int32_t> added;
    int made = 0;
    auto take = [&](std::unique_ptr<TObject2D> entity) {
        ++made;
        if (addToDrawing && document)
            added.push_back(document->AddObject(-1, std::move(entity))->ID());
        else
            entity->DrawSelected();
    };
    for (size_t k = 0; k < count; ++k) {
        const TVector2D& p = Points[k];
        if (holes)
            take(std::make_unique<TCerchio2D>(-1, TPoint2D{p.X, p.Y, 1.0}, TPoint2D{p.X + holeSize, p.Y, 1.0}));
        if (marks)
            take(std::make_unique<TPunto2D>(-1, TPoint2D{p.X, p.Y, 1.0}));
    }
    if (layer)
        layer->SetPenColor(savedColor);
    if (!added.empty())
        if (TUndoRedo* journal = UndoJournal())
            journal->AddUndo(TUndoKind::NewObjects, added);
    return made;
}

void PointsAlongChain(const TACurva& chain, bool addToDrawing, TQV_01Cmp2D* document)
{
    TShellServices& shell = ShellServices();
    const std::optional<int32_t> n = ParseInteger(shell.ToolWinText(TToolWinText::NumPtAlong));
    const std::optional<double> h = ParseDecimal(shell.ToolWinText(TToolWinText::HoleDia));
    if (!n || !h || *n <= 1)
        return;
    const double length = ChainLength(chain);
    shell.SetToolWinText(TToolWinText::ChainLength, FormatCoord(length));
    shell.SetToolWinText(TToolWinText::PtDistance, FormatCoord(length / (*n - 1)));
    TPtAlong along;
    along.Points = SpacedPoints(chain, *n);
    along.Place(addToDrawing, *h, document);
}

void TListaCatene::PointsAlongChains(bool addToDrawing, TQV_01Cmp2D* document)
{
    TControlEventsOff guard;
    Redraw(false);
    for (int i = 0; i < Count(); ++i)
        PointsAlongChain((*this)[i], addToDrawing, document);
}
