#pragma once
// The telephony provider, loaded at run time by name. Each function is looked up once, on
// first use; a provider that is missing, or lacks a function, answers that function with
// LINEERR_OPERATIONUNAVAIL without calling anything, so callers need no special path for a
// machine without telephony.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/telephony/telephony_abi.h"

namespace vorla::telephony {

class DynamicLibrary;

// The provider's file name: the environment variable VORLAPRO_TELEPHONY_PROVIDER when set
// (tests, a site with its own provider), else the platform's usual name.
std::string DefaultProviderName();

class TelephonyApi {
public:
    // Never null: a provider that cannot be loaded gives an object whose every call fails.
    static std::unique_ptr<TelephonyApi> Load(const std::string& nameOrPath);
    ~TelephonyApi();
    TelephonyApi(const TelephonyApi&) = delete;
    TelephonyApi& operator=(const TelephonyApi&) = delete;

    // False when no provider library was found: there is no telephony at all, which callers
    // tell apart from a provider that fails.
    bool ProviderPresent() const { return library_ != nullptr; }
    const std::string& LoadError() const { return loadError_; }

    int32_t lineInitialize(uint32_t* lineApp, void* instance, VorlaLineCallback callback, const char* appName,
                           uint32_t* deviceCount);
    int32_t lineNegotiateAPIVersion(uint32_t lineApp, uint32_t device, uint32_t apiLow, uint32_t apiHigh,
                                    uint32_t* apiVersion, VorlaLineExtensionId* extensionId);
    int32_t lineGetDevCaps(uint32_t lineApp, uint32_t device, uint32_t apiVersion, uint32_t extVersion,
                           VorlaLineDevCaps* caps);
    int32_t lineOpen(uint32_t lineApp, uint32_t device, uint32_t* line, uint32_t apiVersion,
                     uint32_t extVersion, uintptr_t callbackInstance, uint32_t privileges,
                     uint32_t mediaModes, const VorlaLineCallParams* params);
    int32_t lineMakeCall(uint32_t line, uint32_t* call, const char* destAddress, uint32_t countryCode,
                         const VorlaLineCallParams* params);
    int32_t lineGetID(uint32_t line, uint32_t addressId, uint32_t call, uint32_t select,
                      VorlaVarString* deviceId, const char* deviceClass);
    int32_t lineDrop(uint32_t call, const char* userUserInfo, uint32_t size);
    int32_t lineClose(uint32_t line);
    int32_t lineShutdown(uint32_t lineApp);
    int32_t lineDispatchEvents(uint32_t lineApp);

private:
    TelephonyApi() = default;

    // One export: looked up once; a failed lookup is remembered too.
    template <typename Fn>
    struct Slot {
        Fn fn = nullptr;
        bool tried = false;
    };
    template <typename Fn>
    Fn Resolve(Slot<Fn>& slot, const char* name);

    std::unique_ptr<DynamicLibrary> library_;
    std::string loadError_;
    Slot<VorlaLineInitializeFn> initialize_;
    Slot<VorlaLineNegotiateApiVersionFn> negotiate_;
    Slot<VorlaLineGetDevCapsFn> getDevCaps_;
    Slot<VorlaLineOpenFn> open_;
    Slot<VorlaLineMakeCallFn> makeCall_;
    Slot<VorlaLineGetIdFn> getId_;
    Slot<VorlaLineDropFn> drop_;
    Slot<VorlaLineCloseFn> close_;
    Slot<VorlaLineShutdownFn> shutdown_;
    Slot<VorlaLineDispatchEventsFn> dispatch_;
};

}  // namespace vorla::telephony
