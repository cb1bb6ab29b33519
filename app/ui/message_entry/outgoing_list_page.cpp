#include "message_entry/outgoing_list_page.h"

#include <QDateTime>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/vorla_pro_app.h"
#include "outgoing_queue.h"
#include "ob_list.h"
#include "page.h"
#include "pager_message.h"
#include "service.h"
#include "subscriber.h"
#include "windows1252.h"

namespace {
const char* const kStatusNames[] = {"Waiting", "Sending", "Pending", "Awaiting Time", "Failed"};
const char* const kWhenNames[] = {"Now", "Later", "At", "Never"};
}  // namespace

OutgoingListModel::OutgoingListModel(CVorlaPro5App& app, QObject* parent) : QAbstractTableModel(parent), app_(app) {
    connect(&app_, &CVorlaPro5App::QueueChanged, this, &OutgoingListModel::Refresh);
    connect(&app_, &CVorlaPro5App::SendingFinished, this, &OutgoingListModel::Refresh);
}

void OutgoingListModel::Refresh() {
    beginResetModel();
    endResetModel();
}

int OutgoingListModel::rowCount(const QModelIndex& parent) const {
    const CObList* queue = app_.GetOutgoingList();
    return parent.isValid() || !queue ? 0 : static_cast<int>(queue->GetCount());
}

int OutgoingListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 5; }

QVariant OutgoingListModel::data(const QModelIndex& index, int role) const {
    const CObList* queue = app_.GetOutgoingList();
    if (role != Qt::DisplayRole || !queue || index.row() >= static_cast<int>(queue->GetCount())) return {};
    const auto* page = dynamic_cast<const CPage*>(queue->GetAt(static_cast<size_t>(index.row())));
    if (!page) return {};
    const CSubscriber* subscriber = page->GetSubscriber();
    switch (index.column()) {
        case 0: return subscriber ? vorla::FromWindows1252(subscriber->GetName()) : QString();
        case 1:
            return subscriber && subscriber->GetService() ? vorla::FromWindows1252(subscriber->GetService()->GetName())
                                                          : QString();
        case 2: {
            const int when = page->GetWhen();
            QString text = when >= 0 && when <= 3 ? QString::fromLatin1(kWhenNames[when]) : QString::number(when);
            if (page->GetScheduledTime())
                text += QLatin1Char(' ') +
                        QDateTime::fromSecsSinceEpoch(*page->GetScheduledTime()).toString(QStringLiteral("yyyy-MM-dd hh:mm"));
            return text;
        }
        case 3: {
            const int status = page->GetStatus();
            QString text = status >= 0 && status <= 4 ? QString::fromLatin1(kStatusNames[status]) : QString::number(status);
            if (!page->GetStatusText().empty()) text += QStringLiteral(": ") + vorla::FromWindows1252(page->GetStatusText());
            return text;
        }
        case 4: return page->GetMessage() ? vorla::FromWindows1252(page->GetMessage()->GetText()) : QString();
        default: return {};
    }
}

QVariant OutgoingListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeaders[] = {"Subscriber", "Service", "When", "Status", "Message"};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 5)
        return QString::fromLatin1(kHeaders[section]);
    return QAbstractTableModel::headerData(section, orientation, role);
}

OutgoingListPage::OutgoingListPage(CVorlaPro5App& app, QWidget* parent) : QWidget(parent) {
    model_ = new OutgoingListModel(app, this);
    table_ = new QTableView(this);
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    // Timed pages become due while the program runs; the full outgoing window does the same
    // check when it is built in instead of this page.
    auto* due = new QTimer(this);
    due->setInterval(750);
    connect(due, &QTimer::timeout, this, [&app] {
        if (OutgoingQueue* queue = app.Queue()) queue->DueCheck();
    });
    due->start();
}
