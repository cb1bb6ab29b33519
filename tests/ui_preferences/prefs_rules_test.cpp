// The Preferences sheet's rules without a window: the prefix list, the interval's units, and
// what an empty store reads as.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "settings/memory_settings_store.h"
#include "ui/preferences/prefs_rules.h"

using prefs::IntervalUnit;
using prefs::ShownInterval;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace {
void StorePrefixes(vorla::MemorySettingsStore& store, const std::vector<std::string>& values) {
    for (size_t i = 0; i < values.size(); ++i)
        store.WriteProfileString(prefs::kPrefixSection, std::to_string(i + 1), values[i]);
}
}  // namespace

TEST(PrefsRules, PrefixListIsReadUpToTheFirstEmptyEntryWithoutRepeats) {
    const struct {
        std::vector<std::string> stored;
        std::vector<std::string> read;
    } cases[] = {
        {{}, {"9,"}},
        {{"8,", "8,", "0,"}, {"8,", "0,"}},
        {{"1", "", "3"}, {"1"}},
        // An eighth value pushes out the seventh and goes in second.
        {{"1", "2", "3", "4", "5", "6", "7", "8"}, {"1", "8", "2", "3", "4", "5", "6"}},
    };
    for (const auto& c : cases) {
        vorla::MemorySettingsStore store;
        StorePrefixes(store, c.stored);
        EXPECT_THAT(prefs::ReadPrefixList(store), ElementsAreArray(c.read))
            << ::testing::PrintToString(c.stored);
    }
}

TEST(PrefsRules, TypedPrefixGoesSecondDroppingTheSeventh) {
    const struct {
        std::vector<std::string> before;
        std::string typed;
        int index;
        std::vector<std::string> after;
    } cases[] = {
        {{"1", "2", "3", "4", "5", "6", "7"}, "new", 1, {"1", "new", "2", "3", "4", "5", "6"}},
        {{"1", "2"}, "new", 1, {"1", "new", "2"}},
        {{"1", "2"}, "2", 1, {"1", "2"}},
        {{}, "new", 0, {"new"}},
        {{"1"}, "", -1, {"1"}},  // no prefix: nothing joins the list
    };
    for (const auto& c : cases) {
        std::vector<std::string> list = c.before;
        EXPECT_EQ(prefs::AddTypedPrefix(list, c.typed), c.index) << c.typed;
        EXPECT_THAT(list, ElementsAreArray(c.after)) << c.typed;
    }
}

TEST(PrefsRules, AShorterPrefixListIsReadBackAsWritten) {
    vorla::MemorySettingsStore store;
    StorePrefixes(store, {"1", "2", "3", "4"});
    prefs::WritePrefixList(store, {"a", "b"});
    EXPECT_THAT(prefs::ReadPrefixList(store), ElementsAre("a", "b"));
}

TEST(PrefsRules, IntervalShowsMinutesFromSixtySecondsAndStepsAcrossTheUnits) {
    const struct {
        int seconds;
        ShownInterval shown;
        int written;
    } shown[] = {
        {180, {3, IntervalUnit::Minutes}, 180}, {45, {45, IntervalUnit::Seconds}, 45},
        {60, {1, IntervalUnit::Minutes}, 60},   {59, {59, IntervalUnit::Seconds}, 59},
        {90, {1, IntervalUnit::Minutes}, 60},
    };
    for (const auto& c : shown) {
        EXPECT_EQ(prefs::ShowInterval(c.seconds), c.shown) << c.seconds;
        EXPECT_EQ(prefs::IntervalSeconds(c.shown), c.written) << c.seconds;
    }
    EXPECT_STREQ(prefs::UnitLabel(IntervalUnit::Minutes), "minute(s),");
    EXPECT_STREQ(prefs::UnitLabel(IntervalUnit::Seconds), "second(s),");

    const struct {
        ShownInterval from;
        int step;
        ShownInterval to;
    } steps[] = {
        {{10, IntervalUnit::Seconds}, 1, {11, IntervalUnit::Seconds}},
        {{59, IntervalUnit::Seconds}, 1, {1, IntervalUnit::Minutes}},
        {{1, IntervalUnit::Minutes}, -1, {59, IntervalUnit::Seconds}},
        {{59, IntervalUnit::Minutes}, 1, {59, IntervalUnit::Minutes}},
        {{1, IntervalUnit::Seconds}, -1, {1, IntervalUnit::Seconds}},
        {{120, IntervalUnit::Minutes}, -1, {119, IntervalUnit::Minutes}},
    };
    for (const auto& c : steps)
        EXPECT_EQ(prefs::StepInterval(c.from, c.step), c.to) << c.from.value << " " << c.step;
}

TEST(PrefsRules, AnEmptyStoreReadsAsTheDefaults) {
    const vorla::MemorySettingsStore store;
    const prefs::DialingSettings dialing = prefs::ReadDialing(store);
    EXPECT_THAT(dialing.prefixes, ElementsAre("9,"));
    EXPECT_EQ(dialing.dialPrefix, "");
    EXPECT_FALSE(dialing.resend);
    EXPECT_EQ(dialing.resendSeconds, 180);
    EXPECT_EQ(dialing.resendTimes, 3);
    const prefs::ToolBarSettings toolBar = prefs::ReadToolBar(store);
    EXPECT_TRUE(toolBar.smallToolbar && toolBar.tips && toolBar.otherTips);
    const prefs::SendingSettings sending = prefs::ReadSending(store);
    EXPECT_TRUE(sending.clearMessage);
    EXPECT_FALSE(sending.sendUpperCase || sending.spotPage || sending.rememberFailed);
    EXPECT_FALSE(prefs::ReadSignature(store).autoSign);
}
