#include "settings/service_lists.h"

namespace vorla {

namespace {

template <std::size_t Count>
bool ReadListEntry(const ProfileFile& file, std::string_view section, int n,
                   const std::array<std::string*, Count>& buffers) {
    const std::string value = file.GetString(section, std::to_string(n), "", kListEntryBufferSize);
    if (value.empty()) return false;
    const std::vector<std::string> fields = SplitListFields(value, Count);
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (buffers[i]) *buffers[i] = fields[i];
    return true;
}

}  // namespace

std::vector<std::string> SplitListFields(std::string_view value, std::size_t maxFields) {
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (fields.size() < maxFields) {
        pos = value.find_first_not_of('|', pos);
        if (pos == std::string_view::npos) break;
        std::size_t end = value.find('|', pos);
        if (end == std::string_view::npos) end = value.size();
        fields.emplace_back(value.substr(pos, end - pos));
        pos = end;
    }
    return fields;
}

bool ReadServiceIniEntry(const ProfileFile& servicesFile, int n,
                         const std::array<std::string*, kServiceFieldCount>& fields) {
    return ReadListEntry(servicesFile, kServicesSection, n, fields);
}

bool ReadModemIniEntry(const ProfileFile& modemFile, int n,
                       const std::array<std::string*, kModemFieldCount>& fields) {
    return ReadListEntry(modemFile, kModemsSection, n, fields);
}

}  // namespace vorla
