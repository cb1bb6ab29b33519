#include "script_lists.h"

namespace rkl {

void NamedPositionList::Append(std::string_view name, int32_t position) {
  items_.push_back(TNamedPosition{std::string(name), position});
  first_.try_emplace(std::string(name), items_.size() - 1);  // keeps an earlier one
}

TNamedPosition* NamedPositionList::Find(std::string_view name) {
  const auto it = first_.find(name);
  return it == first_.end() ? nullptr : &items_[it->second];
}

void NamedPositionList::Clear() {
  items_.clear();
  first_.clear();
}

VariableList::SetResult VariableList::Set(std::string_view name, std::string_view value) {
  if (const auto it = index_.find(name); it != index_.end()) {
    it->second->value.assign(value);
    return SetResult::kOk;
  }
  if (items_.size() >= kMaxVariables) return SetResult::kCannotCreate;
  try {
    items_.push_back(TVariable{std::string(name), std::string(value)});
    try {
      index_.emplace(std::string(name), std::prev(items_.end()));
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
  const auto it = index_.find(name);
  if (it == index_.end()) return false;
  items_.erase(it->second);
  index_.erase(it);
  return true;
}

TVariable* VariableList::FindVariable(std::string_view name) {
  const auto it = index_.find(name);
  return it == index_.end() ? nullptr : &*it->second;
}

bool VariableList::Find(std::string_view name, std::string_view& value) const {
  const auto it = index_.find(name);
  if (it == index_.end()) return false;
  value = it->second->value;
  return true;
}

void VariableList::Clear() {
  index_.clear();
  items_.clear();
}

}  // namespace rkl
