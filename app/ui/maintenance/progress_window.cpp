#include "ui/maintenance/progress_window.h"

#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {
int timesShown = 0;
// Repainting is cheap next to the work but not free: at most this often.
constexpr qint64 kPaintMs = 40;
// How long the window may take to be mapped and painted before the work starts anyway.
constexpr int kFirstPaintMs = 300;
}  // namespace

ProgressWindow::ProgressWindow(const QString& caption, size_t count, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint), count_(count) {
    setWindowTitle(QStringLiteral("Progress"));
    setModal(true);
    caption_ = new QLabel(QStringLiteral("Working..."), this);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, static_cast<int>(std::min<size_t>(count, INT_MAX)));
    bar_->setFormat(QStringLiteral("%p%"));
    bar_->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(bar_);
    setMinimumWidth(260);
    caption_->setText(caption);
    show();
    ++timesShown;
    // The only time events are let through: no work has begun, so whatever comes in (a bus
    // call included) sees the directory whole.
    QEventLoop wait;
    waitForPaint_ = &wait;
    QTimer::singleShot(kFirstPaintMs, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    waitForPaint_ = nullptr;
}

void ProgressWindow::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    if (waitForPaint_) QTimer::singleShot(0, waitForPaint_, &QEventLoop::quit);
}

void ProgressWindow::Step(size_t done) {
    const int value = static_cast<int>(std::min<size_t>(done, count_));
    if (value == lastValue_) return;
    lastValue_ = value;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - lastPaint_ < kPaintMs && done < count_) return;
    lastPaint_ = now;
    // A progress bar repaints at once when what it shows changes: no event loop needed.
    bar_->setValue(value);
}

int ProgressWindow::TimesShown() {
    return timesShown;
}

WorkProgress::WorkProgress(const QString& caption, size_t count, QWidget* parent) {
    if (count >= ProgressWindow::kThreshold) window_ = new ProgressWindow(caption, count, parent);
}

WorkProgress::~WorkProgress() {
    if (window_) {
        window_->close();
        delete window_;
    }
}

void WorkProgress::Step(size_t done) {
    if (window_) window_->Step(done);
}
