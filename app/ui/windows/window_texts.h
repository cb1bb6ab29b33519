#pragma once
// The texts these windows show the user, exactly as the user sees them.

namespace window_texts {

inline constexpr const char* kProgramTitle = "Vorla Pro";

// Outgoing window.
inline constexpr const char* kSendLaterItems = "Send 'Later' Items";
inline constexpr const char* kSendSelected = "Send Selected";
inline constexpr const char* kDeleteSelected = "Delete Selected";
inline constexpr const char* kStatusCaption = "Status:";
inline constexpr const char* kCannotChangeSending =
    "You cannot delete items being sent!  Please choose a different item to delete.";

// Log window.
inline constexpr const char* kLogWindowTitle = "Log Window";
inline constexpr const char* kConfirmClear =
    "Clearing log items is NOT UNDOABLE!  Are you sure you want to remove the selected log items?";
inline constexpr const char* kCannotResend =
    "Cannot find a Service or Subscriber for a selected message.  The selected message CANNOT be "
    "re-sent!  You can re-use the message by dragging and dropping the message into the message "
    "window.";
inline constexpr const char* kPrintHeading = "Date:\tTime:\tName:\tStatus:\tMessage:";
inline constexpr const char* kPageFooter = "Page ";

// Log properties.
inline constexpr const char* kPropertiesTitle = "Properties";
inline constexpr const char* kGeneralPage = "General";
inline constexpr const char* kCalculating = "(Calculating...)";

// Schedule Message dialog.
inline constexpr const char* kScheduleTitle = "Schedule Message";
inline constexpr const char* kWillBeSent = "Your message will be sent:";
inline constexpr const char* kHourTooLarge =
    "The hour field must not be greater than 12!  Please re-enter the hour.";
inline constexpr const char* kHourTooSmall =
    "The hour field must not be smaller than 1!  Please re-enter the hour.";
inline constexpr const char* kMinuteTooLarge =
    "The minute field must not be greater than 59! Please re-enter the minutes.";
inline constexpr const char* kPriorToNow =
    "The time and date entered is prior to the current time!!  Do you really want to send this "
    "message NOW?";

}  // namespace window_texts
