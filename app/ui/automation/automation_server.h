#pragma once
// Puts the document on the user's session bus as "VorlaPro.Document" at /VorlaPro/Document,
// and ends a program that a client started (the "Automation" or "Embedding" switch) once no
// client needs it any more.

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class CVorlaPro5App;
class CVorlaPro5Doc;
class DocumentBusObject;
class QDBusServiceWatcher;

inline constexpr const char* kAutomationServiceName = "VorlaPro.Document";
inline constexpr const char* kAutomationObjectPath = "/VorlaPro/Document";

class AutomationServer : public QObject {
    Q_OBJECT
public:
    // startedByClient: the program was started for a client and shows no window until asked.
    AutomationServer(CVorlaPro5App& app, bool startedByClient, QObject* parent = nullptr);
    ~AutomationServer() override;

    // False (with the reason logged) when there is no session bus or the name is taken by
    // another program; the program then runs without automation.
    bool Publish();
    CVorlaPro5Doc& Document() const { return *document_; }

    // Whether a program started by a client may end now: its window was never shown, no
    // client that called it is still connected, no window of it is open, no run is going
    // on and no page waits in the queue that it would send by itself (Now, or At a time).
    bool MayEnd() const;

private:
    void OnCall(const QString& caller);
    void ArmIdleEnd();
    void IdleEnd();

    CVorlaPro5App& app_;
    bool startedByClient_;
    CVorlaPro5Doc* document_;
    DocumentBusObject* busObject_ = nullptr;
    QDBusServiceWatcher* clients_ = nullptr;
    QTimer idle_;
};
