#include <curl/curl.h>

#include "paging/wctp/wctp_transfer.h"

namespace vorla::wctp {
namespace {
CURLM* M(void* multi) {
    return static_cast<CURLM*>(multi);
}
CURL* E(void* easy) {
    return static_cast<CURL*>(easy);
}
curl_slist* H(void* headers) {
    return static_cast<curl_slist*>(headers);
}
}  // namespace

Transfer::Transfer() : multi_(curl_multi_init()) {}

Transfer::~Transfer() {
    Abort();
    if (multi_) curl_multi_cleanup(M(multi_));
}

std::string Transfer::Start(const Endpoint& endpoint, std::string document) {
    Abort();
    result_ = TransferResult();
    tooLarge_ = false;
    errorBuffer_[0] = '\0';
    document_ = std::move(document);
    if (!multi_) return "The WCTP transport could not start (out of memory)";
    easy_ = curl_easy_init();
    if (!easy_) return "The WCTP transport could not start (out of memory)";
    headers_ = curl_slist_append(nullptr, "Content-Type: text/xml; charset=utf-8");
    headers_ = curl_slist_append(H(headers_), "Expect:");
    curl_easy_setopt(E(easy_), CURLOPT_URL, endpoint.url.c_str());
    curl_easy_setopt(E(easy_), CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(E(easy_), CURLOPT_HTTPHEADER, H(headers_));
    curl_easy_setopt(E(easy_), CURLOPT_POST, 1L);
    curl_easy_setopt(E(easy_), CURLOPT_POSTFIELDS, document_.data());
    curl_easy_setopt(E(easy_), CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(document_.size()));
    curl_easy_setopt(E(easy_), CURLOPT_USERAGENT, "Vorla Pro");
    curl_easy_setopt(E(easy_), CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(E(easy_), CURLOPT_CONNECTTIMEOUT, 15L);
    curl_easy_setopt(E(easy_), CURLOPT_TIMEOUT, static_cast<long>(endpoint.timeoutSeconds));
    curl_easy_setopt(E(easy_), CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxAnswerBytes));
    curl_easy_setopt(E(easy_), CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(E(easy_), CURLOPT_WRITEDATA, this);
    curl_easy_setopt(E(easy_), CURLOPT_ERRORBUFFER, errorBuffer_);
    // Verification is libcurl's default; it is set here so that no build option can undo it.
    curl_easy_setopt(E(easy_), CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(E(easy_), CURLOPT_SSL_VERIFYHOST, 2L);
    if (!endpoint.caFile.empty()) curl_easy_setopt(E(easy_), CURLOPT_CAINFO, endpoint.caFile.c_str());
    if (endpoint.followRedirects) {
        curl_easy_setopt(E(easy_), CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(E(easy_), CURLOPT_MAXREDIRS, 3L);
        // A redirect may not downgrade the security code to clear text.
        curl_easy_setopt(E(easy_), CURLOPT_REDIR_PROTOCOLS_STR, "https");
        curl_easy_setopt(E(easy_), CURLOPT_POSTREDIR, static_cast<long>(CURL_REDIR_POST_ALL));
    }
    if (curl_multi_add_handle(M(multi_), E(easy_)) != CURLM_OK) {
        Abort();
        return "The WCTP transport could not start";
    }
    return std::string();
}

size_t Transfer::OnBody(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    const size_t bytes = size * count;
    if (transfer->result_.body.size() + bytes > kMaxAnswerBytes) {
        transfer->tooLarge_ = true;
        return 0;  // ends the transfer with a write error
    }
    transfer->result_.body.append(data, bytes);
    return bytes;
}

bool Transfer::Step(int waitMs) {
    if (!easy_) return true;
    int running = 0;
    curl_multi_perform(M(multi_), &running);
    if (running > 0) {
        curl_multi_poll(M(multi_), nullptr, 0, waitMs, nullptr);
        curl_multi_perform(M(multi_), &running);
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(M(multi_), &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == E(easy_)) {
            Finish(message->data.result);
            return true;
        }
    }
    return false;
}

void Transfer::Finish(int code) {
    const auto result = static_cast<CURLcode>(code);
    curl_easy_getinfo(E(easy_), CURLINFO_RESPONSE_CODE, &result_.status);
    char* location = nullptr;
    if (curl_easy_getinfo(E(easy_), CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location) {
        result_.redirect = location;
    }
    if (result == CURLE_OK) {
        result_.transferred = true;
    } else if (tooLarge_ || result == CURLE_FILESIZE_EXCEEDED) {
        result_.error = "The carrier's answer is larger than 1 MB; it was not read";
    } else if (result == CURLE_OPERATION_TIMEDOUT) {
        result_.error = "No answer from the WCTP carrier in time";
    } else {
        result_.error = errorBuffer_[0] ? errorBuffer_ : curl_easy_strerror(result);
    }
    result_.body.shrink_to_fit();
    Abort();
}

void Transfer::Abort() {
    if (easy_) {
        if (multi_) curl_multi_remove_handle(M(multi_), E(easy_));
        curl_easy_cleanup(E(easy_));
        easy_ = nullptr;
    }
    if (headers_) curl_slist_free_all(H(headers_));
    headers_ = nullptr;
}

}  // namespace vorla::wctp
