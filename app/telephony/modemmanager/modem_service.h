#pragma once
// One connection of our own to the system bus, to the modem service. Every step has a time
// limit, so a bus or a service that hangs costs the caller (often a window) seconds, not
// minutes. Because the connection is ours alone, closing it (or the process ending) ends every
// inhibition made through it: the service watches the inhibiting client and lets the modem go.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "telephony/modemmanager/modem_lines.h"

typedef struct _GDBusConnection GDBusConnection;
typedef struct _GMainContext GMainContext;

namespace vorla::telephony::modemmanager {

struct ServiceTimeouts {
    int connectMs = 2000;
    int queryMs = 3000;
    // Inhibiting waits until the service has let go of the modem's ports.
    int inhibitMs = 10000;
};

class ModemService {
public:
    // Null when the system bus cannot be reached within the time limit.
    static std::unique_ptr<ModemService> Connect(const ServiceTimeouts& timeouts = {});
    ~ModemService();
    ModemService(const ModemService&) = delete;
    ModemService& operator=(const ModemService&) = delete;

    // Whether the modem service runs. It is never started on our behalf: probing modems takes
    // longer than anyone listing line devices wants to wait.
    bool Running();
    // Nullopt when the service does not answer in time or answers with an error.
    std::optional<std::vector<ModemInfo>> ListModems();
    // 0, or the LINEERR_ code for the caller: no such device, the service refused, or timed out.
    int32_t SetInhibited(const std::string& device, bool inhibited);
    // The same without waiting: `done` gets the result later, from inside an iteration of
    // `context` (the caller decides when that runs). It is also called, with an error, when
    // the connection closes first.
    void SetInhibitedLater(const std::string& device, bool inhibited, GMainContext* context,
                           std::function<void(int32_t)> done);

private:
    ModemService(GDBusConnection* connection, const ServiceTimeouts& timeouts)
        : connection_(connection), timeouts_(timeouts) {}
    GDBusConnection* connection_;
    ServiceTimeouts timeouts_;
};

}  // namespace vorla::telephony::modemmanager
