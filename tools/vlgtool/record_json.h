#pragma once

#include <functional>

#include <nlohmann/json.hpp>

#include "archive_error.h"
#include "serializable.h"

// The fields of every saved record as JSON, one object per record with its "class".
// Object references are the labels of other records (their archive index on dump) or null.

using LabelOf = std::function<nlohmann::json(const Serializable*)>;
nlohmann::json RecordToJson(const Serializable& record, const LabelOf& labelOf);

// Resolves a reference label to a record built from the same document; sets the error to
// bad index for an unknown label and bad class for a record of the wrong kind.
class ReferenceResolver {
 public:
  virtual ~ReferenceResolver() = default;
  virtual Serializable* Resolve(const nlohmann::json& label, const ClassInfo* required) = 0;
  ArchiveError error = ArchiveError::None;

  template <class T>
  T* ResolveAs(const nlohmann::json& label) {
    return static_cast<T*>(Resolve(label, &T::kClass));
  }
};

// Fills a freshly built record from its JSON; missing fields keep their defaults. Throws
// nlohmann::json exceptions on fields of the wrong JSON type; reference failures land in
// resolver.error.
void RecordFromJson(Serializable& record, const nlohmann::json& fields,
                    ReferenceResolver& resolver);

// Windows-1252 bytes to a JSON string and back (throws std::runtime_error when a
// character has no byte in the code page).
nlohmann::json TextToJson(const std::string& text);
std::string TextFromJson(const nlohmann::json& value);
