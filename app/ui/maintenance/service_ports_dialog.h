#pragma once
// "Ports...": which device each port name stands for. COM1 to COM4 always, more on request;
// each can be a serial device the system lists (its stable name preferred) or any typed path
// (a pseudo-terminal, a network endpoint). A mapping whose device is not there is marked.
// OK writes the changed mappings to the settings section "Ports", where the paging engine
// looks them up; an emptied one falls back to the default device.

#include <QDialog>

#include <functional>
#include <vector>

#include "ui/maintenance/serial_devices.h"

class QComboBox;
class QGridLayout;
class QLabel;
class QPushButton;

class ServicePortsDialog : public QDialog {
    Q_OBJECT
public:
    using DeviceLister = std::function<std::vector<SerialDevice>()>;
    ServicePortsDialog(vorla::ISettingsStore& settings, DeviceLister lister, QWidget* parent = nullptr);

    int PortCount() const { return static_cast<int>(rows_.size()); }
    QComboBox* DeviceChoice(int row) const { return rows_[static_cast<size_t>(row)].device; }
    QLabel* StatusLabel(int row) const { return rows_[static_cast<size_t>(row)].status; }
    QPushButton* AddButton() const { return add_; }
    void accept() override;

private:
    struct Row {
        QString port;
        QString stored;
        QComboBox* device = nullptr;
        QLabel* status = nullptr;
    };
    void AddRow(int number);
    void FillDevices(Row& row);
    void UpdateStatus(Row& row);
    void Rescan();

    vorla::ISettingsStore& settings_;
    DeviceLister lister_;
    std::vector<SerialDevice> devices_;
    std::vector<Row> rows_;
    QGridLayout* grid_ = nullptr;
    QPushButton* add_ = nullptr;
};
