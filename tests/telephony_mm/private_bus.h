#pragma once
// A system bus of the test's own (a dbus-daemon on a socket in a temporary folder), made the
// process's system bus through DBUS_SYSTEM_BUS_ADDRESS, and a mock modem service on it. Every
// process started here ends with the test.

#include <string>

#include <sys/types.h>

namespace vorla::testing {

class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool ready() const { return ready_; }
    const std::string& folder() const { return folder_; }
    const std::string& address() const { return address_; }

    // Starts the mock modem service with these modems (the JSON list of its "modems"
    // parameter) and waits until it owns its bus name; false when it did not come up.
    bool StartModemService(const std::string& modemsJson);
    void StopModemService();
    // What the mock logged: its calls, "inhibited DEVICE", "released DEVICE (why)".
    std::string ModemServiceLog() const;

private:
    std::string folder_;
    std::string address_;
    std::string previousAddress_;
    bool hadAddress_ = false;
    pid_t daemon_ = -1;
    pid_t service_ = -1;
    bool ready_ = false;
};

}  // namespace vorla::testing
