#include "tests/gl/MainWindowDriver.h"

#include "app/FileCommands.h"
#include "app/frmMain.h"
#include "cad/scene/QVScene.h"
#include "cad/ui/SceneViewer.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <QtTest/QTest>

#include <cmath>

namespace kbtest {

std::string SampleDrawing()
{
    return std::string(KB_DATA_SOURCE_DIR) + "/samples/sample.kvx";
}

TMainWindowDriver::TMainWindowDriver(const std::string& configFolder, const std::string& fileToOpen,
                                     const std::string& programFolder)
{
    TStartOptions options;
    options.ProgramFolder = programFolder;
    options.ConfigFolder = configFolder;
    options.FileToOpen = fileToOpen;
    options.InstallMessageBoxes = false;
    m_Program = std::make_unique<TProgram>(options);
    m_Program->Show();
    TfrmMain& window = m_Program->MainWindow();
    m_Ready = QTest::qWaitForWindowExposed(&window);
    window.activateWindow();
    m_Ready = QTest::qWaitForWindowActive(&window) && m_Ready;
    if (!fileToOpen.empty())
        m_Ready = QTest::qWaitFor([&] { return window.OpenedFile().Kind != TOpenedFileKind::None; }, 10000) &&
                  m_Ready;
    Settle();
}

TMainWindowDriver::~TMainWindowDriver() = default;

void TMainWindowDriver::Key(int qtKey, Qt::KeyboardModifiers modifiers) const
{
    QTest::keyClick(m_Program->MainWindow().windowHandle(), static_cast<Qt::Key>(qtKey), modifiers);
    Settle();
}

QPoint TMainWindowDriver::WindowPoint(const TPoint2D& p) const
{
    const TSceneViewer& view = m_Program->MainWindow().GraphicView();
    const TIntPoint device = Pixel(p);
    const qreal ratio = view.devicePixelRatioF();
    const QPoint logical(static_cast<int>(std::lround(device.X / ratio)), static_cast<int>(std::lround(device.Y / ratio)));
    return view.mapTo(&m_Program->MainWindow(), logical);
}

TIntPoint TMainWindowDriver::Pixel(const TPoint2D& p) const
{
    return m_Program->Scene().PointToScreen(p);
}

void TMainWindowDriver::MoveTo(const TPoint2D& p) const
{
    QTest::mouseMove(m_Program->MainWindow().windowHandle(), WindowPoint(p));
    Settle();
}

void TMainWindowDriver::ClickAt(const TPoint2D& p) const
{
    const QPoint at = WindowPoint(p);
    QWindow* window = m_Program->MainWindow().windowHandle();
    QTest::mouseMove(window, at);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, at);
    Settle();
}

void TMainWindowDriver::Settle()
{
    // Repaints are posted; a few rounds of the event loop deliver them.
    for (int i = 0; i < 5; ++i)
        QTest::qWait(20);
}

QImage TMainWindowDriver::ShownView() const
{
    const TfrmMain& window = m_Program->MainWindow();
    const TSceneViewer& view = window.GraphicView();
    const QPoint origin = view.mapTo(&window, QPoint(0, 0));
    // The window's pixels as the display holds them: the last frame that
    // was painted, not a new one.
    const QPixmap shot =
        window.screen()->grabWindow(window.winId(), origin.x(), origin.y(), view.width(), view.height());
    const QImage image = shot.toImage().convertToFormat(QImage::Format_RGB32);
    const qreal ratio = view.devicePixelRatioF();
    if (ratio == 1.0)
        return image;
    return image.scaled(m_Program->Scene().ViewportWidth(), m_Program->Scene().ViewportHeight());
}

QImage WithMenu(QWidget& window, QMenu& menu)
{
    QImage picture = window.grab().toImage();
    QPainter painter(&picture);
    painter.drawPixmap(menu.pos() - window.mapToGlobal(QPoint(0, 0)), menu.grab());
    return picture;
}

} // namespace kbtest
