#include "core/entities/BSpline2D.h"

#include "core/geometry/Geometry.h"
#include "core/geometry/SplineMath.h"
#include "core/file/Stream.h"

#include <vector>

TBSpline2D::TBSpline2D(int32_t id, std::span<const TPoint2D> points)
    : TCurve2D(id, static_cast<int>(points.size()), kDefaultSegments)
{
    AddPointsQuietly(points);
    Points().SetGrowable(true);
    UpdateBounds();
}

TBSpline2D::TBSpline2D(TStream& stream, std::string_view signature) : TCurve2D(stream, signature)
{
    m_Order = ReadUInt8(stream);
    UpdateBounds();
}

std::unique_ptr<TGraphicObject> TBSpline2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TBSpline2D>(stream, signature);
}

TBSpline2D::TBSpline2D(const TBSpline2D& source, TCloneTag tag)
    : TCurve2D(source, tag), m_Order(source.m_Order)
{
}

std::unique_ptr<TGraphicObject> TBSpline2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TBSpline2D(*this, TCloneTag{}));
}

void TBSpline2D::SetOrder(uint8_t order)
{
    m_Order = order;
    UpdateBounds();
}

bool TBSpline2D::CanEvaluate() const
{
    return m_Order >= 1 && m_Order <= kMaxSplineDegree + 1 && Points().Count() >= m_Order;
}

TRect2D TBSpline2D::PopulateProfile()
{
    const int segments = Segments();
    if (segments <= 0)
        return EmptyBox();
    const std::span<const TPoint2D> points = Points().Points();
    TPointsSet2D& profile = PrepareProfile(segments + 1);

    bool evaluated = false;
    if (CanEvaluate()) {
        const int k = m_Order;
        const int n = static_cast<int>(points.size()) - 1;
        const std::vector<double> knots = OpenUniformKnots(n, k);
        std::vector<TVector3D> weighted;
        weighted.reserve(points.size());
        for (const TPoint2D& p : points) {
            const TPoint2D c = CartesianPoint2D(p);
            weighted.push_back(TVector3D{c.X, c.Y, 1.0});
        }
        // The whole parameter range of the open uniform vector, n - k + 2.
        const double range = n - k + 2;
        evaluated = true;
        for (int i = 0; i < segments && evaluated; ++i) {
            const double t = static_cast<double>(i) / segments * range;
            const std::optional<TPoint2D> c = NurbsCurvePoint(knots, k - 1, weighted, t);
            if (c)
                profile.Add(*c);
            evaluated = c.has_value();
        }
        if (evaluated)
            profile.Add(points.back());
    }
    if (!evaluated) {
        profile.Clear();
        for (const TPoint2D& p : points)
            profile.Add(p);
    }
    return TransformRect2D(profile.GetBounds(), GetModelTransform());
}

void TBSpline2D::Draw()
{
    SetSceneNode(AddCurveLines(TargetGroup(TSceneGroup::Entity)));
}

void TBSpline2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TCurve2D::Assign(source);
    if (const auto* spline = dynamic_cast<const TBSpline2D*>(&source)) {
        m_Order = spline->m_Order;
        // Fires the change callback once at the end.
        CopyPointsRange(Points(), spline->Points(), 0, spline->Points().Count() - 1);
    }
    Points().SetGrowable(true);
}

void TBSpline2D::SaveToStream(TStream& stream)
{
    TCurve2D::SaveToStream(stream);
    WriteUInt8(stream, m_Order);
}
