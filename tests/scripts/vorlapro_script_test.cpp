// vorlapro.rkl against pagingsim: pages delivered with their checksums, the terminal's
// NAK and RS, the dial and log-on faults, and a line that drops during a page.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "tests/pagingsim/sender_blocks.h"
#include "tests/pagingsim/sim_process.h"
#include "tests/scripts/script_session.h"

namespace scripts_test {
namespace {

using pagingsim::testing::SenderBlocks;
using pagingsim::testing::SimProcess;

class Vorlapro : public ::testing::Test {
protected:
    // Opens a session on a fresh simulator with these options.
    // A short ring keeps the tests quick; everything else is the simulator's default.
    void Start(std::vector<std::string> options = {}) {
        session_.reset();
        sim_.reset();
        options.insert(options.end(), {"--ring-ms", "200"});
        sim_ = std::make_unique<SimProcess>(options);
        ASSERT_TRUE(sim_->ready());
        session_ = std::make_unique<ScriptSession>("vorlapro.rkl", sim_->link());
        session_->Set(ScriptSession::DemoService());
    }
    Result Connect() { return session_->Run("CONNECT"); }
    Result SendPage(const std::string& pin, const std::string& text) {
        Result last;
        for (const std::string& block : SenderBlocks(pin, text)) {
            session_->Set(ScriptSession::PageVariables(block, pin, 1, 1));
            last = session_->Run("SEND_PAGE");
            if (last.code != 0) break;
        }
        return last;
    }
    std::vector<std::string> Pages() const { return sim_->LogLines(); }

    std::unique_ptr<SimProcess> sim_;
    std::unique_ptr<ScriptSession> session_;
};

TEST_F(Vorlapro, DeliversAPageWhoseTextHoldsEscapesAndBraces) {
    Start();
    const Result connect = Connect();
    ASSERT_EQ(connect.code, 0) << connect.text;
    EXPECT_EQ(connect.text, "Connected to Demo Paging");
    const Result page = SendPage("5551234", "COST $41 {x} #1");
    EXPECT_EQ(page.code, 0) << page.text;
    const Result bye = session_->Run("DISCONNECT");
    EXPECT_EQ(bye.code, 0) << bye.text;
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u) << sim_->Trace();
    EXPECT_NE(pages[0].find("\"pin\":\"5551234\",\"message\":\"COST $41 {x} #1\""), std::string::npos)
        << pages[0];
    EXPECT_NE(sim_->Trace().find("terminal: log-off"), std::string::npos);
}

TEST_F(Vorlapro, DeliversATwoBlockPageAndASecondPageOnTheSameCall) {
    Start();
    ASSERT_EQ(Connect().code, 0);
    const std::string pin = "5551234567";
    std::string text;
    for (int i = 0; i < 240; ++i)
        text += static_cast<char>('A' + i % 26);
    ASSERT_EQ(SenderBlocks(pin, text).size(), 2u);
    EXPECT_EQ(SendPage(pin, text).code, 0);
    EXPECT_EQ(SendPage("5550001", "SECOND").code, 0);
    EXPECT_EQ(session_->Run("DISCONNECT").code, 0);
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 2u) << sim_->Trace();
    EXPECT_NE(pages[0].find("\"message\":\"" + text + "\""), std::string::npos);
    EXPECT_NE(pages[1].find("\"message\":\"SECOND\""), std::string::npos);
    EXPECT_EQ(sim_->Trace().find("dials", sim_->Trace().find("dials") + 1), std::string::npos)
        << "dialled twice";
}

TEST_F(Vorlapro, SendsANakedBlockAgainAtMostThreeTimes) {
    Start({"--nak", "1"});
    ASSERT_EQ(Connect().code, 0);
    EXPECT_EQ(SendPage("5551234", "AGAIN").code, 0);
    EXPECT_EQ(Pages().size(), 1u);

    Start({"--nak", "4"});
    ASSERT_EQ(Connect().code, 0);
    const Result page = SendPage("5551234", "NEVER");
    EXPECT_EQ(page.code, -310);
    EXPECT_EQ(page.text, "The paging terminal did not accept the page after 3 retries (checksum error)");
    EXPECT_TRUE(Pages().empty());
}

TEST_F(Vorlapro, ARefusedPageGivesMinus210AndTheCallGoesOn) {
    Start({"--refuse", "5550000"});
    ASSERT_EQ(Connect().code, 0);
    const Result refused = SendPage("5550000", "NOT FOR YOU");
    EXPECT_EQ(refused.code, -210);
    EXPECT_EQ(refused.text, "The paging terminal refused the page: invalid pager ID");
    const Result next = SendPage("5551234", "FOR YOU");
    EXPECT_EQ(next.code, 0) << next.text;
    EXPECT_EQ(session_->Run("DISCONNECT").code, 0);
    const auto pages = Pages();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("FOR YOU"), std::string::npos);
}

TEST_F(Vorlapro, DialAndLogOnFaultsFailConnectWithTheirTexts) {
    struct Case {
        std::vector<std::string> options;
        std::string password;
        int32_t code;
        const char* text;
    };
    const Case cases[] = {
        {{"--busy"}, "", -305, "Line busy"},
        {{"--no-carrier"}, "", -306, "No carrier"},
        {{"--no-dialtone"}, "", -304, "No dial tone"},
        {{"--password", "SECRET"}, "WRONG", -308, "Paging terminal refused the password"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> options = c.options;
        options.insert(options.end(), {"--fault-calls", "1"});
        Start(options);
        if (!c.password.empty()) session_->Set({{"password", c.password}});
        const Result failed = Connect();
        EXPECT_EQ(failed.code, c.code) << c.text;
        EXPECT_EQ(failed.text, c.text);
        // The failed attempt closed the port cleanly: the next call on the same handle works.
        if (c.password.empty()) {
            const Result again = Connect();
            EXPECT_EQ(again.code, 0) << c.text << ": " << again.text;
        }
    }
}

TEST_F(Vorlapro, TheRightPasswordLogsOn) {
    Start({"--password", "SECRET"});
    session_->Set({{"password", "SECRET"}});
    const Result connect = Connect();
    EXPECT_EQ(connect.code, 0) << connect.text;
}

TEST_F(Vorlapro, ALineDropFailsThePageAndDisconnectStillEnds) {
    Start({"--drop-in-block", "1"});
    ASSERT_EQ(Connect().code, 0);
    const Result page = SendPage("5551234", "LOST");
    EXPECT_NE(page.code, 0);
    EXPECT_NE(page.code, -210);
    EXPECT_EQ(page.text, "The connection was lost (no carrier)");
    EXPECT_EQ(session_->Run("DISCONNECT").code, 0);
    EXPECT_TRUE(Pages().empty());
}

TEST_F(Vorlapro, ATerminalThatGivesOnlyReasonsFailsThePageWithinOneDeadline) {
    Start({"--reasons-only", "100"});
    ASSERT_EQ(Connect().code, 0);
    session_->Set(ScriptSession::PageVariables(SenderBlocks("5551234", "WHY").front(), "5551234", 1, 1));
    // A script whose wait starts again with every reason would still be waiting after these.
    const Result page = session_->Run("SEND_PAGE", 1000);
    EXPECT_TRUE(page.finished) << "still waiting for a verdict";
    EXPECT_EQ(page.code, -311);
    EXPECT_EQ(page.text, "The paging terminal gave no verdict on the page, only reasons (checksum error)");
    EXPECT_EQ(session_->Run("DISCONNECT").code, 0);
}

TEST_F(Vorlapro, AnEmptyPrefixOfALaterCallDoesNotReuseTheOldOne) {
    Start();
    session_->Set({{"prefix", "9,"}});
    ASSERT_EQ(Connect().code, 0);
    ASSERT_EQ(session_->Run("DISCONNECT").code, 0);
    session_->Set({{"prefix", ""}});  // as the driver does: sets nothing
    ASSERT_EQ(Connect().code, 0);
    const std::string trace = sim_->Trace();
    EXPECT_NE(trace.find("dials \"T9,5550100\" (call 1)"), std::string::npos) << trace;
    EXPECT_NE(trace.find("dials \"T5550100\" (call 2)"), std::string::npos) << trace;
}

TEST_F(Vorlapro, EightBitsAndHardwareHandshakeAreTakenOnThePort) {
    Start();
    session_->Set({{"parity", "None"}, {"dataBits", "8"}, {"handshake", "HW"}, {"baudRate", "9600"}});
    const Result connect = Connect();
    EXPECT_EQ(connect.code, 0) << connect.text;
}

TEST(VorlaproPort, APortThatCannotOpenFailsConnectWithATextForTheUser) {
    ScriptSession session("vorlapro.rkl", "/nonexistent/modem");
    session.Set(ScriptSession::DemoService());
    const Result connect = session.Run("CONNECT");
    EXPECT_EQ(connect.code, -301);
    EXPECT_EQ(connect.text, "Cannot open the port COM1");
    EXPECT_EQ(session.Run("DISCONNECT").code, 0);
    const Result page = session.Run("SEND_PAGE");
    EXPECT_EQ(page.code, -309);
}

std::string ReadScript(const char* name) {
    std::ifstream in(ScriptPath(name), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The conversation after the open, from the modem reset to the failure texts.
std::string Conversation(std::string script) {
    for (std::size_t at; (at = script.find("TAPICLOSEPORT")) != std::string::npos;)
        script.erase(at, 4);
    const auto from = script.find("# Reset the modem");
    const auto to = script.find("LABEL NoPort");
    return from == std::string::npos || to == std::string::npos ? "" : script.substr(from, to - from);
}

TEST(Vlptapi, SpeaksLikeVorlaproAndFailsCleanlyWithoutTelephony) {
    const std::string serial = Conversation(ReadScript("vorlapro.rkl"));
    ASSERT_FALSE(serial.empty());
    EXPECT_EQ(Conversation(ReadScript("vlptapi.rkl")), serial);

    ScriptSession session("vlptapi.rkl", "/nonexistent/modem");
    auto variables = ScriptSession::DemoService();
    variables["port"] = "1";
    variables["permanentLineID"] = "1";
    session.Set(variables);
    EXPECT_NE(session.Run("CONNECT").code, 0);
    EXPECT_EQ(session.Run("SEND_PAGE").code, -309);
    EXPECT_EQ(session.Run("DISCONNECT").code, 0);
}

}  // namespace
}  // namespace scripts_test
