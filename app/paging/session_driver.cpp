#include "paging/session_driver.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>

#include "archive/ob_list.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/driver_observer.h"
#include "paging/log_object.h"
#include "paging/message_log.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_clock.h"
#include "paging/paging_files.h"
#include "paging/paging_texts.h"
#include "paging/script_engine.h"
#include "settings/program_directory.h"
#include "settings/settings_keys.h"

namespace {

constexpr size_t kMaxVariableText = 255;

const CService* ServiceOf(const CPage& page) {
    const CSubscriber* subscriber = page.GetSubscriber();
    return subscriber ? subscriber->GetService() : nullptr;
}

std::string ServiceNameOf(const CPage& page) {
    const CService* service = ServiceOf(page);
    return service ? service->GetName() : std::string();
}

std::string SubscriberNameOf(const CPage& page) {
    const CSubscriber* subscriber = page.GetSubscriber();
    return subscriber ? subscriber->GetName() : std::string();
}

const std::string& MessageTextOf(const CPage& page) {
    static const std::string kNone;
    const CPagerMessage* message = page.GetMessage();
    return message ? message->GetText() : kNone;
}

// The part of the message that the page's current pager page carries (ChunkSize characters
// from its start, fewer at the end).
std::string PagerPageText(const CPage& page) {
    const std::string& text = MessageTextOf(page);
    const size_t chunk = static_cast<size_t>(std::max(0, page.GetChunkSize()));
    const size_t offset = chunk * static_cast<size_t>(std::max(0, page.GetPageNumber() - 1));
    return offset < text.size() ? text.substr(offset, chunk) : std::string();
}

const char* HandshakeText(int32_t handshake) {
    switch (handshake) {
        case 1:
        case 3:
            return "HW";
        case 2:
            return "SW";
        default:
            return "NONE";
    }
}

}  // namespace

SessionDriver::SessionDriver(OutgoingQueue& queue, MessageLog& log, IScriptEngine& engine,
                             const vorla::ISettingsStore& settings, const IClock& clock,
                             const vorla::ProgramDirectory& home)
    : queue_(queue),
      log_(log),
      engine_(engine),
      settings_(settings),
      clock_(clock),
      home_(home),
      engineWindow_(this) {}

SessionDriver::~SessionDriver() {
    DestroyHandle();
}

void SessionDriver::StartSending() {
    if (observer_) observer_->OnSendingStarted();
    numberPages_ = queue_.MarkNowPages(kStatusPending);
    if (state_ == kIdle) {
        currentService_.clear();
        errorFlag_ = 0;
        statusLine_.clear();
        failedThisRun_.clear();
        currentPage_ = nullptr;
        saveFailureReported_ = false;
        state_ = kBeginPage;
    }
    if (observer_) observer_->OnIdleWorkWanted();
}

void SessionDriver::CancelSending() {
    if (state_ <= kIdle) return;
    statusLine_ = std::string(paging_texts::kUserCancel);
    errorFlag_ = 1;
    const uint32_t now = clock_.Now();
    // Copied first: logging reaches the windows, which may look at the list.
    std::vector<CPage*> pages;
    for (Serializable* object : queue_.List()) {
        CPage* page = As<CPage>(object);
        if (page && page->GetWhen() == kWhenNow &&
            (page->GetStatus() == kStatusSending || page->GetStatus() == kStatusPending)) {
            pages.push_back(page);
        }
    }
    for (CPage* page : pages) {
        page->SetStatus(kStatusFailed, std::string(paging_texts::kUserCancel), 0);
        page->SetWhen(kWhenNever);
        page->SetResendTimes(0);
        failedThisRun_.insert(page);
        LogPage(*page, std::string(paging_texts::kUserCancel), MessageTextOf(*page), kScriptCancelled, now);
    }
    currentPage_ = nullptr;
    queue_.Refresh();
    SaveQueue();
    state_ = kStartCancel;
    if (observer_) observer_->OnIdleWorkWanted();
}

void SessionDriver::StopSending() {
    if (state_ <= kIdle) return;
    stopping_ = true;
    // A run that is ending, or a cancel already under way, has nothing left to put back.
    if (state_ == kFinish || state_ >= kStartCancel) return;
    statusLine_ = std::string(paging_texts::kSendingStopped);
    errorFlag_ = 1;
    for (Serializable* object : queue_.List()) {
        CPage* page = As<CPage>(object);
        if (!page || page->GetWhen() != kWhenNow ||
            (page->GetStatus() != kStatusSending && page->GetStatus() != kStatusPending)) {
            continue;
        }
        // A page part-way through its blocks starts again from its first one next time.
        page->SetBlockIndex(0);
        if (!page->PutBackAsDue()) page->SetStatus(kStatusPending, std::string(), 0);
    }
    currentPage_ = nullptr;
    queue_.Refresh();
    SaveQueue();
    state_ = kStartCancel;
    if (observer_) observer_->OnIdleWorkWanted();
}

bool SessionDriver::OnIdle() {
    if (state_ == kIdle) return false;
    if (inIdle_) return true;
    inIdle_ = true;
    switch (state_) {
        case kBeginPage:
            BeginPage();
            break;
        case kStartConnect:
            StartConnect();
            break;
        case kWaitConnect:
            WaitConnect();
            break;
        case kCheckConnect:
            CheckConnect();
            break;
        case kStartSendPage:
            StartSendPage();
            break;
        case kWaitSendPage:
            WaitSendPage();
            break;
        case kCheckSendPage:
            CheckSendPage();
            break;
        case kStartDisconnect:
            StartDisconnect();
            break;
        case kWaitDisconnect:
            WaitDisconnect();
            break;
        case kCheckDisconnect:
            CheckDisconnect();
            break;
        case kFinish:
            Finish();
            break;
        case kStartCancel:
            StartCancel();
            break;
        case kWaitCancel:
            WaitCancel();
            break;
        default:
            state_ = kFinish;
            break;  // never left in a state nobody handles
    }
    if (handle_) engine_.DoIdle(handle_);
    inIdle_ = false;
    return state_ != kIdle;
}

void SessionDriver::SetStatusText(const std::string& text) {
    if (observer_) observer_->OnStatusLine(text);
}

void SessionDriver::SetVariable(const char* name, const std::string& value) {
    if (!handle_) return;
    // The engine cuts at 255 characters too; cutting here keeps both sides the same.
    const std::string cut = value.substr(0, kMaxVariableText);
    engine_.Set(handle_, name, cut.c_str());  // an empty value is refused by the engine: ignored
}

void SessionDriver::SetConnectionVariables(const CPage& page) {
    const CService* service = ServiceOf(page);
    ServiceFields f = service ? service->GetAll() : ServiceFields{};
    SetVariable("serviceName", f.name);
    SetVariable("prefix",
                f.useDialPrefix != 0 ? ReadSetting(settings_, vorla::setting::kDialPrefix) : std::string());
    SetVariable("serviceNumber", f.accessNumber);
    SetVariable("password", f.password);
    SetVariable("dialMode", f.dialMode == 1 ? "ATDP" : "ATDT");
    SetVariable("port", f.permanentLineID != 0 ? std::to_string(f.permanentLineID) : f.port);
    SetVariable("modemName", f.modemName);
    SetVariable("modemString", f.modemInit);
    SetVariable("baudRate", std::to_string(f.baudRate));
    const char* comm = f.parity == 0 ? "n,8,1" : (f.parity == 2 ? "o,7,1" : "e,7,1");
    SetVariable("dataBits", std::string(1, comm[2]));
    SetVariable("parity", comm[0] == 'n' ? "None" : (comm[0] == 'o' ? "Odd" : "Even"));
    SetVariable("stopBits", std::string(1, comm[4]));
    SetVariable("handshake", HandshakeText(f.handshake));
    SetVariable("numberPages", std::to_string(numberPages_));
    SetVariable("permanentLineID", std::to_string(static_cast<uint32_t>(f.permanentLineID)));
}

void SessionDriver::SetPageVariables(CPage& page, const char* block, size_t length) {
    const std::string whole(block, length);
    const CSubscriber* subscriber = page.GetSubscriber();
    const std::string pin = subscriber ? subscriber->GetPIN() : std::string();
    // The data part: without STX (and the PIN field on a transaction's first block), and
    // without the terminator, the checksum and the CR.
    const size_t head = page.GetBlockIndex() == 0 ? pin.size() + 2 : 1;
    const size_t tail = 5;
    const std::string data = length > head + tail ? whole.substr(head, length - head - tail) : std::string();
    SetVariable("pageBlock", whole);
    SetVariable("message", data);
    SetVariable("currentPageNumber", std::to_string(page.GetPageNumber()));
    SetVariable("totalPages", std::to_string(page.GetPageCount()));
    SetVariable("pagerName", SubscriberNameOf(page));
    SetVariable("pagerNumber", pin);
    // For scripts that send a pager page as one text rather than TAP blocks (SNPP): the whole
    // text of the pager page this block belongs to, and whether this block ends it.
    SetVariable("pageText", PagerPageText(page));
    const int32_t blocksPerPage = std::max(1, page.GetBlocksPerPage());
    SetVariable("pageEnds", (page.GetBlockIndex() + 1) % blocksPerPage == 0 ? "1" : "0");
}

void SessionDriver::LogPage(const CPage& page, std::string status, std::string message, int32_t code,
                            uint32_t time) {
    auto record = std::make_unique<CLogObject>(time, SubscriberNameOf(page), std::move(status),
                                               std::move(message), code);
    const CLogObject& kept = log_.Add(std::move(record));
    if (observer_) observer_->OnLogRecord(kept);
}

void SessionDriver::ReadError() {
    if (!handle_) {
        errorCode_ = kScriptInitFailed;
        errorText_ = std::string(paging_texts::kInitFailed);
        return;
    }
    engine_.GetError(handle_, errorCode_, errorText_);
}

void SessionDriver::FailPage(CPage& page, const std::string& text, int32_t statusCode) {
    page.SetStatus(kStatusFailed, text, statusCode);
    page.SetWhen(kWhenNever);
    failedThisRun_.insert(&page);
    if (&page == currentPage_) currentPage_ = nullptr;
}

bool SessionDriver::FailServicePages(const std::string& text, int32_t code, int32_t statusCode) {
    std::vector<CPage*> pages;
    for (Serializable* object : queue_.List()) {
        CPage* page = As<CPage>(object);
        if (page && page->GetWhen() == kWhenNow &&
            (page->GetStatus() == kStatusSending || page->GetStatus() == kStatusPending) &&
            ServiceNameOf(*page) == currentService_) {
            pages.push_back(page);
        }
    }
    const uint32_t now = clock_.Now();
    for (CPage* page : pages) {
        FailPage(*page, text, statusCode);
        LogPage(*page, text, MessageTextOf(*page), code, now);
    }
    if (!pages.empty()) {
        queue_.Refresh();
        SaveQueue();
    }
    return !pages.empty();
}

void SessionDriver::SaveQueue() {
    // The log window file first: a page leaves the queue file only after its records reached
    // the log window file, so a crash between the two sends it again rather than losing its
    // history. A log that cannot be written does not hold the queue back (that would page
    // people twice); it is told as a queue failure is.
    std::optional<std::string> failure;
    if (!log_.SaveLog()) failure = SaveFailureText(log_.LogWindowFilePath());
    if (std::optional<std::string> queueFailure = queue_.WriteQueueFile()) failure = std::move(queueFailure);
    if (!failure || saveFailureReported_) return;
    saveFailureReported_ = true;
    if (observer_) observer_->OnQueueSaveFailed(*failure);
}

bool SessionDriver::NextPageIsCurrentService() {
    const CPage* next = queue_.GetNextPage();
    return next && ServiceNameOf(*next) == currentService_;
}

std::string SessionDriver::ScriptPathFor(const std::string& scriptFile) const {
    if (scriptFile.empty()) return std::string();
    // The name comes from the directory file: it is looked up inside the program directory
    // only (no absolute paths, no ".."), without regard to case.
    const std::string relative = "rklfiles/" + scriptFile;
    if (auto found = home_.FindDataFile(relative)) return found->string();
    if (auto path = home_.DataFilePath(relative)) return path->string();
    return std::string();
}

void SessionDriver::DestroyHandle() {
    if (handle_) engine_.Destroy(handle_);
    handle_ = nullptr;
    connected_ = false;
    needsHangUp_ = false;
}

void SessionDriver::BeginPage() {
    CPage* page = stopping_ ? nullptr : queue_.GetNextPage();
    if (!page) {
        // Nothing (left) to send: still finish, so whoever waits for the end hears of it.
        state_ = kFinish;
        return;
    }
    page->Reset();
    page->SetStatus(kStatusSending, std::string(), 0);
    currentPage_ = page;
    queue_.Repaint();
    const std::string service = ServiceNameOf(*page);
    if (service == currentService_ && connected_ && handle_) {
        state_ = kStartSendPage;
        return;
    }
    currentService_ = service;
    queue_.Refresh();
    const CService* record = ServiceOf(*page);
    const std::string path = ScriptPathFor(record ? record->GetScriptFile() : std::string());
    DestroyHandle();
    handle_ = engine_.Init(path, engineWindow_, engineWindow_);
    if (!handle_) {
        SetStatusText(std::string(paging_texts::kInitFailed));
    } else {
        SetConnectionVariables(*page);
    }
    state_ = kStartConnect;
}

void SessionDriver::StartConnect() {
    if (!handle_) {
        // No engine to ask: the session fails like a CONNECT that failed.
        state_ = kCheckConnect;
        return;
    }
    needsHangUp_ = true;
    engine_.Run(handle_, "CONNECT");
    state_ = kWaitConnect;
}

void SessionDriver::WaitConnect() {
    if (!handle_ || engine_.Done(handle_)) state_ = kCheckConnect;
}

void SessionDriver::CheckConnect() {
    ReadError();
    if (errorCode_ == 0) {
        SetStatusText(errorText_);
        connected_ = true;
        state_ = kStartSendPage;
        return;
    }
    errorFlag_ = 1;
    statusLine_ = errorText_;
    connected_ = false;
    needsHangUp_ = false;
    FailServicePages(errorText_, errorCode_, errorCode_);
    currentPage_ = nullptr;
    state_ = queue_.GetNextPage() ? kBeginPage : kFinish;
}

CPage* SessionDriver::PageToSend() {
    // A message split into several blocks is finished before anything else goes: a page that
    // came to the head meanwhile (a Send, Send Selected or a due page) waits for it. Starting
    // the interrupted one again later would send its first pager pages twice.
    if (currentPage_ && currentPage_->GetBlockIndex() > 0 &&
        currentPage_->GetBlockIndex() < currentPage_->GetTotalBlocks() &&
        currentPage_->GetWhen() == kWhenNow && currentPage_->GetStatus() == kStatusSending) {
        return currentPage_;
    }
    return queue_.GetNextPage();
}

void SessionDriver::StartSendPage() {
    CPage* page = PageToSend();
    // A page of another service may have come to the head meanwhile (a due page): it needs
    // its own session, never this service's connection.
    if (!page || !handle_ || !connected_ || ServiceNameOf(*page) != currentService_) {
        state_ = kStartDisconnect;
        return;
    }
    if (page != currentPage_) {
        // A page starts at its first block, wherever an earlier attempt (an earlier run) stopped.
        page->Reset();
        currentPage_ = page;
    }
    page->SetStatus(kStatusSending, std::string(), 0);
    queue_.Repaint();
    char block[512] = {};
    const size_t length = page->BuildBlock(block);
    if (length == 0) {
        // A page without blocks (an empty message from an old file) has nothing to send.
        const uint32_t now = clock_.Now();
        errorFlag_ = 1;
        statusLine_ = std::string(paging_texts::kNothingToSend);
        FailPage(*page, statusLine_, 0);
        LogPage(*page, statusLine_, MessageTextOf(*page), kScriptPageRefused, now);
        queue_.Sort();
        SaveQueue();
        state_ = NextPageIsCurrentService() ? kStartSendPage : kStartDisconnect;
        return;
    }
    SetPageVariables(*page, block, length);
    if (engine_.TakesWholePages(handle_)) engine_.SetPageText(handle_, MessageTextOf(*page));
    engine_.Run(handle_, "SEND_PAGE");
    state_ = kWaitSendPage;
}

void SessionDriver::WaitSendPage() {
    if (!handle_ || engine_.Done(handle_)) state_ = kCheckSendPage;
}

void SessionDriver::CheckSendPage() {
    ReadError();
    CPage* page = currentPage_;
    if (!page) {
        state_ = kStartDisconnect;
        return;
    }
    const uint32_t now = clock_.Now();
    if (errorCode_ != 0 && errorCode_ != kScriptPageRefused) {
        // The connection broke: every page of this service that still waits fails with it.
        errorFlag_ = 1;
        statusLine_ = errorText_;
        connected_ = false;
        FailServicePages(errorText_, errorCode_, 0);
        currentPage_ = nullptr;
        state_ = queue_.GetNextPage() ? kBeginPage : kStartDisconnect;
        return;
    }
    SetStatusText(errorText_);
    state_ = kStartDisconnect;
    if (errorCode_ == kScriptPageRefused) {
        LogPage(*page, errorText_, MessageTextOf(*page), errorCode_, now);
        errorFlag_ = 1;
        statusLine_ = errorText_;
        FailPage(*page, errorText_, 0);
        queue_.Sort();
        SaveQueue();
        if (!queue_.List().IsEmpty() && NextPageIsCurrentService()) state_ = kStartSendPage;
        return;
    }
    if (engine_.TakesWholePages(handle_)) {
        // The whole text went in one piece: the page is complete, with no split parts to log.
        page->AdvanceBlock(page->GetTotalBlocks() - page->GetBlockIndex());
    } else {
        const int32_t blocksPerPage = std::max(1, page->GetBlocksPerPage());
        if ((page->GetBlockIndex() + 1) % blocksPerPage == 0 && page->GetPageCount() > 1) {
            char status[64];
            std::snprintf(status, sizeof status, paging_texts::kMessageSplitFormat, page->GetPageNumber(),
                          page->GetPageCount());
            LogPage(*page, status, PagerPageText(*page), 0, now);
        }
        page->AdvanceBlock(1);
    }
    if (page->GetBlockIndex() < page->GetTotalBlocks()) {
        state_ = kStartSendPage;
        return;
    }
    // Logged before it leaves the queue file: a crash in between sends it again rather than
    // losing it.
    LogPage(*page, std::string(paging_texts::kMessageSent), MessageTextOf(*page), 0, now + 1);
    currentPage_ = nullptr;
    queue_.DiscardPage(page);
    SaveQueue();
    if (!queue_.List().IsEmpty() && NextPageIsCurrentService()) state_ = kStartSendPage;
}

void SessionDriver::StartDisconnect() {
    if (!handle_) {
        state_ = kFinish;
        return;
    }
    connected_ = false;
    engine_.Run(handle_, "DISCONNECT");
    state_ = kWaitDisconnect;
}

void SessionDriver::WaitDisconnect() {
    if (!handle_ || engine_.Done(handle_)) state_ = kCheckDisconnect;
}

void SessionDriver::CheckDisconnect() {
    ReadError();
    SetStatusText(errorText_);
    needsHangUp_ = false;
    if (errorFlag_ == 0) statusLine_ = std::string(paging_texts::kMessageSent);
    if (errorCode_ != 0) {
        // The pages of this session are already sent or failed; a failed hang-up is reported
        // but does not fail the next service's page, which was never tried.
        errorFlag_ = 1;
        statusLine_ = errorText_;
    }
    state_ = !stopping_ && queue_.GetNextPage() ? kBeginPage : kFinish;
}

void SessionDriver::Finish() {
    queue_.ApplyEndOfRunRules([this](const CPage* page) { return failedThisRun_.count(page) != 0; });
    queue_.Refresh();
    // Saved before anyone hears that the run is over, so nothing is lost if that listener ends
    // the process.
    SaveQueue();
    DestroyHandle();
    currentService_.clear();
    currentPage_ = nullptr;
    failedThisRun_.clear();
    stopping_ = false;
    state_ = kIdle;
    if (!statusLine_.empty()) SetStatusText(statusLine_);
    if (observer_) observer_->OnSendingFinished();
}

void SessionDriver::StartCancel() {
    if (!handle_ || !needsHangUp_) {
        // No session to close (none yet, or its line is already down).
        state_ = kFinish;
        return;
    }
    engine_.Cancel(handle_);
    state_ = kWaitCancel;
}

void SessionDriver::WaitCancel() {
    ReadError();
    // An entry that ends some other way (it held off the cancel and then exited) is over too;
    // waiting for a -2 that can no longer come would spin for ever.
    if (errorCode_ == kScriptCancelled || !handle_ || engine_.Done(handle_)) state_ = kStartDisconnect;
}
