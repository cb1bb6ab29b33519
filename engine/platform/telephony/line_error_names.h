#pragma once
// The telephony error codes the callers and the shipped providers use by name, and the names
// of all of them, as the user sees them in a message box and a script in its error text.

#include <cstdint>
#include <string>

namespace vorla::telephony {

inline constexpr int32_t kLineErrBadDeviceId = static_cast<int32_t>(0x80000002);
inline constexpr int32_t kLineErrCallUnavail = static_cast<int32_t>(0x80000005);
inline constexpr int32_t kLineErrIncompatibleApiVersion = static_cast<int32_t>(0x8000000C);
inline constexpr int32_t kLineErrInUse = static_cast<int32_t>(0x8000000F);
inline constexpr int32_t kLineErrInvalAppHandle = static_cast<int32_t>(0x80000014);
inline constexpr int32_t kLineErrInvalBearerMode = static_cast<int32_t>(0x80000016);
inline constexpr int32_t kLineErrInvalCallHandle = static_cast<int32_t>(0x80000018);
inline constexpr int32_t kLineErrInvalCallParams = static_cast<int32_t>(0x80000019);
inline constexpr int32_t kLineErrInvalCallSelect = static_cast<int32_t>(0x8000001B);
inline constexpr int32_t kLineErrInvalCallState = static_cast<int32_t>(0x8000001C);
inline constexpr int32_t kLineErrInvalDeviceClass = static_cast<int32_t>(0x80000023);
inline constexpr int32_t kLineErrInvalLineHandle = static_cast<int32_t>(0x8000002B);
inline constexpr int32_t kLineErrInvalMediaMode = static_cast<int32_t>(0x8000002F);
inline constexpr int32_t kLineErrInvalParam = static_cast<int32_t>(0x80000032);
inline constexpr int32_t kLineErrInvalPointer = static_cast<int32_t>(0x80000035);
inline constexpr int32_t kLineErrNoDevice = static_cast<int32_t>(0x80000042);
inline constexpr int32_t kLineErrNoMem = static_cast<int32_t>(0x80000044);
inline constexpr int32_t kLineErrOperationFailed = static_cast<int32_t>(0x80000048);
inline constexpr int32_t kLineErrOperationUnavail = static_cast<int32_t>(0x80000049);
inline constexpr int32_t kLineErrResourceUnavail = static_cast<int32_t>(0x8000004B);
inline constexpr int32_t kLineErrStructureTooSmall = static_cast<int32_t>(0x8000004D);

// "LINEERR_NODEVICE" and so on; a code without a name gives "LINEERR_ (Unknown Error) - %08x".
std::string LineErrorName(int32_t code);

}  // namespace vorla::telephony
