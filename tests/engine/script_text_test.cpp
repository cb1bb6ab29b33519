// The text rules every command relies on: words, numbers, variable references and
// dollar-hex escapes.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/script_text.h"

namespace {

using rkl::kLineSize;

std::string Word(const char* text, int n) {
    char word[kLineSize];
    rkl::GetWord(text, n, word);
    return word;
}

class FakeVariables final : public rkl::VariableLookup {
public:
    std::map<std::string, std::string, std::less<>> values;
    bool Find(std::string_view name, std::string_view& value) const override {
        const auto it = values.find(name);
        if (it == values.end()) return false;
        value = it->second;
        return true;
    }
};

std::string Expand(const std::string& line, const FakeVariables& vars) {
    char buffer[kLineSize];
    snprintf(buffer, sizeof buffer, "%s", line.c_str());
    rkl::Substitute(buffer, kLineSize, vars);
    return buffer;
}

std::string Decode(const std::string& text) {
    char buffer[kLineSize];
    snprintf(buffer, sizeof buffer, "%s", text.c_str());
    rkl::DecodeHex(buffer);
    return buffer;
}

TEST(WordRule, WordsAreSeparatedByRunsOfBlanksAndTabs) {
    EXPECT_EQ(Word("  one \t two   three", 1), "one");
    EXPECT_EQ(Word("  one \t two   three", 2), "two");
    EXPECT_EQ(Word("  one \t two   three", 3), "three");
}

TEST(WordRule, MissingWordRepeatsTheLastUnlessTheTextEndsInBlanks) {
    EXPECT_EQ(Word("Same", 3), "Same");
    EXPECT_EQ(Word("COM1", 2), "COM1");
    EXPECT_EQ(Word("a b  ", 3), "");
    EXPECT_EQ(Word("a b  ", 4), "");
    EXPECT_EQ(Word("", 1), "");
    EXPECT_EQ(Word("   ", 1), "");
}

TEST(ParseDecimal, ReadsSignAndLeadingDigitsAndSaturates) {
    EXPECT_EQ(rkl::ParseDecimal("  42"), 42);
    EXPECT_EQ(rkl::ParseDecimal("-7x"), -7);
    EXPECT_EQ(rkl::ParseDecimal("+3"), 3);
    EXPECT_EQ(rkl::ParseDecimal("abc"), 0);
    EXPECT_EQ(rkl::ParseDecimal("- 5"), 0);
    EXPECT_EQ(rkl::ParseDecimal("99999999999999999999999"), INT64_MAX);
    EXPECT_EQ(rkl::ParseDecimal("-99999999999999999999999"), INT64_MIN);
    EXPECT_EQ(rkl::ParseDecimal32("99999999999"), INT32_MAX);
    EXPECT_EQ(rkl::ParseDecimal32("-99999999999"), INT32_MIN);
}

TEST(Substitute, ReplacesKnownAndDropsUnknownReferences) {
    FakeVariables vars;
    vars.values = {{"x", "1"}, {"long", "value with blanks"}};
    EXPECT_EQ(Expand("AT{x}Z", vars), "AT1Z");
    EXPECT_EQ(Expand("AT{missing}Z", vars), "ATZ");
    EXPECT_EQ(Expand("{x}{long}{x}", vars), "1value with blanks1");
    EXPECT_EQ(Expand("no close {x", vars), "no close {x");
    EXPECT_EQ(Expand("} only {", vars), "} only {");
}

TEST(Substitute, InsertedValuesAreNotExpandedAgain) {
    FakeVariables vars;
    vars.values = {{"a", "{b}"}, {"b", "B"}, {"open", "{"}};
    EXPECT_EQ(Expand("{a}", vars), "{b}");
    // A value that opens a reference does not join with the text after it.
    EXPECT_EQ(Expand("{open}b}", vars), "{b}");
}

TEST(Substitute, GrowthIsCutAtTheLineLimit) {
    FakeVariables vars;
    vars.values = {{"v", std::string(255, 'v')}};
    // The second value pushes the rest past 511 characters, which cuts the third
    // reference in half: what is left of it is text, not a reference.
    const std::string out = Expand("{v}{v}{v}tail", vars);
    EXPECT_EQ(out, std::string(510, 'v') + "{");
}

TEST(DecodeHex, DecodesPairsKeepsBadEscapesAndDropsNul) {
    EXPECT_EQ(Decode("ATZ$0D"), "ATZ\r");
    EXPECT_EQ(Decode("$0d$0a"), "\r\n");
    EXPECT_EQ(Decode("x$0Gy"), "x$0Gy");
    EXPECT_EQ(Decode("a$00b"), "ab");
    EXPECT_EQ(Decode("$"), "$");
    EXPECT_EQ(Decode("$4"), "$4");
    EXPECT_EQ(Decode("$00"), "");
    EXPECT_EQ(Decode("$23 sent"), "# sent");
}

TEST(DecodeHex, ProducedDollarIsNotDecodedAgain) {
    // $24 is '$': the result "$41" must stay as it is.
    EXPECT_EQ(Decode("$2441"), "$41");
}

}  // namespace
