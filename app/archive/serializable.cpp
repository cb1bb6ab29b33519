#include "archive/serializable.h"

#include <atomic>

bool ClassInfo::IsDerivedFrom(const ClassInfo& other) const {
    for (const ClassInfo* info = this; info; info = info->base) {
        if (info == &other) return true;
    }
    return false;
}

void DiscardRecord(Serializable* record) {
    if (!record) return;
    record->OnDiscard();
    delete record;
}

uint32_t ArchiveMarks::NewSerial() {
    static std::atomic<uint32_t> next{1};
    uint32_t serial = next.fetch_add(1);
    if (serial == 0) serial = next.fetch_add(1);  // 0 never names an archive
    return serial;
}
