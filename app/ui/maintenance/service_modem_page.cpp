#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include <algorithm>
#include <memory>

#include "engine/platform/telephony/line_error_names.h"
#include "engine/platform/telephony/telephony_api.h"
#include "paging/wctp/wctp_service.h"
#include "rkl32.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "telephony/device_settings.h"
#include "text/windows1252.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/maintenance/maintenance_prompts.h"
#include "ui/maintenance/service_pages.h"
#include "ui/maintenance/service_ports_dialog.h"

namespace {
constexpr int kInitRole = Qt::UserRole + 1;
// Marks the port item added for a service whose port the list no longer offers.
constexpr int kKeptRole = Qt::UserRole + 2;
// The modem list is data from outside; a file with absurdly many entries is cut short.
constexpr int kMaxModemEntries = 10000;
constexpr const char* kSerialScript = "vorlapro.rkl";
constexpr const char* kTelephonyScript = "vlptapi.rkl";
constexpr const char* kFallbackScript = "VORLAPRO.RKL";
constexpr const char* kFallbackModem = "Hayes Compatible";

vorla::telephony::LineDeviceScan ScanInstalledLines() {
    auto api = vorla::telephony::TelephonyApi::Load(vorla::telephony::DefaultProviderName());
    return vorla::telephony::ScanLineDevices(*api);
}

void SelectText(QComboBox* box, const QString& text) {
    const int found = box->findText(text, Qt::MatchFixedString);
    if (found >= 0) box->setCurrentIndex(found);
}

QComboBox* DropList(QWidget* parent, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->addItems(items);
    return box;
}

// Counts the page as being filled by the program for one scope.
class Filling {
public:
    explicit Filling(int& depth) : depth_(depth) { ++depth_; }
    ~Filling() { --depth_; }
    Filling(const Filling&) = delete;
    Filling& operator=(const Filling&) = delete;

private:
    int& depth_;
};
}  // namespace

QString ScriptFileName(const std::string& path) {
    const QString text = vorla::FromWindows1252(path);
    const qsizetype cut = std::max(text.lastIndexOf(QLatin1Char('\\')), text.lastIndexOf(QLatin1Char('/')));
    return cut < 0 ? text : text.mid(cut + 1);
}

bool ModemNamesMatch(const QString& item, const QString& name) {
    // The modem list file names a modem "maker - model"; a name given without its maker
    // ("Hayes Compatible") still finds it.
    return !name.isEmpty() && (item.compare(name, Qt::CaseInsensitive) == 0 ||
                               item.endsWith(QStringLiteral(" - ") + name, Qt::CaseInsensitive));
}

namespace {
// On a line device the permanent line id is part of what the form shows: identical modems
// share a name.
bool SameLineDevice(const ServiceFields& form, const ServiceFields& stored) {
    const auto tapi = [](const std::string& port) {
        return vorla::FromWindows1252(port).compare(QLatin1String(kTapiPort), Qt::CaseInsensitive) == 0;
    };
    return !tapi(form.port) || !tapi(stored.port) || form.permanentLineID == stored.permanentLineID;
}
}  // namespace

bool FormShowsService(const ServiceFields& form, const ServiceFields& stored) {
    auto same = [](const std::string& a, const std::string& b) {
        return vorla::FromWindows1252(a).compare(vorla::FromWindows1252(b), Qt::CaseInsensitive) == 0;
    };
    return form.name == stored.name && form.accessNumber == stored.accessNumber &&
           form.password == stored.password && form.baudRate == stored.baudRate &&
           (form.useDialPrefix != 0) == (stored.useDialPrefix != 0) &&
           (form.modemName == stored.modemName ||
            ModemNamesMatch(vorla::FromWindows1252(form.modemName),
                            vorla::FromWindows1252(stored.modemName))) &&
           form.modemInit == stored.modemInit && same(form.port, stored.port) &&
           (form.dialMode == 1) == (stored.dialMode == 1) && form.parity == stored.parity &&
           form.handshake == stored.handshake && SameLineDevice(form, stored) &&
           ScriptFileName(form.scriptFile).compare(ScriptFileName(stored.scriptFile), Qt::CaseInsensitive) ==
               0;
}

ServiceModemPage::ServiceModemPage(CVorlaPro5App& app, MaintenancePrompts& prompts, ServiceSeams seams,
                                   QWidget* parent)
    : QWidget(parent), app_(app), prompts_(prompts), seams_(std::move(seams)) {
    if (!seams_.scanLineDevices) seams_.scanLineDevices = &ScanInstalledLines;
    modem_ = new QComboBox(this);
    init_ = new QLineEdit(this);
    init_->setMaxLength(255);
    port_ = new QComboBox(this);
    dial_ = DropList(this, {QStringLiteral("Tone"), QStringLiteral("Pulse")});
    parity_ = DropList(this, {QStringLiteral("n,8,1"), QStringLiteral("e,7,1"), QStringLiteral("o,7,1")});
    handshake_ = DropList(this, {QStringLiteral("None"), QStringLiteral("Hardware"),
                                 QStringLiteral("Software"), QStringLiteral("SW/HW")});
    script_ = new QComboBox(this);
    ports_ = new QPushButton(QStringLiteral("P&orts..."), this);
    missing_ = new QLabel(this);
    missing_->setWordWrap(true);
    missing_->setStyleSheet(QStringLiteral("color: #b00000;"));
    missing_->hide();

    auto* form = new QFormLayout(this);
    auto add = [&](const QString& text, QWidget* field, QLayout* row = nullptr) {
        auto* label = new QLabel(text, this);
        label->setBuddy(field);
        if (row)
            form->addRow(label, row);
        else
            form->addRow(label, field);
    };
    add(QStringLiteral("Modem &Type:"), modem_);
    add(QStringLiteral("Modem &Init:"), init_);
    initLabel_ = qobject_cast<QLabel*>(form->labelForField(init_));
    auto* portRow = new QHBoxLayout;
    portRow->addWidget(port_, 1);
    portRow->addWidget(ports_);
    add(QStringLiteral("Modem &Port:"), port_, portRow);
    add(QStringLiteral("Dia&l:"), dial_);
    add(QStringLiteral("Pa&rity:"), parity_);
    add(QStringLiteral("&Handshake:"), handshake_);
    add(QStringLiteral("RK&L Script File:"), script_);
    form->addRow(missing_);

    {
        Filling filling(filling_);
        FillPorts();
        FillScripts();
    }
    connect(port_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) OnPortChosen();
        emit Changed();
    });
    connect(modem_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) OnModemChosen();
        emit Changed();
    });
    connect(script_, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling_) {
            SetMissingScript({});
            // A modem's init string means nothing to a WCTP carrier; its options take the field.
            if (IsWctp() && !init_->text().contains(QLatin1Char('='))) init_->clear();
        }
        ShowTransport();
        emit Changed();
    });
    connect(init_, &QLineEdit::textChanged, this, &ServiceModemPage::Changed);
    for (QComboBox* box : {dial_, parity_, handshake_})
        connect(box, &QComboBox::currentIndexChanged, this, &ServiceModemPage::Changed);
    connect(ports_, &QPushButton::clicked, this, &ServiceModemPage::OpenPortsDialog);
}

ServiceModemPage::~ServiceModemPage() = default;

QList<QWidget*> ServiceModemPage::Controls() const {
    return {modem_, init_, port_, dial_, parity_, handshake_, script_};
}

void ServiceModemPage::FillPorts() {
    port_->clear();
    // The engine names the ports it can open; the program's own path, as for any host.
    if (void* token = app_.ComboToken(port_)) {
        RKL_FillComboWithPorts(token);
        app_.ComboToken(nullptr);
    }
    if (port_->count() == 0)
        for (int n = 1; n <= kStandardPorts; ++n)
            port_->addItem(QStringLiteral("COM%1").arg(n));
    for (int n : MappedExtraPorts(app_.Settings())) {
        const QString name = QStringLiteral("COM%1").arg(n);
        if (port_->findText(name, Qt::MatchFixedString) < 0) port_->addItem(name);
    }
    for (int i = 0; i < port_->count(); ++i)
        port_->setItemData(i, port_->itemText(i));
    port_->addItem(QString::fromLatin1(kTapiPort), QString::fromLatin1(kTapiPort));
    RelabelPorts();
}

void ServiceModemPage::RelabelPorts() {
    for (int i = 0; i + 1 < port_->count(); ++i) {
        if (port_->itemData(i, kKeptRole).toBool()) continue;
        const QString name = port_->itemData(i).toString();
        port_->setItemText(i, PortLabel(app_.Settings(), name));
        port_->setItemData(i, PortDevice(app_.Settings(), name), Qt::ToolTipRole);
    }
}

void ServiceModemPage::FillScripts() {
    script_->clear();
    if (const auto folder = app_.ProgramDir().FindDataFile("rklfiles")) {
        const QDir dir(QString::fromStdString(folder->string()));
        for (const QString& name :
             dir.entryList({QStringLiteral("*.rkl")}, QDir::Files, QDir::Name | QDir::IgnoreCase))
            if (!name.startsWith(QLatin1Char('_'))) script_->addItem(name);
    }
    // Not a script: the transport built into the program (the service's access number is the
    // carrier's URL).
    script_->addItem(QString::fromLatin1(vorla::wctp::kScriptName));
}

bool ServiceModemPage::IsWctp() const {
    return vorla::wctp::IsWctpScript(vorla::ToWindows1252(script_->currentText()));
}

void ServiceModemPage::ShowTransport() {
    const bool wctp = IsWctp();
    initLabel_->setText(wctp ? QStringLiteral("WCTP &Options:") : QStringLiteral("Modem &Init:"));
    init_->setPlaceholderText(
        wctp ? QStringLiteral("sender=ID  cafile=PATH  redirects=follow  timeout=SECONDS") : QString());
}

void ServiceModemPage::EnterSerial() {
    Filling filling(filling_);
    telephony_ = false;
    lines_.clear();
    modem_->clear();
    for (int n = 1; n <= kMaxModemEntries; ++n) {
        std::string manufacturer, model, init;
        if (!app_.ReadModemIniEntry(n, {&manufacturer, &model, &init})) break;
        modem_->addItem(vorla::FromWindows1252(manufacturer + " - " + model), n);
        modem_->setItemData(modem_->count() - 1, vorla::FromWindows1252(init), kInitRole);
    }
}

const vorla::telephony::LineDeviceScan& ServiceModemPage::LineScan() {
    if (scan_) return *scan_;
    // A provider may take seconds to answer (a modem service that hangs): the scan runs on a
    // thread of its own while this one keeps painting. Input waits meanwhile, so nothing
    // re-enters the page halfway through a change.
    vorla::telephony::LineDeviceScan result;
    QEventLoop loop;
    std::unique_ptr<QThread> thread(
        QThread::create([&result, scan = seams_.scanLineDevices] { result = scan(); }));
    connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    QGuiApplication::restoreOverrideCursor();
    scan_ = std::move(result);
    // No provider at all is no failure: the machine has no telephony.
    if (scan_->providerPresent && scan_->initializeResult != 0)
        prompts_.stop(QString::fromStdString(vorla::telephony::LineErrorName(scan_->initializeResult)));
    return *scan_;
}

bool ServiceModemPage::EnterTelephony() {
    const vorla::telephony::LineDeviceScan& scan = LineScan();
    if (scan.devices.empty()) {
        EnterSerial();
        return false;
    }
    Filling filling(filling_);
    telephony_ = true;
    lines_ = scan.devices;
    modem_->clear();
    for (size_t i = 0; i < lines_.size(); ++i) {
        QString text = vorla::FromWindows1252(lines_[i].name);
        // Two identical modems share a name; their line ids tell them apart.
        const auto twin = [&](const vorla::telephony::LineDevice& other) {
            return &other != &lines_[i] && other.name == lines_[i].name;
        };
        if (std::any_of(lines_.begin(), lines_.end(), twin))
            text += QStringLiteral(" (line %1)").arg(lines_[i].permanentLineId);
        modem_->addItem(text, static_cast<int>(i));
    }
    return true;
}

QString ServiceModemPage::PortName() const {
    return port_->currentData().toString();
}

void ServiceModemPage::SelectPort(const QString& port, bool keep) {
    Filling filling(filling_);
    for (int i = port_->count() - 1; i >= 0; --i)
        if (port_->itemData(i, kKeptRole).toBool() &&
            !(keep && port_->itemData(i).toString().compare(port, Qt::CaseInsensitive) == 0))
            port_->removeItem(i);
    int found = port_->findData(port, Qt::UserRole, Qt::MatchFixedString);
    if (found < 0 && keep && !port.isEmpty()) {
        // Saving the service must not move it to another port behind the user's back: the
        // name stays, and the page says that no device stands behind it in the list.
        found = std::max(0, port_->count() - 1);  // before "TAPI Device"
        port_->insertItem(found, QStringLiteral("%1 (unmapped)").arg(port), port);
        port_->setItemData(found, true, kKeptRole);
    }
    port_->setCurrentIndex(found >= 0 ? found : 0);
    lastPort_ = PortName();
}

bool ServiceModemPage::SelectModem(const QString& name) {
    Filling filling(filling_);
    int found = name.isEmpty() ? -1 : modem_->findText(name, Qt::MatchFixedString);
    for (int i = 0; found < 0 && i < modem_->count(); ++i)
        if (ModemNamesMatch(modem_->itemText(i), name)) found = i;
    modem_->setCurrentIndex(found >= 0 ? found : (modem_->count() ? 0 : -1));
    return found >= 0;
}

bool ServiceModemPage::SelectLine(const std::string& name, uint32_t permanentLineId) {
    int byName = -1;
    int byId = -1;
    for (int i = 0; i < modem_->count(); ++i) {
        const size_t line = static_cast<size_t>(modem_->itemData(i).toInt());
        if (line >= lines_.size()) continue;
        const bool sameName = lines_[line].name == name;
        const bool sameId = lines_[line].permanentLineId == permanentLineId;
        if (sameName && sameId) {
            byId = i;
            break;
        }
        // Id 0 is what a service saved without a line device carries: no identity by itself.
        if (sameId && permanentLineId != 0 && byId < 0) byId = i;
        if (sameName && byName < 0) byName = i;
    }
    const int found = byId >= 0 ? byId : byName;
    if (found < 0) return false;
    Filling filling(filling_);
    modem_->setCurrentIndex(found);
    return true;
}

bool ServiceModemPage::SelectScript(const QString& script) {
    Filling filling(filling_);
    int found = script.isEmpty() ? -1 : script_->findText(script, Qt::MatchFixedString);
    const bool present = found >= 0;
    if (!present) found = script_->findText(QString::fromLatin1(kFallbackScript), Qt::MatchFixedString);
    script_->setCurrentIndex(found >= 0 ? found : (script_->count() ? 0 : -1));
    return present;
}

void ServiceModemPage::SetMissingScript(const QString& script) {
    missingScript_ = script;
    ShowWarnings();
}

void ServiceModemPage::SetUnmappedPort(const QString& port) {
    unmappedPort_ = port;
    ShowWarnings();
}

void ServiceModemPage::ShowWarnings() {
    QStringList lines;
    if (!unmappedPort_.isEmpty())
        lines << QStringLiteral(
                     "The port %1 of this service has no device in Ports...; saving keeps the port.")
                     .arg(unmappedPort_);
    if (!missingScript_.isEmpty())
        lines << QStringLiteral(
                     "The script \"%1\" of this service is not in rklfiles; saving stores the script "
                     "chosen above.")
                     .arg(missingScript_);
    missing_->setText(lines.join(QLatin1Char('\n')));
    missing_->setVisible(!lines.isEmpty());
}

void ServiceModemPage::OnPortChosen() {
    const bool tapi = PortName() == QLatin1String(kTapiPort);
    if (tapi && !telephony_) {
        const QString modemBefore = modem_->currentText();
        const QString initBefore = init_->text();
        if (!EnterTelephony()) {
            // No line device to dial through: the port and the modem stay as they were.
            SelectPort(lastPort_.isEmpty() || lastPort_ == QLatin1String(kTapiPort) ? QStringLiteral("COM1")
                                                                                    : lastPort_,
                       /*keep=*/true);
            SelectModem(modemBefore);
            init_->setText(initBefore);
            return;
        }
        SelectModem({});
        OnModemChosen();
        SelectScript(QString::fromLatin1(kTelephonyScript));
    } else if (!tapi && telephony_) {
        EnterSerial();
        SelectModem({});
        OnModemChosen();
        SelectScript(QString::fromLatin1(kSerialScript));
    }
    SetMissingScript({});
    SetUnmappedPort(port_->currentData(kKeptRole).toBool() ? PortName() : QString());
    lastPort_ = PortName();
}

void ServiceModemPage::OnModemChosen() {
    const int index = modem_->currentIndex();
    if (index < 0) return;
    if (!telephony_) {
        init_->setText(modem_->itemData(index, kInitRole).toString());
        return;
    }
    const size_t line = static_cast<size_t>(modem_->itemData(index).toInt());
    static const vorla::telephony::SystemDeviceSettings systemSettings;
    const vorla::telephony::IDeviceSettings& settings =
        seams_.deviceSettings ? *seams_.deviceSettings : systemSettings;
    // A device that keeps no settings of its own gives no init; the user may still type one.
    const auto init = line < lines_.size()
                          ? vorla::telephony::ModemInitFromDeviceKey(settings, lines_[line].registryKey)
                          : std::nullopt;
    init_->setText(vorla::FromWindows1252(init.value_or(std::string())));
}

void ServiceModemPage::ApplyDefaults() {
    Filling filling(filling_);
    vorla::ISettingsStore& settings = app_.Settings();
    auto text = [&settings](const vorla::TextSetting& setting) {
        return vorla::FromWindows1252(ReadSetting(settings, setting));
    };
    SelectPort(text(vorla::setting::kModemPort));
    // The telephony script would not work on the serial port a missing line device falls
    // back to.
    bool fellBack = false;
    if (PortName() == QLatin1String(kTapiPort)) {
        fellBack = !EnterTelephony();
        if (fellBack) SelectPort(QStringLiteral("COM1"));
    } else {
        EnterSerial();
    }
    // Without a modem list there is no modem to take an init from: the default one stands.
    const bool modemFound =
        telephony_
            ? SelectLine(ReadSetting(settings, vorla::setting::kModem),
                         static_cast<uint32_t>(ReadSetting(settings, vorla::setting::kPermanentLineID)))
            : SelectModem(text(vorla::setting::kModemOnSerialPort));
    if (modemFound || modem_->count() == 0)
        init_->setText(text(vorla::setting::kModemInit));
    else
        OnModemChosen();
    SelectText(parity_, text(vorla::setting::kParity));
    SelectText(handshake_, text(vorla::setting::kHandshake));
    SelectText(dial_, text(vorla::setting::kDialMode));
    SelectScript(fellBack ? QString::fromLatin1(kFallbackScript)
                          : ScriptFileName(ReadSetting(settings, vorla::setting::kCurrentRKL)));
    SetMissingScript({});
    SetUnmappedPort({});
}

void ServiceModemPage::Show(const CService& service) {
    Filling filling(filling_);
    const QString script = ScriptFileName(service.GetScriptFile());
    const bool scriptPresent = SelectScript(script);
    SelectPort(vorla::FromWindows1252(service.GetPort()), /*keep=*/true);
    if (PortName() != QLatin1String(kTapiPort)) {
        EnterSerial();
    } else if (!EnterTelephony()) {
        SelectPort(QStringLiteral("COM1"));
        SelectScript(QString::fromLatin1(kFallbackScript));
    }
    const bool modemFound =
        telephony_ ? SelectLine(service.GetModemName(), static_cast<uint32_t>(service.GetPermanentLineID()))
                   : SelectModem(vorla::FromWindows1252(service.GetModemName()));
    if (!modemFound) SelectModem(QString::fromLatin1(kFallbackModem));
    init_->setText(vorla::FromWindows1252(service.GetModemInit()));
    dial_->setCurrentIndex(service.GetDialMode() == 1 ? 1 : 0);
    parity_->setCurrentIndex(
        service.GetParity() >= 0 && service.GetParity() < parity_->count() ? service.GetParity() : 0);
    handshake_->setCurrentIndex(service.GetHandshake() >= 0 && service.GetHandshake() < handshake_->count()
                                    ? service.GetHandshake()
                                    : 0);
    SetMissingScript(scriptPresent || script.isEmpty() ? QString() : script);
    SetUnmappedPort(port_->currentData(kKeptRole).toBool() ? PortName() : QString());
}

void ServiceModemPage::Read(ServiceFields& fields) const {
    fields.modemName = vorla::ToWindows1252(modem_->currentText());
    fields.modemInit = vorla::ToWindows1252(init_->text());
    fields.port = vorla::ToWindows1252(PortName());
    fields.dialMode = dial_->currentIndex();
    fields.parity = parity_->currentIndex();
    fields.handshake = handshake_->currentIndex();
    fields.scriptFile = vorla::ToWindows1252(script_->currentText());
    fields.permanentLineID = 0;
    if (telephony_ && PortName() == QLatin1String(kTapiPort)) {
        const int index = modem_->currentIndex();
        const size_t line = index >= 0 ? static_cast<size_t>(modem_->itemData(index).toInt()) : lines_.size();
        if (line < lines_.size()) {
            fields.permanentLineID = static_cast<int32_t>(lines_[line].permanentLineId);
            // The device's own name, without what tells identical ones apart in the list.
            fields.modemName = lines_[line].name;
        }
    }
}

void ServiceModemPage::StoreDefaults() {
    vorla::ISettingsStore& settings = app_.Settings();
    ServiceFields fields;
    Read(fields);
    WriteSetting(settings, vorla::setting::kModem, fields.modemName);
    WriteSetting(settings, vorla::setting::kModemInit, fields.modemInit);
    WriteSetting(settings, vorla::setting::kModemPort, fields.port);
    WriteSetting(settings, vorla::setting::kParity, vorla::ToWindows1252(parity_->currentText()));
    WriteSetting(settings, vorla::setting::kHandshake, vorla::ToWindows1252(handshake_->currentText()));
    WriteSetting(settings, vorla::setting::kDialMode, vorla::ToWindows1252(dial_->currentText()));
    WriteSetting(settings, vorla::setting::kCurrentRKL, fields.scriptFile);
    WriteSetting(settings, vorla::setting::kIsTAPI, telephony_ ? 1 : 0);
    if (telephony_) WriteSetting(settings, vorla::setting::kPermanentLineID, fields.permanentLineID);
}

void ServiceModemPage::OpenPortsDialog() {
    ServicePortsDialog::DeviceLister lister = seams_.serialDevices;
    if (!lister) lister = [] { return ListSerialDevices(); };
    ServicePortsDialog dialog(app_.Settings(), lister, this);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString chosen = PortName();
    {
        Filling filling(filling_);
        FillPorts();
        // The same port by name, never the item that now stands where it stood.
        SelectPort(chosen, /*keep=*/true);
    }
    SetUnmappedPort(port_->currentData(kKeptRole).toBool() ? PortName() : QString());
    emit Changed();
}
