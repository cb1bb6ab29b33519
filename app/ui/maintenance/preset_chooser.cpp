#include "ui/maintenance/preset_chooser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/message.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/maintenance/find_filter.h"
#include "ui/maintenance/progress_window.h"
#include "ui/maintenance/record_list_model.h"
#include "ui/message_entry/message_texts.h"

std::string ExpandPreset(const std::string& text, const vorla::ISettingsStore& settings, std::time_t now) {
    if (!HasTimeTokens(text)) return text;
    const std::string date = FormatLocalTime(ReadSetting(settings, vorla::setting::kDateFormat), now);
    const std::string time = FormatLocalTime(ReadSetting(settings, vorla::setting::kTimeFormat), now);
    return ReplaceSignatureTokens(text, date, time);
}

PresetChooser::PresetChooser(const CObList* messages, const vorla::ISettingsStore& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QStringLiteral("Preset Messages"));
    model_ = new RecordListModel(
        [](const Serializable& r) -> const std::string& { return static_cast<const CMessage&>(r).GetText(); },
        this);
    proxy_ = new FindProxy(model_, *model_, this);
    list_ = new QListView(this);
    list_->setModel(proxy_);
    list_->setUniformItemSizes(true);
    auto* find = new QLineEdit(this);
    new FindFilter(find, proxy_, *model_, list_->selectionModel(), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // Enter on a highlighted message takes it, as a double click does; the list passes Enter
    // on to the dialog too, where Cancel must not be the default that answers it.
    for (QAbstractButton* button : buttons->buttons())
        if (auto* push = qobject_cast<QPushButton*>(button)) push->setAutoDefault(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Double-Click on the message to use."), this));
    layout->addWidget(find);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(420, 320);
    {
        WorkProgress progress(QStringLiteral("Reading Messages..."), messages ? messages->GetCount() : 0,
                              this);
        model_->SetList(messages, [&progress](size_t done) { progress.Step(done); });
    }
    connect(list_, &QAbstractItemView::activated, this,
            [this](const QModelIndex& index) { Choose(index.row()); });
    list_->setFocus();
}

void PresetChooser::Choose(int row) {
    const auto* message = As<CMessage>(model_->RecordAt(proxy_->mapToSource(proxy_->index(row, 0)).row()));
    if (!message) return;
    chosen_ = ExpandPreset(message->GetText(), settings_, now_());
    accept();
}
