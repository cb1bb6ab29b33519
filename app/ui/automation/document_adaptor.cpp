#include "ui/automation/document_adaptor.h"

#include "directory/directory_automation.h"
#include "directory/directory_rules.h"
#include "paging/local_time.h"
#include "text/windows1252.h"
#include "ui/app/command_ids.h"
#include "ui/automation/vorla_pro_doc.h"

namespace {
QStringList ToQStringList(const std::vector<std::string>& texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts)
        list << vorla::FromWindows1252(text);
    return list;
}
}  // namespace

DocumentAdaptor::DocumentAdaptor(DocumentBusObject* object, CVorlaPro5Doc* document)
    : QDBusAbstractAdaptor(object), object_(object), document_(document) {
    // Properties change through the document too (the preferences sheet); no signals for them.
    setAutoRelaySignals(false);
    // Queued: the window that let go is gone before the next one opens.
    connect(document_, &CVorlaPro5Doc::DirectoryReleased, this, &DocumentAdaptor::OpenWaitingWindows,
            Qt::QueuedConnection);
}

bool DocumentAdaptor::sendAsUpper() const {
    return document_->SendAsUpper();
}
void DocumentAdaptor::setSendAsUpper(bool upper) {
    document_->SetSendAsUpper(upper);
}
bool DocumentAdaptor::rememberFailed() const {
    return document_->RememberFailed();
}
void DocumentAdaptor::setRememberFailed(bool remember) {
    document_->SetRememberFailed(remember);
}
short DocumentAdaptor::requestType() const {
    return document_->RequestType();
}
void DocumentAdaptor::setRequestType(short type) {
    document_->SetRequestType(type);
}
QStringList DocumentAdaptor::newEnum() const {
    return ToQStringList(document_->NewEnum());
}

void DocumentAdaptor::NoteCall() {
    if (Context().calledFromDBus() && onCall_) onCall_(Context().message().service());
}

void DocumentAdaptor::Refuse(const char* errorName, const QString& text) {
    // Only a call from the bus has a reply to turn into an error.
    if (Context().calledFromDBus()) Context().sendErrorReply(QString::fromLatin1(errorName), text);
}

std::optional<std::string> DocumentAdaptor::Text(const QString& text, const char* field, size_t limit) {
    bool lossy = false;
    std::string bytes = vorla::ToWindows1252(text, &lossy);
    if (lossy) {
        Refuse(kTextError,
               QStringLiteral("%1 holds a character that Vorla Pro cannot store (only Windows-1252 text)")
                   .arg(QLatin1String(field)));
        return std::nullopt;
    }
    if (bytes.size() > limit) {
        Refuse(kTextError,
               QStringLiteral("%1 is longer than %2 characters").arg(QLatin1String(field)).arg(limit));
        return std::nullopt;
    }
    return bytes;
}

bool DocumentAdaptor::Saved(bool changed) {
    if (changed && document_->LastSaveFailed())
        Refuse(kSaveError,
               QStringLiteral("The change was made, but the directory file could not be written."));
    return changed;
}

namespace {
constexpr size_t kField = automation::kMaxFieldLength;
constexpr size_t kMessage = automation::kMaxMessageLength;
}  // namespace

bool DocumentAdaptor::TakeAll(std::initializer_list<Field> fields) {
    for (const Field& field : fields) {
        std::optional<std::string> bytes = Text(field.text, field.name, field.limit);
        if (!bytes) return false;
        if (const char* refusal = field.rule ? field.rule(*bytes) : nullptr) {
            Refuse(kTextError,
                   QStringLiteral("%1 %2").arg(QLatin1String(field.name), QLatin1String(refusal)));
            return false;
        }
        *field.out = std::move(*bytes);
    }
    return true;
}

short DocumentAdaptor::Created(int16_t code) {
    if (code == automation::kDone) Saved(true);
    return code;
}

bool DocumentAdaptor::Changeable() {
    // An open maintenance window shows these records and acts on them when the user clicks;
    // one freed or added under it would be a crash or a silent duplicate. The client hears
    // why and tries again later; queued instead, its call could outlast its timeout and then
    // happen unseen.
    if (!document_->DirectoryHeld()) return true;
    Refuse(kInUseError,
           QStringLiteral("A directory window is open in Vorla Pro; nothing was changed. Try again "
                          "once it is closed."));
    return false;
}

bool DocumentAdaptor::RemoveSubscriber(const QString& name) {
    NoteCall();
    std::string n;
    return Changeable() && TakeAll({{name, "name", kField, &n}}) && Saved(document_->RemoveSubscriber(n));
}

bool DocumentAdaptor::RemoveService(const QString& name) {
    NoteCall();
    std::string n;
    return Changeable() && TakeAll({{name, "name", kField, &n}}) && Saved(document_->RemoveService(n));
}

bool DocumentAdaptor::RemoveGroup(const QString& name) {
    NoteCall();
    std::string n;
    return Changeable() && TakeAll({{name, "name", kField, &n}}) && Saved(document_->RemoveGroup(n));
}

bool DocumentAdaptor::SendPage(const QString& recipient, const QString& message, int later) {
    NoteCall();
    std::string r, m;
    return TakeAll({{recipient, "recipient", kField, &r}, {message, "message", kMessage, &m}}) &&
           document_->SendPage(r, m, later != 0);
}

bool DocumentAdaptor::SchedulePage(const QString& recipient, const QString& message, double when) {
    NoteCall();
    std::string r, m;
    if (!TakeAll({{recipient, "recipient", kField, &r}, {message, "message", kMessage, &m}})) return false;
    const std::optional<uint32_t> at = FileTimeFromAutomationDate(when);
    if (!at) {
        Refuse(kDateError,
               QStringLiteral("when is not a date between 1970 and 2106 in days since 1899-12-30"));
        return false;
    }
    return document_->SendPage(r, m, true, at);
}

int DocumentAdaptor::QueuePages(const QStringList& recipients, const QString& message, int when, double at) {
    NoteCall();
    std::string m;
    if (!TakeAll({{message, "message", kMessage, &m}})) return 0;
    std::vector<std::string> names;
    for (const QString& recipient : recipients) {
        std::string name;
        if (!TakeAll({{recipient, "recipient", kField, &name}})) return 0;
        names.push_back(std::move(name));
    }
    if (names.empty()) {
        Refuse(kUnknownNameError, QStringLiteral("no recipient was named"));
        return 0;
    }
    std::optional<uint32_t> time;
    SendChoice choice = SendChoice::Now;
    switch (when) {
        case 0:
            break;
        case 1:
            choice = SendChoice::Later;
            break;
        case 2:
            choice = SendChoice::At;
            time = FileTimeFromAutomationDate(at);
            if (!time) {
                Refuse(kDateError,
                       QStringLiteral("at is not a date between 1970 and 2106 in days since 1899-12-30"));
                return 0;
            }
            break;
        default:
            Refuse(kDateError,
                   QStringLiteral("when is 0 (now), 1 (later) or 2 (at a time), not %1").arg(when));
            return 0;
    }
    const CVorlaPro5Doc::HandOver handed = document_->QueuePages(names, m, choice, time);
    if (!handed.unknownName.empty()) {
        Refuse(kUnknownNameError, QStringLiteral("no subscriber or group is named \"%1\"")
                                      .arg(vorla::FromWindows1252(handed.unknownName)));
        return 0;
    }
    if (handed.emptyMessage) Refuse(kTextError, QStringLiteral("the message is empty"));
    return handed.queued;
}

int DocumentAdaptor::SubscriberCount() {
    NoteCall();
    return document_->SubscriberCount();
}
int DocumentAdaptor::ServiceCount() {
    NoteCall();
    return document_->ServiceCount();
}
int DocumentAdaptor::GroupCount() {
    NoteCall();
    return document_->GroupCount();
}
int DocumentAdaptor::MessageCount() {
    NoteCall();
    return document_->MessageCount();
}

short DocumentAdaptor::CreateSubscriber(const QString& name, const QString& pin, const QString& maxLength,
                                        const QString& serviceName) {
    NoteCall();
    std::string n, p, l, s;
    if (!Changeable() || !TakeAll({{name, "name", kField, &n, &NameRefusal},
                                   {pin, "pin", kField, &p, &PinRefusal},
                                   {maxLength, "maxLength", kField, &l, &MaxLengthRefusal},
                                   {serviceName, "serviceName", kField, &s}}))
        return 0;
    return Created(document_->CreateSubscriber(n, p, l, s));
}

short DocumentAdaptor::CreateService(const QString& name, const QString& accessNumber, bool useDialPrefix,
                                     const QString& password, short baudRate) {
    NoteCall();
    std::string n, a, p;
    if (!Changeable() || !TakeAll({{name, "name", kField, &n, &NameRefusal},
                                   {accessNumber, "accessNumber", kField, &a, &RequiredTextRefusal},
                                   {password, "password", kField, &p}}))
        return 0;
    return Created(document_->CreateService(
        automation::DefaultServiceFields(std::move(n), std::move(a), useDialPrefix, std::move(p), baudRate)));
}

short DocumentAdaptor::CreateServiceComplete(const QString& name, const QString& accessNumber,
                                             bool useDialPrefix, const QString& password,
                                             const QString& modemName, const QString& modemInit,
                                             const QString& port, short baudRate, short parity,
                                             short handshake, short dialMode, const QString& scriptFile) {
    NoteCall();
    ServiceFields f;
    if (!Changeable() ||
        !TakeAll({{name, "name", kField, &f.name, &NameRefusal},
                  {accessNumber, "accessNumber", kField, &f.accessNumber, &RequiredTextRefusal},
                  {password, "password", kField, &f.password},
                  {modemName, "modemName", kField, &f.modemName},
                  {modemInit, "modemInit", kField, &f.modemInit},
                  {port, "port", kField, &f.port},
                  {scriptFile, "scriptFile", kField, &f.scriptFile}}))
        return 0;
    f.useDialPrefix = useDialPrefix ? 1 : 0;
    f.baudRate = baudRate;
    f.parity = parity;
    f.handshake = handshake;
    f.dialMode = dialMode;
    return Created(document_->CreateService(f));
}

short DocumentAdaptor::CreateGroup(const QString& groupName, const QString& firstMemberName) {
    NoteCall();
    std::string g, m;
    if (!Changeable() || !TakeAll({{groupName, "groupName", kField, &g, &NameRefusal},
                                   {firstMemberName, "firstMemberName", kField, &m}}))
        return 0;
    return Created(document_->CreateGroup(g, m));
}

short DocumentAdaptor::CreateMessage(const QString& text) {
    NoteCall();
    std::string t;
    if (!Changeable() || !TakeAll({{text, "text", kMessage, &t, &RequiredTextRefusal}})) return 0;
    return Created(document_->CreateMessage(t));
}

short DocumentAdaptor::AddSubscriberToGroup(const QString& groupName, const QString& subscriberName) {
    NoteCall();
    std::string g, s;
    if (!Changeable() ||
        !TakeAll({{groupName, "groupName", kField, &g}, {subscriberName, "subscriberName", kField, &s}}))
        return 0;
    return Created(document_->AddSubscriberToGroup(g, s));
}

bool DocumentAdaptor::ShowMainWindow() {
    NoteCall();
    return document_->ShowMainWindow();
}

bool DocumentAdaptor::SendLaterItems() {
    NoteCall();
    return document_->SendLaterItems();
}

bool DocumentAdaptor::IsBusy() {
    NoteCall();
    return document_->IsBusy();
}

void DocumentAdaptor::Quit() {
    NoteCall();
    document_->Quit();
}

void DocumentAdaptor::Run(int commandId, int parentWindow, const char* what) {
    NoteCall();
    // The reply waits for the window to close; the caller's message stays ours meanwhile.
    const bool fromBus = Context().calledFromDBus();
    if (fromBus) Context().setDelayedReply(true);
    waitingWindows_.push_back({commandId, static_cast<quint32>(parentWindow), what,
                               fromBus ? Context().message() : QDBusMessage(),
                               fromBus ? Context().connection() : QDBusConnection::sessionBus()});
    OpenWaitingWindows();
}

void DocumentAdaptor::OpenWaitingWindows() {
    // A call that comes while a window is open is delivered inside that window's modal loop;
    // opened there, its window would sit over the first and the first call could not be
    // answered before it. It waits its turn instead, and the outermost call opens it. A
    // window the user opened that holds the directory is waited for too: two of them open
    // at once would free records under each other (Service Maintenance under Subscriber
    // Maintenance's service list).
    if (windowOpen_ || document_->DirectoryHeld()) return;
    windowOpen_ = true;
    while (!waitingWindows_.empty()) {
        const WindowCall next = waitingWindows_.front();
        waitingWindows_.pop_front();
        OpenWindow(next);
    }
    windowOpen_ = false;
}

void DocumentAdaptor::OpenWindow(const WindowCall& window) {
    const bool ran = document_->RunCommand(window.commandId, window.owner);
    if (onCall_) onCall_(QString());  // the window is closed: the program's idle time starts now
    if (window.call.type() != QDBusMessage::MethodCallMessage) return;
    window.bus.send(
        ran ? window.call.createReply()
            : window.call.createErrorReply(
                  QString::fromLatin1(kNotAvailableError),
                  QStringLiteral("%1 is not available in this program").arg(QLatin1String(window.what))));
}

void DocumentAdaptor::About(int parentWindow) {
    Run(cmd::kAbout, parentWindow, "About");
}
void DocumentAdaptor::ServiceMaintenance(int parentWindow) {
    Run(cmd::kServices, parentWindow, "Service Maintenance");
}
void DocumentAdaptor::GroupMaintenance(int parentWindow) {
    Run(cmd::kGroups, parentWindow, "Group Maintenance");
}
void DocumentAdaptor::MessageMaintenance(int parentWindow) {
    Run(cmd::kPresetMessages, parentWindow, "Message Maintenance");
}
void DocumentAdaptor::Preferences(int parentWindow) {
    Run(cmd::kPreferences, parentWindow, "Preferences");
}
void DocumentAdaptor::SubscriberMaintenance(int parentWindow) {
    Run(cmd::kSubscribers, parentWindow, "Subscriber Maintenance");
}

void DocumentAdaptor::SetMessage(const QString& text) {
    NoteCall();
    std::string t;
    if (TakeAll({{text, "text", kMessage, &t}})) document_->SetMessage(t);
}

QString DocumentAdaptor::Status() {
    NoteCall();
    return document_->Status();
}
