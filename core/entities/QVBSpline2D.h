#pragma once
// TQVBSpline2D: a rational B-spline (NURBS) with explicit degree, knots and
// weights, as the DXF import creates it from SPLINE entities. Class id 19.
//
// Stored record, after the TCurve2D record: five uint8 flags (closed,
// periodic, rational, planar, linear), int32 degree, the knots and the
// weights in the TDoubleList stream form. The control points are the
// TPrimitive2D control points; the control-vertex list is rebuilt from
// them on reading (Z = 0).
//
// Profile (segments s, degree p, knots U(0) .. U(m), c control points):
// - s of 0 or below: no profile, box (0, 0)-(0, 0).
// - Fewer control points than p: a copy of the control points.
// - Otherwise the control-vertex list is topped up with (X, Y, 0) of every
//   control point beyond its length, and a = max(s, c) samples are taken
//   at equal steps over the curve's domain U(p) .. U(m - p), both ends
//   included (for a clamped knot vector that is U(0) .. U(m)). When c
//   exceeds s the segments are raised to c (at most 32,767) and stay so. The
//   weight list is padded with 1.0 up to c before sampling.
// - A spline that cannot be evaluated shows its control polygon (a copy of
//   the control points) and keeps knots, weights and degree as they are for
//   saving: degree outside 0 .. kMaxSplineDegree, a knot list that fails
//   IsValidKnotVector (empty, too short, decreasing, not finite, empty
//   domain), more basis functions (m - p) than control points, a weight of
//   a used control point that is not finite and positive, or a sample that
//   does not come out finite.
// The box is that of the profile through the model transform. Nothing here
// raises on stored data.

#include "core/entities/Curve2D.h"
#include "core/geometry/DoubleList.h"
#include "core/geometry/Vector3DList.h"

#include <span>

// The five flags of a DXF SPLINE, one byte each as stored.
struct TSplineFlags {
    uint8_t Closed = 0;
    uint8_t Periodic = 0;
    uint8_t Rational = 0;
    uint8_t Planar = 0;
    uint8_t Linear = 0;
};
// The flags from the bits 1, 2, 4, 8 and 16 of the DXF spline flag value.
TSplineFlags SplineFlagsFromDxf(int32_t flags);

class TQVBSpline2D : public TCurve2D {
public:
    static constexpr std::string_view kClassName = "TQVBSpline2D";
    static constexpr uint16_t kStreamClassId = 19;
    static constexpr int32_t kDefaultDegree = 3;
    // Homogeneous coordinates of a weighted control point: X w, Y w, w.
    static constexpr int32_t kDimension = 3;

    // The configured "MaxCurveSeg" segments (brought into the int16 range),
    // the points appended (the set grows), degree 3, no knots, no weights,
    // empty vertex lists. Such a spline shows its control polygon until it
    // gets knots.
    TQVBSpline2D(int32_t id, std::span<const TPoint2D> points);
    TQVBSpline2D(TStream& stream, std::string_view signature);
    static std::unique_ptr<TGraphicObject> CreateFromStream(TStream& stream, std::string_view signature);
    // ID -1 and the one control point (0, 0), for the DXF import to fill.
    static std::unique_ptr<TQVBSpline2D> CreateEmpty();

    std::string_view ClassName() const override { return kClassName; }

    const TSplineFlags& Flags() const { return m_Flags; }
    void SetFlags(const TSplineFlags& flags) { m_Flags = flags; }
    int32_t Degree() const { return m_Degree; }
    // Stores the degree; the next bounds update uses it.
    void SetDegree(int32_t degree) { m_Degree = degree; }
    // The counts as declared by the DXF file, or as read.
    int32_t KnotCount() const { return m_KnotCount; }
    void SetKnotCount(int32_t count) { m_KnotCount = count; }
    int32_t ControlPointCount() const { return m_ControlPointCount; }
    void SetControlPointCount(int32_t count) { m_ControlPointCount = count; }
    int32_t Dimension() const { return m_Dimension; }

    const TDoubleList& Knots() const { return m_Knots; }
    const TDoubleList& Weights() const { return m_Weights; }
    void AddKnot(double value) { m_Knots.Add(value); }
    void AddWeight(double value) { m_Weights.Add(value); }
    int WeightsCount() const { return m_Weights.Count(); }

    const TVector3DList& ControlVertices() const { return m_ControlVertices; }
    // Kept and copied, never filled here.
    const TVector3DList& SecondVertices() const { return m_SecondVertices; }
    TVector3DList& SecondVertices() { return m_SecondVertices; }
    // Appends (0, 0, 0) to the control-vertex list and returns it for the
    // importer to fill; it stays the latest vertex until the next one. The
    // reference is valid until the list next grows.
    TVector3D& AddControlVertex();
    // The latest vertex AddControlVertex gave; ECADOutOfBound when none.
    TVector3D& LatestControlVertex();
    // Raises ECADOutOfBound "TVector3DList.Get: Index out of bound" outside
    // the list.
    const TVector3D& GetControlVertex(int index) const { return m_ControlVertices.Get(index); }

    // Filled by the DXF import; not stored, not copied by Assign (a clone
    // keeps them), not used by the evaluation.
    const TVector3D& Normal() const { return m_Normal; }
    void SetNormal(const TVector3D& v) { m_Normal = v; }
    const TVector3D& StartTangent() const { return m_StartTangent; }
    void SetStartTangent(const TVector3D& v) { m_StartTangent = v; }
    const TVector3D& EndTangent() const { return m_EndTangent; }
    void SetEndTangent(const TVector3D& v) { m_EndTangent = v; }

    // True when the profile is the curve itself rather than the control
    // polygon (see the header comment).
    bool CanEvaluate() const;

    // The profile lines in the entity group.
    void Draw() override;
    // Nothing: a selected spline has no highlight of its own.
    void DrawSelected() override {}
    // The curve part; then from a TQVBSpline2D the flags, degree, both
    // declared counts, the knots, weights and both vertex lists (replacing
    // this spline's own), and every control point; the set grows.
    void Assign(const TGraphicObject& source) override;
    void SaveToStream(TStream& stream) override;

protected:
    // The curve part and every field below, the import's normal and
    // tangents included.
    TQVBSpline2D(const TQVBSpline2D& source, TCloneTag tag);
    std::unique_ptr<TGraphicObject> CloneObject() const override;

    TRect2D PopulateProfile() override;

private:
    // Fills the profile with the a samples; false when a sample is not
    // finite.
    bool SampleProfile(TPointsSet2D& profile);

    TSplineFlags m_Flags;
    int32_t m_Degree = kDefaultDegree;
    int32_t m_KnotCount = 0;
    int32_t m_ControlPointCount = 0;
    TDoubleList m_Knots;
    TDoubleList m_Weights;
    TVector3DList m_ControlVertices;
    TVector3DList m_SecondVertices;
    int32_t m_Dimension = kDimension;
    int m_LatestVertex = -1;
    TVector3D m_Normal;
    TVector3D m_StartTangent;
    TVector3D m_EndTangent;
};
