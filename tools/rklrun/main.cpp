// rklrun: a command-line host for the RKL engine. It hands the ARGs to one engine
// handle in order (variables and entries), prints what the script echoes and logs,
// and reports the result of each entry.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "rkl32.h"
#include "tools/rklrun/rklrun_options.h"
#include "vorla_build_info.h"

namespace {

// Set by SIGINT; the engine is only ever called from the main flow, never from the
// signal handler.
volatile std::sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) {
    g_interrupted = 1;
}

struct Host {
    rklrun::Options options;
    RKL_HANDLE handle = nullptr;
};

Host g_host;

// Tokens the engine hands back with each message; any two distinct non-null values do.
char g_echoWindow;
char g_logWindow;

void PrintLine(std::FILE* out, const char* prefix, const char* text) {
    std::fputs(prefix, out);
    std::fputs(text, out);
    std::fputc('\n', out);
    std::fflush(out);
}

void CancelIfInterrupted() {
    if (g_interrupted && g_host.handle) {
        g_interrupted = 0;
        RKL_Cancel(g_host.handle);
    }
}

intptr_t SendMessageHook(void*, RKL_WINDOW window, uint32_t msg, uintptr_t, intptr_t lParam) {
    const char* text = reinterpret_cast<const char*>(lParam);
    if (!text) return 0;
    if (window == &g_echoWindow && msg == RKL_MSG_ECHO) PrintLine(stdout, "ECHO: ", text);
    if (window == &g_logWindow && msg == RKL_MSG_LOG) PrintLine(stdout, "LOG: ", text);
    return 0;
}

void PumpHook(void*) {
    CancelIfInterrupted();
}

int32_t AlertHook(void*, RKL_WINDOW, const char* text, const char*) {
    const bool cancel = g_host.options.cancelAlerts;
    std::string line = std::string(text ? text : "") + (cancel ? " [Cancel]" : " [OK]");
    PrintLine(stdout, "ALERT: ", line.c_str());
    return cancel ? RKL_IDCANCEL : RKL_IDOK;
}

int32_t MapPortHook(void*, const char* portName, char* devicePath, int32_t size) {
    const auto it = g_host.options.ports.find(portName ? portName : "");
    if (it == g_host.options.ports.end() || size <= 0) return 0;
    std::snprintf(devicePath, static_cast<size_t>(size), "%s", it->second.c_str());
    return 1;
}

void TraceToStderr(const char* text) {
    // Trace lines end in a carriage return; a terminal wants a line feed.
    std::string line(text);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.pop_back();
    PrintLine(stderr, "", line.c_str());
}

void PrintResult() {
    int32_t code = 0;
    char text[256] = {};
    RKL_GetError(g_host.handle, &code, text);
    std::printf("RESULT: %d %s\n", static_cast<int>(code), text);
    std::fflush(stdout);
}

// Runs one entry to its end; true when it ended with code 0.
bool RunEntry(const std::string& entry) {
    if (RKL_Run(g_host.handle, entry.c_str()) == 0) {
        while (!RKL_Done(g_host.handle)) {
            CancelIfInterrupted();
            RKL_DoIdle(g_host.handle);
        }
    }
    PrintResult();
    int32_t code = 0;
    char text[256];
    RKL_GetError(g_host.handle, &code, text);
    return code == 0;
}

constexpr const char* kHelp =
    "usage: rklrun [--trace] [--cancel-alerts] [--port NAME=DEVICE]... SCRIPT ARG...\n"
    "Runs entries of an RKL paging script, for script authors.\n"
    "\n"
    "  ARG                    NAME=VALUE sets a variable; any other word runs that entry\n"
    "  --trace                print the engine's trace lines on standard error\n"
    "  --cancel-alerts        answer the script's ALERT boxes with Cancel instead of OK\n"
    "  --port NAME=DEVICE     the port name (COM1) opens DEVICE; repeatable\n"
    "  --help                 show this help and exit\n"
    "  --version              show the version and exit\n"
    "\n"
    "Exit status: 0 every entry ended with code 0, 1 an entry did not (or a variable could not\n"
    "be set, or the script has a load error), 2 bad arguments, a script that cannot be read or\n"
    "an engine that could not start.\n";

void Usage(const std::string& error) {
    std::fprintf(stderr,
                 "rklrun: %s\n"
                 "usage: rklrun [--trace] [--cancel-alerts] [--port NAME=DEVICE]... SCRIPT ARG...\n"
                 "  ARG is NAME=VALUE (sets a variable) or an entry name (runs it)\n",
                 error.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (const auto answered = vorla::AnswerHelpOrVersion(argc, argv, "rklrun", kHelp)) return *answered;
    std::string error;
    auto options = rklrun::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        Usage(error);
        return 2;
    }
    g_host.options = std::move(*options);
    if (!std::ifstream(g_host.options.script, std::ios::binary)) {
        Usage("cannot read " + g_host.options.script);
        return 2;
    }

    std::signal(SIGINT, OnInterrupt);
    RKL_HostHooks hooks{};
    hooks.sendMessage = SendMessageHook;
    hooks.pump = PumpHook;
    hooks.alert = AlertHook;
    hooks.mapPort = MapPortHook;
    RKL_SetHostHooks(&hooks);

    g_host.handle = RKL_Init(g_host.options.script.c_str(), &g_echoWindow, &g_logWindow,
                             g_host.options.trace ? TraceToStderr : nullptr);
    if (!g_host.handle) {
        std::fprintf(stderr, "rklrun: RKL_Init Failed!\n");
        return 2;
    }
    // A load error (for example an ENTRY line without a name) is waiting in the handle.
    int32_t loadCode = 0;
    char loadText[256];
    RKL_GetError(g_host.handle, &loadCode, loadText);
    if (loadCode != 0)
        std::fprintf(stderr, "rklrun: load error %d %s\n", static_cast<int>(loadCode), loadText);

    bool allGood = loadCode == 0;
    for (const std::string& arg : g_host.options.args) {
        std::string name, value;
        if (rklrun::SplitAssignment(arg, name, value)) {
            const int32_t code = RKL_Set(g_host.handle, name.c_str(), value.c_str());
            if (code != 0) {
                int32_t c = 0;
                char text[256];
                RKL_GetError(g_host.handle, &c, text);
                std::fprintf(stderr, "rklrun: %s: %d %s\n", arg.c_str(), static_cast<int>(c), text);
                allGood = false;
            }
        } else if (!RunEntry(arg)) {
            allGood = false;
        }
    }
    RKL_Destroy(g_host.handle);
    return allGood ? 0 : 1;
}
