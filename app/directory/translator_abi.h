#pragma once
// The calling contract between the program and an import translator: a shared library in the
// program directory's "import" folder with these C exports. Records are blocks of
// pointer-sized slots owned by the translator: a text slot holds a pointer to a NUL-terminated
// single-byte string, an int slot a 32-bit value widened to the slot's size. Slot 0 is the
// translator's own and is never read. A record stays valid until the library is unloaded.
// Header only, so a translator can include it without linking anything of the program.

#include <cstdint>

extern "C" {
// Non-zero when records are ready to be fetched; 0 when the user cancelled.
typedef int (*RunTranslatorFunction)(void* parentWindow);
// The same without any dialog, from a data file (for administrators and tests).
typedef int (*RunTranslatorUnattendedFunction)(const char* dataFile);
// The next record, or null when there are no more.
typedef const void* (*GetRecordFunction)();
}

inline constexpr const char* kRunTranslatorExport = "RunTranslator";
inline constexpr const char* kRunTranslatorUnattendedExport = "RunTranslatorUnattended";
inline constexpr const char* kGetServiceExport = "GetService";
inline constexpr const char* kGetSubscriberExport = "GetSubscriber";
inline constexpr const char* kGetGroupExport = "GetGroup";
inline constexpr const char* kGetPresetMessageExport = "GetPresetMessage";

struct TranslatorServiceRecord {
    const void* reserved;
    const char* name;
    const char* accessNumber;
    intptr_t useDialPrefix;
    const char* password;
    const char* modemName;
    const char* modemInit;
    const char* port;
    intptr_t baudRate;
    intptr_t parity;
    intptr_t handshake;
    intptr_t dialMode;
    const char* scriptFile;
};

struct TranslatorSubscriberRecord {
    const void* reserved;
    const char* name;
    const char* pin;
    const char* serviceName;
    const char* maxLength;  // decimal text
};

struct TranslatorGroupRecord {
    const void* reserved;
    const char* name;
    const char* memberNames;  // subscriber names separated by "|", blanks kept
};

struct TranslatorMessageRecord {
    const void* reserved;
    const char* text;
};

static_assert(sizeof(TranslatorServiceRecord) == 13 * sizeof(void*));
static_assert(sizeof(TranslatorSubscriberRecord) == 5 * sizeof(void*));
static_assert(sizeof(TranslatorGroupRecord) == 3 * sizeof(void*));
static_assert(sizeof(TranslatorMessageRecord) == 2 * sizeof(void*));
