// 100 SNPP clients at once, 10 transactions each (PAGE, MESS, SEND), against vorlapaged on a
// directory whose script takes every page at once: how long the gateway takes to answer all
// 1,000 SENDs, how long until all are sent, that each message is sent exactly once, and the
// daemon's resident memory idle and at its peak. Run from the build folder (bin/vorlapaged
// beside this program).
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "tests/child_process/child_process.h"

namespace fs = std::filesystem;

namespace {

constexpr int kClients = 100;
constexpr int kPagesEach = 10;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// "VmRSS" or "VmHWM" of a process, in kB.
long MemoryKb(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    return -1;
}

bool SetUpHome(const fs::path& folder) {
    fs::create_directories(folder / "rklfiles");
    fs::create_directories(folder / "config" / "Quillon");
    std::ofstream(folder / "rklfiles" / "fast.rkl")
        << "ENTRY CONNECT\nENTRY SEND_PAGE\nENTRY DISCONNECT\nLABEL CONNECT\nEXIT 0 up\n"
           "LABEL SEND_PAGE\nEXIT 0 taken\nLABEL DISCONNECT\nEXIT 0 down\n";
    std::ofstream(folder / "config" / "Quillon" / "Vorla Pro.conf") << "[Preferences]\nLogToDisk=1\n";
    DirectoryStore store;
    store.CreateEmpty();
    ServiceFields fields;
    fields.name = "Bench";
    fields.port = "COM1";
    fields.scriptFile = "FAST.RKL";
    auto* service = new CService(fields);
    store.GetServiceList()->AddTail(service);
    for (int i = 0; i < kClients; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "P%03d", i);
        auto* subscriber = new CSubscriber(name, std::to_string(5000 + i), "240", service);
        service->AddSubscriber(subscriber);
        store.GetSubscriberList()->AddTail(subscriber);
    }
    return SaveDirectoryFile((folder / "Vorla Pro.vlg").string(), store) == ArchiveError::None;
}

int Connect(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Reads reply lines until `count` have come; the number of them that were 250 (or 220, 221).
int Replies(int fd, std::string& buffer, int count) {
    int good = 0;
    while (count > 0) {
        const size_t end = buffer.find("\r\n");
        if (end == std::string::npos) {
            char chunk[1024];
            const ssize_t n = recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0) return good;
            buffer.append(chunk, static_cast<size_t>(n));
            continue;
        }
        const int code = std::atoi(buffer.substr(0, 3).c_str());
        good += (code == 250 || code == 220 || code == 221) ? 1 : 0;
        buffer.erase(0, end + 2);
        --count;
    }
    return good;
}

// One client: greeting, ten transactions one after another, QUIT. Returns the SENDs taken.
int Client(int port, int client) {
    const int fd = Connect(port);
    if (fd < 0) return 0;
    std::string buffer;
    int taken = Replies(fd, buffer, 1) == 1 ? 0 : -1000;
    for (int page = 0; page < kPagesEach; ++page) {
        char request[128];
        std::snprintf(request, sizeof request, "PAGE p%03d\r\nMESS bench c%03d p%02d\r\nSEND\r\n", client,
                      client, page);
        send(fd, request, std::strlen(request), MSG_NOSIGNAL);
        taken += Replies(fd, buffer, 3) == 3 ? 1 : 0;
    }
    send(fd, "QUIT\r\n", 6, MSG_NOSIGNAL);
    Replies(fd, buffer, 1);
    close(fd);
    return taken;
}

void GatewayLoad(benchmark::State& state) {
    std::error_code error;
    const fs::path bin = fs::read_symlink("/proc/self/exe", error).parent_path();
    const fs::path gatewayPath = bin / "vorlapaged";
    if (!fs::exists(gatewayPath)) {
        state.SkipWithError("bin/vorlapaged is not built");
        return;
    }
    for (auto _ : state) {
        const fs::path folder = fs::temp_directory_path() / ("bench-gateway-" + std::to_string(getpid()));
        fs::remove_all(folder);
        if (!SetUpHome(folder)) {
            state.SkipWithError("the directory could not be written");
            return;
        }
        const pid_t gateway = vorla::testing::StartChild(
            {gatewayPath.string(), "--home", folder.string(), "--listen", "127.0.0.1:0", "--max-connections",
             "200"},
            (folder / "out.txt").string(), (folder / "err.txt").string(),
            std::vector<std::string>{"XDG_CONFIG_HOME=" + (folder / "config").string(),
                                     "HOME=" + folder.string(), "PATH=/usr/bin:/bin"});
        int port = 0;
        for (int i = 0; i < 500 && port == 0; ++i) {
            const std::string err = ReadAll(folder / "err.txt");
            if (const auto at = err.find("listening on 127.0.0.1:"); at != std::string::npos)
                port = std::atoi(err.c_str() + at + 23);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (port == 0) {
            state.SkipWithError("vorlapaged did not start");
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const long idleKb = MemoryKb(gateway, "VmRSS");

        const auto start = std::chrono::steady_clock::now();
        std::atomic<int> taken{0};
        std::vector<std::thread> clients;
        for (int c = 0; c < kClients; ++c)
            clients.emplace_back([&, c] { taken += Client(port, c); });
        for (std::thread& client : clients)
            client.join();
        const double takeSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

        // Every page sent: 1,000 "Message Sent Successfully!" lines, each message once.
        std::map<std::string, int> sent;
        int sentLines = 0;
        for (int i = 0; i < 12000 && sentLines < kClients * kPagesEach; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            sent.clear();
            sentLines = 0;
            std::istringstream log(ReadAll(folder / "Message Log.txt"));
            for (std::string line; std::getline(log, line);) {
                const auto at = line.find("\tMessage Sent Successfully!\t");
                if (at == std::string::npos) continue;
                ++sentLines;
                const std::string rest = line.substr(at + 28);
                ++sent[rest.substr(0, rest.find('\t'))];
            }
        }
        const double allSentSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long peakKb = MemoryKb(gateway, "VmHWM");
        int once = 0;
        for (const auto& [message, times] : sent)
            once += times == 1 ? 1 : 0;

        kill(gateway, SIGTERM);
        int status = 0;
        waitpid(gateway, &status, 0);
        fs::remove_all(folder);

        state.counters["taken"] = taken.load();
        state.counters["sent_once"] = once;
        state.counters["sent_lines"] = sentLines;
        state.counters["take_s"] = takeSeconds;
        state.counters["all_sent_s"] = allSentSeconds;
        state.counters["rss_idle_kB"] = static_cast<double>(idleKb);
        state.counters["rss_peak_kB"] = static_cast<double>(peakKb);
        if (taken != kClients * kPagesEach || once != kClients * kPagesEach ||
            sentLines != kClients * kPagesEach)
            state.SkipWithError("not every page was taken and sent exactly once");
    }
}
BENCHMARK(GatewayLoad)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
