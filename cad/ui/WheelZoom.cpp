#include "cad/ui/WheelZoom.h"

#include "cad/scene/QVScene.h"

#include <cmath>

double WheelZoomFactor(int32_t wheelDelta)
{
    return std::pow(0.9, static_cast<double>(wheelDelta) / 120.0);
}

TIntPoint WheelZoomCentre(int32_t width, int32_t height, int32_t mouseX, int32_t mouseY, double factor)
{
    const int32_t cx = width / 2;
    const int32_t cy = height / 2;
    const float f = static_cast<float>(factor);
    const float dx = static_cast<float>(mouseX - cx);
    const float dy = static_cast<float>(mouseY - cy);
    // Delphi's Round: halves to the even integer.
    const auto x = static_cast<int32_t>(std::nearbyint(dx * f - dx));
    const auto y = static_cast<int32_t>(std::nearbyint(dy - dy * f));
    return TIntPoint{cx + x, cy - y};
}

void WheelZoom(TQVScene& view, int32_t wheelDelta)
{
    if (wheelDelta == 0)
        return;
    const double f = WheelZoomFactor(wheelDelta);
    const TIntPoint centre =
        WheelZoomCentre(view.ViewportWidth(), view.ViewportHeight(), view.MouseX(), view.MouseY(), f);
    view.ZoomAt(view.ScreenToWorld(centre.X, centre.Y), f);
}
