#include "paging/queue_page.h"

#include <functional>

#include <memory>

#include "archive/ob_list.h"
#include "directory/group.h"
#include "directory/subscriber.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "settings/settings_keys.h"

std::string SanitizePagerText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out.push_back(' ');
        } else if (c == '\n' || c == '\t') {
            out.push_back(' ');
        } else if (c < 0x20 || c == 0x7F) {
            continue;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

CPagerMessage* MakePagerMessage(std::string_view text) {
    std::string clean = SanitizePagerText(text);
    if (clean.empty()) return nullptr;
    return new CPagerMessage(std::move(clean));
}

bool QueuePage(OutgoingQueue& queue, const vorla::ISettingsStore& settings, const CSubscriber& subscriber,
               CPagerMessage* message, SendChoice choice, std::optional<uint32_t> scheduleTime) {
    if (!message) return false;
    if (queue.HasPageFor(subscriber.GetName(), message)) return false;
    int32_t when = kWhenNow;
    int32_t status = kStatusPending;
    if (choice == SendChoice::Later) {
        when = kWhenLater;
        status = kStatusWaiting;
    } else if (choice == SendChoice::At) {
        when = kWhenAt;
        status = kStatusWaiting;
    }
    if (when != kWhenAt) scheduleTime.reset();
    const bool resend = ReadSetting(settings, vorla::setting::kResend) != 0;
    const int32_t resendTimes = ReadSetting(settings, vorla::setting::kResendTimes);
    auto* page = new CPage(message, CSubscriber::MakeDetachedCopy(subscriber), when, scheduleTime,
                           ResendAllowance(resend, resendTimes));
    page->SetStatus(status, std::string(), 0);
    message->AddRef();
    queue.AppendPage(page);
    return true;
}

size_t QueueGroup(OutgoingQueue& queue, const vorla::ISettingsStore& settings, const CGroup& group,
                  CPagerMessage* message, SendChoice choice, std::optional<uint32_t> scheduleTime) {
    size_t added = 0;
    if (const CObList* members = group.GetMembers()) {
        for (Serializable* object : *members) {
            if (const CSubscriber* member = As<CSubscriber>(object)) {
                if (QueuePage(queue, settings, *member, message, choice, scheduleTime)) ++added;
            }
        }
    }
    return added;
}

namespace {

template <class T>
const T* FindNamed(const CObList* list, std::string_view name) {
    if (!list) return nullptr;
    for (Serializable* object : *list) {
        const T* record = As<T>(object);
        if (record && record->GetName() == name) return record;
    }
    return nullptr;
}

std::string_view TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::vector<std::string_view> NamesInArgument(std::string_view argument,
                                              const std::function<bool(std::string_view)>& isName) {
    if (isName(argument)) return {argument};
    std::vector<std::string_view> names;
    while (true) {
        const size_t comma = argument.find(',');
        if (const std::string_view name = TrimBlanks(argument.substr(0, comma)); !name.empty())
            names.push_back(name);
        if (comma == std::string_view::npos) return names;
        argument.remove_prefix(comma + 1);
    }
}

std::optional<std::vector<Recipient>> FindRecipients(const CObList* subscribers, const CObList* groups,
                                                     const std::vector<std::string>& arguments,
                                                     std::string* unknown) {
    auto find = [&](std::string_view name) {
        Recipient recipient{FindNamed<CSubscriber>(subscribers, name), nullptr};
        if (!recipient.subscriber) recipient.group = FindNamed<CGroup>(groups, name);
        return recipient;
    };
    auto known = [&](std::string_view name) {
        const Recipient recipient = find(name);
        return recipient.subscriber || recipient.group;
    };
    std::vector<Recipient> found;
    for (const std::string& argument : arguments) {
        const std::vector<std::string_view> names = NamesInArgument(argument, known);
        if (names.empty()) {
            if (unknown) *unknown = argument;
            return std::nullopt;
        }
        for (const std::string_view name : names) {
            const Recipient recipient = find(name);
            if (!recipient.subscriber && !recipient.group) {
                if (unknown) *unknown = std::string(name);
                return std::nullopt;
            }
            found.push_back(recipient);
        }
    }
    return found;
}

size_t QueueRecipients(OutgoingQueue& queue, const vorla::ISettingsStore& settings,
                       const std::vector<Recipient>& recipients, CPagerMessage* message, SendChoice choice,
                       std::optional<uint32_t> scheduleTime) {
    size_t added = 0;
    for (const Recipient& recipient : recipients) {
        if (recipient.subscriber)
            added += QueuePage(queue, settings, *recipient.subscriber, message, choice, scheduleTime) ? 1 : 0;
        else if (recipient.group)
            added += QueueGroup(queue, settings, *recipient.group, message, choice, scheduleTime);
    }
    return added;
}
