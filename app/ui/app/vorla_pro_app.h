#pragma once
// The one application object. It owns the directory in memory (the DirectoryStore with its
// seven lists and the last message), the settings store, the program directory and its lock,
// and the paging session; it runs start-up and exit. Windows borrow the lists through the
// getters and never free them. Create it after QApplication and destroy it before; tests may
// create and destroy several in a row (one at a time).
//
// Everything here runs on the user-interface thread.

#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "paging/log_object.h"  // complete for the LogRecordAdded signal: Qt needs it to connect
#include "settings/program_directory.h"
#include "ui/app/ui_extensions.h"

class AppFrame;
class CMessage;
class CObList;
class CVorlaPro5View;
class DirectoryStore;
class MessageLog;
class OutgoingQueue;
class QComboBox;
class QImage;
class SessionDriver;
class QWidget;

namespace vorla {
class ISettingsStore;
}

// What the command line asked for ("--home" is taken out earlier, by ProgramDirectory).
struct CommandLineInfo {
    std::string fileName;     // an optional document name; the directory file is fixed, so it is only noted
    bool embedding = false;   // "/Embedding" or "-Embedding"
    bool automation = false;  // "/Automation" or "-Automation"
    bool print = false;       // "/p", "/pt": printing requests show no splash either
    bool dde = false;         // "/dde"
};
// Parses arguments after the program name; switches start with "/" or "-" and match without
// regard to case. Unknown switches are ignored.
CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments);

class CVorlaPro5App : public QObject {
    Q_OBJECT
public:
    // The paging driver's idle state; every other state number means a run is going on.
    static constexpr int kStateIdle = 1;

    CVorlaPro5App(std::unique_ptr<vorla::ISettingsStore> settings, vorla::ProgramDirectory programDirectory,
                  QObject* parent = nullptr);
    ~CVorlaPro5App() override;
    CVorlaPro5App(const CVorlaPro5App&) = delete;
    CVorlaPro5App& operator=(const CVorlaPro5App&) = delete;

    // The instance alive now (null before the first and after the last).
    static CVorlaPro5App* Instance();

    // ---- Start-up and exit --------------------------------------------------------------
    UiExtensions& Extensions();
    // Start-up from the settings key to showing the main window. False means: quit now
    // (the directory is locked by another process, or there is no service after the wizard).
    // Messages for the user have been shown (or, with showMessages false, logged).
    bool InitApplicationObjects(const CommandLineInfo& commandLine, bool showMessages = true);
    // The exit sequence: queue file, log window file, the directory file (atomically),
    // then every list freed and the lock released. Safe to call twice.
    int ExitInstance();
    // The reason InitApplicationObjects returned false, for the caller and for tests.
    QString StartupRefusal() const;
    // Ends the program as closing the main window does, for a termination signal or the end
    // of the desktop session: every open dialog ends as if cancelled (asking nothing), a run
    // going on is cancelled as the Cancel button does, and once it has ended the main window
    // closes and the event loop (with any dialog's) ends with 0; the files are then saved by
    // ExitInstance. No new run starts and no message box opens meanwhile. During start-up
    // InitApplicationObjects then returns false and Exec ends at once.
    void RequestOrderlyEnd();
    bool OrderlyEndRequested() const;
    // The main event loop; its exit code.
    int Exec();

    // ---- Directory ----------------------------------------------------------------------
    void LoadDirectory();
    void NewDirectory();
    // Saves the directory file now (the document saves silently; never asks). False, with a
    // message logged, when the file could not be written; the old file is then intact.
    bool SaveDirectory();
    // SaveDirectory for what the user changed: empty when the file was written (or is kept
    // from being written over, as start-up told the user), else the text that tells why not.
    QString SaveDirectoryOrReason();
    DirectoryStore& Store();
    CObList* GetServiceList() const;
    CObList* GetSubscriberList() const;
    CObList* GetGroupList() const;
    CObList* GetPresetMessageList() const;
    CObList* GetDisplayList() const;
    CObList* GetOutgoingList() const;
    CObList* GetLogList() const;
    CMessage* GetLastMessage() const;
    void SetLastMessage(std::string text);
    // Tells every window that shows the directory to reload (the private message 1074).
    void NotifyDirectoryChanged();
    // Windows that hold the directory's records while they are open (the maintenance windows,
    // the preset chooser) say so for their lifetime with a DirectoryHold: nothing else may
    // add or free records meanwhile. DirectoryReleased follows the last one's end.
    bool DirectoryHeld() const { return directoryHolds_ > 0; }

    // ---- Settings and files -------------------------------------------------------------
    vorla::ISettingsStore& Settings();
    const vorla::ProgramDirectory& ProgramDir() const;
    // The program's folder ending in "/".
    std::string GetProgramDirectory() const;
    // Private profile files in the program directory (name found without regard to case).
    int GetIniInt(std::string_view section, std::string_view key, int defaultValue,
                  std::string_view file) const;
    std::string GetIniString(std::string_view section, std::string_view key, const char* defaultValue,
                             std::string_view file) const;
    bool WriteIniInt(std::string_view section, std::string_view key, int value, std::string_view file);
    bool WriteIniString(std::string_view section, std::string_view key, std::string_view value,
                        std::string_view file);
    bool ReadServiceIniEntry(int n, const std::array<std::string*, 6>& fields) const;
    bool ReadModemIniEntry(int n, const std::array<std::string*, 3>& fields) const;
    // LOGO.BMP from the program directory, or a null image.
    const QImage& Logo() const;
    // After the preferences sheet closed with OK: "Tips", "AutoSign" and "SpotPage" are read
    // again and applied to the toolbars and the message form.
    void RefreshAfterPreferences();
    bool ShowToolTips() const;
    void SetShowToolTips(bool show);
    bool IsEmbedded() const;
    // False when started without message boxes (tests) or once the program is ending: texts
    // for the user go to the log and no question is asked.
    bool ShowsMessages() const;
    // A box with a stop icon owned by the main window, or a log line without message boxes.
    void ShowStop(const QString& text);
    bool* ClosingFlag();

    // ---- Paging session -----------------------------------------------------------------
    int GetState() const;
    int GetErrorFlag() const;
    // Sends the queue's Now pages from idle time; a run already going on picks them up.
    void StartSending();
    void CancelSending();
    // A finished page's record: appended to the LogList and written to the text log.
    void AddLogRecord(std::unique_ptr<CLogObject> record);
    // Writes "Outgoing.vlg" now (an empty queue removes it). False when it could not be written.
    bool SaveQueue();
    // A status line for the message view's status list and the outgoing window's label.
    void SetStatusText(const QString& text);
    // A run starts: the status list is emptied.
    void ClearStatusLines();
    // The paging engine's parts, made by LoadDirectory (null before) over the OutgoingList and
    // the LogList; the outgoing and log windows work through these.
    OutgoingQueue* Queue() const;
    MessageLog* Log() const;
    SessionDriver* Driver() const;
    // A window token for RKL_FillComboWithPorts: the engine's lines are added to the combo.
    void* ComboToken(QComboBox* combo);

    // ---- Windows ------------------------------------------------------------------------
    // The main window (null before start-up and after exit); the frame's own class is
    // MainFrameOf (main_frame.h).
    AppFrame* MainFrame() const;
    void SetMainView(CVorlaPro5View* view);
    CVorlaPro5View* GetMainView() const;
    void SetOutgoingView(QWidget* view);
    QWidget* GetOutgoingView() const;
    void SetLogView(QWidget* view);
    QWidget* GetLogView() const;
    // Opens the log window as an MDI child, or brings it to the front; stores "LogVisible" = 1.
    // False when no log window is built into the program.
    bool OpenLogWindow();

signals:
    // A status line of the paging engine (message 1200).
    void StatusLineAdded(const QString& text);
    void StatusLinesCleared();
    // The outgoing queue changed (pages added, sent, failed or removed).
    void QueueChanged();
    // A run of the session driver has ended; GetErrorFlag tells how.
    void SendingFinished();
    // A record was appended to the LogList.
    void LogRecordAdded(const CLogObject* record);
    // Services, subscribers or groups changed: rebuild the recipient list.
    void DirectoryChanged();
    // The preferences sheet closed with OK: windows read their settings again.
    void PreferencesApplied();
    // The last window that held the directory has closed.
    void DirectoryReleased();

private:
    friend class DirectoryHold;
    int directoryHolds_ = 0;
    void EndWhenIdle();

    // The paging engine's parts over the current OutgoingList and LogList.
    void MakePagingGlue();
    struct Impl;
    std::unique_ptr<Impl> d_;
    friend struct AppPagingGlue;
};

// Held by a window for as long as it keeps pointers to the directory's records.
class DirectoryHold {
public:
    explicit DirectoryHold(CVorlaPro5App& app) : app_(app) { ++app_.directoryHolds_; }
    ~DirectoryHold() {
        if (--app_.directoryHolds_ == 0) emit app_.DirectoryReleased();
    }
    DirectoryHold(const DirectoryHold&) = delete;
    DirectoryHold& operator=(const DirectoryHold&) = delete;

private:
    CVorlaPro5App& app_;
};
