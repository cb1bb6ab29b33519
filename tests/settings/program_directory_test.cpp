#include "settings/program_directory.h"
#include "vorla_install_dirs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace vorla {
namespace {

namespace fs = std::filesystem;

class ProgramDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        root_ = fs::temp_directory_path() / ("vorla-home-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(root_ / "bin");
        fs::create_directories(root_ / "home" / "RklFiles");
        std::ofstream(root_ / "home" / "RklFiles" / "vorlapro.rkl") << "x";
        std::ofstream(root_ / "home" / "Outgoing.vlg") << "x";
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    ProgramDirectoryInputs Inputs() const {
        ProgramDirectoryInputs in;
        in.executablePath = root_ / "bin" / "vorlapro";
        in.currentDirectory = root_;
        return in;
    }
    fs::path root_;
};

TEST_F(ProgramDirectoryTest, ChoosesOptionThenEnvironmentThenExecutableThenCurrentFolder) {
    auto in = Inputs();
    EXPECT_EQ(ProgramDirectory::Resolve(in)->GetProgramDirectory(), (root_ / "bin").string() + "/");

    in.environmentHome = "";  // an empty variable counts as unset
    EXPECT_EQ(ProgramDirectory::Resolve(in)->Path(), root_ / "bin");

    in.environmentHome = (root_ / "home").string();
    EXPECT_EQ(ProgramDirectory::Resolve(in)->Path(), root_ / "home");

    in.homeOption = "bin/";  // relative to the current folder, trailing slash tolerated
    EXPECT_EQ(ProgramDirectory::Resolve(in)->GetProgramDirectory(), (root_ / "bin").string() + "/");

    ProgramDirectoryInputs bare;
    bare.currentDirectory = root_ / "home";
    EXPECT_EQ(ProgramDirectory::Resolve(bare)->Path(), root_ / "home");

    std::string error;
    in.homeOption = (root_ / "nowhere").string();
    EXPECT_FALSE(ProgramDirectory::Resolve(in, &error).has_value());
    EXPECT_NE(error.find("nowhere"), std::string::npos);
}

// An installed program keeps its data in the user's data folder, seeded from the shipped
// data; an explicit folder still wins and is never seeded.
TEST_F(ProgramDirectoryTest, InstalledProgramUsesTheUserDataFolderUnlessTold) {
    auto in = Inputs();
    in.installed = InstalledLayout{root_ / "share" / "vorlapro", root_ / "lib" / "vorlapro" / "import"};
    in.userDataFolder = root_ / "data" / "vorlapro";

    auto installed = ProgramDirectory::Resolve(in);
    ASSERT_TRUE(installed.has_value());
    EXPECT_EQ(installed->Path(), root_ / "data" / "vorlapro");
    EXPECT_TRUE(fs::is_directory(root_ / "data" / "vorlapro"));
    EXPECT_EQ(fs::status(root_ / "data" / "vorlapro").permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(installed->SeedSource(), root_ / "share" / "vorlapro");
    EXPECT_EQ(installed->InstalledTranslatorFolder(), root_ / "lib" / "vorlapro" / "import");

    for (bool byOption : {true, false}) {
        auto told = in;
        (byOption ? told.homeOption : told.environmentHome) = (root_ / "home").string();
        auto chosen = ProgramDirectory::Resolve(told);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(chosen->Path(), root_ / "home");
        EXPECT_FALSE(chosen->SeedSource().has_value());
        EXPECT_TRUE(chosen->InstalledTranslatorFolder().has_value());
    }

    in.userDataFolder.reset();
    std::string error;
    EXPECT_FALSE(ProgramDirectory::Resolve(in, &error).has_value());
    EXPECT_NE(error.find("XDG_DATA_HOME"), std::string::npos);
}

TEST_F(ProgramDirectoryTest, InstalledMeansBinFolderBesideTheSharedData) {
    const fs::path executable = root_ / VORLA_INSTALL_BINDIR / "vorlapro";
    EXPECT_FALSE(DetectInstalledLayout(executable).has_value());  // a build folder
    fs::create_directories(root_ / VORLA_INSTALL_DATADIR);
    const auto layout = DetectInstalledLayout(executable);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->sharedData, root_ / VORLA_INSTALL_DATADIR);
    EXPECT_EQ(layout->translatorFolder, root_ / VORLA_INSTALL_TRANSLATORDIR);  // found from the executable
    fs::create_directories(root_ / "home" / VORLA_INSTALL_DATADIR);
    EXPECT_FALSE(DetectInstalledLayout(root_ / "home" / "vorlapro").has_value());  // not in a bin folder

    EXPECT_EQ(UserDataFolder("/x/data", "/h"), fs::path("/x/data/vorlapro"));
    EXPECT_EQ(UserDataFolder("relative", "/h"), fs::path("/h/.local/share/vorlapro"));
    EXPECT_EQ(UserDataFolder(nullptr, "/h"), fs::path("/h/.local/share/vorlapro"));
    EXPECT_FALSE(UserDataFolder(nullptr, nullptr).has_value());
}

TEST(ProgramDirectoryCommandLine, HomeOptionIsTakenOutOfTheCommandLine) {
    std::vector<std::string> args{"vorlapro", "--home", "/data", "file.vlg", "--home=/other", "-Embedding"};
    EXPECT_EQ(TakeHomeOption(args), "/other");
    EXPECT_EQ(args, (std::vector<std::string>{"vorlapro", "file.vlg", "-Embedding"}));

    bool missing = false;
    std::vector<std::string> dangling{"vorlapro", "--home"};
    EXPECT_FALSE(TakeHomeOption(dangling, &missing).has_value());
    EXPECT_TRUE(missing);
    EXPECT_EQ(dangling.size(), 1u);

    std::vector<std::string> program{"--home", "x"};  // the program name is never an option
    EXPECT_FALSE(TakeHomeOption(program).has_value());
}

TEST_F(ProgramDirectoryTest, DataFilesAreFoundWithoutRegardToCase) {
    const ProgramDirectory dir(root_ / "home");
    EXPECT_EQ(dir.FindDataFile("rklfiles\\VORLAPRO.RKL"), root_ / "home" / "RklFiles" / "vorlapro.rkl");
    EXPECT_EQ(dir.FindDataFile("RKLFILES/./vorlapro.rkl"), root_ / "home" / "RklFiles" / "vorlapro.rkl");
    EXPECT_EQ(dir.FindDataFile("OUTGOING.VLG"), root_ / "home" / "Outgoing.vlg");
    EXPECT_FALSE(dir.FindDataFile("rklfiles/missing.rkl").has_value());

    // Writers keep an existing spelling and add what is missing as written.
    EXPECT_EQ(dir.DataFilePath("outgoing.vlg"), root_ / "home" / "Outgoing.vlg");
    EXPECT_EQ(dir.DataFilePath("RKLFILES\\New.rkl"), root_ / "home" / "RklFiles" / "New.rkl");
    EXPECT_EQ(dir.DataFilePath("import/x.so"), root_ / "home" / "import" / "x.so");

    // An exact spelling wins over another case.
    std::ofstream(root_ / "home" / "outgoing.vlg") << "y";
    EXPECT_EQ(dir.FindDataFile("outgoing.vlg"), root_ / "home" / "outgoing.vlg");
    EXPECT_EQ(dir.FindDataFile("OUTGOING.vlg"), root_ / "home" / "Outgoing.vlg");  // first in name order

    // Names from data files cannot leave the program directory.
    for (const char* escape : {"../bin", "rklfiles/../../bin", "/etc/passwd", "\\etc", "C:\\x", ""}) {
        SCOPED_TRACE(escape);
        EXPECT_FALSE(dir.FindDataFile(escape).has_value());
        EXPECT_FALSE(dir.DataFilePath(escape).has_value());
    }
}

}  // namespace
}  // namespace vorla
