#include "settings/data_folder_seed.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace vorla {
namespace {

namespace fs = std::filesystem;

class DataFolderSeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        root_ = fs::temp_directory_path() / ("vorla-seed-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(shipped_ = root_ / "share");
        fs::create_directories(data_ = root_ / "data");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    static void Write(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path root_, shipped_, data_;
};

TEST_F(DataFolderSeedTest, ANewerPackageUpdatesOnlyWhatTheUserLeftAlone) {
    Write(shipped_ / "rklfiles/edited.rkl", "edited v1");
    Write(shipped_ / "rklfiles/plain.rkl", "plain v1");
    Write(shipped_ / "SERVICES.INI", "services v1");
    Write(data_ / "MODEM.INI", "the user's own modems");  // there before any package shipped one

    SeedOutcome first = SeedDataFolder(shipped_, data_);
    EXPECT_EQ(first.copied, 3);
    EXPECT_TRUE(first.problems.empty());
    EXPECT_EQ(Read(data_ / "rklfiles/plain.rkl"), "plain v1");

    Write(data_ / "rklfiles/edited.rkl", "the user's edit");
    fs::remove(data_ / "SERVICES.INI");
    Write(shipped_ / "rklfiles/edited.rkl", "edited v2");
    Write(shipped_ / "rklfiles/plain.rkl", "plain v2");
    Write(shipped_ / "SERVICES.INI", "services v2");
    Write(shipped_ / "MODEM.INI", "shipped modems");
    Write(shipped_ / "samples/new.pdb", "new in v2");

    SeedOutcome second = SeedDataFolder(shipped_, data_);
    EXPECT_EQ(Read(data_ / "rklfiles/edited.rkl"), "the user's edit");
    EXPECT_EQ(Read(data_ / "rklfiles/plain.rkl"), "plain v2");
    EXPECT_FALSE(fs::exists(data_ / "SERVICES.INI"));  // deleted by the user: stays deleted
    EXPECT_EQ(Read(data_ / "MODEM.INI"), "the user's own modems");
    EXPECT_EQ(Read(data_ / "samples/new.pdb"), "new in v2");
    EXPECT_EQ(second.copied, 1);
    EXPECT_EQ(second.updated, 1);
    EXPECT_EQ(second.keptChanged, 2);

    // The user's edit is still theirs a package later, even once it was kept.
    Write(shipped_ / "rklfiles/edited.rkl", "edited v3");
    SeedDataFolder(shipped_, data_);
    EXPECT_EQ(Read(data_ / "rklfiles/edited.rkl"), "the user's edit");
}

TEST_F(DataFolderSeedTest, ADamagedManifestNeverCostsAnEdit) {
    Write(shipped_ / "a.rkl", "v1");
    SeedDataFolder(shipped_, data_);
    Write(data_ / "a.rkl", "mine");
    std::string garbage(4096, '\0');
    std::mt19937 random(7);
    for (char& c : garbage)
        c = static_cast<char>(random());
    Write(data_ / kSeedManifestName, garbage + "\nzz a.rkl\n");
    Write(shipped_ / "a.rkl", "v2");

    const SeedOutcome outcome = SeedDataFolder(shipped_, data_);
    EXPECT_EQ(Read(data_ / "a.rkl"), "mine");
    EXPECT_EQ(outcome.keptChanged, 1);
}

// Links planted in the data folder send nothing elsewhere, and a folder others could look
// into is narrowed to its owner.
TEST_F(DataFolderSeedTest, SeedingNeverFollowsALinkAndNarrowsTheFolder) {
    const fs::path elsewhere = root_ / "elsewhere";
    fs::create_directories(elsewhere);
    Write(elsewhere / "kept.txt", "not ours");
    Write(shipped_ / "samples/sample.pdb", "sample");
    Write(shipped_ / "SERVICES.INI", "services");
    Write(shipped_ / "MODEM.INI", "modems");
    fs::create_directory_symlink(elsewhere, data_ / "samples");          // a folder that is a link
    fs::create_symlink(elsewhere / "kept.txt", data_ / "SERVICES.INI");  // a file that is a link
    fs::create_symlink(elsewhere / "missing.ini", data_ / "MODEM.INI");  // a dangling one
    fs::permissions(data_, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_exec);

    const SeedOutcome outcome = SeedDataFolder(shipped_, data_);
    EXPECT_FALSE(fs::exists(elsewhere / "sample.pdb"));
    EXPECT_FALSE(fs::exists(elsewhere / "missing.ini"));
    EXPECT_EQ(Read(elsewhere / "kept.txt"), "not ours");
    EXPECT_TRUE(fs::is_symlink(data_ / "SERVICES.INI"));
    EXPECT_EQ(outcome.copied, 0);
    EXPECT_EQ(outcome.problems.size(), 3u);
    EXPECT_EQ(fs::status(data_).permissions() & fs::perms::all, fs::perms::owner_all);
}

}  // namespace
}  // namespace vorla
