#pragma once
// The message entry form: the message field with its toolbar and count, the recipient list,
// the spot pager, the signature, the Outgoing choice, Send and Cancel, and the status list.
// It turns a send into outgoing pages and starts the paging session.

#include <QPlainTextEdit>
#include <QWidget>

#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CCustToolBar;
class CPagerMessage;
class CSelectionListBox;
class CSubscriber;
class CVorlaPro5App;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The message field: Enter sends (as the form's default button does), text dropped from
// outside the field replaces the whole message.
class MessageEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;
signals:
    void EnterPressed();
    void TextDropped();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;
};

class CVorlaPro5View : public QWidget {
    Q_OBJECT
public:
    // The Outgoing choices in the list's sorted order; "Now" is the default.
    enum Outgoing { kAt = 0, kLater = 1, kNow = 2 };

    // What the form asks the user. Each has a dialog by default; tests replace them.
    struct Prompts {
        std::function<bool(const QString& question)> yesNo;
        // The Signature dialog: the text on OK.
        std::function<std::optional<QString>()> signature;
        // The Spot Page dialog: the PIN and the chosen service's index in the service list.
        std::function<bool(QString& pin, int& serviceIndex)> spotPage;
        // The open-file dialog for Insert Text File.
        std::function<QString()> textFileName;
        std::function<void(const QString& text)> error;
        std::function<void(const QString& text)> information;
    };

    CVorlaPro5View(CVorlaPro5App& app, QWidget* parent = nullptr);
    ~CVorlaPro5View() override;

    Prompts& UserPrompts() { return prompts_; }
    // The clock for dates and times and for the list's keyboard search (seconds since 1970).
    void SetClock(std::function<std::time_t()> clock);

    // ---- Operations ------------------------------------------------------------------------
    // Does nothing unless Send is enabled. With "At..." the given time is used, else the
    // Schedule Message dialog is asked. Returns how many pages were queued.
    int Send(std::optional<uint32_t> scheduleTime = std::nullopt);
    // Adds one page to the queue (none when the same subscriber already has this message).
    bool QueuePage(const CSubscriber& subscriber, CPagerMessage* message,
                   std::optional<uint32_t> scheduleTime);
    void SendingFinished();
    void UpdateCounts();
    void FillSelectionList();
    void ShowSpotPage(bool show);
    void ClearSpot();
    // The signature with its date and time, appended at the end of the message. False when
    // there is no signature and the user did not make one.
    bool AppendSignature();
    void InsertDate();
    void InsertTime();
    // Reads the file whole; false (message unchanged) when it cannot be read.
    bool InsertTextFile(const QString& path);
    void RecycleLastMessage();
    void InsertPresetMessage();
    void SetMessageFont();
    void SpellCheck();
    void AddStatusLine(const QString& text);
    void ApplyToolTips();
    // "OtherTips", "AutoSign" (Signature enabled only when 0) and "SpotPage" read again.
    void ApplyPreferences();
    void SaveToolbarLayout();
    // The frame's edit, insert, spelling and font commands this form carries out, by command
    // id: the frame connects its actions to them, so the form knows no frame.
    std::vector<std::pair<int, std::function<void()>>> FrameCommands();
    // Whether each of those commands may act now, by command id, given whether the Main tab of
    // the message window is what the user works in. CommandStatesChanged says when to ask again.
    std::vector<std::pair<int, bool>> CommandStates(bool formIsCurrent) const;

    // ---- For windows and tests -------------------------------------------------------------
    MessageEdit* MessageField() const { return message_; }
    CSelectionListBox* SelectionList() const { return list_; }
    QPushButton* SendButton() const { return send_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* SignatureButton() const { return signature_; }
    QComboBox* OutgoingChoice() const { return outgoing_; }
    QComboBox* StatusList() const { return status_; }
    QCheckBox* SpotBox() const { return spotBox_; }
    QLabel* SpotLabel() const { return spotLabel_; }
    QLabel* CountLabel() const { return count_; }
    QLabel* SelectionsLabel() const { return selections_; }
    QLineEdit* RecipientFind() const { return find_; }
    CCustToolBar* MessageToolBar() const { return toolBar_; }
    const CSubscriber* SpotSubscriber() const { return spot_.get(); }
    // The message as 8-bit text.
    std::string MessageText() const;

signals:
    // The message field's selection, undo history or enabled state, or the clipboard, changed.
    void CommandStatesChanged();

private:
    void BuildForm();
    void BuildMessageToolBar();
    void SetEditing(bool editing);
    void ClearForm();
    void OnSpotToggled(bool checked);
    void ReplaceSelection(const QString& text);
    std::time_t Now() const;
    void ApplyStoredFont();
    // Enables the message toolbar and emits CommandStatesChanged.
    void UpdateCommands();

    CVorlaPro5App& app_;
    Prompts prompts_;
    std::function<std::time_t()> clock_;
    std::unique_ptr<CSubscriber> spot_;

    MessageEdit* message_ = nullptr;
    CSelectionListBox* list_ = nullptr;
    QPushButton* send_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* signature_ = nullptr;
    QComboBox* outgoing_ = nullptr;
    QComboBox* status_ = nullptr;
    QCheckBox* spotBox_ = nullptr;
    QLabel* spotLabel_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* selections_ = nullptr;
    QLineEdit* find_ = nullptr;
    QLabel* logo_ = nullptr;
    CCustToolBar* toolBar_ = nullptr;
    // The run going on carries the form's message. Only such a run clears the form when it
    // ends: a run the queue started (Send 'Later' Items, a time that came) must not take
    // away what was typed meanwhile.
    bool formRun_ = false;
};
