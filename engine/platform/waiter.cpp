#include "platform/waiter.h"

#include <errno.h>
#include <poll.h>

#include <algorithm>
#include <utility>

namespace rkl::platform {

Waiter::Waiter(const Clock& clock, Pump pump, StopPredicate stop)
    : clock_(clock), pump_(std::move(pump)), stop_(std::move(stop)) {}

void Waiter::RunPump() const {
    if (pump_) pump_();
}

bool Waiter::StopRequested() const {
    return stop_ && stop_();
}

short Waiter::SleepOnce(std::int64_t wake_ms, int fd, short events) const {
    const std::int64_t remaining = wake_ms - clock_.NowMilliseconds();
    const int timeout = static_cast<int>(std::clamp<std::int64_t>(remaining, 0, kPumpIntervalMilliseconds));
    pollfd entry{fd, events, 0};
    const int ready = ::poll(fd >= 0 ? &entry : nullptr, fd >= 0 ? 1 : 0, timeout);
    if (ready <= 0) return 0;  // time-out, or EINTR: the caller re-checks the clock
    return entry.revents;
}

WaitEnd Waiter::WaitPastTick(Tick target) {
    return WaitForInputPastTick(target, -1);
}

WaitEnd Waiter::WaitForInputPastTick(Tick target, int fd) {
    const std::int64_t end_ms = Clock::FirstMillisecondAfter(target);
    for (;;) {
        if (clock_.NowMilliseconds() >= end_ms) return WaitEnd::TickPassed;
        RunPump();
        if (StopRequested()) return WaitEnd::Stopped;
        const short revents = SleepOnce(end_ms, fd, POLLIN);
        // A hung-up terminal (the device is gone: a USB adapter pulled out, the other side of a
        // pseudo-terminal closed) polls ready for ever and never gives a byte again.
        if (revents & (POLLHUP | POLLERR | POLLNVAL)) {
            return WaitEnd::Failed;
        } else if (revents & POLLIN) {
            return WaitEnd::Ready;
        }
    }
}

WaitEnd Waiter::WaitForEventPastTick(Tick target, int fd, short events) {
    const std::int64_t end_ms = Clock::FirstMillisecondAfter(target);
    for (;;) {
        if (clock_.NowMilliseconds() >= end_ms) return WaitEnd::TickPassed;
        RunPump();
        if (StopRequested()) return WaitEnd::Stopped;
        if (SleepOnce(end_ms, fd, events) != 0) return WaitEnd::Ready;
    }
}

WaitEnd Waiter::PumpAndSleep(int milliseconds) {
    RunPump();
    if (StopRequested()) return WaitEnd::Stopped;
    SleepOnce(clock_.NowMilliseconds() + std::max(milliseconds, 1), -1, 0);
    return WaitEnd::TickPassed;
}

WaitEnd Waiter::WaitWritable(int fd) {
    if (fd < 0) return WaitEnd::Failed;
    for (;;) {
        RunPump();
        if (StopRequested()) return WaitEnd::Stopped;
        const std::int64_t wake = clock_.NowMilliseconds() + kPumpIntervalMilliseconds;
        const short revents = SleepOnce(wake, fd, POLLOUT);
        if (revents & POLLOUT) return WaitEnd::Ready;
        if (revents & (POLLHUP | POLLERR | POLLNVAL)) return WaitEnd::Failed;
    }
}

}  // namespace rkl::platform
