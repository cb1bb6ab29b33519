#include "ui/windows/log_printer.h"

#include <QFont>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>

#include <algorithm>

#include "ui/windows/window_texts.h"

namespace {

QFont PrintFont(bool bold) {
    QFont font(QStringLiteral("MS Sans Serif"), 9);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(bold);
    return font;
}

// Draws the line's fields at the tab stops, each cut (with an ellipsis) to the room before
// the next stop, so a long status never runs into the message.
void DrawTabbed(QPainter& painter, const QString& line, int y, double scale, int right) {
    const QStringList fields = line.split(QLatin1Char('\t'));
    const QFontMetrics metrics = painter.fontMetrics();
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const int x =
            i == 0 ? 0 : (i - 1 < 4 ? int(kPrintTabStops[i - 1] * scale) : int(kPrintTabStops[3] * scale));
        const int end = i < 4 ? int(kPrintTabStops[i] * scale) : right;
        QString text = fields[i];
        // Line breaks inside a message would run into the next row.
        text.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const int gap = i < 4 ? metrics.averageCharWidth() : 0;
        text = metrics.elidedText(text, Qt::ElideRight, std::max(0, end - x - gap));
        painter.drawText(x, y, text);
    }
}

}  // namespace

std::vector<LogPrintPage> PaginateLog(int rows, int rowsPerPage) {
    rowsPerPage = std::max(1, rowsPerPage);
    std::vector<LogPrintPage> pages;
    for (int first = 0; first < rows; first += rowsPerPage)
        pages.push_back({first, std::min(rowsPerPage, rows - first)});
    if (pages.empty()) pages.push_back({0, 0});
    return pages;
}

int PrintLogLines(QPagedPaintDevice& device, int rows, const std::function<QString(int row)>& lineOf) {
    QPainter painter;
    if (!painter.begin(&device)) return 0;
    const QFont normal = PrintFont(false);
    const QFont bold = PrintFont(true);
    painter.setFont(normal);
    const int lineHeight = std::max(1, painter.fontMetrics().lineSpacing());
    const QRect page = painter.viewport();
    const double scale = double(device.logicalDpiX()) / kPrintUnitsPerInch;
    const int rowsPerPage = page.height() / lineHeight - 3;
    const auto pages = PaginateLog(rows, rowsPerPage);
    int number = 0;
    for (const LogPrintPage& p : pages) {
        if (number > 0) device.newPage();
        ++number;
        int y = painter.fontMetrics().ascent();
        painter.setFont(bold);
        DrawTabbed(painter, QString::fromLatin1(window_texts::kPrintHeading), y, scale, page.width());
        painter.setFont(normal);
        for (int row = p.firstRow; row < p.firstRow + p.rowCount; ++row) {
            y += lineHeight;
            DrawTabbed(painter, lineOf(row), y, scale, page.width());
        }
        painter.drawText(0, page.height() - painter.fontMetrics().descent(),
                         QString::fromLatin1(window_texts::kPageFooter) + QString::number(number));
    }
    painter.end();
    return number;
}
