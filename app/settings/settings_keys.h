#pragma once
// Every settings entry the program and its tools read or write, each with its section, kind
// and default in one place, so a default is defined once and a reader cannot drift from the
// writer. The section and entry spellings are a contract with the settings files users
// already have: change one and their saved preferences are silently lost.
//
// Read through ReadSetting/WriteSetting; an entry whose default depends on the caller says so
// beside it. Families of entries named at run time ("Ports"/"COM2", "Prefix"/"1",
// "Column3" of a list window) have their section and name rule here; their values are data.

#include <string>
#include <string_view>

#include "settings/settings_store.h"

namespace vorla {

struct IntSetting {
    std::string_view section;
    std::string_view name;
    int defaultValue;

    // The same entry in the section the caller names: a group kept once per list window
    // or per font.
    constexpr IntSetting In(std::string_view groupSection) const {
        return {groupSection, name, defaultValue};
    }
    // Only for the entries documented below as having a default the reader computes.
    constexpr IntSetting WithDefault(int computed) const { return {section, name, computed}; }
};

struct TextSetting {
    std::string_view section;
    std::string_view name;
    std::string_view defaultValue;

    constexpr TextSetting In(std::string_view groupSection) const {
        return {groupSection, name, defaultValue};
    }
};

inline int ReadSetting(const ISettingsStore& store, const IntSetting& setting) {
    return store.GetProfileInt(setting.section, setting.name, setting.defaultValue);
}
inline std::string ReadSetting(const ISettingsStore& store, const TextSetting& setting) {
    return store.GetProfileString(setting.section, setting.name, setting.defaultValue);
}
inline bool WriteSetting(ISettingsStore& store, const IntSetting& setting, int value) {
    return store.WriteProfileInt(setting.section, setting.name, value);
}
inline bool WriteSetting(ISettingsStore& store, const TextSetting& setting, std::string_view text) {
    return store.WriteProfileString(setting.section, setting.name, text);
}

namespace setting {

inline constexpr std::string_view kDefaultsSection = "Defaults";
inline constexpr std::string_view kTipSection = "Tip";
inline constexpr std::string_view kSpellerSection = "Speller";
inline constexpr std::string_view kGeneralSection = "General";

// ---- "Preferences": the main window and its bars ------------------------------------------
inline constexpr IntSetting kToolBarState{kPreferencesSection, "ToolBarState", 1};
inline constexpr IntSetting kStatusBarState{kPreferencesSection, "StatusBarState", 1};
inline constexpr IntSetting kTips{kPreferencesSection, "Tips", 1};
inline constexpr IntSetting kOtherTips{kPreferencesSection, "OtherTips", 1};
inline constexpr IntSetting kSmallToolbar{kPreferencesSection, "SmallToolbar", 1};
// The default is the size that fits the message form, known only to the window: it reads
// these .WithDefault(that size).
inline constexpr IntSetting kMainMinX{kPreferencesSection, "MainMinX", 0};
inline constexpr IntSetting kMainMinY{kPreferencesSection, "MainMinY", 0};
// Window placements, one text each (format in window_placement.h); none stored is no placement.
inline constexpr TextSetting kMainWindowPos{kPreferencesSection, "MainWindowPos", ""};
inline constexpr TextSetting kEntryWindowPos{kPreferencesSection, "EntryWindowPos", ""};
inline constexpr TextSetting kLogWindowPos{kPreferencesSection, "LogWindowPos", ""};
// Toolbar layouts; none stored keeps the buttons in their resource order. The main toolbar's
// entry is named after its resource (ToolbarStateEntry in toolbar_layout.h).
inline constexpr TextSetting kMessageToolBar{kPreferencesSection, "Message Tool Bar", ""};
inline constexpr TextSetting kLogToolBarState{kPreferencesSection, "LogToolBarState", ""};
// Where the toolbar is docked: the frame's state, base64.
inline constexpr TextSetting kBarLayout{kGeneralSection, "BarLayout", ""};

// ---- "Preferences": the log window ------------------------------------------------------
inline constexpr IntSetting kLogVisible{kPreferencesSection, "LogVisible", 0};
inline constexpr IntSetting kLogActive{kPreferencesSection, "LogActive", 0};
inline constexpr IntSetting kLogToDisk{kPreferencesSection, "LogToDisk", 0};

// ---- "Preferences": the message form --------------------------------------------------
inline constexpr IntSetting kMLRed{kPreferencesSection, "MLRed", 75};
inline constexpr IntSetting kMLGreen{kPreferencesSection, "MLGreen", 75};
inline constexpr IntSetting kMLBlue{kPreferencesSection, "MLBlue", 75};
inline constexpr IntSetting kAutoSign{kPreferencesSection, "AutoSign", 0};
inline constexpr TextSetting kSignature{kPreferencesSection, "Signature", ""};
inline constexpr IntSetting kSpotPage{kPreferencesSection, "SpotPage", 0};
inline constexpr IntSetting kClearMessage{kPreferencesSection, "ClearMessage", 1};
inline constexpr IntSetting kSendUpperCase{kPreferencesSection, "SendUpperCase", 0};
// strftime formats of the date and time the message texts insert.
inline constexpr TextSetting kDateFormat{kPreferencesSection, "DateFormat", "%x"};
inline constexpr TextSetting kTimeFormat{kPreferencesSection, "TimeFormat", "%I:%M %p"};

// ---- "Preferences": dialing and sending ---------------------------------------------------
inline constexpr TextSetting kDialPrefix{kPreferencesSection, "DialPrefix", ""};
inline constexpr IntSetting kResend{kPreferencesSection, "Resend", 0};
inline constexpr IntSetting kResendSeconds{kPreferencesSection, "ResendSeconds", 180};
// "ResendTimes" has two defaults, and both are kept: with nothing stored, the paging side (a
// page being queued, the queue's reschedule after a failure, the log window's re-send) allows
// no retry, while the Preferences sheet's Dialing page offers 3 to fill its count field.
inline constexpr IntSetting kResendTimes{kPreferencesSection, "ResendTimes", 0};
inline constexpr IntSetting kResendTimesOffered{kPreferencesSection, "ResendTimes", 3};
inline constexpr IntSetting kRememberFailed{kPreferencesSection, "RememberFailed", 0};

// ---- "Preferences": the rest ------------------------------------------------------------------
// Written when the setup wizard has run; nothing reads it back.
inline constexpr IntSetting kSetup{kPreferencesSection, "Setup", 0};
// How long a program started by a client stays after its last call when nothing else holds
// it, in seconds: a script that calls once a minute keeps one program instead of starting one
// per call.
inline constexpr IntSetting kAutomationIdleSeconds{kPreferencesSection, "AutomationIdleSeconds", 60};

// ---- "Defaults": the modem and the values a new service or subscriber starts from -----------
inline constexpr TextSetting kModemPort{kDefaultsSection, "ModemPort", "COM1"};
// "Modem" has two defaults, both kept: a telephony line is looked up by name and none stored
// selects none; on a serial port the modem list's factory entry stands in.
inline constexpr TextSetting kModem{kDefaultsSection, "Modem", ""};
inline constexpr TextSetting kModemOnSerialPort{kDefaultsSection, "Modem", "Factory Default"};
inline constexpr TextSetting kModemInit{kDefaultsSection, "ModemInit", "ATE0Q0V1X4"};
inline constexpr IntSetting kPermanentLineID{kDefaultsSection, "PermanentLineID", 0};
// Written with the modem settings; nothing reads it back (the port name tells).
inline constexpr IntSetting kIsTAPI{kDefaultsSection, "IsTAPI", 0};
inline constexpr TextSetting kParity{kDefaultsSection, "Parity", "e,7,1"};
inline constexpr TextSetting kHandshake{kDefaultsSection, "Handshake", "None"};
inline constexpr TextSetting kDialMode{kDefaultsSection, "DialMode", "Tone"};
inline constexpr TextSetting kCurrentRKL{kDefaultsSection, "CurrentRKL", "vorlapro.rkl"};
inline constexpr IntSetting kUsePrefix{kDefaultsSection, "UsePrefix", 0};
inline constexpr TextSetting kBaud{kDefaultsSection, "Baud", "1200"};
inline constexpr IntSetting kSplit{kDefaultsSection, "Split", 240};
inline constexpr TextSetting kDefaultService{kDefaultsSection, "DefaultService", ""};

// ---- "Tip": the tip of the day ------------------------------------------------------------
// "StartUp" 0 shows the tip at start-up.
inline constexpr IntSetting kTipStartUp{kTipSection, "StartUp", 0};
inline constexpr IntSetting kTipFilePos{kTipSection, "FilePos", 0};
inline constexpr TextSetting kTipTimeStamp{kTipSection, "TimeStamp", ""};

// ---- "Speller" --------------------------------------------------------------------------------
// The checker's option bits (spell_checker.h), all of the usual ones on.
inline constexpr IntSetting kSpellOptions{kSpellerSection, "SpellOptions", 1127};
// Entries "CustomDict1", "CustomDict2", ...: the user's dictionaries, up to the first empty one.
inline std::string CustomDictEntry(int n) {
    return "CustomDict" + std::to_string(n);
}

// ---- A font, in the section the caller names (.In(section)) ----------------------------------
inline constexpr std::string_view kMessageFontSection = "MessageFont";
// Height 0 means no font is stored.
inline constexpr IntSetting kFontHeight{{}, "Height", 0};
inline constexpr IntSetting kFontWeight{{}, "Weight", 0};
inline constexpr IntSetting kFontItalic{{}, "Italic", 0};
inline constexpr IntSetting kFontUnderline{{}, "Underline", 0};
inline constexpr IntSetting kFontPitchAndFamily{{}, "PitchAndFamily", 0};
inline constexpr TextSetting kFontFaceName{{}, "FaceName", "System"};

// ---- A list window's layout, in the window's own section (.In(section)) ----------------------
inline constexpr std::string_view kLogWindowSection = "Settings-LogWindow";
inline constexpr std::string_view kOutgoingListSection = "Settings-OutgoingList";
inline constexpr std::string_view kServiceListSection = "Settings-ServiceList";
inline constexpr std::string_view kSubscriberListSection = "Settings-SubscriberList";
// 1 is the details (report) view.
inline constexpr IntSetting kListViewType{{}, "ViewType", 1};
inline constexpr IntSetting kListSortColumn{{}, "SortColumn", 0};
// 1 ascending, -1 descending (the log window).
inline constexpr IntSetting kListSortOrder{{}, "SortOrder", 1};
// The column width in list mode (the log window).
inline constexpr IntSetting kListColumn{{}, "ListColumn", 200};
// Entries "Column1", "Column2", ... (n counts from 1): each column's width; each window has its
// own defaults.
inline std::string ColumnWidthEntry(int n) {
    return "Column" + std::to_string(n);
}

// ---- Families whose entries are named at run time --------------------------------------------
// Port name ("COM2") to device path.
inline constexpr std::string_view kPortsSection = "Ports";
// Entries "1", "2", ...: the dial prefixes offered, up to the first empty one.
inline constexpr std::string_view kPrefixSection = "Prefix";
// Entries "1", "2", ...: the split sizes offered for a subscriber.
inline constexpr std::string_view kSplitSection = "Split";

// Every entry above, for checks over the whole table; an entry with two defaults is listed
// with each.
inline constexpr const IntSetting* kIntSettings[] = {
    &kToolBarState,    &kStatusBarState, &kTips,
    &kOtherTips,       &kSmallToolbar,   &kMainMinX,
    &kMainMinY,        &kLogVisible,     &kLogActive,
    &kLogToDisk,       &kMLRed,          &kMLGreen,
    &kMLBlue,          &kAutoSign,       &kSpotPage,
    &kClearMessage,    &kSendUpperCase,  &kResend,
    &kResendSeconds,   &kResendTimes,    &kResendTimesOffered,
    &kRememberFailed,  &kSetup,          &kAutomationIdleSeconds,
    &kPermanentLineID, &kIsTAPI,         &kUsePrefix,
    &kSplit,           &kTipStartUp,     &kTipFilePos,
    &kSpellOptions,
};
inline constexpr const TextSetting* kTextSettings[] = {
    &kMainWindowPos, &kEntryWindowPos, &kLogWindowPos,      &kMessageToolBar, &kLogToolBarState,
    &kBarLayout,     &kSignature,      &kDateFormat,        &kTimeFormat,     &kDialPrefix,
    &kModemPort,     &kModem,          &kModemOnSerialPort, &kModemInit,      &kParity,
    &kHandshake,     &kDialMode,       &kCurrentRKL,        &kBaud,           &kDefaultService,
    &kTipTimeStamp,
};
inline constexpr const IntSetting* kFontIntSettings[] = {
    &kFontHeight, &kFontWeight, &kFontItalic, &kFontUnderline, &kFontPitchAndFamily,
};
inline constexpr const TextSetting* kFontTextSettings[] = {&kFontFaceName};
inline constexpr const IntSetting* kListWindowSettings[] = {
    &kListViewType,
    &kListSortColumn,
    &kListSortOrder,
    &kListColumn,
};

}  // namespace setting
}  // namespace vorla
