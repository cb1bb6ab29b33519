#include "ui/message_entry/vorla_pro_view.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTextCursor>
#include <QVBoxLayout>

#include "archive/ob_list.h"
#include "directory/message.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/queue_page.h"
#include "settings/font_settings.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/app/command_ids.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/common/cust_toolbar.h"
#include "ui/message_entry/message_font.h"
#include "ui/message_entry/message_texts.h"
#include "ui/message_entry/selection_list.h"
#include "ui/message_entry/signature_dialog.h"
#include "ui/message_entry/spot_page_dialog.h"
#include "ui/spelling/spell_check_session.h"

namespace {
const char* const kNone = "None";

}  // namespace

void MessageEdit::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & Qt::ShiftModifier)) {
        emit EnterPressed();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

namespace {
// Marks text dragged out of a message field with that field's identity.
constexpr char kOwnTextFormat[] = "application/x-vorlapro-message-field";
}  // namespace

QMimeData* MessageEdit::createMimeDataFromSelection() const {
    QMimeData* data = QPlainTextEdit::createMimeDataFromSelection();
    data->setData(QString::fromLatin1(kOwnTextFormat), QByteArray::number(reinterpret_cast<quintptr>(this)));
    return data;
}

void MessageEdit::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    const bool own = event->source() == this || event->source() == viewport() ||
                     data->data(QString::fromLatin1(kOwnTextFormat)) ==
                         QByteArray::number(reinterpret_cast<quintptr>(this));
    // Text from elsewhere (a log record, another program) becomes the message; text dragged
    // within the field moves as in any editor. Both can be undone.
    if (!own && data->hasText()) {
        QTextCursor all(document());
        all.select(QTextCursor::Document);
        all.insertText(data->text());
        event->acceptProposedAction();
        emit TextDropped();
        return;
    }
    QPlainTextEdit::dropEvent(event);
}

CVorlaPro5View::CVorlaPro5View(CVorlaPro5App& app, QWidget* parent) : QWidget(parent), app_(app) {
    clock_ = [] { return std::time(nullptr); };
    prompts_.yesNo = [this](const QString& question) {
        return QMessageBox::question(this, QStringLiteral("Vorla Pro"), question,
                                     QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };
    prompts_.signature = [this]() -> std::optional<QString> {
        SignatureDialog dialog(QString(), this);
        return dialog.exec() == QDialog::Accepted ? std::optional<QString>(dialog.Text()) : std::nullopt;
    };
    prompts_.spotPage = [this](QString& pin, int& serviceIndex) {
        SpotPageDialog dialog(app_.GetServiceList(), this);
        if (dialog.exec() != QDialog::Accepted) return false;
        pin = dialog.Pin();
        serviceIndex = dialog.ServiceIndex();
        return true;
    };
    prompts_.textFileName = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Insert Text File"), QString(),
                                            QStringLiteral("Text Files (*.txt);;All Files (*)"));
    };
    prompts_.error = [this](const QString& text) {
        QMessageBox::critical(this, QStringLiteral("Vorla Pro"), text);
    };
    prompts_.information = [this](const QString& text) {
        QMessageBox::information(this, QStringLiteral("Vorla Pro"), text);
    };

    BuildForm();
    app_.SetMainView(this);
    auto update = [this] { UpdateCommands(); };
    connect(message_, &QPlainTextEdit::selectionChanged, this, update);
    connect(message_, &QPlainTextEdit::undoAvailable, this, update);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, update);
    // The application tells its windows; it never calls into a view.
    connect(&app_, &CVorlaPro5App::PreferencesApplied, this, &CVorlaPro5View::ApplyPreferences);
    connect(&app_, &CVorlaPro5App::StatusLineAdded, this, &CVorlaPro5View::AddStatusLine);
    connect(&app_, &CVorlaPro5App::SendingFinished, this, &CVorlaPro5View::SendingFinished);
    connect(&app_, &CVorlaPro5App::StatusLinesCleared, this, [this] {
        // A run starts: a fresh status history, and Cancel ready under the user's hand.
        status_->clear();
        cancel_->setEnabled(true);
        cancel_->setFocus();
    });
    connect(&app_, &CVorlaPro5App::DirectoryChanged, this, &CVorlaPro5View::FillSelectionList);

    auto& prefs = app_.Settings();
    signature_->setEnabled(ReadSetting(prefs, vorla::setting::kAutoSign) == 0);
    ApplyStoredFont();
    list_->SetMemberColour(QColor(ReadSetting(prefs, vorla::setting::kMLRed) & 0xFF,
                                  ReadSetting(prefs, vorla::setting::kMLGreen) & 0xFF,
                                  ReadSetting(prefs, vorla::setting::kMLBlue) & 0xFF));
    list_->Model()->SetDisplayList(app_.GetDisplayList());
    list_->Model()->Load();
    // A directory made or changed elsewhere may come without recipient rows, or with rows
    // that miss what an import from the shell added.
    if (!list_->Model()->Rows().ListsEveryRecordOnce(app_.GetSubscriberList(), app_.GetGroupList()))
        FillSelectionList();
    outgoing_->setCurrentIndex(kNow);
    ShowSpotPage(ReadSetting(prefs, vorla::setting::kSpotPage) != 0);
    UpdateCounts();
}

CVorlaPro5View::~CVorlaPro5View() {
    if (app_.GetMainView() == this) app_.SetMainView(nullptr);
    // The field's document still signals while it is torn down; the form is gone by then.
    disconnect(message_, nullptr, this, nullptr);
    disconnect(QGuiApplication::clipboard(), nullptr, this, nullptr);
}

void CVorlaPro5View::SetClock(std::function<std::time_t()> clock) {
    clock_ = std::move(clock);
    list_->SetClock([this] { return static_cast<qint64>(clock_()); });
}

std::time_t CVorlaPro5View::Now() const {
    return clock_();
}

void CVorlaPro5View::BuildForm() {
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSize(std::max(font().pointSize(), 9));
    auto boldLabel = [&](const QString& text) {
        auto* label = new QLabel(text, this);
        label->setFont(bold);
        return label;
    };

    message_ = new MessageEdit(this);
    message_->setObjectName(QStringLiteral("MessageField"));
    message_->setAcceptDrops(true);
    message_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QLabel* messageLabel = boldLabel(QStringLiteral("&Message:"));
    messageLabel->setBuddy(message_);
    count_ = new QLabel(QStringLiteral("0"), this);
    count_->setObjectName(QStringLiteral("CountLabel"));
    BuildMessageToolBar();

    list_ = new CSelectionListBox(this);
    list_->setObjectName(QStringLiteral("SelectionList"));
    list_->setFixedWidth(180);
    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("RecipientFind"));
    find_->setPlaceholderText(QStringLiteral("Find"));
    find_->setClearButtonEnabled(true);
    find_->setFixedWidth(180);
    connect(find_, &QLineEdit::textChanged, this,
            [this](const QString& text) { list_->SetFindText(vorla::ToWindows1252(text)); });
    QLabel* listLabel = boldLabel(QStringLiteral("S&ubscribers:"));
    listLabel->setBuddy(list_);
    selections_ = new QLabel(QStringLiteral("Selections: 0"), this);
    QFont small = font();
    small.setPixelSize(12);
    small.setWeight(QFont::Thin);
    selections_->setFont(small);

    spotBox_ = new QCheckBox(QStringLiteral("S&pot:"), this);
    spotBox_->setFont(bold);
    spotLabel_ = new QLabel(QString::fromLatin1(kNone), this);
    signature_ = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogDetailedView), QString(), this);
    signature_->setToolTip(QStringLiteral("Append your signature"));
    signature_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    outgoing_ = new QComboBox(this);
    outgoing_->addItems({QStringLiteral("At..."), QStringLiteral("Later"), QStringLiteral("Now")});
    QLabel* outgoingLabel = boldLabel(QStringLiteral("&Outgoing:"));
    outgoingLabel->setBuddy(outgoing_);
    send_ = new QPushButton(QStringLiteral("&Send"), this);
    send_->setObjectName(QStringLiteral("SendButton"));
    send_->setEnabled(false);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    cancel_->setEnabled(false);
    status_ = new QComboBox(this);
    status_->setObjectName(QStringLiteral("StatusList"));
    QLabel* statusLabel = boldLabel(QStringLiteral("St&atus:"));
    statusLabel->setBuddy(status_);
    logo_ = new QLabel(this);
    logo_->setFixedSize(32, 32);
    if (!app_.Logo().isNull()) {
        logo_->setPixmap(
            QPixmap::fromImage(app_.Logo()).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    } else {
        logo_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    }

    // The message field takes every extra pixel; the right-hand column keeps its width and
    // moves with the right edge; the status list keeps to the bottom and widens.
    auto* grid = new QGridLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(messageLabel);
    top->addWidget(toolBar_, 1);
    top->addWidget(count_);
    grid->addLayout(top, 0, 0);
    grid->addWidget(listLabel, 0, 1);
    grid->addWidget(message_, 1, 0, 6, 1);
    auto* listColumn = new QVBoxLayout;
    listColumn->setContentsMargins(0, 0, 0, 0);
    listColumn->addWidget(find_);
    listColumn->addWidget(list_, 1);
    grid->addLayout(listColumn, 1, 1);
    grid->addWidget(selections_, 2, 1);
    auto* spotRow = new QHBoxLayout;
    spotRow->addWidget(spotBox_);
    spotRow->addWidget(spotLabel_, 1);
    spotRow->addStretch();
    spotRow->addWidget(signature_);
    grid->addLayout(spotRow, 3, 1);
    auto* outgoingRow = new QHBoxLayout;
    outgoingRow->addWidget(outgoingLabel);
    outgoingRow->addWidget(outgoing_, 1);
    grid->addLayout(outgoingRow, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(send_);
    buttons->addWidget(cancel_);
    grid->addLayout(buttons, 5, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(logo_);
    bottom->addWidget(statusLabel);
    bottom->addWidget(status_, 1);
    grid->addLayout(bottom, 7, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);

    connect(message_, &QPlainTextEdit::textChanged, this, &CVorlaPro5View::UpdateCounts);
    connect(message_, &MessageEdit::EnterPressed, this, [this] { Send(); });
    connect(list_, &CSelectionListBox::SelectionChanged, this, &CVorlaPro5View::UpdateCounts);
    connect(send_, &QPushButton::clicked, this, [this] { Send(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { app_.CancelSending(); });
    connect(signature_, &QPushButton::clicked, this, [this] { AppendSignature(); });
    connect(spotBox_, &QCheckBox::clicked, this, &CVorlaPro5View::OnSpotToggled);
    // Alt+S and Alt+C belong to the form, not to the buttons: a button's own mnemonic would
    // act in every window of the frame, and only moves the focus when another control of the
    // frame claims the same letter. The buttons keep the underlined letter as the hint.
    send_->setShortcut(QKeySequence());
    cancel_->setShortcut(QKeySequence());
    auto formKey = [this](QKeySequence key, std::function<void()> run) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, std::move(run));
    };
    formKey(QKeySequence(Qt::ALT | Qt::Key_S), [this] { Send(); });
    auto cancel = [this] {
        if (cancel_->isEnabled()) app_.CancelSending();
    };
    formKey(QKeySequence(Qt::ALT | Qt::Key_C), cancel);
    formKey(QKeySequence(Qt::Key_Escape), cancel);
}

void CVorlaPro5View::BuildMessageToolBar() {
    toolBar_ =
        new CCustToolBar(QStringLiteral("Message"), std::string(vorla::setting::kMessageToolBar.name), this);
    toolBar_->setIconSize(QSize(17, 17));
    struct Button {
        int id;
        const char* tip;
        QStyle::StandardPixmap icon;
        std::function<void()> run;
    };
    const Button buttons[] = {
        {cmd::kMessageToolFirst, "Preset Message", QStyle::SP_FileIcon, [this] { InsertPresetMessage(); }},
        {cmd::kMessageToolFirst + 1, "Recycle Last Message", QStyle::SP_BrowserReload,
         [this] { RecycleLastMessage(); }},
        {cmd::kMessageToolFirst + 2, "Spell Check Message", QStyle::SP_DialogApplyButton,
         [this] { SpellCheck(); }},
        {cmd::kMessageToolFirst + 3, "Insert Current Time", QStyle::SP_BrowserStop, [this] { InsertTime(); }},
        {cmd::kMessageToolFirst + 4, "Insert Current Date", QStyle::SP_FileDialogInfoView,
         [this] { InsertDate(); }},
    };
    std::vector<int> ids;
    for (const Button& b : buttons) {
        auto* action = new QAction(style()->standardIcon(b.icon), QString::fromLatin1(b.tip).left(79), this);
        action->setToolTip(QString::fromLatin1(b.tip).left(79));
        action->setStatusTip(QString::fromLatin1(b.tip));
        action->setProperty("commandText", QString::fromLatin1(b.tip));
        auto run = b.run;
        connect(action, &QAction::triggered, this, [run] { run(); });
        toolBar_->AddToCatalogue(action, b.id);
        ids.push_back(b.id);
    }
    toolBar_->SetDefaultLayout(ids);
    toolBar_->RestoreLayout(app_.Settings());
    ApplyToolTips();
}

void CVorlaPro5View::ApplyToolTips() {
    if (toolBar_) toolBar_->SetToolTipsShown(ReadSetting(app_.Settings(), vorla::setting::kOtherTips) != 0);
}

void CVorlaPro5View::ApplyPreferences() {
    auto& prefs = app_.Settings();
    ApplyToolTips();
    signature_->setEnabled(message_->isEnabled() && ReadSetting(prefs, vorla::setting::kAutoSign) == 0);
    ShowSpotPage(ReadSetting(prefs, vorla::setting::kSpotPage) != 0);
}

void CVorlaPro5View::SaveToolbarLayout() {
    toolBar_->SaveLayout(app_.Settings());
}

void CVorlaPro5View::ApplyStoredFont() {
    message_->setFont(StoredMessageFont(app_.Settings(), message_->font()));
}

std::string CVorlaPro5View::MessageText() const {
    return vorla::ToWindows1252(message_->toPlainText());
}

void CVorlaPro5View::UpdateCounts() {
    const QString text = message_->toPlainText();
    count_->setText(QString::number(text.size()));
    const int selected = static_cast<int>(list_->SelectedRows().size());
    const bool spot = spotBox_->isChecked();
    send_->setEnabled(message_->isEnabled() && !text.isEmpty() && (spotBox_->isChecked() || selected > 0));
    selections_->setText(QStringLiteral("Selections: %1").arg(selected + (spot ? 1 : 0)));
    UpdateCommands();
}

void CVorlaPro5View::UpdateCommands() {
    for (QAction* action : toolBar_->actions())
        action->setEnabled(message_->isEnabled());
    emit CommandStatesChanged();
}

std::vector<std::pair<int, bool>> CVorlaPro5View::CommandStates(bool formIsCurrent) const {
    const bool target = formIsCurrent && message_->isEnabled();
    const bool selection = message_->textCursor().hasSelection();
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    return {
        {cmd::kUndo, target && message_->document()->isUndoAvailable()},
        {cmd::kCut, target && selection},
        {cmd::kCopy, target && selection},
        {cmd::kPaste, target && clip && clip->hasText()},
        {cmd::kClear, target && selection},
        {cmd::kSelectAll, target && !message_->document()->isEmpty()},
        {cmd::kSpellCheck, target},
        {cmd::kInsertDate, target},
        {cmd::kInsertTime, target},
        {cmd::kInsertMessage, target},
        {cmd::kInsertTextFile, target},
        {cmd::kInsertLastMessage, target},
    };
}

void CVorlaPro5View::FillSelectionList() {
    list_->Model()->SetDisplayList(app_.GetDisplayList());
    list_->Model()->Fill(app_.GetSubscriberList(), app_.GetGroupList());
    UpdateCounts();
}

bool CVorlaPro5View::QueuePage(const CSubscriber& subscriber, CPagerMessage* message,
                               std::optional<uint32_t> scheduleTime) {
    OutgoingQueue* queue = app_.Queue();
    if (!queue || !message) return false;
    const int choice = outgoing_->currentIndex();
    const SendChoice when = choice == kNow     ? SendChoice::Now
                            : choice == kLater ? SendChoice::Later
                                               : SendChoice::At;
    return ::QueuePage(*queue, app_.Settings(), subscriber, message, when, scheduleTime);
}

int CVorlaPro5View::Send(std::optional<uint32_t> scheduleTime) {
    if (!send_->isEnabled()) return 0;
    const int choice = outgoing_->currentIndex();
    if (choice == kAt && !scheduleTime) {
        unsigned chosen = 0;
        if (!app_.Extensions().runScheduleDialog(app_, this, chosen)) return 0;
        scheduleTime = chosen;
    }
    // Stored as Windows-1252, a character outside it would reach the pager as '?'.
    if (const QString character = vorla::FirstUnstorableCharacter(message_->toPlainText());
        !character.isEmpty()) {
        prompts_.error(vorla::UnstorableCharacterText(QStringLiteral("message"), character));
        return 0;
    }
    app_.SetLastMessage(MessageText());
    auto& prefs = app_.Settings();
    if (ReadSetting(prefs, vorla::setting::kAutoSign) == 1) AppendSignature();
    if (ReadSetting(prefs, vorla::setting::kSendUpperCase) != 0)
        message_->setPlainText(vorla::FromWindows1252(UpperCaseMessage(MessageText())));
    // The message is shared by its pages; until the first page takes its count, it is ours.
    CPagerMessage* message = MakePagerMessage(MessageText());
    int queued = 0;
    if (message) {
        if (spotBox_->isChecked() && spot_) queued += QueuePage(*spot_, message, scheduleTime);
        for (CSubscriber* subscriber : RecipientsOf(list_->SelectedRows()))
            queued += QueuePage(*subscriber, message, scheduleTime);
        if (queued == 0) delete message;
    }
    if (queued > 0) {
        app_.Queue()->Refresh();
        app_.SaveQueue();
    }

    if (choice == kNow) {
        // With nothing queued (a group without members) there is no run to wait for.
        if (queued == 0) {
            UpdateCounts();
            return 0;
        }
        SetEditing(false);
        formRun_ = true;
        if (app_.GetState() == CVorlaPro5App::kStateIdle) app_.StartSending();
        return queued;
    }
    if (ReadSetting(prefs, vorla::setting::kClearMessage) != 0) ClearForm();
    return queued;
}

void CVorlaPro5View::SetEditing(bool editing) {
    send_->setEnabled(false);
    list_->setEnabled(editing);
    message_->setEnabled(editing);
    outgoing_->setEnabled(editing);
    signature_->setEnabled(editing && ReadSetting(app_.Settings(), vorla::setting::kAutoSign) == 0);
    spotBox_->setEnabled(editing);
    UpdateCommands();
}

void CVorlaPro5View::ClearForm() {
    if (spotBox_->isChecked()) ClearSpot();
    spotBox_->setChecked(false);
    message_->clear();
    outgoing_->setCurrentIndex(kNow);
    list_->clearSelection();
    UpdateCounts();
    message_->setFocus();
}

void CVorlaPro5View::SendingFinished() {
    cancel_->setEnabled(false);
    list_->setEnabled(true);
    message_->setEnabled(true);
    outgoing_->setEnabled(true);
    spotBox_->setEnabled(true);
    signature_->setEnabled(ReadSetting(app_.Settings(), vorla::setting::kAutoSign) == 0);
    if (formRun_ && !app_.GetErrorFlag() && ReadSetting(app_.Settings(), vorla::setting::kClearMessage) != 0)
        ClearForm();
    formRun_ = false;
    UpdateCounts();
    if (window()->isActiveWindow()) message_->setFocus();
}

void CVorlaPro5View::AddStatusLine(const QString& text) {
    status_->addItem(text);
    status_->setCurrentIndex(status_->count() - 1);
    status_->repaint();
}

void CVorlaPro5View::ShowSpotPage(bool show) {
    spotBox_->setVisible(show);
    spotLabel_->setVisible(show);
    if (!show) ClearSpot();
}

void CVorlaPro5View::ClearSpot() {
    spot_.reset();
    spotBox_->setChecked(false);
    spotLabel_->setText(QString::fromLatin1(kNone));
    UpdateCounts();
}

void CVorlaPro5View::OnSpotToggled(bool checked) {
    if (!checked) {
        ClearSpot();
        return;
    }
    QString pin;
    int serviceIndex = -1;
    CObList* services = app_.GetServiceList();
    if (!prompts_.spotPage(pin, serviceIndex) || !services || serviceIndex < 0 ||
        serviceIndex >= static_cast<int>(services->GetCount())) {
        spotBox_->setChecked(false);
        UpdateCounts();
        return;
    }
    auto* service = dynamic_cast<CService*>(services->GetAt(static_cast<size_t>(serviceIndex)));
    const std::string pinText = vorla::ToWindows1252(pin);
    spot_ = std::make_unique<CSubscriber>("SpotPage: " + pinText, pinText, "240", service);
    spotLabel_->setText(pin + QStringLiteral("@") +
                        vorla::FromWindows1252(service ? service->GetName() : ""));
    UpdateCounts();
}

bool CVorlaPro5View::AppendSignature() {
    auto& prefs = app_.Settings();
    std::string signature = ReadSetting(prefs, vorla::setting::kSignature);
    while (signature.empty()) {
        if (!prompts_.yesNo(
                QStringLiteral("You have no signature entered in your preferences.  Would you like to "
                               "create a signature now?")))
            return false;
        std::optional<QString> entered = prompts_.signature();
        if (!entered) return false;
        WriteSetting(prefs, vorla::setting::kSignature, vorla::ToWindows1252(*entered));
        signature = ReadSetting(prefs, vorla::setting::kSignature);
    }
    QTextCursor cursor = message_->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(vorla::FromWindows1252(FormatSignature(prefs, Now())));
    message_->setTextCursor(cursor);
    message_->setFocus();
    return true;
}

void CVorlaPro5View::ReplaceSelection(const QString& text) {
    message_->textCursor().insertText(text);
    message_->setFocus();
}

void CVorlaPro5View::InsertDate() {
    ReplaceSelection(vorla::FromWindows1252(
        FormatLocalTime(ReadSetting(app_.Settings(), vorla::setting::kDateFormat), Now())));
}

void CVorlaPro5View::InsertTime() {
    ReplaceSelection(vorla::FromWindows1252(
        FormatLocalTime(ReadSetting(app_.Settings(), vorla::setting::kTimeFormat), Now())));
}

bool CVorlaPro5View::InsertTextFile(const QString& path) {
    QFile file(path);
    // A message is short; a huge file would only freeze the form.
    constexpr qint64 kMaxTextFile = 1 << 20;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxTextFile) {
        prompts_.error(QStringLiteral("%1\nCannot read this file.").arg(path));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        prompts_.error(QStringLiteral("%1\nCannot read this file.").arg(path));
        return false;
    }
    message_->textCursor().insertText(
        vorla::FromWindows1252(TextFileToMessage(std::string_view(bytes.constData(), bytes.size()))));
    return true;
}

void CVorlaPro5View::RecycleLastMessage() {
    if (CMessage* last = app_.GetLastMessage()) {
        message_->setPlainText(vorla::FromWindows1252(last->GetText()));
        message_->moveCursor(QTextCursor::End);
        UpdateCounts();
    }
    message_->setFocus();
}

void CVorlaPro5View::InsertPresetMessage() {
    app_.Extensions().commands.at(cmd::kInsertMessage)(app_, this);
    message_->setFocus();
}

void CVorlaPro5View::SetMessageFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, message_->font(), this, QStringLiteral("Font"));
    if (ok) message_->setFont(font);
    vorla::WriteFontSettings(app_.Settings(), vorla::kMessageFontSection, FromQFont(message_->font()));
}

void CVorlaPro5View::SpellCheck() {
    SpellCheckSession session(app_.Settings(), *message_, this);
    const QString result = session.Run();
    if (!result.isEmpty()) prompts_.information(result);
    message_->setFocus();
}

std::vector<std::pair<int, std::function<void()>>> CVorlaPro5View::FrameCommands() {
    return {
        {cmd::kUndo, [this] { message_->undo(); }},
        {cmd::kCut, [this] { message_->cut(); }},
        {cmd::kCopy, [this] { message_->copy(); }},
        {cmd::kPaste, [this] { message_->paste(); }},
        {cmd::kClear, [this] { message_->textCursor().removeSelectedText(); }},
        {cmd::kSelectAll, [this] { message_->selectAll(); }},
        {cmd::kSpellCheck, [this] { SpellCheck(); }},
        {cmd::kInsertDate, [this] { InsertDate(); }},
        {cmd::kInsertTime, [this] { InsertTime(); }},
        {cmd::kInsertMessage, [this] { InsertPresetMessage(); }},
        {cmd::kInsertTextFile,
         [this] {
             const QString path = prompts_.textFileName();
             if (!path.isEmpty()) InsertTextFile(path);
         }},
        {cmd::kInsertLastMessage, [this] { RecycleLastMessage(); }},
        {cmd::kSetFont, [this] { SetMessageFont(); }},
    };
}
