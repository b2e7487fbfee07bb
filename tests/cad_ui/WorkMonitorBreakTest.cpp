// The user's break reaching a long computation through the Qt monitor.

#include "cad/ui/QtWorkMonitor.h"

#include "cam/progress/UserBreak_ProgBar.h"
#include "tests/support/RecordingNotifier.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdint>

namespace {

void PostClick(QWidget& target)
{
    const QPointF at(target.width() / 2.0, target.height() / 2.0);
    const QPointF global = target.mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(&target, new QMouseEvent(type, at, global, Qt::LeftButton,
                                                             type == QEvent::MouseButtonPress ? Qt::LeftButton
                                                                                              : Qt::NoButton,
                                                             Qt::NoModifier));
}

TEST(WorkMonitorBreak, EscStopsTheWorkAtItsNextRefreshAndOtherInputIsDropped)
{
    kbtest::TRecordingNotifier notifier;
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("Go"), &window);
    button->resize(80, 30);
    auto* coordinates = new QLabel(QStringLiteral("X: 0 Y: 0"), &window);
    coordinates->move(0, 40);
    window.show();
    QCoreApplication::processEvents();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });

    TQtWorkMonitor monitor(nullptr, nullptr, coordinates);
    TUserBreak_ProgBar work;
    int64_t now = 0;
    work.SetClock([&now] { return now; });
    work.Bind(&monitor, true);
    work.StartProgress();
    EXPECT_TRUE(coordinates->isHidden());

    QCoreApplication::postEvent(button, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    PostClick(*button);
    now += 500;
    EXPECT_FALSE(work.StepProgress(10, 1)); // no refresh yet: the events wait
    EXPECT_FALSE(monitor.UserBreakRequested());
    now += 600;
    EXPECT_TRUE(work.StepProgress(10, 2));
    EXPECT_TRUE(monitor.UserBreakRequested());
    EXPECT_EQ(notifier.Messages().size(), 1u);
    work.EndProgress();
    EXPECT_FALSE(coordinates->isHidden());

    // The click met during the work is gone, not merely delayed; a click
    // after the work is delivered.
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 0);
    PostClick(*button);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicks, 1);
}

} // namespace
