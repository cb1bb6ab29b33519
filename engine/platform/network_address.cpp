#include "platform/network_address.h"

namespace rkl::platform {

namespace {
constexpr std::string_view kTcpScheme = "tcp://";
constexpr std::string_view kTlsScheme = "tls://";
}  // namespace

bool IsNetworkAddress(std::string_view device) {
    return device.starts_with(kTcpScheme) || device.starts_with(kTlsScheme);
}

bool ParseNetworkAddress(std::string_view device, NetworkAddress& address) {
    if (!IsNetworkAddress(device)) return false;
    address.tls = device.starts_with(kTlsScheme);
    std::string_view rest = device.substr(kTcpScheme.size());
    std::string_view host;
    if (rest.starts_with('[')) {
        const size_t close = rest.find(']');
        if (close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ':')
            return false;
        host = rest.substr(1, close - 1);
        rest = rest.substr(close + 2);
    } else {
        const size_t colon = rest.rfind(':');
        if (colon == std::string_view::npos) return false;
        host = rest.substr(0, colon);
        rest = rest.substr(colon + 1);
        if (host.find(':') != std::string_view::npos) return false;  // IPv6 needs brackets
    }
    if (host.empty() || host.find_first_of("/ \t") != std::string_view::npos) return false;
    if (rest.empty() || rest.size() > 5 || rest.find_first_not_of("0123456789") != std::string_view::npos) {
        return false;
    }
    const long number = std::stol(std::string(rest));
    if (number < 1 || number > 65535) return false;
    address.host = std::string(host);
    address.port = std::string(rest);
    return true;
}

}  // namespace rkl::platform
