// The polyline and spline readers of TDXF2DImport: POLYLINE with its VERTEX
// groups, LWPOLYLINE and SPLINE (both read pair by pair), with bulges turned
// into arcs or arc points.

#include "io/dxf/DXF2DImport.h"

#include "core/entities/Arco2D.h"
#include "core/geometry/BulgeArc.h"
#include "core/entities/Container2D.h"
#include "core/geometry/Geometry.h"
#include "core/entities/Line2D.h"
#include "core/entities/Polyline2D.h"
#include "core/entities/QVBSpline2D.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

template <class TVertex>
TPoint2D PointOf(const TVertex& v)
{
    return MakePoint2D(v.X, v.Y);
}

// Appends the segment from p1 to p2: the points of its bulge arc (ending at
// p2), or p2 alone for a straight one.
void AppendSegment(std::vector<TPoint2D>& points, const TPoint2D& p1, const TPoint2D& p2, double bulge)
{
    if (!BulgeArcToPoints(p1, p2, bulge, points))
        points.push_back(p2);
}

// The segment from p1 to p2 as a drawing entity: a counter-clockwise arc for
// a bulge, a line otherwise.
std::unique_ptr<TObject2D> SegmentEntity(const TPoint2D& p1, const TPoint2D& p2, double bulge)
{
    if (const std::optional<TBulgeArc> arc = BulgeToArc(p1, p2, bulge))
        return std::make_unique<TArco2D>(-1, arc->Centre, MakePoint2D(arc->Centre.X + arc->Radius, arc->Centre.Y),
                                         arc->StartAngle, arc->EndAngle);
    return std::make_unique<TLine2D>(-1, p1, p2);
}

} // namespace

std::unique_ptr<TObject2D> TDXF2DImport::PolylineFromPoints(std::span<const TPoint2D> all)
{
    constexpr size_t maxPoints = TPointsSet2D::kMaxPoints;
    if (all.size() <= maxPoints)
        return std::make_unique<TPolyline2D>(0, all);
    // Each piece starts where the one before it ends.
    auto container = std::make_unique<TContainer2D>(-1);
    for (size_t first = 0; first + 1 < all.size(); first += maxPoints - 1) {
        const size_t count = std::min(maxPoints, all.size() - first);
        container->Objects().Add(std::make_unique<TPolyline2D>(-1, all.subspan(first, count)));
    }
    container->UpdateBounds();
    return container;
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadPolyline(const DXFGroupArray& g)
{
    const int32_t flags = g[70].AsInteger();
    const bool closed = flags & 1;
    const bool fitted = flags & (2 | 4);
    // A polyface mesh: its vertices are mesh points and face records, no
    // outline to draw.
    const bool polyface = flags & 64;
    // 3D polylines and meshes are in drawing coordinates; only a 2D
    // polyline lies in its extrusion's plane.
    const bool downward = IsDownward(g) && !(flags & (8 | 16 | 64));

    std::vector<TPoint2D> points;
    TPoint2D first{};
    TPoint2D previous{};
    double previousBulge = 0.0;
    bool any = false;
    DXFGroupArray& b = m_VertexGroup;
    while (!m_Reader->Eof()) {
        b.Clear();
        m_Reader->ReadGroup(0, b);
        if (!b[0].Is("VERTEX"))
            break;
        if (polyface)
            continue;
        TPoint2D point = MakePoint2D(b[10].AsDouble(), b[20].AsDouble());
        double bulge = b[42].AsDouble();
        if (downward) {
            point.X = -point.X;
            bulge = -bulge;
        }
        if (fitted) {
            // Only the points that spline fitting made.
            if (b.Has(70) && (b[70].AsInteger() & 8))
                points.push_back(point);
            continue;
        }
        if (!any) {
            points.push_back(point);
            first = point;
            any = true;
        } else if (IsSameCoord(previousBulge, 0.0)) {
            points.push_back(point);
        } else {
            AppendSegment(points, previous, point, previousBulge);
        }
        previous = point;
        previousBulge = bulge;
    }
    if (!b[0].Is("SEQEND")) {
        m_Incomplete = true;
        throw EDXFReadError(std::string(DXFInvalidFileMessage));
    }
    if (polyface) {
        Skip("POLYLINE");
        return nullptr;
    }
    if (fitted && points.empty()) {
        Skip("POLYLINE", DXFFittedPolylineMessage);
        ShowMessage(DXFFittedPolylineMessage);
        return nullptr;
    }
    if (points.empty())
        return nullptr;
    if (closed && !fitted && any) {
        if (IsSameCoord(previousBulge, 0.0))
            points.push_back(first);
        else
            AppendSegment(points, previous, first, previousBulge);
    }
    ++m_Counters.Polylines;
    return PolylineFromPoints(points);
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadLWPolyline()
{
    std::vector<TLWVertex>& vertices = m_LWVertices;
    vertices.clear();
    int32_t flags = 0;
    std::optional<int32_t> declared;
    bool downward = false;
    // Every code 10 starts a vertex; its 20 and its bulge (42) may stand
    // anywhere before the next 10.
    while (m_Reader->NextPairInEntity()) {
        const TDXFValue& value = m_Reader->Value();
        switch (m_Reader->Code()) {
        case 8:
            SetLayerByName(value);
            break;
        case 70:
            flags = value.AsInteger();
            break;
        case 90:
            declared = value.AsInteger();
            break;
        case 10:
            vertices.push_back({value.AsDouble(), 0.0, 0.0});
            break;
        case 20:
            if (!vertices.empty())
                vertices.back().Y = value.AsDouble();
            break;
        case 42:
            if (!vertices.empty())
                vertices.back().Bulge = value.AsDouble();
            break;
        case 230:
            downward = std::fabs(value.AsDouble() + 1.0) <= 1e-9;
            break;
        default:
            break;
        }
    }
    // The declared count never makes more vertices than the entity holds.
    size_t count = vertices.size();
    if (declared && *declared >= 1 && static_cast<size_t>(*declared) < count)
        count = static_cast<size_t>(*declared);
    if (count == 0) {
        Skip("LWPOLYLINE");
        return nullptr;
    }
    vertices.resize(count);
    if (downward)
        for (TLWVertex& v : vertices) {
            v.X = -v.X;
            v.Bulge = -v.Bulge;
        }
    const bool closed = flags & 1;
    ++m_Counters.Polylines;

    if (PolylinesAsContainers) {
        auto container = std::make_unique<TContainer2D>(-1);
        for (size_t i = 1; i < count; ++i)
            container->Objects().Add(
                SegmentEntity(PointOf(vertices[i - 1]), PointOf(vertices[i]), vertices[i - 1].Bulge));
        if (closed)
            container->Objects().Add(
                SegmentEntity(PointOf(vertices[count - 1]), PointOf(vertices[0]), vertices[count - 1].Bulge));
        container->UpdateBounds();
        return container;
    }

    std::vector<TPoint2D>& points = m_LWPoints;
    points.clear();
    points.push_back(PointOf(vertices[0]));
    for (size_t i = 1; i < count; ++i)
        AppendSegment(points, PointOf(vertices[i - 1]), PointOf(vertices[i]), vertices[i - 1].Bulge);
    if (closed)
        AppendSegment(points, PointOf(vertices[count - 1]), PointOf(vertices[0]), vertices[count - 1].Bulge);
    return PolylineFromPoints(points);
}

std::unique_ptr<TObject2D> TDXF2DImport::ReadSpline()
{
    std::unique_ptr<TQVBSpline2D> spline = TQVBSpline2D::CreateEmpty();
    std::optional<int32_t> declaredPoints;
    std::optional<int32_t> declaredKnots;
    bool hasVertex = false;
    TVector3D startTangent{};
    TVector3D endTangent{};
    TVector3D normal{};
    while (m_Reader->NextPairInEntity()) {
        const TDXFValue& value = m_Reader->Value();
        const uint16_t code = m_Reader->Code();
        switch (code) {
        case 8:
            SetLayerByName(value);
            break;
        case 10:
            spline->AddControlVertex().X = value.AsDouble();
            hasVertex = true;
            break;
        case 20:
        case 30:
            // A coordinate before any code 10 belongs to no vertex.
            if (hasVertex)
                (code == 20 ? spline->LatestControlVertex().Y : spline->LatestControlVertex().Z) = value.AsDouble();
            break;
        case 40:
            spline->AddKnot(value.AsDouble());
            break;
        case 41:
            spline->AddWeight(value.AsDouble());
            break;
        case 12:
            startTangent.X = value.AsDouble();
            break;
        case 22:
            startTangent.Y = value.AsDouble();
            break;
        case 32:
            startTangent.Z = value.AsDouble();
            break;
        case 13:
            endTangent.X = value.AsDouble();
            break;
        case 23:
            endTangent.Y = value.AsDouble();
            break;
        case 33:
            endTangent.Z = value.AsDouble();
            break;
        case 210:
            normal.X = value.AsDouble();
            break;
        case 220:
            normal.Y = value.AsDouble();
            break;
        case 230:
            normal.Z = value.AsDouble();
            break;
        case 70:
            spline->SetFlags(SplineFlagsFromDxf(value.AsInteger()));
            break;
        case 71:
            spline->SetDegree(value.AsInteger());
            break;
        case 72:
            declaredKnots = value.AsInteger();
            break;
        case 73:
            declaredPoints = value.AsInteger();
            break;
        default:
            break;
        }
    }
    spline->SetStartTangent(startTangent);
    spline->SetEndTangent(endTangent);
    spline->SetNormal(normal);

    // Declared counts are bounded by what the entity holds.
    const auto bounded = [](std::optional<int32_t> declared, int present) {
        return declared && *declared >= 0 && *declared < present ? *declared : present;
    };
    const int count = bounded(declaredPoints, spline->ControlVertices().Count());
    spline->SetKnotCount(bounded(declaredKnots, spline->Knots().Count()));
    spline->SetControlPointCount(count);
    if (count == 0 || count > TPointsSet2D::kMaxPoints) {
        Skip("SPLINE");
        return nullptr;
    }
    if (spline->WeightsCount() == 0)
        for (int i = 0; i < count; ++i)
            spline->AddWeight(1.0);

    // The control points become the vertices' X and Y with weight 1.
    {
        const TProfilePointsUse use(*spline);
        TPointsSet2D& points = spline->Points();
        points.SetDisableEvents(true);
        points.Delete(0);
        for (int i = 0; i < count; ++i) {
            const TVector3D& v = spline->GetControlVertex(i);
            points.Add(MakePoint2D(v.X, v.Y));
        }
        points.SetDisableEvents(false);
    }
    spline->UpdateBounds();
    ++m_Counters.Splines;
    return spline;
}
