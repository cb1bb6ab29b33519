#include "directory/directory_store.h"

#include "directory/directory_file.h"

DirectoryStore::~DirectoryStore() {
    Clear();
}

void DirectoryStore::SetLastMessage(CMessage* message) {
    if (message == lastMessage_) return;
    delete lastMessage_;
    lastMessage_ = message;
}

void DirectoryStore::SetLastMessageText(std::string text) {
    SetLastMessage(new CMessage(std::move(text)));
}

void DirectoryStore::Clear() {
    // Display rows and group lists point at subscribers, so nothing that follows cross-links
    // runs here; each list just frees its own records.
    for (CObList** slot :
         {&displayRows_, &presetMessages_, &groups_, &subscribers_, &services_, &outgoing_, &log_}) {
        DiscardListWithRecords(*slot);
        *slot = nullptr;
    }
    SetLastMessage(nullptr);
    for (auto& stray : strays_)
        DiscardRecord(stray.release());
    strays_.clear();
}

void DirectoryStore::CreateEmpty() {
    Clear();
    services_ = new CObList;
    subscribers_ = new CObList;
    groups_ = new CObList;
    presetMessages_ = new CObList;
    displayRows_ = new CObList;
    outgoing_ = new CObList;
    log_ = new CObList;
}

void DirectoryStore::TakeDirectory(DirectoryContents&& contents) {
    for (auto [slot, incoming] : {std::pair{&services_, &contents.services},
                                  {&subscribers_, &contents.subscribers},
                                  {&groups_, &contents.groups},
                                  {&presetMessages_, &contents.presetMessages},
                                  {&displayRows_, &contents.displayRows}}) {
        DiscardListWithRecords(*slot);
        *slot = incoming->release();
    }
    if (contents.logList) {
        DiscardListWithRecords(log_);
        log_ = contents.logList.release();
    }
    SetLastMessage(contents.lastMessage.release());
    AdoptStrays(std::move(contents.strays));
}

void DirectoryStore::EnsureQueueAndLog() {
    if (!outgoing_) outgoing_ = new CObList;
    if (!log_) log_ = new CObList;
}

void DirectoryStore::AdoptStrays(std::vector<std::unique_ptr<Serializable>>&& strays) {
    for (auto& stray : strays)
        strays_.push_back(std::move(stray));
    strays.clear();
}
