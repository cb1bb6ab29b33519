#include "ui/preferences/prefs_rules.h"

#include <algorithm>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"

namespace prefs {
namespace {
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

const char* UnitLabel(IntervalUnit unit) {
    return unit == IntervalUnit::Minutes ? "minute(s)," : "second(s),";
}

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
    s.dialPrefix = ReadSetting(store, vorla::setting::kDialPrefix);
    s.resend = ReadSetting(store, vorla::setting::kResend) != 0;
    s.resendSeconds = ReadSetting(store, vorla::setting::kResendSeconds);
    s.resendTimes = ReadSetting(store, vorla::setting::kResendTimesOffered);
    return s;
}

void WriteDialing(vorla::ISettingsStore& store, const DialingSettings& s) {
    WritePrefixList(store, s.prefixes);
    WriteSetting(store, vorla::setting::kDialPrefix, s.dialPrefix);
    WriteSetting(store, vorla::setting::kResend, s.resend ? 1 : 0);
    WriteSetting(store, vorla::setting::kResendSeconds, s.resendSeconds);
    WriteSetting(store, vorla::setting::kResendTimes, s.resendTimes);
}

SignatureSettings ReadSignature(const vorla::ISettingsStore& store) {
    return {ReadSetting(store, vorla::setting::kSignature),
            ReadSetting(store, vorla::setting::kAutoSign) != 0};
}

void WriteSignature(vorla::ISettingsStore& store, const SignatureSettings& s) {
    WriteSetting(store, vorla::setting::kSignature, s.signature);
    WriteSetting(store, vorla::setting::kAutoSign, s.autoSign ? 1 : 0);
}

ToolBarSettings ReadToolBar(const vorla::ISettingsStore& store) {
    return {ReadSetting(store, vorla::setting::kSmallToolbar) != 0,
            ReadSetting(store, vorla::setting::kTips) != 0,
            ReadSetting(store, vorla::setting::kOtherTips) != 0};
}

void WriteToolBar(vorla::ISettingsStore& store, const ToolBarSettings& s) {
    WriteSetting(store, vorla::setting::kSmallToolbar, s.smallToolbar ? 1 : 0);
    WriteSetting(store, vorla::setting::kTips, s.tips ? 1 : 0);
    WriteSetting(store, vorla::setting::kOtherTips, s.otherTips ? 1 : 0);
}

SendingSettings ReadSending(const vorla::ISettingsStore& store) {
    return {ReadSetting(store, vorla::setting::kSendUpperCase) != 0,
            ReadSetting(store, vorla::setting::kClearMessage) != 0,
            ReadSetting(store, vorla::setting::kSpotPage) != 0,
            ReadSetting(store, vorla::setting::kRememberFailed) != 0};
}

void WriteSending(vorla::ISettingsStore& store, const SendingSettings& s) {
    WriteSetting(store, vorla::setting::kSendUpperCase, s.sendUpperCase ? 1 : 0);
    WriteSetting(store, vorla::setting::kClearMessage, s.clearMessage ? 1 : 0);
    WriteSetting(store, vorla::setting::kSpotPage, s.spotPage ? 1 : 0);
}

void WriteRememberFailed(vorla::ISettingsStore& store, bool remember) {
    WriteSetting(store, vorla::setting::kRememberFailed, remember ? 1 : 0);
}

}  // namespace prefs
