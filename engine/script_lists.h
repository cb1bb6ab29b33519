// The engine's named records and the lists that hold them. Lookups are by exact,
// case-sensitive name and find the first record in list order; a hash index beside
// each list keeps that rule while costing one probe instead of a walk.
#pragma once

#include <cstdint>
#include <deque>
#include <list>
#include <string>
#include <string_view>

#include "name_index.h"

#include "script_text.h"

namespace rkl {

// An entry or a label: a name and the file position of the line after its LABEL line
// (0 = none yet).
struct TNamedPosition {
    std::string name;
    int32_t position = 0;
};

struct TVariable {
    std::string name;
    std::string value;
};

struct TOffset {
    int32_t position = 0;
};

// Entries or labels in file order.
class NamedPositionList {
public:
    void Append(std::string_view name, int32_t position);
    // The first record of that name in file order, or null.
    TNamedPosition* Find(std::string_view name);
    size_t Count() const { return items_.size(); }
    const TNamedPosition& At(size_t i) const { return items_[i]; }
    void Clear();

private:
    std::deque<TNamedPosition> items_;  // a deque: records never move
    NameIndex<TNamedPosition> first_;
};

// Variables in creation order. SET replaces the value of an existing variable, so a
// name occurs at most once.
class VariableList final : public VariableLookup {
public:
    // Bounds the memory a runaway script can take; reaching it is reported as the
    // failure to create a variable.
    static constexpr size_t kMaxVariables = 16384;

    enum class SetResult { kOk, kCannotCreate };
    SetResult Set(std::string_view name, std::string_view value);
    bool Remove(std::string_view name);
    TVariable* FindVariable(std::string_view name);
    bool Find(std::string_view name, std::string_view& value) const override;
    bool FindHashed(std::string_view name, uint64_t hash, std::string_view& value) const override;
    size_t Count() const { return items_.size(); }
    void Clear();

private:
    std::list<TVariable> items_;
    NameIndex<TVariable> index_;
};

}  // namespace rkl
