#pragma once
// The document on the session bus: interface "VorlaPro.Document" with the member names and
// types clients are written against. It only converts: UTF-8 texts on the bus to and from the
// program's 8-bit text, automation dates to file times, and refusals to error replies; the
// document does the work.

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

class CVorlaPro5Doc;

// The object put on the bus at the document's path. QtDBus keeps the context of a call (who
// called, the error reply) on an adaptor's parent, so this is that parent.
class DocumentBusObject : public QObject, public QDBusContext {
    Q_OBJECT
public:
    using QObject::QObject;
};

class DocumentAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "VorlaPro.Document")
    Q_PROPERTY(bool sendAsUpper READ sendAsUpper WRITE setSendAsUpper)
    Q_PROPERTY(bool rememberFailed READ rememberFailed WRITE setRememberFailed)
    Q_PROPERTY(short RequestType READ requestType WRITE setRequestType)
    Q_PROPERTY(QStringList _NewEnum READ newEnum)

public:
    // Error names of the replies this interface gives besides D-Bus's own.
    static constexpr const char* kTextError = "VorlaPro.Document.Error.Text";
    static constexpr const char* kDateError = "VorlaPro.Document.Error.Date";
    static constexpr const char* kSaveError = "VorlaPro.Document.Error.SaveFailed";
    static constexpr const char* kNotAvailableError = "VorlaPro.Document.Error.NotAvailable";
    static constexpr const char* kInUseError = "VorlaPro.Document.Error.DirectoryInUse";
    static constexpr const char* kUnknownNameError = "VorlaPro.Document.Error.UnknownName";

    DocumentAdaptor(DocumentBusObject* object, CVorlaPro5Doc* document);

    bool sendAsUpper() const;
    void setSendAsUpper(bool upper);
    bool rememberFailed() const;
    void setRememberFailed(bool remember);
    short requestType() const;
    void setRequestType(short type);
    QStringList newEnum() const;

    // Told of every call (the caller's unique bus name; empty when a window a call opened has
    // closed), for the program's lifetime rule. Not a signal: clients must not see it.
    void OnCall(std::function<void(const QString& caller)> callback) { onCall_ = std::move(callback); }

public slots:
    bool RemoveSubscriber(const QString& name);
    bool RemoveService(const QString& name);
    bool RemoveGroup(const QString& name);
    bool SendPage(const QString& recipient, const QString& message, int later);
    bool SchedulePage(const QString& recipient, const QString& message, double when);
    // Not one of the document's own members: how vorlapage hands pages over without the form
    // (CVorlaPro5Doc::QueuePages). when: 0 Now, 1 Later, 2 At `at` (an automation date, else
    // ignored). The pages queued; an error reply names a name that matches nothing.
    int QueuePages(const QStringList& recipients, const QString& message, int when, double at);
    int SubscriberCount();
    int ServiceCount();
    int GroupCount();
    int MessageCount();
    short CreateSubscriber(const QString& name, const QString& pin, const QString& maxLength,
                           const QString& serviceName);
    short CreateService(const QString& name, const QString& accessNumber, bool useDialPrefix,
                        const QString& password, short baudRate);
    short CreateServiceComplete(const QString& name, const QString& accessNumber, bool useDialPrefix,
                                const QString& password, const QString& modemName, const QString& modemInit,
                                const QString& port, short baudRate, short parity, short handshake,
                                short dialMode, const QString& scriptFile);
    short CreateGroup(const QString& groupName, const QString& firstMemberName);
    short CreateMessage(const QString& text);
    short AddSubscriberToGroup(const QString& groupName, const QString& subscriberName);
    bool ShowMainWindow();
    bool SendLaterItems();
    bool IsBusy();
    void Quit();
    void About(int parentWindow);
    void ServiceMaintenance(int parentWindow);
    void GroupMaintenance(int parentWindow);
    void MessageMaintenance(int parentWindow);
    void Preferences(int parentWindow);
    void SubscriberMaintenance(int parentWindow);
    void SetMessage(const QString& text);
    QString Status();

private:
    // The 8-bit text of `text`, or an error reply (and none) when a character has no 8-bit
    // form or the text is longer than `limit`.
    std::optional<std::string> Text(const QString& text, const char* field, size_t limit);
    struct Field {
        const QString& text;
        const char* name;
        size_t limit;
        std::string* out;
        // The directory's rule for what is stored (the one the maintenance windows apply):
        // why the text is refused, or null.
        const char* (*rule)(std::string_view) = nullptr;
    };
    void Refuse(const char* errorName, const QString& text);
    // Every field converted, or false after the first one's error reply.
    bool TakeAll(std::initializer_list<Field> fields);
    // After a change: an error reply when the directory file could not be written.
    bool Saved(bool changed);
    short Created(int16_t code);
    // False, with an error reply, while a window holds the directory's records.
    bool Changeable();
    // A window method's call: its window opens once no window a call opened is open and no
    // window holds the directory.
    struct WindowCall {
        int commandId;
        quint32 owner;
        const char* what;
        QDBusMessage call;  // empty when not called from the bus: nobody waits for a reply
        QDBusConnection bus;
    };
    void Run(int commandId, int parentWindow, const char* what);
    void OpenWaitingWindows();
    void OpenWindow(const WindowCall& window);
    void NoteCall();
    QDBusContext& Context() const { return *object_; }

    DocumentBusObject* object_;
    CVorlaPro5Doc* document_;
    std::function<void(const QString&)> onCall_;
    std::deque<WindowCall> waitingWindows_;
    bool windowOpen_ = false;
};
