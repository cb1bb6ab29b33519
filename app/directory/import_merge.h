#pragma once
// Merging the records an import translator prepared into the directory: the one operation
// behind the Import Data dialog and vorlaimport, so its rules hold the same for both.

#include <cstddef>
#include <string>
#include <vector>

#include "directory/translator_abi.h"

class DirectoryStore;

// The Get exports of a loaded translator; a missing one (null) is a kind with no records.
struct TranslatorGetters {
    GetRecordFunction getService = nullptr;
    GetRecordFunction getSubscriber = nullptr;
    GetRecordFunction getGroup = nullptr;
    GetRecordFunction getPresetMessage = nullptr;
};

// How long an imported text may be; a longer one is cut. Every record text becomes a
// script variable or a list entry, whose texts are at most 255 characters; a group's member
// text is read up to its first 2047 characters; a preset message is a page's text.
inline constexpr size_t kImportFieldLimit = 255;
inline constexpr size_t kImportMemberTextLimit = 2047;
inline constexpr size_t kImportMessageLimit = 4095;
// A translator that never says "no more" stops being asked after this many records of a kind.
inline constexpr size_t kImportRecordLimit = 1000000;

struct ImportRename {
    std::string kind;  // "service", "subscriber", "group"
    std::string from;
    std::string to;
};

struct ImportReport {
    std::vector<std::string> services;  // final names, in import order
    std::vector<std::string> subscribers;
    std::vector<std::string> groups;
    size_t messages = 0;
    std::vector<ImportRename> renamed;
    size_t skipped = 0;      // records that could not be taken (no name, no service to join)
    bool truncated = false;  // a Get export passed kImportRecordLimit

    size_t Imported() const { return services.size() + subscribers.size() + groups.size() + messages; }
};

// Calls the Get exports strictly in the order services, subscribers, groups, preset messages,
// each until it returns null, and adds the records at the head of the store's lists (which
// must exist). Names already taken are made free by appending 1, 2, 3... Subscribers join the
// service imported in this run whose final name (or, for one renamed, whose record name) they
// give, else the service at the head of the list; group members are matched only against subscribers imported in this run. Every
// text is copied at once; a null text is empty and an over-long one is cut.
ImportReport MergeImportedRecords(DirectoryStore& store, const TranslatorGetters& getters);
