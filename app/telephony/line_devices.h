#pragma once
// The telephony line devices of the system, as the setup wizard and the service window list
// them: every device that speaks an API version up to 1.4 and has an 8-bit line name.

#include <cstdint>
#include <string>
#include <vector>

namespace vorla::telephony {

class TelephonyApi;

struct LineDevice {
    std::string name;
    std::string registryKey;  // where the device keeps its modem settings
    uint32_t permanentLineId = 0;
};

struct LineDeviceScan {
    bool providerPresent = false;
    int32_t initializeResult = 0;  // the result of lineInitialize; 0 when it succeeded
    std::vector<LineDevice> devices;
};

inline constexpr uint32_t kLowestApiVersion = 0x00000000;
inline constexpr uint32_t kHighestApiVersion = 0x00010004;
// More devices than this are not listed (a provider reporting billions would hang the window).
inline constexpr uint32_t kMaxDevices = 256;

LineDeviceScan ScanLineDevices(TelephonyApi& api);

}  // namespace vorla::telephony
