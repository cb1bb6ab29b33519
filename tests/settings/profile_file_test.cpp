#include "settings/profile_file.h"
#include "settings/service_lists.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace vorla {
namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("vorla-settings-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }
    void Write(const std::string& name, const std::string& content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

private:
    fs::path path_;
};

TEST(ProfileFile, LookupIsCaseBlindTrimsAndUnquotes) {
    const ProfileFile file = ProfileFile::Parse(
        "; a comment=not an entry\r\n"
        "[ServiceOptions]\r\n"
        "  ExpressDialogText =  Welcome  \r\n"
        "Quoted=\"  padded  \"\r\n"
        "Split=1,2,3\r\n"
        "NoEquals\r\n"
        "[Other]\r\n"
        "Split=other\r\n"
        "[serviceoptions]\r\n"
        "Late=in the repeated section\r\n"
        "Split=second\r\n");
    EXPECT_EQ(file.GetString("SERVICEOPTIONS", "expressdialogtext", nullptr), "Welcome");
    EXPECT_EQ(file.GetString("ServiceOptions", "Quoted", nullptr), "  padded  ");
    EXPECT_EQ(file.GetString("ServiceOptions", "Split", nullptr), "1,2,3");
    EXPECT_EQ(file.GetString("Other", "Split", nullptr), "other");
    EXPECT_EQ(file.GetString("ServiceOptions", "Late", nullptr), "in the repeated section");
    EXPECT_EQ(file.GetString("ServiceOptions", "NoEquals", nullptr), "");
    EXPECT_EQ(file.GetString("ServiceOptions", "; a comment", "dflt"), "dflt");
    EXPECT_EQ(file.GetString("Missing", "Split", "*"), "*");
}

TEST(ProfileFile, BufferLimitsAndIntegers) {
    const std::string longValue(600, 'v');
    const ProfileFile file = ProfileFile::Parse(
        "[S]\nLong=" + longValue + "\nNum= -42xyz\nPlus=+7\nWord=abc\nEmpty=\nHuge=99999999999\n");
    EXPECT_EQ(file.GetString("S", "Long", nullptr), std::string(259, 'v'));
    EXPECT_EQ(file.GetString("S", "Long", nullptr, 512), std::string(511, 'v'));
    EXPECT_EQ(file.GetInt("S", "Num", 5), -42);
    EXPECT_EQ(file.GetInt("S", "Plus", 5), 7);
    EXPECT_EQ(file.GetInt("S", "Word", 5), 0);
    EXPECT_EQ(file.GetInt("S", "Empty", 5), 5);
    EXPECT_EQ(file.GetInt("S", "Missing", 5), 5);
    EXPECT_EQ(file.GetInt("S", "Huge", 5), INT32_MAX);
}

TEST(ProfileFile, ZeroBytesEndAValue) {
    const std::string content("[S]\nZero=ab\0cd\n", 15);
    EXPECT_EQ(ProfileFile::Parse(content).GetString("S", "Zero", nullptr), "ab");
}

TEST(ProfileFile, ArbitraryBytesNeverBreakTheReader) {
    std::mt19937 random(1234);
    for (int round = 0; round < 500; ++round) {
        std::string content(random() % 300, '\0');
        for (char& c : content)
            c = static_cast<char>("[]=|;\"\r\n \tAs1\0\xff"[random() % 15]);
        const ProfileFile file = ProfileFile::Parse(content);
        (void)file.GetString("A", "s", nullptr);
        (void)file.GetInt("a", "S", 0);
        ProfileFile copy = ProfileFile::Parse(file.Serialize());
        EXPECT_EQ(copy.GetString("A", "s", "d"), file.GetString("A", "s", "d"));
    }
}

TEST(ProfileFile, WritesKeepOtherLinesAndReplaceAtomically) {
    TempFolder folder;
    const fs::path ini = folder.path() / "MODEM.INI";
    folder.Write("MODEM.INI", "; modems\n[Modems]\n1=Acme|Fast|AT&F\n\n[Extra]\nKeep=yes\n");

    ASSERT_TRUE(WriteIniString("modems", "2", "Zed|Slow|ATZ", ini));
    ASSERT_TRUE(WriteIniInt("Modems", "1", -3, ini));
    ASSERT_TRUE(WriteIniString("New Section", "Key", "v", ini));
    EXPECT_EQ(folder.Read("MODEM.INI"),
              "; modems\n[Modems]\n1=-3\n2=Zed|Slow|ATZ\n\n[Extra]\nKeep=yes\n\n[New Section]\nKey=v\n");
    EXPECT_EQ(GetIniInt("MODEMS", "1", 0, ini), -3);
    EXPECT_EQ(GetIniString("Extra", "keep", nullptr, ini), "yes");

    // Names that would not read back are refused and leave the file alone.
    EXPECT_FALSE(WriteIniString("Modems", "a=b", "x", ini));
    EXPECT_FALSE(WriteIniString("Modems", "3", "line\nbreak", ini));
    EXPECT_FALSE(WriteIniString("", "3", "x", ini));

    // No temporary file is left behind.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder.path()))
        ++files;
    EXPECT_EQ(files, 1);

    // A missing file reads as empty and is created on write, with Windows line endings.
    const fs::path fresh = folder.path() / "SERVICES.INI";
    EXPECT_EQ(GetIniString("Services", "1", "none", fresh), "none");
    ASSERT_TRUE(WriteIniString("Services", "1", "A", fresh));
    EXPECT_EQ(folder.Read("SERVICES.INI"), "[Services]\r\n1=A\r\n");
}

TEST(ProfileFile, OversizedFileIsRefusedAndNotOverwritten) {
    TempFolder folder;
    const std::string big = "[S]\nK=v\n" + std::string(kMaxProfileFileSize, 'x');
    folder.Write("BIG.INI", big);
    ProfileError error = ProfileError::None;
    EXPECT_EQ(ProfileFile::Load(folder.path() / "BIG.INI", &error).GetString("S", "K", "d"), "d");
    EXPECT_EQ(error, ProfileError::TooLarge);
    EXPECT_FALSE(WriteIniString("S", "K", "w", folder.path() / "BIG.INI"));
    EXPECT_EQ(fs::file_size(folder.path() / "BIG.INI"), big.size());
}

TEST(ServiceLists, FieldsSplitTheStrtokWay) {
    EXPECT_EQ(SplitListFields("a|b|c", 6), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitListFields("||a|||b|", 6), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitListFields("1|2|3|4|5|6|7", 6), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_TRUE(SplitListFields("|||", 6).empty());

    const ProfileFile services = ProfileFile::Parse(
        "[Services]\n1=Skytel||555-1234|skytel.rkl\n2=|||\n3=\n[Modems]\n1=Hayes|Optima|AT&F\n");
    std::string name = "keep", second = "keep", third = "keep", fourth = "keep";
    ASSERT_TRUE(ReadServiceIniEntry(services, 1, {&name, &second, &third, &fourth, nullptr, nullptr}));
    EXPECT_EQ(name, "Skytel");
    EXPECT_EQ(second, "555-1234");  // the empty second field let the third move up
    EXPECT_EQ(third, "skytel.rkl");
    EXPECT_EQ(fourth, "keep");  // no fourth field: the buffer is untouched

    // Only separators: the entry exists but yields nothing; an empty entry does not count.
    std::string untouched = "u";
    EXPECT_TRUE(ReadServiceIniEntry(services, 2, {&untouched, nullptr, nullptr, nullptr, nullptr, nullptr}));
    EXPECT_EQ(untouched, "u");
    EXPECT_FALSE(ReadServiceIniEntry(services, 3, {}));
    EXPECT_FALSE(ReadServiceIniEntry(services, 4, {}));

    std::string maker, model, init;
    ASSERT_TRUE(ReadModemIniEntry(services, 1, {&maker, &model, &init}));
    EXPECT_EQ(maker + "/" + model + "/" + init, "Hayes/Optima/AT&F");
}

TEST(ServiceLists, OnlyTheFirst511CharactersAreSplit) {
    const std::string value = std::string(505, 'a') + "|bcdefghij|k";
    const ProfileFile services = ProfileFile::Parse("[Services]\n1=" + value + "\n");
    std::string first, second, third = "none";
    ASSERT_TRUE(ReadServiceIniEntry(services, 1, {&first, &second, &third, nullptr, nullptr, nullptr}));
    EXPECT_EQ(first.size(), 505u);
    EXPECT_EQ(second, "bcdef");
    EXPECT_EQ(third, "none");
}

}  // namespace
}  // namespace vorla
