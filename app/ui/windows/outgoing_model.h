#pragma once
// The outgoing queue as a table: one row per queue row, in queue order. Nothing is copied:
// every text is made from the page when the view asks for it, so it always shows the page's
// current When, status and error text.

#include <QAbstractTableModel>

#include <functional>
#include <vector>

class CPage;
class OutgoingQueue;

// The row image of a page: timed for an At page, failed for a failed or Never page (a failed
// At page shows as failed).
enum class RowImage;
RowImage OutgoingRowImage(const CPage& page);
// The "When" and "Status" column texts.
QString OutgoingWhenText(const CPage& page);
QString OutgoingStatusText(const CPage& page);

class COutgoingModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kWhen, kStatus, kName, kService, kMessage, kColumnCount };

    // The queue is looked up at every use: the application replaces it with the directory.
    explicit COutgoingModel(std::function<OutgoingQueue*()> queue, QObject* parent = nullptr);

    OutgoingQueue* Queue() const { return queue_ ? queue_() : nullptr; }
    CPage* PageAt(int row) const;
    // The queue's rows changed: the view asks for everything again.
    void Reload();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::function<OutgoingQueue*()> queue_;
    // The page of each row as the view was last told. The queue may re-sort or drop pages
    // before Reload; rows keep meaning the pages the user sees and selected, and a page the
    // queue no longer holds is never touched.
    std::vector<const CPage*> pages_;
};
