#include "cad/ui/SceneViewer.h"

#include "cad/program/EventGuard.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/QPainterCanvas.h"
#include "cad/ui/ViewMessages.h"
#include "cad/ui/WheelZoom.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLPaintDevice>
#include <QPainter>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include <osg/State>
#include <osgGA/GUIEventAdapter>
#include <osgViewer/GraphicsWindow>
#include <osgViewer/Viewer>

#include <cmath>
#include <exception>

namespace {

// The program's view cursors by slot: 1 pan, 2 cross hair (the view's own),
// 3 to 6 the cross hairs of the object-snap modes.
QCursor ProgramCursor(int slot)
{
    return QCursor(slot == 1 ? Qt::OpenHandCursor : Qt::CrossCursor);
}

} // namespace

void UseSceneSurfaceFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    QSurfaceFormat::setDefaultFormat(format);
}

TSceneViewer::TSceneViewer(TQVScene& scene, QWidget* parent)
    : QOpenGLWidget(parent), m_Scene(scene), m_Viewer(new osgViewer::Viewer)
{
    setObjectName(QStringLiteral("GraphicView"));
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(ProgramCursor(m_Scene.ViewerMouseEnter()));

    m_Viewer->setThreadingModel(osgViewer::Viewer::SingleThreaded);
    m_Viewer->setKeyEventSetsDone(0);
    m_Viewer->setQuitEventSetsDone(false);
    m_Viewer->setSceneData(m_Scene.SceneRoot());
    osg::Camera* camera = m_Viewer->getCamera();
    // Every entity is drawn however small it is on the screen.
    camera->setCullingMode(camera->getCullingMode() & ~osg::CullSettings::SMALL_FEATURE_CULLING);
    camera->setComputeNearFarMode(osg::CullSettings::DO_NOT_COMPUTE_NEAR_FAR);

    m_Scene.RequestRepaint = [this] { update(); };
    m_Scene.ProcessPendingEvents = [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); };
}

TSceneViewer::~TSceneViewer()
{
    // The context's signal would otherwise reach a half-destroyed widget.
    QObject::disconnect(m_ContextConnection);
    m_Scene.RequestRepaint = nullptr;
    m_Scene.ProcessPendingEvents = nullptr;
    if (m_Window) {
        makeCurrent();
        CloseGraphicsWindow();
        doneCurrent();
    }
    m_Viewer->setSceneData(nullptr);
}

int32_t TSceneViewer::DevicePixels(int logical) const
{
    return static_cast<int32_t>(std::lround(logical * devicePixelRatioF()));
}

void TSceneViewer::CreateGraphicsWindow()
{
    const int32_t w = DevicePixels(width());
    const int32_t h = DevicePixels(height());
    m_Window = m_Viewer->setUpViewerAsEmbeddedInWindow(0, 0, w, h);
    // Qt's mouse coordinates grow downwards.
    m_Window->getEventQueue()->getCurrentEventState()->setMouseYOrientation(
        osgGA::GUIEventAdapter::Y_INCREASING_DOWNWARDS);
    m_Scene.SetViewportSize(w, h);
}

void TSceneViewer::CloseGraphicsWindow()
{
    if (!m_Window)
        return;
    // Releases the scene's GL objects of this context while it is current.
    m_Window->close(true);
    m_Viewer->getCamera()->setGraphicsContext(nullptr);
    m_Window = nullptr;
}

void TSceneViewer::ContextAboutToBeDestroyed()
{
    makeCurrent();
    CloseGraphicsWindow();
    doneCurrent();
}

void TSceneViewer::initializeGL()
{
    GuardedCall([this] {
        QObject::disconnect(m_ContextConnection);
        m_ContextConnection = connect(context(), &QOpenGLContext::aboutToBeDestroyed, this,
                                      &TSceneViewer::ContextAboutToBeDestroyed, Qt::DirectConnection);
        CloseGraphicsWindow();
        CreateGraphicsWindow();
    });
}

void TSceneViewer::resizeGL(int w, int h)
{
    GuardedCall([&] {
        const int32_t dw = DevicePixels(w);
        const int32_t dh = DevicePixels(h);
        m_Scene.SetViewportSize(dw, dh);
        if (m_Window) {
            m_Window->resized(0, 0, dw, dh);
            m_Window->getEventQueue()->windowResize(0, 0, dw, dh);
        }
    });
}

void TSceneViewer::PaintOverlay()
{
    // OSG keeps track of the GL state it applied and changes only what
    // differs on the next frame, so the painter must leave the state as
    // OSG left it: OSG's arrays and buffers are released through OSG, the
    // rest is saved around the painter and restored after it.
    QOpenGLFunctions* gl = context()->functions();
    osg::State* state = m_Window->getState();
    if (state) {
        state->disableAllVertexArrays();
        state->unbindVertexBufferObject();
        state->unbindElementBufferObject();
    }
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    gl->glBindFramebuffer(GL_FRAMEBUFFER, defaultFramebufferObject());
    std::exception_ptr error;
    {
        // A painter on the widget itself would be redirected while the
        // widget is grabbed (QWidget::grab): paint into the framebuffer
        // object, in device pixels.
        QOpenGLPaintDevice device(m_Scene.ViewportWidth(), m_Scene.ViewportHeight());
        QPainter painter(&device);
        TQPainterCanvas canvas(painter);
        try {
            m_Scene.RenderOverlay(canvas);
        } catch (...) {
            // Passed on once the GL state is back.
            error = std::current_exception();
        }
    }
    // The painter leaves its shader program bound; OSG's frame ended with
    // none.
    gl->glUseProgram(0);
    if (state)
        state->setLastAppliedProgramObject(nullptr);
    gl->glBindBuffer(GL_ARRAY_BUFFER, 0);
    gl->glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glPopClientAttrib();
    glPopAttrib();
    if (error)
        std::rethrow_exception(error);
}

void TSceneViewer::paintGL()
{
    GuardedCall([this] {
        if (!m_Window)
            CreateGraphicsWindow();
        // QOpenGLWidget renders into its own framebuffer object.
        m_Window->setDefaultFboId(defaultFramebufferObject());
        m_Scene.PrepareFrame(*m_Viewer->getCamera());
        m_Viewer->frame();
        ++m_FrameCount;
        PaintOverlay();
        m_Scene.FrameDone();
    });
}

void TSceneViewer::HandleMouse(QMouseEvent* event)
{
    const TViewMessage message = MouseViewMessage(*event, devicePixelRatioF());
    const QEvent::Type type = event->type();
    GuardedCall([&] {
        m_Scene.HandleViewMessage(message);
        // The navigation notes a press of any button; the program ignores
        // the buttons it does not map.
        if (message.Kind == TViewMessageKind::Other) {
            if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)
                m_Scene.ViewerMouseDown(message.X, message.Y);
            else if (type == QEvent::MouseButtonRelease)
                m_Scene.ViewerMouseUp();
        }
    });
    event->accept();
}

void TSceneViewer::Dispatch(const TViewMessage& message)
{
    GuardedCall([&] { m_Scene.HandleViewMessage(message); });
}

void TSceneViewer::mousePressEvent(QMouseEvent* event)
{
    HandleMouse(event);
}

void TSceneViewer::mouseReleaseEvent(QMouseEvent* event)
{
    HandleMouse(event);
}

void TSceneViewer::mouseDoubleClickEvent(QMouseEvent* event)
{
    HandleMouse(event);
}

void TSceneViewer::mouseMoveEvent(QMouseEvent* event)
{
    HandleMouse(event);
}

void TSceneViewer::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    GuardedCall([&] { WheelZoom(m_Scene, delta); });
    event->accept();
}

void TSceneViewer::keyPressEvent(QKeyEvent* event)
{
    Dispatch(KeyViewMessage(*event, true, QGuiApplication::mouseButtons()));
    // Not consumed: the main window sees the key after the view.
    QOpenGLWidget::keyPressEvent(event);
}

void TSceneViewer::keyReleaseEvent(QKeyEvent* event)
{
    // A held key repeats its key-down only, as the program expects.
    if (!event->isAutoRepeat())
        Dispatch(KeyViewMessage(*event, false, QGuiApplication::mouseButtons()));
    QOpenGLWidget::keyReleaseEvent(event);
}

void TSceneViewer::enterEvent(QEnterEvent* event)
{
    setCursor(ProgramCursor(m_Scene.ViewerMouseEnter()));
    QOpenGLWidget::enterEvent(event);
}
