#pragma once
// The telephony provider, loaded at run time by name. Each function is looked up once, on
// first use; a provider that is missing, or lacks a function, answers that function with
// LINEERR_OPERATIONUNAVAIL without calling anything, so callers need no special path for a
// machine without telephony (every Linux machine today).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "telephony_abi.h"

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
    int32_t lineShutdown(uint32_t lineApp);

private:
    TelephonyApi() = default;
    // Looks a function up once; a failed lookup is remembered too.
    template <typename Fn>
    Fn Resolve(Fn& slot, bool& tried, const char* name);

    std::unique_ptr<DynamicLibrary> library_;
    std::string loadError_;
    VorlaLineInitializeFn initialize_ = nullptr;
    VorlaLineNegotiateApiVersionFn negotiate_ = nullptr;
    VorlaLineGetDevCapsFn getDevCaps_ = nullptr;
    VorlaLineShutdownFn shutdown_ = nullptr;
    bool triedInitialize_ = false;
    bool triedNegotiate_ = false;
    bool triedGetDevCaps_ = false;
    bool triedShutdown_ = false;
};

}  // namespace vorla::telephony
