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

bool ScriptStream::ReadLine(char* line, size_t& length) {
  length = 0;
  line[0] = '\0';
  if (position_ >= data_.size()) return false;
  const char* start = data_.data() + position_;
  const size_t left = data_.size() - position_;
  const void* lf = std::memchr(start, '\n', left);
  size_t content = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : left;
  size_t consumed = lf ? content + 1 : content;
  if (lf && content > 0 && start[content - 1] == '\r') --content;
  if (content > kMaxLine) {
    // The rest of an over-long physical line becomes the next line.
    content = kMaxLine;
    consumed = kMaxLine;
  }
  std::memcpy(line, start, content);
  line[content] = '\0';
  length = content;
  position_ += consumed;
  return true;
}

void ScriptStream::Seek(int32_t position) {
  position_ = position < 0 ? data_.size() : static_cast<size_t>(position);
}

}  // namespace rkl
