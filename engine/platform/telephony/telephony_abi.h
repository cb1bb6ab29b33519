#pragma once
// The C interface a telephony provider library exports. The script engine (TAPIOPENPORT,
// TAPICLOSEPORT) and the program (its lists of line devices) load the provider at run time by
// name (telephony_api.h) and never link it, so a machine without telephony runs the same
// binaries. A provider exports the functions below with C linkage under the names given by
// the VORLA_LINE_SYMBOL_ macros; one that lacks a function is still usable for what it has
// (the caller answers the missing one with LINEERR_OPERATIONUNAVAIL itself).
//
// Results: 0 success, a positive request id for the asynchronous calls (lineMakeCall,
// lineDrop: the outcome comes later as a VORLA_LINE_REPLY message), or a negative LINEERR_
// code (line_error_names.h). Handles are 32-bit numbers chosen by the provider, never 0 for a
// valid object; integers are fixed-size so the layout is the same on every build.
//
// Threading and events. All functions are called from one thread, the caller's. The provider
// delivers messages to the callback given to lineInitialize only from inside lineDispatchEvents,
// on that thread, never from inside another function and never from a thread of its own: a
// caller that has just been handed a request id must be able to store it before the reply for
// it can arrive. A caller that waits for a reply or a call state calls lineDispatchEvents
// between its sleeps (the engine does so at least every 17 ms).
//
// The life of a data call, as TAPIOPENPORT drives it:
//   lineInitialize -> lineNegotiateAPIVersion, lineGetDevCaps per device (find the permanent
//   line id) -> lineOpen -> lineMakeCall (no number: a pass-through call; the caller dials
//   itself with modem commands) -> VORLA_LINE_REPLY 0 -> VORLA_LINE_CALLSTATE CONNECTED ->
//   lineGetID(..., "comm/datamodem") for the call's port -> ... the caller talks on the port ...
//   -> the caller closes the port -> lineDrop -> VORLA_LINE_REPLY -> lineClose -> lineShutdown.
// lineClose ends every call still on the line and lineShutdown closes every line still open,
// so a caller that gives up part-way leaves nothing behind (no separate call deallocation).

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

// Messages to the callback. `device` is the handle the message concerns: the call for
// VORLA_LINE_CALLSTATE, the line for VORLA_LINE_CLOSE, 0 for a reply. `instance` is the
// callback instance given to lineOpen for the line (0 for messages that concern no line).
typedef void (*VorlaLineCallback)(uint32_t device, uint32_t message, uintptr_t instance, uintptr_t param1,
                                  uintptr_t param2, uintptr_t param3);

enum {
    VORLA_LINE_CALLSTATE = 2,     // param1: the call's new state (VORLA_LINECALLSTATE_...)
    VORLA_LINE_CLOSE = 3,         // the provider closed the line by itself (device gone)
    VORLA_LINE_LINEDEVSTATE = 8,  // the line device changed; nothing needs to follow
    VORLA_LINE_REPLY = 12,        // param1: the request id, param2: 0 or a negative LINEERR_ code
    VORLA_LINE_CREATE = 19,       // a new line device appeared (device counts grow at lineInitialize)
};

// Call states (param1 of VORLA_LINE_CALLSTATE). A placed call goes through PROCEEDING to
// CONNECTED, or to DISCONNECTED when it cannot be made; a dropped call ends IDLE.
enum {
    VORLA_LINECALLSTATE_IDLE = 0x1,
    VORLA_LINECALLSTATE_CONNECTED = 0x100,
    VORLA_LINECALLSTATE_PROCEEDING = 0x200,
    VORLA_LINECALLSTATE_DISCONNECTED = 0x4000,
};

// Values the caller passes; a provider refuses others with a LINEERR_INVAL... code.
enum {
    VORLA_LINECALLPRIVILEGE_NONE = 1,         // lineOpen: the line is for outgoing calls only
    VORLA_LINEMEDIAMODE_DATAMODEM = 0x10,     // lineOpen, call parameters: a data modem call
    VORLA_LINEBEARERMODE_PASSTHROUGH = 0x40,  // call parameters: the caller talks to the modem
    VORLA_LINECALLPARAMFLAGS_IDLE = 2,        // call parameters: the line must be idle
    VORLA_LINEADDRESSMODE_ADDRESSID = 1,      // call parameters: address by its number
    VORLA_LINECALLSELECT_CALL = 4,            // lineGetID: the id of the call, not of the line
};

// Text formats of the variable parts.
enum { kVorlaStringFormatAscii = 1, kVorlaStringFormatBinary = 4 };

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
    uint32_t devSpecificSize;    // the device-specific part; its text from byte 8 on names the
    uint32_t devSpecificOffset;  // device's settings key
} VorlaLineDevCaps;

// How a call is to be placed. totalSize is the size of the record the caller passes; a
// provider reads only the members that fit in it.
typedef struct VorlaLineCallParams {
    uint32_t totalSize;
    uint32_t bearerMode;      // VORLA_LINEBEARERMODE_PASSTHROUGH
    uint32_t mediaMode;       // VORLA_LINEMEDIAMODE_DATAMODEM
    uint32_t callParamFlags;  // VORLA_LINECALLPARAMFLAGS_IDLE
    uint32_t addressMode;     // VORLA_LINEADDRESSMODE_ADDRESSID
    uint32_t addressId;       // 0: the line's first address
} VorlaLineCallParams;

// A variable-size answer (lineGetID), sized like VorlaLineDevCaps: the caller sets totalSize,
// the provider sets neededSize and usedSize and writes the string only when it fits (otherwise
// it returns 0 with neededSize > totalSize, or LINEERR_STRUCTURETOOSMALL; the caller retries
// with a buffer of neededSize bytes).
typedef struct VorlaVarString {
    uint32_t totalSize;
    uint32_t neededSize;
    uint32_t usedSize;
    uint32_t stringFormat;  // kVorlaStringFormatBinary for "comm/datamodem"
    uint32_t stringSize;
    uint32_t stringOffset;  // from the first byte of the record
} VorlaVarString;

// The string of lineGetID for the device class "comm/datamodem": the call's port. `fd` is an
// open descriptor of the port's terminal device that passes to the caller (the caller closes
// it), or -1 when the caller is to open `path` itself; `path` names the device (for messages
// and traces), NUL-terminated, and fills the rest of the string.
typedef struct VorlaCommPort {
    int32_t fd;
    char path[1];  // stringSize - 4 bytes in all
} VorlaCommPort;

#define VORLA_DEVICE_CLASS_DATAMODEM "comm/datamodem"

// lineInitialize: registers the caller. `instance` identifies the calling module (may be null);
// `callback` receives every message (see above); *deviceCount is the number of line devices,
// numbered 0 .. count-1 for the other calls.
typedef int32_t (*VorlaLineInitializeFn)(uint32_t* lineApp, void* instance, VorlaLineCallback callback,
                                         const char* appName, uint32_t* deviceCount);
// lineNegotiateAPIVersion: the highest version in [apiLow, apiHigh] the device speaks.
typedef int32_t (*VorlaLineNegotiateApiVersionFn)(uint32_t lineApp, uint32_t device, uint32_t apiLow,
                                                  uint32_t apiHigh, uint32_t* apiVersion,
                                                  VorlaLineExtensionId* extensionId);
typedef int32_t (*VorlaLineGetDevCapsFn)(uint32_t lineApp, uint32_t device, uint32_t apiVersion,
                                         uint32_t extVersion, VorlaLineDevCaps* caps);
// lineOpen: opens device number `device` (LINEERR_BADDEVICEID when there is no such device).
// `callbackInstance` comes back with every message about this line and its calls.
typedef int32_t (*VorlaLineOpenFn)(uint32_t lineApp, uint32_t device, uint32_t* line, uint32_t apiVersion,
                                   uint32_t extVersion, uintptr_t callbackInstance, uint32_t privileges,
                                   uint32_t mediaModes, const VorlaLineCallParams* params);
// lineMakeCall: places a call. `destAddress` null means no number (pass-through). *call is set
// at once; the call is usable when the reply for the returned request id says 0.
typedef int32_t (*VorlaLineMakeCallFn)(uint32_t line, uint32_t* call, const char* destAddress,
                                       uint32_t countryCode, const VorlaLineCallParams* params);
// lineGetID: the id of `deviceClass` for the line, an address or (select CALL) the call.
typedef int32_t (*VorlaLineGetIdFn)(uint32_t line, uint32_t addressId, uint32_t call, uint32_t select,
                                    VorlaVarString* deviceId, const char* deviceClass);
// lineDrop: hangs the call up; the reply follows. The port handed out for the call should be
// closed by the caller before.
typedef int32_t (*VorlaLineDropFn)(uint32_t call, const char* userUserInfo, uint32_t size);
typedef int32_t (*VorlaLineCloseFn)(uint32_t line);
typedef int32_t (*VorlaLineShutdownFn)(uint32_t lineApp);
// lineDispatchEvents: delivers the messages that are due to the callback, then returns 0. Never
// blocks.
typedef int32_t (*VorlaLineDispatchEventsFn)(uint32_t lineApp);

// The exported names.
#define VORLA_LINE_SYMBOL_INITIALIZE "lineInitialize"
#define VORLA_LINE_SYMBOL_NEGOTIATE_API_VERSION "lineNegotiateAPIVersion"
#define VORLA_LINE_SYMBOL_GET_DEV_CAPS "lineGetDevCaps"
#define VORLA_LINE_SYMBOL_OPEN "lineOpen"
#define VORLA_LINE_SYMBOL_MAKE_CALL "lineMakeCall"
#define VORLA_LINE_SYMBOL_GET_ID "lineGetID"
#define VORLA_LINE_SYMBOL_DROP "lineDrop"
#define VORLA_LINE_SYMBOL_CLOSE "lineClose"
#define VORLA_LINE_SYMBOL_SHUTDOWN "lineShutdown"
#define VORLA_LINE_SYMBOL_DISPATCH_EVENTS "lineDispatchEvents"

// For a provider's own sources: marks an export when the library is built with hidden
// visibility.
#if defined(_WIN32)
#define VORLA_PROVIDER_EXPORT __declspec(dllexport)
#else
#define VORLA_PROVIDER_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
}
#endif
