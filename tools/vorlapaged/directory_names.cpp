#include "tools/vorlapaged/directory_names.h"

#include "archive/ob_list.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/subscriber.h"
#include "paging/incoming_text.h"
#include "ui/message_entry/message_texts.h"

std::optional<std::string> ResolvePagerId(const DirectoryStore& store, std::string_view pagerId) {
    std::string error;
    const std::optional<std::string> text = ToMessageText(pagerId, &error);
    if (!text || text->empty()) return std::nullopt;
    const std::string key = UpperCaseMessage(*text);
    if (const CObList* subscribers = store.GetSubscriberList()) {
        for (Serializable* object : *subscribers)
            if (const auto* subscriber = As<CSubscriber>(object);
                subscriber && UpperCaseMessage(subscriber->GetName()) == key)
                return subscriber->GetName();
    }
    if (const CObList* groups = store.GetGroupList()) {
        for (Serializable* object : *groups)
            if (const auto* group = As<CGroup>(object); group && UpperCaseMessage(group->GetName()) == key)
                return group->GetName();
    }
    if (const CObList* subscribers = store.GetSubscriberList()) {
        for (Serializable* object : *subscribers)
            if (const auto* subscriber = As<CSubscriber>(object); subscriber && subscriber->GetPIN() == *text)
                return subscriber->GetName();
    }
    return std::nullopt;
}
