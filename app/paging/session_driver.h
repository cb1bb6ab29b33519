#pragma once
// The paging session driver: sends the queue's Now pages through the script engine, one
// session (CONNECT, SEND_PAGE per block, DISCONNECT) per run of pages of one service.
//
// It never blocks: OnIdle advances the state machine by one step and then lets the engine
// run one script line; the engine does its waiting inside that line. The windows are
// reached only through IDriverObserver; time, settings and the engine are injected.

#include <cstdint>
#include <string>
#include <unordered_set>

#include "rkl32.h"
#include "settings/settings_store.h"

class CLogObject;
class CPage;
class IClock;
class IDriverObserver;
class IScriptEngine;
class MessageLog;
class OutgoingQueue;

namespace vorla {
class ProgramDirectory;
}

class SessionDriver {
public:
    // States; 1 is idle.
    enum State : int32_t {
        kIdle = 1,
        kBeginPage = 2,
        kStartConnect = 3,
        kWaitConnect = 4,
        kCheckConnect = 5,
        kStartSendPage = 6,
        kWaitSendPage = 7,
        kCheckSendPage = 8,
        kStartDisconnect = 9,
        kWaitDisconnect = 10,
        kCheckDisconnect = 11,
        kFinish = 12,
        kStartCancel = 13,
        kWaitCancel = 14,
    };

    SessionDriver(OutgoingQueue& queue, MessageLog& log, IScriptEngine& engine,
                  const vorla::ISettingsStore& settings, const IClock& clock,
                  const vorla::ProgramDirectory& home);
    ~SessionDriver();
    SessionDriver(const SessionDriver&) = delete;
    SessionDriver& operator=(const SessionDriver&) = delete;

    void SetObserver(IDriverObserver* observer) { observer_ = observer; }
    // The window token given to RKL_Init as echo and log window; the host's message hook
    // hands it back with every ECHO line. Defaults to this driver.
    void SetEngineWindow(RKL_WINDOW window) { engineWindow_ = window; }
    RKL_WINDOW GetEngineWindow() const { return engineWindow_; }

    int32_t GetState() const { return state_; }
    bool IsIdle() const { return state_ == kIdle; }
    int32_t GetErrorFlag() const { return errorFlag_; }
    int32_t GetNumberPages() const { return numberPages_; }
    const std::string& GetStatusLine() const { return statusLine_; }
    const std::string& GetCurrentService() const { return currentService_; }
    int32_t GetErrorCode() const { return errorCode_; }
    const std::string& GetErrorText() const { return errorText_; }

    // Marks the Now pages Pending and starts a run, or lets a running one pick them up.
    void StartSending();
    // Fails every waiting Now page with "User cancel" and lets the script hang up.
    void CancelSending();
    // Ends the run for a stop request, not the user's Cancel: the script hangs up and every page
    // not yet sent goes back as it was (Now, or At with its time), with nothing failed or
    // logged; the queue is saved. Also holds off the next session of a cancel under way.
    void StopSending();
    bool IsStopping() const { return stopping_; }
    // One idle pass: the current state's handler, then one engine step when there is a
    // handle. Returns whether more idle work is wanted (false once the run is over).
    bool OnIdle();

    // A status line for the user (message 1200).
    void SetStatusText(const std::string& text);

private:
    void SetVariable(const char* name, const std::string& value);
    void SetConnectionVariables(const CPage& page);
    void SetPageVariables(CPage& page, const char* block, size_t length);
    void LogPage(const CPage& page, std::string status, std::string message, int32_t code, uint32_t time);
    void ReadError();
    // Fails every Now page of the current service that waits or is being sent.
    bool FailServicePages(const std::string& text, int32_t code, int32_t statusCode);
    void FailPage(CPage& page, const std::string& text, int32_t statusCode);
    bool NextPageIsCurrentService();
    // The page whose block goes next: the one part-way through its blocks, else the next page.
    CPage* PageToSend();
    // Saves the queue; a failure is told once per run and never stops the run.
    void SaveQueue();
    std::string ScriptPathFor(const std::string& scriptFile) const;
    void DestroyHandle();

    void BeginPage();        // 2
    void StartConnect();     // 3
    void WaitConnect();      // 4
    void CheckConnect();     // 5
    void StartSendPage();    // 6
    void WaitSendPage();     // 7
    void CheckSendPage();    // 8
    void StartDisconnect();  // 9
    void WaitDisconnect();   // 10
    void CheckDisconnect();  // 11
    void Finish();           // 12
    void StartCancel();      // 13
    void WaitCancel();       // 14

    OutgoingQueue& queue_;
    MessageLog& log_;
    IScriptEngine& engine_;
    const vorla::ISettingsStore& settings_;
    const IClock& clock_;
    const vorla::ProgramDirectory& home_;
    IDriverObserver* observer_ = nullptr;
    RKL_WINDOW engineWindow_;

    RKL_HANDLE handle_ = nullptr;
    // CONNECT succeeded and no DISCONNECT or broken line since: pages of this service go on it.
    bool connected_ = false;
    // CONNECT has started and DISCONNECT has not yet ended: a cancel must let the script hang up.
    bool needsHangUp_ = false;
    // StopSending was called: no further session starts in this run.
    bool stopping_ = false;
    // Set while OnIdle runs, so a nested idle pass (the engine pumps events) does nothing.
    bool inIdle_ = false;
    int32_t state_ = kIdle;
    int32_t numberPages_ = 0;
    int32_t errorFlag_ = 0;
    int32_t errorCode_ = 0;
    std::string errorText_;
    std::string statusLine_;
    std::string currentService_;
    // The page whose blocks are going out. It is in the sending state (so nobody can delete
    // it) for as long as it is set: it is cleared whenever it fails, is sent or cancelled.
    CPage* currentPage_ = nullptr;
    // The queue file could not be written in this run and the user has been told.
    bool saveFailureReported_ = false;
    // Pages that failed in this run: the end-of-run rules apply to these only, so a page
    // waiting for its resend does not lose an attempt to another run.
    std::unordered_set<const CPage*> failedThisRun_;
};
