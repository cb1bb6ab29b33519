#include "tests/engine_serial/serial_script_harness.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "engine/host_link.h"

namespace engine_serial_test {

namespace {

char g_echoWindow;

intptr_t SendMessageHook(void*, RKL_WINDOW window, uint32_t msg, uintptr_t, intptr_t lParam) {
    if (window == &g_echoWindow && msg == RKL_MSG_ECHO)
        SerialScript::echoes.emplace_back(reinterpret_cast<const char*>(lParam));
    return 0;
}

void PumpHook(void*) {
    ++SerialScript::pumps;
    if (SerialScript::onPump) SerialScript::onPump();
}

int32_t MapPortHook(void*, const char* name, char* path, int32_t size) {
    const auto it = SerialScript::ports.find(name);
    if (it == SerialScript::ports.end()) return 0;
    std::snprintf(path, static_cast<size_t>(size), "%s", it->second.c_str());
    return 1;
}

void TraceHook(const char* text) {
    SerialScript::traces.emplace_back(text);
}

}  // namespace

SerialScript::SerialScript(const std::string& body) {
    ports.clear();
    ports["COM1"] = line_.device();
    traces.clear();
    echoes.clear();
    pumps = 0;
    beeps = 0;
    onPump = nullptr;
    RKL_HostHooks hooks{};
    hooks.sendMessage = SendMessageHook;
    hooks.pump = PumpHook;
    hooks.mapPort = MapPortHook;
    hooks.beep = [](void*) { ++beeps; };
    rkl::host::SetHooks(&hooks);
    rkl::host::SetTrace(TraceHook);

    static std::mt19937 random{std::random_device{}()};
    path_ = (std::filesystem::temp_directory_path() / ("engine_serial_" + std::to_string(random()) + ".rkl"))
                .string();
    std::ofstream(path_, std::ios::binary) << "ENTRY M\nLABEL M\n" << body;
    rkl::ScriptStream stream;
    stream.OpenFile(path_);
    engine_.Init(std::move(stream), &g_echoWindow, nullptr);
}

SerialScript::~SerialScript() {
    onPump = nullptr;
    rkl::host::SetHooks(nullptr);
    rkl::host::SetTrace(nullptr);
    std::filesystem::remove(path_);
}

std::chrono::milliseconds SerialScript::Run(const char* entry, int max_steps) {
    const auto start = std::chrono::steady_clock::now();
    if (engine_.Run(entry) == 0) {
        for (int i = 0; i < max_steps && !engine_.Done(); ++i)
            engine_.DoIdle();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

std::chrono::milliseconds SerialScript::Continue(int max_steps) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < max_steps && !engine_.Done(); ++i)
        engine_.DoIdle();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

int32_t SerialScript::code() const {
    return engine_.ErrorCode();
}

std::string SerialScript::text() const {
    int32_t c = 0;
    char t[rkl::kMaxText + 1];
    engine_.GetError(c, t);
    return t;
}

int SerialScript::OpenDescriptors() const {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir) != nullptr)
            ++count;
        closedir(dir);
    }
    return count;
}

}  // namespace engine_serial_test
