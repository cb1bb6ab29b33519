#include "platform/tick_clock.h"

#include <time.h>

namespace rkl::platform {

std::int64_t MonotonicClock::NowMilliseconds() const {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

const Clock& SystemClock() {
    static const MonotonicClock clock;
    return clock;
}

Tick CurrentTick() {
    return SystemClock().NowTick();
}

}  // namespace rkl::platform
