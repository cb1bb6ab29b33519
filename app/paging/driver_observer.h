#pragma once
// How the session driver reaches the windows (or vorlapage's output, or a test). The
// program's message entry view implements these as it handles messages 1200 and 1201.

#include <string>

class CLogObject;

class IDriverObserver {
public:
    virtual ~IDriverObserver() = default;
    // StartSending begins: empty the status list, enable Cancel and focus it.
    virtual void OnSendingStarted() {}
    // A status line (message 1200): the driver's own and the script's ECHO lines.
    virtual void OnStatusLine(const std::string& text) { (void)text; }
    // A finished log record (message 1201), already appended to the LogList and written to
    // the text log; the log window adds its row here.
    virtual void OnLogRecord(const CLogObject& record) { (void)record; }
    // The run has ended (State 12): re-enable the form, maybe clear it.
    virtual void OnSendingFinished() {}
    // Idle processing should run (message 1124): the program wakes its idle loop.
    virtual void OnIdleWorkWanted() {}
    // The queue file could not be written during a run (said once per run, with the text for
    // the user). Called inside a driver step: it must not wait for the user, paging goes on.
    virtual void OnQueueSaveFailed(const std::string& text) { (void)text; }
};
