#include "ui/maintenance/service_dialog.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/directory_rules.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/maintenance/find_filter.h"
#include "ui/maintenance/progress_window.h"
#include "ui/maintenance/record_views.h"
#include "ui/maintenance/service_model.h"

namespace {
constexpr std::string_view kListSection = vorla::setting::kServiceListSection;
const std::vector<int> kDefaultWidths = {88, 88, 44, 40, 128, 95};

// Clears the flag it set when the scope ends, however it ends.
class Loading {
public:
    explicit Loading(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~Loading() { flag_ = was_; }
    Loading(const Loading&) = delete;
    Loading& operator=(const Loading&) = delete;

private:
    bool& flag_;
    bool was_;
};
}  // namespace

ServiceDialog::ServiceDialog(CVorlaPro5App& app, QWidget* parent, ServiceSeams seams)
    : MaintenanceDialog(app, QStringLiteral("Service Maintenance"), parent), seams_(std::move(seams)) {
    Loading loading(loading_);
    BuildForm();
    CObList* list = app_.GetServiceList();
    WorkProgress progress(QStringLiteral("Reading Services..."), list ? list->GetCount() : 0, this);
    model_->SetList(list, [&progress](size_t done) { progress.Step(done); });
    ResetForm();
}

void ServiceDialog::BuildForm() {
    auto* info = new QGroupBox(QStringLiteral("Service Information"), this);
    // Only the title is bold: a font set on the box would pass to the fields in it.
    info->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; }"));
    tabs_ = new QTabWidget(info);
    settingsPage_ = new ServiceSettingsPage(app_, tabs_);
    modemPage_ = new ServiceModemPage(app_, prompts_, seams_, tabs_);
    tabs_->addTab(settingsPage_, QStringLiteral("Service Settings"));
    tabs_->addTab(modemPage_, QStringLiteral("Modem Settings"));
    auto* infoLayout = new QVBoxLayout(info);
    infoLayout->addWidget(tabs_);

    model_ = new ServiceModel(this);
    proxy_ = new FindProxy(model_, *model_, this);
    views_ = new RecordViews(proxy_, this);
    views_->Restore(app_.Settings(), kListSection, kDefaultWidths);
    views_->SortBy(*model_);
    filter_ = new FindFilter(find_, proxy_, *model_, views_->Report()->selectionModel(), this);
    auto* listLabel = new QLabel(QStringLiteral("Services in Directory"), this);
    listLabel->setFont(BoldFont());
    total_ = new QLabel(this);
    total_->setFont(BoldFont());

    auto* listHead = new QHBoxLayout;
    listHead->addWidget(listLabel, 1);
    listHead->addWidget(find_);
    listHead->addWidget(views_->ViewButton());
    LayOutWithList(info, listHead, views_, total_);
    resize(620, 600);

    SetTip(views_, QStringLiteral("List of services in database"));
    SetTip(save_, QStringLiteral("Click if everythings ok"));
    SetTip(delete_, QStringLiteral("Click to delete"));
    SetTip(close_, QStringLiteral("Click to close/cancel"));
    static const char* const kPageTips[] = {"Name of Paging Service Provider",
                                            "Modem line phone number to paging terminal",
                                            "Number to dial prior to Access Number",
                                            "Password if required for paging terminal",
                                            "Baud rate of paging terminal's modem",
                                            "Your modem type",
                                            "Modem Initialization String for your modem",
                                            "COM Port of your modem",
                                            "Your telephone dial setting",
                                            "The parity of the paging terminal",
                                            "The handshake setting for your modem",
                                            "The Telecommunications Script File to use"};
    const QList<QWidget*> controls = settingsPage_->Controls() + modemPage_->Controls();
    for (qsizetype i = 0; i < controls.size(); ++i)
        SetTip(controls[i], QString::fromLatin1(kPageTips[i]));
    SetTip(modemPage_->PortsButton(), QStringLiteral("Choose the device behind each port"));

    for (QAbstractItemView* view : views_->Both())
        view->installEventFilter(this);
    connect(settingsPage_, &ServiceSettingsPage::Changed, this, &ServiceDialog::UpdateButtons);
    connect(modemPage_, &ServiceModemPage::Changed, this, &ServiceDialog::UpdateButtons);
    connect(filter_, &FindFilter::SelectionCountChanged, this, &ServiceDialog::UpdateButtons);
    connect(filter_, &FindFilter::SelectionChanged, this, &ServiceDialog::ShowSelection);
}

bool ServiceDialog::eventFilter(QObject* watched, QEvent* event) {
    // Looked at once the focus has settled: a tab change passes the focus through the list on
    // its way to the new page, and that must not replace what the user typed with a service.
    if (event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, this, [this] {
            if (!views_->Current()->hasFocus() || filter_->SelectedCount() != 0 || proxy_->rowCount() == 0)
                return;
            views_->Current()->setCurrentIndex(proxy_->index(0, 0));
            filter_->Select({model_->RecordAt(proxy_->mapToSource(proxy_->index(0, 0)).row())});
        });
    return MaintenanceDialog::eventFilter(watched, event);
}

void ServiceDialog::SelectServices(const std::vector<CService*>& services) {
    filter_->Select(std::vector<Serializable*>(services.begin(), services.end()));
}

void ServiceDialog::ShowSelection() {
    {
        Loading loading(loading_);
        if (CService* one = As<CService>(filter_->Single())) {
            settingsPage_->Show(*one);
            modemPage_->Show(*one);
        } else {
            settingsPage_->ApplyDefaults();
            modemPage_->ApplyDefaults();
        }
    }
    UpdateButtons();
}

void ServiceDialog::ResetForm() {
    {
        Loading loading(loading_);
        filter_->Select({});
        settingsPage_->ApplyDefaults();
        modemPage_->ApplyDefaults();
    }
    UpdateTotal();
    UpdateButtons();
    settingsPage_->NameField()->setFocus();
}

void ServiceDialog::UpdateTotal() {
    total_->setText(QStringLiteral("Total Services: %1").arg(model_->rowCount()));
}

ServiceFields ServiceDialog::ReadForm() const {
    ServiceFields fields;
    settingsPage_->Read(fields);
    modemPage_->Read(fields);
    return fields;
}

void ServiceDialog::UpdateButtons() {
    if (loading_) return;
    // The modem page's tab carries its warnings (a missing script, a port without a device).
    const bool warned = !modemPage_->MissingScript().isEmpty() || !modemPage_->UnmappedPort().isEmpty();
    tabs_->setTabIcon(1, warned ? style()->standardIcon(QStyle::SP_MessageBoxWarning) : QIcon());
    const int selected = filter_->SelectedCount();
    delete_->setEnabled(selected > 0);
    const ServiceFields form = ReadForm();
    const bool complete = !NameRefusal(form.name) && !RequiredTextRefusal(form.accessNumber);
    bool save = false;
    if (selected == 0) {
        save = complete;
    } else if (CService* one = As<CService>(filter_->Single())) {
        save = complete && !FormShowsService(form, one->GetAll());
    }
    save_->setEnabled(save);
}

void ServiceDialog::Save() {
    if (!Storable({{QStringLiteral("service name"), settingsPage_->NameField()->text()},
                   {QStringLiteral("access number"), settingsPage_->AccessField()->text()},
                   {QStringLiteral("password"), settingsPage_->PasswordField()->text()},
                   {QStringLiteral("modem init"), modemPage_->InitField()->text()}}))
        return;
    const ServiceFields fields = ReadForm();
    CService* existing = RecordToModify<CService>(*filter_);
    if (existing && !modemPage_->MissingScript().isEmpty() &&
        !prompts_.yesNo(
            QStringLiteral("The script file \"%1\" of this service no longer exists. Save the service "
                           "with \"%2\" instead?")
                .arg(modemPage_->MissingScript(), vorla::FromWindows1252(fields.scriptFile))))
        return;
    // A refused Modify leaves the service and its row as they were.
    CService* saved = SaveService(app_.Store(), existing, fields);
    if (!AfterSave(saved, existing, *model_, DuplicateServiceText(fields.name))) return;
    ResetForm();
}

void ServiceDialog::Delete() {
    const std::vector<CService*> doomed = filter_->SelectedAs<CService>();
    if (!ConfirmDelete(static_cast<int>(doomed.size()))) return;
    const std::vector<CService*> kept = DeleteServices(app_.Store(), doomed);
    model_->Reload();
    if (kept.size() < doomed.size()) {
        SetModified();
        // Every window that lists services shows the directory as it is now.
        app_.NotifyDirectoryChanged();
    }
    for (CService* service : kept)
        prompts_.stop(vorla::FromWindows1252(ServiceInUseText(*service)));
    ResetForm();
}

void ServiceDialog::StoreSettings() {
    views_->StoreWidths();
    settingsPage_->StoreDefaults();
    modemPage_->StoreDefaults();
}
