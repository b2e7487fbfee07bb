#include "cad/scene/SceneCamera.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace scene_camera_test {

namespace {

TSceneCamera CameraOf(int32_t width, int32_t height)
{
    TSceneCamera camera;
    camera.SetViewportSize(width, height);
    return camera;
}

TEST(SceneCamera, FreshCameraLooksDownWithXRightAndYUp)
{
    const TSceneCamera camera = CameraOf(800, 600);
    // Visible width 10 / 0.3 drawing units over 800 pixels.
    EXPECT_DOUBLE_EQ(camera.PixelSize(), 10.0 / 0.3 / 800.0);
    const TIntPoint centre = camera.ProjectToScreen({0, 0, 0});
    EXPECT_EQ(centre.X, 400);
    EXPECT_EQ(centre.Y, 300);
    const double unitsPerPixel = camera.PixelSize();
    const TIntPoint right = camera.ProjectToScreen({100 * unitsPerPixel, 0, 0});
    EXPECT_EQ(right.X, 500);
    EXPECT_EQ(right.Y, 300);
    const TIntPoint up = camera.ProjectToScreen({0, 100 * unitsPerPixel, 0});
    EXPECT_EQ(up.X, 400);
    EXPECT_EQ(up.Y, 200);
}

TEST(SceneCamera, ScreenToWorldInvertsTheProjection)
{
    TSceneCamera camera = CameraOf(640, 480);
    camera.ZoomToBox(TPoint3D{-20, 5, 0, 1}, TPoint3D{60, 45, 0, 1});
    camera.Pan({3.5, -1.25, 0});
    struct TCase {
        int32_t X, Y;
    };
    for (const TCase c : {TCase{0, 0}, TCase{320, 240}, TCase{639, 479}, TCase{17, 400}, TCase{-50, 900}}) {
        const std::optional<TPoint3D> p = camera.ScreenToWorld(c.X, c.Y);
        ASSERT_TRUE(p) << c.X << "," << c.Y;
        EXPECT_EQ(p->Z, 0.0);
        const TIntPoint back = camera.ProjectToScreen({p->X, p->Y, 0});
        EXPECT_EQ(back.X, c.X);
        EXPECT_EQ(back.Y, c.Y);
    }
    // Pixel (W/2, H/2) lies on the target.
    const std::optional<TPoint3D> mid = camera.ScreenToWorld(320, 240);
    EXPECT_NEAR(mid->X, camera.Target().x(), 1e-6);
    EXPECT_NEAR(mid->Y, camera.Target().y(), 1e-6);
}

TEST(SceneCamera, ZoomToBoxShowsTheDiagonal)
{
    TSceneCamera camera = CameraOf(1000, 500);
    camera.ZoomToBox(TPoint3D{0, 0, 0, 1}, TPoint3D{100, 100, 0, 1});
    EXPECT_NEAR(camera.Target().x(), 50.0, 1e-9);
    EXPECT_NEAR(camera.Target().y(), 50.0, 1e-9);
    EXPECT_NEAR(camera.PixelSize() * camera.ViewportWidth(), 141.42, 0.01);
    // The camera keeps its direction, at ten half-diagonals.
    EXPECT_NEAR(camera.Offset().length(), 10 * 70.7107, 1e-2);
    EXPECT_NEAR(camera.DepthOfView(), 20 * 70.7107, 1e-2);
    EXPECT_LT(camera.Offset().y(), 0.0);

    // A single point: the half diagonal is raised to 1e-9.
    camera.ZoomToBox(TPoint3D{7, 8, 0, 1}, TPoint3D{7, 8, 0, 1});
    EXPECT_NEAR(camera.SceneScale(), 5e9, 5e9 * 1e-6);
    EXPECT_NEAR(camera.Target().x(), 7.0, 1e-6);

    // Corners that are not numbers leave the view as it was.
    const double scale = camera.SceneScale();
    camera.ZoomToBox(TPoint3D{NAN, 0, 0, 1}, TPoint3D{1, 1, 0, 1});
    camera.ZoomToBox(TPoint3D{0, 0, 0, 1}, TPoint3D{INFINITY, 1, 0, 1});
    EXPECT_EQ(camera.SceneScale(), scale);
}

// Every corner of the box lands inside the viewport with the margin left,
// and the tighter direction is filled up to the margin.
TEST(SceneCamera, FitBoxShowsEveryCornerWithAMargin)
{
    struct TCase {
        const char* Name;
        int32_t Width, Height;
        TPoint3D Lo, Hi;
        osg::Vec3d Direction;
    };
    const TCase cases[] = {
        {"tall drawing, wide view", 1000, 732, {0, 0, 0, 1}, {18, 38, 0, 1}, {0, -1e-3, 1}},
        {"wide drawing, wide view", 1000, 732, {-50, 0, 0, 1}, {150, 20, 0, 1}, {0, -1e-3, 1}},
        {"tall view", 300, 900, {0, 0, 0, 1}, {40, 30, 0, 1}, {0, -1e-3, 1}},
        {"solid in the iso view", 1000, 732, {0, 0, -10, 1}, {60, 40, 25, 1}, {1, -1, 1}},
        {"solid from the side", 800, 600, {0, 0, 0, 1}, {10, 10, 80, 1}, {0, -1, 0.001}},
    };
    for (const TCase& c : cases) {
        TSceneCamera camera = CameraOf(c.Width, c.Height);
        camera.SetOffset(c.Direction);
        camera.FitBox(c.Lo, c.Hi, 0.05);
        int32_t minX = INT32_MAX, maxX = INT32_MIN, minY = INT32_MAX, maxY = INT32_MIN;
        for (int corner = 0; corner < 8; ++corner) {
            const osg::Vec3d p((corner & 1) ? c.Hi.X : c.Lo.X, (corner & 2) ? c.Hi.Y : c.Lo.Y,
                               (corner & 4) ? c.Hi.Z : c.Lo.Z);
            const TIntPoint s = camera.ProjectToScreen(p);
            minX = std::min(minX, s.X);
            maxX = std::max(maxX, s.X);
            minY = std::min(minY, s.Y);
            maxY = std::max(maxY, s.Y);
        }
        const double spanX = double(maxX - minX) / c.Width;
        const double spanY = double(maxY - minY) / c.Height;
        // 5 % of the extent on each side: the box fills 1 / 1.1 of the
        // tighter direction.
        EXPECT_GE(minX, std::lround(0.04 * c.Width) - 1) << c.Name;
        EXPECT_LE(maxX, c.Width - std::lround(0.04 * c.Width) + 1) << c.Name;
        EXPECT_GE(minY, std::lround(0.04 * c.Height) - 1) << c.Name;
        EXPECT_LE(maxY, c.Height - std::lround(0.04 * c.Height) + 1) << c.Name;
        EXPECT_NEAR(std::max(spanX, spanY), 1.0 / 1.1, 0.01) << c.Name;
    }
}

TEST(SceneCamera, ZoomScalesCameraAndDepthTogether)
{
    TSceneCamera camera = CameraOf(400, 400);
    const osg::Vec3d offset = camera.Offset();
    camera.Zoom(2.0);
    EXPECT_DOUBLE_EQ(camera.SceneScale(), 0.6);
    EXPECT_DOUBLE_EQ(camera.DepthOfView(), 150.0);
    EXPECT_NEAR((camera.Offset() - offset * 0.5).length(), 0.0, 1e-12);
    // A factor that would leave no finite positive scale is refused.
    for (const double bad : {0.0, -1.0, double(INFINITY), double(NAN), 1e-320}) {
        camera.Zoom(bad);
        EXPECT_DOUBLE_EQ(camera.SceneScale(), 0.6) << bad;
    }
}

TEST(SceneCamera, EdgeOnViewHasNoDrawingPoint)
{
    TSceneCamera camera = CameraOf(400, 300);
    // Looking along the drawing plane: no pixel has a drawing point.
    camera.SetOffset({0, -100, 0});
    for (const int32_t y : {0, 150, 299})
        EXPECT_FALSE(camera.ScreenToWorld(200, y)) << y;

    // Orbited to just short of edge-on: the centre ray still passes the
    // target, but 100 pixels higher the plane lies a million units off, far
    // beyond the depth the camera shows.
    camera.SetOffset({0, -100, 1e-4});
    EXPECT_TRUE(camera.ScreenToWorld(200, 150));
    EXPECT_FALSE(camera.ScreenToWorld(200, 50));
    EXPECT_FALSE(camera.ScreenToWorld(200, 250));

    // Tilted 60 degrees the plane is in view again.
    camera.SetOffset({0, -100 * std::sin(M_PI / 3), 100 * std::cos(M_PI / 3)});
    const std::optional<TPoint3D> p = camera.ScreenToWorld(200, 150);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->X, 0.0, 1e-9);
    EXPECT_NEAR(p->Y, 0.0, 1e-9);
}

TEST(SceneCamera, OrbitKeepsDistanceAndStaysOffThePoles)
{
    TSceneCamera camera = CameraOf(400, 300);
    const double distance = camera.Offset().length();
    camera.Orbit(-500.0, 0.0);
    EXPECT_NEAR(camera.Offset().length(), distance, 1e-9);
    EXPECT_NEAR(std::acos(camera.Offset().z() / distance), TSceneCamera::OrbitPoleMargin, 1e-12);
    camera.Orbit(90.0, 90.0);
    EXPECT_NEAR(camera.Offset().length(), distance, 1e-9);
    EXPECT_NEAR(std::acos(camera.Offset().z() / distance), TSceneCamera::OrbitPoleMargin + M_PI / 2, 1e-12);
    camera.Orbit(1000.0, 0.0);
    EXPECT_NEAR(std::acos(camera.Offset().z() / distance), M_PI - TSceneCamera::OrbitPoleMargin, 1e-12);
    // Not a number changes nothing.
    const osg::Vec3d before = camera.Offset();
    camera.Orbit(NAN, 0.0);
    EXPECT_EQ(camera.Offset(), before);
}

TEST(SceneCamera, FarPixelsAreClampedToTheIntRange)
{
    const TSceneCamera camera = CameraOf(100, 100);
    const TIntPoint far = camera.ProjectToScreen({1e300, -1e300, 0});
    EXPECT_EQ(far.X, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(far.Y, std::numeric_limits<int32_t>::max());
}

} // namespace

}  // namespace scene_camera_test
