#pragma once
// Printing the log: a bold heading with tab stops on every page, one tab-separated line per
// row in the normal font, as many rows as fit the page less three lines, and "Page n" at the
// foot.

#include <QString>

#include <functional>
#include <vector>

class QPagedPaintDevice;
class QPainter;

// Tab stops in the printed units: 600 to the inch (so the five fields fit a letter or A4
// page across).
inline constexpr int kPrintTabStops[] = {375, 850, 2500, 3000};
inline constexpr int kPrintUnitsPerInch = 600;

struct LogPrintPage {
    int firstRow = 0;
    int rowCount = 0;
};

// Splits rows into pages of rowsPerPage (at least one row a page; no rows give one empty page
// so the heading still prints).
std::vector<LogPrintPage> PaginateLog(int rows, int rowsPerPage);

// Prints every row's line (fields separated by tabs) on the device; returns the pages printed.
// False-free: a device that cannot start painting prints nothing and returns 0.
int PrintLogLines(QPagedPaintDevice& device, int rows, const std::function<QString(int row)>& lineOf);
