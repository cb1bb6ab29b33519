// rklrun end to end: the built binary on scripts written by the test.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

struct Outcome {
    std::string out;
    int status = -1;
};

std::filesystem::path BuildDir() {
    const char* dir = std::getenv("VORLA_BUILD_DIR");
    return dir ? dir : ".";
}

// From the build, not from __FILE__: a compiler cache with a base folder makes __FILE__
// relative to the build folder, which is not where the tests run.
std::filesystem::path SourceDir() {
    return VORLA_SOURCE_DIR;
}

std::filesystem::path WriteScript(const std::string& text) {
    static int counter = 0;
    static const unsigned run = std::random_device{}();
    const auto path = std::filesystem::temp_directory_path() /
                      ("rklrun_test_" + std::to_string(run) + "_" + std::to_string(counter++) + ".rkl");
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

// Runs rklrun with the given arguments (already quoted); stdout only unless asked.
Outcome RunRklrun(const std::string& args, bool withStderr = false) {
    const std::string command =
        (BuildDir() / "bin" / "rklrun").string() + " " + args + (withStderr ? " 2>&1" : " 2>/dev/null");
    Outcome outcome;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return outcome;
    std::array<char, 4096> buffer;
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        outcome.out.append(buffer.data(), n);
    const int raw = ::pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

TEST(Rklrun, HelloExampleGreetsCountsAndSucceeds) {
    const auto hello = SourceDir() / "rklfiles" / "examples" / "hello.rkl";
    const Outcome o = RunRklrun(hello.string() + " name=newcomer MAIN");
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out,
              "ECHO: Hello, newcomer!\n"
              "LOG: Greeted newcomer\n"
              "ECHO: Counting: 1\nECHO: Counting: 2\nECHO: Counting: 3\n"
              "RESULT: 0 Done counting to 3\n");
}

TEST(Rklrun, ArgsRunInOrderOnOneHandleAndAnyFailureGivesOne) {
    const auto script =
        WriteScript("ENTRY SHOW\nENTRY FAIL\nLABEL SHOW\nECHO [{v}]\nEXIT 0\nLABEL FAIL\nEXIT 7 seven\n");
    const Outcome o = RunRklrun(script.string() + " SHOW v=a=b SHOW FAIL SHOW");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out,
              "ECHO: []\nRESULT: 0 Exited 0\n"
              "ECHO: [a=b]\nRESULT: 0 Exited 0\n"
              "RESULT: 7 seven\n"
              "ECHO: [a=b]\nRESULT: 0 Exited 0\n");
    const Outcome missing = RunRklrun(script.string() + " NOPE");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "RESULT: -6 Entry \"NOPE\" Not Found\n");
    std::filesystem::remove(script);
}

TEST(Rklrun, AlertsAnswerOkOrCancel) {
    const auto script = WriteScript("ENTRY M\nLABEL M\nALERT No Go on?\nEXIT 0 ok\nLABEL No\nEXIT 1 no\n");
    const Outcome ok = RunRklrun(script.string() + " M");
    EXPECT_EQ(ok.out, "ALERT: Go on? [OK]\nRESULT: 0 ok\n");
    EXPECT_EQ(ok.status, 0);
    const Outcome cancel = RunRklrun("--cancel-alerts " + script.string() + " M");
    EXPECT_EQ(cancel.out, "ALERT: Go on? [Cancel]\nRESULT: 1 no\n");
    EXPECT_EQ(cancel.status, 1);
    std::filesystem::remove(script);
}

TEST(Rklrun, TraceGoesToStderrOnlyWhenAsked) {
    const auto script = WriteScript("DEBUG 16\nENTRY M\nLABEL M\nSET a 1\nDEBUG_OUT hello\nEXIT 0\n");
    const Outcome quiet = RunRklrun(script.string() + " M", true);
    EXPECT_EQ(quiet.out, "RESULT: 0 Exited 0\n");
    const Outcome traced = RunRklrun("--trace " + script.string() + " M", true);
    EXPECT_NE(traced.out.find("TRKL::DoCommand ('SET', 'a 1');\n"), std::string::npos);
    EXPECT_NE(traced.out.find("\nhello\n"), std::string::npos);
    std::filesystem::remove(script);
}

TEST(Rklrun, ModemCheckStopsCleanlyAtThePort) {
    // /dev/null is no terminal: the open fails and the script takes its error label.
    const auto modem = SourceDir() / "rklfiles" / "examples" / "modem_check.rkl";
    const Outcome o =
        RunRklrun("--port COM1=/dev/null " + modem.string() +
                  " port=COM1 baudRate=9600 parity=NONE dataBits=8 stopBits=1 CONNECT DISCONNECT");
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, "RESULT: -2 Cannot open the port\nRESULT: 0 Exited 0\n");
}

TEST(Rklrun, UsageErrorsGiveTwo) {
    EXPECT_EQ(RunRklrun("").status, 2);
    EXPECT_EQ(RunRklrun("--bogus x.rkl M").status, 2);
    EXPECT_EQ(RunRklrun("--port COM1 x.rkl M").status, 2);
    EXPECT_EQ(RunRklrun("/nonexistent/script.rkl M").status, 2);
}

}  // namespace

namespace {

TEST(Rklrun, ExampleScriptsForEveryInterpreterCommandSucceed) {
    const auto examples = SourceDir() / "rklfiles" / "examples";
    const Outcome variables = RunRklrun((examples / "variables.rkl").string() + " who=world VARIABLES");
    EXPECT_EQ(variables.status, 0);
    EXPECT_NE(variables.out.find("ECHO: [Hello,  world!   ]\n"), std::string::npos);
    EXPECT_NE(variables.out.find("ECHO: a hash is #, $0G stays,  vanishes, A is A\n"), std::string::npos);
    EXPECT_NE(variables.out.find("LOG: $41 is not decoded here\n"), std::string::npos);

    const Outcome flow = RunRklrun((examples / "flow.rkl").string() + " FLOW mode=fast FLOW");
    EXPECT_EQ(flow.status, 0);
    EXPECT_NE(flow.out.find("ECHO: mode is not fast\n"), std::string::npos);
    EXPECT_NE(flow.out.find("ECHO: mode is fast\n"), std::string::npos);

    const Outcome host = RunRklrun("--cancel-alerts " + (examples / "host.rkl").string() + " HOST");
    EXPECT_EQ(host.status, 1);
    EXPECT_NE(host.out.find("RESULT: 1 Stopped at the alert\n"), std::string::npos);
}

}  // namespace
