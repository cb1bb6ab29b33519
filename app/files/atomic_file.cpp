#include "files/atomic_file.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "files/file_sync.h"
#include "files/private_file.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string TemporaryNameFor(const std::string& path) {
    // Unique within the process; one process owns a program directory at a time.
    static std::atomic<unsigned> counter{0};
    return path + ".tmp" + std::to_string(counter.fetch_add(1));
}

}  // namespace

ArchiveError ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
    out.clear();
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return ArchiveError::Io;
    // One read of the size the file has now; a file that grows meanwhile is read on in chunks.
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    out.resize(error ? 0 : static_cast<size_t>(size));
    size_t got = out.empty() ? 0 : std::fread(out.data(), 1, out.size(), file.get());
    out.resize(got);
    uint8_t chunk[65536];
    for (;;) {
        size_t more = std::fread(chunk, 1, sizeof chunk, file.get());
        out.insert(out.end(), chunk, chunk + more);
        if (more < sizeof chunk) break;
    }
    return std::ferror(file.get()) ? ArchiveError::Io : ArchiveError::None;
}

ArchiveError ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    return ReplaceFileAtomically(path, [bytes](std::FILE* file) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() ? ArchiveError::None
                                                                                : ArchiveError::Io;
    });
}

ArchiveError ReplaceFileAtomically(const std::string& path,
                                   const std::function<ArchiveError(std::FILE*)>& write) {
    const std::string temporary = TemporaryNameFor(path);
    const unsigned mode = ReplacementModeFor(path);
    {
        // Unnamed while it is written: a save that fails or a process that dies half-way
        // (even in the middle of the write) leaves no temporary file beside the real one.
        FilePtr file(OpenUnnamedPrivateFile(std::filesystem::path(path).parent_path().string(), mode));
        const bool unnamed = file != nullptr;
        if (!unnamed) file.reset(OpenPrivateFileForWriting(temporary, mode));
        if (!file) return ArchiveError::Io;
        ArchiveError error = write(file.get());
        if (error == ArchiveError::None && (std::fflush(file.get()) != 0 || !SyncFileToDisk(file.get()))) {
            error = ArchiveError::Io;
        }
        bool named = !unnamed;
        if (error == ArchiveError::None && unnamed) {
            // A name left by a process that died between naming and renaming is taken over, as
            // opening it for writing would.
            named = NameUnnamedFile(file.get(), temporary) ||
                    (std::remove(temporary.c_str()) == 0 && NameUnnamedFile(file.get(), temporary));
            if (!named) error = ArchiveError::Io;
        }
        if (std::fclose(file.release()) != 0 && error == ArchiveError::None) error = ArchiveError::Io;
        if (error != ArchiveError::None) {
            if (named) std::remove(temporary.c_str());
            return error;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        return ArchiveError::Io;
    }
    return ArchiveError::None;
}

bool RemoveFileIfPresent(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
    return !error;
}
