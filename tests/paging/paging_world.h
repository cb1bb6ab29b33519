#pragma once
// A small paging world for tests: a directory with services and subscribers, a queue, a
// log and a driver on the real engine, in a temporary program folder, with a clock that
// only moves when told to. The engine is wrapped so tests can see which entries ran.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "archive/ob_list.h"
#include "paging/driver_observer.h"
#include "paging/log_object.h"
#include "paging/message_log.h"
#include "paging/outgoing_queue.h"
#include "paging/paging_clock.h"
#include "paging/queue_observer.h"
#include "paging/queue_page.h"
#include "paging/script_engine.h"
#include "paging/session_driver.h"
#include "paging/wctp/carrier_script_engine.h"
#include "settings/memory_settings_store.h"
#include "settings/program_directory.h"

// A whole file as bytes (empty when it does not read).
std::string ReadAll(const std::filesystem::path& path);

class CService;
class CSubscriber;

// The real engine (scripts, and the WCTP transport for WCTP services), with a record of the calls that matter and a switch that makes Init fail.
class RecordingEngine final : public IScriptEngine {
public:
    RKL_HANDLE Init(const std::string& path, RKL_WINDOW echo, RKL_WINDOW log) override;
    int32_t Set(RKL_HANDLE h, const char* name, const char* value) override;
    int32_t Run(RKL_HANDLE h, const char* entry) override;
    int32_t DoIdle(RKL_HANDLE h) override;
    bool Done(RKL_HANDLE h) override;
    void GetError(RKL_HANDLE h, int32_t& code, std::string& text) override;
    int32_t Cancel(RKL_HANDLE h) override;
    void Destroy(RKL_HANDLE h) override;
    bool TakesWholePages(RKL_HANDLE h) override { return real_.TakesWholePages(h); }
    void SetPageText(RKL_HANDLE h, const std::string& text) override { real_.SetPageText(h, text); }

    bool failInit = false;
    int inits = 0;
    int destroys = 0;
    int nullHandleCalls = 0;
    std::vector<std::string> entries;                            // every entry run, in order
    std::vector<std::pair<std::string, std::string>> variables;  // every Set, in order
    std::string Variable(const std::string& name) const;         // the last value set

private:
    void Check(RKL_HANDLE h) {
        if (!h) ++nullHandleCalls;
    }
    Rkl32ScriptEngine scripts_;
    vorla::wctp::CarrierScriptEngine real_{scripts_};
};

class RecordingObserver final : public IDriverObserver, public IQueueObserver {
public:
    void OnStatusLine(const std::string& text) override { statusLines.push_back(text); }
    void OnLogRecord(const CLogObject& record) override;
    void OnSendingFinished() override { ++finished; }
    bool Confirm(std::string_view) override {
        ++questions;
        return answer;
    }
    void ShowStop(std::string_view text) override { stops.emplace_back(text); }
    void OnQueueSaveFailed(const std::string& text) override { saveFailures.push_back(text); }

    struct Log {
        uint32_t time;
        std::string name, status, message;
        int32_t code;
    };
    std::vector<std::string> statusLines;
    std::vector<Log> logs;
    std::vector<std::string> stops;
    std::vector<std::string> saveFailures;
    int finished = 0;
    int questions = 0;
    bool answer = true;
};

// The script every driver test runs: outcomes chosen by service name and PIN.
extern const char* const kTestScript;

class PagingWorld {
public:
    PagingWorld();
    ~PagingWorld();

    CService* AddService(const std::string& name, const std::string& script = "test.rkl");
    CSubscriber* AddSubscriber(const std::string& name, const std::string& pin, CService* service,
                               int maxLength = 240);
    // Queues one message for the subscribers; returns the message.
    CPagerMessage* Queue(const std::string& text, std::vector<CSubscriber*> to,
                         SendChoice choice = SendChoice::Now, std::optional<uint32_t> at = {});
    // Runs idle passes until the driver is idle; false when it did not get there.
    bool RunUntilIdle(int maxSteps = 100000);
    std::vector<std::string> LogStatuses() const;

    std::filesystem::path folder;
    vorla::MemorySettingsStore settings;
    ManualClock clock{1'700'000'000};
    std::unique_ptr<vorla::ProgramDirectory> home;
    OwningList services{new CObList};
    OwningList subscribers{new CObList};
    OwningList outgoing{new CObList};
    OwningList logList{new CObList};
    std::unique_ptr<OutgoingQueue> queue;
    std::unique_ptr<MessageLog> log;
    RecordingEngine engine;
    RecordingObserver observer;
    std::unique_ptr<SessionDriver> driver;
};
