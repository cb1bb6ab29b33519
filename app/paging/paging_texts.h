#pragma once
// Every text the paging engine shows the user or writes to the log, in one place, exactly as
// the user sees it. Windows show them in boxes; vorlapage prints them.

#include <cstdint>
#include <string_view>

namespace paging_texts {

inline constexpr std::string_view kMessageSent = "Message Sent Successfully!";
// printf format: page number, page count.
inline constexpr const char* kMessageSplitFormat = "Message Split %d of %d Sent Ok";
inline constexpr std::string_view kUserCancel = "User cancel";
// A stop request (a shutdown, a logout, a signal) ended the run: unlike the user's Cancel it
// fails nothing, and the pages not yet sent wait in the queue as they were.
inline constexpr std::string_view kSendingStopped = "Sending stopped: the unsent pages stay in the queue";
inline constexpr std::string_view kInitFailed = "RKL_Init Failed!";
// A page whose message has no characters (only an old or foreign file can hold one).
inline constexpr std::string_view kNothingToSend = "Empty message: nothing to send";

inline constexpr std::string_view kNoLaterItems = "There are no 'Later' items to send.";
inline constexpr std::string_view kConfirmDelete =
    "Deleting outgoing items is NOT UNDOABLE!  Are you sure you want to delete the selected "
    "outgoing items?";
inline constexpr std::string_view kCannotDeleteSending =
    "You cannot delete items being sent!  Please choose a different item to delete.";

// File errors when the queue file cannot be written; "%1" is the file's path.
inline constexpr std::string_view kFileAccessDenied = "Access to %1 was denied.";
inline constexpr std::string_view kFileNotFound = "%1 was not found.";
inline constexpr std::string_view kDiskFull = "Destination disk drive is full.";

}  // namespace paging_texts

// Script result codes the driver tells apart.
inline constexpr int32_t kScriptCancelled = -2;
inline constexpr int32_t kScriptPageRefused = -210;
// Code of the failure recorded when the engine gives no handle at all. The engine's own
// codes never take this value, so a log reader can tell it apart.
inline constexpr int32_t kScriptInitFailed = -1000;
