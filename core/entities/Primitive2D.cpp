#include "core/entities/Primitive2D.h"

#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/model/Layers.h"
#include "core/geometry/PickHelpers.h"
#include "core/geometry/PointsSetView.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"

#include <algorithm>

namespace {

// Bytes of one stored control point: X, Y, W.
constexpr int64_t PointRecordSize = 24;
// Half the side of a control-point marker, in pixels.
constexpr int32_t MarkerHalfSize = 3;

// The layers of entities that belong to no document: the defaults.
const TQV_20Layers& DefaultLayers()
{
    static const TQV_20Layers layers;
    return layers;
}

} // namespace

// --- TPrimitive2DHandler ---------------------------------------------------

void TPrimitive2DHandler::DrawControlPoints(TObject2D& /*object*/, TCanvas2D& /*canvas*/) {}

int32_t TPrimitive2DHandler::PickAt(TObject2D& object, const TPoint2D& point, double& distance, double aperture)
{
    auto* primitive = dynamic_cast<TPrimitive2D*>(&object);
    if (!primitive)
        return PickNone;
    int32_t result = PickNone;
    const bool transformed = primitive->HasTransform();
    // Copied: the combined transform may live in the shared scratch matrix.
    const TMatrix4 m = primitive->GetModelTransform();
    const auto points = primitive->Points().Points();
    for (size_t j = 0; j < points.size(); ++j) {
        const TPoint2D p = transformed ? m.TransformPoint2D(points[j]) : points[j];
        double d = 0.0;
        if (PointNearPoint(point, p, d, aperture) && d <= distance) {
            result = static_cast<int32_t>(j);
            distance = d;
        }
    }
    return result;
}

bool TPrimitive2DHandler::GrowByControlPoints(const TObject2D& object, TRect2D& extent) const
{
    const auto* primitive = dynamic_cast<const TPrimitive2D*>(&object);
    if (!primitive)
        return false;
    const bool transformed = primitive->HasTransform();
    // Copied: the combined transform may live in the shared scratch matrix.
    const TMatrix4 m = transformed ? primitive->GetModelTransform() : TMatrix4();
    for (const TPoint2D& point : primitive->Points().Points()) {
        const TPoint2D p = CartesianPoint2D(transformed ? m.TransformPoint2D(point) : point);
        extent.FirstEdge.X = std::min(extent.FirstEdge.X, p.X);
        extent.FirstEdge.Y = std::min(extent.FirstEdge.Y, p.Y);
        extent.SecondEdge.X = std::max(extent.SecondEdge.X, p.X);
        extent.SecondEdge.Y = std::max(extent.SecondEdge.Y, p.Y);
    }
    return true;
}

TPrimitive2DHandler& SharedPrimitive2DHandler()
{
    // Never released: the handler serves every primitive for the whole run.
    static TPrimitive2DHandler* handler = new TPrimitive2DHandler();
    return *handler;
}

// --- TPrimitive2D ----------------------------------------------------------

TPrimitive2D::TPrimitive2D(int32_t id, int n) : TObject2D(id), m_Points(n)
{
    BindPoints();
}

TPrimitive2D::TPrimitive2D(int32_t id, int n, uint32_t colour, uint8_t lineWidth, const TMatrix4& transform)
    : TObject2D(id, transform, lineWidth, colour), m_Points(n)
{
    BindPoints();
}

TPrimitive2D::TPrimitive2D(TStream& stream, std::string_view signature) : TObject2D(stream, signature), m_Points(0)
{
    const uint16_t n = ReadUInt16(stream);
    if (!stream.CanHold(n, PointRecordSize))
        throw ECADFileNotValid("TPrimitive2D.CreateFromStream: Invalid number of control points.");
    m_Points.EnsureCapacity(n);
    for (int i = 0; i < n; ++i) {
        TPoint2D p;
        p.X = ReadDouble(stream);
        p.Y = ReadDouble(stream);
        p.W = ReadDouble(stream);
        m_Points.Put(i, p);
    }
    m_Points.SetGrowable(ReadUInt8(stream) != 0);
    BindPoints();
}

TPrimitive2D::TPrimitive2D(const TPrimitive2D& source, TCloneTag tag)
    : TObject2D(source, tag), m_Points(0)
{
    m_Points.CopyFrom(source.m_Points);
    WatchPoints();
}

TPrimitive2D::~TPrimitive2D()
{
    // The set goes first; its callback must not reach a half-destroyed entity.
    m_Points.SetOnChange(nullptr);
}

std::unique_ptr<TPointsSet2D> TPrimitive2D::CreatePointsSet(int capacity)
{
    return std::make_unique<TPointsSet2D>(capacity);
}

void TPrimitive2D::BindPoints()
{
    WatchPoints();
    SetHandler(&SharedPrimitive2DHandler());
}

void TPrimitive2D::WatchPoints()
{
    m_Points.SetOnChange([this](TPointsSet2D&) { UpdateBounds(); });
}

void TPrimitive2D::AddPointsQuietly(std::span<const TPoint2D> points)
{
    const bool disabled = m_Points.DisableEvents();
    m_Points.SetDisableEvents(true);
    try {
        m_Points.AddPoints(points);
    } catch (...) {
        m_Points.SetDisableEvents(disabled);
        throw;
    }
    m_Points.SetDisableEvents(disabled);
}

void TPrimitive2D::ComputeBounds()
{
    if (m_Points.Count() == 0) {
        SetBox(MakeRect2D(0.0, 0.0, 0.0, 0.0));
        return;
    }
    SetBox(TransformRect2D(m_Points.GetBounds(), GetModelTransform()));
}

void TPrimitive2D::SaveToStream(TStream& stream)
{
    TObject2D::SaveToStream(stream);
    WriteUInt16(stream, static_cast<uint16_t>(m_Points.Count()));
    for (const TPoint2D& p : m_Points.Points()) {
        WriteDouble(stream, p.X);
        WriteDouble(stream, p.Y);
        WriteDouble(stream, p.W);
    }
    WriteUInt8(stream, m_Points.Growable() ? 1 : 0);
}

void TPrimitive2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TObject2D::Assign(source);
    if (dynamic_cast<const TPrimitive2D*>(&source))
        m_Points.Clear();
}

void TPrimitive2D::DrawOnCanvas(TCanvas2D& canvas, bool /*showControlPoints*/)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection)
        return;
    const TMatrix4 m = GetModelTransform();
    for (const TPoint2D& p : m_Points.Points()) {
        const TIntPoint s = projection->PointToScreen(m.TransformPoint2D(p));
        canvas.FrameRect(s.X - MarkerHalfSize, s.Y - MarkerHalfSize, s.X + MarkerHalfSize, s.Y + MarkerHalfSize);
    }
}

TIntRect TPrimitive2D::GetScreenRect()
{
    return PointsScreenRect(m_Points);
}

const TQV_21Layer& TPrimitive2D::PenLayer() const
{
    if (const TQV_01Cmp* document = Owner())
        return document->Layers().GetLayer(Layer());
    return DefaultLayers().GetLayer(Layer());
}

TEntityPen TPrimitive2D::ScenePen() const
{
    if (!Pickable())
        return TEntityPen{SceneColorFromWinColor(OwnColor(), 1.0f), static_cast<float>(OwnLineWidth())};
    const TLayerPen& pen = PenLayer().Pen();
    return TEntityPen{SceneColorFromWinColor(pen.Color, 1.0f), static_cast<float>(pen.Width)};
}

TVector3D TPrimitive2D::ScenePoint(const TPoint2D& p) const
{
    if (!HasTransform())
        return TVector3D{p.X, p.Y, 0.0};
    return ScenePointThrough(p, GetModelTransform());
}

TVector3D TPrimitive2D::ScenePointThrough(const TPoint2D& p, const TMatrix4& m)
{
    const TPoint3D q = m.TransformPoint3D(TPoint3D{p.X, p.Y, 0.0, 1.0});
    return TVector3D{q.X, q.Y, q.Z};
}

TSceneNodeId TPrimitive2D::AddSceneLines(TSceneNodeId group, std::span<const TPoint2D> points) const
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return NoSceneNode;
    const TEntityPen pen = ScenePen();
    TSceneLines lines;
    lines.Color = pen.Color;
    lines.LineWidth = pen.Width;
    lines.NodesVisible = false;
    lines.Nodes.reserve(points.size());
    const bool transformed = HasTransform();
    const TMatrix4 m = GetModelTransform();
    for (const TPoint2D& p : points)
        lines.Nodes.push_back(transformed ? ScenePointThrough(p, m) : TVector3D{p.X, p.Y, 0.0});
    return scene->AddLines(group, lines);
}

TSceneNodeId TPrimitive2D::TargetGroup(TSceneGroup group)
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return NoSceneNode;
    const TSceneNodeId id = scene->Group(group);
    scene->SetCurrentTargetGroup(id);
    return id;
}

int32_t TPrimitive2D::PickOutline(const TPoint2D& point, double& distance, double aperture,
                                  std::span<const TPoint2D> chain)
{
    const int32_t result = TObject2D::PickAt(point, distance, aperture);
    if (result != PickInBox)
        return result;
    double best = PickFarDistance;
    const int hit = PickPolyline(chain, point, false, GetModelTransform(), aperture, best);
    distance = std::min(aperture, best);
    return hit == kPickEdge ? PickOnObject : PickInBox;
}
