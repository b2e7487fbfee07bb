#include "cad/ui/QtWorkMonitor.h"

#include "cad/ui/QtUserNotifier.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

#include <algorithm>

TQtWorkMonitor::TQtWorkMonitor(QLabel* message, QProgressBar* progress) : m_Message(message), m_Progress(progress)
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
    m_Progress->setRange(0, 100);
    m_Progress->setValue(std::clamp(position, 0, 100));
    m_Progress->setFormat(showPercent ? QStringLiteral("%p%") : QString());
    m_Progress->setTextVisible(showPercent);
    m_Progress->show();
    m_Progress->repaint();
}

void TQtWorkMonitor::HideProgress()
{
    if (m_Progress)
        m_Progress->hide();
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

void TQtWorkMonitor::ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TQtWorkMonitor::ProcessPendingPaint()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
