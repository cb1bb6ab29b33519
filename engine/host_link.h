// The library-wide link to the host: its hooks and the trace callback. Both are set
// from the host's user-interface thread, like every other engine call, so they need
// no locks; every member may be null.
#pragma once

#include <cstdint>

#include "rkl32.h"

namespace rkl::host {

void SetHooks(const RKL_HostHooks* hooks);
void SetTrace(RKL_TraceProc trace);

bool HasTrace();
void EmitTrace(const char* text);
// Sends a message only when both the hook and the window token are there.
void SendMessageTo(RKL_WINDOW window, uint32_t msg, uintptr_t wParam, intptr_t lParam);
void Pump();
void Beep();
// RKL_IDOK without an alert hook.
int32_t Alert(RKL_WINDOW owner, const char* text, const char* caption);
// True when the host mapped the name; the default rule applies otherwise.
bool MapPort(const char* portName, char* devicePath, int32_t size);

}  // namespace rkl::host
