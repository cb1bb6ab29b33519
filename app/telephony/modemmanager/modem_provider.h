#pragma once
// The provider's state behind its C interface: applications, open lines and their calls.
// A call is a modem inhibited in the modem service (so that the service's probing stays off
// the port while the caller talks to the modem); dropping the call, closing the line or
// shutting down releases it. Inhibit and release are asynchronous D-Bus calls whose
// completions run only inside lineDispatchEvents, on the caller's thread, so no function ever
// waits for the modem service except lineInitialize (listing the modems) and lineClose
// (releasing a modem still held), both within fixed time limits.

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/platform/telephony/telephony_abi.h"
#include "telephony/modemmanager/modem_lines.h"
#include "telephony/modemmanager/modem_service.h"

namespace vorla::telephony::modemmanager {

class ModemProvider {
public:
    ModemProvider() = default;
    ModemProvider(const ModemProvider&) = delete;
    ModemProvider& operator=(const ModemProvider&) = delete;

    int32_t Initialize(uint32_t* lineApp, VorlaLineCallback callback, uint32_t* deviceCount);
    int32_t NegotiateApiVersion(uint32_t lineApp, uint32_t device, uint32_t apiLow, uint32_t apiHigh,
                                uint32_t* apiVersion, VorlaLineExtensionId* extensionId);
    int32_t GetDevCaps(uint32_t lineApp, uint32_t device, VorlaLineDevCaps* caps);
    int32_t Open(uint32_t lineApp, uint32_t device, uint32_t* line, uintptr_t callbackInstance,
                 uint32_t privileges, uint32_t mediaModes);
    int32_t MakeCall(uint32_t line, uint32_t* call, const char* destAddress,
                     const VorlaLineCallParams* params);
    int32_t GetId(uint32_t call, uint32_t select, VorlaVarString* answer, const char* deviceClass);
    int32_t Drop(uint32_t call);
    int32_t Close(uint32_t line);
    int32_t Shutdown(uint32_t lineApp);
    int32_t DispatchEvents(uint32_t lineApp);

private:
    struct Event {
        uint32_t device;
        uint32_t message;
        uintptr_t instance;
        uintptr_t param1;
        uintptr_t param2;
    };
    struct LineApp {
        std::unique_ptr<ModemService> service;  // null without a system bus
        std::vector<ModemLine> lines;           // as they were at lineInitialize
        VorlaLineCallback callback = nullptr;
        GMainContext* context = nullptr;  // where the D-Bus completions run
        std::deque<Event> events;
    };
    struct OpenLine {
        uint32_t app;
        uint32_t device;
        uintptr_t instance;
        uint32_t call = 0;
    };
    enum class Phase { Placing, Connected, Ended };
    struct Call {
        uint32_t line;
        Phase phase = Phase::Placing;
        bool inhibited = false;  // the modem is held through our connection
        bool releasing = false;  // dropped; the modem service has not confirmed the release yet
    };

    uint32_t NewHandle();
    int32_t NewRequest();
    LineApp* FindApp(uint32_t lineApp);
    const ModemLine& LineDevice(const OpenLine& line);
    void Queue(uint32_t lineApp, const Event& event);
    void OnInhibited(uint32_t lineApp, uint32_t call, const std::string& device, int32_t request,
                     int32_t result);
    void OnReleased(uint32_t lineApp, uint32_t call, int32_t request, int32_t result);
    // Ends the line's call (releasing its modem at once) and forgets both; lock held.
    void CloseLocked(uint32_t line);

    std::mutex mutex_;
    std::map<uint32_t, std::unique_ptr<LineApp>> apps_;
    std::map<uint32_t, OpenLine> lines_;
    std::map<uint32_t, Call> calls_;
    uint32_t lastHandle_ = 0;
    int32_t lastRequest_ = 0;
};

}  // namespace vorla::telephony::modemmanager
