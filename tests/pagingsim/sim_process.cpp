#include "tests/pagingsim/sim_process.h"

#include "tests/child_process/child_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

namespace pagingsim::testing {

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

SimProcess::SimProcess(std::vector<std::string> extra_args, bool with_link) {
    char pattern[] = "/tmp/pagingsim_e2e_XXXXXX";
    if (!mkdtemp(pattern)) return;
    folder_ = pattern;
    const char* build = std::getenv("VORLA_BUILD_DIR");
    const std::string binary = std::string(build ? build : ".") + "/bin/pagingsim";
    std::vector<std::string> args = {binary, "--log", log_path()};
    if (with_link) {
        args.push_back("--link");
        args.push_back(link());
    }
    args.insert(args.end(), extra_args.begin(), extra_args.end());
    const std::string trace_path = folder_ + "/trace.txt";

    pid_ = vorla::testing::StartChild(args, {}, trace_path);
    if (pid_ < 0) return;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < deadline) {
        const std::string trace = Trace();
        const auto at = trace.find("pagingsim: ready on ");
        if (at != std::string::npos && trace.find('\n', at) != std::string::npos) {
            const auto tcp = trace.find("127.0.0.1:", at);
            if (tcp != std::string::npos) tcp_port_ = std::atoi(trace.c_str() + tcp + 10);
            ready_ = true;
            return;
        }
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

SimProcess::~SimProcess() {
    Stop();
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

int SimProcess::Stop() {
    if (pid_ <= 0) return -1;
    kill(pid_, SIGTERM);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    int status = 0;
    while (Clock::now() < deadline) {
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return -1;
}

std::string SimProcess::Trace() const {
    return ReadFile(folder_ + "/trace.txt");
}

std::vector<std::string> SimProcess::LogLines() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(log_path()));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

Line Line::OpenSerial(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Line(-1);
    termios settings{};
    tcgetattr(fd, &settings);
    cfmakeraw(&settings);
    tcsetattr(fd, TCSANOW, &settings);
    return Line(fd);
}

Line Line::OpenTcp(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) close(fd);
        return Line(-1);
    }
    return Line(fd);
}

Line::Line(Line&& other) noexcept : fd_(other.fd_), pending_(std::move(other.pending_)) {
    other.fd_ = -1;
}

Line::~Line() {
    Close();
}

void Line::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

void Line::Send(const std::string& bytes) {
    std::size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        const ssize_t n = write(fd_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

std::string Line::Expect(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const auto at = pending_.find(text);
        if (at != std::string::npos) {
            std::string got = pending_.substr(0, at + text.size());
            pending_.erase(0, at + text.size());
            return got;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || fd_ < 0) return std::exchange(pending_, std::string());
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        char buffer[1024];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0) return std::exchange(pending_, std::string());
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

std::string Line::Drain(std::chrono::milliseconds time) {
    // A text that never arrives: Expect then hands back everything once the time is up.
    return Expect(std::string(1, '\0') + "never", time);
}

bool Line::ClosedWithin(std::chrono::milliseconds time) {
    const auto deadline = Clock::now() + time;
    while (fd_ >= 0 && Clock::now() < deadline) {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0) continue;
        char buffer[256];
        const ssize_t n = read(fd_, buffer, sizeof buffer);
        if (n <= 0) return true;
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
    return false;
}

}  // namespace pagingsim::testing
