#include "ui/windows/log_properties.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "archive/ob_list.h"
#include "paging/log_object.h"
#include "paging/paging_texts.h"
#include "text/windows1252.h"
#include "ui/windows/window_texts.h"

CLogPropertyPage::CLogPropertyPage(const CLogObject& record, QWidget* parent) : QWidget(parent) {
    const QString name = vorla::FromWindows1252(record.GetName());
    auto* fields = new QFormLayout;
    auto addField = [&](const char* caption, const QString& text) {
        auto* value = new QLabel(text, this);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        fields->addRow(QString::fromLatin1(caption), value);
    };
    addField("Subscriber Name:", name);
    addField("Message Date:", QString::fromStdString(record.GetDateText()));
    addField("Message Time:", QString::fromStdString(record.GetTimeText()));
    addField("Message:", vorla::FromWindows1252(record.GetMessage()));
    fields->addRow(QString(), new QLabel(QStringLiteral("Length: %1").arg(record.GetMessage().size()), this));

    auto* group = new QGroupBox(QStringLiteral("Message Statistics for %1").arg(name), this);
    auto* counts = new QFormLayout(group);
    static const char* const captions[4] = {"Total Messages", "Total Sent Ok", "Total User Cancel",
                                            "Total Errors"};
    for (int i = 0; i < 4; ++i) {
        counters_[i] = new QLabel(QStringLiteral("0"), group);
        counts->addRow(QString::fromLatin1(captions[i]) + QLatin1Char(':'), counters_[i]);
    }
    calculating_ = new QLabel(QString::fromLatin1(window_texts::kCalculating), group);
    counts->addRow(calculating_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(group);
    layout->addStretch(1);
}

void CLogPropertyPage::ShowStatistics(const LogStatistics& statistics, bool calculating) {
    const int values[4] = {statistics.total, statistics.sentOk, statistics.userCancel, statistics.errors};
    for (int i = 0; i < 4; ++i)
        counters_[i]->setText(QString::number(values[i]));
    calculating_->setVisible(calculating);
}

QString CLogPropertyPage::CounterText(int which) const {
    return which >= 0 && which < 4 ? counters_[which]->text() : QString();
}

CLogPropertySheet::CLogPropertySheet(const CLogObject& record, CObList* logList, QWidget* parent)
    : QDialog(parent), name_(record.GetName()), list_(logList) {
    setWindowTitle(QString::fromLatin1(window_texts::kPropertiesTitle));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* tabs = new QTabWidget(this);
    page_ = new CLogPropertyPage(record, tabs);
    tabs->addTab(page_, QString::fromLatin1(window_texts::kGeneralPage));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    timer_ = new QTimer(this);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &CLogPropertySheet::Tick);
    timer_->start();
}

bool CLogPropertySheet::IsCalculating() const {
    return timer_->isActive();
}

void CLogPropertySheet::Tick() {
    // The list is read by position at every tick, never through a kept pointer, so records
    // cleared meanwhile cannot leave the scan holding a freed one.
    if (!list_ || next_ >= list_->GetCount()) {
        timer_->stop();
        page_->ShowStatistics(statistics_, false);
        return;
    }
    const CLogObject* record = As<CLogObject>(list_->GetAt(next_++));
    if (record && record->GetName() == name_) {
        ++statistics_.total;
        if (record->GetCode() == 0) {
            ++statistics_.sentOk;
        } else if (record->GetCode() == kScriptCancelled) {
            ++statistics_.userCancel;
        } else {
            ++statistics_.errors;
        }
        page_->ShowStatistics(statistics_, true);
    }
}
