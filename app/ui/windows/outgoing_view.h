#pragma once
// COutgoingView32, the "Outgoing" tab: the queue with each page's timing and status, the
// three queue commands, the status label and the due check every 750 ms. The queue's own
// questions and refusals go through its observer; this window's through WindowPrompts.

#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

#include "ui/windows/window_prompts.h"

class COutgoingModel;
class CPage;
class OutgoingQueue;
class QLabel;
class QPushButton;
class QTimer;
class QTreeView;

namespace vorla {
class ISettingsStore;
}

class COutgoingView32 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDueCheckMilliseconds = 750;

    COutgoingView32(std::function<OutgoingQueue*()> queue, vorla::ISettingsStore& settings,
                    WindowPrompts prompts, QWidget* parent = nullptr);
    ~COutgoingView32() override;

    // The queue operations, in the order the window's own operations are listed.
    virtual void DueCheck();
    virtual void Refresh();
    virtual CPage* GetNextPage();
    virtual int32_t MarkNowPages(int32_t status);
    virtual void RemoveFirstRow();
    virtual void SetStatusLabel(const QString& text);
    // Gives the selected rows this resend allowance; a page being sent or failed is refused.
    virtual void SetResend(int32_t times);
    virtual void InsertRow(CPage* page);
    virtual void Relayout(int width, int height);

    // The buttons.
    void SendLaterItems();
    void SendSelected();
    void DeleteSelected();

    COutgoingModel* Model() const { return model_; }
    QTreeView* List() const { return list_; }
    QLabel* StatusLabel() const { return statusLabel_; }
    QTimer* DueTimer() const { return dueTimer_; }
    std::vector<size_t> SelectedRows() const;

public slots:
    // The queue's rows changed: show them again, keeping the selected pages selected.
    void OnQueueChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void SaveColumnWidths();
    std::vector<size_t> SelectedQueueRows(OutgoingQueue& queue) const;

    std::function<OutgoingQueue*()> queue_;
    vorla::ISettingsStore& settings_;
    WindowPrompts prompts_;
    COutgoingModel* model_ = nullptr;
    QTreeView* list_ = nullptr;
    QPushButton* sendLater_ = nullptr;
    QPushButton* sendSelected_ = nullptr;
    QPushButton* deleteSelected_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QTimer* dueTimer_ = nullptr;
    int lastWidth_ = 0;
    int lastHeight_ = 0;
};
