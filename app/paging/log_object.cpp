#include "paging/log_object.h"

#include <cstdio>
#include <ctime>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "files/private_file.h"
#include "paging/local_time.h"

namespace {

int TwoDigitField(const std::string& text, size_t at) {
    int value = 0;
    for (size_t i = at; i < at + 2 && i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') break;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// In the C library's LC_TIME, which a program sets from the user's environment at start
// (Qt's application object does; vorlapage does itself). A C++ stream would use the C++
// global locale instead, which stays "C" and gives every user the American date.
// The locale's own short date, two-digit year and all: it is what the user reads elsewhere.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-y2k"
#endif
std::string LocaleDateText(const std::tm& local) {
    char buffer[256];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, "%x", &local));
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

std::string LocaleTimeText(const std::tm& local) {
    char buffer[256];
    return std::string(buffer, std::strftime(buffer, sizeof buffer, "%X", &local));
}

std::string TwoDigits(int value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d", ((value % 100) + 100) % 100);
    return buffer;
}

}  // namespace

const ClassInfo CLogObject::kClass = {"CLogObject", 1, true,
                                      [] { return std::unique_ptr<Serializable>(new CLogObject); }, nullptr};

void CLogObject::Serialize(ArchiveWriter& archive) const {
    if (archive.FormatVersion() == 0) {
        // Only tools that rebuild an old directory file write this layout.
        std::tm local = LocalCalendarTime(time_);
        archive.WriteString(TwoDigits(local.tm_mon + 1) + "/" + TwoDigits(local.tm_mday) + "/" +
                            TwoDigits(local.tm_year));
        archive.WriteString(TwoDigits(local.tm_hour) + ":" + TwoDigits(local.tm_min) + ":" +
                            TwoDigits(local.tm_sec));
    } else {
        archive.WriteInt(code_);
        archive.WriteDword(time_);
    }
    archive.WriteString(name_);
    archive.WriteString(status_);
    archive.WriteString(message_);
}

void CLogObject::Serialize(ArchiveReader& archive) {
    if (archive.FormatVersion() == 0) {
        code_ = 0;
        std::string date = archive.ReadString();
        std::string time = archive.ReadString();
        time_ = archive.Failed() ? 0 : OldLogTextsToTime(date, time);
    } else {
        code_ = archive.ReadInt();
        time_ = archive.ReadDword();
    }
    name_ = archive.ReadString();
    status_ = archive.ReadString();
    message_ = archive.ReadString();
}

uint32_t OldLogTextsToTime(const std::string& date, const std::string& time) {
    std::tm local{};
    int year = TwoDigitField(date, 6);
    local.tm_year = year < 70 ? year + 100 : year;
    local.tm_mon = TwoDigitField(date, 0) - 1;
    local.tm_mday = TwoDigitField(date, 3);
    local.tm_hour = TwoDigitField(time, 0);
    local.tm_min = TwoDigitField(time, 3);
    local.tm_sec = TwoDigitField(time, 6);
    return FileTimeFromLocal(local).value_or(0);
}

std::string CLogObject::GetDateText() const {
    return LocaleDateText(LocalCalendarTime(time_));
}

std::string CLogObject::GetTimeText() const {
    return LocaleTimeText(LocalCalendarTime(time_));
}

uint32_t CLogObject::GetDate() const {
    std::tm local = LocalCalendarTime(time_);
    local.tm_hour = local.tm_min = local.tm_sec = 0;
    return FileTimeFromLocal(local).value_or(0);
}

int64_t CLogObject::GetTimeOfDay() const {
    std::tm local = LocalCalendarTime(time_);
    return static_cast<int64_t>(local.tm_hour) * 3600 + local.tm_min * 60 + local.tm_sec;
}

std::string FormatLogLine(const CLogObject& record) {
    std::string line = record.GetDateText();
    for (const std::string& field : {record.GetTimeText(), record.GetName(), record.GetStatus(),
                                     record.GetMessage(), std::to_string(record.GetCode())}) {
        line += '\t';
        line += field;
    }
    line += "\r\n";
    return line;
}

bool AppendLogLine(const std::string& path, const CLogObject& record) {
    std::FILE* file = OpenPrivateFileForAppending(path);
    if (!file) return false;
    std::string line = FormatLogLine(record);
    bool ok = std::fwrite(line.data(), 1, line.size(), file) == line.size();
    return std::fclose(file) == 0 && ok;
}
