#include "atomic_file.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

namespace vorla {

namespace {

std::filesystem::path TemporarySibling(const std::filesystem::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name = target.filename().string() + ".~" + std::to_string(stamp) + "-" +
                       std::to_string(counter.fetch_add(1));
    return target.parent_path() / name;
}

bool Fail(std::string* error, std::string text) {
    if (error) *error = std::move(text);
    return false;
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target, std::string_view content, std::string* error) {
    const std::filesystem::path temporary = TemporarySibling(target);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return Fail(error, "cannot create " + temporary.string());
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.flush();
        if (!out) {
            out.close();
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return Fail(error, "cannot write " + temporary.string());
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    if (ec) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return Fail(error, "cannot replace " + target.string() + ": " + ec.message());
    }
    return true;
}

}  // namespace vorla
