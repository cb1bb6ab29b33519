#include "tests/child_process/child_process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using vorla::testing::StartChild;

// Waits up to `limit` for `pid` to end; kills it when it does not. Returns its wait status.
std::optional<int> EndedWithin(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return std::nullopt;
}

TEST(ChildProcess, EndsWhenTheProcessThatStartedItEnds) {
    // Orphans come to this process, so the one left behind can be waited for here.
    ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
    int channel[2];
    ASSERT_EQ(pipe(channel), 0);
    const pid_t middle = fork();
    ASSERT_GE(middle, 0);
    if (middle == 0) {
        const pid_t sleeper = StartChild({"/bin/sleep", "60"});
        _exit(write(channel[1], &sleeper, sizeof sleeper) == sizeof sleeper ? 0 : 1);
    }
    close(channel[1]);
    pid_t sleeper = -1;
    ASSERT_EQ(read(channel[0], &sleeper, sizeof sleeper), static_cast<ssize_t>(sizeof sleeper));
    close(channel[0]);
    ASSERT_GT(sleeper, 0);
    ASSERT_TRUE(EndedWithin(middle, std::chrono::seconds(10)).has_value());

    // Killed by the signal, or ended by its own check when the middle process was already gone.
    const std::optional<int> status = EndedWithin(sleeper, std::chrono::seconds(10));
    ASSERT_TRUE(status.has_value()) << "the child outlived the process that started it";
    EXPECT_TRUE((WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL) ||
                (WIFEXITED(*status) && WEXITSTATUS(*status) == 127));
}

TEST(ChildProcess, OutputGoesToFilesAndSanitizerSettingsComeAlong) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("child_process_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const char* before = std::getenv("UBSAN_OPTIONS");
    const std::string kept = before ? before : "";
    setenv("UBSAN_OPTIONS", "print_stacktrace=1", 1);
    const pid_t pid = StartChild({"/bin/sh", "-c", "echo \"$UBSAN_OPTIONS $ONLY\"; echo oops >&2; exit 3"},
                                 (folder / "out").string(), (folder / "err").string(),
                                 std::vector<std::string>{"ONLY=given"});
    if (before)
        setenv("UBSAN_OPTIONS", kept.c_str(), 1);
    else
        unsetenv("UBSAN_OPTIONS");
    const std::optional<int> status = EndedWithin(pid, std::chrono::seconds(10));
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(WEXITSTATUS(*status), 3);
    auto read = [&](const char* name) {
        std::ifstream in(folder / name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    };
    EXPECT_EQ(read("out"), "print_stacktrace=1 given\n");
    EXPECT_EQ(read("err"), "oops\n");
    std::filesystem::remove_all(folder);

    const std::optional<int> missing =
        EndedWithin(StartChild({"/nonexistent/program"}), std::chrono::seconds(10));
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(WEXITSTATUS(*missing), 127);
}

}  // namespace
