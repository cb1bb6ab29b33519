#pragma once
// What the gateway tells systemd and takes from it. Without libsystemd, or when not started
// by systemd, both do nothing.

#include <string>
#include <vector>

namespace vorla {

// sd_notify: "READY=1", "STATUS=...", "STOPPING=1".
void NotifySystemd(const std::string& state);
// The listening sockets of socket activation (sd_listen_fds), made non-inheritable.
std::vector<int> SystemdListenSockets();

}  // namespace vorla
