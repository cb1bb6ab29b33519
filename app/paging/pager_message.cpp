#include "paging/pager_message.h"

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"

const ClassInfo CPagerMessage::kClass = {
    "CPagerMessage", 0, false, [] { return std::unique_ptr<Serializable>(new CPagerMessage); }, nullptr};

void CPagerMessage::Serialize(ArchiveWriter& archive) const {
    archive.WriteDword(static_cast<uint32_t>(text_.size()));
    archive.WriteRaw(text_);
    archive.WriteInt(refCount_);
    archive.WriteInt(length_);
}

void CPagerMessage::Serialize(ArchiveReader& archive) {
    uint32_t size = archive.ReadDword();
    text_ = archive.ReadRaw(size);  // checked against the bytes left before allocating
    refCount_ = archive.ReadInt();
    length_ = archive.ReadInt();
}

int32_t CPagerMessage::Release() {
    if (refCount_ > 0) --refCount_;
    return refCount_;
}
