#include "tapi_line.h"

#include <cstdlib>
#include <cstring>

#include "platform/telephony/line_error_names.h"
#include "platform/telephony/telephony_api.h"

namespace rkl {

namespace tel = vorla::telephony;

namespace {

constexpr uint32_t kLowestApiVersion = 0x00010000;
constexpr uint32_t kHighestApiVersion = 0x00010004;
// A provider reporting more devices than this is not searched further: the search would
// otherwise keep the host waiting for as long as the provider cares to lie.
constexpr uint32_t kMaxDevices = 256;

}  // namespace

tel::TelephonyApi& EngineTelephony() {
    // Never freed: a handle destroyed during the process's exit may still need it.
    static tel::TelephonyApi* const api = tel::TelephonyApi::Load(tel::DefaultProviderName()).release();
    return *api;
}

TTapiLine::Limits TTapiLine::DefaultLimits() {
    Limits limits;
    if (const char* text = std::getenv("VORLAPRO_TELEPHONY_WAIT_SECONDS"); text && *text) {
        char* end = nullptr;
        const long seconds = std::strtol(text, &end, 10);
        if (*end == '\0' && seconds >= 1 && seconds <= 3600) {
            limits.replySeconds = limits.connectSeconds = limits.dropSeconds = static_cast<int>(seconds);
        }
    }
    return limits;
}

void TTapiLine::LineCallback(uint32_t, uint32_t message, uintptr_t instance, uintptr_t param1,
                             uintptr_t param2, uintptr_t) {
    auto* self = reinterpret_cast<TTapiLine*>(instance);
    if (self == nullptr) return;
    switch (message) {
        case VORLA_LINE_CALLSTATE:
            self->callState_ = static_cast<uint32_t>(param1);
            break;
        case VORLA_LINE_REPLY:
            if (static_cast<int32_t>(param1) == self->pendingRequest_) {
                self->replyResult_ = static_cast<int32_t>(param2);
                self->replied_ = true;
            }
            break;
        default:
            break;
    }
}

template <typename Done>
TTapiLine::WaitEnd TTapiLine::WaitUntil(platform::Waiter& waiter, int seconds, Done done) {
    const int64_t end = waiter.clock().NowMilliseconds() + int64_t{seconds} * 1000;
    for (;;) {
        api_->lineDispatchEvents(lineApp_);
        if (done()) return WaitEnd::Done;
        if (waiter.clock().NowMilliseconds() >= end) return WaitEnd::TimedOut;
        if (waiter.PumpAndSleep(platform::Waiter::kPumpIntervalMilliseconds) == platform::WaitEnd::Stopped) {
            return WaitEnd::Stopped;
        }
    }
}

uint32_t TTapiLine::FindDevice(uint32_t permanentLineId, uint32_t& apiVersion) {
    std::vector<unsigned char> record;
    const uint32_t count = deviceCount_ < kMaxDevices ? deviceCount_ : kMaxDevices;
    for (uint32_t device = 0; device < count; ++device) {
        uint32_t version = 0;
        VorlaLineExtensionId extension{};
        // A device that speaks no version of ours, or gives no capabilities, is not the one asked
        // for; it must not keep the search from the devices after it.
        if (api_->lineNegotiateAPIVersion(lineApp_, device, kLowestApiVersion, kHighestApiVersion, &version,
                                          &extension) != 0)
            continue;
        apiVersion = version;
        if (tel::GetDevCapsRecord(*api_, lineApp_, device, version, record) != 0) continue;
        VorlaLineDevCaps caps{};
        std::memcpy(&caps, record.data(), sizeof caps);
        std::string name;
        if (caps.permanentLineId == permanentLineId && tel::DevCapsLineName(record, name)) return device;
    }
    return deviceCount_;
}

TTapiLine::Result TTapiLine::Open(uint32_t permanentLineId, platform::Waiter& waiter, const Limits& limits,
                                  tel::CommPort& port) {
    Release(nullptr, limits);
    api_ = &EngineTelephony();
    auto lineError = [](int32_t code) { return Result{Outcome::LineError, code}; };

    deviceCount_ = 0;
    if (int32_t error = api_->lineInitialize(&lineApp_, nullptr, &LineCallback, nullptr, &deviceCount_);
        error != 0) {
        lineApp_ = 0;
        return lineError(error);
    }

    uint32_t apiVersion = 0;
    const uint32_t device = FindDevice(permanentLineId, apiVersion);
    if (int32_t error =
            api_->lineOpen(lineApp_, device, &line_, apiVersion, 0, reinterpret_cast<uintptr_t>(this),
                           VORLA_LINECALLPRIVILEGE_NONE, VORLA_LINEMEDIAMODE_DATAMODEM, nullptr);
        error != 0) {
        line_ = 0;
        return lineError(error);
    }

    VorlaLineCallParams params{};
    params.totalSize = sizeof params;
    params.bearerMode = VORLA_LINEBEARERMODE_PASSTHROUGH;
    params.mediaMode = VORLA_LINEMEDIAMODE_DATAMODEM;
    params.callParamFlags = VORLA_LINECALLPARAMFLAGS_IDLE;
    params.addressMode = VORLA_LINEADDRESSMODE_ADDRESSID;
    replyResult_ = 0;
    callState_ = 0;
    replied_ = false;
    const int32_t request = api_->lineMakeCall(line_, &call_, nullptr, 0, &params);
    if (request < 0) {
        call_ = 0;
        return lineError(request);
    }
    pendingRequest_ = request;

    switch (WaitUntil(waiter, limits.replySeconds, [this] { return replied_; })) {
        case WaitEnd::TimedOut:
            return {Outcome::NoReply, 0};
        case WaitEnd::Stopped:
            return {Outcome::Stopped, 0};
        case WaitEnd::Done:
            break;
    }
    if (replyResult_ != 0) return lineError(replyResult_);

    // A call that fails after its reply goes idle or disconnected; waiting on for CONNECTED
    // then would only end at the time limit.
    bool ended = false;
    const auto connected = WaitUntil(waiter, limits.connectSeconds, [this, &ended] {
        ended = callState_ == VORLA_LINECALLSTATE_IDLE || callState_ == VORLA_LINECALLSTATE_DISCONNECTED;
        return ended || callState_ == VORLA_LINECALLSTATE_CONNECTED;
    });
    if (connected == WaitEnd::Stopped) return {Outcome::Stopped, 0};
    if (connected == WaitEnd::TimedOut) return {Outcome::NotConnected, 0};
    if (ended) return {Outcome::CallEnded, 0};

    if (int32_t error = tel::GetCallCommPort(*api_, call_, port); error != 0) return lineError(error);
    return {Outcome::Open, 0};
}

bool TTapiLine::Release(platform::Waiter* waiter, const Limits& limits) {
    if (api_ == nullptr) return true;
    bool replied = true;
    if (call_ != 0) {
        replied_ = false;
        const int32_t request = api_->lineDrop(call_, nullptr, 0);
        pendingRequest_ = request;
        if (request > 0 && waiter != nullptr) {
            replied =
                WaitUntil(*waiter, limits.dropSeconds, [this] { return replied_; }) != WaitEnd::TimedOut;
        }
        call_ = 0;
    }
    if (line_ != 0) {
        api_->lineClose(line_);
        line_ = 0;
    }
    if (lineApp_ != 0) {
        api_->lineShutdown(lineApp_);
        lineApp_ = 0;
    }
    pendingRequest_ = 0;
    return replied;
}

}  // namespace rkl
