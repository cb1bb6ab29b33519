#include "archive/archive_writer.h"

#include <cstring>

#include "archive/archive_limits.h"

namespace {
constexpr size_t kFileBufferSize = 64 * 1024;
}

ArchiveWriter::ArchiveWriter(uint16_t formatVersion, std::FILE* file)
    : formatVersion_(formatVersion), file_(file), serial_(ArchiveMarks::NewSerial()) {
    if (file_) bytes_.reserve(kFileBufferSize * 2);
}

bool ArchiveWriter::Flush() {
    if (!file_ || bytes_.empty()) return error_ != ArchiveError::Io;
    if (std::fwrite(bytes_.data(), 1, bytes_.size(), file_) != bytes_.size()) {
        error_ = ArchiveError::Io;
    }
    bytes_.clear();
    return error_ != ArchiveError::Io;
}

void ArchiveWriter::WriteByte(uint8_t value) {
    const char byte = static_cast<char>(value);
    WriteRaw(std::string_view(&byte, 1));
}

void ArchiveWriter::WriteWord(uint16_t value) {
    const char bytes[2] = {static_cast<char>(value), static_cast<char>(value >> 8)};
    WriteRaw(std::string_view(bytes, 2));
}

void ArchiveWriter::WriteDword(uint32_t value) {
    const char bytes[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                           static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
    WriteRaw(std::string_view(bytes, 4));
}

void ArchiveWriter::WriteString(std::string_view text) {
    size_t length = text.size();
    if (length < 0xFF) {
        WriteByte(static_cast<uint8_t>(length));
    } else if (length < 0xFFFE) {
        WriteByte(0xFF);
        WriteWord(static_cast<uint16_t>(length));
    } else {
        WriteByte(0xFF);
        WriteWord(0xFFFF);
        WriteDword(static_cast<uint32_t>(length));
    }
    WriteRaw(text);
}

void ArchiveWriter::WriteCount(uint32_t count) {
    if (count < 0xFFFF) {
        WriteWord(static_cast<uint16_t>(count));
    } else {
        WriteWord(0xFFFF);
        WriteDword(count);
    }
}

void ArchiveWriter::WriteRaw(std::string_view bytes) {
    bytes_.append(bytes);
    if (file_ && bytes_.size() >= kFileBufferSize) Flush();
}

void ArchiveWriter::WriteIndex(uint32_t index, uint16_t tagBit) {
    if (index < 0x7FFF) {
        WriteWord(static_cast<uint16_t>(tagBit | index));
    } else {
        WriteWord(0x7FFF);
        WriteDword((tagBit ? 0x80000000u : 0u) | index);
    }
}

void ArchiveWriter::OverrideSchema(const ClassInfo& info, uint16_t schema) {
    schemaOverrides_[&info] = schema;
}

void ArchiveWriter::WriteClass(const ClassInfo& info) {
    auto known = classIndexes_.find(&info);
    if (known != classIndexes_.end()) {
        WriteIndex(known->second, 0x8000);
        return;
    }
    auto overridden = schemaOverrides_.find(&info);
    uint16_t schema = overridden != schemaOverrides_.end() ? overridden->second : info.schema;
    size_t nameLength = std::strlen(info.name);
    WriteWord(0xFFFF);
    WriteWord(schema);
    WriteWord(static_cast<uint16_t>(nameLength));
    WriteRaw(std::string_view(info.name, nameLength));
    classIndexes_.emplace(&info, nextIndex_++);
}

void ArchiveWriter::WriteObject(const Serializable* object) {
    if (!object) {
        WriteWord(0);
        return;
    }
    if (uint32_t known = ArchiveMarks::Get(*object, serial_)) {
        WriteIndex(known, 0);
        return;
    }
    if (depth_ >= kMaxObjectNesting) {
        // A file nested this deeply could not be read back; refuse rather than write it.
        if (error_ == ArchiveError::None) error_ = ArchiveError::BadSchema;
        WriteWord(0);
        return;
    }
    WriteClass(object->GetRuntimeClass());
    ArchiveMarks::Set(*object, serial_, nextIndex_++);
    ++depth_;
    object->Serialize(*this);
    --depth_;
}
