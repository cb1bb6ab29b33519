#pragma once
// The engine's host hooks, installed in one place for the program and vorlapage alike.
// The engine holds one set of hooks for the whole library, so there is one EngineHost per
// process; installing another replaces the first.

#include <cstdint>
#include <functional>

#include "rkl32.h"

class PortMap;
class SessionDriver;

struct EngineHostTargets {
    // Message 1200 (ECHO) to a window token, text valid during the call only.
    std::function<void(RKL_WINDOW window, const char* text)> echo;
    // Every other message (1201 LOG, 0x0143 combo add, ...); null drops them.
    std::function<intptr_t(RKL_WINDOW window, uint32_t msg, uintptr_t wParam, intptr_t lParam)> other;
    // Pending user-interface events, run wherever the engine waits.
    std::function<void()> pump;
    // The alert box: RKL_IDOK or RKL_IDCANCEL. Null answers OK.
    std::function<int32_t(RKL_WINDOW owner, const char* text, const char* caption)> alert;
    // Port names to devices; null leaves every name to the engine's default rule.
    const PortMap* ports = nullptr;
    // SYSBEEP; null is silent.
    std::function<void()> beep;
};

class EngineHost {
public:
    // Installs the hooks; they stay until this object goes (then the engine has none).
    explicit EngineHost(EngineHostTargets targets);
    ~EngineHost();
    EngineHost(const EngineHost&) = delete;
    EngineHost& operator=(const EngineHost&) = delete;

    // Targets for a host whose echo window is the driver: ECHO lines become its status lines.
    static EngineHostTargets ForDriver(SessionDriver& driver, const PortMap* ports,
                                       std::function<void()> pump = {});

private:
    static intptr_t SendMessageHook(void* context, RKL_WINDOW window, uint32_t msg, uintptr_t wParam,
                                    intptr_t lParam);
    static void PumpHook(void* context);
    static int32_t AlertHook(void* context, RKL_WINDOW owner, const char* text, const char* caption);
    static int32_t MapPortHook(void* context, const char* portName, char* devicePath, int32_t size);

    EngineHostTargets targets_;
};
