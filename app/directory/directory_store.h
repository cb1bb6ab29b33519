#pragma once

#include <memory>
#include <string>
#include <vector>

#include "archive/ob_list.h"
#include "directory/message.h"

struct DirectoryContents;

// The directory in memory for the whole run: the lists the application owns. Each list owns
// its records; cross-links between records never own. Windows borrow the lists.
// The outgoing queue and the log are held here as lists of serializable records, so this
// layer needs no knowledge of the paging classes.
class DirectoryStore {
public:
    DirectoryStore() = default;
    ~DirectoryStore();
    DirectoryStore(const DirectoryStore&) = delete;
    DirectoryStore& operator=(const DirectoryStore&) = delete;

    CObList* GetServiceList() const { return services_; }
    CObList* GetSubscriberList() const { return subscribers_; }
    CObList* GetGroupList() const { return groups_; }
    CObList* GetPresetMessageList() const { return presetMessages_; }
    CObList* GetDisplayList() const { return displayRows_; }
    CObList* GetOutgoingList() const { return outgoing_; }
    CObList* GetLogList() const { return log_; }

    // Setters replace the pointer and free nothing: the previous list (with its records) is
    // handed back to the caller, who now owns it.
    [[nodiscard]] CObList* SetServiceList(CObList* list) { return Swap(services_, list); }
    [[nodiscard]] CObList* SetSubscriberList(CObList* list) { return Swap(subscribers_, list); }
    [[nodiscard]] CObList* SetGroupList(CObList* list) { return Swap(groups_, list); }
    [[nodiscard]] CObList* SetPresetMessageList(CObList* list) { return Swap(presetMessages_, list); }
    [[nodiscard]] CObList* SetDisplayList(CObList* list) { return Swap(displayRows_, list); }
    [[nodiscard]] CObList* SetOutgoingList(CObList* list) { return Swap(outgoing_, list); }
    [[nodiscard]] CObList* SetLogList(CObList* list) { return Swap(log_, list); }

    CMessage* GetLastMessage() const { return lastMessage_; }
    // Frees the previous message and takes the new one (null allowed).
    void SetLastMessage(CMessage* message);
    void SetLastMessageText(std::string text);

    // A new empty directory: seven empty lists, no last message (frees what was there).
    void CreateEmpty();
    // Takes a loaded directory. The five directory lists and the last message replace (and
    // free) the current ones; a format-0 file's log list becomes the LogList.
    void TakeDirectory(DirectoryContents&& contents);
    // Creates OutgoingList and LogList when still missing.
    void EnsureQueueAndLog();
    // Records a file reached only through cross-links; kept until the store goes.
    void AdoptStrays(std::vector<std::unique_ptr<Serializable>>&& strays);
    // Frees every list, record and stray.
    void Clear();

private:
    static CObList* Swap(CObList*& slot, CObList* list) {
        CObList* previous = slot;
        slot = list;
        return previous;
    }

    CObList* services_ = nullptr;
    CObList* subscribers_ = nullptr;
    CObList* groups_ = nullptr;
    CObList* presetMessages_ = nullptr;
    CObList* displayRows_ = nullptr;
    CObList* outgoing_ = nullptr;
    CObList* log_ = nullptr;
    CMessage* lastMessage_ = nullptr;
    std::vector<std::unique_ptr<Serializable>> strays_;
};
