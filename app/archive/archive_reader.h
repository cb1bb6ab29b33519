#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/serializable.h"
#include "files/archive_error.h"

class ClassRegistry;

// Reads an archive from bytes in memory. It never trusts them: every length is checked
// against the bytes left, nesting is bounded, and the first failure is kept ("sticky"):
// afterwards every read yields zero, an empty string or null, so a record's Serialize can
// read straight on and the caller checks Error() once at the end.
//
// The reader owns every object it builds until ReleaseObjects(); if that never happens
// (a failed load), its destructor frees them all, each exactly once.
class ArchiveReader {
public:
    // One entry per archive index: a class entry (cls set, object null) or an object.
    struct Entry {
        Serializable* object = nullptr;
        const ClassInfo* cls = nullptr;
    };

    ArchiveReader(std::span<const uint8_t> bytes, const ClassRegistry& registry, uint16_t formatVersion);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    uint16_t FormatVersion() const { return formatVersion_; }
    void SetFormatVersion(uint16_t version) { formatVersion_ = version; }

    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadDword();
    int32_t ReadInt() { return static_cast<int32_t>(ReadDword()); }
    std::string ReadString();
    uint32_t ReadCount();
    // n raw bytes; fails with end of file (and returns empty) when fewer are left.
    std::string ReadRaw(size_t n);
    // True when the next bytes equal `expected` (nothing is consumed).
    bool Peek(std::string_view expected) const;

    // Reads an object reference. With `required`, the object must be of that class or derived
    // from it (null passes). Returns null on failure.
    Serializable* ReadObject(const ClassInfo* required);
    template <class T>
    T* ReadObjectOf() {
        return static_cast<T*>(ReadObject(&T::kClass));
    }

    // The schema stored in the file for the object being loaded; handed out once, after that
    // (and outside objects) 0xFFFFFFFF.
    uint32_t ObjectSchema();

    void Fail(ArchiveError error);
    bool Failed() const { return error_ != ArchiveError::None; }
    ArchiveError Error() const { return error_; }
    size_t Position() const { return pos_; }
    size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }

    // Index 0 is the null entry; every class and object read follows in index order.
    const std::vector<Entry>& Entries() const { return entries_; }
    // The schema each class carried in the file (for tools that rebuild it exactly).
    const std::unordered_map<const ClassInfo*, uint16_t>& SchemasInFile() const { return fileSchemas_; }

    // The index of an object this reader built, or 0.
    uint32_t IndexOf(const Serializable& object) const { return ArchiveMarks::Get(object, serial_); }

    // The caller has taken ownership of every object built (through the roots it read).
    void ReleaseObjects() { released_ = true; }

private:
    bool Need(size_t n);

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    const ClassRegistry& registry_;
    uint16_t formatVersion_;
    uint32_t serial_;
    std::vector<Entry> entries_;
    std::unordered_map<const ClassInfo*, uint16_t> fileSchemas_;
    std::unordered_map<const ClassInfo*, uint16_t> changedSchemas_;  // versionable, differing
    uint32_t currentSchema_ = 0xFFFFFFFF;
    size_t depth_ = 0;
    bool released_ = false;
    ArchiveError error_ = ArchiveError::None;
};
