#pragma once
// Draws the laid-out directory report (directory_report.h) on a printer, a PDF writer or the
// print preview. The layout decides what goes on which page; this only paints it.

#include <QFont>
#include <QSize>

#include <functional>
#include <vector>

#include "directory/directory_report.h"

class CObList;
class QPagedPaintDevice;

// The message font as the screen shows it, with the screen's resolution, so the printed text
// keeps its size on paper.
struct ReportScreenFont {
    QFont font;
    QSize dotsPerInch{96, 96};
};

// The font at the same physical size on a device of the given resolution: its pixel height
// (and width, through the stretch) scaled by the ratio of the resolutions.
QFont ScaleFontToDevice(const ReportScreenFont& screen, int deviceDpiX, int deviceDpiY);

struct ReportPrintResult {
    bool started = false;    // painting could begin on the device
    bool cancelled = false;  // the progress callback asked to stop
    int pages = 0;           // pages drawn
};

struct ReportPrintOptions {
    // Job pages to draw, from 1; 0 and 0 for all of them.
    int fromPage = 0;
    int toPage = 0;
    // Called after each page with the pages drawn and the pages to draw; false stops.
    std::function<bool(int done, int total)> progress;
};

// Rows under the header on the device, with the font scaled to it.
int ReportRowsPerPageOn(const QPagedPaintDevice& device, const ReportScreenFont& screen);

ReportPrintResult PrintDirectoryReport(QPagedPaintDevice& device,
                                       const std::vector<ReportSectionLines>& sections,
                                       const ReportScreenFont& screen,
                                       const ReportPrintOptions& options = {});

// The locale's case-insensitive collation, as a sorted list box orders its items.
std::vector<size_t> LocaleCollationOrder(const std::vector<std::string_view>& keys);

// The lines of the chosen lists of the directory, in the locale's order.
std::vector<ReportSectionLines> BuildDirectoryReport(const ReportSource& source, const ReportChoice& choice);
