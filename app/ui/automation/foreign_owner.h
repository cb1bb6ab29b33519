#pragma once
// While it lives, the first top-level window the program shows becomes a transient of a
// window of another program (an X11 window id a client gave), so the window manager keeps
// it above that window. Where the platform has no such ids, or for id 0, it does nothing.

#include <QObject>
#include <QPointer>

class QWindow;

class ForeignOwner : public QObject {
public:
    explicit ForeignOwner(quint32 windowId);
    ~ForeignOwner() override;
    ForeignOwner(const ForeignOwner&) = delete;
    ForeignOwner& operator=(const ForeignOwner&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWindow* foreign_ = nullptr;
};
