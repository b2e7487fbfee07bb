// The drawing of chains in the view and the chain info label.

#include "cam/chains/Catena.h"

#include "cam/chains/ChainContext.h"
#include "core/entities/Cerchio2D.h"
#include "core/geometry/ArcGeometry.h"
#include "core/geometry/Matrix4.h"
#include "core/settings/AppConfig.h"
#include "core/settings/Language.h"

#include <array>
#include <string>

namespace {

constexpr double kChainZ = 0.0025;
constexpr double kArrowZ = 0.005;
constexpr double kMarkerZ = 0.0;

TVector3D At(const TVector2D& p, double z)
{
    return TVector3D{p.X, p.Y, z};
}

} // namespace

void TCatena::AddPointMarker(const TVector2D& p)
{
    const double r = ChainContext().CompensationOffset();
    // A display circle in the chain colour whose profile becomes nodes.
    TCerchio2D circle(-1, TPoint2D{p.X, p.Y, 1.0}, TPoint2D{p.X + r, p.Y, 1.0}, AppConfig().Chain, 1,
                      IdentityMatrix4());
    AddCurveNodesToLines(circle, m_ChainLines);
    const double arm = 1.5 * r;
    for (const TVector2D& q : {TVector2D{p.X + arm, p.Y}, TVector2D{p.X - arm, p.Y}, p, TVector2D{p.X, p.Y + arm},
                               TVector2D{p.X, p.Y - arm}, p})
        m_ChainLines.Nodes.push_back(At(q, kMarkerZ));
}

void TCatena::Draw(bool pointsMode)
{
    if (Vertices.empty())
        return;
    if (Vertices.size() == 1) {
        if (pointsMode) {
            AddPointMarker(Vertices[0].EndPoint);
            ShowChainLines();
        }
        return;
    }
    if (pointsMode)
        AddPointMarker(Vertices[0].EndPoint);
    m_ChainLines.Nodes.push_back(At(Vertices[0].EndPoint, kChainZ));
    for (size_t k = 1; k < Vertices.size(); ++k) {
        const TAVertice& v = Vertices[k];
        if (v.Kind == 0) {
            m_ChainLines.Nodes.push_back(At(v.EndPoint, kChainZ));
        } else {
            const TArrayOfPoint2d points = ArcToPoints(v.Centre, Vertices[k - 1].EndPoint, v.EndPoint, v.Kind == -1);
            for (const TPoint2D& q : points)
                m_ChainLines.Nodes.push_back(TVector3D{q.X, q.Y, kChainZ});
        }
        if (pointsMode)
            AddPointMarker(v.EndPoint);
    }
    ShowChainLines();
}

void TCatena::DrawArrow(bool listReversed, int sideIndex)
{
    if (Vertices.size() < 2)
        return;
    TAVertice v = Vertices[0];
    TAVertice w = Vertices[1];
    if (listReversed) {
        // The first segment of the reversed travel: from the last end point
        // back to the one before, about the last vertex's centre.
        const TAVertice& last = Vertices.back();
        v = TAVertice::CreateAt(last.EndPoint, 0);
        w = Vertices[Vertices.size() - 2];
        w.Centre = last.Centre;
        w.Kind = -last.Kind;
    }
    const TVector2D s = v.EndPoint;
    const TVector2D t = NormalizeVector2D(TangentAtStart(v, w));
    const double scale = ChainContext().SceneScale();
    const double unit = scale != 0.0 ? 1.0 / scale : 1.0;
    const double length = 0.66 * unit;
    const TVector2D tip{s.X + t.X * unit, s.Y + t.Y * unit};
    const TVector2D base{s.X + t.X * length, s.Y + t.Y * length};
    const TVector2D right{base.X + t.Y * length / 5.0, base.Y - t.X * length / 5.0};
    const TVector2D left{base.X - t.Y * length / 5.0, base.Y + t.X * length / 5.0};
    const std::array<TVector2D, 5> arrow{s, tip, right, left, tip};
    for (const TVector2D& p : arrow)
        m_ArrowLines.Nodes.push_back(At(p, kArrowZ));

    int side = sideIndex == 1 ? -1 : sideIndex == 2 ? 1 : 0;
    if (listReversed)
        side = -side;
    if (side != 0) {
        // The arrow at 0.6 of its size, turned a quarter about S towards
        // the compensation side (counter-clockwise for +1).
        for (const TVector2D& p : arrow) {
            const double dx = (p.X - s.X) * 0.6;
            const double dy = (p.Y - s.Y) * 0.6;
            m_ArrowLines.Nodes.push_back(At(TVector2D{s.X - dy * side, s.Y + dx * side}, kMarkerZ));
        }
    }
    ShowArrowLines();
}

// ---- list -------------------------------------------------------------------

void TListaCatene::Redraw(bool pointsMode)
{
    for (int i = 0; i < Count(); ++i) {
        if (TCatena* chain = ChainAt(i)) {
            chain->ClearLines();
            chain->Draw(pointsMode);
        }
    }
    DrawArrows(pointsMode ? 0 : ChainContext().CompensationSide(), false);
    UpdateInfo();
}

void TListaCatene::DrawArrows(int sideIndex, bool clearFirst)
{
    for (int i = 0; i < Count(); ++i) {
        if (TCatena* chain = ChainAt(i)) {
            if (clearFirst)
                chain->ClearArrowLines();
            chain->DrawArrow(DirectionReversed != 0, sideIndex);
        }
    }
}

void TListaCatene::ClearDrawing()
{
    for (int i = 0; i < Count(); ++i)
        if (TCatena* chain = ChainAt(i))
            chain->ClearLines();
}

void TListaCatene::ClearArrows()
{
    for (int i = 0; i < Count(); ++i)
        if (TCatena* chain = ChainAt(i))
            chain->ClearArrowLines();
}

void TListaCatene::UpdateInfo()
{
    TChainContext& context = ChainContext();
    const std::optional<int> kind = context.CurrentOperationKind();
    if (!kind || !HasInfoLabel)
        return;
    std::string text;
    if (*kind == 3) {
        size_t points = 0;
        for (const auto& curve : Items)
            points += curve->Vertices.size();
        if (points > 0)
            text = std::to_string(points) + " " + LangText(LangKeys::String::ChainInfoPoints);
    } else {
        int closed = 0;
        int open = 0;
        for (const auto& curve : Items)
            (curve->Closed ? closed : open) += 1;
        if (closed > 0)
            text = std::to_string(closed) + " " + LangText(LangKeys::String::ChainInfoClosed);
        if (open > 0) {
            if (!text.empty())
                text += " - ";
            text += std::to_string(open) + " " + LangText(LangKeys::String::ChainInfoOpen);
        }
    }
    context.SetChainInfo(text);
}

void ShowChainDisplay()
{
    if (TSceneBuilder* scene = ViewServices().Scene) {
        scene->SetNodeVisible(scene->Group(TSceneGroup::Chain), true);
        scene->SetNodeVisible(scene->Group(TSceneGroup::ChainArrow), true);
    }
}

void HideChainDisplay()
{
    if (TSceneBuilder* scene = ViewServices().Scene) {
        scene->SetNodeVisible(scene->Group(TSceneGroup::Chain), false);
        scene->SetNodeVisible(scene->Group(TSceneGroup::ChainArrow), false);
    }
}
