#pragma once
// The express setup's rules that need no window: the dial preview, the access number as it
// is stored, the line settings taken from a services list entry, and the Finish steps that put
// the collected service and subscribers into the directory.

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "directory/service.h"

class CSubscriber;
class DirectoryStore;

// What the application hands the wizard and gets back after Finish.
struct ExpressSetupData {
    // The setup record: the service's settings without its subscriber list.
    ServiceFields setup;
    bool dialOne = true;
    bool dialArea = true;
    // Names in the directory when the wizard opened (pages refuse these).
    std::set<std::string> serviceNames;
    std::set<std::string> subscriberNames;
    // Subscribers added on the subscriber page, in the order they were added.
    std::vector<std::unique_ptr<CSubscriber>> newSubscribers;
};

// The access number split the way a North American number is dialled: three digits of area
// code, then the local number with a dash after its third digit.
std::string AreaCodeOf(std::string_view accessNumber);
std::string LocalNumberOf(std::string_view accessNumber);

// "The phone number will be dialed as follows:" — prefix, blank, "1 ", "(area) ", local number.
std::string DialPreview(std::string_view prefix, std::string_view accessNumber, bool dialOne, bool dialArea);

// The access number the service keeps: "1" when dialling one, the area code when dialling it,
// then the digits from the fourth on.
std::string DialledAccessNumber(std::string_view accessNumber, bool dialOne, bool dialArea);

// Line settings from the texts of a services list entry: the baud rate as a number, parity 0
// only for "n,8,1", handshake 1 for "HARDWARE", 2 for "SOFTWARE", else 0 (case-blind).
void ApplyLineSettingTexts(ServiceFields& setup, std::string_view baudText, std::string_view parityText,
                           std::string_view handshakeText);

struct ExpressSetupOutcome {
    CService* service = nullptr;  // the new service, or the existing one of that name
    bool serviceCreated = false;
    int subscribersAdded = 0;
};

// The Finish steps: the service at the head of the service list (unless one of that name is
// there; a WCTP service keeps its URL as typed, any other its dialled access number), then each new subscriber whose name was not in the directory when the wizard
// opened, linked to the service and appended to the subscriber list. Subscribers not taken
// are freed with data.newSubscribers.
ExpressSetupOutcome ApplyExpressSetup(DirectoryStore& store, ExpressSetupData& data);
