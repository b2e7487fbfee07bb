#include "cam/chains/ChainHooks.h"

#include "cam/chains/Catena.h"
#include "cam/chains/ChainContext.h"
#include "core/entities/LabelServices.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/QVGrezzo.h"

#include <memory>

std::vector<TVector2D> FirstChainOutline(const TListaCatene& chains)
{
    std::vector<TVector2D> nodes;
    if (chains.Count() == 0)
        return nodes;
    for (const TAVertice& v : chains[0].Vertices)
        nodes.push_back(v.EndPoint);
    return nodes;
}

void PolylinesToChains(TListaCatene& chains, std::span<const TPolyline2D* const> polylines)
{
    chains.ClearChains();
    for (const TPolyline2D* polyline : polylines) {
        auto chain = std::make_unique<TCatena>();
        for (const TPoint2D& p : polyline->Points().Points())
            chain->AddVertex(TAVertice::CreateAt(MakeVector2D(p.X, p.Y), 0));
        chain->ID = GestioneID().NextID();
        chains.AddChain(std::move(chain));
    }
    chains.Redraw(false);
    chains.ClearArrows();
}

void InstallChainHooks()
{
    SetChainOutlineSource(&FirstChainOutline);
    SetLabelChainWriter([](std::span<const TPolyline2D* const> polylines) {
        if (TListaCatene* chains = ChainContext().EditedOperationChains())
            PolylinesToChains(*chains, polylines);
    });
}
