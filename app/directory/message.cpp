#include "directory/message.h"

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"

const ClassInfo CMessage::kClass = {"CMessage", 1, true,
                                    [] { return std::unique_ptr<Serializable>(new CMessage); }, nullptr};

void CMessage::Serialize(ArchiveWriter& archive) const {
    archive.WriteString(text_);
    archive.WriteInt(tag_);
}

void CMessage::Serialize(ArchiveReader& archive) {
    text_ = archive.ReadString();
    tag_ = archive.ReadInt();
}
