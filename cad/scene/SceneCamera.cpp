#include "cad/scene/SceneCamera.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Rounding room at the ends of the visible stretch of a view ray, as a
// fraction of its length.
constexpr double DepthSlack = 1e-9;

bool IsFinite(const osg::Vec3d& v)
{
    return std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z());
}

// Delphi's Round (ties to even), clamped to the int32 range.
int32_t RoundToPixel(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v);
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(r, lo, hi));
}

double DegToRad(double deg)
{
    return deg * (3.14159265358979323846 / 180.0);
}

} // namespace

TSceneCamera::TSceneCamera() = default;

void TSceneCamera::SetViewportSize(int32_t width, int32_t height)
{
    m_Width = std::max(width, 1);
    m_Height = std::max(height, 1);
}

void TSceneCamera::SetTarget(const osg::Vec3d& target)
{
    if (IsFinite(target))
        m_Target = target;
}

void TSceneCamera::SetOffset(const osg::Vec3d& offset)
{
    if (IsFinite(offset) && offset.length2() > 0.0)
        m_Offset = offset;
}

double TSceneCamera::PixelSize() const
{
    return 10.0 / m_SceneScale / m_Width;
}

osg::Matrixd TSceneCamera::ViewMatrix() const
{
    return osg::Matrixd::lookAt(m_Target + m_Offset, m_Target, m_Up);
}

osg::Matrixd TSceneCamera::ProjectionMatrix() const
{
    const double halfWidth = 5.0 / m_SceneScale;
    const double halfHeight = halfWidth * m_Height / m_Width;
    return osg::Matrixd::ortho(-halfWidth, halfWidth, -halfHeight, halfHeight, -m_DepthOfView, m_DepthOfView);
}

TIntPoint TSceneCamera::ProjectToScreen(const osg::Vec3d& p) const
{
    const osg::Vec4d clip = osg::Vec4d(p, 1.0) * (ViewMatrix() * ProjectionMatrix());
    const double x = clip.x() * 0.5 + 0.5;
    const double y = clip.y() * 0.5 + 0.5;
    return TIntPoint{RoundToPixel(m_Width * x), RoundToPixel(m_Height - m_Height * y)};
}

osg::Matrixd TSceneCamera::WindowMatrix() const
{
    // Normalised device coordinates to window coordinates (Y up, depth 0..1).
    return osg::Matrixd::translate(1.0, 1.0, 1.0) * osg::Matrixd::scale(0.5 * m_Width, 0.5 * m_Height, 0.5);
}

std::optional<TPoint3D> TSceneCamera::ScreenToWorld(int32_t x, int32_t y) const
{
    osg::Matrixd inverse;
    if (!inverse.invert(ViewMatrix() * ProjectionMatrix() * WindowMatrix()))
        return std::nullopt;
    const double wx = x;
    const double wy = static_cast<double>(m_Height) - y;
    // The ray's visible stretch: from the near plane (depth 0) to the far
    // plane (depth 1).
    const osg::Vec3d start = osg::Vec3d(wx, wy, 0.0) * inverse;
    const osg::Vec3d end = osg::Vec3d(wx, wy, 1.0) * inverse;
    const osg::Vec3d span = end - start;
    if (!IsFinite(start) || !IsFinite(span) || span.z() == 0.0)
        return std::nullopt;
    const double s = -start.z() / span.z();
    if (!(s >= -DepthSlack && s <= 1.0 + DepthSlack))
        return std::nullopt;
    const osg::Vec3d hit = start + span * s;
    if (!IsFinite(hit))
        return std::nullopt;
    // The plane is z = 0; the computed Z is only rounding noise.
    return TPoint3D{hit.x(), hit.y(), 0.0, 1.0};
}

void TSceneCamera::ZoomToBox(const TPoint3D& corner1, const TPoint3D& corner2)
{
    const osg::Vec3f c1(static_cast<float>(corner1.X), static_cast<float>(corner1.Y), static_cast<float>(corner1.Z));
    const osg::Vec3f c2(static_cast<float>(corner2.X), static_cast<float>(corner2.Y), static_cast<float>(corner2.Z));
    if (!c1.valid() || !c2.valid() || !std::isfinite(c1.length2()) || !std::isfinite(c2.length2()))
        return;
    const osg::Vec3f centre = (c1 + c2) * 0.5f;
    float h = (c2 - c1).length() * 0.5f;
    if (!std::isfinite(h))
        return;
    if (h < 1e-9f)
        h = 1e-9f;
    osg::Vec3d direction = m_Offset;
    direction.normalize();
    m_Offset = direction * (10.0 * h);
    m_Target = osg::Vec3d(centre);
    m_SceneScale = 10.0 / (2.0 * h);
    m_DepthOfView = 20.0 * h;
}

void TSceneCamera::FitBox(const TPoint3D& corner1, const TPoint3D& corner2, double margin)
{
    ZoomToBox(corner1, corner2);
    const osg::Vec3d lo(std::min(corner1.X, corner2.X), std::min(corner1.Y, corner2.Y), std::min(corner1.Z, corner2.Z));
    const osg::Vec3d hi(std::max(corner1.X, corner2.X), std::max(corner1.Y, corner2.Y), std::max(corner1.Z, corner2.Z));
    if (!IsFinite(lo) || !IsFinite(hi))
        return;
    // The screen's right and up directions in the drawing.
    const osg::Matrixd view = ViewMatrix();
    const osg::Vec3d right(view(0, 0), view(1, 0), view(2, 0));
    const osg::Vec3d up(view(0, 1), view(1, 1), view(2, 1));
    const osg::Vec3d centre = (lo + hi) * 0.5;
    double halfX = 0.0;
    double halfY = 0.0;
    for (int corner = 0; corner < 8; ++corner) {
        const osg::Vec3d p((corner & 1) ? hi.x() : lo.x(), (corner & 2) ? hi.y() : lo.y(),
                           (corner & 4) ? hi.z() : lo.z());
        halfX = std::max(halfX, std::abs((p - centre) * right));
        halfY = std::max(halfY, std::abs((p - centre) * up));
    }
    const double aspect = static_cast<double>(m_Width) / static_cast<double>(std::max(m_Height, 1));
    const double halfWidth = std::max(halfX, halfY * aspect) * (1.0 + 2.0 * std::max(margin, 0.0));
    if (!(halfWidth > 1e-9) || !std::isfinite(halfWidth))
        return;
    m_Target = centre;
    m_SceneScale = 5.0 / halfWidth;
}

void TSceneCamera::Zoom(double factor)
{
    const double scale = m_SceneScale * factor;
    const osg::Vec3d offset = m_Offset * (1.0 / factor);
    const double depth = m_DepthOfView * (1.0 / factor);
    if (!std::isfinite(scale) || scale <= 0.0 || !IsFinite(offset) || offset.length2() == 0.0 ||
        !std::isfinite(depth) || depth <= 0.0)
        return;
    m_SceneScale = scale;
    m_Offset = offset;
    m_DepthOfView = depth;
}

void TSceneCamera::Pan(const osg::Vec3d& delta)
{
    SetTarget(m_Target + delta);
}

void TSceneCamera::Orbit(double pitchDeg, double turnDeg)
{
    const double distance = m_Offset.length();
    osg::Vec3d n = m_Offset / distance;
    const double pitchNow = std::acos(std::clamp(n * m_Up, -1.0, 1.0));
    const double pi = 3.14159265358979323846;
    const double pitch = std::clamp(pitchNow + DegToRad(pitchDeg), OrbitPoleMargin, pi - OrbitPoleMargin);
    const double azimuth = std::atan2(n.y(), n.x()) + DegToRad(turnDeg);
    n = osg::Vec3d(std::sin(pitch) * std::cos(azimuth), std::sin(pitch) * std::sin(azimuth), std::cos(pitch));
    SetOffset(n * distance);
}
