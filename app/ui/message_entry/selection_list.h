#pragma once
// The recipient list: a model over the application's DisplayList (rows in display order,
// expandable groups) and the list view `CSelectionListBox` with its drawing, its margin clicks
// and its keyboard rules.

#include <QAbstractListModel>
#include <QColor>
#include <QListView>
#include <QStyledItemDelegate>

#include <functional>
#include <string>

#include "ui/message_entry/selection_rows.h"

class CObList;

class SelectionListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { KindRole = Qt::UserRole + 1, ExpandedRole };
    explicit SelectionListModel(QObject* parent = nullptr);

    void SetDisplayList(CObList* displayList);
    void Load();
    void Fill(const CObList* subscribers, const CObList* groups);
    // Expands or collapses the group row; rows are inserted or removed, the others keep their
    // selection.
    void ToggleGroup(int row);

    CDisplayObject* RowAt(int row) const { return rows_.At(row); }
    const SelectionRows& Rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    SelectionRows rows_;
};

// Draws the 22-pixel margin with the group's expand sign, member rows indented and coloured.
class SelectionDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    static constexpr int kMargin = 22;
    static constexpr int kMemberIndent = 32;
    explicit SelectionDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}
    void SetMemberColour(QColor colour) { memberColour_ = colour; }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QColor memberColour_{75, 75, 75};
};

class CSelectionListBox : public QListView {
    Q_OBJECT
public:
    // Whole seconds; the keyboard search starts afresh after 2 seconds or more.
    using Clock = std::function<qint64()>;
    explicit CSelectionListBox(QWidget* parent = nullptr);
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    void SetMemberColour(QColor colour);
    SelectionListModel* Model() const { return model_; }
    // The rows selected, top to bottom.
    std::vector<const CDisplayObject*> SelectedRows() const;
    const std::string& SearchPrefix() const { return prefix_; }
    // Shows only the rows whose name (or subscriber's PIN) holds the text, without regard to
    // ASCII case; empty shows all. Hidden rows keep their selection, so they still count.
    void SetFindText(const std::string& text);

signals:
    // The selection changed by a click or a key.
    void SelectionChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void ApplyFind();
    void MoveCaret(int row);
    void ToggleCaretSelection();

    SelectionListModel* model_ = nullptr;
    SelectionDelegate* delegate_ = nullptr;
    Clock clock_;
    std::string prefix_;
    std::string find_;  // folded
    qint64 lastKeySecond_ = 0;
};
