// Log records: both stored layouts and the text-log line.
#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <sstream>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/class_registry.h"
#include "paging/local_time.h"
#include "paging/log_object.h"
#include "paging/paging_classes.h"
#include "tests/directory/test_directory.h"

namespace {

std::unique_ptr<CLogObject> LoadOne(const std::string& bytes, uint16_t version,
                                    ArchiveError* error = nullptr) {
    static const ClassRegistry registry = MakeProgramClassRegistry();
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    ArchiveReader reader(data, registry, version);
    auto* record = As<CLogObject>(reader.ReadObject(&CLogObject::kClass));
    if (error) *error = reader.Error();
    if (!record) return nullptr;
    reader.ReleaseObjects();
    return std::unique_ptr<CLogObject>(record);
}

std::string OldRecord(const std::string& date, const std::string& time) {
    ArchiveWriter writer;
    writer.WriteWord(0xFFFF);
    writer.WriteWord(1);
    writer.WriteWord(10);
    writer.WriteRaw("CLogObject");
    writer.WriteString(date);
    writer.WriteString(time);
    writer.WriteString("Ann");
    writer.WriteString("Message Sent Successfully!");
    writer.WriteString("hi");
    return writer.Bytes();
}

}  // namespace

TEST(PagingRecordsLog, CurrentLayoutRoundTrips) {
    CLogObject record(0x80000001u, "Ann", "User cancel", "tab\there", -2);
    ArchiveWriter writer;
    writer.WriteObject(&record);
    auto loaded = LoadOne(writer.Bytes(), 1);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetTime(), 0x80000001u);  // past 2038: read as unsigned
    EXPECT_EQ(loaded->GetCode(), -2);
    EXPECT_EQ(loaded->GetMessage(), "tab\there");
}

TEST(PagingRecordsLog, OldRecordsReadTheirDateAndTimeTexts) {
    auto loaded = LoadOne(OldRecord("03/15/97", "14:05:09"), 0);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetCode(), 0);
    EXPECT_EQ(loaded->GetName(), "Ann");
    std::tm local = LocalCalendarTime(loaded->GetTime());
    EXPECT_EQ(local.tm_year, 97);
    EXPECT_EQ(local.tm_mon, 2);
    EXPECT_EQ(local.tm_mday, 15);
    EXPECT_EQ(local.tm_hour, 14);
    EXPECT_EQ(local.tm_min, 5);
    EXPECT_EQ(local.tm_sec, 9);

    // Records written after 1999 keep their century.
    auto later = LoadOne(OldRecord("01/02/03", "00:00:00"), 0);
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(LocalCalendarTime(later->GetTime()).tm_year, 103);

    // Texts cut short or full of letters load without reading past them.
    for (const char* date : {"", "1", "ab/cd/ef", "12/31"}) {
        ArchiveError error;
        EXPECT_NE(LoadOne(OldRecord(date, "x"), 0, &error), nullptr) << date;
        EXPECT_EQ(error, ArchiveError::None);
    }

    // Rebuilding an old record gives back its texts.
    ArchiveWriter old(0);
    old.WriteObject(loaded.get());
    EXPECT_EQ(old.Bytes(), OldRecord("03/15/97", "14:05:09"));
}

TEST(PagingRecordsLog, TextLineHasSixTabSeparatedFieldsAndCrLf) {
    CLogObject record(1000000000u, "Ann", "Script error", "two\r\nlines", -210);
    std::string line = FormatLogLine(record);
    EXPECT_EQ(line.substr(0, record.GetDateText().size() + 1), record.GetDateText() + "\t");
    std::string tail = "\tAnn\tScript error\ttwo\r\nlines\t-210\r\n";
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
    EXPECT_EQ(line, record.GetDateText() + "\t" + record.GetTimeText() + tail);

    TempFolder folder;
    const std::string path = folder.Path("Message Log.txt");
    ASSERT_TRUE(AppendLogLine(path, record));
    ASSERT_TRUE(AppendLogLine(path, CLogObject(1000000001u, "Bob", "ok", "m", 0)));
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), line + FormatLogLine(CLogObject(1000000001u, "Bob", "ok", "m", 0)));
    EXPECT_FALSE(AppendLogLine(folder.Path("missing/x.txt"), record));
}

// The date and time texts (log window, text log) are those of the user's LC_TIME.
TEST(PagingRecordsLog, DateAndTimeTextsFollowTheUsersLocale) {
    const std::string previous = std::setlocale(LC_TIME, nullptr);
    if (!std::setlocale(LC_TIME, "de_DE.UTF-8")) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
    CLogObject record(OldLogTextsToTime("03/15/97", "14:05:09"), "", "", "", 0);
    const std::string date = record.GetDateText();
    const std::string time = record.GetTimeText();
    std::setlocale(LC_TIME, previous.c_str());
    EXPECT_EQ(date, "15.03.1997");
    EXPECT_EQ(time, "14:05:09");
}

TEST(PagingRecordsLog, DateAndTimeOfDayAreLocal) {
    CLogObject record(1000000000u, "", "", "", 0);
    std::tm local = LocalCalendarTime(record.GetTime());
    EXPECT_EQ(record.GetTimeOfDay(), local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    std::tm midnight = LocalCalendarTime(record.GetDate());
    EXPECT_EQ(midnight.tm_mday, local.tm_mday);
    EXPECT_EQ(midnight.tm_hour + midnight.tm_min + midnight.tm_sec, 0);
}
