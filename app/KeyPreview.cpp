#include "app/KeyPreview.h"

#include <QApplication>
#include <QDockWidget>
#include <QKeyEvent>
#include <QMainWindow>
#include <QWindow>

TKeyPreview::TKeyPreview(QMainWindow& window, std::function<void(int)> onKeyPress)
    : m_Window(window), m_OnKeyPress(std::move(onKeyPress))
{
    qApp->installEventFilter(this);
}

TKeyPreview::~TKeyPreview()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool TKeyPreview::IsWindowOfMain(QObject* watched) const
{
    // A key reaches the top-level window first, which hands it to its focus
    // widget; the window is the one place where each key is seen once.
    if (!watched->isWindowType())
        return false;
    const auto* window = static_cast<QWindow*>(watched);
    if (window == m_Window.windowHandle())
        return true;
    for (const QDockWidget* dock : m_Window.findChildren<QDockWidget*>()) {
        if (dock->isFloating() && dock->windowHandle() == window)
            return true;
    }
    return false;
}

bool TKeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_OnKeyPress && IsWindowOfMain(watched))
        m_OnKeyPress(static_cast<QKeyEvent*>(event)->key());
    return false;
}
