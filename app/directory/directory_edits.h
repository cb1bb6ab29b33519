#pragma once
// The changes the maintenance windows make to the directory, with the cross-links kept:
// service lists, group members, subscribers' group lists and the recipient rows. Names are
// unique without regard to ASCII case, as the windows' lists compare them; a refused save
// changes nothing. Deleting never leaves a list, a member or a row pointing at a freed record.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CGroup;
class CMessage;
class CService;
class CSubscriber;
class DirectoryStore;
struct ServiceFields;

// Called after every record a long change has dealt with (the count so far).
using EditProgress = std::function<void(size_t done)>;

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// The text with ASCII letters in lower case (other bytes kept: their case depends on a locale).
std::string FoldAsciiCase(std::string text);

struct SubscriberEntry {
    std::string name;
    std::string pin;
    std::string maxLength;
    CService* service = nullptr;
};

// Adds a subscriber (existing null) or changes `existing`, moving it to the entry's service.
// Null, and nothing changed, when another subscriber has the name.
CSubscriber* SaveSubscriber(DirectoryStore& store, CSubscriber* existing, const SubscriberEntry& entry);
// Adds a group or renames `existing` and makes its members exactly `members` (in that order).
// Null, and nothing changed, when another group has the name.
CGroup* SaveGroup(DirectoryStore& store, CGroup* existing, const std::string& name,
                  const std::vector<CSubscriber*>& members);
// Adds a preset message or changes the text of `existing`. Null when another message has the
// text.
CMessage* SaveMessage(DirectoryStore& store, CMessage* existing, const std::string& text);

// Adds a service at the head of the service list (existing null) or sets every field of
// `existing`; its subscribers stay with it. Null, and nothing changed, when another service
// has the name.
CService* SaveService(DirectoryStore& store, CService* existing, const ServiceFields& fields);
// Removes and frees the services no subscriber uses, last to first; returns the others (still
// in use, kept), in that order.
std::vector<CService*> DeleteServices(DirectoryStore& store, const std::vector<CService*>& doomed);

// Takes the subscribers out of their services, their groups, the recipient rows and the
// subscriber list, and frees them. A group left without members is deleted as well; returns
// how many groups went.
size_t DeleteSubscribers(DirectoryStore& store, const std::vector<CSubscriber*>& doomed,
                         const EditProgress& progress = {});
// Takes the groups out of their members' group lists, the recipient rows and the group list,
// and frees them; the subscribers stay.
void DeleteGroups(DirectoryStore& store, const std::vector<CGroup*>& doomed,
                  const EditProgress& progress = {});
void DeleteMessages(DirectoryStore& store, const std::vector<CMessage*>& doomed,
                    const EditProgress& progress = {});

// Whether a preset message holds a token the chooser replaces ("<DATE>" or "<TIME>").
bool HasTimeTokens(std::string_view text);
