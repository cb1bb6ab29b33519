// The engine's time base is the platform's tick clock: 17 milliseconds of CLOCK_MONOTONIC,
// so the interpreter and the port waits count the same ticks.
#pragma once

#include <chrono>
#include <cstdint>

#include "platform/tick_clock.h"

namespace rkl {

inline constexpr std::chrono::milliseconds kTick{platform::kTickMilliseconds};

inline int64_t CurrentTick() {
    return platform::CurrentTick();
}

}  // namespace rkl
