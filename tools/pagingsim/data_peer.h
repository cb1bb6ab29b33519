#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/pagingsim/sim_clock.h"

namespace pagingsim {

// Whatever sits at the far end of a data connection: the modem talks to it while a
// call is up, the TCP server talks to it directly.
class DataPeer {
public:
    virtual ~DataPeer() = default;
    virtual void Receive(std::string_view bytes, TimePoint now) = 0;
    // Timers that run without input (time-outs, delayed answers).
    virtual void Poll(TimePoint now) = 0;
    // The bytes that are due to be sent by now; the caller owns them afterwards.
    virtual std::string TakeOutput(TimePoint now) = 0;
    // When Poll or TakeOutput next has something to do; nullopt when only input matters.
    virtual std::optional<TimePoint> NextWakeup() const = 0;
    // True once the peer has ended the connection and its last bytes have been taken.
    virtual bool HungUp() const = 0;
};

}  // namespace pagingsim
