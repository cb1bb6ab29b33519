#pragma once
// A directory, a queue and a log in memory for the window tests: services and subscribers,
// an outgoing queue whose questions are answered by the test, a log list, a clock that only
// moves when told to, and prompts that record what the windows asked.

#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/ob_list.h"
#include "paging/outgoing_queue.h"
#include "paging/paging_clock.h"
#include "paging/queue_observer.h"
#include "settings/memory_settings_store.h"
#include "ui/windows/log_list_view.h"
#include "ui/windows/window_prompts.h"

class CPage;
class CService;
class CSubscriber;

// 2024-03-05 14:30:00 UTC, a Tuesday.
inline constexpr uint32_t kTestNow = 1709649000;

struct RecordedPrompts {
    std::vector<QString> asked;  // every question and notice, in order
    bool answer = true;          // what every question is answered
    WindowPrompts Prompts();
};

class WindowWorld final : public IQueueObserver {
public:
    WindowWorld();
    ~WindowWorld() override;

    CService* AddService(const std::string& name);
    CSubscriber* AddSubscriber(const std::string& name, const std::string& pin, CService* service);
    // Queues a page of a new message for the subscriber and refreshes the queue.
    CPage* Queue(CSubscriber* subscriber, const std::string& text, int32_t when,
                 std::optional<uint32_t> time = {}, int32_t status = 0);
    // Appends a log record to the LogList.
    void Log(uint32_t time, const std::string& name, const std::string& status, const std::string& message,
             int32_t code = 0);
    LogWindowContext LogContext();

    // IQueueObserver
    void OnRowsChanged() override {
        if (rowsChanged) rowsChanged();
    }
    bool Confirm(std::string_view question) override;
    void ShowStop(std::string_view text) override;

    vorla::MemorySettingsStore settings;
    ManualClock clock{kTestNow};
    OwningList services{new CObList};
    OwningList subscribers{new CObList};
    OwningList outgoing{new CObList};
    OwningList logList{new CObList};
    std::unique_ptr<OutgoingQueue> queue;
    RecordedPrompts prompts;
    std::function<void()> rowsChanged;
    int runsStarted = 0;
};
