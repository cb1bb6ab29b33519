#include "ui/frame_commands/directory_text.h"

#include <string_view>

#include "archive/ob_list.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"

namespace {
// A field stays on its line and in its column: tabs and line breaks inside it become blanks.
std::string Field(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    return out;
}

void Line(std::string& out, std::initializer_list<std::string_view> fields) {
    bool first = true;
    for (std::string_view field : fields) {
        if (!first) out += '\t';
        out += Field(field);
        first = false;
    }
    out += '\n';
}

template <typename Record, typename Write>
void Section(std::string& out, const char* title, const CObList* list, Write write) {
    out += '\n';
    out += title;
    out += '\n';
    if (!list) return;
    for (Serializable* object : *list)
        if (const Record* record = As<Record>(object)) write(*record);
}
}  // namespace

std::string DirectoryListsText(const DirectoryStore& store) {
    std::string out = "Vorla Pro directory\n";
    Section<CService>(
        out, "Services (name, access number, port, modem, script)", store.GetServiceList(),
        [&out](const CService& s) {
            Line(out, {s.GetName(), s.GetAccessNumber(), s.GetPort(), s.GetModemName(), s.GetScriptFile()});
        });
    Section<CSubscriber>(
        out, "Subscribers (name, PIN, longest message, service)", store.GetSubscriberList(),
        [&out](const CSubscriber& s) {
            const CService* service = s.GetService();
            Line(out, {s.GetName(), s.GetPIN(), s.GetMaxLength(), service ? service->GetName() : ""});
        });
    Section<CGroup>(out, "Groups (name, members)", store.GetGroupList(), [&out](const CGroup& g) {
        std::string members;
        if (const CObList* list = g.GetMembers()) {
            for (Serializable* object : *list) {
                const CSubscriber* member = As<CSubscriber>(object);
                if (!member) continue;
                if (!members.empty()) members += ", ";
                members += member->GetName();
            }
        }
        Line(out, {g.GetName(), members});
    });
    Section<CMessage>(out, "Preset messages", store.GetPresetMessageList(),
                      [&out](const CMessage& m) { Line(out, {m.GetText()}); });
    return out;
}
