#pragma once
// The C interface a telephony provider library exports. The program loads the provider at
// run time by name (telephony_api.h) and never links it, so a machine without telephony
// runs the same binary. A test or a platform port supplies its own provider by exporting
// these functions with C linkage.
//
// Results: 0 success, a positive request id for asynchronous calls, or a negative LINEERR_
// code (line_error_names.h). Integers are 32-bit so the layout is the same on every build.

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Asynchronous events (call state, replies) reach the application through this callback.
typedef void (*VorlaLineCallback)(uint32_t device, uint32_t message, uintptr_t instance, uintptr_t param1,
                                  uintptr_t param2, uintptr_t param3);

typedef struct VorlaLineExtensionId {
    uint32_t id[4];
} VorlaLineExtensionId;

// A device's capabilities: this fixed part, then the variable part the offsets point into
// (offsets count from the first byte of the record). The caller sets totalSize to the size of
// its buffer; the provider fills neededSize with the size it would need and usedSize with what
// it wrote, and never writes past totalSize.
typedef struct VorlaLineDevCaps {
    uint32_t totalSize;
    uint32_t neededSize;
    uint32_t usedSize;
    uint32_t permanentLineId;
    uint32_t stringFormat;  // kVorlaStringFormatAscii for 8-bit text
    uint32_t lineNameSize;
    uint32_t lineNameOffset;
    uint32_t devSpecificSize;  // the device-specific part; its text from byte 8 on names the
    uint32_t devSpecificOffset;  // device's settings key
} VorlaLineDevCaps;

enum { kVorlaStringFormatAscii = 1 };

typedef int32_t (*VorlaLineInitializeFn)(uint32_t* lineApp, void* instance, VorlaLineCallback callback,
                                         const char* appName, uint32_t* deviceCount);
typedef int32_t (*VorlaLineNegotiateApiVersionFn)(uint32_t lineApp, uint32_t device, uint32_t apiLow,
                                                  uint32_t apiHigh, uint32_t* apiVersion,
                                                  VorlaLineExtensionId* extensionId);
typedef int32_t (*VorlaLineGetDevCapsFn)(uint32_t lineApp, uint32_t device, uint32_t apiVersion,
                                         uint32_t extVersion, VorlaLineDevCaps* caps);
typedef int32_t (*VorlaLineShutdownFn)(uint32_t lineApp);

#ifdef __cplusplus
}
#endif
