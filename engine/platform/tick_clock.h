#ifndef RKL_PLATFORM_TICK_CLOCK_H
#define RKL_PLATFORM_TICK_CLOCK_H

#include <cstdint>

namespace rkl::platform {

// All script time arguments count in ticks of 17 ms. Ticks are 64-bit so that a long-running
// host never sees the count wrap (a 32-bit millisecond count wraps after 49.7 days).
using Tick = std::int64_t;
inline constexpr std::int64_t kTickMilliseconds = 17;

// The time source behind every wait. Tests may substitute their own; production code uses
// SystemClock().
class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary fixed origin; never goes backwards.
    virtual std::int64_t NowMilliseconds() const = 0;

    Tick NowTick() const { return NowMilliseconds() / kTickMilliseconds; }
    // The first millisecond at which NowTick() is greater than `tick`.
    static std::int64_t FirstMillisecondAfter(Tick tick) { return (tick + 1) * kTickMilliseconds; }
};

// CLOCK_MONOTONIC: unaffected by changes of the wall clock, so a wait never ends early or
// lasts for hours because someone set the date.
class MonotonicClock final : public Clock {
public:
    std::int64_t NowMilliseconds() const override;
};

// The process-wide monotonic clock.
const Clock& SystemClock();

// The current tick of SystemClock(): CLOCK_MONOTONIC milliseconds / 17, rounded down.
Tick CurrentTick();

}  // namespace rkl::platform

#endif
