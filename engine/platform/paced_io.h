#ifndef RKL_PLATFORM_PACED_IO_H
#define RKL_PLATFORM_PACED_IO_H

#include <functional>
#include <string_view>

#include "platform/port.h"
#include "platform/tick_clock.h"
#include "platform/waiter.h"

namespace rkl::platform {

class Port;
class SerialPort;

// How long the output queue may stand still before a wait for it gives up: a line held back
// by its handshake (CTS low on a three-wire cable, an XOFF that never ends) must not hold a
// SEND or a close for ever. At 300 baud a byte leaves every 33 ms, so a working line never
// comes near it.
inline constexpr int kLineStallMilliseconds = 2000;

// Waits, pumping the host, until everything written to `port` has gone out on the line. Ends
// with Stalled when no byte has left for `stall_ms`, and with Stopped when the waiter is.
enum class DrainEnd { Drained, Stalled, Stopped };
DrainEnd WaitOutputSent(const Port& port, Waiter& waiter, int stall_ms = kLineStallMilliseconds);

// DELAY ticks: lasts until the tick count is greater than the start tick plus `ticks`, so
// between `ticks` and `ticks` + 1 ticks; DELAY 0 ends at the next tick boundary.
WaitEnd Delay(Waiter& waiter, int ticks);

// BREAK ticks: break on, Delay, break off. Both calls are made even when the first fails;
// returns the errno of the first failure (0 when both succeeded), or ECANCELED when the
// waiter was stopped (the break is cleared in that case too).
int SendBreak(Port& port, int ticks, Waiter& waiter);

// SEND / SENDASIS pacing: for each byte, `before_each` (the character trace; may be empty),
// write it (when `port` is null or closed the byte is lost silently), wait until it has gone
// out on the line, note that tick t and wait until the tick count is greater than
// t + `delay_ticks`. Taking t when the byte was merely queued would let a slow line build up
// seconds of backlog that the next RECV's time then pays for. When the line stalls
// (WaitOutputSent), the rest of this text is paced by ticks alone. Ends early with Stopped
// when the waiter is stopped, with Failed when the device refuses a byte (it is gone: EIO),
// else TickPassed. A port that takes whole texts (a socket) gets the text in one write when
// `delay_ticks` is 0, and the wait is one tick boundary for the whole text.
using ByteObserver = std::function<void(unsigned char)>;
WaitEnd SendPaced(Port* port, std::string_view text, int delay_ticks, Waiter& waiter,
                  const ByteObserver& before_each);

// RECV: takes bytes as they come until the tick count is past `deadline` (RECV ticks is
// deadline = now + ticks). Each byte that is not 0 goes to `on_byte`, which traces it, pushes
// it into the match buffer and answers true when an armed text matched; that ends the loop.
// Between reads the loop sleeps in poll() on the port, waking for input at once. A null or
// closed port simply waits out the time; an open port whose device is gone (a read error, or
// a hang-up once what was received has been taken) ends it with Lost, unless the port reads
// a hang-up as a quiet line (a TCP connection the far end closed): then it waits out the time.
enum class ReceiveEnd { Matched, TimedOut, Stopped, Lost };
using ByteConsumer = std::function<bool(unsigned char)>;
ReceiveEnd ReceiveUntil(Port* port, Tick deadline, Waiter& waiter, const ByteConsumer& on_byte);

}  // namespace rkl::platform

#endif
