#pragma once
// TACurva: the 2D path of the machining side, an ordered list of vertices
// (core/Vertice.h) with an ID and closed and reversed flags. Chains are
// curves, areas are lists of closed curves, and the 2D generators build
// curves before they become toolpaths.
//
// Vertex 0 carries only the start point; every later vertex describes the
// segment from the previous vertex's end point to its own. Drawing units,
// angles in radians. A closed curve repeats its start point as the end
// point of its last vertex.
//
// Operations that need vertices leave an empty curve (and their results)
// as they are.

#include "cam/curves/AArco.h"
#include "core/geometry/Vertice.h"

#include <polyclipping/clipper.hpp>

#include <memory>
#include <string>
#include <vector>

class TABox;
class TQV_01Cmp2D;
class TStream;

// A point found on a curve: its distance from the point asked about, the
// point and the index of the vertex that the search reports.
struct TCurvePointRecord {
    double Distance = 1e8;
    TVector2D Point;
    int Index = 0;
};

// The tangent of a lead and its length: type 1 line, 2 arc, anything else
// none.
struct TLeadInOutParams {
    int Side = 0;          // compensation side -1, 0 (no leads) or 1
    int LeadInType = 0;
    double LeadInLength = 0.0;
    int LeadOutType = 0;
    double LeadOutLength = 0.0;
};

class TACurva {
public:
    TACurva() = default;
    TACurva(const TACurva&) = default;
    TACurva& operator=(const TACurva&) = default;
    virtual ~TACurva() = default;

    // Empties the vertex list and clears Closed; ID and flags stay.
    void Clear();
    // Appends copies of the source's vertices (callers assign to empty
    // curves) and copies Closed, Tag, ID and CompCode; Reversed stays.
    void Assign(const TACurva& source);
    // Appends the vertex; returns its index.
    int AddVertex(const TAVertice& vertex);
    int Count() const { return static_cast<int>(Vertices.size()); }

    // The stored record: int32 count - 1, byte Closed, then from version
    // "QV-001" on int16 Reversed and int32 ID, then the 44-byte vertices.
    // Tag takes the value of Reversed first.
    void SaveToStream(TStream& stream);
    // Reads the record into an empty curve: Tag := the int16 read, Reversed
    // := it is not 0. A damaged record, a count that the stream cannot hold,
    // or a last vertex that ends at the very end of the stream (a curve
    // record is always followed by more data) clears the curve and raises
    // ECADFileNotValid. A curve read raises the GestioneID counter to its ID
    // (never lowers it).
    void LoadFromStream(TStream& stream, const std::string& version);

    // Runs the curve the other way: end points in reverse order, each
    // segment's kind negated; the vertices get ID -1; Reversed toggles.
    void Reverse();
    // Negative for a counter-clockwise closed curve.
    double SignedArea() const;
    // Closed and the signed area above 0.
    bool IsClockwise() const;
    void ExtendBox(TABox& box) const;

    // The first segment nearest to P; Index is the segment's end vertex.
    TCurvePointRecord NearestPoint(const TVector2D& p) const;
    // Nearest segment whose start point is also no farther than the best
    // start so far; Index is the segment's start vertex; later ties win.
    TCurvePointRecord NearestSegmentStart(const TVector2D& p) const;
    // The contour generator's search for where a pass starts, given the
    // first and second vertices of its chain (FirstVertexCopy and
    // SecondVertexCopy).
    TCurvePointRecord FindStartSegment(const TAVertice& a, const TAVertice& b) const;
    // The first or last end point, whichever is nearer (the last on a tie).
    TVector2D NearestEnd(const TVector2D& p) const;

    // Closed curves only: make the curve start elsewhere on the same path.
    void StartAtNearestVertex(const TVector2D& p);
    void StartAtNearestSegment(const TVector2D& p);
    // Index 0 or less (and an index past the end) does nothing.
    void RotateStart(int index);
    // Makes the point of the record (from a nearest search) a vertex, unless
    // it lies within the chain tolerance of an existing end point, and sets
    // record.Index to that vertex.
    void InsertPointAt(TCurvePointRecord& record);
    void StartAtPoint(TCurvePointRecord record);
    void StartAtFirstMidpoint();

    // Copies of vertex 0 / 1; fromEnd: of the last / second-to-last vertex
    // with its kind negated (the start of the reversed curve). The curve
    // must have enough vertices.
    TAVertice FirstVertexCopy(bool fromEnd) const;
    TAVertice SecondVertexCopy(bool fromEnd) const;
    TAVertice VertexCopy(int index) const;

    // Adds lead-in and lead-out segments on the compensation side; nothing
    // for side 0 or a curve of fewer than two vertices.
    void AddLeadInOut(const TLeadInOutParams& params);

    // Replaces runs of line segments by arcs within 1.4 x AreaTolerance
    // (cam/ArcFit.cpp); arc vertices stay in place; arcs above maxRadius
    // become lines. The curve is untouched when no arc is found.
    void FitArcs(double minRadius, double maxRadius);

    // The curve as one integer path (10000 units per drawing unit) of chord
    // points; the closing point is dropped when it repeats the first. A
    // curve without vertices leaves the path as it was.
    void ToClipperPath(bool reversed, ClipperLib::Path& path) const;

    int32_t ID = 0;
    int16_t Tag = 0;
    int16_t CompCode = 0;      // 0, or 41 / 42: cutter compensation left / right
    uint8_t Closed = 0;
    uint8_t Reversed = 0;
    std::vector<TAVertice> Vertices;
};

// The toolpath record of old documents: a curve followed by a double and an
// int32 that nothing uses; it is read only to keep the stream in step.
class TCurvaNci : public TACurva {
public:
    void LoadFromStream(TStream& stream, const std::string& version);

    double LegacyValue = 0.0;
    int32_t LegacyCode = 0;
};

// Each segment of the curve as a line or arc entity of the document, or as
// a preview drawn once and freed (core/entities/CurveToEntities.h).
void CurveToEntities(const TACurva& curve, TQV_01Cmp2D& document, bool preview, int32_t& lineCount,
                     int32_t& arcCount);

// Hands out chain IDs 1, 2, 3, ... for the whole run, past every ID loaded.
class TGestioneID {
public:
    int32_t NextID() { return ++Counter; }
    int32_t Counter = 0;
};

// The program's one ID source.
TGestioneID& GestioneID();

// An owning list of curves.
class TListaDiCurve {
public:
    TListaDiCurve() = default;
    TListaDiCurve(const TListaDiCurve&) = delete;
    TListaDiCurve& operator=(const TListaDiCurve&) = delete;
    virtual ~TListaDiCurve() = default;

    TACurva* Add(std::unique_ptr<TACurva> curve);
    int Count() const { return static_cast<int>(Items.size()); }
    TACurva& operator[](int index) { return *Items[static_cast<size_t>(index)]; }
    const TACurva& operator[](int index) const { return *Items[static_cast<size_t>(index)]; }
    void ClearCurves() { Items.clear(); }
    void ReverseAll();

    std::vector<std::unique_ptr<TACurva>> Items;
};
