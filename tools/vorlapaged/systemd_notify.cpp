#include "tools/vorlapaged/systemd_notify.h"

#include <systemd/sd-daemon.h>

namespace vorla {

void NotifySystemd(const std::string& state) {
    sd_notify(0, state.c_str());
}

std::vector<int> SystemdListenSockets() {
    std::vector<int> sockets;
    const int count = sd_listen_fds(1);
    for (int i = 0; i < count; ++i) {
        const int descriptor = SD_LISTEN_FDS_START + i;
        if (sd_is_socket(descriptor, 0, SOCK_STREAM, 1) > 0) sockets.push_back(descriptor);
    }
    return sockets;
}

}  // namespace vorla
