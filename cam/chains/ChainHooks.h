#pragma once
// What lower subsystems reach of chains through the hooks they declare: the
// stock outline of a chain list (core/entities/QVGrezzo.h). Start-up
// installs them once (InstallChainHooks).

#include "core/geometry/Points.h"

#include <vector>

class TListaCatene;

// The end points of the vertices of the list's first chain; none for an
// empty list.
std::vector<TVector2D> FirstChainOutline(const TListaCatene& chains);

void InstallChainHooks();
