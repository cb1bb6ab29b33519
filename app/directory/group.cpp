#include "directory/group.h"

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/ob_list.h"
#include "directory/subscriber.h"

const ClassInfo CGroup::kClass = {"CGroup", 1, true, [] { return std::unique_ptr<Serializable>(new CGroup); },
                                  nullptr};

CGroup::CGroup() = default;

CGroup::CGroup(std::string name, CObList* members)
    : name_(std::move(name)), members_(members ? members : new CObList) {}

CGroup::~CGroup() {
    delete members_;
}

void CGroup::Serialize(ArchiveWriter& archive) const {
    archive.WriteString(name_);
    archive.WriteObject(members_);
}

void CGroup::Serialize(ArchiveReader& archive) {
    name_ = archive.ReadString();
    members_ = archive.ReadObjectOf<CObList>();
}

void CGroup::ListOwned(OwnedRefs& refs) const {
    refs.Sole(members_);
}

bool CGroup::LinksWellTyped() const {
    if (!members_) return true;
    for (const Serializable* item : *members_) {
        if (!As<CSubscriber>(item)) return false;
    }
    return true;
}
