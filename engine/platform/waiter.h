#ifndef RKL_PLATFORM_WAITER_H
#define RKL_PLATFORM_WAITER_H

#include <cstdint>
#include <functional>

#include "platform/tick_clock.h"

namespace rkl::platform {

enum class WaitEnd {
    TickPassed,  // the tick count went past the target
    Ready,       // the descriptor has input (or, for WaitWritable, room for output)
    Stopped,     // the stop predicate answered true after a pump
    Failed,      // the descriptor reported an error or hang-up
};

// Every wait of the engine (DELAY, BREAK, SEND pacing, RECV, a write that would block) goes
// through a Waiter. It keeps the host alive by calling its pump between sleeps, at most one
// pump interval apart, and it sleeps in poll() in between: a wait costs a few system calls
// per tick, never a busy loop.
//
// Time is read from the given clock; the sleeps themselves are real (poll), so a clock that
// runs ahead of real time only makes waits end sooner, never spin.
class Waiter {
public:
    using Pump = std::function<void()>;
    using StopPredicate = std::function<bool()>;

    // One tick: the interface gets a chance to repaint and see Cancel at least that often.
    static constexpr int kPumpIntervalMilliseconds = 17;

    // `pump` may be empty (nothing to pump). `stop`, when set, is asked after each pump; once it
    // answers true the wait ends with Stopped (for example when the host cancelled the entry).
    explicit Waiter(const Clock& clock = SystemClock(), Pump pump = {}, StopPredicate stop = {});

    const Clock& clock() const { return clock_; }
    Tick NowTick() const { return clock_.NowTick(); }

    // Pumps and sleeps until the tick count is greater than `target`. Returns at once, without
    // pumping, when it already is. DELAY n is WaitPastTick(start + n).
    WaitEnd WaitPastTick(Tick target);

    // The same, but ends with Ready as soon as `fd` has input, and with Failed when it reports
    // hang-up or an error (input may still wait to be read then). fd < 0 waits on the clock
    // alone.
    WaitEnd WaitForInputPastTick(Tick target, int fd);

    // Pumps and sleeps until `fd` can take output: no time limit, only Stopped or Failed end it
    // otherwise.
    WaitEnd WaitWritable(int fd);

    // Pumps and sleeps until `fd` reports any of `events` or an error or hang-up (Ready: the
    // caller asks the descriptor what happened), the tick count passes `target`, or a stop.
    // For a connection being made.
    WaitEnd WaitForEventPastTick(Tick target, int fd, short events);

    // One pump, then one sleep of at most `milliseconds` (and at most one pump interval). For
    // waits on something poll() cannot see, such as a draining output queue: the caller checks
    // again after each call. Returns Stopped or TickPassed.
    WaitEnd PumpAndSleep(int milliseconds);

    void RunPump() const;
    bool StopRequested() const;

private:
    // One sleep of at most one pump interval and at most until `wake_ms`. Returns the poll
    // revents of `fd` (0 when none or fd < 0).
    short SleepOnce(std::int64_t wake_ms, int fd, short events) const;

    const Clock& clock_;
    Pump pump_;
    StopPredicate stop_;
};

}  // namespace rkl::platform

#endif
