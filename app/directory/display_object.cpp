#include "directory/display_object.h"

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "directory/group.h"
#include "directory/subscriber.h"

const ClassInfo CDisplayObject::kClass = {
    "CDisplayObject", 1, true, [] { return std::unique_ptr<Serializable>(new CDisplayObject); }, nullptr};

void CDisplayObject::Serialize(ArchiveWriter& archive) const {
    archive.WriteObject(subscriber_);
    archive.WriteObject(group_);
    archive.WriteInt(expanded_);
}

void CDisplayObject::Serialize(ArchiveReader& archive) {
    subscriber_ = archive.ReadObjectOf<CSubscriber>();
    group_ = archive.ReadObjectOf<CGroup>();
    expanded_ = archive.ReadInt();
}
