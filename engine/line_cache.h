// Lines of the running script, prepared once: the comment cut off, the command word
// classified, and, when the arguments hold no variable reference, the arguments
// already decoded. A loop then costs a copy and a dispatch per line instead of a
// full scan. Everything here is what the line's text alone decides; variables are
// still expanded on every run of the line.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "keywords.h"
#include "script_stream.h"

namespace rkl {

struct PreparedLine {
    int32_t position = 0;
    int32_t next = 0;        // position of the line after it
    int32_t following = -1;  // cache index of the line at `next`, once seen
    int32_t jumped = -1;     // cache index of the line the last jump from here reached
    std::string text;        // the line without its comment
    // The command word holds no '{': it is known before substitution, and only the
    // arguments need expanding. Otherwise the whole line goes the long way.
    bool split = false;
    Keyword keyword = Keyword::kEmpty;
    std::string command;    // upper case
    size_t argsOffset = 0;  // where the arguments start in `text`
    bool argsHaveReference = false;
    bool asIs = false;        // SENDASIS and LOGASIS: no dollar-hex decoding
    std::string decodedArgs;  // the final arguments when there is no reference
    // The arguments cut into literal text and variable references, found the way the
    // expansion finds them, so that a run of the line needs no search for braces.
    struct Segment {
        bool reference = false;
        std::string text;      // literal text, or the variable's name
        uint64_t hash = 0;     // of the name
        size_t rawLength = 0;  // bytes of the raw arguments it stands for
    };
    std::vector<Segment> segments;
    size_t rawArgsLength = 0;
};

// Expands the prepared arguments into `out`, which has room for `limit` characters
// and the terminator. False when a value would push the line past its limit: only
// the character-by-character expansion cuts exactly as scripts expect, so the caller
// then falls back to it.
bool ExpandSegments(const PreparedLine& line, const class VariableLookup& variables, char* out, size_t limit);

class LineCache {
public:
    // Bounds on what the cache keeps; lines beyond them are read directly each time.
    static constexpr size_t kMaxLines = 65536;
    static constexpr size_t kMaxBytes = 8u * 1024u * 1024u;

    // The line at the stream's position, advancing the stream past it. Null with
    // `atEnd` set at the end of the file; null without it when the cache is full, in
    // which case the stream has not moved and the caller reads the line itself.
    const PreparedLine* Fetch(ScriptStream& stream, bool& atEnd);
    void Clear();

private:
    int32_t Prepare(ScriptStream& stream, int32_t position, bool& atEnd);

    std::vector<PreparedLine> lines_;
    std::unordered_map<int32_t, int32_t> indexOf_;
    int32_t last_ = -1;
    size_t bytes_ = 0;
};

}  // namespace rkl
