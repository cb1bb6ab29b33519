#include "ui/maintenance/service_ports_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"

namespace {
QString Describe(const SerialDevice& device) {
    QStringList parts;
    for (const QString& part : {device.description, device.manufacturer})
        if (!part.isEmpty()) parts << part;
    if (!device.serialNumber.isEmpty()) parts << QStringLiteral("serial %1").arg(device.serialNumber);
    if (device.path != device.systemPath) parts << device.systemPath;
    return parts.join(QStringLiteral(", "));
}
}  // namespace

ServicePortsDialog::ServicePortsDialog(vorla::ISettingsStore& settings, DeviceLister lister, QWidget* parent)
    : QDialog(parent), settings_(settings), lister_(std::move(lister)) {
    setWindowTitle(QStringLiteral("Ports"));
    auto* intro = new QLabel(QStringLiteral("Choose the device each port stands for, or type its path. "
                                            "An empty entry uses the default device."),
                             this);
    intro->setWordWrap(true);
    auto* table = new QWidget(this);
    grid_ = new QGridLayout(table);
    grid_->addWidget(new QLabel(QStringLiteral("<b>Port</b>"), table), 0, 0);
    grid_->addWidget(new QLabel(QStringLiteral("<b>Device</b>"), table), 0, 1);
    grid_->addWidget(new QLabel(QStringLiteral("<b>Found</b>"), table), 0, 2);
    grid_->setColumnStretch(1, 1);
    grid_->setColumnStretch(2, 1);
    grid_->setRowStretch(1000, 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(table);
    scroll->setWidgetResizable(true);

    add_ = new QPushButton(QStringLiteral("&Add Port"), this);
    auto* rescan = new QPushButton(QStringLiteral("&Look Again"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(add_, QDialogButtonBox::ActionRole);
    buttons->addButton(rescan, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(add_, &QPushButton::clicked, this, [this] {
        const int next = rows_.empty() ? 1 : rows_.back().port.mid(3).toInt() + 1;
        if (next <= kMaxPortNumber) AddRow(next);
        add_->setEnabled(next < kMaxPortNumber);
    });
    connect(rescan, &QPushButton::clicked, this, &ServicePortsDialog::Rescan);
    add_->setToolTip(QStringLiteral("Add the next port name"));
    rescan->setToolTip(QStringLiteral("List the serial devices again (after plugging one in)"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(scroll, 1);
    layout->addWidget(buttons);

    devices_ = lister_ ? lister_() : std::vector<SerialDevice>{};
    for (int n = 1; n <= kStandardPorts; ++n)
        AddRow(n);
    for (int n : MappedExtraPorts(settings_)) {
        while (rows_.back().port.mid(3).toInt() + 1 < n)
            AddRow(rows_.back().port.mid(3).toInt() + 1);
        AddRow(n);
    }
    resize(640, 320);
}

void ServicePortsDialog::AddRow(int number) {
    Row row;
    row.port = QStringLiteral("COM%1").arg(number);
    row.stored = PortMapping(settings_, row.port);
    auto* label = new QLabel(row.port, grid_->parentWidget());
    row.device = new QComboBox(grid_->parentWidget());
    row.device->setEditable(true);
    row.device->setInsertPolicy(QComboBox::NoInsert);
    // What an empty entry stands for: the default device.
    row.device->lineEdit()->setPlaceholderText(QStringLiteral("/dev/ttyS%1").arg(number - 1));
    row.device->setObjectName(row.port);
    label->setBuddy(row.device);
    row.status = new QLabel(grid_->parentWidget());
    row.status->setWordWrap(true);
    FillDevices(row);
    const int line = static_cast<int>(rows_.size()) + 1;
    grid_->addWidget(label, line, 0);
    grid_->addWidget(row.device, line, 1);
    grid_->addWidget(row.status, line, 2);
    rows_.push_back(row);
    const size_t index = rows_.size() - 1;
    connect(row.device, &QComboBox::currentTextChanged, this, [this, index] { UpdateStatus(rows_[index]); });
    UpdateStatus(rows_[index]);
}

void ServicePortsDialog::FillDevices(Row& row) {
    const QString text = row.device->count() ? row.device->currentText() : row.stored;
    QSignalBlocker block(row.device);
    row.device->clear();
    row.device->addItem(QString());
    for (const SerialDevice& device : devices_) {
        row.device->addItem(device.path);
        row.device->setItemData(row.device->count() - 1, Describe(device), Qt::ToolTipRole);
    }
    const int found = row.device->findText(text);
    if (found >= 0)
        row.device->setCurrentIndex(found);
    else
        row.device->setEditText(text);
}

void ServicePortsDialog::UpdateStatus(Row& row) {
    const QString path = row.device->currentText().trimmed();
    const QString device = path.isEmpty() ? row.device->lineEdit()->placeholderText() : path;
    QString text;
    for (const SerialDevice& known : devices_)
        if (known.path == device || known.systemPath == device) text = Describe(known);
    const bool missing = !device.isEmpty() && DeviceMissing(device);
    if (missing)
        text = QStringLiteral("Missing: %1 is not there").arg(device);
    else if (text.isEmpty() && !device.isEmpty())
        text = QStringLiteral("Present");
    row.status->setText(text);
    row.status->setStyleSheet(missing ? QStringLiteral("color: #b00000;") : QString());
}

void ServicePortsDialog::Rescan() {
    devices_ = lister_ ? lister_() : std::vector<SerialDevice>{};
    for (Row& row : rows_) {
        FillDevices(row);
        UpdateStatus(row);
    }
}

void ServicePortsDialog::accept() {
    for (const Row& row : rows_) {
        const QString path = row.device->currentText().trimmed();
        if (path == row.stored) continue;
        settings_.WriteProfileString(vorla::setting::kPortsSection, vorla::ToWindows1252(row.port),
                                     vorla::ToWindows1252(path));
    }
    QDialog::accept();
}
