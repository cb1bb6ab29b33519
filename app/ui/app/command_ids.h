#pragma once
// Command ids of the menus, accelerators and toolbars. They are stored in the saved toolbar
// layouts, so they must never change.

namespace cmd {
inline constexpr int kImportData = 32778;
inline constexpr int kPrint = 57607;
inline constexpr int kPrintSetup = 57606;
inline constexpr int kPrintPreview = 57609;
inline constexpr int kSendMail = 57612;
inline constexpr int kExit = 57665;
inline constexpr int kUndo = 57643;
inline constexpr int kCut = 57635;
inline constexpr int kCopy = 57634;
inline constexpr int kPaste = 57637;
inline constexpr int kClear = 57632;
inline constexpr int kSelectAll = 57642;
inline constexpr int kSpellCheck = 32783;
inline constexpr int kInsertDate = 32779;
inline constexpr int kInsertTime = 32780;
inline constexpr int kInsertMessage = 32782;
inline constexpr int kInsertTextFile = 32785;
inline constexpr int kInsertLastMessage = 32784;
inline constexpr int kSetupWizard = 32826;
inline constexpr int kServices = 32773;
inline constexpr int kSubscribers = 32774;
inline constexpr int kGroups = 32775;
inline constexpr int kPresetMessages = 32776;
inline constexpr int kPreferences = 32777;
inline constexpr int kViewToolBar = 59392;
inline constexpr int kViewStatusBar = 59393;
inline constexpr int kMessageLog = 32787;
inline constexpr int kCustomizeToolbar = 32825;
inline constexpr int kSetFont = 32781;
inline constexpr int kCascade = 57650;
inline constexpr int kTile = 57651;
inline constexpr int kArrangeIcons = 57649;
inline constexpr int kNextWindow = 32796;
inline constexpr int kTipOfTheDay = 139;
inline constexpr int kHelpContents = 57667;
inline constexpr int kUsingHelp = 57668;
inline constexpr int kAbout = 57664;
inline constexpr int kSend = 1012;
inline constexpr int kCancel = 1013;
// The message toolbar's buttons, in their resource order.
inline constexpr int kMessageToolFirst = 30000;
}  // namespace cmd
