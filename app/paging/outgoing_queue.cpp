#include "outgoing_queue.h"

#include <algorithm>
#include <filesystem>

#include "ob_list.h"
#include "page.h"
#include "pager_message.h"
#include "paging_clock.h"
#include "paging_files.h"
#include "paging_texts.h"
#include "queue_observer.h"
#include "service.h"
#include "subscriber.h"

namespace {

std::string_view ServiceNameOf(const CPage* page) {
  const CSubscriber* subscriber = page->GetSubscriber();
  const CService* service = subscriber ? subscriber->GetService() : nullptr;
  return service ? std::string_view(service->GetAll().name) : std::string_view();
}

std::string_view MessageTextOf(const CPage* page) {
  const CPagerMessage* message = page->GetMessage();
  return message ? std::string_view(message->GetText()) : std::string_view();
}

// Times are unsigned on disk; read the same way here, so the order stays right after 2038.
uint32_t SortTimeOf(const CPage* page) { return page->GetScheduledTime().value_or(0); }

std::string ReplacePathMarker(std::string_view text, const std::string& path) {
  std::string out(text);
  const size_t at = out.find("%1");
  if (at != std::string::npos) out.replace(at, 2, path);
  return out;
}

}  // namespace

QueueRow MakeQueueRow(CPage* page) {
  QueueRow row;
  row.page = page;
  row.time = SortTimeOf(page);
  row.when = page->GetWhen();
  row.serviceName = std::string(ServiceNameOf(page));
  if (const CSubscriber* subscriber = page->GetSubscriber()) row.subscriberName = subscriber->GetName();
  row.messageText = MessageTextOf(page);
  return row;
}

bool QueueRowLess(const QueueRow& a, const QueueRow& b) {
  if (a.time != b.time) return a.time < b.time;
  if (a.when != b.when) return a.when < b.when;
  if (int c = a.serviceName.compare(b.serviceName)) return c < 0;
  if (int c = a.subscriberName.compare(b.subscriberName)) return c < 0;
  return a.messageText.compare(b.messageText) < 0;
}

size_t OutgoingQueue::PageKeyHash::operator()(const PageKey& key) const {
  return std::hash<std::string>()(key.name) ^ (std::hash<const void*>()(key.message) * 31);
}

OutgoingQueue::OutgoingQueue(CObList& outgoingList, const vorla::ISettingsStore& settings,
                             const IClock& clock, std::string queueFilePath)
    : list_(outgoingList),
      settings_(settings),
      clock_(clock),
      queueFilePath_(std::move(queueFilePath)) {}

OutgoingQueue::PageKey OutgoingQueue::KeyOf(const CPage* page) {
  const CSubscriber* subscriber = page->GetSubscriber();
  return PageKey{page->GetMessage(), subscriber ? subscriber->GetName() : std::string()};
}

size_t OutgoingQueue::RowCount() {
  EnsureRows();
  return rows_.size();
}

CPage* OutgoingQueue::RowAt(size_t row) {
  EnsureRows();
  return row < rows_.size() ? rows_[row].page : nullptr;
}

const std::vector<QueueRow>& OutgoingQueue::Rows() {
  EnsureRows();
  return rows_;
}

long OutgoingQueue::FirstTimedRow() {
  EnsureRows();
  return firstTimedRow_;
}

void OutgoingQueue::EnsureRows() {
  if (rowsStale_) RebuildRows();
}

void OutgoingQueue::RebuildRows() {
  rows_.clear();
  rows_.reserve(list_.GetCount());
  for (Serializable* object : list_) {
    CPage* page = As<CPage>(object);
    if (!page) continue;  // the loaders admit only pages; nothing else is ever shown or sent
    rows_.push_back(MakeQueueRow(page));
  }
  rowsStale_ = false;
  SortRows();
}

void OutgoingQueue::BuildIndex() {
  queued_.clear();
  queued_.reserve(list_.GetCount());
  for (Serializable* object : list_) {
    if (const CPage* page = As<CPage>(object)) queued_.insert(KeyOf(page));
  }
  indexBuilt_ = true;
}

void OutgoingQueue::FindFirstTimedRow() {
  firstTimedRow_ = -1;
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].when == kWhenAt) {
      firstTimedRow_ = static_cast<long>(i);
      break;
    }
  }
}

void OutgoingQueue::SortRows() {
  for (QueueRow& row : rows_) {
    row.time = SortTimeOf(row.page);
    row.when = row.page->GetWhen();
  }
  // Stable, so equal pages keep their list order from one refresh to the next.
  std::stable_sort(rows_.begin(), rows_.end(), QueueRowLess);
  FindFirstTimedRow();
}

void OutgoingQueue::Changed() {
  if (observer_) observer_->OnRowsChanged();
}

void OutgoingQueue::StartSending() {
  if (startSending_) startSending_();
}

void OutgoingQueue::Refresh() {
  RebuildRows();
  BuildIndex();
  Changed();
}

void OutgoingQueue::Sort() {
  EnsureRows();
  SortRows();
  Changed();
}

CPage* OutgoingQueue::GetNextPage() {
  EnsureRows();
  if (rows_.empty() || rows_.front().page->GetWhen() != kWhenNow) return nullptr;
  return rows_.front().page;
}

int32_t OutgoingQueue::MarkNowPages(int32_t status) {
  EnsureRows();
  int32_t count = 0;
  for (const QueueRow& row : rows_) {
    if (row.page->GetWhen() != kWhenNow) break;
    if (row.page->GetStatus() != kStatusSending) row.page->SetStatus(status, std::string(), 0);
    ++count;
  }
  SortRows();
  Changed();
  return count;
}

void OutgoingQueue::RemoveFirstRow() {
  EnsureRows();
  if (!rows_.empty()) rows_.erase(rows_.begin());
  SortRows();
  Changed();
}

void OutgoingQueue::InsertRow(CPage* page) {
  EnsureRows();
  if (!page) return;
  QueueRow row = MakeQueueRow(page);
  rows_.insert(std::upper_bound(rows_.begin(), rows_.end(), row, QueueRowLess), std::move(row));
  SortRows();
  Changed();
}

bool OutgoingQueue::DueCheck() {
  EnsureRows();
  if (firstTimedRow_ < 0) return false;
  const uint32_t now = clock_.Now();
  bool anyDue = false;
  for (size_t i = static_cast<size_t>(firstTimedRow_); i < rows_.size(); ++i) {
    CPage* page = rows_[i].page;
    const std::optional<uint32_t> time = page->GetScheduledTime();
    if (page->GetWhen() != kWhenAt || !time) continue;
    if (now < *time) break;  // later rows are later still
    page->SetWhen(kWhenNow);
    page->SetScheduledTime(std::nullopt);
    anyDue = true;
  }
  if (!anyDue) return false;
  Refresh();
  SaveQueue();
  StartSending();
  return true;
}

bool OutgoingQueue::SendLaterItems() {
  EnsureRows();
  bool any = false;
  for (const QueueRow& row : rows_) {
    if (row.page->GetWhen() == kWhenLater) {
      row.page->SetWhen(kWhenNow);
      any = true;
    }
  }
  SortRows();
  Changed();
  if (!any) {
    if (observer_) observer_->ShowStop(paging_texts::kNoLaterItems);
    return false;
  }
  SaveQueue();
  StartSending();
  return true;
}

void OutgoingQueue::SendSelected(std::vector<size_t> rows) {
  EnsureRows();
  int32_t resendTimes = settings_.GetProfileInt(vorla::kPreferencesSection, "ResendTimes", 0);
  if (resendTimes > 0) ++resendTimes;
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  bool any = false;
  for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
    if (*it >= rows_.size()) continue;
    CPage* page = rows_[*it].page;
    page->SetWhen(kWhenNow);
    page->SetScheduledTime(std::nullopt);
    page->SetResendTimes(resendTimes);
    any = true;
  }
  Refresh();
  if (!any) return;
  SaveQueue();
  StartSending();
}

void OutgoingQueue::DeleteSelected(std::vector<size_t> rows) {
  EnsureRows();
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  while (!rows.empty() && rows.back() >= rows_.size()) rows.pop_back();
  if (rows.empty()) return;
  const bool confirmed = observer_ && observer_->Confirm(paging_texts::kConfirmDelete);
  bool deleted = false;
  if (confirmed) {
    // Pages first: the row indices move as rows go.
    std::vector<CPage*> pages;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) pages.push_back(rows_[*it].page);
    for (CPage* page : pages) {
      if (page->GetStatus() == kStatusSending) {
        observer_->ShowStop(paging_texts::kCannotDeleteSending);
        continue;
      }
      DiscardPage(page);
      deleted = true;
    }
  }
  SortRows();
  Changed();
  if (deleted) SaveQueue();
}

void OutgoingQueue::ApplyEndOfRunRules(const std::function<bool(const CPage*)>& failedInThisRun) {
  EnsureRows();
  const int resendSeconds =
      std::max(0, settings_.GetProfileInt(vorla::kPreferencesSection, "ResendSeconds", 180));
  const bool rememberFailed =
      settings_.GetProfileInt(vorla::kPreferencesSection, "RememberFailed", 0) != 0;
  std::vector<CPage*> failed;
  for (auto it = rows_.rbegin(); it != rows_.rend(); ++it) {
    if (it->page->GetStatus() == kStatusFailed && failedInThisRun(it->page)) failed.push_back(it->page);
  }
  for (CPage* page : failed) {
    page->CountResend();
    if (page->GetResendTimes() > 0) {
      page->SetScheduledTime(clock_.Now() + static_cast<uint32_t>(resendSeconds));
      page->SetWhen(kWhenAt);
    } else if (!rememberFailed) {
      DiscardPage(page);
    }
  }
  SortRows();
  Changed();
}

bool OutgoingQueue::SaveQueue() {
  if (queueFilePath_.empty()) return true;
  if (SaveQueueFile(queueFilePath_, &list_) == ArchiveError::None) return true;
  if (observer_) {
    std::error_code ignored;
    const auto folder = std::filesystem::path(queueFilePath_).parent_path();
    const bool folderThere = std::filesystem::is_directory(folder, ignored);
    observer_->ShowStop(ReplacePathMarker(
        folderThere ? paging_texts::kFileAccessDenied : paging_texts::kFileNotFound, queueFilePath_));
  }
  return false;
}

void OutgoingQueue::AppendPage(CPage* page) {
  if (!page) return;
  list_.AddTail(page);
  if (indexBuilt_) queued_.insert(KeyOf(page));
  rowsStale_ = true;
}

void OutgoingQueue::DiscardPage(CPage* page) {
  if (!page) return;
  auto row = std::find_if(rows_.begin(), rows_.end(), [page](const QueueRow& r) { return r.page == page; });
  if (row != rows_.end()) {
    rows_.erase(row);
    FindFirstTimedRow();
  }
  if (indexBuilt_) {
    auto key = queued_.find(KeyOf(page));
    if (key != queued_.end()) queued_.erase(key);
  }
  list_.Remove(page);
  DiscardRecord(page);
}

bool OutgoingQueue::HasPageFor(std::string_view subscriberName, const CPagerMessage* message) {
  if (!indexBuilt_) BuildIndex();
  return queued_.count(PageKey{message, std::string(subscriberName)}) != 0;
}
