#include "ui/windows/directory_print.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProgressDialog>
#include <QScreen>
#include <QToolBar>

#include <algorithm>

#include "ui/app/command_ids.h"
#include "ui/app/ui_extensions.h"
#include "ui/app/vorla_pro_app.h"
#include "ui/message_entry/message_font.h"
#include "ui/message_entry/vorla_pro_view.h"

namespace {

struct ListBox {
    const char* text;
    ReportSection section;
};
// In the dialog's order, which is not the printing order.
constexpr ListBox kListBoxes[] = {{"Subscribers", ReportSection::Subscribers},
                                  {"Groups", ReportSection::Groups},
                                  {"Preset Messages", ReportSection::PresetMessages},
                                  {"Services", ReportSection::Services}};

ReportScreenFont ScreenFontOf(CVorlaPro5App& app) {
    if (CVorlaPro5View* view = app.GetMainView()) {
        const QWidget* field = view->MessageField();
        return {field->font(), QSize(field->logicalDpiX(), field->logicalDpiY())};
    }
    return StoredScreenFont(app.Settings());
}

}  // namespace

ReportScreenFont StoredScreenFont(const vorla::ISettingsStore& settings) {
    ReportScreenFont screen{StoredMessageFont(settings, QGuiApplication::font()), QSize(96, 96)};
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screen.dotsPerInch =
            QSize(qRound(primary->logicalDotsPerInchX()), qRound(primary->logicalDotsPerInchY()));
    return screen;
}

DirectoryListBoxes::DirectoryListBoxes(ReportChoice& choice, Qt::Orientation orientation, QWidget* parent,
                                       std::function<void()> changed)
    : QWidget(parent) {
    setWindowTitle(QStringLiteral("Directory Lists"));
    auto* layout =
        new QBoxLayout(orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, this);
    for (const ListBox& entry : kListBoxes) {
        auto* box = new QCheckBox(QString::fromLatin1(entry.text), this);
        box->setChecked(choice.Includes(entry.section));
        layout->addWidget(box);
        connect(box, &QCheckBox::clicked, this, [&choice, section = entry.section, changed] {
            choice.Set(section, !choice.Includes(section));
            if (changed) changed();
        });
    }
    if (orientation == Qt::Vertical) layout->addStretch();
}

DirectoryPrinting::DirectoryPrinting(DirectoryPrintContext context) : context_(std::move(context)) {}
DirectoryPrinting::~DirectoryPrinting() = default;

QPrinter& DirectoryPrinting::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

std::vector<ReportSectionLines> DirectoryPrinting::SectionsToPrint() {
    if (!choice_.Any()) {
        context_.tell(QString::fromLatin1(kNothingTicked));
        return {};
    }
    std::vector<ReportSectionLines> sections = BuildDirectoryReport(context_.source(), choice_);
    if (ReportIsEmpty(sections)) {
        context_.tell(QString::fromLatin1(kNothingInLists));
        return {};
    }
    return sections;
}

int DirectoryPrinting::PrintChosen(QPrinter& printer, QWidget* parent) {
    const std::vector<ReportSectionLines> sections = SectionsToPrint();
    if (sections.empty()) return 0;
    // A large directory takes a while: the box keeps the window alive and lets the user stop.
    QProgressDialog progress(QStringLiteral("Printing the directory lists..."), QStringLiteral("Cancel"), 0,
                             0, parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    ReportPrintOptions options;
    if (printer.printRange() == QPrinter::PageRange) {
        options.fromPage = printer.fromPage();
        options.toPage = printer.toPage();
    }
    options.progress = [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        if (!progress.wasCanceled()) return true;
        printer.abort();
        return false;
    };
    const ReportPrintResult result = PrintDirectoryReport(printer, sections, context_.screenFont(), options);
    if (!result.started) context_.tell(QStringLiteral("The printer could not be opened."));
    if (!result.cancelled) return result.pages;
    // A cancelled PDF is still a well-formed file, of the pages done so far: left there it
    // would pass for the whole directory.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
    return 0;
}

void DirectoryPrinting::Print(QWidget* parent) {
    QPrinter& printer = Printer();
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print"));
    dialog.setOptionTabs({new DirectoryListBoxes(choice_, Qt::Vertical)});
    // The page range may name any page of the longest report, all four lists.
    const int rows = ReportRowsPerPageOn(printer, context_.screenFont());
    dialog.setMinMax(
        1, std::max(1, CountReportPages(context_.source(), ReportChoice{true, true, true, true}, rows)));
    if (dialog.exec() != QDialog::Accepted) return;
    PrintChosen(printer, parent);
}

void DirectoryPrinting::Preview(QWidget* parent) {
    QPrinter& printer = Printer();
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(QStringLiteral("Print Preview"));
    // Room for a whole page and the toolbar with the four boxes.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        preview.resize(screen->availableSize() * 4 / 5);
    auto* pages = preview.findChild<QPrintPreviewWidget*>();
    // The four boxes on a toolbar row of their own under the preview's own (which is too
    // long to leave room at its end), with a line that says why there is no page.
    auto* boxes = new DirectoryListBoxes(choice_, Qt::Horizontal, nullptr, [pages] {
        if (pages) pages->updatePreview();
    });
    QLabel* notice = nullptr;
    if (auto* window = preview.findChild<QMainWindow*>()) {
        window->addToolBarBreak();
        auto* bar = new QToolBar(boxes->windowTitle(), window);
        bar->setMovable(false);
        bar->addWidget(boxes);
        notice = new QLabel(bar);
        bar->addWidget(notice);
        window->addToolBar(bar);
    } else if (auto* toolBar = preview.findChild<QToolBar*>()) {
        toolBar->addWidget(boxes);
    } else {
        delete boxes;
    }
    QList<QAction*> printActions;
    for (QAction* action : preview.findChildren<QAction*>())
        if (action->text().remove(QLatin1Char('&')) == QStringLiteral("Print")) printActions << action;

    // The preview's pages and its Print button both come through here, on the same printer.
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* target) {
        const std::vector<ReportSectionLines> sections = BuildDirectoryReport(context_.source(), choice_);
        const bool empty = ReportIsEmpty(sections);
        if (notice)
            notice->setText(empty ? QString::fromLatin1(choice_.Any() ? kNothingInLists : kNothingTicked)
                                  : QString());
        for (QAction* action : printActions)
            action->setEnabled(!empty);
        if (empty) {
            // One blank page, or the preview would go on showing the last choice's pages.
            QPainter blank(target);
            return;
        }
        PrintDirectoryReport(*target, sections, context_.screenFont());
    });
    preview.exec();
}

void DirectoryPrinting::PageSetup(QWidget* parent) {
    QPageSetupDialog dialog(&Printer(), parent);
    dialog.exec();
}

void RegisterDirectoryPrinting(UiExtensions& extensions) {
    // One for the run of the program, made at the first command.
    auto printing = std::make_shared<std::unique_ptr<DirectoryPrinting>>();
    auto of = [printing](CVorlaPro5App& app) -> DirectoryPrinting& {
        if (!*printing) {
            DirectoryPrintContext context;
            context.source = [&app] { return ReportSourceOf(app.Store()); };
            context.screenFont = [&app] { return ScreenFontOf(app); };
            context.tell = [&app](const QString& text) { app.ShowStop(text); };
            *printing = std::make_unique<DirectoryPrinting>(std::move(context));
        }
        return **printing;
    };
    extensions.commands[cmd::kPrint] = [of](CVorlaPro5App& app, QWidget* parent) { of(app).Print(parent); };
    extensions.commands[cmd::kPrintPreview] = [of](CVorlaPro5App& app, QWidget* parent) {
        of(app).Preview(parent);
    };
    extensions.commands[cmd::kPrintSetup] = [of](CVorlaPro5App& app, QWidget* parent) {
        of(app).PageSetup(parent);
    };
}
