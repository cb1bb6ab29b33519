/*
 * A minimal host of the Rkl32 script engine: loads a script, sets the variables given as
 * NAME=VALUE, runs each other argument as an entry and prints what the script echoes and
 * logs. Build it against an installed library:
 *
 *   cc rkl_host.c $(pkg-config --cflags --libs rkl32) -o rkl_host
 *   ./rkl_host script.rkl name=world MAIN
 *
 * Exit status 0 when every entry ended with code 0, 1 otherwise, 2 when the script
 * cannot be loaded.
 */
#include <rkl32.h>

#include <stdio.h>
#include <string.h>

/* Any distinct addresses do as window tokens: the engine only hands them back. */
static int echo_window;
static int log_window;

static intptr_t on_message(void* context, RKL_WINDOW window, uint32_t msg, uintptr_t wparam,
                           intptr_t lparam) {
    (void)context;
    (void)wparam;
    if (window == &echo_window && msg == RKL_MSG_ECHO) printf("echo: %s\n", (const char*)lparam);
    if (window == &log_window && msg == RKL_MSG_LOG) printf("log: %s\n", (const char*)lparam);
    return 0;
}

static int run_entry(RKL_HANDLE h, const char* entry) {
    int32_t code = 0;
    char text[256] = "";
    if (RKL_Run(h, entry) == 0) {
        /* A real host calls RKL_DoIdle from its event loop's idle time instead. */
        while (!RKL_Done(h))
            RKL_DoIdle(h);
    }
    RKL_GetError(h, &code, text);
    printf("%s: %d %s\n", entry, (int)code, text);
    return code == 0;
}

int main(int argc, char** argv) {
    RKL_HostHooks hooks;
    RKL_HANDLE h;
    FILE* script;
    int32_t code = 0;
    char text[256] = "";
    int all_ok = 1;
    int i;

    if (argc < 2) {
        fprintf(stderr, "usage: %s SCRIPT [NAME=VALUE | ENTRY]...\n", argv[0]);
        return 2;
    }
    /* The engine reports a missing script only when an entry is run; say it at once. */
    script = fopen(argv[1], "r");
    if (script == NULL) {
        perror(argv[1]);
        return 2;
    }
    fclose(script);
    memset(&hooks, 0, sizeof hooks); /* members added later stay null */
    hooks.sendMessage = on_message;
    RKL_SetHostHooks(&hooks);

    h = RKL_Init(argv[1], &echo_window, &log_window, NULL);
    if (h == NULL) {
        fprintf(stderr, "%s: the engine did not start\n", argv[0]);
        return 2;
    }
    RKL_GetError(h, &code, text);
    if (code != 0) {
        fprintf(stderr, "%s: %s: %d %s\n", argv[0], argv[1], (int)code, text);
        RKL_Destroy(h);
        return 2;
    }
    RKL_GetRKLVersion(h, text);
    printf("engine %s\n", text);

    for (i = 2; i < argc; ++i) {
        const char* equals = strchr(argv[i], '=');
        if (equals != NULL) {
            char name[256];
            size_t length = (size_t)(equals - argv[i]);
            if (length >= sizeof name) length = sizeof name - 1;
            memcpy(name, argv[i], length);
            name[length] = '\0';
            if (RKL_Set(h, name, equals + 1) != 0) all_ok = 0;
        } else if (!run_entry(h, argv[i])) {
            all_ok = 0;
        }
    }
    RKL_Destroy(h);
    return all_ok ? 0 : 1;
}
