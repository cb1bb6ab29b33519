#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string_view>

namespace pagingsim {

// Every state machine takes "now" from its caller instead of reading a clock, so the
// unit tests can step through guard times and time-outs without waiting.
using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Duration = std::chrono::milliseconds;

// One human-readable line about what the simulator just did; the program prints it on
// stderr, the tests may collect it.
using Tracer = std::function<void(std::string_view line)>;

inline std::optional<TimePoint> Earliest(std::optional<TimePoint> a, std::optional<TimePoint> b) {
    if (!a) return b;
    if (!b) return a;
    return *a < *b ? a : b;
}

}  // namespace pagingsim
