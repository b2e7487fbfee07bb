#pragma once
// Polyline simplification: each selected polyline (polygons included) is
// replaced by one with fewer points, every point dropped that lies within a
// tolerance of the simplified path (Douglas-Peucker), and the point counts
// before and after are shown on the properties panel.

#include "cad/program/QV_00State.h"
#include "cad/states/QV_50SelectObjectsParam.h"
#include "core/geometry/Points.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

class TOutline2D;
class TPolyline2D;
class TQV_00Prog;
class TQV_01Cmp2D;

// When its parameter is a TQV_50SelectObjectsParam: each selected polyline
// in selection order is simplified with value 0 of the properties panel
// (rounded to single precision, read once per polyline) and its
// replacement added on its layer; BreakIDs() gets the pairs (old ID, new
// ID); the scene is marked dirty; when any polyline was simplified, one
// undo step (kind 19, the pairs) is recorded and the old polylines are
// deleted. In every case the overlay is cleared, the parameter freed, the
// totals shown (ShowVertexCounts, 0 and 0 when nothing was simplified) and
// the command ends.
class TMyRiducePoly : public TQV_00State {
public:
    static constexpr std::string_view ClassName = "TMyRiducePoly";
    TMyRiducePoly(TQV_00CADProg& prg, TCADStateParam param, TCADStateClass& nextState);

    // The point counts summed over the simplified polylines.
    int32_t PointsBefore() const { return m_Before; }
    int32_t PointsAfter() const { return m_After; }

private:
    int32_t m_Before = 0;
    int32_t m_After = 0;
};

// The points that Douglas-Peucker keeps, in order: the first and the last
// always, then recursively the point of a range farthest from the range's
// chord (the distance to the nearer end where the foot falls outside it;
// the first of equally far points) while that distance exceeds the
// tolerance. Fewer than three points are all kept.
std::vector<TVector2D> SimplifyPoints(std::span<const TVector2D> points, double tolerance);

// A new polyline (ID -1, in no document, no transform) of the polyline's
// points in drawing coordinates after SimplifyPoints; a polygon gives a
// polygon, so that its implied closing edge and its fill stay.
std::unique_ptr<TPolyline2D> SimplifyPolyline(TPolyline2D& polyline, double tolerance);

// Adds the simplification of the outline (a polyline itself, any other
// curve through its profile points) to document with the next free ID on
// the outline's layer, adds the point counts to before and after, and
// returns the new ID; -1 and nothing else for other kinds.
int32_t SimplifyOutline(TQV_01Cmp2D& document, TOutline2D& outline, int32_t& before, int32_t& after,
                        double tolerance);

// The main window's command: object snap off, panel page 33 with both
// counts 0, then the window selection (objects entirely inside) when
// windowSelection is set, else the pick selection (aperture 5, onSelected
// as its callback), with TMyRiducePoly as after-state.
void StartSimplifyCommand(TQV_00Prog& prg, bool windowSelection, TQV_50SelectObjectsParam::TOnSelected onSelected);
