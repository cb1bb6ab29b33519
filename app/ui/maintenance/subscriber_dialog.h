#pragma once
// Subscriber Maintenance: name, PIN (digits only), Characters (the message length) and
// service of a subscriber; the directory's subscribers in one of four views (icons, report,
// small icons, list) over one model, sortable by clicking a column.

#include <memory>

#include "maintenance_dialog.h"
#include "split_choices.h"
#include "view_type_menu.h"

class CSubscriber;
class FindFilter;
class FindProxy;
class QComboBox;
class QLabel;
class QListView;
class QStackedWidget;
class QTreeView;
class SubscriberModel;
class ViewTypeMenu;

class SubscriberDialog : public MaintenanceDialog {
    Q_OBJECT
public:
    enum ViewType { kIcons = ViewTypeMenu::kIcons, kReport = ViewTypeMenu::kReport,
                    kSmallIcons = ViewTypeMenu::kSmallIcons, kList = ViewTypeMenu::kList };
    explicit SubscriberDialog(CVorlaPro5App& app, QWidget* parent = nullptr);
    ~SubscriberDialog() override;

    QLineEdit* NameField() const { return name_; }
    QLineEdit* PinField() const { return pin_; }
    QComboBox* CharactersChoice() const { return characters_; }
    QComboBox* ServiceChoice() const { return service_; }
    QTreeView* ReportView() const { return report_; }
    QListView* IconView() const { return icons_; }
    ViewTypeMenu* ViewMenu() const { return viewMenu_; }
    QLabel* CounterLabel() const { return counter_; }
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
    // Shows the list as icons, report, small icons or list (any other number: report).
    void ShowViewType(int type);
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
    QStackedWidget* views_ = nullptr;
    QTreeView* report_ = nullptr;
    QListView* icons_ = nullptr;
    QLabel* listLabel_ = nullptr;
    ViewTypeMenu* viewMenu_ = nullptr;
    QLabel* counter_ = nullptr;
    QLabel* selectedCount_ = nullptr;
    SubscriberModel* model_ = nullptr;
    FindProxy* proxy_ = nullptr;
    FindFilter* filter_ = nullptr;
    SplitChoices choices_;
    int viewType_ = kReport;
    int shownCount_ = -1;
    bool charactersTyped_ = false;
};
