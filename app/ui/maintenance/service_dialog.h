#pragma once
// Service Maintenance: the directory's paging services in a list (six columns, four view
// types, sortable by a click on a column) and a two-page editor below for the service being
// added or changed. Save adds or modifies (asking which when one service is selected),
// Delete removes the services no subscriber uses, Close keeps the editor's values as the
// defaults of the next new service.

#include "ui/maintenance/maintenance_dialog.h"
#include "ui/maintenance/service_pages.h"

class CService;
class FindFilter;
class FindProxy;
class QLabel;
class QTabWidget;
class RecordViews;
class ServiceModel;

class ServiceDialog : public MaintenanceDialog {
    Q_OBJECT
public:
    explicit ServiceDialog(CVorlaPro5App& app, QWidget* parent = nullptr, ServiceSeams seams = {});

    ServiceSettingsPage* SettingsPage() const { return settingsPage_; }
    ServiceModemPage* ModemPage() const { return modemPage_; }
    QTabWidget* Tabs() const { return tabs_; }
    RecordViews* Views() const { return views_; }
    ServiceModel* Model() const { return model_; }
    FindFilter* Filter() const { return filter_; }
    QLabel* TotalLabel() const { return total_; }
    // Selects exactly these services and shows them as a click does.
    void SelectServices(const std::vector<CService*>& services);

protected:
    void Save() override;
    void Delete() override;
    void StoreSettings() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildForm();
    void ResetForm();
    void ShowSelection();
    void UpdateButtons();
    void UpdateTotal();
    ServiceFields ReadForm() const;

    ServiceSettingsPage* settingsPage_ = nullptr;
    ServiceModemPage* modemPage_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    RecordViews* views_ = nullptr;
    ServiceModel* model_ = nullptr;
    FindProxy* proxy_ = nullptr;
    FindFilter* filter_ = nullptr;
    QLabel* total_ = nullptr;
    ServiceSeams seams_;
    // Set while the program fills the form: those changes do not count as the user's.
    bool loading_ = false;
};
