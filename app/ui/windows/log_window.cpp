#include "ui/windows/log_window.h"

#include <QAction>
#include <QByteArray>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QToolBar>

#include "settings/settings_keys.h"
#include "settings/settings_store.h"
#include "settings/window_placement.h"
#include "ui/main_window/widget_placement.h"
#include "ui/windows/window_texts.h"

CLogMDIChild::CLogMDIChild(LogWindowContext context, QWidget* parent)
    : QMainWindow(parent), settings_(*context.settings) {
    setWindowTitle(QString::fromLatin1(window_texts::kLogWindowTitle));
    setObjectName(QStringLiteral("LogWindow"));
    view_ = new CLogListView(std::move(context), this);
    setCentralWidget(view_);

    toolBar_ = new QToolBar(QStringLiteral("Log"), this);
    toolBar_->setObjectName(QStringLiteral("LogToolBar"));
    for (int id : {log_cmd::kLargeIcons, log_cmd::kSmallIcons, log_cmd::kList, log_cmd::kDetails, 0,
                   log_cmd::kAscending, 0, log_cmd::kProperties, log_cmd::kResend, log_cmd::kClear, 0,
                   log_cmd::kPrint}) {
        if (id == 0) {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(view_->Action(id));
        }
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
    // The buttons' tool tip events pass the window first, which drops them while "Tips" is off.
    for (QAction* action : toolBar_->actions())
        if (QWidget* button = toolBar_->widgetForAction(action)) button->installEventFilter(this);
    ApplyToolTips();

    toggleToolBar_ = new QAction(QStringLiteral("&Toolbar"), this);
    toggleToolBar_->setCheckable(true);
    toggleToolBar_->setData(kToggleToolBar);
    connect(toggleToolBar_, &QAction::triggered, this, [this](bool on) {
        toolBar_->setVisible(on);
        SaveToolBarState();
    });

    // The window's commands, also on the list's context menu.
    QMenu* log = menuBar()->addMenu(QStringLiteral("&Log"));
    for (int id : {log_cmd::kStartLogging, log_cmd::kStopLogging, 0, log_cmd::kProperties, log_cmd::kResend,
                   log_cmd::kClear, log_cmd::kSelectAll, 0, log_cmd::kPrint}) {
        if (id == 0) {
            log->addSeparator();
        } else {
            log->addAction(view_->Action(id));
        }
    }
    // The frame's View menu owns Alt+V in the same top-level window.
    QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("V&iew"));
    viewMenu->addAction(toggleToolBar_);
    viewMenu->addSeparator();
    for (int id : {log_cmd::kLargeIcons, log_cmd::kSmallIcons, log_cmd::kList, log_cmd::kDetails})
        viewMenu->addAction(view_->Action(id));
    QMenu* sort = viewMenu->addMenu(QStringLiteral("&Sort"));
    for (int id : {log_cmd::kSortDate, log_cmd::kSortTime, log_cmd::kSortName, log_cmd::kSortStatus,
                   log_cmd::kSortMessage, 0, log_cmd::kAscending, log_cmd::kDescending}) {
        if (id == 0) {
            sort->addSeparator();
        } else {
            sort->addAction(view_->Action(id));
        }
    }

    const std::string state = ReadSetting(settings_, vorla::setting::kLogToolBarState);
    if (!state.empty()) restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
    toggleToolBar_->setChecked(!toolBar_->isHidden());
    connect(toolBar_, &QToolBar::topLevelChanged, this, [this] { SaveToolBarState(); });
}

CLogMDIChild::~CLogMDIChild() {
    SaveToolBarState();
}

void CLogMDIChild::ApplyToolTips() {
    toolTipsShown_ = ReadSetting(settings_, vorla::setting::kTips) != 0;
}

void CLogMDIChild::SaveToolBarState() {
    WriteSetting(settings_, vorla::setting::kLogToolBarState, saveState().toBase64().toStdString());
}

void CLogMDIChild::SavePlacement() {
    if (subWindow_)
        vorla::WriteWindowPlacement(settings_, vorla::setting::kLogWindowPos.name,
                                    vorla::PlacementOf(*subWindow_));
}

void CLogMDIChild::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (placed_) return;
    placed_ = true;
    subWindow_ = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!subWindow_) return;
    vorla::WindowPlacement placement;
    if (vorla::ReadWindowPlacement(settings_, vorla::setting::kLogWindowPos.name, placement)) {
        vorla::ApplyPlacement(*subWindow_, placement);
    } else {
        SavePlacement();
    }
    // Saved as it changes: when the program ends the sub-window goes without a word.
    watchedSubWindow_ = subWindow_;
    subWindow_->installEventFilter(this);
    if (QMdiArea* area = subWindow_->mdiArea()) {
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* active) {
            if (active) WriteSetting(settings_, vorla::setting::kLogActive, active == subWindow_ ? 1 : 0);
        });
        WriteSetting(settings_, vorla::setting::kLogActive, area->activeSubWindow() == subWindow_ ? 1 : 0);
    }
}

bool CLogMDIChild::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && !toolTipsShown_ && watched != watchedSubWindow_) return true;
    if (watched == watchedSubWindow_) {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::WindowStateChange:
                SavePlacement();
                break;
            case QEvent::Close:
                // Closed by the user: not reopened at the next start.
                SavePlacement();
                WriteSetting(settings_, vorla::setting::kLogVisible, 0);
                break;
            default:
                break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
