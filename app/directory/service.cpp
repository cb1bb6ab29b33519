#include "directory/service.h"

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/ob_list.h"
#include "directory/subscriber.h"

const ClassInfo CService::kClass = {"CService", 1, true,
                                    [] { return std::unique_ptr<Serializable>(new CService); }, nullptr};

CService::CService() = default;

CService::CService(const ServiceFields& fields) : f_(fields), subscribers_(new CObList) {}

CService::~CService() {
    delete subscribers_;
}

std::unique_ptr<CService> CService::MakeDetachedCopy(const CService& other) {
    auto copy = std::make_unique<CService>();
    copy->f_ = other.f_;
    return copy;
}

void CService::Serialize(ArchiveWriter& archive) const {
    archive.WriteString(f_.name);
    archive.WriteString(f_.accessNumber);
    archive.WriteInt(f_.useDialPrefix);
    archive.WriteString(f_.password);
    archive.WriteString(f_.modemName);
    archive.WriteString(f_.modemInit);
    archive.WriteString(f_.port);
    archive.WriteInt(f_.baudRate);
    archive.WriteInt(f_.parity);
    archive.WriteInt(f_.handshake);
    archive.WriteInt(f_.dialMode);
    archive.WriteString(f_.scriptFile);
    // Files of format 0 predate the telephony line; only tools rebuilding such a file ask
    // for that layout.
    if (archive.FormatVersion() > 0) archive.WriteInt(f_.permanentLineID);
    archive.WriteObject(subscribers_);
}

void CService::Serialize(ArchiveReader& archive) {
    f_.name = archive.ReadString();
    f_.accessNumber = archive.ReadString();
    f_.useDialPrefix = archive.ReadInt();
    f_.password = archive.ReadString();
    f_.modemName = archive.ReadString();
    f_.modemInit = archive.ReadString();
    f_.port = archive.ReadString();
    f_.baudRate = archive.ReadInt();
    f_.parity = archive.ReadInt();
    f_.handshake = archive.ReadInt();
    f_.dialMode = archive.ReadInt();
    f_.scriptFile = archive.ReadString();
    f_.permanentLineID = archive.FormatVersion() > 0 ? archive.ReadInt() : 0;
    // Anything but a list here would later be used as one; refuse it now.
    subscribers_ = archive.ReadObjectOf<CObList>();
}

void CService::ListOwned(OwnedRefs& refs) const {
    refs.Sole(subscribers_);
}

bool CService::LinksWellTyped() const {
    if (!subscribers_) return true;
    for (const Serializable* item : *subscribers_) {
        if (!As<CSubscriber>(item)) return false;
    }
    return true;
}

void CService::AddSubscriber(CSubscriber* subscriber) {
    if (!subscribers_) subscribers_ = new CObList;
    subscribers_->AddHead(subscriber);
}

void CService::RemoveSubscriber(const CSubscriber* subscriber) {
    if (subscribers_) subscribers_->Remove(subscriber);
}
