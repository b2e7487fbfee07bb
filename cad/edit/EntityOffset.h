#pragma once
// The parallel copies that the offset command makes of one drawing entity.
//
// Lines, arcs and circles are offset directly; rectangle outlines,
// polylines, polygons and every other curve are turned into a chain of
// straight segments in drawing coordinates (the outline's corners, the
// polyline's points, the curve's profile points) and offset on the integer
// paths of the polygon-clipping library: closed chains with the library's
// own offset (mitred corners, miter limit 10 x the distance), open chains
// with TQVClipperOffset (one side only). A chain may give several results
// or none.
//
// Sides, for a distance d:
// - line: d to the left of its direction from point 0 to point 1; flipped,
//   to the right;
// - arc and circle: the radius shrinks by d; flipped, it grows by d;
// - closed chain: the outline grows by d; flipped, it shrinks;
// - open chain: d to the right of its direction of travel; flipped, to the
//   left.
//
// Results are display objects of the program (ID -1, colour 255, line
// width 2, not pickable, no transform), owned by the caller. An arc or
// circle shrunk to a radius of nothing (not above the system tolerance) and
// a chain that shrinks away give no result; so do entities of other kinds
// (points, texts, bitmaps, blocks), chains of fewer than two distinct
// points, coordinates that are not finite or too large for the library's
// integer range, and result paths of fewer than two points.

#include <memory>
#include <vector>

class TObject2D;

std::vector<std::unique_ptr<TObject2D>> OffsetEntity(TObject2D& entity, double distance, bool flipped);
