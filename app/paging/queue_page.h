#pragma once
// Making pages: one shared message, one page per recipient.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_store.h"

class CGroup;
class CObList;
class CPagerMessage;
class CSubscriber;
class OutgoingQueue;

enum class SendChoice { Now, Later, At };

// The text as a paging terminal takes it. A terminal refuses a block with a control
// character in its text, so a line break (CR LF, CR or LF) and a tab become one blank and
// every other control character is dropped. Typed text, pasted text and text files all
// pass through here when the message is made.
std::string SanitizePagerText(std::string_view text);

// The one message of a send, made from the sanitised text (RefCount 0: its pages count
// themselves). Null when nothing is left to send.
CPagerMessage* MakePagerMessage(std::string_view text);

// Queues one page of the message for the subscriber, unless the queue already holds a page
// for a subscriber of the same name with this message (one page per person, however often
// picked). The page carries a detached copy of the subscriber and its service; an At page
// its own copy of the time. Returns whether a page was added. The rows follow at the next
// look at them (OutgoingQueue::Refresh after the batch shows them at once).
bool QueuePage(OutgoingQueue& queue, const vorla::ISettingsStore& settings, const CSubscriber& subscriber,
               CPagerMessage* message, SendChoice choice, std::optional<uint32_t> scheduleTime);

// Queues every member of the group, in the group's order. Returns the pages added.
size_t QueueGroup(OutgoingQueue& queue, const vorla::ISettingsStore& settings, const CGroup& group,
                  CPagerMessage* message, SendChoice choice, std::optional<uint32_t> scheduleTime);

// Who a page handed over by name goes to: a subscriber, else a group, of exactly that name.
struct Recipient {
    const CSubscriber* subscriber = nullptr;
    const CGroup* group = nullptr;
};

// Names as a caller gives them (vorlapage's --to, a client over the bus), each argument one
// name or a comma-separated list: the whole argument when a subscriber or group has exactly
// that name (so "Smith, John" is one person), else each part between commas, blanks trimmed
// at both ends, empty parts dropped. Names are then matched exactly, case and blanks inside
// included. The recipients in the order named; on a name that matches nothing, none and
// that name in *unknown.
// The names one such argument stands for: the whole argument when `isName` knows it, else
// its comma-separated parts, blanks trimmed at both ends, empty parts dropped.
std::vector<std::string_view> NamesInArgument(std::string_view argument,
                                              const std::function<bool(std::string_view)>& isName);

std::optional<std::vector<Recipient>> FindRecipients(const CObList* subscribers, const CObList* groups,
                                                     const std::vector<std::string>& arguments,
                                                     std::string* unknown);

// One page of the message per person the recipients name (a group by its members, in its
// order; a person named twice gets one page). Returns the pages added.
size_t QueueRecipients(OutgoingQueue& queue, const vorla::ISettingsStore& settings,
                       const std::vector<Recipient>& recipients, CPagerMessage* message, SendChoice choice,
                       std::optional<uint32_t> scheduleTime);
