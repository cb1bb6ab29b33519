#include "tools/vorlapaged/local_run.h"

#include <ctime>
#include <unordered_set>

#include "archive/class_registry.h"
#include "archive/ob_list.h"
#include "directory/group.h"
#include "directory/subscriber.h"
#include "paging/log_object.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "settings/program_directory.h"
#include "settings/settings_keys.h"
#include "ui/message_entry/message_texts.h"

namespace {

template <class T>
const T* FindByName(const CObList* list, const std::string& name) {
    if (!list) return nullptr;
    for (Serializable* object : *list) {
        const T* record = As<T>(object);
        if (record && record->GetName() == name) return record;
    }
    return nullptr;
}

}  // namespace

LocalRun::LocalRun(const vorla::ProgramDirectory& home, vorla::ISettingsStore& settings,
                   const std::vector<std::pair<std::string, std::string>>& ports, std::function<void()> pump,
                   Say say)
    : home_(home),
      settings_(settings),
      say_(std::move(say)),
      folder_(home.GetProgramDirectory()),
      ports_(&settings),
      pump_(std::move(pump)) {
    for (const auto& [name, device] : ports)
        ports_.Override(name, device);
}

LocalRun::~LocalRun() = default;

bool LocalRun::Open() {
    static const ClassRegistry registry = MakeProgramClassRegistry();
    const StartupLoad load = LoadStartupFiles(store_, folder_, registry, std::time(nullptr));
    for (const UnreadableFile& file : load.unreadable)
        say_(DescribeUnreadableFile(file), true);
    const UnreadableFile* queueFile = load.Find(kOutgoingFileName);
    if (queueFile && !queueFile->movedTo) return false;
    const UnreadableFile* logFile = load.Find(kLogWindowFileName);
    queue_ = std::make_unique<OutgoingQueue>(*store_.GetOutgoingList(), settings_, clock_,
                                             folder_ + std::string(kOutgoingFileName));
    log_ = std::make_unique<MessageLog>(*store_.GetLogList(), settings_, folder_);
    log_->SetWindowFileWritable(!logFile || logFile->movedTo);
    driver_ = std::make_unique<SessionDriver>(*queue_, *log_, engine_, settings_, clock_, home_);
    queue_->SetObserver(this);
    driver_->SetObserver(this);
    queue_->SetSendStarter([this] { driver_->StartSending(); });
    host_ = std::make_unique<EngineHost>(EngineHost::ForDriver(*driver_, &ports_, pump_));
    return true;
}

LocalRun::Result LocalRun::Queue(const std::vector<std::string>& names, const std::string& text,
                                 SendChoice choice, std::optional<uint32_t> at, const std::string& note,
                                 size_t* pages) {
    *pages = 0;
    std::vector<const CSubscriber*> subscribers;
    std::vector<const CGroup*> groups;
    for (const std::string& name : names) {
        if (const auto* subscriber = FindByName<CSubscriber>(store_.GetSubscriberList(), name))
            subscribers.push_back(subscriber);
        else if (const auto* group = FindByName<CGroup>(store_.GetGroupList(), name))
            groups.push_back(group);
        else
            return Result::UnknownName;
    }
    // The message as the program's Send makes it: signed with "AutoSign", then upper-cased.
    std::string message = text;
    if (ReadSetting(settings_, vorla::setting::kAutoSign) == 1)
        message += FormatSignature(settings_, static_cast<std::time_t>(clock_.Now()));
    if (ReadSetting(settings_, vorla::setting::kSendUpperCase) != 0) message = UpperCaseMessage(message);
    CPagerMessage* pager = MakePagerMessage(message);
    if (!pager) return Result::NothingToSend;
    // A failed save must leave nothing behind to be sent: the client is told nothing was taken.
    std::unordered_set<const Serializable*> before(queue_->List().begin(), queue_->List().end());
    for (const CSubscriber* subscriber : subscribers)
        *pages += QueuePage(*queue_, settings_, *subscriber, pager, choice, at) ? 1 : 0;
    for (const CGroup* group : groups)
        *pages += QueueGroup(*queue_, settings_, *group, pager, choice, at);
    if (*pages == 0) {
        if (pager->GetRefCount() == 0) delete pager;
        return Result::NothingToSend;
    }
    queue_->Refresh();
    if (!queue_->SaveQueue()) {
        std::unordered_set<CPage*> added;
        for (Serializable* item : queue_->List()) {
            auto* page = static_cast<CPage*>(item);
            if (!before.count(page)) added.insert(page);
        }
        queue_->DiscardPages(added);
        *pages = 0;
        return Result::NotSaved;
    }
    const uint32_t now = clock_.Now();
    for (Serializable* item : queue_->List()) {
        auto* page = static_cast<CPage*>(item);
        if (page->GetMessage() != pager) continue;
        log_->Add(
            std::make_unique<CLogObject>(now, page->GetSubscriber()->GetName(), note, pager->GetText(), 0));
    }
    if (choice == SendChoice::Now) driver_->StartSending();
    return Result::Queued;
}

void LocalRun::SendDue() {
    queue_->DueCheck();
    if (driver_->IsIdle() && queue_->GetNextPage()) driver_->StartSending();
}

bool LocalRun::Step() {
    return driver_->OnIdle();
}

std::optional<uint32_t> LocalRun::NextTimedPage() {
    const long row = queue_->FirstTimedRow();
    if (row < 0) return std::nullopt;
    const CPage* page = queue_->RowAt(static_cast<size_t>(row));
    if (!page || !page->GetScheduledTime()) return std::nullopt;
    return *page->GetScheduledTime();
}

void LocalRun::Close() {
    if (log_) log_->SaveLog();
}

void LocalRun::OnStatusLine(const std::string& text) {
    if (!text.empty()) say_(text, false);
}

void LocalRun::OnLogRecord(const CLogObject& record) {
    std::string line = FormatLogLine(record);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    say_("log: " + line, record.GetCode() != 0);
}

void LocalRun::OnQueueSaveFailed(const std::string& text) {
    say_(text, true);
}

void LocalRun::ShowStop(std::string_view text) {
    say_(std::string(text), true);
}
