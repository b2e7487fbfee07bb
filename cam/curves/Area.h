#pragma once
// TArea: a set of closed machining curves (an outline with its islands, or
// several outlines) with the boolean operations and offsets of the 2D
// generators. The work is done by the polygon-clipping library on integer
// coordinates (10000 per drawing unit): curves go out as chords within
// AreaTolerance and come back as lines that are fitted with arcs again.
//
// Every construction of an area sets AreaTolerance (cam/AArco.h): to the
// chain tolerance, or to the value given. Coordinates must stay well within
// the library's range (about 4.6e14 drawing units); the library raises
// ClipperLib::clipperException beyond it.

#include "cam/curves/ACurva.h"

#include <polyclipping/clipper.hpp>

#include <memory>
#include <vector>

class TABox;

class TArea {
public:
    // AreaTolerance := the chain tolerance.
    TArea();
    // AreaTolerance := tolerance.
    explicit TArea(double tolerance);
    TArea(TArea&&) = default;
    TArea& operator=(TArea&&) = default;
    TArea(const TArea&) = delete;
    TArea& operator=(const TArea&) = delete;
    virtual ~TArea() = default;

    // An area of one slot around the segment A-B: two straight sides at the
    // half width and half circles about A and B. A half width below 1e-7 in
    // magnitude becomes 0.002 with its sign (0.002 for 0). A and B equal
    // give the circle of the half width about A.
    static TArea CreateSlot(const TVector2D& a, const TVector2D& b, double halfWidth);

    // The area takes ownership.
    TACurva* AddCurve(std::unique_ptr<TACurva> curve);
    void Clear() { Curves.clear(); }
    void ExtendBox(TABox& box) const;

    // self := self minus other (even-odd filling on both, so the direction
    // of the curves does not matter).
    void Difference(const TArea& other);
    // self := self intersected with other.
    void Intersection(const TArea& other);
    // Every curve offset by the distance with round corners: positive grows
    // outlines, negative shrinks them; overlapping results are united. The
    // curves are first read by the even-odd rule (as Difference does), so
    // an island shrinks its outline's area whichever way either runs. Round
    // joins are chorded within OffsetJoinTolerance.
    void OffsetClosed(double distance);
    // Every curve offset as an open path to one side: positive to the right
    // of its direction of travel, negative to the left.
    void OffsetOpen(double distance);
    // Difference, then whether no curve is left.
    bool DifferenceIsEmpty(const TArea& other);
    // Whether a circle of radius r1 + r2 about the centre is not wholly in
    // this area. Sets AreaTolerance to the chain tolerance.
    bool CircleLeaves(const TVector2D& centre, double r1, double r2) const;
    // The same for the slot from A to B.
    bool SlotLeaves(const TVector2D& a, const TVector2D& b, double halfWidth) const;

    // One path per curve in curve order (chord points, the closing duplicate
    // kept); an empty curve gives an empty path.
    void ToClipperPaths(ClipperLib::Paths& paths, bool reversed) const;
    // The curves are replaced by one curve per path.
    void FromClipperPathsClosed(const ClipperLib::Paths& paths);
    void FromClipperPathsOpen(const ClipperLib::Paths& paths);

    std::vector<std::unique_ptr<TACurva>> Curves;
    // 1: curves returned by the library are arc-fitted.
    uint8_t FitArcsOnReturn = 1;
};

// An area of one circle: a line vertex at O + (r, 0), then two clockwise
// half arcs. A radius below 1e-7 in magnitude becomes 0.002 with its sign.
class TAreaCerchio : public TArea {
public:
    TAreaCerchio(const TVector2D& centre, double radius);
};

// The area of the 2D generators, with the contour generator's pass count.
class TNcArea : public TArea {
public:
    using TArea::TArea;
    int16_t PassCount = 0;
};

// A lies inside B or on it: A minus B leaves nothing. Neither is changed.
// Sets AreaTolerance to the chain tolerance.
bool CurveInsideCurve(const TACurva& a, const TACurva& b);
// The curve's integer path as the boolean operations hand it to the
// library: chord points within AreaTolerance, run backwards.
ClipperLib::Path BooleanPath(const TACurva& curve);
// CurveInsideCurve on two such paths: A minus B (even-odd) leaves nothing
// once the results are cleaned as an area cleans them.
bool PathInsidePath(const ClipperLib::Path& a, const ClipperLib::Path& b);

// Integer points of the library, 10000 per drawing unit (ToClipperUnits is
// cad/QVClipperOffset.h's).
double FromClipperUnits(ClipperLib::cInt n);
// The chord tolerance of OffsetClosed's round joins, in integer units: a
// quarter of AreaTolerance, well inside the fitting tolerance, so that arc
// fitting has far fewer points to refit; never finer than the library's
// default of 0.25.
double OffsetJoinTolerance();
ClipperLib::IntPoint ToClipperPoint(const TVector2D& point);

// The chord points of a curve within AreaTolerance: the end point of the
// first vertex and of every line vertex, arcs as chords, vertices that
// repeat the previous end point skipped. An arc gets as many chords as the
// tolerance needs, up to enough for a full turn at the settings' largest
// fitted radius ("MaxArcFit", at least 200 and at most 100000); one for an
// arc too small to measure; 200 when AreaTolerance is 0 or less.
std::vector<TVector2D> CurveChordPoints(const TACurva& curve);

// An integer path back into a curve of line vertices, closed by a copy of
// the first point appended (appendFirst) or of the last point put in front;
// with fitArcs arc-fitted up to the settings' largest fitted radius. Closed
// is set when the first and last end points are equal. An empty path gives
// no vertices and an open curve.
void ClosedPathToCurve(TACurva& curve, const ClipperLib::Path& path, bool fitArcs, bool appendFirst);
// The same without closing; arcs fitted up to radius 1000.
void OpenPathToCurve(TACurva& curve, const ClipperLib::Path& path, bool fitArcs);
