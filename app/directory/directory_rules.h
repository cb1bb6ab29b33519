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
