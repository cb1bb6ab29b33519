// An SNPP client's conversation with the gateway, without sockets: what is taken at SEND and
// what each command is answered.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "paging/incoming_text.h"
#include "tools/vorlapaged/snpp_session.h"
#include "tools/vorlapaged/users_file.h"

namespace {

class FakeGateway : public snpp::IGateway {
public:
    std::optional<std::string> Resolve(std::string_view id) override {
        static const std::map<std::string, std::string> names{
            {"ann demo", "Ann Demo"}, {"5551001", "Ann Demo"}, {"team", "Team"}, {"bob", "Bob"}};
        std::string key(id);
        for (char& c : key)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const auto found = names.find(key);
        if (found == names.end()) return std::nullopt;
        return found->second;
    }
    bool LoginRequired() const override { return loginRequired; }
    bool CheckLogin(std::string_view user, std::string_view password) override {
        return user == "ops" && password == "secret";
    }
    std::optional<std::string> TakeText(std::string_view bytes, std::string* error) override {
        return ToMessageText(bytes, error);
    }
    void Submit(const snpp::Transaction& transaction) override { taken.push_back(transaction); }

    bool loginRequired = false;
    std::vector<snpp::Transaction> taken;
};

// The reply codes of a conversation, in order; the gateway answers each SEND with `outcome`.
std::vector<int> Codes(const std::string& replies) {
    std::vector<int> codes;
    size_t start = 0;
    while (start < replies.size()) {
        const size_t end = replies.find("\r\n", start);
        codes.push_back(snpp::ReplyCode(replies.substr(start, end - start)).value_or(-1));
        start = end + 2;
    }
    return codes;
}

std::vector<int> Talk(FakeGateway& gateway, const std::string& input, snpp::Outcome outcome = {250, "ok"},
                      snpp::Limits limits = {}) {
    snpp::Session session(gateway, limits);
    std::string replies = session.Receive(input);
    size_t answered = 0;
    while (session.Waiting() && answered < gateway.taken.size()) {
        ++answered;
        replies += session.Finish(outcome);
    }
    return Codes(replies);
}

using Codes_ = std::vector<int>;

TEST(SnppSession, ATransactionIsTakenOnceAtSendWithEveryoneNamed) {
    FakeGateway gateway;
    EXPECT_EQ(Talk(gateway,
                   "PAGE ann demo\r\nPAGE \"Team\"\r\nPAGE 5551001\r\nSUBJ disk\r\nMESS full on db1\r\n"
                   "SEND\r\nQUIT\r\n"),
              (Codes_{250, 250, 250, 250, 250, 250, 221}));
    ASSERT_EQ(gateway.taken.size(), 1u);
    EXPECT_EQ(gateway.taken[0].recipients, (std::vector<std::string>{"Ann Demo", "Team"}));
    EXPECT_EQ(gateway.taken[0].text, "disk: full on db1");
}

TEST(SnppSession, NothingIsTakenWithoutSendOrWithAnUnknownName) {
    FakeGateway gateway;
    EXPECT_EQ(Talk(gateway, "PAGE Nobody\r\nMESS hi\r\nSEND\r\nPAGE Bob\r\nRESE\r\nSEND\r\n"),
              (Codes_{550, 250, 503, 250, 250, 503}));
    EXPECT_EQ(Talk(gateway, "PAGE Bob\r\nDATA\r\nline one\r\n..dot\r\n"),
              (Codes_{250, 354}));  // gone mid-DATA
    EXPECT_TRUE(gateway.taken.empty());
}

TEST(SnppSession, DataHoldAndLevelTwoOptions) {
    FakeGateway gateway;
    EXPECT_EQ(Talk(gateway,
                   "PAGE Ann Demo secret\r\nHOLD 301224183000 -0500\r\nHOLD 301324000000\r\nCALL 42\r\n"
                   "LEVE 3\r\nLEVE 12\r\nALER 1\r\nCOVE 2\r\nDATA\r\nfirst\r\n..second\r\n.\r\nMESS "
                   "again\r\nSEND\r\n"),
              (Codes_{250, 250, 550, 250, 250, 550, 250, 550, 354, 250, 503, 250}));
    ASSERT_EQ(gateway.taken.size(), 1u);
    EXPECT_EQ(gateway.taken[0].text, "first\n.second");
    ASSERT_TRUE(gateway.taken[0].hold);
    EXPECT_EQ(gateway.taken[0].hold->utcOffsetMinutes, -300);
    EXPECT_EQ(gateway.taken[0].callerId, "42");
    EXPECT_EQ(Talk(gateway, "2WAY\r\nPING 1\r\nKTAG 1 2\r\nHELP\r\n").front(), 500);
}

TEST(SnppSession, TextRulesAndLimitsAnswerWithoutEndingTheSession) {
    FakeGateway gateway;
    snpp::Limits limits;
    limits.lineLength = 64;
    limits.recipients = 2;
    EXPECT_EQ(
        Talk(gateway, "PAGE Bob\r\nMESS \xe4\xb8\xad\r\nMESS caf\xc3\xa9\r\nSEND\r\n", {250, "ok"}, limits),
        (Codes_{250, 550, 250, 250}));
    EXPECT_EQ(gateway.taken.back().text, "caf\xe9");
    EXPECT_EQ(
        Talk(gateway, "PAGE Bob\r\nPAGE Team\r\nPAGE Ann Demo\r\n" + std::string(500, 'x') + "\r\nQUIT\r\n",
             {250, "ok"}, limits),
        (Codes_{250, 250, 552, 500, 221}));
    EXPECT_EQ(Talk(gateway, "PAGE Bob\r\nDATA\r\n" + std::string(20000, 'y') + "\r\n" +
                                std::string(20000, 'y') + "\r\n.\r\nMESS short\r\nSEND\r\n"),
              (Codes_{250, 354, 550, 250, 250}))
        << "a message past 30,000 characters is refused, and the session goes on";
}

TEST(SnppSession, BusyDirectoryEndsTheSessionAndRefusalsInARowToo) {
    FakeGateway gateway;
    EXPECT_EQ(Talk(gateway, "PAGE Bob\r\nMESS hi\r\nSEND\r\nPAGE Bob\r\n", {421, "busy"}),
              (Codes_{250, 250, 421}));
    snpp::Limits limits;
    limits.errors = 3;
    const char garbage[] = "\x00\xff\r\n\x01\x02\r\nXXXX\r\nPAGE Bob\r\n";
    EXPECT_EQ(Talk(gateway, std::string(garbage, sizeof garbage - 1), {250, "ok"}, limits),
              (Codes_{500, 500, 500, 421}));
}

TEST(SnppSession, CommandsThatComeWhileAPageIsTakenWaitForIt) {
    FakeGateway gateway;
    snpp::Session session(gateway, {});
    std::string replies = session.Receive("PAGE Bob\r\nMESS one\r\nSEND\r\nRESE\r\nPAGE Bo");
    EXPECT_TRUE(session.Waiting());
    replies += session.Receive("b\r\nQUIT\r\n");
    EXPECT_EQ(Codes(replies), (Codes_{250, 250}));
    replies += session.Finish({250, "ok"});
    EXPECT_EQ(Codes(replies), (Codes_{250, 250, 250, 250, 250, 221}));
    EXPECT_TRUE(session.Closed());
}

TEST(SnppSession, LoginWhenRequired) {
    FakeGateway gateway;
    gateway.loginRequired = true;
    EXPECT_EQ(
        Talk(gateway, "PAGE Bob\r\nLOGI ops wrong\r\nLOGI ops secret\r\nPAGE Bob\r\nMESS hi\r\nSEND\r\n"),
        (Codes_{550, 550, 250, 250, 250, 250}));
    ASSERT_EQ(gateway.taken.size(), 1u);
    EXPECT_EQ(gateway.taken[0].user, "ops");
}

}  // namespace

namespace {

// The users file: yescrypt hashes, and a file others may read is not used at all.
TEST(UsersFile, HashedPasswordsAndAPrivateFileOnly) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("users-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = (folder / kUsersFileName).string();
    UsersFile users(path);
    std::string error;
    ASSERT_TRUE(users.Set("ops", "s3cret pass", &error)) << error;
    ASSERT_TRUE(users.Set("ann", "other", &error)) << error;
    ASSERT_TRUE(users.Set("ops", "new one", &error)) << error;  // a new password, not a second line
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("ops:$y$", 0), 0u) << text;
    EXPECT_EQ(text.find("new one"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::string problem;
    EXPECT_TRUE(users.Check("ops", "new one", &problem)) << problem;
    EXPECT_FALSE(users.Check("ops", "s3cret pass", &problem));
    EXPECT_FALSE(users.Check("nobody", "new one", &problem));
    EXPECT_TRUE(UsersFile(path).Check("ann", "other", &problem));
    std::filesystem::permissions(path, std::filesystem::perms::group_read,
                                 std::filesystem::perm_options::add);
    EXPECT_FALSE(UsersFile(path).Check("ann", "other", &problem));
    EXPECT_NE(problem.find("mode 0600"), std::string::npos) << problem;
    std::filesystem::remove_all(folder);
}

}  // namespace
