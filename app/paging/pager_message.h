#pragma once

#include <cstdint>
#include <string>

#include "archive/serializable.h"

// The text of one typed message, held once and shared by every page made from it. The
// pages count themselves in RefCount; the last page to go frees the message.
class CPagerMessage : public Serializable {
public:
    static const ClassInfo kClass;

    CPagerMessage() = default;
    explicit CPagerMessage(std::string text)
        : text_(std::move(text)), length_(static_cast<int32_t>(text_.size())) {}

    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;

    const std::string& GetText() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }
    int32_t GetRefCount() const { return refCount_; }
    void SetRefCount(int32_t count) { refCount_ = count; }
    int32_t GetLength() const { return length_; }
    void SetLength(int32_t length) { length_ = length; }
    void AddRef() { ++refCount_; }
    // Decrements a positive count; returns the new value (or the unchanged one at 0 or less).
    int32_t Release();

private:
    std::string text_;
    int32_t refCount_ = 0;
    int32_t length_ = 0;
};
