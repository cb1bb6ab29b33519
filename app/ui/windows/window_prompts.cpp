#include "ui/windows/window_prompts.h"

#include <QMessageBox>

#include "ui/windows/window_texts.h"

namespace {
QMessageBox::StandardButton Ask(QWidget* owner, QMessageBox::Icon icon, const QString& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromLatin1(window_texts::kProgramTitle), text, buttons, owner);
    box.setWindowModality(Qt::ApplicationModal);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
}  // namespace

WindowPrompts WindowPrompts::MessageBoxes(const std::function<QWidget*()>& owner) {
    WindowPrompts prompts;
    prompts.okCancel = [owner](const QString& text) {
        return Ask(owner(), QMessageBox::Critical, text, QMessageBox::Ok | QMessageBox::Cancel) ==
               QMessageBox::Ok;
    };
    prompts.yesNoStop = [owner](const QString& text) {
        return Ask(owner(), QMessageBox::Critical, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    prompts.yesNo = [owner](const QString& text) {
        return Ask(owner(), QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    prompts.stop = [owner](const QString& text) {
        Ask(owner(), QMessageBox::Critical, text, QMessageBox::Ok);
    };
    prompts.information = [owner](const QString& text) {
        Ask(owner(), QMessageBox::Information, text, QMessageBox::Ok);
    };
    return prompts;
}
