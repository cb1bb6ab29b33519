#pragma once
// What Subscriber, Group and Message Maintenance share: an entry area, the list of the
// directory's records with a find field, a live counter, and Save, Delete and Close with the
// same rules. A successful Save or Delete marks the directory changed; Close then saves it
// (and, for subscribers and groups, has the message form rebuild its recipient list).

#include <QDialog>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>

#include "ui/app/vorla_pro_app.h"
#include "ui/maintenance/find_filter.h"
#include "ui/maintenance/maintenance_prompts.h"

class QAbstractItemModel;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTimer;
class RecordRows;

class MaintenanceDialog : public QDialog {
    Q_OBJECT
public:
    MaintenanceDialog(CVorlaPro5App& app, const QString& title, QWidget* parent);

    MaintenancePrompts& Prompts() { return prompts_; }
    bool Modified() const { return modified_; }
    QPushButton* SaveButton() const { return save_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* CloseButton() const { return close_; }
    QLineEdit* FindField() const { return find_; }

    // The Close button and Esc: asks about an unsaved entry first; false when the dialog
    // stays open.
    bool CloseDialog();
    void reject() override { CloseDialog(); }

protected:
    virtual void Save() = 0;
    virtual void Delete() = 0;
    // Settings the dialog keeps when it closes.
    virtual void StoreSettings() {}
    // Whether the message form shows what this dialog changes.
    virtual bool FormShowsChanges() const { return true; }

    void SetModified() { modified_ = true; }
    // A bold font for labels and group boxes (at least 9 points).
    QFont BoldFont() const;
    // Tool tips on the controls when "OtherTips" is on.
    void SetTip(QWidget* control, const QString& tip);
    // Keeps `label` showing `text` with %1 as the model's row count while the dialog is open,
    // looking every 250 ms and writing only when the count changed.
    void StartCounter(QLabel* label, const QString& text, const QAbstractItemModel* model);
    // The record a Save modifies: the one selected row when the Alert answer is Modify; null
    // (add) otherwise, and without asking when not exactly one row is selected.
    template <class Record>
    Record* RecordToModify(const FindFilter& filter) {
        auto* one = dynamic_cast<Record*>(filter.Single());
        return one && AskModify() ? one : nullptr;
    }
    bool AskModify();
    // False, with the refusal shown, when a field holds a character the directory cannot
    // store; each field is its name for the user ("name") and its text.
    bool Storable(std::initializer_list<std::pair<QString, QString>> fields);
    // What follows a Save into the store: `refusal` shown when it refused (`saved` null, and
    // false); else the directory marked changed and the rows brought up to date.
    bool AfterSave(const void* saved, bool modified, RecordRows& rows, const std::string& refusal);
    // Asks "Are you sure..." for `count` items.
    bool ConfirmDelete(int count);
    QWidget* MakeButtons();
    // The layout of a window with one list, top to bottom: the entry area, what stands above
    // the list (its label, the find field), the list, and the counter beside the buttons.
    void LayOutWithList(QWidget* entry, QLayout* listHead, QWidget* list, QWidget* counter);

    CVorlaPro5App& app_;
    // The window's rows, entry area and selections point at records: while it is open, the
    // bus may not free or add any (see docs/automation.md).
    DirectoryHold hold_;
    MaintenancePrompts prompts_;
    QPushButton* save_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* close_ = nullptr;
    QLineEdit* find_ = nullptr;

private:
    bool modified_ = false;
    bool tips_ = true;
    QTimer* counter_ = nullptr;
};
