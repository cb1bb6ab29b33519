#pragma once
// The program directory in the hands of the gateway while it holds the directory's lock:
// loaded as vorlapage loads it, pages queued as the program's Send queues them, and the
// driver that sends them. Made when the gateway takes the lock, gone when it lets it go, so
// the gateway never keeps the directory while it has nothing to do. Plain C++.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "directory/directory_store.h"
#include "paging/driver_observer.h"
#include "paging/engine_host.h"
#include "paging/message_log.h"
#include "paging/outgoing_queue.h"
#include "paging/paging_clock.h"
#include "paging/port_map.h"
#include "paging/queue_observer.h"
#include "paging/queue_page.h"
#include "paging/script_engine.h"
#include "paging/session_driver.h"
#include "paging/wctp/carrier_script_engine.h"
#include "settings/settings_store.h"

namespace vorla {
class ProgramDirectory;
}

class LocalRun final : public IDriverObserver, public IQueueObserver {
public:
    using Say = std::function<void(const std::string& line, bool problem)>;
    // `pump` runs wherever the engine waits; `say` gets the status lines, log records and
    // problems of the run.
    LocalRun(const vorla::ProgramDirectory& home, vorla::ISettingsStore& settings,
             const std::vector<std::pair<std::string, std::string>>& ports, std::function<void()> pump,
             Say say);
    ~LocalRun() override;

    // Loads the files. False when the queue file does not read and could not be moved aside
    // (nothing may then be queued, or it would be written over).
    bool Open();

    enum class Result { Queued, UnknownName, NothingToSend, NotSaved };
    // One message to every name (subscribers or groups, exact names of this directory), as
    // the program's Send makes it: signed with "AutoSign", capitals with "SendUpperCase".
    // The queue file is written before this returns Queued; nothing is kept otherwise.
    // `note` goes to the message log beside each page taken.
    Result Queue(const std::vector<std::string>& names, const std::string& text, SendChoice choice,
                 std::optional<uint32_t> at, const std::string& note, size_t* pages);

    // At pages whose time has come become Now; starts sending when there is anything to send.
    void SendDue();
    bool Sending() const { return driver_ && !driver_->IsIdle(); }
    // For a stop of the service: the script hangs up and the unsent pages stay queued as they
    // were. Not the user's Cancel, which would fail them and, by default, drop them.
    void Stop() { driver_->StopSending(); }
    // One step of the run; false once it is over.
    bool Step();
    // The earliest time of a page that waits for its time, if any.
    std::optional<uint32_t> NextTimedPage();
    // Keeps the log window file; called before the lock goes.
    void Close();

    const DirectoryStore& Store() const { return store_; }

private:
    void OnStatusLine(const std::string& text) override;
    void OnLogRecord(const CLogObject& record) override;
    void OnQueueSaveFailed(const std::string& text) override;
    void ShowStop(std::string_view text) override;

    const vorla::ProgramDirectory& home_;
    vorla::ISettingsStore& settings_;
    Say say_;
    std::string folder_;
    DirectoryStore store_;
    SystemClock clock_;
    std::unique_ptr<OutgoingQueue> queue_;
    std::unique_ptr<MessageLog> log_;
    Rkl32ScriptEngine scripts_;
    // WCTP services are sent by the transport, scripts by Rkl32.
    vorla::wctp::CarrierScriptEngine engine_{scripts_};
    PortMap ports_;
    std::function<void()> pump_;
    std::unique_ptr<SessionDriver> driver_;
    std::unique_ptr<EngineHost> host_;
};
