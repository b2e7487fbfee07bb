#include "cad/ui/QtWorkMonitor.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Counts the paint events of the widget it watches.
class TPaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        Paints += event->type() == QEvent::Paint ? 1 : 0;
        return QObject::eventFilter(watched, event);
    }
};

TEST(QtWorkMonitor, BusySectionsNestAndTheCursorComesBackOnce)
{
    TQtWorkMonitor monitor(nullptr, nullptr);
    ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
    monitor.SetBusy(true);
    monitor.SetBusy(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    monitor.SetBusy(false);
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    monitor.SetBusy(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // An unbalanced end takes back no cursor of anybody else's.
    QGuiApplication::setOverrideCursor(Qt::CrossCursor);
    monitor.SetBusy(false);
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    QGuiApplication::restoreOverrideCursor();
}

TEST(QtWorkMonitor, DestructorEndsOpenBusySections)
{
    {
        TQtWorkMonitor monitor(nullptr, nullptr);
        monitor.SetBusy(true);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(QtWorkMonitor, StatusAndProgressItems)
{
    QLabel message;
    auto progress = std::make_unique<QProgressBar>();
    TQtWorkMonitor monitor(&message, progress.get());
    monitor.ShowStatusMessage("Caf\xE9\r\nready");
    EXPECT_EQ(message.text(), QString::fromUtf8("Caf\u00e9\nready"));
    monitor.ShowProgress(150, true);
    EXPECT_EQ(progress->value(), 100);
    EXPECT_FALSE(progress->isHidden());
    EXPECT_TRUE(progress->isTextVisible());
    monitor.ShowProgress(-5, false);
    EXPECT_EQ(progress->value(), 0);
    EXPECT_FALSE(progress->isTextVisible());
    monitor.HideProgress();
    EXPECT_TRUE(progress->isHidden());
    // The items may go before the monitor.
    progress.reset();
    monitor.ShowProgress(50, true);
    monitor.HideProgress();
    monitor.ShowStatusMessage("");
    EXPECT_TRUE(message.text().isEmpty());

    EXPECT_FALSE(monitor.UserBreakRequested());
    monitor.RequestUserBreak();
    EXPECT_TRUE(monitor.UserBreakRequested());
    monitor.ClearUserBreak();
    EXPECT_FALSE(monitor.UserBreakRequested());
}

// A repaint flushes the whole window: a bar that would look the same is
// not painted again.
TEST(QtWorkMonitor, AnUnchangedBarIsNotPaintedAgain)
{
    QProgressBar bar;
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    TQtWorkMonitor monitor(nullptr, &bar);
    monitor.ShowProgress(40, true);
    TPaintCounter counter;
    bar.installEventFilter(&counter);
    struct TStep {
        int Position;
        bool Percent;
        bool Painted;
    };
    const TStep steps[] = {{40, true, false}, {41, true, true},   {41, true, false},
                           {41, false, true}, {141, false, true}, {100, false, false}};
    for (const TStep& step : steps) {
        const int before = counter.Paints;
        monitor.ShowProgress(step.Position, step.Percent);
        EXPECT_EQ(counter.Paints > before, step.Painted) << step.Position << " " << step.Percent;
    }
    // A hidden bar shows again.
    monitor.HideProgress();
    monitor.ShowProgress(100, false);
    EXPECT_TRUE(bar.isVisible());
}

} // namespace
