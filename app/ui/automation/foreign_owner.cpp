#include "ui/automation/foreign_owner.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

ForeignOwner::ForeignOwner(quint32 windowId) {
    if (windowId == 0 || QGuiApplication::platformName() != QLatin1String("xcb")) return;
    foreign_ = QWindow::fromWinId(windowId);
    if (foreign_) qApp->installEventFilter(this);
}

ForeignOwner::~ForeignOwner() {
    qApp->removeEventFilter(this);
    delete foreign_;
}

bool ForeignOwner::eventFilter(QObject* watched, QEvent* event) {
    // Before the window is mapped: the window manager reads the owner when it maps it.
    if (event->type() != QEvent::Show && event->type() != QEvent::Polish) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !widget->isWindow() || !widget->windowHandle()) return false;
    widget->windowHandle()->setTransientParent(foreign_);
    qApp->removeEventFilter(this);
    return false;
}
