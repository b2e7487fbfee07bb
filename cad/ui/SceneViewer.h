#pragma once
// TSceneViewer: the widget that shows the scene view (cad/QVScene.h): an
// OpenSceneGraph viewer embedded in a QOpenGLWidget, with the overlay drawn
// on top by a QPainter, and the widget's key, mouse, wheel and resize events
// handed to the view and through it to the interaction program.
//
// Promises:
// - Needs the compatibility-profile default surface format
//   (UseSceneSurfaceFormat) set before the QApplication exists: the scene
//   draws with fixed-function OpenGL.
// - Sizes and positions given to the view are device pixels (logical times
//   devicePixelRatioF()).
// - Each paint: the view prepares the frame, OSG renders the scene into the
//   widget's framebuffer, the view draws its overlay on a QPainter canvas,
//   and then tells the interaction program when the view itself was
//   invalidated (TQVScene::FrameDone). The painter leaves the GL state as
//   OSG's frame left it, since OSG only applies what it believes changed:
//   every frame comes out the same.
// - No exception leaves an event handler: each one runs inside GuardedCall
//   (cad/EventGuard.h), which shows the error and goes on.
// - When Qt recreates the GL context (the widget moved to another top-level
//   window, e.g. a floating dock), OSG's window is closed with the old
//   context and made anew with the new one.
// - The widget installs the view's repaint and pending-events hooks and
//   takes them back when it goes; the view must outlive it.

#include <QOpenGLWidget>

#include <osg/ref_ptr>

#include <cstdint>

class TQVScene;
struct TViewMessage;

namespace osgViewer {
class Viewer;
class GraphicsWindowEmbedded;
} // namespace osgViewer

// Sets the application's default surface format to what the scene needs:
// OpenGL compatibility profile, depth 24, stencil 8. Call before the
// QApplication is created.
void UseSceneSurfaceFormat();

class TSceneViewer final : public QOpenGLWidget {
    Q_OBJECT

public:
    explicit TSceneViewer(TQVScene& scene, QWidget* parent = nullptr);
    ~TSceneViewer() override;
    TSceneViewer(const TSceneViewer&) = delete;
    TSceneViewer& operator=(const TSceneViewer&) = delete;

    TQVScene& Scene() const { return m_Scene; }
    // Frames rendered so far (all contexts).
    uint64_t FrameCount() const { return m_FrameCount; }

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;

private:
    void CreateGraphicsWindow();
    // With the context current.
    void CloseGraphicsWindow();
    void ContextAboutToBeDestroyed();
    void HandleMouse(QMouseEvent* event);
    void Dispatch(const TViewMessage& message);
    int32_t DevicePixels(int logical) const;
    // The overlay on a QPainter over the frame, leaving the GL state as
    // OSG's frame left it.
    void PaintOverlay();

    TQVScene& m_Scene;
    osg::ref_ptr<osgViewer::Viewer> m_Viewer;
    osg::ref_ptr<osgViewer::GraphicsWindowEmbedded> m_Window;
    QMetaObject::Connection m_ContextConnection;
    uint64_t m_FrameCount = 0;
};
