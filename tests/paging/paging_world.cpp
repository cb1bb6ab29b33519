#include "tests/paging/paging_world.h"

#include <unistd.h>
#include <atomic>
#include <fstream>
#include <sstream>

#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/page.h"
#include "paging/pager_message.h"

const char* const kTestScript = R"(ENTRY CONNECT
ENTRY SEND_PAGE
ENTRY DISCONNECT

LABEL CONNECT
ECHO Dialing {serviceName}
JUMPEQU {serviceName} Dead NoCarrier
EXIT 0 Connected to {serviceName}
LABEL NoCarrier
EXIT 3 NO CARRIER

LABEL SEND_PAGE
JUMPEQU {pagerNumber} 666 Refuse
JUMPEQU {pagerNumber} 999 Drop
JUMPEQU {pagerNumber} 777 Spin
EXIT 0 Page {currentPageNumber} of {totalPages} accepted
LABEL Refuse
EXIT -210 511 Invalid pager ID
LABEL Drop
EXIT 5 Line dropped
LABEL Spin
JUMP Spin

LABEL DISCONNECT
JUMPEQU {serviceName} Stubborn HangFails
EXIT 0 Disconnected
LABEL HangFails
EXIT 9 Modem did not hang up
)";

RKL_HANDLE RecordingEngine::Init(const std::string& path, RKL_WINDOW echo, RKL_WINDOW log) {
    ++inits;
    if (failInit) return nullptr;
    return real_.Init(path, echo, log);
}
int32_t RecordingEngine::Set(RKL_HANDLE h, const char* name, const char* value) {
    Check(h);
    variables.emplace_back(name, value);
    return real_.Set(h, name, value);
}
int32_t RecordingEngine::Run(RKL_HANDLE h, const char* entry) {
    Check(h);
    entries.emplace_back(entry);
    return real_.Run(h, entry);
}
int32_t RecordingEngine::DoIdle(RKL_HANDLE h) {
    Check(h);
    return real_.DoIdle(h);
}
bool RecordingEngine::Done(RKL_HANDLE h) {
    Check(h);
    return real_.Done(h);
}
void RecordingEngine::GetError(RKL_HANDLE h, int32_t& code, std::string& text) {
    Check(h);
    real_.GetError(h, code, text);
}
int32_t RecordingEngine::Cancel(RKL_HANDLE h) {
    Check(h);
    return real_.Cancel(h);
}
void RecordingEngine::Destroy(RKL_HANDLE h) {
    Check(h);
    ++destroys;
    real_.Destroy(h);
}
std::string RecordingEngine::Variable(const std::string& name) const {
    for (auto it = variables.rbegin(); it != variables.rend(); ++it)
        if (it->first == name) return it->second;
    return "<unset>";
}

void RecordingObserver::OnLogRecord(const CLogObject& record) {
    logs.push_back(
        {record.GetTime(), record.GetName(), record.GetStatus(), record.GetMessage(), record.GetCode()});
}

PagingWorld::PagingWorld() {
    static std::atomic<int> counter{0};
    folder = std::filesystem::temp_directory_path() /
             ("vorla-paging-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(folder / "rklfiles");
    std::ofstream(folder / "rklfiles" / "test.rkl") << kTestScript;
    home = std::make_unique<vorla::ProgramDirectory>(folder);
    queue = std::make_unique<OutgoingQueue>(*outgoing, settings, clock,
                                            home->GetProgramDirectory() + "Outgoing.vlg");
    log = std::make_unique<MessageLog>(*logList, settings, home->GetProgramDirectory());
    driver = std::make_unique<SessionDriver>(*queue, *log, engine, settings, clock, *home);
    queue->SetObserver(&observer);
    queue->SetSendStarter([this] { driver->StartSending(); });
    driver->SetObserver(&observer);
}

PagingWorld::~PagingWorld() {
    driver.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

CService* PagingWorld::AddService(const std::string& name, const std::string& script) {
    ServiceFields fields;
    fields.name = name;
    fields.accessNumber = "5551000";
    fields.port = "COM1";
    fields.baudRate = 2400;
    fields.scriptFile = script;
    auto* service = new CService(fields);
    services->AddTail(service);
    return service;
}

CSubscriber* PagingWorld::AddSubscriber(const std::string& name, const std::string& pin, CService* service,
                                        int maxLength) {
    auto* subscriber = new CSubscriber(name, pin, std::to_string(maxLength), service);
    service->AddSubscriber(subscriber);
    subscribers->AddTail(subscriber);
    return subscriber;
}

CPagerMessage* PagingWorld::Queue(const std::string& text, std::vector<CSubscriber*> to, SendChoice choice,
                                  std::optional<uint32_t> at) {
    CPagerMessage* message = MakePagerMessage(text);
    for (CSubscriber* subscriber : to)
        QueuePage(*queue, settings, *subscriber, message, choice, at);
    if (message && message->GetRefCount() == 0) {
        delete message;
        return nullptr;
    }
    queue->Refresh();
    return message;
}

bool PagingWorld::RunUntilIdle(int maxSteps) {
    for (int i = 0; i < maxSteps; ++i) {
        if (!driver->OnIdle()) return true;
    }
    return false;
}

std::vector<std::string> PagingWorld::LogStatuses() const {
    std::vector<std::string> out;
    for (const auto& entry : observer.logs)
        out.push_back(entry.status);
    return out;
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
