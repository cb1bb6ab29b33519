#ifndef RKL_PLATFORM_PORT_NAMES_H
#define RKL_PLATFORM_PORT_NAMES_H

#include <string>
#include <string_view>

namespace rkl::platform {

// The device of a port name when the host does not map it: "COMn" (any case, n a decimal
// number from 1 to 256 without sign or leading zero) is /dev/ttyS(n-1). Every other name maps
// to nothing (an empty path, which fails to open with ENOENT): a script must not be able to
// open an arbitrary file by naming it, and hosts that want other devices map names themselves.
std::string DefaultPortDevice(std::string_view port_name);

}  // namespace rkl::platform

#endif
