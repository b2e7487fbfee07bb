#pragma once
// What lower subsystems reach of chains through the hooks they declare: the
// stock outline of a chain list (core/entities/QVGrezzo.h) and the chains
// of a label's outlines (core/entities/LabelServices.h). Start-up installs
// them once (InstallChainHooks).

#include "core/geometry/Points.h"

#include <span>
#include <vector>

class TListaCatene;
class TPolyline2D;

// The end points of the vertices of the list's first chain; none for an
// empty list.
std::vector<TVector2D> FirstChainOutline(const TListaCatene& chains);

// Replaces the list's chains by one open chain per polyline, in order: a
// line vertex (attribute 0) at the X and Y of each point, a new ID from
// GestioneID for each chain (holding tabs find their chain by it). Then the
// list is drawn again (not in points mode) without direction arrows.
void PolylinesToChains(TListaCatene& chains, std::span<const TPolyline2D* const> polylines);

// The stock outline source, and the label chain writer, which fills the
// chain list of the operation being edited (ChainContext()); nothing while
// no operation is being edited.
void InstallChainHooks();
