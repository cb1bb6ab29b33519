#include "telephony/modemmanager/modem_service.h"

#include <gio/gio.h>

#include <ModemManager.h>

#include "engine/platform/telephony/line_error_names.h"
#include "telephony/modemmanager/managed_objects.h"

namespace vorla::telephony::modemmanager {
namespace {

// The caller's LINEERR_ code for a failed inhibit or release.
int32_t InhibitResult(GVariant* reply, GError* error) {
    if (reply) {
        g_variant_unref(reply);
        return 0;
    }
    int32_t code = kLineErrResourceUnavail;
    if (g_error_matches(error, G_IO_ERROR, G_IO_ERROR_TIMED_OUT))
        code = kLineErrOperationFailed;
    else if (g_dbus_error_is_remote_error(error)) {
        gchar* name = g_dbus_error_get_remote_error(error);
        // The modem is unknown, or the service itself has gone.
        for (const char* gone : {".NotFound", ".ServiceUnknown", ".NameHasNoOwner"})
            if (name && g_str_has_suffix(name, gone)) code = kLineErrNoDevice;
        g_free(name);
    }
    if (error) g_error_free(error);
    return code;
}

void InhibitDone(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<std::function<void(int32_t)>> done(static_cast<std::function<void(int32_t)>*>(data));
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
    (*done)(InhibitResult(reply, error));
}

// Shared between the connect call and its completion, which may come after we gave up.
struct PendingConnect {
    GDBusConnection* connection = nullptr;
    bool done = false;
};

void ConnectDone(GObject*, GAsyncResult* result, gpointer data) {
    auto* pending = static_cast<PendingConnect*>(data);
    pending->connection = g_dbus_connection_new_for_address_finish(result, nullptr);
    pending->done = true;
}

gboolean TimeUp(gpointer data) {
    *static_cast<bool*>(data) = true;
    return G_SOURCE_REMOVE;
}

// The synchronous constructor has no time limit (the bus handshake waits as long as the bus
// takes), so connect asynchronously on a private main context and stop waiting at the limit.
GDBusConnection* ConnectWithin(const char* address, int limitMs) {
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    auto* pending = new PendingConnect;
    GCancellable* cancellable = g_cancellable_new();
    g_dbus_connection_new_for_address(
        address,
        static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                          G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, cancellable, &ConnectDone, pending);
    bool timedOut = false;
    GSource* timer = g_timeout_source_new(static_cast<guint>(limitMs));
    g_source_set_callback(timer, &TimeUp, &timedOut, nullptr);
    g_source_attach(timer, context);
    while (!pending->done && !timedOut)
        g_main_context_iteration(context, TRUE);
    g_source_destroy(timer);
    g_source_unref(timer);
    GDBusConnection* connection = nullptr;
    if (pending->done) {
        connection = pending->connection;
        delete pending;
    } else {
        // The completion can only run on this context, which nobody iterates any more; the
        // small record stays allocated rather than risk it running on freed memory.
        g_cancellable_cancel(cancellable);
    }
    g_object_unref(cancellable);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return connection;
}

}  // namespace

std::unique_ptr<ModemService> ModemService::Connect(const ServiceTimeouts& timeouts) {
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SYSTEM, nullptr, nullptr);
    if (!address) return nullptr;
    GDBusConnection* connection = ConnectWithin(address, timeouts.connectMs);
    g_free(address);
    if (!connection) return nullptr;
    g_dbus_connection_set_exit_on_close(connection, FALSE);
    return std::unique_ptr<ModemService>(new ModemService(connection, timeouts));
}

ModemService::~ModemService() {
    g_dbus_connection_close_sync(connection_, nullptr, nullptr);
    g_object_unref(connection_);
}

bool ModemService::Running() {
    GVariant* reply = g_dbus_connection_call_sync(
        connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
        g_variant_new("(s)", MM_DBUS_SERVICE), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE,
        timeouts_.queryMs, nullptr, nullptr);
    if (!reply) return false;
    gboolean owned = FALSE;
    g_variant_get(reply, "(b)", &owned);
    g_variant_unref(reply);
    return owned;
}

std::optional<std::vector<ModemInfo>> ModemService::ListModems() {
    GVariant* reply = g_dbus_connection_call_sync(
        connection_, MM_DBUS_SERVICE, MM_DBUS_PATH, "org.freedesktop.DBus.ObjectManager", "GetManagedObjects",
        nullptr, G_VARIANT_TYPE("(a{oa{sa{sv}}})"), G_DBUS_CALL_FLAGS_NO_AUTO_START, timeouts_.queryMs,
        nullptr, nullptr);
    if (!reply) return std::nullopt;
    GVariant* objects = g_variant_get_child_value(reply, 0);
    std::vector<ModemInfo> modems = ModemsFromManagedObjects(objects);
    g_variant_unref(objects);
    g_variant_unref(reply);
    return modems;
}

int32_t ModemService::SetInhibited(const std::string& device, bool inhibited) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        connection_, MM_DBUS_SERVICE, MM_DBUS_PATH, MM_DBUS_INTERFACE, "InhibitDevice",
        g_variant_new("(sb)", device.c_str(), inhibited ? TRUE : FALSE), G_VARIANT_TYPE("()"),
        G_DBUS_CALL_FLAGS_NO_AUTO_START, timeouts_.inhibitMs, nullptr, &error);
    return InhibitResult(reply, error);
}

void ModemService::SetInhibitedLater(const std::string& device, bool inhibited, GMainContext* context,
                                     std::function<void(int32_t)> done) {
    // The completion runs on the thread-default context of the moment of the call.
    g_main_context_push_thread_default(context);
    g_dbus_connection_call(connection_, MM_DBUS_SERVICE, MM_DBUS_PATH, MM_DBUS_INTERFACE, "InhibitDevice",
                           g_variant_new("(sb)", device.c_str(), inhibited ? TRUE : FALSE),
                           G_VARIANT_TYPE("()"), G_DBUS_CALL_FLAGS_NO_AUTO_START, timeouts_.inhibitMs,
                           nullptr, &InhibitDone, new std::function<void(int32_t)>(std::move(done)));
    g_main_context_pop_thread_default(context);
}

}  // namespace vorla::telephony::modemmanager
