#include "telephony/line_devices.h"

#include <cstring>

#include "engine/platform/telephony/line_error_names.h"
#include "engine/platform/telephony/line_records.h"
#include "engine/platform/telephony/telephony_api.h"

namespace vorla::telephony {
namespace {

void NoEvents(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) {}

bool IsAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace

LineDeviceScan ScanLineDevices(TelephonyApi& api) {
    LineDeviceScan scan;
    scan.providerPresent = api.ProviderPresent();
    uint32_t lineApp = 0;
    uint32_t deviceCount = 0;
    scan.initializeResult = api.lineInitialize(&lineApp, nullptr, &NoEvents, nullptr, &deviceCount);
    if (scan.initializeResult != 0) return scan;
    if (deviceCount > kMaxDevices) deviceCount = kMaxDevices;

    std::vector<unsigned char> record;
    for (uint32_t device = 0; device < deviceCount; ++device) {
        uint32_t apiVersion = 0;
        VorlaLineExtensionId extension{};
        if (api.lineNegotiateAPIVersion(lineApp, device, kLowestApiVersion, kHighestApiVersion, &apiVersion,
                                        &extension) != 0)
            continue;
        if (GetDevCapsRecord(api, lineApp, device, apiVersion, record) != 0) continue;
        VorlaLineDevCaps caps{};
        std::memcpy(&caps, record.data(), sizeof caps);
        std::string name;
        if (!DevCapsLineName(record, name) || name.empty() || !IsAscii(name)) continue;

        LineDevice entry;
        entry.name = std::move(name);
        entry.permanentLineId = caps.permanentLineId;
        std::string specific;
        if (caps.devSpecificSize > 8 && RecordSlice(record, caps.usedSize, sizeof caps,
                                                    caps.devSpecificOffset, caps.devSpecificSize, specific))
            entry.registryKey = specific.substr(8, specific.find('\0', 8) - 8);
        scan.devices.push_back(std::move(entry));
    }
    api.lineShutdown(lineApp);
    return scan;
}

}  // namespace vorla::telephony
