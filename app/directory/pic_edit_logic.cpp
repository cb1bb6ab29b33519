#include "directory/pic_edit_logic.h"

#include <array>

namespace vorla {

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
char ToLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
char ToUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

constexpr std::array<std::string_view, 7> kPresetMasks = {
    "(999) 999-9999", "(999) 999-9999 [9999]", "(999) 999-9999 [99999]", "999-99-9999", "99999",
    "99999-9999",     "99999-999999",
};

}  // namespace

std::optional<std::string_view> PicEditLogic::PresetMask(int type) {
    if (type < 1 || type > static_cast<int>(kPresetMasks.size())) return std::nullopt;
    return kPresetMasks[static_cast<std::size_t>(type - 1)];
}

bool PicEditLogic::SetMask(std::string_view mask) {
    // Cells rather than the classic "code + 128" bytes, so a literal above 127 (a Windows-1252
    // letter such as "§") cannot be mistaken for an editable position.
    mask_.clear();
    for (std::size_t i = 0; i < mask.size(); ++i) {
        const char c = mask[i];
        if (c == kEscapeCharacter) {
            if (++i < mask.size()) mask_.push_back({mask[i], false});
        } else {
            mask_.push_back({c, kMaskCharacters.find(c) != std::string_view::npos});
        }
    }
    display_ = BuildDisplay();
    undo_.clear();  // an undo text of another mask would not fit this one
    ShowDisplay();
    modified_ = false;
    const int first = NextEditable(-1);
    SetCaret(first >= 0 ? first : 0);
    return !mask_.empty();
}

bool PicEditLogic::SetMaskType(int type) {
    auto preset = PresetMask(type);
    return preset && SetMask(*preset);
}

void PicEditLogic::SetPromptCharacter(char prompt) {
    const char old = prompt_;
    prompt_ = prompt;
    for (std::size_t i = 0; i < display_.size(); ++i) {
        if (!mask_[i].editable) continue;
        if (display_[i] == old) display_[i] = prompt;
        if (i < undo_.size() && undo_[i] == old) undo_[i] = prompt;
    }
    ShowDisplay();
}

std::string PicEditLogic::BuildDisplay() const {
    std::string display;
    display.reserve(mask_.size());
    for (const MaskCell& cell : mask_)
        display.push_back(cell.editable ? prompt_ : cell.character);
    return display;
}

void PicEditLogic::ShowDisplay() {
    if (!readOnly_) modified_ = true;
}

void PicEditLogic::Refuse() {
    if (host_) host_->Beep();
}

bool PicEditLogic::IsEditable(int position) const {
    return position >= 0 && position < Length() && mask_[static_cast<std::size_t>(position)].editable;
}

int PicEditLogic::NextEditable(int position) const {
    if (position >= Length()) return position;
    for (int i = std::max(position + 1, 0); i < Length(); ++i)
        if (IsEditable(i)) return i;
    return -1;
}

int PicEditLogic::PreviousEditable(int position) const {
    for (int i = std::min(position, Length()) - 1; i >= 0; --i)
        if (IsEditable(i)) return i;
    return -1;
}

int PicEditLogic::FirstEditableAtOrAfter(int position) const {
    if (IsEditable(position)) return position;
    if (position >= Length()) return -1;
    return NextEditable(position);
}

int PicEditLogic::LastEditable() const {
    return PreviousEditable(Length());
}

int PicEditLogic::SnapCaret(int position) const {
    position = std::clamp(position, 0, Length());
    if (IsEditable(position) && display_[static_cast<std::size_t>(position)] != prompt_) return position;
    for (int i = position - 1; i >= 0; --i)
        if (IsEditable(i) && display_[static_cast<std::size_t>(i)] != prompt_) return i + 1;
    const int first = NextEditable(-1);
    return first >= 0 ? first : 0;
}

bool PicEditLogic::IsValidChar(int position, char& c) const {
    if (!IsEditable(position)) return false;
    switch (mask_[static_cast<std::size_t>(position)].character) {
        case '9':
            return IsAsciiDigit(c);
        case 'A':
            return IsAsciiLetter(c);
        case 'N':
            return IsAsciiLetter(c) || IsAsciiDigit(c);
        case 'L':
            if (!IsAsciiLetter(c)) return false;
            c = ToLower(c);
            return true;
        case 'U':
            if (!IsAsciiLetter(c)) return false;
            c = ToUpper(c);
            return true;
        case 'X':
            return c != '\0';
        default:
            return false;
    }
}

void PicEditLogic::SetSelection(int anchor, int caret) {
    anchor_ = std::clamp(anchor, 0, Length());
    caret_ = std::clamp(caret, 0, Length());
}

bool PicEditLogic::SetText(std::string_view text, int start, bool insert, bool skipInvalid) {
    if (display_.empty() || start < 0 || start >= Length()) return false;
    if (start == 0) display_ = BuildDisplay();
    WriteText(text, start, insert, skipInvalid);
    return true;
}

void PicEditLogic::WriteText(std::string_view text, int start, bool insert, bool skipInvalid) {
    int position = FirstEditableAtOrAfter(start);
    for (char c : text) {
        if (position < 0 || position >= Length()) break;
        char stored = c;
        if (IsValidChar(position, stored)) {
            if (insert) {
                InsertChar(position, stored);
            } else {
                display_[static_cast<std::size_t>(position)] = stored;
            }
            position = NextEditable(position);
        } else if (!skipInvalid && c == prompt_) {
            position = NextEditable(position);
        }
    }
    ShowDisplay();
}

std::string PicEditLogic::GetText(bool trim) const {
    std::string text;
    for (int i = 0; i < Length(); ++i) {
        if (!IsEditable(i)) continue;
        const char c = display_[static_cast<std::size_t>(i)];
        text.push_back(c == prompt_ ? ' ' : c);
    }
    if (trim) text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

bool PicEditLogic::InsertChar(int position, char c) {
    std::vector<int> positions;
    for (int p = position; p >= 0 && p < Length(); p = NextEditable(p))
        positions.push_back(p);
    if (positions.empty()) return false;
    for (std::size_t k = positions.size() - 1; k > 0; --k)
        display_[static_cast<std::size_t>(positions[k])] =
            display_[static_cast<std::size_t>(positions[k - 1])];
    display_[static_cast<std::size_t>(position)] = c;
    return true;
}

void PicEditLogic::DeleteRange(int end, int start, bool saveUndo) {
    if (start < 0 || start >= Length()) return;
    if (!IsEditable(start)) {
        start = NextEditable(start);
        if (start < 0 || start > end) return;
    }
    end = std::min(end, Length());
    if (end < Length() && !IsEditable(end)) {
        end = NextEditable(end);
        if (end < 0) end = Length();
    }
    if (saveUndo) undo_ = display_;
    int to = start;
    // Literals stay where they are: only editable characters move, each to the editable
    // position the gap leaves free.
    for (int from = end; from >= 0 && from < Length(); from = NextEditable(from)) {
        display_[static_cast<std::size_t>(to)] = display_[static_cast<std::size_t>(from)];
        to = NextEditable(to);
    }
    for (; to >= 0 && to < Length(); to = NextEditable(to))
        display_[static_cast<std::size_t>(to)] = prompt_;
}

void PicEditLogic::Character(char c) {
    if (keyHandled_) {
        keyHandled_ = false;
        return;
    }
    if (readOnly_ || mask_.empty()) return;
    int target;
    if (HasSelection()) {
        target = FirstEditableAtOrAfter(SelectionStart());
        if (target < 0 || target >= SelectionEnd()) return Refuse();
    } else {
        target = FirstEditableAtOrAfter(caret_);
    }
    char stored = c;
    if (target < 0 || !IsValidChar(target, stored)) return Refuse();

    const std::string before = display_;
    const std::string undoBefore = undo_;
    if (HasSelection()) DeleteRange(SelectionEnd(), SelectionStart(), true);
    if (insertMode_) {
        const int last = LastEditable();
        if (display_[static_cast<std::size_t>(last)] != prompt_) {
            // A full field takes nothing more; the selection deleted above comes back too.
            display_ = before;
            undo_ = undoBefore;
            return Refuse();
        }
        InsertChar(target, stored);
    } else {
        display_[static_cast<std::size_t>(target)] = stored;
    }
    ShowDisplay();
    const int next = NextEditable(target);
    if (next >= 0 && next < Length()) {
        SetCaret(next);
    } else {
        SetCaret(target + 1);
        if (autoTab_ && host_) host_->FocusNextControl();
    }
}

void PicEditLogic::DeleteKey(PicKey key) {
    if (readOnly_ || mask_.empty()) return;
    const bool saveUndo = !(hasLastKey_ && lastKey_ == key);
    if (HasSelection()) {
        const int start = SelectionStart();
        DeleteRange(SelectionEnd(), start, saveUndo);
        const int caret = FirstEditableAtOrAfter(start);
        SetCaret(caret >= 0 ? caret : LastEditable());
    } else if (key == PicKey::Backspace) {
        const int previous = PreviousEditable(caret_);
        if (previous < 0) return;
        DeleteRange(previous + 1, previous, saveUndo);
        SetCaret(previous);
    } else {
        const int at = FirstEditableAtOrAfter(caret_);
        if (at < 0) return;
        DeleteRange(at + 1, at, saveUndo);
    }
    ShowDisplay();
}

bool PicEditLogic::KeyDown(PicKey key, bool shift) {
    keyHandled_ = true;
    switch (key) {
        case PicKey::Backspace:
        case PicKey::Delete:
            DeleteKey(key);
            break;
        case PicKey::Home:
            if (shift) {
                SetSelection(caret_, 0);
            } else {
                const int first = NextEditable(-1);
                SetCaret(first >= 0 ? first : 0);
            }
            break;
        case PicKey::End:
            if (shift) {
                SetSelection(caret_, Length());
            } else {
                SetCaret(SnapCaret(Length()));
            }
            break;
        case PicKey::Left:
            if (shift) {
                SetSelection(anchor_, caret_ - 1);
            } else {
                const int previous = PreviousEditable(SelectionEnd());
                if (previous >= 0) {
                    SetCaret(previous);
                } else {
                    const int first = NextEditable(-1);
                    SetCaret(first >= 0 ? first : 0);
                    if (autoTab_ && host_) host_->FocusPreviousControl();
                }
            }
            break;
        case PicKey::Right:
            if (shift) {
                SetSelection(anchor_, caret_ + 1);
            } else {
                const int next = NextEditable(SelectionEnd());
                const int last = LastEditable();
                if (next >= 0 && next < Length()) {
                    SetCaret(next);
                } else if (last >= 0 && SelectionEnd() <= last) {
                    SetCaret(last + 1);
                } else {
                    SetCaret(SelectionEnd());
                    if (autoTab_ && host_) host_->FocusNextControl();
                }
            }
            break;
        case PicKey::Insert:
            if (insertAllowed_ && !readOnly_) insertMode_ = !insertMode_;
            break;
        case PicKey::Up:
        case PicKey::Down:
        case PicKey::OtherNonCharacter:
            break;
        case PicKey::Character:
            keyHandled_ = false;
            break;
    }
    lastKey_ = key;
    hasLastKey_ = true;
    return keyHandled_;
}

void PicEditLogic::FocusIn() {
    if (selectOnFocus_) {
        SetSelection(0, Length());
    } else {
        const int first = NextEditable(-1);
        SetCaret(first >= 0 ? first : 0);
    }
}

void PicEditLogic::MouseDown() {
    if (HasSelection()) return;
    SetCaret(SnapCaret(caret_));
    dragging_ = true;
    dragStart_ = caret_;
}

void PicEditLogic::Copy() {
    if (!HasSelection() || !host_) return;
    std::string text;
    for (int i = SelectionStart(); i < SelectionEnd(); ++i) {
        if (!IsEditable(i)) continue;
        const char c = display_[static_cast<std::size_t>(i)];
        text.push_back(c == prompt_ ? ' ' : c);
    }
    host_->SetClipboardText(text);
}

void PicEditLogic::Cut() {
    Copy();
    if (readOnly_ || !HasSelection()) return;
    const std::string before = display_;
    undo_ = display_;
    DeleteRange(SelectionEnd(), SelectionStart(), false);
    if (display_ != before) ShowDisplay();
    SetCaret(SelectionStart());
}

void PicEditLogic::Paste() {
    if (readOnly_ || !host_ || mask_.empty()) return;
    const std::optional<std::string> text = host_->ClipboardText();
    const int start = SelectionStart();
    if (!text || start >= Length()) return;
    // The undo text is taken before the selection goes, so Undo brings the selection back.
    const std::string before = display_;
    if (HasSelection()) DeleteRange(SelectionEnd(), start, false);
    undo_ = before;
    WriteText(*text, start, true, true);
    const int caret = FirstEditableAtOrAfter(start);
    SetCaret(caret >= 0 ? caret : start);
}

void PicEditLogic::Clear() {
    hasLastKey_ = false;  // Clear always starts its own undo step
    DeleteKey(PicKey::Delete);
}

bool PicEditLogic::Undo() {
    if (!CanUndo() || undo_.size() != display_.size()) return false;
    std::swap(display_, undo_);
    ShowDisplay();
    SetSelection(0, Length());
    return true;
}

}  // namespace vorla
