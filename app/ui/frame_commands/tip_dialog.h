#pragma once
// Help > Tip of the Day, also shown at start-up while "Show tips at startup" is ticked
// (section "Tip": "StartUp" 0). The tips come from "tips.txt" in the program folder when
// there is one (one tip a line, ';' starts a comment), else from the tips built into the
// program. Each showing moves on to the next tip ("FilePos"); a tips file changed since the
// last showing ("TimeStamp") starts again from its first tip.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
namespace vorla {
class ISettingsStore;
class ProgramDirectory;
}  // namespace vorla

class CTipDialog : public QDialog {
    Q_OBJECT
public:
    CTipDialog(vorla::ISettingsStore& settings, const vorla::ProgramDirectory& directory,
               QWidget* parent = nullptr);

    QString CurrentTip() const;
    QCheckBox* StartupBox() const { return startup_; }
    void ShowNextTip();
    // Closing (Close, Escape, the window's close box) stores where the tips go on and the box.
    void done(int result) override;

    // Whether the tip is shown at start-up ("Tip"/"StartUp" is 0).
    static bool ShownAtStartup(const vorla::ISettingsStore& settings);

private:
    vorla::ISettingsStore& settings_;
    QByteArray text_;
    QString stamp_;
    long position_ = 0;
    QLabel* tip_ = nullptr;
    QCheckBox* startup_ = nullptr;
};
