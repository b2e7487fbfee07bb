#pragma once
// Time for the machine link and its window: the current time and timers
// that fire on the event loop. The program uses SystemGrblClock(); tests
// hand in a clock they advance themselves, so that no wait of the link
// depends on how busy the machine running the tests is.

#include <cstdint>
#include <functional>
#include <memory>

class TGrblTimer {
public:
    virtual ~TGrblTimer() = default;
    // Fires OnTimeout after ms milliseconds, and every ms milliseconds after
    // that when repeat is set; a running timer starts again.
    virtual void Start(int ms, bool repeat) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;

    std::function<void()> OnTimeout;
};

class TGrblClock {
public:
    virtual ~TGrblClock() = default;
    // Milliseconds from an arbitrary start, never going back.
    virtual int64_t NowMs() const = 0;
    virtual std::unique_ptr<TGrblTimer> MakeTimer() = 0;
};

// The clock of the running program: steady time and precise Qt timers.
TGrblClock& SystemGrblClock();
