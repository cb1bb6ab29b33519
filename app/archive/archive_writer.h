#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>

#include "archive/serializable.h"
#include "files/archive_error.h"

// Writes an object graph as an archive: little-endian scalars, length-prefixed strings, and
// object references where an object written before becomes its index. Into memory, or
// through a small buffer into an open file, so saving a large directory needs no copy of
// the whole file in memory.
class ArchiveWriter {
public:
    // formatVersion tells version-dependent records (a service's PermanentLineID, old log
    // records) which layout to write; the program always writes 1.
    explicit ArchiveWriter(uint16_t formatVersion = 1, std::FILE* file = nullptr);

    uint16_t FormatVersion() const { return formatVersion_; }

    void WriteByte(uint8_t value);
    void WriteWord(uint16_t value);
    void WriteDword(uint32_t value);
    void WriteInt(int32_t value) { WriteDword(static_cast<uint32_t>(value)); }
    void WriteString(std::string_view text);
    void WriteCount(uint32_t count);
    void WriteRaw(std::string_view bytes);
    // Null, a back-reference, or the class tag and the full object.
    void WriteObject(const Serializable* object);

    // Writes a schema other than the registered one for a class (tools that rebuild a file
    // exactly as it was found use this).
    void OverrideSchema(const ClassInfo& info, uint16_t schema);

    // Writes what is buffered to the file (if any); false on a write error.
    bool Flush();

    // Bad schema when objects nest deeper than readers accept (kMaxObjectNesting); Io when
    // the file could not be written.
    ArchiveError Error() const { return error_; }
    // Everything written (in-memory writers only).
    const std::string& Bytes() const { return bytes_; }

private:
    void WriteClass(const ClassInfo& info);
    void WriteIndex(uint32_t index, uint16_t tagBit);

    uint16_t formatVersion_;
    std::FILE* file_;
    std::string bytes_;
    uint32_t serial_;  // objects carry their index under this serial (ArchiveMarks)
    std::unordered_map<const ClassInfo*, uint32_t> classIndexes_;  // one counter with objects
    std::unordered_map<const ClassInfo*, uint16_t> schemaOverrides_;
    uint32_t nextIndex_ = 1;
    size_t depth_ = 0;
    ArchiveError error_ = ArchiveError::None;
};
