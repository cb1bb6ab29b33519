#include "platform/custom_rate.h"

#include <asm/termbits.h>
#include <errno.h>
#include <sys/ioctl.h>

namespace rkl::platform::detail {

int SetCustomRate(int fd, std::uint32_t rate) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return errno;
    t.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = rate;
    t.c_ospeed = rate;
    return ioctl(fd, TCSETS2, &t) == 0 ? 0 : errno;
}

int ReadLineRate(int fd, std::uint32_t& rate) {
    termios2 t{};
    if (ioctl(fd, TCGETS2, &t) != 0) return errno;
    rate = t.c_ospeed;
    return 0;
}

}  // namespace rkl::platform::detail
