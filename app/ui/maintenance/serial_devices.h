#pragma once
// The serial devices of the system, for choosing the device behind a port name, and the
// device each port name stands for now. Port names map through the settings section "Ports"
// (where the paging engine looks); an unmapped "COMn" is /dev/ttyS(n-1).

#include <QString>

#include <vector>

namespace vorla {
class ISettingsStore;
}

struct SerialDevice {
    QString path;        // the stable /dev/serial/by-id name when the system gives one
    QString systemPath;  // the kernel's name (/dev/ttyUSB0)
    QString description;
    QString manufacturer;
    QString serialNumber;
};

// Every serial port the system lists, stable names preferred; `byIdFolder` is where the
// system keeps its stable links.
std::vector<SerialDevice> ListSerialDevices(const QString& byIdFolder = QStringLiteral("/dev/serial/by-id"));

// The highest port number a name may have ("COM256").
inline constexpr int kMaxPortNumber = 256;
// The numbered ports the list shows without asking.
inline constexpr int kStandardPorts = 4;

// The device the port stands for: its mapping, else the default rule; empty for a name
// that maps to nothing.
QString PortDevice(const vorla::ISettingsStore& settings, const QString& port);
// Only the mapping (empty when the port is left to the default rule).
QString PortMapping(const vorla::ISettingsStore& settings, const QString& port);
// Ports above the standard four that have a mapping, in order.
std::vector<int> MappedExtraPorts(const vorla::ISettingsStore& settings);
// Whether a device path names nothing on this machine (a network endpoint never is).
bool DeviceMissing(const QString& path);
// "COM1 — /dev/ttyUSB0", marked when the device is missing.
QString PortLabel(const vorla::ISettingsStore& settings, const QString& port);
