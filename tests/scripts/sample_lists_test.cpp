// The sample SERVICES.INI and MODEM.INI: readable with the program's own list rules, every
// modem's initialisation string taken by a Hayes modem, and the demo service reachable.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "settings/profile_file.h"
#include "settings/service_lists.h"
#include "tests/pagingsim/sim_process.h"
#include "tests/scripts/script_session.h"

namespace scripts_test {
namespace {

using pagingsim::testing::Line;
using pagingsim::testing::SimProcess;

vorla::ProfileFile LoadList(const char* name) {
    vorla::ProfileError error = vorla::ProfileError::None;
    vorla::ProfileFile file = vorla::ProfileFile::Load(ScriptPath(name), &error);
    EXPECT_EQ(error, vorla::ProfileError::None) << name;
    return file;
}

TEST(SampleLists, EveryModemInitStringIsTakenByAHayesModem) {
    const vorla::ProfileFile modems = LoadList("MODEM.INI");
    SimProcess sim({});
    ASSERT_TRUE(sim.ready());
    Line line = Line::OpenSerial(sim.link());
    ASSERT_TRUE(line.open());
    bool factoryDefault = false;
    bool hayesCompatible = false;
    int n = 1;
    for (;; ++n) {
        std::string maker, model, init;
        if (!vorla::ReadModemIniEntry(modems, n, {&maker, &model, &init})) break;
        ASSERT_FALSE(init.empty()) << "entry " << n << " has fewer than three fields";
        factoryDefault |= model == "Factory Default";
        hayesCompatible |= model == "Hayes Compatible";
        line.Send("ATE0\r");
        line.Expect("OK\r\n");
        line.Send(init + "\r");
        const std::string answer = line.Expect("\r\n", std::chrono::seconds(2)) + line.Expect("\r\n");
        EXPECT_NE(answer.find("OK"), std::string::npos) << model << ": " << init << " -> " << answer;
    }
    EXPECT_GT(n, 3);
    EXPECT_TRUE(factoryDefault);
    EXPECT_TRUE(hayesCompatible);
}

TEST(SampleLists, ServicesHaveSixFieldsInTheWordsTheWizardKnows) {
    const vorla::ProfileFile services = LoadList("SERVICES.INI");
    int n = 1;
    for (;; ++n) {
        std::string name, area, number, baud, settings, handshake;
        if (!vorla::ReadServiceIniEntry(services, n, {&name, &area, &number, &baud, &settings, &handshake}))
            break;
        EXPECT_FALSE(handshake.empty()) << "entry " << n << " has fewer than six fields";
        EXPECT_GT(std::stoi(baud), 0) << name;
        EXPECT_TRUE(settings == "n,8,1" || settings == "e,7,1" || settings == "o,7,1") << name;
        EXPECT_TRUE(handshake == "None" || handshake == "Hardware" || handshake == "Software") << name;
    }
    EXPECT_GT(n, 1);
    EXPECT_GT(services.GetInt("ServiceOptions", "SplitDefault", 0), 0);
}

TEST(SampleLists, TheDemoServiceConnectsThroughTheScript) {
    const vorla::ProfileFile services = LoadList("SERVICES.INI");
    std::string name, area, number, baud, settings, handshake;
    ASSERT_TRUE(
        vorla::ReadServiceIniEntry(services, 1, {&name, &area, &number, &baud, &settings, &handshake}));
    SimProcess sim({"--ring-ms", "200"});
    ASSERT_TRUE(sim.ready());
    ScriptSession session("vorlapro.rkl", sim.link());
    auto variables = ScriptSession::DemoService();
    variables["serviceName"] = name;
    variables["serviceNumber"] = area + number;
    variables["baudRate"] = baud;
    variables["dataBits"] = settings.substr(2, 1);
    variables["parity"] = settings[0] == 'n' ? "None" : settings[0] == 'o' ? "Odd" : "Even";
    session.Set(variables);
    const Result connect = session.Run("CONNECT");
    EXPECT_EQ(connect.code, 0) << connect.text;
    EXPECT_EQ(session.Run("DISCONNECT").code, 0);
}

}  // namespace
}  // namespace scripts_test
