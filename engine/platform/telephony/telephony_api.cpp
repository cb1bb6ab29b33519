#include "platform/telephony/telephony_api.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/telephony/dynamic_library.h"
#include "platform/telephony/line_error_names.h"
#ifdef VORLA_DEFAULT_PROVIDER_FILE
#include "vorla_install_dirs.h"
#endif

namespace vorla::telephony {

std::string DefaultProviderName() {
    if (const char* name = std::getenv("VORLAPRO_TELEPHONY_PROVIDER"); name && *name) return name;
#ifdef VORLA_DEFAULT_PROVIDER_FILE
    // The provider the build makes, beside the program in the build tree or in an installed
    // tree (whose prefix is the parent of the program's folder).
    if (const std::string programDir = DynamicLibrary::ProgramDirectory(); !programDir.empty()) {
        for (const std::string& candidate :
             {programDir + "/" VORLA_BUILT_PROVIDER_DIR "/" VORLA_DEFAULT_PROVIDER_FILE,
              programDir + "/../" VORLA_INSTALL_TELEPHONYDIR "/" VORLA_DEFAULT_PROVIDER_FILE}) {
            std::error_code ignored;
            if (std::filesystem::is_regular_file(candidate, ignored)) return candidate;
        }
    }
#endif
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
Fn TelephonyApi::Resolve(Slot<Fn>& slot, const char* name) {
    if (!slot.tried) {
        slot.tried = true;
        // The loader hands back an untyped address; the provider's export has this type by contract.
        if (library_) slot.fn = reinterpret_cast<Fn>(library_->Find(name));
    }
    return slot.fn;
}

int32_t TelephonyApi::lineInitialize(uint32_t* lineApp, void* instance, VorlaLineCallback callback,
                                     const char* appName, uint32_t* deviceCount) {
    auto fn = Resolve(initialize_, VORLA_LINE_SYMBOL_INITIALIZE);
    return fn ? fn(lineApp, instance, callback, appName, deviceCount) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineNegotiateAPIVersion(uint32_t lineApp, uint32_t device, uint32_t apiLow,
                                              uint32_t apiHigh, uint32_t* apiVersion,
                                              VorlaLineExtensionId* extensionId) {
    auto fn = Resolve(negotiate_, VORLA_LINE_SYMBOL_NEGOTIATE_API_VERSION);
    return fn ? fn(lineApp, device, apiLow, apiHigh, apiVersion, extensionId) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineGetDevCaps(uint32_t lineApp, uint32_t device, uint32_t apiVersion,
                                     uint32_t extVersion, VorlaLineDevCaps* caps) {
    auto fn = Resolve(getDevCaps_, VORLA_LINE_SYMBOL_GET_DEV_CAPS);
    return fn ? fn(lineApp, device, apiVersion, extVersion, caps) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineOpen(uint32_t lineApp, uint32_t device, uint32_t* line, uint32_t apiVersion,
                               uint32_t extVersion, uintptr_t callbackInstance, uint32_t privileges,
                               uint32_t mediaModes, const VorlaLineCallParams* params) {
    auto fn = Resolve(open_, VORLA_LINE_SYMBOL_OPEN);
    return fn ? fn(lineApp, device, line, apiVersion, extVersion, callbackInstance, privileges, mediaModes,
                   params)
              : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineMakeCall(uint32_t line, uint32_t* call, const char* destAddress,
                                   uint32_t countryCode, const VorlaLineCallParams* params) {
    auto fn = Resolve(makeCall_, VORLA_LINE_SYMBOL_MAKE_CALL);
    return fn ? fn(line, call, destAddress, countryCode, params) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineGetID(uint32_t line, uint32_t addressId, uint32_t call, uint32_t select,
                                VorlaVarString* deviceId, const char* deviceClass) {
    auto fn = Resolve(getId_, VORLA_LINE_SYMBOL_GET_ID);
    return fn ? fn(line, addressId, call, select, deviceId, deviceClass) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineDrop(uint32_t call, const char* userUserInfo, uint32_t size) {
    auto fn = Resolve(drop_, VORLA_LINE_SYMBOL_DROP);
    return fn ? fn(call, userUserInfo, size) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineClose(uint32_t line) {
    auto fn = Resolve(close_, VORLA_LINE_SYMBOL_CLOSE);
    return fn ? fn(line) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineShutdown(uint32_t lineApp) {
    auto fn = Resolve(shutdown_, VORLA_LINE_SYMBOL_SHUTDOWN);
    return fn ? fn(lineApp) : kLineErrOperationUnavail;
}

int32_t TelephonyApi::lineDispatchEvents(uint32_t lineApp) {
    auto fn = Resolve(dispatch_, VORLA_LINE_SYMBOL_DISPATCH_EVENTS);
    return fn ? fn(lineApp) : kLineErrOperationUnavail;
}

}  // namespace vorla::telephony
