#pragma once
// The small "Progress" window over long fills and deletes: the caption, a bar from 0 to the
// item count and the percentage. It exists only while the work runs. It is painted before the
// work starts; after that the bar repaints itself and nothing else runs until the work is
// done: a call from the bus, a timer or a posted event would meet a list half filled or
// records half freed.

#include <QDialog>

#include <cstddef>

class QLabel;
class QProgressBar;

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    // Lists this long or longer are filled and deleted under the window.
    static constexpr size_t kThreshold = 100;

    ProgressWindow(const QString& caption, size_t count, QWidget* parent);
    void Step(size_t done);
    // How many windows have been shown since the program started (for tests).
    static int TimesShown();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    class QEventLoop* waitForPaint_ = nullptr;
    QLabel* caption_ = nullptr;
    QProgressBar* bar_ = nullptr;
    size_t count_ = 0;
    int lastValue_ = -1;
    qint64 lastPaint_ = 0;
};

// A progress window when `count` reaches the threshold, nothing otherwise.
class WorkProgress {
public:
    WorkProgress(const QString& caption, size_t count, QWidget* parent);
    ~WorkProgress();
    WorkProgress(const WorkProgress&) = delete;
    WorkProgress& operator=(const WorkProgress&) = delete;
    void Step(size_t done);
    bool Shown() const { return window_ != nullptr; }

private:
    ProgressWindow* window_ = nullptr;
};
