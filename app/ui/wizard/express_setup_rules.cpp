#include "ui/wizard/express_setup_rules.h"

#include "archive/ob_list.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/subscriber.h"
#include "paging/wctp/wctp_service.h"
#include "settings/ascii_case.h"

namespace {
std::string_view Part(std::string_view text, std::size_t from, std::size_t count = std::string_view::npos) {
    return from >= text.size() ? std::string_view() : text.substr(from, count);
}
}  // namespace

std::string AreaCodeOf(std::string_view accessNumber) {
    return std::string(Part(accessNumber, 0, 3));
}

std::string LocalNumberOf(std::string_view accessNumber) {
    return std::string(Part(accessNumber, 3, 3)) + "-" + std::string(Part(accessNumber, 6));
}

std::string DialPreview(std::string_view prefix, std::string_view accessNumber, bool dialOne, bool dialArea) {
    std::string preview(prefix);
    preview += ' ';
    if (dialOne) preview += "1 ";
    if (dialArea) preview += "(" + AreaCodeOf(accessNumber) + ") ";
    preview += LocalNumberOf(accessNumber);
    return preview;
}

std::string DialledAccessNumber(std::string_view accessNumber, bool dialOne, bool dialArea) {
    std::string number = dialOne ? "1" : "";
    if (dialArea) number += AreaCodeOf(accessNumber);
    number += Part(accessNumber, 3);
    return number;
}

void ApplyLineSettingTexts(ServiceFields& setup, std::string_view baudText, std::string_view parityText,
                           std::string_view handshakeText) {
    setup.baudRate = LeadingDecimal(std::string(baudText));
    setup.parity = vorla::EqualsIgnoringAsciiCase(parityText, "n,8,1") ? 0 : 1;
    if (vorla::EqualsIgnoringAsciiCase(handshakeText, "HARDWARE"))
        setup.handshake = 1;
    else if (vorla::EqualsIgnoringAsciiCase(handshakeText, "SOFTWARE"))
        setup.handshake = 2;
    else
        setup.handshake = 0;
}

ExpressSetupOutcome ApplyExpressSetup(DirectoryStore& store, ExpressSetupData& data) {
    ExpressSetupOutcome outcome;
    ServiceFields fields = data.setup;
    // A WCTP service's access number is the carrier's URL: no digits to dial.
    if (!vorla::wctp::IsWctpScript(fields.scriptFile))
        fields.accessNumber = DialledAccessNumber(data.setup.accessNumber, data.dialOne, data.dialArea);
    for (Serializable* item : *store.GetServiceList()) {
        auto* service = static_cast<CService*>(item);
        if (service->GetName() == fields.name) outcome.service = service;
    }
    if (!outcome.service) {
        outcome.service = new CService(fields);
        store.GetServiceList()->AddHead(outcome.service);
        outcome.serviceCreated = true;
    }
    // Judged against the directory as the wizard found it, so two new subscribers that share
    // a name are both created, as the subscriber page accepted them.
    for (auto& subscriber : data.newSubscribers) {
        if (data.subscriberNames.count(subscriber->GetName())) continue;
        CSubscriber* added = subscriber.release();
        outcome.service->AddSubscriber(added);
        added->SetService(outcome.service);
        store.GetSubscriberList()->AddTail(added);
        ++outcome.subscribersAdded;
    }
    data.newSubscribers.clear();
    return outcome;
}
