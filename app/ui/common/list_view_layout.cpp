#include "ui/common/list_view_layout.h"

#include <QListView>

namespace vorla {

void ShowListLayout(QListView* view, ListLayout layout, int columnWidth, int largeWidth) {
    const bool large = layout == ListLayout::kLargeIcons;
    view->setViewMode(large ? QListView::IconMode : QListView::ListMode);
    view->setIconSize(large ? QSize(32, 32) : QSize(16, 16));
    view->setFlow(layout == ListLayout::kColumns ? QListView::TopToBottom : QListView::LeftToRight);
    view->setWrapping(true);
    view->setMovement(QListView::Static);
    const int line = view->fontMetrics().height() + 4;
    if (layout == ListLayout::kColumns)
        view->setGridSize(QSize(columnWidth > 0 ? columnWidth : 200, line));
    else if (large)
        view->setGridSize(QSize(largeWidth, 64));
    else
        view->setGridSize(QSize(160, line));
    view->setWordWrap(large);
    view->setTextElideMode(Qt::ElideRight);
    view->doItemsLayout();
}

}  // namespace vorla
