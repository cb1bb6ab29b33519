#include "telephony_api.h"

#include <cstdlib>

#include "dynamic_library.h"
#include "line_error_names.h"

namespace vorla::telephony {

std::string DefaultProviderName() {
    if (const char* name = std::getenv("VORLAPRO_TELEPHONY_PROVIDER"); name && *name) return name;
#ifdef _WIN32
    return "TAPI32.DLL";
#else
    return "libtapi32.so";
#endif
}

std::unique_ptr<TelephonyApi> TelephonyApi::Load(const std::string& nameOrPath) {
    std::unique_ptr<TelephonyApi> api(new TelephonyApi());
    api->library_ = DynamicLibrary::Open(nameOrPath, &api->loadError_);
    return api;
}

TelephonyApi::~TelephonyApi() = default;

template <typename Fn>
Fn TelephonyApi::Resolve(Fn& slot, bool& tried, const char* name) {
    if (!tried) {
        tried = true;
        // The loader hands back an untyped address; the provider's export has this type by contract.
        if (library_) slot = reinterpret_cast<Fn>(library_->Find(name));
    }
    return slot;
}

int32_t TelephonyApi::lineInitialize(uint32_t* lineApp, void* instance, VorlaLineCallback callback,
                                     const char* appName, uint32_t* deviceCount) {
    auto fn = Resolve(initialize_, triedInitialize_, "lineInitialize");
    return fn ? fn(lineApp, instance, callback, appName, deviceCount) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineNegotiateAPIVersion(uint32_t lineApp, uint32_t device, uint32_t apiLow, uint32_t apiHigh,
                                              uint32_t* apiVersion, VorlaLineExtensionId* extensionId) {
    auto fn = Resolve(negotiate_, triedNegotiate_, "lineNegotiateAPIVersion");
    return fn ? fn(lineApp, device, apiLow, apiHigh, apiVersion, extensionId) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineGetDevCaps(uint32_t lineApp, uint32_t device, uint32_t apiVersion, uint32_t extVersion,
                                     VorlaLineDevCaps* caps) {
    auto fn = Resolve(getDevCaps_, triedGetDevCaps_, "lineGetDevCaps");
    return fn ? fn(lineApp, device, apiVersion, extVersion, caps) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineShutdown(uint32_t lineApp) {
    auto fn = Resolve(shutdown_, triedShutdown_, "lineShutdown");
    return fn ? fn(lineApp) : kLineErrOperationUnavail;
}

}  // namespace vorla::telephony
