#include "ui/maintenance/serial_devices.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPortInfo>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"

namespace {
using vorla::setting::kPortsSection;

int PortNumber(const QString& port) {
    if (!port.startsWith(QLatin1String("COM"), Qt::CaseInsensitive)) return 0;
    bool ok = false;
    const int number = port.mid(3).toInt(&ok);
    return ok && number >= 1 && number <= kMaxPortNumber ? number : 0;
}
}  // namespace

std::vector<SerialDevice> ListSerialDevices(const QString& byIdFolder) {
    // The stable names are links to the kernel's names; keyed by what they point at.
    std::vector<std::pair<QString, QString>> stable;
    const QDir links(byIdFolder);
    for (const QFileInfo& link :
         links.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        stable.emplace_back(link.canonicalFilePath(), link.absoluteFilePath());

    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        device.systemPath = info.systemLocation();
        device.path = device.systemPath;
        const QString target = QFileInfo(device.systemPath).canonicalFilePath();
        for (const auto& [canonical, path] : stable)
            if (!target.isEmpty() && canonical == target) {
                device.path = path;
                break;
            }
        device.description = info.description();
        device.manufacturer = info.manufacturer();
        device.serialNumber = info.serialNumber();
        devices.push_back(std::move(device));
    }
    return devices;
}

QString PortMapping(const vorla::ISettingsStore& settings, const QString& port) {
    return vorla::FromWindows1252(settings.GetProfileString(kPortsSection, vorla::ToWindows1252(port), ""));
}

QString PortDevice(const vorla::ISettingsStore& settings, const QString& port) {
    const QString mapped = PortMapping(settings, port);
    if (!mapped.isEmpty()) return mapped;
    const int number = PortNumber(port);
    return number ? QStringLiteral("/dev/ttyS%1").arg(number - 1) : QString();
}

std::vector<int> MappedExtraPorts(const vorla::ISettingsStore& settings) {
    std::vector<int> ports;
    for (int n = kStandardPorts + 1; n <= kMaxPortNumber; ++n)
        if (!PortMapping(settings, QStringLiteral("COM%1").arg(n)).isEmpty()) ports.push_back(n);
    return ports;
}

bool DeviceMissing(const QString& path) {
    if (path.contains(QLatin1String("://"))) return false;
    return !QFileInfo::exists(path);
}

QString PortLabel(const vorla::ISettingsStore& settings, const QString& port) {
    const QString device = PortDevice(settings, port);
    if (device.isEmpty()) return port;
    QString label = port + QStringLiteral(" \u2014 ") + device;
    if (DeviceMissing(device)) label += QStringLiteral(" (missing)");
    return label;
}
