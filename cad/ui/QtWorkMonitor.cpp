#include "cad/ui/QtWorkMonitor.h"

#include "cad/ui/QtUserNotifier.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>

#include <algorithm>

TQtWorkMonitor::TQtWorkMonitor(QLabel* message, QProgressBar* progress, QLabel* coordinates)
    : m_Message(message), m_Progress(progress), m_Coordinates(coordinates)
{
}

TQtWorkMonitor::~TQtWorkMonitor()
{
    while (m_BusyDepth > 0)
        SetBusy(false);
}

void TQtWorkMonitor::ShowStatusMessage(const std::string& text)
{
    if (!m_Message)
        return;
    m_Message->setText(MessageText(text));
    m_Message->repaint();
}

void TQtWorkMonitor::ShowProgress(int position, bool showPercent)
{
    if (!m_Progress)
        return;
    const int value = std::clamp(position, 0, 100);
    const QString format = showPercent ? QStringLiteral("%p%") : QString();
    // A repaint flushes the whole window: none when the bar would look
    // the same (callers report every item of a long loop).
    if (m_Progress->isVisible() && m_Progress->minimum() == 0 && m_Progress->maximum() == 100 &&
        m_Progress->value() == value && m_Progress->format() == format && m_Progress->isTextVisible() == showPercent)
        return;
    m_Progress->setRange(0, 100);
    m_Progress->setValue(value);
    m_Progress->setFormat(format);
    m_Progress->setTextVisible(showPercent);
    m_Progress->show();
    m_Progress->repaint();
}

void TQtWorkMonitor::HideProgress()
{
    if (m_Progress)
        m_Progress->hide();
}

void TQtWorkMonitor::SetCoordinateReadoutVisible(bool visible)
{
    if (m_Coordinates)
        m_Coordinates->setVisible(visible);
}

void TQtWorkMonitor::SetBusy(bool busy)
{
    if (busy) {
        if (m_BusyDepth++ == 0 && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        return;
    }
    if (m_BusyDepth == 0)
        return;
    if (--m_BusyDepth == 0 && qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
}

namespace {

bool IsUserInput(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    case QEvent::Close:
        // The window's close box; a close of the program's own stays.
        return event.spontaneous();
    default:
        return false;
    }
}

} // namespace

bool TQtWorkMonitor::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsUserInput(*event))
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        RequestUserBreak();
    if (event->type() == QEvent::Close)
        event->ignore();
    return true;
}

void TQtWorkMonitor::ProcessMessages()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        return;
    // Input is read by the gate, not delivered: Esc breaks, the rest is
    // dropped. A handler that runs meanwhile may come back here: the gate
    // stays until the outermost call ends.
    if (m_GateDepth++ == 0)
        app->installEventFilter(this);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (--m_GateDepth == 0)
        app->removeEventFilter(this);
}

void TQtWorkMonitor::ProcessPendingPaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
