#pragma once
// Reads the modems out of the modem service's object list (the ObjectManager reply).

#include <vector>

#include <glib.h>

#include "telephony/modemmanager/modem_lines.h"

namespace vorla::telephony::modemmanager {

// `objects` has the type a{oa{sa{sv}}} (anything else gives no modems). Objects without the
// modem interface are skipped; a property that is missing or of another type reads as empty.
std::vector<ModemInfo> ModemsFromManagedObjects(GVariant* objects);

}  // namespace vorla::telephony::modemmanager
