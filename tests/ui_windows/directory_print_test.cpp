// The printed directory as PDF read back with pdftotext, the refusals when there is nothing
// to print, and the exit codes of "vorlapro --print-directory".
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "directory/directory_file.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "tests/child_process/qt_child_process.h"
#include "ui/windows/directory_print.h"
#include "ui/windows/directory_report_printer.h"

namespace {

bool HavePdfToText() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

// The text of the PDF, or of one page of it.
QString PdfText(const QString& path, int page = 0) {
    QStringList arguments{QStringLiteral("-layout")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    QProcess process;
    vorla::testing::EndWithTest(process);
    process.start(QStringLiteral("pdftotext"), arguments << path << QStringLiteral("-"));
    if (!process.waitForFinished(20000)) return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

class DirectoryPrintTest : public ::testing::Test {
protected:
    DirectoryPrintTest() {
        store.CreateEmpty();
        printing = std::make_unique<DirectoryPrinting>(Context());
    }

    DirectoryPrintContext Context() {
        DirectoryPrintContext context;
        context.source = [this] { return ReportSourceOf(store); };
        context.screenFont = [] {
            return ReportScreenFont{QFont(QStringLiteral("DejaVu Sans"), 10), QSize(96, 96)};
        };
        context.tell = [this](const QString& text) { told.push_back(text); };
        return context;
    }

    CService* Service(const std::string& name) {
        ServiceFields fields;
        fields.name = name;
        fields.accessNumber = "555" + name.substr(0, 1);
        fields.port = "COM2";
        fields.baudRate = 9600;
        fields.modemName = "Factory Default";
        fields.scriptFile = "VORLAPRO.RKL";
        auto* service = new CService(fields);
        store.GetServiceList()->AddTail(service);
        return service;
    }
    CSubscriber* Subscriber(const std::string& name) {
        auto* subscriber = new CSubscriber(name, "4711", "80", nullptr);
        store.GetSubscriberList()->AddTail(subscriber);
        return subscriber;
    }
    void Group(const std::string& name, std::initializer_list<CSubscriber*> members) {
        auto* group = new CGroup(name);
        for (CSubscriber* member : members)
            AddGroupMember(*group, *member);
        store.GetGroupList()->AddTail(group);
    }

    void Choose(bool subscribers, bool groups, bool services) {
        printing->Choice() = ReportChoice{subscribers, groups, false, services};
    }

    // Prints the chosen lists to a Letter PDF; returns its path.
    QString Print(int* pages) {
        const QString path = dir.filePath(QStringLiteral("directory.pdf"));
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::Letter));
        *pages = printing->PrintChosen(printer, nullptr);
        return path;
    }

    QTemporaryDir dir;
    DirectoryStore store;
    std::vector<QString> told;
    QPrinter printer{QPrinter::HighResolution};
    std::unique_ptr<DirectoryPrinting> printing;
};

TEST_F(DirectoryPrintTest, ServicesAloneFitOnePageSortedUnderTheirHeader) {
    if (!HavePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    Service("metro");
    Service("Citywide");
    Service("Acme");
    // Longer than its column: it pushes the rest of its line to the following stops.
    Service("Tri-County Regional Paging Network Incorporated");
    Choose(false, false, true);
    int pages = 0;
    const QString text = PdfText(Print(&pages));
    EXPECT_EQ(pages, 1);
    for (const char* word : {"Service Name:", "Access Number:", "Baud Rate:", "Modem Name:", "RKL Script:",
                             "COM2", "9600", "Page 1"})
        EXPECT_TRUE(text.contains(QLatin1String(word))) << word << "\n" << text.toStdString();
    EXPECT_TRUE(text.contains(
        QRegularExpression(QStringLiteral("Tri-County Regional Paging Network Incorporated +555T"))))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Page 2")));
    EXPECT_FALSE(text.contains(QStringLiteral("Subscriber Name:")));
    EXPECT_LT(text.indexOf(QStringLiteral("Acme")), text.indexOf(QStringLiteral("Citywide")));
    EXPECT_LT(text.indexOf(QStringLiteral("Citywide")), text.indexOf(QStringLiteral("metro")));
}

TEST_F(DirectoryPrintTest, GroupLinePrecedesItsMembersInOrderWithoutRepeatingTheName) {
    if (!HavePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    CSubscriber* bob = Subscriber("Bob");
    CSubscriber* ann = Subscriber("Ann");
    Group("Night Shift", {bob, ann});
    Choose(false, true, false);
    int pages = 0;
    const QString text = PdfText(Print(&pages));
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(text.count(QStringLiteral("Night Shift")), 1) << text.toStdString();
    EXPECT_LT(text.indexOf(QStringLiteral("Group:")), text.indexOf(QStringLiteral("Night Shift")));
    EXPECT_LT(text.indexOf(QStringLiteral("Night Shift")), text.indexOf(QStringLiteral("Ann")));
    EXPECT_LT(text.indexOf(QStringLiteral("Ann")), text.indexOf(QStringLiteral("Bob")));
}

TEST_F(DirectoryPrintTest, AFullSectionEndsItsPageAndTheNextStartsAfresh) {
    if (!HavePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    printer.setPageSize(QPageSize(QPageSize::Letter));
    Group("Crew", {});
    // Exactly one page of subscribers: the group's one line must go to page 2.
    printer.setOutputFormat(QPrinter::PdfFormat);
    const int rows = ReportRowsPerPageOn(printer, Context().screenFont());
    ASSERT_GT(rows, 10);
    for (int i = 0; i < rows; ++i)
        Subscriber("Sub" + std::to_string(1000 + i));
    Choose(true, true, false);
    int pages = 0;
    const QString path = Print(&pages);
    EXPECT_EQ(pages, 2);
    const QString first = PdfText(path, 1);
    const QString second = PdfText(path, 2);
    EXPECT_TRUE(first.contains(QStringLiteral("Sub%1").arg(1000 + rows - 1))) << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("Page 1")));
    EXPECT_FALSE(first.contains(QStringLiteral("Group:")));
    EXPECT_TRUE(second.contains(QStringLiteral("Group:")));
    EXPECT_TRUE(second.contains(QStringLiteral("Crew")));
    EXPECT_TRUE(second.contains(QStringLiteral("Page 2")));
    EXPECT_FALSE(second.contains(QStringLiteral("Sub1")));
}

TEST_F(DirectoryPrintTest, NothingToPrintIsSaidAndMakesNoFile) {
    Service("Acme");
    const struct {
        ReportChoice choice;
        const char* told;
    } cases[] = {
        {ReportChoice{false, false, false, false}, kNothingTicked},
        {ReportChoice{false, true, false, false}, kNothingInLists},  // there is no group
    };
    for (const auto& c : cases) {
        told.clear();
        printing->Choice() = c.choice;
        int pages = -1;
        const QString path = Print(&pages);
        EXPECT_EQ(pages, 0);
        EXPECT_FALSE(QFile::exists(path));
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told[0], QString::fromLatin1(c.told));
    }
}

TEST_F(DirectoryPrintTest, PageRangeAndCancelLimitThePagesDrawn) {
    for (int i = 0; i < 5; ++i)
        Subscriber("Sub" + std::to_string(i));
    Group("Crew", {});
    Service("Acme");
    std::vector<ReportSectionLines> sections =
        BuildDirectoryReport(ReportSourceOf(store), ReportChoice{true, true, false, true});
    const struct {
        int from, to, cancelAfter;  // cancelAfter 0: never
        int pages;
        bool cancelled;
    } cases[] = {
        {0, 0, 0, 3, false}, {2, 3, 0, 2, false}, {3, 0, 0, 1, false}, {4, 9, 0, 0, false},
        {0, 0, 1, 1, true},  {0, 0, 3, 3, false},  // stopping after the last page cancels nothing
    };
    for (const auto& c : cases) {
        QBuffer pdf;
        pdf.open(QIODevice::WriteOnly);
        QPdfWriter writer(&pdf);
        ReportPrintOptions options;
        options.fromPage = c.from;
        options.toPage = c.to;
        if (c.cancelAfter > 0) options.progress = [&c](int done, int) { return done < c.cancelAfter; };
        const ReportPrintResult result =
            PrintDirectoryReport(writer, sections, Context().screenFont(), options);
        EXPECT_TRUE(result.started);
        EXPECT_EQ(result.pages, c.pages) << c.from << "-" << c.to;
        EXPECT_EQ(result.cancelled, c.cancelled) << c.cancelAfter;
    }
}

TEST(DirectoryPrintOrder, LocaleOrderIgnoresCaseInEveryLocale) {
    const QLocale before;
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        const std::vector<std::string_view> keys = {"Bob", "ann", "carl", "Ann"};
        EXPECT_EQ(LocaleCollationOrder(keys), (std::vector<size_t>{1, 3, 0, 2}))
            << locale.name().toStdString();
    }
    QLocale::setDefault(before);
}

#ifdef VORLAPRO_EXECUTABLE
// The program run as a scheduled job would run it.
TEST_F(DirectoryPrintTest, CommandLineWritesThePdfOrSaysWhyNot) {
    Service("Acme");
    Subscriber("Ann");
    const QString home = dir.filePath(QStringLiteral("home"));
    const QString emptyHome = dir.filePath(QStringLiteral("empty"));
    ASSERT_TRUE(QDir().mkpath(home) && QDir().mkpath(emptyHome));
    ASSERT_EQ(
        SaveDirectoryFile(
            (home + QStringLiteral("/") + QString::fromLatin1(kDirectoryFileName)).toStdString(), store),
        ArchiveError::None);
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const struct {
        QStringList arguments;
        int exitCode;
        bool written;
        const char* heading = nullptr;  // one the PDF must hold
        const char* notHeading = nullptr;
    } cases[] = {
        {{QStringLiteral("--home"), home, QStringLiteral("--print-directory"), pdf},
         0,
         true,
         "Subscriber Name:",
         "Service Name:"},
        {{QStringLiteral("--home"), home, QStringLiteral("--print-directory"), pdf,
          QStringLiteral("--sections"), QStringLiteral("services,groups")},
         0,
         true,
         "Service Name:",
         "Subscriber Name:"},
        {{QStringLiteral("--home"), home, QStringLiteral("--print-directory")}, 2, false},
        {{QStringLiteral("--home"), home, QStringLiteral("--print-directory"), pdf,
          QStringLiteral("--sections=log")},
         2,
         false},
        {{QStringLiteral("--home"), dir.filePath(QStringLiteral("missing")),
          QStringLiteral("--print-directory"), pdf},
         2,
         false},
        {{QStringLiteral("--home"), home, QStringLiteral("--print-directory"),
          dir.filePath(QStringLiteral("no/such/d.pdf"))},
         1,
         false},
        {{QStringLiteral("--home"), emptyHome, QStringLiteral("--print-directory"), pdf}, 1, false},
    };
    for (const auto& c : cases) {
        QFile::remove(pdf);
        QProcess process;
        vorla::testing::EndWithTest(process);
        process.start(QStringLiteral(VORLAPRO_EXECUTABLE), c.arguments);
        ASSERT_TRUE(process.waitForFinished(60000)) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), c.exitCode) << c.arguments.join(' ').toStdString() << "\n"
                                                  << process.readAllStandardError().toStdString();
        EXPECT_EQ(QFile::exists(pdf), c.written) << c.arguments.join(' ').toStdString();
        if (!c.heading || !HavePdfToText()) continue;
        const QString text = PdfText(pdf);
        EXPECT_TRUE(text.contains(QLatin1String(c.heading))) << text.toStdString();
        EXPECT_FALSE(text.contains(QLatin1String(c.notHeading))) << text.toStdString();
    }
}
#endif

}  // namespace
