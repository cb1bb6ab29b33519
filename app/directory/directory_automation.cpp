#include "directory/directory_automation.h"

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/subscriber.h"

namespace automation {

namespace {

template <class Record>
Record* FirstNamed(const CObList* list, std::string_view name) {
    if (!list) return nullptr;
    for (Serializable* item : *list) {
        auto* record = As<Record>(item);
        if (record && record->GetName() == name) return record;
    }
    return nullptr;
}

template <class Record, class Text>
void Collect(const CObList* list, Text text, std::vector<std::string>& out) {
    if (!list) return;
    for (const Serializable* item : *list)
        if (const auto* record = As<Record>(item)) out.push_back(text(*record));
}

}  // namespace

int16_t CreateSubscriber(DirectoryStore& store, const std::string& name, const std::string& pin,
                         const std::string& maxLength, std::string_view serviceName) {
    if (!IsSubscriberNameUnique(store, name)) return kNotUnique;
    CService* service = FirstNamed<CService>(store.GetServiceList(), serviceName);
    if (!service) return kNotFound;
    auto* subscriber = new CSubscriber(name, pin, maxLength, service);
    service->AddSubscriber(subscriber);
    store.GetSubscriberList()->AddHead(subscriber);
    return kDone;
}

ServiceFields DefaultServiceFields(std::string name, std::string accessNumber, bool useDialPrefix,
                                   std::string password, int16_t baudRate) {
    ServiceFields fields;
    fields.name = std::move(name);
    fields.accessNumber = std::move(accessNumber);
    fields.useDialPrefix = useDialPrefix ? 1 : 0;
    fields.password = std::move(password);
    fields.modemName = "Factory Default";
    fields.modemInit = "AT&F";
    fields.port = "COM1";
    fields.baudRate = baudRate;
    fields.parity = 1;
    fields.handshake = 0;
    fields.dialMode = 0;
    fields.scriptFile = "VORLAPRO.RKL";
    fields.permanentLineID = 0;
    return fields;
}

int16_t CreateService(DirectoryStore& store, const ServiceFields& fields) {
    if (!IsServiceNameUnique(store, fields.name)) return kNotFound;
    ServiceFields stored = fields;
    stored.permanentLineID = 0;
    store.GetServiceList()->AddHead(new CService(stored));
    return kDone;
}

int16_t CreateGroup(DirectoryStore& store, const std::string& groupName, std::string_view firstMemberName) {
    if (!IsGroupNameUnique(store, groupName)) return kNotUnique;
    CSubscriber* member = FirstNamed<CSubscriber>(store.GetSubscriberList(), firstMemberName);
    if (!member) return kNotFound;
    auto* group = new CGroup(groupName);
    AddGroupMember(*group, *member);
    store.GetGroupList()->AddHead(group);
    return kDone;
}

int16_t CreateMessage(DirectoryStore& store, const std::string& text) {
    if (!IsMessageUnique(store, text)) return kNotUnique;
    store.GetPresetMessageList()->AddHead(new CMessage(text));
    return kDone;
}

int16_t AddSubscriberToGroup(DirectoryStore& store, std::string_view groupName,
                             std::string_view subscriberName) {
    CGroup* group = FirstNamed<CGroup>(store.GetGroupList(), groupName);
    if (!group) return kNotFound;
    CSubscriber* subscriber = FirstNamed<CSubscriber>(store.GetSubscriberList(), subscriberName);
    if (!subscriber) return kNotUnique;
    // A second entry would page the person twice from one group and show them twice.
    if (group->GetMembers() && group->GetMembers()->Find(subscriber) >= 0) return kDone;
    if (!group->GetMembers()) group->SetMembers(new CObList);
    if (!subscriber->GetGroups()) subscriber->SetGroups(new CObList);
    group->GetMembers()->AddHead(subscriber);
    subscriber->GetGroups()->AddHead(group);
    return kDone;
}

bool RemoveSubscriber(DirectoryStore& store, std::string_view name) {
    CSubscriber* subscriber = FirstNamed<CSubscriber>(store.GetSubscriberList(), name);
    if (!subscriber) return false;
    DeleteSubscribers(store, {subscriber});
    return true;
}

bool RemoveService(DirectoryStore& store, std::string_view name) {
    CService* service = FirstNamed<CService>(store.GetServiceList(), name);
    if (!service || !CanDeleteService(*service)) return false;
    store.GetServiceList()->Remove(service);
    DiscardRecord(service);
    return true;
}

bool RemoveGroup(DirectoryStore& store, std::string_view name) {
    CGroup* group = FirstNamed<CGroup>(store.GetGroupList(), name);
    if (!group) return false;
    DeleteGroups(store, {group});
    return true;
}

std::vector<std::string> ListNames(const DirectoryStore& store, int requestType) {
    std::vector<std::string> names;
    switch (requestType) {
        case 1:
            Collect<CService>(
                store.GetServiceList(), [](const CService& s) { return s.GetName(); }, names);
            break;
        case 2:
            Collect<CGroup>(
                store.GetGroupList(), [](const CGroup& g) { return g.GetName(); }, names);
            break;
        case 3:
            Collect<CMessage>(
                store.GetPresetMessageList(), [](const CMessage& m) { return m.GetText(); }, names);
            break;
        default:
            Collect<CSubscriber>(
                store.GetSubscriberList(), [](const CSubscriber& s) { return s.GetName(); }, names);
            break;
    }
    return names;
}

}  // namespace automation
