#pragma once
// Re-sending log records: each record's message goes out again, as a new page timed "now",
// to the directory subscriber of the record's name.

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

class CLogObject;
class CObList;
class OutgoingQueue;

namespace vorla {
class ISettingsStore;
}

struct ResendResult {
    int queued = 0;   // pages added to the queue
    int missing = 0;  // records whose subscriber is not in the directory
};

// For each record in order: a record whose Name names a directory subscriber gets a new page
// (When At, status Waiting, scheduled now, so the next due check sends it); one whose
// subscriber is gone makes `cannotResend` ask (OK/Cancel) and queues nothing. Cancel stops
// the remaining records. The queue is refreshed and saved when any page was added.
ResendResult ResendLogRecords(const std::vector<const CLogObject*>& records, const CObList& subscribers,
                              OutgoingQueue& queue, const vorla::ISettingsStore& settings, uint32_t now,
                              const std::function<bool(const QString&)>& cannotResend);
