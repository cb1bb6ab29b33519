// The WCTP transport end to end: the session driver pages WCTP services against pagingsim's
// WCTP carrier (plain HTTP on the loopback, and HTTPS with a certificate the test makes), in
// good order and in every way a carrier's answer can go wrong.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <signal.h>
#include <sys/wait.h>

#include "directory/service.h"
#include "paging/page.h"
#include "paging/paging_texts.h"
#include "paging/wctp/carrier_script_engine.h"
#include "paging/wctp/wctp_service.h"
#include "tests/child_process/child_process.h"
#include "tests/paging/paging_world.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// pagingsim as a WCTP carrier, stopped when the object goes.
class WctpSim {
public:
    WctpSim(const std::filesystem::path& folder, std::vector<std::string> extra)
        : log_(folder / "wctp-pages.json"), err_(folder / "wctp-sim.txt") {
        const char* build = std::getenv("VORLA_BUILD_DIR");
        std::vector<std::string> args{std::string(build ? build : ".") + "/bin/pagingsim", "--log",
                                      log_.string(), "--wctp", "0"};
        args.insert(args.end(), extra.begin(), extra.end());
        pid_ = vorla::testing::StartChild(args, (folder / "wctp-sim-out.txt").string(), err_.string(),
                                          std::vector<std::string>{"PATH=/usr/bin:/bin"});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
            const std::string trace = ReadAll(err_);
            const auto at = trace.find("WCTP at ");
            if (at != std::string::npos && trace.find('\n', at) != std::string::npos) {
                url_ = trace.substr(at + 8, trace.find('\n', at) - at - 8);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    ~WctpSim() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    WctpSim(const WctpSim&) = delete;
    WctpSim& operator=(const WctpSim&) = delete;

    bool Ready() const { return !url_.empty(); }
    const std::string& Url() const { return url_; }
    std::string Trace() const { return ReadAll(err_); }
    std::vector<std::pair<std::string, std::string>> Pages() const {
        std::vector<std::pair<std::string, std::string>> pages;
        std::istringstream lines(ReadAll(log_));
        for (std::string line; std::getline(lines, line);) {
            const auto json = nlohmann::json::parse(line, nullptr, false);
            if (!json.is_discarded()) pages.emplace_back(json.value("pin", ""), json.value("message", ""));
        }
        return pages;
    }

private:
    std::filesystem::path log_, err_;
    pid_t pid_ = -1;
    std::string url_;
};

class WctpWorld : public PagingWorld {
public:
    WctpWorld() { settings.WriteProfileInt("Preferences", "RememberFailed", 1); }
    CService* Carrier(const std::string& url, const std::string& options = "sender=desk",
                      const std::string& securityCode = "") {
        CService* service = AddService("Carrier", vorla::wctp::kScriptName);
        service->SetAccessNumber(url);
        service->SetModemInit(options);
        service->SetPassword(securityCode);
        return service;
    }
    int32_t LastCode() const { return observer.logs.empty() ? 0 : observer.logs.back().code; }
    std::string LastStatus() const {
        return observer.logs.empty() ? std::string() : observer.logs.back().status;
    }
};

TEST(wctp, EachPageIsOneRequestWithItsWholeTextEscaped) {
    WctpWorld w;
    WctpSim sim(w.folder, {"--password", "s3cret"});
    ASSERT_TRUE(sim.Ready()) << sim.Trace();
    CService* carrier = w.Carrier(sim.Url(), "sender=desk", "s3cret");
    // Longer than the pager's 10 characters, with markup and a Windows-1252 letter in it.
    const std::string text = "Caf\xE9 <b> & \"q\" 'a' 0123456789";
    w.Queue(text, {w.AddSubscriber("Ann", "1001", carrier, 10), w.AddSubscriber("Bob", "1002", carrier, 10)});

    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "SEND_PAGE", "SEND_PAGE", "DISCONNECT"));
    EXPECT_THAT(w.LogStatuses(), ElementsAre("Message Sent Successfully!", "Message Sent Successfully!"));
    EXPECT_EQ(w.driver->GetStatusLine(), "Message Sent Successfully!");
    using Page = std::pair<std::string, std::string>;
    EXPECT_THAT(sim.Pages(), ElementsAre(Page{"1001", "Caf\u00E9 <b> & \"q\" 'a' 0123456789"},
                                         Page{"1002", "Caf\u00E9 <b> & \"q\" 'a' 0123456789"}))
        << sim.Trace();
    EXPECT_TRUE(w.outgoing->IsEmpty());
}

TEST(wctp, AnUnknownRecipientIsRefusedAndTheNextPageStillGoes) {
    WctpWorld w;
    WctpSim sim(w.folder, {"--refuse", "1001"});
    ASSERT_TRUE(sim.Ready()) << sim.Trace();
    CService* carrier = w.Carrier(sim.Url());
    w.Queue("Gate closed",
            {w.AddSubscriber("Ann", "1001", carrier), w.AddSubscriber("Bob", "1002", carrier)});

    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT", "SEND_PAGE", "SEND_PAGE", "DISCONNECT"));
    ASSERT_EQ(w.observer.logs.size(), 2u);
    EXPECT_EQ(w.observer.logs[0].code, kScriptPageRefused);
    EXPECT_EQ(w.observer.logs[0].status, "The carrier refused the page: 401 Unknown recipient 1001");
    EXPECT_EQ(w.observer.logs[1].status, "Message Sent Successfully!");
    EXPECT_EQ(sim.Pages().size(), 1u);
}

// Every answer that is not a confirmation fails the page with a text that says why; the page
// stays in the queue once, to be sent again. (A carrier that answers too late has taken the
// page all the same: only the sender cannot know.)
TEST(wctp, ABadAnswerFailsThePageWithAClearText) {
    struct Case {
        std::vector<std::string> sim;
        std::string options;
        int32_t code;
        std::string text;
    };
    const Case cases[] = {
        {{"--wctp-fault", "http500"}, "", vorla::wctp::kHttpFailed, "The WCTP carrier answered HTTP 500"},
        {{"--wctp-fault", "malformed"},
         "",
         vorla::wctp::kBadAnswer,
         "WCTP: the carrier's answer is not WCTP"},
        {{"--wctp-fault", "huge"}, "", vorla::wctp::kTransportFailed, "larger than 1 MB"},
        {{"--wctp-fault", "entity"}, "", vorla::wctp::kBadAnswer, "declares entities"},
        {{"--wctp-fault", "redirect"}, "", vorla::wctp::kHttpFailed, "redirects to http://127.0.0.2:"},
        {{"--wctp-fault", "redirect"}, "redirects=follow", vorla::wctp::kTransportFailed, "WCTP: "},
        {{"--wctp-fault", "reset"}, "", vorla::wctp::kTransportFailed, "WCTP: "},
        {{"--slow", "2500"},
         "timeout=1",
         vorla::wctp::kTransportFailed,
         "No answer from the WCTP carrier in time"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sim.back() + " " + c.options);
        WctpWorld w;
        WctpSim sim(w.folder, c.sim);
        ASSERT_TRUE(sim.Ready()) << sim.Trace();
        w.Queue("Fire drill", {w.AddSubscriber("Ann", "1001", w.Carrier(sim.Url(), c.options))});

        w.driver->StartSending();
        ASSERT_TRUE(w.RunUntilIdle());

        EXPECT_EQ(w.LastCode(), c.code);
        EXPECT_THAT(w.LastStatus(), HasSubstr(c.text));
        EXPECT_EQ(w.driver->GetStatusLine(), w.LastStatus());
        ASSERT_EQ(w.outgoing->GetCount(), 1u);
        EXPECT_EQ(static_cast<CPage*>(w.outgoing->GetHead())->GetStatus(), kStatusFailed);
        if (c.sim.front() != "--slow") {
            EXPECT_TRUE(sim.Pages().empty());
        }
        EXPECT_THAT(sim.Trace(), ::testing::Not(HasSubstr("/leak")));
    }
}

TEST(wctp, AnAddressOrOptionsThatCannotBeUsedFailBeforeAnythingIsSent) {
    const std::pair<std::string, std::string> cases[] = {
        {"http://192.0.2.7/wctp", "The WCTP address must start with https://"},
        {"ftp://127.0.0.1/wctp", "The WCTP address must start with https://"},
        {"", "The service has no WCTP address"},
        {"not a url", "The WCTP address is not a URL"},
    };
    for (const auto& [url, text] : cases) {
        WctpWorld w;
        w.Queue("Hello", {w.AddSubscriber("Ann", "1001", w.Carrier(url))});
        w.driver->StartSending();
        ASSERT_TRUE(w.RunUntilIdle());
        EXPECT_THAT(w.engine.entries, ElementsAre("CONNECT")) << url;
        EXPECT_EQ(w.LastCode(), vorla::wctp::kBadSetup) << url;
        EXPECT_THAT(w.LastStatus(), HasSubstr(text)) << url;
    }
    const std::pair<std::string, std::string> options[] = {
        {"colour=red", "Unknown WCTP option \"colour\""},
        {"timeout=0", "timeout takes 1 to 600 seconds"},
        {"sender", "has no value"},
        {"redirects=maybe", "redirects takes follow or no"},
    };
    for (const auto& [option, text] : options) {
        WctpWorld w;
        w.Queue("Hello", {w.AddSubscriber("Ann", "1001", w.Carrier("https://127.0.0.1:9/wctp", option))});
        w.driver->StartSending();
        ASSERT_TRUE(w.RunUntilIdle());
        EXPECT_THAT(w.LastStatus(), HasSubstr(text)) << option;
    }
}

TEST(wctp, CancelEndsTheWaitForASlowCarrierAtOnce) {
    WctpWorld w;
    WctpSim sim(w.folder, {"--slow", "3000"});
    ASSERT_TRUE(sim.Ready()) << sim.Trace();
    w.Queue("Hold on", {w.AddSubscriber("Ann", "1001", w.Carrier(sim.Url()))});
    w.driver->StartSending();
    while (w.driver->GetState() != SessionDriver::kWaitSendPage)
        ASSERT_TRUE(w.driver->OnIdle());
    for (int i = 0; i < 10; ++i)
        w.driver->OnIdle();  // the request is out and waiting

    const auto started = std::chrono::steady_clock::now();
    w.driver->CancelSending();
    ASSERT_TRUE(w.RunUntilIdle());

    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
    EXPECT_EQ(w.driver->GetStatusLine(), "User cancel");
    EXPECT_EQ(w.outgoing->GetCount(), 1u);
}

// HTTPS against a certificate the test makes: refused while only the system's store is
// trusted, taken once the service names the certificate as its CA file.
TEST(wctp, CertificatesAreVerifiedAndACaFileIsHonoured) {
    for (const bool trusted : {false, true}) {
        SCOPED_TRACE(trusted ? "with the CA file" : "with the system's store");
        WctpWorld w;
        const std::string cert = (w.folder / "carrier.pem").string();
        const std::string key = (w.folder / "carrier.key").string();
        const std::string make =
            "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
            "-addext subjectAltName=IP:127.0.0.1 -keyout '" +
            key + "' -out '" + cert + "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(make.c_str()), 0);
        WctpSim sim(w.folder, {"--tls-cert", cert, "--tls-key", key});
        ASSERT_TRUE(sim.Ready()) << sim.Trace();
        ASSERT_THAT(sim.Url(), ::testing::StartsWith("https://"));
        w.Queue("Secure",
                {w.AddSubscriber("Ann", "1001", w.Carrier(sim.Url(), trusted ? "cafile=" + cert : ""))});

        w.driver->StartSending();
        ASSERT_TRUE(w.RunUntilIdle());

        if (trusted) {
            EXPECT_EQ(w.LastStatus(), "Message Sent Successfully!");
            EXPECT_EQ(sim.Pages().size(), 1u);
        } else {
            EXPECT_EQ(w.LastCode(), vorla::wctp::kTransportFailed);
            EXPECT_THAT(w.LastStatus(), HasSubstr("certificate"));
            EXPECT_TRUE(sim.Pages().empty());
        }
    }
}

}  // namespace
