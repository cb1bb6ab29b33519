// pagingsim: a Hayes modem and a TAP paging terminal on a pseudo-terminal, for
// testing paging scripts without a telephone line. See docs/pagingsim.md.
#include <fcntl.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tools/pagingsim/page_log.h"
#include "tools/pagingsim/sim_options.h"
#include "tools/pagingsim/sim_server.h"
#include "tools/pagingsim/wctp_server.h"
#include "vorla_build_info.h"

namespace {

int g_stop_pipe[2] = {-1, -1};

void OnStopSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(g_stop_pipe[1], &byte, 1);
}

void PrintLine(const std::string& text) {
    const std::string line = "pagingsim: " + text + "\n";
    [[maybe_unused]] const ssize_t ignored = ::write(2, line.data(), line.size());
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pagingsim;
    if (const auto answered = vorla::AnswerHelpOrVersion(argc, argv, "pagingsim", kUsage)) return *answered;
    SimOptions options;
    const std::string error = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options);
    if (!error.empty()) {
        PrintLine(error + " (see --help)");
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    PageLog log;
    if (const std::string open_error = log.Open(options.log_path); !open_error.empty()) {
        PrintLine(open_error);
        return 1;
    }

    if (pipe2(g_stop_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        PrintLine("cannot create the signal pipe");
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const TimePoint started = Clock::now();
    Tracer trace;
    if (!options.quiet) {
        trace = [started](std::string_view line) {
            const auto ms =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
            char stamp[32];
            std::snprintf(stamp, sizeof stamp, "%lld.%03lld ", static_cast<long long>(ms / 1000),
                          static_cast<long long>(ms % 1000));
            PrintLine(stamp + std::string(line));
        };
    }

    SimServer server(options, log, trace);
    if (const std::string start_error = server.Start(); !start_error.empty()) {
        PrintLine(start_error);
        return 1;
    }
    std::string ready = server.ReadyText();
    std::unique_ptr<WctpServer> wctp;
    if (options.wctp_port >= 0) {
        wctp = std::make_unique<WctpServer>(options, log, trace);
        if (const std::string wctp_error = wctp->Start(); !wctp_error.empty()) {
            PrintLine(wctp_error);
            return 1;
        }
        ready += " and " + wctp->ReadyText();
    }
    PrintLine(ready);
    const int status = server.Run(g_stop_pipe[0]);
    if (trace) trace("[main] stopping");
    return status;
}
