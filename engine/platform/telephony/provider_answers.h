#pragma once
// Answers a provider library writes into the caller's variable-size records. Every provider
// fills them the same way (fixed part, then the text right after it, neededSize telling a
// caller with too small a buffer how much to offer next), so they share this code.

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/telephony/line_error_names.h"
#include "platform/telephony/telephony_abi.h"

namespace vorla::telephony {

// A device's capabilities with its 8-bit line name. A buffer that holds the fixed part but not
// the name gets neededSize and success, as the capabilities scan expects.
inline int32_t FillLineDevCaps(VorlaLineDevCaps& caps, uint32_t permanentLineId, const std::string& name) {
    const uint32_t total = caps.totalSize;
    constexpr uint32_t header = sizeof(VorlaLineDevCaps);
    if (total < header) return kLineErrStructureTooSmall;
    const auto nameSize = static_cast<uint32_t>(name.size() + 1);
    std::memset(&caps, 0, header);
    caps.totalSize = total;
    caps.neededSize = header + nameSize;
    caps.usedSize = header;
    caps.permanentLineId = permanentLineId;
    caps.stringFormat = kVorlaStringFormatAscii;
    if (caps.neededSize > total) return 0;
    std::memcpy(reinterpret_cast<unsigned char*>(&caps) + header, name.c_str(), nameSize);
    caps.lineNameOffset = header;
    caps.lineNameSize = nameSize;
    caps.usedSize = caps.neededSize;
    return 0;
}

}  // namespace vorla::telephony
