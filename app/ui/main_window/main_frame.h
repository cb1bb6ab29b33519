#pragma once
// The main window: a multi-document frame with the menus, the main toolbar, the status bar
// with its clock, and the message window (which cannot be closed) inside its MDI area.
// Other windows (the log window, maintenance windows) join as MDI children with AddChild.

#include <QPointer>

#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/lock_keys.h"
#include "ui/app/app_frame.h"

class CCustToolBar;
class CMainView;
class CVorlaPro5App;
class CVorlaPro5View;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTabWidget;
class QTimer;

class CMainFrame : public AppFrame {
    Q_OBJECT
public:
    explicit CMainFrame(CVorlaPro5App& app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    QMdiArea* MdiArea() const override { return mdiArea_; }
    // Shows `widget` as an MDI child and returns its sub-window (owned by the MDI area).
    QMdiSubWindow* AddChild(QWidget* widget) override;
    QMdiSubWindow* MessageWindow() const override { return messageWindow_; }
    CMainView* MessageTabs() const { return tabs_; }
    CVorlaPro5View* MessageView() const;
    CCustToolBar* MainToolBar() const { return toolBar_; }
    // Replaces the Outgoing tab's page (the frame takes ownership).
    void SetOutgoingPage(QWidget* page);

    // Applies "MainWindowPos" and the message window's "EntryWindowPos", then shows the frame.
    void ShowWithSavedPlacement() override;
    // Stores the placements and the bar states (not when embedded); called on close.
    void SavePlacementsAndBars();
    // The clock pane's text for a time; the locale's short time format with seconds.
    static QString ClockText(const QTime& time);
    QLabel* ClockPane() const { return clockPane_; }
    // The CAP, NUM and SCRL panes, in that order; each is enabled while its key is on.
    const std::vector<QLabel*>& LockPanes() const { return lockPanes_; }
    void SetLockKeySource(std::function<std::optional<vorla::LockKeys>()> source);
    // Puts the toolbar back where SavePlacementsAndBars left it docked.
    void RestoreBarLayout();
    void ApplyToolTips(bool show) override;
    void SetBarsVisible(bool toolBar, bool statusBar) override;
    QAction* Action(int commandId) const;
    // The Window menu's list of the open child windows ("&1 Message Window", ...), the
    // active one checked; rebuilt each time the menu opens.
    void UpdateWindowMenu();
    QMenu* WindowMenu() const { return windowMenu_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateStatusBar();
    void UpdateClock();
    void UpdateLockPanes();
    void NextWindow();
    // The message form carries out the edit and insert commands; the frame enables them.
    void ConnectFormCommands(CVorlaPro5View& view);
    void UpdateFormCommands(const CVorlaPro5View& view);
    // The active child window's own action for a command, if it has an enabled one.
    QAction* ActiveChildCommand(int commandId) const;

    CVorlaPro5App& app_;
    QMdiArea* mdiArea_ = nullptr;
    QMdiSubWindow* messageWindow_ = nullptr;
    CMainView* tabs_ = nullptr;
    CCustToolBar* toolBar_ = nullptr;
    QLabel* clockPane_ = nullptr;
    QTimer* clockTimer_ = nullptr;
    std::vector<QLabel*> lockPanes_;
    std::function<std::optional<vorla::LockKeys>()> lockKeys_;
    bool placementsSaved_ = false;
    std::map<int, QAction*> actions_;
    QMenu* windowMenu_ = nullptr;
    QList<QAction*> windowListActions_;
};

// The application's main window as this class (null before start-up and after exit).
CMainFrame* MainFrameOf(const CVorlaPro5App& app);
