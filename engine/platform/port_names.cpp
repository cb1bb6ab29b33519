#include "platform/port_names.h"

namespace rkl::platform {

std::string DefaultPortDevice(std::string_view name) {
    constexpr int kHighestPort = 256;
    if (name.size() < 4 || name.size() > 6) return {};
    for (int i = 0; i < 3; ++i) {
        if ((name[i] & ~0x20) != "COM"[i]) return {};
    }
    const std::string_view digits = name.substr(3);
    if (digits.front() == '0') return {};
    int number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return {};
        number = number * 10 + (c - '0');
    }
    if (number < 1 || number > kHighestPort) return {};
    return "/dev/ttyS" + std::to_string(number - 1);
}

}  // namespace rkl::platform
