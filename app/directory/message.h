#pragma once

#include <cstdint>
#include <string>

#include "archive/serializable.h"

// A preset message text (and the last message sent).
class CMessage : public Serializable {
public:
    static const ClassInfo kClass;

    CMessage() = default;
    explicit CMessage(std::string text) : text_(std::move(text)) {}

    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;

    void SetText(std::string v) { text_ = std::move(v); }
    const std::string& GetText() const { return text_; }
    // 0 for every message this program makes; kept and saved as found.
    void SetTag(int32_t v) { tag_ = v; }
    int32_t GetTag() const { return tag_; }

private:
    std::string text_;
    int32_t tag_ = 0;
};
