// Runs scripts through the engine's C interface and records what the engine hands
// to the host: messages, traces and alerts.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "rkl32.h"

namespace engine_test {

struct Message {
    RKL_WINDOW window;
    uint32_t msg;
    std::string text;
};

class EngineHarness {
public:
    // Writes the script to a fresh temporary file and loads it.
    explicit EngineHarness(const std::string& script);
    ~EngineHarness();
    EngineHarness(const EngineHarness&) = delete;
    EngineHarness& operator=(const EngineHarness&) = delete;

    RKL_HANDLE handle() const { return handle_; }
    int32_t code() const;
    std::string text() const;

    // RKL_Run, then RKL_DoIdle until RKL_Done or `maxSteps` calls; returns the steps.
    int RunToEnd(const char* entry, int maxSteps = 10000);
    // One RKL_DoIdle.
    int32_t Step() { return RKL_DoIdle(handle_); }

    std::vector<std::string> Echoes() const;
    std::vector<std::string> Logs() const;

    static inline std::vector<Message> messages;
    static inline std::vector<std::string> traces;
    static inline std::vector<std::string> alerts;
    static inline int32_t alertAnswer = RKL_IDOK;
    // Called from the alert hook while the box is "open", to look at the handle then.
    static inline int alertFlagSeen = -1;
    static inline RKL_HANDLE current = nullptr;

    static RKL_WINDOW EchoWindow();
    static RKL_WINDOW LogWindow();
    static void InstallHooks();

private:
    std::filesystem::path path_;
    RKL_HANDLE handle_ = nullptr;
};

// Writes bytes to a fresh temporary file and returns its path.
std::filesystem::path WriteTempFile(const std::string& bytes);

}  // namespace engine_test
