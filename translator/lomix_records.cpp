#include "translator/lomix_records.h"

namespace lomix {

size_t Translation::ReadCompaniesFrom(const std::filesystem::path& dataFile, const ModemSettings& modem) {
    services_.Clear();
    std::optional<std::string> bytes = ReadDataFile(dataFile);
    if (!bytes) return 0;
    for (Company& company : ReadCompanies(*bytes)) {
        ServiceRecord& r = services_.AddHead();
        r.name = std::move(company.name);
        r.accessNumber = std::move(company.accessNumber);
        r.modemName = modem.name;
        r.modemInit = modem.init;
        r.port = modem.port;
        r.scriptFile = "VORLAPRO.RKL";
        r.block = {nullptr,
                   r.name.c_str(),
                   r.accessNumber.c_str(),
                   1,
                   r.password.c_str(),
                   r.modemName.c_str(),
                   r.modemInit.c_str(),
                   r.port.c_str(),
                   company.baudRate,
                   company.parity,
                   0,
                   0,
                   r.scriptFile.c_str()};
    }
    return services_.Count();
}

size_t Translation::ReadPeopleFrom(const std::filesystem::path& dataFile) {
    subscribers_.Clear();
    std::optional<std::string> bytes = ReadDataFile(dataFile);
    if (!bytes) return 0;
    for (Person& person : ReadPeople(*bytes)) {
        SubscriberRecord& r = subscribers_.AddHead();
        r.name = std::move(person.name);
        r.pin = std::move(person.pin);
        r.serviceName = std::move(person.company);
        r.maxLength = "240";
        r.block = {nullptr, r.name.c_str(), r.pin.c_str(), r.serviceName.c_str(), r.maxLength.c_str()};
    }
    return subscribers_.Count();
}

ModemSettings ModemSettingsOfThisUser() {
    std::optional<std::filesystem::path> ini = SettingsFile();
    std::optional<std::string> text = ini ? ReadDataFile(*ini) : std::nullopt;
    return text ? ReadModemSettings(*text) : ModemSettings{};
}

Translation& TheTranslation() {
    static Translation translation;
    return translation;
}

}  // namespace lomix
