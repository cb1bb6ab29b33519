// vorlasnpp.rkl against pagingsim's SNPP carrier: the same entries, variables and result
// codes as the TAP scripts, a pager page sent whole with the block that ends it.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/pagingsim/sim_process.h"
#include "tests/scripts/script_session.h"

namespace scripts_test {
namespace {

using pagingsim::testing::SimProcess;

class Vorlasnpp : public ::testing::Test {
protected:
    void Start(std::vector<std::string> options = {}, const std::string& password = "") {
        session_.reset();
        sim_.reset();
        options.insert(options.end(), {"--snpp", "0"});
        sim_ = std::make_unique<SimProcess>(options);
        ASSERT_TRUE(sim_->ready());
        session_ = std::make_unique<ScriptSession>("vorlasnpp.rkl",
                                                   "tcp://127.0.0.1:" + std::to_string(sim_->tcp_port()));
        auto service = ScriptSession::DemoService();
        service["password"] = password;
        session_->Set(service);
    }
    // One SEND_PAGE as the driver runs it for a block; `ends` says whether the block ends its
    // pager page, `text` is the whole pager page.
    Result Block(const std::string& pin, const std::string& text, bool ends) {
        auto page = ScriptSession::PageVariables("\x02" + pin + "\r" + text +
                                                     "\r\x03"
                                                     "000\r",
                                                 pin, 1, 1);
        page["pageText"] = text;
        page["pageEnds"] = ends ? "1" : "0";
        session_->Set(page);
        return session_->Run("SEND_PAGE");
    }

    std::unique_ptr<SimProcess> sim_;
    std::unique_ptr<ScriptSession> session_;
};

TEST_F(Vorlasnpp, LogsInSendsEachPageOnceWhenItsLastBlockComesAndQuits) {
    Start({"--password", "s3cret"}, "desk s3cret");
    const Result connect = session_->Run("CONNECT");
    ASSERT_EQ(connect.code, 0) << connect.text << sim_->Trace();
    EXPECT_EQ(connect.text, "Connected to Demo Paging");
    EXPECT_EQ(Block("5551234", "COST $41 {x} #1", true).code, 0);
    EXPECT_EQ(Block("5551235", "TWO BLOCKS", false).code, 0);
    EXPECT_TRUE(sim_->LogLines().size() == 1u) << "a block that does not end its page sends nothing";
    EXPECT_EQ(Block("5551235", "TWO BLOCKS", true).code, 0);
    EXPECT_EQ(session_->Run("DISCONNECT").code, 0);
    const auto pages = sim_->LogLines();
    ASSERT_EQ(pages.size(), 2u) << sim_->Trace();
    EXPECT_NE(pages[0].find("\"pin\":\"5551234\",\"message\":\"COST $41 {x} #1\""), std::string::npos)
        << pages[0];
    EXPECT_NE(pages[1].find("\"message\":\"TWO BLOCKS\""), std::string::npos) << pages[1];
    EXPECT_NE(sim_->Trace().find("-> QUIT"), std::string::npos);
}

TEST_F(Vorlasnpp, ARefusedPinIsMinus210AndTheNextPageGoesOnTheSameConnection) {
    Start({"--refuse", "5550000"});
    ASSERT_EQ(session_->Run("CONNECT").code, 0);
    const Result refused = Block("5550000", "NOT FOR YOU", true);
    EXPECT_EQ(refused.code, -210);
    EXPECT_EQ(refused.text, "The paging terminal refused the page: invalid pager ID");
    EXPECT_EQ(Block("5551234", "FOR YOU", true).code, 0);
    EXPECT_EQ(sim_->LogLines().size(), 1u) << sim_->Trace();
}

TEST_F(Vorlasnpp, AHostThatGivesNoPageTextGetsAFailureNotASentPage) {
    Start();
    ASSERT_EQ(session_->Run("CONNECT").code, 0);
    session_->Set(
        ScriptSession::PageVariables("\x02"
                                     "5551234\rHELLO\r\x03"
                                     "000\r",
                                     "5551234", 1, 1));
    const Result page = session_->Run("SEND_PAGE");
    EXPECT_EQ(page.code, -312);
    EXPECT_TRUE(sim_->LogLines().empty());
}

TEST_F(Vorlasnpp, CarrierFaultsEndInTheScriptsCodes) {
    struct Case {
        std::vector<std::string> sim;
        std::string password;
        int32_t connect, page;
        std::string text;
    };
    const Case cases[] = {
        {{"--password", "s3cret"}, "desk wrong", -308, 0, "Paging terminal refused the password"},
        {{"--max-length", "5"}, "", 0, -210, "The paging terminal refused the page: message refused"},
        {{"--drop-after-bytes", "20"}, "", 0, -311, "No answer from the paging terminal to the page"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sim.front());
        Start(c.sim, c.password);
        const Result connect = session_->Run("CONNECT");
        EXPECT_EQ(connect.code, c.connect) << connect.text;
        if (connect.code != 0) {
            EXPECT_EQ(connect.text, c.text);
            continue;
        }
        const Result page = Block("5551234", "TOO LONG FOR IT", true);
        EXPECT_EQ(page.code, c.page);
        EXPECT_EQ(page.text, c.text);
        EXPECT_EQ(session_->Run("DISCONNECT").code, 0);
        EXPECT_TRUE(sim_->LogLines().empty());
    }
}

}  // namespace
}  // namespace scripts_test
