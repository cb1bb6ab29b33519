// TRKL: the platform-independent interpreter. It indexes a script's entries and
// labels, keeps its variables, and runs one line per DoIdle call. Commands that need
// the host or a port belong to the derived TWinRKL.
#pragma once

#include <cstdint>
#include <vector>

#include "error_table.h"
#include "keywords.h"
#include "line_cache.h"
#include "script_lists.h"
#include "script_stream.h"
#include "script_text.h"

namespace rkl {

// Bits of the script's DEBUG flags.
enum DebugBits : int32_t {
    kTraceSentChars = 1,
    kTraceReceivedChars = 2,
    kTraceHost = 4,
    kTracePort = 8,
    kTraceInterpreter = 16,
};

class TRKL {
public:
    // Bounds the nesting of JUMPSUB; going deeper is reported as a failed push.
    static constexpr size_t kMaxReturnDepth = 4096;

    TRKL() = default;
    virtual ~TRKL() = default;
    TRKL(const TRKL&) = delete;
    TRKL& operator=(const TRKL&) = delete;

    // Indexes entries, labels and the DEBUG flags; keeps the stream for running.
    virtual int32_t Load(ScriptStream stream);
    void GetVersion(char* text) const;
    int32_t GetDebug() const { return debug_; }
    // `text` receives at most 255 characters and the terminator.
    void GetError(int32_t& code, char* text) const;
    int32_t ErrorCode() const { return errorCode_; }
    void SetError(int32_t code, const char* text);
    // Sets an error of the table; `name` replaces the "%s" of its text.
    void SetError(const ErrorDef& error, const char* name = nullptr);
    // What the exports do with a fault that reached them: the entry stops with `error` set.
    void StopOnFault(const ErrorDef& error, const char* name = nullptr) noexcept;

    int32_t Cancel();
    int32_t DoIdle();
    bool Done() const { return !running_; }
    bool IsRunning() const { return running_; }
    bool IsBusy() const { return busy_; }
    int32_t Run(const char* entry);
    void Start(int32_t position);
    // The host's assignment of a variable: runs "name value" as SET. Answers 0 when
    // the variable was set, else the error code; a success leaves the result of the
    // last entry in the handle untouched.
    int32_t SetVariable(const char* name, const char* value);

    // For tests and the host: read-only views of the loaded program.
    const NamedPositionList& Entries() const { return entries_; }
    const NamedPositionList& Labels() const { return labels_; }
    const VariableList& Variables() const { return variables_; }
    size_t ReturnDepth() const { return returnStack_.size(); }
    int32_t InterruptCounter() const { return interruptCounter_; }
    int32_t SendDelay() const { return sendDelay_; }

protected:
    // The interpreter level of the dispatch; `command` is upper case.
    virtual void DoCommand(Keyword keyword, const char* command, char* args);
    virtual void LogAsIs(char* text) = 0;
    virtual void SendAsIs(char* text) = 0;

    void Trace(const char* format, ...) __attribute__((format(printf, 2, 3)));
    bool Tracing(int32_t bit) const { return (debug_ & bit) != 0; }
    void Stop() { running_ = false; }
    // Almost every error of the table stops the entry: set it and stop in one step.
    void Fail(const ErrorDef& error, const char* name = nullptr) {
        SetError(error, name);
        Stop();
    }
    // Seeks to the label, or sets `missing` with the label's name and stops.
    bool JumpTo(const char* label, const ErrorDef& missing);

    // Interpreter commands; each takes the argument text of its line.
    void Dec(char* args);
    void Exit(char* args);
    void Inc(char* args);
    void Interrupt(char* args);
    void Jump(char* args);
    void JumpEqu(char* args);
    void JumpNEqu(char* args);
    void JumpSub(char* args);
    void Return();
    void SendDelayCommand(char* args);
    // True when the variable was set.
    bool Set(char* args);
    void Unset(char* args);

    bool cancelRequest_ = false;
    int32_t debug_ = 0;
    NamedPositionList entries_;
    char errorText_[kMaxText + 1] = {};
    int32_t errorCode_ = 0;
    int32_t interruptCounter_ = 0;
    NamedPositionList labels_;
    std::vector<TOffset> returnStack_;  // top = back
    bool running_ = false;
    int32_t sendDelay_ = 0;
    ScriptStream stream_;
    VariableList variables_;
    bool busy_ = false;
    LineCache lines_;

private:
    // The long way for a line whose command word comes from a variable.
    void RunRawLine(char* line);
    void AddBy(char* args, int delta, const ErrorDef& missing);
    void JumpIf(char* args, bool whenEqual);
};

}  // namespace rkl
