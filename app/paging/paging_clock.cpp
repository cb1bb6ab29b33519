#include "paging/paging_clock.h"

#include <chrono>

uint32_t SystemClock::Now() const {
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch());
    // Wraps in 2106, like every time the files hold.
    return static_cast<uint32_t>(seconds.count());
}
