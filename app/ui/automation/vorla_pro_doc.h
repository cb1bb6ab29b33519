#pragma once
// The directory document as other programs drive it: directory changes by name with their
// result codes, counts and name lists, sending through the message form, the program's own
// windows and its end. Every change of the directory is saved at once. Texts are the
// program's 8-bit text; the bus adaptor converts.

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "directory/service.h"
#include "paging/queue_page.h"

class CVorlaPro5App;

class CVorlaPro5Doc : public QObject {
    Q_OBJECT
public:
    explicit CVorlaPro5Doc(CVorlaPro5App& app, QObject* parent = nullptr);

    bool SendAsUpper() const { return sendAsUpper_; }
    void SetSendAsUpper(bool upper);
    bool RememberFailed() const { return rememberFailed_; }
    void SetRememberFailed(bool remember);
    int16_t RequestType() const { return requestType_; }
    void SetRequestType(int16_t type) { requestType_ = type; }
    std::vector<std::string> NewEnum() const;

    // Directory changes: the result codes of the automation rules. After a change that
    // succeeded, LastSaveFailed tells whether the directory file could not be written (the
    // change stays in memory and goes to the file with the next save).
    int16_t CreateSubscriber(const std::string& name, const std::string& pin, const std::string& maxLength,
                             const std::string& serviceName);
    int16_t CreateService(const ServiceFields& fields);
    int16_t CreateGroup(const std::string& groupName, const std::string& firstMemberName);
    int16_t CreateMessage(const std::string& text);
    int16_t AddSubscriberToGroup(const std::string& groupName, const std::string& subscriberName);
    bool RemoveSubscriber(const std::string& name);
    bool RemoveService(const std::string& name);
    bool RemoveGroup(const std::string& name);
    bool LastSaveFailed() const { return saveFailed_; }
    // A window of the program holds the directory's records (see CVorlaPro5App::DirectoryHeld):
    // the changes above must wait until DirectoryReleased.
    bool DirectoryHeld() const;

    int32_t SubscriberCount() const;
    int32_t ServiceCount() const;
    int32_t GroupCount() const;
    int32_t MessageCount() const;

    // Selects the rows named `recipient` in the form's recipient list and sends `message`
    // Now, Later (later non-zero) or At `at`. False when nothing was queued: no row selected,
    // or the form is busy with a run (IsBusy tells when it is free again).
    bool SendPage(const std::string& recipient, const std::string& message, bool later,
                  std::optional<uint32_t> at = std::nullopt);
    // Pages handed over by name (vorlapage): one page per person the names pick (each name
    // argument whole, else as a comma list: FindRecipients), the message made as the form's
    // Send makes it, queued Now (a run starts, or the one going on takes them), Later or At.
    // The form (its selection, spot pager and message field) is not touched, so the pages go
    // to exactly these names. On a name that matches nothing, nothing is queued.
    struct HandOver {
        int32_t queued = 0;
        std::string unknownName;  // set when a name matched nothing
        bool emptyMessage = false;
    };
    HandOver QueuePages(const std::vector<std::string>& names, const std::string& message, SendChoice choice,
                        std::optional<uint32_t> at);
    // Puts the text in the message field; while the form's own run holds the field, once
    // that run has ended.
    void SetMessage(const std::string& text);
    // Later pages become due now and a run starts; false (and no message box) when there are none.
    bool SendLaterItems();
    bool IsBusy() const;
    QString Status() const;

    bool ShowMainWindow();
    // Closes the program as its window's close does. A program whose window is hidden
    // waits for a run going on to end rather than refuse with a box nobody sees.
    void Quit();
    // Runs a menu command's window modally, owned by the given X11 window where the
    // platform allows. False when the program has no such command.
    bool RunCommand(int commandId, quint32 ownerWindow);

signals:
    void DirectoryReleased();

private:
    bool Commit(bool recipientsChanged);
    void ReadPreferences();
    void CloseWhenIdle();
    void PutMessageAfterRun();

    CVorlaPro5App& app_;
    bool sendAsUpper_ = false;
    bool rememberFailed_ = false;
    int16_t requestType_ = 0;
    bool saveFailed_ = false;
    bool quitPending_ = false;
    std::optional<std::string> messageAfterRun_;
};
