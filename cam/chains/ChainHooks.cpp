#include "cam/chains/ChainHooks.h"

#include "cam/chains/Catena.h"
#include "core/entities/QVGrezzo.h"

std::vector<TVector2D> FirstChainOutline(const TListaCatene& chains)
{
    std::vector<TVector2D> nodes;
    if (chains.Count() == 0)
        return nodes;
    for (const TAVertice& v : chains[0].Vertices)
        nodes.push_back(v.EndPoint);
    return nodes;
}

void InstallChainHooks()
{
    SetChainOutlineSource(&FirstChainOutline);
}
