// Page 6: the first subscribers. They are kept in the setup data and reach the directory only
// after Finish.
#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "directory/directory_rules.h"
#include "directory/subscriber.h"
#include "text/windows1252.h"
#include "ui/wizard/express_pages.h"
#include "ui/wizard/express_property_sheet.h"
#include "ui/wizard/wizard_prompts.h"

CExpressPropertyPage6::CExpressPropertyPage6(CExpressPropertySheet& sheet) : CExpressPropertyPage(sheet) {
    auto* layout = new QGridLayout(this);
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("SubscriberName"));
    pin_ = new QLineEdit(this);
    pin_->setObjectName(QStringLiteral("SubscriberPin"));
    auto* nameLabel = new QLabel(QStringLiteral("&Subscriber Name"), this);
    nameLabel->setBuddy(name_);
    auto* pinLabel = new QLabel(QStringLiteral("Subscriber &PIN"), this);
    pinLabel->setBuddy(pin_);
    add_ = new QPushButton(QStringLiteral("&Add -->"), this);
    edit_ = new QPushButton(QStringLiteral("<-- &Edit"), this);
    delete_ = new QPushButton(QStringLiteral("&Delete"), this);
    for (QPushButton* button : {add_, edit_, delete_})
        button->setAutoDefault(false);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("NewSubscribers"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);

    layout->addWidget(nameLabel, 0, 0);
    layout->addWidget(name_, 1, 0);
    layout->addWidget(pinLabel, 2, 0);
    layout->addWidget(pin_, 3, 0);
    layout->addWidget(add_, 1, 1);
    layout->addWidget(edit_, 2, 1);
    layout->addWidget(delete_, 3, 1);
    layout->addWidget(list_, 0, 2, 5, 1);
    layout->setRowStretch(4, 1);

    connect(name_, &QLineEdit::textChanged, this, &CExpressPropertyPage6::UpdateButtons);
    connect(pin_, &QLineEdit::textChanged, this, &CExpressPropertyPage6::UpdateButtons);
    connect(list_, &QListWidget::itemSelectionChanged, this, &CExpressPropertyPage6::UpdateButtons);
    connect(add_, &QPushButton::clicked, this, &CExpressPropertyPage6::Add);
    connect(edit_, &QPushButton::clicked, this, &CExpressPropertyPage6::EditSelected);
    connect(delete_, &QPushButton::clicked, this, &CExpressPropertyPage6::DeleteSelected);
    name_->installEventFilter(this);
    pin_->installEventFilter(this);
    UpdateButtons();
}

void CExpressPropertyPage6::UpdateButtons() {
    add_->setEnabled(!name_->text().isEmpty() && !pin_->text().isEmpty());
    const int selected = static_cast<int>(list_->selectedItems().size());
    edit_->setEnabled(selected == 1);
    delete_->setEnabled(selected >= 1);
}

bool CExpressPropertyPage6::eventFilter(QObject* watched, QEvent* event) {
    // Enter adds while both fields hold text; otherwise it goes on to the wizard (Next).
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && add_->isEnabled()) {
            Add();
            return true;
        }
    }
    return CExpressPropertyPage::eventFilter(watched, event);
}

void CExpressPropertyPage6::Add() {
    if (name_->text().isEmpty() || pin_->text().isEmpty()) return;
    const std::string name = vorla::ToWindows1252(name_->text());
    ExpressSetupData& data = sheet_.Data();
    if (data.subscriberNames.count(name)) {
        sheet_.Context().prompts->Stop(this, vorla::FromWindows1252(DuplicateSubscriberText(name)));
        return;
    }
    data.newSubscribers.push_back(
        std::make_unique<CSubscriber>(name, vorla::ToWindows1252(pin_->text()), "240", nullptr));
    list_->addItem(name_->text());
    name_->clear();
    pin_->clear();
    name_->setFocus();
}

void CExpressPropertyPage6::RemoveRow(int row) {
    auto& subscribers = sheet_.Data().newSubscribers;
    if (row < 0 || row >= static_cast<int>(subscribers.size())) return;
    subscribers.erase(subscribers.begin() + row);
    delete list_->takeItem(row);
}

void CExpressPropertyPage6::EditSelected() {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.size() != 1) return;
    const int row = list_->row(selected.first());
    const CSubscriber& subscriber = *sheet_.Data().newSubscribers[row];
    name_->setText(vorla::FromWindows1252(subscriber.GetName()));
    pin_->setText(vorla::FromWindows1252(subscriber.GetPIN()));
    RemoveRow(row);
    UpdateButtons();
}

void CExpressPropertyPage6::DeleteSelected() {
    // From the last row up, so the rows still to go keep their numbers.
    for (int row = list_->count() - 1; row >= 0; --row)
        if (list_->item(row)->isSelected()) RemoveRow(row);
    UpdateButtons();
}
