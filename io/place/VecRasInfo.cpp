#include "io/place/VecRasInfo.h"

#include "core/entities/QVGrezzo.h"
#include "core/entities/QV_STLSurf.h"
#include "core/geometry/Geometry.h"
#include "core/model/DocumentView.h"
#include "core/model/QV_01Cmp2D.h"

#include <cmath>

namespace {

const int32_t AllObjects[] = {-1};

// The twelve edges of the box as one line strip (edges retraced).
std::vector<TVector3D> BoxWire(const TBox3D& box)
{
    const TPoint3D& a = box.FirstEdge;
    const TPoint3D& b = box.SecondEdge;
    const TVector3D b0{a.X, a.Y, a.Z}, b1{b.X, a.Y, a.Z}, b2{b.X, b.Y, a.Z}, b3{a.X, b.Y, a.Z};
    const TVector3D t0{a.X, a.Y, b.Z}, t1{b.X, a.Y, b.Z}, t2{b.X, b.Y, b.Z}, t3{a.X, b.Y, b.Z};
    return {b0, b1, b2, b3, b0, t0, t1, b1, t1, t2, b2, t2, t3, b3, t3, t0};
}

} // namespace

TVecRasInfo::TVecRasInfo(TQV_01Cmp2D& document, TDocumentView* view) : m_Document(document), m_View(view) {}

TVecRasInfo::~TVecRasInfo()
{
    HideBox();
}

void TVecRasInfo::HideBox()
{
    if (m_BoxGroup != NoSceneNode && ViewServices().Scene)
        ViewServices().Scene->RemoveNode(m_BoxGroup);
    m_BoxGroup = NoSceneNode;
}

void TVecRasInfo::ShiftOrigin(const TPoint2D& p)
{
    Origin.X += p.X / Scale.X;
    Origin.Y += p.Y / Scale.Y;
}

void TVecRasInfo::BuildPlacement(TMatrix4& forward, TMatrix4& inverse) const
{
    const double ox = ScaledOrigin(0);
    const double oy = ScaledOrigin(1);
    forward = TMatrix4::CreateTranslation(-ox, -oy, 0.0);
    inverse.SetIdentity();
    if (IsDifferentValue(Rotation, 0.0)) {
        forward.RotateZ(Rotation, true);
        const TRect2D b = TransformRect2D(GetBoxRect(), TMatrix4::CreateRotationZ(Rotation, true));
        forward.Translate(-(ox + b.FirstEdge.X), -(oy + b.FirstEdge.Y), 0.0);
        inverse.Translate(ox + b.FirstEdge.X, oy + b.FirstEdge.Y, 0.0);
        inverse.RotateZ(-Rotation, true);
    }
    inverse.Translate(ox, oy, 0.0);
    if (!IsSameVector3D(Scale, TVector3D{1.0, 1.0, 1.0})) {
        TMatrix4 scaled = TMatrix4::CreateScale(Scale.X, Scale.Y, 1.0);
        scaled.Multiply(scaled, forward);
        forward = scaled;
        inverse.Scale(1.0 / Scale.X, 1.0 / Scale.Y, 1.0);
    }
}

void TVecRasInfo::ApplyPlacement(bool updateBox)
{
    RefreshOriginEdits();
    TMatrix4 forward;
    TMatrix4 inverse;
    BuildPlacement(forward, inverse);

    const bool repaint = m_Document.RepaintAfterTransform();
    m_Document.SetRepaintAfterTransform(false);
    try {
        if (!AppliedTransform.IsEqual(IdentityMatrix4()))
            m_Document.TransformObjects(AllObjects, m_AppliedInverse);
        if (!forward.IsEqual(IdentityMatrix4()))
            m_Document.TransformObjects(AllObjects, forward);
    } catch (...) {
        m_Document.SetRepaintAfterTransform(repaint);
        throw;
    }
    AppliedTransform = forward;
    m_AppliedInverse = inverse;
    m_Document.SetRepaintAfterTransform(repaint);
    m_Document.RepaintViewports();

    if (!updateBox)
        return;
    const std::optional<TRect2D> bounds = m_Document.GetDrawingBounds();
    if (!bounds)
        return;
    ShowBoxInScene(TBox3D{{bounds->FirstEdge.X, bounds->FirstEdge.Y, 0.0},
                          {bounds->SecondEdge.X, bounds->SecondEdge.Y, 0.0}});
}

void TVecRasInfo::ApplyStl()
{
    RefreshOriginEdits();
    if (!Surface)
        return;
    TMatrix4 m = TMatrix4::CreateScale(Scale.X, Scale.Y, Scale.Z);
    m.Translate(-ScaledOrigin(0), -ScaledOrigin(1), -ScaledOrigin(2));
    Surface->SetTransform(m);
    AppliedTransform = m;
    m_Document.DrawObject(*Surface);
    ShowStlBox();
}

void TVecRasInfo::SetOriginChoice(int choice)
{
    const TPoint3D& lo = BoundingBox.FirstEdge;
    const TPoint3D& hi = BoundingBox.SecondEdge;
    switch (choice) {
    case FileOrigin: Origin = TVector3D{}; break;
    case BottomLeft: Origin.X = lo.X, Origin.Y = lo.Y; break;
    case TopLeft: Origin.X = lo.X, Origin.Y = hi.Y; break;
    case TopRight: Origin.X = hi.X, Origin.Y = hi.Y; break;
    case BottomRight: Origin.X = hi.X, Origin.Y = lo.Y; break;
    case Centre: Origin.X = lo.X + SizeX / 2, Origin.Y = lo.Y + SizeY / 2; break;
    default: break;
    }
}

void TVecRasInfo::SetZOrigin(bool top)
{
    Origin.Z = top ? BoundingBox.SecondEdge.Z : BoundingBox.FirstEdge.Z;
}

bool TVecRasInfo::SetScaleFromSize(int axis, double size)
{
    const double fileSize = Size(axis);
    if (fileSize == 0.0)
        return false;
    const double scale = size / fileSize;
    if (!std::isfinite(scale) || !(scale > 0.0))
        return false;
    if (KeepRatio)
        Scale = TVector3D{scale, scale, scale};
    else
        Axis(Scale, axis) = scale;
    return true;
}

void TVecRasInfo::SetTypedOrigin(int axis, double value)
{
    Axis(TypedOrigin, axis) = value;
    Axis(Origin, axis) = value / Axis(Scale, axis);
}

void TVecRasInfo::SetBoxFromRect(const TRect2D& rect)
{
    SetBox3D(TBox3D{{rect.FirstEdge.X, rect.FirstEdge.Y, 0.0}, {rect.SecondEdge.X, rect.SecondEdge.Y, 0.0}});
}

void TVecRasInfo::SetBox3D(const TBox3D& box)
{
    BoundingBox = box;
    SizeX = box.SecondEdge.X - box.FirstEdge.X;
    SizeY = box.SecondEdge.Y - box.FirstEdge.Y;
    SizeZ = box.SecondEdge.Z - box.FirstEdge.Z;
}

TRect2D TVecRasInfo::GetBoxRect() const
{
    return TRect2D{{BoundingBox.FirstEdge.X, BoundingBox.FirstEdge.Y, 1.0},
                   {BoundingBox.SecondEdge.X, BoundingBox.SecondEdge.Y, 1.0}};
}

void TVecRasInfo::SetRasterSize(int32_t width, int32_t height, bool millimetres)
{
    SetBoxFromRect(TRect2D{{0.0, 0.0, 1.0}, {double(width), double(height), 1.0}});
    if (Resolution > 0) {
        const double pixel = (millimetres ? 25.4 : 1.0) / Resolution;
        Scale = TVector3D{pixel, pixel, pixel};
    }
}

void TVecRasInfo::ZoomIfAuto()
{
    if (AutoZoom && m_View)
        ZoomToDrawing(m_Document, *m_View);
}

void TVecRasInfo::ShowBoxInScene(const TBox3D& box)
{
    ZoomIfAuto();
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene)
        return;
    // A rebuild of the view may have cleared the group: the box is made anew.
    if (m_BoxGroup != NoSceneNode)
        scene->RemoveNode(m_BoxGroup);
    m_BoxGroup = scene->CreateOverlayGroup(scene->Group(TSceneGroup::Objects), "OpenGeoBox");
    TSceneLines wire;
    wire.Nodes = BoxWire(box);
    wire.Color = TSceneColor{0.0f, 0.0f, 1.0f, 0.5f};
    scene->AddLines(m_BoxGroup, wire);
}

void TVecRasInfo::ShowStlBox()
{
    if (!Surface)
        return;
    Surface->UpdateBounds();
    const TBox3D placed = Surface->Box3D();
    TBox3D box;
    const double centre[3] = {(placed.FirstEdge.X + placed.SecondEdge.X) / 2,
                              (placed.FirstEdge.Y + placed.SecondEdge.Y) / 2,
                              (placed.FirstEdge.Z + placed.SecondEdge.Z) / 2};
    box.FirstEdge = {centre[0] - ScaledSize(0) / 2, centre[1] - ScaledSize(1) / 2, centre[2] - ScaledSize(2) / 2};
    box.SecondEdge = {centre[0] + ScaledSize(0) / 2, centre[1] + ScaledSize(1) / 2, centre[2] + ScaledSize(2) / 2};
    ShowBoxInScene(box);
    if (StockSolid())
        StockSolid()->SetBox(placed);
}

void TVecRasInfo::ShowFileLayerColours(bool fileColours, uint32_t defaultColour)
{
    TQV_20Layers& layers = m_Document.Layers();
    if (!fileColours) {
        m_SavedLayerColors.assign(TQV_20Layers::LayerCount, 0);
        for (int n = 0; n < TQV_20Layers::LayerCount; ++n) {
            TQV_21Layer& layer = layers.GetLayer(n);
            layer.SetVisible(1);
            layer.SetActive(1);
            m_SavedLayerColors[size_t(n)] = layer.Pen().Color;
            layer.SetPenColor(defaultColour);
        }
    } else if (m_SavedLayerColors.size() == size_t(TQV_20Layers::LayerCount)) {
        for (int n = 0; n < TQV_20Layers::LayerCount; ++n)
            layers.GetLayer(n).SetPenColor(m_SavedLayerColors[size_t(n)]);
    }
    m_Document.RepaintViewports();
}
