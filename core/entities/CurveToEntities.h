#pragma once
// A path of vertices (core/geometry/Vertice.h) made into drawing entities:
// each line segment a TLine2D, each arc segment a counter-clockwise
// TArco2D. Shared by the arc filter of the bitmap tracing and the
// machining curves.

#include "core/geometry/Vertice.h"

#include <cstdint>
#include <functional>
#include <span>

class TObject2D;
class TQV_01Cmp2D;

// Colours (0x00BBGGRR) and line width of preview entities.
inline constexpr uint32_t PreviewArcColour = 0x000000FF;  // red
inline constexpr uint32_t PreviewLineColour = 0x0000FFFF; // yellow
inline constexpr uint8_t PreviewLineWidth = 3;

// Vertex 0 gives the start point; every later vertex one entity from the
// previous end point to its own (an arc about its centre, taken the other
// way round when it runs clockwise), counted in lineCount or arcCount.
// Without preview each entity is added to the document (next free ID,
// current layer, the layer's pen). With preview it carries its own preview
// colour and width, is put on the current layer, handed to onPreview (null:
// drawn once as a highlight) and freed: document and layers stay as they
// were. prepare, when given, sees each entity before it is added or shown,
// with the index of the vertex that ends its segment.
void CurveToEntities(std::span<const TAVertice> vertices, TQV_01Cmp2D& document, bool preview, int32_t& lineCount,
                     int32_t& arcCount, const std::function<void(TObject2D& entity)>& onPreview = {},
                     const std::function<void(TObject2D& entity, size_t vertex)>& prepare = {});
