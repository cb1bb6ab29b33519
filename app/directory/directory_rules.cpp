#include "directory/directory_rules.h"

#include "archive/ob_list.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"

namespace {

template <class Record, class Key>
bool NoneMatches(const CObList* list, std::string_view wanted, Key key) {
    if (!list) return true;
    for (const Serializable* item : *list) {
        const auto* record = As<Record>(item);
        if (record && key(*record) == wanted) return false;
    }
    return true;
}

std::string Fill(std::string text, std::string_view marker, std::string_view value) {
    size_t at = text.find(marker);
    if (at != std::string::npos) text.replace(at, marker.size(), value);
    return text;
}

}  // namespace

const char* NameRefusal(std::string_view name) {
    if (name.empty()) return "is empty";
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return "holds a tab, a line break or another control character";
    }
    return nullptr;
}

const char* PinRefusal(std::string_view pin) {
    if (pin.empty()) return "is empty";
    return MaxLengthRefusal(pin);
}

const char* MaxLengthRefusal(std::string_view maxLength) {
    for (const char c : maxLength)
        if (c < '0' || c > '9') return "holds a character other than a digit";
    return nullptr;
}

const char* RequiredTextRefusal(std::string_view text) {
    return text.empty() ? "is empty" : nullptr;
}

bool IsServiceNameUnique(const DirectoryStore& store, std::string_view name) {
    return NoneMatches<CService>(store.GetServiceList(), name, [](const CService& s) { return s.GetName(); });
}

bool IsSubscriberNameUnique(const DirectoryStore& store, std::string_view name) {
    return NoneMatches<CSubscriber>(store.GetSubscriberList(), name,
                                    [](const CSubscriber& s) { return s.GetName(); });
}

bool IsGroupNameUnique(const DirectoryStore& store, std::string_view name) {
    return NoneMatches<CGroup>(store.GetGroupList(), name, [](const CGroup& g) { return g.GetName(); });
}

bool IsMessageUnique(const DirectoryStore& store, std::string_view text) {
    return NoneMatches<CMessage>(store.GetPresetMessageList(), text,
                                 [](const CMessage& m) { return m.GetText(); });
}

bool CanDeleteService(const CService& service) {
    return !service.GetSubscribers() || service.GetSubscribers()->IsEmpty();
}

std::string DuplicateSubscriberText(std::string_view name) {
    return Fill(
        "A Subscriber with the name '%1' already exists in the directory.  Please add "
        "only unique subscribers.",
        "%1", name);
}

std::string DuplicateGroupText() {
    return "Group already exists in the directory.  Please add only unique Groups.";
}

std::string DuplicateMessageText() {
    return "Message already exists in the directory.  Please add only unique Messages.";
}

std::string DuplicateServiceText(std::string_view name) {
    return Fill(
        "The service '%1' already exists in the directory.  Please add only unique "
        "services.  NOTE: To modify this service, choose Services... from the Setup "
        "menu.  To add Subscribers to this service, choose Subscribers... from the Setup "
        "menu.",
        "%1", name);
}

std::string ServiceInUseText(const CService& service) {
    size_t count = service.GetSubscribers() ? service.GetSubscribers()->GetCount() : 0;
    return Fill(Fill("The Service '%1' cannot be deleted.  It contains %2 active Subscriber(s).  "
                     "Please delete or change Subscriber(s) before deleting this Service.",
                     "%1", service.GetName()),
                "%2", std::to_string(count));
}

void AddGroupMember(CGroup& group, CSubscriber& member) {
    if (!group.GetMembers()) group.SetMembers(new CObList);
    if (!member.GetGroups()) member.SetGroups(new CObList);
    group.GetMembers()->AddTail(&member);
    member.GetGroups()->AddTail(&group);
}

void RemoveGroupMember(CGroup& group, CSubscriber& member) {
    if (group.GetMembers()) group.GetMembers()->Remove(&member);
    if (member.GetGroups()) member.GetGroups()->Remove(&group);
}

void UnlinkSubscriber(CSubscriber& subscriber) {
    if (CService* service = subscriber.GetService()) service->RemoveSubscriber(&subscriber);
    if (CObList* groups = subscriber.GetGroups()) {
        for (Serializable* item : *groups) {
            if (auto* group = As<CGroup>(item); group && group->GetMembers()) {
                group->GetMembers()->Remove(&subscriber);
            }
        }
        groups->RemoveAll();
    }
}
