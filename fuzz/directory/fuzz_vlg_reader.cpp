// The first byte picks the reader (directory, queue, log window) and the format version it
// starts in; the rest is the file. Whatever the bytes, a read ends in success or one of the
// archive errors, and what it built is used and freed the way the program does.
#include <cstddef>
#include <cstdint>
#include <span>

#include "archive/archive_reader.h"
#include "archive/class_registry.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "paging/page.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"

namespace {

void ExerciseQueue(const CObList& queue) {
    char block[kMaxBlockLength];
    for (Serializable* item : queue) {
        auto* page = static_cast<CPage*>(item);  // the reader guarantees pages
        int32_t blocks = page->GetTotalBlocks();
        for (int32_t i = 0; i < blocks && i < 8; ++i) {
            page->SetBlockIndex(i);
            if (page->BuildBlock(block) > kMaxBlockLength) __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const ClassRegistry registry = MakeProgramClassRegistry();
    if (size < 1) return 0;
    const uint8_t selector = data[0];
    std::span<const uint8_t> bytes(data + 1, size - 1);
    const uint16_t version = (selector & 0x10) ? 1 : 0;
    ArchiveReader reader(bytes, registry, version);
    switch (selector % 3) {
        case 0: {
            DirectoryContents contents;
            if (ReadDirectory(reader, contents) == ArchiveError::None) {
                DirectoryStore store;
                store.TakeDirectory(std::move(contents));
            }
            break;
        }
        case 1: {
            LoadedList queue;
            if (ReadQueue(reader, queue) == ArchiveError::None) {
                ReconcileMessageRefCounts(reader);
                ExerciseQueue(*queue.list);
                DirectoryStore store;
                store.AdoptStrays(std::move(queue.strays));
            }
            break;
        }
        default: {
            LoadedList log;
            if (ReadLogList(reader, log) == ArchiveError::None) {
                DirectoryStore store;
                store.AdoptStrays(std::move(log.strays));
            }
            break;
        }
    }
    return 0;
}
