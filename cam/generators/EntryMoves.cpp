#include "cam/generators/EntryMoves.h"

#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TRampa::TRampa(const TVector3D& s, double length, double height, double phi, double alpha)
    : S(s)
{
    const double rise = length * std::sin(alpha);
    E = {S.X + length * std::cos(phi), S.Y + length * std::sin(phi), S.Z + rise};
    AddVertex(TAVertice3d::CreateAt(S));
    TVector3D q = E;
    // A leg that rises nothing would never reach the height, and one that
    // rises next to nothing would fill the memory on the way.
    if (!(rise > 0.0) || !std::isfinite(height) || height / rise > kMaxEntryPoints)
        return;
    for (int appended = 1;; ++appended) {
        const bool last = q.Z - S.Z >= height;
        if (last)
            q.Z = S.Z + height;
        AddVertex(TAVertice3d::CreateAt(q));
        if (last)
            break;
        q.Z += rise;
        const TVector3D& at = appended % 2 == 1 ? S : E;
        q.X = at.X;
        q.Y = at.Y;
    }
    std::reverse(Vertices.begin(), Vertices.end());
}

TElica::TElica(const TVector3D& centre, double radius, double z0, double alpha) : C(centre)
{
    const double dz = std::tan(alpha) * 2.0 * std::numbers::pi * radius / 10.0;
    const double step = 2.0 * std::numbers::pi / 10.0;
    // Without a drop per point the helix would never reach Z 0.
    if (!(dz > 0.0) || !std::isfinite(z0) || z0 / dz > kMaxEntryPoints)
        return;
    double angle = 0.0, z = z0;
    for (;;) {
        const bool last = z <= 0.0;
        AddVertex(TAVertice3d::CreateAt({C.X + radius * std::cos(angle), C.Y + radius * std::sin(angle),
                                         last ? 0.0 : z}));
        if (last)
            break;
        angle += step;
        z -= dz;
    }
}
