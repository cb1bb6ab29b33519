#include "ui/import/translator_catalog.h"

#include <gtest/gtest.h>

#include <QString>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "settings/program_directory.h"

namespace vorla {
namespace {

namespace fs = std::filesystem;

// Lomix installed with the program is found from any program directory; a copy in the
// directory's own "import" folder is the one used, and listed once.
TEST(TranslatorFolders, InstalledTranslatorsAreFoundAfterTheImportFolder) {
    const char* build = std::getenv("VORLA_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    std::random_device rd;
    const fs::path root = fs::temp_directory_path() / ("vorla-translators-" + std::to_string(rd()));
    const fs::path installed = root / "lib" / "vorlapro" / "import";
    fs::create_directories(installed);
    fs::create_directories(root / "home");
    fs::copy_file(fs::path(build) / "lib" / "liblomix.so", installed / "liblomix.so");

    ProgramDirectoryInputs inputs;
    inputs.homeOption = (root / "home").string();
    inputs.installed = InstalledLayout{root / "share" / "vorlapro", installed};
    const auto home = ProgramDirectory::Resolve(inputs);
    ASSERT_TRUE(home.has_value());

    const QString installedCopy = QString::fromStdString((installed / "liblomix.so").string());
    QList<TranslatorEntry> entries = ListTranslators(*home);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].path, installedCopy);
    EXPECT_NE(entries[0].description, QString(kUnknownTranslator));
    EXPECT_EQ(FindTranslator(*home, "lomix"), installedCopy);

    fs::create_directories(root / "home" / "import");
    fs::copy_file(installed / "liblomix.so", root / "home" / "import" / "LIBLOMIX.so");
    entries = ListTranslators(*home);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(FindTranslator(*home, "lomix"),
              QString::fromStdString((root / "home" / "import" / "LIBLOMIX.so").string()));

    fs::remove_all(root);
}

}  // namespace
}  // namespace vorla
