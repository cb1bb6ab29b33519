#pragma once

#include <functional>
#include <limits>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "archive/serializable.h"
#include "files/archive_error.h"

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
void RecordFromJson(Serializable& record, const nlohmann::json& fields, ReferenceResolver& resolver);

// Windows-1252 bytes to a JSON string and back (throws std::runtime_error when a
// character has no byte in the code page).
nlohmann::json TextToJson(const std::string& text);
std::string TextFromJson(const nlohmann::json& value);

// The whole number `value` as T, for the field `field`: a number that does not fit the field
// (or is not a whole number) would be stored changed, so it throws std::runtime_error naming
// the field and its range instead.
template <class T>
T CheckedNumber(const nlohmann::json& value, const std::string& field) {
    const auto refuse = [&] {
        throw std::runtime_error(field + " " + value.dump() + " is out of range (a whole number from " +
                                 std::to_string(std::numeric_limits<T>::min()) + " to " +
                                 std::to_string(std::numeric_limits<T>::max()) + ")");
    };
    if (value.is_number_unsigned()) {
        const auto number = value.get<uint64_t>();
        if (number > static_cast<uint64_t>(std::numeric_limits<T>::max())) refuse();
        return static_cast<T>(number);
    }
    if (value.is_number_integer()) {
        const auto number = value.get<int64_t>();
        if (number < static_cast<int64_t>(std::numeric_limits<T>::min()) ||
            (number > 0 &&
             static_cast<uint64_t>(number) > static_cast<uint64_t>(std::numeric_limits<T>::max())))
            refuse();
        return static_cast<T>(number);
    }
    refuse();
    return T{};
}
