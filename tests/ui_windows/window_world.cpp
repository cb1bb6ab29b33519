#include "tests/ui_windows/window_world.h"

#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/log_object.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "text/windows1252.h"

WindowPrompts RecordedPrompts::Prompts() {
    WindowPrompts p;
    auto ask = [this](const QString& text) {
        asked.push_back(text);
        return answer;
    };
    p.okCancel = ask;
    p.yesNoStop = ask;
    p.yesNo = ask;
    p.stop = [this](const QString& text) { asked.push_back(text); };
    p.information = p.stop;
    return p;
}

WindowWorld::WindowWorld() {
    queue = std::make_unique<OutgoingQueue>(*outgoing, settings, clock, std::string());
    queue->SetObserver(this);
    queue->SetSendStarter([this] { ++runsStarted; });
}

WindowWorld::~WindowWorld() {
    queue.reset();
    // Subscribers first: they point at their services.
    subscribers.reset();
    services.reset();
}

CService* WindowWorld::AddService(const std::string& name) {
    ServiceFields fields;
    fields.name = name;
    auto* service = new CService(fields);
    services->AddTail(service);
    return service;
}

CSubscriber* WindowWorld::AddSubscriber(const std::string& name, const std::string& pin, CService* service) {
    auto* subscriber = new CSubscriber(name, pin, "240", service);
    service->AddSubscriber(subscriber);
    subscribers->AddTail(subscriber);
    return subscriber;
}

CPage* WindowWorld::Queue(CSubscriber* subscriber, const std::string& text, int32_t when,
                          std::optional<uint32_t> time, int32_t status) {
    auto* message = new CPagerMessage(text);
    auto* page = new CPage(message, CSubscriber::MakeDetachedCopy(*subscriber), when, time, 0);
    page->SetStatus(status, std::string(), 0);
    message->AddRef();
    queue->AppendPage(page);
    queue->Refresh();
    return page;
}

void WindowWorld::Log(uint32_t time, const std::string& name, const std::string& status,
                      const std::string& message, int32_t code) {
    logList->AddTail(new CLogObject(time, name, status, message, code));
}

LogWindowContext WindowWorld::LogContext() {
    LogWindowContext context;
    context.settings = &settings;
    context.logList = [this] { return logList.get(); };
    context.subscriberList = [this] { return subscribers.get(); };
    context.queue = [this] { return queue.get(); };
    context.now = [this] { return clock.Now(); };
    context.prompts = prompts.Prompts();
    return context;
}

bool WindowWorld::Confirm(std::string_view question) {
    prompts.asked.push_back(vorla::FromWindows1252(question));
    return prompts.answer;
}

void WindowWorld::ShowStop(std::string_view text) {
    prompts.asked.push_back(vorla::FromWindows1252(text));
}
