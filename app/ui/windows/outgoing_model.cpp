#include "ui/windows/outgoing_model.h"

#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "text/windows1252.h"
#include "ui/windows/local_format.h"
#include "ui/windows/row_icons.h"

RowImage OutgoingRowImage(const CPage& page) {
    if (page.GetStatus() == kStatusFailed || page.GetWhen() == kWhenNever) return RowImage::Failed;
    if (page.GetWhen() == kWhenAt) return RowImage::Timed;
    return RowImage::Page;
}

QString OutgoingWhenText(const CPage& page) {
    switch (page.GetWhen()) {
        case kWhenNow:
            return QStringLiteral("Now");
        case kWhenLater:
            return QStringLiteral("Later");
        case kWhenAt: {
            const auto time = page.GetScheduledTime();
            return time ? FormatLocalTime(*time, "%x %I:%M %p") : QString();
        }
        case kWhenNever:
            return QStringLiteral("Never");
        default:
            return QString();
    }
}

QString OutgoingStatusText(const CPage& page) {
    switch (page.GetStatus()) {
        case kStatusWaiting:
            return QStringLiteral("Waiting");
        case kStatusSending:
            return QStringLiteral("Sending");
        case kStatusPending:
            return QStringLiteral("Pending");
        case kStatusAwaitingTime:
            return QStringLiteral("Awaiting Time");
        case kStatusFailed:
            return vorla::FromWindows1252(page.GetStatusText());
        default:
            return QString();
    }
}

COutgoingModel::COutgoingModel(std::function<OutgoingQueue*()> queue, QObject* parent)
    : QAbstractTableModel(parent), queue_(std::move(queue)) {
    Reload();
}

CPage* COutgoingModel::PageAt(int row) const {
    OutgoingQueue* q = Queue();
    if (!q || row < 0 || static_cast<size_t>(row) >= pages_.size()) return nullptr;
    const CPage* shown = pages_[row];
    const auto& rows = q->Rows();
    // Usually the queue has not moved since the last Reload.
    if (static_cast<size_t>(row) < rows.size() && rows[row].page == shown) return rows[row].page;
    for (const QueueRow& r : rows)
        if (r.page == shown) return r.page;
    return nullptr;
}

void COutgoingModel::Reload() {
    beginResetModel();
    pages_.clear();
    if (OutgoingQueue* q = Queue()) {
        pages_.reserve(q->RowCount());
        for (const QueueRow& r : q->Rows())
            pages_.push_back(r.page);
    }
    endResetModel();
}

int COutgoingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(pages_.size());
}

int COutgoingModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant COutgoingModel::data(const QModelIndex& index, int role) const {
    const CPage* page = PageAt(index.row());
    if (!page) return {};
    if (role == Qt::DecorationRole && index.column() == kWhen) return RowIcon(OutgoingRowImage(*page));
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const CSubscriber* subscriber = page->GetSubscriber();
    switch (index.column()) {
        case kWhen:
            return OutgoingWhenText(*page);
        case kStatus:
            return OutgoingStatusText(*page);
        case kName:
            return subscriber ? vorla::FromWindows1252(subscriber->GetName()) : QString();
        case kService: {
            const CService* service = subscriber ? subscriber->GetService() : nullptr;
            return service ? vorla::FromWindows1252(service->GetAll().name) : QString();
        }
        case kMessage:
            return page->GetMessage() ? vorla::FromWindows1252(page->GetMessage()->GetText()) : QString();
        default:
            return {};
    }
}

QVariant COutgoingModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    static const char* const titles[kColumnCount] = {"When", "Status", "Name", "Service", "Message"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(titles[section]) : QVariant();
}
