#include "cad/ui/SceneViewer.h"

#include "cad/scene/QVScene.h"
#include "core/settings/AppConfig.h"
#include "core/entities/Line2D.h"
#include "core/model/QV_01Cmp2D.h"
#include "tests/gl/PixelProbe.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

using kbtest::ColourNear;
using kbtest::IsBlack;
using kbtest::IsGreen;
using kbtest::IsRed;

// The interaction program's place: records every view message.
class TRecordingHook final : public TCADViewMessageHook {
public:
    void ViewerWndProc(const TViewMessage& message) override { Messages.push_back(message); }
    void ViewPortDestroyed(TCADViewPort&) override {}
    bool Has(TViewMessageKind kind) const
    {
        for (const TViewMessage& m : Messages) {
            if (m.Kind == kind)
                return true;
        }
        return false;
    }
    std::vector<TViewMessage> Messages;
};

// A black view of 320 x 240 pixels showing (0, 0) .. (100, 100) with the
// drawing in green, without axes and grid.
struct SceneViewerWidget : ::testing::Test {
    SceneViewerWidget() : Config("")
    {
        Config.BackGround = 0x00000000;
        Scene = std::make_unique<TQVScene>(Config);
        Scene->SetDocument(&Doc);
        Scene->SetMessageHook(&Hook);
        Doc.AddViewport(Scene.get());
        Services = std::make_unique<TViewServicesScope>(TViewServices{&Scene->SceneBuilder(), Scene.get(), nullptr, nullptr});
        Scene->SetAxesVisible(false);
        Doc.Layers().GetLayer(0).SetPenColor(0x0000FF00);

        Window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(Window.get());
        layout->setContentsMargins(0, 0, 0, 0);
        Viewer = new TSceneViewer(*Scene, Window.get());
        layout->addWidget(Viewer);
        Window->resize(320, 240);
        Window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
        Scene->ZoomToBox(TBox3D{{0, 0, 0, 1}, {100, 100, 0, 1}});
    }

    ~SceneViewerWidget() override
    {
        Window.reset();
        Doc.RemoveViewport(Scene.get());
    }

    void AddLine(double x1, double y1, double x2, double y2)
    {
        Doc.AddObject(-1, std::make_unique<TLine2D>(0, Point2D(x1, y1), Point2D(x2, y2)));
    }

    // Every sampled point of the segment shows the colour in the frame.
    void ExpectLineDrawn(const QImage& frame, double x1, double y1, double x2, double y2,
                         const kbtest::TColourTest& colour = IsGreen)
    {
        for (double t = 0.1; t < 0.95; t += 0.1) {
            const TIntPoint p = Scene->PointToScreen(Point2D(x1 + t * (x2 - x1), y1 + t * (y2 - y1)));
            EXPECT_TRUE(ColourNear(frame, p, colour)) << "t " << t << " at pixel " << p.X << "," << p.Y;
        }
    }

    bool BlackAt(const QImage& frame, double x, double y)
    {
        return ColourNear(frame, Scene->PointToScreen(Point2D(x, y)), IsBlack, 0);
    }

    void Send(QEvent& event) { QCoreApplication::sendEvent(Viewer, &event); }

    void SendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
                   Qt::KeyboardModifiers modifiers)
    {
        QMouseEvent event(type, QPointF(at), Viewer->mapToGlobal(QPointF(at)), button, buttons, modifiers);
        Send(event);
    }

    TRecordingHook Hook;
    TAppConfig Config;
    TQV_01Cmp2D Doc;
    std::unique_ptr<TQVScene> Scene;
    std::unique_ptr<TViewServicesScope> Services;
    std::unique_ptr<QWidget> Window;
    TSceneViewer* Viewer = nullptr;
};

TEST_F(SceneViewerWidget, FrameShowsTheLinesWherePickingLooksForThem)
{
    AddLine(10, 70, 90, 70);
    AddLine(10, 10, 90, 40); // not symmetric: a flipped frame would not match
    const QImage frame = Viewer->grabFramebuffer();
    ASSERT_EQ(frame.width(), Scene->ViewportWidth());
    ASSERT_EQ(frame.height(), Scene->ViewportHeight());
    ExpectLineDrawn(frame, 10, 70, 90, 70);
    ExpectLineDrawn(frame, 10, 10, 90, 40);
    EXPECT_TRUE(BlackAt(frame, 50, 50));
    EXPECT_TRUE(BlackAt(frame, 50, 90));
    EXPECT_TRUE(BlackAt(frame, 80, 15));
}

TEST_F(SceneViewerWidget, OverlayIsPaintedOverTheScene)
{
    AddLine(10, 40, 90, 40);
    Scene->SetRubberBandStart(Point2D(20, 20));
    Scene->SetRubberBandEnd(Point2D(80, 60));
    Scene->SetOverlayMode(Scene->OverlayMode() | OverlayBits::RubberBand);
    const QImage frame = Viewer->grabFramebuffer();
    ExpectLineDrawn(frame, 20, 20, 80, 20, IsRed);
    ExpectLineDrawn(frame, 80, 20, 80, 60, IsRed);
    ExpectLineDrawn(frame, 20, 60, 20, 20, IsRed);
    // Where the band crosses the green line, the overlay wins.
    EXPECT_TRUE(ColourNear(frame, Scene->PointToScreen(Point2D(20, 40)), IsRed, 0));
    ExpectLineDrawn(frame, 25, 40, 75, 40);
    EXPECT_TRUE(BlackAt(frame, 50, 30));
}

TEST_F(SceneViewerWidget, EveryFrameLooksTheSameAndTranslucentObjectsBlend)
{
    // All at once: entities, the translucent grid, the axes with their
    // screen texts, and the painter's overlay (tripod, scale bar, band).
    AddLine(10, 70, 90, 70);
    Scene->SetAxesVisible(true);
    Scene->SetGridSizeX(100);
    Scene->SetGridSizeY(100);
    Scene->SetGridStepX(10);
    Scene->SetGridStepY(10);
    Scene->SetGridEnabled(true);
    Scene->RebuildGrid();
    Scene->SetRubberBandStart(Point2D(20, 20));
    Scene->SetRubberBandEnd(Point2D(80, 60));
    Scene->SetOverlayMode(Scene->OverlayMode() | OverlayBits::RubberBand);

    // The GL state the painter leaves behind must not reach the next frame.
    const QImage first = Viewer->grabFramebuffer();
    const QImage second = Viewer->grabFramebuffer();
    EXPECT_TRUE(first == second);
    // A grid line (colour 0x800000 at alpha 0.2) over the black background
    // is dark: blended, not drawn opaque.
    const auto blendedGrid = [](QRgb c) { return qRed(c) < 8 && qGreen(c) < 8 && qBlue(c) > 8 && qBlue(c) < 0x40; };
    const auto opaqueGrid = [](QRgb c) { return qBlue(c) > 0x70; };
    const TIntPoint onGrid = Scene->PointToScreen(Point2D(0, 35));
    EXPECT_TRUE(ColourNear(second, onGrid, blendedGrid));
    EXPECT_FALSE(ColourNear(second, onGrid, opaqueGrid));
    ExpectLineDrawn(second, 25, 70, 75, 70);
    ExpectLineDrawn(second, 20, 20, 80, 20, IsRed);
}

TEST_F(SceneViewerWidget, MouseKeysAndWheelReachTheProgramAndTheNavigation)
{
    Viewer->grabFramebuffer();
    const double scale = Scene->Camera().SceneScale();
    Hook.Messages.clear();

    // A Ctrl drag of 10 pixels upwards zooms in by 1.1^10.
    SendMouse(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    SendMouse(QEvent::MouseMove, {100, 90}, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    SendMouse(QEvent::MouseButtonRelease, {100, 90}, Qt::LeftButton, Qt::NoButton, Qt::ControlModifier);
    EXPECT_NEAR(Scene->Camera().SceneScale(), scale * std::pow(1.1, 10), 1e-9);
    ASSERT_EQ(Hook.Messages.size(), 3u);
    EXPECT_EQ(Hook.Messages[0].Kind, TViewMessageKind::LeftButtonDown);
    EXPECT_TRUE(Hook.Messages[0].Shift.Ctrl && Hook.Messages[0].Shift.Left);
    EXPECT_EQ(Hook.Messages[1].Kind, TViewMessageKind::MouseMove);
    EXPECT_EQ(Hook.Messages[1].Y, std::lround(90 * Viewer->devicePixelRatioF()));
    EXPECT_EQ(Hook.Messages[2].Kind, TViewMessageKind::LeftButtonUp);
    EXPECT_FALSE(Scene->MouseButtonDown());

    // The view's own invalidation reaches the program after the next frame.
    Hook.Messages.clear();
    Viewer->grabFramebuffer();
    EXPECT_TRUE(Hook.Has(TViewMessageKind::Invalidate));

    // Keys as virtual-key codes; an auto-repeated release is no key-up.
    Hook.Messages.clear();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier, QString(), true);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    Send(press);
    Send(repeatRelease);
    Send(release);
    ASSERT_EQ(Hook.Messages.size(), 2u);
    EXPECT_EQ(Hook.Messages[0].Kind, TViewMessageKind::KeyDown);
    EXPECT_EQ(Hook.Messages[0].Key, 27);
    EXPECT_EQ(Hook.Messages[1].Kind, TViewMessageKind::KeyUp);

    // One wheel notch away zooms out by 0.9.
    const double before = Scene->Camera().SceneScale();
    QWheelEvent wheel(QPointF(160, 120), Viewer->mapToGlobal(QPointF(160, 120)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    Send(wheel);
    EXPECT_NEAR(Scene->Camera().SceneScale(), before * 0.9, 1e-9);
}

TEST_F(SceneViewerWidget, DrawsAgainAfterMovingToAnotherWindow)
{
    AddLine(10, 70, 90, 70);
    ExpectLineDrawn(Viewer->grabFramebuffer(), 10, 70, 90, 70);

    // A floating dock does this: Qt makes a new GL context for the widget.
    QWidget other;
    auto* layout = new QVBoxLayout(&other);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Viewer);
    other.resize(320, 240);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    AddLine(10, 30, 90, 30);
    const uint64_t frames = Viewer->FrameCount();
    const QImage frame = Viewer->grabFramebuffer();
    EXPECT_GT(Viewer->FrameCount(), frames);
    ExpectLineDrawn(frame, 10, 70, 90, 70);
    ExpectLineDrawn(frame, 10, 30, 90, 30);

    // Back, before the window goes.
    Window->layout()->addWidget(Viewer);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    ExpectLineDrawn(Viewer->grabFramebuffer(), 10, 30, 90, 30);
}

} // namespace
