#include "script_stream.h"

#include <cstring>
#include <fstream>

namespace rkl {

namespace {
constexpr char kCtrlZ = 26;
}

bool ScriptStream::OpenFile(const std::string& path) {
    data_.clear();
    position_ = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > kMaxFileSize) return false;
    file.seekg(0, std::ios::beg);
    data_.resize(static_cast<size_t>(size));
    file.read(data_.data(), size);
    data_.resize(static_cast<size_t>(file.gcount()));
    Adopt();
    return true;
}

void ScriptStream::OpenBytes(std::string_view bytes) {
    data_.assign(bytes.substr(0, kMaxFileSize));
    position_ = 0;
    Adopt();
}

// Ctrl-Z ends the file wherever it stands, so nothing after it can ever be read.
void ScriptStream::Adopt() {
    const size_t eof = data_.find(kCtrlZ);
    if (eof != std::string::npos) data_.resize(eof);
}

bool ScriptStream::ReadLine(char* line, size_t& length, size_t* mark, char markChar) {
    length = 0;
    line[0] = '\0';
    if (mark) *mark = 0;
    if (position_ >= data_.size()) return false;
    const char* start = data_.data() + position_;
    const size_t left = data_.size() - position_;
    // Copy while looking for the line feed: lines are short, one pass does both. One
    // byte beyond kMaxLine is looked at so that a CR LF right after 511 characters
    // still ends this line.
    const size_t limit = left < kMaxLine + 2 ? left : kMaxLine + 2;
    size_t n = 0;
    size_t firstMark = kMaxLine + 2;
    for (; n < limit; ++n) {
        const char c = start[n];
        if (c == '\n') break;
        if (n < kMaxLine) line[n] = c;
        if (c == markChar && n < firstMark) firstMark = n;
    }
    const bool lineFeed = n < limit;
    size_t content = n;
    size_t consumed = lineFeed ? n + 1 : n;
    if (lineFeed && content > 0 && start[content - 1] == '\r') --content;
    if (content > kMaxLine) {
        // The rest of an over-long physical line becomes the next line.
        content = kMaxLine;
        consumed = kMaxLine;
    }
    line[content] = '\0';
    length = content;
    if (mark) *mark = firstMark < content ? firstMark : content;
    position_ += consumed;
    return true;
}

void ScriptStream::Seek(int32_t position) {
    position_ = position < 0 ? data_.size() : static_cast<size_t>(position);
}

}  // namespace rkl
