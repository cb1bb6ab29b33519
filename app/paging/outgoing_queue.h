#pragma once
// The outgoing queue: the OutgoingList's pages as rows in the one order they are shown and
// sent in, and the rules that move pages between Now, Later, At and Never.
//
// The rows are a model the outgoing window shows without copying: RowCount/RowAt in queue
// order. Pages belong to the OutgoingList; the rows only point at them. Pages appended with
// AppendPage get their rows at the next look at the rows, so queueing a message to a large
// group sorts once, not once per page.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "settings/settings_store.h"

class CObList;
class CPage;
class CPagerMessage;
class IClock;
class IQueueObserver;

// One row: the page and the keys it sorts by, kept in the row so that sorting a large queue
// reads one array instead of chasing every page (and its service copy) through memory at each
// comparison. The row is a few plain words, so sorting moves it with a copy.
struct QueueRow {
    CPage* page = nullptr;
    uint32_t time = 0;  // the keys the row is placed by; compared with the page at every sort
    int32_t when = 0;
    std::string_view serviceName;  // into the queue's name store, one copy per service
    std::string_view
        subscriberName;  // into the queue's name store (a subscriber hands its name out by value)
    // The name's first 16 bytes as two big-endian words (zero-padded): most comparisons end
    // here, without reading the name from wherever it lives in memory.
    std::array<uint64_t, 2> subscriberHead{};
    std::string_view messageText;  // into the shared message
};

// Queue order: scheduled time (0 when none), When, service name, subscriber name, message
// text; smaller first.
bool QueueRowLess(const QueueRow& a, const QueueRow& b);

// Puts rows in queue order, keeping rows equal in every key in the order they came. A large
// batch (all the pages of a group falling due at once) is sorted in time linear in its size:
// an LSD radix sort over the integer keys (time, When, the service's rank among the batch's
// services, the name's two leading words), then the exact comparison only inside the runs
// that tie on all of them. The work arrays are kept for their capacity between sorts.
class QueueRowSorter {
public:
    // Below this a comparison sort is cheaper than clearing a radix pass's counts.
    static constexpr size_t kRadixThreshold = 256;
    void Sort(std::vector<QueueRow>& rows);

private:
    struct Key {
        uint64_t head0, head1;
        uint32_t time, when, service, index;
    };
    void RankServices(const std::vector<QueueRow>& rows);
    void RadixSortKeys();

    std::vector<Key> keys_, scratch_;
    std::vector<uint32_t> counts_;
    std::vector<std::string_view> serviceSlots_;
    std::vector<uint32_t> slotRanks_;
};

class OutgoingQueue {
public:
    // Borrows the OutgoingList, which owns its pages. With an empty path SaveQueue writes
    // nothing (benchmarks, tests of the rules alone).
    OutgoingQueue(CObList& outgoingList, const vorla::ISettingsStore& settings, const IClock& clock,
                  std::string queueFilePath);
    OutgoingQueue(const OutgoingQueue&) = delete;
    OutgoingQueue& operator=(const OutgoingQueue&) = delete;

    void SetObserver(IQueueObserver* observer) { observer_ = observer; }
    // What the commands call to start a run (the session driver's StartSending).
    void SetSendStarter(std::function<void()> startSending) { startSending_ = std::move(startSending); }

    CObList& List() { return list_; }
    size_t RowCount();
    CPage* RowAt(size_t row);
    const std::vector<QueueRow>& Rows();
    // The first row whose When is At, or -1.
    long FirstTimedRow();

    // Rebuilds every row from the list in list order, sorts, recomputes FirstTimedRow.
    void Refresh();
    // The first row's page if its When is Now; else null.
    CPage* GetNextPage();
    // Gives the given status (no text, code 0) to every Now page at the head of the rows that
    // is not being sent; returns how many Now pages head the rows.
    int32_t MarkNowPages(int32_t status);
    // Row operations of the outgoing window: the page itself is the caller's business.
    void RemoveFirstRow();
    void InsertRow(CPage* page);
    // Puts every row in queue order again after a page's When or time changed.
    void Sort();
    // A page's status or text changed (not its place): the rows are shown again.
    void Repaint() { Changed(); }

    // At pages whose time has come become Now; when any did, the queue is saved and a run
    // started. Returns whether any page became due.
    bool DueCheck();
    // Every Later page becomes Now and a run starts; with none the user is told so. Returns
    // whether any page changed.
    bool SendLaterItems();
    // The selected rows (indices into Rows) become Now with the "ResendTimes" allowance.
    void SendSelected(std::vector<size_t> rows);
    // Asks, then deletes the selected rows' pages, refusing pages being sent.
    void DeleteSelected(std::vector<size_t> rows);
    // After a run, for the failed pages the predicate picks: resend later while the
    // allowance lasts, else keep as Never ("RememberFailed") or delete.
    void ApplyEndOfRunRules(const std::function<bool(const CPage*)>& failedInThisRun);

    // Writes "Outgoing.vlg" atomically (no file for an empty queue). On failure the user is
    // told why and the queue stays in memory.
    bool SaveQueue();
    // The same without telling anyone: the text for the user when it failed, else nothing.
    std::optional<std::string> WriteQueueFile();

    // Appends a page to the list, which owns it from now on.
    void AppendPage(CPage* page);
    // Removes a page for good: its row, its list entry, its share of the message, the page.
    void DiscardPage(CPage* page);
    // The same for many pages at once, in one pass over the rows and the list.
    void DiscardPages(const std::unordered_set<CPage*>& pages);
    // Whether a page for a subscriber of this name with this message is queued.
    bool HasPageFor(std::string_view subscriberName, const CPagerMessage* message);

private:
    void EnsureRows();
    void RebuildRows();
    QueueRow MakeRow(CPage* page);
    void IndexMessage(const CPagerMessage* message);
    void Unindex(const CPage* page);
    void FindFirstTimedRow();
    // Puts the rows whose page changed its time or When back in order; the others keep their
    // places, so a sort costs a pass plus sorting only what moved.
    void SortRows();
    // Sorts moved_ and merges it into the first `kept` rows, which are in order.
    void PlaceMovedRows(size_t kept);
    void Changed();
    void StartSending();

    CObList& list_;
    const vorla::ISettingsStore& settings_;
    const IClock& clock_;
    std::string queueFilePath_;
    IQueueObserver* observer_ = nullptr;
    std::function<void()> startSending_;
    std::vector<QueueRow> rows_;
    std::vector<QueueRow> moved_, merged_;  // SortRows' work arrays, kept for their capacity
    QueueRowSorter sorter_;
    // The subscriber names the rows point into; a deque, so adding a name moves no other.
    std::deque<std::string> subscriberNames_;
    std::unordered_set<std::string> serviceNames_;  // nodes: their strings never move
    const std::string* lastServiceName_ = nullptr;
    bool rowsStale_ = true;
    long firstTimedRow_ = -1;
    // The subscriber names of the queued pages of one message (the one being queued), with how
    // many pages each has, so queueing a message to a large group stays linear. Made by a scan
    // of the list when another message is asked about, kept up to date by AppendPage and
    // DiscardPage, dropped by Refresh (the list may have changed behind the queue's back).
    const CPagerMessage* indexedMessage_ = nullptr;
    bool indexValid_ = false;
    std::unordered_map<std::string, int> indexedNames_;
};
