#include "ui/main_window/main_frame.h"

#include "ui/common/command_icon.h"
#include "ui/desktop/program_icon.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTime>
#include <QTimer>

#include "platform/lock_keys.h"
#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "ui/app/command_ids.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/common/cust_toolbar.h"
#include "ui/common/toolbar_layout.h"
#include "ui/main_window/message_window.h"
#include "ui/main_window/widget_placement.h"
#include "ui/message_entry/vorla_pro_view.h"

namespace {
constexpr int kSmallToolbarResource = 26571;
constexpr int kLargeToolbarResource = 26570;

struct CommandText {
    int id;
    const char* menu;
    const char* status;  // status line "\n" tool tip, as the toolbar's customise dialog shows it
};
// Every command the frame creates an action for.
const CommandText kCommands[] = {
    {cmd::kImportData, "&Import Data...", "Imports a directory from another paging program\nImport Data"},
    {cmd::kPrint, "&Print...\tCtrl+P", "Prints the directory lists\nPrint"},
    {cmd::kPrintPreview, "Print Pre&view", "Displays the printed directory lists\nPrint Preview"},
    {cmd::kPrintSetup, "P&rint Setup...", "Changes the printer and printing options\nPrint Setup"},
    {cmd::kSendMail, "S&end...", "Sends the directory by mail\nSend"},
    {cmd::kExit, "E&xit", "Quits the application\nExit"},
    {cmd::kUndo, "&Undo\tCtrl+Z", "Undoes the last action\nUndo"},
    {cmd::kCut, "Cu&t\tCtrl+X", "Cuts the selection and puts it on the Clipboard\nCut"},
    {cmd::kCopy, "&Copy\tCtrl+C", "Copies the selection and puts it on the Clipboard\nCopy"},
    {cmd::kPaste, "&Paste\tCtrl+V", "Inserts Clipboard contents\nPaste"},
    {cmd::kClear, "Cle&ar\tCtrl+B", "Erases the selection\nClear"},
    {cmd::kSelectAll, "Select &All\tCtrl+A", "Selects the entire message\nSelect All"},
    {cmd::kSpellCheck, "Spe&ll Check Message", "Checks the spelling of the message\nSpell Check Message"},
    {cmd::kInsertDate, "Insert &Date\tCtrl+D", "Inserts the current date\nInsert Current Date"},
    {cmd::kInsertTime, "Insert Tim&e\tCtrl+T", "Inserts the current time\nInsert Current Time"},
    {cmd::kInsertMessage, "Insert &Message\tCtrl+N", "Inserts a preset message\nPreset Message"},
    {cmd::kInsertTextFile, "Insert Text &File", "Inserts the contents of a text file\nInsert Text File"},
    {cmd::kInsertLastMessage, "Insert Last Messa&ge", "Inserts the last message sent\nRecycle Last Message"},
    {cmd::kSetupWizard, "Setup &Wizard...", "Runs the express setup wizard\nSetup Wizard"},
    {cmd::kServices, "Ser&vices...\tCtrl+E", "Opens the Service Maintenance window\nServices"},
    {cmd::kSubscribers, "S&ubscribers...\tCtrl+R", "Opens the Subscriber Maintenance window\nSubscribers"},
    {cmd::kGroups, "&Groups...\tCtrl+G", "Opens the Group Maintenance window\nGroups"},
    {cmd::kPresetMessages, "&Preset Messages...\tCtrl+M",
     "Opens the Preset Message Maintenance window\nPreset Messages"},
    {cmd::kPreferences, "Pre&ferences...\tCtrl+F", "Changes the program's preferences\nPreferences"},
    {cmd::kViewToolBar, "&Toolbar", "Shows or hides the toolbar\nToggle Toolbar"},
    {cmd::kViewStatusBar, "&Status Bar", "Shows or hides the status bar\nToggle Status Bar"},
    {cmd::kMessageLog, "&Message Log\tCtrl+L", "Opens the message log\nMessage Log"},
    {cmd::kCustomizeToolbar, "Customize Toolbar...", "Changes the buttons of the toolbar\nCustomize Toolbar"},
    {cmd::kSetFont, "Set &Font...", "Changes the font of the message\nSet Font"},
    {cmd::kCascade, "&Cascade", "Arranges windows so they overlap\nCascade Windows"},
    {cmd::kTile, "&Tile", "Arranges windows as non-overlapping tiles\nTile Windows"},
    {cmd::kArrangeIcons, "&Arrange Icons", "Arranges icons at the bottom of the window\nArrange Icons"},
    {cmd::kNextWindow, "&Next Window", "Activates the next window\nNext Window"},
    {cmd::kTipOfTheDay, "&Tip of the Day...", "Shows a tip\nTip of the Day"},
    {cmd::kHelpContents, "&Contents", "Opens the help\nHelp"},
    {cmd::kUsingHelp, "&Using Help", "Explains the help\nUsing Help"},
    {cmd::kAbout, "&About...", "Shows the program's version\nAbout"},
};

QKeySequence ShortcutOf(const char* menu) {
    const QString text = QString::fromLatin1(menu);
    const int tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QKeySequence() : QKeySequence(text.mid(tab + 1));
}
}  // namespace

CMainFrame::CMainFrame(CVorlaPro5App& app, QWidget* parent) : AppFrame(parent), app_(app) {
    setWindowTitle(QStringLiteral("Vorla Pro"));
    // The MDI children take it from here; without it they show the style's default icon.
    setWindowIcon(vorla::ProgramIcon());
    setObjectName(QStringLiteral("MainFrame"));
    mdiArea_ = new QMdiArea(this);
    setCentralWidget(mdiArea_);
    resize(800, 560);

    CreateActions();
    auto* message = new CVorlaMDIChild(app_);
    tabs_ = new CMainView(app_, message);
    message->setWidget(tabs_);
    message->ApplyMinimumSize();
    mdiArea_->addSubWindow(message);
    messageWindow_ = message;
    message->show();

    const bool small = ReadSetting(app_.Settings(), vorla::setting::kSmallToolbar) != 0;
    const int resource = small ? kSmallToolbarResource : kLargeToolbarResource;
    toolBar_ = new CCustToolBar(QStringLiteral("Toolbar"), vorla::ToolbarStateEntry(resource), this);
    toolBar_->setIconSize(small ? QSize(16, 15) : QSize(32, 30));
    toolBar_->setAllowedAreas(Qt::TopToolBarArea | Qt::LeftToolBarArea | Qt::RightToolBarArea);
    const std::vector<int> buttons = {cmd::kMessageLog,
                                      cmd::kNextWindow,
                                      0,
                                      cmd::kPreferences,
                                      cmd::kServices,
                                      cmd::kSubscribers,
                                      cmd::kGroups,
                                      cmd::kPresetMessages,
                                      0,
                                      cmd::kCut,
                                      cmd::kCopy,
                                      cmd::kPaste,
                                      0,
                                      cmd::kPrint,
                                      cmd::kAbout};
    for (int id : buttons)
        if (id != 0) toolBar_->AddToCatalogue(actions_.at(id), id);
    toolBar_->SetDefaultLayout(buttons);
    toolBar_->RestoreLayout(app_.Settings());
    addToolBar(Qt::TopToolBarArea, toolBar_);
    CreateMenus();
    CreateStatusBar();
    RestoreBarLayout();
    ApplyToolTips(ReadSetting(app_.Settings(), vorla::setting::kTips) != 0);
}

CMainFrame::~CMainFrame() {
    // The actions go with this object, before the child windows whose closing still signals
    // activation changes that would update them.
    disconnect(mdiArea_, nullptr, this, nullptr);
    if (CVorlaPro5View* view = MessageView()) {
        disconnect(mdiArea_, nullptr, view, nullptr);
        disconnect(tabs_, nullptr, view, nullptr);
        disconnect(view, nullptr, this, nullptr);
    }
}

CMainFrame* MainFrameOf(const CVorlaPro5App& app) {
    return qobject_cast<CMainFrame*>(app.MainFrame());
}

QAction* CMainFrame::Action(int commandId) const {
    auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
}

CVorlaPro5View* CMainFrame::MessageView() const {
    return tabs_ ? tabs_->EntryView() : nullptr;
}

void CMainFrame::CreateActions() {
    QStyle* s = style();
    struct Icon {
        const char* themeName;  // empty: no theme icon has this meaning
        const char* ownIcon;    // the program's own icon, for its own commands
        QStyle::StandardPixmap fallback;
    };
    const std::map<int, Icon> icons = {
        {cmd::kMessageLog, {"", "message_log", QStyle::SP_FileDialogDetailedView}},
        {cmd::kNextWindow, {"go-next", nullptr, QStyle::SP_ArrowRight}},
        {cmd::kPreferences, {"preferences-system", nullptr, QStyle::SP_FileDialogContentsView}},
        {cmd::kServices, {"", "services", QStyle::SP_DriveNetIcon}},
        {cmd::kSubscribers, {"", "subscribers", QStyle::SP_DirHomeIcon}},
        {cmd::kGroups, {"", "groups", QStyle::SP_DirIcon}},
        {cmd::kPresetMessages, {"", "preset_messages", QStyle::SP_FileIcon}},
        {cmd::kCut, {"edit-cut", nullptr, QStyle::SP_DialogDiscardButton}},
        {cmd::kCopy, {"edit-copy", nullptr, QStyle::SP_FileLinkIcon}},
        {cmd::kPaste, {"edit-paste", nullptr, QStyle::SP_DialogSaveButton}},
        {cmd::kPrint, {"document-print", nullptr, QStyle::SP_ComputerIcon}},
        {cmd::kAbout, {"help-about", nullptr, QStyle::SP_MessageBoxInformation}},
    };
    for (const CommandText& c : kCommands) {
        QString menu = QString::fromLatin1(c.menu);
        menu = menu.left(menu.indexOf(QLatin1Char('\t')) < 0 ? menu.size() : menu.indexOf(QLatin1Char('\t')));
        auto* action = new QAction(menu, this);
        const QString status = QString::fromLatin1(c.status);
        action->setStatusTip(status);
        action->setProperty("commandText", status);
        action->setToolTip(status.section(QLatin1Char('\n'), 1));
        action->setShortcut(ShortcutOf(c.menu));
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setData(c.id);
        if (auto icon = icons.find(c.id); icon != icons.end())
            action->setIcon(
                vorla::CommandIcon(icon->second.themeName, icon->second.ownIcon, icon->second.fallback, s));
        actions_[c.id] = action;
    }
    // The status tip shows the first line only.
    for (auto& [id, action] : actions_)
        action->setStatusTip(action->statusTip().section(QLatin1Char('\n'), 0, 0));

    connect(actions_[cmd::kExit], &QAction::triggered, this, &QWidget::close);
    connect(actions_[cmd::kMessageLog], &QAction::triggered, this, [this] { app_.OpenLogWindow(); });
    connect(actions_[cmd::kCustomizeToolbar], &QAction::triggered, this, [this] { toolBar_->Customize(); });
    connect(actions_[cmd::kCascade], &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
    connect(actions_[cmd::kTile], &QAction::triggered, mdiArea_, &QMdiArea::tileSubWindows);
    connect(actions_[cmd::kArrangeIcons], &QAction::triggered, mdiArea_, &QMdiArea::cascadeSubWindows);
    connect(actions_[cmd::kNextWindow], &QAction::triggered, this, &CMainFrame::NextWindow);
    auto* toggleTool = actions_[cmd::kViewToolBar];
    toggleTool->setCheckable(true);
    connect(toggleTool, &QAction::toggled, this, [this](bool on) {
        toolBar_->setVisible(on);
        WriteSetting(app_.Settings(), vorla::setting::kToolBarState, on ? 1 : 0);
    });
    auto* toggleStatus = actions_[cmd::kViewStatusBar];
    toggleStatus->setCheckable(true);
    connect(toggleStatus, &QAction::toggled, this, [this](bool on) {
        statusBar()->setVisible(on);
        WriteSetting(app_.Settings(), vorla::setting::kStatusBarState, on ? 1 : 0);
    });
    // Print goes to the active window first: the log window prints itself on the same command
    // (its own Print carries the same id), as the user expects of Ctrl+P there. Otherwise the
    // frame's own print, when a part of the program provides it.
    auto framePrint = app_.Extensions().commands.find(cmd::kPrint);
    std::function<void(CVorlaPro5App&, QWidget*)> ownPrint;
    if (framePrint != app_.Extensions().commands.end()) ownPrint = framePrint->second;
    connect(actions_[cmd::kPrint], &QAction::triggered, this, [this, ownPrint] {
        if (QAction* childPrint = ActiveChildCommand(cmd::kPrint))
            childPrint->trigger();
        else if (ownPrint)
            ownPrint(app_, this);
    });
    auto updatePrint = [this, hasOwn = bool(ownPrint)] {
        actions_[cmd::kPrint]->setEnabled(hasOwn || ActiveChildCommand(cmd::kPrint) != nullptr);
    };
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, updatePrint);
    updatePrint();

    // Commands another part of the program provides (RegisterProgramParts).
    for (int id : {cmd::kImportData, cmd::kPrintPreview, cmd::kPrintSetup, cmd::kSendMail, cmd::kSetupWizard,
                   cmd::kServices, cmd::kSubscribers, cmd::kGroups, cmd::kPresetMessages, cmd::kPreferences,
                   cmd::kTipOfTheDay, cmd::kHelpContents, cmd::kUsingHelp, cmd::kAbout}) {
        auto handler = app_.Extensions().commands.find(id);
        if (handler == app_.Extensions().commands.end()) {
            // Mail needs the desktop's mail handler; where there is none the command is not
            // offered at all rather than shown as something that might work one day.
            if (id == cmd::kSendMail) {
                actions_[id]->setVisible(false);
            } else {
                actions_[id]->setEnabled(false);
            }
            continue;
        }
        auto run = handler->second;
        connect(actions_[id], &QAction::triggered, this, [this, run] { run(app_, this); });
    }
}

void CMainFrame::CreateMenus() {
    auto add = [this](QMenu* menu, std::initializer_list<int> ids) {
        for (int id : ids) {
            if (id == 0) {
                menu->addSeparator();
            } else {
                menu->addAction(actions_.at(id));
            }
        }
    };
    add(menuBar()->addMenu(QStringLiteral("&File")), {cmd::kImportData, 0, cmd::kPrint, cmd::kPrintPreview,
                                                      cmd::kPrintSetup, 0, cmd::kSendMail, 0, cmd::kExit});
    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    add(edit, {cmd::kUndo, 0, cmd::kCut, cmd::kCopy, cmd::kPaste, cmd::kClear, cmd::kSelectAll, 0,
               cmd::kSpellCheck, 0, cmd::kInsertDate, cmd::kInsertTime, cmd::kInsertMessage,
               cmd::kInsertTextFile, cmd::kInsertLastMessage});
    // Alt+S is Send on the message form, so the Setup menu opens with Alt+T.
    add(menuBar()->addMenu(QStringLiteral("Se&tup")),
        {cmd::kSetupWizard, 0, cmd::kServices, cmd::kSubscribers, cmd::kGroups, cmd::kPresetMessages, 0,
         cmd::kPreferences});
    add(menuBar()->addMenu(QStringLiteral("&View")),
        {cmd::kViewToolBar, cmd::kViewStatusBar, 0, cmd::kMessageLog, 0, cmd::kCustomizeToolbar,
         cmd::kSetFont});
    windowMenu_ = menuBar()->addMenu(QStringLiteral("&Window"));
    add(windowMenu_, {cmd::kCascade, cmd::kTile, cmd::kArrangeIcons, cmd::kNextWindow});
    connect(windowMenu_, &QMenu::aboutToShow, this, &CMainFrame::UpdateWindowMenu);
    add(menuBar()->addMenu(QStringLiteral("&Help")),
        {cmd::kTipOfTheDay, 0, cmd::kHelpContents, cmd::kUsingHelp, 0, cmd::kAbout});
    if (CVorlaPro5View* view = MessageView()) ConnectFormCommands(*view);
}

void CMainFrame::ConnectFormCommands(CVorlaPro5View& view) {
    for (auto& [id, run] : view.FrameCommands())
        if (QAction* action = Action(id)) connect(action, &QAction::triggered, &view, run);
    auto update = [this, &view] { UpdateFormCommands(view); };
    connect(mdiArea_, &QMdiArea::subWindowActivated, &view, update);
    connect(tabs_, &QTabWidget::currentChanged, &view, update);
    connect(&view, &CVorlaPro5View::CommandStatesChanged, this, update);
    update();
}

void CMainFrame::UpdateFormCommands(const CVorlaPro5View& view) {
    // The commands reach the field only while the Main tab of the message window is what the
    // user works in; with the log window active they would edit a field out of sight.
    const QMdiSubWindow* current = mdiArea_->currentSubWindow();
    const bool formIsCurrent =
        (current == nullptr || current == messageWindow_) && tabs_->currentWidget() == &view;
    for (const auto& [id, enabled] : view.CommandStates(formIsCurrent))
        if (QAction* action = Action(id)) action->setEnabled(enabled);
}

void CMainFrame::UpdateWindowMenu() {
    for (QAction* action : windowListActions_) {
        windowMenu_->removeAction(action);
        action->deleteLater();
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    windowListActions_.append(windowMenu_->addSeparator());
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    int number = 0;
    for (QMdiSubWindow* window : windows) {
        ++number;
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // Numbers past 9 have no mnemonic, as in the usual Window menu.
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                         : QStringLiteral("%1 %2").arg(number).arg(title);
        QAction* action = windowMenu_->addAction(text);
        action->setCheckable(true);
        action->setChecked(window == active);
        QPointer<QMdiSubWindow> target(window);
        connect(action, &QAction::triggered, this, [this, target] {
            if (!target) return;
            if (target->isMinimized()) target->showNormal();
            mdiArea_->setActiveSubWindow(target);
        });
        windowListActions_.append(action);
    }
}

void CMainFrame::CreateStatusBar() {
    clockPane_ = new QLabel(this);
    clockPane_->setObjectName(QStringLiteral("ClockPane"));
    clockPane_->setMinimumWidth(clockPane_->fontMetrics().horizontalAdvance(QStringLiteral("HH:MM:SS AM")));
    statusBar()->addPermanentWidget(clockPane_);
    for (const char* name : {"CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(QString::fromLatin1(name), this);
        pane->setObjectName(QString::fromLatin1(name) + QStringLiteral("Pane"));
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        pane->setEnabled(false);  // grey while the key is off
        statusBar()->addPermanentWidget(pane);
        lockPanes_.push_back(pane);
    }
    lockKeys_ = &vorla::CurrentLockKeys;
    qApp->installEventFilter(this);
    statusBar()->showMessage(QStringLiteral("Ready"));
    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(1000);
    connect(clockTimer_, &QTimer::timeout, this, &CMainFrame::UpdateClock);
    clockTimer_->start();
    UpdateClock();
}

QString CMainFrame::ClockText(const QTime& time) {
    // The user's short time format, with the seconds the clock is there to show.
    QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1Char('s'))) {
        const qsizetype minutes = format.indexOf(QStringLiteral("mm"));
        format = minutes < 0 ? QStringLiteral("HH:mm:ss") : format.insert(minutes + 2, QStringLiteral(":ss"));
    }
    return QLocale::system().toString(time, format);
}

void CMainFrame::UpdateClock() {
    const QString text = ClockText(QTime::currentTime());
    clockPane_->setMinimumWidth(clockPane_->fontMetrics().horizontalAdvance(text) + 8);
    clockPane_->setText(text);
    UpdateLockPanes();
}

void CMainFrame::SetLockKeySource(std::function<std::optional<vorla::LockKeys>()> source) {
    lockKeys_ = std::move(source);
    UpdateLockPanes();
}

void CMainFrame::UpdateLockPanes() {
    const std::optional<vorla::LockKeys> keys = lockKeys_ ? lockKeys_() : std::nullopt;
    const bool on[] = {keys && keys->caps, keys && keys->num, keys && keys->scroll};
    for (std::size_t i = 0; i < lockPanes_.size(); ++i)
        lockPanes_[i]->setEnabled(on[i]);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    // The panes follow a lock key at once, not only at the next clock tick.
    if (event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock) UpdateLockPanes();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::SetBarsVisible(bool toolBarShown, bool statusBarShown) {
    toolBar_->setVisible(toolBarShown);
    statusBar()->setVisible(statusBarShown);
    QSignalBlocker a(actions_[cmd::kViewToolBar]);
    QSignalBlocker b(actions_[cmd::kViewStatusBar]);
    actions_[cmd::kViewToolBar]->setChecked(toolBarShown);
    actions_[cmd::kViewStatusBar]->setChecked(statusBarShown);
}

void CMainFrame::ApplyToolTips(bool show) {
    toolBar_->SetToolTipsShown(show);
    if (CVorlaPro5View* view = MessageView()) view->ApplyToolTips();
}

QMdiSubWindow* CMainFrame::AddChild(QWidget* widget) {
    QMdiSubWindow* sub = mdiArea_->addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->show();
    return sub;
}

void CMainFrame::SetOutgoingPage(QWidget* page) {
    tabs_->SetOutgoingPage(page);
}

QAction* CMainFrame::ActiveChildCommand(int commandId) const {
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    if (!active || !active->widget()) return nullptr;
    for (QAction* action : active->widget()->findChildren<QAction*>())
        if (action->data().toInt() == commandId && action->isEnabled()) return action;
    return nullptr;
}

void CMainFrame::NextWindow() {
    const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList(QMdiArea::CreationOrder);
    QMdiSubWindow* active = mdiArea_->activeSubWindow();
    if (windows.size() < 2) return;
    const qsizetype at = windows.indexOf(active);
    for (qsizetype step = 1; step < windows.size(); ++step) {
        QMdiSubWindow* candidate = windows[(at + step) % windows.size()];
        if (candidate != active && candidate->widget() != (active ? active->widget() : nullptr)) {
            mdiArea_->setActiveSubWindow(candidate);
            return;
        }
    }
}

void CMainFrame::ShowWithSavedPlacement() {
    vorla::WindowPlacement placement;
    if (vorla::ReadWindowPlacement(app_.Settings(), vorla::setting::kMainWindowPos.name, placement))
        vorla::ApplyPlacement(*this, placement);
    auto* child = qobject_cast<CVorlaMDIChild*>(messageWindow_);
    const bool entryStored = child && child->RestorePlacement();
    show();
    // The message window fills the frame until the user gives it a placement of its own.
    if (!entryStored) messageWindow_->showMaximized();
}

void CMainFrame::RestoreBarLayout() {
    const std::string state = ReadSetting(app_.Settings(), vorla::setting::kBarLayout);
    if (!state.empty()) restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
}

void CMainFrame::SavePlacementsAndBars() {
    if (app_.IsEmbedded()) return;
    auto& store = app_.Settings();
    if (auto* child = qobject_cast<CVorlaMDIChild*>(messageWindow_)) child->SavePlacement();
    toolBar_->SaveLayout(store);
    WriteSetting(store, vorla::setting::kBarLayout, saveState().toBase64().toStdString());
    vorla::WriteWindowPlacement(store, vorla::setting::kMainWindowPos.name, vorla::PlacementOf(*this));
    WriteSetting(store, vorla::setting::kToolBarState, toolBar_->isVisibleTo(this) ? 1 : 0);
    WriteSetting(store, vorla::setting::kStatusBarState, statusBar()->isVisibleTo(this) ? 1 : 0);
    if (CVorlaPro5View* view = MessageView()) view->SaveToolbarLayout();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    *app_.ClosingFlag() = true;
    if (app_.GetState() != CVorlaPro5App::kStateIdle) {
        *app_.ClosingFlag() = false;
        app_.ShowStop(
            QStringLiteral("A message is in the process of being sent!  Please choose CANCEL "
                           "first before exiting."));
        event->ignore();
        return;
    }
    SavePlacementsAndBars();
    event->accept();
}
