#pragma once
// The program cursors of the drawing view. The model names a cursor by its
// id; the scene widget maps each id to its image, made from the resource of
// the same name (32 x 32 pixels; hot spot (15, 15) for the crosshairs, (0, 0)
// for the pan hand).

#include <array>
#include <string_view>

enum class TViewCursor : int {
    Pan = 1,      // "PAN": the real-time pan waits for its first move
    Cross = 2,    // "CROCE": object snap found nothing to snap to
    EndPoint = 3, // "CROPF": snapped to an end point or a vertex
    MidPoint = 4, // "CROMP": snapped to a mid point
    Centre = 5,   // "CROCT": snapped to a centre
    Point = 6,    // "CROPT": snapped to a point entity
};

constexpr int CursorId(TViewCursor cursor) { return static_cast<int>(cursor); }

// The resource names, index = id - 1.
inline constexpr std::array<std::string_view, 6> ViewCursorResources{"PAN",   "CROCE", "CROPF",
                                                                     "CROMP", "CROCT", "CROPT"};
