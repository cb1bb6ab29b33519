#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pagingsim/sender_blocks.h"
#include "tools/pagingsim/tap_terminal.h"

namespace pagingsim {
namespace {

using namespace std::chrono_literals;

const std::string kGoAhead = "110 1.8\r\x06\r\x1b[p\r";
const std::string kSent = "211 Page(s) Sent Successfully\r\x06\r";
const std::string kAckOnly = "\x06\r";

// Drives one terminal with a clock the test moves by hand.
class TerminalHarness {
public:
    explicit TerminalHarness(TerminalConfig config = {}) : terminal_(std::move(config), Hooks(), now_) {}

    // Sends bytes and returns what the terminal answers at once.
    std::string Say(const std::string& bytes) {
        terminal_.Receive(bytes, now_);
        terminal_.Poll(now_);
        return terminal_.TakeOutput(now_);
    }
    std::string Wait(Duration d) {
        now_ += d;
        terminal_.Poll(now_);
        return terminal_.TakeOutput(now_);
    }
    std::string LogOn(const std::string& password = "") {
        EXPECT_EQ(Say("\r"), "ID=");
        return Say("\x1bPG1" + password + "\r");
    }
    std::string SendAll(const std::vector<std::string>& blocks) {
        std::string answers;
        for (const auto& block : blocks)
            answers += Say(block);
        return answers;
    }

    TapTerminal& terminal() { return terminal_; }
    std::vector<AcceptedPage> pages;

private:
    TapTerminal::Hooks Hooks() {
        TapTerminal::Hooks hooks;
        hooks.on_page = [this](const AcceptedPage& page) { pages.push_back(page); };
        return hooks;
    }
    TimePoint now_{};
    TapTerminal terminal_;
};

TEST(pagingsim_terminal, WholeSessionFromWakeUpToLogOff) {
    TerminalHarness t;
    EXPECT_EQ(t.Say("xyz"), "") << "nothing but CR wakes the terminal";
    EXPECT_EQ(t.Say("\r"), "ID=");
    EXPECT_EQ(t.Say("\r"), "ID=") << "a sender that missed the prompt gets it again";
    EXPECT_EQ(t.Say("\x1bPG1\r"), kGoAhead);
    EXPECT_EQ(t.terminal().state(), TapTerminal::State::kReady);
    EXPECT_EQ(t.SendAll(testing::SenderBlocks("5551234", "HELLO WORLD")), kSent);
    ASSERT_EQ(t.pages.size(), 1u);
    EXPECT_EQ(t.pages[0].pin, "5551234");
    EXPECT_EQ(t.pages[0].message, "HELLO WORLD");
    EXPECT_FALSE(t.terminal().HungUp());
    EXPECT_EQ(t.Say("\x04\r"), "115 Closing connection\r\x1b\x04\r");
    EXPECT_TRUE(t.terminal().HungUp());
    EXPECT_EQ(t.Say("\r"), "") << "nothing is answered after the log-off";
}

TEST(pagingsim_terminal, TakesEveryBlockLayoutOfTheSender) {
    struct Case {
        std::string pin;
        std::size_t text_length;
        int blocks_per_page;
        std::string answers;
    };
    const std::vector<Case> cases = {
        {"1234567", 240, 0, kSent},                     // one block
        {"1234567890", 240, 0, kAckOnly + kSent},       // field continues: US
        {"12345", 243, 0, kAckOnly + kSent},            // text fills the block: its CR opens the next
        {"12345", 242, 2, kAckOnly + kSent},            // text and its CR end the block: ETB
        {"99", 600, 0, kAckOnly + kAckOnly + kSent},    // three blocks
        {"12345", 10, 3, kAckOnly + kAckOnly + kSent},  // short last page: two empty surplus blocks
    };
    for (const auto& c : cases) {
        TerminalHarness t;
        t.LogOn();
        std::string text;
        for (std::size_t i = 0; i < c.text_length; ++i)
            text += static_cast<char>('A' + i % 26);
        EXPECT_EQ(t.SendAll(testing::SenderBlocks(c.pin, text, c.blocks_per_page)), c.answers)
            << c.pin << " / " << c.text_length;
        ASSERT_EQ(t.pages.size(), 1u) << c.pin << " / " << c.text_length;
        EXPECT_EQ(t.pages[0].pin, c.pin);
        EXPECT_EQ(t.pages[0].message, text);
    }
}

TEST(pagingsim_terminal, PasswordIsCheckedAndTriesAreLimited) {
    TerminalConfig config;
    config.password = "SECRET";
    TerminalHarness t(config);
    EXPECT_EQ(t.LogOn("WRONG"), "514 Invalid password\r\x15\r");
    EXPECT_EQ(t.Say("\x1bPG1SECRET\r"), kGoAhead) << "a second try is allowed";

    TerminalHarness locked(config);
    EXPECT_EQ(locked.LogOn("A"), "514 Invalid password\r\x15\r");
    EXPECT_EQ(locked.Say("\x1bPG3SECRET\r"), "514 Invalid password\r\x15\r") << "only PG1 is served";
    EXPECT_EQ(locked.Say("\x1bPG1B\r"), "514 Invalid password\r\x1b\x04\r");
    EXPECT_TRUE(locked.terminal().HungUp());

    TerminalHarness open;  // no password configured: any, up to six characters
    EXPECT_EQ(open.LogOn("ANY"), kGoAhead);
    TerminalHarness too_long;
    EXPECT_EQ(too_long.LogOn("1234567"), "514 Invalid password\r\x15\r");
}

TEST(pagingsim_terminal, DamagedBlockIsNakedAndTheResendCountsOnce) {
    TerminalHarness t;
    t.LogOn();
    std::string block = testing::SenderBlocks("555", "ABC")[0];
    std::string damaged = block;
    damaged[6] = 'X';
    EXPECT_EQ(t.Say(damaged), "503 Checksum error\r\x15\r");
    EXPECT_EQ(t.Say(block), kSent);
    ASSERT_EQ(t.pages.size(), 1u);
    EXPECT_EQ(t.pages[0].message, "ABC");
    EXPECT_EQ(t.Say(EncodeTapBlock("555\rA\nB\r", tap::kEtx)).substr(0, 3), "502");
    EXPECT_EQ(t.Say(EncodeTapBlock("555\r" + std::string(300, 'A') + "\r", tap::kEtx)).substr(0, 3), "504");
}

TEST(pagingsim_terminal, NakFaultRefusesEachBlockTheGivenNumberOfTimes) {
    TerminalConfig config;
    config.naks_per_block = 2;
    TerminalHarness t(config);
    t.LogOn();
    const auto blocks = testing::SenderBlocks("1234567890", std::string(240, 'M'));
    ASSERT_EQ(blocks.size(), 2u);
    // The third try of each block goes through; the transaction is assembled once.
    EXPECT_EQ(t.Say(blocks[0]), "503 Checksum error\r\x15\r");
    EXPECT_EQ(t.Say(blocks[0]), "503 Checksum error\r\x15\r");
    EXPECT_EQ(t.Say(blocks[0]), kAckOnly);
    EXPECT_EQ(t.Say(blocks[1]), "503 Checksum error\r\x15\r");
    EXPECT_EQ(t.Say(blocks[1]), "503 Checksum error\r\x15\r");
    EXPECT_EQ(t.Say(blocks[1]), kSent);
    ASSERT_EQ(t.pages.size(), 1u);
    EXPECT_EQ(t.pages[0].message, std::string(240, 'M'));
}

TEST(pagingsim_terminal, RefusedTransactionsGetRsAndTheSessionGoesOn) {
    TerminalConfig config;
    config.refused_pins = {"666"};
    config.max_message_length = 20;
    TerminalHarness t(config);
    t.LogOn();
    EXPECT_EQ(t.SendAll(testing::SenderBlocks("666", "NO")), "511 Invalid pager ID\r\x1e\r");
    EXPECT_EQ(t.SendAll(testing::SenderBlocks("12A", "NO")), "511 Invalid pager ID\r\x1e\r");
    EXPECT_EQ(t.SendAll(testing::SenderBlocks("", "NO")), "511 Invalid pager ID\r\x1e\r");
    EXPECT_EQ(t.SendAll(testing::SenderBlocks("777", std::string(21, 'L'))), "505 Message too long\r\x1e\r");
    EXPECT_EQ(t.Say(EncodeTapBlock("777\rA\rB\r", tap::kEtx)), "506 Invalid transaction\r\x1e\r");
    EXPECT_EQ(t.Say(EncodeTapBlock("", tap::kEtx)), "506 Invalid transaction\r\x1e\r");
    EXPECT_TRUE(t.pages.empty());
    EXPECT_EQ(t.SendAll(testing::SenderBlocks("777", std::string(20, 'L'))), kSent);
    ASSERT_EQ(t.pages.size(), 1u);
    EXPECT_EQ(t.pages[0].pin, "777");
}

TEST(pagingsim_terminal, SubEscapesStandForControlCharacters) {
    TerminalHarness t;
    t.LogOn();
    EXPECT_EQ(t.Say(EncodeTapBlock("12\rA\x1a"
                                   "JB\r",
                                   tap::kEtx)),
              kSent);
    ASSERT_EQ(t.pages.size(), 1u);
    EXPECT_EQ(t.pages[0].message, "A\nB");
    EXPECT_EQ(t.Say(EncodeTapBlock("12\rA\x1a"
                                   "a\r",
                                   tap::kEtx))
                  .substr(0, 3),
              "506");
}

TEST(pagingsim_terminal, SlowAnswersComeOnlyAfterTheDelay) {
    TerminalConfig config;
    config.answer_delay = 500ms;
    TerminalHarness t(config);
    EXPECT_EQ(t.Say("\r"), "");
    EXPECT_EQ(t.Wait(499ms), "");
    EXPECT_EQ(t.Wait(1ms), "ID=");
}

TEST(pagingsim_terminal, IdleSenderIsTimedOutAndHungUp) {
    TerminalConfig config;
    config.idle_timeout = 10s;
    TerminalHarness t(config);
    t.LogOn();
    EXPECT_EQ(t.Wait(9s), "");
    EXPECT_EQ(t.Say("\r"), "") << "input restarts the idle time";
    EXPECT_EQ(t.Wait(9s), "");
    EXPECT_EQ(t.Wait(1s), "501 Time-out\r\x1b\x04\r");
    EXPECT_TRUE(t.terminal().HungUp());
    EXPECT_FALSE(t.terminal().NextWakeup()) << "a closed terminal has no timers left";
}

TEST(pagingsim_terminal, SenderAbortsWithEscEot) {
    TerminalHarness t;
    t.LogOn();
    EXPECT_EQ(t.Say("\x1b\x04\r"), "\x1b\x04\r");
    EXPECT_TRUE(t.terminal().HungUp());
}

}  // namespace
}  // namespace pagingsim
