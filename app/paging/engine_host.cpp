#include "paging/engine_host.h"

#include <cstring>

#include "paging/port_map.h"
#include "paging/session_driver.h"

EngineHost::EngineHost(EngineHostTargets targets) : targets_(std::move(targets)) {
    RKL_HostHooks hooks{};
    hooks.context = this;
    hooks.sendMessage = &EngineHost::SendMessageHook;
    hooks.pump = &EngineHost::PumpHook;
    hooks.alert = &EngineHost::AlertHook;
    hooks.mapPort = &EngineHost::MapPortHook;
    hooks.beep = [](void* context) {
        auto* self = static_cast<EngineHost*>(context);
        if (self->targets_.beep) self->targets_.beep();
    };
    RKL_SetHostHooks(&hooks);
}

EngineHost::~EngineHost() {
    RKL_SetHostHooks(nullptr);
}

EngineHostTargets EngineHost::ForDriver(SessionDriver& driver, const PortMap* ports,
                                        std::function<void()> pump) {
    EngineHostTargets targets;
    targets.echo = [&driver](RKL_WINDOW window, const char* text) {
        if (window == driver.GetEngineWindow() && text) driver.SetStatusText(text);
    };
    targets.pump = std::move(pump);
    targets.ports = ports;
    return targets;
}

intptr_t EngineHost::SendMessageHook(void* context, RKL_WINDOW window, uint32_t msg, uintptr_t wParam,
                                     intptr_t lParam) {
    auto* self = static_cast<EngineHost*>(context);
    if (msg == RKL_MSG_ECHO) {
        if (self->targets_.echo) self->targets_.echo(window, reinterpret_cast<const char*>(lParam));
        return 0;
    }
    return self->targets_.other ? self->targets_.other(window, msg, wParam, lParam) : 0;
}

void EngineHost::PumpHook(void* context) {
    auto* self = static_cast<EngineHost*>(context);
    if (self->targets_.pump) self->targets_.pump();
}

int32_t EngineHost::AlertHook(void* context, RKL_WINDOW owner, const char* text, const char* caption) {
    auto* self = static_cast<EngineHost*>(context);
    return self->targets_.alert ? self->targets_.alert(owner, text, caption) : RKL_IDOK;
}

int32_t EngineHost::MapPortHook(void* context, const char* portName, char* devicePath, int32_t size) {
    auto* self = static_cast<EngineHost*>(context);
    if (!self->targets_.ports || !portName || !devicePath || size <= 0) return 0;
    const std::optional<std::string> device = self->targets_.ports->Map(portName);
    if (!device) return 0;
    // A path that does not fit is neither cut short into another device's name nor left to
    // the default rule: it maps to nothing, which fails to open.
    if (device->size() + 1 > static_cast<size_t>(size)) {
        devicePath[0] = '\0';
        return 1;
    }
    std::memcpy(devicePath, device->c_str(), device->size() + 1);
    return 1;
}
