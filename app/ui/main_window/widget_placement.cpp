#include "ui/main_window/widget_placement.h"

#include <QMdiSubWindow>
#include <QWidget>

namespace vorla {

WindowPlacement PlacementOf(const QWidget& widget) {
    WindowPlacement placement;
    // A sub-window's normal geometry is only its geometry while it is not maximized.
    const QRect normal = widget.isWindow() ? widget.normalGeometry() : widget.geometry();
    const QRect rect = normal.isValid() ? normal : widget.geometry();
    placement.normalPosition = {rect.left(), rect.top(), rect.left() + rect.width(),
                                rect.top() + rect.height()};
    placement.showCommand = widget.isMaximized()   ? kShowMaximized
                            : widget.isMinimized() ? kShowMinimized
                                                   : kShowNormal;
    placement.minPosition = {-1, -1};
    placement.maxPosition = {-1, -1};
    return placement;
}

void ApplyPlacement(QWidget& widget, const WindowPlacement& placement) {
    const PlacementRect& r = placement.normalPosition;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width > 0 && height > 0) widget.setGeometry(r.left, r.top, width, height);
    if (placement.showCommand == kShowMaximized) {
        widget.setWindowState(widget.windowState() | Qt::WindowMaximized);
    } else if (placement.showCommand == kShowMinimized && !widget.isWindow()) {
        // A top-level window never starts minimized: the user would not find it.
        widget.setWindowState(widget.windowState() | Qt::WindowMinimized);
    }
}

}  // namespace vorla
