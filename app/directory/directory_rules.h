#pragma once

#include <string>
#include <string_view>

class CGroup;
class CService;
class CSubscriber;
class DirectoryStore;

// The directory's rules. Names compare byte for byte, case-sensitively.
bool IsServiceNameUnique(const DirectoryStore& store, std::string_view name);
bool IsSubscriberNameUnique(const DirectoryStore& store, std::string_view name);
bool IsGroupNameUnique(const DirectoryStore& store, std::string_view name);
bool IsMessageUnique(const DirectoryStore& store, std::string_view text);
// What a record's texts must be, for the maintenance windows and the automation interface
// alike. Each gives why a text is refused ("is empty", ...), or null when it is taken.
// A subscriber, group or service name: not empty, and no control character (a tab or a line
// break would split the columns of the text log and the printed directory, and a window's
// one-line field cannot show it).
const char* NameRefusal(std::string_view name);
// A PIN: digits, at least one (the terminal takes the pager's number and nothing else).
const char* PinRefusal(std::string_view pin);
// A subscriber's longest message (the Characters field): digits only, or empty.
const char* MaxLengthRefusal(std::string_view maxLength);
// A service's access number, a preset message: anything but empty.
const char* RequiredTextRefusal(std::string_view text);

// A service that still has subscribers cannot be deleted.
bool CanDeleteService(const CService& service);

// The texts shown when a rule refuses a change, with the names filled in.
std::string DuplicateSubscriberText(std::string_view name);
std::string DuplicateGroupText();
std::string DuplicateMessageText();
std::string DuplicateServiceText(std::string_view name);
std::string ServiceInUseText(const CService& service);

// Cross-link upkeep shared by the windows and the automation interface.
// Adds the member to the group's Members and the group to the member's Groups.
void AddGroupMember(CGroup& group, CSubscriber& member);
void RemoveGroupMember(CGroup& group, CSubscriber& member);
// Takes the subscriber out of its service and its groups (not out of any list of the store).
void UnlinkSubscriber(CSubscriber& subscriber);
