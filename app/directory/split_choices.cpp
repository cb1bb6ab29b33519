#include "directory/split_choices.h"

#include <algorithm>

#include "directory/subscriber.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"

namespace {

using vorla::setting::kSplitSection;
// Far more than seven: a hand-edited settings file with gaps or repeats still ends.
constexpr int kMaxStoredEntries = 64;

std::string Trimmed(std::string_view text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace

bool SplitChoices::Has(const std::string& value) const {
    return std::find(values_.begin(), values_.end(), value) != values_.end();
}

void SplitChoices::PutFirst(const std::string& value) {
    if (values_.size() >= kMaxValues) values_.pop_back();
    values_.insert(values_.begin(), value);
}

void SplitChoices::Append(const std::string& value) {
    if (value.empty() || Has(value)) return;
    if (values_.size() < kMaxValues)
        values_.push_back(value);
    else
        PutFirst(value);
}

void SplitChoices::Remember(const std::string& value) {
    if (value.empty() || Has(value)) return;
    PutFirst(value);
}

SplitChoices LoadSplitChoices(vorla::ISettingsStore& settings, const ServiceOptionLookup& serviceOptions) {
    SplitChoices choices;
    for (int n = 1; n <= kMaxStoredEntries; ++n) {
        std::string value = settings.GetProfileString(kSplitSection, std::to_string(n), "");
        if (value.empty()) break;
        choices.Append(value);
    }
    if (!choices.Values().empty()) return choices;

    // The file's value is read into 128 characters, as the lists there are short.
    std::string list = serviceOptions ? serviceOptions("Split").substr(0, 127) : "*";
    if (list != "*") {
        size_t start = 0;
        while (start <= list.size()) {
            size_t comma = std::min(list.find(',', start), list.size());
            choices.Append(Trimmed(std::string_view(list).substr(start, comma - start)));
            start = comma + 1;
        }
        std::string splitDefault = serviceOptions("SplitDefault");
        if (splitDefault != "*" && !splitDefault.empty())
            WriteSetting(settings, vorla::setting::kSplit, LeadingDecimal(splitDefault));
    }
    if (choices.Values().empty())
        for (const char* value : {"40", "80", "132", "240"})
            choices.Append(value);
    return choices;
}

void StoreSplitChoices(vorla::ISettingsStore& settings, const SplitChoices& choices, std::string_view chosen,
                       std::string_view defaultService) {
    for (size_t i = 0; i < choices.Values().size(); ++i)
        settings.WriteProfileString(kSplitSection, std::to_string(i + 1), choices.Values()[i]);
    WriteSetting(settings, vorla::setting::kSplit, LeadingDecimal(std::string(chosen)));
    WriteSetting(settings, vorla::setting::kDefaultService, defaultService);
}
