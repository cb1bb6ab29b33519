// TTapiLine: the telephony line of one engine handle, from lineInitialize to lineShutdown.
// TAPIOPENPORT and TAPICLOSEPORT (win_rkl_port_commands.cpp) drive it; it owns the provider's
// handles and the state the line callback sets, and it never leaves a call behind: whatever
// way the handle gives up (an error, a cancel, RKL_Destroy), Release drops the call, closes
// the line and shuts the application down.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/telephony/line_records.h"
#include "platform/waiter.h"

namespace vorla::telephony {
class TelephonyApi;
}

namespace rkl {

// The provider of the whole process: VORLAPRO_TELEPHONY_PROVIDER (else the platform's usual
// name), loaded once on first use and kept until the process ends. A failed load is kept too:
// every line function then answers LINEERR_OPERATIONUNAVAIL.
vorla::telephony::TelephonyApi& EngineTelephony();

class TTapiLine {
public:
    // How long each wait may last. The waits pump the host and sleep between looks, and a
    // cancel ends them at once; the limits only end a provider that never answers.
    struct Limits {
        int replySeconds = 30;    // the reply to lineMakeCall
        int connectSeconds = 60;  // the call reaching CONNECTED after that reply
        int dropSeconds = 10;     // the reply to lineDrop
    };
    // The defaults, or VORLAPRO_TELEPHONY_WAIT_SECONDS (1 .. 3600) for all three.
    static Limits DefaultLimits();

    enum class Outcome {
        Open,          // the call is connected and `port` is its port
        LineError,     // a provider function failed; `code` is its LINEERR_ code
        NoReply,       // the reply never came within replySeconds
        NotConnected,  // the call did not connect within connectSeconds
        CallEnded,     // the call ended (idle or disconnected) before it connected
        Stopped,       // the host cancelled, or the handle is being destroyed
    };
    struct Result {
        Outcome outcome = Outcome::LineError;
        int32_t code = 0;
    };

    TTapiLine() = default;
    ~TTapiLine() { Release(nullptr, Limits{}); }
    TTapiLine(const TTapiLine&) = delete;
    TTapiLine& operator=(const TTapiLine&) = delete;

    // lineInitialize, the search for the permanent line id, lineOpen, the pass-through call, its
    // reply and connection, and the call's port. On any outcome but Open the caller goes on
    // with Release.
    Result Open(uint32_t permanentLineId, platform::Waiter& waiter, const Limits& limits,
                vorla::telephony::CommPort& port);

    // Drops the call (and, with a waiter, waits for the drop's reply, up to dropSeconds),
    // closes the line and shuts down. False when the drop's reply did not come in time; the
    // line is closed either way. Does nothing when nothing is open.
    bool Release(platform::Waiter* waiter, const Limits& limits);

    bool Active() const { return lineApp_ != 0; }
    uint32_t CallState() const { return callState_; }

private:
    enum class WaitEnd { Done, TimedOut, Stopped };
    // Dispatches the provider's events and pumps the host until `done` answers true, the time
    // limit passes or the waiter is stopped.
    template <typename Done>
    WaitEnd WaitUntil(platform::Waiter& waiter, int seconds, Done done);
    // Finds the device with the permanent line id; the device count when none has it.
    uint32_t FindDevice(uint32_t permanentLineId, uint32_t& apiVersion);

    static void LineCallback(uint32_t device, uint32_t message, uintptr_t instance, uintptr_t param1,
                             uintptr_t param2, uintptr_t param3);

    vorla::telephony::TelephonyApi* api_ = nullptr;
    uint32_t lineApp_ = 0;
    uint32_t line_ = 0;
    uint32_t call_ = 0;
    uint32_t deviceCount_ = 0;
    int32_t pendingRequest_ = 0;
    int32_t replyResult_ = 0;
    bool replied_ = false;
    uint32_t callState_ = 0;
};

}  // namespace rkl
