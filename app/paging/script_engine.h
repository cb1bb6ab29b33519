#pragma once
// The eight engine calls the session driver makes, behind an interface so that a test can
// watch or refuse them. The program and vorlapage use Rkl32ScriptEngine, the real library.

#include <cstdint>
#include <string>

#include "rkl32.h"

class IScriptEngine {
public:
    virtual ~IScriptEngine() = default;
    // Null when the engine could not make a handle.
    virtual RKL_HANDLE Init(const std::string& scriptPath, RKL_WINDOW echoWindow, RKL_WINDOW logWindow) = 0;
    virtual int32_t Set(RKL_HANDLE handle, const char* name, const char* value) = 0;
    virtual int32_t Run(RKL_HANDLE handle, const char* entry) = 0;
    virtual int32_t DoIdle(RKL_HANDLE handle) = 0;
    virtual bool Done(RKL_HANDLE handle) = 0;
    virtual void GetError(RKL_HANDLE handle, int32_t& code, std::string& text) = 0;
    virtual int32_t Cancel(RKL_HANDLE handle) = 0;
    virtual void Destroy(RKL_HANDLE handle) = 0;

    // A transport that takes a page whole (a carrier reached over the internet) rather than
    // TAP block by block says so; the driver then runs "SEND_PAGE" once per page and hands it
    // the page's whole text first. Scripts take blocks.
    virtual bool TakesWholePages(RKL_HANDLE) { return false; }
    virtual void SetPageText(RKL_HANDLE, const std::string&) {}
};

class Rkl32ScriptEngine final : public IScriptEngine {
public:
    // The trace callback handed to RKL_Init (the library keeps one for all handles).
    explicit Rkl32ScriptEngine(RKL_TraceProc trace = nullptr) : trace_(trace) {}

    RKL_HANDLE Init(const std::string& scriptPath, RKL_WINDOW echoWindow, RKL_WINDOW logWindow) override;
    int32_t Set(RKL_HANDLE handle, const char* name, const char* value) override;
    int32_t Run(RKL_HANDLE handle, const char* entry) override;
    int32_t DoIdle(RKL_HANDLE handle) override;
    bool Done(RKL_HANDLE handle) override;
    void GetError(RKL_HANDLE handle, int32_t& code, std::string& text) override;
    int32_t Cancel(RKL_HANDLE handle) override;
    void Destroy(RKL_HANDLE handle) override;

private:
    RKL_TraceProc trace_;
};
