#include "ui/windows/directory_report_printer.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "text/windows1252.h"
#include "ui/windows/window_texts.h"

namespace {

struct PageGeometry {
    int width = 0;
    int height = 0;
    int textHeight = 1;
    int rowsPerPage = 1;
};

PageGeometry GeometryOf(const QPagedPaintDevice& device, const QFont& textFont) {
    PageGeometry g;
    g.width = device.width();
    g.height = device.height();
    // QFontMetrics needs a non-const device only for its type; it reads the resolution.
    g.textHeight = std::max(1, QFontMetrics(textFont, const_cast<QPagedPaintDevice*>(&device)).height());
    g.rowsPerPage = ReportRowsPerPage(g.height, g.textHeight);
    return g;
}

// Two heads and shoulders, drawn rather than loaded so it stays sharp at any resolution.
void DrawGroupIcon(QPainter& painter, const QRectF& box) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal unit = box.width() / 8;
    const auto person = [&](qreal left, const QColor& color) {
        painter.setBrush(color);
        painter.drawEllipse(QRectF(box.left() + left + unit, box.top() + unit * 0.5, unit * 2.5, unit * 2.5));
        QPainterPath body;
        body.addRoundedRect(QRectF(box.left() + left, box.top() + unit * 3.5, unit * 4.5, unit * 4),
                            unit * 1.5, unit * 1.5);
        painter.drawPath(body);
    };
    person(unit * 3.5, QColor(0x60, 0x60, 0x60));
    person(0, QColor(0x20, 0x20, 0x20));
    painter.restore();
}

class ReportPainter {
public:
    ReportPainter(QPainter& painter, const QPagedPaintDevice& device, const ReportScreenFont& screen)
        : painter_(painter),
          textFont_(ScaleFontToDevice(screen, device.logicalDpiX(), device.logicalDpiY())),
          headerFont_(textFont_),
          dpiX_(device.logicalDpiX()),
          geometry_(GeometryOf(device, textFont_)) {
        headerFont_.setBold(true);
    }

    int RowsPerPage() const { return geometry_.rowsPerPage; }

    void DrawPage(const ReportSectionLines& section, const ReportPage& page) {
        const int h = geometry_.textHeight;
        painter_.setClipRect(0, 0, geometry_.width, geometry_.height);
        painter_.setBackgroundMode(Qt::TransparentMode);
        painter_.setPen(QPen(Qt::black, std::max(1, dpiX_ / 150)));

        painter_.setFont(headerFont_);
        const QString header = QString::fromLatin1(ReportHeader(section.section));
        const std::vector<int> stops = StopsFor(section.section, header);
        DrawFields(header, stops, h, false);
        painter_.drawLine(0, h + 1, geometry_.width, h + 1);

        painter_.setFont(textFont_);
        for (size_t i = 0; i < page.lineCount; ++i) {
            const ReportLine& line = section.lines[page.firstLine + i];
            const int bottom = h * (static_cast<int>(i) + 2);
            const QString text = vorla::FromWindows1252(section.Text(line));
            if (line.kind == ReportLineKind::Group) {
                const int stop = stops.empty() ? 0 : stops[0];
                const qreal side = std::min<qreal>(painter_.fontMetrics().ascent(), stop * 0.9);
                DrawGroupIcon(painter_,
                              QRectF(0, bottom - painter_.fontMetrics().descent() - side, side, side));
            }
            DrawFields(text, stops, bottom, line.kind == ReportLineKind::Member);
        }

        painter_.drawLine(0, geometry_.height - h, geometry_.width, geometry_.height - h);
        painter_.drawText(0, geometry_.height - painter_.fontMetrics().descent(),
                          QString::fromLatin1(window_texts::kPageFooter) + QString::number(page.number));
    }

private:
    // The section's stops on this device, widened where a header label needs it; the header
    // font must be the painter's.
    std::vector<int> StopsFor(ReportSection section, const QString& header) const {
        std::vector<int> stops;
        for (int stop : ReportTabStops(section))
            stops.push_back(ScaleReportUnits(stop, dpiX_));
        const QFontMetrics metrics = painter_.fontMetrics();
        std::vector<int> labels;
        for (const QString& label : header.split(QLatin1Char('\t')))
            labels.push_back(metrics.horizontalAdvance(label));
        return FitStopsToHeader(stops, labels, metrics.averageCharWidth());
    }

    // A tab-separated line with its tabs expanded at the stops; `bottom` is the bottom of the
    // text. A member line leaves out its group's name (its member still goes to the second
    // stop). What runs past the page's edge is clipped there.
    void DrawFields(const QString& line, const std::vector<int>& stops, int bottom, bool member) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        const QFontMetrics metrics = painter_.fontMetrics();
        std::vector<int> widths;
        widths.reserve(static_cast<size_t>(fields.size()));
        for (qsizetype i = 0; i < fields.size(); ++i)
            widths.push_back(member && i == 1 ? 0 : metrics.horizontalAdvance(fields[i]));
        // Beyond the section's stops, the usual eight characters.
        const std::vector<int> starts = ExpandTabs(widths, stops, 8 * metrics.averageCharWidth());
        const int baseline = bottom - metrics.descent();
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (fields[i].isEmpty() || (member && i == 1)) continue;
            painter_.drawText(starts[static_cast<size_t>(i)], baseline, fields[i]);
        }
    }

    QPainter& painter_;
    QFont textFont_;
    QFont headerFont_;
    int dpiX_;
    PageGeometry geometry_;
};

}  // namespace

QFont ScaleFontToDevice(const ReportScreenFont& screen, int deviceDpiX, int deviceDpiY) {
    const QFont& font = screen.font;
    const int screenX = std::max(1, screen.dotsPerInch.width());
    const int screenY = std::max(1, screen.dotsPerInch.height());
    const double screenPixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * screenY / 72.0;
    QFont scaled(font);
    scaled.setPixelSize(std::max(1, static_cast<int>(std::lround(screenPixels * deviceDpiY / screenY))));
    const double widthRatio = (double(deviceDpiX) / screenX) / (double(deviceDpiY) / screenY);
    const int stretch = static_cast<int>(std::lround(100 * widthRatio));
    if (stretch != 100) scaled.setStretch(std::clamp(stretch, 1, 4000));
    return scaled;
}

int ReportRowsPerPageOn(const QPagedPaintDevice& device, const ReportScreenFont& screen) {
    return GeometryOf(device, ScaleFontToDevice(screen, device.logicalDpiX(), device.logicalDpiY()))
        .rowsPerPage;
}

ReportPrintResult PrintDirectoryReport(QPagedPaintDevice& device,
                                       const std::vector<ReportSectionLines>& sections,
                                       const ReportScreenFont& screen, const ReportPrintOptions& options) {
    ReportPrintResult result;
    // No page, no job: a printer would put out a blank sheet.
    if (ReportIsEmpty(sections)) return result;
    QPainter painter;
    if (!painter.begin(&device)) return result;
    result.started = true;
    ReportPainter reportPainter(painter, device, screen);
    std::vector<ReportPage> pages = PaginateReport(sections, reportPainter.RowsPerPage());
    if (options.fromPage > 0 || options.toPage > 0) {
        const int last = options.toPage > 0 ? options.toPage : static_cast<int>(pages.size());
        std::erase_if(pages,
                      [&](const ReportPage& p) { return p.number < options.fromPage || p.number > last; });
    }
    const int total = static_cast<int>(pages.size());
    for (const ReportPage& page : pages) {
        if (result.pages > 0) device.newPage();
        reportPainter.DrawPage(sections[page.section], page);
        ++result.pages;
        if (options.progress && !options.progress(result.pages, total)) {
            result.cancelled = result.pages < total;
            break;
        }
    }
    painter.end();
    return result;
}

std::vector<size_t> LocaleCollationOrder(const std::vector<std::string_view>& keys) {
    QCollator collator;
    // The C locale has no collation of its own, and Qt's keys for it keep the case: the
    // plain case-insensitive order stands in (scheduled jobs often run in that locale).
    if (collator.locale().language() == QLocale::C) return CaseInsensitiveOrder(keys);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // Keys are made once, so each comparison of the sort is cheap.
    std::vector<QCollatorSortKey> sortKeys;
    sortKeys.reserve(keys.size());
    for (std::string_view key : keys)
        sortKeys.push_back(collator.sortKey(vorla::FromWindows1252(key)));
    std::vector<size_t> positions(keys.size());
    std::iota(positions.begin(), positions.end(), size_t{0});
    std::stable_sort(positions.begin(), positions.end(),
                     [&sortKeys](size_t a, size_t b) { return sortKeys[a].compare(sortKeys[b]) < 0; });
    return positions;
}

std::vector<ReportSectionLines> BuildDirectoryReport(const ReportSource& source, const ReportChoice& choice) {
    return BuildReportSections(source, choice, &LocaleCollationOrder);
}
