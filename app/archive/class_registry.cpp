#include "archive/class_registry.h"

void ClassRegistry::Register(const ClassInfo& info) {
    classes_[info.name] = &info;
}

const ClassInfo* ClassRegistry::Find(std::string_view name) const {
    auto it = classes_.find(name);
    return it == classes_.end() ? nullptr : it->second;
}
