#pragma once
// The Characters list of Subscriber Maintenance: the message lengths the user picks from,
// remembered in the settings. At most seven values, no duplicates; a new value goes first
// and pushes the last one out.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorla {
class ISettingsStore;
}

class SplitChoices {
public:
    static constexpr size_t kMaxValues = 7;

    // A value read in order: it goes last while there is room, else first, the last one going.
    void Append(const std::string& value);
    // A value the user typed: it goes first; the last one goes when there would be eight.
    void Remember(const std::string& value);
    const std::vector<std::string>& Values() const { return values_; }

private:
    bool Has(const std::string& value) const;
    void PutFirst(const std::string& value);
    std::vector<std::string> values_;
};

// ServiceOptions entries of SERVICES.INI by key; "*" when missing.
using ServiceOptionLookup = std::function<std::string(std::string_view key)>;

// The values from "Split"/"1", "2", ...; when there is none, the comma list of the
// SERVICES.INI "Split" option (its "SplitDefault", when given, is stored as
// "Defaults"/"Split"); when that gives nothing, 40, 80, 132 and 240.
SplitChoices LoadSplitChoices(vorla::ISettingsStore& settings, const ServiceOptionLookup& serviceOptions);
// "Split"/"1".."n" from the values, the chosen text as the integer "Defaults"/"Split" and the
// chosen service as "Defaults"/"DefaultService".
void StoreSplitChoices(vorla::ISettingsStore& settings, const SplitChoices& choices, std::string_view chosen,
                       std::string_view defaultService);
