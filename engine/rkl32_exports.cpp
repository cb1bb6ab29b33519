// The library's C interface. Every export accepts a null handle and null text
// pointers without crashing, and no C++ exception crosses into the host.
#include <cstring>
#include <new>

#include "host_link.h"
#include "rkl32.h"
#include "win_rkl.h"


namespace {

const char* OrEmpty(const char* text) { return text ? text : ""; }

}  // namespace


extern "C" {

RKL_API void RKL_SetHostHooks(const RKL_HostHooks* hooks) { rkl::host::SetHooks(hooks); }

RKL_API RKL_HANDLE RKL_Init(const char* scriptPath, RKL_WINDOW echoWindow, RKL_WINDOW logWindow,
                            RKL_TraceProc trace) {
  rkl::host::SetTrace(trace);
  try {
    rkl::ScriptStream stream;
    if (scriptPath) stream.OpenFile(scriptPath);  // a missing file just has no lines
    auto* engine = new rkl::TWinRKL();
    engine->Init(std::move(stream), echoWindow, logWindow);
    return reinterpret_cast<RKL_HANDLE>(engine);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // extern "C"

namespace {

rkl::TWinRKL* Engine(RKL_HANDLE h) { return reinterpret_cast<rkl::TWinRKL*>(h); }

}  // namespace

extern "C" {

RKL_API int32_t RKL_Set(RKL_HANDLE h, const char* name, const char* value) {
  if (!h) return rkl::kNoHandle.code;
  return Engine(h)->SetVariable(OrEmpty(name), OrEmpty(value));
}

RKL_API int32_t RKL_Run(RKL_HANDLE h, const char* entry) {
  if (!h) return rkl::kNoHandle.code;
  return Engine(h)->Run(OrEmpty(entry));
}

RKL_API int32_t RKL_DoIdle(RKL_HANDLE h) {
  if (!h) return rkl::kNoHandle.code;
  rkl::TWinRKL* engine = Engine(h);
  const int32_t result = engine->DoIdle();
  if (engine->DestroyRequested() && !engine->IsBusy()) delete engine;
  return result;
}

RKL_API int32_t RKL_Done(RKL_HANDLE h) { return !h || Engine(h)->Done() ? 1 : 0; }

RKL_API int32_t RKL_IsRunning(RKL_HANDLE h) { return h && Engine(h)->IsRunning() ? 1 : 0; }

RKL_API int32_t RKL_IsAlert(RKL_HANDLE h) { return h && Engine(h)->IsAlert() ? 1 : 0; }

RKL_API int32_t RKL_GetError(RKL_HANDLE h, int32_t* code, char* text) {
  int32_t c = rkl::kNoHandle.code;
  char t[rkl::kMaxText + 1];
  if (h) {
    Engine(h)->GetError(c, t);
  } else {
    rkl::CopyText(t, rkl::kNoHandle.text);
  }
  if (code) *code = c;
  if (text) std::memcpy(text, t, std::strlen(t) + 1);
  return 1;
}

RKL_API int32_t RKL_Cancel(RKL_HANDLE h) {
  if (!h) return rkl::kNoHandle.code;
  return Engine(h)->Cancel();
}

RKL_API void RKL_Destroy(RKL_HANDLE h) {
  if (!h) return;
  rkl::TWinRKL* engine = Engine(h);
  if (engine->IsBusy()) {
    engine->RequestDestroy();  // RKL_DoIdle deletes it on its way out
    return;
  }
  delete engine;
}

RKL_API int32_t RKL_FillComboWithPorts(RKL_WINDOW combo) {
  static const char* const kPorts[] = {"COM1", "COM2", "COM3", "COM4"};
  for (const char* port : kPorts)
    rkl::host::SendMessageTo(combo, RKL_CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(port));
  return 1;
}

RKL_API int32_t RKL_GetRKLVersion(RKL_HANDLE h, char* text) {
  if (!text) return 1;
  if (h) {
    Engine(h)->GetVersion(text);
  } else {
    std::strcpy(text, "v2.0");
  }
  return 1;
}

}  // extern "C"
