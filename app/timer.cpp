#include "app/timer.h"

namespace qm {

Timer::Timer(Platform& platform, unsigned milliseconds, std::function<void()> handler)
    : platform_(platform), interval_(milliseconds), handler_(std::move(handler)) {
    id_ = platform_.CreateTimer(interval_, [this, alive = alive_] {
        if (*alive) Tick();
    });
}

Timer::~Timer() {
    *alive_ = false;
    platform_.DestroyTimer(id_);
}

void Timer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    platform_.SetTimerRunning(id_, enabled);
}

void Timer::Tick() {
    if (!enabled_ || busy_) return;
    busy_ = true;
    std::shared_ptr<bool> alive = alive_;
    std::function<void()> handler = handler_;  // the timer may go while it runs
    handler();
    if (*alive) busy_ = false;
}

}  // namespace qm
