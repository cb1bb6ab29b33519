#ifndef RKL_PLATFORM_NETWORK_ADDRESS_H
#define RKL_PLATFORM_NETWORK_ADDRESS_H

#include <string>
#include <string_view>

namespace rkl::platform {

// A port that stands for a TCP endpoint: "tcp://HOST:PORT" (TAP over IP) or "tls://HOST:PORT".
// HOST is a name, an IPv4 address or an IPv6 address in brackets; PORT is 1 to 65535.
struct NetworkAddress {
    bool tls = false;
    std::string host;
    std::string port;
};

// True when `device` names a network endpoint at all (by its scheme), well formed or not, so
// that it is never taken for a device path.
bool IsNetworkAddress(std::string_view device);
// False for a malformed address.
bool ParseNetworkAddress(std::string_view device, NetworkAddress& address);

}  // namespace rkl::platform

#endif
