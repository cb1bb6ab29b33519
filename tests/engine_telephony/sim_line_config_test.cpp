// The simulated provider's line configuration: what a user may write, and what is refused
// with a line number instead of giving a line that behaves other than written.
#include <gtest/gtest.h>

#include "tools/sim_telephony/sim_line_config.h"

namespace vorla::simline {
namespace {

TEST(SimLineConfig, ReadsLinesSwitchesAndRefusesWhatItCannotRead) {
    const SimLineConfig config = ParseSimLineConfig(
        "# id device name\n"
        "4097 /tmp/com1 Sim Modem Line\n"
        "0x1002 /dev/ttyS1 reply=never connect=fail Slow Line # comment;"
        "77 /tmp/x open=fail call=fail drop=never handoff=path reply=fail connect=never A\n"
        "-1 /tmp/x Bad Id\n"
        "5 /tmp/x\n"
        "6 /tmp/x reply=later Bad Switch\n"
        "99999999999 /tmp/x Too Big\n");
    ASSERT_EQ(config.lines.size(), 3u);
    EXPECT_EQ(config.lines[0].permanentLineId, 4097u);
    EXPECT_EQ(config.lines[0].device, "/tmp/com1");
    EXPECT_EQ(config.lines[0].name, "Sim Modem Line");
    EXPECT_EQ(config.lines[0].reply, Behaviour::Normal);
    EXPECT_EQ(config.lines[1].permanentLineId, 0x1002u);
    EXPECT_EQ(config.lines[1].name, "Slow Line");
    EXPECT_EQ(config.lines[1].reply, Behaviour::Never);
    EXPECT_EQ(config.lines[1].connect, Behaviour::Fail);
    const SimLine& all = config.lines[2];
    EXPECT_TRUE(all.openFails && all.callFails && all.dropNeverReplies && all.handOffByPath);
    EXPECT_EQ(all.reply, Behaviour::Fail);
    EXPECT_EQ(all.connect, Behaviour::Never);
    ASSERT_EQ(config.errors.size(), 4u);
    EXPECT_EQ(config.errors[0], "line 5: bad line id \"-1\"");
    EXPECT_EQ(config.errors[1], "line 6: no name");
    EXPECT_EQ(config.errors[2], "line 7: unknown switch \"reply=later\"");
    EXPECT_EQ(config.errors[3], "line 8: bad line id \"99999999999\"");
}

}  // namespace
}  // namespace vorla::simline
