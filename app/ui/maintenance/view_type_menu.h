#pragma once
// Switches a maintenance list between its four views over one model (large icons, details,
// small icons, list): a small tool button by the list whose menu offers them, the same menu
// being the list's context menu. A view's number is what the settings keep as "ViewType".

#include <QObject>

class QAbstractItemView;
class QActionGroup;
class QMenu;
class QToolButton;
class QWidget;

class ViewTypeMenu : public QObject {
    Q_OBJECT
public:
    enum Type { kIcons = 0, kReport = 1, kSmallIcons = 2, kList = 3, kTypeCount };
    explicit ViewTypeMenu(QWidget* parent);

    QToolButton* Button() const { return button_; }
    QMenu* Menu() const { return menu_; }
    // The menu opens on a right click in the view.
    void AttachTo(QAbstractItemView* view);
    // Shows `type` as the current one (no TypeChosen).
    void SetType(int type);

signals:
    void TypeChosen(int type);

private:
    QMenu* menu_;
    QActionGroup* group_;
    QToolButton* button_;
};
