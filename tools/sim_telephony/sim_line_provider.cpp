// The simulated telephony provider: line devices from VORLAPRO_SIM_LINES (sim_line_config.h)
// whose calls hand out a terminal device such as a pagingsim link, so scripts that page
// through a telephony line run without a modem or a telephone system. Every function the
// caller makes and every event delivered is appended to the file VORLAPRO_SIM_LINES_LOG,
// when set, one line each ("lineOpen 4097", "lineDrop 4097", ...), for tests and for a user
// who wants to see what the program did with the line. The maps and the configuration
// allocate, so each export answers a fault with a LINEERR_ code (provider_guard.h).
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include "engine/platform/telephony/line_error_names.h"
#include "engine/platform/telephony/provider_answers.h"
#include "engine/platform/telephony/provider_guard.h"
#include "engine/platform/telephony/telephony_abi.h"
#include "tools/sim_telephony/sim_line_config.h"

namespace {

namespace tel = vorla::telephony;
using vorla::simline::Behaviour;
using vorla::simline::SimLine;

constexpr uint32_t kHighestVersion = 0x00010004;

struct App {
    VorlaLineCallback callback = nullptr;
    std::vector<SimLine> lines;  // as configured when the application registered
};

struct OpenLine {
    uint32_t app = 0;
    uint32_t device = 0;
    uintptr_t instance = 0;
};

struct Call {
    uint32_t line = 0;
    uint32_t state = 0;
};

struct Event {
    uint32_t app;
    uint32_t device;
    uint32_t message;
    uintptr_t instance;
    uintptr_t param1;
    uintptr_t param2;
};

// The provider's whole state. The callers promise one thread; the lock keeps a careless one
// from corrupting the maps, and is never held while the callback runs.
std::mutex mutex;
std::map<uint32_t, App> apps;
std::map<uint32_t, OpenLine> lines;
std::map<uint32_t, Call> calls;
std::deque<Event> events;
uint32_t nextHandle = 1;
int32_t nextRequest = 1;

void Journal(const char* what, uint32_t lineId) {
    const char* path = std::getenv("VORLAPRO_SIM_LINES_LOG");
    if (!path || !*path) return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s %u\n", what, lineId);
        std::fclose(file);
    }
}

const SimLine* LineOf(uint32_t lineHandle) {
    auto open = lines.find(lineHandle);
    if (open == lines.end()) return nullptr;
    const App& app = apps[open->second.app];
    return &app.lines[open->second.device];
}

void PostCallState(uint32_t callHandle, uint32_t state) {
    const OpenLine& line = lines[calls[callHandle].line];
    events.push_back({line.app, callHandle, VORLA_LINE_CALLSTATE, line.instance, state, 0});
}

void PostReply(uint32_t lineHandle, int32_t request, int32_t result) {
    const OpenLine& line = lines[lineHandle];
    events.push_back({line.app, 0, VORLA_LINE_REPLY, line.instance, static_cast<uintptr_t>(request),
                      static_cast<uintptr_t>(static_cast<intptr_t>(result))});
}

int32_t NewRequest() {
    const int32_t request = nextRequest;
    nextRequest = nextRequest == 0x7FFFFFFF ? 1 : nextRequest + 1;
    return request;
}

void CloseLineLocked(uint32_t lineHandle) {
    for (auto it = calls.begin(); it != calls.end();)
        it = it->second.line == lineHandle ? calls.erase(it) : ++it;
    lines.erase(lineHandle);
}

}  // namespace

extern "C" {

VORLA_PROVIDER_EXPORT int32_t lineInitialize(uint32_t* lineApp, void*, VorlaLineCallback callback,
                                             const char*, uint32_t* deviceCount) {
    return tel::GuardedCall([&]() -> int32_t {
        if (!lineApp || !deviceCount) return tel::kLineErrInvalPointer;
        const char* value = std::getenv("VORLAPRO_SIM_LINES");
        const auto config = vorla::simline::ReadSimLineConfig(value ? value : "");
        for (const std::string& error : config.errors)
            std::fprintf(stderr, "VORLAPRO_SIM_LINES: %s\n", error.c_str());
        std::lock_guard lock(mutex);
        const uint32_t handle = nextHandle++;
        apps[handle] = App{callback, config.lines};
        *lineApp = handle;
        *deviceCount = static_cast<uint32_t>(config.lines.size());
        return 0;
    });
}

VORLA_PROVIDER_EXPORT int32_t lineNegotiateAPIVersion(uint32_t lineApp, uint32_t device, uint32_t apiLow,
                                                      uint32_t apiHigh, uint32_t* apiVersion,
                                                      VorlaLineExtensionId* extensionId) {
    return tel::GuardedCall([&]() -> int32_t {
        std::lock_guard lock(mutex);
        auto app = apps.find(lineApp);
        if (app == apps.end()) return tel::kLineErrInvalAppHandle;
        if (device >= app->second.lines.size()) return tel::kLineErrBadDeviceId;
        if (!apiVersion || !extensionId) return tel::kLineErrInvalPointer;
        if (apiLow > kHighestVersion) return tel::kLineErrIncompatibleApiVersion;
        *apiVersion = apiHigh < kHighestVersion ? apiHigh : kHighestVersion;
        std::memset(extensionId, 0, sizeof *extensionId);
        return 0;
    });
}

VORLA_PROVIDER_EXPORT int32_t lineGetDevCaps(uint32_t lineApp, uint32_t device, uint32_t, uint32_t,
                                             VorlaLineDevCaps* caps) {
    return tel::GuardedCall([&]() -> int32_t {
        std::lock_guard lock(mutex);
        auto app = apps.find(lineApp);
        if (app == apps.end()) return tel::kLineErrInvalAppHandle;
        if (device >= app->second.lines.size()) return tel::kLineErrBadDeviceId;
        if (!caps || caps->totalSize < sizeof(VorlaLineDevCaps)) return tel::kLineErrStructureTooSmall;
        const SimLine& line = app->second.lines[device];
        return tel::FillLineDevCaps(*caps, line.permanentLineId, line.name);
    });
}

VORLA_PROVIDER_EXPORT int32_t lineOpen(uint32_t lineApp, uint32_t device, uint32_t* line, uint32_t, uint32_t,
                                       uintptr_t callbackInstance, uint32_t, uint32_t mediaModes,
                                       const VorlaLineCallParams*) {
    return tel::GuardedCall([&]() -> int32_t {
        std::lock_guard lock(mutex);
        auto app = apps.find(lineApp);
        if (app == apps.end()) return tel::kLineErrInvalAppHandle;
        if (device >= app->second.lines.size()) return tel::kLineErrBadDeviceId;
        if (!line) return tel::kLineErrInvalPointer;
        if (mediaModes != VORLA_LINEMEDIAMODE_DATAMODEM) return tel::kLineErrInvalMediaMode;
        const SimLine& sim = app->second.lines[device];
        Journal("lineOpen", sim.permanentLineId);
        if (sim.openFails) return tel::kLineErrResourceUnavail;
        const uint32_t handle = nextHandle++;
        lines[handle] = OpenLine{lineApp, device, callbackInstance};
        *line = handle;
        return 0;
    });
}

VORLA_PROVIDER_EXPORT int32_t lineMakeCall(uint32_t line, uint32_t* call, const char*, uint32_t,
                                           const VorlaLineCallParams* params) {
    return tel::GuardedCall([&]() -> int32_t {
        std::lock_guard lock(mutex);
        const SimLine* sim = LineOf(line);
        if (!sim) return tel::kLineErrInvalLineHandle;
        if (!call) return tel::kLineErrInvalPointer;
        if (params && params->totalSize >= 2 * sizeof(uint32_t) &&
            params->bearerMode != VORLA_LINEBEARERMODE_PASSTHROUGH)
            return tel::kLineErrInvalBearerMode;
        Journal("lineMakeCall", sim->permanentLineId);
        if (sim->callFails) return tel::kLineErrCallUnavail;
        for (const auto& [handle, existing] : calls)
            if (existing.line == line) return tel::kLineErrInUse;
        const uint32_t handle = nextHandle++;
        calls[handle] = Call{line, VORLA_LINECALLSTATE_PROCEEDING};
        *call = handle;
        const int32_t request = NewRequest();
        if (sim->reply == Behaviour::Never) return request;
        PostReply(line, request, sim->reply == Behaviour::Fail ? tel::kLineErrOperationFailed : 0);
        if (sim->reply == Behaviour::Fail) return request;
        PostCallState(handle, VORLA_LINECALLSTATE_PROCEEDING);
        if (sim->connect == Behaviour::Fail) PostCallState(handle, VORLA_LINECALLSTATE_DISCONNECTED);
        if (sim->connect == Behaviour::Normal) PostCallState(handle, VORLA_LINECALLSTATE_CONNECTED);
        return request;
    });
}

VORLA_PROVIDER_EXPORT int32_t lineGetID(uint32_t, uint32_t, uint32_t call, uint32_t select,
                                        VorlaVarString* deviceId, const char* deviceClass) {
    return tel::GuardedCall([&]() -> int32_t {
        std::lock_guard lock(mutex);
        if (select != VORLA_LINECALLSELECT_CALL) return tel::kLineErrInvalCallSelect;
        auto found = calls.find(call);
        if (found == calls.end()) return tel::kLineErrInvalCallHandle;
        if (!deviceClass || std::strcmp(deviceClass, VORLA_DEVICE_CLASS_DATAMODEM) != 0)
            return tel::kLineErrInvalDeviceClass;
        if (!deviceId || deviceId->totalSize < sizeof(VorlaVarString)) return tel::kLineErrStructureTooSmall;
        if (found->second.state != VORLA_LINECALLSTATE_CONNECTED) return tel::kLineErrInvalCallState;
        const SimLine& sim = *LineOf(found->second.line);
        const uint32_t header = sizeof(VorlaVarString);
        const auto stringSize = static_cast<uint32_t>(sizeof(int32_t) + sim.device.size() + 1);
        const uint32_t total = deviceId->totalSize;
        std::memset(deviceId, 0, header);
        deviceId->totalSize = total;
        deviceId->neededSize = header + stringSize;
        deviceId->usedSize = header;
        if (deviceId->neededSize > total) return 0;
        int32_t fd = -1;
        if (!sim.handOffByPath) {
            fd = ::open(sim.device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) return tel::kLineErrResourceUnavail;
        }
        auto* bytes = reinterpret_cast<unsigned char*>(deviceId);
        std::memcpy(bytes + header, &fd, sizeof fd);
        std::memcpy(bytes + header + sizeof fd, sim.device.c_str(), sim.device.size() + 1);
        deviceId->stringFormat = kVorlaStringFormatBinary;
        deviceId->stringSize = stringSize;
        deviceId->stringOffset = header;
        deviceId->usedSize = deviceId->neededSize;
        return 0;
    });
}

VORLA_PROVIDER_EXPORT int32_t lineDrop(uint32_t call, const char*, uint32_t) {
    return tel::GuardedCall([&]() -> int32_t {
        std::lock_guard lock(mutex);
        auto found = calls.find(call);
        if (found == calls.end()) return tel::kLineErrInvalCallHandle;
        const SimLine& sim = *LineOf(found->second.line);
        Journal("lineDrop", sim.permanentLineId);
        found->second.state = VORLA_LINECALLSTATE_IDLE;
        const int32_t request = NewRequest();
        if (sim.dropNeverReplies) return request;
        PostCallState(call, VORLA_LINECALLSTATE_IDLE);
        PostReply(found->second.line, request, 0);
        return request;
    });
}

VORLA_PROVIDER_EXPORT int32_t lineClose(uint32_t line) {
    return tel::GuardedCall([&]() -> int32_t {
        std::lock_guard lock(mutex);
        const SimLine* sim = LineOf(line);
        if (!sim) return tel::kLineErrInvalLineHandle;
        Journal("lineClose", sim->permanentLineId);
        CloseLineLocked(line);
        return 0;
    });
}

VORLA_PROVIDER_EXPORT int32_t lineShutdown(uint32_t lineApp) {
    return tel::GuardedCall([&]() -> int32_t {
        std::lock_guard lock(mutex);
        if (apps.find(lineApp) == apps.end()) return tel::kLineErrInvalAppHandle;
        for (auto it = lines.begin(); it != lines.end();) {
            const uint32_t handle = it->first;
            ++it;
            if (lines[handle].app == lineApp) CloseLineLocked(handle);
        }
        for (auto it = events.begin(); it != events.end();)
            it = it->app == lineApp ? events.erase(it) : ++it;
        apps.erase(lineApp);
        Journal("lineShutdown", 0);
        return 0;
    });
}

VORLA_PROVIDER_EXPORT int32_t lineDispatchEvents(uint32_t lineApp) {
    return tel::GuardedCall([&]() -> int32_t {
        for (;;) {
            Event event{};
            VorlaLineCallback callback = nullptr;
            {
                std::lock_guard lock(mutex);
                auto it = events.begin();
                while (it != events.end() && it->app != lineApp)
                    ++it;
                if (it == events.end()) return 0;
                event = *it;
                events.erase(it);
                auto app = apps.find(lineApp);
                if (app != apps.end()) callback = app->second.callback;
                if (event.message == VORLA_LINE_CALLSTATE) {
                    if (auto call = calls.find(event.device); call != calls.end())
                        call->second.state = static_cast<uint32_t>(event.param1);
                }
            }
            if (callback)
                callback(event.device, event.message, event.instance, event.param1, event.param2, 0);
        }
    });
}

}  // extern "C"
