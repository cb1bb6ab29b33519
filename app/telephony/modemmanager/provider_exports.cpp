// The provider's C interface, over one provider object for the whole process. The object is
// never destroyed: at exit the kernel closes our bus connection, which is what releases a
// modem still held, and nothing of GLib runs during static destruction. Everything behind the
// interface is C++, so each export answers a fault with a LINEERR_ code (provider_guard.h).
#include "engine/platform/telephony/provider_guard.h"
#include "engine/platform/telephony/telephony_abi.h"
#include "telephony/modemmanager/modem_provider.h"

using vorla::telephony::GuardedCall;
using vorla::telephony::modemmanager::ModemProvider;

namespace {
ModemProvider& Provider() {
    static ModemProvider* const provider = new ModemProvider;
    return *provider;
}
}  // namespace

extern "C" {

VORLA_PROVIDER_EXPORT int32_t lineInitialize(uint32_t* lineApp, void*, VorlaLineCallback callback,
                                             const char*, uint32_t* deviceCount) {
    return GuardedCall([&] { return Provider().Initialize(lineApp, callback, deviceCount); });
}

VORLA_PROVIDER_EXPORT int32_t lineNegotiateAPIVersion(uint32_t lineApp, uint32_t device, uint32_t apiLow,
                                                      uint32_t apiHigh, uint32_t* apiVersion,
                                                      VorlaLineExtensionId* extensionId) {
    return GuardedCall([&] {
        return Provider().NegotiateApiVersion(lineApp, device, apiLow, apiHigh, apiVersion, extensionId);
    });
}

VORLA_PROVIDER_EXPORT int32_t lineGetDevCaps(uint32_t lineApp, uint32_t device, uint32_t, uint32_t,
                                             VorlaLineDevCaps* caps) {
    return GuardedCall([&] { return Provider().GetDevCaps(lineApp, device, caps); });
}

VORLA_PROVIDER_EXPORT int32_t lineOpen(uint32_t lineApp, uint32_t device, uint32_t* line, uint32_t, uint32_t,
                                       uintptr_t callbackInstance, uint32_t privileges, uint32_t mediaModes,
                                       const VorlaLineCallParams*) {
    return GuardedCall(
        [&] { return Provider().Open(lineApp, device, line, callbackInstance, privileges, mediaModes); });
}

VORLA_PROVIDER_EXPORT int32_t lineMakeCall(uint32_t line, uint32_t* call, const char* destAddress, uint32_t,
                                           const VorlaLineCallParams* params) {
    return GuardedCall([&] { return Provider().MakeCall(line, call, destAddress, params); });
}

VORLA_PROVIDER_EXPORT int32_t lineGetID(uint32_t, uint32_t, uint32_t call, uint32_t select,
                                        VorlaVarString* deviceId, const char* deviceClass) {
    return GuardedCall([&] { return Provider().GetId(call, select, deviceId, deviceClass); });
}

VORLA_PROVIDER_EXPORT int32_t lineDrop(uint32_t call, const char*, uint32_t) {
    return GuardedCall([&] { return Provider().Drop(call); });
}

VORLA_PROVIDER_EXPORT int32_t lineClose(uint32_t line) {
    return GuardedCall([&] { return Provider().Close(line); });
}

VORLA_PROVIDER_EXPORT int32_t lineShutdown(uint32_t lineApp) {
    return GuardedCall([&] { return Provider().Shutdown(lineApp); });
}

VORLA_PROVIDER_EXPORT int32_t lineDispatchEvents(uint32_t lineApp) {
    return GuardedCall([&] { return Provider().DispatchEvents(lineApp); });
}

}  // extern "C"
