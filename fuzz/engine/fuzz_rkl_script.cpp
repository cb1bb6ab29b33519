// Fuzz target: any bytes as a script, any variable names and values. The input is
// split at the first NUL byte: before it the script, after it "name=value" lines
// handed to RKL_Set. Every entry then runs for a bounded number of steps, so
// endless loops in the script end at the bound, and waits end through the pump hook.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "rkl32.h"

namespace {

constexpr int kMaxStepsPerEntry = 2000;
constexpr size_t kMaxEntries = 16;

RKL_HANDLE g_handle = nullptr;
bool g_destroyed = false;
int g_alerts = 0;
char g_echo;
char g_log;

intptr_t OnMessage(void*, RKL_WINDOW, uint32_t, uintptr_t, intptr_t lParam) {
    // Touch the whole text: a missing terminator shows up under the sanitizer.
    volatile size_t n = std::char_traits<char>::length(reinterpret_cast<const char*>(lParam));
    (void)n;
    return 0;
}

// A wait must not outlast a fuzz run: cancel it, and when INTERRUPT OFF holds the
// cancel back, destroy the handle, which the engine defers until the step returns.
void OnPump(void*) {
    if (!g_handle || g_destroyed) return;
    RKL_Cancel(g_handle);
    if (RKL_IsRunning(g_handle)) {
        RKL_Destroy(g_handle);
        g_destroyed = true;
    }
}

// Fuzzed scripts must never reach a real device: every port name maps to a path that
// cannot exist, so OPENPORT takes its error path.
int32_t OnMapPort(void*, const char*, char* devicePath, int32_t size) {
    std::snprintf(devicePath, static_cast<size_t>(size), "%s", "/nonexistent/vorla-fuzz-port");
    return 1;
}

int32_t OnAlert(void*, RKL_WINDOW, const char*, const char*) {
    return (g_alerts++ % 2) ? RKL_IDCANCEL : RKL_IDOK;
}

void OnTrace(const char* text) {
    volatile size_t n = std::char_traits<char>::length(text);
    (void)n;
}

std::filesystem::path ScriptPath() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("fuzz_rkl_script_" + std::to_string(std::rand()) + ".rkl");
    return path;
}

// Entry names as the loader sees them: the word after ENTRY, any case of the keyword.
std::vector<std::string> EntryNames(std::string_view script) {
    std::vector<std::string> names;
    size_t pos = 0;
    while (pos < script.size() && names.size() < kMaxEntries) {
        size_t end = script.find('\n', pos);
        if (end == std::string_view::npos) end = script.size();
        std::string_view line = script.substr(pos, end - pos);
        pos = end + 1;
        size_t i = line.find_first_not_of(" \t");
        if (i == std::string_view::npos || line.size() - i < 6) continue;
        std::string word(line.substr(i, 5));
        for (char& c : word)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (word != "ENTRY") continue;
        i = line.find_first_not_of(" \t", i + 5);
        if (i == std::string_view::npos) continue;
        const size_t stop = line.find_first_of(" \t\r#", i);
        names.emplace_back(
            line.substr(i, stop == std::string_view::npos ? std::string_view::npos : stop - i));
    }
    names.emplace_back("MAIN");  // and one that usually does not exist
    return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view script = input.substr(0, split);
    const std::string_view assignments =
        split == std::string_view::npos ? std::string_view{} : input.substr(split + 1);

    const auto path = ScriptPath();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(script.data(), static_cast<std::streamsize>(script.size()));
    }

    RKL_HostHooks hooks{};
    hooks.sendMessage = OnMessage;
    hooks.pump = OnPump;
    hooks.alert = OnAlert;
    hooks.mapPort = OnMapPort;
    RKL_SetHostHooks(&hooks);
    g_destroyed = false;
    g_handle = RKL_Init(path.c_str(), &g_echo, &g_log, OnTrace);
    if (!g_handle) return 0;

    // Each line of the tail: name, "=", value (the value may hold anything but NUL).
    size_t pos = 0;
    while (pos < assignments.size()) {
        size_t end = assignments.find('\n', pos);
        if (end == std::string_view::npos) end = assignments.size();
        std::string line(assignments.substr(pos, end - pos));
        pos = end + 1;
        const size_t eq = line.find('=');
        const std::string name = line.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
        RKL_Set(g_handle, name.c_str(), value.c_str());
    }

    for (const std::string& entry : EntryNames(script)) {
        if (g_destroyed) break;
        if (RKL_Run(g_handle, entry.c_str()) != 0) continue;
        for (int step = 0; step < kMaxStepsPerEntry && !g_destroyed && !RKL_Done(g_handle); ++step)
            RKL_DoIdle(g_handle);
        if (!g_destroyed && !RKL_Done(g_handle)) RKL_Cancel(g_handle);
        int32_t code = 0;
        char text[256];
        if (!g_destroyed) RKL_GetError(g_handle, &code, text);
    }
    if (!g_destroyed) RKL_Destroy(g_handle);
    g_handle = nullptr;
    return 0;
}
