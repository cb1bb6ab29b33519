#include "tests/telephony_mm/private_bus.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <gio/gio.h>
#include <sys/wait.h>

#include "tests/child_process/child_process.h"

namespace vorla::testing {
namespace {

void Stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
}

// Polls (sleeping between looks) until `done` holds or the time is up.
template <typename Done>
bool WaitFor(Done done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool NameOwned(const std::string& address, const char* name) {
    GDBusConnection* connection = g_dbus_connection_new_for_address_sync(
        address.c_str(),
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr);
    if (!connection) return false;
    GVariant* reply = g_dbus_connection_call_sync(
        connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
    gboolean owned = FALSE;
    if (reply) {
        g_variant_get(reply, "(b)", &owned);
        g_variant_unref(reply);
    }
    g_dbus_connection_close_sync(connection, nullptr, nullptr);
    g_object_unref(connection);
    return owned;
}

}  // namespace

PrivateBus::PrivateBus() {
    char pattern[] = "/tmp/vorla-bus-XXXXXX";
    if (!mkdtemp(pattern)) return;
    folder_ = pattern;
    const std::string socket = folder_ + "/bus";
    address_ = "unix:path=" + socket;
    std::ofstream(folder_ + "/bus.conf")
        << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <listen>"
        << address_
        << "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <policy context=\"default\">\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "    <allow own=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
    daemon_ = StartChild({VORLA_DBUS_DAEMON, "--nofork", "--config-file=" + folder_ + "/bus.conf"}, "",
                         folder_ + "/daemon.err");
    if (daemon_ < 0 || !WaitFor([&] { return std::filesystem::exists(socket); })) return;
    if (const char* previous = std::getenv("DBUS_SYSTEM_BUS_ADDRESS")) {
        hadAddress_ = true;
        previousAddress_ = previous;
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.c_str(), 1);
    ready_ = true;
}

PrivateBus::~PrivateBus() {
    StopModemService();
    Stop(daemon_);
    if (hadAddress_)
        setenv("DBUS_SYSTEM_BUS_ADDRESS", previousAddress_.c_str(), 1);
    else
        unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

bool PrivateBus::StartModemService(const std::string& modemsJson) {
    if (!ready_) return false;
    StopModemService();
    service_ = StartChild({VORLA_DBUSMOCK_PYTHON, "-m", "dbusmock", "--system", "-t", VORLA_MOCK_TEMPLATE,
                           "-p", "{\"modems\": " + modemsJson + "}", "-l", folder_ + "/service.log"},
                          folder_ + "/service.out", folder_ + "/service.err");
    return service_ > 0 && WaitFor([&] { return NameOwned(address_, "org.freedesktop.ModemManager1"); });
}

void PrivateBus::StopModemService() {
    Stop(service_);
    if (ready_) WaitFor([&] { return !NameOwned(address_, "org.freedesktop.ModemManager1"); });
}

std::string PrivateBus::ModemServiceLog() const {
    std::string text;
    for (const char* name : {"/service.log", "/service.err"}) {
        std::ifstream in(folder_ + name);
        text += std::string(std::istreambuf_iterator<char>(in), {}) + "\n";
    }
    return text;
}

}  // namespace vorla::testing
