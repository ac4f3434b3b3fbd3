#include "platform/timer.h"

namespace qm {

Timer::Timer(Platform& platform, unsigned milliseconds, std::function<void()> handler)
    : platform_(platform), interval_(milliseconds), handler_(std::move(handler)) {
    id_ = platform_.CreateTimer(interval_, [this] { Tick(); });
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    platform_.SetTimerRunning(id_, enabled);
}

void Timer::Tick() {
    // A tick that falls due while the handler still waits inside the event
    // pump is dropped: a handler never runs inside itself.
    if (!enabled_ || busy_) return;
    busy_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{busy_};
    handler_();
}

}  // namespace qm
