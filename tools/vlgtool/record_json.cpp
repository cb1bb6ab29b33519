#include "tools/vlgtool/record_json.h"

#include <stdexcept>

#include "archive/ob_list.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/log_object.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "text/cp1252.h"

using nlohmann::json;

json TextToJson(const std::string& text) {
    return Cp1252ToUtf8(text);
}

std::string TextFromJson(const json& value) {
    auto bytes = Utf8ToCp1252(value.get<std::string>());
    if (!bytes) throw std::runtime_error("text outside Windows-1252: " + value.get<std::string>());
    return *bytes;
}

namespace {

std::string Text(const json& fields, const char* key) {
    return fields.contains(key) ? TextFromJson(fields.at(key)) : std::string();
}

int32_t Int(const json& fields, const char* key) {
    return fields.contains(key) ? CheckedNumber<int32_t>(fields.at(key), key) : 0;
}

uint32_t Unsigned(const json& fields, const char* key) {
    return fields.contains(key) ? CheckedNumber<uint32_t>(fields.at(key), key) : 0;
}

const json& Ref(const json& fields, const char* key) {
    static const json null;
    return fields.contains(key) ? fields.at(key) : null;
}

}  // namespace

json RecordToJson(const Serializable& record, const LabelOf& labelOf) {
    json j;
    j["class"] = record.GetRuntimeClass().name;
    if (auto* list = As<CObList>(&record)) {
        json items = json::array();
        for (const Serializable* item : *list)
            items.push_back(labelOf(item));
        j["items"] = std::move(items);
    } else if (auto* s = As<CService>(&record)) {
        const ServiceFields& f = s->GetAll();
        j["Name"] = TextToJson(f.name);
        j["AccessNumber"] = TextToJson(f.accessNumber);
        j["UseDialPrefix"] = f.useDialPrefix;
        j["Password"] = TextToJson(f.password);
        j["ModemName"] = TextToJson(f.modemName);
        j["ModemInit"] = TextToJson(f.modemInit);
        j["Port"] = TextToJson(f.port);
        j["BaudRate"] = f.baudRate;
        j["Parity"] = f.parity;
        j["Handshake"] = f.handshake;
        j["DialMode"] = f.dialMode;
        j["ScriptFile"] = TextToJson(f.scriptFile);
        j["PermanentLineID"] = f.permanentLineID;
        j["Subscribers"] = labelOf(s->GetSubscribers());
    } else if (auto* sub = As<CSubscriber>(&record)) {
        j["Name"] = TextToJson(sub->GetName());
        j["PIN"] = TextToJson(sub->GetPIN());
        j["MaxLength"] = TextToJson(sub->GetMaxLength());
        j["Service"] = labelOf(sub->GetService());
        j["Groups"] = labelOf(sub->GetGroups());
    } else if (auto* g = As<CGroup>(&record)) {
        j["Name"] = TextToJson(g->GetName());
        j["Members"] = labelOf(g->GetMembers());
    } else if (auto* m = As<CMessage>(&record)) {
        j["Text"] = TextToJson(m->GetText());
        j["Tag"] = m->GetTag();
    } else if (auto* row = As<CDisplayObject>(&record)) {
        j["Subscriber"] = labelOf(row->GetSubscriber());
        j["Group"] = labelOf(row->GetGroup());
        j["Expanded"] = row->GetExpanded();
    } else if (auto* pm = As<CPagerMessage>(&record)) {
        j["Text"] = TextToJson(pm->GetText());
        j["RefCount"] = pm->GetRefCount();
        j["Length"] = pm->GetLength();
    } else if (auto* page = As<CPage>(&record)) {
        PageStoredFields f = page->GetStoredFields();
        j["MessageLength"] = f.messageLength;
        j["PageIndex"] = f.pageIndex;
        j["TransactionLength"] = f.transactionLength;
        j["PinLength"] = f.pinLength;
        j["TotalBlocks"] = f.totalBlocks;
        j["BlockIndex"] = f.blockIndex;
        j["Started"] = f.started;
        j["Status"] = f.status;
        j["StatusText"] = TextToJson(f.statusText);
        j["When"] = f.when;
        j["ResendTimesLeft"] = f.resendTimesLeft;
        j["StatusCode"] = f.statusCode;
        j["ChunkSize"] = f.chunkSize;
        j["PageCount"] = f.pageCount;
        j["BlocksPerPage"] = f.blocksPerPage;
        j["Message"] = labelOf(page->GetMessage());
        j["Subscriber"] = labelOf(page->GetSubscriber());
        j["ScheduledTime"] = f.scheduledTime ? json(*f.scheduledTime) : json(nullptr);
    } else if (auto* log = As<CLogObject>(&record)) {
        j["Code"] = log->GetCode();
        j["Time"] = log->GetTime();
        j["Name"] = TextToJson(log->GetName());
        j["Status"] = TextToJson(log->GetStatus());
        j["Message"] = TextToJson(log->GetMessage());
    }
    return j;
}

void RecordFromJson(Serializable& record, const json& j, ReferenceResolver& resolver) {
    if (auto* list = As<CObList>(&record)) {
        if (j.contains("items")) {
            for (const json& item : j.at("items").get_ref<const json::array_t&>()) {
                list->AddTail(resolver.Resolve(item, nullptr));
            }
        }
    } else if (auto* s = As<CService>(&record)) {
        ServiceFields f;
        f.name = Text(j, "Name");
        f.accessNumber = Text(j, "AccessNumber");
        f.useDialPrefix = Int(j, "UseDialPrefix");
        f.password = Text(j, "Password");
        f.modemName = Text(j, "ModemName");
        f.modemInit = Text(j, "ModemInit");
        f.port = Text(j, "Port");
        f.baudRate = Int(j, "BaudRate");
        f.parity = Int(j, "Parity");
        f.handshake = Int(j, "Handshake");
        f.dialMode = Int(j, "DialMode");
        f.scriptFile = Text(j, "ScriptFile");
        f.permanentLineID = Int(j, "PermanentLineID");
        s->SetAll(f);
        s->SetSubscribers(resolver.ResolveAs<CObList>(Ref(j, "Subscribers")));
    } else if (auto* sub = As<CSubscriber>(&record)) {
        sub->SetName(Text(j, "Name"));
        sub->SetPIN(Text(j, "PIN"));
        sub->SetMaxLength(Text(j, "MaxLength"));
        sub->SetService(resolver.ResolveAs<CService>(Ref(j, "Service")));
        sub->SetGroups(resolver.ResolveAs<CObList>(Ref(j, "Groups")));
    } else if (auto* g = As<CGroup>(&record)) {
        g->SetName(Text(j, "Name"));
        g->SetMembers(resolver.ResolveAs<CObList>(Ref(j, "Members")));
    } else if (auto* m = As<CMessage>(&record)) {
        m->SetText(Text(j, "Text"));
        m->SetTag(Int(j, "Tag"));
    } else if (auto* row = As<CDisplayObject>(&record)) {
        row->SetSubscriber(resolver.ResolveAs<CSubscriber>(Ref(j, "Subscriber")));
        row->SetGroup(resolver.ResolveAs<CGroup>(Ref(j, "Group")));
        row->SetExpanded(Int(j, "Expanded"));
    } else if (auto* pm = As<CPagerMessage>(&record)) {
        pm->SetText(Text(j, "Text"));
        pm->SetRefCount(Int(j, "RefCount"));
        pm->SetLength(Int(j, "Length"));
    } else if (auto* page = As<CPage>(&record)) {
        PageStoredFields f;
        f.messageLength = Int(j, "MessageLength");
        f.pageIndex = Int(j, "PageIndex");
        f.transactionLength = Int(j, "TransactionLength");
        f.pinLength = Int(j, "PinLength");
        f.totalBlocks = Int(j, "TotalBlocks");
        f.blockIndex = Int(j, "BlockIndex");
        f.started = Int(j, "Started");
        f.status = Int(j, "Status");
        f.statusText = Text(j, "StatusText");
        f.when = Int(j, "When");
        f.resendTimesLeft = Int(j, "ResendTimesLeft");
        f.statusCode = Int(j, "StatusCode");
        f.chunkSize = Int(j, "ChunkSize");
        f.pageCount = Int(j, "PageCount");
        f.blocksPerPage = Int(j, "BlocksPerPage");
        if (j.contains("ScheduledTime") && !j.at("ScheduledTime").is_null()) {
            f.scheduledTime = Unsigned(j, "ScheduledTime");
        }
        page->SetStoredFields(f);
        page->SetMessage(resolver.ResolveAs<CPagerMessage>(Ref(j, "Message")));
        page->SetSubscriber(resolver.ResolveAs<CSubscriber>(Ref(j, "Subscriber")));
    } else if (auto* log = As<CLogObject>(&record)) {
        log->SetCode(Int(j, "Code"));
        log->SetTime(Unsigned(j, "Time"));
        log->SetName(Text(j, "Name"));
        log->SetStatus(Text(j, "Status"));
        log->SetMessage(Text(j, "Message"));
    }
}
