#include "paging/script_engine.h"

RKL_HANDLE Rkl32ScriptEngine::Init(const std::string& scriptPath, RKL_WINDOW echoWindow,
                                   RKL_WINDOW logWindow) {
    return RKL_Init(scriptPath.c_str(), echoWindow, logWindow, trace_);
}

int32_t Rkl32ScriptEngine::Set(RKL_HANDLE handle, const char* name, const char* value) {
    return RKL_Set(handle, name, value);
}

int32_t Rkl32ScriptEngine::Run(RKL_HANDLE handle, const char* entry) {
    return RKL_Run(handle, entry);
}

int32_t Rkl32ScriptEngine::DoIdle(RKL_HANDLE handle) {
    return RKL_DoIdle(handle);
}

bool Rkl32ScriptEngine::Done(RKL_HANDLE handle) {
    return RKL_Done(handle) != 0;
}

void Rkl32ScriptEngine::GetError(RKL_HANDLE handle, int32_t& code, std::string& text) {
    char buffer[256] = {};
    int32_t value = 0;
    RKL_GetError(handle, &value, buffer);
    buffer[255] = '\0';
    code = value;
    text = buffer;
}

int32_t Rkl32ScriptEngine::Cancel(RKL_HANDLE handle) {
    return RKL_Cancel(handle);
}

void Rkl32ScriptEngine::Destroy(RKL_HANDLE handle) {
    RKL_Destroy(handle);
}
