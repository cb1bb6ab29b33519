// Runs a script on an engine object whose COM1 is a pseudo-terminal, and records what the
// engine hands to the host (traces, echoes, pumps).
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/win_rkl.h"
#include "tests/engine_platform/pty_pair.h"

namespace engine_serial_test {

class SerialScript {
public:
    // `body` becomes the lines of the entry M (the script adds "ENTRY M" and "LABEL M").
    explicit SerialScript(const std::string& body);
    ~SerialScript();
    SerialScript(const SerialScript&) = delete;
    SerialScript& operator=(const SerialScript&) = delete;

    // Runs the entry to its end (or until `max_steps` lines); returns the wall time it took.
    std::chrono::milliseconds Run(const char* entry = "M", int max_steps = 10000);
    // Runs lines of the entry already started until it ends.
    std::chrono::milliseconds Continue(int max_steps = 10000);
    int32_t code() const;
    std::string text() const;
    rkl::TWinRKL& engine() { return engine_; }
    rkl::testing::PtyPair& line() { return line_; }
    int OpenDescriptors() const;

    // Port names the host maps; COM1 is the pseudo-terminal.
    static inline std::map<std::string, std::string> ports;
    static inline std::vector<std::string> traces;
    static inline std::vector<std::string> echoes;
    static inline int pumps = 0;
    static inline int beeps = 0;
    // Called at every pump, for example to cancel from inside a wait.
    static inline std::function<void()> onPump;

private:
    rkl::testing::PtyPair line_;
    std::string path_;
    rkl::TWinRKL engine_;
};

}  // namespace engine_serial_test
