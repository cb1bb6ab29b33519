// The engine's named records and the lists that hold them. Lookups are by exact,
// case-sensitive name and find the first record in list order; a hash index beside
// each list keeps that rule while costing one probe per line instead of a walk.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

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

// FNV-1a: names are short and looked up several times per line, so an inline hash
// beats a call into the library's general-purpose one.
struct NameHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const {
    uint64_t h = 14695981039346656037ull;
    for (const char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return static_cast<size_t>(h);
  }
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
  std::vector<TNamedPosition> items_;
  std::unordered_map<std::string, size_t, NameHash, std::equal_to<>> first_;
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
  size_t Count() const { return items_.size(); }
  void Clear();

 private:
  std::list<TVariable> items_;
  std::unordered_map<std::string, std::list<TVariable>::iterator, NameHash, std::equal_to<>> index_;
};

}  // namespace rkl
