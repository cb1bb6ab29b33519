// vorlatcp.rkl against pagingsim's TCP terminal: no modem, the same entries and results.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/pagingsim/sender_blocks.h"
#include "tests/pagingsim/sim_process.h"
#include "tests/scripts/script_session.h"

namespace scripts_test {
namespace {

using pagingsim::testing::SenderBlocks;
using pagingsim::testing::SimProcess;

class Vorlatcp : public ::testing::Test {
protected:
    void Start(std::vector<std::string> options = {}) {
        session_.reset();
        sim_.reset();
        options.insert(options.end(), {"--tcp", "0"});
        sim_ = std::make_unique<SimProcess>(options);
        ASSERT_TRUE(sim_->ready());
        session_ = std::make_unique<ScriptSession>("vorlatcp.rkl",
                                                   "tcp://127.0.0.1:" + std::to_string(sim_->tcp_port()));
        session_->Set(ScriptSession::DemoService());
    }
    Result SendPage(const std::string& pin, const std::string& text) {
        Result last;
        for (const std::string& block : SenderBlocks(pin, text)) {
            session_->Set(ScriptSession::PageVariables(block, pin, 1, 1));
            last = session_->Run("SEND_PAGE");
            if (last.code != 0) break;
        }
        return last;
    }

    std::unique_ptr<SimProcess> sim_;
    std::unique_ptr<ScriptSession> session_;
};

TEST_F(Vorlatcp, PagesOneAndTwoBlockMessagesAndLogsOff) {
    Start();
    const Result connect = session_->Run("CONNECT");
    ASSERT_EQ(connect.code, 0) << connect.text;
    EXPECT_EQ(connect.text, "Connected to Demo Paging");
    EXPECT_EQ(SendPage("5551234", "COST $41 {x} #1").code, 0);
    std::string text;
    for (int i = 0; i < 240; ++i)
        text += static_cast<char>('A' + i % 26);
    ASSERT_EQ(SenderBlocks("5551234567", text).size(), 2u);
    EXPECT_EQ(SendPage("5551234567", text).code, 0);
    EXPECT_EQ(session_->Run("DISCONNECT").code, 0);
    const auto pages = sim_->LogLines();
    ASSERT_EQ(pages.size(), 2u) << sim_->Trace();
    EXPECT_NE(pages[0].find("\"message\":\"COST $41 {x} #1\""), std::string::npos) << pages[0];
    EXPECT_NE(pages[1].find("\"message\":\"" + text + "\""), std::string::npos);
    EXPECT_NE(sim_->Trace().find("terminal: log-off"), std::string::npos);
}

TEST_F(Vorlatcp, ARefusedPinThenTheNextPageAndANakThenAck) {
    Start({"--refuse", "5550000", "--nak", "1"});
    ASSERT_EQ(session_->Run("CONNECT").code, 0);
    const Result refused = SendPage("5550000", "NOT FOR YOU");
    EXPECT_EQ(refused.code, -210);
    EXPECT_EQ(refused.text, "The paging terminal refused the page: invalid pager ID");
    const Result next = SendPage("5551234", "FOR YOU");  // NAKed once, then taken
    EXPECT_EQ(next.code, 0) << next.text;
    EXPECT_EQ(sim_->LogLines().size(), 1u);
}

TEST_F(Vorlatcp, TheTerminalClosingMidBlockEndsInTheTimeOutAndDisconnectStillEnds) {
    Start({"--drop-in-block", "1"});
    ASSERT_EQ(session_->Run("CONNECT").code, 0);
    const Result page = SendPage("5551234", "LOST");
    EXPECT_EQ(page.code, -311);
    EXPECT_EQ(page.text, "No answer from the paging terminal to the page");
    EXPECT_EQ(session_->Run("DISCONNECT").code, 0);
    EXPECT_TRUE(sim_->LogLines().empty());
}

TEST_F(Vorlatcp, ATerminalThatGivesOnlyReasonsFailsThePageWithinOneDeadline) {
    Start({"--reasons-only", "100"});
    ASSERT_EQ(session_->Run("CONNECT").code, 0);
    session_->Set(ScriptSession::PageVariables(SenderBlocks("5551234", "WHY").front(), "5551234", 1, 1));
    // A script whose wait starts again with every reason would still be waiting after these.
    const Result page = session_->Run("SEND_PAGE", 1000);
    EXPECT_TRUE(page.finished) << "still waiting for a verdict";
    EXPECT_EQ(page.code, -311);
    EXPECT_EQ(page.text, "The paging terminal gave no verdict on the page, only reasons (checksum error)");
}

TEST(VorlatcpPort, ARefusedConnectionFailsConnectWithATextForTheUser) {
    // pagingsim is not running: nothing listens on this port.
    SimProcess sim({"--tcp", "0"}, false);
    ASSERT_TRUE(sim.ready());
    const int port = sim.tcp_port();
    sim.Stop();
    ScriptSession session("vorlatcp.rkl", "tcp://127.0.0.1:" + std::to_string(port));
    session.Set(ScriptSession::DemoService());
    const Result connect = session.Run("CONNECT");
    EXPECT_EQ(connect.code, -301);
    EXPECT_EQ(connect.text, "Cannot open the port COM1");
    EXPECT_EQ(session.Run("SEND_PAGE").code, -309);
}

}  // namespace
}  // namespace scripts_test
