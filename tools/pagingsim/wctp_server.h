#pragma once

#include <atomic>
#include <mutex>
#include <set>
#include <string>

#include "tools/pagingsim/page_log.h"
#include "tools/pagingsim/sim_options.h"

struct MHD_Daemon;
struct MHD_Connection;

namespace pagingsim {

// A carrier's WCTP 1.3 endpoint: takes wctp-SubmitRequests by HTTP POST (HTTPS with a
// certificate), logs each accepted page to the page log and answers a wctp-Confirmation,
// or the fault it was started with. The HTTP server runs on its own threads.
class WctpServer {
public:
    WctpServer(const SimOptions& options, PageLog& log, Tracer trace);
    ~WctpServer();
    WctpServer(const WctpServer&) = delete;
    WctpServer& operator=(const WctpServer&) = delete;

    // Returns an error text, empty once it listens.
    std::string Start();
    // "WCTP at http://127.0.0.1:PORT/wctp"
    std::string ReadyText() const;

    // The answer to one request body: HTTP status, content and what to trace.
    struct Answer {
        unsigned status = 200;
        std::string body;
        std::string fault;  // the fault that shapes the answer; empty: a normal answer
    };
    Answer AnswerTo(const std::string& body);
    // Queues the HTTP answer to a whole request; the MHD_Result.
    int Respond(MHD_Connection* connection, const std::string& url, const std::string& method,
                const std::string& body);

private:
    void Trace(const std::string& line);

    SimOptions options_;
    PageLog& log_;
    Tracer trace_;
    MHD_Daemon* daemon_ = nullptr;
    int port_ = 0;
    std::string cert_, key_;
    std::mutex mutex_;  // the log, the trace and the seen message IDs
    std::set<std::string> message_ids_;
    std::atomic<int> requests_{0};
};

}  // namespace pagingsim
