#pragma once
// SVG files into drawing entities.
//
// ImportSvgFile parses the file (svg_parser into a path_renderer) and walks
// every stored shape: straight and Bezier runs become open polylines
// (curves sampled at 50 points), circle elements circles, circular arcs
// TArco2D entities and elliptical arcs polylines of MaxCurveSeg() + 2
// points. A file point (x, y) lands at the shape's transform applied to it
// with Y then negated (SVG's Y runs down, the drawing's up).
//
// Layers and colours: each shape's fill colour (whether or not fill is on)
// is reduced to 5 levels per channel, q = component div 52; its entities go
// on layer 30 qr + 5 qg + qb + 35 (35..179), whose pen colour becomes
// RGB(q * 52 + 47) per channel. The document's current layer is left at the
// last shape's layer.
//
// Promises:
// - Parser errors (svg_exception and Esvg_exception) propagate and nothing
//   is added; the progress bar is hidden in every case.
// - A shape under a transform that does not keep circles round (unequal
//   scales, skew) is still drawn where the file puts it: its circles and
//   circular arcs become polylines. Rotations and mirrors keep arcs and
//   circles as such, with their angles turned and their sense kept.
// - After a close, drawing continues from the closed subpath's start, as
//   SVG says; drawing commands before a path's first move are ignored; an
//   arc with a zero radius is a straight line, one that ends where it
//   starts is left out.
// - An entity with a coordinate that is not finite (overflowing numbers or
//   transforms) is not added: Skipped counts it. An import that would add
//   more than MaxSvgImportPoints points stops there (Truncated). In both
//   cases the caller must tell the user that the drawing is incomplete.
//   A run of more points than a polyline holds continues in further
//   polylines that share end points.
// - Degenerate geometry is dropped silently: polylines of fewer than two
//   points at the end of a path or at a close (a one-point polyline before
//   an arc or a later move is kept), Bezier samples that repeat the last
//   point, shapes that added no vertices.
// - Main thread; the document must not be iterated meanwhile.

#include "core/geometry/Points.h"

#include <cstddef>
#include <cstdint>
#include <string>

class TQV_01Cmp2D;
class path_renderer;

// What one import added.
struct TSvgImportResult {
    int32_t Shapes = 0;    // attribute records of the file
    int32_t Polylines = 0;
    int32_t Circles = 0;
    int32_t Arcs = 0;
    int32_t Skipped = 0;   // entities left out for coordinates that are not finite
    // The import stopped at MaxSvgImportPoints: the rest of the file is
    // missing from the drawing.
    bool Truncated = false;
};

// The most points (polyline points, and 2 per circle, 4 per arc) one import
// adds; a file that would add more is imported up to there.
inline constexpr size_t MaxSvgImportPoints = size_t{1} << 24;

// An SVG elliptical arc converted from endpoint to centre form (the
// conversion of SVG 1.1's implementation notes, F.6.5). The radii must not
// be 0 and the end points must differ (the import tests both); otherwise the
// results are not finite.
class TSvgArc {
public:
    // Flags count as set when > 0; angleDeg is the x-axis rotation. Radii
    // too small to reach from one end point to the other are scaled up.
    TSvgArc(double x1, double y1, double rx, double ry, double angleDeg, double largeArcFlag, double sweepFlag,
            double x2, double y2);

    // Radians in 0..2 pi, measured in the frame with Y negated (the
    // drawing's): the arc runs counter-clockwise from StartAngle to
    // EndAngle there. For a circle (radii equal within the system tolerance)
    // they are the polar angles of the end points about the centre; for an
    // ellipse, the parameter angles on its own axes.
    double StartAngle = 0.0;
    double EndAngle = 0.0;
    TPoint2D Center;  // file coordinates, W = 1
    double Rx = 0.0;  // after correction
    double Ry = 0.0;
};

// Adds the entities of the SVG file to the document (see above).
TSvgImportResult ImportSvgFile(TQV_01Cmp2D& document, const std::string& fileName);

// The walk alone: adds the entities of every shape the renderer holds.
// Never raises for the content of the renderer.
TSvgImportResult ImportSvgPaths(TQV_01Cmp2D& document, const path_renderer& renderer);
