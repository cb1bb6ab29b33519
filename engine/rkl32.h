/*
 * Rkl32: the RKL script engine. One handle loads one script file and runs its
 * entries one line per RKL_DoIdle call from the host's idle time.
 *
 * Plain C so that any host (the Qt program, rklrun, tests) can load it. All texts are
 * 8-bit and zero-terminated; integers are 32-bit signed.
 */
#ifndef RKL32_H
#define RKL32_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#ifdef RKL32_BUILDING
#define RKL_API __declspec(dllexport)
#else
#define RKL_API __declspec(dllimport)
#endif
#else
#define RKL_API __attribute__((visibility("default")))
#endif

/* A handle is opaque to the host. */
typedef struct TWinRKL* RKL_HANDLE;

/* Window handles are opaque tokens the engine only hands back to the host's hooks. */
typedef void* RKL_WINDOW;

/* Receives every trace line and the text of DEBUG_OUT. Kept once for the library. */
typedef void (*RKL_TraceProc)(const char* text);

/* Window messages the engine sends through the host's sendMessage hook. */
#define RKL_MSG_ECHO 1200       /* wParam 0, lParam: const char* status text          */
#define RKL_MSG_LOG 1201        /* wParam 0, lParam: const char* log text             */
#define RKL_CB_ADDSTRING 0x0143 /* wParam 0, lParam: const char* port name to list    */

/* Answers of the alert hook. */
#define RKL_IDOK 1
#define RKL_IDCANCEL 2

/* Caption and style of the alert box, for hosts that want to show it as the engine means it. */
#define RKL_ALERT_CAPTION "RKL Alert"
#define RKL_ALERT_STYLE 0x2031 /* task-modal, exclamation icon, OK and Cancel */

/*
 * The host's hooks. Installed once for the whole library with RKL_SetHostHooks;
 * every member may be null, and so may the whole record:
 *  - sendMessage: deliver a message to a window token synchronously (text pointers are
 *    valid only during the call). Null: messages are dropped.
 *  - pump: process pending user-interface events; called wherever the engine waits.
 *    Null: nothing happens.
 *  - alert: show the alert box (owner token, text, caption) and answer RKL_IDOK or
 *    RKL_IDCANCEL. Null: OK.
 *  - mapPort: map a port name such as "COM1" to a device path written into a buffer of
 *    `size` bytes; return nonzero when it mapped the name, 0 to use the default rule
 *    (settings-free: "COMn" is /dev/ttyS(n-1)).
 *  - beep: sound the desktop's beep (SYSBEEP). Null: silent.
 * `context` is passed back to every hook unchanged. Members may be added at the end: hosts
 * zero the record before filling it.
 */
typedef struct RKL_HostHooks {
    void* context;
    intptr_t (*sendMessage)(void* context, RKL_WINDOW window, uint32_t msg, uintptr_t wParam,
                            intptr_t lParam);
    void (*pump)(void* context);
    int32_t (*alert)(void* context, RKL_WINDOW owner, const char* text, const char* caption);
    int32_t (*mapPort)(void* context, const char* portName, char* devicePath, int32_t size);
    void (*beep)(void* context);
} RKL_HostHooks;

RKL_API void RKL_SetHostHooks(const RKL_HostHooks* hooks);

RKL_API RKL_HANDLE RKL_Init(const char* scriptPath, RKL_WINDOW echoWindow, RKL_WINDOW logWindow,
                            RKL_TraceProc trace);
RKL_API int32_t RKL_Set(RKL_HANDLE h, const char* name, const char* value);
RKL_API int32_t RKL_Run(RKL_HANDLE h, const char* entry);
RKL_API int32_t RKL_DoIdle(RKL_HANDLE h);
RKL_API int32_t RKL_Done(RKL_HANDLE h);
RKL_API int32_t RKL_IsRunning(RKL_HANDLE h);
RKL_API int32_t RKL_IsAlert(RKL_HANDLE h);
RKL_API int32_t RKL_GetError(RKL_HANDLE h, int32_t* code, char* text);
RKL_API int32_t RKL_Cancel(RKL_HANDLE h);
RKL_API void RKL_Destroy(RKL_HANDLE h);
RKL_API int32_t RKL_FillComboWithPorts(RKL_WINDOW combo);
RKL_API int32_t RKL_GetRKLVersion(RKL_HANDLE h, char* text);

#ifdef __cplusplus
}
#endif

#endif /* RKL32_H */
