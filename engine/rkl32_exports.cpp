// The library's C interface. Every export accepts a null handle and null text
// pointers without crashing, and no C++ exception crosses into the host: each export's
// body runs through Protected.
#include <cstring>
#include <exception>
#include <memory>
#include <new>

#include "host_link.h"
#include "rkl32.h"
#include "win_rkl.h"

namespace {

const char* OrEmpty(const char* text) {
    return text ? text : "";
}

rkl::TWinRKL* Engine(RKL_HANDLE h) {
    return reinterpret_cast<rkl::TWinRKL*>(h);
}

// Called from a catch block only: tells the handle what the fault being handled was.
void StopOnCurrentFault(rkl::TWinRKL* engine) noexcept {
    if (!engine) return;
    try {
        throw;
    } catch (const std::bad_alloc&) {
        engine->StopOnFault(rkl::kOutOfMemory);
    } catch (const std::exception& fault) {
        engine->StopOnFault(rkl::kInternalError, fault.what());
    } catch (...) {
        engine->StopOnFault(rkl::kInternalError, "unknown");
    }
}

// The one way in from the host. A C caller cannot catch a C++ exception, and one that got
// through would also skip the rest of the call, so a fault ends here: the handle's entry stops
// with -206 or -207 set, and the export answers onFault() instead of its usual result. The busy
// flag is not this function's: the call that set it clears it with a scope guard on unwinding.
template <typename Body, typename OnFault>
auto Protected(rkl::TWinRKL* engine, Body body, OnFault onFault) noexcept {
    try {
        return body();
    } catch (...) {
        StopOnCurrentFault(engine);
    }
    return onFault();
}

// The failure answer of the exports whose result is the handle's error code.
auto ErrorCodeOf(rkl::TWinRKL* engine) {
    return [engine] { return engine->ErrorCode(); };
}

}  // namespace

extern "C" {

RKL_API void RKL_SetHostHooks(const RKL_HostHooks* hooks) {
    Protected(
        nullptr, [&] { rkl::host::SetHooks(hooks); }, [] {});
}

RKL_API RKL_HANDLE RKL_Init(const char* scriptPath, RKL_WINDOW echoWindow, RKL_WINDOW logWindow,
                            RKL_TraceProc trace) {
    return Protected(
        nullptr,
        [&]() -> RKL_HANDLE {
            rkl::host::SetTrace(trace);
            rkl::ScriptStream stream;
            if (scriptPath) stream.OpenFile(scriptPath);  // a missing file just has no lines
            auto engine = std::make_unique<rkl::TWinRKL>();
            engine->Init(std::move(stream), echoWindow, logWindow);
            return reinterpret_cast<RKL_HANDLE>(engine.release());
        },
        []() -> RKL_HANDLE { return nullptr; });
}

RKL_API int32_t RKL_Set(RKL_HANDLE h, const char* name, const char* value) {
    if (!h) return rkl::kNoHandle.code;
    rkl::TWinRKL* engine = Engine(h);
    return Protected(
        engine, [&] { return engine->SetVariable(OrEmpty(name), OrEmpty(value)); }, ErrorCodeOf(engine));
}

RKL_API int32_t RKL_Run(RKL_HANDLE h, const char* entry) {
    if (!h) return rkl::kNoHandle.code;
    rkl::TWinRKL* engine = Engine(h);
    return Protected(
        engine, [&] { return engine->Run(OrEmpty(entry)); }, ErrorCodeOf(engine));
}

RKL_API int32_t RKL_DoIdle(RKL_HANDLE h) {
    if (!h) return rkl::kNoHandle.code;
    rkl::TWinRKL* engine = Engine(h);
    const int32_t result = Protected(
        engine, [&] { return engine->DoIdle(); }, ErrorCodeOf(engine));
    if (engine->DestroyRequested() && !engine->IsBusy()) delete engine;
    return result;
}

RKL_API int32_t RKL_Done(RKL_HANDLE h) {
    return Protected(
        Engine(h), [&] { return !h || Engine(h)->Done() ? 1 : 0; }, [] { return 1; });
}

RKL_API int32_t RKL_IsRunning(RKL_HANDLE h) {
    return Protected(
        Engine(h), [&] { return h && Engine(h)->IsRunning() ? 1 : 0; }, [] { return 0; });
}

RKL_API int32_t RKL_IsAlert(RKL_HANDLE h) {
    return Protected(
        Engine(h), [&] { return h && Engine(h)->IsAlert() ? 1 : 0; }, [] { return 0; });
}

RKL_API int32_t RKL_GetError(RKL_HANDLE h, int32_t* code, char* text) {
    return Protected(
        Engine(h),
        [&] {
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
        },
        [] { return 0; });
}

RKL_API int32_t RKL_Cancel(RKL_HANDLE h) {
    if (!h) return rkl::kNoHandle.code;
    rkl::TWinRKL* engine = Engine(h);
    return Protected(
        engine, [&] { return engine->Cancel(); }, ErrorCodeOf(engine));
}

RKL_API void RKL_Destroy(RKL_HANDLE h) {
    if (!h) return;
    rkl::TWinRKL* engine = Engine(h);
    Protected(
        nullptr,
        [&] {
            if (engine->IsBusy()) {
                engine->RequestDestroy();  // RKL_DoIdle deletes it on its way out
                return;
            }
            delete engine;
        },
        [] {});
}

RKL_API int32_t RKL_FillComboWithPorts(RKL_WINDOW combo) {
    return Protected(
        nullptr,
        [&] {
            static const char* const kPorts[] = {"COM1", "COM2", "COM3", "COM4"};
            for (const char* port : kPorts)
                rkl::host::SendMessageTo(combo, RKL_CB_ADDSTRING, 0, reinterpret_cast<intptr_t>(port));
            return 1;
        },
        [] { return 0; });
}

RKL_API int32_t RKL_GetRKLVersion(RKL_HANDLE h, char* text) {
    return Protected(
        Engine(h),
        [&] {
            if (!text) return 1;
            if (h) {
                Engine(h)->GetVersion(text);
            } else {
                std::strcpy(text, "v2.0");
            }
            return 1;
        },
        [] { return 0; });
}

}  // extern "C"
