#pragma once
// The non-report view types of a list window (large icons, small icons, a list in columns),
// shown by one QListView over the same model as the report.

class QListView;

namespace vorla {

enum class ListLayout { kLargeIcons, kSmallIcons, kColumns };

// `columnWidth` is the width of a column of the list layout, `largeWidth` that of a large
// icon's cell; the cells form a grid, so long texts never run into each other.
void ShowListLayout(QListView* view, ListLayout layout, int columnWidth, int largeWidth);

}  // namespace vorla
