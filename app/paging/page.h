#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "archive/serializable.h"

class CPagerMessage;
class CSubscriber;

// Timing kinds and statuses of a page.
enum PageWhen : int32_t { kWhenNow = 0, kWhenLater = 1, kWhenAt = 2, kWhenNever = 3 };
enum PageStatus : int32_t {
    kStatusWaiting = 0,
    kStatusSending = 1,
    kStatusPending = 2,
    kStatusAwaitingTime = 3,
    kStatusFailed = 4,
};

// Longest transmission block BuildBlock writes: STX, 249 characters, terminator, three
// checksum digits, CR.
inline constexpr size_t kMaxBlockLength = 255;

// The resend allowance of a new page from the "Resend" and "ResendTimes" preferences.
int32_t ResendAllowance(bool resend, int32_t resendTimes);

// The numbers a page saves, exactly as stored (for tools that show or rebuild a file).
struct PageStoredFields {
    int32_t messageLength = 0;
    int32_t pageIndex = 0;
    int32_t transactionLength = 0;
    int32_t pinLength = 0;
    int32_t totalBlocks = 0;
    int32_t blockIndex = 0;
    int32_t started = 0;
    int32_t status = 0;
    std::string statusText;
    int32_t when = 0;
    int32_t chunkSize = 0;
    int32_t pageCount = 0;
    int32_t blocksPerPage = 0;
    std::optional<uint32_t> scheduledTime;
    int32_t resendTimesLeft = 0;
    int32_t statusCode = 0;
};

// One outgoing item: one message for one subscriber, with its schedule, send status and the
// geometry that cuts the message into pager pages and each page into transmission blocks.
class CPage : public Serializable {
public:
    static const ClassInfo kClass;

    // For the loader.
    CPage();
    // Takes the subscriber copy (and its detached service); the caller sets Status and calls
    // AddRef on the message. An empty message gets no pages and no blocks.
    CPage(CPagerMessage* message, std::unique_ptr<CSubscriber> subscriberCopy, int32_t when,
          std::optional<uint32_t> scheduledTime, int32_t resendTimesLeft);
    ~CPage() override;

    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;
    void ListOwned(OwnedRefs& refs) const override;
    void ForgetOwned() override;
    bool LinksWellTyped() const override;
    // Gives the page's share of the message back, so the last page frees it. Drop a page for
    // good either with DiscardRecord (which calls this) or with Release + delete, not both.
    void OnDiscard() override;

    // Starts a send attempt over: first page, first block, Started 1, no error text.
    void Reset();
    int32_t GetTotalBlocks() const { return totalBlocks_; }
    int32_t GetBlockIndex() const { return blockIndex_; }
    int32_t GetBlocksPerPage() const { return blocksPerPage_; }
    const std::string& GetStatusText() const { return statusText_; }
    void SetStatus(int32_t status, std::string text, int32_t code);
    int32_t GetStatus() const { return status_; }
    int32_t GetStatusCode() const { return statusCode_; }
    void SetWhen(int32_t when) { when_ = when; }
    int32_t GetWhen() const { return when_; }
    CPagerMessage* GetMessage() const { return message_; }
    int32_t GetChunkSize() const { return chunkSize_; }
    CSubscriber* GetSubscriber() const { return subscriber_; }
    // Any new time (or none) ends what the page remembers of an earlier At time.
    void SetScheduledTime(std::optional<uint32_t> time) {
        scheduledTime_ = time;
        dueFrom_.reset();
    }
    std::optional<uint32_t> GetScheduledTime() const { return scheduledTime_; }
    void AdvanceBlock(int32_t n) { blockIndex_ += n; }
    void RewindBlock(int32_t n) { blockIndex_ -= n; }
    void SetBlockIndex(int32_t index) { blockIndex_ = index; }
    // Builds the block for the current BlockIndex into `buffer` (at least kMaxBlockLength
    // bytes) and returns its length, 0 past the last block. Sets PageIndex.
    size_t BuildBlock(char* buffer);
    void SetResendTimes(int32_t times) { resendTimesLeft_ = times; }
    int32_t GetResendTimes() const { return resendTimesLeft_; }
    void CountResend();
    int32_t GetMessageLength() const { return messageLength_; }
    void SetStarted(int32_t started) { started_ = started; }
    int32_t GetStarted() const { return started_; }
    int32_t GetPageNumber() const { return pageIndex_ + 1; }
    int32_t GetPageCount() const { return pageCount_; }
    int32_t GetPageIndex() const { return pageIndex_; }
    int32_t GetTransactionLength() const { return transactionLength_; }
    int32_t GetPinLength() const { return pinLength_; }

    // In memory only: how an At page stood before its time came and it became Now, so a run
    // stopped before sending it (a shutdown, not the user's Cancel) can put it back as it was.
    struct DueFrom {
        uint32_t time = 0;
        int32_t status = 0;
        std::string statusText;
        int32_t statusCode = 0;
    };
    // Makes the due At page Now and remembers how it stood.
    void MakeDue();
    // Back to At with its time, status and text, when MakeDue made it Now; returns whether it did.
    bool PutBackAsDue();

    PageStoredFields GetStoredFields() const;
    void SetStoredFields(const PageStoredFields& fields);
    // For tools assembling a page from its parts: the message is shared (the caller keeps its
    // RefCount right), the subscriber copy and its service become the page's.
    void SetMessage(CPagerMessage* message) { message_ = message; }
    void SetSubscriber(CSubscriber* subscriberCopy) { subscriber_ = subscriberCopy; }

private:
    void ComputeGeometry();

    CPagerMessage* message_ = nullptr;   // shared, counted in its RefCount
    CSubscriber* subscriber_ = nullptr;  // owned copy; its detached service is owned too
    std::optional<uint32_t> scheduledTime_;
    int32_t when_ = 0;
    int32_t resendTimesLeft_ = 0;
    int32_t messageLength_ = 0;
    int32_t chunkSize_ = 0;
    int32_t pageCount_ = 0;
    int32_t pageIndex_ = 0;
    int32_t transactionLength_ = 0;
    int32_t blocksPerPage_ = 0;
    int32_t pinLength_ = 0;
    int32_t totalBlocks_ = 0;
    int32_t blockIndex_ = 0;
    int32_t started_ = 0;
    int32_t status_ = 0;
    int32_t statusCode_ = 0;
    std::string statusText_;
    std::optional<DueFrom> dueFrom_;
};
