#include "platform/telephony/line_records.h"

#include <cstring>

#include "platform/telephony/line_error_names.h"
#include "platform/telephony/telephony_api.h"

namespace vorla::telephony {
namespace {

// The record's first three members are the same in every variable-size record: total,
// needed and used size.
struct SizeHeader {
    uint32_t totalSize;
    uint32_t neededSize;
    uint32_t usedSize;
};

// Calls `fill` with buffers of growing size until the provider's record fits.
template <typename Fill>
int32_t GrowUntilFits(uint32_t firstSize, uint32_t headerSize, std::vector<unsigned char>& record,
                      Fill fill) {
    uint32_t size = firstSize;
    for (int attempt = 0; attempt < 8; ++attempt) {
        record.assign(size, 0);
        SizeHeader header{size, 0, 0};
        std::memcpy(record.data(), &header, sizeof header);
        const int32_t result = fill(record.data());
        std::memcpy(&header, record.data(), sizeof header);
        if (result != 0 && result != kLineErrStructureTooSmall) return result;
        if (result == 0 && header.neededSize <= size) {
            if (header.usedSize < headerSize || header.usedSize > size) header.usedSize = size;
            std::memcpy(record.data(), &header, sizeof header);
            return 0;
        }
        // Too small: ask again with what the provider says it needs (at least a little more).
        const uint32_t wanted = header.neededSize > size ? header.neededSize : size * 2;
        if (wanted > kMaxRecordSize) break;
        size = wanted;
    }
    return kLineErrStructureTooSmall;
}

}  // namespace

int32_t GetDevCapsRecord(TelephonyApi& api, uint32_t lineApp, uint32_t device, uint32_t apiVersion,
                         std::vector<unsigned char>& record) {
    return GrowUntilFits(kFirstDevCapsSize, sizeof(VorlaLineDevCaps), record, [&](unsigned char* bytes) {
        return api.lineGetDevCaps(lineApp, device, apiVersion, 0, reinterpret_cast<VorlaLineDevCaps*>(bytes));
    });
}

bool RecordSlice(const std::vector<unsigned char>& record, uint32_t used, uint32_t headerSize,
                 uint32_t offset, uint32_t size, std::string& out) {
    const uint64_t end = static_cast<uint64_t>(offset) + size;
    if (offset < headerSize || end > used || end > record.size()) return false;
    out.assign(reinterpret_cast<const char*>(record.data()) + offset, size);
    return true;
}

bool DevCapsLineName(const std::vector<unsigned char>& record, std::string& name) {
    VorlaLineDevCaps caps{};
    std::memcpy(&caps, record.data(), sizeof caps);
    if (caps.lineNameSize == 0 || caps.lineNameOffset == 0 || caps.stringFormat != kVorlaStringFormatAscii)
        return false;
    if (!RecordSlice(record, caps.usedSize, sizeof caps, caps.lineNameOffset, caps.lineNameSize, name))
        return false;
    name = name.substr(0, name.find('\0'));
    return true;
}

int32_t GetCallCommPort(TelephonyApi& api, uint32_t call, CommPort& port) {
    std::vector<unsigned char> record;
    const int32_t result =
        GrowUntilFits(kFirstVarStringSize, sizeof(VorlaVarString), record, [&](unsigned char* bytes) {
            return api.lineGetID(0, 0, call, VORLA_LINECALLSELECT_CALL,
                                 reinterpret_cast<VorlaVarString*>(bytes), VORLA_DEVICE_CLASS_DATAMODEM);
        });
    if (result != 0) return result;
    VorlaVarString header{};
    std::memcpy(&header, record.data(), sizeof header);
    std::string bytes;
    if (header.stringSize < sizeof(int32_t) ||
        !RecordSlice(record, header.usedSize, sizeof header, header.stringOffset, header.stringSize, bytes))
        return kLineErrOperationFailed;
    int32_t fd = -1;
    std::memcpy(&fd, bytes.data(), sizeof fd);
    port.fd = fd;
    port.path = bytes.substr(sizeof fd);
    port.path = port.path.substr(0, port.path.find('\0'));
    if (fd < 0 && port.path.empty()) return kLineErrOperationFailed;
    return 0;
}

}  // namespace vorla::telephony
