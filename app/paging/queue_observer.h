#pragma once
// How the outgoing queue reaches whoever shows it: the outgoing window in the program,
// vorlapage's output, or a test. Every member has a harmless default.

#include <string_view>

class IQueueObserver {
public:
    virtual ~IQueueObserver() = default;
    // The rows changed (order, content or count): repaint from the queue's rows.
    virtual void OnRowsChanged() {}
    // An OK/Cancel question with a stop icon; true for OK. Without an answer nothing is deleted.
    virtual bool Confirm(std::string_view question) {
        (void)question;
        return false;
    }
    // A refusal or error in a box with a stop icon and an OK button.
    virtual void ShowStop(std::string_view text) { (void)text; }
};
