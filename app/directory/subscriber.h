#pragma once

#include <memory>
#include <string>

#include "archive/serializable.h"

class CObList;
class CService;

// One pager carrier. Points to its service and keeps the groups it belongs to; owns only
// its Groups list object.
class CSubscriber : public Serializable {
public:
    static const ClassInfo kClass;

    // For the loader.
    CSubscriber();
    // A directory subscriber with an empty Groups list. It does not add itself to the
    // service: the caller does that with CService::AddSubscriber.
    CSubscriber(std::string name, std::string pin, std::string maxLength, CService* service);
    ~CSubscriber() override;

    // The copy an outgoing page or log item keeps: the three strings and a new detached copy
    // of the service, no Groups list. The copy does not free that service; its owner does.
    static std::unique_ptr<CSubscriber> MakeDetachedCopy(const CSubscriber& other);

    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;
    void ListOwned(OwnedRefs& refs) const override;
    void ForgetOwned() override { groups_ = nullptr; }
    bool LinksWellTyped() const override;

    void SetName(std::string v) { name_ = std::move(v); }
    const std::string& GetName() const { return name_; }
    void SetPIN(std::string v) { pin_ = std::move(v); }
    const std::string& GetPIN() const { return pin_; }
    void SetMaxLengthNumber(int maxLength) { maxLength_ = std::to_string(maxLength); }
    void SetMaxLength(std::string v) { maxLength_ = std::move(v); }
    std::string GetMaxLength() const { return maxLength_; }
    // The leading decimal digits of MaxLength ("240" -> 240, "Split" -> 0).
    int GetMaxLengthNumber() const;
    void SetService(CService* service) { service_ = service; }
    CService* GetService() const { return service_; }
    // Replaces the Groups list pointer (the old one is the caller's).
    void SetGroups(CObList* groups) { groups_ = groups; }
    CObList* GetGroups() const { return groups_; }

private:
    std::string name_;
    std::string pin_;
    std::string maxLength_;
    CService* service_ = nullptr;  // not owned
    CObList* groups_ = nullptr;    // owned list, elements not owned
};

// The usual leading-digits conversion: optional blanks, optional sign, digits; saturates.
int LeadingDecimal(const std::string& text);
