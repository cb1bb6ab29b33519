#pragma once
// CLogMDIChild: the log window's frame. It holds the list view, its own tool bar and menu,
// and keeps its placement ("LogWindowPos"), its tool bar ("LogToolBarState"), whether it is
// open ("LogVisible") and whether it was the active child ("LogActive") in the settings.
// The application wraps it in an MDI sub-window; the frame follows that sub-window.

#include <QMainWindow>
#include <QPointer>

#include "ui/windows/log_list_view.h"

class QMdiSubWindow;
class QToolBar;

class CLogMDIChild : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kToggleToolBar = 32810;

    explicit CLogMDIChild(LogWindowContext context, QWidget* parent = nullptr);
    ~CLogMDIChild() override;

    CLogListView* ListView() const { return view_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QAction* ToggleToolBarAction() const { return toggleToolBar_; }
    // Reads "Tips" again: the tool bar's tips are shown only while it is on.
    void ApplyToolTips();
    bool ToolTipsShown() const { return toolTipsShown_; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SaveToolBarState();
    void SavePlacement();

    vorla::ISettingsStore& settings_;
    CLogListView* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QAction* toggleToolBar_ = nullptr;
    QPointer<QMdiSubWindow> subWindow_;
    // Compared by identity only: while the sub-window is being destroyed it is no longer a
    // QMdiSubWindow, and reading it through the typed pointer would be a bad downcast.
    const QObject* watchedSubWindow_ = nullptr;
    bool placed_ = false;
    bool toolTipsShown_ = true;
};
