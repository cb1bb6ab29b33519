#pragma once

#include <map>
#include <string>
#include <string_view>

#include "archive/serializable.h"

// Maps the class names found in files to their ClassInfo. Registration is explicit (no static
// initialisers), so a program decides which layers' classes it can read.
class ClassRegistry {
public:
    // Adds a class; a second registration of the same name replaces the first.
    void Register(const ClassInfo& info);
    // Case-sensitive lookup; null when the name is not registered.
    const ClassInfo* Find(std::string_view name) const;

private:
    std::map<std::string, const ClassInfo*, std::less<>> classes_;
};
