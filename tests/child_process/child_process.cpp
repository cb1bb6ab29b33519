#include "tests/child_process/child_process.h"

#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

extern char** environ;

namespace vorla::testing {

namespace {

bool Redirect(const std::string& path, int target) {
    if (path.empty()) return true;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    // dup2 clears close-on-exec on the copy only.
    const bool done = dup2(fd, target) == target;
    close(fd);
    return done;
}

std::vector<std::string> WithSanitizerSettings(std::vector<std::string> environment) {
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
        const char* value = std::getenv(name);
        if (!value) continue;
        const std::string prefix = std::string(name) + "=";
        bool present = false;
        for (const std::string& entry : environment)
            present = present || entry.rfind(prefix, 0) == 0;
        if (!present) environment.push_back(prefix + value);
    }
    return environment;
}

}  // namespace

void EndWithParent(pid_t parent) {
    // The parent may have ended between fork and prctl; then no signal would ever come.
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
}

pid_t StartChild(const std::vector<std::string>& argv, const std::string& out_path,
                 const std::string& err_path, const std::optional<std::vector<std::string>>& environment) {
    if (argv.empty()) return -1;
    // Everything the child needs is prepared here: after fork only async-signal-safe calls.
    std::vector<std::string> args = argv;
    std::vector<char*> arg_pointers;
    for (std::string& arg : args)
        arg_pointers.push_back(arg.data());
    arg_pointers.push_back(nullptr);
    std::vector<std::string> env;
    std::vector<char*> env_pointers;
    if (environment) {
        env = WithSanitizerSettings(*environment);
        for (std::string& entry : env)
            env_pointers.push_back(entry.data());
        env_pointers.push_back(nullptr);
    }
    char** const child_environment = environment ? env_pointers.data() : environ;

    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;  // the parent, or -1
    EndWithParent(parent);
    if (!Redirect(out_path, STDOUT_FILENO) || !Redirect(err_path, STDERR_FILENO)) _exit(127);
    execve(arg_pointers[0], arg_pointers.data(), child_environment);
    _exit(127);
}

}  // namespace vorla::testing
