#include "directory/pic_edit_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace vorla {
namespace {

struct FakeHost : PicEditHost {
    int beeps = 0, nextFocus = 0, previousFocus = 0;
    std::optional<std::string> clipboard;
    void Beep() override { ++beeps; }
    void FocusNextControl() override { ++nextFocus; }
    void FocusPreviousControl() override { ++previousFocus; }
    void SetClipboardText(const std::string& text) override { clipboard = text; }
    std::optional<std::string> ClipboardText() override { return clipboard; }
};

class PicEdit : public ::testing::Test {
protected:
    // Keys as the widget delivers them: a key-down first, then its character.
    void Type(std::string_view text) {
        for (char c : text) {
            if (!field.KeyDown(PicKey::Character)) field.Character(c);
        }
    }
    void Phone(std::string_view digits) {
        ASSERT_TRUE(field.SetMaskType(1));
        field.SetPromptCharacter('_');
        Type(digits);
    }
    FakeHost host;
    PicEditLogic field{&host};
};

TEST_F(PicEdit, MasksConvertWithPresetsEscapesAndCaseRules) {
    EXPECT_TRUE(field.SetMaskType(1));
    EXPECT_EQ(field.Display(), "(   )    -    ");
    EXPECT_EQ(field.Caret(), 1);
    EXPECT_FALSE(field.IsModified());
    for (int type = 2; type <= 7; ++type)
        EXPECT_TRUE(field.SetMaskType(type));
    EXPECT_EQ(field.Display(), "     -      ");

    // An unknown type changes nothing.
    EXPECT_FALSE(field.SetMaskType(8));
    EXPECT_FALSE(field.SetMaskType(0));
    EXPECT_EQ(field.Display(), "     -      ");

    // "/" makes the next mask character a literal and is itself dropped.
    ASSERT_TRUE(field.SetMask("/9-99"));
    EXPECT_EQ(field.Display(), "9-  ");
    EXPECT_FALSE(field.IsEditable(0));
    Type("123");
    EXPECT_EQ(field.Display(), "9-12");
    EXPECT_EQ(host.beeps, 1);

    field.SetMask("UUU");
    Type("abc");
    EXPECT_EQ(field.GetText(), "ABC");
    field.SetMask("LLL");
    Type("XyZ");
    EXPECT_EQ(field.GetText(), "xyz");

    // Letters and digits are ASCII only; "X" takes anything but the zero byte.
    field.SetMask("ANX");
    host.beeps = 0;
    Type(
        "\xe9"
        "a1\xe9"
        "\xe9");
    EXPECT_EQ(field.Display(), "a1\xe9");
    EXPECT_EQ(host.beeps, 2);

    // A Windows-1252 literal stays a literal.
    field.SetMask(
        "\xa7"
        "9");
    EXPECT_FALSE(field.IsEditable(0));
    EXPECT_TRUE(field.IsEditable(1));

    EXPECT_FALSE(field.SetMask(""));
    Type("1");
    EXPECT_EQ(field.Display(), "");
}

TEST_F(PicEdit, TypingAPhoneNumberFillsAroundTheLiterals) {
    Phone("5551234567");
    EXPECT_EQ(field.Display(), "(555) 123-4567");
    EXPECT_EQ(field.GetText(true), "5551234567");
    EXPECT_TRUE(field.IsModified());
    EXPECT_EQ(field.Caret(), 14);
    EXPECT_EQ(host.beeps, 0);

    // A full field refuses more, and a letter is refused in a digit position.
    Type("8");
    EXPECT_EQ(host.beeps, 1);
    field.SetCaret(1);
    Type("x");
    EXPECT_EQ(field.Display(), "(555) 123-4567");
    EXPECT_EQ(host.beeps, 2);

    // Overtype replaces the digit under the caret.
    Type("9");
    EXPECT_EQ(field.Display(), "(955) 123-4567");
    EXPECT_EQ(field.Caret(), 2);
}

TEST_F(PicEdit, GetTextGivesPromptsAsBlanksAndTrimsOnlyTheEnd) {
    Phone("555");
    EXPECT_EQ(field.Display(), "(555) ___-____");
    EXPECT_EQ(field.GetText(false), "555       ");
    EXPECT_EQ(field.GetText(true), "555");
    field.SetPromptCharacter('#');
    EXPECT_EQ(field.Display(), "(555) ###-####");
    EXPECT_EQ(field.GetText(true), "555");
}

TEST_F(PicEdit, BackspaceAndDeleteShiftDigitsLeftOverLiterals) {
    Phone("55512");
    EXPECT_EQ(field.Caret(), 8);
    field.KeyDown(PicKey::Backspace);
    EXPECT_EQ(field.Display(), "(555) 1__-____");
    EXPECT_EQ(field.Caret(), 7);

    Phone("5551234567");
    field.SetCaret(3);  // on the third 5
    field.KeyDown(PicKey::Delete);
    EXPECT_EQ(field.Display(), "(551) 234-567_");
    EXPECT_EQ(field.Caret(), 3);

    // Backspace after the first digit of the exchange removes the last area-code digit.
    field.SetCaret(6);
    field.KeyDown(PicKey::Backspace);
    EXPECT_EQ(field.Display(), "(552) 345-67__");
    EXPECT_EQ(field.Caret(), 3);

    // At the last editable position Delete just clears; at the first, Backspace does nothing.
    field.SetCaret(13);
    field.KeyDown(PicKey::Delete);
    EXPECT_EQ(field.Display(), "(552) 345-67__");
    field.SetCaret(1);
    field.KeyDown(PicKey::Backspace);
    EXPECT_EQ(field.Display(), "(552) 345-67__");

    // Delete on a literal deletes the digit after it.
    field.SetCaret(4);
    field.KeyDown(PicKey::Delete);
    EXPECT_EQ(field.Display(), "(552) 456-7___");
}

TEST_F(PicEdit, SelectionsAreDeletedOrReplaced) {
    Phone("5551234567");
    field.SetSelection(2, 8);  // "55) 12"
    field.KeyDown(PicKey::Backspace);
    EXPECT_EQ(field.Display(), "(534) 567-____");
    EXPECT_EQ(field.Caret(), 2);

    Phone("5551234567");
    field.SetSelection(4, 7);  // ") 1": literals and one digit
    Type("9");
    // Overtype over a selection: the selection closes up, then the digit replaces.
    EXPECT_EQ(field.Display(), "(555) 934-567_");
    EXPECT_EQ(field.Caret(), 7);

    // A selection of literals only has no target.
    host.beeps = 0;
    field.SetSelection(4, 6);
    Type("1");
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(field.Display(), "(555) 934-567_");
}

TEST_F(PicEdit, InsertModeShiftsRightAndRefusesWhenFull) {
    field.SetInsertAllowed(true);
    field.SetMask("99-99");
    field.KeyDown(PicKey::Insert);
    ASSERT_TRUE(field.IsInsertMode());
    Type("13");
    field.SetCaret(1);
    Type("2");
    EXPECT_EQ(field.Display(), "12-3 ");
    Type("4");
    EXPECT_EQ(field.Display(), "12-43");
    host.beeps = 0;
    field.SetCaret(0);
    Type("9");
    EXPECT_EQ(host.beeps, 1);
    EXPECT_EQ(field.Display(), "12-43");
    // Over a selection the selection goes first, so there is room again.
    field.SetSelection(0, 2);
    Type("7");
    EXPECT_EQ(field.Display(), "74-3 ");  // deleting the selection made room

    // Insert mode only when allowed.
    PicEditLogic plain(&host);
    plain.SetMask("99");
    plain.KeyDown(PicKey::Insert);
    EXPECT_FALSE(plain.IsInsertMode());
}

TEST_F(PicEdit, CaretKeysMoveOverEditablePositionsAndAutoTab) {
    Phone("555");
    field.KeyDown(PicKey::Home);
    EXPECT_EQ(field.Caret(), 1);
    field.KeyDown(PicKey::End);
    EXPECT_EQ(field.Caret(), 4);  // just after the last filled digit
    field.KeyDown(PicKey::Right);
    EXPECT_EQ(field.Caret(), 6);  // over ") "
    field.KeyDown(PicKey::Left);
    EXPECT_EQ(field.Caret(), 3);
    field.KeyDown(PicKey::Right, true);
    EXPECT_EQ(field.SelectionStart(), 3);
    EXPECT_EQ(field.SelectionEnd(), 4);
    field.KeyDown(PicKey::Home, true);
    EXPECT_EQ(field.SelectionStart(), 0);
    EXPECT_EQ(field.SelectionEnd(), 4);

    field.SetAutoTab(true);
    field.SetCaret(1);
    field.KeyDown(PicKey::Left);
    EXPECT_EQ(host.previousFocus, 1);
    Type("5551234567");
    EXPECT_EQ(host.nextFocus, 1);  // typing the last digit moves on

    // Keys the field handles never also arrive as characters.
    EXPECT_TRUE(field.KeyDown(PicKey::Up));
    field.Character('1');
    EXPECT_EQ(field.Display(), "(555) 123-4567");
    EXPECT_FALSE(field.KeyDown(PicKey::Character));
}

TEST_F(PicEdit, ClickingSnapsToTheTextAndDragsRightOfItAreIgnored) {
    Phone("5551");
    field.SetCaret(12);  // where the widget put a click in the empty part
    field.MouseDown();
    EXPECT_EQ(field.Caret(), 7);
    EXPECT_TRUE(field.MouseMoveIgnored(10));
    EXPECT_FALSE(field.MouseMoveIgnored(3));
    field.MouseUp();
    EXPECT_FALSE(field.MouseMoveIgnored(10));

    EXPECT_EQ(field.SnapCaret(2), 2);  // on a filled digit
    EXPECT_EQ(field.SnapCaret(0), 1);  // nothing filled before: first editable
    EXPECT_EQ(field.SnapCaret(99), 7);

    field.SetSelectOnFocus(true);
    field.FocusIn();
    EXPECT_EQ(field.SelectionStart(), 0);
    EXPECT_EQ(field.SelectionEnd(), 14);
    field.SetSelectOnFocus(false);
    field.FocusIn();
    EXPECT_FALSE(field.HasSelection());
    EXPECT_EQ(field.Caret(), 1);
}

TEST_F(PicEdit, ClipboardCopiesCutsAndPastesPlainDigits) {
    Phone("5551234");
    field.SetSelection(0, 14);
    field.Copy();
    EXPECT_EQ(host.clipboard, "5551234   ");

    // A formatted number pasted into an empty field keeps only its digits.
    field.SetMaskType(1);
    host.clipboard = "(555) 987-6543";
    field.SetCaret(1);
    field.Paste();
    EXPECT_EQ(field.Display(), "(555) 987-6543");
    EXPECT_EQ(field.Caret(), 1);

    field.SetSelection(6, 9);
    field.Cut();
    EXPECT_EQ(host.clipboard, "987");
    EXPECT_EQ(field.Display(), "(555) 654-3___");
    EXPECT_EQ(field.Caret(), 6);

    // Pasting inserts at the caret and pushes the rest right.
    host.clipboard = "12";
    field.Paste();
    EXPECT_EQ(field.Display(), "(555) 126-543_");

    // Undo of a paste over a selection brings the selection back.
    field.SetSelection(6, 8);
    host.clipboard = "7";
    field.Paste();
    EXPECT_EQ(field.Display(), "(555) 765-43__");
    ASSERT_TRUE(field.Undo());
    EXPECT_EQ(field.Display(), "(555) 126-543_");
}

// A paste at the first position inserts there like anywhere else; it never clears the field.
TEST_F(PicEdit, PasteAtTheStartKeepsTheRestOfTheField) {
    const struct {
        int mask;
        int anchor, caret;
        const char* expected;
    } cases[] = {
        {5, 0, 0, "12345"},           // "99999" holding 345, caret before it
        {5, 0, 1, "1245_"},           // the first digit selected
        {1, 0, 2, "(125) 55_-____"},  // the literal and the first digit selected
    };
    for (const auto& c : cases) {
        field.SetMaskType(c.mask);
        field.SetPromptCharacter('_');
        field.SetText(c.mask == 5 ? "345" : "3555");
        field.SetSelection(c.anchor, c.caret);
        host.clipboard = "12";
        field.Paste();
        EXPECT_EQ(field.Display(), c.expected) << c.mask << " " << c.caret;
    }
}

TEST_F(PicEdit, UndoSwapsAndRedoesAndGroupsRepeatedKeys) {
    Phone("5551234567");
    EXPECT_FALSE(field.CanUndo());  // plain typing saves no undo text
    field.SetCaret(14);
    field.KeyDown(PicKey::Backspace);
    field.KeyDown(PicKey::Backspace);
    EXPECT_EQ(field.Display(), "(555) 123-45__");
    ASSERT_TRUE(field.CanUndo());
    field.Undo();  // both backspaces were one step
    EXPECT_EQ(field.Display(), "(555) 123-4567");
    EXPECT_EQ(field.SelectionStart(), 0);
    EXPECT_EQ(field.SelectionEnd(), 14);
    field.Undo();  // and a second undo redoes
    EXPECT_EQ(field.Display(), "(555) 123-45__");
    field.EmptyUndoBuffer();
    EXPECT_FALSE(field.Undo());

    // A new mask forgets the undo text of the old one.
    field.SetCaret(3);
    field.KeyDown(PicKey::Delete);
    field.SetMask("99:99");
    EXPECT_FALSE(field.CanUndo());
}

TEST_F(PicEdit, ReadOnlyFieldChangesNothing) {
    Phone("5551234567");
    field.SetModified(false);
    field.SetReadOnly(true);
    host.clipboard = "999";
    field.SetSelection(1, 4);
    Type("1");
    field.KeyDown(PicKey::Backspace);
    field.KeyDown(PicKey::Delete);
    field.Cut();
    field.Paste();
    field.Clear();
    EXPECT_FALSE(field.Undo());
    EXPECT_EQ(field.Display(), "(555) 123-4567");
    EXPECT_FALSE(field.IsModified());
    EXPECT_EQ(host.clipboard, "555");  // copying still works
}

TEST_F(PicEdit, SetTextWritesPlainTextAndHonoursPromptSkips) {
    field.SetMask("99:99");
    field.SetPromptCharacter('_');
    EXPECT_TRUE(field.SetText("0930"));
    EXPECT_EQ(field.Display(), "09:30");
    EXPECT_TRUE(field.SetText("1_5", 0, false, false));  // the prompt leaves a position
    EXPECT_EQ(field.Display(), "1_:5_");
    EXPECT_TRUE(field.SetText("1_5", 0, false, true));  // skipping drops it instead
    EXPECT_EQ(field.Display(), "15:__");
    EXPECT_TRUE(field.SetText("7", 2));  // a literal start moves on
    EXPECT_EQ(field.Display(), "15:7_");
    EXPECT_FALSE(field.SetText("1", 5));
    EXPECT_FALSE(field.SetText("1", -1));
}

}  // namespace
}  // namespace vorla
