#include "nc/grbl/GRBLClock.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

class TQtGrblTimer final : public TGrblTimer {
public:
    TQtGrblTimer()
    {
        m_Timer.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 5% early
        QObject::connect(&m_Timer, &QTimer::timeout, &m_Timer, [this] {
            if (OnTimeout)
                OnTimeout();
        });
    }
    void Start(int ms, bool repeat) override
    {
        m_Timer.setSingleShot(!repeat);
        m_Timer.start(ms);
    }
    void Stop() override { m_Timer.stop(); }
    bool IsActive() const override { return m_Timer.isActive(); }

private:
    QTimer m_Timer;
};

class TSystemGrblClock final : public TGrblClock {
public:
    TSystemGrblClock() { m_Elapsed.start(); }
    int64_t NowMs() const override { return m_Elapsed.elapsed(); }
    std::unique_ptr<TGrblTimer> MakeTimer() override { return std::make_unique<TQtGrblTimer>(); }

private:
    QElapsedTimer m_Elapsed;
};

} // namespace

TGrblClock& SystemGrblClock()
{
    static TSystemGrblClock clock;
    return clock;
}
