#pragma once
// The directory changes other programs ask for by name through the automation interface,
// with the result codes those programs rely on. A name matches byte for byte and the first
// record in list order is taken; a new record goes to the head of its list. Nothing is saved
// here: the caller saves after each change that returned success.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "directory/service.h"

class DirectoryStore;

namespace automation {

// Longest text a client may give for a name, PIN, length or service setting: the script
// engine holds variables of 255 characters, and the maintenance windows take no more.
inline constexpr size_t kMaxFieldLength = 255;
// Longest message text (preset or sent): what a message field holds.
inline constexpr size_t kMaxMessageLength = 30000;

inline constexpr int16_t kDone = 0;
inline constexpr int16_t kNotUnique = -1;
inline constexpr int16_t kNotFound = -2;

// -1 the name is taken (looked at first); -2 no service has serviceName.
int16_t CreateSubscriber(DirectoryStore& store, const std::string& name, const std::string& pin,
                         const std::string& maxLength, std::string_view serviceName);
// The service settings a short create leaves to their defaults.
ServiceFields DefaultServiceFields(std::string name, std::string accessNumber, bool useDialPrefix,
                                   std::string password, int16_t baudRate);
// -2 (not -1) when the name is taken.
int16_t CreateService(DirectoryStore& store, const ServiceFields& fields);
// -1 the group name is taken (looked at first); -2 no subscriber has firstMemberName.
int16_t CreateGroup(DirectoryStore& store, const std::string& groupName, std::string_view firstMemberName);
// -1 the text is taken.
int16_t CreateMessage(DirectoryStore& store, const std::string& text);
// -2 no such group; -1 no such subscriber. A subscriber already in the group stays listed once.
int16_t AddSubscriberToGroup(DirectoryStore& store, std::string_view groupName,
                             std::string_view subscriberName);

// False when no record has the name. A group left without members goes with the subscriber.
bool RemoveSubscriber(DirectoryStore& store, std::string_view name);
// False, and nothing changes, when the service still has subscribers.
bool RemoveService(DirectoryStore& store, std::string_view name);
bool RemoveGroup(DirectoryStore& store, std::string_view name);

// What the enumerator lists for a request type: 1 services, 2 groups, 3 preset message texts,
// anything else subscribers; in list order.
std::vector<std::string> ListNames(const DirectoryStore& store, int requestType);

}  // namespace automation
