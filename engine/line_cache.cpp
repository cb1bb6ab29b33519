#include "line_cache.h"

#include <cstring>

#include "name_index.h"
#include "script_text.h"

namespace rkl {

bool ExpandSegments(const PreparedLine& line, const VariableLookup& variables, char* out, size_t limit) {
    size_t length = 0;
    size_t rawLeft = line.rawArgsLength;
    for (const PreparedLine::Segment& segment : line.segments) {
        rawLeft -= segment.rawLength;
        std::string_view piece = segment.text;
        if (segment.reference) {
            if (!variables.FindHashed(segment.text, segment.hash, piece)) continue;
            if (piece.size() > kMaxText) piece = piece.substr(0, kMaxText);
            // The in-place expansion would have cut the rest of the line here.
            if (length + piece.size() + rawLeft > limit) return false;
        }
        if (!piece.empty()) std::memcpy(out + length, piece.data(), piece.size());
        length += piece.size();
    }
    out[length] = '\0';
    return true;
}

void LineCache::Clear() {
    lines_.clear();
    indexOf_.clear();
    last_ = -1;
    bytes_ = 0;
}

const PreparedLine* LineCache::Fetch(ScriptStream& stream, bool& atEnd) {
    atEnd = false;
    const int32_t position = stream.Tell();
    int32_t index = -1;
    // Straight-line flow: the line after the last one is usually known already.
    // A loop's jump usually lands where it landed last time.
    if (last_ >= 0) {
        const PreparedLine& previous = lines_[last_];
        if (previous.following >= 0 && lines_[previous.following].position == position) {
            index = previous.following;
        } else if (previous.jumped >= 0 && lines_[previous.jumped].position == position) {
            index = previous.jumped;
        }
    }
    if (index < 0) {
        const auto it = indexOf_.find(position);
        if (it != indexOf_.end()) index = it->second;
    }
    if (index < 0) {
        index = Prepare(stream, position, atEnd);
        if (index < 0) return nullptr;
    } else {
        stream.Seek(lines_[index].next);
    }
    if (last_ >= 0) {
        if (lines_[last_].next == position) {
            lines_[last_].following = index;
        } else {
            lines_[last_].jumped = index;
        }
    }
    last_ = index;
    return &lines_[index];
}

int32_t LineCache::Prepare(ScriptStream& stream, int32_t position, bool& atEnd) {
    if (lines_.size() >= kMaxLines || bytes_ >= kMaxBytes) {
        atEnd = stream.AtEnd();
        return -1;
    }
    char line[kLineSize];
    size_t length = 0;
    size_t comment = 0;
    if (!stream.ReadLine(line, length, &comment, '#')) {
        atEnd = true;
        return -1;
    }
    line[comment] = '\0';

    PreparedLine prepared;
    prepared.position = position;
    prepared.next = stream.Tell();
    prepared.text.assign(line, comment);
    const char* start = SkipBlanks(line);
    const char* end = start;
    bool braceInCommand = false;
    while (*end != '\0' && !IsBlank(*end))
        braceInCommand |= (*end++ == '{');
    prepared.split = !braceInCommand;
    if (prepared.split) {
        prepared.command.assign(start, static_cast<size_t>(end - start));
        for (char& c : prepared.command)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        prepared.keyword = ClassifyKeyword(prepared.command.c_str(), prepared.command.size());
        const char* args = SkipBlanks(end);
        prepared.argsOffset = static_cast<size_t>(args - line);
        prepared.asIs = prepared.keyword == Keyword::kSendAsIs || prepared.keyword == Keyword::kLogAsIs;
        prepared.argsHaveReference = prepared.text.find('{', prepared.argsOffset) != std::string::npos;
        if (!prepared.argsHaveReference) {
            char decoded[kLineSize];
            CopyLine(decoded, args);
            if (!prepared.asIs) DecodeHex(decoded);
            prepared.decodedArgs = decoded;
        }
    }
    if (prepared.split && prepared.argsHaveReference) {
        const std::string_view args = std::string_view(prepared.text).substr(prepared.argsOffset);
        prepared.rawArgsLength = args.size();
        size_t from = 0;
        while (from < args.size()) {
            const size_t open = args.find('{', from);
            const size_t close = open == std::string_view::npos ? open : args.find('}', open + 1);
            if (close == std::string_view::npos) {
                prepared.segments.push_back({false, std::string(args.substr(from)), 0, args.size() - from});
                break;
            }
            if (open > from)
                prepared.segments.push_back(
                    {false, std::string(args.substr(from, open - from)), 0, open - from});
            std::string_view name = args.substr(open + 1, close - open - 1);
            if (name.size() > kMaxText) name = name.substr(0, kMaxText);
            prepared.segments.push_back({true, std::string(name), HashName(name), close + 1 - open});
            from = close + 1;
        }
    }
    bytes_ +=
        sizeof(PreparedLine) + prepared.text.size() + prepared.command.size() + prepared.decodedArgs.size();
    lines_.push_back(std::move(prepared));
    const auto index = static_cast<int32_t>(lines_.size() - 1);
    indexOf_.emplace(position, index);
    return index;
}

}  // namespace rkl
