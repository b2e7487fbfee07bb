#include "cad/ui/WheelZoom.h"

#include "cad/scene/QVScene.h"
#include "core/settings/AppConfig.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(WheelZoom, FactorIsPointNinePerNotchAway)
{
    EXPECT_DOUBLE_EQ(WheelZoomFactor(120), 0.9);
    EXPECT_DOUBLE_EQ(WheelZoomFactor(-120), 1.0 / 0.9);
    EXPECT_DOUBLE_EQ(WheelZoomFactor(240), 0.81);
    EXPECT_DOUBLE_EQ(WheelZoomFactor(60), std::sqrt(0.9));
}

TEST(WheelZoom, CentreMovesByThePointerOffsetTimesFactorLessOne)
{
    struct TCase {
        int32_t Width, Height, MouseX, MouseY;
        double Factor;
        TIntPoint Expected;
    };
    const TCase cases[] = {
        // Integer halves of the viewer; the pointer at the centre keeps it.
        {801, 601, 400, 300, 0.9, {400, 300}},
        // dx = 100, dy = -200: x 400 + Round(90 - 100), y 300 - Round(-200 + 180).
        {800, 600, 500, 100, 0.9, {390, 320}},
        // Zooming in moves the centre towards the pointer.
        {800, 600, 500, 100, 1.0 / 0.9, {411, 278}},
        // dx (f - 1) = -2.5 and dy (1 - f) = 2.5 round half to even: -2, 2.
        {800, 600, 410, 310, 0.75, {398, 298}},
    };
    for (const TCase& c : cases) {
        const TIntPoint p = WheelZoomCentre(c.Width, c.Height, c.MouseX, c.MouseY, c.Factor);
        EXPECT_EQ(p.X, c.Expected.X) << c.MouseX << "," << c.MouseY << " f " << c.Factor;
        EXPECT_EQ(p.Y, c.Expected.Y) << c.MouseX << "," << c.MouseY << " f " << c.Factor;
    }
}

TEST(WheelZoom, ZoomsTheViewAboutThePointer)
{
    TAppConfig config("");
    TQVScene view(config);
    view.SetViewportSize(800, 600);
    view.ZoomToBox(TBox3D{{0, 0, 0, 1}, {100, 100, 0, 1}});
    const double scale = view.Camera().SceneScale();
    view.ViewerMouseMove(700, 150, TShiftState{});
    const TIntPoint pixel = WheelZoomCentre(800, 600, 700, 150, 1.0 / 0.9);
    const std::optional<TPoint3D> centre = view.ScreenToWorld(pixel.X, pixel.Y);
    ASSERT_TRUE(centre);

    WheelZoom(view, -120);
    EXPECT_NEAR(view.Camera().SceneScale(), scale / 0.9, 1e-12);
    EXPECT_NEAR(view.Camera().Target().x(), centre->X, 1e-9);
    EXPECT_NEAR(view.Camera().Target().y(), centre->Y, 1e-9);

    // One notch back returns the scale; no turn changes nothing.
    WheelZoom(view, 120);
    EXPECT_NEAR(view.Camera().SceneScale(), scale, 1e-12);
    WheelZoom(view, 0);
    EXPECT_NEAR(view.Camera().SceneScale(), scale, 1e-12);
}

} // namespace
