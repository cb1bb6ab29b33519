#pragma once
// The behaviour of the masked edit field, kept free of any toolkit so it can be tested
// without a display. CPicEdit (pic_edit.h) is the thin widget that feeds it keys, mouse
// positions and clipboard requests and shows its display, caret and selection.
//
// The mask is a text of mask characters and literals: "9" a digit, "A" a letter (as typed),
// "N" a letter or digit, "L" a letter stored in lower case, "U" a letter stored in upper
// case, "X" any character but the zero byte. Every other character is a literal that is
// always shown and never typed over; "/" makes the character after it a literal ("/9" shows
// a 9). Letters and digits are ASCII only. The display has one character per mask
// position: the literal, the typed character, or the prompt character (a blank by default).
//
// Positions are character indexes into the display; a caret position p stands before
// character p. Texts are Windows-1252 bytes.

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorla {

// What the field asks of the widget around it.
class PicEditHost {
public:
    virtual ~PicEditHost() = default;
    virtual void Beep() = 0;                  // a refused character or action
    virtual void FocusNextControl() = 0;      // auto-tab off the end
    virtual void FocusPreviousControl() = 0;  // auto-tab off the start
    virtual void SetClipboardText(const std::string& text) = 0;
    virtual std::optional<std::string> ClipboardText() = 0;  // nullopt: no plain text on the clipboard
};

enum class PicKey {
    Backspace,
    Delete,
    Home,
    End,
    Left,
    Right,
    Insert,
    Up,
    Down,
    OtherNonCharacter,
    Character
};

class PicEditLogic {
public:
    static constexpr std::string_view kMaskCharacters = "9ANLUX";
    static constexpr char kEscapeCharacter = '/';

    explicit PicEditLogic(PicEditHost* host = nullptr) : host_(host) {}
    void SetHost(PicEditHost* host) { host_ = host; }

    // Sets the mask, shows literals and prompt characters, clears the modified flag and the
    // undo text and puts the caret on the first editable position. An empty mask clears the
    // field and returns false.
    bool SetMask(std::string_view mask);
    // The preset masks 1..7 (1 is "(999) 999-9999"); any other number changes nothing.
    bool SetMaskType(int type);
    static std::optional<std::string_view> PresetMask(int type);

    // Every editable position that shows the old prompt character shows the new one.
    void SetPromptCharacter(char prompt);
    char PromptCharacter() const { return prompt_; }

    // Writes plain text (no literals) into the editable positions from start on. A start of
    // 0 first clears the field. Invalid characters are dropped; with skipInvalid off a prompt
    // character in the text leaves its position as it is. Returns false when nothing could
    // be written (empty mask, start outside the field).
    bool SetText(std::string_view text, int start = 0, bool insert = false, bool skipInvalid = false);
    // The editable characters in order, prompt characters as blanks; trim drops trailing blanks.
    std::string GetText(bool trim = false) const;
    // The window text: literals, characters and prompt characters.
    const std::string& Display() const { return display_; }
    int Length() const { return static_cast<int>(display_.size()); }

    void SetAutoTab(bool on) { autoTab_ = on; }
    void SetSelectOnFocus(bool on) { selectOnFocus_ = on; }
    void SetInsertAllowed(bool on) {
        insertAllowed_ = on;
        if (!on) insertMode_ = false;
    }
    void SetReadOnly(bool on) { readOnly_ = on; }
    bool IsReadOnly() const { return readOnly_; }
    bool IsInsertMode() const { return insertMode_; }
    bool IsModified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // The selection runs from the anchor to the caret; without a selection they are equal.
    void SetSelection(int anchor, int caret);
    void SetCaret(int caret) { SetSelection(caret, caret); }
    int Anchor() const { return anchor_; }
    int Caret() const { return caret_; }
    int SelectionStart() const { return std::min(anchor_, caret_); }
    int SelectionEnd() const { return std::max(anchor_, caret_); }
    bool HasSelection() const { return anchor_ != caret_; }

    // A key-down. Returns true when the key was handled here, so the character it would
    // produce must not be passed to Character.
    bool KeyDown(PicKey key, bool shift = false);
    // A typed character (after a KeyDown that returned false).
    void Character(char c);
    void FocusIn();
    // Call after the widget's own button-down handling has placed caret and selection.
    void MouseDown();
    // True when this mouse move must be ignored (right of the caret a click snapped).
    bool MouseMoveIgnored(int position) const { return dragging_ && position > dragStart_; }
    void MouseUp() { dragging_ = false; }

    void Copy();
    void Cut();
    void Paste();
    void Clear();
    bool Undo();
    bool CanUndo() const { return !undo_.empty() && !readOnly_; }
    void EmptyUndoBuffer() { undo_.clear(); }

    // Position helpers; -1 means none.
    int NextEditable(int position) const;
    int PreviousEditable(int position) const;
    int SnapCaret(int position) const;
    bool IsEditable(int position) const;
    // Checks c against the mask character of position and applies its case rule.
    bool IsValidChar(int position, char& c) const;

private:
    struct MaskCell {
        char character;  // the literal, or the mask character of an editable position
        bool editable;
    };

    void ShowDisplay();
    std::string BuildDisplay() const;
    int FirstEditableAtOrAfter(int position) const;
    int LastEditable() const;
    bool InsertChar(int position, char c);  // shifts the editable characters right
    // SetText without its clearing at position 0: a paste there keeps the rest of the field.
    void WriteText(std::string_view text, int start, bool insert, bool skipInvalid);
    void DeleteRange(int end, int start, bool saveUndo);
    void DeleteKey(PicKey key);
    void Refuse();

    PicEditHost* host_ = nullptr;
    std::vector<MaskCell> mask_;
    std::string display_;
    std::string undo_;
    char prompt_ = ' ';
    bool keyHandled_ = false;
    bool autoTab_ = false;
    bool selectOnFocus_ = true;
    bool insertAllowed_ = false;
    bool insertMode_ = false;
    bool readOnly_ = false;
    bool modified_ = false;
    PicKey lastKey_ = PicKey::OtherNonCharacter;
    bool hasLastKey_ = false;
    int anchor_ = 0;
    int caret_ = 0;
    bool dragging_ = false;
    int dragStart_ = 0;
};

}  // namespace vorla
