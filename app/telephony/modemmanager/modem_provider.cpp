#include "telephony/modemmanager/modem_provider.h"

#include <cstddef>
#include <cstring>
#include <limits>
#include <string_view>

#include <glib.h>

#include "engine/platform/telephony/line_error_names.h"

namespace vorla::telephony::modemmanager {
namespace {

constexpr uint32_t kOldestApiVersion = 0x00010000;
constexpr uint32_t kNewestApiVersion = 0x00010004;
constexpr int32_t kLineErrInvalAddress = static_cast<int32_t>(0x80000010);
constexpr int32_t kLineErrInvalPrivSelect = static_cast<int32_t>(0x80000036);

// A member of the caller's call parameters, or `absent` when its record is too short for it.
uint32_t ParamOrAbsent(const VorlaLineCallParams& params, size_t offset, uint32_t absent) {
    if (params.totalSize < offset + sizeof(uint32_t)) return absent;
    uint32_t value = 0;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(&params) + offset, sizeof value);
    return value;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && g_ascii_strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

uint32_t ModemProvider::NewHandle() {
    if (++lastHandle_ == 0) lastHandle_ = 1;
    return lastHandle_;
}

int32_t ModemProvider::NewRequest() {
    lastRequest_ = lastRequest_ == std::numeric_limits<int32_t>::max() ? 1 : lastRequest_ + 1;
    return lastRequest_;
}

ModemProvider::LineApp* ModemProvider::FindApp(uint32_t lineApp) {
    const auto found = apps_.find(lineApp);
    return found == apps_.end() ? nullptr : found->second.get();
}

const ModemLine& ModemProvider::LineDevice(const OpenLine& line) {
    return apps_.at(line.app)->lines.at(line.device);
}

void ModemProvider::Queue(uint32_t lineApp, const Event& event) {
    if (LineApp* app = FindApp(lineApp)) app->events.push_back(event);
}

int32_t ModemProvider::Initialize(uint32_t* lineApp, VorlaLineCallback callback, uint32_t* deviceCount) {
    if (!lineApp || !deviceCount) return kLineErrInvalPointer;
    auto app = std::make_unique<LineApp>();
    app->callback = callback;
    // No modem service (or no system bus at all) means no line devices, which is no error:
    // most machines have no modem.
    app->service = ModemService::Connect();
    if (app->service && app->service->Running()) {
        auto modems = app->service->ListModems();
        if (!modems) return kLineErrOperationFailed;
        app->lines = LinesFromModems(std::move(*modems));
    }
    app->context = g_main_context_new();
    std::lock_guard lock(mutex_);
    const uint32_t handle = NewHandle();
    *deviceCount = static_cast<uint32_t>(app->lines.size());
    apps_[handle] = std::move(app);
    *lineApp = handle;
    return 0;
}

int32_t ModemProvider::NegotiateApiVersion(uint32_t lineApp, uint32_t device, uint32_t apiLow,
                                           uint32_t apiHigh, uint32_t* apiVersion,
                                           VorlaLineExtensionId* extensionId) {
    if (!apiVersion || !extensionId) return kLineErrInvalPointer;
    std::lock_guard lock(mutex_);
    LineApp* app = FindApp(lineApp);
    if (!app) return kLineErrInvalAppHandle;
    if (device >= app->lines.size()) return kLineErrBadDeviceId;
    if (apiHigh < kOldestApiVersion || apiLow > kNewestApiVersion || apiLow > apiHigh)
        return kLineErrIncompatibleApiVersion;
    *apiVersion = apiHigh < kNewestApiVersion ? apiHigh : kNewestApiVersion;
    *extensionId = VorlaLineExtensionId{};
    return 0;
}

int32_t ModemProvider::GetDevCaps(uint32_t lineApp, uint32_t device, VorlaLineDevCaps* caps) {
    std::lock_guard lock(mutex_);
    LineApp* app = FindApp(lineApp);
    if (!app) return kLineErrInvalAppHandle;
    if (device >= app->lines.size()) return kLineErrBadDeviceId;
    return FillDevCaps(app->lines[device], caps);
}

int32_t ModemProvider::Open(uint32_t lineApp, uint32_t device, uint32_t* line, uintptr_t callbackInstance,
                            uint32_t privileges, uint32_t mediaModes) {
    if (!line) return kLineErrInvalPointer;
    std::lock_guard lock(mutex_);
    LineApp* app = FindApp(lineApp);
    if (!app) return kLineErrInvalAppHandle;
    if (device >= app->lines.size()) return kLineErrBadDeviceId;
    // Outgoing data calls are all a modem line here can do.
    if (privileges != VORLA_LINECALLPRIVILEGE_NONE) return kLineErrInvalPrivSelect;
    if (mediaModes != VORLA_LINEMEDIAMODE_DATAMODEM) return kLineErrInvalMediaMode;
    const uint32_t handle = NewHandle();
    lines_[handle] = OpenLine{lineApp, device, callbackInstance};
    *line = handle;
    return 0;
}

int32_t ModemProvider::MakeCall(uint32_t line, uint32_t* call, const char* destAddress,
                                const VorlaLineCallParams* params) {
    if (!call) return kLineErrInvalPointer;
    std::lock_guard lock(mutex_);
    const auto open = lines_.find(line);
    if (open == lines_.end()) return kLineErrInvalLineHandle;
    // Only the pass-through call: the caller dials with its own modem commands, so a number
    // given here would silently not be dialled.
    if (destAddress && *destAddress) return kLineErrInvalAddress;
    if (!params || params->totalSize < offsetof(VorlaLineCallParams, bearerMode) + sizeof(uint32_t))
        return kLineErrInvalCallParams;
    if (params->bearerMode != VORLA_LINEBEARERMODE_PASSTHROUGH) return kLineErrInvalBearerMode;
    const uint32_t mediaMode =
        ParamOrAbsent(*params, offsetof(VorlaLineCallParams, mediaMode), VORLA_LINEMEDIAMODE_DATAMODEM);
    if (mediaMode != VORLA_LINEMEDIAMODE_DATAMODEM) return kLineErrInvalMediaMode;
    if (const auto previous = calls_.find(open->second.call); previous != calls_.end()) {
        if (previous->second.phase != Phase::Ended || previous->second.releasing) return kLineErrCallUnavail;
        calls_.erase(previous);
    }
    const ModemLine& device = LineDevice(open->second);
    for (const auto& [handle, other] : calls_)
        if ((other.phase != Phase::Ended || other.releasing) &&
            LineDevice(lines_.at(other.line)).device == device.device)
            return kLineErrInUse;
    LineApp* app = FindApp(open->second.app);
    if (!app->service) return kLineErrNoDevice;

    const uint32_t callHandle = NewHandle();
    const int32_t request = NewRequest();
    calls_[callHandle] = Call{line};
    open->second.call = callHandle;
    app->events.push_back(
        {callHandle, VORLA_LINE_CALLSTATE, open->second.instance, VORLA_LINECALLSTATE_PROCEEDING, 0});
    const uint32_t lineApp = open->second.app;
    app->service->SetInhibitedLater(
        device.device, true, app->context,
        [this, lineApp, callHandle, uid = device.device, request](int32_t result) {
            OnInhibited(lineApp, callHandle, uid, request, result);
        });
    *call = callHandle;
    return request;
}

void ModemProvider::OnInhibited(uint32_t lineApp, uint32_t call, const std::string& device, int32_t request,
                                int32_t result) {
    std::lock_guard lock(mutex_);
    LineApp* app = FindApp(lineApp);
    if (!app) return;  // shut down meanwhile: the closed connection let the modem go
    const auto found = calls_.find(call);
    if (found == calls_.end() || found->second.phase != Phase::Placing) {
        // The caller gave up before the modem service answered; it must not keep the modem.
        if (result == 0) app->service->SetInhibitedLater(device, false, app->context, [](int32_t) {});
        return;
    }
    Call& placed = found->second;
    const uintptr_t instance = lines_.at(placed.line).instance;
    app->events.push_back({0, VORLA_LINE_REPLY, instance, static_cast<uintptr_t>(request),
                           static_cast<uintptr_t>(static_cast<intptr_t>(result))});
    if (result == 0) {
        placed.inhibited = true;
        placed.phase = Phase::Connected;
        app->events.push_back({call, VORLA_LINE_CALLSTATE, instance, VORLA_LINECALLSTATE_CONNECTED, 0});
    } else {
        placed.phase = Phase::Ended;
        app->events.push_back({call, VORLA_LINE_CALLSTATE, instance, VORLA_LINECALLSTATE_DISCONNECTED, 0});
    }
}

int32_t ModemProvider::GetId(uint32_t call, uint32_t select, VorlaVarString* answer,
                             const char* deviceClass) {
    if (!deviceClass || !answer) return kLineErrInvalPointer;
    if (!EqualsIgnoringCase(deviceClass, VORLA_DEVICE_CLASS_DATAMODEM)) return kLineErrInvalDeviceClass;
    if (select != VORLA_LINECALLSELECT_CALL) return kLineErrInvalCallSelect;
    std::lock_guard lock(mutex_);
    const auto found = calls_.find(call);
    if (found == calls_.end()) return kLineErrInvalCallHandle;
    if (found->second.phase != Phase::Connected) return kLineErrInvalCallState;
    return FillCommPort(LineDevice(lines_.at(found->second.line)).portPath, answer);
}

int32_t ModemProvider::Drop(uint32_t call) {
    std::lock_guard lock(mutex_);
    const auto found = calls_.find(call);
    if (found == calls_.end()) return kLineErrInvalCallHandle;
    Call& dropped = found->second;
    const OpenLine& line = lines_.at(dropped.line);
    LineApp* app = FindApp(line.app);
    const int32_t request = NewRequest();
    const bool held = dropped.inhibited;
    dropped.inhibited = false;
    dropped.releasing = held;
    dropped.phase = Phase::Ended;
    if (held) {
        const uint32_t lineApp = line.app;
        app->service->SetInhibitedLater(
            LineDevice(line).device, false, app->context,
            [this, lineApp, call, request](int32_t result) { OnReleased(lineApp, call, request, result); });
    } else {
        app->events.push_back({0, VORLA_LINE_REPLY, line.instance, static_cast<uintptr_t>(request), 0});
        app->events.push_back({call, VORLA_LINE_CALLSTATE, line.instance, VORLA_LINECALLSTATE_IDLE, 0});
    }
    return request;
}

void ModemProvider::OnReleased(uint32_t lineApp, uint32_t call, int32_t request, int32_t result) {
    std::lock_guard lock(mutex_);
    const auto found = calls_.find(call);
    if (found == calls_.end()) return;  // the line was closed meanwhile
    found->second.releasing = false;
    const uintptr_t instance = lines_.at(found->second.line).instance;
    Queue(lineApp, {0, VORLA_LINE_REPLY, instance, static_cast<uintptr_t>(request),
                    static_cast<uintptr_t>(static_cast<intptr_t>(result))});
    Queue(lineApp, {call, VORLA_LINE_CALLSTATE, instance, VORLA_LINECALLSTATE_IDLE, 0});
}

void ModemProvider::CloseLocked(uint32_t line) {
    const auto open = lines_.find(line);
    if (const auto call = calls_.find(open->second.call); call != calls_.end()) {
        // Released here and now: a caller that closes may never dispatch events again.
        if (call->second.inhibited) {
            LineApp* app = FindApp(open->second.app);
            app->service->SetInhibited(LineDevice(open->second).device, false);
        }
        calls_.erase(call);
    }
    lines_.erase(open);
}

int32_t ModemProvider::Close(uint32_t line) {
    std::lock_guard lock(mutex_);
    if (!lines_.count(line)) return kLineErrInvalLineHandle;
    CloseLocked(line);
    return 0;
}

int32_t ModemProvider::Shutdown(uint32_t lineApp) {
    std::unique_ptr<LineApp> app;
    {
        std::lock_guard lock(mutex_);
        const auto found = apps_.find(lineApp);
        if (found == apps_.end()) return kLineErrInvalAppHandle;
        std::vector<uint32_t> open;
        for (const auto& [handle, line] : lines_)
            if (line.app == lineApp) open.push_back(handle);
        for (uint32_t handle : open)
            CloseLocked(handle);
        app = std::move(found->second);
        apps_.erase(found);
    }
    // Closing our connection ends whatever inhibition is still in flight; the completions
    // that this fails find their application gone and do nothing.
    app->service.reset();
    while (g_main_context_iteration(app->context, FALSE)) {
    }
    g_main_context_unref(app->context);
    return 0;
}

int32_t ModemProvider::DispatchEvents(uint32_t lineApp) {
    GMainContext* context = nullptr;
    {
        std::lock_guard lock(mutex_);
        LineApp* app = FindApp(lineApp);
        if (!app) return kLineErrInvalAppHandle;
        context = g_main_context_ref(app->context);
    }
    // The completions take the lock themselves.
    while (g_main_context_iteration(context, FALSE)) {
    }
    g_main_context_unref(context);
    std::deque<Event> due;
    VorlaLineCallback callback = nullptr;
    {
        std::lock_guard lock(mutex_);
        LineApp* app = FindApp(lineApp);
        if (!app) return 0;
        due.swap(app->events);
        callback = app->callback;
    }
    // Outside the lock: the callback may call back into the provider.
    if (callback)
        for (const Event& event : due)
            callback(event.device, event.message, event.instance, event.param1, event.param2, 0);
    return 0;
}

}  // namespace vorla::telephony::modemmanager
