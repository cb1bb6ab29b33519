#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "translator/brisko_data.h"
#include "translator/lomix_records.h"

namespace {

using lomix::Company;
using lomix::Person;

std::vector<std::string> Names(const std::vector<Company>& companies) {
    std::vector<std::string> names;
    for (const Company& c : companies)
        names.push_back(c.name);
    return names;
}

TEST(BriskoSections, RecordLinesRunFromTheHeaderToTheFirstEmptyLine) {
    struct Case {
        std::string file;
        std::vector<std::string> names;
    } cases[] = {
        {"x\n[Paging Companies]\nA,1\nB,2\n\nC,3\n", {"A", "B"}},
        {"[Paging Companies]\r\nA,1\r\nB,2\r\n\r\nC,3\r\n", {"A", "B"}},  // Windows line ends
        {"Paging Companies\n\nA,1\n\nB\n", {"A"}},       // the line after the header never ends it
        {"Paging Companies\nA,1\nB,2", {"A", "B"}},      // no closing empty line: end of file
        {"People\nA,1\n", {}},                           // header missing
        {"Paging Companies\n,,A,,1,\n \n", {"A", " "}},  // empty fields skipped; blank is not empty
        {std::string("Paging Companies\nA\0B,1\nC\n", 25), {"A", "C"}},  // a NUL ends a line's text
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Names(lomix::ReadCompanies(c.file)), c.names) << c.file;
    }
}

TEST(BriskoSections, ALongLineIsReadAsSeveralLines) {
    std::string file = "Paging Companies\n" + std::string(1500, 'a') + "\nB,1\n";
    std::vector<std::string> records = lomix::SectionRecords(file, "Paging Companies");
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].size(), lomix::kLineBuffer - 1);
    EXPECT_EQ(records[1], std::string(1500 - (lomix::kLineBuffer - 1), 'a') + "\n");
}

TEST(BriskoCompanies, BaudRateAndParityFromTheLine) {
    struct Case {
        const char* line;
        int32_t baud;
        int32_t parity;
    } cases[] = {
        {"Acme,5551234,2400,8N1", 2400, 0},
        {"Acme,5551234,1200bps,8n1", 1200, 0},
        {"Acme,5551234,9600,7E1", 9600, 1},
        {"Acme,5551234,300,N", 300, 1},
        {"Acme,5551234", lomix::kDefaultBaudRate, lomix::kDefaultParity},
        {"Acme,5551234,fast,8N1", 0, 0},
        {"Acme,5551234,99999999999999,8N1", INT32_MAX, 0},
    };
    for (const Case& c : cases) {
        std::vector<Company> got = lomix::ReadCompanies(std::string("Paging Companies\n") + c.line + "\n");
        ASSERT_EQ(got.size(), 1u) << c.line;
        EXPECT_EQ(got[0].accessNumber, "5551234");
        EXPECT_EQ(got[0].baudRate, c.baud) << c.line;
        EXPECT_EQ(got[0].parity, c.parity) << c.line;
    }
}

TEST(BriskoPeople, FieldsWithoutTheLineBreakAnd8BitTextKept) {
    std::vector<Person> people = lomix::ReadPeople("People\nAnn Lee,12345,Acme\r\nRen\xe9,7,Caf\xe9\nSolo\n");
    ASSERT_EQ(people.size(), 3u);
    EXPECT_EQ(people[0].name, "Ann Lee");
    EXPECT_EQ(people[0].pin, "12345");
    EXPECT_EQ(people[0].company, "Acme");
    EXPECT_EQ(people[1].company, "Caf\xe9");
    EXPECT_EQ(people[2].pin, "");
}

TEST(BriskoSettings, ModemSectionWithTheAsteriskRule) {
    struct Case {
        const char* ini;
        lomix::ModemSettings want;
    } cases[] = {
        {"[Modem]\nType=Hayes 2400\nSetup=AT&F\nPort=COM2\n", {"Hayes 2400", "AT&F", "COM2"}},
        {"[modem]\r\n type = *None chosen\r\nSETUP=*\r\n", {"Unknown Modem", "ATQ0V1E0X4", "COM1"}},
        {"[Other]\nType=Hayes\n[Modem]\nPort=\n", {"Unknown Modem", "ATQ0V1E0X4", "COM1"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        lomix::ModemSettings got = lomix::ReadModemSettings(c.ini);
        EXPECT_EQ(got.name, c.want.name) << c.ini;
        EXPECT_EQ(got.init, c.want.init) << c.ini;
        EXPECT_EQ(got.port, c.want.port) << c.ini;
    }
}

class LomixFiles : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("lomix_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder_);
        unsetenv("VORLA_WINDOWS_DIR");
        unsetenv("WINEPREFIX");
    }
    std::filesystem::path Write(const std::string& name, const std::string& text) {
        std::filesystem::path path = folder_ / name;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::filesystem::path folder_;
};

TEST_F(LomixFiles, RecordsComeLastLineFirstAndTheCursorStartsAgain) {
    auto data = Write("d.pdb",
                      "Paging Companies\nAcme,555,2400,8N1\nBeta,556,1200,7E1\n\n"
                      "People\nAnn Lee,12345,Acme\n");
    lomix::Translation t;
    EXPECT_EQ(t.ReadCompaniesFrom(data, lomix::ModemSettings{}), 2u);
    EXPECT_EQ(t.ReadPeopleFrom(data), 1u);
    auto name = [](const void* r) {
        return std::string(static_cast<const TranslatorServiceRecord*>(r)->name);
    };
    EXPECT_EQ(name(t.NextService()), "Beta");
    const auto* acme = static_cast<const TranslatorServiceRecord*>(t.NextService());
    EXPECT_EQ(acme->parity, 0);
    EXPECT_EQ(acme->useDialPrefix, 1);
    EXPECT_EQ(std::string(acme->scriptFile), "VORLAPRO.RKL");
    EXPECT_EQ(t.NextService(), nullptr);
    EXPECT_EQ(name(t.NextService()), "Beta");
    const auto* ann = static_cast<const TranslatorSubscriberRecord*>(t.NextSubscriber());
    EXPECT_EQ(std::string(ann->serviceName), "Acme");
    EXPECT_EQ(std::string(ann->maxLength), "240");
    EXPECT_EQ(t.ReadCompaniesFrom(folder_ / "missing.pdb", lomix::ModemSettings{}), 0u);
    EXPECT_EQ(t.NextService(), nullptr);
}

TEST_F(LomixFiles, SettingsFileFromTheWinePrefixWithoutRegardToCase) {
    Write("prefix/Drive_C/WINDOWS/brisko.ini", "[Files]\nData=C:\\Brisko\\DATA.PDB\n[Modem]\nType=Zoom\n");
    auto data = Write("prefix/Drive_C/brisko/data.pdb", "People\nAnn,1,Acme\n");
    setenv("WINEPREFIX", (folder_ / "prefix").c_str(), 1);
    EXPECT_EQ(lomix::ModemSettingsOfThisUser().name, "Zoom");
    EXPECT_EQ(lomix::DefaultDataFile(), data);
    // An explicit Windows directory wins over the prefix.
    Write("win/BRISKO.INI", "[Modem]\nType=Other\n[Files]\nData=*\n");
    setenv("VORLA_WINDOWS_DIR", (folder_ / "win").c_str(), 1);
    EXPECT_EQ(lomix::ModemSettingsOfThisUser().name, "Other");
    EXPECT_EQ(lomix::DefaultDataFile(), std::nullopt);
}

}  // namespace
