#pragma once
// CLogListView: the LogList in four view modes (large icons, details, small icons, list),
// sorted by any column, with the log window's commands: view modes, sorting, logging to disk,
// properties, re-send, clear, select all and printing. Every question goes through
// WindowPrompts.

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "ui/windows/window_prompts.h"

class CLogListModel;
class CLogObject;
class CObList;
class OutgoingQueue;
class QAction;
class QListView;
class QMenu;
class QPagedPaintDevice;
class QStackedWidget;
class QTreeView;
class QAbstractItemView;

namespace vorla {
class ISettingsStore;
}

// What the log window borrows from the application.
struct LogWindowContext {
    vorla::ISettingsStore* settings = nullptr;
    std::function<CObList*()> logList;
    std::function<CObList*()> subscriberList;
    std::function<OutgoingQueue*()> queue;
    std::function<uint32_t()> now;
    // Records were taken out of the log list (Clear): the log window file is then replaced
    // rather than appended to.
    std::function<void()> recordsRemoved;
    WindowPrompts prompts;
    // Called with the view when it is made and with null when it goes (the application's log
    // view for LogRecord).
    std::function<void(QWidget*)> registerView;
};

namespace log_cmd {
inline constexpr int kLargeIcons = 32804;
inline constexpr int kSmallIcons = 32805;
inline constexpr int kList = 32806;
inline constexpr int kDetails = 32807;
inline constexpr int kSortDate = 32813;
inline constexpr int kSortTime = 32808;
inline constexpr int kSortName = 32809;
inline constexpr int kSortStatus = 32828;
inline constexpr int kSortMessage = 32829;
inline constexpr int kAscending = 32830;
inline constexpr int kDescending = 32831;
inline constexpr int kStartLogging = 32814;
inline constexpr int kStopLogging = 32815;
inline constexpr int kProperties = 32812;
inline constexpr int kResend = 32833;
inline constexpr int kClear = 57632;
inline constexpr int kSelectAll = 57642;
inline constexpr int kPrint = 57607;
}  // namespace log_cmd

class CLogListView : public QWidget {
    Q_OBJECT
public:
    enum ViewType { kLargeIconView = 0, kDetailsView = 1, kSmallIconView = 2, kListView = 3 };

    explicit CLogListView(LogWindowContext context, QWidget* parent = nullptr);
    ~CLogListView() override;

    CLogListModel* Model() const { return model_; }
    QAbstractItemView* CurrentView() const;
    QTreeView* DetailsView() const { return details_; }
    QAction* Action(int commandId) const;
    const std::map<int, QAction*>& Actions() const { return actions_; }
    // The context menu's commands (the view menu, the sort menu and the record commands).
    QMenu* ContextMenu() const { return contextMenu_; }
    int CurrentViewType() const { return viewType_; }
    std::vector<int> SelectedRows() const;

    void SetViewType(int type);
    // A click on a column header: the current column reverses the order.
    void ColumnClicked(int column);
    // The sort commands: sort by the column in the current order.
    void SortByColumn(int column);
    void ReverseOrder();
    void SetLogging(bool on);
    void ShowProperties();
    void ResendSelected();
    void ClearSelected();
    void SelectAll();
    // Prints every row in the current order on the device; returns the pages printed.
    int PrintTo(QPagedPaintDevice& device);
    void Print();

public slots:
    // A record was appended to the LogList: show it at the end and scroll to it.
    void AddRow();
    // The application's lists may have been replaced.
    void CheckList();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void UpdateChecks();
    void SaveSort();
    void ShowContextMenuAt(QWidget* from, const QPoint& position);

    LogWindowContext context_;
    CLogListModel* model_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QTreeView* details_ = nullptr;
    QListView* icons_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    std::map<int, QAction*> actions_;
    int viewType_ = kDetailsView;
};
