#pragma once
// The two pages of Service Maintenance. "Service Settings": name, access number, dial
// prefix, password and baud rate. "Modem Settings": modem type, init, port, dial mode,
// parity, handshake and script. The modem page is in serial or telephony mode, and the mode
// follows the port: "TAPI Device" lists the telephony line devices as modem types, a
// numbered port the modem list file. Each page fills a service's fields, shows a service,
// applies the per-user defaults of a new service and keeps them when the window closes.

#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "directory/service.h"
#include "telephony/line_devices.h"
#include "ui/maintenance/serial_devices.h"

class CVorlaPro5App;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct MaintenancePrompts;

namespace vorla::telephony {
class IDeviceSettings;
}

// Where the modem page finds what lies outside the program; tests put their own in.
struct ServiceSeams {
    std::function<vorla::telephony::LineDeviceScan()> scanLineDevices;  // null: the installed provider
    const vorla::telephony::IDeviceSettings* deviceSettings = nullptr;  // null: the system's
    std::function<std::vector<SerialDevice>()> serialDevices;           // null: the system's
};

inline constexpr const char* kTapiPort = "TAPI Device";

class ServiceSettingsPage : public QWidget {
    Q_OBJECT
public:
    ServiceSettingsPage(CVorlaPro5App& app, QWidget* parent = nullptr);
    void ApplyDefaults();
    void Show(const CService& service);
    void Read(ServiceFields& fields) const;
    void StoreDefaults();

    QLineEdit* NameField() const { return name_; }
    QLineEdit* AccessField() const { return access_; }
    QCheckBox* PrefixBox() const { return prefix_; }
    QLineEdit* PasswordField() const { return password_; }
    QComboBox* BaudChoice() const { return baud_; }
    QList<QWidget*> Controls() const;

signals:
    void Changed();

private:
    void SelectBaud(const QString& text);
    CVorlaPro5App& app_;
    QLineEdit* name_;
    QLineEdit* access_;
    QCheckBox* prefix_;
    QLineEdit* password_;
    QComboBox* baud_;
};

class ServiceModemPage : public QWidget {
    Q_OBJECT
public:
    ServiceModemPage(CVorlaPro5App& app, MaintenancePrompts& prompts, ServiceSeams seams,
                     QWidget* parent = nullptr);
    ~ServiceModemPage() override;
    void ApplyDefaults();
    void Show(const CService& service);
    void Read(ServiceFields& fields) const;
    void StoreDefaults();

    bool Telephony() const { return telephony_; }
    // The script a shown service names but rklfiles no longer has; empty otherwise.
    const QString& MissingScript() const { return missingScript_; }
    // The port a shown service names that the port list no longer offers (its device was
    // taken away in Ports...): kept as the service's, marked; empty otherwise.
    const QString& UnmappedPort() const { return unmappedPort_; }
    // The port names again with their devices (after the Ports dialog).
    void RelabelPorts();

    QComboBox* ModemChoice() const { return modem_; }
    QLineEdit* InitField() const { return init_; }
    QComboBox* PortChoice() const { return port_; }
    QComboBox* DialChoice() const { return dial_; }
    QComboBox* ParityChoice() const { return parity_; }
    QComboBox* HandshakeChoice() const { return handshake_; }
    QComboBox* ScriptChoice() const { return script_; }
    QPushButton* PortsButton() const { return ports_; }
    QList<QWidget*> Controls() const;

signals:
    void Changed();

private:
    void FillPorts();
    void FillScripts();
    void EnterSerial();
    // False when there is no line device: the page is then in serial mode.
    bool EnterTelephony();
    // The line devices, scanned once for the window (the provider may take seconds to answer).
    const vorla::telephony::LineDeviceScan& LineScan();
    // The port's item; one the list does not offer is added, marked, when `keep` (a service's
    // own port), else the first item is chosen.
    void SelectPort(const QString& port, bool keep = false);
    // False when no item is the modem (the first is chosen then).
    bool SelectModem(const QString& name);
    // In telephony mode: the line device with the permanent line id (identical modems share a
    // name), else the first with the name; false when neither is there.
    bool SelectLine(const std::string& name, uint32_t permanentLineId);
    // False when the script is not in the list ("VORLAPRO.RKL" is chosen then).
    bool SelectScript(const QString& script);
    void SetMissingScript(const QString& script);
    // Whether the chosen "script" is the WCTP transport; the init field then holds its options.
    bool IsWctp() const;
    void ShowTransport();
    void SetUnmappedPort(const QString& port);
    void ShowWarnings();
    QString PortName() const;
    void OnPortChosen();
    void OnModemChosen();
    void OpenPortsDialog();

    CVorlaPro5App& app_;
    MaintenancePrompts& prompts_;
    ServiceSeams seams_;
    QComboBox* modem_;
    QLineEdit* init_;
    QLabel* initLabel_ = nullptr;
    QComboBox* port_;
    QComboBox* dial_;
    QComboBox* parity_;
    QComboBox* handshake_;
    QComboBox* script_;
    QPushButton* ports_;
    QLabel* missing_;
    bool telephony_ = false;
    std::optional<vorla::telephony::LineDeviceScan> scan_;
    std::vector<vorla::telephony::LineDevice> lines_;
    QString missingScript_;
    QString unmappedPort_;
    QString lastPort_;
    // Set while the page is filled by the program: its changes are not the user's choices.
    int filling_ = 0;
};

// Whether the form shows exactly the service: the fields the user sees, with port names and
// script files compared without regard to case (the lists find them that way).
bool FormShowsService(const ServiceFields& form, const ServiceFields& stored);
// Whether a modem list item is the modem a service names: the same text, or the item's model
// part when the name has no maker ("Hayes Compatible" is "Generic - Hayes Compatible").
bool ModemNamesMatch(const QString& item, const QString& name);
// The file-name part of a script path (after the last backslash or slash).
QString ScriptFileName(const std::string& path);
