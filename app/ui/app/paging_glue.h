#pragma once
// The application's side of the paging engine: it owns the outgoing queue, the message log,
// the session driver and the engine's host hooks, runs the driver's steps (and the engine's)
// from idle time with a zero-interval timer that runs only while a run is going on, and turns
// the driver's and the queue's observer calls into the application's signals.

#include <QTimer>

#include <memory>

#include "paging/driver_observer.h"
#include "paging/queue_observer.h"

class CVorlaPro5App;
class EngineHost;
class MessageLog;
class OutgoingQueue;
class PortMap;
class QComboBox;
class SessionDriver;
class SystemClock;
class Rkl32ScriptEngine;
namespace vorla::wctp {
class CarrierScriptEngine;
}

struct AppPagingGlue final : IDriverObserver, IQueueObserver {
    // The queue and the log work on the application's OutgoingList and LogList, so the glue
    // is made after the directory is loaded and goes before the lists do.
    // A queue or log window file that did not read and could not be moved aside is not
    // written over: its save is switched off.
    AppPagingGlue(CVorlaPro5App& app, bool writeQueueFile, bool writeLogWindowFile);
    ~AppPagingGlue() override;
    AppPagingGlue(const AppPagingGlue&) = delete;
    AppPagingGlue& operator=(const AppPagingGlue&) = delete;

    OutgoingQueue& Queue() { return *queue_; }
    MessageLog& Log() { return *log_; }
    SessionDriver& Driver() { return *driver_; }
    // True while the idle timer runs (a run is going on).
    bool IdleActive() const { return idle_.isActive(); }
    // A token through which the engine adds lines to the combo box (RKL_FillComboWithPorts).
    void* ComboToken(QComboBox* combo);

    // IDriverObserver
    void OnSendingStarted() override;
    void OnStatusLine(const std::string& text) override;
    void OnLogRecord(const CLogObject& record) override;
    void OnSendingFinished() override;
    void OnIdleWorkWanted() override;
    void OnQueueSaveFailed(const std::string& text) override;
    // IQueueObserver
    void OnRowsChanged() override;
    bool Confirm(std::string_view question) override;
    void ShowStop(std::string_view text) override;

private:
    void OnIdle();

    CVorlaPro5App& app_;
    QTimer idle_;
    std::unique_ptr<SystemClock> clock_;
    std::unique_ptr<PortMap> ports_;
    std::unique_ptr<Rkl32ScriptEngine> engine_;
    // Scripts go to engine_; WCTP services are sent by this one.
    std::unique_ptr<vorla::wctp::CarrierScriptEngine> carriers_;
    std::unique_ptr<OutgoingQueue> queue_;
    std::unique_ptr<MessageLog> log_;
    std::unique_ptr<SessionDriver> driver_;
    std::unique_ptr<EngineHost> host_;
    // A run the form is waiting for: set when sending starts, cleared when it finishes.
    bool runActive_ = false;
    QComboBox* combo_ = nullptr;
};
