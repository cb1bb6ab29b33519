// The command-line face every tool shares: --version and --help in the usual form, and an
// installed tool finding its data folder the way the program does.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/child_process/child_process.h"
#include "vorla_build_info.h"
#include "vorla_install_dirs.h"

namespace {

namespace fs = std::filesystem;

class ToolRun : public ::testing::Test {
protected:
    void SetUp() override {
        const char* build = std::getenv("VORLA_BUILD_DIR");
        ASSERT_NE(build, nullptr);
        bin_ = fs::path(build) / "bin";
        std::random_device rd;
        root_ = fs::temp_directory_path() / ("vorla-tools-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    // Runs the program and returns its exit status; its output lands in out_ and err_.
    int Run(const std::vector<std::string>& argv, const std::vector<std::string>& environment) {
        const std::string out = (root_ / "out").string(), err = (root_ / "err").string();
        const pid_t pid = vorla::testing::StartChild(argv, out, err, environment);
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
        out_ = Slurp(out);
        err_ = Slurp(err);
        return WEXITSTATUS(status);
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> Environment() const {
        return {"HOME=" + (root_ / "home").string(), "XDG_CONFIG_HOME=" + (root_ / "config").string(),
                "QT_QPA_PLATFORM=offscreen"};
    }
    fs::path bin_, root_;
    std::string out_, err_;
};

TEST_F(ToolRun, EveryToolAnswersVersionAndHelp) {
    for (const char* tool : {"vorlapro", "vorlapage", "vorlaimport", "rklrun", "pagingsim", "vlgtool"}) {
        SCOPED_TRACE(tool);
        const std::string path = (bin_ / tool).string();
        // --version wins wherever it stands, even among arguments that would be refused.
        EXPECT_EQ(Run({path, "--no-such-option", "--version"}, Environment()), 0);
        EXPECT_EQ(out_, std::string(tool) + " " + vorla::kVersion + "\n");
        EXPECT_EQ(err_, "");

        EXPECT_EQ(Run({path, "--help"}, Environment()), 0);
        EXPECT_EQ(out_.rfind(std::string("usage: ") + tool + " ", 0), 0u) << out_;
        EXPECT_NE(out_.find("--version"), std::string::npos);
        EXPECT_NE(out_.find("Exit status:"), std::string::npos);
        EXPECT_EQ(err_, "");
    }
}

// A copy of vorlapage in <prefix>/bin beside <prefix>/share/vorlapro is an installed one: it
// works on the user's data folder, seeded from there; VORLAPRO_HOME still wins.
TEST_F(ToolRun, InstalledVorlapageSeedsTheUserDataFolder) {
    const fs::path prefix = root_ / "prefix";
    fs::create_directories(prefix / VORLA_INSTALL_BINDIR);
    fs::create_directories(prefix / VORLA_INSTALL_DATADIR / "rklfiles");
    const fs::path vorlapage = prefix / VORLA_INSTALL_BINDIR / "vorlapage";
    fs::copy_file(bin_ / "vorlapage", vorlapage);
    std::ofstream(prefix / VORLA_INSTALL_DATADIR / "rklfiles" / "vorlapro.rkl") << "ENTRY CONNECT\nEXIT 0\n";
    const fs::path data = root_ / "xdg-data" / "vorlapro";

    std::vector<std::string> environment = Environment();
    environment.push_back("VORLAPRO_HOME=" + (root_ / "elsewhere").string());
    fs::create_directories(root_ / "elsewhere");
    environment.push_back("XDG_DATA_HOME=" + (root_ / "xdg-data").string());
    EXPECT_EQ(Run({vorlapage.string(), "--list"}, environment), 0) << err_;
    EXPECT_FALSE(fs::exists(data));
    EXPECT_FALSE(fs::exists(root_ / "elsewhere" / "rklfiles"));

    environment.erase(environment.end() - 2);  // VORLAPRO_HOME
    EXPECT_EQ(Run({vorlapage.string(), "--list"}, environment), 0) << err_;
    EXPECT_EQ(Slurp((data / "rklfiles" / "vorlapro.rkl").string()), "ENTRY CONNECT\nEXIT 0\n");
}

}  // namespace
