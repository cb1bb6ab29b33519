// vlptapi.rkl over a simulated telephony line whose calls hand out a pagingsim link: the
// page arrives, and the call is placed and hung up once per session.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "tests/pagingsim/sender_blocks.h"
#include "tests/pagingsim/sim_process.h"
#include "tests/scripts/script_session.h"

namespace scripts_test {
namespace {

using pagingsim::testing::SenderBlocks;
using pagingsim::testing::SimProcess;

// The provider is loaded once per process, on the first TAPIOPENPORT.
const bool kProviderChosen = setenv("VORLAPRO_TELEPHONY_PROVIDER", VORLA_SIM_PROVIDER, 1) == 0;

TEST(Vlptapi, PagesOverASimulatedLineAndHangsUp) {
    ASSERT_TRUE(kProviderChosen);
    SimProcess sim({"--ring-ms", "200"});
    ASSERT_TRUE(sim.ready());
    const auto journal =
        std::filesystem::temp_directory_path() / ("vlptapi_" + std::to_string(getpid()) + ".log");
    std::filesystem::remove(journal);
    setenv("VORLAPRO_SIM_LINES", ("4097 " + sim.link() + " Sim Modem Line").c_str(), 1);
    setenv("VORLAPRO_SIM_LINES_LOG", journal.c_str(), 1);

    {
        ScriptSession session("vlptapi.rkl", "");
        auto service = ScriptSession::DemoService();
        service["permanentLineID"] = "4097";
        session.Set(service);
        const Result connect = session.Run("CONNECT");
        ASSERT_EQ(connect.code, 0) << connect.text << "\n" << sim.Trace();
        for (const std::string& block : SenderBlocks("5551234", "OVER THE LINE")) {
            session.Set(ScriptSession::PageVariables(block, "5551234", 1, 1));
            const Result page = session.Run("SEND_PAGE");
            ASSERT_EQ(page.code, 0) << page.text;
        }
        const Result bye = session.Run("DISCONNECT");
        EXPECT_EQ(bye.code, 0) << bye.text;
    }
    const auto pages = sim.LogLines();
    ASSERT_EQ(pages.size(), 1u) << sim.Trace();
    EXPECT_NE(pages[0].find("\"pin\":\"5551234\",\"message\":\"OVER THE LINE\""), std::string::npos)
        << pages[0];

    std::ifstream in(journal);
    std::string calls;
    for (std::string name, id; in >> name >> id;)
        calls += name + " ";
    EXPECT_EQ(calls, "lineOpen lineMakeCall lineDrop lineClose lineShutdown ");
    std::filesystem::remove(journal);
}

}  // namespace
}  // namespace scripts_test
