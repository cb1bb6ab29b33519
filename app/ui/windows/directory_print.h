#pragma once
// File > Print, Print Preview and Print Setup for the directory lists. The user picks the
// lists with four boxes added to the print dialog (and to the preview's toolbar); the
// choice and the printer settings last for the run of the program.

#include <QWidget>

#include <functional>

#include "directory/directory_report.h"
#include "ui/windows/directory_report_printer.h"

namespace vorla {
class ISettingsStore;
}
class CVorlaPro5App;
class QPrinter;
struct UiExtensions;

inline constexpr const char* kNothingTicked = "No list is ticked, so there is nothing to print.";
inline constexpr const char* kNothingInLists = "The chosen lists are empty, so there is nothing to print.";

// The four boxes "Subscribers", "Groups", "Preset Messages" and "Services". Each click flips
// the matching choice, which must outlive the widget; `changed` follows every click.
class DirectoryListBoxes : public QWidget {
    Q_OBJECT
public:
    DirectoryListBoxes(ReportChoice& choice, Qt::Orientation orientation, QWidget* parent = nullptr,
                       std::function<void()> changed = {});
};

// What the program's print commands work on; the tests build one without the main window.
struct DirectoryPrintContext {
    std::function<ReportSource()> source;
    std::function<ReportScreenFont()> screenFont;
    std::function<void(const QString&)> tell;  // a refusal for the user
};

class DirectoryPrinting {
public:
    explicit DirectoryPrinting(DirectoryPrintContext context);
    ~DirectoryPrinting();

    ReportChoice& Choice() { return choice_; }
    QPrinter& Printer();

    // The lines of the chosen lists; empty, after telling the user why, when there is
    // nothing to print.
    std::vector<ReportSectionLines> SectionsToPrint();
    // Prints the chosen lists on the printer as its settings stand, with a progress box that
    // can cancel. Returns the pages printed.
    int PrintChosen(QPrinter& printer, QWidget* parent);

    void Print(QWidget* parent);
    void Preview(QWidget* parent);
    void PageSetup(QWidget* parent);

private:
    DirectoryPrintContext context_;
    ReportChoice choice_;
    std::unique_ptr<QPrinter> printer_;
};

// The stored message font at the primary screen's resolution, for printing without the
// message window (its field shows this font).
ReportScreenFont StoredScreenFont(const vorla::ISettingsStore& settings);

// Print, Print Preview and Print Setup as commands of the main frame.
void RegisterDirectoryPrinting(UiExtensions& extensions);
