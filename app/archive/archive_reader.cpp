#include "archive/archive_reader.h"

#include "archive/archive_limits.h"
#include "archive/class_registry.h"
#include "text/cp1252.h"

namespace {
constexpr uint32_t kNoSchema = 0xFFFFFFFF;
constexpr size_t kMaxClassNameLength = 64;
}  // namespace

ArchiveReader::ArchiveReader(std::span<const uint8_t> bytes, const ClassRegistry& registry,
                             uint16_t formatVersion)
    : bytes_(bytes), registry_(registry), formatVersion_(formatVersion), serial_(ArchiveMarks::NewSerial()) {
    entries_.push_back(Entry{});  // index 0 is null
    // Saved records average well over 16 bytes each, so this is nearly always enough and
    // never more memory than the file itself: the table then never grows by copying.
    entries_.reserve(bytes.size() / 16 + 1);
}

ArchiveReader::~ArchiveReader() {
    if (released_) return;
    // Cut every ownership link first, then free each object on its own: objects that were
    // half-read or shared by a hostile file are freed exactly once.
    for (Entry& entry : entries_) {
        if (entry.object) entry.object->ForgetOwned();
    }
    for (Entry& entry : entries_)
        delete entry.object;
}

void ArchiveReader::Fail(ArchiveError error) {
    if (error_ == ArchiveError::None) error_ = error;
}

bool ArchiveReader::Need(size_t n) {
    if (Failed()) return false;
    if (Remaining() < n) {
        Fail(ArchiveError::EndOfFile);
        return false;
    }
    return true;
}

uint8_t ArchiveReader::ReadByte() {
    if (!Need(1)) return 0;
    return bytes_[pos_++];
}

uint16_t ArchiveReader::ReadWord() {
    if (!Need(2)) return 0;
    uint16_t value = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return value;
}

uint32_t ArchiveReader::ReadDword() {
    if (!Need(4)) return 0;
    uint32_t value = static_cast<uint32_t>(bytes_[pos_]) | static_cast<uint32_t>(bytes_[pos_ + 1]) << 8 |
                     static_cast<uint32_t>(bytes_[pos_ + 2]) << 16 |
                     static_cast<uint32_t>(bytes_[pos_ + 3]) << 24;
    pos_ += 4;
    return value;
}

std::string ArchiveReader::ReadRaw(size_t n) {
    if (!Need(n)) return {};
    std::string out(reinterpret_cast<const char*>(bytes_.data() + pos_), n);
    pos_ += n;
    return out;
}

bool ArchiveReader::Peek(std::string_view expected) const {
    if (Failed() || Remaining() < expected.size()) return false;
    for (size_t i = 0; i < expected.size(); ++i) {
        if (bytes_[pos_ + i] != static_cast<uint8_t>(expected[i])) return false;
    }
    return true;
}

std::string ArchiveReader::ReadString() {
    bool wide = false;
    uint32_t length = 0;
    for (;;) {
        uint8_t small = ReadByte();
        if (small < 0xFF) {
            length = small;
            break;
        }
        uint16_t word = ReadWord();
        if (word == 0xFFFE && !wide) {
            wide = true;  // the length follows again, by the same rules
            continue;
        }
        length = word == 0xFFFF ? ReadDword() : word;
        break;
    }
    if (Failed()) return {};
    if (!wide) return ReadRaw(length);
    if (!Need(static_cast<size_t>(length) * 2)) return {};
    std::u16string units;
    units.reserve(length);
    for (uint32_t i = 0; i < length; ++i)
        units.push_back(static_cast<char16_t>(ReadWord()));
    return Utf16ToCp1252(units);
}

uint32_t ArchiveReader::ReadCount() {
    uint16_t count = ReadWord();
    return count == 0xFFFF ? ReadDword() : count;
}

uint32_t ArchiveReader::ObjectSchema() {
    uint32_t schema = currentSchema_;
    currentSchema_ = kNoSchema;
    return schema;
}

Serializable* ArchiveReader::ReadObject(const ClassInfo* required) {
    if (Failed()) return nullptr;
    uint16_t word = ReadWord();
    uint32_t tag =
        word == 0x7FFF ? ReadDword() : (static_cast<uint32_t>(word & 0x8000) << 16) | (word & 0x7FFF);
    if (Failed()) return nullptr;
    const uint32_t highest = static_cast<uint32_t>(entries_.size() - 1);

    const ClassInfo* cls = nullptr;
    uint32_t schema = 0;
    if (word != 0xFFFF && !(tag & 0x80000000u)) {
        if (tag > highest) {
            Fail(ArchiveError::BadIndex);
            return nullptr;
        }
        const Entry& entry = entries_[tag];
        if (tag != 0 && !entry.object) {  // the index names a class, not an object
            Fail(ArchiveError::BadIndex);
            return nullptr;
        }
        if (entry.object && required && !entry.object->IsKindOf(*required)) {
            Fail(ArchiveError::BadClass);
            return nullptr;
        }
        return entry.object;
    }

    if (word == 0xFFFF) {
        uint16_t storedSchema = ReadWord();
        uint16_t nameLength = ReadWord();
        if (Failed()) return nullptr;
        if (nameLength >= kMaxClassNameLength || Remaining() < nameLength) {
            Fail(ArchiveError::BadClass);
            return nullptr;
        }
        std::string name = ReadRaw(nameLength);
        cls = registry_.Find(name);
        if (!cls) {
            Fail(ArchiveError::BadClass);
            return nullptr;
        }
        if (storedSchema != cls->schema) {
            if (!cls->versionable) {
                Fail(ArchiveError::BadSchema);
                return nullptr;
            }
            changedSchemas_[cls] = storedSchema;
        }
        fileSchemas_[cls] = storedSchema;
        schema = storedSchema;
        entries_.push_back(Entry{nullptr, cls});
    } else {
        uint32_t classIndex = tag & 0x7FFFFFFFu;
        if (classIndex < 1 || classIndex > highest || entries_[classIndex].object) {
            Fail(ArchiveError::BadIndex);
            return nullptr;
        }
        cls = entries_[classIndex].cls;
        auto changed = changedSchemas_.find(cls);
        schema = changed != changedSchemas_.end() ? changed->second : cls->schema;
    }

    if (required && !cls->IsDerivedFrom(*required)) {
        Fail(ArchiveError::BadClass);
        return nullptr;
    }
    if (depth_ >= kMaxObjectNesting) {
        Fail(ArchiveError::BadSchema);
        return nullptr;
    }
    std::unique_ptr<Serializable> created = cls->factory();
    Serializable* object = created.release();
    ArchiveMarks::Set(*object, serial_, static_cast<uint32_t>(entries_.size()));
    entries_.push_back(Entry{object, cls});  // before its fields: they may refer back to it
    uint32_t savedSchema = currentSchema_;
    currentSchema_ = schema;
    ++depth_;
    object->Serialize(*this);
    --depth_;
    currentSchema_ = savedSchema;
    return Failed() ? nullptr : object;
}
