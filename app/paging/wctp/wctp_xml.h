#pragma once
// The two WCTP documents the transport handles: the submit request it sends for one page,
// and the confirmation the carrier answers with. Texts here are UTF-8.

#include <string>
#include <string_view>

namespace vorla::wctp {

struct Submit {
    std::string senderId;
    std::string securityCode;
    std::string recipientId;
    std::string messageId;
    std::string timestamp;  // "2024-05-01T12:34:56", UTC
    std::string text;
};

// A wctp-SubmitRequest of version 1.3. Every value is escaped by the XML writer; characters
// XML 1.0 cannot carry (C0 controls but tab, CR and LF) go as blanks.
std::string BuildSubmitRequest(const Submit& submit);

struct Confirmation {
    enum Kind { kSuccess, kFailure, kUnreadable };
    Kind kind = kUnreadable;
    int code = 0;
    std::string text;  // the carrier's success or error text; for kUnreadable, why
};

// Reads a wctp-Confirmation (or a bare wctp-Failure). Nothing outside the text is fetched:
// no network, no DTD, and a document that declares entities is not read at all.
Confirmation ParseConfirmation(std::string_view body);

// The parts of a submit request a carrier looks at (the simulator reads requests with it).
struct ReceivedSubmit {
    bool ok = false;
    std::string error;  // why the request was not understood
    std::string version, senderId, securityCode, recipientId, messageId, text;
};
ReceivedSubmit ParseSubmitRequest(std::string_view body);

}  // namespace vorla::wctp
