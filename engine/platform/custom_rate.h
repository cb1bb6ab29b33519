#ifndef RKL_PLATFORM_CUSTOM_RATE_H
#define RKL_PLATFORM_CUSTOM_RATE_H

#include <cstdint>

namespace rkl::platform::detail {

// The kernel's arbitrary-rate interface (termios2), for rates outside the termios table such
// as 14400 or 28800. Kept in its own file because its kernel header cannot share a
// translation unit with <termios.h>. Both return 0 or an errno value.
int SetCustomRate(int fd, std::uint32_t rate);
// The rate the driver holds now, whichever interface set it.
int ReadLineRate(int fd, std::uint32_t& rate);

}  // namespace rkl::platform::detail

#endif
