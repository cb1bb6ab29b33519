#include "settings/memory_settings_store.h"

#include "settings/ascii_case.h"

namespace vorla {

MemorySettingsStore::Key MemorySettingsStore::MakeKey(std::string_view section, std::string_view entry) {
    return {AsciiLowerCopy(section), AsciiLowerCopy(entry)};
}

int MemorySettingsStore::GetProfileInt(std::string_view section, std::string_view entry,
                                       int defaultValue) const {
    auto it = values_.find(MakeKey(section, entry));
    if (it == values_.end()) return defaultValue;
    if (const auto* number = std::get_if<std::uint32_t>(&it->second)) return static_cast<int>(*number);
    return defaultValue;
}

std::string MemorySettingsStore::GetProfileString(std::string_view section, std::string_view entry,
                                                  std::string_view defaultValue) const {
    auto it = values_.find(MakeKey(section, entry));
    if (it == values_.end()) return std::string(defaultValue);
    if (const auto* text = std::get_if<std::string>(&it->second)) return *text;
    return std::string(defaultValue);
}

bool MemorySettingsStore::WriteProfileInt(std::string_view section, std::string_view entry, int value) {
    if (section.empty() || entry.empty()) return false;
    values_[MakeKey(section, entry)] = static_cast<std::uint32_t>(value);
    return true;
}

bool MemorySettingsStore::WriteProfileString(std::string_view section, std::string_view entry,
                                             std::string_view text) {
    if (section.empty() || entry.empty()) return false;
    values_[MakeKey(section, entry)] = std::string(text);
    return true;
}

bool MemorySettingsStore::Contains(std::string_view section, std::string_view entry) const {
    return values_.count(MakeKey(section, entry)) != 0;
}

}  // namespace vorla
