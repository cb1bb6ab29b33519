#pragma once

#include <memory>
#include <span>
#include <vector>

#include "archive/serializable.h"
#include "files/archive_error.h"

class ArchiveReader;

// A root a loader read from the top of a file. When elementClass is set the root must be a
// list (not null) that owns its elements, each a non-null object of that class.
struct GraphRoot {
    const Serializable* object = nullptr;
    const ClassInfo* elementClass = nullptr;
};

// Checks the object graph a reader has just built before anything trusts it. A file this
// program writes always passes; a damaged or hostile one could otherwise make two owners
// free the same object or make code cast a group to a subscriber.
//   - every list a record owns holds the right kind of records (bad class);
//   - no object has two owners, and no object is both solely and jointly owned (bad index).
// Objects no one owns (reached only through cross-links) are moved into `strays`, which
// keeps them alive so that those links never dangle.
ArchiveError CheckLoadedGraph(const ArchiveReader& reader, std::span<const GraphRoot> roots,
                              std::vector<std::unique_ptr<Serializable>>& strays);
