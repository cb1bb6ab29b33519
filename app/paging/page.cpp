#include "paging/page.h"

#include <algorithm>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/pager_message.h"

namespace {

constexpr char kSTX = 0x02;
constexpr char kETX = 0x03;
constexpr char kCR = 0x0D;
constexpr char kETB = 0x17;
constexpr char kUS = 0x1F;
constexpr int64_t kBlockWindow = 249;  // characters between STX and the terminator

int32_t ClampToInt32(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

const ClassInfo CPage::kClass = {"CPage", 0, false, [] { return std::unique_ptr<Serializable>(new CPage); },
                                 nullptr};

int32_t ResendAllowance(bool resend, int32_t resendTimes) {
    if (!resend) return 0;
    return resendTimes > 0 ? resendTimes + 1 : resendTimes;
}

CPage::CPage() = default;

CPage::CPage(CPagerMessage* message, std::unique_ptr<CSubscriber> subscriberCopy, int32_t when,
             std::optional<uint32_t> scheduledTime, int32_t resendTimesLeft)
    : message_(message),
      subscriber_(subscriberCopy.release()),
      scheduledTime_(scheduledTime),
      when_(when),
      resendTimesLeft_(resendTimesLeft) {
    ComputeGeometry();
}

CPage::~CPage() {
    if (message_ && message_->GetRefCount() == 0) delete message_;
    if (subscriber_) delete subscriber_->GetService();
    delete subscriber_;
}

void CPage::ComputeGeometry() {
    const int64_t length = message_ ? message_->GetLength() : 0;
    // A maximum length of 0 (or nonsense below it) means the pager takes the whole message.
    const int64_t maxLength = subscriber_ ? std::max(0, subscriber_->GetMaxLengthNumber()) : 0;
    const int64_t pinLength = subscriber_ ? static_cast<int64_t>(subscriber_->GetPIN().size()) : 0;
    int64_t chunk = std::min(maxLength, length);
    if (chunk <= 0) chunk = length;
    int64_t pages = chunk > 0 ? (length + chunk - 1) / chunk : 0;  // an empty message: no pages
    int64_t transaction = chunk + pinLength + 2;
    int64_t blocksPerPage = (transaction + kBlockWindow - 1) / kBlockWindow;
    chunkSize_ = ClampToInt32(chunk);
    pageCount_ = ClampToInt32(pages);
    transactionLength_ = ClampToInt32(transaction);
    blocksPerPage_ = ClampToInt32(blocksPerPage);
    totalBlocks_ = ClampToInt32(pages * blocksPerPage);
    pageIndex_ = 0;
    blockIndex_ = 0;
    pinLength_ = ClampToInt32(pinLength);
    messageLength_ = ClampToInt32(length);
}

void CPage::Reset() {
    pageIndex_ = 0;
    blockIndex_ = 0;
    started_ = 1;
    statusText_.clear();
}

void CPage::MakeDue() {
    if (when_ != kWhenAt || !scheduledTime_) return;
    DueFrom from{*scheduledTime_, status_, statusText_, statusCode_};
    when_ = kWhenNow;
    SetScheduledTime(std::nullopt);
    dueFrom_ = std::move(from);
}

bool CPage::PutBackAsDue() {
    if (!dueFrom_) return false;
    DueFrom from = std::move(*dueFrom_);
    when_ = kWhenAt;
    SetScheduledTime(from.time);
    SetStatus(from.status, std::move(from.statusText), from.statusCode);
    return true;
}

void CPage::SetStatus(int32_t status, std::string text, int32_t code) {
    status_ = status;
    statusText_ = std::move(text);
    statusCode_ = code;
}

void CPage::CountResend() {
    if (resendTimesLeft_ > 0) --resendTimesLeft_;
}

size_t CPage::BuildBlock(char* buffer) {
    // The geometry may come from a file; every position is checked against the real text and
    // PIN, so inconsistent numbers give odd blocks, never reads outside them.
    if (blockIndex_ < 0 || blockIndex_ >= totalBlocks_ || blocksPerPage_ <= 0 || chunkSize_ <= 0) {
        return 0;
    }
    const int64_t page = blockIndex_ / blocksPerPage_;
    const int64_t blockInPage = blockIndex_ % blocksPerPage_;
    pageIndex_ = static_cast<int32_t>(page);

    const std::string empty;
    const std::string& text = message_ ? message_->GetText() : empty;
    const std::string pin = subscriber_ ? subscriber_->GetPIN() : std::string();
    const int64_t pinLength = std::clamp<int64_t>(pinLength_, 0, static_cast<int64_t>(pin.size()));
    const int64_t textStart = page * chunkSize_;
    const int64_t available =
        std::min<int64_t>(messageLength_, static_cast<int64_t>(text.size())) - textStart;
    const int64_t pageEnd = std::clamp<int64_t>(std::min<int64_t>(chunkSize_, available), 0, chunkSize_);

    int64_t pos = -pinLength - 1 + kBlockWindow * blockInPage;
    const int64_t limit = pos + kBlockWindow;
    size_t n = 0;
    buffer[n++] = kSTX;
    if (pos < -1) {
        int64_t end = std::min<int64_t>(limit, -1);
        for (; pos < end; ++pos)
            buffer[n++] = pin[static_cast<size_t>(pos + pinLength + 1)];
    }
    if (pos < limit && pos < 0) {
        buffer[n++] = kCR;
        ++pos;
    }
    if (pos < limit && pos < pageEnd) {
        int64_t end = std::min(limit, pageEnd);
        for (; pos < end; ++pos)
            buffer[n++] = text[static_cast<size_t>(textStart + pos)];
    }
    if (pos < limit && pos <= pageEnd) buffer[n++] = kCR;

    if ((blockIndex_ + 1) % blocksPerPage_ == 0) {
        buffer[n++] = kETX;
    } else {
        const bool textFieldClosed = buffer[n - 1] == kCR;
        buffer[n++] = textFieldClosed ? kETB : kUS;
    }
    int32_t sum = 0;
    for (size_t i = 0; i < n; ++i)
        sum += static_cast<signed char>(buffer[i]);
    buffer[n++] = static_cast<char>(((sum >> 8) & 0xF) | 0x30);
    buffer[n++] = static_cast<char>(((sum >> 4) & 0xF) | 0x30);
    buffer[n++] = static_cast<char>((sum & 0xF) | 0x30);
    buffer[n++] = kCR;
    return n;
}

void CPage::Serialize(ArchiveWriter& archive) const {
    archive.WriteInt(messageLength_);
    archive.WriteInt(pageIndex_);
    archive.WriteInt(transactionLength_);
    archive.WriteInt(pinLength_);
    archive.WriteInt(totalBlocks_);
    archive.WriteInt(blockIndex_);
    archive.WriteInt(started_);
    archive.WriteInt(status_);
    archive.WriteString(statusText_);
    archive.WriteInt(when_);
    // These two slots were always written as 0 and are skipped by readers that do not know
    // them, so files stay readable both ways; a page loaded from a file written without them
    // has no resends left, as before.
    archive.WriteInt(resendTimesLeft_);
    archive.WriteInt(statusCode_);
    archive.WriteInt(chunkSize_);
    archive.WriteInt(pageCount_);
    archive.WriteInt(blocksPerPage_);
    archive.WriteDword(0);
    archive.WriteObject(message_);
    archive.WriteObject(subscriber_);
    archive.WriteDword(scheduledTime_.value_or(0));
}

void CPage::Serialize(ArchiveReader& archive) {
    messageLength_ = archive.ReadInt();
    pageIndex_ = archive.ReadInt();
    transactionLength_ = archive.ReadInt();
    pinLength_ = archive.ReadInt();
    totalBlocks_ = archive.ReadInt();
    blockIndex_ = archive.ReadInt();
    started_ = archive.ReadInt();
    status_ = archive.ReadInt();
    statusText_ = archive.ReadString();
    when_ = archive.ReadInt();
    resendTimesLeft_ = archive.ReadInt();
    statusCode_ = archive.ReadInt();
    chunkSize_ = archive.ReadInt();
    pageCount_ = archive.ReadInt();
    blocksPerPage_ = archive.ReadInt();
    archive.ReadDword();
    message_ = archive.ReadObjectOf<CPagerMessage>();
    subscriber_ = archive.ReadObjectOf<CSubscriber>();
    uint32_t scheduled = archive.ReadDword();
    if (scheduled != 0) scheduledTime_ = scheduled;
}

void CPage::ListOwned(OwnedRefs& refs) const {
    refs.Shared(message_);
    refs.Sole(subscriber_);
    if (subscriber_) refs.Sole(subscriber_->GetService());
}

PageStoredFields CPage::GetStoredFields() const {
    return PageStoredFields{messageLength_, pageIndex_,     transactionLength_, pinLength_,
                            totalBlocks_,   blockIndex_,    started_,           status_,
                            statusText_,    when_,          chunkSize_,         pageCount_,
                            blocksPerPage_, scheduledTime_, resendTimesLeft_,   statusCode_};
}

void CPage::SetStoredFields(const PageStoredFields& f) {
    messageLength_ = f.messageLength;
    pageIndex_ = f.pageIndex;
    transactionLength_ = f.transactionLength;
    pinLength_ = f.pinLength;
    totalBlocks_ = f.totalBlocks;
    blockIndex_ = f.blockIndex;
    started_ = f.started;
    status_ = f.status;
    statusText_ = f.statusText;
    when_ = f.when;
    chunkSize_ = f.chunkSize;
    pageCount_ = f.pageCount;
    blocksPerPage_ = f.blocksPerPage;
    scheduledTime_ = f.scheduledTime;
    resendTimesLeft_ = f.resendTimesLeft;
    statusCode_ = f.statusCode;
}

bool CPage::LinksWellTyped() const {
    // Every page the program makes has both; the sending code relies on it.
    return message_ && subscriber_;
}

void CPage::ForgetOwned() {
    message_ = nullptr;
    subscriber_ = nullptr;
}

void CPage::OnDiscard() {
    if (message_) message_->Release();
}
