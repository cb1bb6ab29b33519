#pragma once

#include <cstdint>

#include "archive/serializable.h"

class CGroup;
class CSubscriber;

// One row of the recipient list: a subscriber row (group null), a group row (subscriber
// null) or a member row under an expanded group (both set). Owns neither.
class CDisplayObject : public Serializable {
public:
    static const ClassInfo kClass;

    CDisplayObject() = default;
    CDisplayObject(CSubscriber* subscriber, CGroup* group, int32_t expanded)
        : subscriber_(subscriber), group_(group), expanded_(expanded) {}

    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;

    void SetSubscriber(CSubscriber* v) { subscriber_ = v; }
    CSubscriber* GetSubscriber() const { return subscriber_; }
    void SetGroup(CGroup* v) { group_ = v; }
    CGroup* GetGroup() const { return group_; }
    void SetExpanded(int32_t v) { expanded_ = v; }
    int32_t GetExpanded() const { return expanded_; }

private:
    CSubscriber* subscriber_ = nullptr;
    CGroup* group_ = nullptr;
    int32_t expanded_ = 0;
};
