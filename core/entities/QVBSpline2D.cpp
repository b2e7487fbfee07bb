#include "core/entities/QVBSpline2D.h"

#include "core/geometry/Geometry.h"
#include "core/geometry/SplineMath.h"
#include "core/file/Stream.h"
#include "core/geometry/Tolerance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

int16_t ToSegments(int64_t value)
{
    return static_cast<int16_t>(std::clamp<int64_t>(value, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

// The weight the evaluation uses for control point i: the stored one, 1
// beyond the list.
double EffectiveWeight(std::span<const double> weights, size_t i)
{
    return i < weights.size() ? weights[i] : 1.0;
}

void CopyControlPolygon(TPointsSet2D& profile, std::span<const TPoint2D> points)
{
    profile.Clear();
    for (const TPoint2D& p : points)
        profile.Add(p);
}

} // namespace

TSplineFlags SplineFlagsFromDxf(int32_t flags)
{
    auto bit = [flags](int32_t mask) -> uint8_t { return (flags & mask) != 0 ? 1 : 0; };
    return TSplineFlags{bit(1), bit(2), bit(4), bit(8), bit(16)};
}

TQVBSpline2D::TQVBSpline2D(int32_t id, std::span<const TPoint2D> points)
    : TCurve2D(id, static_cast<int>(points.size()), ToSegments(MaxCurveSeg()))
{
    AddPointsQuietly(points);
    Points().SetGrowable(true);
    UpdateBounds();
}

TQVBSpline2D::TQVBSpline2D(TStream& stream, std::string_view signature) : TCurve2D(stream, signature)
{
    m_Flags.Closed = ReadUInt8(stream);
    m_Flags.Periodic = ReadUInt8(stream);
    m_Flags.Rational = ReadUInt8(stream);
    m_Flags.Planar = ReadUInt8(stream);
    m_Flags.Linear = ReadUInt8(stream);
    m_Degree = ReadInt32(stream);
    m_Knots.LoadFromStream(stream);
    m_Weights.LoadFromStream(stream);
    m_ControlVertices.SetFromPoints(Points());
    m_KnotCount = m_Knots.Count();
    m_ControlPointCount = m_ControlVertices.Count();
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TQVBSpline2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TQVBSpline2D>(stream, signature);
}

TQVBSpline2D::TQVBSpline2D(const TQVBSpline2D& source, TCloneTag tag)
    : TCurve2D(source, tag), m_Flags(source.m_Flags), m_Degree(source.m_Degree), m_KnotCount(source.m_KnotCount),
      m_ControlPointCount(source.m_ControlPointCount), m_Knots(source.m_Knots), m_Weights(source.m_Weights),
      m_ControlVertices(source.m_ControlVertices), m_SecondVertices(source.m_SecondVertices),
      m_Dimension(source.m_Dimension), m_LatestVertex(source.m_LatestVertex), m_Normal(source.m_Normal),
      m_StartTangent(source.m_StartTangent), m_EndTangent(source.m_EndTangent)
{
}

std::unique_ptr<TGraphicObject> TQVBSpline2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TQVBSpline2D(*this, TCloneTag{}));
}

std::unique_ptr<TQVBSpline2D> TQVBSpline2D::CreateEmpty()
{
    const std::array<TPoint2D, 1> origin{Point2D(0.0, 0.0)};
    return std::make_unique<TQVBSpline2D>(-1, origin);
}

TVector3D& TQVBSpline2D::AddControlVertex()
{
    m_LatestVertex = m_ControlVertices.AddXYZ(0.0, 0.0, 0.0);
    return m_ControlVertices.Get(m_LatestVertex);
}

TVector3D& TQVBSpline2D::LatestControlVertex()
{
    return m_ControlVertices.Get(m_LatestVertex);
}

bool TQVBSpline2D::CanEvaluate() const
{
    const int p = m_Degree;
    if (p < 0 || p > kMaxSplineDegree || !IsValidKnotVector(m_Knots.Values(), p))
        return false;
    // One basis function per control point used: m - p of them.
    const size_t used = static_cast<size_t>(m_Knots.Count()) - static_cast<size_t>(p) - 1;
    const std::span<const TPoint2D> points = Points().Points();
    if (used > points.size())
        return false;
    for (size_t i = 0; i < used; ++i) {
        const double w = EffectiveWeight(m_Weights.Values(), i);
        if (!std::isfinite(w) || w <= 0.0)
            return false;
    }
    return true;
}

TRect2D TQVBSpline2D::PopulateProfile()
{
    if (Segments() <= 0)
        return EmptyBox();
    const std::span<const TPoint2D> points = Points().Points();
    TPointsSet2D& profile = PrepareProfile(Segments() + 1);
    if (static_cast<int64_t>(points.size()) < m_Degree) {
        CopyControlPolygon(profile, points);
    } else {
        for (size_t i = static_cast<size_t>(m_ControlVertices.Count()); i < points.size(); ++i)
            m_ControlVertices.AddXYZ(points[i].X, points[i].Y, 0.0);
        if (!CanEvaluate() || !SampleProfile(profile))
            CopyControlPolygon(profile, points);
    }
    return TransformRect2D(profile.GetBounds(), GetModelTransform());
}

bool TQVBSpline2D::SampleProfile(TPointsSet2D& profile)
{
    const std::span<const TPoint2D> points = Points().Points();
    int samples = Segments();
    if (samples < static_cast<int>(points.size())) {
        // The raise persists: the next update samples as many.
        SetSegments(ToSegments(static_cast<int64_t>(points.size())));
        samples = static_cast<int>(points.size());
    }
    while (m_Weights.Count() < static_cast<int>(points.size()))
        m_Weights.Add(1.0);

    std::vector<TVector3D> weighted;
    weighted.reserve(points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const TPoint2D c = CartesianPoint2D(points[i]);
        const double w = m_Weights.Values()[i];
        weighted.push_back(TVector3D{c.X * w, c.Y * w, w});
    }

    const std::span<const double> knots = m_Knots.Values();
    const TKnotDomain domain = KnotDomain(knots, m_Degree);
    profile.EnsureCapacity(samples);
    for (int i = 0; i < samples; ++i) {
        // Each parameter from its index, so the last one is the domain's end
        // exactly and no rounding accumulates along the way.
        const double u = i + 1 == samples ? (samples == 1 ? domain.First : domain.Last)
                                          : domain.First + (domain.Last - domain.First) * i / (samples - 1);
        const std::optional<TPoint2D> c = NurbsCurvePoint(knots, m_Degree, weighted, u);
        if (!c)
            return false;
        profile.Add(*c);
    }
    return true;
}

void TQVBSpline2D::Draw()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Entity)));
}

void TQVBSpline2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TCurve2D::Assign(source);
    if (const auto* spline = dynamic_cast<const TQVBSpline2D*>(&source)) {
        m_Flags = spline->m_Flags;
        m_Degree = spline->m_Degree;
        m_KnotCount = spline->m_KnotCount;
        m_ControlPointCount = spline->m_ControlPointCount;
        // Replaced, not appended to: a spline that already had knots would
        // otherwise end up with both knot vectors one after the other.
        m_Knots.Clear();
        m_Knots.AddFrom(spline->m_Knots);
        m_Weights.Clear();
        m_Weights.AddFrom(spline->m_Weights);
        m_ControlVertices.Clear();
        m_ControlVertices.AddFrom(spline->m_ControlVertices);
        m_SecondVertices.Clear();
        m_SecondVertices.AddFrom(spline->m_SecondVertices);
        m_Dimension = spline->m_Dimension;
        m_LatestVertex = -1;
        // Fires the change callback once at the end.
        CopyPointsRange(Points(), spline->Points(), 0, spline->Points().Count() - 1);
    }
    Points().SetGrowable(true);
}

void TQVBSpline2D::SaveToStream(TStream& stream)
{
    TCurve2D::SaveToStream(stream);
    WriteUInt8(stream, m_Flags.Closed);
    WriteUInt8(stream, m_Flags.Periodic);
    WriteUInt8(stream, m_Flags.Rational);
    WriteUInt8(stream, m_Flags.Planar);
    WriteUInt8(stream, m_Flags.Linear);
    WriteInt32(stream, m_Degree);
    m_Knots.SaveToStream(stream);
    m_Weights.SaveToStream(stream);
}
