#pragma once
// Path vertices of chains, machining curves and toolpaths, their stored
// records and the tangent directions at a vertex.
//
// A path is an ordered list of vertices. The first vertex gives the start
// point; every following vertex describes the segment from the previous
// vertex's end point to its own end point: a straight line (kind 0) or a
// circular arc about its centre, counter-clockwise (kind 1) or clockwise
// (kind -1).

#include "core/geometry/Points.h"

#include <cstdint>

class TStream;

// 2D vertex of chains and machining curves. Stored as a 44-byte
// little-endian record: kind int32, end point X, Y, centre X, Y (doubles),
// attribute int32, ID int32.
struct TAVertice {
    static constexpr int64_t kRecordSize = 44;

    int32_t Kind = 0;          // 0 line, 1 counter-clockwise arc, -1 clockwise arc
    TVector2D EndPoint;        // where the segment ends
    TVector2D Centre;          // arc centre; meaningful for kinds 1 and -1
    int32_t Attribute = 0;     // carried for the machining code, no meaning here
    int32_t ID = -1;           // drawing entity the segment comes from; -1 none

    // Every field at its default: kind 0, points (0, 0), attribute 0, ID -1.
    static TAVertice Create();
    // A line vertex ending at the point.
    static TAVertice CreateAt(const TVector2D& point, int32_t attribute);
    // A line vertex whose centre field carries a second point.
    static TAVertice CreatePoints(const TVector2D& endPoint, const TVector2D& secondPoint);
    // ID -1; callers making a vertex from an arc pass 1 for counter-clockwise
    // and -1 for clockwise.
    static TAVertice CreateFull(int32_t kind, const TVector2D& endPoint, const TVector2D& centre,
                                int32_t attribute);
    // All five fields, the ID included.
    static TAVertice CreateCopy(const TAVertice& source);
    // Reads one record; raises EStreamReadError when the stream ends inside
    // it (nothing is returned then).
    static TAVertice CreateFromStream(TStream& stream);

    void Assign(const TAVertice& source);
    void SaveToStream(TStream& stream) const;
};

// 3D vertex of toolpath curves; no entity ID. Stored as a 56-byte record:
// kind int32, end point X, Y, Z, centre X, Y, Z (doubles), attribute int32.
struct TAVertice3d {
    static constexpr int64_t kRecordSize = 56;

    int32_t Kind = 0;
    TVector3D EndPoint;
    TVector3D Centre;
    int32_t Attribute = 0;

    static TAVertice3d Create();
    static TAVertice3d CreateAt(const TVector3D& point);
    static TAVertice3d CreateFull(int32_t kind, const TVector3D& endPoint, const TVector3D& centre,
                                  int32_t attribute);
    static TAVertice3d CreateCopy(const TAVertice3d& source);
    // Raises EStreamReadError when the stream ends inside the record.
    static TAVertice3d CreateFromStream(TStream& stream);

    void Assign(const TAVertice3d& source);
    // Kind, points and attribute of the 2D vertex, both points at height z;
    // the 2D vertex's ID is not carried over.
    void AssignFrom2D(const TAVertice& source, double z);
    void SaveToStream(TStream& stream) const;
};

// Tangent directions: the direction of travel, not normalised (a line's has
// the length of the segment, an arc's the length of its radius).

// At P on the segment that leads to the current vertex: for a line the
// difference of the end points (the same everywhere on it); for kind 1 the
// radius vector from the centre to P turned +90 degrees; for any other kind
// the same turned -90 degrees.
TVector2D TangentAtPoint(const TVector2D& p, const TAVertice& previous, const TAVertice& current);
// TangentAtPoint at the segment's start (the previous vertex's end point).
TVector2D TangentAtStart(const TAVertice& previous, const TAVertice& current);
// TangentAtStart on the X and Y of 3D vertices; Z takes no part.
TVector2D StartTangent3d(const TAVertice3d& previous, const TAVertice3d& current);
