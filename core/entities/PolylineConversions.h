#pragma once
// Conversions of lines, frames and curves into a new polyline in drawing
// coordinates, for the break command, the polyline simplification and the
// transform states. Every result has ID -1, no model transform of its own,
// is not added to any document, and belongs to the caller.

#include "core/entities/Polyline2D.h"

#include <memory>

class TFrame2D;
class TLine2D;

// Control points 0 and 1 through the line's model transform; the line's
// layer. A line without both points gives the points it has.
std::unique_ptr<TPolyline2D> LineToPolyline(const TLine2D& line);

// The five corners (x0, y0), (x0, y1), (x1, y1), (x1, y0), (x0, y0) of the
// frame spanned by control points 0 and 1, each through the frame's model
// transform, so a rotated frame gives its rotated corners; the frame's
// layer. A frame without both corners gives an empty polyline.
std::unique_ptr<TPolyline2D> FrameToPolyline(const TFrame2D& frame);
// The same operation under a second name.
std::unique_ptr<TPolyline2D> FrameOutlineToPolyline(const TFrame2D& frame);

// One vertex per profile point, in order, each through the model transform;
// layer 0. The profile is read inside its own bracket, so a curve that does
// not keep its profile converts as well as one that does.
std::unique_ptr<TPolyline2D> CurveToPolyline(TOutline2D& curve);
// The same on the curve's layer.
std::unique_ptr<TPolyline2D> CurveToLayerPolyline(TOutline2D& curve);

// A polyline standing for the primitive: a line, a frame (also a rectangle:
// its five corners, not its profile) or another curve give a new polyline
// (the curve's on its layer), owned by Created; a polyline (also a
// polygon) is returned itself and Created stays empty; any other class
// gives no polyline at all.
struct TPolylineOf {
    TPolyline2D* Polyline = nullptr;
    std::unique_ptr<TPolyline2D> Created;
    bool IsNew() const { return Created != nullptr; }
};
TPolylineOf PrimitiveToPolyline(TPrimitive2D& primitive);
