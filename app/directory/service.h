#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "archive/serializable.h"

class CObList;
class CSubscriber;

// The 13 settings of a paging service, in the order of the SetAll operation and the file.
struct ServiceFields {
    std::string name;
    std::string accessNumber;
    int32_t useDialPrefix = 0;
    std::string password;
    std::string modemName;
    std::string modemInit;
    std::string port;
    int32_t baudRate = 0;
    int32_t parity = 0;     // 0 "n,8,1", 1 "e,7,1", 2 "o,7,1"
    int32_t handshake = 0;  // 0 None, 1 Hardware, 2 Software, 3 SW/HW
    int32_t dialMode = 0;   // 1 Pulse, anything else Tone
    std::string scriptFile;
    int32_t permanentLineID = 0;  // 0: serial port; else the telephony line

    bool operator==(const ServiceFields&) const = default;
};

// A paging service: a carrier's modem terminal and how to reach it. It keeps (without
// owning them) the subscribers that use it; it owns only the list object.
class CService : public Serializable {
public:
    static const ClassInfo kClass;

    // For the loader: empty strings, no Subscribers list yet.
    CService();
    // A directory service: the fields and an empty Subscribers list.
    explicit CService(const ServiceFields& fields);
    ~CService() override;

    // A detached copy (fields only, no Subscribers list), as carried by subscriber copies.
    static std::unique_ptr<CService> MakeDetachedCopy(const CService& other);

    const ClassInfo& GetRuntimeClass() const override { return kClass; }
    void Serialize(ArchiveWriter& archive) const override;
    void Serialize(ArchiveReader& archive) override;
    void ListOwned(OwnedRefs& refs) const override;
    void ForgetOwned() override { subscribers_ = nullptr; }
    bool LinksWellTyped() const override;

    void SetName(std::string v) { f_.name = std::move(v); }
    const std::string& GetName() const { return f_.name; }
    void SetAccessNumber(std::string v) { f_.accessNumber = std::move(v); }
    std::string GetAccessNumber() const { return f_.accessNumber; }
    void SetUseDialPrefix(int32_t v) { f_.useDialPrefix = v; }
    int32_t GetUseDialPrefix() const { return f_.useDialPrefix; }
    void SetPassword(std::string v) { f_.password = std::move(v); }
    std::string GetPassword() const { return f_.password; }
    void SetModemName(std::string v) { f_.modemName = std::move(v); }
    std::string GetModemName() const { return f_.modemName; }
    void SetModemInit(std::string v) { f_.modemInit = std::move(v); }
    std::string GetModemInit() const { return f_.modemInit; }
    void SetPort(std::string v) { f_.port = std::move(v); }
    std::string GetPort() const { return f_.port; }
    void SetBaudRate(int32_t v) { f_.baudRate = v; }
    int32_t GetBaudRate() const { return f_.baudRate; }
    void SetParity(int32_t v) { f_.parity = v; }
    int32_t GetParity() const { return f_.parity; }
    void SetHandshake(int32_t v) { f_.handshake = v; }
    int32_t GetHandshake() const { return f_.handshake; }
    void SetDialMode(int32_t v) { f_.dialMode = v; }
    int32_t GetDialMode() const { return f_.dialMode; }
    void SetScriptFile(std::string v) { f_.scriptFile = std::move(v); }
    std::string GetScriptFile() const { return f_.scriptFile; }
    int32_t GetPermanentLineID() const { return f_.permanentLineID; }
    void SetPermanentLineID(int32_t v) { f_.permanentLineID = v; }
    void SetAll(const ServiceFields& fields) { f_ = fields; }
    const ServiceFields& GetAll() const { return f_; }

    // Null for a detached copy.
    CObList* GetSubscribers() const { return subscribers_; }
    // Replaces the list pointer (the old one is the caller's).
    void SetSubscribers(CObList* subscribers) { subscribers_ = subscribers; }
    // Inserts at the head; creates the list on a detached copy.
    void AddSubscriber(CSubscriber* subscriber);
    // Removes the first occurrence; nothing happens when absent.
    void RemoveSubscriber(const CSubscriber* subscriber);

private:
    ServiceFields f_;
    CObList* subscribers_ = nullptr;  // owned list, elements not owned
};
