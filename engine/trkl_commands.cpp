// The interpreter's own commands: variables and flow.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <limits>

#include "trkl.h"

namespace rkl {

bool TRKL::JumpTo(const char* label, const ErrorDef& missing) {
    const TNamedPosition* target = labels_.Find(label);
    if (!target) {
        Fail(missing, label);
        return false;
    }
    stream_.Seek(target->position);
    return true;
}

bool TRKL::Set(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::Set ('%s');\r", args);
    const char* nameStart = SkipBlanks(args);
    const char* p = nameStart;
    while (*p != '\0' && !IsBlank(*p))
        ++p;
    std::string_view name(nameStart, static_cast<size_t>(p - nameStart));
    if (name.size() > kMaxText) name = name.substr(0, kMaxText);
    const char* valueStart = SkipBlanks(p);
    const char* valueEnd = valueStart;
    while (*valueEnd != '\0')
        ++valueEnd;
    std::string_view value(valueStart, static_cast<size_t>(valueEnd - valueStart));
    if (value.size() > kMaxText) value = value.substr(0, kMaxText);
    if (name.empty()) {
        Fail(kSetNoVariable);
        return false;
    }
    char nameText[kMaxText + 1];
    CopyText(nameText, name);
    if (value.empty()) {
        Fail(kSetNoValue, nameText);
        return false;
    }
    if (variables_.Set(name, value) != VariableList::SetResult::kOk) {
        Fail(kNewVariableFailed, nameText);
        return false;
    }
    return true;
}

void TRKL::Unset(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::Unset ('%s');\r", args);
    char name[kLineSize];
    GetWord(args, 1, name);
    if (std::strlen(name) > kMaxText) name[kMaxText] = '\0';
    if (!variables_.Remove(name)) {
        Fail(kUnsetNoVariable, name);
    }
}

void TRKL::AddBy(char* args, int delta, const ErrorDef& missing) {
    std::string_view word;
    GetWordViews(args, &word, 1);
    if (word.size() > kMaxText) word = word.substr(0, kMaxText);
    TVariable* variable = variables_.FindVariable(word);
    if (!variable) {
        char name[kMaxText + 1];
        CopyText(name, word);
        Fail(missing, name);
        return;
    }
    int64_t value = ParseDecimal(variable->value.c_str());
    // Saturate rather than overflow: a counter stuck at its limit is still a number.
    if (delta > 0 && value < std::numeric_limits<int64_t>::max()) ++value;
    if (delta < 0 && value > std::numeric_limits<int64_t>::min()) --value;
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, value);
    variable->value.assign(text, static_cast<size_t>(written.ptr - text));
}

void TRKL::Inc(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::Inc ('%s');\r", args);
    AddBy(args, +1, kIncNoVariable);
}

void TRKL::Dec(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::Dec ('%s');\r", args);
    AddBy(args, -1, kDecNoVariable);
}

void TRKL::Jump(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::Jump ('%s');\r", args);
    char label[kLineSize];
    GetWord(args, 1, label);
    JumpTo(label, kJumpNoLabel);
}

void TRKL::JumpIf(char* args, bool whenEqual) {
    std::string_view words[3];
    GetWordViews(args, words, 3);
    if ((words[0] == words[1]) != whenEqual) return;
    if (const TNamedPosition* target = labels_.Find(words[2])) {
        stream_.Seek(target->position);
        return;
    }
    char label[kLineSize];
    CopyLine(label, words[2]);
    JumpTo(label, kJumpNoLabel);
}

void TRKL::JumpEqu(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::JumpEqu ('%s');\r", args);
    JumpIf(args, true);
}

void TRKL::JumpNEqu(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::JumpNEqu ('%s');\r", args);
    JumpIf(args, false);
}

void TRKL::JumpSub(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::JumpSub ('%s');\r", args);
    char label[kLineSize];
    GetWord(args, 1, label);
    const TNamedPosition* target = labels_.Find(label);
    if (!target) {
        Fail(kJumpSubNoLabel, label);
        return;
    }
    if (returnStack_.size() >= kMaxReturnDepth) {
        Fail(kPushOffsetFailed);
        return;
    }
    try {
        returnStack_.push_back(TOffset{stream_.Tell()});
    } catch (const std::bad_alloc&) {
        Fail(kNewOffsetFailed);
        return;
    }
    stream_.Seek(target->position);
}

void TRKL::Return() {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::Return ();\r");
    if (returnStack_.empty()) {
        Fail(kPullOffsetFailed);
        return;
    }
    const TOffset top = returnStack_.back();
    returnStack_.pop_back();
    stream_.Seek(top.position);
}

void TRKL::Exit(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::Exit ('%s');\r", args);
    const char* p = SkipBlanks(args);
    const int32_t code = ParseDecimal32(p);
    while (*p != '\0' && !IsBlank(*p))
        ++p;
    const char* text = SkipBlanks(p);
    if (*text == '\0') {
        char exited[32];
        std::snprintf(exited, sizeof exited, "Exited %ld", static_cast<long>(code));
        SetError(code, exited);
    } else {
        SetError(code, text);
    }
    Stop();
}

void TRKL::Interrupt(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::Interrupt ('%s');\r", args);
    char word[kLineSize];
    GetWord(args, 1, word);
    ToUpperAscii(word);
    if (std::strcmp(word, "OFF") == 0) {
        if (interruptCounter_ < std::numeric_limits<int32_t>::max()) ++interruptCounter_;
    } else if (std::strcmp(word, "ON") == 0) {
        if (interruptCounter_ > std::numeric_limits<int32_t>::min()) --interruptCounter_;
        if (interruptCounter_ <= 0 && cancelRequest_) {
            Fail(kCanceled);
        }
    } else {
        Fail(kInterruptParameter);
    }
}

void TRKL::SendDelayCommand(char* args) {
    if (Tracing(kTraceInterpreter)) Trace("TRKL::SendDelay ('%s');\r", args);
    sendDelay_ = ParseDecimal32(args);
}

}  // namespace rkl
