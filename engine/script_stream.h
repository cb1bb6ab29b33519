// The script file as the interpreter reads it: line by line, with exact byte
// positions that labels remember and jumps seek to.
//
// The file is read into memory once when it is opened. A script is a few kilobytes,
// and every jump would otherwise cost a seek and a buffer refill; positions are the
// byte offsets of the file exactly as on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rkl {

class ScriptStream {
public:
    // Longest line handed out; a longer physical line comes out as several lines.
    static constexpr size_t kMaxLine = 511;
    // Larger files are refused: no real script comes near, and a stray path to a
    // huge file must not take the host's memory.
    static constexpr size_t kMaxFileSize = 16u * 1024u * 1024u;

    // A missing, unreadable or oversized file leaves the stream empty: it then simply
    // has no lines.
    bool OpenFile(const std::string& path);
    void OpenBytes(std::string_view bytes);

    // Copies the next line (without its line end) into `line`, which has room for
    // kMaxLine characters and the terminator, and sets `length`. Returns false when
    // nothing could be read because the stream is at its end. When `mark` is given, it
    // receives the offset of the first `mark_char` in the line, or `length` when there
    // is none: the interpreter finds a line's comment in the same pass.
    bool ReadLine(char* line, size_t& length, size_t* mark = nullptr, char markChar = '#');

    bool AtEnd() const { return position_ >= data_.size(); }
    int32_t Tell() const { return static_cast<int32_t>(position_); }
    // A position beyond the end just means the next read finds the end.
    void Seek(int32_t position);

private:
    void Adopt();

    std::string data_;
    size_t position_ = 0;
};

}  // namespace rkl
