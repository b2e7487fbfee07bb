#pragma once
// Toolpath curves: one continuous tool move sequence in 3D each, with the
// curve toolkit the generators call (linking, ordering, holding tabs, ramp
// and helix places, step-and-repeat copies) and the stored record.
//
// Vertex 0 is the start point; each later vertex ends one segment from the
// previous end point: kind 0 a line, 1 a counter-clockwise arc, -1 a
// clockwise arc about its centre. Segment i runs from vertex i - 1 to
// vertex i. Lengths and nearest points are taken in XY; Z rides along.
//
// Stored record (inside an operation record), little-endian: int32 vertex
// count - 1, byte Closed, ("QV-001" on) int16 Tag and int32 ID, the 56-byte
// vertices, and for TCurvaNci3d an int32 Code. CompCode and Reversed are not
// stored and read back as 0.

#include "cam/curves/ACurva.h"
#include "core/geometry/Vertice.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TArea;
class TParametriOperazione;
class TQV_01Cmp2D;
class TStream;
class TCurvaNci3d;

class TCurva3d {
public:
    TCurva3d() = default;
    virtual ~TCurva3d() = default;
    TCurva3d(const TCurva3d&) = default;
    TCurva3d& operator=(const TCurva3d&) = default;

    // Appends the vertex and returns its index.
    int32_t AddVertex(const TAVertice3d& vertex);
    // Removes every vertex and clears Closed.
    void Clear();
    int32_t VertexCount() const { return static_cast<int32_t>(Vertices.size()); }

    // The vertices of the 2D curve at height z (end points and centres; the
    // entity ids are dropped); Closed, Tag, ID and CompCode of the curve.
    void FromMachiningCurve(const TACurva& curve, double z);
    // Copies of the other's vertices; Closed, Tag, ID and CompCode.
    void Assign(const TCurva3d& other);
    // Assign with dz added to the Z of every end point and centre.
    void CopyWithZOffset(const TCurva3d& other, double dz);

    // The sum of the segment lengths in XY (arcs: sweep x radius).
    double Length() const;
    bool IsClosedWithLength() const;

    // Runs the curve the other way: each segment keeps its centre and takes
    // the negated kind; the new start vertex has kind 0 and centre 0;
    // Reversed flips.
    void Reverse();

    // The curve cut at vertex index: the first part takes vertices
    // 0..index, the second starts with a line vertex at that vertex's end
    // point, then index+1..last. The vertices move out: this curve is left
    // empty. The parts have the values of new curves (ID, Tag, CompCode,
    // Closed, Reversed and Code 0). An index outside the vertices raises
    // ECADOutOfBound.
    struct TSplit {
        std::unique_ptr<TCurvaNci3d> First;
        std::unique_ptr<TCurvaNci3d> Second;
    };
    TSplit Split(int32_t index);

    // Makes the point a vertex after vertex index unless it equals (XY,
    // system tolerance) that vertex's end point (nothing changes) or the
    // next one's (index moves on to it). A new vertex takes the kind and
    // centre of the next vertex when that is an arc, so an arc is split on
    // its own circle; index moves on to the new vertex.
    void InsertPoint(int32_t& index, const TVector3D& point);

    // When this curve ends where the other starts (XYZ, system tolerance):
    // copies of the other's vertices 1..last are appended, the other is
    // freed (reset) and the result is true. Else nothing changes.
    bool AppendIfContinuous(std::unique_ptr<TCurvaNci3d>& other);
    // Unless the straight slot of the half width from this curve's end to
    // the 2D curve's start leaves the area: every vertex of the 2D curve is
    // appended at Z 0 (its first gives the straight link), the 2D curve is
    // freed (reset) and the result is true.
    bool AppendIfLinkInside(std::unique_ptr<TACurva>& curve, const TArea& area, double halfWidth);

    // The record without Code.
    virtual void SaveToStream(TStream& stream) const;
    // Reads the record into this curve. A negative count other than -1, a
    // count the stream cannot hold, a stream that ends inside the record or
    // right after a vertex: the curve is emptied and ECADFileNotValid
    // "LoadFromStream: Invalid stream." is raised.
    virtual void LoadFromStream(TStream& stream, std::string_view version);

    int32_t ID = 0;
    // Low byte: the generator's curve flags (1: an island or a pass's main
    // curve); high byte: the XY pass number of the nested contour.
    int16_t Tag = 0;
    // Controller compensation code (41, 42); 0 for none.
    int16_t CompCode = 0;
    uint8_t Closed = 0;
    uint8_t Reversed = 0;
    std::vector<TAVertice3d> Vertices;

protected:
    void LoadBody(TStream& stream, std::string_view version);
};

// A curve as the G-code writer takes it.
class TCurvaNci3d : public TCurva3d {
public:
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream, std::string_view version) override;

    // 0 plain moves; 81..83 drilling cycles; 76..79 laser engraving (79 dots).
    int32_t Code = 0;
};

// An operation's toolpath and the generators' working lists: the list owns
// its curves.
using TListaDiCurve3d = std::vector<std::unique_ptr<TCurvaNci3d>>;

// Kind, attribute, end point and centre in XY.
TAVertice Vertex3dTo2d(const TAVertice3d& vertex);

// --- Geometry on a curve ---------------------------------------------------

// The nearest point in XY over all segments; Index is the segment (its end
// vertex). The strictly smallest distance wins, so the earliest segment
// keeps a tie; Distance starts at 1e8 (Index 0 when nothing is nearer).
TCurvePointRecord NearestPointOnCurve(const TCurva3d& curve, const TVector2D& point);
// The length along segment s from the point back to its start (fromStart)
// or forward to its end; arcs along the arc.
double SegmentPartLength(const TCurva3d& curve, int32_t segment, bool fromStart, const TVector2D& point);
// The point at that distance from segment s's start (fromStart) or back
// from its end; arcs by the fraction of their length.
TVector2D PointOnSegment(const TCurva3d& curve, int32_t segment, bool fromStart, double distance);
// The length of segment s in XY.
double SegmentLength(const TCurva3d& curve, int32_t segment);

// Where a tab of the width around the found point starts (WalkBack:
// Distance from the segment's start) or ends (WalkForward: Distance back
// from the segment's end). A closed curve wraps over its start (Wrapped);
// an open one stops at its first or last segment with Distance 0.
struct TTabWalk {
    int32_t Segment = 1;
    double Distance = 0.0;
    bool Wrapped = false;
};
TTabWalk WalkBack(const TCurva3d& curve, const TCurvePointRecord& tab, double width);
TTabWalk WalkForward(const TCurva3d& curve, const TCurvePointRecord& tab, double width);

// --- Lists -----------------------------------------------------------------

// Appends a curve at Z 0 of every 2D curve.
void CurvesFromMachiningCurves(TListaDiCurve3d& target, const TListaDiCurve& curves);
void ClearCurveList(TListaDiCurve3d& list);
// Appends the source's curves to the target and empties the source.
void MoveCurves(TListaDiCurve3d& target, TListaDiCurve3d& source);

// Links the 2D curves onto the target (the pockets' finishing rings): each
// in turn starts at its segment nearest the current point (the end of the
// target's last curve, then of the previous ring before its leads), gets the
// mid-segment start, its lead-in and lead-out, and is appended to the last
// curve when KeepToolDown is set and the slot of half width CompOffset to
// it stays inside the area, else it becomes a new curve. The 2D list ends
// empty. An empty target starts from the first ring's own start.
void LinkCurves(TListaDiCurve3d& target, TListaDiCurve& curves, const TArea& area, const TParametriOperazione& params);

// Within each run of curves of one level (the high byte of Tag), from the
// highest level down to 1, the curve whose start is nearest the current
// point comes next (the earlier on a tie); level-0 curves and the runs'
// places stay. The current point starts at start and carries over.
void OrderByLevel(TListaDiCurve3d& list, const TVector2D& start);
// The curves whose Tag's low byte is 1 (islands) ordered by OrderByLevel
// and put first (islandsFirst) or last, the rest ordered from start or
// from the end of the last island.
void OrderIslandsFirst(TListaDiCurve3d& list, const TVector2D& start, bool islandsFirst);

// Puts a holding tab of the width on curve index of the list, around the
// point found by NearestPointOnCurve. Full: the curve is cut open over the
// tab (the rest follows as a new curve right after it). Partial: the
// stretch over the tab is raised to tabZ (in the curve's own Z frame) with
// vertical moves at both ends. A tab over the start of a closed curve
// leaves one open curve from the tab's end round to its start (full), or
// raises the stretch on both sides of the start (partial). A closed curve
// no longer than the tab is removed (full) or raised whole (partial).
void ApplyTab(TListaDiCurve3d& list, int32_t index, const TCurvePointRecord& found, bool full, double tabZ,
              double width);

// The first segment whose start direction, followed for the length from
// its start, gives a slot of the half width inside the area: its start
// point, the index of its start vertex and the direction angle (radians)
// of its chord.
struct TRampPlace {
    bool Found = false;
    TVector3D Start;
    int32_t Index = 0;
    double Angle = 0.0;
};
TRampPlace FindRampStart(const TCurva3d& curve, double halfWidth, double length, const TArea& area);

// The first place whose circle of radius offset + helixRadius lies inside
// the area: with onSegments, a point 1.1 x helixRadius before the end of the
// segment after each vertex (on a line along the line, on an arc along the
// arc, never before its start), inserted into the curve (InsertPoint);
// otherwise, or after the last vertex, the vertex's end point. Point at
// Z 0 and the index of its vertex.
struct THelixPlace {
    bool Found = false;
    TVector3D Point;
    int32_t Index = 0;
};
THelixPlace FindHelixPlace(TCurva3d& curve, bool onSegments, const TArea& area, double offset, double helixRadius);

// A copy shifted by (dx, dy) (end points, and centres of arcs) with every
// attribute and Code; null for a curve without vertices.
std::unique_ptr<TCurvaNci3d> TranslatedCopy(const TCurvaNci3d& curve, double dx, double dy);

// Every segment as a line or arc entity of the drawing (next free id),
// moved up by the Z of its start when that is not 0. Nothing below two
// vertices.
void CurveToDrawing(const TCurva3d& curve, TQV_01Cmp2D& document);
