#ifndef RKL_PLATFORM_PACED_IO_H
#define RKL_PLATFORM_PACED_IO_H

#include <functional>
#include <string_view>

#include "platform/tick_clock.h"
#include "platform/waiter.h"

namespace rkl::platform {

class SerialPort;

// DELAY ticks: lasts until the tick count is greater than the start tick plus `ticks`, so
// between `ticks` and `ticks` + 1 ticks; DELAY 0 ends at the next tick boundary.
WaitEnd Delay(Waiter& waiter, int ticks);

// BREAK ticks: break on, Delay, break off. Both calls are made even when the first fails;
// returns the errno of the first failure (0 when both succeeded), or ECANCELED when the
// waiter was stopped (the break is cleared in that case too).
int SendBreak(SerialPort& port, int ticks, Waiter& waiter);

// SEND / SENDASIS pacing: for each byte, `before_each` (the character trace; may be empty),
// write it (when `port` is null or closed the byte is lost silently), note the tick t at
// which the write finished and wait until the tick count is greater than t + `delay_ticks`.
// Ends early with Stopped when the waiter is stopped, with Failed when the device refuses a
// byte (it is gone: EIO), else TickPassed.
using ByteObserver = std::function<void(unsigned char)>;
WaitEnd SendPaced(SerialPort* port, std::string_view text, int delay_ticks, Waiter& waiter,
                  const ByteObserver& before_each);

// RECV: takes bytes as they come until the tick count is past `deadline` (RECV ticks is
// deadline = now + ticks). Each byte that is not 0 goes to `on_byte`, which traces it, pushes
// it into the match buffer and answers true when an armed text matched; that ends the loop.
// Between reads the loop sleeps in poll() on the port, waking for input at once. A null or
// closed port simply waits out the time; an open port whose device is gone (a read error, or
// a hang-up once what was received has been taken) ends it with Lost.
enum class ReceiveEnd { Matched, TimedOut, Stopped, Lost };
using ByteConsumer = std::function<bool(unsigned char)>;
ReceiveEnd ReceiveUntil(SerialPort* port, Tick deadline, Waiter& waiter,
                        const ByteConsumer& on_byte);

}  // namespace rkl::platform

#endif
