#pragma once
// The Alert question before a Save: Modify ends the dialog accepted, Add rejected.

#include <QDialog>

class AlertDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kSaveQuestion =
        "An item is currently selected. Do you wish to Add this as a new entry or Modify the current "
        "selection?";
    explicit AlertDialog(const QString& text, QWidget* parent = nullptr);
};
