#pragma once
// The program's own offset engine on exact lines and arcs: every segment of
// a curve is offset by itself, consecutive offsets are joined (an arc about
// the source corner where they leave a gap), the result is cut at its
// self-intersections, and the pieces are walked into strands that are kept
// or dropped by their distance from the source. The contour generator uses
// it for closed and open chains alike.
//
// Distances are signed: a positive distance offsets to the left of each
// curve's direction of travel (the inside of a counter-clockwise outline),
// a negative one to the right. Main thread only; the two long passes (the
// cut and the walk) report their progress through a step callback that
// answers whether the user asked to stop (the calculation's progress bar,
// cam/progress/UserBreak_ProgBar.h). The break flag is left as it is.

#include "cam/curves/ACurva.h"
#include "core/geometry/Points.h"

#include <functional>
#include <vector>

class TArea;
class TUserBreak_ProgBar;

// One segment: a line (Bulge 0) or an arc whose bulge is tan(sweep / 4),
// positive for counter-clockwise. A bulge of magnitude 1 is a half circle;
// above 1 the arc sweeps more than half a turn (a full turn has no bulge).
struct TNcAutoPoly {
    TVector2D StartPoint;
    TVector2D EndPoint;
    double Bulge = 0.0;

    bool IsArc() const { return Bulge != 0.0; }
    // Of an arc: k = (1 / b - b) / 2, centre = the chord's midpoint moved
    // by k times the chord turned left, halved.
    TVector2D Centre() const;
    double Radius() const;
    // The arc's sweep in its own direction, in [0, 2 pi).
    double Sweep() const;
    // The direction of travel at the start and at the end (not normalised;
    // an arc's radius vector turned a quarter in its direction).
    TVector2D StartDirection() const;
    TVector2D EndDirection() const;
    // The same segment moved by the distance to its left (a line along its
    // left normal, an arc's end points radially by -d when counter-clockwise
    // and +d when clockwise, the bulge kept).
    TNcAutoPoly Offset(double distance) const;
    // The nearest point of the segment to P (an arc taken in its own
    // direction).
    TVector2D NearestPoint(const TVector2D& p) const;
};

// Answers whether to stop: total and done measure the pass's progress.
using TOffsetStep = std::function<bool(int total, int done)>;

// One branch candidate of the walk: its turn angle and its segment.
struct TAngoloAssociato {
    double Angle = 0.0;
    size_t Segment = 0;
};

class TNcLista {
public:
    // One segment per vertex after the first (a vertex that repeats the
    // previous end point gives none): lines with bulge 0, arcs with
    // tan(sweep / 4) signed by their direction.
    static TNcLista FromCurve(const TACurva& curve);

    // segment 0's start equals the last segment's end.
    bool IsClosed() const;
    // The joined offset of this list by the distance into target (emptied
    // first): each segment's offset, joins at every corner, and the closing
    // join of a closed list.
    void RawOffset(TNcLista& target, double distance) const;
    // Cuts every pair of segments that cross at the crossing point, until
    // no two segments cross inside either of them. False when step asked
    // to stop (the list is then cut only in part).
    bool SplitAtIntersections(const TOffsetStep& step = {});
    // The segment of the list that continues T: among the segments that
    // start at T's end, the one that turns most to the left for a positive
    // distance and most to the right otherwise (straight on counts as half
    // a turn). With remove, every candidate except one that runs straight
    // back along T is taken out of the list, and all but the chosen one are
    // dropped. Nothing when no segment starts there.
    bool FindNext(const TNcAutoPoly& segment, bool remove, TNcAutoPoly& next, double distance);
    // The same search without removal, giving the index of the choice.
    bool FindNextIndex(const TNcAutoPoly& segment, double distance, size_t& index) const;
    // Cuts this list (the joined raw offset of source) at its crossings and
    // walks it into strands; each strand whose first segment keeps at least
    // |distance| - 0.01 from every source segment becomes a curve of target
    // (a strand shrunk to a point becomes nothing).
    // False when step asked to stop: target then gets nothing.
    bool AssemblePieces(TArea& target, const TNcLista& source, double distance, const TOffsetStep& step = {});

    std::vector<TNcAutoPoly> Items;
};

// The strand as a curve: a line vertex at its start, then one vertex per
// segment (a line when the bulge is 0 within the system tolerance, else an
// arc about the bulge's centre); closed when it ends where it starts.
TACurva PiecesToCurve(const std::vector<TNcAutoPoly>& strand);

// Replaces every curve of the area by the curves of its offset. False when
// step asked to stop: the area is then left without curves, so that no part
// of an offset passes for the whole of it.
bool OffsetWithEngine(TArea& area, double distance, const TOffsetStep& step = {});
// The same, stepping the calculation's progress bar (between its
// StartProgress and EndProgress): a refresh that finds the user's break
// stops the offset.
bool OffsetWithEngine(TArea& area, double distance, TUserBreak_ProgBar& progress);
