#pragma once
// The main window as the application sees it: what start-up, the log window and exit ask of
// it. The frame (app/ui/main_window) implements it and the program's assembly registers its
// factory (UiExtensions::makeMainFrame), so the application never includes the frame; the
// frame and the views call the application, not the other way round.

#include <QMainWindow>

class QMdiArea;
class QMdiSubWindow;

class AppFrame : public QMainWindow {
public:
    using QMainWindow::QMainWindow;

    virtual QMdiArea* MdiArea() const = 0;
    // The message window, which stays for the whole run.
    virtual QMdiSubWindow* MessageWindow() const = 0;
    // Shows `widget` as an MDI child and returns its sub-window (owned by the MDI area).
    virtual QMdiSubWindow* AddChild(QWidget* widget) = 0;
    // Applies the stored placements, then shows the frame.
    virtual void ShowWithSavedPlacement() = 0;
    virtual void ApplyToolTips(bool show) = 0;
    virtual void SetBarsVisible(bool toolBar, bool statusBar) = 0;
};
