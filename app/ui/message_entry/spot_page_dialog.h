#pragma once
// The Spot Page dialog: a pager PIN and the service to reach it through.

#include <QDialog>

class CObList;
class QComboBox;
class QDialogButtonBox;
class QLineEdit;

class SpotPageDialog : public QDialog {
    Q_OBJECT
public:
    SpotPageDialog(const CObList* services, QWidget* parent = nullptr);
    QString Pin() const;
    // Index of the chosen service in the service list; -1 when there is none.
    int ServiceIndex() const;
    QLineEdit* PinField() const { return pin_; }
    QComboBox* ServiceChoice() const { return services_; }

private:
    void UpdateOk();
    QLineEdit* pin_ = nullptr;
    QComboBox* services_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
