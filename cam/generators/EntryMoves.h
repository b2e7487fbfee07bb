#pragma once
// The entry moves of the pockets: a zig-zag ramp (TRampa) or a helix
// (TElica) that lowers the tool into the material from the pass increment
// above a curve's start down to the curve's own height.

#include "cam/toolpath/ToolpathCurves.h"
#include "core/geometry/Points.h"

// The most points an entry move may have; beyond it there is no entry.
inline constexpr double kMaxEntryPoints = 1e6;

// Legs of length L between S and E = S + L (cos phi, sin phi), each
// dropping L sin alpha, from height H above S down to S. All vertices are
// straight. Legs that rise nothing (or too little) make no ramp: S alone.
class TRampa : public TCurva3d {
public:
    TRampa(const TVector3D& s, double length, double height, double phi, double alpha);

    TVector3D S;
    TVector3D E;
};

// Ten points a turn, counter-clockwise from (C.x + r, C.y, z0), dropping
// tan alpha x 2 pi r / 10 a point and ending at Z 0. A radius whose drop
// per point vanishes (or nearly) makes no helix: no vertices.
class TElica : public TCurva3d {
public:
    TElica(const TVector3D& centre, double radius, double z0, double alpha);

    TVector3D C;
};
