// Variables and flow: SET/UNSET/INC/DEC, jumps, subroutines, EXIT and expansion in
// running lines.
#include <gtest/gtest.h>

#include "tests/engine/engine_harness.h"

namespace {

using engine_test::EngineHarness;

std::string Body(const std::string& lines) {
    return "ENTRY M\nLABEL M\n" + lines;
}

TEST(Variables, SetKeepsInnerAndTrailingBlanksAndHostSetMatches) {
    EngineHarness e(Body("SET v   a  b  \nECHO [{v}]\nECHO [{w}]\nEXIT 0\n"));
    EXPECT_EQ(RKL_Set(e.handle(), "w", "  x  y  "), 0);
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 0);
    EXPECT_EQ(e.Echoes(), (std::vector<std::string>{"[a  b  ]", "[x  y  ]"}));
}

TEST(Variables, HostSetOfEmptyValueFailsWithoutDisturbingAnything) {
    EngineHarness e(Body("EXIT 0\n"));
    EXPECT_EQ(RKL_Set(e.handle(), "name", ""), -34);
    EXPECT_EQ(e.text(), "Set: No Variable Value For \"name\"");
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 0);
}

TEST(Variables, HostSetCutsValuesAt255AndKeepsTheLastResult) {
    EngineHarness e(Body("ECHO {v}\nEXIT 7\n"));
    e.RunToEnd("M");
    ASSERT_EQ(e.code(), 7);
    // A successful assignment answers 0 and leaves the last entry's result readable.
    EXPECT_EQ(RKL_Set(e.handle(), "v", std::string(300, 'q').c_str()), 0);
    EXPECT_EQ(e.code(), 7);
    e.RunToEnd("M");
    EXPECT_EQ(e.Echoes().back(), std::string(255, 'q'));
}

TEST(Variables, IncDecReadDecimalLeniently) {
    EngineHarness e(
        Body("SET a 9\nINC a\nSET b abc\nINC b\nSET c 0\nDEC c\nSET d -5\nINC d\n"
             "ECHO {a} {b} {c} {d}\nEXIT 0\n"));
    e.RunToEnd("M");
    EXPECT_EQ(e.Echoes(), (std::vector<std::string>{"10 1 -1 -4"}));
}

TEST(Variables, MissingVariablesStopWithTheirErrors) {
    struct Case {
        const char* line;
        int32_t code;
        const char* text;
    };
    const Case cases[] = {
        {"INC nope", -7, "Inc: No Variable \"nope\""},
        {"INC   ", -7, "Inc: No Variable \"\""},
        {"DEC", -3, "Dec: No Variable \"\""},
        {"DEC nope", -3, "Dec: No Variable \"nope\""},
        {"UNSET nope", -35, "Unset: No Variable \"nope\""},
        {"SET", -33, "Set: No Variable"},
        {"SET lonely", -34, "Set: No Variable Value For \"lonely\""},
    };
    for (const Case& c : cases) {
        EngineHarness e(Body(std::string(c.line) + "\nEXIT 0\n"));
        e.RunToEnd("M");
        EXPECT_EQ(e.code(), c.code) << c.line;
        EXPECT_EQ(e.text(), c.text) << c.line;
        EXPECT_EQ(RKL_Done(e.handle()), 1);
    }
}

TEST(Variables, UnsetRemovesAndVariablesSurviveRuns) {
    EngineHarness e(
        "ENTRY A\nENTRY B\nLABEL A\nSET keep 1\nSET gone 2\nUNSET gone\nEXIT 0\n"
        "LABEL B\nECHO {keep}:{gone}\nEXIT 0\n");
    e.RunToEnd("A");
    e.RunToEnd("B");
    EXPECT_EQ(e.Echoes(), (std::vector<std::string>{"1:"}));
}

TEST(Flow, CountingLoopWithJumpNEqu) {
    EngineHarness e(Body("SET i 0\nLABEL Loop\nINC i\nJUMPNEQU {i} 1000 Loop\nEXIT 0 {i}\n"));
    const int steps = e.RunToEnd("M");
    EXPECT_EQ(e.code(), 0);
    EXPECT_EQ(e.text(), "1000");
    EXPECT_EQ(steps, 2 + 1000 * 2 + 1);  // one line per call; the jump lands after LABEL Loop
}

TEST(Flow, JumpEquComparesSingleCaseSensitiveWords) {
    EngineHarness e(Body(
        "JUMPEQU abc ABC Wrong\nJUMPEQU {a} {b} Same\nEXIT 1\nLABEL Same\nEXIT 0\nLABEL Wrong\nEXIT 2\n"));
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 0);  // unset a and b leave "Same" three times over
}

TEST(Flow, SubstitutedBlanksShiftTheWords) {
    // "JUMPNEQU {v} y" becomes "JUMPNEQU x y y": x and y differ, the label is y.
    EngineHarness e(Body("SET v x y\nJUMPNEQU {v} y\nEXIT 1\nLABEL y\nEXIT 0\n"));
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 0);
}

TEST(Flow, JumpSubReturnsToTheLineAfterIt) {
    EngineHarness e(Body("JUMPSUB Sub\nECHO back\nJUMPSUB Sub\nEXIT 0\nLABEL Sub\nECHO in sub\nRETURN\n"));
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 0);
    EXPECT_EQ(e.Echoes(), (std::vector<std::string>{"in sub", "back", "in sub"}));
}

TEST(Flow, MissingLabelsAndEmptyStackStop) {
    struct Case {
        const char* line;
        int32_t code;
        const char* text;
    };
    const Case cases[] = {
        {"JUMP Nowhere", -13, "Jump: No Label \"Nowhere\""},
        {"JUMPEQU a a Nowhere", -13, "Jump: No Label \"Nowhere\""},
        {"JUMPNEQU a b Nowhere", -13, "Jump: No Label \"Nowhere\""},
        {"JUMPSUB Nowhere", -14, "JumpSub: No Label \"Nowhere\""},
        {"RETURN", -28, "Pull Offset Failed"},
        {"FROBNICATE now", -12, "Invalid Command \"FROBNICATE\""},
    };
    for (const Case& c : cases) {
        EngineHarness e(Body(std::string(c.line) + "\nEXIT 0\n"));
        e.RunToEnd("M");
        EXPECT_EQ(e.code(), c.code) << c.line;
        EXPECT_EQ(e.text(), c.text) << c.line;
    }
}

TEST(Flow, RunawayRecursionStopsWithAFailedPush) {
    EngineHarness e(Body("LABEL Deeper\nJUMPSUB Deeper\n"));
    e.RunToEnd("M", 100000);
    EXPECT_EQ(e.code(), -29);
    EXPECT_EQ(e.text(), "Push Offset Failed");
}

TEST(Flow, ExitCodesAndTexts) {
    EngineHarness alone(Body("EXIT 3\n"));
    alone.RunToEnd("M");
    EXPECT_EQ(alone.code(), 3);
    EXPECT_EQ(alone.text(), "Exited 3");

    EngineHarness withText(Body("EXIT 0   Done and  dusted \n"));
    withText.RunToEnd("M");
    EXPECT_EQ(withText.code(), 0);
    EXPECT_EQ(withText.text(), "Done and  dusted ");

    EngineHarness negative(Body("EXIT -42 {why}\n"));
    RKL_Set(negative.handle(), "why", "busy line");
    negative.RunToEnd("M");
    EXPECT_EQ(negative.code(), -42);
    EXPECT_EQ(negative.text(), "busy line");
}

TEST(Flow, RunningOffTheEndIsEndOfFile) {
    EngineHarness e(Body("SET a 1\n"));
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), -4);
    EXPECT_EQ(e.text(), "End Of File");
}

TEST(Flow, EachRunResetsErrorStackAndSendDelay) {
    EngineHarness e(
        "ENTRY A\nENTRY B\nLABEL A\nSENDDELAY 5\nJUMPSUB S\nLABEL S\nEXIT 9 bad\n"
        "LABEL B\nRETURN\n");
    e.RunToEnd("A");
    EXPECT_EQ(e.code(), 9);
    ASSERT_EQ(RKL_Run(e.handle(), "B"), 0);
    EXPECT_EQ(e.code(), 0);
    EXPECT_EQ(e.text(), "");
    while (!RKL_Done(e.handle()))
        e.Step();
    EXPECT_EQ(e.code(), -28);  // the stack of run A is gone
}

TEST(Flow, HashCutsTextAndDollarEscapesDecode) {
    EngineHarness e(Body("ECHO keep  # not this\nECHO $23 and $41$0g\nLOGASIS $41\nEXIT 0\n"));
    e.RunToEnd("M");
    EXPECT_EQ(e.Echoes(), (std::vector<std::string>{"keep  ", "# and A$0g"}));
    EXPECT_EQ(e.Logs(), (std::vector<std::string>{"$41"}));
}

}  // namespace
