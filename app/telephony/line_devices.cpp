#include "line_devices.h"

#include <cstring>

#include "line_error_names.h"
#include "telephony_api.h"

namespace vorla::telephony {
namespace {

void NoEvents(uint32_t, uint32_t, uintptr_t, uintptr_t, uintptr_t, uintptr_t) {}

// The bytes [offset, offset + size) of the record, or false when the provider's numbers point
// outside what it wrote.
bool Slice(const std::vector<unsigned char>& record, uint32_t used, uint32_t offset, uint32_t size,
           std::string& out) {
    const uint64_t end = static_cast<uint64_t>(offset) + size;
    if (offset < sizeof(VorlaLineDevCaps) || end > used || end > record.size()) return false;
    out.assign(reinterpret_cast<const char*>(record.data()) + offset, size);
    return true;
}

std::string UpToNul(const std::string& text) { return text.substr(0, text.find('\0')); }

bool IsAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

// The device's capabilities, the buffer grown until the provider's record fits; false when
// the provider refuses or keeps asking for more than we will give.
bool GetDevCaps(TelephonyApi& api, uint32_t lineApp, uint32_t device, uint32_t apiVersion,
                std::vector<unsigned char>& record) {
    uint32_t size = kFirstDevCapsSize;
    for (int attempt = 0; attempt < 8; ++attempt) {
        record.assign(size, 0);
        VorlaLineDevCaps header{};
        header.totalSize = size;
        std::memcpy(record.data(), &header, sizeof header);
        const int32_t result =
            api.lineGetDevCaps(lineApp, device, apiVersion, 0, reinterpret_cast<VorlaLineDevCaps*>(record.data()));
        std::memcpy(&header, record.data(), sizeof header);
        if (result != 0 && result != kLineErrStructureTooSmall) return false;
        if (result == 0 && header.neededSize <= size) return true;
        // Too small: ask again with what the provider says it needs (at least a little more).
        const uint32_t wanted = header.neededSize > size ? header.neededSize : size * 2;
        if (wanted > kMaxDevCapsSize) return false;
        size = wanted;
    }
    return false;
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
        if (!GetDevCaps(api, lineApp, device, apiVersion, record)) continue;
        VorlaLineDevCaps caps{};
        std::memcpy(&caps, record.data(), sizeof caps);
        const uint32_t used = caps.usedSize ? caps.usedSize : caps.totalSize;
        if (caps.lineNameSize == 0 || caps.lineNameOffset == 0 || caps.stringFormat != kVorlaStringFormatAscii)
            continue;
        std::string name;
        if (!Slice(record, used, caps.lineNameOffset, caps.lineNameSize, name)) continue;
        name = UpToNul(name);
        if (name.empty() || !IsAscii(name)) continue;

        LineDevice entry;
        entry.name = std::move(name);
        entry.permanentLineId = caps.permanentLineId;
        std::string specific;
        if (caps.devSpecificSize > 8 && Slice(record, used, caps.devSpecificOffset, caps.devSpecificSize, specific))
            entry.registryKey = UpToNul(specific.substr(8));
        scan.devices.push_back(std::move(entry));
    }
    api.lineShutdown(lineApp);
    return scan;
}

}  // namespace vorla::telephony
