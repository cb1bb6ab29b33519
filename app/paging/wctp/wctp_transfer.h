#pragma once
// One HTTP POST of a WCTP document, driven in slices so the caller's loop never blocks:
// libcurl's multi interface does the transfer, Step sleeps in its poll (never spins) for at
// most the time it is given. The answer is bounded; redirects are followed only when the
// service allows it; certificates are always verified.

#include <cstddef>
#include <string>

#include "paging/wctp/wctp_service.h"

namespace vorla::wctp {

// A larger answer is refused: a confirmation is a few hundred bytes.
inline constexpr size_t kMaxAnswerBytes = 1024 * 1024;

struct TransferResult {
    bool transferred = false;  // an HTTP answer came in whole
    std::string error;         // why not, when !transferred
    long status = 0;           // HTTP status
    std::string body;
    std::string redirect;  // where a 3xx answer pointed
};

class Transfer {
public:
    Transfer();
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // Starts posting the document. Returns an error text, empty when the transfer runs.
    std::string Start(const Endpoint& endpoint, std::string document);
    // Advances the transfer, waiting at most waitMs for the network. True once it has ended.
    bool Step(int waitMs);
    // Drops a running transfer at once.
    void Abort();
    bool Running() const { return easy_ != nullptr; }
    const TransferResult& Result() const { return result_; }

private:
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    void Finish(int code);

    // libcurl's handles, kept opaque so that its headers stay out of the callers'.
    void* multi_ = nullptr;
    void* easy_ = nullptr;
    void* headers_ = nullptr;
    std::string document_;
    bool tooLarge_ = false;
    char errorBuffer_[256] = {};
    TransferResult result_;
};

}  // namespace vorla::wctp
