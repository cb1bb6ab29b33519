#pragma once
// Message Maintenance: the preset messages the message form can insert, with "<TIME>" and
// "<DATE>" tokens that are filled in when a message is used.

#include "ui/maintenance/maintenance_dialog.h"

class CMessage;
class FindFilter;
class FindProxy;
class QLabel;
class QListView;
class QPlainTextEdit;
class RecordListModel;

class MessageDialog : public MaintenanceDialog {
    Q_OBJECT
public:
    explicit MessageDialog(CVorlaPro5App& app, QWidget* parent = nullptr);

    QPlainTextEdit* TextField() const { return text_; }
    QListView* MessageList() const { return list_; }
    FindFilter* Filter() const { return filter_; }
    QLabel* LengthLabel() const { return length_; }
    QPushButton* TimeButton() const { return time_; }
    QPushButton* DateButton() const { return date_; }

protected:
    void Save() override;
    void Delete() override;
    bool FormShowsChanges() const override { return false; }

private:
    void LoadSelection();
    void UpdateButtons();
    void SpellCheck();

    QPlainTextEdit* text_ = nullptr;
    QLabel* length_ = nullptr;
    QPushButton* spell_ = nullptr;
    QPushButton* time_ = nullptr;
    QPushButton* date_ = nullptr;
    QListView* list_ = nullptr;
    QLabel* counter_ = nullptr;
    RecordListModel* model_ = nullptr;
    FindProxy* proxy_ = nullptr;
    FindFilter* filter_ = nullptr;
};
