#pragma once
// A settings store held in memory, for tests of code that reads and writes settings.
// It keeps the type of each value like the registry does: an integer read of a text value
// yields the default, and so does a text read of an integer value.

#include "settings/settings_store.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <variant>

namespace vorla {

class MemorySettingsStore final : public ISettingsStore {
public:
    int GetProfileInt(std::string_view section, std::string_view entry, int defaultValue) const override;
    std::string GetProfileString(std::string_view section, std::string_view entry,
                                 std::string_view defaultValue) const override;
    bool WriteProfileInt(std::string_view section, std::string_view entry, int value) override;
    bool WriteProfileString(std::string_view section, std::string_view entry, std::string_view text) override;

    bool Contains(std::string_view section, std::string_view entry) const;
    std::size_t Size() const { return values_.size(); }

private:
    using Key = std::pair<std::string, std::string>;  // lower-cased section and entry
    using Value = std::variant<std::uint32_t, std::string>;
    static Key MakeKey(std::string_view section, std::string_view entry);
    std::map<Key, Value> values_;
};

}  // namespace vorla
