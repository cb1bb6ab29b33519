#include "ui/common/pic_edit.h"

#include "text/windows1252.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace vorla {

CPicEdit::CPicEdit(QWidget* parent) : QLineEdit(parent), logic_(this) {
    // Dragged text would bypass the mask, and QLineEdit's own undo would restore texts
    // the mask never allowed; both go through the logic or not at all.
    setDragEnabled(false);
    setAcceptDrops(false);
}

bool CPicEdit::SetMask(const QString& mask) {
    Prepare();
    const bool ok = logic_.SetMask(ToWindows1252(mask));
    Show();
    return ok;
}

bool CPicEdit::SetMaskType(int type) {
    Prepare();
    const bool ok = logic_.SetMaskType(type);
    if (ok) Show();
    return ok;
}

void CPicEdit::SetPromptCharacter(QChar prompt) {
    Prepare();
    const std::string byte = ToWindows1252(QString(prompt));
    logic_.SetPromptCharacter(byte.empty() ? ' ' : byte[0]);
    Show();
}

bool CPicEdit::SetText(const QString& text, int start, bool insert, bool skipInvalid) {
    Prepare();
    const bool ok = logic_.SetText(ToWindows1252(text), start, insert, skipInvalid);
    Show();
    return ok;
}

QString CPicEdit::GetText(bool trim) const {
    return FromWindows1252(logic_.GetText(trim));
}

void CPicEdit::Copy() {
    Prepare();
    logic_.Copy();
}
void CPicEdit::Cut() {
    Prepare();
    logic_.Cut();
    Show();
}
void CPicEdit::Paste() {
    Prepare();
    logic_.Paste();
    Show();
}
void CPicEdit::Clear() {
    Prepare();
    logic_.Clear();
    Show();
}

bool CPicEdit::Undo() {
    Prepare();
    const bool ok = logic_.Undo();
    Show();
    return ok;
}

void CPicEdit::Prepare() {
    // Callers may move the caret or select through QLineEdit directly; the widget is the
    // truth about them between events.
    logic_.SetReadOnly(isReadOnly());
    if (logic_.Length() == text().size()) TakeSelectionFromWidget();
}

void CPicEdit::Show() {
    const QString shown = FromWindows1252(logic_.Display());
    if (text() != shown) QLineEdit::setText(shown);
    if (logic_.HasSelection()) {
        setSelection(logic_.Anchor(), logic_.Caret() - logic_.Anchor());
    } else {
        setCursorPosition(logic_.Caret());
    }
    setModified(logic_.IsModified());
}

void CPicEdit::TakeSelectionFromWidget() {
    const int caret = cursorPosition();
    int anchor = caret;
    if (hasSelectedText()) anchor = (caret == selectionStart()) ? selectionEnd() : selectionStart();
    logic_.SetSelection(anchor, caret);
}

void CPicEdit::TypeText(const QString& text) {
    for (const QChar c : text) {
        if (!c.isPrint()) continue;  // control characters from shortcuts never reach the field
        bool lossy = false;
        const std::string byte = ToWindows1252(QString(c), &lossy);
        if (lossy || byte.empty()) {
            Beep();
            continue;
        }
        logic_.KeyDown(PicKey::Character);
        logic_.Character(byte[0]);
    }
}

void CPicEdit::keyPressEvent(QKeyEvent* event) {
    Prepare();
    if (event->matches(QKeySequence::Copy)) return Copy();
    if (event->matches(QKeySequence::Cut)) return Cut();
    if (event->matches(QKeySequence::Paste)) return Paste();
    if (event->matches(QKeySequence::Undo)) {
        Undo();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        logic_.SetSelection(0, logic_.Length());
        return Show();
    }
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    PicKey key;
    switch (event->key()) {
        case Qt::Key_Backspace:
            key = PicKey::Backspace;
            break;
        case Qt::Key_Delete:
            key = PicKey::Delete;
            break;
        case Qt::Key_Home:
            key = PicKey::Home;
            break;
        case Qt::Key_End:
            key = PicKey::End;
            break;
        case Qt::Key_Left:
            key = PicKey::Left;
            break;
        case Qt::Key_Right:
            key = PicKey::Right;
            break;
        case Qt::Key_Insert:
            key = PicKey::Insert;
            break;
        case Qt::Key_Up:
            key = PicKey::Up;
            break;
        case Qt::Key_Down:
            key = PicKey::Down;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // The dialog's default button, Cancel and focus moves belong to the dialog.
            return QLineEdit::keyPressEvent(event);
        default:
            if (event->text().isEmpty() || event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) {
                event->ignore();  // function keys and shortcuts go on to the dialog
                return;
            }
            TypeText(event->text());
            return Show();
    }
    logic_.KeyDown(key, shift);
    Show();
}

void CPicEdit::inputMethodEvent(QInputMethodEvent* event) {
    // Composed characters (dead keys) arrive here instead of as key presses.
    Prepare();
    if (!event->commitString().isEmpty()) {
        TypeText(event->commitString());
        Show();
    }
    event->accept();
}

void CPicEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    // Back from the field's own context menu the chosen command acts on the user's
    // selection, not on a select-all.
    if (event->reason() == Qt::PopupFocusReason) return;
    logic_.FocusIn();
    Show();
}

void CPicEdit::mousePressEvent(QMouseEvent* event) {
    QLineEdit::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    TakeSelectionFromWidget();
    logic_.MouseDown();
    Show();
}

void CPicEdit::mouseMoveEvent(QMouseEvent* event) {
    if (logic_.MouseMoveIgnored(cursorPositionAt(event->position().toPoint()))) return;
    QLineEdit::mouseMoveEvent(event);
    TakeSelectionFromWidget();
}

void CPicEdit::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        // The X11 primary selection is pasted at the click like any other paste, through the
        // mask; QLineEdit would insert it as it is.
        if (isReadOnly()) return;
        Prepare();
        logic_.SetCaret(cursorPositionAt(event->position().toPoint()));
        fromPrimarySelection_ = true;
        logic_.Paste();
        fromPrimarySelection_ = false;
        Show();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
    logic_.MouseUp();
    TakeSelectionFromWidget();
}

void CPicEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    TakeSelectionFromWidget();
}

void CPicEdit::contextMenuEvent(QContextMenuEvent* event) {
    Prepare();
    QMenu menu(this);
    const bool editable = !isReadOnly();
    const bool selection = logic_.HasSelection();
    menu.addAction(tr("&Undo"), this, [this] { Undo(); })->setEnabled(logic_.CanUndo());
    menu.addSeparator();
    menu.addAction(tr("Cu&t"), this, &CPicEdit::Cut)->setEnabled(editable && selection);
    menu.addAction(tr("&Copy"), this, &CPicEdit::Copy)->setEnabled(selection);
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    menu.addAction(tr("&Paste"), this, &CPicEdit::Paste)->setEnabled(editable && clip && clip->hasText());
    menu.addAction(tr("&Delete"), this, &CPicEdit::Clear)->setEnabled(editable && selection);
    menu.addSeparator();
    menu.addAction(tr("Select &All"), this, [this] {
        logic_.SetSelection(0, logic_.Length());
        Show();
    });
    menu.exec(event->globalPos());
}

void CPicEdit::Beep() {
    QApplication::beep();
}
void CPicEdit::FocusNextControl() {
    focusNextChild();
}
void CPicEdit::FocusPreviousControl() {
    focusPreviousChild();
}

void CPicEdit::SetClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(FromWindows1252(text));
}

std::optional<std::string> CPicEdit::ClipboardText() {
    const QMimeData* data = QApplication::clipboard()->mimeData(
        fromPrimarySelection_ ? QClipboard::Selection : QClipboard::Clipboard);
    if (!data || !data->hasText()) return std::nullopt;
    return ToWindows1252(data->text());
}

}  // namespace vorla
