#pragma once
// The records Lomix hands to the program: they own their texts and keep the record blocks
// the program reads, valid until the library is unloaded or the next translation.

#include <list>
#include <string>
#include <vector>

#include "directory/translator_abi.h"
#include "translator/brisko_data.h"

namespace lomix {

struct ServiceRecord {
    std::string name, accessNumber, password, modemName, modemInit, port, scriptFile;
    TranslatorServiceRecord block{};
};

struct SubscriberRecord {
    std::string name, pin, serviceName, maxLength;
    TranslatorSubscriberRecord block{};
};

// One list of records with a read cursor: Next returns the records in list order, then null
// once, and starts again at the first after that.
template <class Record>
class RecordList {
public:
    void Clear() {
        records_.clear();
        order_.clear();
        cursor_ = 0;
    }
    // Inserts at the head: records come back in the reverse order of their adding. They are
    // kept in adding order and read from the back, so each insertion costs the same however
    // many came before.
    Record& AddHead() {
        Record& record = records_.emplace_back();
        order_.push_back(&record);
        cursor_ = 0;
        return record;
    }
    const void* Next() {
        if (cursor_ == order_.size()) {
            cursor_ = 0;
            return nullptr;
        }
        return &order_[order_.size() - 1 - cursor_++]->block;
    }
    size_t Count() const { return order_.size(); }

private:
    std::list<Record> records_;  // stable addresses for the blocks
    std::vector<Record*> order_;
    size_t cursor_ = 0;
};

class Translation {
public:
    // Replaces the companies (and then the people) with those of the data file; a file that
    // cannot be read gives none.
    size_t ReadCompaniesFrom(const std::filesystem::path& dataFile, const ModemSettings& modem);
    size_t ReadPeopleFrom(const std::filesystem::path& dataFile);

    const void* NextService() { return services_.Next(); }
    const void* NextSubscriber() { return subscribers_.Next(); }
    size_t ServiceCount() const { return services_.Count(); }
    size_t SubscriberCount() const { return subscribers_.Count(); }

private:
    RecordList<ServiceRecord> services_;
    RecordList<SubscriberRecord> subscribers_;
};

// The modem settings of BRISKO.INI in the Windows directory (defaults when it is missing).
ModemSettings ModemSettingsOfThisUser();

// The library's one translation, made on first use and freed when the library is unloaded.
Translation& TheTranslation();

}  // namespace lomix
