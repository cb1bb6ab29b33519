#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "directory/directory_store.h"

class CService;
class CSubscriber;

// Bytes from a readable description: hex pairs, and "text" in double quotes for ASCII.
std::vector<uint8_t> Bytes(const std::string& description);
std::string AsString(std::span<const uint8_t> bytes);

// The one-service, one-subscriber directory used as the worked example of the file layout.
void FillWorkedExample(DirectoryStore& store);

// A fresh folder under the system temp folder, removed by the destructor.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    std::string Path(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }
    std::vector<std::string> Names() const;

private:
    std::string path_;
};
