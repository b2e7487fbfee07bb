#include "core/entities/Bitmap2D.h"

#include "core/entities/BitmapRecord.h"
#include "core/file/Stream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// The bitmaps made current, oldest first; the last is CurrentBitmap2D. Each
// entity removes itself when it is freed, so none of them is ever dangling.
std::vector<TBitmap2D*>& CurrentHistory()
{
    static std::vector<TBitmap2D*> history;
    return history;
}

void ForgetBitmap(const TBitmap2D* bitmap)
{
    std::vector<TBitmap2D*>& history = CurrentHistory();
    history.erase(std::remove(history.begin(), history.end(), bitmap), history.end());
}

QImage AsArgb32(const QImage& image)
{
    if (image.isNull() || image.format() == QImage::Format_ARGB32)
        return image;
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

TBitmap2D* CurrentBitmap2D()
{
    const std::vector<TBitmap2D*>& history = CurrentHistory();
    return history.empty() ? nullptr : history.back();
}

void SetCurrentBitmap2D(TBitmap2D* bitmap)
{
    if (!bitmap) {
        CurrentHistory().clear();
        return;
    }
    ForgetBitmap(bitmap);
    CurrentHistory().push_back(bitmap);
}

TBitmap2D::TBitmap2D(int32_t id, const TPoint2D& corner1, const TPoint2D& corner2, const QImage& bitmap)
    : TPrimitive2D(id, 2), m_Bitmap(AsArgb32(bitmap))
{
    const std::array<TPoint2D, 2> corners{corner1, corner2};
    AddPointsQuietly(corners);
    Points().SetGrowable(false);
    UpdateBounds();
}

TBitmap2D::TBitmap2D(TStream& stream, std::string_view signature)
    : TPrimitive2D(stream, signature), m_Bitmap(ReadBitmapRecord(stream)), m_CopyMode(0)
{
    if (!SignatureLess(signature, "CAD422")) {
        m_ReservedValue1 = ReadDouble(stream);
        m_ReservedValue2 = ReadDouble(stream);
        m_CopyMode = ReadInt32(stream);
    }
    if (SignatureGreater(signature, "QV-3.2"))
        m_Opacity = ReadSingle(stream);
    UpdateBounds();
    SetCurrentBitmap2D(this);
}

TBitmap2D::~TBitmap2D()
{
    ForgetBitmap(this);
}

std::unique_ptr<TGraphicObject> TBitmap2D::CreateFromStream(TStream& stream, std::string_view signature)
{
    return std::make_unique<TBitmap2D>(stream, signature);
}

TBitmap2D::TBitmap2D(const TBitmap2D& source, TCloneTag tag)
    : TPrimitive2D(source, tag), m_Bitmap(source.m_Bitmap), m_ReservedValue1(source.m_ReservedValue1),
      m_ReservedValue2(source.m_ReservedValue2), m_CopyMode(source.m_CopyMode), m_Opacity(source.m_Opacity),
      m_SceneImage(source.m_SceneImage)
{
}

std::unique_ptr<TGraphicObject> TBitmap2D::CloneObject() const
{
    return std::unique_ptr<TGraphicObject>(new TBitmap2D(*this, TCloneTag{}));
}

QImage& TBitmap2D::Bitmap()
{
    // The caller may change pixels: the next plane takes them afresh.
    m_SceneImage.reset();
    return m_Bitmap;
}

std::shared_ptr<const TSceneImage> TBitmap2D::SceneImage() const
{
    if (m_SceneImage || m_Bitmap.isNull())
        return m_SceneImage;
    const QImage argb = AsArgb32(m_Bitmap);
    auto image = std::make_shared<TSceneImage>();
    image->Width = argb.width();
    image->Height = argb.height();
    image->Pixels.reserve(static_cast<size_t>(image->Width) * static_cast<size_t>(image->Height));
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            image->Pixels.push_back(line[x] | 0xFF000000u);
    }
    m_SceneImage = std::move(image);
    return m_SceneImage;
}

TScenePlane TBitmap2D::ScenePlane() const
{
    TScenePlane plane;
    const float opacity = std::isnan(m_Opacity) ? kDefaultOpacity : std::clamp(m_Opacity, 0.0f, 1.0f);
    plane.Color = TSceneColor{1.0f, 1.0f, 1.0f, opacity};
    plane.Blended = true;
    plane.DepthTest = false;
    if (Points().Count() < 2)
        return plane;
    const TPoint2D p0 = Points().Get(0);
    const TPoint2D p1 = Points().Get(1);
    plane.Width = p1.X - p0.X;
    plane.Height = p1.Y - p0.Y;
    const TPoint2D centre = MakePoint2D(p0.X + plane.Width / 2.0, p0.Y + plane.Height / 2.0);
    if (HasTransform()) {
        // Copied: the combined transform may live in the shared scratch matrix.
        const TMatrix4 m = GetModelTransform();
        plane.Centre = ScenePointThrough(centre, m);
        // Row-vector points: elements 0..2 are the image of the X direction,
        // 4..6 that of the Y direction.
        plane.AxisX = TVector3D{m.GetElement(0), m.GetElement(1), m.GetElement(2)};
        plane.AxisY = TVector3D{m.GetElement(4), m.GetElement(5), m.GetElement(6)};
    } else {
        plane.Centre = TVector3D{centre.X, centre.Y, 0.0};
    }
    plane.Image = SceneImage();
    return plane;
}

void TBitmap2D::Draw()
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene || Points().Count() < 2)
        return;
    m_Plane = scene->AddPlane(TargetGroup(TSceneGroup::Entity), ScenePlane());
    SetSceneNode(m_Plane);
}

void TBitmap2D::UpdateTexture()
{
    TSceneBuilder* scene = ViewServices().Scene;
    if (!scene || m_Plane == NoSceneNode || Points().Count() < 2)
        return;
    m_SceneImage.reset();
    scene->UpdatePlane(m_Plane, ScenePlane());
}

void TBitmap2D::SaveToStream(TStream& stream)
{
    TPrimitive2D::SaveToStream(stream);
    WriteBitmapRecord(stream, m_Bitmap);
    WriteDouble(stream, m_ReservedValue1);
    WriteDouble(stream, m_ReservedValue2);
    WriteInt32(stream, m_CopyMode);
    WriteSingle(stream, m_Opacity);
}

void TBitmap2D::Assign(const TGraphicObject& source)
{
    if (&source == this)
        return;
    TPrimitive2D::Assign(source);
    if (const auto* other = dynamic_cast<const TBitmap2D*>(&source)) {
        m_ReservedValue1 = other->m_ReservedValue1;
        m_ReservedValue2 = other->m_ReservedValue2;
        m_CopyMode = other->m_CopyMode;
        m_Bitmap = other->m_Bitmap;
        m_SceneImage.reset();
        const auto from = other->Points().Points();
        AddPointsQuietly(from.first(std::min<size_t>(from.size(), 2)));
        Points().SetGrowable(true);
    }
    UpdateBounds();
}

void TBitmap2D::DrawOnCanvas(TCanvas2D& canvas, bool /*showControlPoints*/)
{
    const TViewProjection* projection = ViewServices().Projection;
    if (!projection || Points().Count() < 2)
        return;
    const TPoint2D c0 = Points().Get(0);
    const TPoint2D c1 = Points().Get(1);
    const std::array<TPoint2D, 5> outline{c0, MakePoint2D(c0.X, c1.Y), c1, MakePoint2D(c1.X, c0.Y), c0};
    // Copied: the combined transform may live in the shared scratch matrix.
    const TMatrix4 m = GetModelTransform();
    const bool transformed = HasTransform();
    std::vector<TIntPoint> screen;
    screen.reserve(outline.size());
    for (const TPoint2D& p : outline)
        screen.push_back(projection->PointToScreen(transformed ? m.TransformPoint2D(p) : p));
    canvas.Polyline(screen);
}

void TBitmap2D::DrawOnCanvasTransformed(TCanvas2D& /*canvas*/, const TMatrix4& /*parentTransform*/) {}

void TBitmap2D::DrawSelected() {}
