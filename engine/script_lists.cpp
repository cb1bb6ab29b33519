#include "script_lists.h"

namespace rkl {

void NamedPositionList::Append(std::string_view name, int32_t position) {
    items_.push_back(TNamedPosition{std::string(name), position});
    if (!first_.Find(name)) first_.Insert(&items_.back());  // an earlier one stays first
}

TNamedPosition* NamedPositionList::Find(std::string_view name) {
    return first_.Find(name);
}

void NamedPositionList::Clear() {
    first_.Clear();
    items_.clear();
}

VariableList::SetResult VariableList::Set(std::string_view name, std::string_view value) {
    if (TVariable* existing = index_.Find(name)) {
        existing->value.assign(value);
        return SetResult::kOk;
    }
    if (items_.size() >= kMaxVariables) return SetResult::kCannotCreate;
    try {
        items_.push_back(TVariable{std::string(name), std::string(value)});
        try {
            index_.Insert(&items_.back());
        } catch (...) {
            items_.pop_back();
            throw;
        }
    } catch (const std::bad_alloc&) {
        return SetResult::kCannotCreate;
    }
    return SetResult::kOk;
}

bool VariableList::Remove(std::string_view name) {
    TVariable* variable = index_.Find(name);
    if (!variable) return false;
    index_.Erase(name);
    for (auto it = items_.begin(); it != items_.end(); ++it) {
        if (&*it == variable) {
            items_.erase(it);
            break;
        }
    }
    return true;
}

TVariable* VariableList::FindVariable(std::string_view name) {
    return index_.Find(name);
}

bool VariableList::Find(std::string_view name, std::string_view& value) const {
    const TVariable* variable = index_.Find(name);
    if (!variable) return false;
    value = variable->value;
    return true;
}

bool VariableList::FindHashed(std::string_view name, uint64_t hash, std::string_view& value) const {
    const TVariable* variable = index_.Find(name, hash);
    if (!variable) return false;
    value = variable->value;
    return true;
}

void VariableList::Clear() {
    index_.Clear();
    items_.clear();
}

}  // namespace rkl
