#include "ui/maintenance/view_type_menu.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QToolButton>

#include "ui/common/command_icon.h"

ViewTypeMenu::ViewTypeMenu(QWidget* parent) : QObject(parent) {
    menu_ = new QMenu(parent);
    group_ = new QActionGroup(this);
    struct Entry {
        int type;
        const char* text;
        const char* themeIcon;
        const char* ownIcon;
        QStyle::StandardPixmap fallback;
    };
    // Menu order as the log window's View menu has them.
    static const Entry kEntries[] = {
        {kIcons, "Lar&ge Icons", "view-list-icons", "view_large_icons", QStyle::SP_FileDialogContentsView},
        {kSmallIcons, "S&mall Icons", "", "view_small_icons", QStyle::SP_FileDialogInfoView},
        {kList, "&List", "view-list-text", "view_list", QStyle::SP_FileDialogListView},
        {kReport, "&Details", "view-list-details", "view_details", QStyle::SP_FileDialogDetailedView},
    };
    for (const Entry& entry : kEntries) {
        QAction* action = menu_->addAction(
            vorla::CommandIcon(entry.themeIcon, entry.ownIcon, entry.fallback, parent->style()),
            QString::fromLatin1(entry.text));
        action->setCheckable(true);
        action->setData(entry.type);
        group_->addAction(action);
        const int type = entry.type;
        connect(action, &QAction::triggered, this, [this, type] {
            SetType(type);
            emit TypeChosen(type);
        });
    }
    button_ = new QToolButton(parent);
    button_->setMenu(menu_);
    button_->setPopupMode(QToolButton::InstantPopup);
    button_->setAutoRaise(true);
    button_->setText(QStringLiteral("View"));
    button_->setToolTip(QStringLiteral("How the list shows its rows"));
    button_->setAccessibleName(QStringLiteral("View"));
}

void ViewTypeMenu::AttachTo(QAbstractItemView* view) {
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this,
            [this, view](const QPoint& at) { menu_->popup(view->viewport()->mapToGlobal(at)); });
}

void ViewTypeMenu::SetType(int type) {
    for (QAction* action : group_->actions()) {
        if (action->data().toInt() != type) continue;
        action->setChecked(true);
        // The button shows the current view's picture, or its name where there is none.
        button_->setIcon(action->icon());
        button_->setToolButtonStyle(action->icon().isNull() ? Qt::ToolButtonTextOnly
                                                            : Qt::ToolButtonIconOnly);
    }
}
