#include "core/entities/Primitive3D.h"

#include "core/model/CADSysException.h"
#include "core/geometry/Geometry.h"
#include "core/model/Layers.h"
#include "core/model/QV_01Cmp2D.h"
#include "core/file/Stream.h"

namespace {

// Bytes of one stored control point: X, Y, Z, W.
constexpr int64_t PointRecordSize = 32;

// The layers of entities that belong to no document: the defaults.
const TQV_20Layers& DefaultLayers()
{
    static const TQV_20Layers layers;
    return layers;
}

} // namespace

TPrimitive3D::TPrimitive3D(int32_t id, int n) : TObject3D(id), m_Points(CreatePointsSet(n))
{
    BindPoints();
}

TPrimitive3D::TPrimitive3D(TStream& stream, std::string_view signature) : TObject3D(stream, signature)
{
    const uint16_t n = ReadUInt16(stream);
    if (!stream.CanHold(n, PointRecordSize))
        throw ECADFileNotValid("TPrimitive3D.CreateFromStream: Invalid number of control points.");
    m_Points = CreatePointsSet(n);
    for (int i = 0; i < n; ++i) {
        TPoint3D p;
        p.X = ReadDouble(stream);
        p.Y = ReadDouble(stream);
        p.Z = ReadDouble(stream);
        p.W = ReadDouble(stream);
        m_Points->Put(i, p);
    }
    m_Points->SetGrowable(ReadUInt8(stream) != 0);
    BindPoints();
}

TPrimitive3D::TPrimitive3D(const TPrimitive3D& source, TCloneTag tag)
    : TObject3D(source, tag), m_Points(CreatePointsSet(source.m_Points->Count()))
{
    const auto points = source.m_Points->Points();
    for (size_t i = 0; i < points.size(); ++i)
        m_Points->Put(static_cast<int>(i), points[i]);
    m_Points->SetGrowable(source.m_Points->Growable());
    BindPoints();
}

TPrimitive3D::~TPrimitive3D()
{
    // The set goes first; its callback must not reach a half-destroyed entity.
    if (m_Points)
        m_Points->SetOnChange(nullptr);
}

std::unique_ptr<TPointsSet3D> TPrimitive3D::CreatePointsSet(int capacity)
{
    return std::make_unique<TPointsSet3D>(capacity);
}

void TPrimitive3D::BindPoints()
{
    m_Points->SetOnChange([this](TPointsSet3D&) { UpdateBounds(); });
}

void TPrimitive3D::ComputeBounds()
{
    if (m_Points->Count() == 0) {
        SetBox3D(TBox3D{});
        return;
    }
    SetBox3D(TransformBox3D(m_Points->GetBounds(), GetModelTransform()));
}

void TPrimitive3D::SaveToStream(TStream& stream)
{
    TObject2D::SaveToStream(stream);
    WriteUInt16(stream, static_cast<uint16_t>(m_Points->Count()));
    for (const TPoint3D& p : m_Points->Points()) {
        WriteDouble(stream, p.X);
        WriteDouble(stream, p.Y);
        WriteDouble(stream, p.Z);
        WriteDouble(stream, p.W);
    }
    WriteUInt8(stream, m_Points->Growable() ? 1 : 0);
}

void TPrimitive3D::Assign(const TGraphicObject& /*source*/) {}

void TPrimitive3D::DrawOnCanvas(TCanvas2D& /*canvas*/, bool /*showControlPoints*/) {}

uint32_t TPrimitive3D::SceneColor() const
{
    if (!Pickable())
        return OwnColor();
    if (const TQV_01Cmp* document = Owner())
        return document->Layers().GetLayer(Layer()).Pen().Color;
    return DefaultLayers().GetLayer(Layer()).Pen().Color;
}

TVector3D TPrimitive3D::ScenePoint(const TPoint3D& p) const
{
    if (!HasTransform())
        return TVector3D{p.X, p.Y, p.Z};
    const TPoint3D q = GetModelTransform().TransformPoint3D(p);
    return TVector3D{q.X, q.Y, q.Z};
}
