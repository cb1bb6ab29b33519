#include "directory/import_merge.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "archive/ob_list.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"

namespace {

// Copies a translator's text byte by byte, never reading past the limit: the string may not
// be terminated where the translator meant it to be.
std::string CopyText(const char* text, size_t limit) {
    std::string out;
    if (!text) return out;
    for (size_t i = 0; i < limit && text[i] != '\0'; ++i)
        out.push_back(text[i]);
    return out;
}

std::string Field(const char* text) {
    return CopyText(text, kImportFieldLimit);
}

int32_t IntSlot(intptr_t slot) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uintptr_t>(slot)));
}

// The names taken in one list, and where the search for a free numbered name goes on.
class NameIndex {
public:
    void insert(const std::string& name) { taken_.insert(name); }

    // The record's name when free, else the name followed by 1, 2, 3... (the first free one).
    // A name at the length limit loses characters at its end to make room for the number.
    // Names are only ever added, so a number found taken stays taken: each search goes on
    // where the last one with the same stem and number width stopped, and a thousand
    // records of one name cost a thousand looks, not half a million.
    std::string FreeName(const std::string& name) {
        if (!taken_.contains(name)) return name;
        uint64_t first = 1;  // the smallest number of the current width
        for (size_t width = 1;; ++width, first *= 10) {
            const std::string base = name.substr(0, kImportFieldLimit - width);
            // The stem and the width in one key; a name holds no NUL (CopyText stops there).
            uint64_t& next = nextNumber_[base + '\0' + static_cast<char>(width)];
            if (next < first) next = first;
            for (; next < first * 10; ++next) {
                std::string candidate = base + std::to_string(next);
                if (!taken_.contains(candidate)) return candidate;
            }
        }
    }

private:
    std::unordered_set<std::string> taken_;
    std::unordered_map<std::string, uint64_t> nextNumber_;
};

template <class Record>
NameIndex IndexNames(const CObList* list) {
    NameIndex index;
    if (!list) return index;
    for (const Serializable* item : *list) {
        if (const auto* record = As<Record>(item)) index.insert(record->GetName());
    }
    return index;
}

// Calls get until it answers null (or the record limit is passed) and hands each record on.
template <class Record, class Take>
void Drain(GetRecordFunction get, ImportReport& report, Take take) {
    if (!get) return;
    for (size_t count = 0;; ++count) {
        if (count == kImportRecordLimit) {
            report.truncated = true;
            return;
        }
        const void* record = get();
        if (!record) return;
        take(*static_cast<const Record*>(record));
    }
}

class Merge {
public:
    explicit Merge(DirectoryStore& store)
        : store_(store),
          serviceNames_(IndexNames<CService>(store.GetServiceList())),
          subscriberNames_(IndexNames<CSubscriber>(store.GetSubscriberList())),
          groupNames_(IndexNames<CGroup>(store.GetGroupList())) {}

    ImportReport Run(const TranslatorGetters& getters) {
        Drain<TranslatorServiceRecord>(getters.getService, report_,
                                       [this](const auto& r) { TakeService(r); });
        Drain<TranslatorSubscriberRecord>(getters.getSubscriber, report_,
                                          [this](const auto& r) { TakeSubscriber(r); });
        Drain<TranslatorGroupRecord>(getters.getGroup, report_, [this](const auto& r) { TakeGroup(r); });
        Drain<TranslatorMessageRecord>(getters.getPresetMessage, report_,
                                       [this](const auto& r) { TakeMessage(r); });
        return std::move(report_);
    }

private:
    // Enters the record under a free name; empty when it has no name to be known by.
    std::string ChooseName(const char* slot, NameIndex& index, const char* kind) {
        std::string name = Field(slot);
        if (name.empty()) {
            ++report_.skipped;
            return name;
        }
        std::string chosen = index.FreeName(name);
        if (chosen != name) report_.renamed.push_back({kind, name, chosen});
        index.insert(chosen);
        return chosen;
    }

    void TakeService(const TranslatorServiceRecord& r) {
        ServiceFields f;
        f.name = ChooseName(r.name, serviceNames_, "service");
        if (f.name.empty()) return;
        const std::string recordName = Field(r.name);
        f.accessNumber = Field(r.accessNumber);
        f.useDialPrefix = IntSlot(r.useDialPrefix);
        f.password = Field(r.password);
        f.modemName = Field(r.modemName);
        f.modemInit = Field(r.modemInit);
        f.port = Field(r.port);
        f.baudRate = IntSlot(r.baudRate);
        f.parity = IntSlot(r.parity);
        f.handshake = IntSlot(r.handshake);
        f.dialMode = IntSlot(r.dialMode);
        f.scriptFile = Field(r.scriptFile);
        f.permanentLineID = 0;
        auto* service = new CService(f);
        store_.GetServiceList()->AddHead(service);
        importedServices_[f.name] = service;
        if (recordName != f.name) renamedServices_[recordName] = service;
        report_.services.push_back(f.name);
    }

    // The service of this run a subscriber record names. A service renamed in this run is
    // still the one its subscribers name: matching only final names would hand them to
    // whichever service came last.
    CService* ImportedService(const std::string& name) const {
        if (auto found = importedServices_.find(name); found != importedServices_.end()) return found->second;
        if (auto found = renamedServices_.find(name); found != renamedServices_.end()) return found->second;
        return nullptr;
    }

    void TakeSubscriber(const TranslatorSubscriberRecord& r) {
        std::string serviceName = Field(r.serviceName);
        CService* service = ImportedService(serviceName);
        if (!service) service = As<CService>(store_.GetServiceList()->GetHead());
        // With no service at all the subscriber could not be paged or saved sound: leave it out.
        if (!service) {
            ++report_.skipped;
            return;
        }
        std::string name = ChooseName(r.name, subscriberNames_, "subscriber");
        if (name.empty()) return;
        auto* subscriber = new CSubscriber(name, Field(r.pin), Field(r.maxLength), service);
        store_.GetSubscriberList()->AddHead(subscriber);
        service->AddSubscriber(subscriber);
        importedSubscribers_[name] = subscriber;
        report_.subscribers.push_back(name);
    }

    void TakeGroup(const TranslatorGroupRecord& r) {
        std::string name = ChooseName(r.name, groupNames_, "group");
        if (name.empty()) return;
        auto* group = new CGroup(name);
        store_.GetGroupList()->AddHead(group);
        report_.groups.push_back(name);
        std::string members = CopyText(r.memberNames, kImportMemberTextLimit);
        std::unordered_set<CSubscriber*> added;
        size_t start = 0;
        while (start <= members.size()) {
            size_t end = members.find('|', start);
            if (end == std::string::npos) end = members.size();
            auto member = importedSubscribers_.find(members.substr(start, end - start));
            // A name given twice would make the subscriber a member twice over.
            if (member != importedSubscribers_.end() && added.insert(member->second).second) {
                CSubscriber& subscriber = *member->second;
                if (!subscriber.GetGroups()) subscriber.SetGroups(new CObList);
                group->GetMembers()->AddHead(&subscriber);
                subscriber.GetGroups()->AddHead(group);
            }
            start = end + 1;
        }
    }

    void TakeMessage(const TranslatorMessageRecord& r) {
        store_.GetPresetMessageList()->AddHead(new CMessage(CopyText(r.text, kImportMessageLimit)));
        ++report_.messages;
    }

    DirectoryStore& store_;
    NameIndex serviceNames_;
    NameIndex subscriberNames_;
    NameIndex groupNames_;
    std::unordered_map<std::string, CService*> importedServices_;
    std::unordered_map<std::string, CService*> renamedServices_;  // by the record's own name
    std::unordered_map<std::string, CSubscriber*> importedSubscribers_;
    ImportReport report_;
};

}  // namespace

ImportReport MergeImportedRecords(DirectoryStore& store, const TranslatorGetters& getters) {
    return Merge(store).Run(getters);
}
