#include "systemd_notify.h"

#ifdef VORLAPAGED_HAVE_SYSTEMD
#include <systemd/sd-daemon.h>
#endif

namespace vorla {

void NotifySystemd(const std::string& state) {
#ifdef VORLAPAGED_HAVE_SYSTEMD
  sd_notify(0, state.c_str());
#else
  (void)state;
#endif
}

std::vector<int> SystemdListenSockets() {
  std::vector<int> sockets;
#ifdef VORLAPAGED_HAVE_SYSTEMD
  const int count = sd_listen_fds(1);
  for (int i = 0; i < count; ++i) {
    const int descriptor = SD_LISTEN_FDS_START + i;
    if (sd_is_socket(descriptor, 0, SOCK_STREAM, 1) > 0) sockets.push_back(descriptor);
  }
#endif
  return sockets;
}

}  // namespace vorla
