#pragma once
// A window's placement in the stored format and back. The normal rectangle is kept the
// Windows way, right and bottom exclusive.

#include "settings/window_placement.h"

class QWidget;

namespace vorla {
WindowPlacement PlacementOf(const QWidget& widget);
// Applies the normal rectangle and the show command; a rectangle with no area is ignored.
void ApplyPlacement(QWidget& widget, const WindowPlacement& placement);
}  // namespace vorla
