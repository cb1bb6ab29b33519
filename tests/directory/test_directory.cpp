#include "tests/directory/test_directory.h"

#include <unistd.h>
#include <atomic>
#include <filesystem>
#include <stdexcept>

#include "directory/display_object.h"
#include "directory/service.h"
#include "directory/subscriber.h"

std::vector<uint8_t> Bytes(const std::string& description) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < description.size();) {
        char c = description[i];
        if (c == '"') {
            size_t end = description.find('"', i + 1);
            for (size_t k = i + 1; k < end; ++k)
                out.push_back(static_cast<uint8_t>(description[k]));
            i = end + 1;
        } else if (std::isxdigit(static_cast<unsigned char>(c))) {
            out.push_back(static_cast<uint8_t>(std::stoi(description.substr(i, 2), nullptr, 16)));
            i += 2;
        } else {
            ++i;
        }
    }
    return out;
}

std::string AsString(std::span<const uint8_t> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

void FillWorkedExample(DirectoryStore& store) {
    store.CreateEmpty();
    ServiceFields fields;
    fields.name = "Acme";
    fields.accessNumber = "555";
    fields.useDialPrefix = 1;
    fields.modemName = "Factory Default";
    fields.modemInit = "AT&F";
    fields.port = "COM1";
    fields.baudRate = 2400;
    fields.parity = 1;
    fields.scriptFile = "VORLAPRO.RKL";
    auto* service = new CService(fields);
    auto* ann = new CSubscriber("Ann", "123", "80", service);
    service->AddSubscriber(ann);
    store.GetServiceList()->AddTail(service);
    store.GetSubscriberList()->AddTail(ann);
    store.GetDisplayList()->AddTail(new CDisplayObject(ann, nullptr, 0));
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    auto base = std::filesystem::temp_directory_path() /
                ("vorla-files-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(base);
    path_ = base.string();
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Names() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}
