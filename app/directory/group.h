#pragma once

#include <string>

#include "archive/serializable.h"

class CObList;

// A named set of subscribers. Owns its Members list object, not the members.
class CGroup : public Serializable {
public:
    static const ClassInfo kClass;

    // For the loader.
    CGroup();
    // With no list given, an empty one is created; a given list becomes the group's.
    explicit CGroup(std::string name, CObList* members = nullptr);
    ~CGroup() override;

    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;
    void ListOwned(OwnedRefs& refs) const override;
    void ForgetOwned() override { members_ = nullptr; }
    bool LinksWellTyped() const override;

    void SetName(std::string v) { name_ = std::move(v); }
    const std::string& GetName() const { return name_; }
    // Replaces the Members list pointer (the old one is the caller's).
    void SetMembers(CObList* members) { members_ = members; }
    CObList* GetMembers() const { return members_; }

private:
    std::string name_;
    CObList* members_ = nullptr;  // owned list, elements not owned
};
