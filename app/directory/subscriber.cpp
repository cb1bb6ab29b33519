#include "directory/subscriber.h"

#include <climits>
#include <cstdint>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/ob_list.h"
#include "directory/group.h"
#include "directory/service.h"

const ClassInfo CSubscriber::kClass = {
    "CSubscriber", 1, true, [] { return std::unique_ptr<Serializable>(new CSubscriber); }, nullptr};

CSubscriber::CSubscriber() = default;

CSubscriber::CSubscriber(std::string name, std::string pin, std::string maxLength, CService* service)
    : name_(std::move(name)),
      pin_(std::move(pin)),
      maxLength_(std::move(maxLength)),
      service_(service),
      groups_(new CObList) {}

CSubscriber::~CSubscriber() {
    delete groups_;
}

std::unique_ptr<CSubscriber> CSubscriber::MakeDetachedCopy(const CSubscriber& other) {
    auto copy = std::make_unique<CSubscriber>();
    copy->name_ = other.name_;
    copy->pin_ = other.pin_;
    copy->maxLength_ = other.maxLength_;
    if (other.service_) copy->service_ = CService::MakeDetachedCopy(*other.service_).release();
    return copy;
}

void CSubscriber::Serialize(ArchiveWriter& archive) const {
    archive.WriteString(name_);
    archive.WriteString(pin_);
    archive.WriteString(maxLength_);
    archive.WriteObject(service_);
    archive.WriteObject(groups_);
}

void CSubscriber::Serialize(ArchiveReader& archive) {
    name_ = archive.ReadString();
    pin_ = archive.ReadString();
    maxLength_ = archive.ReadString();
    service_ = archive.ReadObjectOf<CService>();
    groups_ = archive.ReadObjectOf<CObList>();
}

void CSubscriber::ListOwned(OwnedRefs& refs) const {
    refs.Sole(groups_);
}

bool CSubscriber::LinksWellTyped() const {
    if (!groups_) return true;
    for (const Serializable* item : *groups_) {
        if (!As<CGroup>(item)) return false;
    }
    return true;
}

int CSubscriber::GetMaxLengthNumber() const {
    return LeadingDecimal(maxLength_);
}

int LeadingDecimal(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) value = static_cast<int64_t>(INT_MAX) + 1;  // keep it bounded
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}
