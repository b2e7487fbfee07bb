#include "core/entities/QVGrezzo.h"

#include <memory>
#include <utility>

namespace {

TChainOutlineSource& InstalledChainOutlineSource()
{
    static TChainOutlineSource source;
    return source;
}

std::unique_ptr<TQVGrezzo>& StockSolidSlot()
{
    static std::unique_ptr<TQVGrezzo> stock;
    return stock;
}

} // namespace

TQVGrezzo::TQVGrezzo()
{
    m_Outline.resize(4);
    if (TSceneBuilder* scene = ViewServices().Scene) {
        m_Scene = scene;
        m_Node = scene->AddSolid(scene->Group(TSceneGroup::Stock), Solid());
    }
    SetBox(TBox3D{});
}

TSceneSolid TQVGrezzo::Solid() const
{
    TSceneSolid solid;
    solid.Contour = m_Outline;
    solid.BottomZ = m_BottomZ;
    solid.Height = m_Height;
    solid.Color = kColor;
    solid.Blended = true;
    solid.DepthTest = false;
    return solid;
}

void TQVGrezzo::Show()
{
    if (m_Scene && m_Scene == ViewServices().Scene)
        m_Scene->UpdateSolid(m_Node, Solid());
}

void TQVGrezzo::SetBox(const TBox3D& box)
{
    m_Box = box;
    m_BottomZ = box.FirstEdge.Z;
    m_Height = box.SecondEdge.Z - box.FirstEdge.Z;
    const double x1 = box.FirstEdge.X;
    const double y1 = box.FirstEdge.Y;
    const double x2 = box.SecondEdge.X;
    const double y2 = box.SecondEdge.Y;
    m_Outline = {TVector2D{x1, y1}, TVector2D{x2, y1}, TVector2D{x2, y2}, TVector2D{x1, y2}};
    Show();
}

void TQVGrezzo::Rebuild()
{
    SetBox(m_Box);
}

void TQVGrezzo::SetOutline(std::span<const TVector2D> nodes)
{
    if (nodes.empty())
        return;
    m_Outline.assign(nodes.begin(), nodes.end());
    Show();
}

TChainOutlineSource SetChainOutlineSource(TChainOutlineSource source)
{
    return std::exchange(InstalledChainOutlineSource(), std::move(source));
}

void TQVGrezzo::SetOutlineFromChains(const TListaCatene& chains)
{
    if (const TChainOutlineSource& source = InstalledChainOutlineSource()) {
        const std::vector<TVector2D> nodes = source(chains);
        SetOutline(nodes);
    }
}

void TQVGrezzo::SetMarginX(double margin)
{
    if (m_Outline.size() != 4)
        return;
    m_Outline[0].X = m_Outline[3].X = m_Box.FirstEdge.X - margin;
    m_Outline[1].X = m_Outline[2].X = m_Box.SecondEdge.X + margin;
    Show();
}

void TQVGrezzo::SetMarginY(double margin)
{
    if (m_Outline.size() != 4)
        return;
    m_Outline[0].Y = m_Outline[1].Y = m_Box.FirstEdge.Y - margin;
    m_Outline[2].Y = m_Outline[3].Y = m_Box.SecondEdge.Y + margin;
    Show();
}

void TQVGrezzo::SetBottomZ(double z)
{
    m_BottomZ = z;
    m_Height = m_Box.SecondEdge.Z - z;
    Show();
}

void TQVGrezzo::SetHeight(double height)
{
    m_Height = height;
    Show();
}

void TQVGrezzo::SetVisible(bool visible)
{
    m_Visible = visible;
    if (m_Scene && m_Scene == ViewServices().Scene)
        m_Scene->SetNodeVisible(m_Node, visible);
}

TQVGrezzo* StockSolid()
{
    return StockSolidSlot().get();
}

TQVGrezzo& RecreateStockSolid()
{
    StockSolidSlot().reset();
    StockSolidSlot() = std::make_unique<TQVGrezzo>();
    return *StockSolidSlot();
}

void FreeStockSolid()
{
    StockSolidSlot().reset();
}
