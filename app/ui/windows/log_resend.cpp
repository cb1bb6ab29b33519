#include "ui/windows/log_resend.h"

#include <map>
#include <memory>
#include <string>

#include "archive/ob_list.h"
#include "directory/subscriber.h"
#include "paging/log_object.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/windows/window_texts.h"

ResendResult ResendLogRecords(const std::vector<const CLogObject*>& records, const CObList& subscribers,
                              OutgoingQueue& queue, const vorla::ISettingsStore& settings, uint32_t now,
                              const std::function<bool(const QString&)>& cannotResend) {
    // Names are unique in a healthy directory; with duplicates the first one wins.
    std::map<std::string, const CSubscriber*> byName;
    for (Serializable* object : subscribers) {
        if (const CSubscriber* subscriber = As<CSubscriber>(object))
            byName.emplace(subscriber->GetName(), subscriber);
    }
    const bool resend = ReadSetting(settings, vorla::setting::kResend) != 0;
    const int32_t resendTimes = ReadSetting(settings, vorla::setting::kResendTimes);

    ResendResult result;
    for (const CLogObject* record : records) {
        if (!record) continue;
        auto found = byName.find(record->GetName());
        if (found == byName.end()) {
            ++result.missing;
            if (cannotResend && !cannotResend(QString::fromLatin1(window_texts::kCannotResend))) break;
            continue;
        }
        auto* message = new CPagerMessage(record->GetMessage());
        auto* page = new CPage(message, CSubscriber::MakeDetachedCopy(*found->second), kWhenAt, now,
                               ResendAllowance(resend, resendTimes));
        page->SetStatus(kStatusWaiting, std::string(), 0);
        message->AddRef();
        queue.AppendPage(page);
        ++result.queued;
    }
    if (result.queued > 0) {
        queue.Refresh();
        queue.SaveQueue();
    }
    return result;
}
