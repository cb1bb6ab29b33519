#include "queue_page.h"

#include <memory>

#include "group.h"
#include "ob_list.h"
#include "outgoing_queue.h"
#include "page.h"
#include "pager_message.h"
#include "subscriber.h"

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

bool QueuePage(OutgoingQueue& queue, const vorla::ISettingsStore& settings,
               const CSubscriber& subscriber, CPagerMessage* message, SendChoice choice,
               std::optional<uint32_t> scheduleTime) {
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
  const bool resend = settings.GetProfileInt(vorla::kPreferencesSection, "Resend", 0) != 0;
  const int32_t resendTimes = settings.GetProfileInt(vorla::kPreferencesSection, "ResendTimes", 0);
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
