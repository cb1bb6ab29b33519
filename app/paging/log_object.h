#pragma once

#include <cstdint>
#include <string>

#include "archive/serializable.h"

// One entry of the message log: a page sent, a split page sent, a failure or a cancel.
class CLogObject : public Serializable {
public:
    static const ClassInfo kClass;

    CLogObject() = default;
    CLogObject(uint32_t time, std::string name, std::string status, std::string message, int32_t code)
        : code_(code),
          time_(time),
          name_(std::move(name)),
          status_(std::move(status)),
          message_(std::move(message)) {}

    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    // Format 1 and later: Code, Time, Name, Status, Message. Format 0 (records inside old
    // directory files): no code, the time as "MM/DD/YY" and "HH:MM:SS" local-time texts.
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;

    int32_t GetCode() const { return code_; }
    // The user's short date and time of day (the current C locale's).
    std::string GetDateText() const;
    std::string GetTimeText() const;
    // Time at local midnight of its day, and the local time of day as seconds after local
    // midnight of 1970-01-01 (for sorting by time of day).
    uint32_t GetDate() const;
    int64_t GetTimeOfDay() const;
    const std::string& GetName() const { return name_; }
    uint32_t GetTime() const { return time_; }
    const std::string& GetStatus() const { return status_; }
    const std::string& GetMessage() const { return message_; }
    void SetCode(int32_t code) { code_ = code; }
    void SetTime(uint32_t time) { time_ = time; }
    void SetName(std::string v) { name_ = std::move(v); }
    void SetStatus(std::string v) { status_ = std::move(v); }
    void SetMessage(std::string v) { message_ = std::move(v); }

private:
    int32_t code_ = 0;
    uint32_t time_ = 0;
    std::string name_;
    std::string status_;
    std::string message_;
};

// The record's line in the text log: date, time, name, status, message and code separated
// by tabs, ended by CR LF. Texts are written as they are, tabs and line breaks included.
std::string FormatLogLine(const CLogObject& record);
// Appends the record's line to the text log, creating it when missing. False when the file
// cannot be written (the caller drops the line silently).
bool AppendLogLine(const std::string& path, const CLogObject& record);

// Parses an old record's "MM/DD/YY" and "HH:MM:SS" texts (each field the leading digits at
// its fixed place, a missing one 0) into a file time. Two-digit years below 70 are read as
// 20xx, so records written after 1999 keep their century.
uint32_t OldLogTextsToTime(const std::string& date, const std::string& time);
