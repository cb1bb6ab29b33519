#pragma once
// The rules of the Preferences sheet that need no window: the dial prefix list, the resend
// interval shown in seconds or minutes, and the settings each page reads and writes.
// Plain C++ over the settings store, so they are tested without a display.

#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_keys.h"

namespace vorla {
class ISettingsStore;
}

namespace prefs {

inline constexpr std::string_view kPrefixSection = vorla::setting::kPrefixSection;
inline constexpr std::string_view kDefaultPrefix = "9,";
inline constexpr size_t kMaxPrefixes = 7;
inline constexpr int kIntervalMin = 1, kIntervalMax = 59;
inline constexpr int kCountMin = 1, kCountMax = 50;

// ---- Dial prefixes ---------------------------------------------------------------------
// Section "Prefix", entries "1", "2", ... up to the first empty one, without repeats; a full
// list keeps its first entry and takes later ones at the second place. With nothing stored
// the list is the single "9,".
std::vector<std::string> ReadPrefixList(const vorla::ISettingsStore& store);
// A typed prefix that is not in the list goes in at the second place (the first when the
// list is empty), dropping the last entry of a full list. Returns its index; an empty text
// is no prefix and never joins the list (an empty entry would end the stored list there).
// Returns -1 for it.
int AddTypedPrefix(std::vector<std::string>& list, const std::string& text);
// Writes the list as "1".."n" and clears the entries after it, so a shorter list is read
// back as it was written.
void WritePrefixList(vorla::ISettingsStore& store, const std::vector<std::string>& list);

// ---- Resend interval ---------------------------------------------------------------------
enum class IntervalUnit { Seconds, Minutes };
struct ShownInterval {
    int value = 0;
    IntervalUnit unit = IntervalUnit::Seconds;
    bool operator==(const ShownInterval&) const = default;
};
// 60 seconds or more show as whole minutes, less as seconds.
ShownInterval ShowInterval(int seconds);
int IntervalSeconds(ShownInterval shown);
// The unit label: "second(s)," or "minute(s),".
const char* UnitLabel(IntervalUnit unit);
// One click of the interval's spin button from `shown` (step +1 or -1). Inside 1..59 the
// value moves; above 59 seconds it becomes 1 minute, below 1 minute it becomes 59 seconds;
// at 59 minutes and at 1 second it stays (the interval never jumps from an hour to a second).
ShownInterval StepInterval(ShownInterval shown, int step);

// ---- The settings of the four pages --------------------------------------------------------
struct DialingSettings {
    std::vector<std::string> prefixes;
    std::string dialPrefix;
    bool resend = false;
    int resendSeconds = 180;
    int resendTimes = 3;
};
DialingSettings ReadDialing(const vorla::ISettingsStore& store);
void WriteDialing(vorla::ISettingsStore& store, const DialingSettings& settings);

struct SignatureSettings {
    std::string signature;
    bool autoSign = false;
};
SignatureSettings ReadSignature(const vorla::ISettingsStore& store);
void WriteSignature(vorla::ISettingsStore& store, const SignatureSettings& settings);

struct ToolBarSettings {
    bool smallToolbar = true;
    bool tips = true;
    bool otherTips = true;
};
ToolBarSettings ReadToolBar(const vorla::ISettingsStore& store);
void WriteToolBar(vorla::ISettingsStore& store, const ToolBarSettings& settings);

struct SendingSettings {
    bool sendUpperCase = false;
    bool clearMessage = true;
    bool spotPage = false;
    bool rememberFailed = false;
};
SendingSettings ReadSending(const vorla::ISettingsStore& store);
// OK writes the first three; "RememberFailed" is written when its box is clicked.
void WriteSending(vorla::ISettingsStore& store, const SendingSettings& settings);
void WriteRememberFailed(vorla::ISettingsStore& store, bool remember);

}  // namespace prefs
