#pragma once
// The copy of a drawing entity with its transform applied, as the transform
// commands (copy mode) and copy-to-layer make it.

#include <cstdint>
#include <optional>

class TObject2D;
class TQV_01Cmp2D;

// Builds a new entity of the object's kind that shows the object as it is
// drawn now (its combined GetModelTransform), adds it to the document with
// the next free ID on layer, by default the layer of the object it copies,
// and returns the new ID. The transform goes into the copy's points where
// the points alone still describe the shape (points, lines, polylines and
// polygons, B-splines; frames and ellipses without rotation or shear,
// circles under rotation and uniform scale); otherwise the copy keeps the
// object's points and takes the transform as its model transform (rotated
// frames and ellipses, stretched circles, arcs, elliptical arcs, rational
// splines). Subclasses copy as their base: a polygon becomes a polyline, a
// rectangle a frame, a filled circle or ellipse an outline.
// Returns -1 and adds nothing for a kind that cannot be copied, or for an
// entity that lacks the points its kind needs. A layer outside 0..255
// raises ECADOutOfBound and adds nothing. The object itself is not changed.
int32_t DuplicateObjectTransformed(TQV_01Cmp2D& document, TObject2D& object,
                                   std::optional<int> layer = std::nullopt);
