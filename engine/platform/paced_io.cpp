#include "platform/paced_io.h"

#include <errno.h>

#include <algorithm>

#include "platform/serial_port.h"

namespace rkl::platform {

WaitEnd Delay(Waiter& waiter, int ticks) {
    const Tick start = waiter.NowTick();
    return waiter.WaitPastTick(start + ticks);
}

int SendBreak(Port& port, int ticks, Waiter& waiter) {
    const int set_error = port.SetBreak(true);
    const WaitEnd end = Delay(waiter, ticks);
    const int clear_error = port.SetBreak(false);
    if (set_error != 0) return set_error;
    if (clear_error != 0) return clear_error;
    return end == WaitEnd::Stopped ? ECANCELED : 0;
}

DrainEnd WaitOutputSent(const Port& port, Waiter& waiter, int stall_ms) {
    int pending = port.OutputPending();
    std::int64_t last_progress = waiter.clock().NowMilliseconds();
    while (pending > 0) {
        // Sleep about as long as the queue needs, but wake at least once a tick for the host.
        const std::int64_t needed_ms = pending * port.CharacterMicroseconds() / 1000;
        if (waiter.PumpAndSleep(static_cast<int>(
                std::min<std::int64_t>(needed_ms, Waiter::kPumpIntervalMilliseconds))) == WaitEnd::Stopped) {
            return DrainEnd::Stopped;
        }
        const int now_pending = port.OutputPending();
        const std::int64_t now = waiter.clock().NowMilliseconds();
        if (now_pending < pending) last_progress = now;
        pending = now_pending;
        if (pending > 0 && now - last_progress >= stall_ms) return DrainEnd::Stalled;
    }
    return DrainEnd::Drained;
}

WaitEnd SendPaced(Port* port, std::string_view text, int delay_ticks, Waiter& waiter,
                  const ByteObserver& before_each) {
    if (port != nullptr && port->IsOpen() && port->TakesWholeTexts() && delay_ticks == 0 && !text.empty()) {
        // No UART to overrun: one write, and one tick boundary in all.
        if (before_each) {
            for (char c : text)
                before_each(static_cast<unsigned char>(c));
        }
        const int error = port->WriteText(text, &waiter);
        if (error == ECANCELED) return WaitEnd::Stopped;
        if (error != 0) return WaitEnd::Failed;
        return waiter.WaitPastTick(waiter.NowTick());
    }
    bool line_stalled = false;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (before_each) before_each(byte);
        if (port != nullptr && port->IsOpen()) {
            const int error = port->WriteByte(byte, &waiter);
            if (error == ECANCELED) return WaitEnd::Stopped;
            if (error != 0) return WaitEnd::Failed;
            if (!line_stalled) {
                switch (WaitOutputSent(*port, waiter)) {
                    case DrainEnd::Stopped:
                        return WaitEnd::Stopped;
                    case DrainEnd::Stalled:
                        line_stalled = true;
                        break;
                    case DrainEnd::Drained:
                        break;
                }
            }
        }
        const Tick written_at = waiter.NowTick();
        if (waiter.WaitPastTick(written_at + delay_ticks) == WaitEnd::Stopped) {
            return WaitEnd::Stopped;
        }
    }
    return WaitEnd::TickPassed;
}

ReceiveEnd ReceiveUntil(Port* port, Tick deadline, Waiter& waiter, const ByteConsumer& on_byte) {
    bool open = port != nullptr && port->IsOpen();
    bool hung_up = false;
    for (;;) {
        if (waiter.NowTick() > deadline) return ReceiveEnd::TimedOut;
        if (open) {
            unsigned char byte = 0;
            switch (port->ReadByte(byte)) {
                case Port::ReadResult::Byte:
                    if (byte != 0 && on_byte && on_byte(byte)) return ReceiveEnd::Matched;
                    // More may be waiting: read again at once, but keep the host alive between bytes.
                    waiter.RunPump();
                    if (waiter.StopRequested()) return ReceiveEnd::Stopped;
                    continue;
                case Port::ReadResult::Nothing:
                    // What the device sent before it went is taken first; then the line is lost.
                    if (hung_up) {
                        if (port->LostWhenHungUp()) return ReceiveEnd::Lost;
                        open = false;  // a quiet line from now on: sleep on the clock alone
                    }
                    break;
                case Port::ReadResult::Failed:
                    if (port->LostWhenHungUp()) return ReceiveEnd::Lost;
                    open = false;
                    break;
            }
        }
        switch (waiter.WaitForInputPastTick(deadline, open ? port->fd() : -1)) {
            case WaitEnd::Stopped:
                return ReceiveEnd::Stopped;
            case WaitEnd::TickPassed:
                return ReceiveEnd::TimedOut;
            case WaitEnd::Failed:
                hung_up = true;
                break;
            default:
                break;
        }
    }
}

}  // namespace rkl::platform
