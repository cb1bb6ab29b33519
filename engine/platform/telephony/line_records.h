#pragma once
// Reading the provider's variable-size records: the caller offers a buffer, the provider says
// how much it needs, and the caller tries again with that much. Shared by the device lists
// and TAPIOPENPORT, which must both survive a provider that lies about sizes.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/telephony/telephony_abi.h"

namespace vorla::telephony {

class TelephonyApi;

// The first capabilities buffer; a provider that needs more says so and gets a bigger one.
inline constexpr uint32_t kFirstDevCapsSize = 240;
// The first buffer for a call's port (the fixed part and room for a short name).
inline constexpr uint32_t kFirstVarStringSize = 24;
// A provider asking for more than this for one record is not believed.
inline constexpr uint32_t kMaxRecordSize = 64 * 1024;

// The device's capabilities into `record` (at least sizeof(VorlaLineDevCaps) bytes). Returns 0,
// the provider's error, or LINEERR_STRUCTURETOOSMALL when it keeps asking for more than we give.
int32_t GetDevCapsRecord(TelephonyApi& api, uint32_t lineApp, uint32_t device, uint32_t apiVersion,
                         std::vector<unsigned char>& record);

// The bytes [offset, offset + size) of a record the provider filled up to `used`; false when
// its numbers point outside what it wrote or into the fixed part of `headerSize` bytes.
bool RecordSlice(const std::vector<unsigned char>& record, uint32_t used, uint32_t headerSize,
                 uint32_t offset, uint32_t size, std::string& out);

// The line name of a capabilities record, when it has one as 8-bit text.
bool DevCapsLineName(const std::vector<unsigned char>& record, std::string& name);

struct CommPort {
    int fd = -1;       // owned by the caller once handed out
    std::string path;  // the device; the caller opens it when fd is -1
};

// lineGetID(call, "comm/datamodem"): the call's port. Returns 0 or the provider's error;
// LINEERR_OPERATIONFAILED when the record it hands back does not hold a port.
int32_t GetCallCommPort(TelephonyApi& api, uint32_t call, CommPort& port);

}  // namespace vorla::telephony
