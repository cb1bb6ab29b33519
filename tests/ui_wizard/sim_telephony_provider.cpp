// A simulated telephony provider for tests, loaded at run time like a real one. Its devices:
//   0 "Sim Modem Line" (line id 0x1001, settings key "Sim\Modem\0000"): needs more than the
//     first buffer and says so with LINEERR_STRUCTURETOOSMALL;
//   1 a line whose name is not 8-bit text: not listed;
//   2 a line that speaks no API version we accept: not listed;
//   3 a line whose name points outside its record: not listed;
//   4 "Second Line" (line id 7, no settings key): fits the first buffer.
// VORLA_SIM_TELEPHONY_INIT, when set, is the (hexadecimal) result lineInitialize returns.
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/platform/telephony/telephony_abi.h"

namespace {
constexpr int32_t kStructureTooSmall = static_cast<int32_t>(0x8000004D);
constexpr int32_t kIncompatibleApiVersion = static_cast<int32_t>(0x8000000B);
constexpr int32_t kBadDeviceId = static_cast<int32_t>(0x80000002);
constexpr uint32_t kDeviceCount = 5;

struct SimDevice {
    const char* name;
    uint32_t lineId;
    uint32_t stringFormat;
    const char* settingsKey;  // may be null
    uint32_t padding;         // extra bytes that make the record need a bigger buffer
    bool nameOutside;
};
const SimDevice kDevices[kDeviceCount] = {
    {"Sim Modem Line", 0x1001, kVorlaStringFormatAscii, "Sim\\Modem\\0000", 400, false},
    {"Unicode Line", 2, 3, nullptr, 0, false},
    {"Old Line", 3, kVorlaStringFormatAscii, nullptr, 0, false},
    {"Broken Line", 4, kVorlaStringFormatAscii, nullptr, 0, true},
    {"Second Line", 7, kVorlaStringFormatAscii, nullptr, 0, false},
};
}  // namespace

extern "C" {

__attribute__((visibility("default"))) int32_t lineInitialize(uint32_t* lineApp, void*, VorlaLineCallback,
                                                              const char*, uint32_t* deviceCount) {
    if (const char* forced = std::getenv("VORLA_SIM_TELEPHONY_INIT"); forced && *forced) {
        const auto result = static_cast<int32_t>(std::strtoul(forced, nullptr, 16));
        if (result != 0) return result;
    }
    *lineApp = 42;
    *deviceCount = kDeviceCount;
    return 0;
}

__attribute__((visibility("default"))) int32_t lineNegotiateAPIVersion(uint32_t lineApp, uint32_t device,
                                                                       uint32_t, uint32_t apiHigh,
                                                                       uint32_t* apiVersion,
                                                                       VorlaLineExtensionId* extensionId) {
    if (lineApp != 42 || device >= kDeviceCount) return kBadDeviceId;
    if (device == 2) return kIncompatibleApiVersion;
    *apiVersion = apiHigh;
    std::memset(extensionId, 0, sizeof *extensionId);
    return 0;
}

__attribute__((visibility("default"))) int32_t lineGetDevCaps(uint32_t lineApp, uint32_t device, uint32_t,
                                                              uint32_t, VorlaLineDevCaps* caps) {
    if (lineApp != 42 || device >= kDeviceCount) return kBadDeviceId;
    const SimDevice& sim = kDevices[device];
    std::string specific;
    if (sim.settingsKey) {
        specific.assign(8, '\x01');
        specific += sim.settingsKey;
        specific += '\0';
    }
    const uint32_t nameSize = static_cast<uint32_t>(std::strlen(sim.name) + 1);
    const uint32_t header = sizeof(VorlaLineDevCaps);
    const uint32_t needed = header + nameSize + static_cast<uint32_t>(specific.size()) + sim.padding;
    const uint32_t total = caps->totalSize;
    std::memset(caps, 0, header);
    caps->totalSize = total;
    caps->neededSize = needed;
    if (needed > total) {
        caps->usedSize = header;
        return sim.padding ? kStructureTooSmall : 0;
    }
    auto* bytes = reinterpret_cast<unsigned char*>(caps);
    caps->usedSize = needed;
    caps->permanentLineId = sim.lineId;
    caps->stringFormat = sim.stringFormat;
    caps->lineNameSize = nameSize;
    caps->lineNameOffset = sim.nameOutside ? total + 100 : header;
    std::memcpy(bytes + header, sim.name, nameSize);
    if (!specific.empty()) {
        caps->devSpecificSize = static_cast<uint32_t>(specific.size());
        caps->devSpecificOffset = header + nameSize;
        std::memcpy(bytes + header + nameSize, specific.data(), specific.size());
    }
    return 0;
}

__attribute__((visibility("default"))) int32_t lineShutdown(uint32_t lineApp) {
    return lineApp == 42 ? 0 : kBadDeviceId;
}

}  // extern "C"
