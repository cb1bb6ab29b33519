#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class ArchiveReader;
class ArchiveWriter;
class Serializable;

// What the archive knows about a class: the name written to files, its schema, and how to
// build an empty instance for loading. One static instance per class.
struct ClassInfo {
    const char* name;
    uint16_t schema;
    bool versionable;
    std::unique_ptr<Serializable> (*factory)();
    const ClassInfo* base;  // null for direct descendants of Serializable

    bool IsDerivedFrom(const ClassInfo& other) const;
};

// Collects the objects another object owns. "Sole" ownership means nobody else may own the
// object; "shared" ownership (a message shared by its pages) may be held by several owners.
class OwnedRefs {
public:
    void Sole(const Serializable* object) {
        if (object) sole.push_back(object);
    }
    void Shared(const Serializable* object) {
        if (object) shared.push_back(object);
    }

    std::vector<const Serializable*> sole;
    std::vector<const Serializable*> shared;
};

// Base of every record that can be written into an archive. Records are identities, not
// values: they are never copied, and they are referred to by pointer across the graph.
class Serializable {
public:
    Serializable() = default;
    Serializable(const Serializable&) = delete;
    Serializable& operator=(const Serializable&) = delete;
    virtual ~Serializable() = default;

    virtual const ClassInfo& GetRuntimeClass() const = 0;
    virtual void Serialize(ArchiveWriter& archive) const = 0;
    virtual void Serialize(ArchiveReader& archive) = 0;

    // The loader checks that a file gives every object at most one owner before it trusts
    // the graph; these two describe and cut ownership without following cross-links.
    virtual void ListOwned(OwnedRefs& refs) const { (void)refs; }
    // Drops (without freeing) every owned pointer. Used when a failed load frees each object
    // it built one by one, so that nothing is freed twice.
    virtual void ForgetOwned() {}
    // False when a list this record owns holds something other than what it should (a group's
    // members must all be subscribers). Loaders reject such files instead of casting blindly.
    virtual bool LinksWellTyped() const { return true; }
    // Runs when the owner drops the record for good, before it is deleted: a page gives its
    // share of the message back here.
    virtual void OnDiscard() {}

    bool IsKindOf(const ClassInfo& info) const { return GetRuntimeClass().IsDerivedFrom(info); }

private:
    friend class ArchiveMarks;
    // The archive this object last took part in (high half) and its index there (low half).
    // Keeping it in the object spares a hash lookup per reference, which kept saving and
    // loading a million-record directory from growing faster than the directory. An object
    // takes part in one archive at a time (saves and loads run on one thread).
    mutable uint64_t archiveMark_ = 0;
};

// Gives each archive a serial number and reads and writes the objects' marks.
class ArchiveMarks {
public:
    static uint32_t NewSerial();
    static void Set(const Serializable& object, uint32_t serial, uint32_t index) {
        object.archiveMark_ = (static_cast<uint64_t>(serial) << 32) | index;
    }
    // The object's index in the archive with this serial, or 0 when it has none there.
    static uint32_t Get(const Serializable& object, uint32_t serial) {
        return (object.archiveMark_ >> 32) == serial ? static_cast<uint32_t>(object.archiveMark_) : 0;
    }
};

// Drops a record for good: OnDiscard, then delete. Null is allowed.
void DiscardRecord(Serializable* record);

// Casts when the object is of the class (or derived), else null.
template <class T>
T* As(Serializable* object) {
    return object && object->IsKindOf(T::kClass) ? static_cast<T*>(object) : nullptr;
}
template <class T>
const T* As(const Serializable* object) {
    return object && object->IsKindOf(T::kClass) ? static_cast<const T*>(object) : nullptr;
}
