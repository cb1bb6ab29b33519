#include "tools/pagingsim/wctp_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "paging/wctp/wctp_xml.h"

namespace pagingsim {
namespace {

constexpr size_t kMaxRequest = 64 * 1024;
constexpr size_t kHugeAnswer = 10 * 1024 * 1024;

std::string Confirmation(const std::string& inner, const std::string& doctype = std::string()) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doctype +
           "<wctp-Operation wctpVersion=\"wctp-dtd-v1r3\"><wctp-Confirmation>" + inner +
           "</wctp-Confirmation></wctp-Operation>\n";
}

std::string Failure(int code, const std::string& text) {
    return Confirmation("<wctp-Failure errorCode=\"" + std::to_string(code) + "\" errorText=\"" + text +
                        "\"/>");
}

bool ValidPin(const std::string& pin) {
    if (pin.empty() || pin.size() > 16) return false;
    for (char c : pin)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Streams a body and, for "reset", stops half-way so that the connection closes early.
struct Streamed {
    std::string head;
    size_t total = 0;
    bool reset = false;
};

ssize_t StreamBody(void* cls, uint64_t pos, char* buf, size_t max) {
    auto* body = static_cast<Streamed*>(cls);
    if (body->reset && pos >= body->head.size() / 2) return MHD_CONTENT_READER_END_WITH_ERROR;
    if (pos >= body->total) return MHD_CONTENT_READER_END_OF_STREAM;
    size_t n = 0;
    while (n < max && pos + n < body->total) {
        const uint64_t at = pos + n;
        buf[n++] = at < body->head.size() ? body->head[at] : ' ';
        if (body->reset && pos + n >= body->head.size() / 2) break;
    }
    return static_cast<ssize_t>(n);
}

void FreeStreamed(void* cls) {
    delete static_cast<Streamed*>(cls);
}

MHD_Result OnRequest(void* self, MHD_Connection* connection, const char* url, const char* method, const char*,
                     const char* upload, size_t* upload_size, void** state) {
    if (!*state) {
        *state = new std::string();
        return MHD_YES;
    }
    auto* body = static_cast<std::string*>(*state);
    if (*upload_size > 0) {
        // A request beyond the bound is kept as an over-long marker, answered 413.
        if (body->size() + *upload_size <= kMaxRequest)
            body->append(upload, *upload_size);
        else
            body->assign(kMaxRequest + 1, ' ');
        *upload_size = 0;
        return MHD_YES;
    }
    return static_cast<WctpServer*>(self)->Respond(connection, url ? url : "", method ? method : "", *body) ==
                   MHD_YES
               ? MHD_YES
               : MHD_NO;
}

void OnCompleted(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
    delete static_cast<std::string*>(*state);
    *state = nullptr;
}

}  // namespace

WctpServer::WctpServer(const SimOptions& options, PageLog& log, Tracer trace)
    : options_(options), log_(log), trace_(std::move(trace)) {}

WctpServer::~WctpServer() {
    if (daemon_) MHD_stop_daemon(daemon_);
}

void WctpServer::Trace(const std::string& line) {
    if (trace_) trace_("[wctp] " + line);
}

std::string WctpServer::Start() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(options_.wctp_port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION;
    const bool tls = !options_.tls_cert.empty();
    if (tls) {
        cert_ = ReadFile(options_.tls_cert);
        key_ = ReadFile(options_.tls_key);
        if (cert_.empty() || key_.empty()) return "cannot read the TLS certificate or key";
        flags |= MHD_USE_TLS;
    }
    const MHD_AccessHandlerCallback handler = &OnRequest;
    const MHD_RequestCompletedCallback completed = &OnCompleted;
    if (tls) {
        daemon_ = MHD_start_daemon(flags, 0, nullptr, nullptr, handler, this, MHD_OPTION_SOCK_ADDR, &address,
                                   MHD_OPTION_NOTIFY_COMPLETED, completed, this, MHD_OPTION_HTTPS_MEM_CERT,
                                   cert_.c_str(), MHD_OPTION_HTTPS_MEM_KEY, key_.c_str(), MHD_OPTION_END);
    } else {
        daemon_ = MHD_start_daemon(flags, 0, nullptr, nullptr, handler, this, MHD_OPTION_SOCK_ADDR, &address,
                                   MHD_OPTION_NOTIFY_COMPLETED, completed, this, MHD_OPTION_END);
    }
    if (!daemon_) return "cannot serve WCTP on 127.0.0.1:" + std::to_string(options_.wctp_port);
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    port_ = info ? info->port : options_.wctp_port;
    return std::string();
}

std::string WctpServer::ReadyText() const {
    return std::string("WCTP at ") + (options_.tls_cert.empty() ? "http" : "https") +
           "://127.0.0.1:" + std::to_string(port_) + "/wctp";
}

WctpServer::Answer WctpServer::AnswerTo(const std::string& body) {
    Answer answer;
    const int number = ++requests_;
    const bool faulty = !options_.wctp_fault.empty() &&
                        (options_.modem.fault_calls == 0 || number <= options_.modem.fault_calls);
    if (faulty) {
        answer.fault = options_.wctp_fault;
        if (answer.fault == "http500") {
            answer.status = 500;
            answer.body = "Internal Server Error\n";
        } else if (answer.fault == "malformed") {
            answer.body =
                "<?xml version=\"1.0\"?><wctp-Operation><wctp-Confirmation><wctp-Success successCode=";
        } else if (answer.fault == "entity") {
            answer.body = Confirmation("<wctp-Success successCode=\"200\">&leak;</wctp-Success>",
                                       "<!DOCTYPE wctp-Operation [<!ENTITY leak SYSTEM \"http://127.0.0.1:" +
                                           std::to_string(port_) + "/leak\">]>\n");
        } else if (answer.fault == "redirect") {
            answer.status = 302;
        } else {
            // "huge" pads a good confirmation to 10 MB, "reset" cuts one off half-way: a client that
            // read either as it came would take the page as accepted.
            answer.body =
                Confirmation("<wctp-Success successCode=\"200\" successText=\"Message accepted\"/>");
        }
        if (answer.fault != "huge" && answer.fault != "reset") return answer;
    }
    if (body.size() > kMaxRequest) {
        answer.status = 413;
        answer.body = "Request too large\n";
        return answer;
    }
    const vorla::wctp::ReceivedSubmit submit = vorla::wctp::ParseSubmitRequest(body);
    std::lock_guard lock(mutex_);
    if (!submit.ok) {
        Trace("request not understood: " + submit.error);
        answer.body = Failure(302, "XML error: " + submit.error);
    } else if (submit.version != "wctp-dtd-v1r3") {
        answer.body = Failure(303, "Unsupported WCTP version " + submit.version);
    } else if (!options_.terminal.password.empty() && submit.securityCode != options_.terminal.password) {
        answer.body = Failure(402, "Invalid securityCode");
    } else if (submit.messageId.empty() || !message_ids_.insert(submit.messageId).second) {
        answer.body = Failure(311, "Duplicate or missing messageID");
    } else if (!ValidPin(submit.recipientId) || options_.terminal.refused_pins.count(submit.recipientId)) {
        answer.body = Failure(401, "Unknown recipient " + submit.recipientId);
    } else if (options_.terminal.max_message_length > 0 &&
               submit.text.size() > options_.terminal.max_message_length) {
        answer.body = Failure(411, "Message too long");
    } else if (answer.fault.empty()) {
        log_.WriteUtf8(submit.recipientId, submit.text);
        Trace("page for " + submit.recipientId + " from " + submit.senderId + " accepted");
        answer.body = Confirmation("<wctp-Success successCode=\"200\" successText=\"Message accepted\"/>");
    }
    return answer;
}

int WctpServer::Respond(MHD_Connection* connection, const std::string& url, const std::string& method,
                        const std::string& body) {
    Trace(method + " " + url + " (" + std::to_string(body.size()) + " bytes)");
    MHD_Response* response = nullptr;
    unsigned status = 200;
    if (method != "POST") {
        status = 405;
        static const char kText[] = "WCTP takes POST\n";
        response = MHD_create_response_from_buffer(sizeof kText - 1, const_cast<char*>(kText),
                                                   MHD_RESPMEM_PERSISTENT);
    } else {
        Answer answer = AnswerTo(body);
        if (options_.terminal.answer_delay.count() > 0)
            std::this_thread::sleep_for(options_.terminal.answer_delay);
        status = answer.status;
        if (!answer.fault.empty()) Trace("answering with the fault " + answer.fault);
        if (answer.fault == "huge" || answer.fault == "reset") {
            auto* streamed = new Streamed{answer.body, answer.body.size(), answer.fault == "reset"};
            if (answer.fault == "huge") streamed->total = kHugeAnswer;
            // The huge answer gives no length, so the client meets it only as it arrives.
            const uint64_t size = answer.fault == "huge" ? MHD_SIZE_UNKNOWN : streamed->total;
            response =
                MHD_create_response_from_callback(size, 32 * 1024, &StreamBody, streamed, &FreeStreamed);
        } else {
            response = MHD_create_response_from_buffer(answer.body.size(), answer.body.data(),
                                                       MHD_RESPMEM_MUST_COPY);
        }
        if (answer.fault == "redirect") {
            MHD_add_response_header(response, "Location",
                                    ("http://127.0.0.2:" + std::to_string(port_) + "/wctp").c_str());
        }
        MHD_add_response_header(response, "Content-Type", "text/xml; charset=utf-8");
    }
    const int result = MHD_queue_response(connection, status, response);
    MHD_destroy_response(response);
    return result;
}

}  // namespace pagingsim
