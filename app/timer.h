// A timer of one of the program's windows, as the logic sees it: an interval
// fixed at creation, an enabled flag, and a handler that runs from inside the
// event pump.  A handler never runs inside itself: a tick that falls due while
// the handler still waits inside the event pump is skipped.
#pragma once

#include <functional>
#include <memory>

#include "platform/platform.h"

namespace qm {

class Timer {
public:
    Timer(Platform& platform, unsigned milliseconds, std::function<void()> handler);
    // Stops the timer for good; a handler still running finishes safely.
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    // True while the handler runs (it may be waiting inside the event pump).
    bool Busy() const { return busy_; }

private:
    void Tick();

    Platform& platform_;
    unsigned interval_;
    std::function<void()> handler_;
    int id_ = 0;
    bool enabled_ = false;
    bool busy_ = false;
    // Cleared when the timer goes, so that a tick in progress touches nothing
    // of it afterwards.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace qm
