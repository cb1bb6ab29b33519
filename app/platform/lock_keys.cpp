#include "platform/lock_keys.h"

#include <QGuiApplication>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace vorla {

std::optional<LockKeys> CurrentLockKeys() {
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return std::nullopt;
    xcb_get_keyboard_control_reply_t* reply =
        xcb_get_keyboard_control_reply(connection, xcb_get_keyboard_control(connection), nullptr);
    if (!reply) return std::nullopt;
    // The X keyboard maps its indicators to lights 1 (Caps Lock), 2 (Num Lock) and 3 (Scroll Lock).
    LockKeys keys{(reply->led_mask & 1u) != 0, (reply->led_mask & 2u) != 0, (reply->led_mask & 4u) != 0};
    std::free(reply);
    return keys;
#else
    return std::nullopt;
#endif
}

}  // namespace vorla
