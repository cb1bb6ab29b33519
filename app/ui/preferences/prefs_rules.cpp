#include "prefs_rules.h"

#include <algorithm>

#include "settings_store.h"

namespace prefs {
namespace {
constexpr std::string_view kPrefs = vorla::kPreferencesSection;
// A store edited by hand could hold any number of entries; nobody keeps more than this.
constexpr int kMaxStoredEntries = 1000;

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

// A full list keeps its first entry (the one most dialled) and takes news at the second place.
size_t InsertSecond(std::vector<std::string>& list, const std::string& text) {
    if (list.size() >= kMaxPrefixes) list.pop_back();
    const size_t at = std::min<size_t>(1, list.size());
    list.insert(list.begin() + static_cast<long>(at), text);
    return at;
}
}  // namespace

std::vector<std::string> ReadPrefixList(const vorla::ISettingsStore& store) {
    std::vector<std::string> list;
    for (int n = 1; n <= kMaxStoredEntries; ++n) {
        const std::string value = store.GetProfileString(kPrefixSection, std::to_string(n), "");
        if (value.empty()) break;
        if (Contains(list, value)) continue;
        if (list.size() < kMaxPrefixes) {
            list.push_back(value);
        } else {
            InsertSecond(list, value);
        }
    }
    if (list.empty()) list.emplace_back(kDefaultPrefix);
    return list;
}

int AddTypedPrefix(std::vector<std::string>& list, const std::string& text) {
    if (text.empty()) return -1;
    const auto found = std::find(list.begin(), list.end(), text);
    if (found != list.end()) return static_cast<int>(found - list.begin());
    return static_cast<int>(InsertSecond(list, text));
}

void WritePrefixList(vorla::ISettingsStore& store, const std::vector<std::string>& list) {
    int n = 1;
    for (const std::string& prefix : list) {
        if (prefix.empty()) continue;
        store.WriteProfileString(kPrefixSection, std::to_string(n++), prefix);
    }
    for (; n <= kMaxStoredEntries; ++n) {
        if (store.GetProfileString(kPrefixSection, std::to_string(n), "").empty()) break;
        store.WriteProfileString(kPrefixSection, std::to_string(n), "");
    }
}

ShownInterval ShowInterval(int seconds) {
    if (seconds >= 60) return {seconds / 60, IntervalUnit::Minutes};
    return {seconds, IntervalUnit::Seconds};
}

int IntervalSeconds(ShownInterval shown) {
    return shown.unit == IntervalUnit::Minutes ? shown.value * 60 : shown.value;
}

const char* UnitLabel(IntervalUnit unit) { return unit == IntervalUnit::Minutes ? "minute(s)," : "second(s),"; }

ShownInterval StepInterval(ShownInterval shown, int step) {
    const int next = shown.value + step;
    if (step > 0 && next > kIntervalMax) {
        if (shown.unit == IntervalUnit::Seconds) return {kIntervalMin, IntervalUnit::Minutes};
        return shown;
    }
    if (step < 0 && next < kIntervalMin) {
        if (shown.unit == IntervalUnit::Minutes) return {kIntervalMax, IntervalUnit::Seconds};
        return shown;
    }
    return {next, shown.unit};
}

DialingSettings ReadDialing(const vorla::ISettingsStore& store) {
    DialingSettings s;
    s.prefixes = ReadPrefixList(store);
    s.dialPrefix = store.GetProfileString(kPrefs, "DialPrefix", "");
    s.resend = store.GetProfileInt(kPrefs, "Resend", 0) != 0;
    s.resendSeconds = store.GetProfileInt(kPrefs, "ResendSeconds", 180);
    s.resendTimes = store.GetProfileInt(kPrefs, "ResendTimes", 3);
    return s;
}

void WriteDialing(vorla::ISettingsStore& store, const DialingSettings& s) {
    WritePrefixList(store, s.prefixes);
    store.WriteProfileString(kPrefs, "DialPrefix", s.dialPrefix);
    store.WriteProfileInt(kPrefs, "Resend", s.resend ? 1 : 0);
    store.WriteProfileInt(kPrefs, "ResendSeconds", s.resendSeconds);
    store.WriteProfileInt(kPrefs, "ResendTimes", s.resendTimes);
}

SignatureSettings ReadSignature(const vorla::ISettingsStore& store) {
    return {store.GetProfileString(kPrefs, "Signature", ""), store.GetProfileInt(kPrefs, "AutoSign", 0) != 0};
}

void WriteSignature(vorla::ISettingsStore& store, const SignatureSettings& s) {
    store.WriteProfileString(kPrefs, "Signature", s.signature);
    store.WriteProfileInt(kPrefs, "AutoSign", s.autoSign ? 1 : 0);
}

ToolBarSettings ReadToolBar(const vorla::ISettingsStore& store) {
    return {store.GetProfileInt(kPrefs, "SmallToolbar", 1) != 0, store.GetProfileInt(kPrefs, "Tips", 1) != 0,
            store.GetProfileInt(kPrefs, "OtherTips", 1) != 0};
}

void WriteToolBar(vorla::ISettingsStore& store, const ToolBarSettings& s) {
    store.WriteProfileInt(kPrefs, "SmallToolbar", s.smallToolbar ? 1 : 0);
    store.WriteProfileInt(kPrefs, "Tips", s.tips ? 1 : 0);
    store.WriteProfileInt(kPrefs, "OtherTips", s.otherTips ? 1 : 0);
}

SendingSettings ReadSending(const vorla::ISettingsStore& store) {
    return {store.GetProfileInt(kPrefs, "SendUpperCase", 0) != 0, store.GetProfileInt(kPrefs, "ClearMessage", 1) != 0,
            store.GetProfileInt(kPrefs, "SpotPage", 0) != 0, store.GetProfileInt(kPrefs, "RememberFailed", 0) != 0};
}

void WriteSending(vorla::ISettingsStore& store, const SendingSettings& s) {
    store.WriteProfileInt(kPrefs, "SendUpperCase", s.sendUpperCase ? 1 : 0);
    store.WriteProfileInt(kPrefs, "ClearMessage", s.clearMessage ? 1 : 0);
    store.WriteProfileInt(kPrefs, "SpotPage", s.spotPage ? 1 : 0);
}

void WriteRememberFailed(vorla::ISettingsStore& store, bool remember) {
    store.WriteProfileInt(kPrefs, "RememberFailed", remember ? 1 : 0);
}

}  // namespace prefs
