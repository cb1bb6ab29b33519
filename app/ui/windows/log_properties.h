#pragma once
// The properties sheet of one log record: its fields, and statistics of every record of the
// same subscriber name. The statistics are counted one LogList record per timer tick from
// the head, on the user-interface thread (the only thread that touches the list), so the
// window stays responsive on a long log and records appended meanwhile are counted too.

#include <QDialog>

#include <cstddef>
#include <string>

class CLogObject;
class CObList;
class QLabel;
class QTimer;

struct LogStatistics {
    int total = 0;
    int sentOk = 0;
    int userCancel = 0;
    int errors = 0;
};

// The "General" page.
class CLogPropertyPage : public QWidget {
    Q_OBJECT
public:
    CLogPropertyPage(const CLogObject& record, QWidget* parent = nullptr);
    void ShowStatistics(const LogStatistics& statistics, bool calculating);
    QLabel* CalculatingLabel() const { return calculating_; }
    QString CounterText(int which) const;  // 0 total, 1 sent ok, 2 user cancel, 3 errors

private:
    QLabel* counters_[4] = {};
    QLabel* calculating_ = nullptr;
};

class CLogPropertySheet : public QDialog {
    Q_OBJECT
public:
    // Copies what it shows of the record; reads the list only while counting.
    CLogPropertySheet(const CLogObject& record, CObList* logList, QWidget* parent = nullptr);
    bool IsCalculating() const;
    const LogStatistics& Statistics() const { return statistics_; }
    CLogPropertyPage* Page() const { return page_; }

private:
    void Tick();

    std::string name_;
    CObList* list_;
    size_t next_ = 0;
    LogStatistics statistics_;
    CLogPropertyPage* page_ = nullptr;
    QTimer* timer_ = nullptr;
};
