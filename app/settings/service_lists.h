#pragma once
// The services list file SERVICES.INI (section "Services") and the modem list file MODEM.INI
// (section "Modems"): entries "1", "2", ... whose values are fields separated by "|".
//
// Fields are split the strtok way: a run of "|" is one separator and empty fields are
// skipped, so the fields after an empty one move up. The value is read into a 512-character
// buffer first, so only its first 511 characters count.

#include "settings/profile_file.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vorla {

inline constexpr std::string_view kServicesFileName = "SERVICES.INI";
inline constexpr std::string_view kServicesSection = "Services";
inline constexpr std::string_view kModemsFileName = "MODEM.INI";
inline constexpr std::string_view kModemsSection = "Modems";
inline constexpr std::size_t kListEntryBufferSize = 512;
inline constexpr std::size_t kServiceFieldCount = 6;
inline constexpr std::size_t kModemFieldCount = 3;

// At most maxFields non-empty fields of value, in order.
std::vector<std::string> SplitListFields(std::string_view value, std::size_t maxFields);

// Reads entry n. Returns true when the entry exists and is not empty. Each non-empty field is
// copied to its buffer when that buffer is not null; buffers of missing fields are left as
// they were, so a caller can preset defaults.
bool ReadServiceIniEntry(const ProfileFile& servicesFile, int n,
                         const std::array<std::string*, kServiceFieldCount>& fields);
bool ReadModemIniEntry(const ProfileFile& modemFile, int n,
                       const std::array<std::string*, kModemFieldCount>& fields);

}  // namespace vorla
