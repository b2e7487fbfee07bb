#include "core/entities/Outline2D.h"

#include "core/geometry/Geometry.h"

bool TOutline2D::IsClosed()
{
    TProfilePointsUse use(*this);
    const TPointsSet2D& profile = ProfilePoints();
    const int n = profile.Count();
    if (n < 3)
        return false;
    return IsSamePoint2D(profile.Get(0), profile.Get(n - 1));
}
