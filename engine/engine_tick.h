// The engine's time base: one tick is 17 milliseconds of a monotonic clock.
#pragma once

#include <chrono>
#include <cstdint>

namespace rkl {

inline constexpr std::chrono::milliseconds kTick{17};

inline int64_t CurrentTick() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(since).count() / kTick.count();
}

// The moment at which the tick count becomes `tick`.
inline std::chrono::steady_clock::time_point TickStart(int64_t tick) {
  return std::chrono::steady_clock::time_point(
      std::chrono::duration_cast<std::chrono::steady_clock::duration>(kTick * tick));
}

}  // namespace rkl
