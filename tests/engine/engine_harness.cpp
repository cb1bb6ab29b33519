#include "tests/engine/engine_harness.h"

#include <atomic>
#include <fstream>
#include <random>

namespace engine_test {

namespace {

char g_echo;
char g_log;

intptr_t OnMessage(void*, RKL_WINDOW window, uint32_t msg, uintptr_t, intptr_t lParam) {
    EngineHarness::messages.push_back({window, msg, reinterpret_cast<const char*>(lParam)});
    return 0;
}

int32_t OnAlert(void*, RKL_WINDOW, const char* text, const char* caption) {
    EngineHarness::alerts.push_back(std::string(caption) + "|" + text);
    if (EngineHarness::current) EngineHarness::alertFlagSeen = RKL_IsAlert(EngineHarness::current);
    return EngineHarness::alertAnswer;
}

void OnTrace(const char* text) {
    EngineHarness::traces.emplace_back(text);
}

}  // namespace

std::filesystem::path WriteTempFile(const std::string& bytes) {
    static std::atomic<int> counter{0};
    static const unsigned run = std::random_device{}();
    const auto path = std::filesystem::temp_directory_path() /
                      ("rkl_test_" + std::to_string(run) + "_" + std::to_string(counter++) + ".rkl");
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

RKL_WINDOW EngineHarness::EchoWindow() {
    return &g_echo;
}
RKL_WINDOW EngineHarness::LogWindow() {
    return &g_log;
}

void EngineHarness::InstallHooks() {
    RKL_HostHooks hooks{};
    hooks.sendMessage = OnMessage;
    hooks.alert = OnAlert;
    RKL_SetHostHooks(&hooks);
}

EngineHarness::EngineHarness(const std::string& script) : path_(WriteTempFile(script)) {
    messages.clear();
    traces.clear();
    alerts.clear();
    alertAnswer = RKL_IDOK;
    alertFlagSeen = -1;
    InstallHooks();
    handle_ = RKL_Init(path_.c_str(), EchoWindow(), LogWindow(), OnTrace);
    current = handle_;
}

EngineHarness::~EngineHarness() {
    current = nullptr;
    RKL_Destroy(handle_);
    std::filesystem::remove(path_);
}

int32_t EngineHarness::code() const {
    int32_t c = 0;
    char t[256];
    RKL_GetError(handle_, &c, t);
    return c;
}

std::string EngineHarness::text() const {
    int32_t c = 0;
    char t[256];
    RKL_GetError(handle_, &c, t);
    return t;
}

int EngineHarness::RunToEnd(const char* entry, int maxSteps) {
    if (RKL_Run(handle_, entry) != 0) return 0;
    int steps = 0;
    while (!RKL_Done(handle_) && steps < maxSteps) {
        RKL_DoIdle(handle_);
        ++steps;
    }
    return steps;
}

std::vector<std::string> EngineHarness::Echoes() const {
    std::vector<std::string> out;
    for (const auto& m : messages)
        if (m.window == EchoWindow() && m.msg == RKL_MSG_ECHO) out.push_back(m.text);
    return out;
}

std::vector<std::string> EngineHarness::Logs() const {
    std::vector<std::string> out;
    for (const auto& m : messages)
        if (m.window == LogWindow() && m.msg == RKL_MSG_LOG) out.push_back(m.text);
    return out;
}

}  // namespace engine_test
