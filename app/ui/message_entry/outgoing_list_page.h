#pragma once
// A plain list of the outgoing queue for the Outgoing tab, used when the full outgoing window
// is not built into the program. A model over the OutgoingList, refreshed when the queue
// changes.

#include <QAbstractTableModel>
#include <QWidget>

class CVorlaPro5App;
class QTableView;

class OutgoingListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit OutgoingListModel(CVorlaPro5App& app, QObject* parent = nullptr);
    void Refresh();
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CVorlaPro5App& app_;
};

class OutgoingListPage : public QWidget {
    Q_OBJECT
public:
    OutgoingListPage(CVorlaPro5App& app, QWidget* parent = nullptr);
    OutgoingListModel* Model() const { return model_; }

private:
    OutgoingListModel* model_ = nullptr;
    QTableView* table_ = nullptr;
};
