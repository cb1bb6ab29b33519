#include "paging/outgoing_queue.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "archive/ob_list.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_clock.h"
#include "paging/paging_files.h"
#include "paging/paging_texts.h"
#include "paging/queue_observer.h"
#include "settings/settings_keys.h"

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
uint32_t SortTimeOf(const CPage* page) {
    return page->GetScheduledTime().value_or(0);
}

// Big-endian words of unsigned bytes compare as the bytes do; a shorter name's zero padding
// sorts it first, and a tie (a real NUL byte, or longer names) falls back to the full text.
std::array<uint64_t, 2> LeadingBytes(std::string_view text) {
    std::array<uint64_t, 2> words{};
    for (size_t i = 0; i < 16 && i < text.size(); ++i) {
        words[i / 8] |= static_cast<uint64_t>(static_cast<unsigned char>(text[i])) << (56 - 8 * (i % 8));
    }
    return words;
}

}  // namespace

// Pages of one service share one interned name and pages of one message its text, so the
// common equal case is settled without reading the bytes.
int CompareText(std::string_view a, std::string_view b) {
    if (a.data() == b.data() && a.size() == b.size()) return 0;
    return a.compare(b);
}

bool QueueRowLess(const QueueRow& a, const QueueRow& b) {
    if (a.time != b.time) return a.time < b.time;
    if (a.when != b.when) return a.when < b.when;
    if (int c = CompareText(a.serviceName, b.serviceName)) return c < 0;
    // Word by word: std::array's operators would call memcmp for every comparison.
    if (a.subscriberHead[0] != b.subscriberHead[0]) return a.subscriberHead[0] < b.subscriberHead[0];
    if (a.subscriberHead[1] != b.subscriberHead[1]) return a.subscriberHead[1] < b.subscriberHead[1];
    if (int c = CompareText(a.subscriberName, b.subscriberName)) return c < 0;
    return CompareText(a.messageText, b.messageText) < 0;
}

void QueueRowSorter::RankServices(const std::vector<QueueRow>& rows) {
    // Services are few and interned, so consecutive rows mostly share one view: the hash is
    // looked up only when the service changes from one row to the next.
    std::unordered_map<std::string_view, uint32_t> slotOf;
    serviceSlots_.clear();
    std::string_view last;
    uint32_t lastSlot = 0;
    bool haveLast = false;
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string_view name = rows[i].serviceName;
        if (!haveLast || name.data() != last.data() || name.size() != last.size()) {
            auto [found, added] = slotOf.try_emplace(name, static_cast<uint32_t>(serviceSlots_.size()));
            if (added) serviceSlots_.push_back(name);
            last = name;
            lastSlot = found->second;
            haveLast = true;
        }
        keys_[i].service = lastSlot;
    }
    // Ranks by the names' byte order; the slots hold distinct names, so ranks are distinct too.
    std::vector<uint32_t> bySlotName(serviceSlots_.size());
    for (uint32_t slot = 0; slot < bySlotName.size(); ++slot)
        bySlotName[slot] = slot;
    std::sort(bySlotName.begin(), bySlotName.end(),
              [this](uint32_t a, uint32_t b) { return serviceSlots_[a] < serviceSlots_[b]; });
    slotRanks_.assign(serviceSlots_.size(), 0);
    for (uint32_t rank = 0; rank < bySlotName.size(); ++rank)
        slotRanks_[bySlotName[rank]] = rank;
    for (Key& key : keys_)
        key.service = slotRanks_[key.service];
}

void QueueRowSorter::RadixSortKeys() {
    // Only the 16-bit digits that differ somewhere get a pass: in a due batch time and When are
    // all alike, and names of one pattern share most of their leading bytes.
    const Key& first = keys_.front();
    uint64_t head0Differs = 0, head1Differs = 0;
    uint32_t timeDiffers = 0, whenDiffers = 0, serviceDiffers = 0;
    for (const Key& key : keys_) {
        head0Differs |= key.head0 ^ first.head0;
        head1Differs |= key.head1 ^ first.head1;
        timeDiffers |= key.time ^ first.time;
        whenDiffers |= key.when ^ first.when;
        serviceDiffers |= key.service ^ first.service;
    }
    counts_.resize(size_t{1} << 16);
    scratch_.resize(keys_.size());
    auto pass = [this](auto digitOf) {
        std::fill(counts_.begin(), counts_.end(), 0u);
        for (const Key& key : keys_)
            ++counts_[digitOf(key)];
        uint32_t sum = 0;
        for (uint32_t& count : counts_) {
            const uint32_t here = count;
            count = sum;
            sum += here;
        }
        for (const Key& key : keys_)
            scratch_[counts_[digitOf(key)]++] = key;
        keys_.swap(scratch_);
    };
    // Least significant first: each pass is stable, so earlier passes break the later ties.
    for (unsigned shift = 0; shift < 64; shift += 16)
        if ((head1Differs >> shift) & 0xFFFF)
            pass([shift](const Key& k) { return (k.head1 >> shift) & 0xFFFF; });
    for (unsigned shift = 0; shift < 64; shift += 16)
        if ((head0Differs >> shift) & 0xFFFF)
            pass([shift](const Key& k) { return (k.head0 >> shift) & 0xFFFF; });
    for (unsigned shift = 0; shift < 32; shift += 16)
        if ((serviceDiffers >> shift) & 0xFFFF)
            pass([shift](const Key& k) { return (k.service >> shift) & 0xFFFF; });
    for (unsigned shift = 0; shift < 32; shift += 16)
        if ((whenDiffers >> shift) & 0xFFFF)
            pass([shift](const Key& k) { return (k.when >> shift) & 0xFFFF; });
    for (unsigned shift = 0; shift < 32; shift += 16)
        if ((timeDiffers >> shift) & 0xFFFF)
            pass([shift](const Key& k) { return (k.time >> shift) & 0xFFFF; });
}

void QueueRowSorter::Sort(std::vector<QueueRow>& rows) {
    const size_t n = rows.size();
    if (n < kRadixThreshold || n > std::numeric_limits<uint32_t>::max()) {
        std::stable_sort(rows.begin(), rows.end(), QueueRowLess);
        return;
    }
    keys_.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const QueueRow& row = rows[i];
        // When is compared signed: flipping the sign bit orders it as unsigned digits.
        keys_[i] = Key{row.subscriberHead[0],
                       row.subscriberHead[1],
                       row.time,
                       static_cast<uint32_t>(row.when) ^ 0x8000'0000u,
                       0,
                       static_cast<uint32_t>(i)};
    }
    RankServices(rows);
    RadixSortKeys();
    // The rows follow their keys in place, cycle by cycle: a second array of rows as large as
    // the batch would cost more in fresh memory than the moves themselves.
    for (uint32_t start = 0; start < n; ++start) {
        if (keys_[start].index == start) continue;
        const QueueRow held = rows[start];
        uint32_t to = start;
        for (;;) {
            const uint32_t from = keys_[to].index;
            keys_[to].index = to;  // placed
            if (from == start) {
                rows[to] = held;
                break;
            }
            rows[to] = rows[from];
            to = from;
        }
    }
    // Rows that tie on every integer key differ, if at all, past the names' 16 leading bytes
    // (or in a real NUL there) or in the text: the exact comparison settles those runs alone.
    auto sameKeys = [](const Key& a, const Key& b) {
        return a.head0 == b.head0 && a.head1 == b.head1 && a.time == b.time && a.when == b.when &&
               a.service == b.service;
    };
    for (size_t begin = 0; begin < n;) {
        size_t end = begin + 1;
        while (end < n && sameKeys(keys_[end], keys_[begin]))
            ++end;
        if (end - begin > 1) std::stable_sort(rows.begin() + begin, rows.begin() + end, QueueRowLess);
        begin = end;
    }
}

OutgoingQueue::OutgoingQueue(CObList& outgoingList, const vorla::ISettingsStore& settings,
                             const IClock& clock, std::string queueFilePath)
    : list_(outgoingList), settings_(settings), clock_(clock), queueFilePath_(std::move(queueFilePath)) {}

QueueRow OutgoingQueue::MakeRow(CPage* page) {
    QueueRow row;
    row.page = page;
    row.time = SortTimeOf(page);
    row.when = page->GetWhen();
    const std::string_view service = ServiceNameOf(page);
    // Pages of one service mostly follow one another: most rows find the name at once.
    if (!lastServiceName_ || *lastServiceName_ != service)
        lastServiceName_ = &*serviceNames_.emplace(service).first;
    row.serviceName = *lastServiceName_;
    const CSubscriber* subscriber = page->GetSubscriber();
    subscriberNames_.push_back(subscriber ? subscriber->GetName() : std::string());
    row.subscriberName = subscriberNames_.back();
    row.subscriberHead = LeadingBytes(row.subscriberName);
    row.messageText = MessageTextOf(page);
    return row;
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
    subscriberNames_.clear();
    serviceNames_.clear();
    lastServiceName_ = nullptr;
    rows_.reserve(list_.GetCount());
    for (Serializable* object : list_) {
        CPage* page = As<CPage>(object);
        if (!page) continue;  // the loaders admit only pages; nothing else is ever shown or sent
        rows_.push_back(MakeRow(page));
    }
    rowsStale_ = false;
    // Stable, so equal pages keep their list order from one refresh to the next.
    std::stable_sort(rows_.begin(), rows_.end(), QueueRowLess);
    FindFirstTimedRow();
}

void OutgoingQueue::IndexMessage(const CPagerMessage* message) {
    indexedNames_.clear();
    for (Serializable* object : list_) {
        const CPage* page = As<CPage>(object);
        if (!page || page->GetMessage() != message) continue;
        const CSubscriber* subscriber = page->GetSubscriber();
        ++indexedNames_[subscriber ? subscriber->GetName() : std::string()];
    }
    indexedMessage_ = message;
    indexValid_ = true;
}

void OutgoingQueue::Unindex(const CPage* page) {
    if (!indexValid_ || page->GetMessage() != indexedMessage_) return;
    const CSubscriber* subscriber = page->GetSubscriber();
    auto found = indexedNames_.find(subscriber ? subscriber->GetName() : std::string());
    if (found != indexedNames_.end() && --found->second <= 0) indexedNames_.erase(found);
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
    // The rows are in order by the keys they hold; only a row whose page now has another time
    // or When can be out of place. Those leave, are sorted among themselves and merged back.
    moved_.clear();
    size_t kept = 0;
    for (size_t i = 0; i < rows_.size(); ++i) {
        QueueRow row = rows_[i];
        const uint32_t time = SortTimeOf(row.page);
        const int32_t when = row.page->GetWhen();
        if (time != row.time || when != row.when) {
            row.time = time;
            row.when = when;
            moved_.push_back(row);
        } else {
            rows_[kept++] = row;
        }
    }
    PlaceMovedRows(kept);
}

void OutgoingQueue::PlaceMovedRows(size_t kept) {
    // The two work arrays are members so that a large queue does not map and fault in fresh
    // memory at every sort.
    if (!moved_.empty()) {
        rows_.resize(kept);
        sorter_.Sort(moved_);
        if (kept == 0) {
            rows_.swap(moved_);
        } else {
            merged_.clear();
            merged_.reserve(kept + moved_.size());
            std::merge(rows_.begin(), rows_.end(), moved_.begin(), moved_.end(), std::back_inserter(merged_),
                       QueueRowLess);
            rows_.swap(merged_);
        }
    }
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
    indexValid_ = false;
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
    QueueRow row = MakeRow(page);
    rows_.insert(std::upper_bound(rows_.begin(), rows_.end(), row, QueueRowLess), row);
    SortRows();
    Changed();
}

bool OutgoingQueue::DueCheck() {
    EnsureRows();
    if (firstTimedRow_ < 0) return false;
    const uint32_t now = clock_.Now();
    // Only the due rows move (up among the untimed ones); they are taken out as they are found,
    // so no other page is looked at.
    moved_.clear();
    size_t kept = static_cast<size_t>(firstTimedRow_);
    size_t i = kept;
    // Address space only until rows are due: a large batch then lands without regrowing.
    moved_.reserve(rows_.size() - kept);
    for (; i < rows_.size(); ++i) {
        QueueRow row = rows_[i];
        CPage* page = row.page;
        const std::optional<uint32_t> time = page->GetScheduledTime();
        if (page->GetWhen() == kWhenAt && time) {
            if (now < *time) break;  // later rows are later still
            page->MakeDue();
            row.time = 0;
            row.when = kWhenNow;
            moved_.push_back(row);
            continue;
        }
        rows_[kept++] = row;  // another When between timed rows: passed over
    }
    if (moved_.empty()) return false;
    for (; i < rows_.size(); ++i)
        rows_[kept++] = rows_[i];
    PlaceMovedRows(kept);
    Changed();
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
    int32_t resendTimes = ReadSetting(settings_, vorla::setting::kResendTimes);
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
    while (!rows.empty() && rows.back() >= rows_.size())
        rows.pop_back();
    if (rows.empty()) return;
    const bool confirmed = observer_ && observer_->Confirm(paging_texts::kConfirmDelete);
    std::unordered_set<CPage*> doomed;
    if (confirmed) {
        for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
            CPage* page = rows_[*it].page;
            if (page->GetStatus() == kStatusSending) {
                observer_->ShowStop(paging_texts::kCannotDeleteSending);
                continue;
            }
            doomed.insert(page);
        }
        DiscardPages(doomed);
    }
    const bool deleted = !doomed.empty();
    SortRows();
    Changed();
    if (deleted) SaveQueue();
}

void OutgoingQueue::ApplyEndOfRunRules(const std::function<bool(const CPage*)>& failedInThisRun) {
    EnsureRows();
    const int resendSeconds = std::max(0, ReadSetting(settings_, vorla::setting::kResendSeconds));
    const bool rememberFailed = ReadSetting(settings_, vorla::setting::kRememberFailed) != 0;
    std::unordered_set<CPage*> dropped;
    for (auto it = rows_.rbegin(); it != rows_.rend(); ++it) {
        CPage* page = it->page;
        if (page->GetStatus() != kStatusFailed || !failedInThisRun(page)) continue;
        page->CountResend();
        if (page->GetResendTimes() > 0) {
            page->SetScheduledTime(clock_.Now() + static_cast<uint32_t>(resendSeconds));
            page->SetWhen(kWhenAt);
        } else if (!rememberFailed) {
            dropped.insert(page);
        }
    }
    // At once: a failed service can leave a whole group's pages to drop.
    DiscardPages(dropped);
    SortRows();
    Changed();
}

bool OutgoingQueue::SaveQueue() {
    const std::optional<std::string> failure = WriteQueueFile();
    if (failure && observer_) observer_->ShowStop(*failure);
    return !failure;
}

std::optional<std::string> OutgoingQueue::WriteQueueFile() {
    if (queueFilePath_.empty()) return std::nullopt;
    if (SaveQueueFile(queueFilePath_, &list_) == ArchiveError::None) return std::nullopt;
    return SaveFailureText(queueFilePath_);
}

void OutgoingQueue::AppendPage(CPage* page) {
    if (!page) return;
    list_.AddTail(page);
    if (indexValid_ && page->GetMessage() == indexedMessage_) {
        const CSubscriber* subscriber = page->GetSubscriber();
        ++indexedNames_[subscriber ? subscriber->GetName() : std::string()];
    }
    rowsStale_ = true;
}

void OutgoingQueue::DiscardPage(CPage* page) {
    if (!page) return;
    auto row = std::find_if(rows_.begin(), rows_.end(), [page](const QueueRow& r) { return r.page == page; });
    if (row != rows_.end()) {
        rows_.erase(row);
        FindFirstTimedRow();
    }
    Unindex(page);
    list_.Remove(page);
    DiscardRecord(page);
}

void OutgoingQueue::DiscardPages(const std::unordered_set<CPage*>& pages) {
    if (pages.empty()) return;
    if (pages.size() == 1) {
        DiscardPage(*pages.begin());
        return;
    }
    std::erase_if(rows_, [&pages](const QueueRow& row) { return pages.count(row.page) != 0; });
    FindFirstTimedRow();
    std::vector<Serializable*> kept;
    kept.reserve(list_.GetCount());
    for (Serializable* object : list_) {
        CPage* page = As<CPage>(object);
        if (page && pages.count(page)) continue;
        kept.push_back(object);
    }
    list_.RemoveAll();
    list_.Reserve(kept.size());
    for (Serializable* object : kept)
        list_.AddTail(object);
    for (CPage* page : pages) {
        Unindex(page);
        DiscardRecord(page);
    }
}

bool OutgoingQueue::HasPageFor(std::string_view subscriberName, const CPagerMessage* message) {
    if (!indexValid_ || message != indexedMessage_) IndexMessage(message);
    return indexedNames_.count(std::string(subscriberName)) != 0;
}
