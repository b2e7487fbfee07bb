#pragma once
// TQVClipperOffset: the one-sided offset of open paths on the integer paths
// of the polygon-clipping library (Clipper 6.4.2, namespace ClipperLib).
//
// The library's own offset of an open path traces the outline around both
// sides of it and unites the result; cutter compensation and the drawing's
// offset command need the single parallel path on one side. This class is
// filled and executed like the library's ClipperOffset, and reproduces the
// library's per-vertex step, joins, end caps and unit normals (which the
// library keeps private), but:
// - an open path gives one output path on the side of delta's sign: the
//   unit normal of P1 -> P2 is the right-hand normal (dy, -dx) / length, so
//   a positive delta puts the result on the right of the direction of
//   travel and a negative one on the left (Y axis up);
// - open paths are offset for either sign of delta, and a delta of (nearly)
//   0 gives nothing for them;
// - there is no union pass; instead every output path loses the loops that
//   inner corners leave (RemoveLoops), so the result may hold several paths
//   or none.
// Closed inputs (closed polygon, closed line) are offset as the library
// does, orientations fixed first, but without the union.
//
// Coordinates and delta are in the library's integer units; the caller
// keeps them within the library's range.

#include <polyclipping/clipper.hpp>

#include <vector>

// Drawing units on the library's integer paths: 1/10000 of a unit.
inline constexpr double ClipperUnitsPerDrawingUnit = 10000.0;
// The largest magnitude of an integer coordinate that the library works
// with (its 62-bit range, 4.6e18 units or about 4.6e14 drawing units); the
// largest double not above that range.
inline constexpr double ClipperMaxUnits = 0x1p62 - 512.0;
// x x 10000 rounded to the nearest integer, halves to even. A value that is
// not finite or lies beyond the library's range raises ECADSysException.
ClipperLib::cInt ToClipperUnits(double x);

class TQVClipperOffset {
public:
    explicit TQVClipperOffset(double miterLimit = 2.0, double arcTolerance = 0.25);

    // Adds a path as the library does: consecutive duplicate points are
    // dropped, and for closed end types also the closing duplicates of the
    // first point; a closed polygon of fewer than three distinct points is
    // not added. An empty path is not added.
    void AddPath(const ClipperLib::Path& path, ClipperLib::JoinType joinType, ClipperLib::EndType endType);
    void AddPaths(const ClipperLib::Paths& paths, ClipperLib::JoinType joinType, ClipperLib::EndType endType);
    void Clear();

    // solution := the offset of every added path by delta, loops removed.
    void Execute(ClipperLib::Paths& solution, double delta);

    // Drops, from each path, the loop between a segment and the last later
    // segment that crosses it (the crossing point, rounded, takes the place
    // of both); a path left with fewer than two points becomes empty.
    static void RemoveLoops(ClipperLib::Paths& paths);

    // As in the library: a multiple of delta; 2 or less counts as 2.
    double MiterLimit;
    // The largest distance of a round join's chords from the true arc, in
    // integer units; 0 or less takes the library's default, 0.25.
    double ArcTolerance;

private:
    struct TSourcePath {
        ClipperLib::Path Contour;
        ClipperLib::JoinType Join;
        ClipperLib::EndType End;
    };
    struct TNormal {
        double X = 0.0;
        double Y = 0.0;
    };

    void FixOrientations();
    void DoOffset(double delta);
    void OffsetOpenPath(const TSourcePath& path);
    void OffsetPoint(size_t j, size_t& k, ClipperLib::JoinType joinType);
    void DoSquare(size_t j, size_t k);
    void DoMiter(size_t j, size_t k, double r);
    void DoRound(size_t j, size_t k);
    void Append(size_t j, double nx, double ny);

    std::vector<TSourcePath> m_Paths;
    // The added closed polygon with the lowest point (largest Y, then
    // smallest X) and that point's index; -1 while there is none.
    long m_LowestPath = -1;
    size_t m_LowestIndex = 0;

    ClipperLib::Paths m_DestPolys;
    ClipperLib::Path m_SrcPoly;
    ClipperLib::Path m_DestPoly;
    std::vector<TNormal> m_Normals;
    double m_Delta = 0.0;
    double m_SinA = 0.0;
    double m_Sin = 0.0;
    double m_Cos = 0.0;
    double m_MiterLim = 0.0;
    double m_StepsPerRad = 0.0;
    double m_Steps = 0.0;
};
