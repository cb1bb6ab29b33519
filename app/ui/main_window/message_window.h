#pragma once
// The message window: an MDI child that cannot be closed, holding the tab view with the
// pages "Main" (the message entry form) and "Outgoing" (the queue).

#include <QMdiSubWindow>
#include <QTabWidget>

class CVorlaPro5App;
class CVorlaPro5View;

class CMainView : public QTabWidget {
    Q_OBJECT
public:
    CMainView(CVorlaPro5App& app, QWidget* parent = nullptr);
    CVorlaPro5View* EntryView() const { return entry_; }
    QWidget* OutgoingPage() const { return widget(1); }
    // Replaces the Outgoing page; the old one is deleted.
    void SetOutgoingPage(QWidget* page);

private:
    CVorlaPro5View* entry_ = nullptr;
};

class CVorlaMDIChild : public QMdiSubWindow {
    Q_OBJECT
public:
    CVorlaMDIChild(CVorlaPro5App& app, QWidget* parent = nullptr);
    // The smallest size: "MainMinX" by "MainMinY" + 5, by default the size that fits the form.
    void ApplyMinimumSize();
    // Applies "EntryWindowPos"; false when none is stored.
    bool RestorePlacement();
    void SavePlacement();

protected:
    // The message window stays for the whole run: closing it does nothing.
    void closeEvent(QCloseEvent* event) override;

private:
    CVorlaPro5App& app_;
};
