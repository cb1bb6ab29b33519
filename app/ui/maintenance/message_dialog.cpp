#include "ui/maintenance/message_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/directory_rules.h"
#include "directory/message.h"
#include "text/windows1252.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/maintenance/find_filter.h"
#include "ui/maintenance/progress_window.h"
#include "ui/maintenance/record_list_model.h"
#include "ui/spelling/spell_check_session.h"

MessageDialog::MessageDialog(CVorlaPro5App& app, QWidget* parent)
    : MaintenanceDialog(app, QStringLiteral("Message Maintenance"), parent) {
    text_ = new QPlainTextEdit(this);
    text_->setTabChangesFocus(true);
    length_ = new QLabel(QStringLiteral("0"), this);
    spell_ = new QPushButton(QStringLiteral("Spell C&heck"), this);
    time_ = new QPushButton(QStringLiteral("Insert Current &Time"), this);
    date_ = new QPushButton(QStringLiteral("Insert Current &Date"), this);
    for (QPushButton* button : {spell_, time_, date_})
        button->setAutoDefault(false);
    model_ = new RecordListModel(
        [](const Serializable& r) -> const std::string& { return static_cast<const CMessage&>(r).GetText(); },
        this);
    proxy_ = new FindProxy(model_, *model_, this);
    list_ = new QListView(this);
    list_->setModel(proxy_);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setUniformItemSizes(true);
    filter_ = new FindFilter(find_, proxy_, *model_, list_->selectionModel(), this);
    counter_ = new QLabel(this);
    counter_->setFont(BoldFont());

    auto label = [this](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text, this);
        l->setFont(BoldFont());
        l->setBuddy(buddy);
        return l;
    };
    auto* tools = new QHBoxLayout;
    tools->addWidget(length_);
    tools->addStretch(1);
    for (QPushButton* button : {spell_, time_, date_})
        tools->addWidget(button);
    auto* layout = new QGridLayout(this);
    layout->addWidget(label(QStringLiteral("&Message:"), text_), 0, 0);
    layout->addWidget(text_, 1, 0);
    layout->addLayout(tools, 2, 0);
    layout->addWidget(label(QStringLiteral("Messa&ges:"), list_), 3, 0);
    layout->addWidget(find_, 4, 0);
    layout->addWidget(list_, 5, 0);
    layout->addWidget(counter_, 6, 0);
    layout->addWidget(MakeButtons(), 7, 0);
    layout->setRowStretch(5, 1);
    resize(560, 480);
    // The entry first (the text and its buttons), then the find field by the list.
    setTabOrder(date_, find_);

    SetTip(text_, QStringLiteral("The text of the preset message"));
    SetTip(time_, QStringLiteral("Puts the time of sending into the message"));
    SetTip(date_, QStringLiteral("Puts the date of sending into the message"));
    SetTip(list_, QStringLiteral("Every preset message in the directory"));

    {
        CObList* messages = app_.GetPresetMessageList();
        WorkProgress progress(QStringLiteral("Reading Messages..."), messages ? messages->GetCount() : 0,
                              this);
        model_->SetList(messages, [&progress](size_t done) { progress.Step(done); });
    }
    connect(text_, &QPlainTextEdit::textChanged, this, [this] {
        length_->setText(QString::number(text_->toPlainText().size()));
        UpdateButtons();
    });
    connect(time_, &QPushButton::clicked, this, [this] { text_->insertPlainText(QStringLiteral("<TIME>")); });
    connect(date_, &QPushButton::clicked, this, [this] { text_->insertPlainText(QStringLiteral("<DATE>")); });
    connect(spell_, &QPushButton::clicked, this, &MessageDialog::SpellCheck);
    connect(filter_, &FindFilter::SelectionCountChanged, this, &MessageDialog::UpdateButtons);
    connect(filter_, &FindFilter::SelectionChanged, this, &MessageDialog::LoadSelection);
    connect(list_, &QAbstractItemView::pressed, this, &MessageDialog::LoadSelection);
    StartCounter(counter_, QStringLiteral("Total Messages: %1"), model_);
    UpdateButtons();
    text_->setFocus();
}

void MessageDialog::LoadSelection() {
    if (CMessage* one = As<CMessage>(filter_->Single()))
        text_->setPlainText(vorla::FromWindows1252(one->GetText()));
    else
        text_->clear();
    UpdateButtons();
}

void MessageDialog::UpdateButtons() {
    const QString text = text_->toPlainText();
    CMessage* one = As<CMessage>(filter_->Single());
    save_->setEnabled(!RequiredTextRefusal(vorla::ToWindows1252(text)) &&
                      !(one && text == vorla::FromWindows1252(one->GetText())));
    delete_->setEnabled(filter_->SelectedCount() > 0);
}

void MessageDialog::SpellCheck() {
    SpellCheckSession session(app_.Settings(), *text_, this);
    const QString result = session.Run();
    if (!result.isEmpty()) prompts_.stop(result);  // empty: the user cancelled
}

void MessageDialog::Save() {
    if (!Storable({{QStringLiteral("message"), text_->toPlainText()}})) return;
    CMessage* existing = RecordToModify<CMessage>(*filter_);
    CMessage* saved = SaveMessage(app_.Store(), existing, vorla::ToWindows1252(text_->toPlainText()));
    if (!AfterSave(saved, existing, *model_, DuplicateMessageText())) return;
    filter_->Select({saved});
}

void MessageDialog::Delete() {
    const std::vector<CMessage*> doomed = filter_->SelectedAs<CMessage>();
    if (!ConfirmDelete(static_cast<int>(doomed.size()))) return;
    SetModified();
    WorkProgress progress(QStringLiteral("Deleting Messages..."), doomed.size(), this);
    DeleteMessages(app_.Store(), doomed, [&progress](size_t done) { progress.Step(done); });
    model_->Reload();
    LoadSelection();
}
