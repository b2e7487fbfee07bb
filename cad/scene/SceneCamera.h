#pragma once
// The camera of the scene view: an orthographic camera that looks at a
// target point (the view's "root cube") from an offset, with +Z as its up
// direction, and the conversions between viewer pixels and drawing
// coordinates that follow from it.
//
// Promises:
// - The visible width in drawing units is 10 / SceneScale, whatever the
//   viewer's size, so PixelSize() = 10 / SceneScale / viewer width; the
//   visible height follows from the viewer's aspect (square pixels).
// - The fresh camera looks straight down on the plane z = 0 from
//   (0, -0.0001, 100) above the target: world +X points right and +Y up on
//   the screen.
// - Screen points are int32 viewer pixels, origin top-left, Y downwards.
//   ProjectToScreen does not divide by W (the projection is orthographic)
//   and rounds ties to even; a coordinate beyond the int32 range (or not a
//   number) is clamped to that range.
// - ScreenToWorld answers "no point" when the view ray through the pixel
//   does not meet the drawing plane within the depth the camera shows: the
//   view orbited edge-on (the ray runs along the plane) or so far over that
//   the plane under that pixel lies beyond the far plane (a nearly parallel
//   ray would otherwise meet it a million drawing units away). Looking down
//   on the drawing, with the zoom and the fit below, the plane always lies
//   inside that depth.
// - Every operation that would leave the camera without a finite positive
//   scale or a finite position changes nothing.
//
// Plain maths on OSG's double-precision matrices (row vectors: clip =
// v x View x Projection); no GL context is needed.

#include "core/geometry/Points.h"

#include <osg/Matrixd>
#include <osg/Vec3d>

#include <cstdint>
#include <optional>

class TSceneCamera {
public:
    static constexpr double InitialSceneScale = 0.3;
    static constexpr double InitialDepthOfView = 300.0;
    static constexpr double FocalLength = 10.0;
    // How close orbiting may bring the camera to the up axis, in radians.
    static constexpr double OrbitPoleMargin = 0.025;

    TSceneCamera();

    // The viewer's size in pixels; values below 1 count as 1.
    void SetViewportSize(int32_t width, int32_t height);
    int32_t ViewportWidth() const { return m_Width; }
    int32_t ViewportHeight() const { return m_Height; }

    // The target point, which panning moves; the camera follows it.
    const osg::Vec3d& Target() const { return m_Target; }
    void SetTarget(const osg::Vec3d& target);
    // The camera's position relative to the target.
    const osg::Vec3d& Offset() const { return m_Offset; }
    void SetOffset(const osg::Vec3d& offset);
    double SceneScale() const { return m_SceneScale; }
    double DepthOfView() const { return m_DepthOfView; }

    // Drawing units per viewer pixel: 10 / SceneScale / viewer width.
    double PixelSize() const;

    osg::Matrixd ViewMatrix() const;
    // Orthographic: half width 5 / SceneScale, half height by the aspect;
    // the depth range reaches DepthOfView before and behind the camera, so
    // nothing near the drawing is clipped by an orbit.
    osg::Matrixd ProjectionMatrix() const;

    // Pixel of a world point (see the header comment).
    TIntPoint ProjectToScreen(const osg::Vec3d& p) const;
    // Where the ray through the pixel meets the plane z = 0 (W = 1), within
    // the camera's depth range.
    std::optional<TPoint3D> ScreenToWorld(int32_t x, int32_t y) const;

    // Fits the view to the box: centre m, half diagonal h (at least 1e-9),
    // both from the corners taken in single precision. The target moves to
    // m, the camera keeps its direction at distance 10 h, the scene scale
    // becomes 10 / (2 h) (so the visible width is the diagonal) and the
    // depth of view 20 h. A box with a corner that is not finite is ignored.
    void ZoomToBox(const TPoint3D& corner1, const TPoint3D& corner2);
    // As ZoomToBox, but the scene scale is chosen so that the box, seen
    // from the camera's direction, fills the viewport in width or in height
    // with margin (a fraction of the box's extent, 0.05 for 5 %) added on
    // each side: a tall drawing fits in height, a solid in a slanted view
    // with all its corners.
    void FitBox(const TPoint3D& corner1, const TPoint3D& corner2, double margin);
    // Scene scale times factor; offset and depth of view divided by it.
    void Zoom(double factor);
    // Moves the target (and with it the camera) by delta.
    void Pan(const osg::Vec3d& delta);
    // Moves the camera around the target: pitchDeg tilts it away from the
    // up axis (kept OrbitPoleMargin away from either pole), turnDeg turns
    // it about the up axis; the distance stays.
    void Orbit(double pitchDeg, double turnDeg);

private:
    osg::Matrixd WindowMatrix() const;

    osg::Vec3d m_Target{0.0, 0.0, 0.0};
    osg::Vec3d m_Offset{0.0, -0.0001, 100.0};
    osg::Vec3d m_Up{0.0, 0.0, 1.0};
    double m_SceneScale = InitialSceneScale;
    double m_DepthOfView = InitialDepthOfView;
    int32_t m_Width = 1;
    int32_t m_Height = 1;
};
