#include "ui/maintenance/subscriber_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "directory/subscriber_order.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/maintenance/find_filter.h"
#include "ui/maintenance/progress_window.h"
#include "ui/maintenance/record_views.h"
#include "ui/maintenance/subscriber_model.h"

namespace {

constexpr std::string_view kListSection = vorla::setting::kSubscriberListSection;
const std::vector<int> kDefaultWidths = {100, 70, 40, 100};

// Digits and control keys pass; any other character is refused with a beep.
class DigitKeys : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            if (!text.isEmpty() && text.at(0).isPrint() && !text.at(0).isDigit()) {
                QApplication::beep();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

QValidator* DigitsOnly(QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}

}  // namespace

SubscriberDialog::SubscriberDialog(CVorlaPro5App& app, QWidget* parent)
    : MaintenanceDialog(app, QStringLiteral("Subscriber Maintenance"), parent) {
    BuildForm();
    Fill();
    FillCharacters();
    FillServices();
    StartCounter(counter_, QStringLiteral("Total Subscribers: %1"), model_);
    UpdateButtons();
    name_->setFocus();
}

SubscriberDialog::~SubscriberDialog() {
    views_->StoreWidths();
}

void SubscriberDialog::BuildForm() {
    auto& settings = app_.Settings();
    name_ = new QLineEdit(this);
    name_->setMaxLength(255);
    pin_ = new QLineEdit(this);
    pin_->setMaxLength(255);
    pin_->installEventFilter(new DigitKeys(pin_));
    pin_->setValidator(DigitsOnly(pin_));
    characters_ = new QComboBox(this);
    characters_->setEditable(true);
    characters_->setInsertPolicy(QComboBox::NoInsert);
    characters_->lineEdit()->setValidator(DigitsOnly(characters_));
    service_ = new QComboBox(this);

    auto* info = new QGroupBox(QStringLiteral("Subscriber Information"), this);
    // Only the title is bold: a font set on the box would pass to the fields in it.
    info->setStyleSheet(QStringLiteral("QGroupBox { font-weight: bold; }"));
    auto* form = new QFormLayout(info);
    auto addRow = [&](const QString& text, QWidget* field) {
        auto* label = new QLabel(text, info);
        label->setFont(BoldFont());
        label->setBuddy(field);
        form->addRow(label, field);
    };
    addRow(QStringLiteral("&Name:"), name_);
    addRow(QStringLiteral("&PIN:"), pin_);
    addRow(QStringLiteral("Charac&ters:"), characters_);
    addRow(QStringLiteral("Se&rvice:"), service_);

    model_ = new SubscriberModel(this);
    proxy_ = new FindProxy(model_, *model_, this);
    views_ = new RecordViews(proxy_, this);
    views_->Restore(settings, kListSection, kDefaultWidths);
    views_->SortBy(*model_);

    filter_ = new FindFilter(find_, proxy_, *model_, views_->Report()->selectionModel(), this);
    listLabel_ = new QLabel(QStringLiteral("Su&bscribers in directory:"), this);
    listLabel_->setFont(BoldFont());
    listLabel_->setBuddy(views_);
    counter_ = new QLabel(this);
    counter_->setFont(BoldFont());
    selectedCount_ = new QLabel(this);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(find_, 1);
    findRow->addWidget(selectedCount_);
    findRow->addWidget(views_->ViewButton());
    auto* listHead = new QVBoxLayout;
    listHead->addWidget(listLabel_);
    listHead->addLayout(findRow);
    LayOutWithList(info, listHead, views_, counter_);
    // The entry fields come first, in the order they stand, then the find field by the list.
    setTabOrder(service_, find_);
    resize(560, 520);

    SetTip(name_, QStringLiteral("The subscriber's name, unique in the directory"));
    SetTip(pin_, QStringLiteral("The pager's identification number (digits only)"));
    SetTip(characters_, QStringLiteral("The longest message this pager takes, in characters"));
    SetTip(service_, QStringLiteral("The paging service that reaches this pager"));
    SetTip(views_, QStringLiteral("Every subscriber in the directory; click a column to sort by it"));
    SetTip(find_, QStringLiteral("Type part of a name or PIN to narrow the list"));

    for (QLineEdit* field : {name_, pin_})
        connect(field, &QLineEdit::textChanged, this, &SubscriberDialog::UpdateButtons);
    connect(characters_->lineEdit(), &QLineEdit::textEdited, this, [this] {
        charactersTyped_ = true;
        UpdateButtons();
    });
    connect(characters_->lineEdit(), &QLineEdit::editingFinished, this,
            &SubscriberDialog::RememberTypedCharacters);
    connect(characters_, &QComboBox::currentIndexChanged, this, &SubscriberDialog::UpdateButtons);
    connect(service_, &QComboBox::currentIndexChanged, this, &SubscriberDialog::UpdateButtons);
    connect(filter_, &FindFilter::SelectionCountChanged, this, [this] {
        selectedCount_->setText(QStringLiteral("%1 selected").arg(filter_->SelectedCount()));
        UpdateButtons();
    });
    connect(filter_, &FindFilter::SelectionChanged, this, &SubscriberDialog::LoadSelection);
    for (QAbstractItemView* view : views_->Both())
        connect(view, &QAbstractItemView::pressed, this, &SubscriberDialog::LoadSelection);
}

void SubscriberDialog::Fill() {
    CObList* list = app_.GetSubscriberList();
    const size_t count = list ? list->GetCount() : 0;
    WorkProgress progress(QStringLiteral("Reading Subscribers..."), count, this);
    model_->SetList(list, [&progress](size_t done) { progress.Step(done); });
}

void SubscriberDialog::FillCharacters() {
    choices_ = LoadSplitChoices(app_.Settings(), [this](std::string_view key) {
        return app_.GetIniString("ServiceOptions", key, "*", "SERVICES.INI");
    });
    characters_->clear();
    characters_->addItem(QString());
    for (const std::string& value : choices_.Values())
        characters_->addItem(QString::fromStdString(value));
    SelectCharacters(QString::number(ReadSetting(app_.Settings(), vorla::setting::kSplit)));
}

void SubscriberDialog::SelectCharacters(const QString& value) {
    const int found = characters_->findText(value, Qt::MatchFixedString);
    characters_->setCurrentIndex(found < 0 ? 0 : found);
    // A length the list does not hold (set over the bus, imported, typed on another day) is
    // shown as it is: the empty entry would make a Save of anything else about the row erase
    // the person's split.
    if (found < 0) characters_->setEditText(value);
    charactersTyped_ = false;
    loadedCharacters_ = characters_->currentText();
}

void SubscriberDialog::FillServices() {
    service_->clear();
    if (CObList* services = app_.GetServiceList()) {
        for (Serializable* item : *services)
            if (auto* service = As<CService>(item))
                service_->addItem(vorla::FromWindows1252(service->GetName()),
                                  QVariant::fromValue<void*>(service));
    }
    service_->model()->sort(0);
    const QString preferred =
        vorla::FromWindows1252(ReadSetting(app_.Settings(), vorla::setting::kDefaultService));
    const int found = preferred.isEmpty() ? -1 : service_->findText(preferred, Qt::MatchFixedString);
    service_->setCurrentIndex(found >= 0 ? found : (service_->count() > 0 ? 0 : -1));
}

void SubscriberDialog::RememberTypedCharacters() {
    if (!charactersTyped_) return;
    const QString typed = characters_->currentText();
    if (typed.isEmpty()) return;
    choices_.Remember(typed.toStdString());
    QSignalBlocker block(characters_);
    characters_->clear();
    characters_->addItem(QString());
    for (const std::string& value : choices_.Values())
        characters_->addItem(QString::fromStdString(value));
    characters_->setCurrentIndex(characters_->findText(typed));
    // Still counts as typed: Save stays enabled for a row whose length alone changed.
    charactersTyped_ = true;
}

void SubscriberDialog::SelectSubscribers(const std::vector<CSubscriber*>& subscribers) {
    filter_->Select(std::vector<Serializable*>(subscribers.begin(), subscribers.end()));
}

void SubscriberDialog::LoadSelection() {
    if (CSubscriber* one = As<CSubscriber>(filter_->Single())) {
        name_->setText(vorla::FromWindows1252(one->GetName()));
        pin_->setText(vorla::FromWindows1252(one->GetPIN()));
        SelectCharacters(QString::fromStdString(one->GetMaxLength()));
        const int found = service_->findData(QVariant::fromValue<void*>(one->GetService()));
        if (found >= 0) service_->setCurrentIndex(found);
    }
    UpdateButtons();
}

void SubscriberDialog::UpdateButtons() {
    // The directory's rules, the same the automation interface applies.
    const bool complete = !NameRefusal(vorla::ToWindows1252(name_->text())) &&
                          !PinRefusal(vorla::ToWindows1252(pin_->text())) &&
                          !MaxLengthRefusal(characters_->currentText().toStdString()) &&
                          service_->currentIndex() >= 0;
    bool unchanged = false;
    if (CSubscriber* one = As<CSubscriber>(filter_->Single())) {
        unchanged = name_->text() == vorla::FromWindows1252(one->GetName()) &&
                    pin_->text() == vorla::FromWindows1252(one->GetPIN()) &&
                    service_->currentData().value<void*>() == one->GetService() && !charactersTyped_ &&
                    // A value picked from the list changes the row as much as one typed.
                    characters_->currentText() == loadedCharacters_;
    }
    save_->setEnabled(complete && !unchanged);
    delete_->setEnabled(filter_->SelectedCount() > 0);
}

void SubscriberDialog::Save() {
    if (!Storable({{QStringLiteral("name"), name_->text()}, {QStringLiteral("PIN"), pin_->text()}})) return;
    RememberTypedCharacters();
    CSubscriber* existing = RecordToModify<CSubscriber>(*filter_);
    SubscriberEntry entry;
    entry.name = vorla::ToWindows1252(name_->text());
    entry.pin = vorla::ToWindows1252(pin_->text());
    entry.maxLength = characters_->currentText().toStdString();
    entry.service = static_cast<CService*>(service_->currentData().value<void*>());
    // A refused Modify leaves the record and its row exactly as they were.
    CSubscriber* saved = SaveSubscriber(app_.Store(), existing, entry);
    if (!AfterSave(saved, existing, *model_, DuplicateSubscriberText(entry.name))) return;
    charactersTyped_ = false;
    SelectSubscribers({saved});
}

void SubscriberDialog::Delete() {
    const std::vector<CSubscriber*> doomed = filter_->SelectedAs<CSubscriber>();
    if (!ConfirmDelete(static_cast<int>(doomed.size()))) return;
    SetModified();
    // The rows go first: the progress window lets the list paint while the records are freed.
    model_->Remove(doomed);
    WorkProgress progress(QStringLiteral("Deleting Subscribers..."), doomed.size(), this);
    DeleteSubscribers(app_.Store(), doomed, [&progress](size_t done) { progress.Step(done); });
    // The form's recipient rows of these people are gone: it must not draw them again.
    app_.NotifyDirectoryChanged();
    UpdateButtons();
}

void SubscriberDialog::StoreSettings() {
    RememberTypedCharacters();
    StoreSplitChoices(app_.Settings(), choices_, characters_->currentText().toStdString(),
                      vorla::ToWindows1252(service_->currentText()));
}
