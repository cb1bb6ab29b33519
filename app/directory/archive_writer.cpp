#include "archive_writer.h"

#include <cstring>

#include "archive_limits.h"

ArchiveWriter::ArchiveWriter(uint16_t formatVersion) : formatVersion_(formatVersion) {}

void ArchiveWriter::WriteByte(uint8_t value) { bytes_.push_back(static_cast<char>(value)); }

void ArchiveWriter::WriteWord(uint16_t value) {
  WriteByte(static_cast<uint8_t>(value));
  WriteByte(static_cast<uint8_t>(value >> 8));
}

void ArchiveWriter::WriteDword(uint32_t value) {
  WriteWord(static_cast<uint16_t>(value));
  WriteWord(static_cast<uint16_t>(value >> 16));
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

void ArchiveWriter::WriteRaw(std::string_view bytes) { bytes_.append(bytes); }

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
  auto known = indexes_.find(&info);
  if (known != indexes_.end()) {
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
  indexes_.emplace(&info, nextIndex_++);
}

void ArchiveWriter::WriteObject(const Serializable* object) {
  if (!object) {
    WriteWord(0);
    return;
  }
  auto known = indexes_.find(object);
  if (known != indexes_.end()) {
    WriteIndex(known->second, 0);
    return;
  }
  if (depth_ >= kMaxObjectNesting) {
    // A file nested this deeply could not be read back; refuse rather than write it.
    error_ = ArchiveError::BadSchema;
    WriteWord(0);
    return;
  }
  WriteClass(object->GetRuntimeClass());
  indexes_.emplace(object, nextIndex_++);
  ++depth_;
  object->Serialize(*this);
  --depth_;
}
