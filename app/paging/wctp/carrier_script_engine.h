#pragma once
// The driver's engine for services that are not scripts: a service whose script file names
// the WCTP transport gets a session of its own here, every other service goes to the script
// engine underneath. The session answers the driver's calls as a script would: CONNECT checks
// the address and options, SEND_PAGE posts one page and reads the carrier's confirmation,
// DISCONNECT has nothing to close; result codes and texts follow the scripts' contract.

#include <memory>
#include <string>
#include <unordered_map>

#include "paging/script_engine.h"

namespace vorla::wctp {

// Result codes of the WCTP transport (the scripts use -301 to -311).
inline constexpr int32_t kBadSetup = -331;         // address or options unusable
inline constexpr int32_t kTransportFailed = -332;  // no HTTP answer: network, TLS, time-out
inline constexpr int32_t kHttpFailed = -333;       // an HTTP error status or a redirect not followed
inline constexpr int32_t kBadAnswer = -334;        // an answer that is not a confirmation
inline constexpr int32_t kCarrierFailed = -335;    // the carrier's failure, not about the recipient

class Session;

class CarrierScriptEngine final : public IScriptEngine {
public:
    explicit CarrierScriptEngine(IScriptEngine& scripts);
    ~CarrierScriptEngine() override;

    RKL_HANDLE Init(const std::string& scriptPath, RKL_WINDOW echoWindow, RKL_WINDOW logWindow) override;
    int32_t Set(RKL_HANDLE handle, const char* name, const char* value) override;
    int32_t Run(RKL_HANDLE handle, const char* entry) override;
    int32_t DoIdle(RKL_HANDLE handle) override;
    bool Done(RKL_HANDLE handle) override;
    void GetError(RKL_HANDLE handle, int32_t& code, std::string& text) override;
    int32_t Cancel(RKL_HANDLE handle) override;
    void Destroy(RKL_HANDLE handle) override;
    bool TakesWholePages(RKL_HANDLE handle) override;
    void SetPageText(RKL_HANDLE handle, const std::string& text) override;

private:
    Session* Find(RKL_HANDLE handle) const;

    IScriptEngine& scripts_;
    std::unordered_map<RKL_HANDLE, std::unique_ptr<Session>> sessions_;
};

}  // namespace vorla::wctp
