#include "host_link.h"

namespace rkl::host {

namespace {
RKL_HostHooks g_hooks{};
RKL_TraceProc g_trace = nullptr;
}  // namespace

void SetHooks(const RKL_HostHooks* hooks) {
    g_hooks = hooks ? *hooks : RKL_HostHooks{};
}

void SetTrace(RKL_TraceProc trace) {
    g_trace = trace;
}

bool HasTrace() {
    return g_trace != nullptr;
}

void EmitTrace(const char* text) {
    if (g_trace) g_trace(text);
}

void SendMessageTo(RKL_WINDOW window, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    if (window && g_hooks.sendMessage) g_hooks.sendMessage(g_hooks.context, window, msg, wParam, lParam);
}

void Pump() {
    if (g_hooks.pump) g_hooks.pump(g_hooks.context);
}

void Beep() {
    if (g_hooks.beep) g_hooks.beep(g_hooks.context);
}

int32_t Alert(RKL_WINDOW owner, const char* text, const char* caption) {
    if (!g_hooks.alert) return RKL_IDOK;
    return g_hooks.alert(g_hooks.context, owner, text, caption);
}

bool MapPort(const char* portName, char* devicePath, int32_t size) {
    if (!g_hooks.mapPort || !devicePath || size <= 0) return false;
    devicePath[0] = '\0';
    const bool mapped = g_hooks.mapPort(g_hooks.context, portName, devicePath, size) != 0;
    devicePath[size - 1] = '\0';  // a careless hook must not leave it unterminated
    return mapped;
}

}  // namespace rkl::host
