#include "ui/automation/vorla_pro_doc.h"

#include <QApplication>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QTimer>

#include <ctime>

#include "archive/ob_list.h"
#include "directory/directory_automation.h"
#include "directory/directory_store.h"
#include "directory/display_object.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"
#include "ui/app/app_frame.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/automation/foreign_owner.h"
#include "ui/message_entry/message_texts.h"
#include "ui/message_entry/selection_list.h"
#include "ui/message_entry/vorla_pro_view.h"

namespace {
int32_t CountOf(const CObList* list) {
    return list ? static_cast<int32_t>(list->GetCount()) : 0;
}
}  // namespace

CVorlaPro5Doc::CVorlaPro5Doc(CVorlaPro5App& app, QObject* parent) : QObject(parent), app_(app) {
    ReadPreferences();
    // The preferences sheet changes both settings; the document follows it.
    connect(&app_, &CVorlaPro5App::PreferencesApplied, this, &CVorlaPro5Doc::ReadPreferences);
    // Queued: after the form has taken the run's end (unlocked, perhaps cleared).
    connect(&app_, &CVorlaPro5App::SendingFinished, this, &CVorlaPro5Doc::PutMessageAfterRun,
            Qt::QueuedConnection);
    connect(&app_, &CVorlaPro5App::DirectoryReleased, this, &CVorlaPro5Doc::DirectoryReleased);
}

bool CVorlaPro5Doc::DirectoryHeld() const {
    return app_.DirectoryHeld();
}

void CVorlaPro5Doc::ReadPreferences() {
    sendAsUpper_ = ReadSetting(app_.Settings(), vorla::setting::kSendUpperCase) != 0;
    rememberFailed_ = ReadSetting(app_.Settings(), vorla::setting::kRememberFailed) != 0;
}

void CVorlaPro5Doc::SetSendAsUpper(bool upper) {
    sendAsUpper_ = upper;
    WriteSetting(app_.Settings(), vorla::setting::kSendUpperCase, upper ? 1 : 0);
}

void CVorlaPro5Doc::SetRememberFailed(bool remember) {
    rememberFailed_ = remember;
    WriteSetting(app_.Settings(), vorla::setting::kRememberFailed, remember ? 1 : 0);
}

std::vector<std::string> CVorlaPro5Doc::NewEnum() const {
    return automation::ListNames(app_.Store(), requestType_);
}

bool CVorlaPro5Doc::Commit(bool recipientsChanged) {
    // Groups show in the recipient list as well, so every subscriber or group change rebuilds
    // it; otherwise a group made here could not be paged until something else did.
    if (recipientsChanged) app_.NotifyDirectoryChanged();
    saveFailed_ = !app_.SaveDirectory();
    return !saveFailed_;
}

int16_t CVorlaPro5Doc::CreateSubscriber(const std::string& name, const std::string& pin,
                                        const std::string& maxLength, const std::string& serviceName) {
    const int16_t result = automation::CreateSubscriber(app_.Store(), name, pin, maxLength, serviceName);
    if (result == automation::kDone) Commit(true);
    return result;
}

int16_t CVorlaPro5Doc::CreateService(const ServiceFields& fields) {
    const int16_t result = automation::CreateService(app_.Store(), fields);
    if (result == automation::kDone) Commit(false);
    return result;
}

int16_t CVorlaPro5Doc::CreateGroup(const std::string& groupName, const std::string& firstMemberName) {
    const int16_t result = automation::CreateGroup(app_.Store(), groupName, firstMemberName);
    if (result == automation::kDone) Commit(true);
    return result;
}

int16_t CVorlaPro5Doc::CreateMessage(const std::string& text) {
    const int16_t result = automation::CreateMessage(app_.Store(), text);
    if (result == automation::kDone) Commit(false);
    return result;
}

int16_t CVorlaPro5Doc::AddSubscriberToGroup(const std::string& groupName, const std::string& subscriberName) {
    const int16_t result = automation::AddSubscriberToGroup(app_.Store(), groupName, subscriberName);
    if (result == automation::kDone) Commit(true);
    return result;
}

bool CVorlaPro5Doc::RemoveSubscriber(const std::string& name) {
    if (!automation::RemoveSubscriber(app_.Store(), name)) return false;
    Commit(true);
    return true;
}

bool CVorlaPro5Doc::RemoveService(const std::string& name) {
    if (!automation::RemoveService(app_.Store(), name)) return false;
    Commit(false);
    return true;
}

bool CVorlaPro5Doc::RemoveGroup(const std::string& name) {
    if (!automation::RemoveGroup(app_.Store(), name)) return false;
    Commit(true);
    return true;
}

int32_t CVorlaPro5Doc::SubscriberCount() const {
    return CountOf(app_.GetSubscriberList());
}
int32_t CVorlaPro5Doc::ServiceCount() const {
    return CountOf(app_.GetServiceList());
}
int32_t CVorlaPro5Doc::GroupCount() const {
    return CountOf(app_.GetGroupList());
}
int32_t CVorlaPro5Doc::MessageCount() const {
    return CountOf(app_.GetPresetMessageList());
}

void CVorlaPro5Doc::SetMessage(const std::string& text) {
    CVorlaPro5View* view = app_.GetMainView();
    if (!view) return;
    // The form's own run holds the page being sent in the field and may clear it at the end;
    // the text goes in once the run is over.
    if (!view->MessageField()->isEnabled()) {
        messageAfterRun_ = text;
        return;
    }
    messageAfterRun_.reset();
    sendAsUpper_ = ReadSetting(app_.Settings(), vorla::setting::kSendUpperCase) != 0;
    view->MessageField()->setPlainText(vorla::FromWindows1252(sendAsUpper_ ? UpperCaseMessage(text) : text));
}

void CVorlaPro5Doc::PutMessageAfterRun() {
    if (!messageAfterRun_) return;
    const std::string text = std::move(*messageAfterRun_);
    messageAfterRun_.reset();
    SetMessage(text);
}

bool CVorlaPro5Doc::SendPage(const std::string& recipient, const std::string& message, bool later,
                             std::optional<uint32_t> at) {
    CVorlaPro5View* view = app_.GetMainView();
    // During a run the form holds the message being sent; a new one would replace it.
    if (!view || !view->MessageField()->isEnabled()) return false;
    CSelectionListBox* list = view->SelectionList();
    const SelectionListModel* model = list->Model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const CDisplayObject* line = model->RowAt(row);
        const RowKind kind = KindOf(*line);
        if ((kind == RowKind::Subscriber || kind == RowKind::Group) && RowName(*line) == recipient)
            list->selectionModel()->select(model->index(row, 0), QItemSelectionModel::Select);
    }
    if (list->SelectedRows().empty()) return false;
    SetMessage(message);
    view->OutgoingChoice()->setCurrentIndex(at ? CVorlaPro5View::kAt
                                               : (later ? CVorlaPro5View::kLater : CVorlaPro5View::kNow));
    view->UpdateCounts();
    return view->Send(at) > 0;
}

CVorlaPro5Doc::HandOver CVorlaPro5Doc::QueuePages(const std::vector<std::string>& names,
                                                  const std::string& message, SendChoice choice,
                                                  std::optional<uint32_t> at) {
    HandOver result;
    OutgoingQueue* queue = app_.Queue();
    if (!queue) return result;
    const std::optional<std::vector<Recipient>> recipients =
        FindRecipients(app_.GetSubscriberList(), app_.GetGroupList(), names, &result.unknownName);
    if (!recipients) return result;
    CPagerMessage* pagerMessage = MakePagerMessage(
        MakeSendText(app_.Settings(), message, static_cast<std::time_t>(std::time(nullptr))));
    if (!pagerMessage) {
        result.emptyMessage = true;
        return result;
    }
    result.queued =
        static_cast<int32_t>(QueueRecipients(*queue, app_.Settings(), *recipients, pagerMessage, choice,
                                             choice == SendChoice::At ? at : std::nullopt));
    if (result.queued == 0) {
        delete pagerMessage;
        return result;
    }
    queue->Refresh();
    app_.SaveQueue();
    // A run going on takes the Now pages too; the form keeps what the user had in it.
    if (choice == SendChoice::Now) app_.StartSending();
    return result;
}

bool CVorlaPro5Doc::SendLaterItems() {
    OutgoingQueue* queue = app_.Queue();
    if (!queue) return false;
    bool anyLater = false;
    for (const Serializable* item : *app_.GetOutgoingList()) {
        const auto* page = As<CPage>(item);
        anyLater = anyLater || (page && page->GetWhen() == kWhenLater);
    }
    // The queue's own command tells a person "none" in a box; a client gets false instead.
    return anyLater && queue->SendLaterItems();
}

bool CVorlaPro5Doc::IsBusy() const {
    return app_.GetState() != CVorlaPro5App::kStateIdle;
}

QString CVorlaPro5Doc::Status() const {
    CVorlaPro5View* view = app_.GetMainView();
    return view ? view->StatusList()->currentText() : QString();
}

bool CVorlaPro5Doc::ShowMainWindow() {
    AppFrame* frame = app_.MainFrame();
    if (!frame) return false;
    if (!frame->isVisible()) {
        QApplication::setQuitOnLastWindowClosed(true);
        frame->ShowWithSavedPlacement();
    }
    // Raising a minimized window leaves it an icon; the client asked to see it.
    if (frame->isMinimized()) frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
    frame->raise();
    frame->activateWindow();
    frame->update();
    return true;
}

void CVorlaPro5Doc::Quit() {
    // Posted: the client gets its reply before the program goes.
    QTimer::singleShot(0, this, [this] {
        AppFrame* frame = app_.MainFrame();
        if (!frame) return;
        if (frame->isVisible()) {
            if (frame->close()) QCoreApplication::exit(0);
            return;
        }
        if (!quitPending_) {
            quitPending_ = true;
            connect(&app_, &CVorlaPro5App::SendingFinished, this, &CVorlaPro5Doc::CloseWhenIdle,
                    Qt::QueuedConnection);
        }
        CloseWhenIdle();
    });
}

void CVorlaPro5Doc::CloseWhenIdle() {
    AppFrame* frame = app_.MainFrame();
    if (!frame || IsBusy()) return;
    if (frame->close()) QCoreApplication::exit(0);
}

bool CVorlaPro5Doc::RunCommand(int commandId, quint32 ownerWindow) {
    const auto& commands = app_.Extensions().commands;
    const auto found = commands.find(commandId);
    if (found == commands.end() || !found->second) return false;
    const ForeignOwner owner(ownerWindow);
    // A copy: the handler's window may run for long, and nothing may pull it from under us.
    const auto handler = found->second;
    handler(app_, app_.MainFrame());
    return true;
}
