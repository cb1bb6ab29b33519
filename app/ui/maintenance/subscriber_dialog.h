#pragma once
// Subscriber Maintenance: name, PIN (digits only), Characters (the message length) and
// service of a subscriber; the directory's subscribers in one of four views (icons, report,
// small icons, list) over one model, sortable by clicking a column.

#include <memory>

#include "directory/split_choices.h"
#include "ui/maintenance/maintenance_dialog.h"

class CSubscriber;
class FindFilter;
class FindProxy;
class QComboBox;
class QLabel;
class RecordViews;
class SubscriberModel;

class SubscriberDialog : public MaintenanceDialog {
    Q_OBJECT
public:
    explicit SubscriberDialog(CVorlaPro5App& app, QWidget* parent = nullptr);
    ~SubscriberDialog() override;

    QLineEdit* NameField() const { return name_; }
    QLineEdit* PinField() const { return pin_; }
    QComboBox* CharactersChoice() const { return characters_; }
    QComboBox* ServiceChoice() const { return service_; }
    RecordViews* Views() const { return views_; }
    QLabel* CounterLabel() const { return counter_; }
    QLabel* SelectedLabel() const { return selectedCount_; }
    SubscriberModel* Model() const { return model_; }
    FindFilter* Filter() const { return filter_; }
    // Selects exactly these subscribers and loads the entry area as a click does.
    void SelectSubscribers(const std::vector<CSubscriber*>& subscribers);

protected:
    void Save() override;
    void Delete() override;
    void StoreSettings() override;

private:
    void BuildForm();
    void Fill();
    void FillCharacters();
    void FillServices();
    void LoadSelection();
    void UpdateButtons();
    void RememberTypedCharacters();
    void SelectCharacters(const QString& value);

    QLineEdit* name_ = nullptr;
    QLineEdit* pin_ = nullptr;
    QComboBox* characters_ = nullptr;
    QComboBox* service_ = nullptr;
    RecordViews* views_ = nullptr;
    QLabel* listLabel_ = nullptr;
    QLabel* counter_ = nullptr;
    QLabel* selectedCount_ = nullptr;
    SubscriberModel* model_ = nullptr;
    FindProxy* proxy_ = nullptr;
    FindFilter* filter_ = nullptr;
    SplitChoices choices_;
    bool charactersTyped_ = false;
    QString loadedCharacters_;  // what Characters showed when the row was loaded
};
