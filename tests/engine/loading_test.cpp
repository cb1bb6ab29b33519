// Loading a script: entries, labels, DEBUG and the line reader as the interpreter
// sees them.
#include <gtest/gtest.h>

#include "tests/engine/engine_harness.h"

namespace {

using engine_test::EngineHarness;

TEST(Loading, MissingFileGivesAHandleWhoseEntriesAreNotFound) {
    engine_test::EngineHarness::InstallHooks();
    RKL_HANDLE h = RKL_Init("/nonexistent/folder/script.rkl", nullptr, nullptr, nullptr);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(RKL_Run(h, "CONNECT"), -6);
    int32_t code = 0;
    char text[256];
    RKL_GetError(h, &code, text);
    EXPECT_EQ(code, -6);
    EXPECT_STREQ(text, "Entry \"CONNECT\" Not Found");
    RKL_Destroy(h);
}

TEST(Loading, EntryBeforeOrAfterItsLabelGetsTheLabelPosition) {
    EngineHarness before("ENTRY A\nLABEL A\nEXIT 1\n");
    before.RunToEnd("A");
    EXPECT_EQ(before.code(), 1);

    EngineHarness after("LABEL B\nEXIT 2\nENTRY B\n");
    after.RunToEnd("B");
    EXPECT_EQ(after.code(), 2);
}

TEST(Loading, EntryWithoutLabelLoadsButDoesNotRun) {
    EngineHarness e("ENTRY Lonely\nLABEL Other\nEXIT 0\n");
    EXPECT_EQ(e.code(), 0);
    EXPECT_EQ(RKL_Run(e.handle(), "Lonely"), -5);
    EXPECT_EQ(e.text(), "Entry \"Lonely\" Has No Label");
    EXPECT_EQ(RKL_IsRunning(e.handle()), 0);
}

TEST(Loading, KeywordsIgnoreCaseButNamesDoNot) {
    EngineHarness e("entry Main\nlabel Main\nExit 4\n");
    EXPECT_EQ(RKL_Run(e.handle(), "MAIN"), -6);
    e.RunToEnd("Main");
    EXPECT_EQ(e.code(), 4);
}

TEST(Loading, DuplicateLabelsJumpToTheFirst) {
    EngineHarness e("ENTRY M\nLABEL M\nJUMP L\nLABEL L\nEXIT 1\nLABEL L\nEXIT 2\n");
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 1);
}

TEST(Loading, EntryAndLabelWithoutNameAreLoadErrors) {
    EngineHarness noEntry("LABEL A\nENTRY   \nEXIT 0\n");
    EXPECT_EQ(noEntry.code(), -26);
    EXPECT_EQ(noEntry.text(), "No Entry Name");
    EngineHarness noLabel("LABEL \t\n");
    EXPECT_EQ(noLabel.code(), -27);
    EXPECT_EQ(noLabel.text(), "No Label Name");
    // A bare keyword repeats itself as its name (the word rule), so it is no error.
    EngineHarness bare("ENTRY LABEL\nLABEL\nEXIT 5\n");
    EXPECT_EQ(bare.code(), 0);
    bare.RunToEnd("LABEL");
    EXPECT_EQ(bare.code(), 5);
}

TEST(Loading, LastDebugLineWinsAndCommentsAndCrLfAreHandled) {
    EngineHarness e("DEBUG 16\r\nDEBUG 0 # quiet\r\nENTRY M\r\nLABEL M # here\r\nEXIT 0\r\n");
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 0);
    EXPECT_TRUE(EngineHarness::traces.empty());
}

TEST(Loading, LongLineRunsAsTwoLines) {
    // 600 characters: "ECHO " and 506 x fill the first 511, the rest is "SET y" and blanks...
    std::string longLine = "ECHO " + std::string(506, 'x') + "SET y 1" + std::string(82, ' ');
    ASSERT_EQ(longLine.size(), 600u);
    EngineHarness e("ENTRY M\nLABEL M\n" + longLine + "\nJUMPEQU {y} 1 Ok\nEXIT 9\nLABEL Ok\nEXIT 0\n");
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 0);
    ASSERT_EQ(e.Echoes().size(), 1u);
    EXPECT_EQ(e.Echoes()[0], std::string(506, 'x'));
}

TEST(Loading, CtrlZEndsTheScript) {
    EngineHarness e(
        "ENTRY M\nLABEL M\nECHO before\n\x1a"
        "EXIT 0\n");
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), -4);
    EXPECT_EQ(e.text(), "End Of File");
}

TEST(Loading, VersionIsV20) {
    EngineHarness e("");
    char text[256] = {};
    EXPECT_NE(RKL_GetRKLVersion(e.handle(), text), 0);
    EXPECT_STREQ(text, "v2.0");
}

}  // namespace
