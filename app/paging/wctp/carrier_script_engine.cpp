#include "paging/wctp/carrier_script_engine.h"

#include <curl/curl.h>
#include <libxml/parser.h>

#include <cstdio>
#include <ctime>
#include <map>
#include <mutex>
#include <random>

#include "paging/paging_texts.h"
#include "paging/wctp/wctp_service.h"
#include "paging/wctp/wctp_transfer.h"
#include "paging/wctp/wctp_xml.h"
#include "text/cp1252.h"

namespace vorla::wctp {
namespace {

// How long one idle pass may sleep in the network wait: short enough that the window
// paints and Cancel answers at once, long enough that the wait costs no CPU.
constexpr int kSliceMs = 20;
constexpr size_t kMaxResultText = 250;

void InitialiseLibraries() {
    static std::once_flag once;
    std::call_once(once, [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        xmlInitParser();
    });
}

// A carrier's UTF-8 text as the log's Windows-1252, on one line and of bounded length.
std::string CarrierText(const std::string& utf8) {
    std::string text = Utf8ToCp1252(utf8).value_or(std::string());
    if (text.empty() && !utf8.empty()) {
        for (char c : utf8)
            text += static_cast<unsigned char>(c) < 0x80 ? c : '?';
    }
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20) c = ' ';
    if (text.size() > 160) text.resize(160);
    return text;
}

std::string NewMessageId() {
    static std::mt19937_64 random{std::random_device{}()};
    static uint32_t counter = 0;
    char id[40];
    std::snprintf(id, sizeof id, "%08x%016llx%08x", static_cast<unsigned>(std::time(nullptr)),
                  static_cast<unsigned long long>(random()), ++counter);
    return id;
}

std::string UtcTimestamp() {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    if (const std::tm* utc = std::gmtime(&now)) std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", utc);
    return text;
}

}  // namespace

class Session {
public:
    void Set(const char* name, const char* value) { variables_[name ? name : ""] = value ? value : ""; }
    void SetPageText(const std::string& text) { pageText_ = text; }

    void Run(const std::string& entry) {
        if (entry == "CONNECT") {
            Connect();
        } else if (entry == "SEND_PAGE") {
            SendPage();
        } else if (entry == "DISCONNECT") {
            connected_ = false;
            End(0, "Disconnected");
        } else {
            End(-1, "No entry " + entry + " in the WCTP transport");
        }
    }

    void Step() {
        if (transfer_.Running() && transfer_.Step(kSliceMs)) Judge(transfer_.Result());
    }
    bool Done() const { return !transfer_.Running(); }
    void Cancel() {
        transfer_.Abort();
        End(kScriptCancelled, std::string(paging_texts::kUserCancel));
    }
    int32_t code = 0;
    std::string text;

private:
    std::string Variable(const char* name) const {
        const auto found = variables_.find(name);
        return found == variables_.end() ? std::string() : found->second;
    }
    void End(int32_t resultCode, std::string resultText) {
        code = resultCode;
        if (resultText.size() > kMaxResultText) resultText.resize(kMaxResultText);
        text = std::move(resultText);
    }

    void Connect() {
        endpoint_ = Endpoint();
        endpoint_.url = Variable("serviceNumber");
        endpoint_.securityCode = Variable("password");
        std::string error = ParseOptions(Variable("modemString"), endpoint_);
        if (error.empty()) error = CheckUrl(endpoint_.url);
        if (!error.empty()) {
            End(kBadSetup, error);
            return;
        }
        if (endpoint_.senderId.empty()) endpoint_.senderId = "vorlapro";
        connected_ = true;
        End(0, "Connected to " + Variable("serviceName") + " (WCTP)");
    }

    void SendPage() {
        if (!connected_) {
            End(kBadSetup, "Not connected to the WCTP carrier");
            return;
        }
        Submit submit;
        submit.senderId = Cp1252ToUtf8(endpoint_.senderId);
        submit.securityCode = Cp1252ToUtf8(endpoint_.securityCode);
        submit.recipientId = Cp1252ToUtf8(Variable("pagerNumber"));
        submit.messageId = NewMessageId();
        submit.timestamp = UtcTimestamp();
        submit.text = Cp1252ToUtf8(pageText_.empty() ? Variable("message") : pageText_);
        pageText_.clear();
        const std::string document = BuildSubmitRequest(submit);
        std::string error = document.empty() ? "The page could not be written as WCTP" : std::string();
        if (error.empty()) error = transfer_.Start(endpoint_, document);
        if (!error.empty())
            End(kTransportFailed, error);
        else
            End(0, std::string());
    }

    void Judge(const TransferResult& result) {
        if (!result.transferred) {
            End(kTransportFailed, "WCTP: " + result.error);
            return;
        }
        if (result.status >= 300 && result.status < 400) {
            End(kHttpFailed, "The WCTP carrier redirects to " + CarrierText(result.redirect) +
                                 "; not followed (the service's options say redirects=follow to allow it)");
            return;
        }
        const Confirmation confirmation = ParseConfirmation(result.body);
        const std::string carrierText = CarrierText(confirmation.text);
        if (confirmation.kind == Confirmation::kFailure) {
            const std::string reason = std::to_string(confirmation.code) + " " + carrierText;
            if (confirmation.code >= 400 && confirmation.code <= 499) {
                End(kScriptPageRefused, "The carrier refused the page: " + reason);
            } else {
                End(kCarrierFailed, "The carrier did not take the page: " + reason);
            }
            return;
        }
        if (result.status < 200 || result.status > 299) {
            End(kHttpFailed, "The WCTP carrier answered HTTP " + std::to_string(result.status));
            return;
        }
        if (confirmation.kind != Confirmation::kSuccess) {
            End(kBadAnswer, "WCTP: " + carrierText);
            return;
        }
        End(0, "The carrier took the page: " + std::to_string(confirmation.code) + " " + carrierText);
    }

    std::map<std::string, std::string> variables_;
    std::string pageText_;
    Endpoint endpoint_;
    bool connected_ = false;
    Transfer transfer_;
};

CarrierScriptEngine::CarrierScriptEngine(IScriptEngine& scripts) : scripts_(scripts) {}

CarrierScriptEngine::~CarrierScriptEngine() = default;

Session* CarrierScriptEngine::Find(RKL_HANDLE handle) const {
    const auto found = sessions_.find(handle);
    return found == sessions_.end() ? nullptr : found->second.get();
}

RKL_HANDLE CarrierScriptEngine::Init(const std::string& scriptPath, RKL_WINDOW echoWindow,
                                     RKL_WINDOW logWindow) {
    if (!IsWctpScript(scriptPath)) return scripts_.Init(scriptPath, echoWindow, logWindow);
    InitialiseLibraries();
    auto session = std::make_unique<Session>();
    // The session's address is its handle: the driver only compares and hands it back.
    const auto handle = reinterpret_cast<RKL_HANDLE>(session.get());
    sessions_.emplace(handle, std::move(session));
    return handle;
}

int32_t CarrierScriptEngine::Set(RKL_HANDLE handle, const char* name, const char* value) {
    Session* session = Find(handle);
    if (!session) return scripts_.Set(handle, name, value);
    session->Set(name, value);
    return 0;
}

int32_t CarrierScriptEngine::Run(RKL_HANDLE handle, const char* entry) {
    Session* session = Find(handle);
    if (!session) return scripts_.Run(handle, entry);
    session->Run(entry ? entry : "");
    return 0;
}

int32_t CarrierScriptEngine::DoIdle(RKL_HANDLE handle) {
    Session* session = Find(handle);
    if (!session) return scripts_.DoIdle(handle);
    session->Step();
    return 0;
}

bool CarrierScriptEngine::Done(RKL_HANDLE handle) {
    Session* session = Find(handle);
    return session ? session->Done() : scripts_.Done(handle);
}

void CarrierScriptEngine::GetError(RKL_HANDLE handle, int32_t& code, std::string& text) {
    Session* session = Find(handle);
    if (!session) return scripts_.GetError(handle, code, text);
    code = session->code;
    text = session->text;
}

int32_t CarrierScriptEngine::Cancel(RKL_HANDLE handle) {
    Session* session = Find(handle);
    if (!session) return scripts_.Cancel(handle);
    session->Cancel();
    return 0;
}

void CarrierScriptEngine::Destroy(RKL_HANDLE handle) {
    if (sessions_.erase(handle) == 0) scripts_.Destroy(handle);
}

bool CarrierScriptEngine::TakesWholePages(RKL_HANDLE handle) {
    return Find(handle) ? true : scripts_.TakesWholePages(handle);
}

void CarrierScriptEngine::SetPageText(RKL_HANDLE handle, const std::string& text) {
    if (Session* session = Find(handle))
        session->SetPageText(text);
    else
        scripts_.SetPageText(handle, text);
}

}  // namespace vorla::wctp
