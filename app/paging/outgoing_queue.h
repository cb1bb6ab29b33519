#pragma once
// The outgoing queue: the OutgoingList's pages as rows in the one order they are shown and
// sent in, and the rules that move pages between Now, Later, At and Never.
//
// The rows are a model the outgoing window shows without copying: RowCount/RowAt in queue
// order. Pages belong to the OutgoingList; the rows only point at them. Pages appended with
// AppendPage get their rows at the next look at the rows, so queueing a message to a large
// group sorts once, not once per page.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "settings_store.h"

class CObList;
class CPage;
class CPagerMessage;
class IClock;
class IQueueObserver;

// One row: the page and the keys it sorts by. The names are cached because a subscriber
// hands its name out by value, and sorting must not allocate per comparison.
// The keys are copied into the row so that sorting a large queue reads one array instead of
// chasing every page (and its service copy) through memory at each comparison.
struct QueueRow {
  CPage* page = nullptr;
  uint32_t time = 0;  // refreshed from the page before every sort
  int32_t when = 0;   // likewise
  std::string serviceName;
  std::string subscriberName;
  std::string_view messageText;  // into the shared message
};

// Queue order: scheduled time (0 when none), When, service name, subscriber name, message
// text; smaller first.
bool QueueRowLess(const QueueRow& a, const QueueRow& b);
QueueRow MakeQueueRow(CPage* page);

class OutgoingQueue {
 public:
  // Borrows the OutgoingList, which owns its pages. With an empty path SaveQueue writes
  // nothing (benchmarks, tests of the rules alone).
  OutgoingQueue(CObList& outgoingList, const vorla::ISettingsStore& settings,
                const IClock& clock, std::string queueFilePath);
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

  // Appends a page to the list, which owns it from now on.
  void AppendPage(CPage* page);
  // Removes a page for good: its row, its list entry, its share of the message, the page.
  void DiscardPage(CPage* page);
  // Whether a page for a subscriber of this name with this message is queued.
  bool HasPageFor(std::string_view subscriberName, const CPagerMessage* message);

 private:
  struct PageKey {
    const CPagerMessage* message;
    std::string name;
    bool operator==(const PageKey&) const = default;
  };
  struct PageKeyHash {
    size_t operator()(const PageKey& key) const;
  };

  void EnsureRows();
  void RebuildRows();
  void BuildIndex();
  void FindFirstTimedRow();
  void SortRows();
  void Changed();
  void StartSending();
  static PageKey KeyOf(const CPage* page);

  CObList& list_;
  const vorla::ISettingsStore& settings_;
  const IClock& clock_;
  std::string queueFilePath_;
  IQueueObserver* observer_ = nullptr;
  std::function<void()> startSending_;
  std::vector<QueueRow> rows_;
  bool rowsStale_ = true;
  long firstTimedRow_ = -1;
  // Pages by (message, subscriber name), so queueing to a large group stays linear. Built at
  // the first question and kept up to date from then on.
  std::unordered_multiset<PageKey, PageKeyHash> queued_;
  bool indexBuilt_ = false;
};
