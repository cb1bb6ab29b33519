#include "tests/qt_support/qt_wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

bool WaitFor(const std::function<bool()>& predicate, int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (!predicate()) {
        if (timer.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}
