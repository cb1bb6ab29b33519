#include "ui/app/vorla_pro_app.h"

#include <QApplication>
#include <QDebug>
#include <QDialog>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLoggingCategory>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTimer>

#include <ctime>
#include <filesystem>

#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "archive/ob_list.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "files/save_failure.h"
#include "paging/log_object.h"
#include "paging/message_log.h"
#include "paging/outgoing_queue.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "paging/session_driver.h"
#include "platform/program_directory_lock.h"
#include "settings/ascii_case.h"
#include "settings/profile_file.h"
#include "settings/service_lists.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "text/windows1252.h"

#include "ui/app/app_frame.h"
#include "ui/app/paging_glue.h"

Q_LOGGING_CATEGORY(lcApp, "vorlapro.app")

namespace {
CVorlaPro5App* g_instance = nullptr;

// Innermost first. done() goes round reject(), so a dialog whose Cancel asks a question (the
// setup wizard, the maintenance windows) ends as if cancelled without asking it.
void DismissModalDialogs() {
    QWidget* previous = nullptr;
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (modal == previous) break;  // it would not go: the end of the event loops still ends it
        previous = modal;
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else {
            modal->hide();
        }
    }
}

bool EqualsSwitch(const std::string& argument, std::string_view name) {
    if (argument.size() != name.size() + 1 || (argument[0] != '/' && argument[0] != '-')) return false;
    return vorla::EqualsIgnoringAsciiCase(std::string_view(argument).substr(1), name);
}
}  // namespace

CommandLineInfo ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLineInfo info;
    for (const std::string& argument : arguments) {
        if (argument.empty()) continue;
        if (EqualsSwitch(argument, "Embedding")) {
            info.embedding = true;
        } else if (EqualsSwitch(argument, "Automation")) {
            info.automation = true;
        } else if (EqualsSwitch(argument, "p") || EqualsSwitch(argument, "pt")) {
            info.print = true;
        } else if (EqualsSwitch(argument, "dde")) {
            info.dde = true;
        } else if (argument[0] != '/' && argument[0] != '-' && info.fileName.empty()) {
            info.fileName = argument;
        }
    }
    return info;
}

struct CVorlaPro5App::Impl {
    Impl(std::unique_ptr<vorla::ISettingsStore> s, vorla::ProgramDirectory dir)
        : settings(std::move(s)),
          programDirectory(std::move(dir)),
          lock(QString::fromStdString(programDirectory.GetProgramDirectory())),
          registry(MakeProgramClassRegistry()) {}

    std::unique_ptr<vorla::ISettingsStore> settings;
    vorla::ProgramDirectory programDirectory;
    vorla::ProgramDirectoryLock lock;
    ClassRegistry registry;
    DirectoryStore store;
    UiExtensions extensions;
    std::unique_ptr<AppFrame> mainFrame;
    CVorlaPro5View* mainView = nullptr;
    QWidget* outgoingView = nullptr;
    QWidget* logView = nullptr;
    QPointer<QMdiSubWindow> logWindow;
    std::unique_ptr<AppPagingGlue> paging;
    QImage logo;
    QString refusal;
    bool showToolTips = true;
    bool closing = false;
    bool embedded = false;
    // A directory file that failed to load: no setup wizard over the empty lists left in
    // its place (the user is told where the file went and decides).
    bool directoryLoadFailed = false;
    // Files that did not read and could not be moved aside: never written over.
    bool directorySaveBlocked = false;
    bool queueFileBlocked = false;
    bool logFileBlocked = false;
    // What start-up could not use, shown once the main frame exists.
    QStringList startupReports;
    bool exited = false;
    bool started = false;
    bool endRequested = false;
    bool showMessages = true;
};

CVorlaPro5App::CVorlaPro5App(std::unique_ptr<vorla::ISettingsStore> settings,
                             vorla::ProgramDirectory programDirectory, QObject* parent)
    : QObject(parent), d_(std::make_unique<Impl>(std::move(settings), std::move(programDirectory))) {
    g_instance = this;
}

void CVorlaPro5App::RequestOrderlyEnd() {
    if (d_->endRequested) return;
    d_->endRequested = true;
    qCInfo(lcApp) << "Ending: the program was asked to end.";
    // Checked again after every run: the end waits for the stopped run to hang up.
    connect(this, &CVorlaPro5App::SendingFinished, this, &CVorlaPro5App::EndWhenIdle, Qt::QueuedConnection);
    // Nobody may be there to answer an open dialog, and a run must not wait on one.
    DismissModalDialogs();
    EndWhenIdle();
}

int CVorlaPro5App::Exec() {
    // An end asked for during start-up ended the event loops running then; this one would
    // otherwise never hear of it.
    if (d_->endRequested) QTimer::singleShot(0, this, &CVorlaPro5App::EndWhenIdle);
    return QApplication::exec();
}

bool CVorlaPro5App::OrderlyEndRequested() const {
    return d_->endRequested;
}

void CVorlaPro5App::EndWhenIdle() {
    if (!d_->endRequested || d_->exited) return;
    if (SessionDriver* driver = Driver(); driver && !driver->IsIdle()) {
        // A shutdown is not the user's Cancel: the unsent pages wait for the next start.
        if (!driver->IsStopping()) driver->StopSending();
        return;
    }
    // A box the run's end opened meanwhile.
    DismissModalDialogs();
    if (d_->mainFrame) d_->mainFrame->close();
    // Every event loop ends; one started later returns at once.
    QCoreApplication::exit(0);
}

CVorlaPro5App::~CVorlaPro5App() {
    if (d_->started) ExitInstance();
    d_->mainFrame.reset();
    d_->paging.reset();
    d_->store.Clear();
    if (g_instance == this) g_instance = nullptr;
}

CVorlaPro5App* CVorlaPro5App::Instance() {
    return g_instance;
}

UiExtensions& CVorlaPro5App::Extensions() {
    return d_->extensions;
}
QString CVorlaPro5App::StartupRefusal() const {
    return d_->refusal;
}

namespace {
void Inform(bool show, QMessageBox::Icon icon, const QString& text) {
    qCInfo(lcApp).noquote() << text;
    if (!show) return;
    QMessageBox box(icon, QStringLiteral("Vorla Pro"), text, QMessageBox::Ok);
    box.exec();
}

// The document's texts for a directory file that could not be written.
QString DirectorySaveFailureText(const std::string& path) {
    switch (DiagnoseSaveFailure(path)) {
        case SaveFailureCause::FolderMissing:
        case SaveFailureCause::AccessDenied:
            return QStringLiteral("Unable to write to %1, it is read-only or opened by someone else.")
                .arg(QString::fromStdString(path));
        case SaveFailureCause::DiskFull:
            return QStringLiteral("Destination disk drive is full.");
        case SaveFailureCause::Other:
            break;
    }
    return QStringLiteral("Failed to save document.");
}

// LOGO.BMP: no file means no logo and no message; any other failure is said once.
QImage LoadLogo(const vorla::ProgramDirectory& directory, bool showMessages) {
    auto path = directory.FindDataFile("LOGO.BMP");
    if (!path) return {};
    QImageReader reader(QString::fromStdString(path->string()));
    const QSize size = reader.size();
    if (size.width() > 32767 || size.height() > 32767) {
        Inform(showMessages, QMessageBox::Information, QStringLiteral("LOGO.BMP is too large"));
        return {};
    }
    QImage image = reader.read();
    if (image.isNull()) {
        Inform(showMessages, QMessageBox::Information, QStringLiteral("Couldn't load LOGO.BMP"));
        return {};
    }
    return image;
}
}  // namespace

bool CVorlaPro5App::InitApplicationObjects(const CommandLineInfo& commandLine, bool showMessages) {
    d_->started = true;
    d_->showMessages = showMessages;
    // One process per program directory: a second one would overwrite the first one's files.
    if (d_->lock.TryAcquire() != vorla::ProgramDirectoryLock::Result::Acquired) {
        d_->refusal = d_->lock.RefusalText();
        Inform(showMessages, QMessageBox::Critical, d_->refusal);
        d_->started = false;
        return false;
    }
    d_->logo = LoadLogo(d_->programDirectory, showMessages);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorRestore {
        ~CursorRestore() { QGuiApplication::restoreOverrideCursor(); }
    } cursorRestore;

    LoadDirectory();
    d_->mainFrame = d_->extensions.makeMainFrame(*this);
    auto& prefs = *d_->settings;
    d_->embedded = commandLine.embedding || commandLine.automation;
    const bool toolBarShown = ReadSetting(prefs, vorla::setting::kToolBarState) == 1;
    const bool statusBarShown = ReadSetting(prefs, vorla::setting::kStatusBarState) == 1;
    d_->mainFrame->SetBarsVisible(toolBarShown, statusBarShown);
    // Shown after the main frame exists so the boxes have an owner.
    for (const QString& report : std::as_const(d_->startupReports)) {
        if (!ShowsMessages()) break;
        QMessageBox::critical(d_->mainFrame.get(), QStringLiteral("Vorla Pro"), report);
    }
    emit QueueChanged();

    // Asked to end while a box was open: the caller ends the program (Exec) and saves.
    const QString askedToEnd = QStringLiteral("The program was asked to end during start-up.");
    if (d_->endRequested) {
        d_->refusal = askedToEnd;
        return false;
    }
    if (GetServiceList()->IsEmpty() && !d_->directoryLoadFailed) {
        qCInfo(lcApp) << "No paging service in the directory: the setup wizard opens.";
        d_->extensions.runSetupWizard(*this, d_->mainFrame.get());
        // The wizard ended as if cancelled, without its question.
        if (d_->endRequested) {
            d_->refusal = askedToEnd;
            return false;
        }
        if (GetServiceList()->IsEmpty()) {
            d_->refusal = QStringLiteral("There is no paging service in the directory.");
            qCInfo(lcApp).noquote() << d_->refusal;
            d_->mainFrame->close();
            return false;
        }
        NotifyDirectoryChanged();
    }
    d_->showToolTips = ReadSetting(prefs, vorla::setting::kTips) != 0;
    d_->mainFrame->ApplyToolTips(d_->showToolTips);

    if (ReadSetting(prefs, vorla::setting::kLogVisible) != 0) {
        if (OpenLogWindow() && ReadSetting(prefs, vorla::setting::kLogActive) == 0) {
            d_->mainFrame->MdiArea()->setActiveSubWindow(d_->mainFrame->MessageWindow());
        }
    }
    if (!d_->embedded) {
        d_->mainFrame->ShowWithSavedPlacement();
        // After the event loop has painted the window, as a tip belongs over the program.
        if (showMessages) {
            QTimer::singleShot(0, d_->mainFrame.get(), [this] {
                if (d_->mainFrame) d_->extensions.showStartupTip(*this, d_->mainFrame.get());
            });
        }
    }
    return true;
}

void CVorlaPro5App::LoadDirectory() {
    const std::string folder = GetProgramDirectory();
    const StartupLoad load = LoadStartupFiles(d_->store, folder, d_->registry, std::time(nullptr));
    d_->startupReports.clear();
    for (const UnreadableFile& file : load.unreadable) {
        const std::string name = std::filesystem::path(file.path).filename().string();
        QString text = QString::fromStdString(DescribeUnreadableFile(file));
        if (name == kDirectoryFileName) {
            d_->directorySaveBlocked = !file.movedTo;
            d_->refusal = IsFormatError(file.error)
                              ? QStringLiteral("Unexpected file format.")
                              : QStringLiteral("Unable to read from %1, it is opened by someone else.")
                                    .arg(QString::fromStdString(file.path));
            text = d_->refusal + QStringLiteral("\n\n") + text;
        } else if (name == kOutgoingFileName) {
            d_->queueFileBlocked = !file.movedTo;
        } else if (name == kLogWindowFileName) {
            d_->logFileBlocked = !file.movedTo;
        }
        qCWarning(lcApp).noquote() << text;
        d_->startupReports << text;
    }
    d_->directoryLoadFailed = load.directoryError != ArchiveError::None;
    if (!d_->store.GetServiceList()) d_->store.CreateEmpty();
    d_->store.EnsureQueueAndLog();
    MakePagingGlue();
}

void CVorlaPro5App::MakePagingGlue() {
    d_->paging = std::make_unique<AppPagingGlue>(*this, !d_->queueFileBlocked, !d_->logFileBlocked);
}

void CVorlaPro5App::NewDirectory() {
    // The queue and the log work on the lists being replaced.
    d_->paging.reset();
    d_->store.CreateEmpty();
    SetFileFormatVersion(kCurrentFileFormatVersion);
    d_->directoryLoadFailed = false;
    MakePagingGlue();
    NotifyDirectoryChanged();
    emit QueueChanged();
}

bool CVorlaPro5App::SaveDirectory() {
    if (d_->directorySaveBlocked || !d_->store.GetServiceList()) return false;
    const ArchiveError error =
        SaveDirectoryFile(GetProgramDirectory() + std::string(kDirectoryFileName), d_->store);
    if (error != ArchiveError::None) {
        qCWarning(lcApp) << "Failed to save document." << ArchiveErrorText(error).data();
        return false;
    }
    return true;
}

QString CVorlaPro5App::SaveDirectoryOrReason() {
    if (d_->directorySaveBlocked || SaveDirectory()) return {};
    return DirectorySaveFailureText(GetProgramDirectory() + std::string(kDirectoryFileName));
}

bool CVorlaPro5App::SaveQueue() {
    return d_->paging && d_->paging->Queue().SaveQueue();
}

int CVorlaPro5App::ExitInstance() {
    if (d_->exited || !d_->started) return 0;
    d_->exited = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // Each failure is shown: at exit nothing else would tell the user that the queue, the
    // log or the directory did not reach the disk.
    if (d_->paging) {
        SaveQueue();
        if (!d_->paging->Log().SaveLog()) {
            ShowStop(QString::fromStdString(SaveFailureText(d_->paging->Log().LogWindowFilePath())));
        }
    }
    if (const QString failure = SaveDirectoryOrReason(); !failure.isEmpty()) ShowStop(failure);
    QGuiApplication::restoreOverrideCursor();
    d_->mainView = nullptr;
    d_->outgoingView = nullptr;
    d_->logView = nullptr;
    d_->mainFrame.reset();
    d_->paging.reset();
    d_->store.Clear();
    d_->lock.Release();
    return 0;
}

DirectoryStore& CVorlaPro5App::Store() {
    return d_->store;
}
CObList* CVorlaPro5App::GetServiceList() const {
    return d_->store.GetServiceList();
}
CObList* CVorlaPro5App::GetSubscriberList() const {
    return d_->store.GetSubscriberList();
}
CObList* CVorlaPro5App::GetGroupList() const {
    return d_->store.GetGroupList();
}
CObList* CVorlaPro5App::GetPresetMessageList() const {
    return d_->store.GetPresetMessageList();
}
CObList* CVorlaPro5App::GetDisplayList() const {
    return d_->store.GetDisplayList();
}
CObList* CVorlaPro5App::GetOutgoingList() const {
    return d_->store.GetOutgoingList();
}
CObList* CVorlaPro5App::GetLogList() const {
    return d_->store.GetLogList();
}
CMessage* CVorlaPro5App::GetLastMessage() const {
    return d_->store.GetLastMessage();
}
void CVorlaPro5App::SetLastMessage(std::string text) {
    d_->store.SetLastMessageText(std::move(text));
}
void CVorlaPro5App::NotifyDirectoryChanged() {
    emit DirectoryChanged();
}

vorla::ISettingsStore& CVorlaPro5App::Settings() {
    return *d_->settings;
}
const vorla::ProgramDirectory& CVorlaPro5App::ProgramDir() const {
    return d_->programDirectory;
}
std::string CVorlaPro5App::GetProgramDirectory() const {
    return d_->programDirectory.GetProgramDirectory();
}

namespace {
vorla::ProfileFile LoadProfile(const vorla::ProgramDirectory& directory, std::string_view file) {
    auto path = directory.FindDataFile(file);
    if (!path) return vorla::ProfileFile::Parse("");
    return vorla::ProfileFile::Load(*path);
}
}  // namespace

int CVorlaPro5App::GetIniInt(std::string_view section, std::string_view key, int defaultValue,
                             std::string_view file) const {
    return LoadProfile(d_->programDirectory, file).GetInt(section, key, defaultValue);
}

std::string CVorlaPro5App::GetIniString(std::string_view section, std::string_view key,
                                        const char* defaultValue, std::string_view file) const {
    return LoadProfile(d_->programDirectory, file).GetString(section, key, defaultValue);
}

bool CVorlaPro5App::WriteIniString(std::string_view section, std::string_view key, std::string_view value,
                                   std::string_view file) {
    auto path = d_->programDirectory.DataFilePath(file);
    if (!path) return false;
    vorla::ProfileFile profile = vorla::ProfileFile::Load(*path);
    if (!profile.SetString(section, key, value)) return false;
    return profile.Save(*path);
}

bool CVorlaPro5App::WriteIniInt(std::string_view section, std::string_view key, int value,
                                std::string_view file) {
    return WriteIniString(section, key, std::to_string(value), file);
}

bool CVorlaPro5App::ReadServiceIniEntry(int n, const std::array<std::string*, 6>& fields) const {
    return vorla::ReadServiceIniEntry(LoadProfile(d_->programDirectory, vorla::kServicesFileName), n, fields);
}

bool CVorlaPro5App::ReadModemIniEntry(int n, const std::array<std::string*, 3>& fields) const {
    return vorla::ReadModemIniEntry(LoadProfile(d_->programDirectory, vorla::kModemsFileName), n, fields);
}

const QImage& CVorlaPro5App::Logo() const {
    return d_->logo;
}
void CVorlaPro5App::RefreshAfterPreferences() {
    SetShowToolTips(ReadSetting(*d_->settings, vorla::setting::kTips) != 0);
    emit PreferencesApplied();
}

bool CVorlaPro5App::ShowToolTips() const {
    return d_->showToolTips;
}
void CVorlaPro5App::SetShowToolTips(bool show) {
    d_->showToolTips = show;
    if (d_->mainFrame) d_->mainFrame->ApplyToolTips(show);
}
bool CVorlaPro5App::IsEmbedded() const {
    return d_->embedded;
}
bool CVorlaPro5App::ShowsMessages() const {
    return d_->showMessages && !d_->endRequested;
}

void CVorlaPro5App::ShowStop(const QString& text) {
    qCInfo(lcApp).noquote() << text;
    if (ShowsMessages()) QMessageBox::critical(d_->mainFrame.get(), QStringLiteral("Vorla Pro"), text);
}
bool* CVorlaPro5App::ClosingFlag() {
    return &d_->closing;
}

int CVorlaPro5App::GetState() const {
    return d_->paging ? d_->paging->Driver().GetState() : kStateIdle;
}
int CVorlaPro5App::GetErrorFlag() const {
    return d_->paging ? d_->paging->Driver().GetErrorFlag() : 0;
}

void CVorlaPro5App::StartSending() {
    // Pages that fall due while the program ends stay in the queue for the next start.
    if (d_->endRequested) return;
    if (d_->paging) d_->paging->Driver().StartSending();
}

void CVorlaPro5App::CancelSending() {
    if (d_->paging) d_->paging->Driver().CancelSending();
}

void CVorlaPro5App::AddLogRecord(std::unique_ptr<CLogObject> record) {
    if (!record || !d_->paging) return;
    emit LogRecordAdded(&d_->paging->Log().Add(std::move(record)));
}

void CVorlaPro5App::SetStatusText(const QString& text) {
    emit StatusLineAdded(text);
}
void CVorlaPro5App::ClearStatusLines() {
    emit StatusLinesCleared();
}
OutgoingQueue* CVorlaPro5App::Queue() const {
    return d_->paging ? &d_->paging->Queue() : nullptr;
}
MessageLog* CVorlaPro5App::Log() const {
    return d_->paging ? &d_->paging->Log() : nullptr;
}
SessionDriver* CVorlaPro5App::Driver() const {
    return d_->paging ? &d_->paging->Driver() : nullptr;
}
void* CVorlaPro5App::ComboToken(QComboBox* combo) {
    return d_->paging ? d_->paging->ComboToken(combo) : nullptr;
}

AppFrame* CVorlaPro5App::MainFrame() const {
    return d_->mainFrame.get();
}
void CVorlaPro5App::SetMainView(CVorlaPro5View* view) {
    d_->mainView = view;
}
CVorlaPro5View* CVorlaPro5App::GetMainView() const {
    return d_->mainView;
}
void CVorlaPro5App::SetOutgoingView(QWidget* view) {
    d_->outgoingView = view;
}
QWidget* CVorlaPro5App::GetOutgoingView() const {
    return d_->outgoingView;
}
void CVorlaPro5App::SetLogView(QWidget* view) {
    d_->logView = view;
}
QWidget* CVorlaPro5App::GetLogView() const {
    return d_->logView;
}

bool CVorlaPro5App::OpenLogWindow() {
    if (!d_->mainFrame) return false;
    if (!d_->logWindow) {
        QWidget* window = d_->extensions.makeLogWindow(*this);
        if (!window) return false;
        d_->logWindow = d_->mainFrame->AddChild(window);
    }
    d_->mainFrame->MdiArea()->setActiveSubWindow(d_->logWindow);
    d_->logWindow->show();
    WriteSetting(*d_->settings, vorla::setting::kLogVisible, 1);
    return true;
}
