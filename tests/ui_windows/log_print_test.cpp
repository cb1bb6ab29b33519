// Printing the log: pagination, and a real PDF whose text is read back with pdftotext.
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "tests/child_process/qt_child_process.h"
#include "tests/ui_windows/window_world.h"
#include "ui/windows/log_list_model.h"
#include "ui/windows/log_list_view.h"
#include "ui/windows/log_printer.h"

namespace {

TEST(LogPrintPagination, FullPagesThenTheRestAndOnePageForNoRows) {
    const auto pages = PaginateLog(7, 3);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].firstRow, 0);
    EXPECT_EQ(pages[2].firstRow, 6);
    EXPECT_EQ(pages[2].rowCount, 1);
    EXPECT_EQ(PaginateLog(6, 3).size(), 2u);
    ASSERT_EQ(PaginateLog(0, 3).size(), 1u);
    EXPECT_EQ(PaginateLog(0, 3)[0].rowCount, 0);
    // A page too small for any row still makes progress.
    EXPECT_EQ(PaginateLog(2, -4).size(), 2u);
}

class LogPrintTest : public ::testing::Test {
protected:
    QString PrintToPdf(CLogListView& view, int* pages) {
        const QString path = dir.filePath(QStringLiteral("log.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        *pages = view.PrintTo(printer);
        return path;
    }
    static QString PdfText(const QString& path) {
        QProcess process;
        vorla::testing::EndWithTest(process);
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
        if (!process.waitForFinished(20000)) return QString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }
    static bool HavePdfToText() {
        return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
    }

    QTemporaryDir dir;
    WindowWorld world;
};

TEST_F(LogPrintTest, PdfHoldsTheHeadingTheRowsAndPageNumbers) {
    if (!HavePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    world.Log(kTestNow, "Ann", "Message Sent Successfully!", "Lunch at noon");
    world.Log(kTestNow + 60, "Bob", "Busy", "Call back", -5);
    CLogListView view(world.LogContext());
    view.SortByColumn(CLogListModel::kName);
    int pages = 0;
    const QString text = PdfText(PrintToPdf(view, &pages));
    EXPECT_EQ(pages, 1);
    EXPECT_TRUE(text.contains(QStringLiteral("Date:"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Message:")));
    EXPECT_TRUE(text.contains(QStringLiteral("Lunch at noon"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Busy")));
    EXPECT_TRUE(text.contains(QStringLiteral("Call back")));
    EXPECT_TRUE(text.contains(QStringLiteral("03/05/24")));
    EXPECT_TRUE(text.contains(QStringLiteral("Page 1")));
    EXPECT_FALSE(text.contains(QStringLiteral("Page 2")));
    // Rows in the window's order.
    EXPECT_LT(text.indexOf(QStringLiteral("Ann")), text.indexOf(QStringLiteral("Bob")));
}

TEST_F(LogPrintTest, LongLogsRunOverPagesEachWithItsHeading) {
    for (int i = 0; i < 150; ++i)
        world.Log(kTestNow + i, "Row" + std::to_string(i), "s", "m");
    CLogListView view(world.LogContext());
    view.SortByColumn(CLogListModel::kTime);
    int pages = 0;
    const QString path = PrintToPdf(view, &pages);
    EXPECT_GE(pages, 2);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5).startsWith("%PDF"));
    if (!HavePdfToText()) return;
    const QString text = PdfText(path);
    EXPECT_EQ(text.count(QStringLiteral("Date:")), pages);
    EXPECT_TRUE(text.contains(QStringLiteral("Page %1").arg(pages)));
    EXPECT_TRUE(text.contains(QStringLiteral("Row149")));
    EXPECT_TRUE(text.contains(QStringLiteral("Row0")));
}

}  // namespace
