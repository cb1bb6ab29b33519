#include "trkl.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

#include "host_link.h"

namespace rkl {

namespace {

// Splices `name` into the "%s" of an error text; texts are cut to 255 characters.
void FormatErrorText(char* out, const char* text, const char* name) {
    const char* mark = std::strstr(text, "%s");
    if (!mark || !name) {
        CopyText(out, text);
        return;
    }
    char joined[kMaxText * 2 + 64];
    const size_t head = static_cast<size_t>(mark - text);
    std::snprintf(joined, sizeof joined, "%.*s%.255s%s", static_cast<int>(head), text, name, mark + 2);
    CopyText(out, joined);
}

}  // namespace

int32_t TRKL::Load(ScriptStream stream) {
    stream_ = std::move(stream);
    char line[kLineSize];
    char command[kLineSize];
    char name[kLineSize];
    size_t length = 0;
    while (!stream_.AtEnd()) {
        if (!stream_.ReadLine(line, length)) break;
        if (char* hash = static_cast<char*>(std::memchr(line, '#', length))) *hash = '\0';
        GetWord(line, 1, command);
        ToUpperAscii(command);
        GetWord(line, 2, name);
        if (std::strlen(name) > kMaxText) name[kMaxText] = '\0';
        const Keyword keyword = ClassifyKeyword(command);
        if (keyword == Keyword::kDebug) {
            debug_ = name[0] ? ParseDecimal32(name) : 0;
        } else if (keyword == Keyword::kEntry) {
            if (!name[0]) {
                SetError(kNoEntryName);
                break;
            }
            const TNamedPosition* label = labels_.Find(name);
            try {
                entries_.Append(name, label ? label->position : 0);
            } catch (const std::bad_alloc&) {
                SetError(kNewEntryFailed, name);
                break;
            }
        } else if (keyword == Keyword::kLabel) {
            if (!name[0]) {
                SetError(kNoLabelName);
                break;
            }
            const int32_t position = stream_.Tell();
            try {
                labels_.Append(name, position);
            } catch (const std::bad_alloc&) {
                SetError(kNewLabelFailed, name);
                break;
            }
            TNamedPosition* entry = entries_.Find(name);
            if (entry && entry->position == 0) entry->position = position;
        }
    }
    return errorCode_;
}

void TRKL::GetVersion(char* text) const {
    std::strcpy(text, "v2.0");
}

void TRKL::GetError(int32_t& code, char* text) const {
    code = errorCode_;
    std::memcpy(text, errorText_, sizeof errorText_);
}

void TRKL::SetError(int32_t code, const char* text) {
    // The missing closing parenthesis is how this trace line has always looked.
    if (Tracing(kTraceInterpreter)) Trace("TRKL::SetError ( %ld, '%s'\r", static_cast<long>(code), text);
    errorCode_ = code;
    CopyText(errorText_, text);
}

void TRKL::SetError(const ErrorDef& error, const char* name) {
    char text[kMaxText + 1];
    FormatErrorText(text, error.text, name);
    SetError(error.code, text);
}

void TRKL::StopOnFault(const ErrorDef& error, const char* name) noexcept {
    Stop();
    try {
        SetError(error, name);
    } catch (...) {  // the host's trace callback failed too: the error is set without it
        errorCode_ = error.code;
        CopyText(errorText_, error.text);
    }
}

void TRKL::Trace(const char* format, ...) {
    if (!host::HasTrace()) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    host::EmitTrace(line);
}

int32_t TRKL::Cancel() {
    cancelRequest_ = true;
    if (interruptCounter_ <= 0) {
        Fail(kCanceled);
    }
    return errorCode_;
}

int32_t TRKL::Run(const char* entry) {
    if (running_) {
        SetError(kAlreadyRunning);
        return errorCode_;
    }
    char name[kMaxText + 1];
    CopyText(name, entry);
    const TNamedPosition* found = entries_.Find(name);
    if (!found) {
        SetError(kEntryNotFound, name);
        return errorCode_;
    }
    if (found->position <= 0) {
        SetError(kEntryHasNoLabel, name);
        return errorCode_;
    }
    Start(found->position);
    return 0;
}

void TRKL::Start(int32_t position) {
    cancelRequest_ = false;
    errorText_[0] = '\0';
    errorCode_ = 0;
    interruptCounter_ = 0;
    returnStack_.clear();
    running_ = true;
    sendDelay_ = 0;
    stream_.Seek(position);
}

int32_t TRKL::DoIdle() {
    if (busy_) return 0;
    if (!running_) return errorCode_;
    busy_ = true;
    // Cleared on every way out, also when a fault unwinds to the export's guard: a handle left
    // busy would answer every later DoIdle with 0 and never run again.
    struct BusyScope {
        bool& flag;
        ~BusyScope() { flag = false; }
    } const busyScope{busy_};
    bool atEnd = false;
    const PreparedLine* prepared = lines_.Fetch(stream_, atEnd);
    char line[kLineSize];
    if (prepared && prepared->split) {
        char* args = line;
        if (!prepared->argsHaveReference) {
            std::memcpy(line, prepared->decodedArgs.c_str(), prepared->decodedArgs.size() + 1);
        } else {
            // Only the arguments change; they keep the room the command word leaves them.
            const size_t room = kLineSize - prepared->argsOffset;
            if (!ExpandSegments(*prepared, variables_, line, room - 1)) {
                CopyLine(line, std::string_view(prepared->text).substr(prepared->argsOffset));
                Substitute(line, room, variables_);
            }
            args = const_cast<char*>(SkipBlanks(line));
            if (!prepared->asIs) DecodeHex(args);
        }
        DoCommand(prepared->keyword, prepared->command.c_str(), args);
    } else if (prepared) {
        CopyLine(line, prepared->text);
        RunRawLine(line);
    } else if (!atEnd) {
        size_t length = 0;
        size_t comment = 0;
        stream_.ReadLine(line, length, &comment, '#');
        line[comment] = '\0';
        RunRawLine(line);
    } else {
        Fail(kEndOfFile);
    }
    return errorCode_;
}

void TRKL::RunRawLine(char* line) {
    Substitute(line, kLineSize, variables_);

    char* command = const_cast<char*>(SkipBlanks(line));
    char* p = command;
    for (; *p != '\0' && !IsBlank(*p); ++p)
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 'a' + 'A');
    const Keyword keyword = ClassifyKeyword(command, static_cast<size_t>(p - command));
    char* args = p;
    if (*p != '\0') {
        *p = '\0';
        args = const_cast<char*>(SkipBlanks(p + 1));
    }
    if (keyword != Keyword::kSendAsIs && keyword != Keyword::kLogAsIs) DecodeHex(args);
    DoCommand(keyword, command, args);
}

void TRKL::DoCommand(Keyword keyword, const char* command, char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::DoCommand ('%s', '%s');\r", command, args);
    switch (keyword) {
        case Keyword::kEmpty:
        case Keyword::kDebug:
        case Keyword::kEntry:
        case Keyword::kLabel:
            return;
        case Keyword::kDec:
            return Dec(args);
        case Keyword::kExit:
            return Exit(args);
        case Keyword::kInc:
            return Inc(args);
        case Keyword::kInterrupt:
            return Interrupt(args);
        case Keyword::kJump:
            return Jump(args);
        case Keyword::kJumpEqu:
            return JumpEqu(args);
        case Keyword::kJumpNEqu:
            return JumpNEqu(args);
        case Keyword::kJumpSub:
            return JumpSub(args);
        case Keyword::kLogAsIs:
            return LogAsIs(args);
        case Keyword::kReturn:
            return Return();
        case Keyword::kSendAsIs:
            return SendAsIs(args);
        case Keyword::kSendDelay:
            return SendDelayCommand(args);
        case Keyword::kSet:
            Set(args);
            return;
        case Keyword::kUnset:
            return Unset(args);
        default:
            Fail(kInvalidCommand, command);
            return;
    }
}

int32_t TRKL::SetVariable(const char* name, const char* value) {
    char line[kLineSize];
    std::snprintf(line, sizeof line, "%s %s", name ? name : "", value ? value : "");
    return Set(line) ? 0 : errorCode_;
}

}  // namespace rkl
