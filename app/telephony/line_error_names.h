#pragma once
// The names of the telephony error codes, as the user sees them in a message box and a
// script sees them in its error text.

#include <cstdint>
#include <string>

namespace vorla::telephony {

inline constexpr int32_t kLineErrStructureTooSmall = static_cast<int32_t>(0x8000004D);
inline constexpr int32_t kLineErrOperationUnavail = static_cast<int32_t>(0x80000049);

// "LINEERR_NODEVICE" and so on; a code without a name gives "LINEERR_ (Unknown Error) - %08x".
std::string LineErrorName(int32_t code);

}  // namespace vorla::telephony
