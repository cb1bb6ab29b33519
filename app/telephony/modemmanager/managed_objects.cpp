#include "telephony/modemmanager/managed_objects.h"

#include <ModemManager.h>

namespace vorla::telephony::modemmanager {
namespace {

std::string StringProperty(GVariant* properties, const char* name) {
    GVariant* value = g_variant_lookup_value(properties, name, G_VARIANT_TYPE_STRING);
    if (!value) return {};
    std::string text = g_variant_get_string(value, nullptr);
    g_variant_unref(value);
    return text;
}

std::vector<std::pair<std::string, uint32_t>> PortsProperty(GVariant* properties) {
    std::vector<std::pair<std::string, uint32_t>> ports;
    GVariant* value = g_variant_lookup_value(properties, "Ports", G_VARIANT_TYPE("a(su)"));
    if (!value) return ports;
    GVariantIter iter;
    g_variant_iter_init(&iter, value);
    const gchar* name = nullptr;
    guint32 type = 0;
    while (g_variant_iter_next(&iter, "(&su)", &name, &type))
        ports.emplace_back(name, type);
    g_variant_unref(value);
    return ports;
}

}  // namespace

std::vector<ModemInfo> ModemsFromManagedObjects(GVariant* objects) {
    std::vector<ModemInfo> modems;
    if (!objects || !g_variant_is_of_type(objects, G_VARIANT_TYPE("a{oa{sa{sv}}}"))) return modems;
    GVariantIter iter;
    g_variant_iter_init(&iter, objects);
    const gchar* path = nullptr;
    GVariant* interfaces = nullptr;
    while (g_variant_iter_next(&iter, "{&o@a{sa{sv}}}", &path, &interfaces)) {
        GVariant* properties =
            g_variant_lookup_value(interfaces, MM_DBUS_INTERFACE_MODEM, G_VARIANT_TYPE("a{sv}"));
        g_variant_unref(interfaces);
        if (!properties) continue;
        ModemInfo modem;
        modem.objectPath = path;
        modem.manufacturer = StringProperty(properties, "Manufacturer");
        modem.model = StringProperty(properties, "Model");
        modem.deviceIdentifier = StringProperty(properties, "DeviceIdentifier");
        modem.device = StringProperty(properties, "Device");
        modem.primaryPort = StringProperty(properties, "PrimaryPort");
        modem.ports = PortsProperty(properties);
        g_variant_unref(properties);
        modems.push_back(std::move(modem));
    }
    return modems;
}

}  // namespace vorla::telephony::modemmanager
