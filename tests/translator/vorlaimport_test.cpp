#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QString>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "archive/class_registry.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/paging_classes.h"
#include "platform/program_directory_lock.h"
#include "tools/vorlaimport/vorlaimport_options.h"

namespace fs = std::filesystem;

namespace {

TEST(VorlaimportOptions, CommandLines) {
    struct Case {
        std::vector<std::string> args;
        bool ok;
        std::string translator;
        bool hasData;
    } cases[] = {
        {{"lomix"}, true, "lomix", false},
        {{"--home", "/h", "lomix", "f.pdb"}, true, "lomix", true},
        {{"--home=/h", "--list"}, true, "", false},
        {{"--list", "lomix"}, false, "", false},
        {{}, false, "", false},
        {{"a", "b", "c"}, false, "", false},
        {{"--home"}, false, "", false},
        {{"--frob", "lomix"}, false, "", false},
        {{"--", "--odd-name"}, true, "--odd-name", false},
    };
    for (const Case& c : cases) {
        std::string error;
        auto options = ParseVorlaimportOptions(c.args, &error);
        ASSERT_EQ(options.has_value(), c.ok) << (c.args.empty() ? "" : c.args[0]);
        if (!options) continue;
        EXPECT_EQ(options->translator, c.translator);
        EXPECT_EQ(options->dataFile.has_value(), c.hasData);
    }
}

class VorlaimportRun : public ::testing::Test {
protected:
    void SetUp() override {
        const char* buildDir = std::getenv("VORLA_BUILD_DIR");
        ASSERT_NE(buildDir, nullptr);
        build_ = buildDir;
        home_ =
            fs::temp_directory_path() /
            ("vorlaimport_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(home_);
        fs::create_directories(home_ / "Import");  // the folder is found without regard to case
        fs::copy_file(build_ / "lib/liblomix.so", home_ / "Import/liblomix.so");
        data_ = Write("data.pdb",
                      "[Paging Companies]\r\nAcme,5551234,2400,8N1\r\nBeta,5550000,1200,7E1\r\n\r\n"
                      "[People]\r\nAnn Lee,12345,Acme\r\nBob,777,Beta\r\n\r\n");
    }
    void TearDown() override { fs::remove_all(home_); }

    fs::path Write(const std::string& name, const std::string& text) {
        std::ofstream(home_ / name, std::ios::binary) << text;
        return home_ / name;
    }
    int Run(const std::string& arguments) {
        // No settings file: the modem values are Lomix's defaults whatever this user has.
        std::string command = "VORLA_WINDOWS_DIR='" + (home_ / "no-windows").string() + "' '" +
                              (build_ / "bin/vorlaimport").string() + "' --home '" + home_.string() + "' " +
                              arguments + " > '" + (home_ / "out.txt").string() + "' 2>&1";
        return WEXITSTATUS(std::system(command.c_str()));
    }
    std::string Output() {
        std::ifstream in(home_ / "out.txt");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string ServiceOf(const DirectoryStore& store, const std::string& subscriber) {
        for (Serializable* item : *store.GetSubscriberList())
            if (auto* s = As<CSubscriber>(item); s && s->GetName() == subscriber)
                return s->GetService()->GetName();
        return "(none)";
    }

    fs::path build_, home_, data_;
};

TEST_F(VorlaimportRun, ImportsTwiceRenamingAndKeepsEachSubscribersService) {
    ASSERT_EQ(Run("lomix '" + data_.string() + "'"), 0) << Output();
    ASSERT_EQ(Run("'Brisko Pre v1.50  Import Translator' '" + data_.string() + "'"), 0) << Output();
    EXPECT_NE(Output().find("renamed service \"Acme\" to \"Acme1\""), std::string::npos) << Output();
    const ClassRegistry registry = MakeProgramClassRegistry();
    DirectoryStore store;
    ASSERT_EQ(LoadDirectoryFile((home_ / "Vorla Pro.vlg").string(), registry, store), ArchiveError::None);
    EXPECT_EQ(store.GetServiceList()->GetCount(), 4u);
    EXPECT_EQ(ServiceOf(store, "Ann Lee"), "Acme");
    EXPECT_EQ(ServiceOf(store, "Ann Lee1"), "Acme1");
    EXPECT_EQ(ServiceOf(store, "Bob1"), "Beta1");
    auto* beta = As<CService>(store.GetServiceList()->GetHead());
    EXPECT_EQ(beta->GetName(), "Acme1");  // last line first: Acme is added last
    EXPECT_EQ(beta->GetParity(), 0);
    EXPECT_EQ(beta->GetModemInit(), "ATQ0V1E0X4");
}

TEST_F(VorlaimportRun, ExitCodes) {
    EXPECT_EQ(Run("--list"), 0);
    EXPECT_NE(Output().find("Brisko Pre v1.50  Import Translator\t"), std::string::npos);
    EXPECT_EQ(Run("lomix '" + Write("empty.pdb", "no sections\n").string() + "'"), 1);
    EXPECT_FALSE(fs::exists(home_ / "Vorla Pro.vlg"));
    EXPECT_EQ(Run("nosuch '" + data_.string() + "'"), 2);
    Write("Import/broken.so", "not a library");
    EXPECT_EQ(Run("--list"), 0);
    EXPECT_NE(Output().find("Unknown Translator\t"), std::string::npos) << Output();
    EXPECT_EQ(Run("broken '" + data_.string() + "'"), 2);
    EXPECT_NE(Output().find("Cannot load selected translator!"), std::string::npos) << Output();
    EXPECT_EQ(Run("lomix '" + (home_ / "missing.pdb").string() + "'"), 2);
    vorla::ProgramDirectoryLock lock(QString::fromStdString(home_.string()));
    ASSERT_EQ(lock.TryAcquire(), vorla::ProgramDirectoryLock::Result::Acquired);
    EXPECT_EQ(Run("lomix '" + data_.string() + "'"), 3);
    EXPECT_FALSE(fs::exists(home_ / "Vorla Pro.vlg"));
}

}  // namespace
