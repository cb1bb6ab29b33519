#pragma once
// CPicEdit, the masked edit field: a QLineEdit whose keys, mouse, clipboard and undo are
// handled by PicEditLogic (pic_edit_logic.h), which holds every rule; this class only maps
// Qt events to it and shows its text, caret and selection. Use it wherever a dialog needs a
// phone number, time or PIN field (promote a QLineEdit to it in a form, or create it).

#include "directory/pic_edit_logic.h"

#include <QLineEdit>

class QMenu;

namespace vorla {

class CPicEdit : public QLineEdit, private PicEditHost {
    Q_OBJECT
public:
    explicit CPicEdit(QWidget* parent = nullptr);

    bool SetMask(const QString& mask);
    bool SetMaskType(int type);
    void SetPromptCharacter(QChar prompt);
    // Plain text without literals, written from the start position on.
    bool SetText(const QString& text, int start = 0, bool insert = false, bool skipInvalid = false);
    QString GetText(bool trim = false) const;

    void SetAutoTab(bool on) { logic_.SetAutoTab(on); }
    void SetSelectOnFocus(bool on) { logic_.SetSelectOnFocus(on); }
    void SetInsertAllowed(bool on) { logic_.SetInsertAllowed(on); }

    // The field's own edit commands (the context menu and the standard shortcuts use them).
    void Copy();
    void Cut();
    void Paste();
    void Clear();
    bool Undo();
    bool CanUndo() const { return logic_.CanUndo(); }
    void EmptyUndoBuffer() { logic_.EmptyUndoBuffer(); }

    const PicEditLogic& Logic() const { return logic_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // PicEditHost
    void Beep() override;
    void FocusNextControl() override;
    void FocusPreviousControl() override;
    void SetClipboardText(const std::string& text) override;
    std::optional<std::string> ClipboardText() override;

    void TypeText(const QString& text);
    void TakeSelectionFromWidget();  // after QLineEdit placed caret or selection itself
    void Show();                     // logic -> widget
    void Prepare();                  // widget state the logic must follow (read-only)

    PicEditLogic logic_;
    bool fromPrimarySelection_ = false;  // a middle-click paste reads the primary selection
};

}  // namespace vorla
